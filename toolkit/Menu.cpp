#include "toolkit/Menu.h"

#include <algorithm>

#include "toolkit/Form.h"
#include "toolkit/TextConversion.h"

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

const wchar_t* CaptionOrNone(const std::wstring& caption) { return caption.empty() ? nullptr : caption.c_str(); }

void AppendToPopup(HMENU popup, SubMenu* item) {
    if (!item->items.empty()) {
        HMENU nested = CreatePopupMenu();
        for (GUIElement* child : item->items)
            if (auto* nestedItem = dynamic_cast<SubMenu*>(child)) AppendToPopup(nested, nestedItem);
        AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(nested), item->text.c_str());
        return;
    }
    AppendMenuW(popup, item->appendFlags, static_cast<UINT_PTR>(item->controlId), CaptionOrNone(item->text));
    if (item->checkable)
        CheckMenuItem(popup, static_cast<UINT>(item->controlId), MF_BYCOMMAND | (item->checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace

// ---- MenuBar ------------------------------------------------------------------

MenuBar::MenuBar(Form* form) : Child(nullptr) {
    typeKeyword = "menubar";
    parent = form;
}

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
}

// ---- Menu -----------------------------------------------------------------------

Menu::Menu(const std::string& caption, GUIElement* parentElement) : Child(nullptr) {
    text = Widen(caption);
    typeKeyword = "menu";
    parent = parentElement;
    if (auto* bar = dynamic_cast<MenuBar*>(parent)) {
        bar->items.push_back(this);
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
    AppendMenuW(bar->menuHandle, MF_POPUP, reinterpret_cast<UINT_PTR>(menuHandle), text.c_str());
    window = reinterpret_cast<HWND>(menuHandle);
    IndexWindow(this);
    created = true;
    // A menu added to a bar already on screen shows at once.
    if (bar->created && bar->parent != nullptr && bar->parent->window != nullptr) DrawMenuBar(bar->parent->window);
}

// ---- SubMenu -------------------------------------------------------------------

SubMenu::SubMenu(GUIElement* parentElement, const std::wstring& caption) : Child(nullptr) {
    text = caption;
    typeKeyword = "submenu";
    controlId = ++controlCounter;  // items take their identifier now, controls at creation
    IndexControlId(this);
    parent = parentElement;
    Link();
}

SubMenu::SubMenu(GUIElement* parentElement, const std::string& caption) : SubMenu(parentElement, Widen(caption)) {}

SubMenu::~SubMenu() {
    Unlink(this);
    OrphanItems(items, this);
}

void SubMenu::Link() {
    std::vector<GUIElement*>* siblings = nullptr;
    if (auto* menu = dynamic_cast<Menu*>(parent)) siblings = &menu->items;
    else if (auto* item = dynamic_cast<SubMenu*>(parent)) siblings = &item->items;
    if (siblings == nullptr) return;
    siblings->push_back(this);
    if (parent->created) Create();
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

void SubMenu::Create() {
    if (created) return;
    HMENU container = Container();
    if (container == nullptr) return;
    if (!items.empty()) {
        submenuHandle = CreatePopupMenu();
        for (GUIElement* item : std::vector<GUIElement*>(items)) item->Create();
        AppendMenuW(container, MF_POPUP, reinterpret_cast<UINT_PTR>(submenuHandle), text.c_str());
    } else {
        AppendMenuW(container, appendFlags, static_cast<UINT_PTR>(controlId), CaptionOrNone(text));
        if (checkable)
            CheckMenuItem(container, static_cast<UINT>(controlId), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    created = true;
    window = reinterpret_cast<HWND>(submenuHandle);
    IndexWindow(this);
    if (!enabled) SetEnabled(false);
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
