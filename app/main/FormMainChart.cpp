// The main window's chart: the title cell, the ruler and the bar windows of
// the rows in view, built from the project and placed as the chart panel
// scrolls; choosing a task on it (a left or right click on its bar, the up
// and down arrows; a double click or Invio edits it and Canc deletes it). The
// selection is a task's id, so it stays with its task whatever bar windows
// the view binds to which rows.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/FormMainHandlers.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "toolkit/core/Menu.h"
#include "toolkit/core/WindowReach.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/ListView.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/Timer.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

// Moves a child window of `panel` to (left, top) and, when width is not
// negative, gives it that size; nothing when it is there already.
void PlaceChild(HWND child, HWND panel, int left, int top, int width = -1, int height = -1) {
    RECT outer{};
    if (child == nullptr || !GetWindowRect(child, &outer)) return;
    POINT corner{outer.left, outer.top};
    ScreenToClient(panel, &corner);
    const bool resized = width >= 0 && (outer.right - outer.left != width || outer.bottom - outer.top != height);
    if (corner.x == left && corner.y == top && !resized) return;
    SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (resized ? 0 : SWP_NOSIZE));
}

void ShowChild(HWND child, bool show) {
    if (child == nullptr || (IsWindowVisible(child) != FALSE) == show) return;
    ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
}

// The scroll position that brings the span [first, last) into a view of
// `size` pixels now at `position`, with `margin` pixels around it when they
// fit; the position itself when the span is in view already.
std::int64_t Reveal(std::int64_t position, int size, std::int64_t first, std::int64_t last, int margin) {
    if (first < position) return std::max<std::int64_t>(0, first - margin);
    if (last > position + size) return std::min(first - margin, last + margin - size);
    return position;
}

}  // namespace

// ---- The chart ------------------------------------------------------------------------

void FormMain::MarkModified() {
    project.modified = true;
    ProjectChanged();
}

void FormMain::ProjectChanged() {
    HandChangeToRecovery();
    UpdateCommands();
    RefreshChart();
}

void FormMain::RefreshChart() {
    if (chartPanel == nullptr) return;
    chartPanel->ResetHorizontalScroll();
    chartPanel->ResetVerticalScroll();
    BuildChartRows();
    Layout();
}

void FormMain::BuildChartRows() {
    if (!ShapeChart()) return;
    for (ChartBar* bar : bars) bar->row = ChartBar::NoRow;  // every bar shows its task afresh
    PlaceBars();
    FillTable();
    UpdateCommands();
}

bool FormMain::ShapeChart() {
    if (chartPanel == nullptr || titleCell == nullptr || ruler == nullptr) return false;

    titleCell->SetTextNarrow(project.description);
    if (!titleCell->created) titleCell->Create();
    ShowWindow(titleCell->window, SW_SHOWNA);
    chartBuilt = true;

    ruler->SetProject(project.start, project.end, project.includeDays, project.excludeDays, project.workingWeekdays);
    DescribeChart();
    ApplyZoomToRuler();
    if (!ruler->created) ruler->Create();
    ShowWindow(ruler->window, SW_SHOWNA);
    // The width the ruler gave itself for the span (the platform may cap the
    // size of a window, the export must not be).
    chartWidth = ruler->width;
    int rulerHeight = ruler->height;
    RECT outer{};
    if (ruler->window != nullptr && GetWindowRect(ruler->window, &outer)) rulerHeight = outer.bottom - outer.top;

    chartLayout = ChartLayout(project, ruler->dayWidth, chartWidth, rulerHeight, scale, ruler->columnDivisor);
    // The rows scroll until the last is at the bottom of the view, as the
    // task table's do, so that the two stay level.
    contentHeight = static_cast<int>(std::min<std::int64_t>(
        chartLayout.RowsTop() + static_cast<std::int64_t>(chartLayout.Rows()) * chartLayout.rowPitch,
        ChartLayout::TallestContent));
    // The title and the ruler stay at the top while the rows scroll, a row
    // at a time.
    chartPanel->fixedTop = static_cast<int>(chartLayout.RowsTop());
    chartPanel->lineHeight = chartLayout.rowPitch;
    chartPanel->snapToLines = true;
    chartPanel->stopAtEnd = true;
    chartPanel->lineWidth = static_cast<int>(std::max<std::int64_t>(1, chartLayout.ColumnLeft(1)));
    return true;
}

void FormMain::PlaceBars() {
    if (chartPanel == nullptr || chartPanel->window == nullptr || !chartBuilt || holdingBars) return;
    HWND panel = chartPanel->window;
    const int scrollX = chartPanel->ScrollPosition(SB_HORZ);
    const int scrollY = chartPanel->ScrollPosition(SB_VERT);
    RECT client{};
    GetClientRect(panel, &client);

    // The title and the ruler stay at the top however far down the rows
    // are scrolled; the title stays in the middle of the view, the ruler
    // goes sideways with the chart.
    if (titleCell != nullptr && titleCell->window != nullptr) {
        PlaceChild(titleCell->window, panel, 0, 0, client.right, chartLayout.titleHeight);
        ShowChild(titleCell->window, true);
    }
    if (ruler != nullptr && ruler->window != nullptr) {
        RECT outer{};
        if (GetWindowRect(ruler->window, &outer)) {
            POINT corner{outer.left, outer.top};
            ScreenToClient(panel, &corner);
            PlaceChild(ruler->window, panel, corner.x, chartLayout.rulerTop);
        }
    }

    // Row r is shown by bars[r % bars.size()]: there are at least as many
    // bars as rows near the view, so no two of those rows share one.
    const std::size_t needed = chartLayout.RowsNearAtMost(client.bottom);
    while (bars.size() < needed) {
        auto* bar = ownedElements.Add(new ChartBar(chartPanel));
        bar->onRightButtonUp = &FormMainHandlers::BarRightClick;
        bar->onLeftButtonDown = &FormMainHandlers::BarLeftClick;
        bar->onLeftDoubleClick = &FormMainHandlers::BarDoubleClick;
        bar->onSummary = &FormMainHandlers::BarSummary;
        bar->systemColours = systemColours;
        bar->font = barFont;
        bars.push_back(bar);
    }
    PlaceTodayLine(scrollX, client);
    FollowChartScroll(scrollY);
    if (bars.empty()) return;
    // The rows' band of the view lies under the title and the ruler.
    const std::int64_t rowsTop = chartLayout.RowsTop();
    const RowRange inView =
        chartLayout.RowsNear(scrollY + rowsTop, std::max(0, static_cast<int>(client.bottom - rowsTop)));
    std::vector<bool> inUse(bars.size(), false);
    for (std::size_t row = inView.first; row < inView.end; ++row) {
        const std::size_t slot = row % bars.size();
        inUse[slot] = true;
        BindBar(bars[slot], row, scrollX, scrollY, client.right);
    }
    for (std::size_t slot = 0; slot < bars.size(); ++slot) {
        if (inUse[slot]) continue;
        bars[slot]->row = ChartBar::NoRow;
        ShowChild(bars[slot]->window, false);
    }
    ShowChartFocus();
}

void FormMain::BindBar(ChartBar* bar, std::size_t row, int scrollX, int scrollY, int clientWidth) {
    const Task& task = project.tasks[row];
    const BarWindowSpan span = ChartLayout::WindowSpan(chartLayout.Bar(task), scrollX, clientWidth);
    const bool rebound = bar->row != row || bar->taskId != task.id || bar->window == nullptr;
    if (rebound) {
        bar->row = row;
        bar->taskId = task.id;
        bar->tag = std::to_string(task.id);
        bar->backColour = task.colour;
        bar->fillBackground = true;
        bar->textColour = BarTextColour(task.colour);
        bar->text = QVUtility::Widen(task.description);
    }
    const bool selected = task.id == selectedTaskId;
    const bool marked = bar->selected != selected;
    bar->selected = selected;
    // The label goes in the part of the bar in view.
    const int shownLeft = std::max(0, -span.left);
    const int shownRight = std::min(span.width, clientWidth - span.left);
    const bool moved = bar->shownLeft != shownLeft || bar->shownRight != shownRight;
    bar->shownLeft = shownLeft;
    bar->shownRight = shownRight;
    bar->x = span.left;
    bar->y = static_cast<int>(chartLayout.RowTop(row) - scrollY);
    bar->width = span.width;
    bar->height = chartLayout.barHeight;
    // A row scrolled up under the title and the ruler is not shown.
    const bool shown = span.shown && bar->y >= chartLayout.RowsTop();
    if (bar->window == nullptr) {
        // Made in its place with its colour and text, so that its window is
        // drawn once. When the platform refuses, the row stays empty and the
        // next binding tries again.
        bar->Create();
        chartPanel->AddChildTip(bar);
        ShowChild(bar->window, shown);
        return;
    }
    if (rebound) SetWindowTextW(bar->window, bar->text.c_str());
    if (rebound || marked || moved) InvalidateRect(bar->window, nullptr, FALSE);
    if (shown) PlaceChild(bar->window, chartPanel->window, bar->x, bar->y, bar->width, bar->height);
    ShowChild(bar->window, shown);
}

int FormMain::SelectedTaskIndex() const {
    if (selectedTaskId == 0) return -1;
    return FindTaskById(project, selectedTaskId);
}

void FormMain::OnBarRightClick(GUIElement* element, int px, int py) {
    // Only the bars carry this handler; the title cell and the ruler do not.
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (bar == nullptr || bar->window == nullptr || !bar->Bound()) return;
    POINT point{px, py};
    ClientToScreen(bar->window, &point);
    SelectTask(bar->taskId);
    QVUtility::ShowPopup(taskMenu, bar->parent, point.x, point.y);
}

void FormMain::UpdateScrollBars() {
    // Showing or hiding a scroll bar resizes the panel, which comes back here.
    if (updatingScrollBars) return;
    updatingScrollBars = true;

    if (chartPanel != nullptr) {
        auto readClientSize = [this] {
            RECT client{};
            if (chartPanel->window != nullptr && GetClientRect(chartPanel->window, &client)) {
                chartPanel->width = client.right - client.left;
                chartPanel->height = client.bottom - client.top;
            }
        };
        // A bar the content does not need goes, and the view goes back to the origin.
        auto hideBar = [this](void (QVUtility::PanelChildren::*show)(bool)) {
            chartPanel->ResetHorizontalScroll();
            chartPanel->ResetVerticalScroll();
            (chartPanel->*show)(false);
        };
        readClientSize();
        if (chartPanel->width < chartWidth) {
            chartPanel->ShowHorizontalBar(true);
            chartPanel->SetContentWidth(chartWidth);
        } else {
            hideBar(&QVUtility::PanelChildren::ShowHorizontalBar);
        }
        readClientSize();
        if (chartPanel->height < contentHeight) {
            chartPanel->ShowVerticalBar(true);
            // Scrolled to the end, the first row shown starts at the top of
            // the rows' band, as the task table's does: the part of a row the
            // view holds beyond whole rows goes past the end.
            const int band = static_cast<int>(chartPanel->height - chartLayout.RowsTop());
            const int pitch = std::max(1, chartLayout.rowPitch);
            chartPanel->SetContentHeight(contentHeight + (band > 0 ? band % pitch : 0));
        } else {
            hideBar(&QVUtility::PanelChildren::ShowVerticalBar);
        }
        AlignTable();
    }
    // Resetting or clamping the scroll position moved the content with it.
    PlaceBars();
    if (layoutTimer != nullptr) layoutTimer->Stop();
    updatingScrollBars = false;
    UpdateCommands();  // zooming out is for a chart wider than its view
}

// ---- Choosing a task ------------------------------------------------------------------


void FormMain::SelectTask(int taskId) {
    selectedTaskId = taskId;
    if (taskTable != nullptr) taskTable->SelectRow(SelectedTaskIndex(), false);
    PlaceBars();  // binds each bar's mark to its task
    UpdateCommands();
    AnnounceSelection();
}

void FormMain::MoveSelection(int step) {
    if (project.tasks.empty() || !chartBuilt) return;
    const int current = SelectedTaskIndex();
    const std::int64_t last = static_cast<std::int64_t>(project.tasks.size()) - 1;
    const std::int64_t row = current < 0 ? 0 : std::clamp<std::int64_t>(current + step, 0, last);
    ShowTask(project.tasks[static_cast<std::size_t>(row)].id, false);
}

void FormMain::MoveSelectionTo(std::ptrdiff_t row) {
    if (project.tasks.empty() || !chartBuilt) return;
    const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(project.tasks.size()) - 1;
    ShowTask(project.tasks[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(row, 0, last))].id, false);
}

int FormMain::RowsPerPage() const {
    RECT client{};
    if (chartPanel == nullptr || chartPanel->window == nullptr || !GetClientRect(chartPanel->window, &client)) return 1;
    const std::int64_t band = client.bottom - chartLayout.RowsTop();
    return static_cast<int>(std::max<std::int64_t>(1, band / std::max(1, chartLayout.rowPitch)));
}

void FormMain::ShowTask(int taskId, bool chartChanged) {
    const int row = FindTaskById(project, taskId);
    if (row < 0) return;
    holdAnnouncement = true;  // told once its bar is in view
    SelectTask(taskId);
    if (chartChanged) UpdateScrollBars();  // the chart's size as it is now, before scrolling in it
    ScrollRowIntoView(static_cast<std::size_t>(row));
    holdAnnouncement = false;
    AnnounceSelection();
}

void FormMain::ScrollRowIntoView(std::size_t row) {
    if (chartPanel == nullptr || chartPanel->window == nullptr || row >= chartLayout.Rows()) return;
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    const int scrollY = chartPanel->ScrollPosition(SB_VERT);
    // Within the rows' band, below the title and the ruler.
    const std::int64_t rowsTop = chartLayout.RowsTop();
    const std::int64_t top = chartLayout.RowTop(row) - rowsTop;
    const int band = std::max(0, static_cast<int>(client.bottom - rowsTop));
    const std::int64_t wantedY = Reveal(scrollY, band, top, top + chartLayout.rowPitch, chartLayout.rowPitch);
    if (wantedY != scrollY)
        chartPanel->ScrollTo(SB_VERT, static_cast<int>(std::min<std::int64_t>(wantedY, contentHeight)));
    // Sideways only when no part of the bar is in view: then its start.
    const int scrollX = chartPanel->ScrollPosition(SB_HORZ);
    const BarSpan bar = chartLayout.Bar(project.tasks[row]);
    if (bar.left + bar.width <= scrollX || bar.left >= scrollX + client.right) {
        const std::int64_t wantedX = std::clamp<std::int64_t>(bar.left - chartLayout.rowPitch, 0, chartWidth);
        chartPanel->ScrollTo(SB_HORZ, static_cast<int>(wantedX));
    }
}

std::wstring FormMain::BarTipText(QVUtility::GUIElement* element) const {
    const auto* bar = dynamic_cast<const ChartBar*>(element);
    if (bar == nullptr || !bar->Bound() || bar->row >= project.tasks.size()) return std::wstring();
    return QVUtility::Widen(project.tasks[bar->row].description) + L"\r\n" + BarSummaryText(*bar);
}

void FormMain::OnBarLeftClick(QVUtility::GUIElement* element) {
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (bar != nullptr && bar->Bound()) SelectTask(bar->taskId);
}

void FormMain::OnBarDoubleClick(QVUtility::GUIElement* element) {
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (bar == nullptr || !bar->Bound()) return;
    SelectTask(bar->taskId);
    EditTask();
}

}  // namespace MyApp
