// The project: everything a project file holds, plus its path and the
// unsaved-changes flag.
#pragma once

#include <string>
#include <vector>

#include "model/Date.h"
#include "model/Task.h"

namespace MyApp {

struct Project {
    std::string description;
    Date start;
    Date end;
    // Index 0 = Monday ... 6 = Sunday; non-zero = working weekday.
    int workingWeekdays[7] = {0, 0, 0, 0, 0, 0, 0};
    std::vector<Task> tasks;        // ascending by start after every edit
    std::vector<Date> includeDays;  // extra working days
    std::vector<Date> excludeDays;  // extra non-working days
    std::string filePath;           // empty until first saved or loaded
    bool modified = false;

    // start and end are the current local date and time.
    Project();
};

// Drops every task and both day lists; nothing else changes.
void ClearProject(Project& project);
// Index of the first task with this id, or -1.
int FindTaskById(const Project& project, int id);
// Earliest start and latest end of the tasks; false (outputs untouched) when
// there are none.
bool TaskSpan(const Project& project, Date& earliestStart, Date& latestEnd);
// Appends a copy, then sorts.
void AddTask(Project& project, const Task& task);
// Overwrites every field but the id of the task at index, then sorts. An
// index outside the list changes nothing.
void ReplaceTask(Project& project, int index, const Task& values);
// Every field of `values` but the id into `task`.
void CopyTaskValues(Task& task, const Task& values);
// Orders the tasks by start (StartsBefore). Tasks with equal starts keep
// their order.
void SortTasks(Project& project);
// The order of SortTasks: a's start is before b's (an invalid start comes
// before every day).
bool StartsBefore(const Task& a, const Task& b);
// True when SortTasks would leave the tasks as they are (a loaded project
// keeps the file's order until its first edit).
bool TasksSorted(const Project& project);

}  // namespace MyApp
