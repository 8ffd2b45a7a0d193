// What a Windows user reaches for without thinking, tried on the real
// program from outside: the keyboard shortcuts, the "&Progetto" menu,
// choosing a task on the chart, the recent files, the window's place and
// the picture exported as PNG.
#include "Driver.h"
#include "ProgramFixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A project of 26 days with three tasks: red, blue and green bars.
const char* const kSiteProject =
    "#VELMORA\r\nCantiere Via Roma\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\n"
    "Ponteggio\r\n05/03/2024\r\n08/03/2024\r\n255\r\n2\r\n150.5\r\n"
    "Scavo\r\n04/03/2024\r\n04/03/2024\r\n16711680\r\n3\r\n100\r\n"
    "Muri\r\n11/03/2024\r\n22/03/2024\r\n1042206\r\n4\r\n120\r\n";

class DesktopTest : public apptest::ProgramFixture {
protected:
    // A window of the program's own (not a common dialog) with this title.
    HWND ProgramWindow(const wchar_t* title, DWORD timeoutMs = drv::kTimeout) {
        HWND found = nullptr;
        drv::WaitUntil(
            [&] {
                for (HWND window : drv::TopWindows(app.Id()))
                    if (drv::Text(window) == title && drv::ClassOf(window) != L"#32770") found = window;
                return found != nullptr;
            },
            timeoutMs);
        return found;
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
    drv::Press(VK_RIGHT);
    apptest::Shot(L"menu_progetto");
    ASSERT_TRUE(drv::CloseMenus(app.Id()));
    struct Command {
        const wchar_t* dialog;
        WORD key;
        unsigned modifiers;
    };
    const Command commands[] = {
        {L"Modifica", VK_RETURN, drv::kAlt},
        {L"Nuovo Task", VK_INSERT, drv::kNone},
        {L"Elenco Giorni da includere come lavorativi", 'I', drv::kCtrl},
        {L"Elenco Giorni da escludere come lavorativi", 'E', drv::kCtrl},
        {L"Conto Economico", VK_F9, drv::kNone},
    };
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(drv::Utf8(commands[i].dialog));
        ASSERT_TRUE(drv::Activate(main));
        ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'P', i)) << drv::LastErrorUtf8();
        HWND dialog = ProgramWindow(commands[i].dialog);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        CloseDialog(dialog);
        Keys(commands[i].key, commands[i].modifiers);
        dialog = ProgramWindow(commands[i].dialog);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        CloseDialog(dialog);
    }
}

}  // namespace
