// Task, project and calendar commands of the main window: new project,
// project properties, new task, change and delete a task, the two day lists,
// the cost report and the about box.
//
// Each command makes its dialog, fills it from the project and shows it, and
// returns: the main window stays in the one message loop, disabled while the
// dialog is open. When the dialog's window goes away OnDialogClosed reads
// the dialog's result and, for "OK", copies its fields into the project.
// A dialog object stays until the same kind of command opens the next one.
#include <algorithm>
#include <cstddef>

#include "app/main/AppInfo.h"
#include "app/dialogs/DialogFrame.h"
#include "app/dialogs/FormAddTask.h"
#include "app/dialogs/FormCosto.h"
#include "app/dialogs/FormDays.h"
#include "app/main/FormMain.h"
#include "app/dialogs/FormNuovo.h"
#include "app/res/resource.h"
#include "model/CostReport.h"
#include "model/NumberText.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/widgets/FormAbout.h"

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

// The destroy handler of the project, task and days dialogs.
void DialogWindowGone(GUIElement* element) {
    auto* dialog = dynamic_cast<DialogFrame*>(element);
    FormMain* mainForm = dialog != nullptr ? dynamic_cast<FormMain*>(dialog->owner) : nullptr;
    if (mainForm != nullptr) mainForm->OnDialogClosed(element);
}

// Replaces the dialog of one kind by a new one over `owner`.
template <class Dialog>
Dialog* Reopen(Dialog*& slot, FormMain* owner, const std::wstring& title) {
    delete slot;
    slot = nullptr;
    slot = new Dialog(owner, title);
    return slot;
}

// The last steps of opening: the owner hears of the window's end (unless
// the dialog only shows something), the dialog shows with its first field
// focused.
void Present(DialogFrame* dialog, bool notifyOwner) {
    if (notifyOwner) dialog->onDestroy = &DialogWindowGone;
    if (!dialog->created) dialog->Create();
    if (dialog->window != nullptr) ShowWindow(dialog->window, SW_SHOWNA);
    dialog->FocusFirstField();
}

}  // namespace

// ---- Opening the dialogs -----------------------------------------------------------

void FormMain::NewProject() {
    FormNuovo* dialog = Reopen(projectDialog, this, L"Nuovo");
    Present(dialog, true);
}

void FormMain::EditProject() {
    FormNuovo* dialog = Reopen(projectDialog, this, L"Modifica");
    const Date today = LocalNow();
    dialog->earliestTaskStart = today;
    dialog->latestTaskEnd = today;
    dialog->hasTasks = TaskSpan(project, dialog->earliestTaskStart, dialog->latestTaskEnd);
    dialog->LoadProject(project.description, project.start, project.end, project.workingWeekdays);
    Present(dialog, true);
}

void FormMain::NewTask() {
    FormAddTask* dialog = Reopen(taskDialog, this, L"Nuovo Task");
    dialog->SetDateRange(project.start, project.end);
    Present(dialog, true);
}

void FormMain::EditTask() {
    const int index = SelectedTaskIndex();
    if (index < 0) return;
    const Task selected = project.tasks[static_cast<size_t>(index)];
    FormAddTask* dialog = Reopen(taskDialog, this, L"Modifica Task");
    dialog->SetDateRange(project.start, project.end);
    dialog->LoadTask(selected);
    Present(dialog, true);
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
    selectedTaskId = project.tasks.empty() ? 0 : project.tasks[next].id;
    MarkModified();
}

void FormMain::EditIncludedDays() {
    FormDays* dialog = Reopen(daysDialog, this, L"Elenco Giorni da includere come lavorativi");
    dialog->LoadDays(IncludeTag, project.start, project.end, project.includeDays);
    Present(dialog, true);
}

void FormMain::EditExcludedDays() {
    FormDays* dialog = Reopen(daysDialog, this, L"Elenco Giorni da escludere come lavorativi");
    dialog->LoadDays(ExcludeTag, project.start, project.end, project.excludeDays);
    Present(dialog, true);
}

void FormMain::ShowCostReport() {
    FormCosto* dialog = Reopen(costDialog, this, L"Conto Economico");
    std::string report;
    double total = 0.0;
    BuildCostReport(project, report, total);
    dialog->SetReport(report, total);
    Present(dialog, false);
}

void FormMain::ShowAbout() {
    delete aboutDialog;
    aboutDialog = nullptr;
    auto* about = new QVUtility::FormAbout(this);
    aboutDialog = about;
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

// ---- Applying a closed dialog ------------------------------------------------------

void FormMain::OnDialogClosed(GUIElement* element) {
    if (element == nullptr) return;
    const int id = element->controlId;

    if (daysDialog != nullptr && daysDialog->controlId == id) {
        if (daysDialog->result != ResultAccepted) return;
        history.SetDays(project, daysDialog->listTag != ExcludeTag, daysDialog->days);
        MarkModified();
        return;
    }

    if (taskDialog != nullptr && taskDialog->controlId == id) {
        const FormAddTask& dialog = *taskDialog;
        if (dialog.result != ResultAccepted) return;
        if (dialog.editMode) {
            const int index = FindTaskById(project, dialog.taskId);
            if (index < 0) return;
            // The values travel in a copy of the task itself, so that no new
            // task number is used up for them.
            Task values = project.tasks[static_cast<size_t>(index)];
            values.colour = static_cast<COLORREF>(dialog.colour);
            values.dailyCost = dialog.dailyCost;
            values.start = dialog.startDate;
            values.end = dialog.endDate;
            values.description = dialog.description;
            values.resources = dialog.resources;
            history.EditTask(project, index, values);
        } else {
            Task task(dialog.startDate);
            task.colour = static_cast<COLORREF>(dialog.colour);
            task.dailyCost = dialog.dailyCost;
            task.start = dialog.startDate;
            task.end = dialog.endDate;
            task.description = dialog.description;
            task.resources = dialog.resources;
            history.AddTask(project, task);
        }
        MarkModified();
        return;
    }

    if (projectDialog != nullptr && projectDialog->controlId == id) {
        const FormNuovo& dialog = *projectDialog;
        if (dialog.result != ResultAccepted) return;
        ProjectProperties values;
        values.description = dialog.description;
        values.start = dialog.startDate;
        values.end = dialog.endDate;
        for (int i = 0; i < 7; ++i) values.workingWeekdays[i] = dialog.workingWeekdays[i];
        if (dialog.editMode) {
            history.SetProperties(project, values);
        } else {
            ApplyProperties(project, values);
            ClearProject(project);
            SetFilePath(std::string());
            selectedTaskId = 0;
            // A new project: unsaved, with nothing before it to go back to.
            project.modified = true;
            history.Clear(project);
        }
        MarkModified();
        // The project commands and the export, for a new project.
        EnableProjectCommands();
    }
}

void FormMain::ReleaseDialogs() {
    delete aboutDialog;
    aboutDialog = nullptr;
    delete projectDialog;
    projectDialog = nullptr;
    delete taskDialog;
    taskDialog = nullptr;
    delete daysDialog;
    daysDialog = nullptr;
    delete costDialog;
    costDialog = nullptr;
}

}  // namespace MyApp
