#include "app/chart/ChartBar.h"

#include <algorithm>

#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/ScopedGdi.h"

namespace MyApp {

namespace {

// The description in the box from `left` to `right`: centred as a cell
// draws it when it fits; otherwise from the box's left edge, ending in an
// ellipsis.
void DrawLabel(HDC context, const std::wstring& text, COLORREF colour, HFONT font, int left, int top, int right,
               int bottom, int padding) {
    QVUtility::ScopedSelect fontIn(context, font);
    SIZE extent{};
    GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &extent);
    const int oldMode = SetBkMode(context, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(context, colour);
    RECT box{left, top, right, bottom};
    UINT format = DT_TOP | DT_NOPREFIX;
    if (extent.cx <= right - left) {
        format |= DT_CENTER;
    } else {
        box.left = std::min(right, left + padding);
        format |= DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS;
    }
    DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &box, format);
    SetTextColor(context, oldColour);
    SetBkMode(context, oldMode);
}

}  // namespace

void ChartBar::OnPaint() {
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return;
    QVUtility::Drawing surface;
    surface.Begin(this);
    HDC context = surface.context;
    if (context == nullptr) return;
    QVUtility::FontDescription ownFont(std::wstring(fontName.begin(), fontName.end()), fontSize);
    QVUtility::FontDescription* labelFont = font != nullptr ? font : &ownFont;
    if (fillBackground) surface.FillRect(0, 0, width, height, 0, 0, backColour);
    if (!text.empty()) {
        const int h = surface.TextHeight(labelFont);
        const int top = (client.bottom - h - client.top) / 2;
        const int left = std::clamp(shownLeft, 0, static_cast<int>(client.right));
        const int right = shownRight < 0 ? client.right : std::clamp(shownRight, left, static_cast<int>(client.right));
        DrawLabel(context, text, textColour, labelFont->GetFont(), left, top, right, client.bottom, Scale()(3));
    }
    if (selected) {
        // Two black rings outside two white ones: one of the two stands out on
        // any bar colour, light or dark. Each ring one pixel at 96 DPI,
        // thicker on denser screens.
        const int w = client.right - client.left;
        const int h = client.bottom - client.top;
        const QVUtility::DisplayScale scale = Scale();
        const int rings = scale(4);
        const int black = scale(2);
        for (int inset = 0; inset < rings && 2 * inset < w && 2 * inset < h; ++inset) {
            surface.FrameRect(inset, inset, w - 2 * inset, h - 2 * inset, 1,
                              inset < black ? RGB(0, 0, 0) : RGB(255, 255, 255));
        }
    }
    surface.End();
}

}  // namespace MyApp
