// Menus as elements: a MenuBar belongs to a form, Menu elements are its
// top-level entries (or, without a bar, the source of a popup menu) and
// SubMenu elements are the items; an item with items of its own is a
// cascading submenu. A chosen item comes back as WM_COMMAND with the item's
// controlId and reaches its onCommand through the window procedure.
//
// Construction links the tree; one Create of the bar (after the form's window
// exists) builds the whole native menu. Items added to a created parent are
// created at once. Menus keep lists of their items but never own them.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Child.h"
#include "toolkit/CommandElement.h"

namespace QVUtility {

class Form;

class MenuBar : public Child {
public:
    explicit MenuBar(Form* form);
    ~MenuBar() override;

    std::vector<GUIElement*> items;  // Menu entries in display order
    HMENU menuHandle = nullptr;

    void Create() override;
};

class Menu : public Child {
public:
    // parent: a MenuBar, or none for a menu that only serves ShowPopup.
    Menu(const std::string& caption, GUIElement* parentElement);
    ~Menu() override;

    std::vector<GUIElement*> items;  // SubMenu items in display order
    HMENU menuHandle = nullptr;

    void Create() override;
};

class SubMenu : public Child, public CommandElement {
public:
    // parent: a Menu or a SubMenu. The item takes its controlId now.
    SubMenu(GUIElement* parentElement, const std::wstring& caption);
    SubMenu(GUIElement* parentElement, const std::string& caption);
    ~SubMenu() override;

    std::vector<GUIElement*> items;  // nested items: a cascading submenu when not empty
    HMENU submenuHandle = nullptr;
    UINT appendFlags = MF_STRING;    // flags for AppendMenuW of a leaf item
    bool checkable = false;
    bool checked = false;

    void SetEnabled(bool enable) override;
    void Create() override;

    // The native menu that holds this item: the parent Menu's menuHandle or
    // the parent SubMenu's submenuHandle; none otherwise.
    HMENU Container() const;

private:
    void Link();
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
