// The whole project at a glance: the task table beside the chart, level with
// its bars and sharing the selection; zoom; the labels kept in view; the
// line that marks today; "Trova..." and F3; page steps that skip no row.
// Worked inside the test process (the main window made here) and from
// outside through the test driver.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"
#include "tests/app/main/InProcessMainWindow.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/chart/ChartLayout.h"
#include "app/main/FormMain.h"
#include "app/res/resource.h"
#include "file/ProjectFile.h"
#include "model/WorkingDays.h"
#include "tests/model/TestDates.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TimeLine.h"

namespace {

using MyApp::Command;

// ---- Inside the test process -------------------------------------------------------

class ViewInProcess : public apptest::InProcessMainWindow {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = std::wstring(temp) + L"velmora_view_" + std::to_wstring(GetCurrentProcessId()) + L".vmo";
        apptest::InProcessMainWindow::SetUp();
    }

    void TearDown() override {
        apptest::InProcessMainWindow::TearDown();
        DeleteFileW(path.c_str());
        MyApp::chartToday = [] { return MyApp::DateOnly(MyApp::LocalNow()); };
    }

    // Loads the project text as the open command does after its dialog, and
    // lets the layout give the chart its scroll bars.
    void Load(const std::string& text) {
        ASSERT_TRUE(drv::WriteFileBytes(path, text));
        ASSERT_EQ(MyApp::LoadProjectFile(drv::Utf8(path), form->project), MyApp::LoadResult::Ok);
        form->SetFilePath(drv::Utf8(path));
        form->RefreshChart();
        form->EnableProjectCommands();
        form->chart->FitToView();
    }

    HWND Panel() const { return form->chart->window; }
    HWND Table() const { return FindWindowExW(form->window, nullptr, WC_LISTVIEWW, nullptr); }
    int ScrollY() const { return GetScrollPos(Panel(), SB_VERT); }

    // The bars shown in the view, by row: their screen rectangles.
    std::vector<std::pair<std::size_t, RECT>> ShownBars() const {
        std::vector<std::pair<std::size_t, RECT>> shown;
        for (const MyApp::ChartBar* bar : form->chart->bars)
            if (bar->Bound() && IsWindowVisible(bar->window)) shown.emplace_back(bar->row, drv::ScreenRect(bar->window));
        std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return shown;
    }

    std::wstring path;
};

// Zooming out goes as far as the width at which the whole span fits the
// view and no further, nor narrower: the chart then fills the view. Zooming
// in or a narrower window gives it back. The exported picture is the same
// at every level.
TEST_F(ViewInProcess, ZoomingOutStopsWhenTheSpanFits) {
    Load(apptest::RenovationProject());
    const std::string picture = [&] {
        EXPECT_TRUE(form->ExportImage(drv::Utf8(path + L".bmp")));
        return drv::ReadFileBytes(path + L".bmp");
    }();
    const auto viewWidth = [&] { return drv::ClientScreenRect(Panel()).right - drv::ClientScreenRect(Panel()).left; };
    const auto canZoomOut = [&] {
        return (GetMenuState(GetMenu(form->window), IDM_ZOOM_OUT, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
    };
    // From the end of the span, so that the ruler and the bars come back
    // from far right.
    form->chart->ScrollTo(SB_HORZ, static_cast<int>(form->chart->ChartWidth()));
    ToolkitTest::Pump(10);
    int previousWidth = form->chart->ruler->width;
    while (canZoomOut()) {
        previousWidth = form->chart->ruler->width;
        form->Execute(Command::ZoomOut);
        ToolkitTest::Pump(10);
    }
    EXPECT_LE(form->chart->ruler->width, viewWidth()) << "stopped where the span fits";
    EXPECT_GT(previousWidth, viewWidth()) << "and not before";
    EXPECT_GE(form->chart->ruler->width, viewWidth() - form->scale(2) - 1) << "nor past it";
    EXPECT_EQ(GetWindowLongW(Panel(), GWL_STYLE) & WS_HSCROLL, 0);
    EXPECT_EQ(drv::ScreenRect(form->chart->ruler->window).left - form->chart->ruler->ViewOrigin(), drv::ClientScreenRect(Panel()).left)
        << "the ruler's first day at the view's left edge";
    for (const auto& [row, place] : ShownBars()) {
        const std::int64_t first = MyApp::DaysUntil(form->project.start, form->project.tasks[row].start);
        EXPECT_EQ(place.left, drv::ClientScreenRect(Panel()).left + form->chart->ruler->ColumnLeft(first)) << "row " << row;
    }
    const double smallest = form->chart->ruler->dayWidth / static_cast<double>(form->chart->ruler->columnDivisor);
    form->Execute(Command::ZoomOut);
    EXPECT_EQ(form->chart->ruler->dayWidth / static_cast<double>(form->chart->ruler->columnDivisor), smallest);
    ASSERT_TRUE(form->ExportImage(drv::Utf8(path + L".bmp")));
    EXPECT_TRUE(drv::ReadFileBytes(path + L".bmp") == picture) << "the zoom is no part of the picture";
    DeleteFileW((path + L".bmp").c_str());
    form->Execute(Command::ZoomIn);
    EXPECT_TRUE(canZoomOut());
    {
        // The scroll bar that came back is drawn over whatever the rows
        // showed there: no bar's colour in it (white is left out: the
        // scroll bar's track is dithered with it).
        ToolkitTest::Pump(50);
        RECT outer = drv::ScreenRect(Panel());
        const RECT inner = drv::ClientScreenRect(Panel());
        outer.top = inner.bottom;
        outer.right = inner.right;
        const drv::Image strip = drv::CaptureScreen(outer);
        for (COLORREF colour : apptest::kBarColours) {
            if (colour == RGB(255, 255, 255)) continue;
            EXPECT_EQ(strip.Count(colour), 0u) << std::hex << colour;
        }
    }
    form->Execute(Command::ZoomOut);
    // A window too narrow for the span lets the view zoom out again.
    RECT place{};
    GetWindowRect(form->window, &place);
    SetWindowPos(form->window, nullptr, 0, 0, (place.right - place.left) / 2, place.bottom - place.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    form->chart->FitToView();
    EXPECT_LT(viewWidth(), form->chart->ruler->width);
    EXPECT_TRUE(canZoomOut());
}

// The line that marks today: there when today lies in the span, at today's
// column; gone when it does not.
// In the exported picture a name wider than its bar is written whole after
// the bar, never cut at its start; the rest of the picture, every name that
// fits centred in its bar, stays as it was, to the byte.
TEST_F(ViewInProcess, TheExportedPictureWritesANameTooLongForItsBarBesideIt) {
    const auto exported = [&] {
        form->RefreshChart();
        EXPECT_TRUE(form->ExportImage(drv::Utf8(path + L".bmp")));
        return drv::LoadBmp(path + L".bmp");
    };
    Load(apptest::RenovationProject());
    const drv::Image fitting = exported();
    MyApp::Task& task = form->project.tasks[0];  // a bar of eight days
    task.description = "Rivestimenti dei bagni e della cucina con piastrelle di gres porcellanato";
    const drv::Image longer = exported();
    DeleteFileW((path + L".bmp").c_str());
    ASSERT_TRUE(!fitting.Empty() && longer.width == fitting.width && longer.height == fitting.height);
    const MyApp::ChartLayout layout(form->project, QVUtility::TimeLine::NormalDayWidth, longer.width,
                                    QVUtility::TimeLine::NormalHeight);
    const MyApp::BarSpan bar = layout.Bar(task);
    const int top = static_cast<int>(layout.RowTop(0));
    const int left = static_cast<int>(bar.left), right = static_cast<int>(bar.left + bar.width);
    int firstInk = longer.width, lastInk = -1;
    for (int y = 0; y < longer.height; ++y) {
        for (int x = 0; x < longer.width; ++x) {
            if (longer.At(x, y) == fitting.At(x, y)) continue;
            ASSERT_TRUE(y >= top && y < top + layout.rowPitch) << "a change outside the row, at " << x << "," << y;
            if (x > left && x < right - 1) {
                // Inside the bar only the old name gave way to the fill.
                ASSERT_EQ(longer.At(x, y), task.colour) << x << "," << y;
            } else if ((x < left || x >= right) && longer.At(x, y) == RGB(0, 0, 0)) {
                firstInk = std::min(firstInk, x);
                lastInk = std::max(lastInk, x);
            }
        }
    }
    EXPECT_GT(firstInk, right) << "the name starts after its bar";
    EXPECT_LT(firstInk, right + 12);
    EXPECT_GT(lastInk - firstInk, bar.width) << "the whole name, wider than the bar";
}

TEST_F(ViewInProcess, TheTodayLineMarksTodayInTheSpanOnly) {
    MyApp::chartToday = [] { return TestDates::D(12, 3, 2024); };
    Load(apptest::ProjectWithTasks("Carico", "01/03/2024", "31/05/2024", 5));
    HWND line = nullptr;
    for (HWND child : drv::Descendants(Panel()))
        if (GetDlgCtrlID(child) == IDC_TODAY_LINE) line = child;
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(IsWindowVisible(line));
    const long origin = drv::ScreenRect(form->chart->ruler->window).left - static_cast<long>(form->chart->ruler->ViewOrigin());
    const RECT place = drv::ScreenRect(line);
    EXPECT_GE(place.left, origin + form->chart->ruler->ColumnLeft(11));
    EXPECT_LE(place.right, origin + form->chart->ruler->ColumnLeft(12));
    EXPECT_TRUE(ToolkitTest::PumpUntil([&] {
        return drv::ScreenPixel(POINT{(place.left + place.right) / 2, place.bottom - 5}) == MyApp::TodayLineColour;
    })) << "a colour no bar of the five has";
    MyApp::chartToday = [] { return TestDates::D(1, 6, 2024); };
    form->RefreshChart();
    EXPECT_FALSE(IsWindowVisible(line));
}

// The year of an eighteen-month project is on screen at the start of the
// chart and after scrolling to its end: its label is drawn inside the
// part of its band in view.
TEST_F(ViewInProcess, TheYearStaysOnScreenAtBothEnds) {
    Load(apptest::RenovationProject());
    ASSERT_NE(GetWindowLongW(Panel(), GWL_STYLE) & WS_HSCROLL, 0);
    auto yearInk = [&] {
        // Black pixels in the top row of the ruler, inside the view, other
        // than the boxes' outlines: a label's.
        const RECT view = drv::ClientScreenRect(Panel());
        const RECT ruler = drv::ScreenRect(form->chart->ruler->window);
        const long top = ruler.top + 3, bottom = ruler.top + 14;
        int ink = 0;
        for (long x = std::max(view.left, ruler.left) + 3; x < std::min(view.right, ruler.right) - 3; ++x)
            for (long y = top; y < bottom; ++y) ink += drv::ScreenPixel(POINT{x, y}) == RGB(0, 0, 0);
        return ink;
    };
    EXPECT_TRUE(ToolkitTest::PumpUntil([&] { return yearInk() > 10; })) << "2027 at the start";
    form->chart->ScrollTo(SB_HORZ, static_cast<int>(form->chart->ChartWidth()));
    EXPECT_GT(GetScrollPos(Panel(), SB_HORZ), 5000);
    EXPECT_TRUE(ToolkitTest::PumpUntil([&] { return yearInk() > 10; })) << "2028 at the end";
}

// ---- From outside -------------------------------------------------------------------

class ViewTest : public apptest::ProgramFixture {
protected:
    void OpenProject(const std::string& content) {
        ASSERT_TRUE(drv::WriteFileBytes(Path(L"vista.vmo"), content));
        Open(Path(L"vista.vmo"));
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"vista.vmo"))) << drv::Utf8(drv::StatusBarText(status));
    }
    HWND Table() { return drv::FindDescendant(main, IDC_TASK_TABLE, WC_LISTVIEWW); }
    int TableSelection() {
        return static_cast<int>(SendMessageW(Table(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    HWND Bar(const std::wstring& text) {
        for (HWND child : drv::Descendants(apptest::ChartPanel(main)))
            if (drv::Visible(child) && drv::Text(child) == text) return child;
        return nullptr;
    }
    // The point of a row of the table, in screen coordinates.
    POINT RowPoint(int row) {
        drv::RemoteBuffer rect(Table(), sizeof(RECT));
        RECT cell{LVIR_LABEL, 0, 0, 0};
        rect.Write(&cell, sizeof cell);
        SendMessageW(Table(), LVM_GETITEMRECT, static_cast<WPARAM>(row), rect.AsLParam());
        rect.Read(&cell, sizeof cell);
        return drv::ToScreen(Table(), POINT{cell.left + 10, (cell.top + cell.bottom) / 2});
    }
};

// A click on a row selects its task, and Canc then deletes that task; a
// click on a bar selects the bar's row.
TEST_F(ViewTest, TheTableAndTheChartShareTheSelection) {
    OpenProject(apptest::ProjectWithTasks("Condiviso", "01/03/2024", "31/05/2024", 8));
    ASSERT_NE(Table(), nullptr);
    ASSERT_TRUE(drv::WaitUntil([&] { return SendMessageW(Table(), LVM_GETITEMCOUNT, 0, 0) == 8; }));
    drv::Click(RowPoint(2));
    ASSERT_TRUE(drv::WaitUntil([&] { return TableSelection() == 2; }));
    drv::Press(VK_DELETE);
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Cancellazione", IDYES, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, L"Si desidera realmente cancellare il task ATTIVITA 3?");
    EXPECT_TRUE(drv::WaitUntil([&] { return SendMessageW(Table(), LVM_GETITEMCOUNT, 0, 0) == 7; }));
    EXPECT_EQ(Bar(L"Attivita 3"), nullptr);
    apptest::Shot(L"tabella_selezione");

    HWND bar = Bar(L"Attivita 6");
    ASSERT_NE(bar, nullptr);
    drv::ClickAt(bar, POINT{6, 10});
    EXPECT_TRUE(drv::WaitUntil([&] { return TableSelection() == 4; })) << "Attivita 6 is the fifth row now";
}

// "Trova..." selects the next task whose description holds the text, F3
// the one after; a text no task holds is told.
TEST_F(ViewTest, FindSelectsTheNextMatchAndTellsWhenThereIsNone) {
    OpenProject(apptest::RenovationProject());
    auto find = [&](const wchar_t* text) {
        ASSERT_TRUE(drv::Activate(main));
        drv::Press('F', drv::kCtrl);
        HWND dialog = ProgramWindow(L"Trova");
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        drv::Type(text);
        drv::Enter();
        ASSERT_TRUE(drv::WaitWindowGone(dialog));
    };
    find(L"IMPIANTO");
    EXPECT_TRUE(drv::WaitUntil([&] { return TableSelection() == 10; })) << "Impianto elettrico: tracce";
    ASSERT_TRUE(drv::Activate(main));
    drv::Press(VK_F3);
    EXPECT_TRUE(drv::WaitUntil([&] { return TableSelection() == 11; })) << "Impianto elettrico: cavi";
    drv::Press(VK_F3);
    drv::Press(VK_F3);
    EXPECT_TRUE(drv::WaitUntil([&] { return TableSelection() == 13; })) << "Impianto di riscaldamento";
    drv::Press(VK_F3);
    EXPECT_TRUE(drv::WaitUntil([&] { return TableSelection() == 10; })) << "round to the first";
    find(L"cantina");
    EXPECT_EQ(AnswerError(L"Trova"), L"Nessuna attività trovata.");
    EXPECT_EQ(TableSelection(), 10) << "the selection stays";
}

}  // namespace
