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
#include <string>

namespace MyApp {

// Hands out a file's content piece by piece: each call sets the next bytes
// (a size of 0 at the end); false means the content cannot be made.
using ByteSource = std::function<bool(const std::uint8_t*& data, std::size_t& size)>;

// Writes the bytes of `source` in the named file's place.
bool WriteFileReplacing(const std::string& fileName, const ByteSource& source);

#ifdef _WIN32
// Writes a file's content through the handle (a HANDLE) of the new file,
// opened for reading and writing, seeking at will; false means the content
// cannot be made.
using FileFiller = std::function<bool(void* file)>;
// As WriteFileReplacing, with the content written by `fill`.
bool WriteFileReplacingWith(const std::string& fileName, const FileFiller& fill);
#endif

}  // namespace MyApp
