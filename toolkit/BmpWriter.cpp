#include "toolkit/BmpWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace QVUtility {

namespace {

constexpr std::uint32_t kHeadersSize = 14 + 40;

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

#ifdef _WIN32

std::wstring WidePath(const std::string& text) {
    if (text.empty()) return std::wstring();
    int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// Creates a new file beside `target` and writes `bytes` to it; answers its
// name, or an empty name when it could not be made or written completely
// (nothing is left behind then).
std::wstring WriteTemporaryBeside(const std::wstring& target, const std::vector<std::uint8_t>& bytes) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[32];
        swprintf(suffix, 32, L".%08lx.tmp", static_cast<unsigned long>(GetTickCount() + attempt * 7919u));
        std::wstring name = target + suffix;
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return std::wstring();
        }
        bool written = true;
        std::size_t done = 0;
        while (written && done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
            DWORD wrote = 0;
            written = WriteFile(file, bytes.data() + done, chunk, &wrote, nullptr) && wrote == chunk;
            done += wrote;
        }
        if (written) written = FlushFileBuffers(file) != 0;
        if (!CloseHandle(file)) written = false;
        if (!written) {
            DeleteFileW(name.c_str());
            return std::wstring();
        }
        return name;
    }
    return std::wstring();
}

bool WriteReplacing(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    std::wstring target = WidePath(fileName);
    if (target.empty()) return false;
    // A read-only file or a folder of that name is not replaced.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    std::wstring temporary = WriteTemporaryBeside(target, bytes);
    if (temporary.empty()) return false;
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

#else

bool WriteReplacing(const std::string& fileName, const std::vector<std::uint8_t>& bytes) {
    if (fileName.empty()) return false;
    std::string temporary = fileName + ".XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0) return false;
    mode_t mask = umask(0);
    umask(mask);
    bool written = fchmod(fd, 0666 & ~mask) == 0;
    std::size_t done = 0;
    while (written && done < bytes.size()) {
        ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            written = false;
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    if (written) written = fsync(fd) == 0;
    if (close(fd) != 0) written = false;
    if (written) written = std::rename(temporary.c_str(), fileName.c_str()) == 0;
    if (!written) std::remove(temporary.c_str());
    return written;
}

#endif

}  // namespace

bool EncodeBitmapFile(const PixelGrid& grid, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    const std::size_t rows = grid.size();
    const std::size_t width = rows == 0 ? 0 : grid.front().size();
    for (const auto& row : grid) {
        if (row.size() != width) return false;
    }
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * 3 + 3) / 4 * 4;
    const std::uint64_t fileSize = kHeadersSize + rowBytes * rows;
    if (width > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ||
        rows > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) ||
        fileSize > std::numeric_limits<std::uint32_t>::max()) {
        return false;
    }
    const std::size_t padding = static_cast<std::size_t>(rowBytes - width * 3);

    bytes.reserve(static_cast<std::size_t>(fileSize));
    // File header.
    bytes.push_back('B');
    bytes.push_back('M');
    PutU32(bytes, static_cast<std::uint32_t>(fileSize));
    PutU16(bytes, 0);
    PutU16(bytes, 0);
    PutU32(bytes, kHeadersSize);
    // Information header; a positive height stores the bottom row first.
    PutU32(bytes, 40);
    PutU32(bytes, static_cast<std::uint32_t>(width));
    PutU32(bytes, static_cast<std::uint32_t>(rows));
    PutU16(bytes, 1);
    PutU16(bytes, 24);
    for (int field = 0; field < 6; ++field) PutU32(bytes, 0);  // compression .. important colours

    for (std::size_t r = rows; r-- > 0;) {
        for (std::uint32_t colour : grid[r]) {
            bytes.push_back(static_cast<std::uint8_t>((colour >> 16) & 0xFF));  // blue
            bytes.push_back(static_cast<std::uint8_t>((colour >> 8) & 0xFF));   // green
            bytes.push_back(static_cast<std::uint8_t>(colour & 0xFF));          // red
        }
        bytes.insert(bytes.end(), padding, 0);
    }
    return true;
}

bool WriteBitmapFile(const std::string& fileName, const PixelGrid& grid) {
    std::vector<std::uint8_t> bytes;
    if (!EncodeBitmapFile(grid, bytes)) return false;
    return WriteReplacing(fileName, bytes);
}

}  // namespace QVUtility
