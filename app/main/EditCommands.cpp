// The "&Modifica" menu: undo and redo of the changes made to the project
// (the items name the change they act on: CommandTable.cpp).
#include <optional>
#include <string>

#include "app/main/FormMain.h"

namespace MyApp {

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
    if (taskId) ShowTask(*taskId);
}

}  // namespace MyApp
