// Where the main window was when the program last ended: its place and size
// when not maximised, and whether it was maximised; kept in the user's
// settings.
#pragma once

#include <windows.h>

namespace MyApp {

struct WindowPlace {
    RECT normal{};  // screen coordinates, as GetWindowRect gives them
    bool maximized = false;
};

// The place the last run left, when there is one and it can be reached: its
// title bar must lie on a monitor. False otherwise (the window then takes
// its default place).
bool LoadWindowPlace(WindowPlace& place);
void SaveWindowPlace(const WindowPlace& place);

}  // namespace MyApp
