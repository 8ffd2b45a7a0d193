#include "app/chart/ChartLayout.h"

#include <algorithm>

#include "toolkit/core/WindowReach.h"

namespace MyApp {

namespace {

// Beyond the safe reach a bar window reaches this far past each side of the view.
constexpr std::int64_t CutMargin = 1000;

}  // namespace

ChartLayout::ChartLayout(QVUtility::DisplayScale scale) : pitch96(static_cast<std::int64_t>(rowPitch) * scale.Dpi()) {
    for (int* measure :
         {&titleLeft, &titleHeight, &rulerTop, &gapUnderRuler, &barHeight, &rowPitch, &pictureTextDrop, &viewMargin}) {
        *measure = scale(*measure);
    }
}

ChartLayout::ChartLayout(const Project& project, int columnWidth, int rulerWidth, int rulerPictureHeight,
                         QVUtility::DisplayScale scale)
    : ChartLayout(scale) {
    start = project.start;
    dayWidth = columnWidth;
    width = rulerWidth;
    rulerHeight = rulerPictureHeight;
    rows = project.tasks.size();
}

std::int64_t ChartLayout::Height() const { return RowTop(rows) + rowPitch; }

std::int64_t ChartLayout::RowOffset(std::int64_t row) const { return (row * pitch96 + 48) / 96; }

std::int64_t ChartLayout::RowTop(std::size_t row) const {
    return FirstRowTop() + RowOffset(static_cast<std::int64_t>(row));
}

BarSpan ChartLayout::Bar(const Task& task) const {
    BarSpan span;
    span.left = DaysUntil(start, task.start) * dayWidth;
    span.width = std::max<std::int64_t>(0, (DaysUntil(task.start, task.end) + 1) * dayWidth);
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
