// The "&Modifica" menu: undo and redo of the changes made to the project,
// each item named after the change it acts on.
#include <optional>
#include <string>

#include "app/FormMain.h"
#include "toolkit/Menu.h"

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
    if (history.Undo(project)) ProjectChanged();
}

void FormMain::RedoChange() {
    if (history.Redo(project)) ProjectChanged();
}

void FormMain::UpdateEditMenu() {
    ShowCommand(undoItem, L"&Annulla", history.UndoKind());
    ShowCommand(redoItem, L"&Ripeti", history.RedoKind());
}

}  // namespace MyApp
