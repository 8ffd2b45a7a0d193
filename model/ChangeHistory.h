// The history of the changes made to a project, for undo and redo.
//
// Every change goes through the history, which applies it to the project and
// keeps what it did: the task added, changed or deleted with its places in
// the list, the project's values before and after, the days a list gained
// and lost. Never a copy of the whole project: a step of a project of any
// size costs about one task, except the first change that sorts a list in
// the file's own order, which keeps that order (one number per task).
//
// The unsaved-changes flag follows the history: the project is unmodified
// exactly when it is back at the state last saved or loaded.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "model/Project.h"

namespace MyApp {

// What a step did, for naming it to the user.
enum class ChangeKind { AddTask, EditTask, DeleteTask, Properties, IncludeDays, ExcludeDays };

// The values the project dialog changes.
struct ProjectProperties {
    std::string description;
    Date start;
    Date end;
    int workingWeekdays[7] = {0, 0, 0, 0, 0, 0, 0};
};
ProjectProperties PropertiesOf(const Project& project);
void ApplyProperties(Project& project, const ProjectProperties& values);

// A day and its place in a list.
struct PlacedDay {
    std::size_t index = 0;
    Date day;
};

// What turns one day list into another: the days taken out (at their places
// in the first list) and the days put in (at their places in the second);
// the other days keep their order. Both ascending by place.
struct DayListEdit {
    std::vector<PlacedDay> removed;
    std::vector<PlacedDay> added;
};
DayListEdit CompareDayLists(const std::vector<Date>& from, const std::vector<Date>& to);
// `list` without the days at the places `out` names, then with `in` put in.
std::vector<Date> EditDayList(const std::vector<Date>& list, const std::vector<PlacedDay>& out,
                              const std::vector<PlacedDay>& in);

// Bytes a task takes, its text's included.
std::size_t TaskBytes(const Task& task);

class ChangeHistory {
public:
    static constexpr std::size_t DefaultCapacity = 100;
    // Keeps the last `capacity` steps (at least one).
    explicit ChangeHistory(std::size_t capacity = DefaultCapacity);

    // ---- The changes: each is applied to the project and becomes one step. ----
    // Appends the task (it keeps its id) and sorts.
    void AddTask(Project& project, const Task& task);
    // ReplaceTask: every field but the id, then sorts. False (nothing done)
    // for an index outside the list.
    bool EditTask(Project& project, int index, const Task& values);
    // Erases the task; the others keep their order. False for an index outside the list.
    bool DeleteTask(Project& project, int index);
    void SetProperties(Project& project, const ProjectProperties& values);
    // Replaces the extra working days (include true) or non-working days.
    void SetDays(Project& project, bool include, const std::vector<Date>& days);

    // ---- Going back and forth. ----
    bool CanUndo() const { return done > 0; }
    bool CanRedo() const { return done < steps.size(); }
    // The step Undo / Redo would take back / apply again; none when there is none.
    std::optional<ChangeKind> UndoKind() const;
    std::optional<ChangeKind> RedoKind() const;
    // The id of the task that step is about; none for the other steps.
    std::optional<int> UndoTaskId() const;
    std::optional<int> RedoTaskId() const;
    // False when there is nothing to undo / redo.
    bool Undo(Project& project);
    bool Redo(Project& project);

    // ---- The saved state. ----
    // The project as it is now is the one in its file.
    void MarkSaved(Project& project);
    // Forgets every step (a project made new or loaded). The state now is the
    // saved one when the project is unmodified; otherwise no state is.
    void Clear(const Project& project);

    std::size_t StepCount() const { return steps.size(); }
    // Bytes the steps take, their texts and lists included.
    std::size_t Bytes() const;

private:
    struct TaskStep {
        ChangeKind kind;
        std::optional<Task> before;  // none for an added task
        std::optional<Task> after;   // none for a deleted task
        std::size_t from = 0;        // the task's place before (edit, delete)
        std::size_t to = 0;          // its place after (add, edit)
        // The ids in their order before the change, when the list was not in
        // date order and the change sorted it; empty otherwise.
        std::vector<int> previousOrder;
    };
    struct PropertiesStep {
        ProjectProperties before, after;
    };
    struct DaysStep {
        bool include;
        DayListEdit edit;
    };
    using Step = std::variant<TaskStep, PropertiesStep, DaysStep>;

    // The kind of a step and the id of the task it is about; none without a
    // step (null) and, for the id, for the steps that are about no task.
    static std::optional<ChangeKind> KindOf(const Step* step);
    static std::optional<int> TaskIdOf(const Step* step);
    // The step Undo would take back / Redo would apply again; null when there is none.
    const Step* StepToUndo() const;
    const Step* StepToRedo() const;
    static std::size_t StepBytes(const Step& step);
    void Record(Project& project, Step step);
    void FollowSavedState(Project& project) const;

    std::size_t capacity;
    std::deque<Step> steps;
    std::size_t done = 0;              // steps applied: the ones that Undo can take back
    std::optional<std::size_t> saved;  // value of `done` at the saved state; none when unreachable
};

}  // namespace MyApp
