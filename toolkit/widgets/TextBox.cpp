#include "toolkit/widgets/TextBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

TextBox::TextBox(GUIElement* parentElement, const std::string& initialText)
    : Child(parentElement, TypeKeyword::TextBox, Widen(initialText), 80, 30) {}

DWORD TextBox::EditStyle() const {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    if (!enabled) style |= WS_DISABLED;
    if (horizontalBar) style |= WS_HSCROLL;
    if (verticalBar) style |= WS_VSCROLL;
    if (numbersOnly) style |= ES_NUMBER;
    if (border) style |= WS_BORDER;
    if (multiLine) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (!wordWrap) style |= ES_AUTOHSCROLL;
    } else {
        style |= ES_AUTOHSCROLL;
    }
    if (readOnly) style |= ES_READONLY;
    if (upperCase) style |= ES_UPPERCASE;
    else if (lowerCase) style |= ES_LOWERCASE;
    if (alignRight) style |= ES_RIGHT;
    else if (alignCenter) style |= ES_CENTER;
    return style;
}

void TextBox::Create() {
    if (created) return;
    CreateChildWindow(L"edit", EditStyle(), border ? WS_EX_CLIENTEDGE : 0);
    SubclassWindow();
    created = true;
    if (window != nullptr) {
        if (maxLength != -1) SendMessageW(window, EM_LIMITTEXT, static_cast<WPARAM>(maxLength), 0);
        // A password box hides its text from the start, not only after the
        // style is applied again.
        if (password) SendMessageW(window, EM_SETPASSWORDCHAR, L'*', 0);
    }
    CreateTooltip(window);
    ApplyFont();
}

void TextBox::ApplyStyle() {
    if (window == nullptr) return;
    SetLastError(0);
    if (SetWindowLongPtrW(window, GWL_STYLE, static_cast<LONG_PTR>(EditStyle())) == 0 && GetLastError() != 0) return;
    SendMessageW(window, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
    SendMessageW(window, EM_SETPASSWORDCHAR, password ? L'*' : 0, 0);
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace QVUtility
