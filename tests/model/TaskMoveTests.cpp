#include <gtest/gtest.h>

#include <random>

#include "model/CostReport.h"
#include "model/TaskMove.h"
#include "tests/model/TestDates.h"
#include "tests/model/WorkingDaysOracle.h"

using namespace MyApp;

namespace {

// A project of two to ninety days in 2027 on a random calendar: any
// weekdays, and extra working and non-working days among its own.
Project RandomProject(std::mt19937& random) {
    Project project;
    project.start = TestDates::D(1 + static_cast<int>(random() % 28), 1 + static_cast<int>(random() % 12), 2027);
    project.end = OnDay(project.start, DayNumber(project.start) + 1 + static_cast<std::int64_t>(random() % 90));
    for (int& weekday : project.workingWeekdays) weekday = random() % 3 != 0;
    const std::int64_t first = DayNumber(project.start), days = DayNumber(project.end) - first + 1;
    for (unsigned i = random() % 12; i > 0; --i) {
        const Date day = OnDay(project.start, first + static_cast<std::int64_t>(random() % days));
        (random() % 2 ? project.includeDays : project.excludeDays).push_back(day);
    }
    return project;
}

// A task inside the span, now and then at a time of day.
Task RandomTask(std::mt19937& random, const Project& project) {
    const std::int64_t first = DayNumber(project.start), days = DayNumber(project.end) - first + 1;
    const std::int64_t a = first + static_cast<std::int64_t>(random() % days);
    const std::int64_t b = std::min(first + days - 1, a + static_cast<std::int64_t>(random() % 25));
    Task task(project.start);
    const bool clock = random() % 4 == 0;
    task.start = OnDay(clock ? TestDates::D(1, 1, 2027, 9, 30) : project.start, a);
    task.end = OnDay(clock ? TestDates::D(1, 1, 2027, 17, 0) : project.start, b);
    task.resources = 1 + static_cast<int>(random() % 5);
    task.dailyCost = 12.5 * static_cast<double>(1 + random() % 40);
    return task;
}

bool Inside(const Project& project, const TaskDays& days) {
    return DayNumber(days.start) >= DayNumber(project.start) && DayNumber(days.end) <= DayNumber(project.end) &&
           CompareDates(days.start, days.end) != 1;
}

}  // namespace

// A move of the whole task keeps its working days and its cost, stays in
// the span, lands on the first working day from where it was dropped (or
// at the latest start that still fits) and ends on its last working day;
// a move of one end takes it where it was dropped, within the span and the
// other end. Held to the day-by-day rule on random calendars.
TEST(TaskMove, KeepsWorkingDaysAndCostAndStaysInTheSpan) {
    std::mt19937 random(20270308);
    int moved = 0, clamped = 0;
    for (int round = 0; round < 3000; ++round) {
        const Project project = RandomProject(random);
        const Task task = RandomTask(random, project);
        const TaskMover mover(project);
        const std::int64_t days = static_cast<std::int64_t>(random() % 241) - 120;
        const std::int64_t first = DayNumber(project.start), last = DayNumber(project.end);
        const int working = Oracle::CountWorkingDays(project, task.start, task.end);
        SCOPED_TRACE(FormatDate(task.start) + "-" + FormatDate(task.end) + " by " + std::to_string(days));

        const TaskDays whole = mover.Move(task, MovePart::Whole, days);
        ASSERT_TRUE(Inside(project, whole));
        if (working > 0) {
            ASSERT_EQ(Oracle::CountWorkingDays(project, whole.start, whole.end), working);
            const WorkingDayCalendar calendar(project);
            ASSERT_EQ(CostOf(calendar, whole.Given(task)).cost, CostOf(calendar, task).cost);
            // The start on a working day, the end on the last one it needs.
            ASSERT_TRUE(Oracle::IsWorkingDay(project, whole.start));
            ASSERT_LT(Oracle::CountWorkingDays(project, whole.start, OnDay(whole.end, DayNumber(whole.end) - 1)),
                      working);
            // Dropped on a day of the span: nothing between it and the start
            // is a working day, unless the span's end held the task back.
            const std::int64_t dropped = std::clamp(DayNumber(task.start) + days, first, last);
            const bool heldBack = Oracle::CountWorkingDays(project, OnDay(whole.start, DayNumber(whole.start) + 1),
                                                           OnDay(whole.end, last)) < working;
            if (DayNumber(whole.start) < dropped) {
                ASSERT_TRUE(heldBack);
            }
            for (std::int64_t day = dropped; day < DayNumber(whole.start); ++day) {
                ASSERT_TRUE(heldBack || !Oracle::IsWorkingDay(project, OnDay(whole.start, day)));
            }
            clamped += heldBack;
        } else {
            ASSERT_EQ(DayNumber(whole.end) - DayNumber(whole.start), DayNumber(task.end) - DayNumber(task.start));
        }
        moved += DayNumber(whole.start) != DayNumber(task.start);

        const TaskDays start = mover.Move(task, MovePart::Start, days);
        ASSERT_TRUE(Inside(project, start));
        ASSERT_TRUE(SameFields(start.end, task.end));
        if (CompareDates(OnDay(task.start, DayNumber(task.start) + days), task.end) != 1) {
            ASSERT_EQ(DayNumber(start.start), std::clamp(DayNumber(task.start) + days, first, last));
        }
        const TaskDays end = mover.Move(task, MovePart::End, days);
        ASSERT_TRUE(Inside(project, end));
        ASSERT_TRUE(SameFields(end.start, task.start));
        if (CompareDates(task.start, OnDay(task.end, DayNumber(task.end) + days)) != 1) {
            ASSERT_EQ(DayNumber(end.end), std::clamp(DayNumber(task.end) + days, first, last));
        }
    }
    // The rounds reached both kinds of moves.
    EXPECT_GT(moved, 1000);
    EXPECT_GT(clamped, 100);
}

// The keys: a working day later goes to the next working day and keeps the
// working days; a step back after it returns the task to where it was; the
// end's steps add or take one working day; nothing goes past the span.
TEST(TaskMove, StepsGoAWorkingDayAtATime) {
    std::mt19937 random(19032027);
    for (int round = 0; round < 2000; ++round) {
        const Project project = RandomProject(random);
        Task task = RandomTask(random, project);
        const TaskMover mover(project);
        const int working = Oracle::CountWorkingDays(project, task.start, task.end);
        if (working == 0 || !Oracle::IsWorkingDay(project, task.start)) continue;
        SCOPED_TRACE(FormatDate(task.start) + "-" + FormatDate(task.end));

        const TaskDays later = mover.Step(task, MovePart::Whole, 1);
        ASSERT_TRUE(Inside(project, later));
        ASSERT_EQ(Oracle::CountWorkingDays(project, later.start, later.end), working);
        if (DayNumber(later.start) != DayNumber(task.start)) {
            ASSERT_GT(DayNumber(later.start), DayNumber(task.start));
            ASSERT_EQ(Oracle::CountWorkingDays(project, task.start, later.start), 2);
            const TaskDays again = mover.Step(later.Given(task), MovePart::Whole, -1);
            ASSERT_TRUE(SameFields(again.start, task.start));
        }
        const TaskDays longer = mover.Step(task, MovePart::End, 1);
        const TaskDays shorter = mover.Step(task, MovePart::End, -1);
        ASSERT_TRUE(Inside(project, longer));
        ASSERT_TRUE(Inside(project, shorter));
        const int more = Oracle::CountWorkingDays(project, longer.start, longer.end);
        const int fewer = Oracle::CountWorkingDays(project, shorter.start, shorter.end);
        ASSERT_TRUE(more == working + 1 || SameFields(longer.end, task.end));
        ASSERT_TRUE(fewer == working - (Oracle::IsWorkingDay(project, task.end) ? 1 : 0) ||
                    SameFields(shorter.end, task.end));
        ASSERT_TRUE(SameFields(longer.start, task.start) && SameFields(shorter.start, task.start));
    }
}
