#include "toolkit/BitmapFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "toolkit/GdiTally.h"

namespace QVUtility {

bool SaveBitmapFile(const std::string& fileName, HBITMAP bitmap) {
    if (!bitmap) return false;
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info)) return false;
    const LONG width = info.bmWidth;
    const LONG height = info.bmHeight;
    if (width < 0 || height < 0) return false;
    const std::uint64_t pixelCount = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (pixelCount > std::numeric_limits<std::size_t>::max() / 4) return false;

    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(pixelCount));
    bool read = true;
    if (pixelCount > 0) {
        HDC screen = GetDC(nullptr);
        HDC memory = CountGdiCreation(CreateCompatibleDC(screen));
        BITMAPINFO request{};
        request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        request.bmiHeader.biWidth = width;
        request.bmiHeader.biHeight = -height;  // top row first
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        const int lines = memory ? GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &request,
                                             DIB_RGB_COLORS)
                                 : 0;
        read = lines == height;
        if (screen) ReleaseDC(nullptr, screen);
        ReleaseMemoryContext(memory);
    }
    if (!read) return false;

    // 32-bit pixels are stored blue, green, red, unused: 0x00RRGGBB as a
    // number; the grid holds 0x00BBGGRR.
    PixelGrid grid(static_cast<std::size_t>(height));
    for (LONG row = 0; row < height; ++row) {
        auto& line = grid[static_cast<std::size_t>(row)];
        line.resize(static_cast<std::size_t>(width));
        const std::uint32_t* source = pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
        for (LONG column = 0; column < width; ++column) {
            const std::uint32_t p = source[column];
            const std::uint32_t blue = p & 0xFF;
            const std::uint32_t green = (p >> 8) & 0xFF;
            const std::uint32_t red = (p >> 16) & 0xFF;
            line[static_cast<std::size_t>(column)] = (blue << 16) | (green << 8) | red;
        }
    }
    pixels.clear();
    pixels.shrink_to_fit();
    return WriteBitmapFile(fileName, grid);
}

bool WriteBitmapInBands(const std::string& fileName, int width, int height, const BandPainter& paint,
                        std::size_t bandBytes) {
    std::vector<std::uint8_t> header;
    if (width <= 0 || height <= 0 || !BitmapFileHeader(static_cast<std::uint64_t>(width),
                                                       static_cast<std::uint64_t>(height), header)) {
        return false;
    }
    // One band of whole rows, stored bottom row first like the file itself,
    // so that a painted band is the file's next piece as it stands.
    const std::uint64_t rowBytes = BitmapRowBytes(static_cast<std::uint64_t>(width));
    const int bandRows = static_cast<int>(
        std::max<std::uint64_t>(1, std::min<std::uint64_t>(static_cast<std::uint64_t>(height), bandBytes / rowBytes)));
    BITMAPINFO layout{};
    layout.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    layout.bmiHeader.biWidth = width;
    layout.bmiHeader.biHeight = bandRows;
    layout.bmiHeader.biPlanes = 1;
    layout.bmiHeader.biBitCount = 24;
    layout.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CountGdiCreation(CreateCompatibleDC(screen));
    void* bits = nullptr;
    HBITMAP band = memory ? CountGdiCreation(CreateDIBSection(memory, &layout, DIB_RGB_COLORS, &bits, nullptr, 0))
                          : nullptr;
    if (screen) ReleaseDC(nullptr, screen);
    HGDIOBJ previous = band && bits ? SelectObject(memory, band) : nullptr;

    bool written = false;
    if (previous != nullptr) {
        bool headerHanded = false;
        int bottom = height;  // the next band ends above this row
        written = WriteFileReplacing(fileName, [&](const std::uint8_t*& data, std::size_t& size) {
            if (!headerHanded) {
                headerHanded = true;
                data = header.data();
                size = header.size();
                return true;
            }
            size = 0;
            if (bottom <= 0) return true;
            const int top = std::max(0, bottom - bandRows);
            // Picture row y lands on band row y - (bottom - bandRows): the
            // band's last rows, which come first in its memory.
            SetWindowOrgEx(memory, 0, bottom - bandRows, nullptr);
            paint(memory, top, bottom);
            GdiFlush();
            data = static_cast<const std::uint8_t*>(bits);
            size = static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(bottom - top);
            bottom = top;
            return true;
        });
        SetWindowOrgEx(memory, 0, 0, nullptr);
        SelectObject(memory, previous);
    }
    ReleaseGdiObject(band);
    ReleaseMemoryContext(memory);
    return written;
}

}  // namespace QVUtility
