// Toolbar, status bar and timer on real common controls.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "inputs_resources.h"
#include "toolkit/core/Form.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/Timer.h"
#include "toolkit/widgets/ToolBar.h"

using namespace QVUtility;
using widgettest::Pump;
using widgettest::PumpUntil;

namespace {

class BarsTest : public widgettest::OwningTest {
protected:
    static void SetUpTestSuite() { form = widgettest::OpenForm(L"Barre", 40, 40, 600, 400); }
    static void TearDownTestSuite() {
        delete form;
        form = nullptr;
    }

    static Form* form;
};

Form* BarsTest::form = nullptr;

std::vector<GUIElement*> commands;
void RecordCommand(GUIElement* element) { commands.push_back(element); }

TBBUTTON ButtonAt(const ToolBar& bar, int index) {
    TBBUTTON button{};
    SendMessageW(bar.window, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button));
    return button;
}

int ImageCount(const ToolBar& bar) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(bar.window, TB_GETIMAGELIST, 0, 0));
    return images != nullptr ? ImageList_GetImageCount(images) : 0;
}

TEST_F(BarsTest, ToolBarWithoutItemsHasNoButtons) {
    auto* bar = Own(new ToolBar(form));
    bar->Create();
    ASSERT_NE(bar->window, nullptr);
    EXPECT_EQ(SendMessageW(bar->window, TB_BUTTONCOUNT, 0, 0), 0);
    bar->RebuildButtons();
    EXPECT_EQ(SendMessageW(bar->window, TB_BUTTONCOUNT, 0, 0), 0);
}

TEST_F(BarsTest, RebuildButtonsFollowsTheItemsEnabledState) {
    auto* bar = Own(new ToolBar(form));
    auto* create = Own(new ToolBarItem(bar));
    create->imageIndex = 6;  // the standard "new" picture
    create->text = L"Nuovo";
    auto* gap = Own(new ToolBarItem(bar));
    gap->buttonStyle = 1;
    auto* save = Own(new ToolBarItem(bar));
    save->imageIndex = 8;
    save->SetEnabled(false);
    bar->AddItem(create);
    bar->AddItem(gap);
    bar->AddItem(save);
    bar->Create();

    ASSERT_EQ(SendMessageW(bar->window, TB_BUTTONCOUNT, 0, 0), 3);
    EXPECT_EQ(ButtonAt(*bar, 0).iBitmap, 6);
    EXPECT_EQ(ButtonAt(*bar, 0).idCommand, create->controlId);
    EXPECT_EQ(ButtonAt(*bar, 1).fsStyle & TBSTYLE_SEP, TBSTYLE_SEP);
    EXPECT_TRUE(SendMessageW(bar->window, TB_ISBUTTONENABLED, static_cast<WPARAM>(create->controlId), 0));
    EXPECT_FALSE(SendMessageW(bar->window, TB_ISBUTTONENABLED, static_cast<WPARAM>(save->controlId), 0));
    const int images = ImageCount(*bar);

    save->SetEnabled(true);
    create->SetEnabled(false);
    bar->RebuildButtons();
    EXPECT_EQ(SendMessageW(bar->window, TB_BUTTONCOUNT, 0, 0), 3) << "rebuilt, not appended";
    EXPECT_TRUE(SendMessageW(bar->window, TB_ISBUTTONENABLED, static_cast<WPARAM>(save->controlId), 0));
    EXPECT_FALSE(SendMessageW(bar->window, TB_ISBUTTONENABLED, static_cast<WPARAM>(create->controlId), 0));
    EXPECT_EQ(ButtonAt(*bar, 2).idCommand, save->controlId) << "an item keeps its identifier";
    EXPECT_EQ(ImageCount(*bar), images);
}

TEST_F(BarsTest, ItemLabelsAreFixedWhenTheItemIsCreated) {
    auto* bar = Own(new ToolBar(form));
    bar->showLabels = 1;
    auto* early = Own(new ToolBarItem(bar));
    auto* named = Own(new ToolBarItem(bar));
    named->text = L"Propriet\u00E0";
    early->Create();  // before its text was set
    early->text = L"Troppo tardi";
    bar->AddItem(early);
    bar->AddItem(named);
    bar->Create();
    EXPECT_EQ(std::wstring(early->label.data()), L"");
    EXPECT_EQ(std::wstring(named->label.data()), L"Propriet\u00E0");
    wchar_t shown[64] = {};
    SendMessageW(bar->window, TB_GETBUTTONTEXTW, static_cast<WPARAM>(named->controlId),
                 reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Propriet\u00E0");
}

TEST_F(BarsTest, ProgramBitmapsAreAddedOnce) {
    auto* bar = Own(new ToolBar(form));
    auto* first = Own(new ToolBarItem(bar));
    first->bitmapResource = IDB_TEST_STRIP;
    first->imageCount = 3;
    first->imageOffset = 0;
    auto* third = Own(new ToolBarItem(bar));
    third->imageOffset = 2;  // from the strip the item before added
    auto* mapped = Own(new ToolBarItem(bar));
    mapped->bitmapResource = IDB_TEST_STRIP;
    mapped->transparentColour = RGB(255, 0, 255);
    bar->AddItem(first);
    bar->AddItem(third);
    bar->AddItem(mapped);
    bar->Create();

    const int standard = 15;  // the small standard pictures come first
    EXPECT_EQ(first->imageIndex, standard);
    EXPECT_EQ(third->imageIndex, standard + 2);
    EXPECT_EQ(ButtonAt(*bar, 1).iBitmap, standard + 2);
    ASSERT_EQ(bar->mappedBitmaps.size(), 1u);
    EXPECT_EQ(mapped->imageIndex, standard + 3);

    // The colour map turned magenta into the button face.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bar->mappedBitmaps[0]);
    EXPECT_EQ(GetPixel(memory, 0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(memory, 8, 8), RGB(255, 0, 0));
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    const int images = ImageCount(*bar);
    bar->RebuildButtons();
    bar->RebuildButtons();
    EXPECT_EQ(ImageCount(*bar), images) << "resolved pictures are remembered";
    EXPECT_EQ(bar->mappedBitmaps.size(), 1u);
    EXPECT_EQ(third->imageIndex, standard + 2);
}

TEST_F(BarsTest, ToolBarCommandReachesTheItemByIdentifier) {
    commands.clear();
    auto* bar = Own(new ToolBar(form));
    auto* open = Own(new ToolBarItem(bar));
    open->imageIndex = 7;
    open->onCommand = RecordCommand;
    auto* save = Own(new ToolBarItem(bar));
    save->imageIndex = 8;
    save->onCommand = RecordCommand;
    bar->AddItem(open);
    bar->AddItem(save);
    bar->Create();

    // A mouse click on the second button, as the user makes it.
    RECT button{};
    ASSERT_TRUE(SendMessageW(bar->window, TB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&button)));
    const LPARAM centre = MAKELPARAM((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    SendMessageW(bar->window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageW(bar->window, WM_LBUTTONUP, 0, centre);
    Pump(20);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], save);

    // A disabled button raises nothing.
    save->SetEnabled(false);
    bar->RebuildButtons();
    SendMessageW(bar->window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageW(bar->window, WM_LBUTTONUP, 0, centre);
    Pump(20);
    EXPECT_EQ(commands.size(), 1u);
}

TEST_F(BarsTest, StatusBarShowsTheElementText) {
    auto* status = Own(new StatusBar(form, "Pronto"));
    EXPECT_EQ(status->width, 0);
    status->Create();
    ASSERT_NE(status->window, nullptr);
    wchar_t shown[64] = {};
    SendMessageW(status->window, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Pronto");
    status->SetText(L"Modifiche gi\u00E0 salvate");
    SendMessageW(status->window, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Modifiche gi\u00E0 salvate");
    EXPECT_EQ(SendMessageW(status->window, SB_GETPARTS, 0, 0), 1);
}

int ticks = 0;
void CountTick(Timer*) { ++ticks; }

TEST_F(BarsTest, TimerTicksUntilStoppedAndIsKilledOnDestruction) {
    ticks = 0;
    auto* timer = new Timer(form, 20);
    timer->onTimer = CountTick;
    timer->Start();
    ASSERT_TRUE(timer->created);
    EXPECT_FALSE(IsWindowVisible(timer->window)) << "the timer's window stays hidden";
    EXPECT_TRUE(timer->running);
    EXPECT_TRUE(PumpUntil([] { return ticks >= 3; }));

    timer->Stop();
    EXPECT_FALSE(timer->running);
    Pump(20);  // a tick already queued may still arrive
    const int stopped = ticks;
    Pump(150);
    EXPECT_EQ(ticks, stopped);

    // Destroyed while running: the window timer goes with it.
    timer->Start();
    EXPECT_TRUE(PumpUntil([&] { return ticks > stopped; }));
    const UINT_PTR id = static_cast<UINT_PTR>(timer->controlId);
    delete timer;
    EXPECT_FALSE(KillTimer(form->window, id)) << "no timer left to kill";
    Pump(20);
    const int afterDelete = ticks;
    Pump(150);
    EXPECT_EQ(ticks, afterDelete);

    // Without a parent window nothing starts.
    Timer orphan(nullptr, 10);
    orphan.Start();
    EXPECT_FALSE(orphan.running);
}

}  // namespace
