#include "toolkit/widgets/Label.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

Label::Label(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, TypeKeyword::Label, Widen(caption), 80, 30) {}

void Label::Create() {
    DWORD style = SS_NOTIFY;
    if (border) style |= WS_BORDER;
    if (alignRight) style |= SS_RIGHT;
    else if (alignCenter) style |= SS_CENTER;
    CreateControl(L"static", style, border ? WS_EX_CLIENTEDGE : 0);
}

}  // namespace QVUtility
