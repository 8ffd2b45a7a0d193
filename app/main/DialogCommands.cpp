// Task, project and calendar commands of the main window: new project,
// project properties, new task, change and delete a task, the two day lists,
// the cost report and the about box.
//
// Each command makes its dialog, gives it what it edits and the callback
// that applies what the user confirms, shows it, and returns: the main window
// stays in the one message loop, disabled while the dialog is open. Once the
// dialog's window has gone after "OK", the callback changes the project
// through the history. A dialog object stays until the same kind of command
// opens the next one.
#include <algorithm>
#include <cstddef>
#include <utility>

#include "app/res/AppInfo.h"
#include "app/dialogs/DialogFrame.h"
#include "app/dialogs/FormAddTask.h"
#include "app/dialogs/FormCosto.h"
#include "app/dialogs/FormDays.h"
#include "app/dialogs/FormFlussoCassa.h"
#include "app/main/FormMain.h"
#include "app/dialogs/FormNuovo.h"
#include "app/dialogs/FormTrova.h"
#include "app/res/resource.h"
#include "model/CostReport.h"
#include "model/NumberText.h"
#include "toolkit/platform/MessageBoxes.h"
#include "app/dialogs/FormAbout.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

const char* const IncludeTag = "#DAY INCLUDE";
const char* const ExcludeTag = "#DAY EXCLUDE";

// Three lines of text for the about box.
const char* const AboutBody =
    "Diagrammi di Gantt e costi di progetto.\r\n"
    "Festivi nazionali italiani, Pasqua e Pasquetta comprese.\r\n"
    "Copyright (C) QV Software";

// The last steps of opening: the dialog shows with its first field focused.
void Present(DialogFrame* dialog) {
    if (!dialog->created) dialog->Create();
    if (dialog->window != nullptr) ShowWindow(dialog->window, SW_SHOWNA);
    dialog->FocusFirstField();
}

}  // namespace

// ---- Opening the dialogs -----------------------------------------------------------

void FormMain::NewProject() {
    FormNuovo* dialog = projectDialog.Open(this, L"Nuovo");
    dialog->onConfirmed = [this](const ProjectProperties& values) { ApplyProjectDialog(values, true); };
    Present(dialog);
}

void FormMain::EditProject() {
    FormNuovo* dialog = projectDialog.Open(this, L"Modifica");
    const Date today = LocalNow();
    dialog->earliestTaskStart = today;
    dialog->latestTaskEnd = today;
    dialog->hasTasks = TaskSpan(project, dialog->earliestTaskStart, dialog->latestTaskEnd);
    dialog->LoadProject(project.description, project.start, project.end, project.workingWeekdays);
    dialog->onConfirmed = [this](const ProjectProperties& values) { ApplyProjectDialog(values, false); };
    Present(dialog);
}

void FormMain::NewTask() {
    FormAddTask* dialog = taskDialog.Open(this, L"Nuovo Task");
    dialog->SetDateRange(project.start, project.end);
    dialog->onConfirmed = [this](const Task& task) {
        history.AddTask(project, task);
        MarkModified();
        // The new task, wherever the order put it, selected and in view.
        ShowTask(task.id);
    };
    Present(dialog);
}

void FormMain::EditTask() {
    const int index = SelectedTaskIndex();
    if (index < 0) return;
    FormAddTask* dialog = taskDialog.Open(this, L"Modifica Task");
    dialog->SetDateRange(project.start, project.end);
    dialog->LoadTask(project.tasks[static_cast<size_t>(index)]);
    dialog->onConfirmed = [this](const Task& task) { ApplyEditedTask(task); };
    Present(dialog);
}

void FormMain::ApplyEditedTask(const Task& task) {
    const int current = FindTaskById(project, task.id);
    if (current < 0) return;
    history.EditTask(project, current, task);
    MarkModified();
    // The task keeps its place on screen, however the order changed.
    ShowTask(task.id);
}

void FormMain::DeleteTask() {
    const int index = SelectedTaskIndex();
    if (index < 0) return;
    const std::wstring question = L"Si desidera realmente cancellare il task " +
                                  UpperCaseText(project.tasks[static_cast<size_t>(index)].description) + L"?";
    if (!QVUtility::AskYesNoOwned(this, question, std::wstring(L"Cancellazione"))) return;
    // The question may have taken a while: find the task again by its id.
    const int still = SelectedTaskIndex();
    if (still < 0) return;
    history.DeleteTask(project, still);
    // The task that takes its place (or the last one) is selected next, so
    // that the keyboard can go on from there.
    const std::size_t next = std::min<std::size_t>(static_cast<std::size_t>(still), project.tasks.size() - 1);
    const int nextId = project.tasks.empty() ? 0 : project.tasks[next].id;
    chart->Select(nextId);
    MarkModified();
    if (nextId != 0) ShowTask(nextId);
}

void FormMain::EditIncludedDays() { EditDays(true); }

void FormMain::EditExcludedDays() { EditDays(false); }

void FormMain::EditDays(bool included) {
    FormDays* dialog = daysDialog.Open(this, included ? L"Elenco Giorni da includere come lavorativi"
                                                      : L"Elenco Giorni da escludere come lavorativi");
    dialog->LoadDays(included ? IncludeTag : ExcludeTag, project.start, project.end,
                     included ? project.includeDays : project.excludeDays);
    dialog->onConfirmed = [this, included](const std::vector<Date>& days) {
        history.SetDays(project, included, days);
        MarkModified();
    };
    Present(dialog);
}

void FormMain::ShowCostReport() {
    FormCosto* dialog = costDialog.Open(this, L"Conto Economico");
    std::string report;
    Money total;
    BuildCostReport(project, report, total);
    dialog->SetReport(std::move(report), total);
    Present(dialog);
}

void FormMain::ShowCashFlow() { Present(cashFlowDialog.Open(this, L"Flusso di cassa mensile", project)); }

void FormMain::ShowAbout() {
    FormAbout* about = aboutDialog.Open(this);
    about->pictureId = IDB_ABOUT;
    about->largePictureId = IDB_ABOUT_LARGE;
    about->pictureWidth = 164;
    about->pictureHeight = 50;
    about->titleText = std::string(ProductNameNarrow) + " " + ProductVersion;
    about->secondText = NoticeLineNarrow;
    about->bodyText = AboutBody;
    about->webAddress = HomePageAddress;
    Focus();
    about->Create();
    if (about->window != nullptr) ShowWindow(about->window, SW_SHOWNA);
}

// ---- Applying the project dialog ---------------------------------------------------

void FormMain::ApplyProjectDialog(const ProjectProperties& values, bool newProject) {
    if (newProject) {
        ApplyProperties(project, values);
        ClearProject(project);
        ShowUnsavedProject();
        return;
    }
    history.SetProperties(project, values);
    MarkModified();
    EnableProjectCommands();
}

void FormMain::ReleaseDialogs() {
    aboutDialog.Reset();
    findDialog.Reset();
    projectDialog.Reset();
    taskDialog.Reset();
    daysDialog.Reset();
    costDialog.Reset();
    cashFlowDialog.Reset();
}

}  // namespace MyApp
