// Element model: two-phase life, the registry, control identifiers and window
// classes, text and size operations, tooltips, what deleting an element
// leaves behind, and the order in which a form's own elements go.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"
#include "toolkit/core/Registry.h"
#include "toolkit/core/WindowProcedure.h"
#include "toolkit/draw/FontDescription.h"

using namespace QVUtility;
using ToolkitTest::TestControl;

namespace {

std::wstring ClassNameOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

class Elements : public ::testing::Test {
protected:
    void SetUp() override {
        ToolkitTest::UseTestDesktop();
        ToolkitTest::ResetToolkitState();
    }
    void TearDown() override { ToolkitTest::Pump(0); }
};

TEST_F(Elements, SettersBeforeCreateOnlyStoreAndCreateAppliesThem) {
    Form form(GetModuleHandleW(nullptr));
    form.SetText(L"Proprietà");
    form.SetSize(420, 310);
    form.x = 30;
    form.y = 40;
    form.backColour = RGB(10, 200, 30);
    EXPECT_FALSE(form.created);
    EXPECT_EQ(form.window, nullptr);
    EXPECT_EQ(form.text, L"Proprietà");

    form.Create();
    ASSERT_TRUE(form.created);
    ASSERT_NE(form.window, nullptr);
    wchar_t title[32] = {};
    GetWindowTextW(form.window, title, 32);
    EXPECT_STREQ(title, L"Proprietà");
    RECT outer{};
    GetWindowRect(form.window, &outer);
    EXPECT_EQ(outer.right - outer.left, 420);
    EXPECT_EQ(outer.bottom - outer.top, 310);
    EXPECT_EQ(outer.left, 30);
    EXPECT_EQ(outer.top, 40);
    // The form's class paints the background in the colour given before Create.
    LOGBRUSH brush{};
    GetObjectW(reinterpret_cast<HBRUSH>(GetClassLongPtrW(form.window, GCLP_HBRBACKGROUND)), sizeof(brush), &brush);
    EXPECT_EQ(brush.lbColor, RGB(10, 200, 30));

    TestControl field(&form, L"EDIT", WS_BORDER, "textbox");
    field.SetEnabled(false);
    field.SetText(L"abc");
    EXPECT_FALSE(field.created);
    field.Create();
    ASSERT_NE(field.window, nullptr);
    EXPECT_FALSE(IsWindowEnabled(field.window));
    EXPECT_EQ(field.GetText(), L"abc");
    field.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(field.window));
    field.SetTextNarrow("citt\xE0");  // Windows-1252
    EXPECT_EQ(field.GetText(), L"città");
    EXPECT_EQ(field.GetTextNarrow(), "citt\xE0");
}

TEST_F(Elements, WindowClassesAndIdentifiersFollowTheSharedCounter) {
    controlCounter = 0;
    Form first(nullptr);
    first.Create();
    Form second(nullptr);
    second.Create();
    EXPECT_EQ(ClassNameOf(first.window), L"Window0");
    EXPECT_EQ(first.controlId, 1);
    EXPECT_EQ(ClassNameOf(second.window), L"Window1");
    EXPECT_EQ(second.controlId, 2);

    controlCounter = 0;
    Form third(nullptr);
    third.Create();
    TestControl button(&third, L"BUTTON", BS_PUSHBUTTON, "button");
    button.Create();
    Form fourth(nullptr);
    fourth.Create();
    EXPECT_EQ(button.controlId, 2);
    EXPECT_EQ(GetDlgCtrlID(button.window), 2);
    EXPECT_EQ(ClassNameOf(fourth.window), L"Window2");
    EXPECT_EQ(fourth.controlId, 3);
    EXPECT_EQ(first.window, mainWindow);
}

TEST_F(Elements, RegistryFindsElementsByWindowAndIdentifier) {
    Form form(nullptr);
    form.Create();
    TestControl field(&form, L"EDIT", 0, "textbox");
    field.Create();
    EXPECT_EQ(FindByWindow(form.window), &form);
    EXPECT_EQ(FindByWindow(field.window), &field);
    EXPECT_EQ(FindByControlId(field.controlId), &field);
    EXPECT_EQ(FindByControlId(-12345), nullptr);

    // A handle nobody holds, with every element fully created: none.
    HWND stray = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(FindByWindow(stray), nullptr);
    // While an element's CreateWindowExW runs, unknown handles are its own.
    TestControl pending(&form, L"EDIT", 0, "textbox");
    {
        CreationScope scope(&pending);
        EXPECT_EQ(FindByWindow(stray), &pending);
    }
    EXPECT_EQ(FindByWindow(stray), nullptr);
    DestroyWindow(stray);
}

// The lookups answer from indexes beside the list: they must follow
// windows and identifiers set without telling the registry, keep the first
// element in order when two hold one handle, and forget deleted elements.
TEST_F(Elements, RegistryLookupsFollowChangesAndForgetDeletedElements) {
    const HWND first = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7001));
    const HWND second = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7002));
    auto early = std::make_unique<TestControl>(nullptr, L"EDIT", 0, "textbox");
    TestControl late(nullptr, L"EDIT", 0, "textbox");
    late.window = first;
    late.controlId = 90001;
    EXPECT_EQ(FindByWindow(first), &late);
    EXPECT_EQ(FindByControlId(90001), &late);
    late.window = second;
    late.controlId = 90002;
    EXPECT_EQ(FindByWindow(first), nullptr);
    EXPECT_EQ(FindByControlId(90001), nullptr);
    EXPECT_EQ(FindByWindow(second), &late);
    EXPECT_EQ(FindByControlId(90002), &late);

    early->window = second;
    early->controlId = 90002;
    IndexWindow(early.get());
    IndexControlId(early.get());
    EXPECT_EQ(FindByWindow(second), early.get());
    EXPECT_EQ(FindByControlId(90002), early.get());
    IndexWindow(&late);  // a later element does not take the place of an earlier one
    EXPECT_EQ(FindByWindow(second), early.get());
    early.reset();
    EXPECT_EQ(FindByWindow(second), &late);
    EXPECT_EQ(FindByControlId(90002), &late);
    late.window = nullptr;
}

// A form whose children are constructed before its window: its WM_CREATE
// must reach the form, not the newest child.
struct BuiltForm : Form {
    BuiltForm() : Form(nullptr) {
        label = std::make_unique<TestControl>(this, L"STATIC", 0, "label");
        onCreate = [](GUIElement* element, HWND handle) {
            auto* self = static_cast<BuiltForm*>(element);
            self->createdDuringCreateWindow = !self->created;
            self->handleSeen = handle;
            self->label->Create();
        };
    }
    std::unique_ptr<TestControl> label;
    bool createdDuringCreateWindow = false;
    HWND handleSeen = nullptr;
};

TEST_F(Elements, CreateMessageReachesTheFormBeingCreated) {
    BuiltForm form;
    form.Create();
    EXPECT_TRUE(form.createdDuringCreateWindow);
    EXPECT_EQ(form.handleSeen, form.window);
    ASSERT_NE(form.label->window, nullptr);
    EXPECT_EQ(GetParent(form.label->window), form.window);
    EXPECT_TRUE(form.createNotified);
}

TEST_F(Elements, UnregisterRemovesTheLastRegistrationAndDeletionRemovesAll) {
    auto field = std::make_unique<TestControl>(nullptr, L"EDIT", 0, "textbox");
    TestControl* raw = field.get();
    TestControl other(nullptr, L"EDIT", 0, "textbox");
    RegisterElement(raw);  // now registered before and after `other`
    const size_t before = elementRegistry.size();
    UnregisterElement(raw);
    ASSERT_EQ(elementRegistry.size(), before - 1);
    EXPECT_TRUE(IsRegistered(raw));
    EXPECT_EQ(elementRegistry.back(), &other);
    RegisterElement(raw);
    field.reset();
    EXPECT_FALSE(IsRegistered(raw));
}

TEST_F(Elements, TextChangeIsReportedOnlyWhenTheTextReallyChanged) {
    static int changes;
    changes = 0;
    Form form(nullptr);
    form.Create();
    TestControl field(&form, L"EDIT", WS_BORDER, "textbox");
    field.text = L"Roma";
    field.onTextChanged = [](GUIElement*) { ++changes; };
    field.Create();

    field.OnGotFocus();
    SetWindowTextW(field.window, L"Romaab");
    SetWindowTextW(field.window, L"Roma");
    field.OnLostFocus();
    EXPECT_EQ(changes, 0);

    field.OnGotFocus();
    SetWindowTextW(field.window, L"Milano");
    field.OnLostFocus();
    EXPECT_EQ(changes, 1);
}

TEST_F(Elements, ClientSizeAddsTheFrameToTheWindowSize) {
    Form form(nullptr);
    form.Create();
    RECT outer{};
    RECT client{};
    GetWindowRect(form.window, &outer);
    GetClientRect(form.window, &client);
    const int frameW = (outer.right - outer.left) - client.right;
    const int frameH = (outer.bottom - outer.top) - client.bottom;
    form.SetClientSize(400, 300);
    GetClientRect(form.window, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 300);
    EXPECT_EQ(form.width, 400 + frameW);
    EXPECT_EQ(form.height, 300 + frameH);
}

TEST_F(Elements, FormStylesFollowTheFlags) {
    Form dialog(nullptr, true);
    dialog.topmostDialog = false;
    dialog.modalFrame = true;
    dialog.maximizeBox = false;
    dialog.Create();
    const LONG_PTR exStyle = GetWindowLongPtrW(dialog.window, GWL_EXSTYLE);
    const LONG_PTR style = GetWindowLongPtrW(dialog.window, GWL_STYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_CAPTION);

    Form topmost(nullptr, true);
    topmost.Create();
    EXPECT_TRUE(GetWindowLongPtrW(topmost.window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    Form bare(nullptr);
    bare.captioned = false;
    bare.enabled = false;
    bare.Create();
    const LONG_PTR bareStyle = GetWindowLongPtrW(bare.window, GWL_STYLE);
    EXPECT_TRUE(bareStyle & WS_POPUP);
    EXPECT_FALSE(bareStyle & WS_CAPTION);
    EXPECT_FALSE(IsWindowEnabled(bare.window));

    Form main(nullptr);
    main.minimizeBox = false;
    main.Create();
    const LONG_PTR mainStyle = GetWindowLongPtrW(main.window, GWL_STYLE);
    EXPECT_FALSE(mainStyle & WS_MINIMIZEBOX);
    EXPECT_TRUE(mainStyle & WS_THICKFRAME);
    EXPECT_EQ(typeid(main), typeid(Form));
    EXPECT_EQ(main.typeKeyword, "form");
}

TEST_F(Elements, TooltipIsMadeOnlyForATextAndFollowsIt) {
    Form form(nullptr);
    form.Create();
    TestControl quiet(&form, L"BUTTON", 0, "button");
    quiet.Create();
    EXPECT_EQ(quiet.tooltipWindow, nullptr);

    TestControl helpful(&form, L"BUTTON", 0, "button");
    helpful.tooltipText = "Salva il progetto";
    helpful.Create();
    ASSERT_NE(helpful.tooltipWindow, nullptr);
    EXPECT_EQ(SendMessageW(helpful.tooltipWindow, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t shown[64] = {};
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = helpful.window;
    tool.lpszText = shown;
    SendMessageW(helpful.tooltipWindow, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(shown, L"Salva il progetto");

    helpful.tooltipText = "Apri";
    helpful.SetSize(120, 40);  // the tool follows the new text and size
    SendMessageW(helpful.tooltipWindow, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(shown, L"Apri");
}

TEST_F(Elements, FontIsSentAtCreation) {
    FontDescription font("Tahoma", -13);
    Form form(nullptr);
    form.Create();
    TestControl field(&form, L"EDIT", 0, "textbox");
    field.font = &font;
    field.Create();
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(field.window, WM_GETFONT, 0, 0)), font.handle);
    EXPECT_NE(font.handle, nullptr);
}

TEST_F(Elements, SubclassingKeepsTheWholeNativeProcedure) {
    Form form(nullptr);
    form.Create();
    TestControl field(&form, L"EDIT", 0, "textbox");
    field.Create();
    WNDCLASSEXW editClass{};
    editClass.cbSize = sizeof(editClass);
    ASSERT_TRUE(GetClassInfoExW(nullptr, L"EDIT", &editClass));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(field.previousProcedure), reinterpret_cast<LONG_PTR>(editClass.lpfnWndProc));
    EXPECT_EQ(GetWindowLongPtrW(field.window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WindowProcedure));
}

TEST_F(Elements, DeletedElementLeavesNoDanglingPointerAndItsWindowWorksNatively) {
    static int handled;
    handled = 0;
    Form form(nullptr);
    form.Create();
    auto field = std::make_unique<TestControl>(&form, L"EDIT", 0, "textbox");
    field->onKeyDown = [](GUIElement*, int) { ++handled; };
    field->Create();
    HWND fieldWindow = field->window;
    activePanel = field.get();
    wheelTarget = field.get();
    field.reset();
    EXPECT_EQ(activePanel, nullptr);
    EXPECT_EQ(wheelTarget, nullptr);
    EXPECT_EQ(FindByWindow(fieldWindow), nullptr);
    // The edit control has its own procedure back and keeps working.
    EXPECT_NE(GetWindowLongPtrW(fieldWindow, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&WindowProcedure));
    SetWindowTextW(fieldWindow, L"ancora vivo");
    wchar_t read[32] = {};
    GetWindowTextW(fieldWindow, read, 32);
    EXPECT_STREQ(read, L"ancora vivo");
    SendMessageW(fieldWindow, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(handled, 0);

    // A deleted form destroys its window without running its handlers.
    static int closes;
    closes = 0;
    auto second = std::make_unique<Form>(nullptr);
    second->onClose = [](GUIElement*) {
        ++closes;
        return false;
    };
    second->onDestroy = [](GUIElement*) { ++closes; };
    second->Create();
    HWND secondWindow = second->window;
    const GUIElement* secondElement = second.get();
    activeForm = second.get();
    second.reset();
    // (Destroying the window may activate the first form, which then becomes activeForm.)
    EXPECT_TRUE(activeForm == nullptr || activeForm == &form);
    EXPECT_NE(activeForm, secondElement);
    EXPECT_FALSE(IsWindow(secondWindow));
    EXPECT_EQ(closes, 0);
}

TEST_F(Elements, WindowOfADeletedPanelGetsDefaultProcessing) {
    // A window of a toolkit class whose element is gone: messages are
    // answered by DefWindowProcW, including a close request.
    Form form(nullptr);
    form.Create();
    auto owner = std::make_unique<TestControl>(&form, L"STATIC", 0, "label");
    HWND window = CreateWindowExW(0, ClassNameOf(form.window).c_str(), L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    owner->window = window;
    wheelTarget = owner.get();
    owner.reset();
    EXPECT_EQ(wheelTarget, nullptr);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 0);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
}

// A control that notes its name when it goes.
class NotingControl : public TestControl {
public:
    NotingControl(GUIElement* parentElement, std::vector<std::string>& log, std::string name)
        : TestControl(parentElement, L"STATIC", 0, "label"), log_(log), name_(std::move(name)) {}
    ~NotingControl() override { log_.push_back(name_); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

TEST_F(Elements, OwnedElementsGoInReverseOrderSoChildrenBeforeTheirParents) {
    Form form(GetModuleHandleW(nullptr));
    form.Create();
    std::vector<std::string> gone;
    {
        OwnedElements owned;
        auto* frame = owned.Add(new NotingControl(&form, gone, "frame"));
        frame->Create();
        owned.Add(new NotingControl(frame, gone, "first"))->Create();
        owned.Add(new NotingControl(frame, gone, "second"))->Create();
    }
    EXPECT_EQ(gone, (std::vector<std::string>{"second", "first", "frame"}));
}

}  // namespace
