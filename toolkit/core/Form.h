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

#include "toolkit/core/GUIElement.h"
#include "toolkit/core/Shortcut.h"

namespace QVUtility {

class Form;

using HotkeyHandler = void (*)(Form* form, UINT modifiers, UINT key);
// The handler of a form's own key hears which of its keys was pressed.
using ShortcutHandler = void (*)(Form* form, int commandId);
// Files dropped on the form (full paths), once AcceptFiles is on.
using FilesDroppedHandler = void (*)(Form* form, const std::vector<std::wstring>& paths);

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
    bool maximizeBox = true;  // also the sizing frame
    bool captioned = true;    // false: bare pop-up window
    bool dialogMode = false;
    bool modalFrame = false;  // dialog mode: style bit 0x80
    bool sizingFrame = false;  // dialog mode: a sizing frame and the caption buttons of a window
    // The smallest client size, for 96 DPI, the user can give the window by
    // dragging its frame; zero: no limit.
    SIZE minimumClientSize{0, 0};
    std::vector<HotkeyEntry> hotkeys;
    HICON icon = nullptr;         // loaded by SetIcon, released by the form
    int iconId = 0;               // icon resource in instance; 0 = system default
    Form* dialogOwner = nullptr;  // owner form while shown as a modal dialog
    bool startMaximized = false;  // Create shows the window maximised
    FilesDroppedHandler onFilesDropped = nullptr;
    // The density of the screen the form is on; every fixed size of the form
    // and of its elements goes through it. The system's when the form is
    // made; a dialog takes its owner's.
    DisplayScale scale = DisplayScale::OfSystem();

    void Create() override;
    virtual void FormHook();
    virtual void ReleaseChildren();

    void SetIcon(int resourceId);
    // Lets files be dropped on the window (from the shell); onFilesDropped hears of them.
    void AcceptFiles(bool accept);
    void CentreOnScreen();
    // The system's colours or the high-contrast mode changed
    // (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE), after the form's native controls
    // heard of it: a form that draws in colours of its own takes them again.
    // Nothing here.
    virtual void OnSystemColoursChanged();
    // The window moved to a screen of another density: takes the new scale
    // and the place the system suggests. Forms lay themselves out again
    // after this.
    virtual void OnDpiChanged(DisplayScale newScale, const RECT& suggested);
    // On a screen of more than 96 DPI, a control of the form left with the
    // platform's default font gets that font made for the form's density
    // (the platform grows the default font's height there but not its
    // width). Nothing at 96 DPI.
    void ScaleDefaultFont(GUIElement* control);
    // The client size as a 96-DPI size: what the window's outer size, taken
    // back to 96 DPI, leaves inside a frame of 96 DPI. At 96 DPI the client
    // size itself.
    SIZE BaseClientSize() const;
    void RegisterHotkeys();
    void UnregisterHotkeys();
    int HotkeyCount() const { return static_cast<int>(hotkeys.size()); }

    // Keyboard shortcuts. The form's menu bar hands over those of its items
    // (their keys send the items' commands); AddShortcut gives the form keys
    // of its own, each calling its handler. They act only while the form is
    // the active window, enabled and without a dialog open.
    void SetMenuShortcuts(const std::vector<ACCEL>& table);
    // commandId: a named identifier of the reserved block (see Registry.h).
    void AddShortcut(const Shortcut& keys, int commandId, ShortcutHandler handler);
    // Offers a message of the loop to the shortcuts: true when it was one of
    // them and its command went to the window.
    bool TranslateShortcut(MSG& message);
    // Runs the handler of the form's own shortcut `commandId`; false when it
    // is not one of them.
    bool RunShortcut(int commandId);

    // The modal-dialog convention. BeginModal: keep the owner, disable it and
    // set owner->modalDialog. EndModal: clear owner->modalDialog and enable
    // the owner again (safe to call twice). Deleting a dialog that is still
    // modal ends the modal state as well, and so does a dialog window that
    // cannot be made: an owner is never left disabled without a dialog.
    void BeginModal(Form* owner);
    void EndModal();

    // Destroys the window without telling anybody: no close, destroy or
    // resize handler runs, the hotkeys go and a modal form gives its owner
    // back. The first step of a form's destructor, so that the window's last
    // messages reach no element that is being deleted.
    void DestroyQuietly();

private:
    FontDescription* defaultControlFont_ = nullptr;  // made by ScaleDefaultFont; owned
    struct OwnShortcut {
        Shortcut keys;
        int commandId = 0;
        ShortcutHandler handler = nullptr;
    };
    std::wstring className;  // "Window<n>", kept for windowClass.lpszClassName
    std::vector<ACCEL> menuShortcuts_;
    std::vector<OwnShortcut> ownShortcuts_;
    HACCEL shortcutTable_ = nullptr;
    void RebuildShortcutTable();
};

}  // namespace QVUtility
