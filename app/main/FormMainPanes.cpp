// The main window's panes: the task table and the chart side by side, the
// table's first row level with the chart's, a splitter between them that sets
// the table's width; "Visualizza" > "Tabella delle attività" shows or hides
// the table; F6 moves the keyboard between the two. The table's width and
// whether it is shown are kept for the user.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/StartPage.h"
#include "app/main/FormMainHandlers.h"
#include "app/main/TaskTable.h"
#include "app/res/resource.h"
#include "app/settings/Settings.h"
#include "toolkit/core/Menu.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/StatusBar.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

const wchar_t* const TableShownSetting = L"TabellaVisibile";
const wchar_t* const TableWidthSetting = L"TabellaLarghezza";

constexpr int DefaultTableWidth = 430;  // at 96 DPI
constexpr int NarrowestTable = 60;
constexpr int NarrowestChart = 120;
constexpr int SplitterWidth = 5;

}  // namespace

// ---- Handlers ---------------------------------------------------------------------------

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

    taskTable = ownedElements.Add(new TaskTable(this, project));
    taskTable->fixedId = IDC_TASK_TABLE;
    taskTable->Build(barFont, chart->Geometry().rowPitch);
    taskTable->onChoose = [this](std::size_t row) {
        SelectTask(project.tasks[row].id);
        chart->RevealRow(row);
    };
    taskTable->onOpen = [this](std::size_t row) {
        SelectTask(project.tasks[row].id);
        EditTask();
    };
    taskTable->onMenu = [this](std::size_t row, POINT screen) {
        SelectTask(project.tasks[row].id);
        QVUtility::ShowPopup(taskMenu, this, screen.x, screen.y);
    };
    taskTable->onTopRow = [this](std::size_t topRow) { chart->ShowRowFirst(topRow); };
    taskTable->onFocus = [this] { chartHadFocus = false; };

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
    if (taskTable != nullptr && chart != nullptr) taskTable->Fill(chart->Geometry().rowPitch, SelectedTaskIndex());
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
    if (chart != nullptr && chart->window != nullptr) {
        chart->x = chartLeft;
        chart->y = top;
        SetWindowPos(chart->window, nullptr, chartLeft, top, chartWidthShown, areaHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        chart->SetSize(chartWidthShown, areaHeight);
    }
    // The start page stands in the panes' place while no project is open.
    const bool shown = withTable && (startPage == nullptr || !startPage->Shown());
    for (GUIElement* pane : {static_cast<GUIElement*>(taskTable), static_cast<GUIElement*>(splitter)}) {
        if (pane != nullptr && pane->window != nullptr && (IsWindowVisible(pane->window) != FALSE) != shown)
            ShowWindow(pane->window, shown ? SW_SHOWNA : SW_HIDE);
    }
    if (!withTable || chart == nullptr || chart->window == nullptr) return;

    // The table's first row level with the chart's first: where the rows'
    // band starts in the chart panel, in the window's coordinates.
    POINT rowsTop{0, static_cast<LONG>(chart->Geometry().RowsTop())};
    MapWindowPoints(chart->window, window, &rowsTop, 1);
    const int tableWidthShown = chartLeft - scale(SplitterWidth) - left;
    RECT panel{};
    GetWindowRect(chart->window, &panel);
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
    if (!tableShown || taskTable == nullptr || taskTable->window == nullptr || chart == nullptr ||
        chart->window == nullptr || aligning)
        return;
    // Shortening the chart below fits it again, which asks for this again.
    aligning = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{aligning};
    // The table shows as many rows as the chart: the bottoms of their client
    // areas (scroll bars aside) level, so that both stop at the same row.
    RECT chartClient{}, tableClient{}, tableOuter{};
    GetClientRect(chart->window, &chartClient);
    GetClientRect(taskTable->window, &tableClient);
    MapWindowPoints(chart->window, nullptr, reinterpret_cast<POINT*>(&chartClient), 2);
    MapWindowPoints(taskTable->window, nullptr, reinterpret_cast<POINT*>(&tableClient), 2);
    GetWindowRect(taskTable->window, &tableOuter);
    int change = chartClient.bottom - tableClient.bottom;
    if (change == 0) return;
    // A table whose scroll bar the chart has not would reach past the
    // chart's bottom: never over the status bar, the chart ends higher.
    RECT status{};
    if (change > 0 && statusBar != nullptr && statusBar->window != nullptr && GetWindowRect(statusBar->window, &status) &&
        tableOuter.bottom + change > status.top) {
        const int excess = tableOuter.bottom + change - status.top;
        RECT chartOuter{};
        GetWindowRect(chart->window, &chartOuter);
        chart->SetSize(chartOuter.right - chartOuter.left, std::max(0, static_cast<int>(chartOuter.bottom - chartOuter.top) - excess));
        chart->FitToView();
        change -= excess;
    }
    SetWindowPos(taskTable->window, nullptr, 0, 0, tableOuter.right - tableOuter.left,
                 std::max(0, static_cast<int>(tableOuter.bottom - tableOuter.top) + change),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormMain::ToggleTable() {
    tableShown = !tableShown;
    WriteSetting(TableShownSetting, tableShown ? 1 : 0);
    // The keyboard goes to the chart when its pane goes.
    if (!tableShown && taskTable != nullptr && GetFocus() == taskTable->window && chart != nullptr)
        chart->Focus();
    Layout();
    UpdateCommands();
}

void FormMain::FocusNextPane() {
    if (chart == nullptr) return;
    const bool inTable = taskTable != nullptr && GetFocus() == taskTable->window;
    if (!inTable && tableShown && taskTable != nullptr && taskTable->window != nullptr) {
        taskTable->Focus();
    } else {
        chart->Focus();
    }
}

void FormMain::OnGotFocus() {
    QVUtility::Form::OnGotFocus();
    // Without a project the keyboard goes on to the start page's links.
    if (!projectOpen && startPage != nullptr) startPage->FocusFirstLink();
    FocusPane();
}

void FormMain::FocusPane() {
    if (!projectOpen || window == nullptr || GetFocus() != window || chart == nullptr) return;
    const bool tableUsable = tableShown && taskTable != nullptr && taskTable->window != nullptr &&
                             IsWindowVisible(taskTable->window);
    if (tableUsable && !chartHadFocus) {
        taskTable->Focus();
    } else if (chart->window != nullptr && IsWindowVisible(chart->window)) {
        chart->Focus();
    }
}


}  // namespace MyApp
