#include "toolkit/widgets/NumericBox.h"
#include "toolkit/core/TypeKeywords.h"

#include <commctrl.h>

namespace QVUtility {

NumericBox::NumericBox(GUIElement* parentElement, GUIElement* buddyElement) : Child(nullptr), buddy(buddyElement) {
    parent = parentElement;
    typeKeyword = TypeKeyword::NumericBox;
    x = 0;
    y = 0;
    width = 0;
    height = 0;
}

void NumericBox::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    DWORD style = WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(UPDOWN_CLASSW, style);
    SubclassWindow();
    created = true;
    if (buddy != nullptr) buddy->Create();
    if (window != nullptr) {
        if (buddy != nullptr && buddy->window != nullptr)
            SendMessageW(window, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy->window), 0);
        SendMessageW(window, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
        SendMessageW(window, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
    }
    CreateTooltip(window);
    ApplyFont();
}

int NumericBox::GetValue() {
    if (window == nullptr) return value;
    BOOL failed = FALSE;
    const int position = static_cast<int>(SendMessageW(window, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    value = failed ? minimum : position;
    return value;
}

void NumericBox::SetValue(int newValue) {
    value = newValue;
    if (window != nullptr) SendMessageW(window, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

void NumericBox::OnPositionChange(int proposed) {
    int clamped = proposed;
    if (clamped < minimum) clamped = minimum;
    if (clamped > maximum) clamped = maximum;
    const std::shared_ptr<bool> alive = AliveFlag();
    if (onValue != nullptr) onValue(this, clamped);
    if (*alive && onTextChanged != nullptr) onTextChanged(this);
}

}  // namespace QVUtility
