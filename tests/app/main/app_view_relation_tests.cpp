// What the window shows is the project, whatever the user did to the view:
// random sequences of view operations (Op) on generated projects, and after
// each step the screen read back against the project: every bar in view on
// its days' columns of the ruler, the rows in view each once and a pitch
// apart, every table row in view with its task's texts, level with its bar.
// A failing sequence is shrunk to the shortest that still fails, and printed.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"
#include "tests/app/main/InProcessMainWindow.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>
#include <random>
#include <string>
#include <vector>

#include "app/main/FormMain.h"
#include "app/res/resource.h"
#include "file/ProjectFile.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "tests/model/TestDates.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/Timer.h"

namespace {

using MyApp::Command;

enum class Op {
    ToggleTable, Splitter, Resize, ZoomIn, ZoomOut, ZoomFit, WheelZoom, LineDown, LineUp, PageDown, PageUp,
    Wheel, Thumb, Sideways, TableWheel, TablePage, Home, End, Down, PageKey, Find, ClickBar, Edit, Undo, Dpi,
    Wait, Count
};
const char* const OpNames[] = {"tabella", "divisore", "dimensioni", "zoom avanti", "zoom indietro", "adatta",
                               "Ctrl+rotella", "riga giu", "riga su", "pagina giu", "pagina su", "rotella",
                               "cursore", "di lato", "rotella tabella", "pagina tabella", "Home", "Fine", "Giu",
                               "PagGiu", "trova", "clic su barra", "modifica", "annulla", "DPI", "attesa"};

struct Step {
    Op op;
    unsigned value;
};

std::string Describe(const std::vector<Step>& steps) {
    std::string text;
    for (const Step& step : steps)
        text += std::string(OpNames[static_cast<int>(step.op)]) + "(" + std::to_string(step.value % 1000) + ") ";
    return text;
}

class ViewRelation : public apptest::InProcessMainWindow {
protected:
    void SetUp() override {
        apptest::InProcessMainWindow::SetUp();
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path = drv::Utf8(std::wstring(temp)) + "velmora_relazione_" + std::to_string(GetCurrentProcessId()) + ".vmo";
    }
    void TearDown() override {
        apptest::InProcessMainWindow::TearDown();
        DeleteFileA(path.c_str());
    }

    // A project of `tasks` tasks over three years (or ten, wider than a
    // window can reach), each named once, of random spans, colours and figures.
    void Generate(std::mt19937& random, int tasks, bool decade) {
        MyApp::Project project;
        project.description = "Progetto " + std::to_string(random() % 1000) + " Ristrutturazione";
        project.start = TestDates::D(4, 1, 2027);
        project.end = TestDates::D(31, 12, decade ? 2036 : 2029);
        for (int day = 0; day < 7; ++day) project.workingWeekdays[day] = day < 5;
        std::vector<MyApp::Date> days{project.start};
        while (days.back() < project.end) days.push_back(MyApp::AddOneDay(days.back()));
        for (int i = 0; i < tasks; ++i) {
            MyApp::Task task(project.start);
            task.description = "Attivita " + std::to_string(i + 1);
            const std::size_t first = random() % days.size();
            task.start = days[first];
            task.end = days[std::min(days.size() - 1, first + random() % 60)];
            task.colour = apptest::kBarColours[random() % 5];
            // Now and then amounts of many digits, which the table shows whole.
            const bool large = random() % 20 == 0;
            task.resources = 1 + static_cast<int>(random() % (large ? 1000 : 9));
            task.dailyCost = static_cast<double>(random() % (large ? 100000000 : 100000)) / 4;
            project.tasks.push_back(task);
        }
        ASSERT_TRUE(MyApp::SaveProjectFile(path, project));
    }

    // Back to a window as a user starts with, then the project opened.
    void Start(unsigned seed) {
        if (form->scale.Dpi() != 96) Dpi(96);
        SetWindowPos(form->window, nullptr, 0, 0, 1200, 800, SWP_NOZORDER | SWP_NOACTIVATE);
        if (!Table() || !IsWindowVisible(Table())) form->Execute(Command::ShowTable);
        std::mt19937 random(seed);
        // Most projects are a few pages long, which is what scrolling needs;
        // one in ten is longer, and one has 100,000 tasks.
        const int tasks = seed == 7 ? 100000 : seed % 10 == 0 ? 200 + static_cast<int>(random() % 300)
                                                               : 20 + static_cast<int>(random() % 80);
        Generate(random, tasks, seed % 4 == 0);
        // Each sequence from a zoom of its own: what a project opens at
        // follows from it.
        form->chart->SetZoom(seed % 7, seed % 5 == 0, MyApp::ZoomStep{700, 365});
        ASSERT_TRUE(form->OpenProjectFile(path));
        found = false;
        rowsChanged = true;
    }

    HWND Panel() const { return form->chart->window; }
    HWND Table() const { return GetDlgItem(form->window, IDC_TASK_TABLE); }
    bool TableShown() const { return Table() != nullptr && IsWindowVisible(Table()); }

    void Dpi(int dpi) {
        RECT place{};
        GetWindowRect(form->window, &place);
        form->OnDpiChanged(QVUtility::DisplayScale(dpi), place);
    }

    void Apply(const Step& step) {
        const unsigned v = step.value;
        const auto scroll = [&](HWND target, UINT message, int request) {
            SendMessageW(target, message, MAKEWPARAM(request, 0), 0);
        };
        const auto wheel = [&](HWND target, int keys, int notches) {
            SendMessageW(target, WM_MOUSEWHEEL, MAKEWPARAM(keys, WHEEL_DELTA * notches), 0);
        };
        switch (step.op) {
        case Op::ToggleTable: form->Execute(Command::ShowTable); break;
        case Op::Splitter: {
            HWND splitter = GetDlgItem(form->window, IDC_SPLITTER);
            if (splitter == nullptr || !IsWindowVisible(splitter)) break;
            const int move = static_cast<int>(v % 700) - 300;
            SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
            SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2 + move / 2, 10));
            SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(2 + move, 10));
            SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(2 + move, 10));
            break;
        }
        case Op::Resize:
            SetWindowPos(form->window, nullptr, 0, 0, 500 + static_cast<int>(v % 1000), 300 + static_cast<int>(v / 7 % 550),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
            break;
        case Op::ZoomIn: form->Execute(Command::ZoomIn); break;
        case Op::ZoomOut: form->Execute(Command::ZoomOut); break;
        case Op::ZoomFit: form->Execute(Command::ZoomFit); break;
        case Op::WheelZoom: wheel(Panel(), MK_CONTROL, v % 2 ? 1 : -1); break;
        case Op::LineDown: scroll(Panel(), WM_VSCROLL, SB_LINEDOWN); break;
        case Op::LineUp: scroll(Panel(), WM_VSCROLL, SB_LINEUP); break;
        case Op::PageDown: scroll(Panel(), WM_VSCROLL, SB_PAGEDOWN); break;
        case Op::PageUp: scroll(Panel(), WM_VSCROLL, SB_PAGEUP); break;
        case Op::Wheel: wheel(Panel(), 0, v % 3 == 0 ? 1 : -1); break;
        case Op::Thumb: {
            SCROLLINFO range{};
            range.cbSize = sizeof range;
            range.fMask = SIF_RANGE;
            const int bar = v % 2 ? SB_VERT : SB_HORZ;
            if (GetScrollInfo(Panel(), bar, &range)) form->chart->ScrollTo(bar, static_cast<int>(range.nMax / 1000.0 * (v % 1001)));
            break;
        }
        case Op::Sideways: scroll(Panel(), WM_HSCROLL, v % 4 == 0 ? SB_PAGELEFT : v % 4 == 1 ? SB_PAGERIGHT : v % 4 == 2 ? SB_LINELEFT : SB_LINERIGHT); break;
        case Op::TableWheel: if (TableShown()) wheel(Table(), 0, v % 2 ? 1 : -1); break;
        case Op::TablePage: if (TableShown()) scroll(Table(), WM_VSCROLL, v % 2 ? SB_PAGEUP : SB_PAGEDOWN); break;
        case Op::Home: form->Execute(Command::SelectFirst); break;
        case Op::End: form->Execute(Command::SelectLast); break;
        case Op::Down: form->Execute(v % 2 ? Command::SelectNext : Command::SelectPrevious); break;
        case Op::PageKey: form->Execute(v % 2 ? Command::SelectPageDown : Command::SelectPageUp); break;
        case Op::Find: Find(v); break;
        case Op::ClickBar: {
            std::vector<MyApp::ChartBar*> shown;
            for (MyApp::ChartBar* bar : form->chart->bars)
                if (bar->window != nullptr && IsWindowVisible(bar->window)) shown.push_back(bar);
            if (shown.empty()) break;
            SendMessageW(shown[v % shown.size()]->window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
            SendMessageW(shown[v % shown.size()]->window, WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
            break;
        }
        case Op::Edit:
            Edit(v);
            rowsChanged = true;
            break;
        case Op::Undo:
            form->Execute(Command::Undo);
            rowsChanged = true;
            break;
        case Op::Dpi: Dpi(v % 3 == 0 ? 96 : v % 3 == 1 ? 120 : 144); break;
        case Op::Wait:
            // Half a second goes by: the window's layout timer has fired.
            ToolkitTest::Pump(1);
            if (form->layoutTimer->running) form->layoutTimer->OnTimerTick();
            break;
        case Op::Count: break;
        }
    }

    // "Trova..." with a piece of a task's name, answered in its dialog, or
    // F3 once a text was looked for.
    void Find(unsigned v) {
        if (found) {
            form->Execute(Command::FindNext);
            return;
        }
        form->Execute(Command::Find);
        HWND dialog = nullptr;
        ASSERT_TRUE(ToolkitTest::PumpUntil([&] { return (dialog = FindWindowW(nullptr, L"Trova")) != nullptr; }, 60000));
        HWND field = FindWindowExW(dialog, nullptr, L"Edit", nullptr);
        ASSERT_NE(field, nullptr);
        SetWindowTextW(field, (L"ita " + std::to_wstring(1 + v % 9)).c_str());
        SendMessageW(FindWindowExW(dialog, nullptr, L"Button", L"OK"), BM_CLICK, 0, 0);
        ASSERT_TRUE(ToolkitTest::PumpUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 60000));
        found = true;
    }

    // The selected task (or the first) moved and renamed as its dialog
    // confirms it.
    void Edit(unsigned v) {
        if (form->project.tasks.empty()) return;
        if (form->SelectedTaskId() == 0) form->SelectTask(form->project.tasks[v % form->project.tasks.size()].id);
        MyApp::Task task = form->project.tasks[static_cast<std::size_t>(MyApp::FindTaskById(form->project, form->SelectedTaskId()))];
        task.description += "+";
        if (task.end < form->project.end) task.end = MyApp::AddOneDay(task.end);
        form->ApplyEditedTask(task);
    }

    // What the screen shows against the project; empty when they agree.
    std::string Check() {
        const MyApp::Project& project = form->project;
        if (rowsChanged) {
            rowOf.clear();
            for (std::size_t row = 0; row < project.tasks.size(); ++row) rowOf[project.tasks[row].description] = row;
            shownCalendar = std::make_unique<MyApp::WorkingDayCalendar>(project);
            rowsChanged = false;
        }
        const QVUtility::TimeLine* ruler = form->chart->ruler;
        const RECT view = drv::ClientScreenRect(Panel());
        const RECT rulerPlace = drv::ScreenRect(ruler->window);
        const long origin = rulerPlace.left - static_cast<long>(ruler->ViewOrigin());
        if (rulerPlace.left > view.left || rulerPlace.right < std::min<long>(view.right, origin + ruler->width))
            return "the ruler does not cover the view";
        const RECT title = drv::ScreenRect(form->chart->titleCell->window);
        if (title.left != view.left || title.right != view.right) return "the title does not span the view";
        // The bars in view.
        std::map<std::size_t, RECT> shown;
        for (const MyApp::ChartBar* bar : form->chart->bars) {
            if (bar->window == nullptr || !IsWindowVisible(bar->window)) continue;
            const auto found = rowOf.find(drv::Utf8(drv::Text(bar->window)));
            if (found == rowOf.end()) return "a bar shows no task: " + drv::Utf8(drv::Text(bar->window));
            const std::size_t row = found->second;
            const RECT place = drv::ScreenRect(bar->window);
            if (place.right <= view.left || place.left >= view.right) continue;  // a window beside the view
            if (!shown.emplace(row, place).second) return "row " + std::to_string(row) + " shown twice";
            const MyApp::Task& task = project.tasks[row];
            const std::int64_t first = MyApp::DaysUntil(project.start, task.start);
            const long left = origin + static_cast<long>(ruler->ColumnLeft(first));
            const long right = origin + static_cast<long>(ruler->ColumnLeft(first + MyApp::DaysUntil(task.start, task.end) + 1));
            const auto inView = [&](long x) { return x >= view.left && x <= view.right; };
            if ((inView(left) && place.left != left) || (inView(right) && place.right != right) ||
                place.left > std::max(left, view.left) || place.right < std::min(right, view.right))
                return "the bar of row " + std::to_string(row) + " lies from " + std::to_string(place.left - origin) +
                       " to " + std::to_string(place.right - origin) + ", its days from " + std::to_string(left - origin) +
                       " to " + std::to_string(right - origin);
        }
        // Every row between, a pitch apart, none left out.
        const int pitch = form->chart->Geometry().rowPitch;
        const long bandTop = view.top + static_cast<long>(form->chart->Geometry().RowsTop());
        std::optional<std::pair<std::size_t, long>> anchor;  // a row and its bar's top on screen
        if (!shown.empty()) anchor = std::make_pair(shown.begin()->first, shown.begin()->second.top);
        const auto topOf = [&](std::size_t row) {
            return anchor->second + (static_cast<long>(row) - static_cast<long>(anchor->first)) * pitch;
        };
        if (anchor) {
            for (const auto& [row, place] : shown)
                if (place.top != topOf(row)) return "row " + std::to_string(row) + " is not a pitch below the row before";
            const long rows = (view.bottom - bandTop) / pitch + 2;
            const std::size_t from = anchor->first > static_cast<std::size_t>(rows) ? anchor->first - rows : 0;
            for (std::size_t row = from; row < project.tasks.size() && topOf(row) < view.bottom; ++row) {
                const MyApp::Task& task = project.tasks[row];
                const std::int64_t first = MyApp::DaysUntil(project.start, task.start);
                const long left = origin + static_cast<long>(ruler->ColumnLeft(first));
                const long right = origin + static_cast<long>(ruler->ColumnLeft(first + MyApp::DaysUntil(task.start, task.end) + 1));
                const bool wanted = topOf(row) >= bandTop && right > view.left && left < view.right;
                if (wanted != (shown.count(row) > 0))
                    return "row " + std::to_string(row) + (wanted ? " is missing" : " is shown outside the view") +
                           ": top " + std::to_string(topOf(row) - bandTop) + " in the band, days from " +
                           std::to_string(left - view.left) + " to " + std::to_string(right - view.left) + " in a view " +
                           std::to_string(view.right - view.left) + " wide";
            }
        }
        if (!TableShown()) return {};
        if (drv::ScreenRect(Table()).bottom > drv::ScreenRect(form->statusBar->window).top)
            return "the table reaches over the status bar";

        // The table's rows in view: their texts, level with their bars.
        const MyApp::WorkingDayCalendar& calendar = *shownCalendar;
        const MyApp::AmountFormat format = MyApp::UserAmountFormat();
        const std::size_t top = static_cast<std::size_t>(SendMessageW(Table(), LVM_GETTOPINDEX, 0, 0));
        const std::size_t page = static_cast<std::size_t>(SendMessageW(Table(), LVM_GETCOUNTPERPAGE, 0, 0));
        for (std::size_t row = top; row < top + page && row < project.tasks.size(); ++row) {
            const MyApp::Task& task = project.tasks[row];
            const MyApp::TaskCost figures = MyApp::CostOf(calendar, task);
            const std::string expected[] = {task.description, MyApp::FormatDate(task.start), MyApp::FormatDate(task.end),
                                            std::to_string(figures.workingDays), std::to_string(task.resources),
                                            MyApp::FormatAmount(task.dailyCost, format), MyApp::FormatAmount(figures.cost, format)};
            for (int column = 0; column < 7; ++column) {
                wchar_t text[256] = {};
                LVITEMW item{};
                item.iSubItem = column;
                item.pszText = text;
                item.cchTextMax = 256;
                SendMessageW(Table(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
                if (drv::Utf8(text) != expected[column])
                    return "table row " + std::to_string(row) + " shows " + drv::Utf8(text) + " for " + expected[column];
                const int room = static_cast<int>(SendMessageW(Table(), LVM_GETCOLUMNWIDTH, column, 0));
                if (column >= 5 && SendMessageW(Table(), LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)) + 12 > room)
                    return "table row " + std::to_string(row) + " cuts the amount " + expected[column];
            }
            RECT cell{LVIR_BOUNDS, 0, 0, 0};
            SendMessageW(Table(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
            MapWindowPoints(Table(), nullptr, reinterpret_cast<POINT*>(&cell), 2);
            if (cell.bottom > drv::ClientScreenRect(Table()).bottom) continue;  // a table too low to show it
            const long middle = (cell.top + cell.bottom) / 2;
            const long barMiddle = anchor ? topOf(row) + form->chart->Geometry().barHeight / 2 : middle;
            if (std::abs(middle - barMiddle) > 2)
                return "table row " + std::to_string(row) + " is " + std::to_string(middle - barMiddle) +
                       " pixels away from its bar";
        }
        return {};
    }

    // The sequence from a fresh start: the first failure, or empty.
    std::string Run(unsigned seed, const std::vector<Step>& steps, std::size_t* failedAt = nullptr) {
        Start(seed);
        // The table's first row and how many it shows whole.
        const auto rows = [&] {
            return std::make_pair(SendMessageW(Table(), LVM_GETTOPINDEX, 0, 0), SendMessageW(Table(), LVM_GETCOUNTPERPAGE, 0, 0));
        };
        // A project opens at a zoom that shows it no narrower than its view.
        const long viewWidth = drv::ClientScreenRect(Panel()).right - drv::ClientScreenRect(Panel()).left;
        if ((form->chart->ZoomLevel() > 0 || form->chart->ZoomFitted()) &&
            form->chart->ruler->width + form->scale(2) + 1 < viewWidth)
            return "the project opened narrower than its view";
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const auto before = rows();
            Apply(steps[i]);
            std::string failure = Check();
            // A page down, by the scroll bar or the wheel, skips no row.
            const bool pageDown = steps[i].op == Op::PageDown || (steps[i].op == Op::Wheel && steps[i].value % 3 != 0);
            if (failure.empty() && pageDown && TableShown() && rows().first > before.first + before.second)
                failure = "a page down skipped rows";
            if (!failure.empty()) {
                if (failedAt != nullptr) *failedAt = i;
                return failure;
            }
        }
        return {};
    }

    // The shortest sequence found that still fails: chunks left out while it does.
    std::vector<Step> Shrink(unsigned seed, std::vector<Step> steps) {
        for (std::size_t chunk = steps.size() / 2; chunk >= 1; chunk /= 2) {
            for (std::size_t at = 0; at + chunk <= steps.size();) {
                std::vector<Step> shorter(steps.begin(), steps.begin() + at);
                shorter.insert(shorter.end(), steps.begin() + at + chunk, steps.end());
                if (!Run(seed, shorter).empty()) {
                    steps = shorter;
                } else {
                    at += chunk;
                }
            }
        }
        return steps;
    }

    std::string path;
    bool found = false;  // a text was looked for: F3 goes on with it
    // Each task's row, by its description (each is named once); made again
    // after a step that may move the rows.
    std::unordered_map<std::string, std::size_t> rowOf;
    std::unique_ptr<MyApp::WorkingDayCalendar> shownCalendar;
    bool rowsChanged = true;
};

TEST_F(ViewRelation, TheScreenShowsTheProjectAfterEveryViewOperation) {
    constexpr unsigned kSequences = 200;
    constexpr std::size_t kSteps = 30;
    for (unsigned seed = 1; seed <= kSequences; ++seed) {
        std::mt19937 random(seed * 7919u);
        std::vector<Step> steps;
        for (std::size_t i = 0; i < kSteps; ++i)
            steps.push_back({static_cast<Op>(random() % static_cast<unsigned>(Op::Count)), static_cast<unsigned>(random())});
        std::size_t failedAt = 0;
        const std::string failure = Run(seed, steps, &failedAt);
        if (failure.empty()) continue;
        steps.resize(failedAt + 1);
        const std::vector<Step> shortest = Shrink(seed, steps);
        FAIL() << "seed " << seed << ": " << Run(seed, shortest) << "\n  after: " << Describe(shortest);
    }
}

}  // namespace
