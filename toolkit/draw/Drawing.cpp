#include "toolkit/draw/Drawing.h"

#include "toolkit/core/GUIElement.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/TextConversion.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace QVUtility {

namespace {

// Back buffers handed out by CreateBackBuffer and not yet released: the
// memory context, the bitmap made for it and the bitmap it held before.
struct BackBuffer {
    HDC context;
    HBITMAP bitmap;
    HGDIOBJ original;
};

std::mutex backBuffersLock;
std::vector<BackBuffer> backBuffers;

bool TakeBackBuffer(HDC context, BackBuffer& found) {
    std::lock_guard<std::mutex> guard(backBuffersLock);
    auto it = std::find_if(backBuffers.begin(), backBuffers.end(),
                           [context](const BackBuffer& b) { return b.context == context; });
    if (it == backBuffers.end()) return false;
    found = *it;
    backBuffers.erase(it);
    return true;
}

// Deletes a back buffer with its bitmap, or any other context given to the
// surface to own.
void DeleteOwnedContext(HDC context) {
    BackBuffer buffer{};
    if (TakeBackBuffer(context, buffer)) {
        SelectObject(buffer.context, buffer.original);
        ReleaseMemoryContext(buffer.context);
        ReleaseGdiObject(buffer.bitmap);
    } else {
        DeleteDC(context);
    }
}

constexpr std::size_t kMaxTextLength = 1023;

}  // namespace

Drawing::~Drawing() {
    if (context) End();
}

void Drawing::Begin(GUIElement* paintedElement) {
    if (context) End();
    element = paintedElement;
    HWND window = paintedElement ? paintedElement->window : nullptr;
    if (!window) return;
    paintRecord = PAINTSTRUCT{};
    context = BeginPaint(window, &paintRecord);
    if (context) {
        paintWindow = window;
    } else {
        OnPlatformError("Begin");
    }
}

void Drawing::Attach(HDC dc, bool owned) {
    if (context) End();
    context = dc;
    attached = true;
    ownsContext = owned;
}

void Drawing::End() {
    if (attached) {
        if (ownsContext && context) ReleaseContext();
        attached = false;
        ownsContext = false;
    } else if (context && paintWindow) {
        EndPaint(paintWindow, &paintRecord);
    }
    context = nullptr;
    paintWindow = nullptr;
}

void Drawing::ReleaseContext() { DeleteOwnedContext(context); }

HDC Drawing::CreateBackBuffer() {
    if (!context) return nullptr;
    RECT area{};
    HWND window = WindowFromDC(context);
    if (!window || !GetClientRect(window, &area)) area = paintRecord.rcPaint;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;

    HDC memory = CountGdiCreation(CreateCompatibleDC(context));
    if (!memory) {
        OnPlatformError("CreateBackBuffer");
        return nullptr;
    }
    HBITMAP bitmap = CountGdiCreation(CreateCompatibleBitmap(context, width, height));
    if (!bitmap) {
        OnPlatformError("CreateBackBuffer");
        ReleaseMemoryContext(memory);
        return nullptr;
    }
    // The bitmap replaced is the context's stock one: kept to be put back.
    HGDIOBJ original = SelectObject(memory, bitmap);
    std::lock_guard<std::mutex> guard(backBuffersLock);
    backBuffers.push_back(BackBuffer{memory, bitmap, original});
    return memory;
}

void Drawing::ReleaseBackBuffer(HDC backBuffer) {
    if (backBuffer) DeleteOwnedContext(backBuffer);
}

void Drawing::FillRect(int x, int y, int w, int h, int outlineWidth, COLORREF outlineColour, COLORREF fillColour) {
    if (!context) return;
    const bool outlined = outlineWidth > 0;
    GdiObject<HPEN> pen(outlined ? CreatePen(PS_SOLID, outlineWidth, outlineColour) : CreatePen(PS_NULL, 1, 0));
    GdiObject<HBRUSH> brush(CreateSolidBrush(fillColour));
    if (!pen || !brush) OnPlatformError("FillRect");
    ScopedSelect penIn(context, pen.Get());
    ScopedSelect brushIn(context, brush.Get());
    // Without an outline the rectangle's right and bottom edges are not
    // painted, so the box is widened by one to fill all w x h pixels.
    const int grow = outlined ? 0 : 1;
    Rectangle(context, x, y, x + w + grow, y + h + grow);
}

void Drawing::FrameRect(int x, int y, int w, int h, int penWidth, COLORREF colour) {
    if (!context) return;
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, penWidth, colour));
    if (!pen) OnPlatformError("FrameRect");
    ScopedSelect penIn(context, pen.Get());
    ScopedSelect brushIn(context, GetStockObject(NULL_BRUSH));
    Rectangle(context, x, y, x + w, y + h);
}

void Drawing::DrawText(int x, int y, int w, int h, const std::string& text, COLORREF colour, FontDescription* font,
                       int alignment, bool literal) {
    if (!context) return;
    DrawText(x, y, w, h, Widen(text), colour, font, alignment, literal);
}

void Drawing::DrawText(int x, int y, int w, int h, const std::wstring& text, COLORREF colour, FontDescription* font,
                       int alignment, bool literal) {
    if (!context) return;
    std::wstring shown = text.substr(0, kMaxTextLength);
    const int oldMode = SetBkMode(context, TRANSPARENT);
    ScopedSelect fontIn(context, font ? font->GetFont() : nullptr);
    const COLORREF oldColour = SetTextColor(context, colour);
    if (w != 0 && h != 0) {
        UINT format = DT_TOP;
        format |= alignment == 1 ? DT_RIGHT : alignment == 2 ? DT_CENTER : DT_LEFT;
        if (literal) format |= DT_NOPREFIX;
        RECT box{x, y, x + w, y + h};
        ::DrawTextW(context, shown.c_str(), static_cast<int>(shown.size()), &box, format);
    } else {
        TextOutW(context, x, y, shown.c_str(), static_cast<int>(shown.size()));
    }
    SetTextColor(context, oldColour);
    if (oldMode) SetBkMode(context, oldMode);
}

int Drawing::TextHeight(FontDescription* font) {
    if (!context || !font) return -1;
    HFONT handle = font->GetFont();
    if (!handle) return -1;
    ScopedSelect fontIn(context, handle);
    TEXTMETRICW metrics{};
    const BOOL read = GetTextMetricsW(context, &metrics);
    return read ? static_cast<int>(metrics.tmHeight) : -1;
}

void Drawing::BlitBitmapAt(HBITMAP bitmap, int y) { CopyBitmap(bitmap, 0, y, 0, 0, false, "BlitBitmapAt"); }

void Drawing::DrawBitmap(HBITMAP bitmap, int x, int y, int w, int h) {
    CopyBitmap(bitmap, x, y, w, h, false, "DrawBitmap");
}

void Drawing::DrawBitmapTransparent(HBITMAP bitmap, int x, int y, int w, int h) {
    CopyBitmap(bitmap, x, y, w, h, true, "DrawBitmapTransparent");
}

void Drawing::CopyBitmap(HBITMAP bitmap, int x, int y, int w, int h, bool transparent, const char* operation) {
    if (!context || !bitmap) return;
    BITMAP info{};
    if (!GetObjectW(bitmap, sizeof info, &info)) {
        OnPlatformError(operation);
        return;
    }
    const int sourceWidth = info.bmWidth;
    const int sourceHeight = info.bmHeight;
    const bool stretched = w != 0 && h != 0;
    const int targetWidth = stretched ? w : sourceWidth;
    const int targetHeight = stretched ? h : sourceHeight;

    MemoryContext sourceContext(context);
    if (!sourceContext) {
        OnPlatformError(operation);
        return;
    }
    HDC source = sourceContext.Get();
    ScopedSelect bitmapIn(source, bitmap);
    if (!bitmapIn) {
        OnPlatformError(operation);
        return;
    }
    auto copy = [&](HDC from, DWORD rop) {
        const BOOL done =
            stretched ? StretchBlt(context, x, y, targetWidth, targetHeight, from, 0, 0, sourceWidth, sourceHeight, rop)
                      : BitBlt(context, x, y, targetWidth, targetHeight, from, 0, 0, rop);
        if (!done) OnPlatformError(operation);
    };

    if (!transparent) {
        copy(source, SRCCOPY);
    } else {
        // Mask: 1 where the picture is black. Copied to the target as white
        // (kept by SRCAND) there and black (cleared) elsewhere; the picture
        // is then ORed into the cleared pixels.
        GdiObject<HBITMAP> mask(CreateBitmap(sourceWidth, sourceHeight, 1, 1, nullptr));
        MemoryContext maskContext(context);
        ScopedSelect maskIn(maskContext.Get(), mask.Get());
        if (maskIn) {
            const COLORREF oldSourceBack = SetBkColor(source, RGB(0, 0, 0));
            if (!BitBlt(maskContext.Get(), 0, 0, sourceWidth, sourceHeight, source, 0, 0, SRCCOPY)) {
                OnPlatformError(operation);
            }
            SetBkColor(source, oldSourceBack);
            const COLORREF oldBack = SetBkColor(context, RGB(255, 255, 255));
            const COLORREF oldText = SetTextColor(context, RGB(0, 0, 0));
            copy(maskContext.Get(), SRCAND);
            copy(source, SRCPAINT);
            SetBkColor(context, oldBack);
            SetTextColor(context, oldText);
        } else {
            OnPlatformError(operation);
        }
    }
}

HBITMAP Drawing::CaptureRegion(int x, int y, int w, int h) {
    if (!context || w <= 0 || h <= 0) return nullptr;
    GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(context, w, h));
    if (!bitmap) {
        OnPlatformError("CaptureRegion");
        return nullptr;
    }
    MemoryContext memory(context);
    if (!memory) {
        OnPlatformError("CaptureRegion");
        return nullptr;
    }
    bool copied = false;
    {
        ScopedSelect bitmapIn(memory.Get(), bitmap.Get());
        copied = bitmapIn && BitBlt(memory.Get(), 0, 0, w, h, context, x, y, SRCCOPY);
    }
    if (!copied) {
        OnPlatformError("CaptureRegion");
        return nullptr;
    }
    return bitmap.Release();
}

HBITMAP Drawing::LoadBitmapFile(const std::string& path) {
    if (!context) return nullptr;
    return static_cast<HBITMAP>(CountGdiCreation(
        LoadImageW(nullptr, Widen(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
}

void Drawing::ReleaseBitmap(HBITMAP bitmap) { ReleaseGdiObject(bitmap); }

void Drawing::OnPlatformError(const char* operation) { IgnorePlatformError(operation); }

}  // namespace QVUtility
