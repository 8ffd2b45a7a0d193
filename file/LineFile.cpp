#include "file/LineFile.h"

#include <algorithm>

#include "file/ReplaceFile.h"

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

// Replaces the file with the content, handed out in pieces; the source
// fails once `failAfter` bytes are out (for the tests of the failure path).
bool ReplaceContent(const std::string& path, const std::string& content, std::uint64_t failAfter) {
    std::size_t at = 0;
    return WriteFileReplacing(path, [&](const std::uint8_t*& data, std::size_t& size) {
        size = 0;
        if (at == content.size()) return true;
        if (failAfter != NoFailure && at >= failAfter) return false;
        size = std::min(ChunkBytes, content.size() - at);
        if (failAfter != NoFailure) size = static_cast<std::size_t>(std::min<std::uint64_t>(size, failAfter - at));
        data = reinterpret_cast<const std::uint8_t*>(content.data()) + at;
        at += size;
        return true;
    });
}

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
