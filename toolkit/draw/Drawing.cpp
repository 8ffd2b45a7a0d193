#include "toolkit/draw/Drawing.h"

#include "toolkit/core/GUIElement.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/Services.h"
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

void Drawing::ReleaseContext() {
    BackBuffer buffer{};
    if (TakeBackBuffer(context, buffer)) {
        SelectObject(buffer.context, buffer.original);
        ReleaseMemoryContext(buffer.context);
        ReleaseGdiObject(buffer.bitmap);
    } else {
        DeleteDC(context);
    }
}

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
    if (!backBuffer) return;
    BackBuffer buffer{};
    if (TakeBackBuffer(backBuffer, buffer)) {
        SelectObject(buffer.context, buffer.original);
        ReleaseMemoryContext(buffer.context);
        ReleaseGdiObject(buffer.bitmap);
    } else {
        DeleteDC(backBuffer);
    }
}

void Drawing::FillRect(int x, int y, int w, int h, int outlineWidth, COLORREF outlineColour, COLORREF fillColour) {
    if (!context) return;
    const bool outlined = outlineWidth > 0;
    HPEN pen = CountGdiCreation(outlined ? CreatePen(PS_SOLID, outlineWidth, outlineColour) : CreatePen(PS_NULL, 1, 0));
    HBRUSH brush = CountGdiCreation(CreateSolidBrush(fillColour));
    if (!pen || !brush) OnPlatformError("FillRect");
    HGDIOBJ oldPen = pen ? SelectObject(context, pen) : nullptr;
    HGDIOBJ oldBrush = brush ? SelectObject(context, brush) : nullptr;
    // Without an outline the rectangle's right and bottom edges are not
    // painted, so the box is widened by one to fill all w x h pixels.
    const int grow = outlined ? 0 : 1;
    Rectangle(context, x, y, x + w + grow, y + h + grow);
    if (oldPen) SelectObject(context, oldPen);
    if (oldBrush) SelectObject(context, oldBrush);
    ReleaseGdiObject(pen);
    ReleaseGdiObject(brush);
}

void Drawing::FrameRect(int x, int y, int w, int h, int penWidth, COLORREF colour) {
    if (!context) return;
    HPEN pen = CountGdiCreation(CreatePen(PS_SOLID, penWidth, colour));
    if (!pen) OnPlatformError("FrameRect");
    HGDIOBJ oldPen = pen ? SelectObject(context, pen) : nullptr;
    HGDIOBJ oldBrush = SelectObject(context, GetStockObject(NULL_BRUSH));
    Rectangle(context, x, y, x + w, y + h);
    if (oldPen) SelectObject(context, oldPen);
    if (oldBrush) SelectObject(context, oldBrush);
    ReleaseGdiObject(pen);
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
    HGDIOBJ oldFont = nullptr;
    if (font) {
        HFONT handle = font->GetFont();
        if (handle) oldFont = SelectObject(context, handle);
    }
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
    if (oldFont) SelectObject(context, oldFont);
    if (oldMode) SetBkMode(context, oldMode);
}

int Drawing::TextHeight(FontDescription* font) {
    if (!context || !font) return -1;
    HFONT handle = font->GetFont();
    if (!handle) return -1;
    HGDIOBJ oldFont = SelectObject(context, handle);
    TEXTMETRICW metrics{};
    const BOOL read = GetTextMetricsW(context, &metrics);
    if (oldFont) SelectObject(context, oldFont);
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

    HDC source = CountGdiCreation(CreateCompatibleDC(context));
    if (!source) {
        OnPlatformError(operation);
        return;
    }
    HGDIOBJ oldSource = SelectObject(source, bitmap);
    if (!oldSource) {
        OnPlatformError(operation);
        ReleaseMemoryContext(source);
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
        HBITMAP mask = CountGdiCreation(CreateBitmap(sourceWidth, sourceHeight, 1, 1, nullptr));
        HDC maskContext = CountGdiCreation(CreateCompatibleDC(context));
        HGDIOBJ oldMask = (mask && maskContext) ? SelectObject(maskContext, mask) : nullptr;
        if (oldMask) {
            const COLORREF oldSourceBack = SetBkColor(source, RGB(0, 0, 0));
            if (!BitBlt(maskContext, 0, 0, sourceWidth, sourceHeight, source, 0, 0, SRCCOPY)) {
                OnPlatformError(operation);
            }
            SetBkColor(source, oldSourceBack);
            const COLORREF oldBack = SetBkColor(context, RGB(255, 255, 255));
            const COLORREF oldText = SetTextColor(context, RGB(0, 0, 0));
            copy(maskContext, SRCAND);
            copy(source, SRCPAINT);
            SetBkColor(context, oldBack);
            SetTextColor(context, oldText);
            SelectObject(maskContext, oldMask);
        } else {
            OnPlatformError(operation);
        }
        ReleaseMemoryContext(maskContext);
        ReleaseGdiObject(mask);
    }
    SelectObject(source, oldSource);
    ReleaseMemoryContext(source);
}

HBITMAP Drawing::CaptureRegion(int x, int y, int w, int h) {
    if (!context || w <= 0 || h <= 0) return nullptr;
    HBITMAP bitmap = CountGdiCreation(CreateCompatibleBitmap(context, w, h));
    if (!bitmap) {
        OnPlatformError("CaptureRegion");
        return nullptr;
    }
    HDC memory = CountGdiCreation(CreateCompatibleDC(context));
    if (!memory) {
        OnPlatformError("CaptureRegion");
        ReleaseGdiObject(bitmap);
        return nullptr;
    }
    HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied = old && BitBlt(memory, 0, 0, w, h, context, x, y, SRCCOPY);
    if (!copied) OnPlatformError("CaptureRegion");
    if (old) SelectObject(memory, old);
    ReleaseMemoryContext(memory);
    if (!copied) {
        ReleaseGdiObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

HBITMAP Drawing::LoadBitmapFile(const std::string& path) {
    if (!context) return nullptr;
    return static_cast<HBITMAP>(CountGdiCreation(
        LoadImageW(nullptr, Widen(path).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
}

void Drawing::ReleaseBitmap(HBITMAP bitmap) { ReleaseGdiObject(bitmap); }

void Drawing::OnPlatformError(const char* /*operation*/) {
    const std::string message = LastErrorText();
    (void)message;
}

}  // namespace QVUtility
