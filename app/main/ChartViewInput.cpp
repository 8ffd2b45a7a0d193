// What the chart does with the mouse and the keys, and what it tells
// assistive technology: a click on a bar chooses its task, a double click
// opens it (a press and a drag move it: BarDrag.h), a right click or the menu key shows the bars' menu; Ctrl and the
// wheel zoom; Left and Right scroll sideways; the focus shows on the selected
// bar (on the title when none is in view); the chart in the system's colours
// while high contrast is on.
#include <oleacc.h>

#include "app/main/BarDrag.h"
#include "app/main/ChartView.h"
#include "app/main/ChartViewHandlers.h"
#include "toolkit/core/Accessible.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/TimeLine.h"

namespace MyApp {

namespace {

// The chart's own colours, outside high contrast.
constexpr COLORREF ChartBackColour = 0xC0C0C0;
constexpr COLORREF ChartChildBackColour = 0xDCDCDC;

// The bar of a handler's element with the chart it is in; none for a bar that shows no task.
struct BarInChart {
    ChartBar* bar = nullptr;
    ChartView* chart = nullptr;
    explicit BarInChart(QVUtility::GUIElement* element)
        : bar(dynamic_cast<ChartBar*>(element)), chart(QVUtility::OwningElement<ChartView>(element)) {
        if (bar == nullptr || chart == nullptr || !bar->Bound() || bar->window == nullptr) bar = nullptr;
    }
    explicit operator bool() const { return bar != nullptr; }
};

}  // namespace

// ---- Handlers ---------------------------------------------------------------------------

int ChartViewHandlers::BarLeftClick(GUIElement* element, HWND, int x, int y) {
    const BarInChart hit(element);
    if (!hit) return 0;
    const std::shared_ptr<bool> alive = hit.bar->AliveFlag();
    if (hit.chart->onChoose) hit.chart->onChoose(hit.bar->taskId);
    // Held, the bar may be dragged.
    if (*alive && hit.bar->Bound()) hit.chart->drag->Press(*hit.bar, x, y);
    return 0;
}

int ChartViewHandlers::BarDoubleClick(GUIElement* element, HWND, int, int) {
    const BarInChart hit(element);
    if (!hit) return 0;
    const int taskId = hit.bar->taskId;
    ChartView* chart = hit.chart;
    if (chart->onChoose) chart->onChoose(taskId);
    if (chart->onOpen) chart->onOpen(taskId);
    return 0;
}

int ChartViewHandlers::BarRightClick(GUIElement* element, HWND, int x, int y) {
    const BarInChart hit(element);
    if (!hit) return 0;
    POINT point{x, y};
    ClientToScreen(hit.bar->window, &point);
    ChartView* chart = hit.chart;
    if (chart->onChoose) chart->onChoose(hit.bar->taskId);
    if (chart->onTaskMenu) chart->onTaskMenu(point);
    return 0;
}

std::wstring ChartViewHandlers::BarSummary(const ChartBar* bar) {
    const ChartView* chart = QVUtility::OwningElement<ChartView>(const_cast<ChartBar*>(bar));
    if (chart == nullptr || bar == nullptr || !bar->Bound() || !chart->onSummary) return std::wstring();
    return chart->onSummary(bar->row);
}

std::wstring ChartViewHandlers::Tip(QVUtility::PanelChildren* panel, GUIElement* element) {
    const auto* bar = dynamic_cast<const ChartBar*>(element);
    const auto* chart = dynamic_cast<ChartView*>(panel);
    if (bar == nullptr || chart == nullptr || !bar->Bound() || bar->row >= chart->project.tasks.size())
        return std::wstring();
    if (chart->drag->Dragging()) return std::wstring();  // the drag's own tip says more
    return QVUtility::Widen(chart->project.tasks[bar->row].description) + L"\r\n" + BarSummary(bar) +
           L"\r\nTrascinare per spostare";
}

bool ChartViewHandlers::Wheel(QVUtility::PanelChildren* panel, int delta, int keys) {
    auto* chart = dynamic_cast<ChartView*>(panel);
    if (chart == nullptr || (keys & MK_CONTROL) == 0) return false;
    // Ctrl and the wheel away from the user zooms in, towards the user out.
    if (delta > 0 ? chart->CanZoomIn() : chart->CanZoomOut()) chart->Zoom(delta > 0 ? -1 : 1);
    return true;
}

void ChartViewHandlers::Focus(GUIElement* panel) {
    auto* chart = dynamic_cast<ChartView*>(panel);
    if (chart == nullptr) return;
    const bool focused = chart->window != nullptr && GetFocus() == chart->window;
    if (focused && chart->onFocus) chart->onFocus();
    chart->ShowFocus();
    ChartBar* bar = chart->SelectedBar();
    if (bar == nullptr) return;
    InvalidateRect(bar->window, nullptr, FALSE);
    // The chart took the keyboard: its selected task is what has it.
    if (bar->ChartFocused()) QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, bar->window);
}

void ChartViewHandlers::Key(GUIElement* panel, int key) {
    if (auto* chart = dynamic_cast<ChartView*>(panel)) chart->ScrollKey(key);
}

void ChartViewHandlers::MenuKey(QVUtility::PanelChildren* panel) {
    auto* chart = dynamic_cast<ChartView*>(panel);
    if (chart == nullptr) return;
    // The bars' menu under the selected bar, as a right click on it shows it.
    if (ChartBar* bar = chart->SelectedBar()) BarRightClick(bar, bar->window, 0, bar->height);
}

// ---- The keyboard and the selection told -------------------------------------------------------

void ChartView::ScrollKey(int key) {
    if (key == VK_ESCAPE) drag->Cancel();
    if (window == nullptr || (key != VK_LEFT && key != VK_RIGHT)) return;
    // A column each way, a page with Ctrl, as the scroll bar's arrows and track do.
    const bool page = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    const int request = key == VK_LEFT ? (page ? SB_PAGELEFT : SB_LINELEFT) : (page ? SB_PAGERIGHT : SB_LINERIGHT);
    SendMessageW(window, WM_HSCROLL, MAKEWPARAM(request, 0), 0);
}

ChartBar* ChartView::SelectedBar() const {
    if (selectedTaskId == 0) return nullptr;
    for (ChartBar* bar : bars) {
        if (bar->Bound() && bar->selected && bar->taskId == selectedTaskId && bar->window != nullptr &&
            IsWindowVisible(bar->window))
            return bar;
    }
    return nullptr;
}

void ChartView::ShowFocus() {
    if (titleCell == nullptr) return;
    const bool focused = window != nullptr && GetFocus() == window;
    const bool onTitle = focused && SelectedBar() == nullptr;
    if (titleCell->focusShown == onTitle) return;
    titleCell->focusShown = onTitle;
    if (titleCell->window != nullptr) InvalidateRect(titleCell->window, nullptr, TRUE);
}

void ChartView::AnnounceSelection() {
    ShowFocus();
    if (holdAnnouncement) return;
    ChartBar* bar = SelectedBar();
    if (bar == nullptr) return;
    if (bar->ChartFocused()) QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, bar->window);
    QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_SELECTION, bar->window);
}

// ---- Colours --------------------------------------------------------------------------------------

void ChartView::ApplyColours(bool system) {
    systemColours = system;
    const COLORREF back = systemColours ? GetSysColor(COLOR_WINDOW) : ChartBackColour;
    const COLORREF text = systemColours ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0);
    childBackColour = systemColours ? back : ChartChildBackColour;
    childTextColour = text;
    if (backColour != back) Recolour(back);
    if (titleCell != nullptr) {
        titleCell->textColour = text;
        if (titleCell->backColour != back) titleCell->Recolour(back);
    }
    if (ruler != nullptr) {
        ruler->hatchNonWorking = true;  // the non-working days never rest on colour alone
        ruler->systemColours = systemColours;
        if (ruler->window != nullptr) InvalidateRect(ruler->window, nullptr, FALSE);
    }
    for (ChartBar* bar : bars) {
        bar->systemColours = systemColours;
        if (bar->window != nullptr) InvalidateRect(bar->window, nullptr, FALSE);
    }
}

}  // namespace MyApp
