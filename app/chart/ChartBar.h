// A bar of the Gantt chart: a painted cell that shows one task at a time.
// The chart has only as many bars as its view needs and binds each to the
// task of a row in view (FormMain::BindBar); the bar knows which, and shows
// a mark when that task is the one selected.
//
// The description is drawn in the part of the bar the chart shows (the
// whole bar when all of it is in view): centred when it fits, else from the
// left with an ellipsis, never cut at both ends.
#pragma once

#include <cstddef>

#include "toolkit/widgets/CellControl.h"

namespace MyApp {

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

    bool Bound() const { return row != NoRow; }
    void OnPaint() override;
};

}  // namespace MyApp
