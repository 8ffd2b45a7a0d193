#include "toolkit/BitmapFile.h"

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

}  // namespace QVUtility
