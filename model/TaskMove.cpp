#include "model/TaskMove.h"

#include <algorithm>
#include <cstdlib>

namespace MyApp {

namespace {

bool Converts(const Date& day) {
    std::int64_t ticks;
    return !day.invalid && SystemTimeToTicks(day.value, ticks);
}

// The smallest number in [low, high] for which `holds` is true, where it
// is false below some number and true from there on; high + 1 when it never is.
template <class Test>
std::int64_t FirstHolding(std::int64_t low, std::int64_t high, Test holds) {
    std::int64_t end = high + 1;
    while (low < end) {
        const std::int64_t middle = low + (end - low) / 2;
        if (holds(middle)) {
            end = middle;
        } else {
            low = middle + 1;
        }
    }
    return end;
}

}  // namespace

std::int64_t DayNumber(const Date& day) {
    return DaysFromCivil(day.value.wYear, day.value.wMonth, day.value.wDay);
}

Date OnDay(const Date& clock, std::int64_t dayNumber) {
    std::int64_t ticks;
    if (!SystemTimeToTicks(clock.value, ticks)) return clock;
    const std::int64_t moved = ticks + (dayNumber - DayNumber(clock)) * TicksPerDay;
    SYSTEMTIME fields{};
    if (moved < 0 || !TicksToSystemTime(moved, fields)) return clock;
    const Date made = MakeDate(fields);
    return made.invalid ? clock : made;
}

TaskMover::TaskMover(const Project& project) : calendar(project) {
    if (Converts(project.start) && Converts(project.end)) {
        firstDay = DayNumber(project.start);
        lastDay = DayNumber(project.end);
    }
}

std::int64_t TaskMover::WorkingDayBetween(const Date& clock, std::int64_t from, std::int64_t to,
                                          bool backwards) const {
    if (from > to) return -1;
    const auto count = [&](std::int64_t first, std::int64_t last) {
        return calendar.CountWorkingDays(OnDay(clock, first), OnDay(clock, last));
    };
    if (count(from, to) == 0) return -1;
    if (!backwards) return FirstHolding(from, to, [&](std::int64_t day) { return count(from, day) > 0; });
    // The last day d from which on a working day remains.
    return FirstHolding(from, to, [&](std::int64_t day) { return count(day, to) == 0; }) - 1;
}

TaskDays TaskMover::MoveWhole(const Task& task, std::int64_t startDay) const {
    const TaskDays kept{task.start, task.end};
    const int working = calendar.CountWorkingDays(task.start, task.end);
    const std::int64_t length = DayNumber(task.end) - DayNumber(task.start);
    if (working <= 0) {
        // No working day to keep: the task keeps its length in calendar days.
        if (length < 0 || length > lastDay - firstDay) return kept;
        const std::int64_t day = std::clamp(startDay, firstDay, lastDay - length);
        return TaskDays{OnDay(task.start, day), OnDay(task.end, day + length)};
    }
    // The latest start from which the task's working days still end in the span.
    const Date lastEnd = OnDay(task.end, lastDay);
    const auto fits = [&](std::int64_t day) {
        return calendar.CountWorkingDays(OnDay(task.start, day), lastEnd) >= working;
    };
    if (!fits(firstDay)) return kept;
    const std::int64_t latest = FirstHolding(firstDay, lastDay, [&](std::int64_t day) { return !fits(day); }) - 1;
    // That start is a working day itself: from a later one fewer days would remain.
    std::int64_t day = std::clamp(startDay, firstDay, latest);
    const std::int64_t next = WorkingDayBetween(task.start, day, latest, false);
    day = next < 0 ? latest : next;
    const Date start = OnDay(task.start, day);
    const std::int64_t endDay = FirstHolding(day, lastDay, [&](std::int64_t last) {
        return calendar.CountWorkingDays(start, OnDay(task.end, last)) >= working;
    });
    return TaskDays{start, OnDay(task.end, endDay)};
}

TaskDays TaskMover::Move(const Task& task, MovePart part, std::int64_t days) const {
    const TaskDays kept{task.start, task.end};
    if (!Converts(task.start) || !Converts(task.end) || lastDay < firstDay) return kept;
    const std::int64_t startDay = DayNumber(task.start), endDay = DayNumber(task.end);
    // Further than any span reaches, and no further.
    const std::int64_t reach = (lastDay - firstDay) + std::abs(startDay - firstDay) + std::abs(endDay - firstDay) + 1;
    days = std::clamp(days, -reach, reach);
    if (part == MovePart::Whole) return MoveWhole(task, startDay + days);
    if (part == MovePart::Start) {
        const std::int64_t highest = std::min(endDay, lastDay);
        if (highest < firstDay) return kept;
        std::int64_t day = std::clamp(startDay + days, firstDay, highest);
        // On the end's own day, not after its time of day.
        if (CompareDates(OnDay(task.start, day), task.end) == 1) --day;
        if (day < firstDay) return kept;
        return TaskDays{OnDay(task.start, day), task.end};
    }
    const std::int64_t lowest = std::max(startDay, firstDay);
    if (lowest > lastDay) return kept;
    std::int64_t day = std::clamp(endDay + days, lowest, lastDay);
    if (CompareDates(task.start, OnDay(task.end, day)) == 1) ++day;
    if (day > lastDay) return kept;
    return TaskDays{task.start, OnDay(task.end, day)};
}

TaskDays TaskMover::Step(const Task& task, MovePart part, int step) const {
    const TaskDays kept{task.start, task.end};
    if (step == 0 || !Converts(task.start) || !Converts(task.end) || lastDay < firstDay) return kept;
    const std::int64_t startDay = DayNumber(task.start), endDay = DayNumber(task.end);
    const bool later = step > 0;
    if (part == MovePart::Whole) {
        const std::int64_t day = later ? WorkingDayBetween(task.start, startDay + 1, lastDay, false)
                                       : WorkingDayBetween(task.start, firstDay, startDay - 1, true);
        return day < 0 ? kept : MoveWhole(task, day);
    }
    const Date& moved = part == MovePart::Start ? task.start : task.end;
    const std::int64_t from = part == MovePart::Start ? startDay : endDay;
    std::int64_t day = -1;
    if (part == MovePart::Start) {
        day = later ? WorkingDayBetween(moved, from + 1, std::min(endDay, lastDay), false)
                    : WorkingDayBetween(moved, firstDay, from - 1, true);
    } else {
        day = later ? WorkingDayBetween(moved, from + 1, lastDay, false)
                    : WorkingDayBetween(moved, std::max(startDay, firstDay), from - 1, true);
    }
    if (day < 0) return kept;
    const TaskDays result = part == MovePart::Start ? TaskDays{OnDay(moved, day), task.end}
                                                     : TaskDays{task.start, OnDay(moved, day)};
    return CompareDates(result.start, result.end) == 1 ? kept : result;
}

}  // namespace MyApp
