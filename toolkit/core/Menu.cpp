#include "toolkit/core/Menu.h"

#include <algorithm>

#include "toolkit/core/Form.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

void RemoveItem(std::vector<GUIElement*>& items, GUIElement* item) {
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

// Items whose parent is going away lose the link to it.
void OrphanItems(std::vector<GUIElement*>& items, GUIElement* formerParent) {
    for (GUIElement* item : items)
        if (IsRegistered(item) && item->parent == formerParent) item->parent = nullptr;
    items.clear();
}

// The items list of a menu element, when it has one.
std::vector<GUIElement*>* ItemsOf(GUIElement* element) {
    if (auto* bar = dynamic_cast<MenuBar*>(element)) return &bar->items;
    if (auto* menu = dynamic_cast<Menu*>(element)) return &menu->items;
    if (auto* item = dynamic_cast<SubMenu*>(element)) return &item->items;
    return nullptr;
}

void Unlink(GUIElement* element) {
    if (!IsRegistered(element->parent)) return;
    if (std::vector<GUIElement*>* siblings = ItemsOf(element->parent)) RemoveItem(*siblings, element);
}

// Puts the element into its parent's list, in front of `before` when that is
// in the list, else at the end.
void Insert(std::vector<GUIElement*>& items, GUIElement* element, GUIElement* before) {
    auto at = before != nullptr ? std::find(items.begin(), items.end(), before) : items.end();
    items.insert(at, element);
}

// Where the element goes in its native menu: after the created elements
// that come before it in the list.
UINT NativePosition(const std::vector<GUIElement*>& items, const GUIElement* element) {
    UINT position = 0;
    for (const GUIElement* item : items) {
        if (item == element) break;
        if (item->created) ++position;
    }
    return position;
}

// The bar an element hangs from, if any.
MenuBar* BarOf(GUIElement* element) {
    for (GUIElement* e = element; e != nullptr && IsRegistered(e); e = e->parent) {
        if (auto* bar = dynamic_cast<MenuBar*>(e)) return bar;
    }
    return nullptr;
}

void CollectShortcuts(const std::vector<GUIElement*>& items, std::vector<ACCEL>& table) {
    for (GUIElement* element : items) {
        auto* item = dynamic_cast<SubMenu*>(element);
        if (item == nullptr) {
            if (auto* menu = dynamic_cast<Menu*>(element)) CollectShortcuts(menu->items, table);
            continue;
        }
        if (!item->items.empty()) {
            CollectShortcuts(item->items, table);
        } else if (!item->shortcut.Empty()) {
            table.push_back(ACCEL{static_cast<BYTE>(FVIRTKEY | item->shortcut.modifiers), item->shortcut.key,
                                  static_cast<WORD>(item->controlId)});
        }
    }
}

const wchar_t* CaptionOrNone(const std::wstring& caption) { return caption.empty() ? nullptr : caption.c_str(); }

void AppendToPopup(HMENU popup, SubMenu* item) {
    if (!item->items.empty()) {
        HMENU nested = CreatePopupMenu();
        for (GUIElement* child : item->items)
            if (auto* nestedItem = dynamic_cast<SubMenu*>(child)) AppendToPopup(nested, nestedItem);
        AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), item->text.c_str());
        return;
    }
    const std::wstring caption = item->MenuText();
    AppendMenuW(popup, item->appendFlags, static_cast<UINT_PTR>(item->controlId), CaptionOrNone(caption));
    if (item->checkable)
        CheckMenuItem(popup, static_cast<UINT>(item->controlId),
                      MF_BYCOMMAND | (item->checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

// ---- MenuBar ------------------------------------------------------------------

MenuBar::MenuBar(Form* form) : Child(form, TypeKeyword::MenuBar) {}

MenuBar::~MenuBar() { OrphanItems(items, this); }

void MenuBar::Create() {
    if (created) return;
    if (parent == nullptr || parent->window == nullptr || !IsWindow(parent->window)) return;
    menuHandle = CreateMenu();
    for (GUIElement* item : std::vector<GUIElement*>(items)) item->Create();
    SetMenu(parent->window, menuHandle);
    created = true;
    window = reinterpret_cast<HWND>(menuHandle);
    IndexWindow(this);
    UpdateShortcuts();
}

void MenuBar::UpdateShortcuts() {
    auto* form = dynamic_cast<Form*>(parent);
    if (!created || form == nullptr || !IsRegistered(form)) return;
    std::vector<ACCEL> table;
    CollectShortcuts(items, table);
    form->SetMenuShortcuts(table);
}

// ---- Menu -----------------------------------------------------------------------

Menu::Menu(const std::string& caption, GUIElement* parentElement, GUIElement* before)
    : Child(parentElement, TypeKeyword::Menu) {
    text = Widen(caption);
    if (auto* bar = dynamic_cast<MenuBar*>(parent)) {
        Insert(bar->items, this, before);
        if (bar->created) Create();
    }
}

Menu::~Menu() {
    Unlink(this);
    OrphanItems(items, this);
}

void Menu::Create() {
    if (created) return;
    auto* bar = dynamic_cast<MenuBar*>(parent);
    if (bar == nullptr || bar->menuHandle == nullptr) return;
    menuHandle = CreateMenu();
    for (GUIElement* item : std::vector<GUIElement*>(items)) item->Create();
    InsertMenuW(bar->menuHandle, NativePosition(bar->items, this), MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(menuHandle), text.c_str());
    window = reinterpret_cast<HWND>(menuHandle);
    IndexWindow(this);
    created = true;
    // A menu added to a bar already on screen shows at once, shortcuts and all.
    if (bar->created && bar->parent != nullptr && bar->parent->window != nullptr) {
        DrawMenuBar(bar->parent->window);
        bar->UpdateShortcuts();
    }
}

// ---- SubMenu -------------------------------------------------------------------

SubMenu::SubMenu(GUIElement* parentElement, const std::wstring& caption, GUIElement* before)
    : SubMenu(parentElement, NextControlId(), caption, before) {
}  // items take their identifier now, controls at creation

SubMenu::SubMenu(GUIElement* parentElement, int commandId, const std::wstring& caption, GUIElement* before)
    : Child(parentElement, TypeKeyword::SubMenu) {
    text = caption;
    controlId = commandId;
    IndexControlId(this);
    Link(before);
}

SubMenu::SubMenu(GUIElement* parentElement, const std::string& caption) : SubMenu(parentElement, Widen(caption)) {}

SubMenu::~SubMenu() {
    // An item deleted while its menu lives leaves the native menu as well.
    HMENU container = created && IsRegistered(parent) ? Container() : nullptr;
    if (container != nullptr && IsMenu(container)) {
        const std::vector<GUIElement*>* siblings = ItemsOf(parent);
        if (siblings != nullptr) DeleteMenu(container, NativePosition(*siblings, this), MF_BYPOSITION);
    }
    MenuBar* bar = shortcut.Empty() ? nullptr : BarOf(parent);
    Unlink(this);
    OrphanItems(items, this);
    if (bar != nullptr) bar->UpdateShortcuts();
}

void SubMenu::Link(GUIElement* before) {
    std::vector<GUIElement*>* siblings = nullptr;
    if (auto* menu = dynamic_cast<Menu*>(parent)) siblings = &menu->items;
    else if (auto* item = dynamic_cast<SubMenu*>(parent)) siblings = &item->items;
    if (siblings == nullptr) return;
    Insert(*siblings, this, before);
    if (parent->created) Create();
}

std::wstring SubMenu::MenuText() const {
    if (shortcut.Empty() || text.empty()) return text;
    return text + L"\t" + ShortcutText(shortcut);
}

void SubMenu::SetShortcut(const Shortcut& keys) {
    shortcut = keys;
    if (!ShowMenuText()) return;
    if (MenuBar* bar = BarOf(parent)) bar->UpdateShortcuts();
}

bool SubMenu::ShowMenuText() {
    if (!created || !items.empty()) return false;
    HMENU container = Container();
    if (container == nullptr) return false;
    std::wstring caption = MenuText();
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = &caption[0];
    SetMenuItemInfoW(container, static_cast<UINT>(controlId), FALSE, &info);
    return true;
}

HMENU SubMenu::Container() const {
    if (auto* menu = dynamic_cast<Menu*>(parent)) return menu->menuHandle;
    if (auto* item = dynamic_cast<SubMenu*>(parent)) return item->submenuHandle;
    return nullptr;
}

void SubMenu::SetEnabled(bool enable) {
    enabled = enable;
    if (!created) return;
    HMENU container = Container();
    if (container != nullptr)
        EnableMenuItem(container, static_cast<UINT>(controlId), MF_BYCOMMAND | (enable ? MF_ENABLED : MF_GRAYED));
}

void SubMenu::SetText(const std::wstring& newText) {
    text = newText;
    ShowMenuText();
}

void SubMenu::Create() {
    if (created) return;
    HMENU container = Container();
    if (container == nullptr) return;
    const std::vector<GUIElement*>* siblings = ItemsOf(parent);
    const UINT position = siblings != nullptr ? NativePosition(*siblings, this) : static_cast<UINT>(-1);
    if (!items.empty()) {
        submenuHandle = CreatePopupMenu();
        for (GUIElement* item : std::vector<GUIElement*>(items)) item->Create();
        InsertMenuW(container, position, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(submenuHandle),
                    text.c_str());
    } else {
        const std::wstring caption = MenuText();
        InsertMenuW(container, position, MF_BYPOSITION | appendFlags, static_cast<UINT_PTR>(controlId),
                    CaptionOrNone(caption));
        if (checkable)
            CheckMenuItem(container, static_cast<UINT>(controlId),
                          MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    created = true;
    window = reinterpret_cast<HWND>(submenuHandle);
    IndexWindow(this);
    if (!enabled) SetEnabled(false);
    if (!shortcut.Empty()) {
        MenuBar* bar = BarOf(parent);
        if (bar != nullptr && bar->created) bar->UpdateShortcuts();
    }
}

// ---- Check state and popups --------------------------------------------------------

bool IsChecked(SubMenu* item) {
    if (item == nullptr) return false;
    HMENU container = item->Container();
    if (item->created && container != nullptr) {
        const UINT state = GetMenuState(container, static_cast<UINT>(item->controlId), MF_BYCOMMAND);
        // The state holds other bits too (grayed, highlighted): test the check bit.
        if (state != static_cast<UINT>(-1)) item->checked = (state & MF_CHECKED) != 0;
    }
    return item->checked;
}

void ApplyCheck(SubMenu* item) {
    if (item == nullptr) return;
    HMENU container = item->Container();
    if (container == nullptr) return;
    CheckMenuItem(container, static_cast<UINT>(item->controlId),
                  MF_BYCOMMAND | ((item->checkable && item->checked) ? MF_CHECKED : MF_UNCHECKED));
}

void ShowPopup(Menu* menu, GUIElement* owner, int screenX, int screenY) {
    if (menu == nullptr || owner == nullptr) return;
    HMENU popup = CreatePopupMenu();
    for (GUIElement* element : menu->items)
        if (auto* item = dynamic_cast<SubMenu*>(element)) AppendToPopup(popup, item);
    // The owner's top-level window must be in front, or the popup would not
    // close when the user clicks elsewhere.
    HWND root = GetAncestor(owner->window, GA_ROOT);
    if (root != nullptr) SetForegroundWindow(root);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, screenX, screenY, 0, owner->window, nullptr);
    if (root != nullptr) PostMessageW(root, WM_NULL, 0, 0);
    DestroyMenu(popup);
}

}  // namespace QVUtility
