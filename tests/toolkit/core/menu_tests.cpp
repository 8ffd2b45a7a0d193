// Menus: the bar built from the element tree, identifiers, greyed and
// checkable items, cascading submenus, items added later, and popups chosen
// from the keyboard.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/Menu.h"
#include "toolkit/core/Registry.h"

using namespace QVUtility;

namespace {

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        ToolkitTest::UseTestDesktop();
        ToolkitTest::ResetToolkitState();
    }
    void TearDown() override { ToolkitTest::Pump(0); }
};

std::wstring ItemText(HMENU menu, UINT position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

void Choose(Form& form, const SubMenu& item) {
    SendMessageW(form.window, WM_COMMAND, MAKEWPARAM(item.controlId, 0), 0);
}

TEST_F(Menus, BarIsBuiltFromTheTreeWithConsecutiveIdentifiers) {
    Form form(nullptr);
    form.Create();
    const int before = controlCounter;
    MenuBar bar(&form);
    Menu file("&File", &bar);
    SubMenu open(&file, "&Apri...");
    SubMenu save(&file, std::wstring(L"&Salva"));
    SubMenu divider(&file, "");
    SubMenu exit(&file, "&Esci");
    Menu help("&?", &bar);
    SubMenu info(&help, "&Info...");
    save.enabled = false;

    EXPECT_EQ(open.controlId, before + 1);
    EXPECT_EQ(save.controlId, before + 2);
    EXPECT_EQ(divider.controlId, before + 3);
    EXPECT_EQ(exit.controlId, before + 4);
    EXPECT_EQ(info.controlId, before + 5);
    EXPECT_EQ(open.typeKeyword, "submenu");
    EXPECT_EQ(file.typeKeyword, "menu");
    EXPECT_EQ(bar.typeKeyword, "menubar");
    EXPECT_FALSE(bar.created);

    bar.Create();
    ASSERT_TRUE(bar.created);
    HMENU native = GetMenu(form.window);
    ASSERT_EQ(native, bar.menuHandle);
    EXPECT_EQ(reinterpret_cast<HMENU>(bar.window), bar.menuHandle);
    ASSERT_EQ(GetMenuItemCount(native), 2);
    EXPECT_EQ(ItemText(native, 0), L"&File");
    EXPECT_EQ(ItemText(native, 1), L"&?");
    HMENU drop = GetSubMenu(native, 0);
    ASSERT_EQ(drop, file.menuHandle);
    ASSERT_EQ(GetMenuItemCount(drop), 4);
    EXPECT_EQ(ItemText(drop, 1), L"&Salva");
    EXPECT_EQ(GetMenuItemID(drop, 3), static_cast<UINT>(exit.controlId));
    EXPECT_TRUE(GetMenuState(drop, save.controlId, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(drop, open.controlId, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(ItemText(drop, 2), L"");

    save.SetEnabled(true);
    EXPECT_FALSE(GetMenuState(drop, save.controlId, MF_BYCOMMAND) & MF_GRAYED);
    // A new caption shows in place, the item keeping its state and its keys.
    save.SetEnabled(false);
    save.SetShortcut(Shortcut{'S', FCONTROL});
    save.SetText(L"&Salva tutto");
    EXPECT_EQ(ItemText(drop, 1), L"&Salva tutto\tCtrl+S");
    EXPECT_TRUE(GetMenuState(drop, save.controlId, MF_BYCOMMAND) & MF_GRAYED);
    save.SetEnabled(true);
    EXPECT_EQ(FindMenuItemById(save.controlId), &save);
    EXPECT_EQ(FindMenuItemById(-1), nullptr);
}

TEST_F(Menus, CheckableItemIsCheckedBeforeItsHandlerRuns) {
    static std::vector<bool> seenByHandler;
    seenByHandler.clear();
    Form form(nullptr);
    form.Create();
    MenuBar bar(&form);
    Menu view("&Visualizza", &bar);
    SubMenu grid(&view, "&Griglia");
    grid.checkable = true;
    grid.onCommand = [](GUIElement* element) {
        auto* item = static_cast<SubMenu*>(element);
        const UINT state = GetMenuState(item->Container(), item->controlId, MF_BYCOMMAND);
        seenByHandler.push_back((state & MF_CHECKED) != 0 && item->checked);
    };
    bar.Create();

    Choose(form, grid);
    Choose(form, grid);
    ASSERT_EQ(seenByHandler.size(), 2u);
    EXPECT_TRUE(seenByHandler[0]);
    EXPECT_FALSE(seenByHandler[1]);
    EXPECT_FALSE(IsChecked(&grid));

    // A greyed item keeps its check mark readable.
    grid.checked = true;
    ApplyCheck(&grid);
    grid.SetEnabled(false);
    grid.checked = false;
    EXPECT_TRUE(IsChecked(&grid));
    EXPECT_TRUE(grid.checked);
}

TEST_F(Menus, CascadingItemIsNeverChosenItself) {
    static int chosen;
    chosen = 0;
    Form form(nullptr);
    form.Create();
    MenuBar bar(&form);
    Menu edit("&Modifica", &bar);
    SubMenu colours(&edit, "&Colore");
    colours.onCommand = [](GUIElement*) { chosen += 100; };
    SubMenu red(&colours, "&Rosso");
    red.onCommand = [](GUIElement*) { chosen += 1; };
    bar.Create();

    HMENU drop = edit.menuHandle;
    ASSERT_EQ(GetMenuItemCount(drop), 1);
    HMENU nested = GetSubMenu(drop, 0);
    ASSERT_NE(nested, nullptr);
    EXPECT_EQ(nested, colours.submenuHandle);
    EXPECT_EQ(reinterpret_cast<HMENU>(colours.window), nested);
    EXPECT_EQ(GetMenuItemID(nested, 0), static_cast<UINT>(red.controlId));
    EXPECT_EQ(red.Container(), nested);

    Choose(form, red);
    EXPECT_EQ(chosen, 1);
}

TEST_F(Menus, ItemsAddedToACreatedMenuAppearAtOnce) {
    Form form(nullptr);
    form.Create();
    MenuBar bar(&form);
    Menu file("&File", &bar);
    SubMenu first(&file, "&Nuovo");
    bar.Create();
    SubMenu late(&file, "&Recenti");
    EXPECT_TRUE(late.created);
    ASSERT_EQ(GetMenuItemCount(file.menuHandle), 2);
    EXPECT_EQ(ItemText(file.menuHandle, 1), L"&Recenti");

    Menu extra("&Strumenti", &bar);
    EXPECT_TRUE(extra.created);
    EXPECT_EQ(GetMenuItemCount(bar.menuHandle), 2);
    SubMenu tool(&extra, "&Opzioni");
    EXPECT_EQ(GetMenuItemCount(extra.menuHandle), 1);
}

TEST_F(Menus, WithoutContainersNothingIsCreated) {
    Form form(nullptr);  // never created: no window for the bar
    MenuBar bar(&form);
    Menu file("&File", &bar);
    SubMenu open(&file, "&Apri");
    bar.Create();
    EXPECT_FALSE(bar.created);
    EXPECT_FALSE(file.created);
    EXPECT_FALSE(open.created);

    Menu loose("popup", nullptr);
    loose.Create();
    EXPECT_FALSE(loose.created);
    SubMenu orphan(nullptr, "x");
    orphan.Create();
    EXPECT_FALSE(orphan.created);
    EXPECT_TRUE(loose.items.empty());
}

TEST_F(Menus, DeletedItemsLeaveTheirParentsLists) {
    Form form(nullptr);
    form.Create();
    MenuBar bar(&form);
    auto file = std::make_unique<Menu>("&File", &bar);
    auto open = std::make_unique<SubMenu>(file.get(), "&Apri");
    auto close = std::make_unique<SubMenu>(file.get(), "&Chiudi");
    open.reset();
    ASSERT_EQ(file->items.size(), 1u);
    EXPECT_EQ(file->items[0], close.get());
    file.reset();
    EXPECT_TRUE(bar.items.empty());
    EXPECT_EQ(close->parent, nullptr);
    bar.Create();  // builds an empty bar without touching deleted elements
    EXPECT_TRUE(bar.created);
}

// ---- Popups --------------------------------------------------------------------------------

struct PopupScript {
    std::vector<UINT> keys;
    UINT grayedProbe = 0;  // an item that is disabled in the element tree
    bool probeWasEnabled = false;
    int itemsSeen = -1;
};
PopupScript* script = nullptr;

// Runs inside the popup's own loop: looks at the open menu and answers it
// from the keyboard.
void CALLBACK DrivePopup(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (popup == nullptr || !IsWindowVisible(popup)) return;
    KillTimer(nullptr, timer);
    HMENU shown = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (shown != nullptr) {
        script->itemsSeen = GetMenuItemCount(shown);
        if (script->grayedProbe != 0) {
            const UINT state = GetMenuState(shown, script->grayedProbe, MF_BYCOMMAND);
            script->probeWasEnabled = state != static_cast<UINT>(-1) && !(state & MF_GRAYED);
        }
    }
    for (UINT key : script->keys) {
        PostMessageW(popup, WM_KEYDOWN, key, 0);
        PostMessageW(popup, WM_KEYUP, key, 0xC0000001);
    }
}

TEST_F(Menus, PopupItemReachesItsHandlerAndTogglesOnlyItsStoredState) {
    static std::vector<int> chosen;
    chosen.clear();
    Form form(nullptr);
    form.SetSize(300, 200);
    form.Create();
    SetForegroundWindow(form.window);
    Menu popup("", nullptr);  // no bar: only a source for the popup
    SubMenu edit(&popup, "&Modifica task");
    SubMenu remove(&popup, "&Elimina task");
    SubMenu mark(&popup, "&Evidenzia");
    mark.checkable = true;
    remove.enabled = false;  // shown enabled all the same
    edit.onCommand = [](GUIElement* element) { chosen.push_back(element->controlId); };
    remove.onCommand = [](GUIElement* element) { chosen.push_back(element->controlId); };
    mark.onCommand = [](GUIElement* element) { chosen.push_back(static_cast<SubMenu*>(element)->checked ? 1 : 0); };

    PopupScript run;
    run.keys = {VK_DOWN, VK_RETURN};  // the first item is not selected until a key moves
    run.grayedProbe = static_cast<UINT>(remove.controlId);
    script = &run;
    SetTimer(nullptr, 0, 50, &DrivePopup);
    ShowPopup(&popup, &form, 200, 200);
    ToolkitTest::PumpUntil([] { return !chosen.empty(); });
    EXPECT_EQ(run.itemsSeen, 3);
    EXPECT_TRUE(run.probeWasEnabled);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], edit.controlId);
    EXPECT_FALSE(edit.created);

    // Third item: the checkable one flips its stored flag before the handler.
    chosen.clear();
    run.keys = {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN};
    SetTimer(nullptr, 0, 50, &DrivePopup);
    ShowPopup(&popup, &form, 200, 200);
    ToolkitTest::PumpUntil([] { return !chosen.empty(); });
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0], 1);
    EXPECT_TRUE(mark.checked);
    EXPECT_FALSE(mark.created);
    script = nullptr;
}

}  // namespace
