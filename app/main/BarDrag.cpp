#include "app/main/BarDrag.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/main/ChartView.h"
#include "app/main/ChartViewHandlers.h"
#include "model/CostReport.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

// The zone at each end of a bar that moves that end, at 96 DPI.
constexpr int EndZone = 6;
// How far right of and below the mouse the tip stands, at 96 DPI.
constexpr int TipOffset = 16;

bool SameDays(const Task& a, const Task& b) { return SameFields(a.start, b.start) && SameFields(a.end, b.end); }

}  // namespace

BarDrag::BarDrag(ChartView& owner) : chart(owner) {}

BarDrag::~BarDrag() {
    if (tip != nullptr && IsWindow(tip)) DestroyWindow(tip);
}

MovePart BarDrag::PartAt(const ChartBar& bar, int x) const {
    if (!bar.Bound() || bar.row >= chart.project.tasks.size()) return MovePart::Whole;
    // The bar's own ends: its window may be cut where it reaches far beyond the view.
    const BarSpan span = chart.layout.Bar(chart.ShownTask(bar.row));
    const std::int64_t at = chart.firstX + bar.x + x;
    const std::int64_t zone = std::min<std::int64_t>(chart.Scale()(EndZone), span.width / 3);
    if (zone <= 0) return MovePart::Whole;
    if (at < span.left + zone) return MovePart::Start;
    if (at >= span.left + span.width - zone) return MovePart::End;
    return MovePart::Whole;
}

POINT BarDrag::InChart(const ChartBar& bar, int x, int y) const {
    POINT point{x, y};
    if (bar.window != nullptr && chart.window != nullptr) MapWindowPoints(bar.window, chart.window, &point, 1);
    return point;
}

void BarDrag::Press(ChartBar& bar, int x, int y) {
    End();
    if (!bar.Bound() || bar.window == nullptr || bar.row >= chart.project.tasks.size()) return;
    row = bar.row;
    original = chart.project.tasks[row];
    part = PartAt(bar, x);
    pressPoint = InChart(bar, x, y);
    const BarSpan span = chart.layout.Bar(*original);
    const std::int64_t edge = part == MovePart::End ? span.left + span.width : span.left;
    grabX = chart.firstX + pressPoint.x - edge;
    pressed = true;
    SetCapture(bar.window);
}

TaskDays BarDrag::DaysFor(int chartX) const {
    const ChartLayout& layout = chart.layout;
    const std::int64_t x = chart.firstX + chartX;
    std::int64_t days = 0;
    if (part == MovePart::Whole) {
        // Whole days however wide a day is on screen.
        days = std::llround(layout.DayAt(x) - layout.DayAt(chart.firstX + pressPoint.x));
    } else {
        // The column edge nearest to where the grabbed end is now.
        const std::int64_t edge = std::llround(layout.DayAt(x - grabX));
        const Date& from = part == MovePart::Start ? original->start : original->end;
        days = edge - DaysUntil(chart.project.start, from) - (part == MovePart::End ? 1 : 0);
    }
    return mover->Move(*original, part, days);
}

void BarDrag::Follow(ChartBar& bar, int x, int y) {
    if (!pressed) return;
    const POINT at = InChart(bar, x, y);
    if (!dragging) {
        if (std::abs(at.x - pressPoint.x) <= GetSystemMetrics(SM_CXDRAG) &&
            std::abs(at.y - pressPoint.y) <= GetSystemMetrics(SM_CYDRAG))
            return;
        dragging = true;
        mover = std::make_unique<TaskMover>(chart.project);
        shown = original;
        // Escape reaches the chart while the mouse is held.
        focusBefore = GetFocus();
        if (chart.window != nullptr && focusBefore != chart.window) SetFocus(chart.window);
        SetCursor(LoadCursorW(nullptr, part == MovePart::Whole ? IDC_SIZEALL : IDC_SIZEWE));
    }
    const TaskDays days = DaysFor(at.x);
    if (!SameFields(days.start, shown->start) || !SameFields(days.end, shown->end)) {
        shown = days.Given(*shown);
        chart.ShowRow(row);
        if (chart.onDragShown) chart.onDragShown(row, &*shown);
    }
    ShowTip(at);
}

void BarDrag::Release(ChartBar& bar, int x, int y) {
    if (!pressed) return;
    if (dragging) Follow(bar, x, y);
    std::optional<Task> moved;
    if (dragging && shown && !SameDays(*shown, *original)) moved = shown;
    End();
    if (moved && chart.onDragged) chart.onDragged(*moved);
}

bool BarDrag::Cancel() {
    if (!pressed) return false;
    End();
    return true;
}

const Task* BarDrag::Shown(std::size_t shownRow) const {
    return dragging && shown && shownRow == row ? &*shown : nullptr;
}

void BarDrag::End() {
    const bool wasDragging = dragging;
    // Cleared first: letting the mouse go tells the bar it lost it.
    pressed = false;
    dragging = false;
    shown.reset();
    const HWND captured = GetCapture();
    if (captured != nullptr && GetParent(captured) == chart.window) ReleaseCapture();
    if (tip != nullptr) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.hwnd = chart.window;
        info.uId = 1;
        SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    }
    if (wasDragging) {
        chart.ShowRow(row);
        if (chart.onDragShown) chart.onDragShown(row, nullptr);
        if (focusBefore != nullptr && IsWindow(focusBefore) && GetFocus() != focusBefore) SetFocus(focusBefore);
    }
    focusBefore = nullptr;
    mover.reset();
    original.reset();
}

void BarDrag::ShowTip(POINT at) {
    if (chart.window == nullptr || !shown) return;
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = chart.window;
    info.uId = 1;
    if (tip == nullptr) {
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, 0, 0,
                              0, 0, chart.window, nullptr, GetModuleHandleW(nullptr), nullptr);
        if (tip == nullptr) return;
        info.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        info.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        tipText.clear();
    }
    const std::wstring text = QVUtility::Widen(TaskSpanText(*shown, mover->WorkingDays(shown->start, shown->end)));
    // The tip, a window of its own, moves when what it says changes: moving
    // it at every step of the mouse would cost more than the rest of the step.
    if (text == tipText && IsWindowVisible(tip)) return;
    tipText = text;
    info.lpszText = tipText.data();
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    POINT screen = at;
    ClientToScreen(chart.window, &screen);
    const int offset = chart.Scale()(TipOffset);
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x + offset, screen.y + offset));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

// ---- The chart's handlers of a bar's mouse -------------------------------------------------

namespace {

ChartView* ChartOf(QVUtility::GUIElement* element) { return QVUtility::OwningElement<ChartView>(element); }

}  // namespace

void ChartViewHandlers::BarMouseMove(GUIElement* element, int x, int y) {
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (ChartView* chart = ChartOf(element); bar != nullptr && chart != nullptr) chart->drag->Follow(*bar, x, y);
}

int ChartViewHandlers::BarLeftUp(GUIElement* element, HWND, int x, int y) {
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (ChartView* chart = ChartOf(element); bar != nullptr && chart != nullptr) chart->drag->Release(*bar, x, y);
    return 0;
}

LPCWSTR ChartViewHandlers::BarCursor(const ChartBar* bar, int x) {
    const ChartView* chart = ChartOf(const_cast<ChartBar*>(bar));
    if (bar == nullptr || chart == nullptr) return nullptr;
    return chart->drag->PartAt(*bar, x) == MovePart::Whole ? nullptr : IDC_SIZEWE;
}

void ChartViewHandlers::BarCaptureLost(ChartBar* bar) {
    if (ChartView* chart = ChartOf(bar)) chart->drag->Cancel();
}

}  // namespace MyApp
