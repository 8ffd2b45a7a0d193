#include "toolkit/widgets/CellControl.h"

#include <oleacc.h>

#include "toolkit/core/Accessible.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"

namespace QVUtility {

CellControl::CellControl(GUIElement* parentElement) : PanelChildren(parentElement) { tabStop = false; }

void CellControl::SetText(const std::wstring& newText) {
    PanelChildren::SetText(newText);
    if (created && window != nullptr) InvalidateRect(window, nullptr, TRUE);
}

void CellControl::SetTextNarrow(const std::string& newText) {
    // The base widens the text and calls SetText, which repaints.
    PanelChildren::SetTextNarrow(newText);
}

void CellControl::OnPaint() {
    RECT client{};
    if (window != nullptr && GetClientRect(window, &client)) {
        FontDescription cellFont(fontName, fontSize);
        cellFont.bold = fontBold;
        cellFont.italic = fontItalic;
        cellFont.underline = fontUnderline;
        FontDescription* labelFont = font != nullptr ? font : &cellFont;

        Drawing surface;
        surface.Begin(this);
        const int h = surface.TextHeight(labelFont);
        if (fillBackground) surface.FillRect(0, 0, width, height, 0, 0, backColour);
        if (!text.empty()) {
            const int top = (client.bottom - h - client.top) / 2;
            surface.DrawText(0, top, client.right - client.left, client.bottom - top, text, textColour, labelFont,
                             textAlign, true);
        }
        if (showMarker && h > 0) {
            surface.DrawText(client.right - h, client.bottom - h, h, h, std::wstring(L"*"), textColour, labelFont, 2);
        }
        if (image != nullptr) {
            int left = 3;
            if (imageAlign == 1) {
                left = client.right - imageWidth - 3;
            } else if (imageAlign == 2) {
                left = (client.right - imageWidth - client.left) / 2;
            }
            const int top = (client.bottom - imageHeight - client.top) / 2;
            surface.DrawBitmapTransparent(image, left, top, imageWidth, imageHeight);
        }
        // A cell reached by Tab shows when it has the keyboard.
        if (((tabStop && GetFocus() == window) || focusShown) && surface.context != nullptr)
            DrawFocusRect(surface.context, &client);
        surface.End();
    }
    if (onPaint != nullptr) {
        const bool filled = fillBackground;
        fillBackground = false;
        onPaint(this);
        fillBackground = filled;
    }
}

void CellControl::OnGotFocus() {
    PanelChildren::OnGotFocus();
    if (tabStop && window != nullptr) InvalidateRect(window, nullptr, TRUE);
}

void CellControl::OnLostFocus() {
    const std::shared_ptr<bool> stillAlive = AliveFlag();
    PanelChildren::OnLostFocus();
    if (*stillAlive && tabStop && window != nullptr) InvalidateRect(window, nullptr, TRUE);
}

void CellControl::DescribeForAccessibility(AccessibleFacts& facts) const {
    PanelChildren::DescribeForAccessibility(facts);
    if (facts.name.empty()) facts.name = text;
    if (accessibleRole == 0) facts.role = ROLE_SYSTEM_STATICTEXT;
}

}  // namespace QVUtility
