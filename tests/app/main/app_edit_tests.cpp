// Changing the plan where it is shown, through the real window inside the
// test process: a bar dragged by its middle and by each end, past the
// span's edge and back with Escape, at the ruler's width and fitted to the
// view; the keys that move the selected task; each cell of the task table
// typed into, refused and moved on with Tab. Each checks the file saved
// afterwards, and that one undo gives back the bytes before the change.
#include "Driver.h"
#include "tests/app/main/InProcessMainWindow.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <tuple>
#include <vector>

#include "app/main/BarDrag.h"
#include "app/main/TaskCellEditor.h"
#include "app/main/TaskTable.h"
#include "app/res/resource.h"
#include "model/CostReport.h"
#include "tests/model/TestDates.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Accessible.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"

namespace {

using MyApp::Command;

// March and April 2027, Monday to Friday; Easter Monday is 29/03/2027.
const char* const kSite =
    "#VELMORA\r\nCantiere\r\n01/03/2027\r\n30/04/2027\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n"
    "Scavo\r\n01/03/2027\r\n03/03/2027\r\n16711680\r\n3\r\n100\r\n"
    "Ponteggio\r\n08/03/2027\r\n19/03/2027\r\n255\r\n2\r\n150.5\r\n"
    "Muri\r\n22/03/2027\r\n26/03/2027\r\n1042206\r\n4\r\n120\r\n";

class EditInPlace : public apptest::InProcessMainWindow {
protected:
    void Open(const std::string& text) {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = drv::Utf8(temp) + "velmora_modifica_" + std::to_string(GetCurrentProcessId()) + ".vmo";
        ASSERT_TRUE(drv::WriteFileBytes(QVUtility::Widen(path), text));
        SetWindowPos(form->window, nullptr, 0, 0, 1300, 700, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(form->OpenProjectFile(path));
        original = text;
        ToolkitTest::Pump(50);
    }
    void TearDown() override {
        apptest::InProcessMainWindow::TearDown();
        DeleteFileA(path.c_str());
    }
    std::string Saved() {
        EXPECT_TRUE(form->SaveProject(true));
        return drv::ReadFileBytes(QVUtility::Widen(path));
    }
    void OneUndoGivesBack(const std::string& before) {
        form->Execute(Command::Undo);
        EXPECT_EQ(Saved(), before);
    }
    int Row(const std::string& name) {
        for (std::size_t row = 0; row < form->project.tasks.size(); ++row)
            if (form->project.tasks[row].description == name) return static_cast<int>(row);
        return -1;
    }
    MyApp::ChartBar* Bar(const std::string& name) {
        for (MyApp::ChartBar* bar : form->chart->bars)
            if (bar->Bound() && bar->row == static_cast<std::size_t>(Row(name)) && IsWindowVisible(bar->window))
                return bar;
        return nullptr;
    }
    // The mouse at a point of the screen, as the bar holding it hears it.
    static void Mouse(MyApp::ChartBar* bar, UINT message, POINT at) {
        ScreenToClient(bar->window, &at);
        SendMessageW(bar->window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
    }
    HWND Table() const { return GetDlgItem(form->window, IDC_TASK_TABLE); }
    MyApp::TaskTable& Tasks() const { return *dynamic_cast<MyApp::TaskTable*>(QVUtility::FindElementHolding(Table())); }
    // A cell's text as the table gives it to the control.
    std::string Cell(int row, int column) const {
        return drv::Utf8(Tasks().onItemText(&Tasks(), static_cast<std::size_t>(row), column));
    }
    // The key sent to the field open in the table, answering the message it
    // raises with OK on a second thread; the message's text.
    std::wstring Refused(UINT key) {
        std::wstring text;
        std::thread helper([&] {
            drv::UseDesktop();
            drv::AnswerMessageBox(GetCurrentProcessId(), L"Errore", IDOK, &text);
        });
        SendMessageW(Tasks().Editor().Field()->window, WM_KEYDOWN, key, 0);
        helper.join();
        return text;
    }
    // A value put into the field open, which takes it as text or, the date field, as a day (dd/mm/yyyy).
    void Put(const std::wstring& text) {
        MyApp::Date day;
        MyApp::ParseDate(drv::Utf8(text), day);
        SetWindowTextW(Tasks().Editor().Field()->window, text.c_str());
        SendMessageW(Tasks().Editor().Field()->window, DTM_SETSYSTEMTIME, GDT_VALID,
                     reinterpret_cast<LPARAM>(&day.value));
    }

    std::string path, original;
};

// The middle, each end, past the span's edge, and Escape: the tip and the
// table's row follow the mouse, the bar is let go where the rules put it.
TEST_F(EditInPlace, DraggingABarMovesItsTaskOrOneEnd) {
    Open(kSite);
    // Where the bar is taken (0 its first pixel, 1 its last), how far, Escape, and the days saved.
    const std::tuple<double, int, bool, const char*> cases[] = {
        {0.5, 3, false, "11/03/2027\r\n24/03/2027"},    // ten working days from the day dropped on
        {0.5, 5, false, "15/03/2027\r\n26/03/2027"},    // dropped on a Saturday: the Monday after
        {0.0, -4, false, "04/03/2027\r\n19/03/2027"},   // the start alone
        {1.0, 2, false, "08/03/2027\r\n21/03/2027"},    // the end alone
        {0.5, 200, false, "19/04/2027\r\n30/04/2027"},  // stopped at the span's end, ten working days still
        {0.5, 3, true, "08/03/2027\r\n19/03/2027"},     // Escape: nothing moved
    };
    const MyApp::ChartLayout& layout = form->chart->Geometry();
    for (const auto& [grip, days, escape, saved] : cases) {
        SCOPED_TRACE(saved);
        MyApp::ChartBar* bar = Bar("Ponteggio");
        ASSERT_NE(bar, nullptr);
        const RECT place = drv::ScreenRect(bar->window);
        const POINT from{place.left + static_cast<LONG>(grip * (place.right - place.left - 1)), place.top + 5};
        const long dx = static_cast<long>(layout.ColumnLeft(days) - layout.ColumnLeft(0));
        Mouse(bar, WM_LBUTTONDOWN, from);
        // Within the drag threshold nothing moves.
        Mouse(bar, WM_MOUSEMOVE, POINT{from.x + GetSystemMetrics(SM_CXDRAG), from.y});
        EXPECT_EQ(drv::ScreenRect(bar->window).left, place.left);
        Mouse(bar, WM_MOUSEMOVE, POINT{from.x + dx, from.y + 3});
        const int row = Row("Ponteggio");
        EXPECT_EQ(drv::Utf8(drv::Text(form->chart->Drag().TipWindow())),
                  "dal " + Cell(row, 1) + " al " + Cell(row, 2) + ", " + Cell(row, 3) + " giorni lavorativi");
        // The end taken stays under the mouse (the middle holds none).
        const RECT now = drv::ScreenRect(bar->window);
        const LONG held = grip == 0 ? now.left : grip == 1 ? now.right - 1 : from.x + dx;
        EXPECT_LE(std::abs(held - from.x - dx), layout.ColumnLeft(1));
        // The row and the bar show the task moved, or as it was once Escape is pressed.
        if (escape) SendMessageW(form->chart->window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(Cell(row, 1) + "\r\n" + Cell(row, 2), saved);
        EXPECT_EQ(drv::ScreenRect(bar->window).left == place.left, escape || grip == 1);
        Mouse(bar, WM_LBUTTONUP, POINT{from.x + dx, from.y + 3});
        EXPECT_EQ(form->project.modified, !escape);
        EXPECT_NE(Saved().find(std::string("\r\nPonteggio\r\n") + saved), std::string::npos);
        EXPECT_EQ(form->SelectedTaskId(), form->project.tasks[static_cast<std::size_t>(Row("Ponteggio"))].id);
        OneUndoGivesBack(original);
    }
}

// Fitted to the view, a day is a fraction of a pixel: the move is still of
// whole days, as many as the mouse went over, or to the next working day.
TEST_F(EditInPlace, AtTheFittedZoomABarMovesByWholeDays) {
    Open(
        "#VELMORA\r\nTre anni\r\n04/01/2027\r\n29/12/2029\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n1\r\n#TASK\r\n"
        "Lavori\r\n01/02/2027\r\n28/02/2027\r\n255\r\n1\r\n10\r\n");
    form->Execute(Command::ZoomFit);
    ASSERT_TRUE(form->chart->ZoomFitted());
    const double pixelsPerDay = form->chart->Geometry().ColumnLeft(1000) / 1000.0;
    ASSERT_LT(pixelsPerDay, 1.0);
    MyApp::ChartBar* bar = Bar("Lavori");
    ASSERT_NE(bar, nullptr);
    const POINT from = drv::Centre(drv::ScreenRect(bar->window));
    for (const long dx : {37L, 101L}) {
        Mouse(bar, WM_LBUTTONDOWN, from);
        Mouse(bar, WM_MOUSEMOVE, POINT{from.x + dx, from.y});
        Mouse(bar, WM_LBUTTONUP, POINT{from.x + dx, from.y});
        const MyApp::Task& task = form->project.tasks[0];
        const double moved = static_cast<double>(MyApp::DaysUntil(TestDates::D(1, 2, 2027), task.start));
        EXPECT_TRUE(std::abs(moved - dx / pixelsPerDay) <= 0.5 ||
                    !MyApp::IsWorkingDay(form->project, MyApp::OnDay(task.start, MyApp::DayNumber(task.start) - 1)))
            << moved << " days for " << dx << " pixels";
        EXPECT_EQ(MyApp::CountWorkingDays(form->project, task.start, task.end), 28);
        OneUndoGivesBack(original);
    }
}

// Alt and the arrows: the task a working day later or earlier keeping its
// working days, its end a working day either way; each press one step of
// the history, and the selected bar tells its new days with its event.
TEST_F(EditInPlace, TheKeysMoveTheSelectedTaskAWorkingDayAtATime) {
    Open(kSite);
    form->SelectTask(form->project.tasks[static_cast<std::size_t>(Row("Ponteggio"))].id);
    drv::WinEventLog events(GetCurrentProcessId(), EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE);
    const std::pair<Command, const char*> keys[] = {
        {Command::MoveTaskLater, "09/03/2027\r\n22/03/2027"},   {Command::MoveTaskLater, "10/03/2027\r\n23/03/2027"},
        {Command::MoveEndLater, "10/03/2027\r\n24/03/2027"},    {Command::MoveEndEarlier, "10/03/2027\r\n23/03/2027"},
        {Command::MoveTaskEarlier, "09/03/2027\r\n22/03/2027"},
    };
    std::vector<std::string> steps{original};
    for (const auto& [command, saved] : keys) {
        events.Clear();
        form->Execute(command);
        EXPECT_NE(Saved().find(std::string("\r\nPonteggio\r\n") + saved), std::string::npos);
        MyApp::ChartBar* bar = form->chart->SelectedBar();
        ASSERT_NE(bar, nullptr);
        QVUtility::AccessibleFacts facts;
        bar->DescribeForAccessibility(facts);
        EXPECT_EQ(drv::Utf8(facts.description).substr(0, 28),
                  "dal " + std::string(saved).substr(0, 10) + " al " + std::string(saved).substr(12));
        EXPECT_TRUE(
            events.WaitFor([&](const drv::WinEventLog::Event& heard) { return heard.window == bar->window; }, 60000));
        steps.push_back(Saved());
    }
    for (std::size_t step = steps.size() - 1; step > 0; --step) OneUndoGivesBack(steps[step - 1]);
}

// A click on a cell of the selected row edits it once no double click came;
// F2 edits the description. Each cell in turn: a value the dialog refuses is
// refused with its message and the cell stays in editing; a sound one (and
// what of it the file then holds) goes in with Tab, on to the next cell (past the row's last, to the next row's
// first), and Maiusc+Tab goes back. The cost follows at once, and each cell
// confirmed is one step of the history.
TEST_F(EditInPlace, TheTableCellsAreEditedInPlace) {
    Open(kSite);
    const int row = Row("Ponteggio");
    form->SelectTask(form->project.tasks[static_cast<std::size_t>(row)].id);
    MyApp::TaskCellEditor& editor = Tasks().Editor();
    SetFocus(Table());
    const RECT resources = Tasks().CellRect(static_cast<std::size_t>(row), 4);
    const LPARAM at = MAKELPARAM((resources.left + resources.right) / 2, (resources.top + resources.bottom) / 2);
    PostMessageW(Table(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(Table(), WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(ToolkitTest::PumpUntil([&] { return editor.Column() == 4; }, 60000));
    SendMessageW(editor.Field()->window, WM_KEYDOWN, VK_ESCAPE, 0);
    form->Execute(Command::EditCell);
    EXPECT_EQ(editor.IsOpen() ? drv::Text(editor.Field()->window) : L"", L"Ponteggio");
    const std::tuple<int, const wchar_t*, const wchar_t*, const wchar_t*, const char*> cells[] = {
        {0, L" ", L"E' necessario indicare la descrizione.", L"  Ponteggio est ", "\r\nPonteggio est\r\n"},
        {1, L"01/01/2027",
         L"La data di inizio deve essere compresa nel periodo del progetto (dal 01/03/2027 al 30/04/2027).",
         L"09/03/2027", "\r\n09/03/2027\r\n19/03/2027\r\n"},
        {2, L"05/03/2027", L"La data finale deve essere successiva alla data di inizio.", L"26/03/2027",
         "\r\n09/03/2027\r\n26/03/2027\r\n"},
        {4, L"100001", L"Il numero di risorse deve essere compreso tra 0 e 100.000.", L"5",
         "\r\n255\r\n5\r\n150.5\r\n"},
        {5, L"12.5", L"Importo non valido: usare la virgola per i decimali (es. 12,5).", L"12,5", "\r\n5\r\n12.5\r\n"},
    };
    std::vector<std::string> steps{original};
    for (const auto& [column, refused, message, typed, saved] : cells) {
        SCOPED_TRACE(column);
        ASSERT_EQ(editor.Column(), column);
        Put(refused);
        EXPECT_EQ(Refused(VK_RETURN), message);
        ASSERT_EQ(editor.Column(), column);
        Put(typed);
        SendMessageW(editor.Field()->window, WM_KEYDOWN, VK_TAB, 0);
        steps.push_back(Saved());
        EXPECT_NE(steps.back().find(saved), std::string::npos);
    }
    EXPECT_EQ(Cell(row, 6), MyApp::FormatAmount(MyApp::CostOfDays(12.5, 5, 14), MyApp::UserAmountFormat()));
    ASSERT_EQ(editor.Column(), 0);
    EXPECT_EQ(Tasks().SelectedRow(), row + 1);
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(editor.Field()->window, WM_KEYDOWN, VK_TAB, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(editor.Column(), 5);
    EXPECT_EQ(Tasks().SelectedRow(), row);
    SendMessageW(editor.Field()->window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(editor.IsOpen());
    for (std::size_t step = steps.size() - 1; step > 0; --step) OneUndoGivesBack(steps[step - 1]);
}

// On a denser screen the ends' zones grow with the scale, the table's columns
// stay as wide for the eye, and the table and the field in a cell take the
// font made for it; the drag and the field in a cell as they look there.
TEST_F(EditInPlace, TheEndZonesAndTheFontsFollowTheScreensDensity) {
    Open(kSite);
    std::vector<int> baseWidths;
    for (const int dpi : {96, 144}) {
        form->OnDpiChanged(QVUtility::DisplayScale(dpi), drv::ScreenRect(form->window));
        ToolkitTest::Pump(50);
        // The table's columns as wide for the eye: no date cut at 144 DPI.
        const std::vector<int> widths = Tasks().ColumnWidths();
        if (baseWidths.empty()) baseWidths = widths;
        for (std::size_t c = 0; c < widths.size(); ++c)
            EXPECT_GE(widths[c], QVUtility::DisplayScale(dpi)(baseWidths[c]) - 1) << "column " << c;
        MyApp::ChartBar* bar = Bar("Ponteggio");
        ASSERT_NE(bar, nullptr);
        const int zone = QVUtility::DisplayScale(dpi)(6);
        EXPECT_EQ(form->chart->Drag().PartAt(*bar, zone - 1), MyApp::MovePart::Start);
        EXPECT_EQ(form->chart->Drag().PartAt(*bar, zone), MyApp::MovePart::Whole);
        EXPECT_EQ(form->chart->Drag().PartAt(*bar, bar->width - zone), MyApp::MovePart::End);
        EXPECT_EQ(form->chart->Drag().PartAt(*bar, bar->width - zone - 1), MyApp::MovePart::Whole);
        const POINT from = drv::Centre(drv::ScreenRect(bar->window));
        Mouse(bar, WM_LBUTTONDOWN, from);
        Mouse(bar, WM_MOUSEMOVE, POINT{from.x + static_cast<LONG>(3 * form->chart->Geometry().ColumnLeft(1)), from.y});
        ToolkitTest::Pump(100);
        apptest::Shot((L"trascinamento_" + std::to_wstring(dpi)).c_str());
        SendMessageW(form->chart->window, WM_KEYDOWN, VK_ESCAPE, 0);
        Mouse(bar, WM_LBUTTONUP, from);
        ASSERT_TRUE(Tasks().Editor().Open(static_cast<std::size_t>(Row("Ponteggio")), 2));
        const LRESULT font = reinterpret_cast<LRESULT>(Tasks().font->GetFont());
        EXPECT_EQ(SendMessageW(Table(), WM_GETFONT, 0, 0), font);
        EXPECT_EQ(SendMessageW(Tasks().Editor().Field()->window, WM_GETFONT, 0, 0), font);
        ToolkitTest::Pump(100);
        apptest::Shot((L"cella_" + std::to_wstring(dpi)).c_str());
        SendMessageW(Tasks().Editor().Field()->window, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(Saved(), original);
    }
}

}  // namespace
