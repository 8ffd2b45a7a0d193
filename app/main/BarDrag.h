// BarDrag: a bar of the chart dragged with the mouse. A press on the bar's
// middle and a drag move the whole task; a press near one of its ends (the
// cursor shows the double arrow there) moves that end alone. Nothing moves
// until the mouse has gone past the system's drag threshold, so a plain
// click only selects and a double click still opens the task.
//
// While the mouse moves, the bar and the task's row in the table show the
// task where the drag puts it, by the rules of TaskMover (whole days, the
// working days kept), and a tip beside the mouse tells the new days and
// their working days. Escape, or the mouse taken by another window, puts
// everything back; letting go hands the moved task to the chart's owner.
// The project itself is not touched until then.
//
// The pixels are mapped to days through the chart view's geometry; the end
// grabbed stays where it was under the mouse, at every zoom.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "model/TaskMove.h"

namespace MyApp {

class ChartBar;
class ChartView;

class BarDrag {
public:
    explicit BarDrag(ChartView& chart);
    ~BarDrag();
    BarDrag(const BarDrag&) = delete;
    BarDrag& operator=(const BarDrag&) = delete;

    // What a press at the bar's client x would move: an end within the
    // zone at that end (6 pixels at 96 DPI, a third of a bar too short for
    // both zones and a middle), the whole task elsewhere.
    MovePart PartAt(const ChartBar& bar, int x) const;

    // The mouse on the bar (its client coordinates): pressed, moved, let go.
    void Press(ChartBar& bar, int x, int y);
    void Follow(ChartBar& bar, int x, int y);
    void Release(ChartBar& bar, int x, int y);
    // Puts the task back where it was; false when no drag was under way.
    bool Cancel();

    bool Dragging() const { return dragging; }
    // The task of `row` as the drag shows it; null for every other row, or
    // when no drag is under way.
    const Task* Shown(std::size_t row) const;
    // The tip shown beside the mouse while dragging (null before the first).
    HWND TipWindow() const { return tip; }

private:
    // A point of the bar in the chart's client coordinates, where the bar is now.
    POINT InChart(const ChartBar& bar, int x, int y) const;
    // The task's days for the mouse at client x of the chart.
    TaskDays DaysFor(int chartX) const;
    void ShowTip(POINT chartPoint);
    // Back to no drag: the mouse released, the tip hidden, the keyboard
    // where it was, the bar and the row as the project has them.
    void End();

    ChartView& chart;
    bool pressed = false;
    bool dragging = false;
    std::size_t row = 0;
    MovePart part = MovePart::Whole;
    std::optional<Task> original;
    std::optional<Task> shown;  // while dragging
    POINT pressPoint{};         // in the chart's client coordinates
    std::int64_t grabX = 0;     // chart x of the press, less the edge it grabbed
    std::unique_ptr<TaskMover> mover;
    HWND tip = nullptr;
    std::wstring tipText;
    HWND focusBefore = nullptr;  // the keyboard went to the chart while dragging, for Escape
};

}  // namespace MyApp
