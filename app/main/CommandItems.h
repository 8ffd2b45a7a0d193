// The menu items and toolbar buttons the main window's command table makes
// and names, each kept where the window and its tests can reach it (the
// table's rows say which field holds which item). The window owns them.
#pragma once

namespace QVUtility {
class SubMenu;
class ToolBar;
class ToolBarItem;
}  // namespace QVUtility

namespace MyApp {

struct CommandItems {
    QVUtility::SubMenu* newItem = nullptr;
    QVUtility::SubMenu* openItem = nullptr;
    QVUtility::SubMenu* saveItem = nullptr;
    QVUtility::SubMenu* saveAsItem = nullptr;
    QVUtility::SubMenu* exportItem = nullptr;
    QVUtility::SubMenu* importItem = nullptr;  // "Importa da XML di Microsoft Project..."
    QVUtility::SubMenu* printItem = nullptr;    // "&Stampa..."
    QVUtility::SubMenu* previewItem = nullptr;  // "Anteprima di stampa"
    QVUtility::SubMenu* dividerItem = nullptr;
    QVUtility::SubMenu* exitItem = nullptr;
    QVUtility::SubMenu* undoItem = nullptr;  // "&Annulla" and the change it takes back
    QVUtility::SubMenu* redoItem = nullptr;  // "&Ripeti" and the change it makes again
    QVUtility::SubMenu* guideItem = nullptr;
    QVUtility::SubMenu* homeItem = nullptr;
    QVUtility::SubMenu* infoItem = nullptr;
    QVUtility::SubMenu* editTaskItem = nullptr;  // the bars' popup menu
    QVUtility::SubMenu* deleteTaskItem = nullptr;
    QVUtility::SubMenu* propertiesItem = nullptr;  // "&Progetto"
    QVUtility::SubMenu* addTaskItem = nullptr;
    QVUtility::SubMenu* includeDaysItem = nullptr;
    QVUtility::SubMenu* excludeDaysItem = nullptr;
    QVUtility::SubMenu* costItem = nullptr;
    QVUtility::SubMenu* cashFlowItem = nullptr;  // "&Flusso di cassa mensile..."
    QVUtility::SubMenu* editSelectedItem = nullptr;    // "&Modifica Task": the selected task
    QVUtility::SubMenu* deleteSelectedItem = nullptr;  // "&Cancella Task"

    QVUtility::ToolBar* toolBar = nullptr;
    QVUtility::ToolBarItem* newButton = nullptr;
    QVUtility::ToolBarItem* openButton = nullptr;
    QVUtility::ToolBarItem* firstSeparator = nullptr;
    QVUtility::ToolBarItem* saveButton = nullptr;
    QVUtility::ToolBarItem* secondSeparator = nullptr;
    QVUtility::ToolBarItem* propertiesButton = nullptr;
    QVUtility::ToolBarItem* addTaskButton = nullptr;
    QVUtility::ToolBarItem* includeDaysButton = nullptr;
    QVUtility::ToolBarItem* excludeDaysButton = nullptr;
    QVUtility::ToolBarItem* costButton = nullptr;
    QVUtility::ToolBarItem* cashFlowButton = nullptr;
};

}  // namespace MyApp
