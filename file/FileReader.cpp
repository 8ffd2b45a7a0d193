#include "file/FileReader.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "model/WideText.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace MyApp {

#ifdef _WIN32

FileReader::FileReader(const std::string& path) {
    const std::wstring wide = Widen(path);
    if (wide.empty()) return;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    handle_ = reinterpret_cast<std::intptr_t>(file);
    LARGE_INTEGER size{};
    open_ = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size);
    size_ = open_ ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

FileReader::~FileReader() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::ptrdiff_t FileReader::Read(char* data, std::size_t want) {
    if (!open_) return -1;
    DWORD done = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(want, 1u << 24));
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), data, chunk, &done, nullptr)) return -1;
    return static_cast<std::ptrdiff_t>(done);
}

#else

FileReader::FileReader(const std::string& path) {
    // Non-blocking, so that a pipe or a device cannot keep the open waiting.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    handle_ = fd;
    struct stat info {};
    open_ = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    size_ = open_ ? static_cast<std::uint64_t>(info.st_size) : 0;
}

FileReader::~FileReader() {
    if (handle_ != -1) close(static_cast<int>(handle_));
}

std::ptrdiff_t FileReader::Read(char* data, std::size_t want) {
    if (!open_) return -1;
    for (;;) {
        const ssize_t n = read(static_cast<int>(handle_), data, want);
        if (n < 0 && errno == EINTR) continue;
        return n < 0 ? -1 : static_cast<std::ptrdiff_t>(n);
    }
}

#endif

}  // namespace MyApp
