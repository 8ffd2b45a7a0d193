#include "toolkit/draw/BmpWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <limits>

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
    return WriteFileReplacing(fileName, [&](const std::uint8_t*& data, std::size_t& size) {
        data = bytes.data();
        size = handed ? 0 : bytes.size();
        handed = true;
        return true;
    });
}

}  // namespace QVUtility
