#include "model/Project.h"

#include <algorithm>

namespace MyApp {

Project::Project() : start(LocalNow()), end(start) {}

void ClearProject(Project& project) {
    project.tasks.clear();
    project.excludeDays.clear();
    project.includeDays.clear();
}

int FindTaskById(const Project& project, int id) {
    for (std::size_t i = 0; i < project.tasks.size(); ++i)
        if (project.tasks[i].id == id) return static_cast<int>(i);
    return -1;
}

bool TaskSpan(const Project& project, Date& earliestStart, Date& latestEnd) {
    if (project.tasks.empty()) return false;
    earliestStart = project.tasks.front().start;
    latestEnd = project.tasks.front().end;
    for (std::size_t i = 1; i < project.tasks.size(); ++i) {
        const Task& task = project.tasks[i];
        if (CompareDates(earliestStart, task.start) == 1) earliestStart = task.start;
        if (CompareDates(latestEnd, task.end) == -1) latestEnd = task.end;
    }
    return true;
}

void AddTask(Project& project, const Task& task) {
    project.tasks.push_back(task);
    SortTasks(project);
}

void CopyTaskValues(Task& task, const Task& values) {
    task.colour = values.colour;
    task.dailyCost = values.dailyCost;
    task.start = values.start;
    task.end = values.end;
    task.description = values.description;
    task.resources = values.resources;
}

void ReplaceTask(Project& project, int index, const Task& values) {
    if (index < 0 || static_cast<std::size_t>(index) >= project.tasks.size()) return;
    CopyTaskValues(project.tasks[static_cast<std::size_t>(index)], values);
    SortTasks(project);
}

bool StartsBefore(const Task& a, const Task& b) { return SortKey(a.start) < SortKey(b.start); }

void SortTasks(Project& project) { std::stable_sort(project.tasks.begin(), project.tasks.end(), StartsBefore); }

bool TasksSorted(const Project& project) {
    return std::is_sorted(project.tasks.begin(), project.tasks.end(), StartsBefore);
}

}  // namespace MyApp
