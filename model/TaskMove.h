// Moving a task on the calendar, as a drag of its bar or the keys do it.
//
// A move of the whole task keeps its working days, and so its cost: the
// start goes by whole days, a start on a non-working day goes on to the next
// working day, and the end follows after the same number of working days. A
// move of one end changes that end alone and never takes it past the other.
// Nothing leaves the project's span: a move that would stops at its edge.
//
// Each day keeps its time of day; the days are counted as the cost report
// counts them. A task whose days cannot be converted does not move.
#pragma once

#include <cstdint>

#include "model/Project.h"
#include "model/WorkingDays.h"

namespace MyApp {

// A task's first and last day.
struct TaskDays {
    Date start;
    Date end;

    // The task with these days, its other fields as they are.
    Task Given(Task task) const {
        task.start = start;
        task.end = end;
        return task;
    }
};

// What a drag or a key moves: the whole task, its start or its end.
enum class MovePart { Whole, Start, End };

class TaskMover {
public:
    // The calendar and the span of `project`, prepared once for many moves
    // of its tasks (a copy: the project may change afterwards).
    explicit TaskMover(const Project& project);

    // The task's days with `part` moved by `days` calendar days (either way).
    TaskDays Move(const Task& task, MovePart part, std::int64_t days) const;
    // The whole task (its start to the next or previous working day) or its
    // end (to the next or previous working day) a working day later for a
    // positive `step`, earlier for a negative one. The days as they are when
    // there is no such day in the span (or, for the end, none from the start on).
    TaskDays Step(const Task& task, MovePart part, int step) const;

    int WorkingDays(const Date& start, const Date& end) const { return calendar.CountWorkingDays(start, end); }
    const WorkingDayCalendar& Calendar() const { return calendar; }

private:
    TaskDays MoveWhole(const Task& task, std::int64_t startDay) const;
    // The first (last, with `backwards`) day from `from` to `to` on which a
    // day with the clock time of `clock` is a working day; -1 when none is.
    std::int64_t WorkingDayBetween(const Date& clock, std::int64_t from, std::int64_t to, bool backwards) const;

    WorkingDayCalendar calendar;
    std::int64_t firstDay = 0;  // the project's span, as day numbers (DayNumber)
    std::int64_t lastDay = -1;
};

// Days from 1 January 1601 to the day's date (its time of day aside).
std::int64_t DayNumber(const Date& day);
// The same time of day on the day numbered `dayNumber`; the date unchanged
// when either cannot be converted.
Date OnDay(const Date& clock, std::int64_t dayNumber);

}  // namespace MyApp
