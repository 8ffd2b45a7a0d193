// The native windows, window classes and class brushes made for elements.
//
// Every form and panel registers a window class of its own ("Window" or
// "PanelChildren" and a number). The class, and the brush that paints its
// background, are released once the last window of the class is gone, so a
// program that opens and closes windows all day holds only the classes of
// the windows that exist. (A class cannot be removed while its window is
// being destroyed; it is removed when the message that destroyed it is done,
// or at the next registration.)
//
// Creation can fail: the platform runs out of windows, classes or GDI
// objects. Elements then stay usable as data without a window, and
// `refusedCreations` lets a test make creation fail on purpose.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>

namespace QVUtility {

// Kinds of creation that fail, as if the platform had run out of them.
struct CreationRefusals {
    bool windows = false;
    bool classes = false;
    bool brushes = false;
};
extern CreationRefusals refusedCreations;

// CreateWindowExW for an element (no creation parameter).
HWND CreateElementWindow(DWORD extendedStyle, const wchar_t* className, const wchar_t* text, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance);

// A solid brush, counted in the GDI tally; none when refused.
HBRUSH CreateElementBrush(COLORREF colour);

// Registers `windowClass` with its background brush: a solid brush of
// `background` made here, or the system button-face brush for NoColour.
// False when the class or the brush was refused; nothing is left then.
bool RegisterElementClass(WNDCLASSW& windowClass, COLORREF background);

// The window made with a class of RegisterElementClass, or none when
// creation failed (a class without windows is then released).
void AttachClassWindow(const wchar_t* className, HINSTANCE instance, HWND window);

// The background of the window's class, made with RegisterElementClass,
// becomes a solid brush of `background` (the system button face for
// NoColour); the old brush is released. False, and nothing changed, when the
// window has no such class or the brush was refused.
bool RecolourElementClass(HWND window, COLORREF background);

// The window is being destroyed (WM_NCDESTROY).
void DetachClassWindow(HWND window);

// Unregisters the classes whose last window has gone and releases their
// brushes.
void ReleaseUnusedClasses();

// Window classes registered here and not yet released.
std::size_t RegisteredClassCount();

// Held by the window procedure while it handles a message: when the
// outermost message is done, the classes whose windows went away meanwhile
// are released.
class MessageScope {
public:
    MessageScope();
    ~MessageScope();
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;
};

}  // namespace QVUtility
