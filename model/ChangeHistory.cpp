#include "model/ChangeHistory.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace MyApp {

namespace {

bool DaysInOrder(const std::vector<Date>& list, std::size_t first, std::size_t end) {
    for (std::size_t i = first + 1; i < end; ++i)
        if (SortKey(list[i]) < SortKey(list[i - 1])) return false;
    return true;
}

// Heap bytes of a text; short texts live inside the string object itself.
std::size_t TextBytes(const std::string& text) {
    const auto object = reinterpret_cast<std::uintptr_t>(&text);
    const auto data = reinterpret_cast<std::uintptr_t>(text.data());
    const bool inside = data >= object && data < object + sizeof text;
    return inside ? 0 : text.capacity() + 1;
}

std::vector<int> IdsInOrder(const Project& project) {
    std::vector<int> ids;
    ids.reserve(project.tasks.size());
    for (const Task& task : project.tasks) ids.push_back(task.id);
    return ids;
}

// Puts the tasks back in the order of `ids` (every task's id once).
void RestoreOrder(Project& project, const std::vector<int>& ids) {
    std::vector<Task>& tasks = project.tasks;
    std::unordered_map<int, std::size_t> place;
    place.reserve(tasks.size());
    for (std::size_t i = 0; i < tasks.size(); ++i) place.emplace(tasks[i].id, i);
    if (ids.size() != tasks.size() || place.size() != tasks.size()) return;
    std::vector<Task> ordered;
    ordered.reserve(tasks.size());
    for (int id : ids) {
        const auto found = place.find(id);
        if (found == place.end()) return;
        ordered.push_back(tasks[found->second]);
    }
    tasks = std::move(ordered);
}

// Where SortTasks puts `task` among `others` (in date order) when it comes
// from place `from` of the list (its end for a new task): after the tasks
// that start before it and before those that start after it; among those
// that start on its day, where it was.
std::size_t SortedPlace(const std::vector<Task>& others, const Task& task, std::size_t from) {
    const auto first = std::lower_bound(others.begin(), others.end(), task, StartsBefore) - others.begin();
    const auto last = std::upper_bound(others.begin(), others.end(), task, StartsBefore) - others.begin();
    return std::clamp(from, static_cast<std::size_t>(first), static_cast<std::size_t>(last));
}

// Moves the task at `from` to `to`; the others keep their order.
void MoveTask(std::vector<Task>& tasks, std::size_t from, std::size_t to) {
    const auto at = [&](std::size_t i) { return tasks.begin() + static_cast<std::ptrdiff_t>(i); };
    if (from < to) std::rotate(at(from), at(from + 1), at(to + 1));
    else if (to < from) std::rotate(at(to), at(from), at(from + 1));
}

std::vector<Date>& DayList(Project& project, bool include) {
    return include ? project.includeDays : project.excludeDays;
}

bool InList(std::size_t size, int index) { return index >= 0 && static_cast<std::size_t>(index) < size; }

}  // namespace

ProjectProperties PropertiesOf(const Project& project) {
    ProjectProperties values;
    values.description = project.description;
    values.start = project.start;
    values.end = project.end;
    std::copy(std::begin(project.workingWeekdays), std::end(project.workingWeekdays), values.workingWeekdays);
    return values;
}

void ApplyProperties(Project& project, const ProjectProperties& values) {
    project.description = values.description;
    project.start = values.start;
    project.end = values.end;
    std::copy(std::begin(values.workingWeekdays), std::end(values.workingWeekdays), project.workingWeekdays);
}

DayListEdit CompareDayLists(const std::vector<Date>& from, const std::vector<Date>& to) {
    // The ends both lists share, then the middles: walked side by side when
    // both are in date order (as the days dialog keeps them), so that an
    // added or removed day costs one entry wherever it is; otherwise the
    // whole middle is replaced.
    const std::size_t shorter = std::min(from.size(), to.size());
    std::size_t head = 0;
    while (head < shorter && SameFields(from[head], to[head])) ++head;
    std::size_t tail = 0;
    while (tail < shorter - head && SameFields(from[from.size() - 1 - tail], to[to.size() - 1 - tail])) ++tail;
    const std::size_t fromEnd = from.size() - tail;
    const std::size_t toEnd = to.size() - tail;

    DayListEdit edit;
    std::size_t i = head;
    std::size_t j = head;
    if (DaysInOrder(from, head, fromEnd) && DaysInOrder(to, head, toEnd)) {
        while (i < fromEnd && j < toEnd) {
            if (SameFields(from[i], to[j])) {
                ++i;
                ++j;
            } else if (SortKey(to[j]) < SortKey(from[i])) {
                edit.added.push_back({j, to[j]});
                ++j;
            } else {
                edit.removed.push_back({i, from[i]});
                ++i;
            }
        }
    }
    for (; i < fromEnd; ++i) edit.removed.push_back({i, from[i]});
    for (; j < toEnd; ++j) edit.added.push_back({j, to[j]});
    return edit;
}

std::vector<Date> EditDayList(const std::vector<Date>& list, const std::vector<PlacedDay>& out,
                              const std::vector<PlacedDay>& in) {
    std::vector<Date> result;
    result.reserve(list.size() + in.size());
    std::size_t o = 0;
    std::size_t n = 0;
    const auto putDue = [&] {
        while (n < in.size() && in[n].index <= result.size()) result.push_back(in[n++].day);
    };
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (o < out.size() && out[o].index == i) {
            ++o;
            continue;
        }
        putDue();
        result.push_back(list[i]);
    }
    while (n < in.size()) result.push_back(in[n++].day);
    return result;
}

std::size_t TaskBytes(const Task& task) { return sizeof(Task) + TextBytes(task.description); }

// ---- The history -----------------------------------------------------------------

ChangeHistory::ChangeHistory(std::size_t stepsKept) : capacity(std::max<std::size_t>(stepsKept, 1)) {}

// In a list in date order a change places one task and leaves the others
// as they are, which the steps do themselves (without sorting the whole list
// again, and so that undoing needs only the task's two places). A list in
// the file's order is sorted by SortTasks, and the step keeps the order it
// had.
void ChangeHistory::AddTask(Project& project, const Task& task) {
    TaskStep step{ChangeKind::AddTask, std::nullopt, task, 0, 0, {}};
    if (TasksSorted(project)) {
        step.to = SortedPlace(project.tasks, task, project.tasks.size());
        project.tasks.insert(project.tasks.begin() + static_cast<std::ptrdiff_t>(step.to), task);
    } else {
        step.previousOrder = IdsInOrder(project);
        MyApp::AddTask(project, task);
        step.to = static_cast<std::size_t>(FindTaskById(project, task.id));
    }
    Record(project, std::move(step));
}

bool ChangeHistory::EditTask(Project& project, int index, const Task& values) {
    if (!InList(project.tasks.size(), index)) return false;
    const auto from = static_cast<std::size_t>(index);
    TaskStep step{ChangeKind::EditTask, project.tasks[from], std::nullopt, from, 0, {}};
    if (TasksSorted(project)) {
        Task changed = project.tasks[from];
        CopyTaskValues(changed, values);
        project.tasks.erase(project.tasks.begin() + index);
        step.to = SortedPlace(project.tasks, changed, from);
        project.tasks.insert(project.tasks.begin() + static_cast<std::ptrdiff_t>(step.to), changed);
    } else {
        step.previousOrder = IdsInOrder(project);
        ReplaceTask(project, index, values);
        step.to = static_cast<std::size_t>(FindTaskById(project, step.before->id));
    }
    step.after = project.tasks[step.to];
    Record(project, std::move(step));
    return true;
}

bool ChangeHistory::DeleteTask(Project& project, int index) {
    if (!InList(project.tasks.size(), index)) return false;
    const auto from = static_cast<std::size_t>(index);
    TaskStep step{ChangeKind::DeleteTask, project.tasks[from], std::nullopt, from, 0, {}};
    project.tasks.erase(project.tasks.begin() + index);
    Record(project, std::move(step));
    return true;
}

void ChangeHistory::SetProperties(Project& project, const ProjectProperties& values) {
    PropertiesStep step{PropertiesOf(project), values};
    ApplyProperties(project, values);
    Record(project, std::move(step));
}

void ChangeHistory::SetDays(Project& project, bool include, const std::vector<Date>& days) {
    std::vector<Date>& list = DayList(project, include);
    DaysStep step{include, CompareDayLists(list, days)};
    list = days;
    Record(project, std::move(step));
}

void ChangeHistory::Record(Project& project, Step step) {
    // A change after an undo: the steps that could be redone are gone, and
    // with them, maybe, the saved state.
    steps.erase(steps.begin() + static_cast<std::ptrdiff_t>(done), steps.end());
    if (saved && *saved > done) saved.reset();
    steps.push_back(std::move(step));
    ++done;
    while (steps.size() > capacity) {
        steps.pop_front();
        --done;
        if (saved) saved = *saved == 0 ? std::nullopt : std::optional<std::size_t>(*saved - 1);
    }
    FollowSavedState(project);
}

// ---- Undo and redo ------------------------------------------------------------------

std::optional<ChangeKind> ChangeHistory::KindOf(const Step* step) {
    if (step == nullptr) return std::nullopt;
    if (const auto* task = std::get_if<TaskStep>(step)) return task->kind;
    if (const auto* days = std::get_if<DaysStep>(step))
        return days->include ? ChangeKind::IncludeDays : ChangeKind::ExcludeDays;
    return ChangeKind::Properties;
}

std::optional<int> ChangeHistory::TaskIdOf(const Step* step) {
    const auto* task = step != nullptr ? std::get_if<TaskStep>(step) : nullptr;
    if (task == nullptr) return std::nullopt;
    return task->before ? task->before->id : task->after->id;
}

const ChangeHistory::Step* ChangeHistory::StepToUndo() const { return CanUndo() ? &steps[done - 1] : nullptr; }

const ChangeHistory::Step* ChangeHistory::StepToRedo() const { return CanRedo() ? &steps[done] : nullptr; }

std::optional<ChangeKind> ChangeHistory::UndoKind() const { return KindOf(StepToUndo()); }

std::optional<ChangeKind> ChangeHistory::RedoKind() const { return KindOf(StepToRedo()); }

std::optional<int> ChangeHistory::UndoTaskId() const { return TaskIdOf(StepToUndo()); }

std::optional<int> ChangeHistory::RedoTaskId() const { return TaskIdOf(StepToRedo()); }

bool ChangeHistory::Undo(Project& project) {
    if (!CanUndo()) return false;
    --done;
    const Step& step = steps[done];
    if (const auto* task = std::get_if<TaskStep>(&step)) {
        std::vector<Task>& tasks = project.tasks;
        switch (task->kind) {
        case ChangeKind::AddTask: tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(task->to)); break;
        case ChangeKind::EditTask:
            tasks[task->to] = *task->before;
            if (task->previousOrder.empty()) MoveTask(tasks, task->to, task->from);
            break;
        default: tasks.insert(tasks.begin() + static_cast<std::ptrdiff_t>(task->from), *task->before); break;
        }
        if (!task->previousOrder.empty()) RestoreOrder(project, task->previousOrder);
    } else if (const auto* properties = std::get_if<PropertiesStep>(&step)) {
        ApplyProperties(project, properties->before);
    } else if (const auto* days = std::get_if<DaysStep>(&step)) {
        std::vector<Date>& list = DayList(project, days->include);
        list = EditDayList(list, days->edit.added, days->edit.removed);
    }
    FollowSavedState(project);
    return true;
}

bool ChangeHistory::Redo(Project& project) {
    if (!CanRedo()) return false;
    const Step& step = steps[done];
    ++done;
    if (const auto* task = std::get_if<TaskStep>(&step)) {
        // A list that was in the file's order is sorted again as it was the
        // first time; otherwise the task goes back to the place it took then.
        std::vector<Task>& tasks = project.tasks;
        const bool sorts = !task->previousOrder.empty();
        switch (task->kind) {
        case ChangeKind::AddTask:
            if (sorts) MyApp::AddTask(project, *task->after);
            else tasks.insert(tasks.begin() + static_cast<std::ptrdiff_t>(task->to), *task->after);
            break;
        case ChangeKind::EditTask:
            if (sorts) {
                ReplaceTask(project, static_cast<int>(task->from), *task->after);
            } else {
                tasks[task->from] = *task->after;
                MoveTask(tasks, task->from, task->to);
            }
            break;
        default: tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(task->from)); break;
        }
    } else if (const auto* properties = std::get_if<PropertiesStep>(&step)) {
        ApplyProperties(project, properties->after);
    } else if (const auto* days = std::get_if<DaysStep>(&step)) {
        std::vector<Date>& list = DayList(project, days->include);
        list = EditDayList(list, days->edit.removed, days->edit.added);
    }
    FollowSavedState(project);
    return true;
}

// ---- The saved state --------------------------------------------------------------

void ChangeHistory::FollowSavedState(Project& project) const { project.modified = saved != done; }

void ChangeHistory::MarkSaved(Project& project) {
    saved = done;
    project.modified = false;
}

void ChangeHistory::Clear(const Project& project) {
    steps.clear();
    done = 0;
    saved = project.modified ? std::nullopt : std::optional<std::size_t>(0);
}

// ---- Size -----------------------------------------------------------------------------

std::size_t ChangeHistory::StepBytes(const Step& step) {
    std::size_t bytes = sizeof(Step);
    if (const auto* task = std::get_if<TaskStep>(&step)) {
        if (task->before) bytes += TaskBytes(*task->before) - sizeof(Task);
        if (task->after) bytes += TaskBytes(*task->after) - sizeof(Task);
        bytes += task->previousOrder.capacity() * sizeof(int);
    } else if (const auto* properties = std::get_if<PropertiesStep>(&step)) {
        bytes += TextBytes(properties->before.description) + TextBytes(properties->after.description);
    } else if (const auto* days = std::get_if<DaysStep>(&step)) {
        bytes += (days->edit.removed.capacity() + days->edit.added.capacity()) * sizeof(PlacedDay);
    }
    return bytes;
}

std::size_t ChangeHistory::Bytes() const {
    std::size_t bytes = sizeof(*this);
    for (const Step& step : steps) bytes += StepBytes(step);
    return bytes;
}

}  // namespace MyApp
