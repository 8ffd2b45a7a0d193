// Screen pixels and pictures of the screen.
#include "Driver.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <initializer_list>

namespace drv {

namespace {

std::wstring Number(long long value) { return std::to_wstring(value); }

// Screen DC for the life of one call.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

bool WriteAll(HANDLE file, const void* data, size_t bytes) {
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(bytes), &written, nullptr) && written == bytes;
}

}  // namespace

COLORREF ScreenPixel(POINT screen) {
    ScreenDC dc;
    if (!dc.Get()) return CLR_INVALID;
    return GetPixel(dc.Get(), screen.x, screen.y);
}

bool PointShows(POINT screen, HWND window) { return WindowFromPoint(screen) == window; }

COLORREF Image::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

size_t Image::Count(COLORREF colour) const {
    const uint32_t wanted = (static_cast<uint32_t>(GetRValue(colour)) << 16) |
                            (static_cast<uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
    size_t n = 0;
    for (uint32_t p : pixels)
        if (p == wanted) ++n;
    return n;
}

Image CaptureScreen(const RECT& screen) {
    Image image;
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    if (width <= 0 || height <= 0) {
        Fail(L"empty rectangle to capture");
        return image;
    }
    ScreenDC dc;
    HDC memory = CreateCompatibleDC(dc.Get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = memory ? CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!bitmap || !bits) {
        if (memory) DeleteDC(memory);
        Fail(L"no bitmap of " + Number(width) + L"x" + Number(height) + L" for the capture");
        return image;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, dc.Get(), screen.left, screen.top, SRCCOPY);
    GdiFlush();
    if (copied) {
        image.width = width;
        image.height = height;
        const auto* p = static_cast<const uint32_t*>(bits);
        image.pixels.assign(p, p + static_cast<size_t>(width) * height);
        for (uint32_t& px : image.pixels) px &= 0x00FFFFFF;
    } else {
        Fail(L"BitBlt from the screen failed");
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return image;
}

Image CaptureWindow(HWND window) { return CaptureScreen(ScreenRect(window)); }

bool SaveBmp(const Image& image, const std::wstring& path) {
    if (image.Empty()) return Fail(L"no picture to save");
    const size_t stride = (static_cast<size_t>(image.width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t dataSize = stride * image.height;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + dataSize);
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = image.height;  // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(dataSize);
    std::vector<BYTE> data(dataSize, 0);
    for (int y = 0; y < image.height; ++y) {
        BYTE* row = data.data() + stride * (image.height - 1 - y);
        for (int x = 0; x < image.width; ++x) {
            const uint32_t p = image.pixels[static_cast<size_t>(y) * image.width + x];
            row[x * 3 + 0] = static_cast<BYTE>(p & 0xFF);
            row[x * 3 + 1] = static_cast<BYTE>((p >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<BYTE>((p >> 16) & 0xFF);
        }
    }
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return Fail(L"cannot write " + path + L", error " + Number(GetLastError()));
    const bool ok = WriteAll(out, &file, sizeof file) && WriteAll(out, &header, sizeof header) &&
                    WriteAll(out, data.data(), data.size());
    CloseHandle(out);
    return ok ? true : Fail(L"writing " + path + L" failed");
}

bool SaveScreenshot(const std::wstring& path) {
    const SIZE size = ScreenSize();
    const Image image = CaptureScreen(RECT{0, 0, size.cx, size.cy});
    return !image.Empty() && SaveBmp(image, path);
}

void ScreenshotIfAsked(const wchar_t* variable, const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(variable, folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    Sleep(300);  // let the windows finish painting
    SaveScreenshot(std::wstring(folder) + L"\\" + name + L".bmp");
}

Image LoadPng(const std::wstring& path) {
    Image image;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&width, &height))) {
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        if (SUCCEEDED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(pixels.size() * 4),
                                            reinterpret_cast<BYTE*>(pixels.data())))) {
            for (uint32_t& p : pixels) p &= 0xFFFFFF;  // 0x00RRGGBB
            image.width = static_cast<int>(width);
            image.height = static_cast<int>(height);
            image.pixels = std::move(pixels);
        }
    }
    for (IUnknown* held : std::initializer_list<IUnknown*>{converter, frame, decoder, factory})
        if (held != nullptr) held->Release();
    if (SUCCEEDED(com)) CoUninitialize();
    if (image.Empty()) Fail(path + L" cannot be read as a PNG picture");
    return image;
}

Image LoadBmp(const std::wstring& path) {
    Image image;
    HANDLE in = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (in == INVALID_HANDLE_VALUE) {
        Fail(L"cannot open " + path + L", error " + Number(GetLastError()));
        return image;
    }
    std::vector<BYTE> bytes;
    BYTE chunk[65536];
    DWORD got = 0;
    while (ReadFile(in, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(in);

    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    if (bytes.size() < sizeof file + sizeof header) {
        Fail(path + L" is too short for a bitmap");
        return image;
    }
    memcpy(&file, bytes.data(), sizeof file);
    memcpy(&header, bytes.data() + sizeof file, sizeof header);
    const long long width = header.biWidth;
    const long long height = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    if (file.bfType != 0x4D42 || header.biSize < sizeof header || header.biCompression != BI_RGB ||
        (header.biBitCount != 24 && header.biBitCount != 32) || width <= 0 || height <= 0 || width > 100000 ||
        height > 100000) {
        Fail(path + L" is not an uncompressed 24- or 32-bit bitmap");
        return image;
    }
    const size_t bytesPerPixel = header.biBitCount / 8;
    const size_t stride = (static_cast<size_t>(width) * bytesPerPixel + 3) & ~static_cast<size_t>(3);
    if (file.bfOffBits > bytes.size() || (bytes.size() - file.bfOffBits) / stride < static_cast<size_t>(height)) {
        Fail(path + L" holds fewer pixels than its header says");
        return image;
    }
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(static_cast<size_t>(width) * height);
    for (long long y = 0; y < height; ++y) {
        const long long row = header.biHeight < 0 ? y : height - 1 - y;
        const BYTE* p = bytes.data() + file.bfOffBits + stride * row;
        for (long long x = 0; x < width; ++x, p += bytesPerPixel)
            image.pixels[static_cast<size_t>(y * width + x)] =
                (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
    return image;
}

std::string FailureReport(DWORD pid, const std::wstring& name) {
    const std::wstring shot = ExeFolder() + name + L".bmp";
    std::string report =
        SaveScreenshot(shot) ? "screen saved in " + Utf8(shot) + "\n" : "no screenshot: " + Utf8(LastError()) + "\n";
    return report + "windows of process " + std::to_string(pid) + ":\n" + DescribeWindows(pid);
}

}  // namespace drv
