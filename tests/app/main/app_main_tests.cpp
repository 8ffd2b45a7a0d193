// The main window worked as a person would: QVVelmora.exe is started on the
// test desktop and driven through its menus, toolbar, file dialogs and message
// boxes; the results are read from outside (status bar, toolbar, the chart's
// windows and their pixels, the saved and exported files).
//
// A second group builds the main window inside the test process, for what
// cannot be reached from outside without the project dialogs: leaving the
// program or ending the session with unsaved changes, windows that cannot
// be made, and saving and opening made to fail from inside.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"
#include "tests/app/main/InProcessMainWindow.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <cwchar>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/dialogs/FormAddTask.h"
#include "app/main/FormMain.h"
#include "app/res/resource.h"
#include "app/dialogs/FormNuovo.h"
#include "file/ProjectFile.h"
#include "model/CostReport.h"
#include "model/Date.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Menu.h"
#include "toolkit/core/NativeCreation.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/Timer.h"
#include "toolkit/widgets/ToolBar.h"

namespace {

using apptest::kTitle;

// A project of 26 days (04/03/2024 to 29/03/2024), Monday to Friday, with
// three tasks that are not in date order and one extra non-working day.
const char* const kSiteProject =
    "#VELMORA\r\nCantiere Via Roma\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\n"
    "Ponteggio\r\n05/03/2024\r\n08/03/2024\r\n255\r\n2\r\n150.5\r\n"
    "Scavo\r\n04/03/2024\r\n04/03/2024\r\n16711680\r\n3\r\n100\r\n"
    "Muri\r\n11/03/2024\r\n22/03/2024\r\n1042206\r\n4\r\n120\r\n"
    "#DAY EXCLUDE\r\n07/03/2024\r\n";

struct ExpectedBar {
    const wchar_t* text;
    int firstColumn;
    int columns;
    COLORREF colour;
};
const ExpectedBar kSiteBars[] = {
    {L"Ponteggio", 1, 4, 0x0000FF},
    {L"Scavo", 0, 1, 0xFF0000},
    {L"Muri", 7, 12, 0x0FE71E},
};
constexpr int kSiteColumns = 26;

// A project whose second date does not exist: not a valid file.
const char* const kBrokenProject =
    "#VELMORA\r\nRotto\r\n31/02/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n";

// Eight thousand years of days: far too wide for one picture.
const char* const kHugeProject =
    "#VELMORA\r\nMillenni\r\n01/01/2000\r\n31/12/9999\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\nTutto\r\n01/01/2000\r\n31/12/9999\r\n255\r\n1\r\n1\r\n";

// A project from 01/03/2024 to `lastDay` with `tasks` tasks "Attivita 1",
// "Attivita 2" ... of five days in March, in the five bar colours in turn;
// written as the program writes it.
const COLORREF kLoadColours[] = {0xFFF300, 0xFFFFFF, 0xFF0000, 0x0000FF, 0x0FE71E};
std::string LoadProject(int tasks, const char* lastDay) {
    std::string text = std::string("#VELMORA\r\nCarico\r\n01/03/2024\r\n") + lastDay +
                       "\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n";
    text.reserve(text.size() + static_cast<size_t>(tasks) * 50);
    for (int i = 0; i < tasks; ++i) {
        char lines[128];
        const int first = 1 + i % 20;
        std::snprintf(lines, sizeof lines, "Attivita %d\r\n%02d/03/2024\r\n%02d/03/2024\r\n%u\r\n2\r\n100\r\n", i + 1,
                      first, first + 4, static_cast<unsigned>(kLoadColours[i % 5]));
        text += lines;
    }
    return text;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A file held open without sharing write or delete access: the program can
// read it but can neither replace nor delete it. (Permissions would not do:
// Wine runs as root here and root writes into read-only folders.)
class FileLock {
public:
    explicit FileLock(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~FileLock() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool Held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

// A 24-bit bottom-up bitmap file, read back top row first.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool ParseBitmap(const std::string& bytes, Bitmap& out) {
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return false;
    auto u32 = [&](size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
    };
    const std::uint32_t offset = u32(10);
    out.width = static_cast<int>(u32(18));
    out.height = static_cast<int>(u32(22));
    out.bitsPerPixel = static_cast<unsigned char>(bytes[28]) | static_cast<unsigned char>(bytes[29]) << 8;
    if (out.bitsPerPixel != 24 || out.width <= 0 || out.height <= 0) return false;
    const size_t row = (static_cast<size_t>(out.width) * 3 + 3) / 4 * 4;
    if (u32(2) != bytes.size() || bytes.size() < offset + row * out.height) return false;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const size_t base = offset + row * static_cast<size_t>(out.height - 1 - y);
        for (int x = 0; x < out.width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + base + x * 3);
            out.pixels[static_cast<size_t>(y) * out.width + x] = RGB(p[2], p[1], p[0]);
        }
    }
    return true;
}

std::wstring Hex(COLORREF colour) {
    wchar_t text[16];
    swprintf(text, 16, L"%06X", static_cast<unsigned>(colour));
    return text;
}

// The chart as the program shows it: the panel, the title cell, the ruler
// and the bars (in the order they were made), with places relative to the
// panel's client area.
struct ChartWindow {
    HWND window = nullptr;
    RECT place{};  // in the chart panel's client coordinates
    bool visible = false;
    std::wstring text;
};
struct Chart {
    HWND panel = nullptr;
    ChartWindow title, ruler;
    std::vector<ChartWindow> bars;
    std::vector<ChartWindow> VisibleBars() const {
        std::vector<ChartWindow> visible;
        for (const ChartWindow& bar : bars)
            if (bar.visible) visible.push_back(bar);
        return visible;
    }
};

int PanelNumber(HWND window) {
    const std::wstring cls = drv::ClassOf(window);
    const std::wstring stem = L"PanelChildren";
    if (cls.compare(0, stem.size(), stem) != 0) return -1;
    return _wtoi(cls.c_str() + stem.size());
}

Chart ReadChart(HWND main) {
    Chart chart;
    chart.panel = apptest::ChartPanel(main);
    if (chart.panel == nullptr) return chart;
    const RECT panelClient = drv::ClientScreenRect(chart.panel);
    std::vector<std::pair<int, ChartWindow>> cells;
    for (HWND child : drv::Descendants(chart.panel)) {
        if (GetParent(child) != chart.panel || PanelNumber(child) < 0) continue;
        if (GetDlgCtrlID(child) == IDC_TODAY_LINE) continue;  // the line that marks today is no bar
        ChartWindow cell;
        cell.window = child;
        const RECT screen = drv::ScreenRect(child);
        cell.place = RECT{screen.left - panelClient.left, screen.top - panelClient.top, screen.right - panelClient.left,
                          screen.bottom - panelClient.top};
        cell.visible = drv::Visible(child);
        cell.text = drv::Text(child);
        cells.emplace_back(PanelNumber(child), cell);
    }
    std::sort(cells.begin(), cells.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (cells.size() >= 2) {
        chart.title = cells[0].second;
        chart.ruler = cells[1].second;
        for (size_t i = 2; i < cells.size(); ++i) chart.bars.push_back(cells[i].second);
    }
    return chart;
}

// The rows of a loaded project (LoadProject) that the chart shows, checked
// as a person would see them: every row in the panel's view has a bar with
// its task's text and colour at the row's place, all at one scroll position.
// Bar windows lie only in and near the view. Answers the first and last row
// shown.
struct RowsShown {
    int first = -1;
    int last = -1;
};
RowsShown CheckRowsInView(HWND main, int tasks) {
    const Chart chart = ReadChart(main);
    const RECT client = drv::ClientScreenRect(chart.panel);
    const int clientHeight = client.bottom - client.top;
    const int firstRowTop = 31 + (chart.ruler.place.bottom - chart.ruler.place.top) + 25;
    std::vector<std::pair<int, ChartWindow>> rows;
    for (const ChartWindow& bar : chart.VisibleBars()) {
        EXPECT_GT(bar.place.top, -100) << "a bar window far above the view";
        EXPECT_LT(bar.place.top, clientHeight + 100) << "a bar window far below the view";
        if (bar.text.rfind(L"Attivita ", 0) == 0) rows.emplace_back(_wtoi(bar.text.c_str() + 9) - 1, bar);
    }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    RowsShown shown;
    if (rows.empty()) {
        ADD_FAILURE() << "no bars shown";
        return shown;
    }
    shown.first = rows.front().first;
    shown.last = rows.back().first;
    const long scroll = firstRowTop + 30L * shown.first - rows.front().second.place.top;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int row = rows[i].first;
        const ChartWindow& bar = rows[i].second;
        SCOPED_TRACE(drv::Utf8(bar.text));
        EXPECT_EQ(row, shown.first + static_cast<int>(i)) << "rows shown one after the other";
        EXPECT_EQ(bar.place.top, firstRowTop + 30L * row - scroll);
        EXPECT_EQ(bar.place.bottom - bar.place.top, 25);
        const POINT corner = drv::ToScreen(bar.window, POINT{2, 2});
        if (bar.place.top >= 0 && bar.place.bottom <= clientHeight && drv::PointShows(corner, bar.window)) {
            EXPECT_TRUE(drv::WaitUntil([&] { return drv::ScreenPixel(corner) == kLoadColours[row % 5]; }))
                << drv::Utf8(Hex(drv::ScreenPixel(corner)));
        }
    }
    // No row of the view is left without its bar: the row before the first
    // shown lies under the title and the ruler, which stay at the top.
    if (shown.first > 0) {
        EXPECT_LE(rows.front().second.place.top - 30 + 25, firstRowTop - (30 - 25) / 2);
    }
    if (shown.last < tasks - 1) {
        EXPECT_GE(rows.back().second.place.top + 30, clientHeight);
    }
    return shown;
}

// Toolbar positions of the buttons (separators included).
enum ToolbarIndex {
    kNew, kOpen, kSep1, kSave, kSep2, kProperties, kAddTask, kIncludeDays, kExcludeDays, kCost, kCashFlow
};

class MainWindowTest : public apptest::ProgramFixture {
protected:
    void OpenSite(const wchar_t* name = L"cantiere.vmo") {
        ASSERT_TRUE(drv::WriteFileBytes(Path(name), kSiteProject));
        Open(Path(name));
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(name))) << drv::Utf8(drv::StatusBarText(status));
    }

    std::vector<bool> ToolbarEnabled() {
        std::vector<bool> states;
        for (const drv::ToolbarButton& button : drv::ToolbarButtons(toolbar)) states.push_back(button.Enabled());
        return states;
    }

    // The chart has the site project's title, ruler and three bars.
    void ExpectSiteChart() {
        const Chart chart = ReadChart(main);
        ASSERT_NE(chart.panel, nullptr) << drv::DescribeWindows(app.Id());
        EXPECT_TRUE(chart.title.visible);
        EXPECT_EQ(chart.title.text, L"Cantiere Via Roma");
        ASSERT_TRUE(chart.ruler.visible);
        const int dayWidth = (drv::ScreenSize().cx * 9 / 10) / kSiteColumns;  // a short span fills the screen
        EXPECT_EQ(chart.ruler.place.left, 0);
        EXPECT_EQ(chart.ruler.place.top, 31);
        EXPECT_EQ(chart.ruler.place.right, kSiteColumns * dayWidth);
        const std::vector<ChartWindow> bars = chart.VisibleBars();
        ASSERT_EQ(bars.size(), 3u);
        int top = chart.ruler.place.bottom + 25;
        for (size_t i = 0; i < bars.size(); ++i) {
            const ExpectedBar& expected = kSiteBars[i];
            SCOPED_TRACE(drv::Utf8(expected.text));
            EXPECT_EQ(bars[i].text, expected.text);
            EXPECT_EQ(bars[i].place.left, expected.firstColumn * dayWidth);
            EXPECT_EQ(bars[i].place.right - bars[i].place.left, expected.columns * dayWidth);
            EXPECT_EQ(bars[i].place.top, top);
            EXPECT_EQ(bars[i].place.bottom - bars[i].place.top, 25);
            const POINT corner = drv::ToScreen(bars[i].window, POINT{2, 2});
            ASSERT_TRUE(drv::WaitUntil([&] { return drv::PointShows(corner, bars[i].window); }));
            EXPECT_TRUE(drv::WaitUntil([&] { return drv::ScreenPixel(corner) == expected.colour; }))
                << "pixel " << drv::Utf8(Hex(drv::ScreenPixel(corner)));
            top += 30;
        }
    }
};

TEST_F(MainWindowTest, StartsWithOnlyNewAndOpenUsable) {
    EXPECT_EQ(drv::Text(main), kTitle);
    const std::vector<drv::ToolbarButton> buttons = drv::ToolbarButtons(toolbar);
    ASSERT_EQ(buttons.size(), 11u);
    EXPECT_TRUE(buttons[kSep1].Separator());
    EXPECT_TRUE(buttons[kSep2].Separator());
    EXPECT_EQ(buttons[kNew].image, 6);
    EXPECT_EQ(buttons[kOpen].image, 7);
    EXPECT_EQ(buttons[kSave].image, 8);
    EXPECT_EQ(buttons[kProperties].image, 10);
    // The program's strip follows the standard images, one picture each.
    EXPECT_GE(buttons[kAddTask].image, 15);
    EXPECT_EQ(buttons[kIncludeDays].image, buttons[kAddTask].image + 1);
    EXPECT_EQ(buttons[kExcludeDays].image, buttons[kAddTask].image + 2);
    EXPECT_EQ(buttons[kCost].image, buttons[kAddTask].image + 3);
    EXPECT_EQ(buttons[kCashFlow].image, buttons[kAddTask].image + TBIMG_CASH_FLOW);
    const std::vector<bool> expected{true, true, true, false, true, false, false, false, false, false, false};
    std::vector<bool> enabled = ToolbarEnabled();
    enabled[kSep1] = enabled[kSep2] = true;
    EXPECT_EQ(enabled, expected);
    EXPECT_EQ(drv::ToolbarTooltip(app.Id(), toolbar, buttons[kProperties].command), L"Cambia proprietà");
    EXPECT_EQ(drv::ToolbarTooltip(app.Id(), toolbar, buttons[kCost].command), L"Calcola il conto economico");
    EXPECT_EQ(drv::ToolbarTooltip(app.Id(), toolbar, buttons[kCashFlow].command), L"Flusso di cassa mensile");

    EXPECT_EQ(drv::StatusBarText(status), L"");
    const Chart chart = ReadChart(main);
    ASSERT_NE(chart.panel, nullptr) << drv::DescribeWindows(app.Id());
    EXPECT_FALSE(chart.title.visible);
    EXPECT_FALSE(chart.ruler.visible);
    EXPECT_TRUE(chart.bars.empty());

    // "Esporta come immagine..." (fifth item, after the grayed "&Salva" and
    // "Sa&lva come...") is grayed: choosing it opens nothing.
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', apptest::kExportItem)) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::WaitTopWindow(app.Id(), L"#32770", L"Salva", 1000), nullptr);
}

// The program started with a file name, as the .vmo file type starts it.
class StartArgumentTest : public MainWindowTest {
protected:
    void SetUp() override { MakeFolder(); }
};

TEST_F(StartArgumentTest, OpensTheProjectNamedFirst) {
    // Quoted, with a space and an accented letter, relative to the working
    // folder; the arguments after it are ignored.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"Via città.vmo"), kSiteProject));
    StartProgram(L"\"Via città.vmo\" altro.vmo /x");
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"Via città.vmo"))) << drv::Utf8(drv::StatusBarText(status));
    ExpectSiteChart();
    // As after "&Apri": nothing to save, the project commands usable.
    const std::vector<bool> expected{true, true, true, false, true, true, true, true, true, true, true};
    std::vector<bool> enabled = ToolbarEnabled();
    enabled[kSep1] = enabled[kSep2] = true;
    EXPECT_EQ(enabled, expected);
}

TEST_F(StartArgumentTest, AMissingOrInvalidFileGetsTheOpenCommandsMessage) {
    StartProgram(L"\"" + Path(L"manca.vmo") + L"\"");
    EXPECT_EQ(AnswerError(), L"Errore durante la lettura.");
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"rotto.vmo"), kBrokenProject));
    StartProgram(Path(L"rotto.vmo"));
    EXPECT_EQ(AnswerError(), L"Formato non valido.");
    // The program goes on with no project, as it starts without a file.
    EXPECT_EQ(drv::StatusBarText(status), L"");
    EXPECT_FALSE(ReadChart(main).title.visible);
    const std::vector<bool> expected{true, true, true, false, true, false, false, false, false, false, false};
    std::vector<bool> enabled = ToolbarEnabled();
    enabled[kSep1] = enabled[kSep2] = true;
    EXPECT_EQ(enabled, expected);
}

TEST_F(MainWindowTest, OpensProjectWithOneBarPerTaskInFileOrder) {
    OpenSite();
    ExpectSiteChart();
    // Loaded and unchanged: nothing to save, the project commands usable.
    const std::vector<bool> expected{true, true, true, false, true, true, true, true, true, true, true};
    std::vector<bool> enabled = ToolbarEnabled();
    enabled[kSep1] = enabled[kSep2] = true;
    EXPECT_EQ(enabled, expected);

    // A smaller project reuses the bars: the extra ones are hidden, not gone.
    const std::string oneTask =
        "#VELMORA\r\nPiccolo\r\n01/04/2024\r\n30/04/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
        "#TASK\r\nUnico\r\n02/04/2024\r\n03/04/2024\r\n16773888\r\n1\r\n10\r\n";
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"piccolo.txt"), oneTask));
    Open(Path(L"piccolo.txt"));
    // An opened file keeps ".vmo" for later saves.
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"piccolo.txt.vmo"))) << drv::Utf8(drv::StatusBarText(status));
    const Chart chart = ReadChart(main);
    EXPECT_EQ(chart.title.text, L"Piccolo");
    EXPECT_EQ(chart.bars.size(), 3u);
    ASSERT_EQ(chart.VisibleBars().size(), 1u);
    const ChartWindow reused = chart.VisibleBars()[0];
    EXPECT_EQ(reused.window, chart.bars[0].window);
    EXPECT_EQ(reused.text, L"Unico");
    const POINT corner = drv::ToScreen(reused.window, POINT{2, 2});
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::PointShows(corner, reused.window); }));
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::ScreenPixel(corner) == 0xFFF300; }))
        << "pixel " << drv::Utf8(Hex(drv::ScreenPixel(corner)));
}

TEST_F(MainWindowTest, FailedLoadsKeepTheOpenProject) {
    OpenSite();

    ASSERT_TRUE(drv::WriteFileBytes(Path(L"rotto.vmo"), kBrokenProject));
    Open(Path(L"rotto.vmo"));
    EXPECT_EQ(AnswerError(), L"Formato non valido.");

    // A file that cannot be read (another program holds it locked).
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"chiuso.vmo"), kSiteProject));
    HANDLE exclusive =
        CreateFileW(Path(L"chiuso.vmo").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    Open(Path(L"chiuso.vmo"));
    EXPECT_EQ(AnswerError(), L"Errore durante la lettura.");
    CloseHandle(exclusive);

    // The chart, the path and the project itself are as before: saved under
    // a new name it is the file that was opened, byte for byte.
    EXPECT_EQ(drv::StatusBarText(status), Path(L"cantiere.vmo"));
    ExpectSiteChart();
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"copia.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"copia.vmo"))) << drv::Utf8(drv::StatusBarText(status));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"copia.vmo")), kSiteProject);
}

TEST_F(MainWindowTest, SaveAsAddsTheExtension) {
    OpenSite();
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    // The dialog proposes the program's default name.
    HWND dialog = drv::WaitTopWindow(app.Id(), L"#32770", L"Salva");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    HWND name = drv::WaitDescendant(dialog, 1148, L"Edit");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(drv::Text(name), L"Velmora.vmo");
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"prova")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"prova.vmo"))) << drv::Utf8(drv::StatusBarText(status));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"prova.vmo")), kSiteProject);
    EXPECT_FALSE(Exists(Path(L"prova")));

    // "prova" again: the dialog saw no file of that name, so the program
    // asks before replacing prova.vmo; No writes nothing.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"prova.vmo"), "altro"));
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"prova")).ok) << drv::LastErrorUtf8();
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDNO, &question)) << drv::LastErrorUtf8();
    EXPECT_NE(question.find(L"prova.vmo esiste già."), std::wstring::npos) << drv::Utf8(question);
    EXPECT_EQ(drv::ReadFileBytes(Path(L"prova.vmo")), "altro");
}

TEST_F(MainWindowTest, ExportsTheChartAsABitmap) {
    OpenSite();
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', apptest::kExportItem)) << drv::LastErrorUtf8();
    HWND dialog = drv::WaitTopWindow(app.Id(), L"#32770", L"Salva");
    ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::Text(drv::WaitDescendant(dialog, 1148, L"Edit")), L"Disegno.bmp");
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"grafico.bmp")).ok) << drv::LastErrorUtf8();
    EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");

    Bitmap picture;
    ASSERT_TRUE(ParseBitmap(drv::ReadFileBytes(Path(L"grafico.bmp")), picture));
    const Chart chart = ReadChart(main);
    const int dayWidth = (chart.ruler.place.right - chart.ruler.place.left) / kSiteColumns;
    const int rulerHeight = chart.ruler.place.bottom - chart.ruler.place.top;
    EXPECT_EQ(picture.width, kSiteColumns * dayWidth);
    EXPECT_EQ(picture.height, 31 + rulerHeight + 25 + 30 * 3 + 30);
    // Title band and background grey, outlined in black.
    EXPECT_EQ(picture.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(picture.At(3, 3), RGB(0xC0, 0xC0, 0xC0));
    // The ruler's picture: the day row of Saturday 9 March (column 5) is red,
    // Monday 4 March (column 0) white.
    const int dayRow = 31 + rulerHeight - 4;
    EXPECT_EQ(picture.At(5 * dayWidth + 3, dayRow), RGB(255, 0, 0));
    EXPECT_EQ(picture.At(3, dayRow), RGB(255, 255, 255));
    // One bar per task, in file order, outlined in black.
    int top = 31 + rulerHeight + 30 - 5;
    for (const ExpectedBar& bar : kSiteBars) {
        SCOPED_TRACE(drv::Utf8(bar.text));
        const int left = bar.firstColumn * dayWidth;
        EXPECT_EQ(picture.At(left + 2, top + 2), bar.colour) << drv::Utf8(Hex(picture.At(left + 2, top + 2)));
        EXPECT_EQ(picture.At(left + bar.columns * dayWidth - 3, top + 22), bar.colour);
        EXPECT_EQ(picture.At(left, top + 10), RGB(0, 0, 0));
        EXPECT_EQ(picture.At(left + 2, top - 2), RGB(0xC0, 0xC0, 0xC0));
        top += 30;
    }

    // A chart too large for one picture: the error, no file, nothing else.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"enorme.vmo"), kHugeProject));
    Open(Path(L"enorme.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"enorme.vmo")));
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', apptest::kExportItem)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"enorme.bmp")).ok) << drv::LastErrorUtf8();
    EXPECT_EQ(AnswerError(), L"Errore durante la scrittura del file bitmap.");
    EXPECT_FALSE(Exists(Path(L"enorme.bmp")));
    EXPECT_EQ(drv::StatusBarText(status), Path(L"enorme.vmo"));
    EXPECT_TRUE(app.Running());
}

TEST_F(MainWindowTest, ExitQuestionNoKeepsTheWindowYesEndsTheProgram) {
    OpenSite();
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'E')) << drv::LastErrorUtf8();
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Uscita", IDNO, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, L"Vuoi realmente uscire?");
    // The keyboard goes back to the task table, which had it.
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == GetDlgItem(main, IDC_TASK_TABLE); }));
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(drv::Visible(main));
    ExpectSiteChart();

    // The close box asks the same; Yes ends the program (nothing unsaved).
    ASSERT_TRUE(drv::Activate(main));
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Uscita", IDYES, &question)) << drv::LastErrorUtf8();
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(drv::kTimeout, &code)) << drv::LastErrorUtf8();
    EXPECT_EQ(code, 0u);
}

TEST_F(MainWindowTest, FailedSaveKeepsTheOldFileAndTheWindow) {
    OpenSite(L"bloccato.vmo");
    const std::string before = drv::ReadFileBytes(Path(L"bloccato.vmo"));
    FileLock lock(Path(L"bloccato.vmo"));
    ASSERT_TRUE(lock.Held());

    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    const drv::FileDialogAnswer answer = drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"bloccato.vmo"), true);
    ASSERT_TRUE(answer.ok) << drv::LastErrorUtf8();
    EXPECT_EQ(AnswerError(), L"Errore durante il salvataggio.");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"bloccato.vmo")), before);
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(drv::StatusBarText(status), Path(L"bloccato.vmo"));

    // Under a name that can be written the save goes through, and the
    // status bar follows the project to its new file.
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"nuovo.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"nuovo.vmo")));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"nuovo.vmo")), kSiteProject);

    // A read-only file is not replaced either.
    const std::wstring readOnly = Path(L"solalettura.vmo");
    ASSERT_TRUE(drv::WriteFileBytes(readOnly, "altro"));
    ASSERT_TRUE(SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", readOnly, true).ok) << drv::LastErrorUtf8();
    EXPECT_EQ(AnswerError(), L"Errore durante il salvataggio.");
    EXPECT_EQ(drv::ReadFileBytes(readOnly), "altro");
    EXPECT_EQ(drv::StatusBarText(status), Path(L"nuovo.vmo"));
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A hundred thousand tasks: the chart keeps a few windows, all in and near
// its view, and shows every row in view with its own task, at the end and in
// the middle (the thumb dragged there: the position is past 16 bits). A
// right click there edits and deletes the task of that row.
TEST_F(MainWindowTest, AHundredThousandTasksShowEveryRowInViewWithFewWindows) {
    constexpr int kTasks = 100000;
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"grande.vmo"), LoadProject(kTasks, "31/05/2024")));
    Open(Path(L"grande.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"grande.vmo"), 0, 60000));
    const HWND panel = ReadChart(main).panel;
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(drv::WaitUntil([&] { return (GetWindowLongW(panel, GWL_STYLE) & WS_VSCROLL) != 0; }))
        << "the layout gives the chart its vertical scroll bar";
    EXPECT_LT(drv::Descendants(panel).size(), 300u);
    EXPECT_EQ(CheckRowsInView(main, kTasks).first, 0);

    // The bottom of the range lies just past the content: a few lines (a
    // line is a row) back up, the last rows are in view.
    PostMessageW(panel, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    for (int line = 0; line < 3; ++line) PostMessageW(panel, WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0);
    long lastTop = LONG_MIN;
    ASSERT_TRUE(drv::WaitUntil(
        [&] {
            HWND last = drv::FindDescendantByText(panel, nullptr, L"Attivita " + std::to_wstring(kTasks));
            if (last == nullptr || !drv::Visible(last)) return false;
            const long top = drv::ScreenRect(last).top;
            const bool settled = top == lastTop;
            lastTop = top;
            return settled && top > drv::ClientScreenRect(panel).top;
        },
        drv::kTimeout, 100))
        << "the last row comes into view";
    EXPECT_EQ(CheckRowsInView(main, kTasks).last, kTasks - 1);
    EXPECT_LT(drv::Descendants(panel).size(), 300u);

    // The thumb from the bottom of its track to the middle.
    const RECT client = drv::ClientScreenRect(panel);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int track = (client.bottom - client.top) - 2 * arrow;
    const int x = client.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int thumbBottom = client.bottom - arrow;
    drv::Drag(POINT{x, thumbBottom - 5}, POINT{x, thumbBottom - 5 - (track - track / 11) / 2});
    ASSERT_TRUE(drv::WaitUntil([&] { return CheckRowsInView(main, kTasks).last < kTasks - 1; }));
    const RowsShown middle = CheckRowsInView(main, kTasks);
    EXPECT_GT(middle.first, kTasks * 35 / 100);
    EXPECT_LT(middle.first, kTasks * 65 / 100);

    // Edit, then delete, the task of a row in the middle of the view.
    const int row = (middle.first + middle.last) / 2;
    const std::wstring name = L"Attivita " + std::to_wstring(row + 1);
    auto choose = [&](wchar_t letter) {
        HWND bar = drv::FindDescendantByText(panel, nullptr, name);
        if (bar == nullptr) return drv::Fail(L"no bar " + name);
        drv::ClickAt(bar, POINT{4, 12}, drv::Button::Right);
        if (drv::WaitMenu(app.Id()) == nullptr) return false;
        drv::Type(std::wstring(1, letter));
        return drv::WaitUntil([&] { return !drv::MenuOpen(app.Id()); });
    };
    ASSERT_TRUE(choose(L'm')) << drv::LastErrorUtf8();
    HWND dialog = app.WaitWindow(nullptr, L"Modifica Task");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    HWND description = drv::FindDescendant(dialog, -1, L"Edit");
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(drv::Text(description), name);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    ASSERT_TRUE(choose(L'c')) << drv::LastErrorUtf8();
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Cancellazione", IDYES, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, L"Si desidera realmente cancellare il task ATTIVITA " + std::to_wstring(row + 1) + L"?");
    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"meno.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"meno.vmo"), 0, 60000));
    const std::string saved = drv::ReadFileBytes(Path(L"meno.vmo"));
    auto has = [&](int task) {
        return saved.find("\r\nAttivita " + std::to_string(task) + "\r\n") != std::string::npos;
    };
    EXPECT_FALSE(has(row + 1));
    EXPECT_TRUE(has(row) && has(row + 2) && has(kTasks));
}

// The two-year project of twenty thousand tasks that once used up the
// platform's window classes: it opens, saves unchanged and gives the model's
// cost report; its picture, far beyond what a bitmap file holds, is refused
// with the usual error.
TEST_F(MainWindowTest, TwentyThousandTasksOpenSaveReportAndRefuseTheirPicture) {
    const std::string project = LoadProject(20000, "28/02/2026");
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"biennio.vmo"), project));
    Open(Path(L"biennio.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"biennio.vmo"), 0, 60000));
    EXPECT_EQ(ToolbarEnabled()[kCost], true) << "the project commands are there";

    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'L')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"copia.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"copia.vmo"), 0, 60000));
    EXPECT_TRUE(drv::ReadFileBytes(Path(L"copia.vmo")) == project) << "saved as it was read";

    MyApp::Project model;
    ASSERT_EQ(MyApp::LoadProjectFile(drv::Utf8(Path(L"biennio.vmo")), model), MyApp::LoadResult::Ok);
    std::string report;
    MyApp::Money total;
    MyApp::BuildCostReport(model, report, total);
    ASSERT_TRUE(drv::ClickToolbarButton(toolbar, drv::ToolbarButtons(toolbar)[kCost].command));
    HWND dialog = app.WaitWindow(nullptr, L"Conto Economico");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    // The window shows before the report is made.
    const std::wstring totalText = L"Costo del progetto: " + QVUtility::Widen(MyApp::FormatAmount(total));
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::FindDescendantByText(dialog, L"Static", totalText) != nullptr; }))
        << drv::DescribeWindows(app.Id());
    HWND reportBox = drv::FindDescendant(dialog, -1, L"Edit");
    ASSERT_NE(reportBox, nullptr);
    EXPECT_TRUE(drv::Text(reportBox) == QVUtility::Widen(report)) << "the whole report is shown";
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    ASSERT_TRUE(drv::Activate(main));
    ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', apptest::kExportItem)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"biennio.bmp")).ok) << drv::LastErrorUtf8();
    EXPECT_EQ(AnswerError(), L"Errore durante la scrittura del file bitmap.");
    EXPECT_FALSE(Exists(Path(L"biennio.bmp")));
    EXPECT_TRUE(app.Running());
}

// ---------------------------------------------------------------------------
// The main window inside the test process.

class MainWindowInProcess : public apptest::InProcessMainWindow {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"velmora_app_in_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        path = folder + L"progetto.vmo";
        ASSERT_TRUE(drv::WriteFileBytes(path, kSiteProject));
        apptest::InProcessMainWindow::SetUp();
    }

    void TearDown() override {
        apptest::InProcessMainWindow::TearDown();
        DeleteFileW(path.c_str());
        RemoveDirectoryW(folder.c_str());
    }

    // Loads the file as the open command does after its dialog.
    void Load() {
        ASSERT_EQ(MyApp::LoadProjectFile(drv::Utf8(path), form->project), MyApp::LoadResult::Ok);
        form->SetFilePath(drv::Utf8(path));
        form->RefreshChart();
        form->EnableProjectCommands();
    }

    // Sends the message to the window while a second thread gives the answers.
    LRESULT Answering(UINT message, WPARAM wParam, const std::function<void()>& answers) {
        std::atomic<bool> answered{false};
        std::thread helper([&] {
            drv::UseDesktop();
            answers();
            answered = true;
        });
        const LRESULT result = SendMessageW(form->window, message, wParam, 0);
        // A helper still waiting for a box that never came reads the texts
        // of this thread's windows: keep answering it.
        while (!answered) {
            MSG pending;
            while (PeekMessageW(&pending, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&pending);
            Sleep(10);
        }
        helper.join();
        return result;
    }
    void CloseAnswering(const std::function<void()>& answers) { Answering(WM_CLOSE, 0, answers); }
    LRESULT MenuAnswering(QVUtility::SubMenu* item, const std::function<void()>& answers) {
        return Answering(WM_COMMAND, MAKEWPARAM(item->controlId, 0), answers);
    }

    static bool MenuGrayed(QVUtility::SubMenu* item) {
        const UINT state = GetMenuState(item->Container(), static_cast<UINT>(item->controlId), MF_BYCOMMAND);
        return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
    }

    std::wstring folder, path;
};

TEST_F(MainWindowInProcess, MenuStatesFollowTheProject) {
    // The project menu's items are usable exactly when their buttons are.
    QVUtility::SubMenu* projectItems[] = {form->propertiesItem, form->addTaskItem, form->includeDaysItem,
                                          form->excludeDaysItem, form->costItem};
    QVUtility::ToolBarItem* projectButtons[] = {form->propertiesButton, form->addTaskButton, form->includeDaysButton,
                                                form->excludeDaysButton, form->costButton};
    auto expectProjectItemsFollowButtons = [&](bool enabled) {
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(projectButtons[i]->enabled, enabled);
            EXPECT_EQ(MenuGrayed(projectItems[i]), !enabled) << i;
        }
    };
    EXPECT_TRUE(MenuGrayed(form->saveItem));
    EXPECT_TRUE(MenuGrayed(form->saveAsItem));
    EXPECT_TRUE(MenuGrayed(form->exportItem));
    EXPECT_FALSE(MenuGrayed(form->newItem));
    EXPECT_FALSE(MenuGrayed(form->openItem));
    expectProjectItemsFollowButtons(false);
    Load();
    expectProjectItemsFollowButtons(true);
    EXPECT_TRUE(MenuGrayed(form->saveItem));
    EXPECT_FALSE(MenuGrayed(form->saveAsItem));
    EXPECT_FALSE(MenuGrayed(form->exportItem));
    form->MarkModified();
    EXPECT_FALSE(MenuGrayed(form->saveItem));
    EXPECT_TRUE(form->saveButton->enabled);

    // The ".vmo" rule of the file path.
    form->SetFilePath("C:\\dati\\progetto");
    EXPECT_EQ(form->project.filePath, "C:\\dati\\progetto.vmo");
    form->SetFilePath("PIANO.VMO");
    EXPECT_EQ(form->project.filePath, "PIANO.VMO");
    form->SetFilePath("a.b");
    EXPECT_EQ(form->project.filePath, "a.b.vmo");
    form->SetFilePath("");
    EXPECT_EQ(form->project.filePath, "");
    EXPECT_TRUE(MenuGrayed(form->saveAsItem));
}

// The menus as the user reads them: each shortcut after its item's text.
TEST_F(MainWindowInProcess, MenuItemsShowTheirShortcutsAfterATab) {
    auto shown = [](QVUtility::SubMenu* item) {
        wchar_t text[128] = {};
        GetMenuStringW(item->Container(), static_cast<UINT>(item->controlId), text, 128, MF_BYCOMMAND);
        return std::wstring(text);
    };
    EXPECT_EQ(shown(form->newItem), L"&Nuovo\tCtrl+N");
    EXPECT_EQ(shown(form->openItem), L"&Apri\tCtrl+O");
    EXPECT_EQ(shown(form->saveItem), L"&Salva\tCtrl+S");
    EXPECT_EQ(shown(form->saveAsItem), L"Sa&lva come...\tCtrl+Maiusc+S");
    EXPECT_EQ(shown(form->exportItem), L"Esporta come immagine...");
    EXPECT_EQ(shown(form->printItem), L"Stam&pa...\tCtrl+P");
    EXPECT_EQ(shown(form->exitItem), L"&Esci\tAlt+F4");
    EXPECT_EQ(shown(form->propertiesItem), L"Cambia &proprietà\tAlt+Invio");
    EXPECT_EQ(shown(form->addTaskItem), L"&Inserisci Task\tIns");
    EXPECT_EQ(shown(form->includeDaysItem), L"Incl&udi giorni\tCtrl+I");
    EXPECT_EQ(shown(form->excludeDaysItem), L"&Escludi giorni\tCtrl+E");
    EXPECT_EQ(shown(form->costItem), L"Calcola il conto eco&nomico\tF9");
    EXPECT_EQ(shown(form->editSelectedItem), L"&Modifica Task\tInvio");
    EXPECT_EQ(shown(form->deleteSelectedItem), L"&Cancella Task\tCanc");
}

// Every item of a menu can be chosen by a letter of its own: one mnemonic
// each, none shared within the menu (the recent files have their numbers).
// "Esporta come immagine..." keeps the text it always had, without one.
TEST_F(MainWindowInProcess, EveryMenuItemHasALetterOfItsOwn) {
    Load();
    HMENU bar = GetMenu(form->window);
    ASSERT_NE(bar, nullptr);
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        HMENU menu = GetSubMenu(bar, m);
        std::map<wchar_t, std::wstring> letters;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t text[256] = {};
            if (GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION) == 0) continue;  // a divider
            const std::wstring item = std::wstring(text).substr(0, std::wstring(text).find(L'\t'));
            const std::size_t amp = item.find(L'&');
            if (item == L"Esporta come immagine...") continue;
            ASSERT_TRUE(amp != std::wstring::npos && amp + 1 < item.size()) << drv::Utf8(item) << " has no letter";
            const wchar_t letter = static_cast<wchar_t>(towlower(item[amp + 1]));
            EXPECT_TRUE(letters.emplace(letter, item).second)
                << drv::Utf8(item) << " shares its letter with " << drv::Utf8(letters[letter]);
        }
    }
}

// A project that has never been saved is named as such in the title bar.
TEST_F(MainWindowInProcess, ANewProjectIsNamedAsUnsavedInTheTitle) {
    const std::wstring title = form->WindowTitle();  // the title the window was made with
    form->SetFilePath(std::string());
    form->EnableProjectCommands();
    form->MarkModified();
    EXPECT_EQ(drv::Text(form->window), title + L" - Senza nome *");
}

TEST_F(MainWindowInProcess, LeavingWithUnsavedChangesNeverDropsThemSilently) {
    Load();
    form->MarkModified();
    const std::string before = drv::ReadFileBytes(path);
    const DWORD pid = GetCurrentProcessId();

    // Yes to leaving, Yes to saving, and the file cannot be replaced: the
    // error is shown and the window stays with its changes.
    {
        FileLock lock(path);
        ASSERT_TRUE(lock.Held());
        std::wstring exitText, saveText, errorText;
        CloseAnswering([&] {
            drv::AnswerMessageBox(pid, L"Uscita", IDYES, &exitText);
            drv::AnswerMessageBox(pid, L"Salva", IDYES, &saveText);
            drv::AnswerMessageBox(pid, L"Errore", IDOK, &errorText);
        });
        EXPECT_EQ(exitText, L"Vuoi realmente uscire?");
        EXPECT_EQ(saveText, L"Si desidera salvare le modifiche del file?");
        EXPECT_EQ(errorText, L"Errore durante il salvataggio.");
        EXPECT_TRUE(IsWindow(form->window));
        EXPECT_TRUE(form->project.modified);
        EXPECT_EQ(drv::ReadFileBytes(path), before);
    }

    // A project never saved: Yes to saving, then the name dialog cancelled.
    form->SetFilePath("");
    CloseAnswering([&] {
        drv::AnswerMessageBox(pid, L"Uscita", IDYES);
        drv::AnswerMessageBox(pid, L"Salva", IDYES);
        drv::CancelFileDialog(pid, L"Salva");
    });
    EXPECT_TRUE(IsWindow(form->window));
    EXPECT_TRUE(form->project.modified);

    // No to saving: the user gives the changes up and the window closes.
    CloseAnswering([&] {
        drv::AnswerMessageBox(pid, L"Uscita", IDYES);
        drv::AnswerMessageBox(pid, L"Salva", IDNO);
    });
    EXPECT_FALSE(IsWindow(form->window));
}

// "&Annulla" and "&Ripeti" name the change they act on and are greyed when
// there is none; the saved state comes back with an undo; a failed open
// keeps the history, a successful one clears it.
TEST_F(MainWindowInProcess, EditMenuNamesTheChangeAndOpeningAProjectClearsIt) {
    auto caption = [](QVUtility::SubMenu* item) {
        wchar_t text[80] = {};
        GetMenuStringW(item->Container(), static_cast<UINT>(item->controlId), text, 80, MF_BYCOMMAND);
        return std::wstring(text);
    };
    auto choose = [&](QVUtility::SubMenu* item) {
        SendMessageW(form->window, WM_COMMAND, MAKEWPARAM(item->controlId, 0), 0);
    };
    const DWORD pid = GetCurrentProcessId();
    ASSERT_TRUE(form->OpenProjectFile(drv::Utf8(path)));
    EXPECT_EQ(caption(form->undoItem), L"&Annulla\tCtrl+Z");
    EXPECT_TRUE(MenuGrayed(form->undoItem));
    EXPECT_TRUE(MenuGrayed(form->redoItem));

    form->SelectTask(form->project.tasks[1].id);
    MenuAnswering(form->deleteTaskItem, [&] { drv::AnswerMessageBox(pid, L"Cancellazione", IDYES); });
    ASSERT_EQ(form->project.tasks.size(), 2u);
    EXPECT_EQ(caption(form->undoItem), L"&Annulla cancellazione task\tCtrl+Z");
    EXPECT_FALSE(MenuGrayed(form->undoItem));
    EXPECT_TRUE(MenuGrayed(form->redoItem));
    choose(form->undoItem);
    EXPECT_EQ(caption(form->undoItem), L"&Annulla\tCtrl+Z");
    EXPECT_TRUE(MenuGrayed(form->undoItem));
    EXPECT_EQ(caption(form->redoItem), L"&Ripeti cancellazione task\tCtrl+Y");
    EXPECT_FALSE(form->project.modified);
    EXPECT_TRUE(MenuGrayed(form->saveItem));
    EXPECT_FALSE(form->saveButton->enabled);
    choose(form->redoItem);
    EXPECT_TRUE(form->project.modified);
    EXPECT_FALSE(MenuGrayed(form->saveItem));

    const std::wstring broken = folder + L"rotto.vmo";
    ASSERT_TRUE(drv::WriteFileBytes(broken, kBrokenProject));
    MenuAnswering(form->openItem, [&] {
        drv::AnswerMessageBox(pid, L"Salva", IDNO);
        drv::AnswerFileDialog(pid, L"Apri", broken);
        drv::AnswerMessageBox(pid, L"Errore", IDOK);
    });
    DeleteFileW(broken.c_str());
    EXPECT_EQ(form->project.tasks.size(), 2u);
    EXPECT_EQ(caption(form->undoItem), L"&Annulla cancellazione task\tCtrl+Z");
    ASSERT_TRUE(form->OpenProjectFile(drv::Utf8(path)));
    EXPECT_TRUE(MenuGrayed(form->undoItem));
    EXPECT_TRUE(MenuGrayed(form->redoItem));

    // A task deleted far down a long chart comes back selected and in view.
    ASSERT_TRUE(drv::WriteFileBytes(path, LoadProject(300, "31/03/2024")));
    ASSERT_TRUE(form->OpenProjectFile(drv::Utf8(path)));
    const int id = form->project.tasks[250].id;
    form->SelectTask(id);
    MenuAnswering(form->deleteTaskItem, [&] { drv::AnswerMessageBox(pid, L"Cancellazione", IDYES); });
    ASSERT_EQ(form->project.tasks.size(), 299u);
    choose(form->undoItem);
    EXPECT_EQ(form->SelectedTaskId(), id);
    RECT view{};
    GetClientRect(form->chart->window, &view);
    const auto shown = std::find_if(form->chart->bars.begin(), form->chart->bars.end(), [&](MyApp::ChartBar* bar) {
        RECT place{};
        if (bar->taskId != id || !IsWindowVisible(bar->window) || !GetWindowRect(bar->window, &place)) return false;
        MapWindowPoints(nullptr, form->chart->window, reinterpret_cast<POINT*>(&place), 2);
        return place.top >= 0 && place.bottom <= view.bottom;
    });
    EXPECT_NE(shown, form->chart->bars.end()) << "the task's bar is in view";
}

// Files dropped on the window as the shell drops them: one project file
// opens as "&Apri" opens it, after the question about unsaved changes;
// anything else does nothing.
TEST_F(MainWindowInProcess, OneDroppedProjectFileOpens) {
    auto drop = [](const std::vector<std::wstring>& paths) {
        std::size_t characters = 1;
        for (const std::wstring& p : paths) characters += p.size() + 1;
        HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
        auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
        files->pFiles = sizeof(DROPFILES);
        files->fWide = TRUE;
        auto* at = reinterpret_cast<wchar_t*>(files + 1);
        for (const std::wstring& p : paths) at = std::copy(p.begin(), p.end(), at) + 1;
        GlobalUnlock(memory);
        return reinterpret_cast<WPARAM>(memory);
    };
    EXPECT_NE(GetWindowLongW(form->window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0) << "the shell may drop files";
    const std::wstring text = folder + L"progetto.txt";
    ASSERT_TRUE(drv::WriteFileBytes(text, kSiteProject));
    SendMessageW(form->window, WM_DROPFILES, drop({text}), 0);
    SendMessageW(form->window, WM_DROPFILES, drop({path, path}), 0);
    SendMessageW(form->window, WM_DROPFILES, drop({folder}), 0);
    EXPECT_TRUE(form->project.tasks.empty());
    EXPECT_EQ(form->project.filePath, "");
    DeleteFileW(text.c_str());

    SendMessageW(form->window, WM_DROPFILES, drop({path}), 0);
    EXPECT_EQ(form->project.filePath, drv::Utf8(path));
    EXPECT_EQ(form->project.tasks.size(), 3u);
    form->project.tasks.clear();
    form->MarkModified();
    std::wstring question;
    Answering(WM_DROPFILES, drop({path}),
              [&] { drv::AnswerMessageBox(GetCurrentProcessId(), L"Salva", IDNO, &question); });
    EXPECT_EQ(question, L"Si desidera salvare le modifiche del file?");
    EXPECT_EQ(form->project.tasks.size(), 3u);
    EXPECT_FALSE(form->project.modified);
}

// Logging off or shutting down: the program's own save question, with the
// reason the system may show meanwhile; the session may end only when the
// changes are saved or given up.
TEST_F(MainWindowInProcess, EndOfSessionAsksAboutUnsavedChanges) {
    Load();
    EXPECT_EQ(SendMessageW(form->window, WM_QUERYENDSESSION, 0, 0), TRUE) << "nothing unsaved, nothing asked";
    form->MarkModified();
    form->SetFilePath("");  // never saved: Yes asks for a name
    const DWORD pid = GetCurrentProcessId();
    std::wstring question, reasonWhileAsked;
    LRESULT answer = Answering(WM_QUERYENDSESSION, 0, [&] {
        question = drv::MessageBoxText(drv::WaitMessageBox(pid, L"Salva"));
        reasonWhileAsked = QVUtility::ShutdownBlock::ActiveReason();
        drv::AnswerMessageBox(pid, L"Salva", IDYES);
        drv::CancelFileDialog(pid, L"Salva");
    });
    EXPECT_EQ(answer, FALSE);
    EXPECT_EQ(question, L"Si desidera salvare le modifiche del file?");
    EXPECT_EQ(reasonWhileAsked, L"Il progetto ha modifiche non salvate.");
    EXPECT_EQ(QVUtility::ShutdownBlock::ActiveReason(), L"");
    EXPECT_TRUE(form->project.modified);

    // When no window can be made, the question is not an answer and no
    // dialog keeps the main window disabled.
    {
        ToolkitTest::RefuseWindows refused;
        EXPECT_EQ(SendMessageW(form->window, WM_QUERYENDSESSION, 0, 0), FALSE);
        form->NewTask();
    }
    EXPECT_TRUE(IsWindowEnabled(form->window));

    // No gives the changes up; the session ends and the window goes unasked.
    answer = Answering(WM_QUERYENDSESSION, 0, [&] { drv::AnswerMessageBox(pid, L"Salva", IDNO); });
    EXPECT_EQ(answer, TRUE);
    SendMessageW(form->window, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(form->window));
}

// Saving and opening that fail by throwing (no memory, say) are reported as
// any failure of theirs, and keep the project and its file.
TEST_F(MainWindowInProcess, FailuresInsideSaveAndOpenAreReported) {
    Load();
    form->MarkModified();
    const std::string before = drv::ReadFileBytes(path);
    const size_t tasks = form->project.tasks.size();
    struct Failing {
        Failing() {
            MyApp::detail::beforeFileAccess = [] { throw std::bad_alloc(); };
        }
        ~Failing() { MyApp::detail::beforeFileAccess = nullptr; }
    } failing;
    const DWORD pid = GetCurrentProcessId();

    std::wstring saveError, sessionError, openError;
    MenuAnswering(form->saveItem, [&] { drv::AnswerMessageBox(pid, L"Errore", IDOK, &saveError); });
    EXPECT_EQ(saveError, L"Errore durante il salvataggio.");
    const LRESULT answer = Answering(WM_QUERYENDSESSION, 0, [&] {
        drv::AnswerMessageBox(pid, L"Salva", IDYES);
        drv::AnswerMessageBox(pid, L"Errore", IDOK, &sessionError);
    });
    EXPECT_EQ(answer, FALSE) << "a failed save keeps the session";
    EXPECT_EQ(sessionError, L"Errore durante il salvataggio.");
    MenuAnswering(form->openItem, [&] {
        drv::AnswerMessageBox(pid, L"Salva", IDNO);
        drv::AnswerFileDialog(pid, L"Apri", path);
        drv::AnswerMessageBox(pid, L"Errore", IDOK, &openError);
    });
    EXPECT_EQ(openError, L"Errore durante la lettura.");
    EXPECT_EQ(form->project.tasks.size(), tasks);
    EXPECT_TRUE(form->project.modified);
    EXPECT_TRUE(IsWindow(form->window));
    EXPECT_EQ(drv::ReadFileBytes(path), before);
}

// Opening and closing a dialog, and a project, a hundred times leaves as
// many window classes and GDI objects as one time does.
// Programs that drive QV Velmora from outside find its menu items, buttons
// and dialog controls by identifier. The commands added beside the first
// menus take named identifiers of their own, so the elements the program
// has always had keep theirs: counted from the main window's, as in a
// program just started, up to the first dialog's controls.
TEST_F(MainWindowInProcess, ElementsKeepTheIdentifiersTheyAlwaysHad) {
    const int base = form->controlId;
    auto id = [base](const QVUtility::GUIElement* element) { return element->controlId - base; };
    const std::vector<std::pair<const QVUtility::GUIElement*, int>> expected{
        {form->newItem, 1},
        {form->openItem, 2},
        {form->saveItem, 3},
        {form->saveAsItem, 4},
        {form->exportItem, 5},
        {form->dividerItem, 6},
        {form->exitItem, 7},
        {form->guideItem, 8},
        {form->homeItem, 9},
        {form->infoItem, 10},
        {form->editTaskItem, 11},
        {form->deleteTaskItem, 12},
        {form->chart, 13},
        {form->chart->titleCell, 14},
        {form->chart->ruler, 15},
        {form->toolBar, 16},
        {form->newButton, 17},
        {form->openButton, 18},
        {form->firstSeparator, 19},
        {form->saveButton, 20},
        {form->secondSeparator, 21},
        {form->propertiesButton, 22},
        {form->addTaskButton, 23},
        {form->includeDaysButton, 24},
        {form->excludeDaysButton, 25},
        {form->costButton, 26},
        {form->statusBar, 27},
        {form->layoutTimer, 28},
    };
    for (const auto& [element, number] : expected) {
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(id(element), number) << QVUtility::Narrow(element->text);
    }

    form->NewProject();
    ASSERT_NE(form->projectDialog, nullptr);
    ASSERT_NE(form->projectDialog->window, nullptr);
    const int first = 29;
    EXPECT_EQ(id(form->projectDialog), first);
    // The controls in the order of their identifiers (Tab goes in the order
    // they stand), each the control it always was.
    std::map<int, std::wstring> controls;
    for (HWND child : drv::Descendants(form->projectDialog->window))
        controls[GetDlgCtrlID(child) - base] = drv::ClassOf(child) + L" " + drv::Text(child);
    ASSERT_EQ(controls.size(), 16u);
    const wchar_t* const kinds[] = {L"Static Descrizione:", L"Edit", L"Static Data inizio:", L"Static Data fine:",
                                    L"SysDateTimePick32", L"SysDateTimePick32", L"Button Giorni lavorativi"};
    int number = first + 1;
    for (const auto& each : controls) EXPECT_EQ(each.first, number++) << drv::Utf8(each.second);
    for (std::size_t at = 0; at < std::size(kinds); ++at) {
        const std::wstring& kind = controls[first + 1 + static_cast<int>(at)];
        EXPECT_EQ(kind.substr(0, std::wcslen(kinds[at])), kinds[at]) << at;
    }
    EXPECT_EQ(controls[first + 15], L"Button Annulla");
    EXPECT_EQ(controls[first + 16], L"Button OK");
    SendMessageW(form->projectDialog->window, WM_CLOSE, 0, 0);
}

TEST_F(MainWindowInProcess, DialogsAndProjectsOpenedAgainLeaveNoClassOrGdiObjectBehind) {
    Load();
    auto openAndCloseTaskDialog = [&] {
        form->NewTask();
        ASSERT_NE(form->taskDialog->window, nullptr);
        SendMessageW(form->taskDialog->window, WM_CLOSE, 0, 0);
        ASSERT_FALSE(IsWindow(form->taskDialog->window));
    };
    openAndCloseTaskDialog();
    const std::size_t classes = QVUtility::RegisteredClassCount();
    const long held = QVUtility::CurrentGdiTally().Held();
    for (int i = 0; i < 100 && !HasFatalFailure(); ++i) openAndCloseTaskDialog();
    EXPECT_EQ(QVUtility::RegisteredClassCount(), classes);
    EXPECT_EQ(QVUtility::CurrentGdiTally().Held(), held);
    EXPECT_TRUE(IsWindowEnabled(form->window));

    for (int i = 0; i < 100; ++i) Load();
    EXPECT_EQ(QVUtility::RegisteredClassCount(), classes);
    EXPECT_EQ(QVUtility::CurrentGdiTally().Held(), held);
}

// When the platform refuses windows, classes and brushes, the chart shows
// what it has and the commands go on; the bars come once it gives them.
TEST_F(MainWindowInProcess, RefusedWindowsLeaveAChartThatWorksAndComesBack) {
    struct Refusing {
        Refusing() { QVUtility::refusedCreations = {true, true, true}; }
        ~Refusing() { QVUtility::refusedCreations = {}; }
    };
    {
        Refusing refusing;
        Load();
        ASSERT_FALSE(form->chart->bars.empty());
        for (MyApp::ChartBar* bar : form->chart->bars) EXPECT_EQ(bar->window, nullptr);
        form->chart->FitToView();
        SendMessageW(form->chart->window, WM_VSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
        form->chart->bars[0]->onRightButtonUp(form->chart->bars[0], nullptr, 2, 2);
        form->EditTask();
        form->DeleteTask();
        EXPECT_EQ(form->project.tasks.size(), 3u);
        form->MarkModified();
        EXPECT_TRUE(form->ExportImage(drv::Utf8(folder + L"grafico.bmp")));
        EXPECT_TRUE(form->SaveProject(true));
        EXPECT_FALSE(form->project.modified);
    }
    form->RefreshChart();
    std::vector<std::wstring> texts;
    for (MyApp::ChartBar* bar : form->chart->bars) {
        ASSERT_NE(bar->window, nullptr);
        texts.push_back(drv::Text(bar->window));
    }
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Ponteggio", L"Scavo", L"Muri"}));
    DeleteFileW((folder + L"grafico.bmp").c_str());
}

}  // namespace
