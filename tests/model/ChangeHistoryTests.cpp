#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/ChangeHistory.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using TestDates::D;

namespace {

std::string DateText(const Date& d) {
    const SYSTEMTIME& s = d.value;
    char text[64];
    std::snprintf(text, sizeof text, "%u/%u/%u(%u) %u:%u:%u.%u%s", s.wDay, s.wMonth, s.wYear, s.wDayOfWeek, s.wHour,
                  s.wMinute, s.wSecond, s.wMilliseconds, d.invalid ? " invalid" : "");
    return text;
}

// Every field of the project but the unsaved-changes flag, task ids and the
// order of every list included.
std::string Snapshot(const Project& p) {
    std::string s = p.description + "|" + DateText(p.start) + "|" + DateText(p.end) + "|" + p.filePath;
    for (int flag : p.workingWeekdays) s += "|" + std::to_string(flag);
    for (const Task& t : p.tasks) {
        char cost[40];
        std::snprintf(cost, sizeof cost, "%a", t.dailyCost);
        s += "\n#" + std::to_string(t.id) + " " + t.description + "|" + DateText(t.start) + "|" + DateText(t.end) +
             "|" + std::to_string(t.colour) + "|" + std::to_string(t.resources) + "|" + cost;
    }
    for (const Date& d : p.includeDays) s += "\nI " + DateText(d);
    for (const Date& d : p.excludeDays) s += "\nE " + DateText(d);
    return s;
}

// Few distinct days, so that many tasks and list entries share one.
Date SomeDay(std::mt19937& random) { return D(1 + static_cast<int>(random() % 12), 3, 2024); }

Task SomeTask(std::mt19937& random) {
    Task t(D(1, 3, 2024));
    t.description = "Task " + std::to_string(random() % 1000) + (random() % 4 == 0 ? " con un nome lungo" : "");
    t.start = SomeDay(random);
    t.end = D(20, 3, 2024);
    t.colour = BarColours[random() % 5].colour;
    t.resources = static_cast<int>(random() % 9);
    t.dailyCost = static_cast<double>(random() % 100000) / 7.0;
    return t;
}

// A list as the days dialog hands it back (sorted, a few days in and out),
// or any other list at all.
std::vector<Date> SomeDays(std::mt19937& random, std::vector<Date> days) {
    if (random() % 3 == 0) {
        std::shuffle(days.begin(), days.end(), random);
        if (!days.empty() && random() % 2 == 0) days.pop_back();
        days.push_back(SomeDay(random));
        return days;
    }
    std::sort(days.begin(), days.end(), [](const Date& a, const Date& b) { return CompareDates(a, b) == -1; });
    for (int n = static_cast<int>(random() % 3); n > 0 && !days.empty(); --n)
        days.erase(days.begin() + static_cast<long>(random() % days.size()));
    for (int n = static_cast<int>(random() % 3); n > 0; --n) {
        const Date day = D(1 + static_cast<int>(random() % 28), 3, 2024);
        auto at = days.begin();
        while (at != days.end() && CompareDates(*at, day) == -1) ++at;
        days.insert(at, day);
    }
    return days;
}

// A project as a file leaves it: tasks and day lists in no order, a
// duplicate day, a task with a start that is no day.
Project Loaded(std::mt19937& random, int tasks) {
    Project p;
    p.description = "Cantiere";
    p.start = D(1, 3, 2024);
    p.end = D(31, 3, 2024);
    for (int i = 0; i < 5; ++i) p.workingWeekdays[i] = 1;
    for (int i = 0; i < tasks; ++i) p.tasks.push_back(SomeTask(random));
    if (tasks > 2) p.tasks[1].start = MakeDate(TestDates::Fields(31, 2, 2024));
    p.includeDays = {D(9, 3, 2024), D(2, 3, 2024), D(9, 3, 2024)};
    p.excludeDays = {D(15, 3, 2024)};
    p.filePath = "cantiere.vmo";
    return p;
}

// One change of any kind, made through the history on `p` and, when given,
// with the project's own operations on `plain`.
void SomeChange(std::mt19937& random, ChangeHistory& history, Project& p, Project* plain = nullptr) {
    const int size = static_cast<int>(p.tasks.size());
    const unsigned kind = random() % 6;
    if (size == 0 || kind == 0) {
        const Task task = SomeTask(random);
        history.AddTask(p, task);
        if (plain) AddTask(*plain, task);
    } else if (kind == 1) {
        const int index = static_cast<int>(random() % size);
        Task values = SomeTask(random);
        if (random() % 4 == 0) values.start = p.tasks[static_cast<size_t>(random() % size)].start;
        ASSERT_TRUE(history.EditTask(p, index, values));
        if (plain) ReplaceTask(*plain, index, values);
    } else if (kind == 2) {
        const int index = static_cast<int>(random() % size);
        ASSERT_TRUE(history.DeleteTask(p, index));
        if (plain) plain->tasks.erase(plain->tasks.begin() + index);
    } else if (kind == 3) {
        ProjectProperties values = PropertiesOf(p);
        values.description = random() % 2 ? "Cantiere " + std::to_string(random() % 100) : values.description;
        values.end = D(1 + static_cast<int>(random() % 28), 4, 2024);
        values.workingWeekdays[random() % 7] ^= 1;
        history.SetProperties(p, values);
        if (plain) {
            plain->description = values.description;
            plain->end = values.end;
            std::copy(values.workingWeekdays, values.workingWeekdays + 7, plain->workingWeekdays);
        }
    } else {
        const bool include = kind == 4;
        const std::vector<Date> days = SomeDays(random, include ? p.includeDays : p.excludeDays);
        history.SetDays(p, include, days);
        if (plain) (include ? plain->includeDays : plain->excludeDays) = days;
    }
}

}  // namespace

// Random changes of every kind from a freshly loaded project: each ends as
// the project's own operations end it; each undo gives back the state before
// its step, field for field, ids and order included, down to the project as
// loaded; each redo the state after it.
TEST(ChangeHistory, UndoAndRedoRetraceRandomChangesFieldForField) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        Project p = Loaded(random, static_cast<int>(seed % 8));
        Project plain = p;
        ChangeHistory history;
        history.Clear(p);
        std::vector<std::string> states{Snapshot(p)};
        for (int step = 0; step < 60; ++step) {
            SomeChange(random, history, p, &plain);
            if (HasFatalFailure()) return;
            ASSERT_TRUE(p.modified);
            states.push_back(Snapshot(p));
            ASSERT_EQ(states.back(), Snapshot(plain))
                << "step " << step << " made as the project's own operations make it";
        }
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_TRUE(history.Undo(p));
            ASSERT_EQ(Snapshot(p), states[i - 1]) << "undoing step " << i;
        }
        EXPECT_FALSE(history.CanUndo());
        EXPECT_FALSE(p.modified) << "back at the project as loaded";
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_TRUE(history.Redo(p));
            ASSERT_EQ(Snapshot(p), states[i]) << "redoing step " << i;
        }
        EXPECT_FALSE(history.CanRedo());
    }
}

TEST(ChangeHistory, UnsavedStateFollowsTheSavedPointAndNewChangesDropRedo) {
    Project p;
    p.start = D(1, 3, 2024);
    p.end = D(31, 3, 2024);
    ChangeHistory history;
    history.Clear(p);  // as loaded
    EXPECT_FALSE(history.UndoKind().has_value());
    Task a(D(5, 3, 2024));
    history.AddTask(p, a);
    EXPECT_EQ(history.UndoKind(), ChangeKind::AddTask);
    EXPECT_EQ(history.UndoTaskId(), a.id);
    EXPECT_TRUE(p.modified);
    history.Undo(p);
    EXPECT_FALSE(p.modified);
    EXPECT_EQ(history.RedoKind(), ChangeKind::AddTask);
    history.Redo(p);
    EXPECT_TRUE(p.modified);
    history.MarkSaved(p);  // saved with the task
    EXPECT_FALSE(p.modified);
    history.Undo(p);
    EXPECT_TRUE(p.modified);
    history.Redo(p);
    EXPECT_FALSE(p.modified);

    // Back before the saved state, then a new change: the step that led to
    // it cannot be redone, so no state is the saved one any more.
    history.Undo(p);
    history.SetDays(p, false, {D(8, 3, 2024)});
    EXPECT_TRUE(p.modified);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoKind(), ChangeKind::ExcludeDays);
    history.Undo(p);
    EXPECT_TRUE(p.modified);
    EXPECT_TRUE(p.tasks.empty());

    // Changes refused for a task that is not there are no step.
    EXPECT_FALSE(history.EditTask(p, 0, a));
    EXPECT_FALSE(history.DeleteTask(p, -1));
    EXPECT_FALSE(history.CanUndo());

    // A new project is unsaved whatever is undone.
    history.Clear(p);
    EXPECT_TRUE(p.modified);
    history.AddTask(p, a);
    history.Undo(p);
    EXPECT_TRUE(p.modified);
}

// Undo names the step it takes back, redo the one it applies again.
TEST(ChangeHistory, UndoAndRedoNameTheirOwnTask) {
    Project p;
    ChangeHistory history;
    const Task a(D(5, 3, 2024));
    const Task b(D(6, 3, 2024));
    history.AddTask(p, a);
    history.AddTask(p, b);
    ASSERT_TRUE(history.Undo(p));
    EXPECT_EQ(history.UndoTaskId(), a.id);
    EXPECT_EQ(history.RedoTaskId(), b.id);
    ASSERT_TRUE(history.Undo(p));
    EXPECT_EQ(history.RedoTaskId(), a.id);
    EXPECT_FALSE(history.UndoTaskId().has_value());
}

// A day list whose first entry is no day (31 February) and that the change
// replaces with a real day: undo gives back that very entry in its place,
// redo the new list.
TEST(ChangeHistory, UndoGivesBackAnInvalidDayInItsPlace) {
    const Date noDay = MakeDate(TestDates::Fields(31, 2, 2024));
    ASSERT_TRUE(noDay.invalid);
    Project p;
    p.excludeDays = {noDay, D(5, 3, 2024), D(9, 3, 2024)};
    ChangeHistory history;
    const std::string before = Snapshot(p);
    history.SetDays(p, false, {D(2, 3, 2024), D(5, 3, 2024), D(12, 3, 2024)});
    const std::string after = Snapshot(p);
    ASSERT_TRUE(history.Undo(p));
    EXPECT_EQ(Snapshot(p), before);
    ASSERT_TRUE(history.Redo(p));
    EXPECT_EQ(Snapshot(p), after);
}

TEST(ChangeHistory, KeepsTheLastStepsUpToItsCapacity) {
    Project p;
    ChangeHistory history(3);
    history.Clear(p);
    for (int i = 0; i < 5; ++i) history.AddTask(p, Task(D(1 + i, 3, 2024)));
    EXPECT_EQ(history.StepCount(), 3u);
    int undone = 0;
    while (history.Undo(p)) ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(p.tasks.size(), 2u);
    EXPECT_TRUE(p.modified) << "the saved state went with the oldest steps";
    EXPECT_EQ(ChangeHistory().StepCount(), 0u);
    ChangeHistory full;
    for (int i = 0; i < 150; ++i) full.AddTask(p, Task(D(1, 3, 2024)));
    EXPECT_EQ(full.StepCount(), ChangeHistory::DefaultCapacity);
    EXPECT_GE(ChangeHistory::DefaultCapacity, 100u);
}

// A hundred thousand tasks in the file's order and a hundred steps of every
// kind, the first of which sorts the whole list: the history takes a small
// part of what the project itself takes, and gives the project back.
TEST(ChangeHistory, AHundredStepsOnAHundredThousandTasksStaySmall) {
    std::mt19937 random(7);
    Project p = Loaded(random, 100000);
    ChangeHistory history;
    history.Clear(p);
    const std::string loaded = Snapshot(p);
    ASSERT_TRUE(history.EditTask(p, 5000, SomeTask(random)));
    for (int step = 1; step < 100; ++step) {
        SomeChange(random, history, p);
        if (HasFatalFailure()) return;
    }
    ASSERT_EQ(history.StepCount(), 100u);

    std::size_t projectBytes = sizeof(Project);
    for (const Task& t : p.tasks) projectBytes += TaskBytes(t);
    const std::size_t historyBytes = history.Bytes();
    std::printf("100,000 tasks: project %zu bytes, 100 steps of history %zu bytes (%.1f %%)\n", projectBytes,
                historyBytes, 100.0 * static_cast<double>(historyBytes) / static_cast<double>(projectBytes));
    EXPECT_LT(historyBytes, projectBytes / 10);

    while (history.Undo(p)) {}
    EXPECT_EQ(Snapshot(p), loaded);
}

// A day added or removed anywhere in a list in date order is one entry.
TEST(DayListEdit, AddedAndRemovedDaysCostOneEntryEach) {
    std::vector<Date> before;
    for (int d = 1; d <= 28; ++d) before.push_back(D(d, 2, 2024));
    std::vector<Date> after = before;
    after.erase(after.begin() + 20);
    after.insert(after.begin() + 3, D(3, 2, 2024, 12));  // same day, another hour
    after.push_back(D(1, 3, 2024));
    const DayListEdit edit = CompareDayLists(before, after);
    EXPECT_EQ(edit.removed.size(), 1u);
    EXPECT_EQ(edit.added.size(), 2u);
}
