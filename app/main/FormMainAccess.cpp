// The main window for everyone: the names assistive technology reads for
// its elements; the selected task told to it as the selection moves, by
// mouse, keys, undo or find; the chart's keyboard focus shown on the selected
// bar (on the title when no bar of a selected task is in view); the chart's
// own keys; and the chart in the system's colours while high contrast is on,
// followed when it is switched.
#include <oleacc.h>

#include <string>
#include <vector>

#include "app/main/FormMain.h"
#include "app/main/FormMainHandlers.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "toolkit/core/Accessible.h"
#include "toolkit/draw/HighContrast.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/ListView.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/ToolBar.h"

namespace MyApp {

namespace {

// The chart's own colours, outside high contrast.
constexpr COLORREF ChartBackColour = 0xC0C0C0;
constexpr COLORREF ChartChildBackColour = 0xDCDCDC;

// What the chart's colours follow: the mode and the system's colours it takes.
std::vector<COLORREF> ColourState(bool highContrast) {
    std::vector<COLORREF> state{highContrast ? 1u : 0u};
    for (int element : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE})
        state.push_back(GetSysColor(element));
    return state;
}

}  // namespace

// ---- Handlers ---------------------------------------------------------------------------

std::wstring FormMainHandlers::BarSummary(const ChartBar* bar) {
    FormMain* form = QVUtility::OwningElement<FormMain>(const_cast<ChartBar*>(bar));
    return form != nullptr && bar != nullptr ? form->BarSummaryText(*bar) : std::wstring();
}

void FormMainHandlers::ChartFocus(GUIElement* panel) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(panel)) form->OnChartFocus();
}

void FormMainHandlers::TableFocus(GUIElement* table) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(table)) form->chartHadFocus = false;
}

void FormMainHandlers::ChartKey(GUIElement* panel, int key) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(panel)) form->OnChartKey(key);
}

void FormMainHandlers::ChartMenuKey(QVUtility::PanelChildren* panel) {
    FormMain* form = QVUtility::OwningElement<FormMain>(panel);
    if (form == nullptr) return;
    // The bars' menu under the selected bar, as a right click on it shows it.
    if (ChartBar* bar = form->SelectedBar()) form->OnBarRightClick(bar, 0, bar->height);
}

// ---- Names --------------------------------------------------------------------------------

void FormMain::NameElements() {
    if (toolBar != nullptr) toolBar->accessibleName = L"Barra degli strumenti";
    if (statusBar != nullptr) statusBar->accessibleName = L"Barra di stato";
    if (taskTable != nullptr) taskTable->accessibleName = L"Tabella delle attività";
    if (splitter != nullptr) {
        splitter->accessibleName = L"Divisore tra tabella e diagramma";
        splitter->accessibleRole = ROLE_SYSTEM_SEPARATOR;
    }
    if (chartPanel != nullptr) {
        // A list of the tasks' bars, under the project's title and the calendar.
        chartPanel->accessibleName = L"Diagramma di Gantt";
        chartPanel->accessibleRole = ROLE_SYSTEM_LIST;
        chartPanel->onGotFocus = &FormMainHandlers::ChartFocus;
        chartPanel->onLostFocus = &FormMainHandlers::ChartFocus;
        chartPanel->onKeyDown = &FormMainHandlers::ChartKey;
        chartPanel->onMenuKey = &FormMainHandlers::ChartMenuKey;
    }
    if (ruler != nullptr) {
        ruler->accessibleName = L"Calendario";
        ruler->accessibleRole = ROLE_SYSTEM_GRAPHIC;
    }
    if (todayLine != nullptr) {
        todayLine->accessibleName = L"Oggi";
        todayLine->accessibleRole = ROLE_SYSTEM_INDICATOR;
    }
}

void FormMain::DescribeChart() {
    if (ruler == nullptr) return;
    ruler->accessibleDescription =
        QVUtility::Widen("dal " + FormatDate(project.start) + " al " + FormatDate(project.end));
}

std::wstring FormMain::BarSummaryText(const ChartBar& bar) const {
    if (!bar.Bound() || bar.row >= project.tasks.size()) return std::wstring();
    const Task& task = project.tasks[bar.row];
    if (shownCalendar == nullptr) return std::wstring();
    return QVUtility::Widen(TaskSummary(task, CostOf(*shownCalendar, task), shownFormat));
}

// ---- The selection told ---------------------------------------------------------------------

ChartBar* FormMain::SelectedBar() const {
    if (selectedTaskId == 0) return nullptr;
    for (ChartBar* bar : bars) {
        if (bar->Bound() && bar->selected && bar->taskId == selectedTaskId && bar->window != nullptr &&
            IsWindowVisible(bar->window))
            return bar;
    }
    return nullptr;
}

void FormMain::AnnounceSelection() {
    ShowChartFocus();
    if (holdAnnouncement) return;
    ChartBar* bar = SelectedBar();
    if (bar == nullptr) return;
    if (bar->ChartFocused()) QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, bar->window);
    QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_SELECTION, bar->window);
}

// ---- The chart's keyboard ---------------------------------------------------------------------

void FormMain::OnChartFocus() {
    if (chartPanel != nullptr && chartPanel->window != nullptr && GetFocus() == chartPanel->window) chartHadFocus = true;
    ShowChartFocus();
    ChartBar* bar = SelectedBar();
    if (bar == nullptr) return;
    InvalidateRect(bar->window, nullptr, FALSE);
    // The chart took the keyboard: its selected task is what has it.
    if (bar->ChartFocused()) QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, bar->window);
}

void FormMain::ShowChartFocus() {
    if (titleCell == nullptr || chartPanel == nullptr) return;
    const bool focused = chartPanel->window != nullptr && GetFocus() == chartPanel->window;
    const bool onTitle = focused && SelectedBar() == nullptr;
    if (titleCell->focusShown == onTitle) return;
    titleCell->focusShown = onTitle;
    if (titleCell->window != nullptr) InvalidateRect(titleCell->window, nullptr, TRUE);
}

void FormMain::OnChartKey(int key) {
    if (chartPanel == nullptr || chartPanel->window == nullptr || (key != VK_LEFT && key != VK_RIGHT)) return;
    // A column each way, a page with Ctrl, as the scroll bar's arrows and track do.
    const bool page = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const int request = key == VK_LEFT ? (page ? SB_PAGELEFT : SB_LINELEFT) : (page ? SB_PAGERIGHT : SB_LINERIGHT);
    SendMessageW(chartPanel->window, WM_HSCROLL, MAKEWPARAM(request, 0), 0);
}

// ---- High contrast ----------------------------------------------------------------------------

void FormMain::ApplyChartColours() {
    if (chartPanel == nullptr) return;
    systemColours = QVUtility::HighContrastOn();
    appliedColours = ColourState(systemColours);
    const COLORREF back = systemColours ? GetSysColor(COLOR_WINDOW) : ChartBackColour;
    const COLORREF text = systemColours ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0);
    chartPanel->childBackColour = systemColours ? back : ChartChildBackColour;
    chartPanel->childTextColour = text;
    if (chartPanel->backColour != back) chartPanel->Recolour(back);
    if (titleCell != nullptr) {
        titleCell->textColour = text;
        if (titleCell->backColour != back) titleCell->Recolour(back);
    }
    if (ruler != nullptr) {
        ruler->hatchNonWorking = true;  // the non-working days never rest on colour alone
        ruler->systemColours = systemColours;
        if (ruler->window != nullptr) InvalidateRect(ruler->window, nullptr, FALSE);
    }
    if (taskTable != nullptr && taskTable->selectionAlwaysStrong != systemColours) {
        taskTable->selectionAlwaysStrong = systemColours;
        taskTable->RefreshRows();
    }
    if (splitter != nullptr && splitter->backColour != GetSysColor(COLOR_BTNFACE))
        splitter->Recolour(GetSysColor(COLOR_BTNFACE));
    for (ChartBar* bar : bars) {
        bar->systemColours = systemColours;
        if (bar->window != nullptr) InvalidateRect(bar->window, nullptr, FALSE);
    }
}

void FormMain::OnSystemColoursChanged() {
    // Any setting may have changed: the window is drawn again only when
    // the mode or the colours the chart takes did.
    if (ColourState(QVUtility::HighContrastOn()) == appliedColours) return;
    ApplyChartColours();
    if (window != nullptr)
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

}  // namespace MyApp
