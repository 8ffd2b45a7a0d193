#include "toolkit/draw/BmpWriter.h"

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

// Creates a new file beside `target` and has `fill` write it; answers its
// name, or an empty name when it could not be made or written completely
// (nothing is left behind then).
std::wstring WriteTemporaryBeside(const std::wstring& target, const FileFiller& fill) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[32];
        swprintf(suffix, 32, L".%08lx.tmp", static_cast<unsigned long>(GetTickCount() + attempt * 7919u));
        std::wstring name = target + suffix;
        HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS) continue;
            return std::wstring();
        }
        bool written = fill(file);
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

// Writes the bytes of `source` to the file.
bool WriteAll(HANDLE file, const ByteSource& source) {
    bool written = true;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    while (written && (written = source(data, size)) && size > 0) {
        std::size_t done = 0;
        while (written && done < size) {
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
            DWORD wrote = 0;
            written = WriteFile(file, data + done, chunk, &wrote, nullptr) && wrote == chunk;
            done += wrote;
        }
    }
    return written;
}

bool ReplaceWith(const std::string& fileName, const FileFiller& fill) {
    std::wstring target = WidePath(fileName);
    if (target.empty()) return false;
    // A read-only file or a folder of that name is not replaced.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    std::wstring temporary = WriteTemporaryBeside(target, fill);
    if (temporary.empty()) return false;
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

bool WriteReplacing(const std::string& fileName, const ByteSource& source) {
    return ReplaceWith(fileName, [&](void* file) { return WriteAll(static_cast<HANDLE>(file), source); });
}

#else

bool WriteReplacing(const std::string& fileName, const ByteSource& source) {
    if (fileName.empty()) return false;
    std::string temporary = fileName + ".XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0) return false;
    mode_t mask = umask(0);
    umask(mask);
    bool written = fchmod(fd, 0666 & ~mask) == 0;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    while (written && (written = source(data, size)) && size > 0) {
        std::size_t done = 0;
        while (done < size) {
            ssize_t wrote = write(fd, data + done, size - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) {
                written = false;
                break;
            }
            done += static_cast<std::size_t>(wrote);
        }
    }
    if (written) written = fsync(fd) == 0;
    if (close(fd) != 0) written = false;
    if (written) written = std::rename(temporary.c_str(), fileName.c_str()) == 0;
    if (!written) std::remove(temporary.c_str());
    return written;
}

#endif

}  // namespace

std::uint64_t BitmapRowBytes(std::uint64_t width) { return (width * 3 + 3) / 4 * 4; }

bool BitmapFileHeader(std::uint64_t width, std::uint64_t height, std::vector<std::uint8_t>& header) {
    header.clear();
    const std::uint64_t side = static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
    if (width > side || height > side) return false;
    const std::uint64_t fileSize = kHeadersSize + BitmapRowBytes(width) * height;
    if (fileSize > std::numeric_limits<std::uint32_t>::max()) return false;
    // File header.
    header.push_back('B');
    header.push_back('M');
    PutU32(header, static_cast<std::uint32_t>(fileSize));
    PutU16(header, 0);
    PutU16(header, 0);
    PutU32(header, kHeadersSize);
    // Information header; a positive height stores the bottom row first.
    PutU32(header, 40);
    PutU32(header, static_cast<std::uint32_t>(width));
    PutU32(header, static_cast<std::uint32_t>(height));
    PutU16(header, 1);
    PutU16(header, 24);
    for (int field = 0; field < 6; ++field) PutU32(header, 0);  // compression .. important colours
    return true;
}

bool WriteFileReplacing(const std::string& fileName, const ByteSource& source) {
    return WriteReplacing(fileName, source);
}

#ifdef _WIN32
bool WriteFileReplacingWith(const std::string& fileName, const FileFiller& fill) { return ReplaceWith(fileName, fill); }
#endif

bool EncodeBitmapFile(const PixelGrid& grid, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    const std::size_t rows = grid.size();
    const std::size_t width = rows == 0 ? 0 : grid.front().size();
    for (const auto& row : grid) {
        if (row.size() != width) return false;
    }
    if (!BitmapFileHeader(width, rows, bytes)) return false;
    const std::uint64_t rowBytes = BitmapRowBytes(width);
    const std::size_t padding = static_cast<std::size_t>(rowBytes - width * 3);
    bytes.reserve(static_cast<std::size_t>(kHeadersSize + rowBytes * rows));

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
    bool handed = false;
    return WriteReplacing(fileName, [&](const std::uint8_t*& data, std::size_t& size) {
        data = bytes.data();
        size = handed ? 0 : bytes.size();
        handed = true;
        return true;
    });
}

}  // namespace QVUtility
