// Replacing a file without risking the old one: the new content goes to a
// temporary file in the same folder, which is flushed to disk and then put
// in the old file's place in one step. When anything fails the answer is
// false, the temporary file is removed and a file that already had the name
// is left exactly as it was. A read-only file or a folder of that name is
// never replaced. Names are narrow text in the system code page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace MyApp {

// Hands out a file's content piece by piece: each call sets the next bytes
// (a size of 0 at the end); false means the content cannot be made.
using ByteSource = std::function<bool(const std::uint8_t*& data, std::size_t& size)>;

// Lets one thread call off the writings of another for good: once CallOff
// has returned, no writing through the gate puts its file in place any more
// (it removes its temporary file instead). CallOff waits only for a file
// being put in place at that moment, never for the writing of its content.
class ReplaceGate {
public:
    void CallOff();
    bool CalledOff() const;
    // Runs `replace` unless the writings are called off; false when they are.
    template <class Replace>
    bool Pass(Replace&& replace) {
        std::lock_guard<std::mutex> lock(mutex_);
        return !calledOff_ && replace();
    }

private:
    mutable std::mutex mutex_;
    bool calledOff_ = false;
};

// Writes the bytes of `source` in the named file's place (through `gate`
// when there is one).
bool WriteFileReplacing(const std::string& fileName, const ByteSource& source, ReplaceGate* gate = nullptr);

#ifdef _WIN32
// Writes a file's content through the handle (a HANDLE) of the new file,
// opened for reading and writing, seeking at will; false means the content
// cannot be made.
using FileFiller = std::function<bool(void* file)>;
// As WriteFileReplacing, with the content written by `fill`.
bool WriteFileReplacingWith(const std::string& fileName, const FileFiller& fill, ReplaceGate* gate = nullptr);
#endif

}  // namespace MyApp
