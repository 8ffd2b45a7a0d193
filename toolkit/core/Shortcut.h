// Keyboard shortcuts: a key with the modifiers held, as a menu item shows it
// after its text ("&Salva\tCtrl+S") and as the form's accelerator table
// holds it.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace QVUtility {

struct Shortcut {
    WORD key = 0;        // virtual-key code; 0 = no shortcut
    BYTE modifiers = 0;  // FCONTROL, FSHIFT, FALT, as the accelerator table takes them

    bool Empty() const { return key == 0; }
};

// The shortcut as Italian menus write it: "Ctrl+Maiusc+S", "Alt+Invio",
// "Canc", "F9"; empty for no shortcut.
std::wstring ShortcutText(const Shortcut& shortcut);

}  // namespace QVUtility
