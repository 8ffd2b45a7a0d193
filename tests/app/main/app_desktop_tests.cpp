// What a Windows user reaches for without thinking, tried on the real
// program from outside: the keyboard shortcuts, the "&Progetto" menu,
// choosing a task on the chart, the recent files, the window's place and
// the picture exported as PNG.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using apptest::kSiteProject;  // three tasks of 26 days in March 2024

// One task in each of the five bar colours, a day after another.
const char* const kColoursProject =
    "#VELMORA\r\nColori\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\n"
    "Bianco\r\n04/03/2024\r\n08/03/2024\r\n16777215\r\n1\r\n10\r\n"
    "Rosso\r\n05/03/2024\r\n09/03/2024\r\n255\r\n1\r\n10\r\n"
    "Verde\r\n06/03/2024\r\n10/03/2024\r\n1042206\r\n1\r\n10\r\n"
    "Blu\r\n07/03/2024\r\n11/03/2024\r\n16711680\r\n1\r\n10\r\n"
    "Ciano\r\n08/03/2024\r\n12/03/2024\r\n16773888\r\n1\r\n10\r\n";

// `count` tasks "Attivita 1", "Attivita 2", ... of one day each, all green.
std::string ManyTasks(int count) {
    std::string text = "#VELMORA\r\nMolte\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n";
    for (int i = 1; i <= count; ++i)
        text += "Attivita " + std::to_string(i) + "\r\n05/03/2024\r\n05/03/2024\r\n1042206\r\n1\r\n1\r\n";
    return text;
}

class DesktopTest : public apptest::ProgramFixture {
protected:
    void OpenProject(const wchar_t* name, const std::string& content) {
        ASSERT_TRUE(drv::WriteFileBytes(Path(name), content));
        Open(Path(name));
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(name))) << drv::Utf8(drv::StatusBarText(status));
    }

    // The chart panel and the bars it shows (the title cell and the ruler
    // aside), with their texts.
    HWND Panel() {
        return apptest::ChartPanel(main);
    }
    std::vector<std::pair<HWND, std::wstring>> VisibleBars() {
        std::vector<std::pair<HWND, std::wstring>> bars;
        HWND panel = Panel();
        for (HWND child : drv::Descendants(panel)) {
            if (GetParent(child) != panel || !drv::Visible(child)) continue;
            const RECT place = drv::ScreenRect(child);
            if (place.bottom - place.top == 25) bars.emplace_back(child, drv::Text(child));
        }
        return bars;
    }
    HWND Bar(const std::wstring& text) {
        for (const auto& bar : VisibleBars())
            if (bar.second == text) return bar.first;
        return nullptr;
    }

    // Whether the bar shows the selection's mark: black at its edge, white
    // just inside (an unselected bar is its colour up to the edge).
    static bool Marked(HWND bar) {
        const POINT edge = drv::ToScreen(bar, POINT{1, 1});
        const POINT inside = drv::ToScreen(bar, POINT{2, 2});
        return drv::ScreenPixel(edge) == RGB(0, 0, 0) && drv::ScreenPixel(inside) == RGB(255, 255, 255);
    }

    // The bar of `text` is in the panel's view and is the only one marked.
    ::testing::AssertionResult OnlySelected(const std::wstring& text) {
        const RECT view = drv::ClientScreenRect(Panel());
        bool settled = drv::WaitUntil([&] {
            for (const auto& bar : VisibleBars()) {
                const POINT corner = drv::ToScreen(bar.first, POINT{1, 1});
                const bool shown =
                    corner.y >= view.top && corner.y + 3 < view.bottom && drv::PointShows(corner, bar.first);
                if (shown && Marked(bar.first) != (bar.second == text)) return false;
                if (bar.second == text && !shown) return false;
            }
            return Bar(text) != nullptr;
        });
        if (settled) return ::testing::AssertionSuccess();
        std::string marked;
        for (const auto& bar : VisibleBars())
            if (Marked(bar.first)) marked += " " + drv::Utf8(bar.second);
        return ::testing::AssertionFailure()
               << drv::Utf8(text) << " is not the one bar marked in view; marked:" << marked;
    }

    // Opens the task dialog of the selected task by `act`, checks whose it
    // is and closes it.
    void ExpectEditing(const std::wstring& description) {
        HWND dialog = ProgramWindow(L"Modifica Task");
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        HWND field = drv::FindDescendant(dialog, -1, L"Edit");
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(drv::Text(field), description);
        CloseDialog(dialog);
    }

    // Presses the keys with the main window in front.
    void Keys(WORD key, unsigned modifiers = drv::kNone) {
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        drv::Press(key, modifiers);
    }

    // Closes a window of the program's own and waits for the main window to
    // be usable again.
    void CloseDialog(HWND dialog) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    }
};

TEST_F(DesktopTest, FileShortcutsActOnlyWithoutADialogOpen) {
    // Ctrl+O asks for a project to open.
    Keys('O', drv::kCtrl);
    ASSERT_TRUE(drv::CancelFileDialog(app.Id(), L"Apri")) << drv::LastErrorUtf8();

    // Ctrl+N opens the new-project dialog; while it is open no shortcut of
    // the main window does anything.
    Keys('N', drv::kCtrl);
    HWND dialog = ProgramWindow(L"Nuovo");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    ASSERT_TRUE(drv::WaitUntil([&] { return !drv::Enabled(main); }));
    drv::Press('O', drv::kCtrl);
    drv::Press('P', drv::kCtrl);
    drv::Press(VK_F4, drv::kAlt);  // closes the dialog itself, not the program
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
    EXPECT_EQ(drv::WaitTopWindow(app.Id(), L"#32770", nullptr, 1000), nullptr) << drv::DescribeWindows(app.Id());
    EXPECT_EQ(ProgramWindow(L"Stampa", 300), nullptr);

    // A new project: Ctrl+S asks for its name, as "&Salva" does.
    Keys('N', drv::kCtrl);
    dialog = ProgramWindow(L"Nuovo");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(drv::Activate(dialog));
    drv::Type(L"Prova\n");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    Keys('S', drv::kCtrl);
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"prova.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"prova.vmo")));

    // Ctrl+Maiusc+S saves under a new name; Ctrl+P asks what to print.
    Keys('S', drv::kCtrl | drv::kShift);
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"copia.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"copia.vmo")));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"copia.vmo")), drv::ReadFileBytes(Path(L"prova.vmo")));
    Keys('P', drv::kCtrl);
    HWND print = ProgramWindow(L"Stampa");
    ASSERT_NE(print, nullptr) << drv::DescribeWindows(app.Id());
    CloseDialog(print);

    // Alt+F4 asks before leaving, as ever.
    Keys(VK_F4, drv::kAlt);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Uscita", IDNO)) << drv::LastErrorUtf8();
    EXPECT_TRUE(app.Running());
}

// "&Progetto" holds the toolbar's project commands, grayed until there is a
// project; each opens its dialog from the menu and from its shortcut.
TEST_F(DesktopTest, ProjectMenuAndItsShortcutsOpenTheProjectDialogs) {
    ASSERT_TRUE(drv::OpenMenu(app.Id(), L'P')) << drv::LastErrorUtf8();
    apptest::Shot(L"menu_progetto_grigio");
    drv::Press(VK_RETURN);
    ASSERT_TRUE(drv::WaitUntil([&] { return !drv::MenuOpen(app.Id()); }));
    Keys(VK_F9);
    EXPECT_EQ(ProgramWindow(L"Conto Economico", 500), nullptr) << "no project yet: nothing to report";

    ASSERT_TRUE(drv::WriteFileBytes(Path(L"cantiere.vmo"), kSiteProject));
    Open(Path(L"cantiere.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"cantiere.vmo")));
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::OpenMenu(app.Id(), L'F'));
    apptest::Shot(L"menu_file");
    ASSERT_TRUE(drv::CloseMenus(app.Id()));
    ASSERT_TRUE(drv::OpenMenu(app.Id(), L'P'));
    apptest::Shot(L"menu_progetto");
    ASSERT_TRUE(drv::CloseMenus(app.Id()));
    const apptest::DialogKeys* commands = apptest::kProjectDialogs;
    for (int i = 0; i < static_cast<int>(std::size(apptest::kProjectDialogs)); ++i) {
        SCOPED_TRACE(drv::Utf8(commands[i].title));
        ASSERT_TRUE(drv::Activate(main));
        ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'P', i)) << drv::LastErrorUtf8();
        HWND dialog = ProgramWindow(commands[i].title);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        CloseDialog(dialog);
        Keys(commands[i].key, commands[i].modifiers);
        dialog = ProgramWindow(commands[i].title);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        CloseDialog(dialog);
    }
}

// A click selects a bar with a mark that shows on every colour; the arrows
// move it, Invio and a double click edit, Canc deletes with the question,
// and a right click selects as well.
TEST_F(DesktopTest, ATaskIsChosenWithTheMouseAndTheKeyboard) {
    OpenProject(L"colori.vmo", kColoursProject);
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Ciano") != nullptr; }));
    drv::ClickAt(Bar(L"Bianco"), POINT{8, 12});
    EXPECT_TRUE(OnlySelected(L"Bianco"));
    apptest::Shot(L"selezione_bianco");
    const wchar_t* const order[] = {L"Rosso", L"Verde", L"Blu", L"Ciano"};
    for (const wchar_t* next : order) {
        Keys(VK_DOWN);
        EXPECT_TRUE(OnlySelected(next));
        apptest::Shot((std::wstring(L"selezione_") + next).c_str());
    }
    Keys(VK_DOWN);  // the last stays selected
    EXPECT_TRUE(OnlySelected(L"Ciano"));
    Keys(VK_UP);
    EXPECT_TRUE(OnlySelected(L"Blu"));

    Keys(VK_RETURN);
    ExpectEditing(L"Blu");
    drv::DoubleClick(drv::ToScreen(Bar(L"Rosso"), POINT{8, 12}));
    ExpectEditing(L"Rosso");
    EXPECT_TRUE(OnlySelected(L"Rosso"));

    // Canc asks first; No keeps the task, Yes deletes it and the task that
    // takes its place is selected.
    Keys(VK_DELETE);
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Cancellazione", IDNO, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, L"Si desidera realmente cancellare il task ROSSO?");
    ASSERT_NE(Bar(L"Rosso"), nullptr);
    Keys(VK_DELETE);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Cancellazione", IDYES)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Rosso") == nullptr; }));
    EXPECT_TRUE(OnlySelected(L"Verde"));

    // The right click's menu works as before and selects its bar too.
    drv::ClickAt(Bar(L"Ciano"), POINT{8, 12}, drv::Button::Right);
    ASSERT_NE(drv::WaitMenu(app.Id()), nullptr);
    ASSERT_TRUE(drv::CloseMenus(app.Id()));
    EXPECT_TRUE(OnlySelected(L"Ciano"));
}

// The title bar names the project's file after the program's title, and
// marks unsaved changes until they are saved.
TEST_F(DesktopTest, TheTitleNamesTheFileAndMarksUnsavedChanges) {
    const std::wstring title = apptest::kTitle;
    EXPECT_EQ(drv::Text(main), title);
    OpenProject(L"cantiere.vmo", kSiteProject);
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::Text(main) == title + L" - cantiere.vmo"; })) << drv::Utf8(drv::Text(main));
    drv::ClickAt(Bar(L"Muri"), POINT{8, 12});
    Keys(VK_DELETE);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Cancellazione", IDYES)) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::Text(main) == title + L" - cantiere.vmo *"; }))
        << drv::Utf8(drv::Text(main));
    Keys('S', drv::kCtrl);
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::Text(main) == title + L" - cantiere.vmo"; })) << drv::Utf8(drv::Text(main));
}

// Resting the mouse on a bar tells its task in full, however short the bar:
// the description, the span, the working days, the resources and the cost
// as the cost report counts them; and that the bar can be dragged.
TEST_F(DesktopTest, ABarTellsItsTaskWhenTheMouseRestsOnIt) {
    OpenProject(L"cantiere.vmo", kSiteProject);
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Scavo") != nullptr; }));
    const RECT panel = drv::ScreenRect(Panel());
    const POINT away{panel.right - 20, panel.bottom - 20};
    EXPECT_EQ(drv::TooltipAt(app.Id(), away, drv::ToScreen(Bar(L"Ponteggio"), POINT{10, 12})),
              L"Ponteggio\r\ndal 05/03/2024 al 08/03/2024, 4 giorni lavorativi, 2 risorse, costo 1.204\r\n"
              L"Trascinare per spostare");
    // One day, narrower than its name.
    EXPECT_EQ(drv::TooltipAt(app.Id(), away, drv::ToScreen(Bar(L"Scavo"), POINT{10, 12})),
              L"Scavo\r\ndal 04/03/2024 al 04/03/2024, 1 giorno lavorativo, 3 risorse, costo 300\r\n"
              L"Trascinare per spostare");
    apptest::Shot(L"barra_corta");
}

// The arrows bring the selected task into view, and the mark follows the
// task from bar window to bar window as the chart scrolls.
TEST_F(DesktopTest, TheArrowsScrollTheSelectedTaskIntoView) {
    OpenProject(L"molte.vmo", ManyTasks(120));
    HWND panel = Panel();
    ASSERT_TRUE(drv::WaitUntil([&] { return (GetWindowLongW(panel, GWL_STYLE) & WS_VSCROLL) != 0; }));
    drv::ClickAt(Bar(L"Attivita 1"), POINT{4, 12});
    EXPECT_TRUE(OnlySelected(L"Attivita 1"));
    for (int i = 0; i < 60; ++i) drv::Press(VK_DOWN);
    EXPECT_TRUE(OnlySelected(L"Attivita 61"));
    for (int i = 0; i < 59; ++i) drv::Press(VK_UP);
    EXPECT_TRUE(OnlySelected(L"Attivita 2"));
}

// The title and the ruler stay at the top while the rows scroll under them;
// Home, End, PagSu and PagGiù move the selection to the first task, the
// last, and a page of rows up or down, always into view; a task changed
// with its dialog stays selected and in view.
TEST_F(DesktopTest, TheRulerStaysAndTheSelectionMovesByPagesIntoView) {
    OpenProject(L"molte.vmo", ManyTasks(120));
    HWND panel = Panel();
    ASSERT_TRUE(drv::WaitUntil([&] { return (GetWindowLongW(panel, GWL_STYLE) & WS_VSCROLL) != 0; }));
    ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Attivita 1") != nullptr; }));
    // The title and the ruler: the panel's shown children that are no bar.
    std::vector<std::pair<HWND, RECT>> header;
    for (HWND child : drv::Descendants(panel)) {
        if (GetParent(child) != panel || !drv::Visible(child)) continue;
        const RECT place = drv::ScreenRect(child);
        if (place.bottom - place.top != 25) header.emplace_back(child, place);
    }
    ASSERT_EQ(header.size(), 2u) << "the title and the ruler";
    auto headerStayed = [&] {
        for (const auto& [window, place] : header)
            if (drv::ScreenRect(window).top != place.top || !drv::Visible(window)) return false;
        return true;
    };
    // The rows a page holds: those wholly in view under the ruler.
    const RECT view = drv::ClientScreenRect(panel);
    int page = 0;
    for (const auto& bar : VisibleBars()) page += drv::ScreenRect(bar.first).bottom <= view.bottom;
    ASSERT_GT(page, 3);

    drv::ClickAt(Bar(L"Attivita 1"), POINT{4, 12});
    Keys(VK_END);
    EXPECT_TRUE(OnlySelected(L"Attivita 120"));
    EXPECT_TRUE(headerStayed());
    apptest::Shot(L"righello_fermo");
    Keys(VK_HOME);
    EXPECT_TRUE(OnlySelected(L"Attivita 1"));
    Keys(VK_NEXT);
    EXPECT_TRUE(OnlySelected(L"Attivita " + std::to_wstring(1 + page)));
    Keys(VK_NEXT);
    EXPECT_TRUE(OnlySelected(L"Attivita " + std::to_wstring(1 + 2 * page)));
    Keys(VK_PRIOR);
    EXPECT_TRUE(OnlySelected(L"Attivita " + std::to_wstring(1 + page)));
    EXPECT_TRUE(headerStayed());

    // Confirmed in its dialog (an OK is a change, and the chart is built
    // anew), the task stays selected and in view.
    Keys(VK_END);
    ASSERT_TRUE(OnlySelected(L"Attivita 120"));
    Keys(VK_RETURN);
    HWND dialog = ProgramWindow(L"Modifica Task");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    HWND ok = drv::FindDescendantByText(dialog, L"Button", L"OK");
    ASSERT_NE(ok, nullptr);
    PostMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    EXPECT_TRUE(OnlySelected(L"Attivita 120"));
    EXPECT_TRUE(headerStayed());
}

// The last four projects opened or saved, newest first, numbered in "&File"
// and kept for the next run; one whose file has gone gives the read error
// and leaves the list.
TEST_F(DesktopTest, RecentFilesLastAcrossRunsAndLoseFilesThatHaveGone) {
    for (const wchar_t* name : {L"a.vmo", L"b.vmo", L"c.vmo", L"d.vmo"}) OpenProject(name, kSiteProject);
    Keys('S', drv::kCtrl | drv::kShift);
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"e & f.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"e & f.vmo")));
    ASSERT_TRUE(drv::OpenMenu(app.Id(), L'F'));
    apptest::Shot(L"menu_file_recenti");
    ASSERT_TRUE(drv::CloseMenus(app.Id()));
    Keys(VK_F4, drv::kAlt);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Uscita", IDYES)) << drv::LastErrorUtf8();
    ASSERT_TRUE(app.WaitForExit()) << drv::LastErrorUtf8();

    StartProgram(L"");
    auto stored = [] {
        std::vector<std::wstring> paths;
        for (const wchar_t* name : {L"RecentFile1", L"RecentFile2", L"RecentFile3", L"RecentFile4"}) {
            wchar_t value[MAX_PATH] = {};
            DWORD size = sizeof value;
            if (RegGetValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) ==
                ERROR_SUCCESS)
                paths.push_back(value);
        }
        return paths;
    };
    EXPECT_EQ(stored(),
              (std::vector<std::wstring>{Path(L"e & f.vmo"), Path(L"d.vmo"), Path(L"c.vmo"), Path(L"b.vmo")}));
    // "&4" opens b.vmo, which comes first.
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'4')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"b.vmo")));
    // d.vmo, now third, is gone: the error, and the list goes without it.
    ASSERT_TRUE(DeleteFileW(Path(L"d.vmo").c_str()));
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'3')) << drv::LastErrorUtf8();
    EXPECT_EQ(AnswerError(), L"Errore durante la lettura.");
    EXPECT_EQ(drv::StatusBarText(status), Path(L"b.vmo"));
    EXPECT_EQ(stored(), (std::vector<std::wstring>{Path(L"b.vmo"), Path(L"e & f.vmo"), Path(L"c.vmo")}));
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'3')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"c.vmo")));
}

// Size, place and the maximised state are taken up by the next run; a
// place on no monitor gives the default one.
TEST_F(DesktopTest, TheWindowComesBackWhereItWas) {
    auto exitProgram = [&] {
        Keys(VK_F4, drv::kAlt);
        ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Uscita", IDYES)) << drv::LastErrorUtf8();
        ASSERT_TRUE(app.WaitForExit()) << drv::LastErrorUtf8();
    };
    auto placedAt = [&](const RECT& expected) {
        const RECT now = drv::ScreenRect(main);
        return EqualRect(&expected, &now) != FALSE;
    };
    const RECT moved{120, 90, 1020, 690};
    SetWindowPos(main, nullptr, moved.left, moved.top, 900, 600, SWP_NOZORDER);
    ASSERT_TRUE(drv::WaitUntil([&] { return placedAt(moved); }));
    exitProgram();
    StartProgram(L"");
    EXPECT_TRUE(placedAt(moved));
    EXPECT_FALSE(IsZoomed(main));

    PostMessageW(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_TRUE(drv::WaitUntil([&] { return IsZoomed(main) != FALSE; }));
    exitProgram();
    StartProgram(L"");
    EXPECT_TRUE(IsZoomed(main));
    PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(drv::WaitUntil([&] { return placedAt(moved); })) << "restored to its place";
    app.Kill();

    // A place left by a larger screen, far to the right and below.
    const DWORD beyond = 5000;
    RegSetKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, L"WindowLeft", REG_DWORD, &beyond, sizeof beyond);
    RegSetKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, L"WindowTop", REG_DWORD, &beyond, sizeof beyond);
    StartProgram(L"");
    const SIZE screen = drv::ScreenSize();
    EXPECT_TRUE(placedAt(RECT{0, 0, screen.cx * 9 / 10, screen.cy * 9 / 10}));
    EXPECT_FALSE(IsZoomed(main));
}

// The chart as PNG: the bitmap stays the default, and the picture holds
// exactly the bitmap's pixels; a name without an extension takes the
// format and the extension of the chosen filter, with the question before
// replacing a file of that name. Failures are told as for the bitmap.
TEST_F(DesktopTest, ThePngPictureHoldsTheBitmapsPixels) {
    OpenProject(L"cantiere.vmo", kSiteProject);
    auto exportAs = [&](const std::wstring& path, int filter) {
        const auto [dialog, types] = ExportDialog();
        ASSERT_NE(types, nullptr) << drv::LastErrorUtf8();
        EXPECT_EQ(drv::ComboBoxItems(types),
                  (std::vector<std::wstring>{L"File Bitmap (*.bmp)", L"Immagine PNG (*.png)", L"Tabella CSV (*.csv)",
                                             L"XML di Microsoft Project (*.xml)"}));
        EXPECT_EQ(drv::ComboBoxSelection(types), 0);
        if (filter != 0) PickFileType(dialog, types, filter);
        ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", path).ok) << drv::LastErrorUtf8();
    };
    exportAs(Path(L"grafico.bmp"), 0);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    exportAs(Path(L"grafico.png"), 0);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    exportAs(Path(L"senza"), 1);
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
    EXPECT_EQ(GetFileAttributesW(Path(L"senza").c_str()), INVALID_FILE_ATTRIBUTES) << "written without its extension";
    const std::string firstPng = drv::ReadFileBytes(Path(L"senza.png"));
    exportAs(Path(L"senza"), 1);
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDNO, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, Path(L"senza.png") + L" esiste già.\nSovrascriverlo?");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"senza.png")), firstPng);

    const drv::Image bitmap = drv::LoadBmp(Path(L"grafico.bmp"));
    ASSERT_FALSE(bitmap.Empty()) << drv::LastErrorUtf8();
    for (const wchar_t* name : {L"grafico.png", L"senza.png"}) {
        SCOPED_TRACE(drv::Utf8(name));
        EXPECT_EQ(drv::ReadFileBytes(Path(name)).substr(0, 8), "\x89PNG\r\n\x1a\n");
        const drv::Image png = drv::LoadPng(Path(name));
        ASSERT_FALSE(png.Empty()) << drv::LastErrorUtf8();
        EXPECT_EQ(png.width, bitmap.width);
        EXPECT_EQ(png.height, bitmap.height);
        EXPECT_TRUE(png.pixels == bitmap.pixels) << "the PNG's pixels differ from the bitmap's";
    }

    // A read-only file keeps its content, and the bitmap's message says so.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"fisso.png"), "altro"));
    ASSERT_TRUE(SetFileAttributesW(Path(L"fisso.png").c_str(), FILE_ATTRIBUTE_READONLY));
    exportAs(Path(L"fisso.png"), 1);
    EXPECT_EQ(AnswerError(), L"Errore durante la scrittura del file bitmap.");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"fisso.png")), "altro");
    SetFileAttributesW(Path(L"fisso.png").c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
