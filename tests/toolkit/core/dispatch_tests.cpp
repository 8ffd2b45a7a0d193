// The window procedure with real windows: closing and quitting, the modal
// dialog sequence, Tab navigation, character routing, commands of every kind,
// notifications, owner-drawn buttons, panel and wheel scrolling, hotkeys and
// cursors.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/MessageLoop.h"
#include "toolkit/core/Registry.h"
#include "toolkit/core/WindowProcedure.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/GdiTally.h"

using namespace QVUtility;
using ToolkitTest::TestControl;
using ToolkitTest::TestPlainControl;

namespace {

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        ToolkitTest::UseTestDesktop();
        ToolkitTest::ResetToolkitState();
    }
    void TearDown() override { ToolkitTest::Pump(0); }
};

// ---- Closing, quitting, the loop and modal dialogs ------------------------------

TEST_F(Dispatch, RefusedCloseKeepsTheWindowAndDestroyingTheFirstFormQuits) {
    static int closeRequests;
    closeRequests = 0;
    Form form(nullptr);
    form.onClose = [](GUIElement*) {
        ++closeRequests;
        return false;
    };
    form.Create();
    ASSERT_EQ(mainWindow, form.window);
    EXPECT_EQ(SendMessageW(form.window, WM_CLOSE, 0, 0), 1);
    EXPECT_EQ(closeRequests, 1);
    EXPECT_TRUE(IsWindow(form.window));
    ToolkitTest::Pump(20);
    EXPECT_FALSE(ToolkitTest::QuitSeen());

    // A second form closes by default processing and does not end the loop.
    Form other(nullptr);
    other.Create();
    SendMessageW(other.window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(other.window));
    EXPECT_TRUE(other.destroyed);
    ToolkitTest::Pump(20);
    EXPECT_FALSE(ToolkitTest::QuitSeen());

    form.onClose = nullptr;
    SendMessageW(form.window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(form.window));
    EXPECT_TRUE(form.destroyed);
    ToolkitTest::Pump(20);
    EXPECT_TRUE(ToolkitTest::QuitSeen());
}

TEST_F(Dispatch, MessageLoopRunsUntilTheMainWindowIsClosed) {
    static int ticks;
    ticks = 0;
    Form form(nullptr);
    form.Create();
    // Closed from inside the loop, after the loop has dispatched a while.
    SetTimer(form.window, 77, 30, [](HWND window, UINT, UINT_PTR, DWORD) {
        if (++ticks == 3) PostMessageW(window, WM_CLOSE, 0, 0);
    });
    RunMessageLoop(&form);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(IsWindow(form.window));
}

// A dialog class as the application writes them: a result code, close
// handling that gives the owner back.
struct ResultDialog : Form {
    explicit ResultDialog(Form* owner) : Form(nullptr, true) {
        topmostDialog = false;
        onClose = [](GUIElement* element) {
            static_cast<ResultDialog*>(element)->EndModal();
            return true;
        };
        BeginModal(owner);
    }
    int result = 0;
};

struct OwnerForm : Form {
    OwnerForm() : Form(nullptr) {}
    std::unique_ptr<ResultDialog> dialog;
    std::vector<int> results;
    bool enabledWhenNotified = false;

    void OpenDialog() {
        dialog.reset();  // the previous dialog of this kind goes first
        dialog = std::make_unique<ResultDialog>(this);
        dialog->onDestroy = [](GUIElement* element) {
            auto* self = static_cast<ResultDialog*>(element);
            auto* owner = static_cast<OwnerForm*>(FindByWindow(mainWindow));
            owner->results.push_back(self->result);
            owner->enabledWhenNotified = IsWindowEnabled(owner->window) != FALSE;
        };
        dialog->Create();
    }
};

TEST_F(Dispatch, ModalDialogClosedWithTheCloseBoxReportsResultZeroToTheOwner) {
    OwnerForm owner;
    owner.Create();
    owner.OpenDialog();
    ResultDialog* first = owner.dialog.get();
    EXPECT_FALSE(IsWindowEnabled(owner.window));
    EXPECT_EQ(owner.modalDialog, first);
    EXPECT_EQ(first->dialogOwner, &owner);

    SendMessageW(first->window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(ToolkitTest::PumpUntil([&] { return !owner.results.empty(); }));
    EXPECT_EQ(owner.results[0], 0);
    EXPECT_TRUE(owner.enabledWhenNotified);
    EXPECT_EQ(owner.modalDialog, nullptr);
    EXPECT_TRUE(first->destroyed);

    // A dialog that stored a result before closing itself.
    owner.OpenDialog();
    EXPECT_FALSE(IsWindowEnabled(owner.window));
    owner.dialog->result = 1;
    PostMessageW(owner.dialog->window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(ToolkitTest::PumpUntil([&] { return owner.results.size() == 2; }));
    EXPECT_EQ(owner.results[1], 1);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
}

TEST_F(Dispatch, DeletingAnOpenDialogGivesTheOwnerBack) {
    OwnerForm owner;
    owner.Create();
    owner.OpenDialog();
    HWND dialogWindow = owner.dialog->window;
    owner.dialog->onDestroy = nullptr;
    owner.dialog.reset();
    EXPECT_TRUE(IsWindowEnabled(owner.window));
    EXPECT_EQ(owner.modalDialog, nullptr);
    EXPECT_FALSE(IsWindow(dialogWindow));
}

TEST_F(Dispatch, DialogWhoseWindowCannotBeMadeLeavesTheOwnerEnabled) {
    OwnerForm owner;
    owner.Create();
    {
        ToolkitTest::RefuseWindows refused;
        owner.OpenDialog();  // modal from its constructor, then no window
    }
    EXPECT_EQ(owner.dialog->window, nullptr);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
    EXPECT_EQ(owner.modalDialog, nullptr);

    // Made first, shown as modal afterwards.
    Form late(nullptr, true);
    {
        ToolkitTest::RefuseWindows refused;
        late.Create();
    }
    late.BeginModal(&owner);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
    EXPECT_EQ(owner.modalDialog, nullptr);
}

TEST_F(Dispatch, CloseAndSessionEndAreRefusedWhenTheirHandlerFails) {
    static int sessionEnds;
    sessionEnds = 0;
    Form form(nullptr);
    form.onClose = [](GUIElement*) -> bool { throw std::runtime_error("close"); };
    form.onQueryEndSession = [](GUIElement*) -> bool { throw std::bad_alloc(); };
    form.onEndSession = [](GUIElement*) { ++sessionEnds; };
    form.Create();
    EXPECT_EQ(SendMessageW(form.window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(form.window));
    EXPECT_EQ(SendMessageW(form.window, WM_QUERYENDSESSION, 0, 0), FALSE);

    form.onQueryEndSession = [](GUIElement*) { return false; };
    EXPECT_EQ(SendMessageW(form.window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    form.onQueryEndSession = nullptr;
    EXPECT_EQ(SendMessageW(form.window, WM_QUERYENDSESSION, 0, 0), TRUE);
    // Another program refused: the session goes on.
    SendMessageW(form.window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(sessionEnds, 0);
    SendMessageW(form.window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(sessionEnds, 1);
    form.onClose = nullptr;
}

TEST_F(Dispatch, ActivatingTheOwnerKeepsItsDialogInFront) {
    OwnerForm owner;
    owner.Create();
    owner.OpenDialog();
    // The owner is brought to the front and activated (a disabled window
    // cannot be made foreground from here, so it is enabled for the moment).
    // The order is read as the activation leaves it: Wine's X11 driver may
    // re-stack windows later on its own.
    static int activations;
    activations = 0;
    owner.onActivate = [](GUIElement*) { ++activations; };
    EnableWindow(owner.window, TRUE);
    SetWindowPos(owner.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetForegroundWindow(owner.window);
    EnableWindow(owner.window, FALSE);
    EXPECT_EQ(activeForm, &owner);
    // Re-stacking must not activate anything: one activation, no ping-pong.
    EXPECT_EQ(activations, 1);
    // The dialog comes before the owner in the z-order.
    bool dialogFirst = false;
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == owner.dialog->window) {
            dialogFirst = true;
            break;
        }
        if (w == owner.window) break;
    }
    EXPECT_TRUE(dialogFirst);
    owner.dialog->onDestroy = nullptr;
}

// ---- Keyboard --------------------------------------------------------------------

void SetShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

TEST_F(Dispatch, TabAndShiftTabMoveBetweenTheTabStopsOfADialog) {
    static int keysSeen;
    keysSeen = 0;
    Form dialog(nullptr, true);
    dialog.SetSize(300, 200);
    dialog.Create();
    std::vector<std::unique_ptr<TestControl>> fields;
    for (int i = 0; i < 3; ++i) {
        fields.push_back(std::make_unique<TestControl>(&dialog, L"EDIT", WS_TABSTOP | WS_BORDER, "textbox"));
        fields.back()->y = 10 + 40 * i;
        fields.back()->onKeyDown = [](GUIElement*, int key) {
            if (key == VK_TAB) ++keysSeen;
        };
        fields.back()->Create();
    }
    SetForegroundWindow(dialog.window);
    fields[0]->Focus();
    ASSERT_EQ(GetFocus(), fields[0]->window);

    SetShift(false);
    SendMessageW(fields[0]->window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), fields[1]->window);
    SendMessageW(fields[1]->window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), fields[2]->window);
    SendMessageW(fields[2]->window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), fields[0]->window);  // wraps inside the dialog

    SetShift(true);
    SendMessageW(fields[0]->window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), fields[2]->window);
    SendMessageW(fields[2]->window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), fields[1]->window);
    SetShift(false);
    EXPECT_EQ(keysSeen, 5);  // each field still received its key
}

TEST_F(Dispatch, RefusedCharacterNeverReachesTheFieldButIsPreviewedByTheParent) {
    static std::wstring previewed;
    previewed.clear();
    Form dialog(nullptr, true);
    dialog.previewChildChars = true;
    dialog.onChar = [](GUIElement*, int character) {
        previewed.push_back(static_cast<wchar_t>(character));
        return true;
    };
    dialog.Create();
    TestControl digits(&dialog, L"EDIT", WS_BORDER, "textbox");
    digits.onChar = [](GUIElement*, int character) { return character >= '0' && character <= '9'; };
    digits.Create();

    for (wchar_t c : std::wstring(L"4x2\r")) SendMessageW(digits.window, WM_CHAR, c, 1);
    EXPECT_EQ(digits.GetText(), L"42");
    EXPECT_EQ(previewed, L"4x2\r");
    EXPECT_EQ(SendMessageW(digits.window, WM_CHAR, L'y', 1), 1);

    // Without previewChildChars the parent is not asked.
    dialog.previewChildChars = false;
    SendMessageW(digits.window, WM_CHAR, L'7', 1);
    EXPECT_EQ(previewed, L"4x2\ry");
    EXPECT_EQ(digits.GetText(), L"427");
}

// ---- Commands --------------------------------------------------------------------

struct CheckControl : TestControl {
    explicit CheckControl(GUIElement* parentElement) : TestControl(parentElement, L"BUTTON", BS_CHECKBOX, "checkbox") {}
    void ToggleChecked() override {
        checkState = !checkState;
        if (created) CheckDlgButton(parent->window, controlId, checkState ? BST_CHECKED : BST_UNCHECKED);
    }
    bool checkState = false;
};

TEST_F(Dispatch, CheckBoxTogglesBeforeItsCommandHandler) {
    static std::vector<bool> statesSeen;
    statesSeen.clear();
    Form form(nullptr);
    form.Create();
    CheckControl box(&form);
    box.onCommand = [](GUIElement* element) { statesSeen.push_back(static_cast<CheckControl*>(element)->checkState); };
    box.Create();
    SendMessageW(box.window, BM_CLICK, 0, 0);
    SendMessageW(box.window, BM_CLICK, 0, 0);
    ASSERT_EQ(statesSeen.size(), 2u);
    EXPECT_TRUE(statesSeen[0]);
    EXPECT_FALSE(statesSeen[1]);
    EXPECT_EQ(IsDlgButtonChecked(form.window, box.controlId), static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(Dispatch, ToolbarCommandReachesTheItemWithThatIdentifier) {
    static GUIElement* reached;
    reached = nullptr;
    Form form(nullptr);
    form.SetSize(400, 200);
    form.Create();
    TestPlainControl toolbar(&form, TOOLBARCLASSNAMEW, TBSTYLE_FLAT | CCS_TOP, "toolbar");
    toolbar.Create();
    // A toolbar item: a command element whose identifier the button carries.
    TestControl item(&form, L"STATIC", 0, "toolbaritem");
    item.Create();
    item.onCommand = [](GUIElement* element) { reached = element; };
    TestControl decoy(&form, L"STATIC", 0, "toolbaritem");
    decoy.Create();
    decoy.onCommand = [](GUIElement* element) { reached = element; };

    SendMessageW(toolbar.window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = item.controlId;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(L"Inserisci Task");
    SendMessageW(toolbar.window, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    SendMessageW(toolbar.window, TB_AUTOSIZE, 0, 0);
    RECT area{};
    ASSERT_TRUE(SendMessageW(toolbar.window, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&area)));
    const LPARAM centre = MAKELPARAM((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    SendMessageW(toolbar.window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    SendMessageW(toolbar.window, WM_LBUTTONUP, 0, centre);
    ToolkitTest::Pump(20);
    EXPECT_EQ(reached, &item);

    // An identifier that no element holds is ignored.
    reached = nullptr;
    SendMessageW(form.window, WM_COMMAND, MAKEWPARAM(30000, 0), reinterpret_cast<LPARAM>(toolbar.window));
    EXPECT_EQ(reached, nullptr);
}

struct HookedCombo : TestControl {
    explicit HookedCombo(GUIElement* parentElement)
        : TestControl(parentElement, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, "combobox") {
        height = 120;
    }
    bool OnDropDownHook() override {
        ++dropDowns;
        return allowDropDown;
    }
    bool OnCloseUpHook() override {
        ++closeUps;
        return true;
    }
    bool allowDropDown = true;
    int dropDowns = 0;
    int closeUps = 0;
};

TEST_F(Dispatch, ComboAndListNotificationsReachTheirHooks) {
    static int commands;
    commands = 0;
    Form form(nullptr);
    form.Create();
    HookedCombo combo(&form);
    combo.onCommand = [](GUIElement*) { ++commands; };
    combo.Create();
    auto send = [&](HWND source, int id, int code) {
        return SendMessageW(form.window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(source));
    };
    combo.allowDropDown = false;
    EXPECT_EQ(send(combo.window, combo.controlId, CBN_DROPDOWN), 1);
    combo.allowDropDown = true;
    EXPECT_EQ(send(combo.window, combo.controlId, CBN_DROPDOWN), 0);
    send(combo.window, combo.controlId, CBN_CLOSEUP);
    EXPECT_EQ(combo.dropDowns, 2);
    EXPECT_EQ(combo.closeUps, 1);
    EXPECT_EQ(commands, 0);
    send(combo.window, combo.controlId, CBN_SELCHANGE);
    EXPECT_EQ(commands, 1);

    TestControl list(&form, L"LISTBOX", LBS_NOTIFY, "listbox");
    list.onCommand = [](GUIElement*) { commands += 10; };
    list.Create();
    send(list.window, list.controlId, LBN_DBLCLK);
    EXPECT_EQ(commands, 1);
    send(list.window, list.controlId, LBN_SELCHANGE);
    EXPECT_EQ(commands, 11);
}

TEST_F(Dispatch, HandlerThatDeletesItsOwnElementIsSafe) {
    static std::unique_ptr<TestControl> doomed;
    Form form(nullptr);
    form.Create();
    doomed = std::make_unique<TestControl>(&form, L"BUTTON", BS_PUSHBUTTON, "button");
    doomed->onCommand = [](GUIElement*) { doomed.reset(); };
    doomed->onKeyDown = [](GUIElement*, int) { doomed.reset(); };
    doomed->Create();
    HWND buttonWindow = doomed->window;
    SendMessageW(buttonWindow, BM_CLICK, 0, 0);
    EXPECT_EQ(doomed, nullptr);
    // The button's later messages are its own.
    SendMessageW(buttonWindow, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"OK"));
    wchar_t text[8] = {};
    GetWindowTextW(buttonWindow, text, 8);
    EXPECT_STREQ(text, L"OK");

    doomed = std::make_unique<TestControl>(&form, L"EDIT", 0, "textbox");
    doomed->onKeyDown = [](GUIElement*, int) { doomed.reset(); };
    doomed->Create();
    SendMessageW(doomed->window, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(doomed, nullptr);
}

// ---- Notifications and timers ------------------------------------------------------------

struct NotifiedControl : TestControl {
    NotifiedControl(GUIElement* parentElement, const std::string& keyword)
        : TestControl(parentElement, L"STATIC", 0, keyword) {}
    void OnDateChange() override { ++dateChanges; }
    void OnPositionChange(int proposed) override { positions.push_back(proposed); }
    void OnTimerTick() override { ++ticks; }
    void OnHeaderNotify(int kind, const std::vector<std::string>& texts, const std::vector<int>& values) override {
        EXPECT_TRUE(texts.empty());
        headerKinds.push_back(kind);
        headerValues.push_back(values);
    }
    int dateChanges = 0;
    int ticks = 0;
    std::vector<int> positions;
    std::vector<int> headerKinds;
    std::vector<std::vector<int>> headerValues;
};

TEST_F(Dispatch, NotificationsReachTheElementOfTheirKind) {
    Form form(nullptr);
    form.Create();
    NotifiedControl picker(&form, "datepicker");
    picker.Create();
    NotifiedControl spinner(&form, "numericbox");
    spinner.Create();
    NotifiedControl label(&form, "label");
    label.Create();
    auto notify = [&](NMHDR& header) {
        SendMessageW(form.window, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    };

    NMDATETIMECHANGE change{};
    change.nmhdr = {picker.window, static_cast<UINT_PTR>(picker.controlId), static_cast<UINT>(DTN_DATETIMECHANGE)};
    notify(change.nmhdr);
    change.nmhdr.hwndFrom = label.window;
    notify(change.nmhdr);
    EXPECT_EQ(picker.dateChanges, 1);
    EXPECT_EQ(label.dateChanges, 0);

    NMUPDOWN delta{};
    delta.hdr = {spinner.window, static_cast<UINT_PTR>(spinner.controlId), static_cast<UINT>(UDN_DELTAPOS)};
    delta.iPos = 5;
    delta.iDelta = -1;
    notify(delta.hdr);
    ASSERT_EQ(spinner.positions.size(), 1u);
    EXPECT_EQ(spinner.positions[0], 4);

    HDITEMW headerItem{};
    headerItem.mask = HDI_WIDTH;
    headerItem.cxy = 77;
    NMHEADERW header{};
    header.hdr = {label.window, static_cast<UINT_PTR>(label.controlId), static_cast<UINT>(HDN_ITEMCHANGEDW)};
    header.iItem = 2;
    header.pitem = &headerItem;
    notify(header.hdr);
    header.hdr.code = static_cast<UINT>(HDN_ITEMCLICKW);
    notify(header.hdr);
    header.hdr.code = static_cast<UINT>(NM_RCLICK);
    notify(header.hdr);
    ASSERT_EQ(label.headerKinds.size(), 3u);
    EXPECT_EQ(label.headerKinds, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(label.headerValues[0], (std::vector<int>{2, 77}));
    EXPECT_EQ(label.headerValues[1], (std::vector<int>{2}));
    EXPECT_TRUE(label.headerValues[2].empty());

    // Timers are found by identifier and must be timers.
    NotifiedControl timer(&form, "timer");
    timer.Create();
    SendMessageW(form.window, WM_TIMER, timer.controlId, 0);
    SendMessageW(form.window, WM_TIMER, label.controlId, 0);
    EXPECT_EQ(timer.ticks, 1);
    EXPECT_EQ(label.ticks, 0);
}

TEST_F(Dispatch, ToolbarItemTooltipTextComesFromTheItem) {
    Form form(nullptr);
    form.Create();
    TestControl item(&form, L"STATIC", 0, "toolbaritem");
    item.Create();
    item.tooltipText = "Inserisci un nuovo task";
    NMTTDISPINFOW request{};
    request.hdr = {nullptr, static_cast<UINT_PTR>(item.controlId), static_cast<UINT>(TTN_GETDISPINFOW)};
    SendMessageW(form.window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_NE(request.lpszText, nullptr);
    EXPECT_STREQ(request.lpszText, L"Inserisci un nuovo task");

    TestControl plain(&form, L"STATIC", 0, "button");
    plain.tooltipText = "no";
    plain.Create();
    NMTTDISPINFOW other{};
    other.hdr = {nullptr, static_cast<UINT_PTR>(plain.controlId), static_cast<UINT>(TTN_GETDISPINFOW)};
    SendMessageW(form.window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(other.lpszText, nullptr);
}

// ---- Owner-drawn buttons ------------------------------------------------------------------

struct PaintedButton : TestControl {
    explicit PaintedButton(GUIElement* parentElement) : TestControl(parentElement, L"BUTTON", BS_OWNERDRAW, "button") {
        width = 120;
        height = 40;
        x = 10;
        y = 10;
    }
    int DrawImage(Drawing& surface, const RECT& item, bool pressed) override {
        pressedSeen.push_back(pressed);
        surface.FillRect(item.left + 5, item.top + 5, 10, 10, 0, 0, RGB(0, 0, 255));
        return withImage ? 20 : 0;
    }
    bool withImage = true;
    std::vector<bool> pressedSeen;
};

COLORREF PixelOf(HWND window, int px, int py) {
    HDC context = GetDC(window);
    const COLORREF colour = GetPixel(context, px, py);
    ReleaseDC(window, context);
    return colour;
}

TEST_F(Dispatch, OwnerDrawnButtonIsFramedFilledAndDrawsItsImage) {
    Form form(nullptr);
    form.SetSize(300, 200);
    form.Create();
    PaintedButton button(&form);
    button.text = L"Annulla";
    button.Create();
    RedrawWindow(button.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(button.pressedSeen.empty());
    EXPECT_FALSE(button.pressedSeen.back());
    EXPECT_EQ(PixelOf(button.window, 0, 0), GetSysColor(COLOR_BTNTEXT));        // frame in the text colour
    EXPECT_EQ(PixelOf(button.window, 8, 8), RGB(0, 0, 255));                    // the image
    EXPECT_EQ(PixelOf(button.window, 100, 3), PixelOf(button.window, 100, 4));  // plain fill inside

    button.SetEnabled(false);
    RedrawWindow(button.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(PixelOf(button.window, 0, 0), static_cast<COLORREF>(0x696969));

    // A draw request for an identifier that is not a button is left alone.
    TestControl label(&form, L"STATIC", 0, "label");
    label.Create();
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(label.controlId);
    item.hwndItem = label.window;
    EXPECT_EQ(SendMessageW(form.window, WM_DRAWITEM, label.controlId, reinterpret_cast<LPARAM>(&item)), 0);
}

TEST_F(Dispatch, OwnerDrawnButtonTextIsCentredForACharacterHeightFont) {
    FontDescription font("Tahoma", -13);  // character height, as the forms ask for it
    Form form(nullptr);
    form.SetSize(300, 200);
    form.Create();
    PaintedButton button(&form);
    button.withImage = false;
    button.height = 40;
    button.text = L"HHHH";
    button.font = &font;
    button.Create();
    RedrawWindow(button.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    int top = -1;
    int bottom = -1;
    HDC context = GetDC(button.window);
    for (int row = 2; row < 38; ++row) {
        for (int column = 30; column < 90; ++column) {
            if (GetPixel(context, column, row) == GetSysColor(COLOR_BTNTEXT)) {
                if (top < 0) top = row;
                bottom = row;
                break;
            }
        }
    }
    ReleaseDC(button.window, context);
    ASSERT_GE(top, 0);
    // The line is centred in the 40 pixels, so the capitals lie well inside
    // them (a 13-pixel line would start at 13; the ascent puts the ink lower).
    EXPECT_GE(top, 8) << "ink rows " << top << " to " << bottom;
    EXPECT_LE(bottom, 33) << "ink rows " << top << " to " << bottom;
}

TEST_F(Dispatch, OwnerDrawnButtonPressedStateReachesTheImage) {
    Form form(nullptr);
    form.SetSize(300, 200);
    form.Create();
    PaintedButton button(&form);
    button.Create();
    HDC context = GetDC(button.window);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.controlId);
    item.hwndItem = button.window;
    item.hDC = context;
    item.itemState = ODS_SELECTED | ODS_FOCUS;
    GetClientRect(button.window, &item.rcItem);
    SetTextColor(context, RGB(0, 0, 0));
    EXPECT_EQ(SendMessageW(form.window, WM_DRAWITEM, button.controlId, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_TRUE(button.pressedSeen.back());
    EXPECT_EQ(GetPixel(context, 0, 0), RGB(255, 255, 255));  // inverse of the text colour
    // The borrowed context is still usable after the surface ended.
    EXPECT_NE(GetPixel(context, 1, 1), CLR_INVALID);
    ReleaseDC(button.window, context);
}

TEST_F(Dispatch, RepaintingOwnerDrawnButtonsReleasesEveryObject) {
    Form form(nullptr);
    form.SetSize(300, 200);
    form.Create();
    PaintedButton button(&form);
    button.text = L"Annulla";
    button.Create();
    RedrawWindow(button.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const GdiTally before = CurrentGdiTally();
    const DWORD platformBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 1000; ++i) RedrawWindow(button.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const GdiTally after = CurrentGdiTally();
    EXPECT_GE(after.created - before.created, 1000);  // the measuring font, at least
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), platformBefore + 5);
}

// ---- Panel and wheel scrolling ----------------------------------------------------------------

// A minimal scrolling container on the toolkit's window procedure.
struct ScrollPanel : ToolkitTest::TestPlainControl {
    explicit ScrollPanel(GUIElement* parentElement) : TestPlainControl(parentElement, L"", 0, "panel") {
        x = 0;
        y = 0;
        width = 300;
        height = 200;
    }
    void Create() override {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW panelClass{};
            panelClass.lpfnWndProc = &WindowProcedure;
            panelClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            panelClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
            panelClass.lpszClassName = L"TestScrollPanel";
            RegisterClassW(&panelClass);
            registered = true;
        }
        TakeControlId();
        {
            CreationScope scope(this);
            window = CreateWindowExW(0, L"TestScrollPanel", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, x, y,
                                     width, height, parent->window,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), nullptr, nullptr);
        }
        created = true;
        SCROLLINFO info{sizeof(info), SIF_RANGE | SIF_PAGE, 0, 1099, 100, 0, 0};
        SetScrollInfo(window, SB_VERT, &info, TRUE);
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
    bool IsPanel() const override { return true; }
    bool HasScrollBar(int bar) const override { return bar == SB_VERT ? verticalBar : horizontalBar; }
    void OnScrollRequest(int bar, int delta) override { requests.push_back({bar, delta}); }

    bool verticalBar = true;
    bool horizontalBar = true;
    std::vector<std::pair<int, int>> requests;
};

int PositionOf(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    GetScrollInfo(window, bar, &info);
    return info.nPos;
}

int ChildTop(HWND child) {
    RECT area{};
    GetWindowRect(child, &area);
    POINT corner{area.left, area.top};
    ScreenToClient(GetParent(child), &corner);
    return corner.y;
}

TEST_F(Dispatch, PanelScrollRequestsMoveTheContentByTheClampedDistance) {
    Form form(nullptr);
    form.SetSize(400, 300);
    form.Create();
    ScrollPanel panel(&form);
    panel.Create();
    TestControl inside(&panel, L"EDIT", 0, "textbox");
    inside.x = 10;
    inside.y = 50;
    inside.Create();

    SendMessageW(panel.window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 1);
    EXPECT_EQ(ChildTop(inside.window), 49);
    SendMessageW(panel.window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 101);
    EXPECT_EQ(ChildTop(inside.window), -51);
    EXPECT_EQ(wheelTarget, &panel);

    // Page down at the end: the window does not move, the handler hears -100.
    SendMessageW(panel.window, WM_VSCROLL, SB_BOTTOM, 0);
    const int last = PositionOf(panel.window, SB_VERT);
    EXPECT_EQ(last, 1000);
    const int topAtEnd = ChildTop(inside.window);
    panel.requests.clear();
    EXPECT_EQ(SendMessageW(panel.window, WM_VSCROLL, SB_PAGEDOWN, 0), 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), last);
    EXPECT_EQ(ChildTop(inside.window), topAtEnd);
    ASSERT_EQ(panel.requests.size(), 1u);
    EXPECT_EQ(panel.requests[0], std::make_pair(static_cast<int>(SB_VERT), -100));

    // Horizontal: top/bottom requests keep the position; a line left at 0 is clamped.
    panel.requests.clear();
    SendMessageW(panel.window, WM_HSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_HORZ), 0);
    EXPECT_TRUE(panel.requests.empty());
    SendMessageW(panel.window, WM_HSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_HORZ), 0);
    ASSERT_EQ(panel.requests.size(), 1u);
    EXPECT_EQ(panel.requests[0], std::make_pair(static_cast<int>(SB_HORZ), 1));

    // Without its bar the panel leaves the request to default processing.
    panel.horizontalBar = false;
    panel.requests.clear();
    SendMessageW(panel.window, WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_TRUE(panel.requests.empty());
}

TEST_F(Dispatch, WheelScrollsTheLastClickedPanelUntilTheFormIsActivatedAgain) {
    Form form(nullptr);
    form.SetSize(400, 300);
    form.Create();
    ScrollPanel panel(&form);
    panel.Create();
    TestControl inside(&panel, L"EDIT", 0, "textbox");
    inside.Create();
    const WPARAM notchDown = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
    const WPARAM notchUp = MAKEWPARAM(0, WHEEL_DELTA);

    // Over the panel itself the panel scrolls, one page per notch.
    EXPECT_EQ(SendMessageW(panel.window, WM_MOUSEWHEEL, notchDown, 0), 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 100);

    // Over a child: only after the panel was clicked.
    wheelTarget = nullptr;
    SendMessageW(inside.window, WM_MOUSEWHEEL, notchDown, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 100);
    SendMessageW(panel.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(panel.window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(wheelTarget, &panel);
    EXPECT_EQ(SendMessageW(inside.window, WM_MOUSEWHEEL, notchDown, 0), 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 200);
    SendMessageW(inside.window, WM_MOUSEWHEEL, notchUp, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 100);

    // Re-activating the form forgets the target.
    SetForegroundWindow(form.window);
    SendMessageW(form.window, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(wheelTarget, nullptr);
    EXPECT_EQ(activeForm, &form);
    SendMessageW(inside.window, WM_MOUSEWHEEL, notchDown, 0);
    EXPECT_EQ(PositionOf(panel.window, SB_VERT), 100);

    // A click on a control that is not a panel clears the target too.
    wheelTarget = &panel;
    SendMessageW(inside.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(inside.window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(wheelTarget, nullptr);
}

// ---- Activation, hotkeys, cursors, mouse -----------------------------------------------------------

TEST_F(Dispatch, ActivationMovesBetweenFormsAndPanels) {
    static std::vector<std::string> events;
    events.clear();
    Form first(nullptr);
    first.text = L"uno";
    first.onActivate = [](GUIElement*) { events.push_back("uno+"); };
    first.onDeactivate = [](GUIElement*) { events.push_back("uno-"); };
    first.Create();
    Form second(nullptr);
    second.onActivate = [](GUIElement*) { events.push_back("due+"); };
    second.onDeactivate = [](GUIElement*) { events.push_back("due-"); };
    second.Create();
    ScrollPanel panel(&second);
    panel.onActivate = [](GUIElement*) { events.push_back("panel+"); };
    panel.onDeactivate = [](GUIElement*) { events.push_back("panel-"); };
    panel.Create();

    SetForegroundWindow(first.window);
    ToolkitTest::Pump(20);
    events.clear();
    activeForm = &first;
    activePanel = &panel;  // as if the panel had been activated last
    SetForegroundWindow(second.window);
    SendMessageW(second.window, WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_GE(events.size(), 3u);
    // The previous form and the panel are deactivated before the new form activates.
    const auto position = [&](const std::string& name) {
        return std::find(events.begin(), events.end(), name) - events.begin();
    };
    EXPECT_LT(position("uno-"), position("due+"));
    EXPECT_LT(position("panel-"), position("due+"));
    EXPECT_EQ(activeForm, &second);
    EXPECT_EQ(activePanel, nullptr);

    // A form that is not the foreground window treats WM_ACTIVATE as deactivation.
    ToolkitTest::PumpUntil([&] { return GetForegroundWindow() == second.window; });
    ToolkitTest::Pump(50);
    events.clear();
    SendMessageW(first.window, WM_ACTIVATE, WA_ACTIVE, 0);
    // (Default processing then focuses the window, which activates it for real.)
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), "uno-");
}

TEST_F(Dispatch, HotkeysOutsideTheTableAreIgnored) {
    static int pressed;
    pressed = 0;
    Form form(nullptr);
    form.hotkeys.push_back({MOD_CONTROL, 'S', [](Form*, UINT, UINT) { ++pressed; }});
    form.Create();
    SetForegroundWindow(form.window);
    ToolkitTest::Pump(20);
    SendMessageW(form.window, WM_HOTKEY, 0, 0);
    SendMessageW(form.window, WM_HOTKEY, 2, 0);
    EXPECT_EQ(pressed, 0);
    if (GetForegroundWindow() == form.window) {
        SendMessageW(form.window, WM_HOTKEY, 1, 0);
        EXPECT_EQ(pressed, 1);
    }
}

TEST_F(Dispatch, MouseCoordinatesAreSignedClientCoordinates) {
    static std::vector<int> seen;
    seen.clear();
    Form form(nullptr);
    form.onRightButtonUp = [](GUIElement*, HWND, int px, int py) {
        seen.push_back(px);
        seen.push_back(py);
        return 0;
    };
    form.onMouseMove = [](GUIElement*, int px, int py) {
        seen.push_back(px);
        seen.push_back(py);
    };
    form.Create();
    SendMessageW(form.window, WM_RBUTTONUP, 0, MAKELPARAM(-5, 12));
    mouseTracking = false;
    SendMessageW(form.window, WM_MOUSEMOVE, 0, MAKELPARAM(7, -3));
    EXPECT_EQ(seen, (std::vector<int>{-5, 12, 7, -3}));
    EXPECT_TRUE(mouseTracking);
    SendMessageW(form.window, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(mouseTracking);
}

}  // namespace
