// A file open for reading from its start to its end, a piece at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace MyApp {

class FileReader {
public:
    // Opens the file at `path` (narrow text in the system code page), shared
    // with programs that read or write it. Only a file on disk opens: a
    // folder, a pipe or a device does not, and the open never waits.
    explicit FileReader(const std::string& path);
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool IsOpen() const { return open_; }
    // The size when it was opened, in bytes (a file may grow or shrink as it
    // is read).
    std::uint64_t Size() const { return size_; }
    // Reads up to `want` bytes: how many it read, 0 at the end of the file,
    // -1 when reading failed.
    std::ptrdiff_t Read(char* data, std::size_t want);

private:
    std::intptr_t handle_ = -1;  // a HANDLE on Windows, a descriptor elsewhere
    bool open_ = false;
    std::uint64_t size_ = 0;
};

}  // namespace MyApp
