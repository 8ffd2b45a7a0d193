// What tells that a file changed since the program read or wrote it: its
// size and its last-write time, as the file system gives them.
#pragma once

#include <cstdint>
#include <string>

namespace MyApp {

struct FileStamp {
    bool present = false;        // the file was there (and is a file)
    std::uint64_t size = 0;      // bytes
    std::int64_t writeTime = 0;  // last write, in the file system's own units
};

inline bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.present == b.present && (!a.present || (a.size == b.size && a.writeTime == b.writeTime));
}
inline bool operator!=(const FileStamp& a, const FileStamp& b) { return !(a == b); }

// The stamp of the file at `path` (narrow, in the system code page) as it
// is now; not present when there is no such file or it is a folder.
FileStamp ReadFileStamp(const std::string& path);

}  // namespace MyApp
