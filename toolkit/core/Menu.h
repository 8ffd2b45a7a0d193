// Menus as elements: a MenuBar belongs to a form, Menu elements are its
// top-level entries (or, without a bar, the source of a popup menu) and
// SubMenu elements are the items; an item with items of its own is a
// cascading submenu. A chosen item comes back as WM_COMMAND with the item's
// controlId and reaches its onCommand through the window procedure.
//
// Construction links the tree; one Create of the bar (after the form's window
// exists) builds the whole native menu. Items added to a created parent are
// created at once, at the end or before a given sibling; a deleted item
// leaves the native menu too. Menus keep lists of their items but never own
// them.
//
// An item may carry a keyboard shortcut: it shows after the item's text and
// the bar hands the shortcuts of all its items to its form, whose message
// loop turns the keys into the items' commands (Form::TranslateShortcut).
#pragma once

#include <string>
#include <vector>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"
#include "toolkit/core/Shortcut.h"

namespace QVUtility {

class Form;

class MenuBar : public Child {
public:
    explicit MenuBar(Form* form);
    ~MenuBar() override;

    std::vector<GUIElement*> items;  // Menu entries in display order
    HMENU menuHandle = nullptr;

    void Create() override;
    // Hands the shortcuts of every item in the bar to the form (after the
    // bar is made, and whenever an item's shortcut comes or goes).
    void UpdateShortcuts();
};

class Menu : public Child {
public:
    // parent: a MenuBar, or none for a menu that only serves ShowPopup.
    // With `before` (an entry of the same bar) the menu goes in front of it.
    Menu(const std::string& caption, GUIElement* parentElement, GUIElement* before = nullptr);
    ~Menu() override;

    std::vector<GUIElement*> items;  // SubMenu items in display order
    HMENU menuHandle = nullptr;

    void Create() override;
};

class SubMenu : public Child, public CommandElement {
public:
    // parent: a Menu or a SubMenu. The item takes its controlId now. With
    // `before` (an item of the same parent) it goes in front of that item.
    SubMenu(GUIElement* parentElement, const std::wstring& caption, GUIElement* before = nullptr);
    // The same with an identifier the program chose (in the reserved block,
    // see Registry.h) instead of the counter's next one.
    SubMenu(GUIElement* parentElement, int commandId, const std::wstring& caption, GUIElement* before = nullptr);
    SubMenu(GUIElement* parentElement, const std::string& caption);
    ~SubMenu() override;

    std::vector<GUIElement*> items;  // nested items: a cascading submenu when not empty
    HMENU submenuHandle = nullptr;
    UINT appendFlags = MF_STRING;  // flags for AppendMenuW of a leaf item
    bool checkable = false;
    bool checked = false;
    Shortcut shortcut;  // shown after the text; active when the item is in a bar

    void SetEnabled(bool enable) override;
    // A created leaf item shows the new caption at once (with its shortcut),
    // keeping its state.
    void SetText(const std::wstring& newText) override;
    void Create() override;
    void SetShortcut(const Shortcut& keys);
    // The text the native menu shows: the caption, then the shortcut after a tab.
    std::wstring MenuText() const;

    // The native menu that holds this item: the parent Menu's menuHandle or
    // the parent SubMenu's submenuHandle; none otherwise.
    HMENU Container() const;

private:
    void Link(GUIElement* before);
    // A created leaf item shows MenuText in the native menu; false for any other.
    bool ShowMenuText();
};

// Reads the check state from the native menu when the item is created (and
// stores it); otherwise answers the stored flag.
bool IsChecked(SubMenu* item);
// Writes the stored state to the native menu (checked only when checkable).
void ApplyCheck(SubMenu* item);
// Shows the menu's items as a popup at screen position (x, y); the choice
// arrives later as WM_COMMAND at the owner's window.
void ShowPopup(Menu* menu, GUIElement* owner, int screenX, int screenY);

}  // namespace QVUtility
