#include "app/chart/ChartLayout.h"

#include <algorithm>
#include <cmath>

#include "toolkit/core/WindowReach.h"

namespace MyApp {

namespace {

// Beyond the safe reach a bar window reaches this far past each side of the view.
constexpr std::int64_t CutMargin = 1000;

}  // namespace

ChartLayout::ChartLayout(QVUtility::DisplayScale scale) {
    for (int* measure :
         {&titleLeft, &titleHeight, &rulerTop, &gapUnderRuler, &barHeight, &rowPitch, &pictureTextDrop, &viewMargin}) {
        *measure = scale(*measure);
    }
    pitch96 = static_cast<std::int64_t>(rowPitch) * QVUtility::DisplayScale::BaseDpi;
}

ChartLayout::ChartLayout(const Project& project, int columnWidth, int rulerWidth, int rulerPictureHeight,
                         QVUtility::DisplayScale scale, std::int64_t columnDivisor)
    : ChartLayout(scale) {
    start = project.start;
    dayWidth = columnWidth;
    dayDivisor = std::max<std::int64_t>(1, columnDivisor);
    width = rulerWidth;
    rulerHeight = rulerPictureHeight;
    rows = project.tasks.size();
}

std::int64_t ChartLayout::Height() const { return RowTop(rows) + rowPitch; }

std::int64_t ChartLayout::RowOffset(std::int64_t row) const { return (row * pitch96 + 48) / 96; }

std::int64_t ChartLayout::RowTop(std::size_t row) const {
    return FirstRowTop() + RowOffset(static_cast<std::int64_t>(row));
}

std::int64_t ChartLayout::ColumnLeft(std::int64_t column) const {
    const std::int64_t scaled = column * dayWidth;
    // Rounded down, on either side of the first column.
    return scaled >= 0 ? scaled / dayDivisor : -((-scaled + dayDivisor - 1) / dayDivisor);
}

double ChartLayout::DayAt(std::int64_t x) const {
    return dayWidth > 0 ? static_cast<double>(x) * static_cast<double>(dayDivisor) / dayWidth : 0.0;
}

std::int64_t ChartLayout::XOfDay(double day) const {
    return static_cast<std::int64_t>(std::llround(day * dayWidth / static_cast<double>(dayDivisor)));
}

std::int64_t ChartLayout::ColumnAt(std::int64_t x) const {
    if (dayWidth <= 0) return 0;
    // The last column c with c * dayWidth < (x + 1) * dayDivisor, rounded
    // towards minus infinity on either side of the first column.
    const std::int64_t limit = (x + 1) * dayDivisor;
    const std::int64_t below = limit > 0 ? (limit - 1) / dayWidth : -((-limit) / dayWidth) - 1;
    return below;
}

BarSpan ChartLayout::Bar(const Task& task) const {
    BarSpan span;
    const std::int64_t first = DaysUntil(start, task.start);
    const std::int64_t days = DaysUntil(task.start, task.end) + 1;
    span.left = ColumnLeft(first);
    span.width = days > 0 ? ColumnLeft(first + days) - span.left : 0;
    return span;
}

RowRange ChartLayout::RowsBetween(std::int64_t top, std::int64_t bottom) const {
    RowRange range;
    if (rows == 0 || pitch96 <= 0 || bottom <= top) return range;
    // Row r covers FirstRowTop + RowOffset(r) up to barHeight below that.
    const std::int64_t first = FirstRowTop();
    const std::int64_t lowest = top - first - barHeight + 1;  // row tops from here on reach the band
    const std::int64_t highest = bottom - 1 - first;          // ... and up to here start in it
    if (highest < 0) return range;
    // The first row whose offset is at least `lowest`, and the one after the
    // last whose offset is at most `highest` (RowOffset rounds r * pitch96 / 96).
    const std::int64_t from = lowest <= 0 ? 0 : (96 * lowest - 48 + pitch96 - 1) / pitch96;
    const std::int64_t to = (96 * highest + 48 + pitch96 - 1) / pitch96;
    range.first = static_cast<std::size_t>(std::min<std::int64_t>(from, static_cast<std::int64_t>(rows)));
    range.end = static_cast<std::size_t>(std::min<std::int64_t>(to, static_cast<std::int64_t>(rows)));
    return range;
}

RowRange ChartLayout::RowsNear(std::int64_t top, int height) const {
    return RowsBetween(top - viewMargin, top + std::max(0, height) + viewMargin);
}

std::size_t ChartLayout::RowsNearAtMost(int height) const {
    const std::int64_t shortestPitch = pitch96 / 96;
    if (shortestPitch <= 0) return rows;
    // A band of this many pixels meets at most this many rows.
    const std::int64_t band = static_cast<std::int64_t>(std::max(0, height)) + 2 * viewMargin + barHeight;
    return static_cast<std::size_t>(std::min<std::int64_t>(band / shortestPitch + 1, static_cast<std::int64_t>(rows)));
}

BarWindowSpan ChartLayout::WindowSpan(const BarSpan& bar, int scroll, int clientWidth) {
    const std::int64_t left = bar.left - scroll;
    const std::int64_t right = left + std::max<std::int64_t>(0, bar.width);
    if (QVUtility::WithinSafeReach(left, right)) {
        return {static_cast<int>(left), static_cast<int>(right - left), true};
    }
    const std::int64_t from = std::max<std::int64_t>(left, -CutMargin);
    const std::int64_t to = std::min<std::int64_t>(right, static_cast<std::int64_t>(clientWidth) + CutMargin);
    if (to <= from) return {};
    return {static_cast<int>(from), static_cast<int>(to - from), true};
}

}  // namespace MyApp
