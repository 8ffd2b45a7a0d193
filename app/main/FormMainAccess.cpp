// The main window for everyone: the names assistive technology reads for
// its elements and what a bar tells after its name; the chart and the table
// in the system's colours while high contrast is on, followed when it is
// switched (the chart's own keys, focus and events: ChartViewInput.cpp).
#include <oleacc.h>

#include <string>
#include <vector>

#include "app/main/FormMain.h"
#include "app/main/FormMainHandlers.h"
#include "app/main/TaskTable.h"
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

// What the chart's colours follow: the mode and the system's colours it takes.
std::vector<COLORREF> ColourState(bool highContrast) {
    std::vector<COLORREF> state{highContrast ? 1u : 0u};
    for (int element : {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE})
        state.push_back(GetSysColor(element));
    return state;
}

}  // namespace

// ---- Handlers ---------------------------------------------------------------------------

// ---- Names --------------------------------------------------------------------------------

void FormMain::NameElements() {
    if (toolBar != nullptr) toolBar->accessibleName = L"Barra degli strumenti";
    if (statusBar != nullptr) statusBar->accessibleName = L"Barra di stato";
    if (taskTable != nullptr) taskTable->accessibleName = L"Tabella delle attività";
    if (splitter != nullptr) {
        splitter->accessibleName = L"Divisore tra tabella e diagramma";
        splitter->accessibleRole = ROLE_SYSTEM_SEPARATOR;
    }
    if (chart != nullptr) {
        // A list of the tasks' bars, under the project's title and the calendar.
        chart->accessibleName = L"Diagramma di Gantt";
        chart->accessibleRole = ROLE_SYSTEM_LIST;
        if (chart->ruler != nullptr) {
            chart->ruler->accessibleName = L"Calendario";
            chart->ruler->accessibleRole = ROLE_SYSTEM_GRAPHIC;
        }
        if (chart->todayLine != nullptr) {
            chart->todayLine->accessibleName = L"Oggi";
            chart->todayLine->accessibleRole = ROLE_SYSTEM_INDICATOR;
        }
    }
}

std::wstring FormMain::BarSummaryText(std::size_t row) const {
    return taskTable != nullptr ? taskTable->Summary(row) : std::wstring();
}

// ---- High contrast ----------------------------------------------------------------------------

void FormMain::ApplyChartColours() {
    if (chart == nullptr) return;
    systemColours = QVUtility::HighContrastOn();
    appliedColours = ColourState(systemColours);
    chart->ApplyColours(systemColours);
    if (taskTable != nullptr) taskTable->RefreshRows();
    if (splitter != nullptr && splitter->backColour != GetSysColor(COLOR_BTNFACE))
        splitter->Recolour(GetSysColor(COLOR_BTNFACE));
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
