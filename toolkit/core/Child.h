// Child: an element whose window lives inside its parent element's window
// (a form or a panel). Every widget derives from it. The window procedure
// relies on the distinction for Tab navigation and character forwarding.
#pragma once

#include <string>

#include "toolkit/core/GUIElement.h"

namespace QVUtility {

class Child : public GUIElement {
public:
    using GUIElement::GUIElement;

protected:
    // A widget of kind `kind` (a TypeKeywords value) inside `parentElement`;
    // the second form also sets its text and its size for 96 DPI. The control
    // identifier is still taken at creation.
    Child(GUIElement* parentElement, const char* kind);
    Child(GUIElement* parentElement, const char* kind, std::wstring caption, int initialWidth, int initialHeight);

    // The creation pattern shared by the native controls:
    //  1. nothing when already created;
    //  2. the next controlCounter value becomes controlId;
    //  3. style = WS_CHILD | WS_VISIBLE | ownStyle, plus WS_DISABLED when not enabled;
    //  4. CreateWindowExW(extendedStyle, nativeClass, text, style, x, y, width,
    //     height, parent's window, controlId) into window;
    //  5. subclass the control with the toolkit's window procedure (the old
    //     procedure goes to previousProcedure);
    //  6. created = true, CreateTooltip(window), font sent with WM_SETFONT.
    // Answers whether the native window exists. Classes with a different
    // recipe (no WS_VISIBLE, extra steps in between) use the pieces below.
    bool CreateControl(const wchar_t* nativeClass, DWORD ownStyle, DWORD extendedStyle = 0);

    // Pieces of the pattern, for classes that need steps of their own:
    // CreateChildWindow does steps 2 and 4 with the full style given (add
    // WS_CHILD and friends yourself) and FinishCreate does 5 and 6.
    HWND CreateChildWindow(const wchar_t* nativeClass, DWORD style, DWORD extendedStyle = 0);
    void FinishCreate();

    // The parent's native window, or none.
    HWND ParentWindow() const;
};

}  // namespace QVUtility
