// CellControl: a painted cell. A rectangle in a background colour with a
// one-line text, an optional "*" marker in the bottom right corner and an
// optional picture drawn with black as the transparent colour. The chart uses
// cells as the bars of the tasks in view and one for the project title; the
// about box uses cells as links.
#pragma once

#include <string>

#include "toolkit/widgets/PanelChildren.h"

namespace QVUtility {

class CellControl : public PanelChildren {
public:
    explicit CellControl(GUIElement* parentElement);

    HBITMAP image = nullptr;  // not owned by the cell
    int imageAlign = 1;       // 1 right, 2 centred, else left
    int imageWidth = 0;       // size the picture is drawn at
    int imageHeight = 0;
    bool showMarker = false;  // "*" in the bottom right corner
    bool fontBold = false;
    bool fontUnderline = false;
    bool fontItalic = false;
    std::string fontName = "Tahoma";  // system code page
    int fontSize = 14;
    int textAlign = 2;                   // 0 left, 1 right, 2 centred
    COLORREF textColour = RGB(0, 0, 0);  // text and marker
    // A focus rectangle shown whatever has the keyboard: the owner shows
    // its own focus on the cell.
    bool focusShown = false;

    // Store the text and repaint the whole cell.
    void SetText(const std::wstring& newText) override;
    void SetTextNarrow(const std::string& newText) override;
    // A cell that is a tab stop shows a focus rectangle while it has the
    // keyboard.
    void OnPaint() override;
    void OnGotFocus() override;
    void OnLostFocus() override;
    // Read as its text, unless it was given a name of its own.
    void DescribeForAccessibility(AccessibleFacts& facts) const override;
};

}  // namespace QVUtility
