#include "toolkit/widgets/Button.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

Button::Button(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, TypeKeyword::Button, Widen(caption), 80, 30) {}

void Button::Create() { CreateControl(L"Button", WS_TABSTOP | (ownerDraw ? BS_OWNERDRAW : BS_PUSHBUTTON)); }

int Button::DrawImage(Drawing& surface, const RECT& item, bool /*pressed*/) {
    const HBITMAP bitmap = enabled ? bitmapEnabled : bitmapDisabled;
    if (bitmap != nullptr) {
        BITMAP size{};
        if (GetObjectW(bitmap, sizeof size, &size) == 0) return 0;
        surface.DrawBitmapTransparent(bitmap, item.left + 5, (item.bottom - item.top - size.bmHeight) / 2, 0, 0);
        return item.left + size.bmWidth + 8;
    }
    const HICON icon = enabled ? iconEnabled : iconDisabled;
    if (icon == nullptr) return 0;
    if (surface.context != nullptr)
        DrawIconEx(surface.context, item.left + 5, (item.bottom - item.top - 32) / 2, icon, 32, 32, 0, nullptr,
                   DI_NORMAL);
    return item.left + 40;
}

bool PaintOwnerDrawnButton(GUIElement& button, const DRAWITEMSTRUCT& item) {
    const HDC context = item.hDC;
    const RECT box = item.rcItem;
    const int w = box.right - box.left;
    const int h = box.bottom - box.top;
    COLORREF textColour = GetTextColor(context);

    // Height of the font the context holds: swap a font in to learn which
    // one was selected, then put it back. A font asked for by character
    // height (negative) or at the default size (0) says little about the
    // height of its line, so the context's text metrics decide; the font's
    // own height is the fallback.
    FontDescription measuring;
    LOGFONTW current{};
    HGDIOBJ replaced = SelectObject(context, measuring.GetFont());
    if (replaced != nullptr && replaced != HGDI_ERROR) {
        GetObjectW(replaced, sizeof(current), &current);
        SelectObject(context, replaced);
    }
    int lineHeight = current.lfHeight < 0 ? -current.lfHeight : current.lfHeight;
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(context, &metrics) && metrics.tmHeight > 0) lineHeight = metrics.tmHeight;
    int offset = (h - lineHeight) / 2;
    if (offset < 0) offset = 0;

    Drawing surface;
    surface.element = &button;
    surface.Attach(context, false);
    surface.FillRect(box.left, box.top, w, h, 0, GetBkColor(context), GetBkColor(context));

    COLORREF outline = textColour;
    if (item.itemState & ODS_DISABLED) {
        outline = 0x696969;
        textColour = 0x969696;
    } else if (item.itemState & ODS_SELECTED) {
        outline = 0xFFFFFF - textColour;
    }
    surface.FrameRect(box.left, box.top, w, h, 1, outline);

    const int imageOffset = button.DrawImage(surface, box, (item.itemState & ODS_SELECTED) != 0);
    surface.DrawText(box.left + imageOffset, box.top + offset, w - imageOffset, h, button.GetText(), textColour,
                     nullptr, imageOffset > 0 ? 0 : 2);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = box;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(context, &focus);
    }
    surface.End();
    return true;
}

}  // namespace QVUtility
