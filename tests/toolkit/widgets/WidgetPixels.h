// Helpers of the container and ruler tests: reading the pixels of bitmaps
// and of windows shown on the screen.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace widgettest {

// A picture as 0x00BBGGRR values (COLORREF), top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> values;
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
        return values[static_cast<std::size_t>(y) * width + x];
    }
    // How many pixels of the colour lie in the box [x0, x1) x [y0, y1).
    int Count(int x0, int y0, int x1, int y1, COLORREF colour) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += At(x, y) == colour ? 1 : 0;
        return n;
    }
};

inline Pixels ReadBitmap(HBITMAP bitmap) {
    Pixels result;
    BITMAP info{};
    if (bitmap == nullptr || !GetObjectW(bitmap, sizeof info, &info)) return result;
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> raw(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    const int lines = GetDIBits(memory, bitmap, 0, info.bmHeight, raw.data(), &header, DIB_RGB_COLORS);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (lines != info.bmHeight) return result;
    result.width = info.bmWidth;
    result.height = info.bmHeight;
    result.values.reserve(raw.size());
    for (std::uint32_t p : raw) result.values.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    return result;
}

// The pixels of a window's client area as they are on the screen.
inline Pixels CaptureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT corner{0, 0};
    ClientToScreen(window, &corner);
    const int w = client.right;
    const int h = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, corner.x, corner.y, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Pixels result = ReadBitmap(bitmap);
    DeleteObject(bitmap);
    return result;
}

}  // namespace widgettest
