#include "file/LineFile.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace MyApp {

namespace {

constexpr std::uint64_t NoFailure = ~0ull;
constexpr std::size_t ChunkBytes = 1 << 16;

std::string JoinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string content;
    content.reserve(size);
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    return content;
}

#ifdef _WIN32

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
    return wide;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0) return path.substr(0, 1);
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

bool ReplaceContent(const std::string& path, const std::string& content, std::uint64_t failAfter) {
    const std::wstring target = Widen(path);
    if (target.empty()) return false;
    // Windows refuses to replace a read-only file; Wine would replace it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) return false;
    wchar_t temp[MAX_PATH + 1] = {};
    if (GetTempFileNameW(FolderOf(target).c_str(), L"vmo", 0, temp) == 0) return false;
    HANDLE file = CreateFileW(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(temp);
        return false;
    }
    bool ok = true;
    std::uint64_t written = 0;
    for (std::size_t at = 0; ok && at < content.size(); at += ChunkBytes) {
        DWORD size = static_cast<DWORD>(std::min(ChunkBytes, content.size() - at));
        if (failAfter != NoFailure && written + size > failAfter) {
            size = static_cast<DWORD>(failAfter - written);
            ok = false;
        }
        DWORD done = 0;
        if (size > 0 && (!WriteFile(file, content.data() + at, size, &done, nullptr) || done != size)) ok = false;
        written += done;
    }
    if (ok && !FlushFileBuffers(file)) ok = false;
    if (!CloseHandle(file)) ok = false;
    if (ok && !MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) ok = false;
    if (!ok) DeleteFileW(temp);
    return ok;
}

#else

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ReplaceContent(const std::string& path, const std::string& content, std::uint64_t failAfter) {
    if (path.empty()) return false;
    std::string temp = FolderOf(path) + "/." + NameOf(path) + ".XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) return false;
    // The new file gets the old one's permissions, or the usual ones.
    struct stat old {};
    if (stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    bool ok = true;
    std::uint64_t written = 0;
    for (std::size_t at = 0; ok && at < content.size();) {
        std::size_t size = std::min(ChunkBytes, content.size() - at);
        if (failAfter != NoFailure && written + size > failAfter) {
            size = static_cast<std::size_t>(failAfter - written);
            ok = false;
        }
        while (size > 0) {
            const ssize_t n = write(fd, content.data() + at, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = false;
                break;
            }
            at += static_cast<std::size_t>(n);
            written += static_cast<std::uint64_t>(n);
            size -= static_cast<std::size_t>(n);
        }
    }
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && rename(temp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) unlink(temp.c_str());
    return ok;
}

#endif

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes, bool& tooLarge, std::uint64_t maxBytes) {
    bytes.clear();
    tooLarge = false;
#ifdef _WIN32
    const std::wstring wide = Widen(path);
    if (wide.empty()) return false;
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = GetFileType(file) == FILE_TYPE_DISK;
    LARGE_INTEGER size{};
    if (ok && !GetFileSizeEx(file, &size)) ok = false;
    if (ok && static_cast<std::uint64_t>(size.QuadPart) > maxBytes) {
        tooLarge = true;
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        std::size_t at = 0;
        while (at < bytes.size()) {
            DWORD done = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 24));
            if (!ReadFile(file, &bytes[at], want, &done, nullptr)) {
                ok = false;
                break;
            }
            if (done == 0) break;  // the file shrank meanwhile
            at += done;
        }
        bytes.resize(at);
    }
    CloseHandle(file);
    if (!ok) bytes.clear();
    return ok;
#else
    // Non-blocking, so that a pipe or a device cannot keep the open waiting.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (ok && static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        tooLarge = true;
        ok = false;
    }
    if (ok) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t n = read(fd, &bytes[at], bytes.size() - at);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0) break;
            at += static_cast<std::size_t>(n);
        }
        bytes.resize(at);
    }
    close(fd);
    if (!ok) bytes.clear();
    return ok;
#endif
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    ForEachLine(bytes, [&lines](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    return lines;
}

ReadLinesResult ReadLines(const std::string& path) {
    ReadLinesResult result;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, result.tooLarge)) {
        result.openFailed = !result.tooLarge;
        return result;
    }
    result.lines = SplitLines(bytes);
    return result;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return ReplaceContent(path, JoinLines(lines), NoFailure);
}

namespace detail {
bool WriteLinesFailingAfter(const std::string& path, const std::vector<std::string>& lines,
                            std::uint64_t failAfterBytes) {
    return ReplaceContent(path, JoinLines(lines), failAfterBytes);
}
}  // namespace detail

}  // namespace MyApp
