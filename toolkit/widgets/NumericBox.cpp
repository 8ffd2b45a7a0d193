#include "toolkit/widgets/NumericBox.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/core/TypeKeywords.h"

namespace QVUtility {

NumericBox::NumericBox(GUIElement* parentElement, GUIElement* buddyElement)
    : Child(parentElement, TypeKeyword::NumericBox, std::wstring(), 0, 0), buddy(buddyElement) {
    x = 0;
    y = 0;
}

void NumericBox::FollowBuddy() {
    if (window == nullptr || buddy == nullptr || buddy->window == nullptr) return;
    SendMessageW(window, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy->window), 0);
    // The platform makes the arrows as wide at every screen density; on a
    // denser screen they get the width they have at 96 DPI times the scale,
    // taken from the buddy's right end as the platform does.
    const DisplayScale scale = Scale();
    if (scale.IsBase()) return;
    RECT arrows{};
    RECT box{};
    if (!GetWindowRect(window, &arrows) || !GetWindowRect(buddy->window, &box)) return;
    HWND parentWindow = GetParent(window);
    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&arrows), 2);
    MapWindowPoints(nullptr, parentWindow, reinterpret_cast<POINT*>(&box), 2);
    const int arrowsWidth = scale(ArrowsWidth);
    // Where the box ended before the platform took its part, less the
    // platform's gap, and the box's right border the arrows cover: both grow
    // with the scale.
    const int boxRight = static_cast<int>(box.left) + buddy->width;
    const int right = boxRight - scale(std::max<int>(0, boxRight - static_cast<int>(arrows.right)));
    const int overlap = scale(std::max<int>(0, box.right - arrows.left));
    const int boxWidth = std::max(0, right - arrowsWidth + overlap - static_cast<int>(box.left));
    SetWindowPos(buddy->window, nullptr, 0, 0, boxWidth, box.bottom - box.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window, nullptr, right - arrowsWidth, arrows.top, arrowsWidth, arrows.bottom - arrows.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
        FollowBuddy();
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

std::optional<int> NumericBox::TypedValue() {
    if (window == nullptr) return value;
    BOOL failed = FALSE;
    const int position = static_cast<int>(SendMessageW(window, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (failed) return std::nullopt;
    value = position;
    return position;
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
