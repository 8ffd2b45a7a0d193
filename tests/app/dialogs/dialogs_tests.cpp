// The dialogs and the task, project and calendar commands.
//
// Most tests work the real program (QVVelmora.exe) from outside through the
// driver, as a person would: the toolbar, the menus, typing into the fields,
// the date pickers, the colour list, the resources spinner, the message
// boxes. A few look inside the dialog classes for rules that the screen does
// not show (the selection after a removal, amounts kept to the last digit).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Driver.h"
#include "app/dialogs/DialogFrame.h"
#include "app/dialogs/FormAbout.h"
#include "app/dialogs/FormAddTask.h"
#include "app/dialogs/FormCosto.h"
#include "app/dialogs/FormDays.h"
#include "app/dialogs/FormNuovo.h"
#include "app/print/FormAnteprima.h"
#include "app/res/AppInfo.h"
#include "app/res/resource.h"
#include "file/ProjectFile.h"
#include "tests/app/RecoveryFiles.h"
#include "model/CostReport.h"
#include "model/Date.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBoxEx.h"
#include "toolkit/widgets/CurrencyBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/ListBox.h"
#include "toolkit/widgets/TextBox.h"

namespace {

using MyApp::Date;

const wchar_t* const kMainTitle = L"QV Velmora - Pianificazione e costi di progetto";

// Positions of the toolbar's items.
enum ToolIndex {
    kNewTool = 0,
    kOpenTool = 1,
    kSaveTool = 3,
    kPropertiesTool = 5,
    kAddTaskTool = 6,
    kIncludeTool = 7,
    kExcludeTool = 8,
    kCostTool = 9
};

Date Day(int d, int m, int y) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    return MyApp::MakeDate(st);
}

// The day a date picker shows (the system's short format, day first).
bool PickerDay(HWND picker, int& d, int& m, int& y) {
    return std::swscanf(drv::Text(picker).c_str(), L"%d/%d/%d", &d, &m, &y) == 3;
}

bool PickerShows(HWND picker, int d, int m, int y) {
    int pd = 0, pm = 0, py = 0;
    return PickerDay(picker, pd, pm, py) && pd == d && pm == m && py == y;
}

// Screenshots of the dialogs for a person to look at, when
// VELMORA_DIALOG_SHOTS names a folder (a Windows path).
void Shot(const wchar_t* name) { drv::ScreenshotIfAsked(L"VELMORA_DIALOG_SHOTS", name); }

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"velmora_dialogs_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        apptest::ForgetRecoveryCopies();

        ASSERT_TRUE(app.Start(drv::WinePath(VELMORA_PROGRAM))) << drv::LastErrorUtf8();
        main = app.WaitWindow(nullptr, kMainTitle);
        ASSERT_NE(main, nullptr) << drv::LastErrorUtf8();
        toolbar = drv::WaitDescendant(main, -1, TOOLBARCLASSNAMEW);
        ASSERT_NE(toolbar, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
    }

    void TearDown() override {
        if (HasFailure()) {
            const std::wstring shot = drv::ExeFolder() + L"dialogs_tests_failure.bmp";
            drv::SaveScreenshot(shot);
            std::printf("screen saved in %s\nwindows:\n%s", drv::Utf8(shot).c_str(),
                        drv::DescribeWindows(app.Id()).c_str());
        }
        app.Kill();
        apptest::ForgetRecoveryCopies();
        for (const std::wstring& file : files) DeleteFileW(file.c_str());
        RemoveDirectoryW(folder.c_str());
    }

    DWORD Pid() const { return app.Id(); }

    std::wstring FilePath(const std::wstring& name) {
        files.push_back(folder + name);
        return folder + name;
    }

    bool ClickTool(int index) {
        const std::vector<drv::ToolbarButton> buttons = drv::ToolbarButtons(toolbar);
        if (index >= static_cast<int>(buttons.size())) return drv::Fail(L"the toolbar has too few buttons");
        if (!buttons[static_cast<size_t>(index)].Enabled()) return drv::Fail(L"the toolbar button is disabled");
        // The click itself brings the window forward, as it does for a person.
        return drv::ClickToolbarButton(toolbar, buttons[static_cast<size_t>(index)].command);
    }

    bool ToolEnabled(int index) {
        const std::vector<drv::ToolbarButton> buttons = drv::ToolbarButtons(toolbar);
        return index < static_cast<int>(buttons.size()) && buttons[static_cast<size_t>(index)].Enabled();
    }

    // The dialog titled `title`, once it is fully open: the main window is
    // disabled only after the dialog has its size and its controls.
    HWND WaitDialog(const wchar_t* title) {
        HWND dialog = drv::WaitTopWindow(Pid(), nullptr, title);
        if (dialog != nullptr && !drv::WaitUntil([&] { return !drv::Enabled(main); }))
            drv::Fail(L"the main window stays enabled under the dialog");
        return dialog;
    }

    // Waits for `top` to come forward by itself (closing a message box
    // brings its owner back); only then asks for it, which under Wine is an
    // activation that may arrive late.
    static bool Foreground(HWND top) {
        return drv::WaitUntil([&] { return GetForegroundWindow() == top; }, 2000) || drv::Activate(top);
    }

    // Waits until the focus is on `control` in its window.
    static bool HasFocus(HWND top, HWND control) {
        return drv::WaitUntil([&] { return drv::FocusOf(top) == control; });
    }

    // The text of the message box with this caption, answered with `button`.
    std::wstring Answer(const wchar_t* caption, int button = IDOK) {
        std::wstring text;
        if (!drv::AnswerMessageBox(Pid(), caption, button, &text, 8000))
            ADD_FAILURE() << "message box \"" << drv::Utf8(caption) << "\": " << drv::LastErrorUtf8();
        return text;
    }

    static HWND ButtonOf(HWND dialog, const wchar_t* caption) {
        return drv::FindDescendantByText(dialog, L"Button", caption);
    }

    // Clicks a button of the dialog with the mouse.
    static void Press(HWND dialog, const wchar_t* caption) {
        HWND button = ButtonOf(dialog, caption);
        ASSERT_NE(button, nullptr) << "no button " << drv::Utf8(caption);
        drv::ClickWindow(button);
    }

    // The controls of a class that lie directly in the dialog, in the order
    // the dialog made them.
    static std::vector<HWND> Direct(HWND dialog, const wchar_t* cls) {
        std::vector<HWND> found;
        for (HWND child : drv::Descendants(dialog, cls))
            if (GetParent(child) == dialog) found.push_back(child);
        return found;
    }

    // Replaces the text of a field by typing.
    static bool Fill(HWND field, const std::wstring& text) {
        drv::ClickWindow(field);
        if (!drv::WaitUntil([&] { return drv::FocusOf(GetAncestor(field, GA_ROOT)) == field; }))
            return drv::Fail(L"the field did not take the focus");
        drv::Press(VK_HOME);
        drv::Press(VK_END, drv::kShift);
        drv::Press(VK_DELETE);
        drv::Type(text);
        return drv::WaitUntil([&] { return drv::Text(field) == text; }) ||
               drv::Fail(L"the field shows \"" + drv::Text(field) + L"\" instead of \"" + text + L"\"");
    }

    // Types a day into a date picker: day, month and year, field by field.
    static bool SetPicker(HWND picker, int d, int m, int y) {
        const RECT r = drv::ScreenRect(picker);
        const auto focused = [&] { return drv::FocusOf(GetAncestor(picker, GA_ROOT)) == picker; };
        // Clicked again once when the dialog, just back from a message box,
        // gave its field the focus after the click.
        drv::Click(POINT{r.left + 8, (r.top + r.bottom) / 2});
        if (!drv::WaitUntil(focused, drv::kRetryAfter)) drv::Click(POINT{r.left + 8, (r.top + r.bottom) / 2});
        if (!drv::WaitUntil(focused)) return drv::Fail(L"the date picker did not take the focus");
        wchar_t text[8];
        std::swprintf(text, 8, L"%02d", d);
        drv::Type(text);
        drv::Press(VK_RIGHT);
        std::swprintf(text, 8, L"%02d", m);
        drv::Type(text);
        drv::Press(VK_RIGHT);
        std::swprintf(text, 8, L"%04d", y);
        drv::Type(text);
        return drv::WaitUntil([&] { return PickerShows(picker, d, m, y); }) ||
               drv::Fail(L"the date picker shows " + drv::Text(picker));
    }

    // The visible bar (or title) of the chart that shows `text`.
    HWND Bar(const std::wstring& text) {
        for (HWND child : drv::Descendants(main))
            if (drv::ClassOf(child).rfind(L"PanelChildren", 0) == 0 && drv::Visible(child) && drv::Text(child) == text)
                return child;
        return nullptr;
    }

    // The chart's bars top to bottom, each as its text, left edge and width.
    std::vector<std::wstring> ChartRows(const std::wstring& title) {
        std::vector<std::pair<long, std::wstring>> rows;
        for (HWND child : drv::Descendants(main)) {
            if (drv::ClassOf(child).rfind(L"PanelChildren", 0) != 0 || !drv::Visible(child)) continue;
            const std::wstring text = drv::Text(child);
            if (text.empty() || text == title) continue;
            const RECT r = drv::ScreenRect(child);
            rows.emplace_back(r.top, text + L"@" + std::to_wstring(r.left) + L"+" + std::to_wstring(r.right - r.left));
        }
        std::sort(rows.begin(), rows.end());
        std::vector<std::wstring> texts;
        for (const auto& row : rows) texts.push_back(row.second);
        return texts;
    }

    // Creates a project through "Nuovo" with Monday to Friday working.
    void CreateProject(const std::wstring& description, const Date& start, const Date& end) {
        ASSERT_TRUE(ClickTool(kNewTool)) << drv::LastErrorUtf8();
        HWND dialog = WaitDialog(L"Nuovo");
        ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
        const std::vector<HWND> pickers = Direct(dialog, L"SysDateTimePick32");
        ASSERT_EQ(pickers.size(), 2u);
        ASSERT_TRUE(Fill(Direct(dialog, L"Edit").at(0), description)) << drv::LastErrorUtf8();
        ASSERT_TRUE(SetPicker(pickers[0], start.value.wDay, start.value.wMonth, start.value.wYear))
            << drv::LastErrorUtf8();
        ASSERT_TRUE(SetPicker(pickers[1], end.value.wDay, end.value.wMonth, end.value.wYear)) << drv::LastErrorUtf8();
        Press(dialog, L"OK");
        ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && Bar(description) != nullptr; }))
            << "the chart does not show the project title";
    }

    struct TaskInput {
        std::wstring description;
        int startDay, endDay;  // in the project's month
        int colourIndex;       // position in the colour list
        int spins;             // clicks on the spinner's up arrow
        std::wstring cost;     // typed as is
    };

    // Fills the task dialog's fields. The pickers stay in the month and year
    // they show (the project's).
    void FillTask(HWND dialog, const TaskInput& task) {
        const std::vector<HWND> edits = Direct(dialog, L"Edit");
        ASSERT_EQ(edits.size(), 3u) << drv::DescribeWindows(Pid());
        const std::vector<HWND> pickers = Direct(dialog, L"SysDateTimePick32");
        ASSERT_EQ(pickers.size(), 2u);
        ASSERT_TRUE(Fill(edits[0], task.description)) << drv::LastErrorUtf8();

        HWND colours = drv::FindDescendant(dialog, -1, L"ComboBoxEx32");
        ASSERT_NE(colours, nullptr);
        HWND inner = drv::FindDescendant(colours, -1, L"ComboBox");
        ASSERT_NE(inner, nullptr);
        const int now = static_cast<int>(SendMessageW(inner, CB_GETCURSEL, 0, 0));
        // The window reaches down over its list: click its top line. Under
        // Wine a click now and then does not open the list; a person would
        // click again.
        const RECT box = drv::ScreenRect(colours);
        bool dropped = false;
        for (int attempt = 0; attempt < 3 && !dropped; ++attempt) {
            drv::Click(POINT{(box.left + box.right) / 2, box.top + 10});
            dropped = drv::WaitUntil([&] { return SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0) != 0; },
                                     drv::kRetryAfter);
        }
        ASSERT_TRUE(dropped) << "the colour list does not open";
        if (task.colourIndex > now) drv::Down(task.colourIndex - now);
        else if (task.colourIndex < now) drv::Up(now - task.colourIndex);
        drv::Press(VK_RETURN);
        ASSERT_TRUE(drv::WaitUntil([&] {
            return SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0) == 0 &&
                   SendMessageW(inner, CB_GETCURSEL, 0, 0) == task.colourIndex;
        })) << "colour list at "
            << SendMessageW(inner, CB_GETCURSEL, 0, 0);

        HWND spinner = drv::FindDescendant(dialog, -1, L"msctls_updown32");
        ASSERT_NE(spinner, nullptr);
        const int before = _wtoi(drv::Text(edits[1]).c_str());
        RECT spin{};
        GetClientRect(spinner, &spin);
        for (int i = 0; i < task.spins; ++i) drv::ClickAt(spinner, POINT{spin.right / 2, spin.bottom / 4});
        const std::wstring spun = std::to_wstring(before + task.spins);
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(edits[1]) == spun; }))
            << "resources show " << drv::Utf8(drv::Text(edits[1]));
        ASSERT_TRUE(Fill(edits[2], task.cost)) << drv::LastErrorUtf8();

        int d = 0, m = 0, y = 0;
        ASSERT_TRUE(PickerDay(pickers[0], d, m, y));
        ASSERT_TRUE(SetPicker(pickers[0], task.startDay, m, y)) << drv::LastErrorUtf8();
        ASSERT_TRUE(SetPicker(pickers[1], task.endDay, m, y)) << drv::LastErrorUtf8();
    }

    // Adds a task through "Inserisci Task".
    void AddTask(const TaskInput& task) {
        ASSERT_TRUE(ClickTool(kAddTaskTool)) << drv::LastErrorUtf8();
        HWND dialog = WaitDialog(L"Nuovo Task");
        ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
        FillTask(dialog, task);
        if (HasFatalFailure()) return;
        Press(dialog, L"OK");
        ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && Bar(task.description) != nullptr; }))
            << "no bar for " << drv::Utf8(task.description);
    }

    // Right-clicks the bar and chooses an item of its menu by its letter.
    bool ChooseOnBar(const std::wstring& description, wchar_t letter) {
        HWND bar = Bar(description);
        if (bar == nullptr) return drv::Fail(L"no bar " + description);
        RECT r = drv::ScreenRect(bar);
        drv::Click(POINT{r.left + 4, (r.top + r.bottom) / 2}, drv::Button::Right);
        if (drv::WaitMenu(Pid()) == nullptr) return false;
        drv::Type(std::wstring(1, letter));
        return drv::WaitUntil([&] { return !drv::MenuOpen(Pid()); });
    }

    // Saves through "&Salva" under `path` (the first save asks for a name).
    void SaveAs(const std::wstring& path) {
        ASSERT_TRUE(ClickTool(kSaveTool)) << drv::LastErrorUtf8();
        const drv::FileDialogAnswer answer = drv::AnswerFileDialog(Pid(), L"Salva", path, true, 8000);
        ASSERT_TRUE(answer.ok) << drv::LastErrorUtf8() << drv::Utf8(answer.question);
        ASSERT_TRUE(drv::WaitUntil([&] { return !ToolEnabled(kSaveTool); })) << "the save button stays on";
    }

    // Opens the cost report and reads its two texts; closes it with Enter.
    void ReadCostReport(std::wstring& total, std::wstring& report) {
        ASSERT_TRUE(ClickTool(kCostTool)) << drv::LastErrorUtf8();
        HWND dialog = WaitDialog(L"Conto Economico");
        ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
        const std::vector<HWND> statics = Direct(dialog, L"Static");
        ASSERT_EQ(statics.size(), 2u);
        EXPECT_EQ(drv::Text(statics[1]), L"Dettaglio:");
        total = drv::Text(statics[0]);
        HWND box = Direct(dialog, L"Edit").at(0);
        report = drv::Text(box);
        EXPECT_TRUE(HasFocus(dialog, box)) << "the report box has the focus";
        Shot(L"costo");
        drv::Enter();
        ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    }

    // Saves the project under `name` and opens it with Ctrl+O.
    std::wstring OpenProject(const MyApp::Project& project, const wchar_t* name = L"progetto.vmo") {
        const std::wstring path = FilePath(name);
        EXPECT_TRUE(MyApp::SaveProjectFile(QVUtility::Narrow(path), project));
        EXPECT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        drv::Press('O', drv::kCtrl);
        EXPECT_TRUE(drv::AnswerFileDialog(Pid(), L"Apri", path, true, 8000).ok) << drv::LastErrorUtf8();
        EXPECT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && Bar(QVUtility::Widen(project.description)); }))
            << "the chart does not show the project opened";
        return path;
    }

    // Saves the open project with Ctrl+S and reads the file back.
    MyApp::Project SavedProject(const std::wstring& path) {
        MyApp::Project saved;
        EXPECT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        drv::Press('S', drv::kCtrl);
        EXPECT_TRUE(drv::WaitUntil([&] { return !ToolEnabled(kSaveTool); })) << "the save button stays on";
        EXPECT_EQ(MyApp::LoadProjectFile(QVUtility::Narrow(path), saved), MyApp::LoadResult::Ok);
        return saved;
    }

    // Presses Enter in `field` for "OK" and answers the error it raises:
    // the field keeps its text and has the focus again.
    void ExpectRefused(HWND dialog, HWND field, const std::wstring& problem) {
        const std::wstring typed = drv::Text(field);
        drv::Enter();
        EXPECT_EQ(Answer(L"Errore"), problem);
        EXPECT_TRUE(HasFocus(dialog, field)) << "the field to blame has the focus";
        EXPECT_EQ(drv::Text(field), typed) << "and shows what was typed";
    }

    drv::Process app;
    HWND main = nullptr;
    HWND toolbar = nullptr;
    std::wstring folder;
    std::vector<std::wstring> files;
};

// A project with Monday to Friday working.
MyApp::Project SpanProject(const char* description, const Date& start, const Date& end) {
    MyApp::Project project;
    project.description = description;
    project.start = start;
    project.end = end;
    for (int i = 0; i < 5; ++i) project.workingWeekdays[i] = 1;
    return project;
}

// "Nuovo": the fields as they open, every check in its order, Escape, then
// a project that the chart shows.
TEST_F(ProgramTest, ProjectDialogChecksEachRuleThenCreatesTheProject) {
    EXPECT_FALSE(ToolEnabled(kPropertiesTool));
    ASSERT_TRUE(drv::ChooseMenuItem(Pid(), L'F', L'N')) << drv::LastErrorUtf8();
    HWND dialog = WaitDialog(L"Nuovo");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    EXPECT_FALSE(drv::Enabled(main)) << "the owner is disabled while the dialog is open";

    // Beside the owner, with its own client size.
    const RECT owner = drv::ScreenRect(main);
    const RECT frame = drv::ScreenRect(dialog);
    EXPECT_EQ(frame.left, owner.left + 50);
    EXPECT_EQ(frame.top, owner.top + 50);
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 330);

    const std::vector<HWND> statics = Direct(dialog, L"Static");
    ASSERT_EQ(statics.size(), 3u);
    EXPECT_EQ(drv::Text(statics[0]), L"Descrizione:");
    EXPECT_EQ(drv::Text(statics[1]), L"Data inizio:");
    EXPECT_EQ(drv::Text(statics[2]), L"Data fine:");
    HWND description = Direct(dialog, L"Edit").at(0);
    EXPECT_TRUE(HasFocus(dialog, description));
    const std::vector<HWND> pickers = Direct(dialog, L"SysDateTimePick32");
    ASSERT_EQ(pickers.size(), 2u);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    EXPECT_TRUE(PickerShows(pickers[0], now.wDay, now.wMonth, now.wYear)) << drv::Utf8(drv::Text(pickers[0]));
    EXPECT_TRUE(PickerShows(pickers[1], 31, 12, now.wYear)) << drv::Utf8(drv::Text(pickers[1]));
    HWND frameBox = ButtonOf(dialog, L"Giorni lavorativi");
    ASSERT_NE(frameBox, nullptr);
    const wchar_t* names[] = {L"Lun", L"Mar", L"Mer", L"Gio", L"Ven", L"Sab", L"Dom"};
    for (int i = 0; i < 7; ++i) {
        HWND box = drv::FindDescendantByText(frameBox, L"Button", names[i]);
        ASSERT_NE(box, nullptr) << drv::Utf8(names[i]);
        EXPECT_EQ(drv::ButtonCheck(box), i < 5 ? BST_CHECKED : BST_UNCHECKED) << drv::Utf8(names[i]);
    }
    Shot(L"nuovo");

    // No description (spaces only count as none), and both failures at once:
    // only the description is mentioned.
    ASSERT_TRUE(SetPicker(pickers[1], now.wDay, now.wMonth, now.wYear)) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"), L"E' necessario indicare la descrizione.");
    ASSERT_TRUE(Fill(description, L"   ")) << drv::LastErrorUtf8();
    drv::Enter();
    EXPECT_EQ(Answer(L"Errore"), L"E' necessario indicare la descrizione.");
    // A marker line of the project file would break the saved file.
    ASSERT_TRUE(Fill(description, L"#TASK")) << drv::LastErrorUtf8();
    drv::Enter();
    EXPECT_EQ(Answer(L"Errore"), L"La descrizione non può essere uguale a una riga di controllo del file.");
    // Letters that Windows-1252, the file's code page here, cannot hold.
    ASSERT_TRUE(Fill(description, L"Villa a Łódź")) << drv::LastErrorUtf8();
    drv::Enter();
    if (drv::WaitMessageBox(Pid(), L"Errore") != nullptr) Shot(L"descrizione_non_salvabile");
    EXPECT_EQ(Answer(L"Errore"), L"La descrizione contiene caratteri che non possono essere salvati nel file: Ł ź.");

    ASSERT_TRUE(Fill(description, L"  Villa al mare  ")) << drv::LastErrorUtf8();
    drv::Enter();
    EXPECT_EQ(Answer(L"Errore"), L"E' necessario indicare almeno due giorni.");
    ASSERT_TRUE(SetPicker(pickers[0], 10, 3, 2027)) << drv::LastErrorUtf8();
    ASSERT_TRUE(SetPicker(pickers[1], 9, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"), L"La data finale deve essere successiva alla data di inizio.");
    EXPECT_TRUE(drv::Visible(dialog)) << "a failed check keeps the dialog open";

    // Escape closes it and nothing is applied.
    ASSERT_TRUE(Foreground(dialog)) << drv::LastErrorUtf8();
    drv::Escape();
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    EXPECT_FALSE(ToolEnabled(kPropertiesTool));
    EXPECT_FALSE(ToolEnabled(kSaveTool));

    // Once more, with Saturday as a working day and a span of two days.
    ASSERT_TRUE(ClickTool(kNewTool)) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Nuovo");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    ASSERT_TRUE(Fill(Direct(dialog, L"Edit").at(0), L"  Villa al mare  ")) << drv::LastErrorUtf8();
    const std::vector<HWND> again = Direct(dialog, L"SysDateTimePick32");
    ASSERT_TRUE(SetPicker(again[0], 10, 3, 2027)) << drv::LastErrorUtf8();
    ASSERT_TRUE(SetPicker(again[1], 11, 3, 2027)) << drv::LastErrorUtf8();
    HWND saturday = drv::FindDescendantByText(ButtonOf(dialog, L"Giorni lavorativi"), L"Button", L"Sab");
    drv::ClickWindow(saturday);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ButtonCheck(saturday) == BST_CHECKED; }));
    Press(dialog, L"OK");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && Bar(L"Villa al mare") != nullptr; }))
        << "the title shows the trimmed description";
    for (int tool : {kPropertiesTool, kAddTaskTool, kIncludeTool, kExcludeTool, kCostTool, kSaveTool})
        EXPECT_TRUE(ToolEnabled(tool)) << "tool " << tool;

    // "Cambia proprietà" shows the project as it is; Annulla changes nothing.
    ASSERT_TRUE(ClickTool(kPropertiesTool)) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Modifica");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::Text(Direct(dialog, L"Edit").at(0)), L"Villa al mare");
    const std::vector<HWND> shown = Direct(dialog, L"SysDateTimePick32");
    EXPECT_TRUE(PickerShows(shown[0], 10, 3, 2027)) << drv::Utf8(drv::Text(shown[0]));
    EXPECT_TRUE(PickerShows(shown[1], 11, 3, 2027)) << drv::Utf8(drv::Text(shown[1]));
    HWND days = ButtonOf(dialog, L"Giorni lavorativi");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(drv::ButtonCheck(drv::FindDescendantByText(days, L"Button", names[i])),
                  i < 6 ? BST_CHECKED : BST_UNCHECKED)
            << drv::Utf8(names[i]);
    Press(dialog, L"Annulla");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
}

// Tasks: typed fields, colours, the spinner, a cost with a comma; the checks;
// a change that moves a task before another; deleting with No, then Yes; the
// project's span against its tasks.
TEST_F(ProgramTest, TasksAreAddedChangedReorderedAndDeleted) {
    CreateProject(L"Ristrutturazione", Day(1, 3, 2027), Day(31, 3, 2027));
    if (HasFatalFailure()) return;

    // The dialog opens on the project's first day; the checks come in order.
    ASSERT_TRUE(ClickTool(kAddTaskTool)) << drv::LastErrorUtf8();
    HWND dialog = WaitDialog(L"Nuovo Task");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 280);
    const std::vector<HWND> pickers = Direct(dialog, L"SysDateTimePick32");
    ASSERT_EQ(pickers.size(), 2u);
    EXPECT_TRUE(PickerShows(pickers[0], 1, 3, 2027)) << drv::Utf8(drv::Text(pickers[0]));
    EXPECT_TRUE(PickerShows(pickers[1], 1, 3, 2027)) << drv::Utf8(drv::Text(pickers[1]));
    std::vector<std::wstring> labels;
    for (HWND label : Direct(dialog, L"Static")) labels.push_back(drv::Text(label));
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"Descrizione:", L"Data inizio:", L"Data fine:", L"Colore:",
                                                 L"Risorse:", L"Costo Giornaliero:"}));
    Shot(L"nuovo_task");
    ASSERT_TRUE(SetPicker(pickers[0], 10, 3, 2027)) << drv::LastErrorUtf8();
    ASSERT_TRUE(SetPicker(pickers[1], 5, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"), L"E' necessario indicare la descrizione.");
    ASSERT_TRUE(Fill(Direct(dialog, L"Edit").at(0), L"Fondamenta ŁŁ")) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"), L"La descrizione contiene caratteri che non possono essere salvati nel file: Ł.");
    ASSERT_TRUE(Fill(Direct(dialog, L"Edit").at(0), L"Fondamenta")) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"), L"La data finale deve essere successiva alla data di inizio.");
    ASSERT_TRUE(Foreground(dialog)) << drv::LastErrorUtf8();
    drv::Escape();
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    EXPECT_EQ(Bar(L"Fondamenta"), nullptr) << "Escape applies nothing";

    AddTask({L"Fondamenta", 5, 12, 3 /* Rosso */, 3, L"150,5"});
    if (HasFatalFailure()) return;
    AddTask({L"Tetto e proprietà", 15, 20, 2 /* Blu */, 2, L"1200"});
    if (HasFatalFailure()) return;

    HWND first = Bar(L"Fondamenta");
    HWND second = Bar(L"Tetto e proprietà");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_LT(drv::ScreenRect(first).top, drv::ScreenRect(second).top);
    // The bars wear the chosen colours (looked at inside the rings that
    // mark the selected bar).
    const RECT firstRect = drv::ScreenRect(first);
    const POINT firstPoint{firstRect.left + 6, firstRect.top + 6};
    EXPECT_TRUE(drv::PointShows(firstPoint, first));
    EXPECT_EQ(drv::ScreenPixel(firstPoint), RGB(255, 0, 0));
    const RECT secondRect = drv::ScreenRect(second);
    const POINT secondPoint{secondRect.left + 6, secondRect.top + 6};
    EXPECT_TRUE(drv::PointShows(secondPoint, second));
    EXPECT_EQ(drv::ScreenPixel(secondPoint), RGB(0, 0, 255));

    // The change dialog shows the task as it is, and moving its first day
    // before the other task's puts it first.
    ASSERT_TRUE(ChooseOnBar(L"Tetto e proprietà", L'm')) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Modifica Task");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    const std::vector<HWND> edits = Direct(dialog, L"Edit");
    ASSERT_EQ(edits.size(), 3u);
    EXPECT_EQ(drv::Text(edits[0]), L"Tetto e proprietà");
    EXPECT_EQ(drv::Text(edits[1]), L"2");
    EXPECT_EQ(drv::Text(edits[2]), L"1.200");
    const std::vector<HWND> taskPickers = Direct(dialog, L"SysDateTimePick32");
    EXPECT_TRUE(PickerShows(taskPickers[0], 15, 3, 2027)) << drv::Utf8(drv::Text(taskPickers[0]));
    EXPECT_TRUE(PickerShows(taskPickers[1], 20, 3, 2027)) << drv::Utf8(drv::Text(taskPickers[1]));
    HWND inner = drv::FindDescendant(drv::FindDescendant(dialog, -1, L"ComboBoxEx32"), -1, L"ComboBox");
    EXPECT_EQ(SendMessageW(inner, CB_GETCURSEL, 0, 0), 2) << "Blu is selected";
    Shot(L"modifica_task");
    ASSERT_TRUE(SetPicker(taskPickers[0], 2, 3, 2027)) << drv::LastErrorUtf8();
    drv::Enter();  // Enter in a field acts as "OK"
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] {
        HWND a = Bar(L"Fondamenta");
        HWND b = Bar(L"Tetto e proprietà");
        return a != nullptr && b != nullptr && drv::ScreenRect(b).top < drv::ScreenRect(a).top;
    })) << "the changed task moves first";
    // It now starts on the second day of the project, one column in.
    EXPECT_LT(drv::ScreenRect(Bar(L"Tetto e proprietà")).left, drv::ScreenRect(Bar(L"Fondamenta")).left);

    // The span of the project cannot leave a task outside.
    ASSERT_TRUE(ClickTool(kPropertiesTool)) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Modifica");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    const std::vector<HWND> projectPickers = Direct(dialog, L"SysDateTimePick32");
    ASSERT_TRUE(SetPicker(projectPickers[0], 3, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"),
              L"Sono presenti Task con data di inizio precedente. Impossibile effettuare la modifica "
              L"(modificare prima le date dei Task).");
    ASSERT_TRUE(SetPicker(projectPickers[0], 2, 3, 2027)) << drv::LastErrorUtf8();
    ASSERT_TRUE(SetPicker(projectPickers[1], 19, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    EXPECT_EQ(Answer(L"Errore"),
              L"Sono presenti Task con data di fine successiva. Impossibile effettuare la modifica "
              L"(modificare prima le date dei Task).");
    // The tasks' own first and last days are allowed.
    ASSERT_TRUE(SetPicker(projectPickers[1], 20, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    ASSERT_NE(Bar(L"Tetto e proprietà"), nullptr) << "the tasks stay";
    EXPECT_EQ(drv::ScreenRect(Bar(L"Tetto e proprietà")).left,
              drv::ClientScreenRect(GetParent(Bar(L"Tetto e proprietà"))).left)
        << "the first day of the project is now the task's";

    // Deleting asks first, with the description in capitals.
    ASSERT_TRUE(ChooseOnBar(L"Tetto e proprietà", L'c')) << drv::LastErrorUtf8();
    EXPECT_EQ(Answer(L"Cancellazione", IDNO), L"Si desidera realmente cancellare il task TETTO E PROPRIETÀ?");
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    EXPECT_NE(Bar(L"Tetto e proprietà"), nullptr) << "No keeps the task";
    ASSERT_TRUE(ChooseOnBar(L"Tetto e proprietà", L'c')) << drv::LastErrorUtf8();
    EXPECT_EQ(Answer(L"Cancellazione", IDYES), L"Si desidera realmente cancellare il task TETTO E PROPRIETÀ?");
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Tetto e proprietà") == nullptr; })) << "Yes deletes it";
    EXPECT_NE(Bar(L"Fondamenta"), nullptr);
}

// The day lists, the cost report against the model's own, and a saved
// project that opens again the same.
TEST_F(ProgramTest, DayListsCostReportAndSavedProject) {
    CreateProject(L"Negozio", Day(1, 3, 2027), Day(31, 3, 2027));
    if (HasFatalFailure()) return;
    AddTask({L"Impianti", 1, 12, 4 /* Verde */, 3, L"180,35"});
    if (HasFatalFailure()) return;
    AddTask({L"Arredi", 8, 25, 0 /* Azzuro */, 5, L"95"});
    if (HasFatalFailure()) return;

    // Extra working days: two, in reverse order, then one of them again.
    ASSERT_TRUE(ClickTool(kIncludeTool)) << drv::LastErrorUtf8();
    HWND dialog = WaitDialog(L"Elenco Giorni da includere come lavorativi");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    HWND picker = Direct(dialog, L"SysDateTimePick32").at(0);
    HWND list = Direct(dialog, L"ListBox").at(0);
    EXPECT_TRUE(HasFocus(dialog, picker));
    std::vector<std::wstring> labels;
    for (HWND label : Direct(dialog, L"Static")) labels.push_back(drv::Text(label));
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"Data:", L"Elenco:"}));
    for (int day : {20, 6}) {
        ASSERT_TRUE(SetPicker(picker, day, 3, 2027)) << drv::LastErrorUtf8();
        Press(dialog, L"Aggiungi");
        ASSERT_TRUE(drv::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == (day == 20 ? 1 : 2); }));
    }
    ASSERT_TRUE(SetPicker(picker, 20, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"Aggiungi");
    EXPECT_EQ(Answer(L"Attenzione"), L"Data già presente.");
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
    auto item = [&](int index) {
        wchar_t text[64] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, index, 0) < 60) SendMessageW(list, LB_GETTEXT, index, (LPARAM)text);
        return std::wstring(text);
    };
    EXPECT_EQ(item(0), L"06/03/2027");
    EXPECT_EQ(item(1), L"20/03/2027");
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0) << "the day added last is selected";
    Shot(L"giorni");
    Press(dialog, L"OK");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    // Extra non-working days: one added, one that Annulla forgets.
    ASSERT_TRUE(ClickTool(kExcludeTool)) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Elenco Giorni da escludere come lavorativi");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    picker = Direct(dialog, L"SysDateTimePick32").at(0);
    list = Direct(dialog, L"ListBox").at(0);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0) << "the other list is not this one";
    ASSERT_TRUE(SetPicker(picker, 10, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"Aggiungi");
    ASSERT_TRUE(drv::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 1; }));
    drv::ClickWindow(picker);
    drv::Enter();  // Enter accepts the list; it does not add the picked day
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    ASSERT_TRUE(ClickTool(kExcludeTool)) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Elenco Giorni da escludere come lavorativi");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    list = Direct(dialog, L"ListBox").at(0);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    ASSERT_TRUE(SetPicker(Direct(dialog, L"SysDateTimePick32").at(0), 11, 3, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"Aggiungi");
    ASSERT_TRUE(drv::WaitUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 2; }));
    Press(dialog, L"Annulla");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    // The report, character for character, is the model's for the saved file.
    std::wstring total, report;
    ReadCostReport(total, report);
    if (HasFatalFailure()) return;
    const std::wstring path = FilePath(L"negozio.vmo");
    SaveAs(path);
    if (HasFatalFailure()) return;
    MyApp::Project saved;
    ASSERT_EQ(MyApp::LoadProjectFile(QVUtility::Narrow(path), saved), MyApp::LoadResult::Ok);
    ASSERT_EQ(saved.tasks.size(), 2u);
    EXPECT_EQ(saved.description, "Negozio");
    EXPECT_EQ(saved.tasks[0].description, "Impianti");
    EXPECT_EQ(saved.tasks[0].colour, 0x0FE71Eu);
    EXPECT_EQ(saved.tasks[0].resources, 3);
    EXPECT_DOUBLE_EQ(saved.tasks[0].dailyCost, 180.35);
    EXPECT_EQ(saved.tasks[1].colour, 0xFFF300u);
    EXPECT_EQ(saved.tasks[1].resources, 5);
    ASSERT_EQ(saved.includeDays.size(), 2u);
    EXPECT_EQ(MyApp::FormatDate(saved.includeDays[0]), "06/03/2027");
    EXPECT_EQ(MyApp::FormatDate(saved.includeDays[1]), "20/03/2027");
    ASSERT_EQ(saved.excludeDays.size(), 1u);
    EXPECT_EQ(MyApp::FormatDate(saved.excludeDays[0]), "10/03/2027");
    std::string modelReport;
    MyApp::Money modelTotal;
    MyApp::BuildCostReport(saved, modelReport, modelTotal);
    EXPECT_GT(modelReport.size(), 255u) << "a report longer than what the box lets one type";
    EXPECT_EQ(report, QVUtility::Widen(modelReport));
    EXPECT_EQ(total, L"Costo del progetto: " + QVUtility::Widen(MyApp::FormatAmount(modelTotal)));
    EXPECT_NE(total.find(L','), std::wstring::npos) << "regional decimal comma: " << drv::Utf8(total);

    // A new project empties everything; opening the file brings it all back.
    CreateProject(L"Altro", Day(1, 4, 2027), Day(30, 4, 2027));
    if (HasFatalFailure()) return;
    EXPECT_EQ(Bar(L"Impianti"), nullptr);
    ASSERT_TRUE(ClickTool(kOpenTool)) << drv::LastErrorUtf8();
    EXPECT_FALSE(Answer(L"Salva", IDNO).empty());
    const drv::FileDialogAnswer opened = drv::AnswerFileDialog(Pid(), L"Apri", path, true, 8000);
    ASSERT_TRUE(opened.ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Negozio") != nullptr && Bar(L"Impianti") != nullptr; }));
    std::wstring totalAgain, reportAgain;
    ReadCostReport(totalAgain, reportAgain);
    if (HasFatalFailure()) return;
    EXPECT_EQ(reportAgain, report);
    EXPECT_EQ(totalAgain, total);
    ASSERT_TRUE(ClickTool(kIncludeTool)) << drv::LastErrorUtf8();
    dialog = WaitDialog(L"Elenco Giorni da includere come lavorativi");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    EXPECT_EQ(SendMessageW(Direct(dialog, L"ListBox").at(0), LB_GETCOUNT, 0, 0), 2);
    drv::Escape();
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
}

// Undo and redo from the "&Modifica" menu and with Ctrl+Z and Ctrl+Y: each step back or forth shows
// the chart and the cost report of the state it reaches; back at the saved
// state there is nothing to save and a copy saved there is the saved file;
// a task brought back is changed and deleted like any other.
TEST_F(ProgramTest, ChangesAreUndoneAndRedone) {
    CreateProject(L"Cantiere", Day(1, 3, 2027), Day(31, 3, 2027));
    if (HasFatalFailure()) return;

    struct State {
        std::vector<std::wstring> chart;
        std::wstring total, report;
    };
    auto read = [&] {
        State state;
        drv::WaitUntil([&] { return drv::Enabled(main); });
        state.chart = ChartRows(L"Cantiere");
        ReadCostReport(state.total, state.report);
        return state;
    };
    auto expectState = [&](const State& expected, int index) {
        SCOPED_TRACE("state " + std::to_string(index));
        EXPECT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && ChartRows(L"Cantiere") == expected.chart; }));
        const State now = read();
        EXPECT_EQ(now.total, expected.total);
        EXPECT_EQ(now.report, expected.report);
    };
    // Undo ('A') or redo ('R') from the menu, or with Ctrl+Z / Ctrl+Y.
    auto step = [&](wchar_t letter, bool keys) {
        if (!keys) return drv::ChooseMenuItem(Pid(), L'M', letter);
        if (!drv::Activate(main)) return false;
        drv::Press(letter == L'A' ? 'Z' : 'Y', drv::kCtrl);
        return true;
    };

    // The new project, then four changes; the file is saved after the first.
    std::vector<State> states{read()};
    AddTask({L"Fondamenta", 5, 12, 3 /* Rosso */, 1, L"100"});
    if (HasFatalFailure()) return;
    const std::wstring path = FilePath(L"cantiere.vmo");
    SaveAs(path);
    if (HasFatalFailure()) return;
    constexpr int kSaved = 1;
    states.push_back(read());
    AddTask({L"Tetto", 2, 8, 2 /* Blu */, 2, L"200"});  // it starts first
    if (HasFatalFailure()) return;
    states.push_back(read());
    ASSERT_TRUE(ChooseOnBar(L"Tetto", L'm')) << drv::LastErrorUtf8();
    HWND dialog = WaitDialog(L"Modifica Task");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    const std::vector<HWND> pickers = Direct(dialog, L"SysDateTimePick32");
    ASSERT_TRUE(SetPicker(pickers[1], 25, 3, 2027)) << drv::LastErrorUtf8();
    ASSERT_TRUE(SetPicker(pickers[0], 20, 3, 2027)) << drv::LastErrorUtf8();  // now after Fondamenta
    Press(dialog, L"OK");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    states.push_back(read());
    ASSERT_TRUE(ChooseOnBar(L"Fondamenta", L'c')) << drv::LastErrorUtf8();
    Answer(L"Cancellazione", IDYES);
    states.push_back(read());
    ASSERT_EQ(states[4].chart.size(), 1u);
    EXPECT_NE(states[3].chart, states[2].chart) << "the change moved the task";

    // Back to the start, one step at a time.
    ASSERT_TRUE(drv::OpenMenu(Pid(), L'M')) << drv::LastErrorUtf8();
    Shot(L"menu_modifica");
    drv::Type(L"a");
    for (int i = 3; i >= 0; --i) {
        if (i < 3) {
            ASSERT_TRUE(step(L'A', i % 2 == 0)) << drv::LastErrorUtf8();
        }
        expectState(states[i], i);
        EXPECT_EQ(ToolEnabled(kSaveTool), i != kSaved) << "unsaved exactly away from the saved state";
        if (i != kSaved) continue;
        ASSERT_TRUE(drv::ChooseMenuItem(Pid(), L'F', L'L')) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::AnswerFileDialog(Pid(), L"Salva", FilePath(L"copia.vmo"), true, 8000).ok)
            << drv::LastErrorUtf8();
        EXPECT_TRUE(drv::WaitUntil([&] {
            return drv::ReadFileBytes(folder + L"copia.vmo") == drv::ReadFileBytes(path);
        })) << "the project back at the saved state is the saved file";
    }
    ASSERT_TRUE(drv::OpenMenu(Pid(), L'M')) << drv::LastErrorUtf8();
    Shot(L"menu_modifica_inizio");
    drv::Type(L"a");  // greyed: nothing more to undo
    ASSERT_TRUE(drv::WaitUntil([&] { return !drv::MenuOpen(Pid()); }));
    ASSERT_TRUE(step(L'A', true));
    Sleep(300);
    EXPECT_TRUE(ChartRows(L"Cantiere").empty());

    for (int i = 1; i <= 4; ++i) {
        ASSERT_TRUE(step(L'R', i % 2 == 1)) << drv::LastErrorUtf8();
        expectState(states[i], i);
        EXPECT_EQ(ToolEnabled(kSaveTool), i != kSaved);
    }
    ASSERT_TRUE(step(L'R', true));  // nothing more to redo
    ASSERT_TRUE(step(L'R', false)) << drv::LastErrorUtf8();
    Sleep(300);
    EXPECT_EQ(ChartRows(L"Cantiere"), states[4].chart);

    // The deleted task back and selected (Invio changes it), then deleted again.
    ASSERT_TRUE(step(L'A', true)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Fondamenta") != nullptr; }));
    drv::Enter();
    dialog = WaitDialog(L"Modifica Task");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::Text(Direct(dialog, L"Edit").at(0)), L"Fondamenta");
    ASSERT_TRUE(Fill(Direct(dialog, L"Edit").at(0), L"Fondamenta armate")) << drv::LastErrorUtf8();
    Press(dialog, L"OK");
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Fondamenta armate") != nullptr; }));
    ASSERT_TRUE(ChooseOnBar(L"Fondamenta armate", L'c')) << drv::LastErrorUtf8();
    Answer(L"Cancellazione", IDYES);
    ASSERT_TRUE(drv::WaitUntil([&] { return ChartRows(L"Cantiere") == states[4].chart; }));
    ASSERT_TRUE(ClickTool(kSaveTool)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return !ToolEnabled(kSaveTool); }));
    MyApp::Project saved;
    ASSERT_EQ(MyApp::LoadProjectFile(QVUtility::Narrow(folder + L"copia.vmo"), saved), MyApp::LoadResult::Ok);
    ASSERT_EQ(saved.tasks.size(), 1u);
    EXPECT_EQ(saved.tasks[0].description, "Tetto");
    EXPECT_EQ(MyApp::FormatDate(saved.tasks[0].start), "20/03/2027");
}

// Logging off with unsaved changes: the program's own question first; the
// session may end only once the changes are saved or given up.
TEST_F(ProgramTest, EndOfSessionAsksAboutUnsavedChanges) {
    // The system asks from outside and waits for the reply while the
    // program shows its question.
    auto query = [&](const std::function<void()>& answers) {
        DWORD_PTR reply = 2;
        std::thread system([&] {
            if (!SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000, &reply))
                reply = 3;
        });
        answers();
        system.join();
        return reply;
    };
    EXPECT_EQ(query([] {}), static_cast<DWORD_PTR>(TRUE)) << "nothing unsaved";
    EXPECT_EQ(drv::FindTopWindow(Pid(), L"#32770", L"Salva"), nullptr) << "and nothing asked";

    CreateProject(L"Magazzino", Day(1, 3, 2027), Day(31, 3, 2027));
    if (HasFatalFailure()) return;
    EXPECT_EQ(query([&] {
                  if (drv::WaitMessageBox(Pid(), L"Salva") != nullptr) Shot(L"fine_sessione");
                  EXPECT_EQ(Answer(L"Salva", IDYES), L"Si desidera salvare le modifiche del file?");
                  EXPECT_TRUE(drv::CancelFileDialog(Pid(), L"Salva", 8000)) << drv::LastErrorUtf8();
              }),
              static_cast<DWORD_PTR>(FALSE))
        << "no name for the file: the session must wait";
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    EXPECT_EQ(query([&] { Answer(L"Salva", IDNO); }), static_cast<DWORD_PTR>(TRUE)) << "the changes given up";
    SendMessageW(main, WM_ENDSESSION, FALSE, 0);  // another program kept the session
    Sleep(300);
    ASSERT_TRUE(app.Running());

    const std::wstring path = FilePath(L"magazzino.vmo");
    EXPECT_EQ(query([&] {
                  Answer(L"Salva", IDYES);
                  EXPECT_TRUE(drv::AnswerFileDialog(Pid(), L"Salva", path, true, 8000).ok) << drv::LastErrorUtf8();
              }),
              static_cast<DWORD_PTR>(TRUE))
        << "saved";
    MyApp::Project saved;
    ASSERT_EQ(MyApp::LoadProjectFile(QVUtility::Narrow(path), saved), MyApp::LoadResult::Ok);
    EXPECT_EQ(saved.description, "Magazzino");

    // The session ends: the program goes without asking anything more.
    SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(drv::kTimeout, &code)) << drv::LastErrorUtf8();
    EXPECT_EQ(code, 0u);
}

// The about box: its texts and links, and Enter closes it.
TEST_F(ProgramTest, AboutBoxShowsItsTextsAndClosesWithEnter) {
    ASSERT_TRUE(drv::OpenMenu(Pid(), L'?')) << drv::LastErrorUtf8();
    drv::Type(L"i");
    HWND about = WaitDialog(L"Info...");
    ASSERT_NE(about, nullptr) << drv::LastErrorUtf8();
    RECT client{};
    EXPECT_TRUE(drv::WaitUntil([&] {
        GetClientRect(about, &client);
        return client.right == 600 && client.bottom == 300;
    })) << "client area "
        << client.right << " x " << client.bottom;
    std::vector<std::wstring> texts;
    for (HWND label : Direct(about, L"Static")) texts.push_back(drv::Text(label));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"QV Velmora 1.2.0.0", L"- Pianificazione e costi di progetto"}));
    std::vector<std::wstring> links;
    for (HWND child : Direct(about, nullptr))
        if (drv::ClassOf(child).rfind(L"PanelChildren", 0) == 0 && !drv::Text(child).empty())
            links.push_back(drv::Text(child));
    EXPECT_EQ(links, (std::vector<std::wstring>{L"http://www.qvvelmora.example", L"info@qvvelmora.example"}));
    const std::wstring body = drv::Text(Direct(about, L"Edit").at(0));
    EXPECT_EQ(std::count(body.begin(), body.end(), L'\n'), 2) << "three lines";
    HWND ok = ButtonOf(about, L"OK");
    EXPECT_TRUE(HasFocus(about, ok));
    Shot(L"info");
    drv::Enter();
    ASSERT_TRUE(drv::WaitWindowGone(about)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
}

// Changing a task keeps what the user did not touch and refuses, with a
// message, what cannot be taken as typed: resources past 100,000 and a
// decimal point in the cost. The task's own colour stays.
TEST_F(ProgramTest, TaskDialogKeepsWhatWasTypedOrSaysWhy) {
    MyApp::Project project = SpanProject("Capannone", Day(1, 3, 2027), Day(31, 3, 2027));
    MyApp::Task task(Day(4, 3, 2027));
    task.description = "Scavi";
    task.end = Day(9, 3, 2027);
    task.colour = 32768;  // a green that is none of the five
    task.resources = 2;
    task.dailyCost = 100;
    project.tasks.push_back(task);
    const std::wstring path = OpenProject(project);
    if (HasFailure()) return;

    ASSERT_TRUE(ChooseOnBar(L"Scavi", L'm')) << drv::LastErrorUtf8();
    HWND dialog = WaitDialog(L"Modifica Task");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    HWND colours = drv::FindDescendant(dialog, -1, L"ComboBoxEx32");
    const std::vector<std::wstring> items = drv::ComboBoxItems(colours);
    ASSERT_EQ(items.size(), 6u) << "the five colours and the task's own";
    EXPECT_EQ(items[5], L"Personalizzato");
    EXPECT_EQ(drv::ComboBoxSelection(colours), 5);
    Shot(L"modifica_task_colore_proprio");

    const std::vector<HWND> edits = Direct(dialog, L"Edit");
    ASSERT_EQ(edits.size(), 3u);
    for (const wchar_t* tooMany : {L"500000", L"123456"}) {
        ASSERT_TRUE(Fill(edits[1], tooMany)) << drv::LastErrorUtf8();
        ExpectRefused(dialog, edits[1], L"Il numero di risorse deve essere compreso tra 0 e 100.000.");
        const DWORD selection = static_cast<DWORD>(SendMessageW(edits[1], EM_GETSEL, 0, 0));
        EXPECT_EQ(LOWORD(selection), 0);
        EXPECT_EQ(HIWORD(selection), 6) << "the whole number is selected";
    }
    ASSERT_TRUE(Fill(edits[1], L"100000")) << drv::LastErrorUtf8();
    for (const wchar_t* decimalPoint : {L"12.5", L"1.50"}) {
        ASSERT_TRUE(Fill(edits[2], decimalPoint)) << drv::LastErrorUtf8();
        ExpectRefused(dialog, edits[2], L"Importo non valido: usare la virgola per i decimali (es. 12,5).");
    }
    ASSERT_TRUE(Fill(edits[2], L"1.500")) << drv::LastErrorUtf8();
    drv::Enter();
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();

    const MyApp::Project saved = SavedProject(path);
    ASSERT_EQ(saved.tasks.size(), 1u);
    EXPECT_EQ(saved.tasks[0].colour, 32768u);
    EXPECT_EQ(saved.tasks[0].resources, 100000);
    EXPECT_EQ(saved.tasks[0].dailyCost, 1500.0);
    EXPECT_EQ(MyApp::FormatDate(saved.tasks[0].start), "04/03/2027");
    EXPECT_EQ(MyApp::FormatDate(saved.tasks[0].end), "09/03/2027");
}

// Dates typed field by field pass through days outside the project (typing
// 15/01/2027 over 01/12/2026 passes 15/01/2026): every task gets exactly the
// days typed, and a day outside the project is refused with the project's
// span named; the day lists alike.
TEST_F(ProgramTest, TypedDatesAreKeptOrRefusedWithTheProjectsSpan) {
    const std::wstring path = OpenProject(SpanProject("Scuola", Day(1, 12, 2026), Day(30, 6, 2028)));
    if (HasFailure()) return;
    const std::wstring span = L" deve essere compresa nel periodo del progetto (dal 01/12/2026 al 30/06/2028).";
    const Date typed[][2] = {{Day(15, 1, 2027), Day(20, 2, 2027)},
                             {Day(3, 12, 2026), Day(18, 12, 2026)},
                             {Day(10, 3, 2027), Day(5, 11, 2027)},
                             {Day(28, 6, 2028), Day(30, 6, 2028)},
                             {Day(1, 1, 2028), Day(31, 5, 2028)}};
    for (const auto& days : typed) {
        const std::wstring name = L"Lavoro " + QVUtility::Widen(MyApp::FormatDate(days[0]));
        ASSERT_TRUE(ClickTool(kAddTaskTool)) << drv::LastErrorUtf8();
        HWND dialog = WaitDialog(L"Nuovo Task");
        ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
        ASSERT_TRUE(Fill(Direct(dialog, L"Edit").at(0), name)) << drv::LastErrorUtf8();
        const std::vector<HWND> pickers = Direct(dialog, L"SysDateTimePick32");
        for (int i : {0, 1})
            ASSERT_TRUE(SetPicker(pickers[i], days[i].value.wDay, days[i].value.wMonth, days[i].value.wYear))
                << drv::LastErrorUtf8();
        if (&days == &typed[0]) {
            // Days outside the project: named, and kept as typed.
            ASSERT_TRUE(SetPicker(pickers[0], 30, 11, 2026)) << drv::LastErrorUtf8();
            ExpectRefused(dialog, pickers[0], L"La data di inizio" + span);
            ASSERT_TRUE(SetPicker(pickers[0], 15, 1, 2027)) << drv::LastErrorUtf8();
            ASSERT_TRUE(SetPicker(pickers[1], 1, 7, 2028)) << drv::LastErrorUtf8();
            ExpectRefused(dialog, pickers[1], L"La data di fine" + span);
            ASSERT_TRUE(SetPicker(pickers[1], 20, 2, 2027)) << drv::LastErrorUtf8();
        }
        Press(dialog, L"OK");
        ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && Bar(name) != nullptr; }));
    }

    // The day list: a day reached through days outside the project is
    // added as typed; one outside is refused.
    ASSERT_TRUE(ClickTool(kIncludeTool)) << drv::LastErrorUtf8();
    HWND dialog = WaitDialog(L"Elenco Giorni da includere come lavorativi");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    HWND picker = Direct(dialog, L"SysDateTimePick32").at(0);
    HWND list = Direct(dialog, L"ListBox").at(0);
    ASSERT_TRUE(SetPicker(picker, 1, 12, 2026)) << drv::LastErrorUtf8();
    ASSERT_TRUE(SetPicker(picker, 15, 1, 2027)) << drv::LastErrorUtf8();
    Press(dialog, L"Aggiungi");
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ListBoxItems(list) == std::vector<std::wstring>{L"15/01/2027"}; }));
    ASSERT_TRUE(SetPicker(picker, 1, 7, 2028)) << drv::LastErrorUtf8();
    Press(dialog, L"Aggiungi");
    EXPECT_EQ(Answer(L"Errore"), L"La data" + span);
    EXPECT_TRUE(HasFocus(dialog, picker));
    EXPECT_EQ(drv::ListBoxItems(list), std::vector<std::wstring>{L"15/01/2027"});
    Press(dialog, L"OK");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();

    const MyApp::Project saved = SavedProject(path);
    ASSERT_EQ(saved.tasks.size(), 5u);
    for (const auto& days : typed) {
        const std::string start = MyApp::FormatDate(days[0]);
        const auto found = std::find_if(saved.tasks.begin(), saved.tasks.end(),
                                        [&](const MyApp::Task& t) { return t.description == "Lavoro " + start; });
        ASSERT_NE(found, saved.tasks.end()) << start;
        EXPECT_EQ(MyApp::FormatDate(found->start), start);
        EXPECT_EQ(MyApp::FormatDate(found->end), MyApp::FormatDate(days[1]));
    }
    ASSERT_EQ(saved.includeDays.size(), 1u);
    EXPECT_EQ(MyApp::FormatDate(saved.includeDays[0]), "15/01/2027");
}

// The task dialog from start to end with the keyboard alone, no mouse: Tab
// reaches "Colore", F4 and Alt+Giù open the list, Esc closes the open list
// and then the dialog, Invio picks an item in the open list and then
// confirms the dialog, Maiusc+Tab comes back.
TEST_F(ProgramTest, TaskDialogWorksWithTheKeyboardAlone) {
    const std::wstring path = OpenProject(SpanProject("Officina", Day(1, 3, 2027), Day(31, 3, 2027)));
    if (HasFailure()) return;
    HWND dialog = nullptr, inner = nullptr;
    auto open = [&](const wchar_t* description) {
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        drv::Press(VK_INSERT);
        dialog = WaitDialog(L"Nuovo Task");
        ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
        inner = drv::FindDescendant(drv::FindDescendant(dialog, -1, L"ComboBoxEx32"), -1, L"ComboBox");
        ASSERT_TRUE(HasFocus(dialog, Direct(dialog, L"Edit").at(0)));
        drv::Type(description);
        drv::Tab();
        drv::Tab();
        drv::Tab();  // past the two days
        ASSERT_TRUE(HasFocus(dialog, inner)) << "Tab reaches Colore";
    };
    auto dropped = [&](bool open) {
        return drv::WaitUntil([&] { return (SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0) != 0) == open; });
    };

    open(L"Verniciatura");
    if (HasFatalFailure()) return;
    drv::Press(VK_F4);
    ASSERT_TRUE(dropped(true)) << "F4 opens the list";
    drv::Down(2);
    drv::Escape();
    ASSERT_TRUE(dropped(false)) << "Esc closes the list";
    EXPECT_EQ(drv::ComboBoxSelection(inner), 0) << "and keeps the colour it had";
    drv::Press(VK_DOWN, drv::kAlt);
    ASSERT_TRUE(dropped(true)) << "Alt+Giù opens the list; the dialog is still open";
    drv::Down(3);
    drv::Enter();
    ASSERT_TRUE(dropped(false)) << "Invio picks the item";
    EXPECT_EQ(drv::ComboBoxSelection(inner), 3);
    const std::vector<HWND> edits = Direct(dialog, L"Edit");
    drv::Tab();
    ASSERT_TRUE(HasFocus(dialog, edits[1])) << "Tab moves on from Colore; the dialog is still open";
    drv::Type(L"4");
    drv::Tab();
    ASSERT_TRUE(HasFocus(dialog, edits[2]));
    drv::Type(L"95");
    drv::Tab(true);
    drv::Tab(true);
    ASSERT_TRUE(HasFocus(dialog, inner)) << "Maiusc+Tab comes back to Colore";
    drv::Enter();
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << "Invio with the list closed confirms the dialog";
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main) && Bar(L"Verniciatura") != nullptr; }));

    open(L"Scartata");
    if (HasFatalFailure()) return;
    drv::Press(VK_F4);
    ASSERT_TRUE(dropped(true));
    drv::Escape();
    ASSERT_TRUE(dropped(false));
    drv::Press(VK_F4);
    ASSERT_TRUE(dropped(true)) << "the first Esc left the dialog open";
    drv::Escape();
    ASSERT_TRUE(dropped(false));
    drv::Escape();
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << "Esc with the list closed cancels the dialog";

    const MyApp::Project saved = SavedProject(path);
    ASSERT_EQ(saved.tasks.size(), 1u) << "the cancelled task is not added";
    EXPECT_EQ(saved.tasks[0].description, "Verniciatura");
    EXPECT_EQ(saved.tasks[0].colour, MyApp::BarColours[3].colour);
    EXPECT_EQ(saved.tasks[0].resources, 4);
    EXPECT_EQ(saved.tasks[0].dailyCost, 95.0);
}

// ---- Inside the dialog classes -------------------------------------------------------

// One owner form for the whole program, made on the driver's desktop; it is
// the first form, so it must outlive every test.
QVUtility::Form* Owner() {
    static QVUtility::Form* owner = [] {
        drv::UseDesktop();
        auto* form = new QVUtility::Form(GetModuleHandleW(nullptr));
        form->text = L"Proprietario";
        form->x = 0;
        form->y = 0;
        form->width = 700;
        form->height = 500;
        form->Create();
        return form;
    }();
    return owner;
}

int destroyedCount = 0;
void CountDestroyed(QVUtility::GUIElement*) { ++destroyedCount; }

TEST(DialogText, UpperCaseKeepsItalianAccents) {
    EXPECT_EQ(MyApp::UpperCaseText("perch\xE9 citt\xE0 \xE8 l\xE0, per\xF2 pi\xF9 s\xEC"),
              L"PERCHÉ CITTÀ È LÀ, PERÒ PIÙ SÌ");
    EXPECT_EQ(MyApp::UpperCaseText("Tetto 2 - ok!"), L"TETTO 2 - OK!");
}

TEST(DialogText, DescriptionsTheFileCannotHoldAreNamed) {
    for (const char* marker : {"#VELMORA", "#TASK", "#DAY INCLUDE", "#DAY EXCLUDE"})
        EXPECT_EQ(MyApp::DescriptionProblem(marker),
                  L"La descrizione non può essere uguale a una riga di controllo del file.")
            << marker;
    EXPECT_FALSE(MyApp::DescriptionProblem("due\r\nrighe").empty());
    for (const char* fine : {"#TASK 2", "#task", "#DAY", "Tetto", ""})
        EXPECT_TRUE(MyApp::DescriptionProblem(fine).empty()) << fine;
    EXPECT_EQ(MyApp::TrimSpaces(" \t Tetto  a falde \r\n"), "Tetto  a falde");
    EXPECT_EQ(MyApp::TrimSpaces("   "), "");
}

TEST(DialogText, MailLinkIsMadeFromTheWebAddress) {
    EXPECT_EQ(QVUtility::FormAbout::MailAddressOf("http://www.esempio.it"), "info@esempio.it");
    EXPECT_EQ(QVUtility::FormAbout::MailAddressOf("https://esempio.it"), "https://esempio.it");
    EXPECT_EQ(QVUtility::FormAbout::MailAddressOf("http://www.a http://www.b"), "info@a info@b");
}

TEST(DialogClasses, DaysListStaysSortedAndRemovalSelectsTheDayAbove) {
    QVUtility::Form* owner = Owner();
    MyApp::FormDays dialog(owner, L"Elenco");
    EXPECT_FALSE(IsWindowEnabled(owner->window));
    EXPECT_EQ(owner->modalDialog, &dialog);
    dialog.LoadDays("#DAY EXCLUDE", Day(1, 3, 2027), Day(31, 3, 2027),
                    {Day(15, 3, 2027), Day(5, 3, 2027), Day(25, 4, 2027), Day(10, 3, 2027)});
    ASSERT_EQ(dialog.dayList->Count(), 4);
    EXPECT_EQ(dialog.dayList->GetItemText(0), L"05/03/2027");
    EXPECT_EQ(dialog.dayList->GetItemText(3), L"25/04/2027") << "a day outside the span stays";
    EXPECT_EQ(dialog.dayList->GetSelectedIndex(), 0);

    dialog.OnButton(dialog.removeButton);  // the first: the new first is selected
    EXPECT_EQ(dialog.dayList->GetItemText(0), L"10/03/2027");
    EXPECT_EQ(dialog.dayList->GetSelectedIndex(), 0);
    dialog.dayList->Select(2);
    dialog.OnButton(dialog.removeButton);  // another: the one above it is selected
    EXPECT_EQ(dialog.dayList->GetSelectedIndex(), 1);
    ASSERT_EQ(dialog.days.size(), 2u);
    EXPECT_EQ(MyApp::FormatDate(dialog.days[1]), "15/03/2027");
    dialog.OnButton(dialog.removeButton);
    dialog.OnButton(dialog.removeButton);
    EXPECT_EQ(dialog.dayList->Count(), 0);
    EXPECT_EQ(dialog.dayList->GetSelectedIndex(), -1);

    // Added days take their place in the list box itself and are selected.
    for (int day : {15, 5, 10}) {
        dialog.datePicker->date = Day(day, 3, 2027).value;
        dialog.datePicker->ApplyDate();
        dialog.OnButton(dialog.addButton);
    }
    EXPECT_EQ(dialog.dayList->GetSelectedIndex(), 1);
    ASSERT_EQ(SendMessageW(dialog.dayList->window, LB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        wchar_t shown[32] = {};
        SendMessageW(dialog.dayList->window, LB_GETTEXT, i, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(shown, QVUtility::Widen(MyApp::FormatDate(dialog.days[i])));
        EXPECT_EQ(shown, std::wstring(i == 0 ? L"05/03/2027" : i == 1 ? L"10/03/2027" : L"15/03/2027"));
    }

    // The picker takes any day typed ("Aggiungi" checks it against the
    // project): it has no range that would drop a day silently.
    SYSTEMTIME range[2] = {};
    const LRESULT limits = SendMessageW(dialog.datePicker->window, DTM_GETRANGE, 0, (LPARAM)range);
    EXPECT_EQ(limits, 0);

    // The close box: no result, the owner is back and hears of it.
    destroyedCount = 0;
    dialog.onDestroy = &CountDestroyed;
    SendMessageW(dialog.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog.result, MyApp::ResultClosed);
    EXPECT_EQ(destroyedCount, 1);
    EXPECT_TRUE(IsWindowEnabled(owner->window));
    EXPECT_EQ(owner->modalDialog, nullptr);
    EXPECT_EQ(dialog.listTag, "#DAY EXCLUDE");
}

TEST(DialogClasses, TaskDialogGivesBackWhatItLoaded) {
    QVUtility::Form* owner = Owner();
    MyApp::FormAddTask dialog(owner, L"Modifica Task");
    dialog.SetDateRange(Day(1, 3, 2027), Day(31, 3, 2027));
    MyApp::Task task(Day(3, 3, 2027));
    task.description = "Scavi";
    task.end = Day(9, 3, 2027);
    task.colour = 0x123456;  // not one of the five
    task.resources = 7;
    task.dailyCost = 1234567.25;
    dialog.LoadTask(task);
    EXPECT_TRUE(dialog.editMode);
    EXPECT_EQ(dialog.taskId, task.id);
    EXPECT_EQ(dialog.colourList->GetSelectedIndex(), 5) << "the task's own colour, listed after the five";
    EXPECT_EQ(dialog.colourList->GetItemText(5), L"Personalizzato");
    EXPECT_EQ(dialog.costBox->GetText(), L"1.234.567,25") << "every digit of the amount";

    dialog.OnButton(dialog.okButton);
    EXPECT_EQ(dialog.result, MyApp::ResultAccepted);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_EQ(dialog.description, "Scavi");
    EXPECT_EQ(MyApp::FormatDate(dialog.startDate), "03/03/2027");
    EXPECT_EQ(MyApp::FormatDate(dialog.endDate), "09/03/2027");
    EXPECT_EQ(dialog.colour, 0x123456) << "the task keeps its own colour";
    EXPECT_EQ(dialog.ConfirmedTask().colour, 0x123456u);
    EXPECT_EQ(dialog.resources, 7);
    EXPECT_EQ(dialog.dailyCost, 1234567.25);
    EXPECT_TRUE(IsWindowEnabled(owner->window));

    // A one-day task is fine; Annulla answers 2.
    MyApp::FormAddTask second(owner, L"Nuovo Task");
    second.SetDateRange(Day(1, 3, 2027), Day(31, 3, 2027));
    second.descriptionBox->SetText(L"  Collaudo ");
    second.OnButton(second.cancelButton);
    EXPECT_EQ(second.result, MyApp::ResultCancelled);
    MyApp::FormAddTask third(owner, L"Nuovo Task");
    third.SetDateRange(Day(1, 3, 2027), Day(31, 3, 2027));
    third.descriptionBox->SetText(L"  Collaudo ");
    third.OnFormKey(VK_RETURN);
    EXPECT_EQ(third.result, MyApp::ResultAccepted);
    EXPECT_EQ(third.description, "Collaudo");
    EXPECT_EQ(MyApp::CompareDates(third.startDate, third.endDate), 0);
    EXPECT_EQ(MyApp::FormatDate(third.startDate), "01/03/2027");
}

TEST(DialogClasses, ProjectDialogAcceptsTheTasksOwnSpan) {
    QVUtility::Form* owner = Owner();
    MyApp::FormNuovo dialog(owner, L"Modifica");
    dialog.hasTasks = true;
    dialog.earliestTaskStart = Day(5, 3, 2027);
    dialog.latestTaskEnd = Day(20, 3, 2027);
    const int weekdays[7] = {1, 0, 2, 1, 1, 0, 1};
    dialog.LoadProject("Villa", Day(5, 3, 2027), Day(20, 3, 2027), weekdays);
    EXPECT_EQ(dialog.descriptionBox->GetText(), L"Villa");
    dialog.OnButton(dialog.okButton);
    EXPECT_EQ(dialog.result, MyApp::ResultAccepted);
    const int expected[7] = {1, 0, 0, 1, 1, 0, 1};  // only a 1 ticks a box
    for (int i = 0; i < 7; ++i) EXPECT_EQ(dialog.workingWeekdays[i], expected[i]) << i;

    // A new project ignores the tasks of the current one.
    MyApp::FormNuovo fresh(owner, L"Nuovo");
    fresh.hasTasks = true;
    fresh.earliestTaskStart = Day(5, 3, 2027);
    fresh.latestTaskEnd = Day(20, 3, 2027);
    fresh.descriptionBox->SetText(L"Nuova");
    fresh.startPicker->date = Day(10, 3, 2027).value;
    fresh.startPicker->ApplyDate();
    fresh.endPicker->date = Day(11, 3, 2027).value;
    fresh.endPicker->ApplyDate();
    fresh.OnButton(fresh.okButton);
    EXPECT_EQ(fresh.result, MyApp::ResultAccepted);
    EXPECT_FALSE(fresh.editMode);
}

// A label shows its whole text: no word wider than the label, and the lines
// its text breaks into within its height.
void ExpectTextFits(HWND label, int dpi) {
    RECT room{};
    GetClientRect(label, &room);
    const std::wstring text = drv::Text(label);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L' ', start);
        if (end == std::wstring::npos) end = text.size();
        SIZE word{};
        GetTextExtentPoint32W(screen, text.c_str() + start, static_cast<int>(end - start), &word);
        EXPECT_LE(word.cx, room.right) << drv::Utf8(text) << " at " << dpi << " DPI: a word wider than its label";
        start = end + 1;
    }
    RECT lines{0, 0, room.right, 0};
    DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &lines, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    EXPECT_LE(lines.bottom, room.bottom) << drv::Utf8(text) << " at " << dpi << " DPI: lines below its label";
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
}

// The labels of the dialogs fit their texts on screens of 96 and 144 DPI,
// in the fonts the dialogs give them there.
TEST(DialogClasses, LabelsShowTheirWholeTextAtEveryScale) {
    QVUtility::Form* owner = Owner();
    using Make = std::function<std::unique_ptr<MyApp::DialogFrame>()>;
    const Make makers[] = {
        [&] { return std::make_unique<MyApp::FormNuovo>(owner, L"Nuovo"); },
        [&] { return std::make_unique<MyApp::FormAddTask>(owner, L"Nuovo Task"); },
        [&] { return std::make_unique<MyApp::FormDays>(owner, L"Elenco"); },
        [&] { return std::make_unique<MyApp::FormCosto>(owner, L"Conto Economico"); },
        [&] {
            auto about = std::make_unique<MyApp::FormAbout>(owner);
            about->titleText = std::string(MyApp::ProductNameNarrow) + " " + MyApp::ProductVersion;
            about->secondText = MyApp::NoticeLineNarrow;
            about->webAddress = MyApp::HomePageAddress;
            about->Create();
            return about;
        },
        [&] {  // the preview at its longest number: the last page of a chart in rows and columns of pages
            MyApp::Project project;
            project.start = Day(1, 1, 2024);
            project.end = Day(31, 8, 2025);
            project.tasks.assign(230, MyApp::Task(project.start));
            MyApp::PageFormat a4;  // across, at 96 dots per inch
            a4.paperWidth = a4.printableWidth = 1123;
            a4.paperHeight = a4.printableHeight = 794;
            auto preview =
                std::make_unique<MyApp::FormAnteprima>(owner, L"Anteprima", project, MyApp::PrintChoice{}, a4, a4, L"");
            preview->ShowPage(preview->PageCount() - 1);
            return preview;
        },
    };
    for (int dpi : {96, 144}) {
        owner->scale = QVUtility::DisplayScale(dpi);
        for (const Make& make : makers) {
            const std::unique_ptr<MyApp::DialogFrame> dialog = make();
            int labels = 0;
            for (HWND child : drv::Descendants(dialog->window, L"Static")) {
                if (drv::Text(child).empty()) continue;
                ExpectTextFits(child, dpi);
                ++labels;
            }
            EXPECT_GE(labels, 1) << drv::Utf8(dialog->text);
        }
    }
    owner->scale = QVUtility::DisplayScale();
}

TEST(DialogClasses, CostReportIsShownWholeWithARegionalTotal) {
    QVUtility::Form* owner = Owner();
    MyApp::FormCosto dialog(owner, L"Conto Economico");
    std::string text;
    for (int i = 0; i < 40; ++i) text += "\r\nTASK: Riga numero " + std::to_string(i) + " del conto";
    dialog.SetReport(text, MyApp::Money::FromHundredths(123450));
    EXPECT_EQ(dialog.reportBox->GetText(), QVUtility::Widen(text));
    EXPECT_EQ(dialog.totalLabel->GetText(), L"Costo del progetto: 1.234,5");
    dialog.OnFormKey(VK_RETURN);
    EXPECT_FALSE(dialog.IsOpen());
    EXPECT_TRUE(IsWindowEnabled(owner->window));
}

// The report can be resized and maximised, the report box filling what the
// window gives it (never less than its first size); the next report opens
// at the size the last one had, maximised too. "Copia" puts the whole
// report, the total line first, on the clipboard. The controls keep their
// order, "Copia" coming last with an identifier of its own.
TEST(DialogClasses, CostReportGrowsIsRememberedAndCopied) {
    QVUtility::Form* owner = Owner();
    for (const wchar_t* name : {L"CostReportWidth", L"CostReportHeight", L"CostReportMaximized"})
        RegDeleteKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name);
    const auto boxMargins = [](MyApp::FormCosto& d) {
        RECT client{}, box{};
        GetClientRect(d.window, &client);
        GetWindowRect(d.reportBox->window, &box);
        MapWindowPoints(nullptr, d.window, reinterpret_cast<POINT*>(&box), 2);
        return std::make_pair(client.right - box.right, client.bottom - box.bottom);
    };
    SIZE grown{};
    {
        MyApp::FormCosto dialog(owner, L"Conto Economico");
        const LONG_PTR style = GetWindowLongPtrW(dialog.window, GWL_STYLE);
        EXPECT_TRUE((style & WS_THICKFRAME) && (style & WS_MAXIMIZEBOX));
        const auto first = boxMargins(dialog);
        ASSERT_NE(dialog.copyButton, nullptr);
        EXPECT_EQ(dialog.copyButton->controlId, IDC_COST_COPY);
        EXPECT_EQ(drv::Text(dialog.copyButton->window), L"Copia");
        const int ids[] = {dialog.totalLabel->controlId, dialog.detailLabel->controlId, dialog.reportBox->controlId,
                           dialog.okButton->controlId};
        EXPECT_TRUE(std::is_sorted(std::begin(ids), std::end(ids)) && ids[3] - ids[0] == 3) << "made in their order";

        RECT outer{};
        GetWindowRect(dialog.window, &outer);
        SetWindowPos(dialog.window, nullptr, 0, 0, outer.right - outer.left + 300, outer.bottom - outer.top + 200,
                     SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(boxMargins(dialog), first) << "the report box follows the window";
        RECT ok{}, copy{};
        GetWindowRect(dialog.okButton->window, &ok);
        GetWindowRect(dialog.copyButton->window, &copy);
        EXPECT_EQ(ok.top, copy.top);
        EXPECT_LT(ok.right, copy.left);
        grown = dialog.BaseClientSize();

        dialog.SetReport("\r\nTASK: Ponteggio\r\nCosto Task: 1.204\r\n", MyApp::Money::FromHundredths(98073452140));
        EXPECT_EQ(dialog.totalLabel->GetText(), L"Costo del progetto: 980.734.521");
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        dialog.OnButton(dialog.copyButton);
        EXPECT_TRUE(dialog.IsOpen()) << "copying leaves the report open";
        std::wstring copied;
        ASSERT_TRUE(OpenClipboard(nullptr));
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            copied = static_cast<const wchar_t*>(GlobalLock(data));
            GlobalUnlock(data);
        }
        CloseClipboard();
        EXPECT_EQ(copied, L"Costo del progetto: 980.734.521\r\n\r\nTASK: Ponteggio\r\nCosto Task: 1.204\r\n");
        dialog.CloseWindow();
    }
    {
        MyApp::FormCosto dialog(owner, L"Conto Economico");
        const SIZE again = dialog.BaseClientSize();
        EXPECT_EQ(again.cx, grown.cx);
        EXPECT_EQ(again.cy, grown.cy);
        EXPECT_FALSE(IsZoomed(dialog.window));
        const auto margins = boxMargins(dialog);
        ShowWindow(dialog.window, SW_MAXIMIZE);
        ASSERT_TRUE(IsZoomed(dialog.window));
        EXPECT_EQ(boxMargins(dialog), margins) << "the report fills the maximised window";
        dialog.CloseWindow();
    }
    {
        MyApp::FormCosto dialog(owner, L"Conto Economico");
        EXPECT_TRUE(IsZoomed(dialog.window)) << "opened maximised as it was left";
        ShowWindow(dialog.window, SW_RESTORE);
        EXPECT_EQ(dialog.BaseClientSize().cx, grown.cx) << "and restored to the size it had";
        dialog.CloseWindow();
    }
    for (const wchar_t* name : {L"CostReportWidth", L"CostReportHeight", L"CostReportMaximized"})
        RegDeleteKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name);
}

// What "Copia" puts on the clipboard, as another program pastes it: xclip,
// an X client of the host, reads the clipboard while this test keeps it
// (clipboard-xclip.sh runs the two side by side and names the folder they
// talk through). Skipped when run on its own.
TEST(DialogClasses, CostReportCopyPastesInAnotherProgram) {
    wchar_t folder[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"VELMORA_CLIPBOARD_EXCHANGE", folder, MAX_PATH) == 0)
        GTEST_SKIP() << "run by clipboard-xclip.sh, which reads the clipboard with xclip";
    const std::wstring exchange = std::wstring(folder) + L"\\";
    MyApp::FormCosto dialog(Owner(), L"Conto Economico");
    dialog.SetReport("\r\nTASK: Attivit\xE0 di collaudo \"finale\"\r\nCosto Task: 1.204,5\r\n", MyApp::Money::FromHundredths(246801357960));
    dialog.OnButton(dialog.copyButton);
    ASSERT_TRUE(drv::WriteFileBytes(exchange + L"copied", "1"));
    // The clipboard is served from this thread's messages while xclip asks.
    ASSERT_TRUE(drv::WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            return GetFileAttributesW((exchange + L"pasted.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
        },
        60000));
    std::string pasted = drv::ReadFileBytes(exchange + L"pasted.txt");
    pasted.erase(std::remove(pasted.begin(), pasted.end(), '\r'), pasted.end());
    EXPECT_EQ(pasted, "Costo del progetto: 2.468.013.580\n\nTASK: Attivit\xC3\xA0 di collaudo \"finale\"\nCosto Task: 1.204,5\n");
    dialog.CloseWindow();
}

}  // namespace
