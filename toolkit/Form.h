// Form: a top-level window. The first form ever created becomes mainWindow;
// its destruction ends the message loop.
//
// Dialogs: a dialog is a Form made with dialogMode true. There is no nested
// message loop: BeginModal(owner) disables the owner and records the dialog
// in owner->modalDialog; when the dialog closes, its close handling calls
// EndModal (owner enabled again) and lets the window close; the owner learns
// the outcome from the dialog's onDestroy handler and reads the result from
// the dialog object, which it keeps until it opens the next dialog.
#pragma once

#include <string>
#include <vector>

#include "toolkit/GUIElement.h"

namespace QVUtility {

class Form;

using HotkeyHandler = void (*)(Form* form, UINT modifiers, UINT key);

// A system-wide hotkey registered while its form is active. Its hotkey
// identifier is its 1-based position in Form::hotkeys.
struct HotkeyEntry {
    UINT modifiers = 0;  // as RegisterHotKey takes them
    UINT key = 0;        // virtual-key code
    HotkeyHandler handler = nullptr;
};

class Form : public GUIElement {
public:
    // The main-window form (dialogMode false) or, with dialog true, a dialog.
    explicit Form(HINSTANCE instance, bool dialog = false);
    ~Form() override;

    GUIElement* modalDialog = nullptr;  // dialog currently shown over this form
    bool topmostDialog = true;          // dialog mode: create the window topmost
    bool minimizeBox = true;
    bool maximizeBox = true;            // also the sizing frame
    bool captioned = true;              // false: bare pop-up window
    bool dialogMode = false;
    bool modalFrame = false;            // dialog mode: style bit 0x80
    std::vector<HotkeyEntry> hotkeys;
    HICON icon = nullptr;               // loaded by SetIcon, released by the form
    int iconId = 0;                     // icon resource in instance; 0 = system default
    Form* dialogOwner = nullptr;        // owner form while shown as a modal dialog

    void Create() override;
    virtual void FormHook();
    virtual void ReleaseChildren();

    void SetIcon(int resourceId);
    void CentreOnScreen();
    void RegisterHotkeys();
    void UnregisterHotkeys();
    int HotkeyCount() const { return static_cast<int>(hotkeys.size()); }

    // The modal-dialog convention. BeginModal: keep the owner, disable it and
    // set owner->modalDialog. EndModal: clear owner->modalDialog and enable
    // the owner again (safe to call twice). Deleting a dialog that is still
    // modal ends the modal state as well, and so does a dialog window that
    // cannot be made: an owner is never left disabled without a dialog.
    void BeginModal(Form* owner);
    void EndModal();

private:
    std::wstring className;  // "Window<n>", kept for windowClass.lpszClassName
};

}  // namespace QVUtility
