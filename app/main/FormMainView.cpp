// "Trova..." and F3: the next task whose description holds a text, selected
// and in view.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/dialogs/FormTrova.h"
#include "app/main/FormMain.h"
#include "model/TaskSearch.h"
#include "toolkit/platform/MessageBoxes.h"

namespace MyApp {

std::function<Date()> chartToday = [] { return DateOnly(LocalNow()); };


// ---- Find ----------------------------------------------------------------------------

void FormMain::Find() {
    FormTrova* dialog = findDialog.Open(this, findText);
    dialog->onConfirmed = [this](const std::string& text) {
        findText = text;
        UpdateCommands();
        FindNext();
    };
    if (dialog->window != nullptr) ShowWindow(dialog->window, SW_SHOWNA);
    dialog->FocusFirstField();
}

void FormMain::FindNext() {
    if (findText.empty()) return;
    const int selected = SelectedTaskIndex();
    const std::optional<std::size_t> after =
        selected >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(selected)) : std::nullopt;
    const std::optional<std::size_t> found = TaskSearch(findText).Next(project, after);
    if (!found) {
        QVUtility::ShowMessage(this, std::wstring(L"Nessuna attività trovata."), std::wstring(L"Trova"));
        return;
    }
    ShowTask(project.tasks[*found].id, false);
}

}  // namespace MyApp
