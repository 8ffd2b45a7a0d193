// The "&Modifica" menu: undo and redo of the changes made to the project,
// each item named after the change it acts on.
#include <optional>
#include <string>

#include "app/main/FormMain.h"
#include "toolkit/core/Menu.h"

namespace MyApp {

namespace {

const wchar_t* ChangeName(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::AddTask: return L"inserimento task";
    case ChangeKind::EditTask: return L"modifica task";
    case ChangeKind::DeleteTask: return L"cancellazione task";
    case ChangeKind::Properties: return L"modifica proprietà";
    case ChangeKind::IncludeDays: return L"modifica giorni da includere";
    case ChangeKind::ExcludeDays: return L"modifica giorni da escludere";
    }
    return L"";
}

// "&Annulla inserimento task"; the command alone when there is no change.
void ShowCommand(QVUtility::SubMenu* item, const wchar_t* command, std::optional<ChangeKind> kind) {
    if (item == nullptr) return;
    item->SetText(kind ? std::wstring(command) + L" " + ChangeName(*kind) : std::wstring(command));
    item->SetEnabled(kind.has_value());
}

}  // namespace

void FormMain::UndoChange() {
    const std::optional<int> task = history.UndoTaskId();
    if (history.Undo(project)) ShowStepTaken(task);
}

void FormMain::RedoChange() {
    const std::optional<int> task = history.RedoTaskId();
    if (history.Redo(project)) ShowStepTaken(task);
}

void FormMain::ShowStepTaken(std::optional<int> taskId) {
    ProjectChanged();
    const int row = taskId ? FindTaskById(project, *taskId) : -1;
    if (row < 0) return;
    SelectTask(*taskId);
    UpdateScrollBars();  // the chart's new size, before scrolling in it
    ScrollRowIntoView(static_cast<std::size_t>(row));
}

void FormMain::UpdateEditMenu() {
    ShowCommand(undoItem, L"&Annulla", history.UndoKind());
    ShowCommand(redoItem, L"&Ripeti", history.RedoKind());
}

}  // namespace MyApp
