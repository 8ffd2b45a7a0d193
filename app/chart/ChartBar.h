// A bar of the Gantt chart: a painted cell that shows one task at a time.
// The chart has only as many bars as its view needs and binds each to the
// task of a row in view (ChartView::BindBar); the bar knows which, and shows
// a mark when that task is the one selected, and a focus rectangle inside
// the mark while the chart has the keyboard.
//
// The description is drawn in the part of the bar the chart shows (the
// whole bar when all of it is in view): centred when it fits, else from the
// left with an ellipsis, never cut at both ends.
//
// In high contrast the bar keeps its task's colour as the fill only: it is
// outlined in the system's text colour, and its description stands on a
// plate of the system's window colour (of the selection's colours when
// selected), so that it reads whatever the task's colour.
//
// For assistive technology a bar is an item of the chart named by its
// task's description, described by the task's figures, selected with its
// task.
#pragma once

#include <cstddef>
#include <string>

#include "toolkit/widgets/CellControl.h"

namespace MyApp {

class ChartBar;

// What a bar tells after its task's name: the task's span, working days,
// resources and cost.
using BarSummaryHandler = std::wstring (*)(const ChartBar* bar);
// The cursor over the point of the bar at client x; null for the arrow.
using BarCursorHandler = LPCWSTR (*)(const ChartBar* bar, int x);

class ChartBar : public QVUtility::CellControl {
public:
    using CellControl::CellControl;

    static constexpr std::size_t NoRow = static_cast<std::size_t>(-1);
    std::size_t row = NoRow;  // the task's place in the project's list; NoRow = shows none
    int taskId = 0;           // the id of that task
    bool selected = false;    // the task is the selected one: the bar is framed
    // The part of the bar in view, in its client coordinates (right < 0: all of it).
    int shownLeft = 0;
    int shownRight = -1;
    bool systemColours = false;  // high contrast: outline, text and mark in the system's colours
    BarSummaryHandler onSummary = nullptr;
    BarCursorHandler onCursor = nullptr;
    // The bar lost the mouse it had captured to another window.
    void (*onCaptureLost)(ChartBar* bar) = nullptr;

    bool Bound() const { return row != NoRow; }
    // The chart, the bar's parent, has the keyboard.
    bool ChartFocused() const;
    void OnPaint() override;
    void DescribeForAccessibility(QVUtility::AccessibleFacts& facts) const override;
    LRESULT ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace MyApp
