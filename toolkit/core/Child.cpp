#include "toolkit/core/Child.h"

#include <utility>

#include "toolkit/core/NativeCreation.h"
#include "toolkit/platform/IgnoredError.h"

namespace QVUtility {

Child::Child(GUIElement* parentElement, const char* kind) : GUIElement(nullptr) {
    parent = parentElement;
    typeKeyword = kind;
}

Child::Child(GUIElement* parentElement, const char* kind, std::wstring caption, int initialWidth, int initialHeight)
    : Child(parentElement, kind) {
    text = std::move(caption);
    width = initialWidth;
    height = initialHeight;
}

HWND Child::ParentWindow() const { return parent != nullptr ? parent->window : nullptr; }

HWND Child::CreateChildWindow(const wchar_t* nativeClass, DWORD style, DWORD extendedStyle) {
    TakeControlId();
    window = CreateElementWindow(extendedStyle, nativeClass, text.c_str(), style, x, y, width, height, ParentWindow(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), nullptr);
    if (window == nullptr) IgnorePlatformError("Child::CreateChildWindow: no window; the element stays usable as data");
    IndexWindow(this);
    return window;
}

void Child::FinishCreate() {
    SubclassWindow();
    created = true;
    CreateTooltip(window);
    ApplyFont();
}

bool Child::CreateControl(const wchar_t* nativeClass, DWORD ownStyle, DWORD extendedStyle) {
    if (created) return window != nullptr;
    DWORD style = WS_CHILD | WS_VISIBLE | ownStyle;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(nativeClass, style, extendedStyle);
    FinishCreate();
    return window != nullptr;
}

}  // namespace QVUtility
