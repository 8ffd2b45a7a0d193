// The driver working a real program (driver_target.exe) under Wine: menus and
// message boxes by keyboard and mouse, the open and save dialogs, the toolbar
// and status bar read from outside, typed text and screen pixels.
#include "Driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kToolbarId = 200;
constexpr int kStatusId = 201;
constexpr int kNameId = 202;
constexpr int kSwatchId = 203;
constexpr int kColourId = 204;
constexpr int kDaysId = 205;
constexpr int kDateId = 206;
constexpr int kNumberId = 207;
constexpr int kSpinId = 208;
constexpr int kHolidaysId = 209;
constexpr int kShadeId = 210;
constexpr COLORREF kSwatchColour = RGB(0x12, 0x9A, 0x5C);

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of this test's own for the files the dialogs see.
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"velmora_driver_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);

        ASSERT_TRUE(app.Start(drv::ExeFolder() + L"driver_target.exe")) << drv::LastErrorUtf8();
        main = app.WaitWindow(L"VelmoraDriverTarget", L"Bersaglio del driver");
        ASSERT_NE(main, nullptr) << drv::LastErrorUtf8();
        status = drv::WaitDescendant(main, kStatusId, STATUSCLASSNAMEW);
        toolbar = drv::FindDescendant(main, kToolbarId, TOOLBARCLASSNAMEW);
        ASSERT_NE(status, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_NE(toolbar, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_TRUE(drv::WaitStatusBarText(status, L"Pronto")) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
    }

    void TearDown() override {
        if (HasFailure()) {
            const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
            std::printf(
                "%s", drv::FailureReport(app.Id(), L"driver_tests_" + std::wstring(test.begin(), test.end())).c_str());
        }
        app.Kill();
        for (const wchar_t* name : {L"proprietà.txt", L"uscita.txt"}) DeleteFileW((folder + name).c_str());
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring StatusText(int part = 0) { return drv::StatusBarText(status, part); }

    drv::Process app;
    HWND main = nullptr;
    HWND status = nullptr;
    HWND toolbar = nullptr;
    std::wstring folder;
};

TEST_F(DriverTest, MenuItemsChosenByMnemonicAndByArrowKeys) {
    const DWORD pid = app.Id();
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'P')) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Prova scelta")) << drv::LastErrorUtf8();

    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'N')) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Nuovo scelto")) << drv::LastErrorUtf8();

    // Down skips the separator but not the grayed item: four Downs reach "Prova".
    ASSERT_TRUE(drv::ChooseMenuItemAt(pid, L'F', 4)) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Prova scelta")) << drv::LastErrorUtf8();

    // A menu whose mnemonic needs Shift on the keyboard ("?" is Shift+/).
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'?', L'I')) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Informazioni scelte")) << drv::LastErrorUtf8();

    // A menu opened and left with Escape leaves the window working.
    ASSERT_TRUE(drv::OpenMenu(pid, L'F')) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::MenuOpen(pid));
    ASSERT_TRUE(drv::CloseMenus(pid)) << drv::LastErrorUtf8();
    EXPECT_FALSE(drv::MenuOpen(pid));
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'N')) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Nuovo scelto")) << drv::LastErrorUtf8();
}

TEST_F(DriverTest, ExitQuestionAnsweredNoThenYes) {
    const DWORD pid = app.Id();
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'E')) << drv::LastErrorUtf8();
    std::wstring text;
    ASSERT_TRUE(drv::AnswerMessageBox(pid, L"Uscita", IDNO, &text)) << drv::LastErrorUtf8();
    EXPECT_EQ(text, L"Vuoi realmente uscire?");
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Uscita annullata")) << drv::LastErrorUtf8();
    EXPECT_TRUE(app.Running());
    // The box disabled its owner while open; No gives it back.
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    // Second time through the close command (Alt+F4) and a mouse click on "Sì".
    ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
    drv::Press(VK_F4, drv::kAlt);
    HWND box = drv::WaitMessageBox(pid, L"Uscita");
    ASSERT_NE(box, nullptr) << drv::LastErrorUtf8();
    EXPECT_FALSE(drv::Enabled(main));
    EXPECT_EQ(drv::MessageBoxText(box), L"Vuoi realmente uscire?");
    EXPECT_EQ(drv::Text(GetDlgItem(box, IDYES)), L"&Sì");
    EXPECT_EQ(drv::Text(GetDlgItem(box, IDNO)), L"&No");
    ASSERT_TRUE(drv::ClickButton(box, IDYES)) << drv::LastErrorUtf8();
    DWORD code = 1234;
    ASSERT_TRUE(app.WaitForExit(drv::kTimeout, &code)) << drv::LastErrorUtf8();
    EXPECT_EQ(code, 0u);
}

TEST_F(DriverTest, OpenDialogTakesATypedPath) {
    const DWORD pid = app.Id();
    const std::wstring path = folder + L"proprietà.txt";
    ASSERT_TRUE(drv::WriteFileBytes(path, "x"));

    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'A')) << drv::LastErrorUtf8();
    const drv::FileDialogAnswer opened = drv::AnswerFileDialog(pid, L"Apri", path);
    ASSERT_TRUE(opened.ok) << drv::LastErrorUtf8();
    EXPECT_TRUE(opened.question.empty());
    EXPECT_TRUE(drv::WaitStatusBarText(status, path)) << drv::LastErrorUtf8();

    // A missing file: the dialog says so, the driver closes the message and cancels.
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'A')) << drv::LastErrorUtf8();
    const drv::FileDialogAnswer missing = drv::AnswerFileDialog(pid, L"Apri", folder + L"manca.txt");
    EXPECT_FALSE(missing.ok);
    EXPECT_FALSE(missing.question.empty());
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Apertura annullata")) << drv::LastErrorUtf8();

    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'A')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::CancelFileDialog(pid, L"Apri")) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Apertura annullata")) << drv::LastErrorUtf8();
}

TEST_F(DriverTest, SaveDialogOverwriteQuestion) {
    const DWORD pid = app.Id();
    const std::wstring path = folder + L"uscita.txt";
    ASSERT_TRUE(drv::WriteFileBytes(path, "vecchio"));
    HWND name = drv::FindDescendant(main, kNameId, L"Edit");
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(drv::SetText(name, L"nuovo"));

    // Refused: the old file stays.
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'S')) << drv::LastErrorUtf8();
    const drv::FileDialogAnswer refused = drv::AnswerFileDialog(pid, L"Salva con nome", path, false);
    ASSERT_TRUE(refused.ok) << drv::LastErrorUtf8();
    EXPECT_NE(refused.question.find(L"esiste"), std::wstring::npos) << drv::Utf8(refused.question);
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Salvataggio annullato")) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ReadFileBytes(path), "vecchio");

    // Accepted: the file holds the field's text.
    ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'S')) << drv::LastErrorUtf8();
    const drv::FileDialogAnswer accepted = drv::AnswerFileDialog(pid, L"Salva con nome", path, true);
    ASSERT_TRUE(accepted.ok) << drv::LastErrorUtf8();
    EXPECT_EQ(accepted.question, refused.question);
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Salvato in " + path)) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ReadFileBytes(path), "nuovo");
}

TEST_F(DriverTest, ToolbarReadAndPressedFromOutside) {
    const DWORD pid = app.Id();
    const std::vector<drv::ToolbarButton> buttons = drv::ToolbarButtons(toolbar);
    ASSERT_EQ(buttons.size(), 6u) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ToolbarButtonCount(toolbar), 6);
    const int commands[] = {301, 302, 303, 0, 304, 305};
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i].index, static_cast<int>(i));
        EXPECT_EQ(buttons[i].command, commands[i]) << "button " << i;
        EXPECT_EQ(buttons[i].Separator(), i == 3) << "button " << i;
        EXPECT_EQ(buttons[i].Enabled(), i != 2) << "button " << i;
        EXPECT_EQ(buttons[i].Checked(), i == 4) << "button " << i;
    }
    EXPECT_EQ(buttons[0].image, STD_FILENEW);
    EXPECT_EQ(buttons[5].image, STD_HELP);
    EXPECT_EQ(drv::ToolbarState(toolbar, 303) & TBSTATE_ENABLED, 0);
    EXPECT_EQ(drv::ToolbarState(toolbar, 999), -1);
    EXPECT_EQ(drv::ToolbarIndexOf(toolbar, 305), 5);

    // Buttons sit left to right inside the toolbar.
    RECT first{}, second{};
    ASSERT_TRUE(drv::ToolbarButtonRect(toolbar, 0, &first)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::ToolbarButtonRect(toolbar, 1, &second)) << drv::LastErrorUtf8();
    const RECT bar = drv::ScreenRect(toolbar);
    EXPECT_GE(first.left, bar.left);
    EXPECT_LE(first.right, second.left);
    EXPECT_GT(first.bottom, first.top);
    EXPECT_LE(second.bottom, bar.bottom);

    ASSERT_TRUE(drv::ClickToolbarButton(toolbar, 301)) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Comando 301")) << drv::LastErrorUtf8();
    // The check button turns off when clicked.
    ASSERT_TRUE(drv::ClickToolbarButton(toolbar, 304)) << drv::LastErrorUtf8();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Comando 304")) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ToolbarState(toolbar, 304) & TBSTATE_CHECKED, 0);

    EXPECT_EQ(drv::ToolbarTooltip(pid, toolbar, 302), L"Apri un file") << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ToolbarTooltip(pid, toolbar, 303), L"Salva") << drv::LastErrorUtf8();
}

TEST_F(DriverTest, TypedTextWithAccentsReadBack) {
    HWND name = drv::FindDescendant(main, kNameId, L"Edit");
    ASSERT_NE(name, nullptr);
    drv::ClickWindow(name);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == name; })) << drv::DescribeWindows(app.Id());

    drv::Type(L"proprietà");
    std::wstring seen;
    EXPECT_TRUE(drv::WaitUntil([&] { return (seen = drv::Text(name)) == L"proprietà"; })) << drv::Utf8(seen);

    // Keys with modifiers: Shift+Home selects all, typing replaces it; Backspace.
    drv::Press(VK_HOME, drv::kShift);
    drv::Type(L"già è così");
    drv::Press(VK_BACK);
    EXPECT_TRUE(drv::WaitUntil([&] { return (seen = drv::Text(name)) == L"già è cos"; })) << drv::Utf8(seen);
}

TEST_F(DriverTest, ChoiceControlsReadAndWorkedByTabAndKeys) {
    HWND name = drv::FindDescendant(main, kNameId, L"Edit");
    HWND colour = drv::FindDescendant(main, kColourId, L"ComboBox");
    HWND shade = drv::FindDescendant(main, kShadeId, L"ComboBoxEx32");
    HWND days = drv::FindDescendant(main, kDaysId, L"ListBox");
    HWND date = drv::FindDescendant(main, kDateId, L"SysDateTimePick32");
    HWND number = drv::FindDescendant(main, kNumberId, L"Edit");
    HWND spin = drv::FindDescendant(main, kSpinId, L"msctls_updown32");
    HWND holidays = drv::FindDescendantByText(main, L"Button", L"Festi&vi");
    ASSERT_TRUE(name && colour && shade && days && date && number && spin && holidays)
        << drv::DescribeWindows(app.Id());
    EXPECT_EQ(drv::IdOf(holidays), kHolidaysId);

    EXPECT_EQ(drv::ComboBoxItems(colour), (std::vector<std::wstring>{L"Rosso", L"Verde", L"Blu"}));
    EXPECT_EQ(drv::ComboBoxSelection(colour), 0);
    EXPECT_EQ(drv::ComboBoxItems(shade), (std::vector<std::wstring>{L"Giallo", L"Viola"}));
    EXPECT_EQ(drv::ComboBoxSelection(shade), 1);
    EXPECT_EQ(drv::ListBoxItems(days), (std::vector<std::wstring>{L"01/01/2024", L"25/04/2024", L"15/08/2024"}));
    EXPECT_EQ(drv::ListBoxSelection(days), -1);
    SYSTEMTIME day{};
    ASSERT_TRUE(drv::DatePickerDate(date, &day)) << drv::LastErrorUtf8();
    EXPECT_EQ(day.wDay, 15);
    EXPECT_EQ(day.wMonth, 3);
    EXPECT_EQ(day.wYear, 2024);
    EXPECT_EQ(drv::UpDownPosition(spin), 3);
    EXPECT_EQ(drv::Text(number), L"3");
    EXPECT_EQ(drv::ButtonCheck(holidays), BST_UNCHECKED);

    // From the name field, Tab walks the controls; arrow keys change each one.
    drv::ClickWindow(name);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == name; }));
    drv::Tab();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == colour; }));
    drv::Down();
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Colore Verde")) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ComboBoxSelection(colour), 1);
    drv::Tab();  // the extended combo box: its focus sits in a child of it
    ASSERT_TRUE(drv::WaitUntil([&] {
        HWND f = drv::FocusOf(main);
        return f && IsChild(shade, f);
    }));
    drv::Tab();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == days; }));
    drv::Down(2);
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::ListBoxSelection(days) == 1; }));
    drv::Tab();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == date; }));
    // Tab selects no field of the date picker; Right selects the day, the
    // first field of the Italian short date, and Up raises it.
    drv::Press(VK_RIGHT);
    drv::Up();
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::DatePickerDate(date, &day) && day.wDay == 16; }))
        << day.wDay << "/" << day.wMonth << "/" << day.wYear;
    EXPECT_EQ(day.wMonth, 3);
    drv::Tab();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == number; }));
    drv::Up();
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::UpDownPosition(spin) == 4; }));
    drv::Tab();
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == holidays; }));
    drv::Press(VK_SPACE);
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Festivi sì")) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ButtonCheck(holidays), BST_CHECKED);

    // The mouse: the upper arrow of the up-down control, the check box again.
    const RECT arrows = drv::ScreenRect(spin);
    drv::Click(POINT{(arrows.left + arrows.right) / 2, arrows.top + 3});
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::UpDownPosition(spin) == 5; })) << drv::UpDownPosition(spin);
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::Text(number) == L"5"; })) << drv::Utf8(drv::Text(number));
    drv::ClickWindow(holidays);
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Festivi no")) << drv::LastErrorUtf8();
}

TEST_F(DriverTest, PixelsMouseAndScreenshot) {
    HWND swatch = drv::FindDescendant(main, kSwatchId);
    ASSERT_NE(swatch, nullptr);
    const RECT r = drv::ClientScreenRect(swatch);
    const POINT centre = drv::Centre(r);
    ASSERT_TRUE(drv::PointShows(centre, swatch));
    EXPECT_FALSE(drv::PointShows(POINT{r.left - 3, r.top - 3}, swatch));
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::ScreenPixel(centre) == kSwatchColour; }))
        << std::hex << drv::ScreenPixel(centre);

    const drv::Image picture = drv::CaptureWindow(swatch);
    ASSERT_EQ(picture.width, r.right - r.left);
    ASSERT_EQ(picture.height, r.bottom - r.top);
    EXPECT_EQ(picture.Count(kSwatchColour), picture.pixels.size());
    EXPECT_EQ(picture.At(0, 0), kSwatchColour);

    // Mouse clicks land on the exact client point.
    drv::ClickAt(swatch, POINT{10, 20});
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Sinistro 10,20", 1)) << drv::LastErrorUtf8();
    drv::ClickAt(swatch, POINT{150, 99}, drv::Button::Right);
    EXPECT_TRUE(drv::WaitStatusBarText(status, L"Destro 150,99", 1)) << drv::LastErrorUtf8();

    // The screenshot is a BMP of the whole desktop showing the swatch.
    const std::wstring shot = drv::ExeFolder() + L"driver_tests_screen.bmp";
    ASSERT_TRUE(drv::SaveScreenshot(shot)) << drv::LastErrorUtf8();
    const drv::Image screen = drv::LoadBmp(shot);
    ASSERT_FALSE(screen.Empty()) << drv::LastErrorUtf8();
    EXPECT_EQ(screen.width, drv::ScreenSize().cx);
    EXPECT_EQ(screen.height, drv::ScreenSize().cy);
    EXPECT_EQ(screen.At(centre.x, centre.y), kSwatchColour);
    EXPECT_EQ(screen.At(r.left, r.top), kSwatchColour);
    EXPECT_EQ(screen.At(r.right - 1, r.bottom - 1), kSwatchColour);
    EXPECT_NE(screen.At(r.right, r.bottom), kSwatchColour);
}

// The explorer that draws the desktop is no part of the program's job: ending
// the program (its job closed by the next start) leaves it running, and the
// next program comes up on the same desktop.
TEST_F(DriverTest, TheDesktopOutlivesTheProgramsStartedOnIt) {
    DWORD explorer = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &explorer);
    ASSERT_NE(explorer, 0u);
    ASSERT_NE(explorer, app.Id());
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, explorer);
    ASSERT_NE(process, nullptr);
    BOOL inJob = TRUE;
    EXPECT_TRUE(IsProcessInJob(process, nullptr, &inJob));
    EXPECT_FALSE(inJob);

    app.Kill();
    ASSERT_TRUE(app.Start(drv::ExeFolder() + L"driver_target.exe")) << drv::LastErrorUtf8();
    EXPECT_NE(app.WaitWindow(L"VelmoraDriverTarget", L"Bersaglio del driver"), nullptr) << drv::LastErrorUtf8();
    EXPECT_EQ(WaitForSingleObject(process, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(process);
}

// Restores an environment variable of the driver when it goes.
class ScopedVariable {
public:
    explicit ScopedVariable(const wchar_t* name) : name_(name) {
        wchar_t value[512];
        const DWORD n = GetEnvironmentVariableW(name, value, 512);
        had_ = n > 0 && n < 512;
        if (had_) value_ = value;
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, had_ ? value_.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const wchar_t* name_;
    bool had_ = false;
    std::wstring value_;
};

TEST(DriverNames, DesktopFollowsTheDisplayUnlessNamed) {
    ScopedVariable desktop(L"VELMORA_DESKTOP");
    ScopedVariable display(L"DISPLAY");
    SetEnvironmentVariableW(L"VELMORA_DESKTOP", nullptr);
    SetEnvironmentVariableW(L"DISPLAY", L":105");
    EXPECT_EQ(drv::DesktopName(), L"velmora_acc_105");
    SetEnvironmentVariableW(L"DISPLAY", L"localhost:7.0");
    EXPECT_EQ(drv::DesktopName(), L"velmora_acc_7");
    SetEnvironmentVariableW(L"DISPLAY", nullptr);
    EXPECT_EQ(drv::DesktopName(), L"velmora_acc");
    SetEnvironmentVariableW(L"VELMORA_DESKTOP", L"prova");
    EXPECT_EQ(drv::DesktopName(), L"prova");
}

TEST(DriverNames, WinePathOfALinuxFile) {
    EXPECT_EQ(drv::WinePath("/tmp/proprietà/a b.vmo"), L"Z:\\tmp\\proprietà\\a b.vmo");
    EXPECT_EQ(drv::WinePath("/"), L"Z:\\");
}

TEST(DriverBitmap, SavedAndLoadedPixelForPixel) {
    // An odd width makes every row padded; each pixel differs from the others.
    drv::Image image;
    image.width = 7;
    image.height = 3;
    for (int i = 0; i < image.width * image.height; ++i)
        image.pixels.push_back(static_cast<uint32_t>(0x010203 * (i + 1)) & 0xFFFFFF);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = std::wstring(temp) + L"velmora_driver_bitmap.bmp";
    ASSERT_TRUE(drv::SaveBmp(image, path)) << drv::LastErrorUtf8();
    const std::string bytes = drv::ReadFileBytes(path);
    // 54 bytes of headers, then 3 rows of 7 * 3 = 21 bytes padded to 24.
    EXPECT_EQ(bytes.size(), 54u + 3 * 24);
    const drv::Image back = drv::LoadBmp(path);
    EXPECT_EQ(back.width, 7);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.pixels, image.pixels);
    EXPECT_EQ(back.At(0, 0), RGB(0x01, 0x02, 0x03));  // the top-left pixel comes back top-left
    EXPECT_EQ(back.At(7, 0), CLR_INVALID);

    // A file cut short is refused, not read past its end.
    ASSERT_TRUE(drv::WriteFileBytes(path, bytes.substr(0, bytes.size() - 10)));
    EXPECT_TRUE(drv::LoadBmp(path).Empty());
    EXPECT_FALSE(drv::LastError().empty());
    ASSERT_TRUE(drv::WriteFileBytes(path, "BM not a bitmap"));
    EXPECT_TRUE(drv::LoadBmp(path).Empty());
    DeleteFileW(path.c_str());
}

}  // namespace
