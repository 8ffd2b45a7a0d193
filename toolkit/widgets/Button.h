// Button: a push button; with ownerDraw the toolkit draws it with a bitmap or
// an icon beside its text. Clicks reach onCommand.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"

namespace QVUtility {

class Button : public Child, public CommandElement {
public:
    Button(GUIElement* parent, const std::string& caption);

    std::string tag;
    std::uint8_t ownerDraw = 0;
    // Pictures of an owner-drawn button; not owned. Bitmaps win over icons.
    HBITMAP bitmapEnabled = nullptr;
    HBITMAP bitmapDisabled = nullptr;
    HICON iconEnabled = nullptr;
    HICON iconDisabled = nullptr;

    void Create() override;
    // Draws the picture for the enabled state at the left of the item and
    // answers the x position where the text starts, 0 without a picture.
    int DrawImage(Drawing& surface, const RECT& item, bool pressed) override;
};

// Paints an owner-drawn push button: its face, an outline that shows the
// pressed and disabled states, its picture (the element's DrawImage) and its
// text, and the focus frame. Any element of the button kind can be painted
// so; answers true.
bool PaintOwnerDrawnButton(GUIElement& button, const DRAWITEMSTRUCT& item);

}  // namespace QVUtility
