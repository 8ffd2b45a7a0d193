// DisplayScale: sizes drawn for a screen of 96 dots per inch, turned into
// the pixels of a screen of another density. Every fixed size of a window
// (its place and size, its controls, its fonts, the chart's columns and
// rows) is written for 96 DPI and goes through the scale of the form that
// holds it, so a window looks the same on every screen, only sharper. At
// 96 DPI every size stays exactly as written.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace QVUtility {

class DisplayScale {
public:
    static constexpr int BaseDpi = 96;

    constexpr DisplayScale() = default;
    explicit constexpr DisplayScale(int dotsPerInch) : dpi(dotsPerInch > 0 ? dotsPerInch : BaseDpi) {}

    // The screen density of the windows made now (the primary screen's).
    static DisplayScale OfSystem();
    // The density of the screen the window is on.
    static DisplayScale OfWindow(HWND window);

    constexpr int Dpi() const { return dpi; }
    constexpr bool IsBase() const { return dpi == BaseDpi; }
    // A size for 96 DPI in pixels of this screen.
    int operator()(int pixels) const { return IsBase() ? pixels : MulDiv(pixels, dpi, BaseDpi); }
    // Pixels of this screen as a size for 96 DPI.
    int ToBase(int pixels) const { return IsBase() ? pixels : MulDiv(pixels, BaseDpi, dpi); }
    // Of the pictures drawn at 16, 24 and 32 pixels, the size that suits.
    int ImageSize() const;

    constexpr bool operator==(const DisplayScale& other) const { return dpi == other.dpi; }
    constexpr bool operator!=(const DisplayScale& other) const { return dpi != other.dpi; }

private:
    int dpi = BaseDpi;
};

}  // namespace QVUtility
