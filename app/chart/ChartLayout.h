// The geometry of the Gantt chart: where the title, the ruler and each
// task's bar lie in the chart's own coordinates, before any scrolling. The
// chart panel places its windows from it and the exported picture is drawn
// from it, so the two cannot drift apart.
//
// Rows: the first bar lies GapUnderRuler below the ruler, and each further
// task one RowPitch lower; the content ends one pitch below the last row.
// Columns: a bar starts at its first day's column of the ruler and is as
// wide as its days; columns may be a fraction of a pixel wide (the chart
// zoomed out), column c spanning floor(c * width / divisor) to the next
// column's edge, as the ruler draws them. The rows' measures are those of
// the printed chart (ChartGeometry), so the page shows the rows as the
// screen does; they are given for 96 DPI and made the screen's by its scale,
// the pitch rounded to whole pixels so that the rows stay level with the
// task table's, which are all one height.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/Date.h"
#include "model/Project.h"
#include "print/PageLayout.h"
#include "toolkit/core/DisplayScale.h"

namespace MyApp {

// A bar's left edge and width in the chart, in pixels.
struct BarSpan {
    std::int64_t left = 0;
    std::int64_t width = 0;
};

// Rows first to end - 1.
struct RowRange {
    std::size_t first = 0;
    std::size_t end = 0;
    std::size_t Count() const { return end > first ? end - first : 0; }
};

// A bar's window in the chart panel: its left edge and width in the panel's
// client coordinates, or nothing to show.
struct BarWindowSpan {
    int left = 0;
    int width = 0;
    bool shown = false;
};

class ChartLayout {
public:
    int titleLeft = 10;                                                   // the title cell's left edge
    int titleHeight = 30;                                                 // the title band
    int rulerTop = 31;                                                    // the ruler's top edge
    int gapUnderRuler = static_cast<int>(ChartGeometry().gapUnderRuler);  // ruler's bottom to first bar
    int barHeight = static_cast<int>(ChartGeometry().barHeight);
    int rowPitch = static_cast<int>(ChartGeometry().rowPitch);  // from one bar's top to the next (rounded)
    int pictureTextDrop = 5;  // the exported picture writes a bar's text this far below its top
    int viewMargin = 60;      // rows this far above and below the view get bar windows too

    ChartLayout() = default;
    // No chart yet, with the measures above made for a screen of `scale`.
    explicit ChartLayout(QVUtility::DisplayScale scale);
    // The chart of `project` over a ruler of the given size and column width
    // (in pixels of the screen of `scale`; a day is dayWidth / dayDivisor
    // pixels wide).
    ChartLayout(const Project& project, int dayWidth, int rulerWidth, int rulerHeight,
                QVUtility::DisplayScale scale = QVUtility::DisplayScale(), std::int64_t dayDivisor = 1);

    int Width() const { return width; }
    // The content's height: the rows and one pitch below them (at least the
    // ruler and the gap under it).
    std::int64_t Height() const;
    std::size_t Rows() const { return rows; }
    std::int64_t FirstRowTop() const { return static_cast<std::int64_t>(rulerTop) + rulerHeight + gapUnderRuler; }
    // Where the rows' band starts: the first row's bar sits in the middle of
    // a pitch from here, as the task table's first row does. Above it the
    // title and the ruler stay while the rows scroll.
    std::int64_t RowsTop() const { return FirstRowTop() - (rowPitch - barHeight) / 2; }
    // The left edge of day column `column` (0: the project's first day).
    std::int64_t ColumnLeft(std::int64_t column) const;
    // The day (with its fraction) at chart x, and back: what stays in place
    // when the columns change width.
    double DayAt(std::int64_t x) const;
    std::int64_t XOfDay(double day) const;
    // The day column that holds chart x: ColumnLeft(c) <= x < ColumnLeft(c + 1).
    std::int64_t ColumnAt(std::int64_t x) const;
    std::int64_t RowTop(std::size_t row) const;
    BarSpan Bar(const Task& task) const;
    // The rows whose bar reaches into the chart's band from `top` to `bottom` - 1.
    RowRange RowsBetween(std::int64_t top, std::int64_t bottom) const;
    // The rows that get a bar window when the view shows the chart from
    // `top` down for `height` pixels, and the most there can be.
    RowRange RowsNear(std::int64_t top, int height) const;
    std::size_t RowsNearAtMost(int height) const;

    // The window for a bar when the panel is scrolled by `scroll` and
    // `clientWidth` wide. Native windows cannot reach far beyond 32,767
    // pixels (toolkit/core/WindowReach.h): a bar that would lie further out
    // is cut to the visible width plus a margin on each side, and one wholly
    // outside that is not shown.
    static BarWindowSpan WindowSpan(const BarSpan& bar, int scroll, int clientWidth);
    // The tallest content: the scroll range's numbers are 32-bit, and the
    // content is cut there.
    static constexpr std::int64_t TallestContent = 2147483647LL / 11 * 10;

private:
    // Row r lies r pitches below the first (the pitch in 96ths of a pixel).
    std::int64_t pitch96 = static_cast<std::int64_t>(rowPitch) * QVUtility::DisplayScale::BaseDpi;
    std::int64_t RowOffset(std::int64_t row) const;
    Date start;
    int dayWidth = 0;
    std::int64_t dayDivisor = 1;
    int width = 0;
    int rulerHeight = 0;
    std::size_t rows = 0;
};

}  // namespace MyApp
