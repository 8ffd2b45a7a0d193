#include "file/FileStamp.h"

#ifdef _WIN32
#include <windows.h>

#include "model/WideText.h"
#else
#include <sys/stat.h>
#endif

namespace MyApp {

FileStamp ReadFileStamp(const std::string& path) {
    FileStamp stamp;
#ifdef _WIN32
    const std::wstring wide = Widen(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (wide.empty() || !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return stamp;
    stamp.present = true;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                                data.ftLastWriteTime.dwLowDateTime);
#else
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return stamp;
    stamp.present = true;
    stamp.size = static_cast<std::uint64_t>(info.st_size);
    stamp.writeTime = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
#endif
    return stamp;
}

}  // namespace MyApp
