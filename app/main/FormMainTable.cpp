// The task table beside the chart: one row per task, in the chart's order,
// each row level with its bar; drawn from the project as rows come into
// view, so a table of any length costs nothing per task. Its selection is
// the chart's, its rows scroll with the chart's, and a splitter sets its
// width. Shown or hidden by "Visualizza" > "Tabella delle attività"; the
// width, the column widths and whether it is shown are kept for the user.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/FormMainHandlers.h"
#include "app/main/StartPage.h"
#include "app/res/resource.h"
#include "app/settings/Settings.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "toolkit/core/Menu.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/ListView.h"
#include "toolkit/widgets/PanelChildren.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

const wchar_t* const TableShownSetting = L"TabellaVisibile";
const wchar_t* const TableWidthSetting = L"TabellaLarghezza";

struct TableColumn {
    const wchar_t* title;
    int width;  // at 96 DPI
    bool alignRight;
};
const TableColumn TableColumns[] = {
    {L"Descrizione", 180, false},     {L"Inizio", 80, false}, {L"Fine", 80, false},
    {L"Giorni lavorativi", 70, true}, {L"Risorse", 60, true}, {L"Costo giornaliero", 100, true},
    {L"Costo", 110, true},
};
constexpr int ColumnCount = static_cast<int>(sizeof TableColumns / sizeof TableColumns[0]);

constexpr int DefaultTableWidth = 430;  // at 96 DPI
constexpr int NarrowestTable = 60;
constexpr int NarrowestChart = 120;
constexpr int SplitterWidth = 5;

std::wstring ColumnSetting(int column) { return L"TabellaColonna" + std::to_wstring(column + 1); }

}  // namespace

// ---- Handlers ---------------------------------------------------------------------------

std::wstring FormMainHandlers::TableText(QVUtility::ListView* list, std::size_t row, int column) {
    FormMain* form = QVUtility::OwningElement<FormMain>(list);
    return form != nullptr ? form->TableCell(row, column) : std::wstring();
}

void FormMainHandlers::TableSelect(QVUtility::ListView* list, std::ptrdiff_t row) {
    FormMain* form = QVUtility::OwningElement<FormMain>(list);
    if (form == nullptr || row < 0 || static_cast<std::size_t>(row) >= form->project.tasks.size()) return;
    form->SelectTask(form->project.tasks[static_cast<std::size_t>(row)].id);
    form->ScrollRowIntoView(static_cast<std::size_t>(row));
}

void FormMainHandlers::TableActivate(QVUtility::ListView* list, std::ptrdiff_t row) {
    FormMain* form = QVUtility::OwningElement<FormMain>(list);
    if (form == nullptr || row < 0 || static_cast<std::size_t>(row) >= form->project.tasks.size()) return;
    form->SelectTask(form->project.tasks[static_cast<std::size_t>(row)].id);
    form->EditTask();
}

void FormMainHandlers::TableContextMenu(QVUtility::ListView* list, std::ptrdiff_t row, int x, int y) {
    FormMain* form = QVUtility::OwningElement<FormMain>(list);
    if (form == nullptr || row < 0 || static_cast<std::size_t>(row) >= form->project.tasks.size()) return;
    form->SelectTask(form->project.tasks[static_cast<std::size_t>(row)].id);
    QVUtility::ShowPopup(form->taskMenu, form, x, y);
}

void FormMainHandlers::TableScroll(QVUtility::ListView* list, std::size_t topRow) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(list)) form->FollowTableScroll(topRow);
}

void FormMainHandlers::TableColumnWidth(QVUtility::ListView* list, int column, int width) {
    FormMain* form = QVUtility::OwningElement<FormMain>(list);
    if (form != nullptr && column >= 0 && column < ColumnCount)
        WriteSetting(ColumnSetting(column).c_str(), static_cast<std::uint32_t>(form->scale.ToBase(width)));
}

int FormMainHandlers::SplitterDown(GUIElement* splitter, HWND, int x, int) {
    FormMain* form = QVUtility::OwningElement<FormMain>(splitter);
    if (form == nullptr || splitter->window == nullptr) return 0;
    form->splitterGrip = x;
    SetCapture(splitter->window);
    return 0;
}

void FormMainHandlers::SplitterMove(GUIElement* splitter, int x, int) {
    FormMain* form = QVUtility::OwningElement<FormMain>(splitter);
    if (form == nullptr || splitter->window == nullptr || GetCapture() != splitter->window) return;
    form->tableWidth = form->scale.ToBase(form->scale(form->tableWidth) + x - form->splitterGrip);
    form->Layout();
}

int FormMainHandlers::SplitterUp(GUIElement* splitter, HWND, int, int) {
    FormMain* form = QVUtility::OwningElement<FormMain>(splitter);
    if (form == nullptr || splitter->window == nullptr || GetCapture() != splitter->window) return 0;
    ReleaseCapture();
    WriteSetting(TableWidthSetting, static_cast<std::uint32_t>(form->tableWidth));
    return 0;
}

// ---- Making and filling the table -------------------------------------------------------

void FormMain::BuildTable() {
    tableShown = ReadSetting(TableShownSetting, 1) != 0;
    tableWidth = static_cast<int>(ReadSetting(TableWidthSetting, DefaultTableWidth));

    taskTable = ownedElements.Add(new QVUtility::ListView(this));
    taskTable->fixedId = IDC_TASK_TABLE;
    for (int c = 0; c < ColumnCount; ++c) {
        const int width = static_cast<int>(ReadSetting(ColumnSetting(c).c_str(), TableColumns[c].width));
        taskTable->columns.push_back({TableColumns[c].title, scale(std::clamp(width, 10, 2000)), TableColumns[c].alignRight});
    }
    taskTable->font = barFont;
    taskTable->rowHeight = chartLayout.rowPitch;
    taskTable->onItemText = &FormMainHandlers::TableText;
    taskTable->onSelect = &FormMainHandlers::TableSelect;
    taskTable->onActivate = &FormMainHandlers::TableActivate;
    taskTable->onContextMenu = &FormMainHandlers::TableContextMenu;
    taskTable->onScroll = &FormMainHandlers::TableScroll;
    taskTable->onColumnWidth = &FormMainHandlers::TableColumnWidth;
    taskTable->onGotFocus = &FormMainHandlers::TableFocus;
    taskTable->Create();

    splitter = ownedElements.Add(new QVUtility::PanelChildren(this));
    splitter->fixedId = IDC_SPLITTER;
    splitter->tabStop = false;
    splitter->cursorShape = IDC_SIZEWE;
    splitter->SetBackColour(GetSysColor(COLOR_BTNFACE));
    splitter->onLeftButtonDown = &FormMainHandlers::SplitterDown;
    splitter->onMouseMove = &FormMainHandlers::SplitterMove;
    splitter->onLeftButtonUp = &FormMainHandlers::SplitterUp;
    splitter->Create();
}

void FormMain::FillTable() {
    if (taskTable == nullptr) return;
    shownCalendar = std::make_unique<WorkingDayCalendar>(project);
    shownFormat = UserAmountFormat();
    taskTable->SetRowHeight(chartLayout.rowPitch);
    taskTable->SetRowCount(project.tasks.size());
    taskTable->RefreshRows();
    taskTable->SelectRow(SelectedTaskIndex(), false);
}

std::wstring FormMain::TableCell(std::size_t row, int column) const {
    if (row >= project.tasks.size()) return std::wstring();
    const Task& task = project.tasks[row];
    switch (column) {
    case 0: return QVUtility::Widen(task.description);
    case 1: return QVUtility::Widen(FormatDate(task.start));
    case 2: return QVUtility::Widen(FormatDate(task.end));
    case 4: return std::to_wstring(task.resources);
    case 5: return QVUtility::Widen(FormatAmount(task.dailyCost, shownFormat));
    default: break;
    }
    if (shownCalendar == nullptr) return std::wstring();
    const TaskCost figures = CostOf(*shownCalendar, task);
    return column == 3 ? std::to_wstring(figures.workingDays) : QVUtility::Widen(FormatAmount(figures.cost, shownFormat));
}

// ---- The panes ---------------------------------------------------------------------------

void FormMain::LayOutPanes(int left, int top, int areaWidth, int areaHeight) {
    int chartLeft = left;
    int chartWidthShown = areaWidth;
    const bool withTable = tableShown && taskTable != nullptr && taskTable->window != nullptr;
    if (withTable) {
        const int gap = scale(SplitterWidth);
        const int widest = std::max(scale(NarrowestTable), areaWidth - gap - scale(NarrowestChart));
        const int shownWidth = std::clamp(scale(tableWidth), scale(NarrowestTable), widest);
        chartLeft = left + shownWidth + gap;
        chartWidthShown = std::max(0, areaWidth - shownWidth - gap);
        SetWindowPos(splitter->window, nullptr, left + shownWidth, top, gap, areaHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (chartPanel != nullptr && chartPanel->window != nullptr) {
        chartPanel->x = chartLeft;
        chartPanel->y = top;
        SetWindowPos(chartPanel->window, nullptr, chartLeft, top, chartWidthShown, areaHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        chartPanel->SetSize(chartWidthShown, areaHeight);
    }
    // The start page stands in the panes' place while no project is open.
    const bool shown = withTable && (startPage == nullptr || !startPage->Shown());
    for (GUIElement* pane : {static_cast<GUIElement*>(taskTable), static_cast<GUIElement*>(splitter)}) {
        if (pane != nullptr && pane->window != nullptr && (IsWindowVisible(pane->window) != FALSE) != shown)
            ShowWindow(pane->window, shown ? SW_SHOWNA : SW_HIDE);
    }
    if (!withTable || chartPanel == nullptr || chartPanel->window == nullptr) return;

    // The table's first row level with the chart's first: where the rows'
    // band starts in the chart panel, in the window's coordinates.
    POINT rowsTop{0, static_cast<LONG>(chartLayout.RowsTop())};
    MapWindowPoints(chartPanel->window, window, &rowsTop, 1);
    const int tableWidthShown = chartLeft - scale(SplitterWidth) - left;
    RECT panel{};
    GetWindowRect(chartPanel->window, &panel);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&panel), 2);
    // The distance from the table window's top to its first row's top.
    POINT clientTop{0, 0};
    RECT tableOuter{};
    GetWindowRect(taskTable->window, &tableOuter);
    MapWindowPoints(taskTable->window, nullptr, &clientTop, 1);
    const int above = (clientTop.y - tableOuter.top) + taskTable->FirstRowTop();
    const int tableTop = std::max<int>(top, rowsTop.y - above);
    SetWindowPos(taskTable->window, nullptr, left, tableTop, tableWidthShown,
                 std::max(0, static_cast<int>(panel.bottom) - tableTop), SWP_NOZORDER | SWP_NOACTIVATE);
    AlignTable();
}

void FormMain::AlignTable() {
    if (!tableShown || taskTable == nullptr || taskTable->window == nullptr || chartPanel == nullptr ||
        chartPanel->window == nullptr)
        return;
    // The table shows as many rows as the chart: the bottoms of their client
    // areas (scroll bars aside) level, so that both stop at the same row.
    RECT chartClient{}, tableClient{}, tableOuter{};
    GetClientRect(chartPanel->window, &chartClient);
    GetClientRect(taskTable->window, &tableClient);
    MapWindowPoints(chartPanel->window, nullptr, reinterpret_cast<POINT*>(&chartClient), 2);
    MapWindowPoints(taskTable->window, nullptr, reinterpret_cast<POINT*>(&tableClient), 2);
    GetWindowRect(taskTable->window, &tableOuter);
    const int change = chartClient.bottom - tableClient.bottom;
    if (change == 0) return;
    SetWindowPos(taskTable->window, nullptr, 0, 0, tableOuter.right - tableOuter.left,
                 std::max(0, static_cast<int>(tableOuter.bottom - tableOuter.top) + change),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormMain::ToggleTable() {
    tableShown = !tableShown;
    WriteSetting(TableShownSetting, tableShown ? 1 : 0);
    // The keyboard goes to the chart when its pane goes.
    if (!tableShown && taskTable != nullptr && GetFocus() == taskTable->window && chartPanel != nullptr)
        chartPanel->Focus();
    Layout();
    UpdateCommands();
}

void FormMain::FocusNextPane() {
    if (chartPanel == nullptr) return;
    const bool inTable = taskTable != nullptr && GetFocus() == taskTable->window;
    if (!inTable && tableShown && taskTable != nullptr && taskTable->window != nullptr) {
        taskTable->Focus();
    } else {
        chartPanel->Focus();
    }
}

void FormMain::OnGotFocus() {
    QVUtility::Form::OnGotFocus();
    // Without a project the keyboard goes on to the start page's links.
    if (!projectOpen && startPage != nullptr) startPage->FocusFirstLink();
    FocusPane();
}

void FormMain::FocusPane() {
    if (!projectOpen || window == nullptr || GetFocus() != window || chartPanel == nullptr) return;
    const bool tableUsable = tableShown && taskTable != nullptr && taskTable->window != nullptr &&
                             IsWindowVisible(taskTable->window);
    if (tableUsable && !chartHadFocus) {
        taskTable->Focus();
    } else if (chartPanel->window != nullptr && IsWindowVisible(chartPanel->window)) {
        chartPanel->Focus();
    }
}

void FormMain::FollowTableScroll(std::size_t topRow) {
    if (chartPanel == nullptr || chartPanel->window == nullptr || !chartBuilt) return;
    chartPanel->ScrollTo(SB_VERT, static_cast<int>(std::min<std::int64_t>(
                                      static_cast<std::int64_t>(topRow) * chartLayout.rowPitch, contentHeight)));
}

void FormMain::FollowChartScroll(int scrollY) {
    if (taskTable == nullptr || taskTable->window == nullptr || chartLayout.rowPitch <= 0) return;
    const std::size_t top = static_cast<std::size_t>(std::max(0, scrollY) / chartLayout.rowPitch);
    if (taskTable->TopRow() != top) taskTable->SetTopRow(top);
}

}  // namespace MyApp
