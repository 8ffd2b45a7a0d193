// The program in the user's high-contrast mode: the chart takes the system's
// colours (its background, title, calendar, bars' outlines and texts, the
// selection) when the mode is switched on while it runs and when it starts
// in it, and the exported picture stays byte for byte the one of the normal
// mode. Screenshots of the chart and of the dialogs are saved for a person
// to look at when VELMORA_SHOTS names a folder.
//
// High contrast is the user's setting (the registry value the platform keeps
// it in, and a colour scheme), so the tests run in a Wine prefix of their own
// (see own-prefix.sh).
#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using apptest::kSiteProject;

const wchar_t* const ContrastKey = L"Control Panel\\Accessibility\\HighContrast";

// The high-contrast scheme with white text on black.
struct SchemeColour {
    int element;
    COLORREF colour;
};
const SchemeColour kBlackScheme[] = {
    {COLOR_WINDOW, RGB(0, 0, 0)},
    {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
    {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
    {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},
    {COLOR_BTNFACE, RGB(0, 0, 0)},
    {COLOR_BTNTEXT, RGB(255, 255, 255)},
    {COLOR_GRAYTEXT, RGB(63, 242, 63)},
    {COLOR_HOTLIGHT, RGB(255, 255, 0)},
    {COLOR_MENU, RGB(0, 0, 0)},
    {COLOR_MENUTEXT, RGB(255, 255, 255)},
    {COLOR_APPWORKSPACE, RGB(0, 0, 0)},
    {COLOR_WINDOWFRAME, RGB(255, 255, 255)},
    {COLOR_3DLIGHT, RGB(255, 255, 255)},
    {COLOR_3DHILIGHT, RGB(255, 255, 255)},
    {COLOR_3DSHADOW, RGB(255, 255, 255)},
    {COLOR_3DDKSHADOW, RGB(255, 255, 255)},
    {COLOR_INFOBK, RGB(0, 0, 0)},
    {COLOR_INFOTEXT, RGB(255, 255, 255)},
    {COLOR_ACTIVECAPTION, RGB(0, 0, 128)},
    {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
    {COLOR_MENUBAR, RGB(0, 0, 0)},
    {COLOR_MENUHILIGHT, RGB(26, 235, 255)},
};

class ContrastTest : public apptest::ProgramFixture {
protected:
    void SetUp() override {
        SwitchContrast(false);
        MakeFolder();
        ASSERT_TRUE(drv::WriteFileBytes(Path(L"cantiere.vmo"), kSiteProject));
    }

    void TearDown() override {
        SwitchContrast(false);
        ProgramFixture::TearDown();
    }

    // The user's setting, as the platform keeps it; running programs hear
    // that a setting changed.
    static void SwitchContrast(bool on) {
        const wchar_t* flags = on ? L"127" : L"126";
        RegSetKeyValueW(HKEY_CURRENT_USER, ContrastKey, L"Flags", REG_SZ, flags,
                        static_cast<DWORD>((wcslen(flags) + 1) * sizeof(wchar_t)));
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_ABORTIFHUNG, 5000, &answer);
    }

    void StartWithSite() {
        ForgetDesktopSettings();
        StartProgram(L"\"" + Path(L"cantiere.vmo") + L"\"");
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"cantiere.vmo")));
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitUntil([&] { return Bar(L"Muri") != nullptr; })) << drv::DescribeWindows(app.Id());
    }
    static void ForgetDesktopSettings() { apptest::ForgetDesktopSettings(); }

    HWND Chart() const { return apptest::ChartPanel(main); }
    HWND Bar(const std::wstring& text) const {
        for (HWND child : drv::Descendants(Chart()))
            if (GetParent(child) == Chart() && drv::Visible(child) && drv::Text(child) == text) return child;
        return nullptr;
    }
    HWND Ruler() const {
        for (HWND child : drv::Descendants(Chart()))
            if (drv::ReadAccessible(child).name == L"Calendario") return child;
        return nullptr;
    }
    // The calendar where the chart shows it, as the screen shows it.
    drv::Image Calendar() const {
        HWND ruler = Ruler();
        RECT shown{};
        const RECT rulerPlace = drv::ScreenRect(ruler), chartClient = drv::ClientScreenRect(Chart());
        if (ruler == nullptr || !IntersectRect(&shown, &rulerPlace, &chartClient)) return drv::Image{};
        return drv::CaptureScreen(shown);
    }
    // The chart's background, read in its bottom right corner below the bars.
    COLORREF Background() const {
        const RECT client = drv::ClientScreenRect(Chart());
        return drv::ScreenPixel(POINT{client.right - 5, client.bottom - 5});
    }

    // The chart exported as a picture by the menu, its bytes.
    std::string Export(const wchar_t* name) {
        EXPECT_TRUE(drv::Activate(main));
        EXPECT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', 4)) << drv::LastErrorUtf8();
        EXPECT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(name)).ok) << drv::LastErrorUtf8();
        EXPECT_TRUE(drv::AnswerMessageBox(app.Id(), L"Esporta", IDOK)) << drv::LastErrorUtf8();
        return drv::ReadFileBytes(Path(name));
    }

    // A dialog opened by its key, shot, and closed by Escape.
    void ShootDialog(WORD key, unsigned modifiers, const wchar_t* title, const wchar_t* shot) {
        ASSERT_TRUE(drv::Activate(main));
        drv::Press(key, modifiers);
        HWND dialog = ProgramWindow(title);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        apptest::Shot(shot);
        drv::Escape();
        ASSERT_TRUE(drv::WaitWindowGone(dialog));
    }
};

// Switched on while the program runs, high contrast gives the chart the
// system's colours, the non-working days keep their hatch, and the picture
// exported is the normal one, byte for byte; switched off, the chart's own
// colours come back.
TEST_F(ContrastTest, TheChartFollowsTheModeSwitchedWhileItRuns) {
    StartWithSite();
    drv::Press(VK_DOWN);  // Ponteggio selected
    EXPECT_TRUE(drv::WaitUntil([&] { return Background() == RGB(0xC0, 0xC0, 0xC0); }));
    // The non-working days red, and hatched in a darker red.
    const drv::Image calendar = Calendar();
    EXPECT_GT(calendar.Count(RGB(255, 0, 0)), 100u);
    EXPECT_GT(calendar.Count(RGB(96, 0, 0)), 20u);
    apptest::Shot(L"contrasto_spento");
    const std::string normal = Export(L"normale.bmp");
    ASSERT_EQ(normal.substr(0, 2), "BM");

    SwitchContrast(true);
    EXPECT_TRUE(drv::WaitUntil([&] { return Background() == GetSysColor(COLOR_WINDOW); })) << std::hex << Background();
    // The bars outlined in the text's colour, keeping their own inside.
    HWND bar = Bar(L"Muri");
    ASSERT_NE(bar, nullptr);
    const RECT place = drv::ScreenRect(bar);
    EXPECT_EQ(drv::ScreenPixel(POINT{place.left + 6, place.bottom - 1}), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(drv::ScreenPixel(POINT{place.left + 6, place.top + 3}), RGB(0x1E, 0xE7, 0x0F)) << "Muri's green";
    apptest::Shot(L"contrasto_acceso_in_corsa");
    EXPECT_EQ(Export(L"contrasto.bmp"), normal) << "the picture keeps its colours";

    SwitchContrast(false);
    EXPECT_TRUE(drv::WaitUntil([&] { return Background() == RGB(0xC0, 0xC0, 0xC0); }));
}

// Started in high contrast with white on black: the chart, its calendar and
// its selection in those colours (no red, no yellow left), the bars' texts
// on plates of the window's colour; the picture exported is the normal
// one. The dialogs are shot for a person to look at.
TEST_F(ContrastTest, StartedInTheModeTheChartIsInTheSystemsColours) {
    StartWithSite();
    const std::string normal = Export(L"normale.bmp");
    app.Kill();

    std::vector<int> elements;
    std::vector<COLORREF> colours;
    for (const SchemeColour& each : kBlackScheme) {
        elements.push_back(each.element);
        colours.push_back(each.colour);
    }
    ASSERT_TRUE(SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data()));
    // As the platform does in high contrast, no visual style: the controls
    // drawn in the scheme's colours.
    const wchar_t* off = L"0";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", L"ThemeActive",
                    REG_SZ, off, 2 * sizeof(wchar_t));
    SwitchContrast(true);
    StartWithSite();
    drv::Press(VK_DOWN);
    EXPECT_TRUE(drv::WaitUntil([&] { return Background() == RGB(0, 0, 0); })) << std::hex << Background();

    // The calendar, where the chart shows it: black and white only.
    const drv::Image calendar = Calendar();
    ASSERT_FALSE(calendar.Empty());
    const std::size_t all = calendar.pixels.size();
    const std::size_t black = calendar.Count(RGB(0, 0, 0)), white = calendar.Count(RGB(255, 255, 255));
    EXPECT_EQ(calendar.Count(RGB(255, 0, 0)) + calendar.Count(RGB(255, 255, 0)), 0u) << "no red, no yellow";
    EXPECT_GE(black + white, all * 95 / 100) << "smoothed text aside, only the two colours";
    // The selected bar: its text on a plate of the selection's colour.
    HWND bar = Bar(L"Ponteggio");
    ASSERT_NE(bar, nullptr);
    EXPECT_GT(drv::CaptureWindow(bar).Count(RGB(26, 235, 255)), 20u);
    apptest::Shot(L"contrasto_acceso");
    // The keyboard on the chart: its focus shown on the selected bar, and
    // the task's row in the table still in the selection's colour, not in
    // the black that the list gives a selection it does not have the
    // keyboard for.
    drv::Press(VK_F6);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == Chart(); }));
    HWND table = drv::FindDescendant(main, IDC_TASK_TABLE);
    ASSERT_NE(table, nullptr);
    const RECT list = drv::ClientScreenRect(table);
    EXPECT_TRUE(drv::WaitUntil([&] {
        // A row's width of it, a dozen pixels high at least.
        return drv::CaptureScreen(list).Count(RGB(26, 235, 255)) > static_cast<std::size_t>(list.right - list.left) * 12;
    })) << "the selected row shows the selection's colour";
    apptest::Shot(L"contrasto_fuoco_sul_diagramma");

    EXPECT_EQ(Export(L"contrasto.bmp"), normal) << "the picture keeps its colours";

    ShootDialog(VK_INSERT, drv::kNone, L"Nuovo Task", L"contrasto_nuovo_task");
    ShootDialog(VK_RETURN, drv::kAlt, L"Modifica", L"contrasto_progetto");
    ShootDialog('E', drv::kCtrl, L"Elenco Giorni da escludere come lavorativi", L"contrasto_giorni");
    ShootDialog(VK_F9, drv::kNone, L"Conto Economico", L"contrasto_conto");
    ShootDialog(VK_F9, drv::kShift, L"Flusso di cassa mensile", L"contrasto_flusso");
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'?', L'I')) << drv::LastErrorUtf8();
    HWND about = ProgramWindow(L"Info...");
    ASSERT_NE(about, nullptr);
    apptest::Shot(L"contrasto_info");
    drv::Escape();
    ASSERT_TRUE(drv::WaitWindowGone(about));
}

}  // namespace
