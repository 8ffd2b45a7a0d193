// Task, project and calendar commands of the main window.
//
// Not written yet: every command below does nothing for now, and no dialog
// object is ever made, so there is nothing to release.
#include "app/FormMain.h"

namespace MyApp {

void FormMain::NewProject() {}
void FormMain::EditProject() {}
void FormMain::NewTask() {}
void FormMain::EditTask() {}
void FormMain::DeleteTask() {}
void FormMain::EditIncludedDays() {}
void FormMain::EditExcludedDays() {}
void FormMain::ShowCostReport() {}
void FormMain::ShowAbout() {}
void FormMain::OnDialogClosed(QVUtility::GUIElement*) {}

void FormMain::ReleaseDialogs() {
    aboutDialog = nullptr;
    projectDialog = nullptr;
    taskDialog = nullptr;
    daysDialog = nullptr;
    costDialog = nullptr;
}

}  // namespace MyApp
