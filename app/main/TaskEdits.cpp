// The changes made where the project is shown: a bar dragged on the chart,
// the keys that move the selected task, a cell of the task table typed
// into. Each is checked as "Modifica Task" checks a task and applied as one
// step of the history; the view stays where it was, and the task stays
// selected and in view wherever the order by start puts it.
#include <oleacc.h>

#include "app/dialogs/TaskChecks.h"
#include "app/main/FormMain.h"
#include "app/main/TaskCellEditor.h"
#include "app/main/TaskTable.h"
#include "toolkit/core/Accessible.h"
#include "toolkit/platform/MessageBoxes.h"

namespace MyApp {

namespace {

bool SameValues(const Task& a, const Task& b) {
    return SameFields(a.start, b.start) && SameFields(a.end, b.end) && a.description == b.description &&
           a.resources == b.resources && a.dailyCost == b.dailyCost && a.colour == b.colour;
}

}  // namespace

void FormMain::ConnectEdits() {
    chart->onDragShown = [this](std::size_t row, const Task* shown) {
        if (taskTable != nullptr) taskTable->ShowMoving(row, shown);
    };
    chart->onDragged = [this](const Task& moved) {
        const std::wstring problem = ChangeTask(moved);
        if (!problem.empty()) QVUtility::ShowError(this, problem, std::wstring(L"Errore"));
    };
    if (taskTable != nullptr) taskTable->onEdited = [this](const Task& values) { return ChangeTask(values); };
}

std::wstring FormMain::ChangeTask(const Task& values) {
    const int index = FindTaskById(project, values.id);
    if (index < 0) return std::wstring();
    TaskField culprit = TaskField::None;
    const std::wstring problem = TaskDaysProblem(values.start, values.end, project.start, project.end, culprit);
    if (!problem.empty()) return problem;
    if (SameValues(values, project.tasks[static_cast<std::size_t>(index)])) return std::wstring();
    history.EditTask(project, index, values);
    project.modified = true;
    ProjectChanged(false);
    ShowTask(values.id);
    return std::wstring();
}

void FormMain::StepSelectedTask(MovePart part, int step) {
    const int index = SelectedTaskIndex();
    if (index < 0 || chart == nullptr) return;
    const Task& task = project.tasks[static_cast<std::size_t>(index)];
    const TaskDays days = TaskMover(project).Step(task, part, step);
    // At the span's edge (or the task's own start) there is nowhere to go.
    if (SameFields(days.start, task.start) && SameFields(days.end, task.end)) return;
    const std::wstring problem = ChangeTask(days.Given(task));
    if (!problem.empty()) {
        QVUtility::ShowError(this, problem, std::wstring(L"Errore"));
        return;
    }
    // A screen reader hears the new days: the selected bar tells them.
    if (ChartBar* bar = chart->SelectedBar())
        QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, bar->window);
}

void FormMain::EditDescriptionInPlace() {
    const int index = SelectedTaskIndex();
    if (index < 0) return;
    if (!tableShown || taskTable == nullptr || taskTable->window == nullptr || !IsWindowVisible(taskTable->window)) {
        EditTask();
        return;
    }
    taskTable->Editor().Open(static_cast<std::size_t>(index), 0);
}

}  // namespace MyApp
