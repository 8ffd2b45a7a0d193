#include "app/chart/ChartBar.h"

#include <oleacc.h>

#include <algorithm>

#include "toolkit/core/Accessible.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/ScopedGdi.h"

namespace MyApp {

namespace {

// The description in the box from `left` to `right`: centred as a cell
// draws it when it fits; otherwise from the box's left edge, ending in an
// ellipsis. With a plate colour, the text stands on a plate of that colour
// just larger than the text.
void DrawLabel(HDC context, const std::wstring& text, COLORREF colour, HFONT font, int left, int top, int right,
               int bottom, int padding, COLORREF plate = QVUtility::NoColour) {
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
    if (plate != QVUtility::NoColour) {
        // Where the text goes, a pixel or two around it.
        RECT measured = box;
        DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &measured,
                  format | DT_CALCRECT | DT_SINGLELINE);
        const int width = std::min<int>(measured.right - measured.left, box.right - box.left);
        const int plateLeft = (format & DT_CENTER) != 0 ? box.left + (box.right - box.left - width) / 2 : box.left;
        RECT back{std::max<int>(left, plateLeft - padding / 2), std::max<int>(0, top - 1),
                  std::min<int>(right, plateLeft + width + padding / 2), std::min<int>(bottom, measured.bottom + 1)};
        QVUtility::GdiObject<HBRUSH> brush(CreateSolidBrush(plate));
        if (brush) FillRect(context, &back, brush.Get());
    }
    DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &box, format);
    SetTextColor(context, oldColour);
    SetBkMode(context, oldMode);
}

}  // namespace

bool ChartBar::ChartFocused() const {
    const HWND focus = GetFocus();
    return focus != nullptr && parent != nullptr && parent->window == focus;
}

void ChartBar::OnPaint() {
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return;
    QVUtility::Drawing surface;
    surface.Begin(this);
    HDC context = surface.context;
    if (context == nullptr) return;
    QVUtility::FontDescription ownFont(std::wstring(fontName.begin(), fontName.end()), fontSize);
    QVUtility::FontDescription* labelFont = font != nullptr ? font : &ownFont;
    const QVUtility::DisplayScale scale = Scale();
    const int w = client.right - client.left;
    const int h = client.bottom - client.top;
    if (fillBackground) surface.FillRect(0, 0, width, height, 0, 0, backColour);
    if (systemColours) surface.FrameRect(0, 0, w, h, std::max(1, scale(1)), GetSysColor(COLOR_WINDOWTEXT));
    if (!text.empty()) {
        const int textHeight = surface.TextHeight(labelFont);
        const int top = (client.bottom - textHeight - client.top) / 2;
        const int left = std::clamp(shownLeft, 0, static_cast<int>(client.right));
        const int right = shownRight < 0 ? client.right : std::clamp(shownRight, left, static_cast<int>(client.right));
        COLORREF colour = textColour;
        COLORREF plate = QVUtility::NoColour;
        if (systemColours) {
            colour = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
            plate = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        }
        DrawLabel(context, text, colour, labelFont->GetFont(), left, top, right, client.bottom, scale(3), plate);
    }
    const int rings = scale(4);
    if (selected) {
        // Two black rings outside two white ones: one of the two stands out on
        // any bar colour, light or dark. Each ring one pixel at 96 DPI,
        // thicker on denser screens. In high contrast, the selection's colour
        // inside the outline.
        const int black = scale(2);
        for (int inset = 0; inset < rings && 2 * inset < w && 2 * inset < h; ++inset) {
            COLORREF ring = inset < black ? RGB(0, 0, 0) : RGB(255, 255, 255);
            if (systemColours)
                ring = inset < std::max(1, scale(1)) ? GetSysColor(COLOR_WINDOWTEXT) : GetSysColor(COLOR_HIGHLIGHT);
            surface.FrameRect(inset, inset, w - 2 * inset, h - 2 * inset, 1, ring);
        }
        // The keyboard is on the chart: the selected bar shows it.
        RECT focus{rings + 1, rings + 1, w - rings - 1, h - rings - 1};
        if (ChartFocused() && focus.right > focus.left && focus.bottom > focus.top) DrawFocusRect(context, &focus);
    }
    surface.End();
}

void ChartBar::DescribeForAccessibility(QVUtility::AccessibleFacts& facts) const {
    CellControl::DescribeForAccessibility(facts);
    facts.name = text;
    facts.description = Bound() && onSummary != nullptr ? onSummary(this) : std::wstring();
    facts.role = ROLE_SYSTEM_LISTITEM;
    facts.state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (selected) facts.state |= STATE_SYSTEM_SELECTED;
    if (selected && ChartFocused()) facts.state |= STATE_SYSTEM_FOCUSED;
    if (!Bound()) facts.state |= STATE_SYSTEM_INVISIBLE;
}

LRESULT ChartBar::ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (handle == window && window != nullptr) {
        if (message == WM_SETCURSOR && LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT && onCursor != nullptr) {
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(window, &at);
            if (const LPCWSTR shape = onCursor(this, at.x)) {
                SetCursor(LoadCursorW(nullptr, shape));
                return TRUE;
            }
        }
        if (message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lParam) != window && onCaptureLost != nullptr)
            onCaptureLost(this);
    }
    return CellControl::ProcessByDefault(handle, message, wParam, lParam);
}

}  // namespace MyApp
