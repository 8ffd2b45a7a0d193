// The main window's side of the chart: the project shown anew after each
// change, and choosing a task (a click on its bar or its row, the keys, a
// find, an undo). The selection is a task's id, kept by the chart's view, so
// it stays with its task whatever bar windows the view binds to which rows;
// the table shows it too, and the commands on the selected task follow it.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/StartPage.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "toolkit/core/Menu.h"
#include "app/main/TaskCellEditor.h"
#include "app/main/TaskTable.h"

namespace MyApp {

void FormMain::ConnectChart() {
    chart->today = [] { return chartToday(); };
    chart->onFirstRow = [this](std::size_t row) {
        if (taskTable == nullptr || taskTable->window == nullptr || taskTable->TopRow() == row) return;
        taskTable->Editor().Leave();  // the rows move under the cell being edited
        taskTable->SetTopRow(row);
    };
    // A scroll bar of the chart's that came or went moves the bottom of its
    // rows: the table's follows.
    chart->onViewChanged = [this] {
        AlignTable();
        UpdateCommands();
    };
    chart->onChoose = [this](int taskId) { SelectTask(taskId); };
    chart->onOpen = [this](int) { EditTask(); };
    chart->onTaskMenu = [this](POINT screen) { ShowTaskMenu(screen); };
    chart->onSummary = [this](std::size_t row) { return BarSummaryText(row); };
    chart->onFocus = [this] { chartHadFocus = true; };
    ConnectEdits();
}

void FormMain::MarkModified() {
    project.modified = true;
    ProjectChanged();
}

void FormMain::ProjectChanged(bool fromStart) {
    document.HandChangeToRecovery();
    UpdateCommands();
    RefreshChart(fromStart);
}

void FormMain::RefreshChart(bool fromStart) {
    if (chart == nullptr) return;
    // A project is shown: the start page gives the panes their place back.
    if (startPage != nullptr) startPage->Leave();
    FillTable();
    chart->Rebuild(fromStart);
    Layout();
    UpdateCommands();
}

void FormMain::ShowNewProject() {
    if (chart == nullptr) return;
    chart->Select(0);
    RefreshChart();
    chart->ZoomForNewProject();
}

int FormMain::SelectedTaskId() const { return chart != nullptr ? chart->SelectedTaskId() : 0; }

int FormMain::SelectedTaskIndex() const { return chart != nullptr ? chart->SelectedRow() : -1; }

void FormMain::SelectTask(int taskId) {
    if (chart == nullptr) return;
    chart->Select(taskId);
    if (taskTable != nullptr) taskTable->SelectRow(SelectedTaskIndex(), false);
    UpdateCommands();
    chart->AnnounceSelection();
}

void FormMain::ShowTaskMenu(POINT screen) { QVUtility::ShowPopup(taskMenu, chart, screen.x, screen.y); }

void FormMain::MoveSelection(int step) {
    if (project.tasks.empty() || chart == nullptr || !chart->Built()) return;
    const int current = SelectedTaskIndex();
    const std::int64_t last = static_cast<std::int64_t>(project.tasks.size()) - 1;
    const std::int64_t row = current < 0 ? 0 : std::clamp<std::int64_t>(current + step, 0, last);
    ShowTask(project.tasks[static_cast<std::size_t>(row)].id, false);
}

void FormMain::MoveSelectionTo(std::ptrdiff_t row) {
    if (project.tasks.empty() || chart == nullptr || !chart->Built()) return;
    const std::ptrdiff_t last = static_cast<std::ptrdiff_t>(project.tasks.size()) - 1;
    ShowTask(project.tasks[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(row, 0, last))].id, false);
}

void FormMain::ShowTask(int taskId, bool chartChanged) {
    const int row = FindTaskById(project, taskId);
    if (row < 0 || chart == nullptr) return;
    chart->holdAnnouncement = true;  // told once its bar is in view
    SelectTask(taskId);
    if (chartChanged) chart->FitToView();  // the chart's size as it is now, before scrolling in it
    chart->RevealRow(static_cast<std::size_t>(row));
    chart->holdAnnouncement = false;
    chart->AnnounceSelection();
}

void FormMain::FollowTableScroll(std::size_t topRow) {
    if (chart != nullptr) chart->ShowRowFirst(topRow);
}

}  // namespace MyApp
