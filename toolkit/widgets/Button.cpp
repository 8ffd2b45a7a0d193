#include "toolkit/widgets/Button.h"

#include "toolkit/draw/Drawing.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

Button::Button(GUIElement* parentElement, const std::string& caption) : Child(nullptr) {
    parent = parentElement;
    typeKeyword = "button";
    text = Widen(caption);
    width = 80;
    height = 30;
}

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

}  // namespace QVUtility
