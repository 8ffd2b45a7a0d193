// A drawing surface bound to one device context: painting a window between
// Begin and End, or drawing on a context handed in with Attach. Rectangles,
// text and bitmaps; off-screen buffers and copies of a region.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/draw/GdiTally.h"

// The surface has an operation named DrawText; the platform's macro of that
// name would rename it.
#ifdef DrawText
#undef DrawText
#endif

namespace QVUtility {

class GUIElement;
class FontDescription;

class Drawing {
public:
    GUIElement* element = nullptr;  // element whose window is painted
    HDC context = nullptr;          // every operation draws here; none = no-op
    bool attached = false;          // context came from Attach, not Begin
    bool ownsContext = false;       // with attached: End releases the context
    PAINTSTRUCT paintRecord{};      // filled by BeginPaint

    Drawing() = default;
    // A surface still holding a context ends itself.
    virtual ~Drawing();
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    // Starts painting the element's window (BeginPaint). A context still
    // held is released first as End would.
    void Begin(GUIElement* paintedElement);
    // Draws on a context of the caller. An owned context is released by End:
    // a back buffer (CreateBackBuffer) together with its bitmap, any other
    // context with DeleteDC. A borrowed one is left to its owner.
    void Attach(HDC dc, bool owned);
    // Ends painting (EndPaint) or releases an owned context; the surface
    // then has no context.
    void End();

    // A memory context holding a bitmap the size of the painted window's
    // client area (the paint rectangle when that is unknown). The caller
    // owns it: attach it as owned to a surface and End that surface, or
    // call ReleaseBackBuffer.
    HDC CreateBackBuffer();
    // Releases a back buffer made by CreateBackBuffer and the bitmap in it.
    static void ReleaseBackBuffer(HDC backBuffer);

    // Rectangle filled with fillColour. With an outline width above 0 it is
    // outlined in outlineColour by Rectangle(x, y, x + w, y + h); without,
    // exactly the w x h pixels from (x, y) are filled.
    void FillRect(int x, int y, int w, int h, int outlineWidth, COLORREF outlineColour, COLORREF fillColour);
    // Outline only, inside is left as it is.
    void FrameRect(int x, int y, int w, int h, int penWidth, COLORREF colour);
    // Text with transparent background, at most 1023 characters. Alignment:
    // 1 right, 2 centred, else left; top-aligned, one line. When w and h
    // are both non-zero the text is clipped to the box; otherwise it is
    // written at (x, y) unclipped and the alignment is ignored. The narrow
    // form takes text in the system code page. In a box, "&" marks the next
    // letter as a mnemonic (button captions) unless `literal` is set: text
    // the user typed (descriptions) is drawn literally.
    void DrawText(int x, int y, int w, int h, const std::string& text, COLORREF colour, FontDescription* font,
                  int alignment, bool literal = false);
    void DrawText(int x, int y, int w, int h, const std::wstring& text, COLORREF colour, FontDescription* font,
                  int alignment, bool literal = false);
    // Height of the font's cells (tmHeight); -1 without context or font.
    int TextHeight(FontDescription* font);

    // The whole bitmap at (0, y), natural size.
    void BlitBitmapAt(HBITMAP bitmap, int y);
    // The bitmap at (x, y): stretched to w x h when both are non-zero,
    // natural size otherwise.
    void DrawBitmap(HBITMAP bitmap, int x, int y, int w, int h);
    // As DrawBitmap, with pure black pixels of the bitmap left out.
    void DrawBitmapTransparent(HBITMAP bitmap, int x, int y, int w, int h);
    // A new bitmap holding the w x h pixels at (x, y); none on failure. The
    // caller owns it (ReleaseBitmap).
    HBITMAP CaptureRegion(int x, int y, int w, int h);
    // A bitmap read from a .bmp file (narrow path); none on failure. The
    // caller owns it (ReleaseBitmap).
    HBITMAP LoadBitmapFile(const std::string& path);

    // Deletes a bitmap made by CaptureRegion or LoadBitmapFile.
    static void ReleaseBitmap(HBITMAP bitmap);

protected:
    // Called after a platform call of the surface failed; `operation` names
    // the surface operation. The base reads the error's text and drops it;
    // drawing goes on with the next step.
    virtual void OnPlatformError(const char* operation);

private:
    HWND paintWindow = nullptr;  // the window BeginPaint was called for

    void ReleaseContext();
    void CopyBitmap(HBITMAP bitmap, int x, int y, int w, int h, bool transparent, const char* operation);
};

}  // namespace QVUtility
