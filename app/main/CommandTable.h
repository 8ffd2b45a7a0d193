// The main window's commands, each declared once (CommandTable.cpp): its
// identifier, its menu and text, its key, its toolbar button, what it does
// and when it can be used. The menus, the toolbar and the keys are built
// from the table; a menu item, a button, a key or the bars' popup menu all
// run a command through FormMain::Execute, and FormMain::UpdateCommands
// enables every item and button from the rules in one pass.
#pragma once

#include <string>

#include "toolkit/core/Shortcut.h"

namespace QVUtility {
class SubMenu;
class ToolBarItem;
}  // namespace QVUtility

namespace MyApp {

class FormMain;
struct CommandItems;

enum class Command {
    None,  // a divider between menu items
    New,
    Open,
    Save,
    SaveAs,
    Export,
    Print,
    Preview,
    Recent1,
    Recent2,
    Recent3,
    Recent4,
    Exit,
    Undo,
    Redo,
    Find,
    FindNext,
    ShowTable,
    ZoomIn,
    ZoomOut,
    ZoomFit,
    GoToToday,
    Guide,
    Home,
    Info,
    PopupEditTask,  // the bars' popup menu
    PopupDeleteTask,
    Properties,
    AddTask,
    IncludeDays,
    ExcludeDays,
    Cost,
    EditTask,  // the selected task, from the "&Progetto" menu
    DeleteTask,
    SelectPrevious,  // keys of the window without a menu item
    SelectNext,
    SelectFirst,
    SelectLast,
    SelectPageUp,
    SelectPageDown,
    ZoomInPad,  // the same commands by the keypad's keys
    ZoomOutPad,
    NextPane,   // F6: the keyboard between the task table and the chart
    Import,  // "&File": a Microsoft Project XML file as a new project
    CashFlow,  // "&Progetto": the costs over time
    MoveTaskEarlier,  // Alt and the arrows: the selected task a working day earlier or later
    MoveTaskLater,
    MoveEndEarlier,  // Alt+Maiusc and the arrows: its end
    MoveEndLater,
    EditCell,  // F2: the selected task's description edited in its row
};

// Where a command's item stands.
enum class MenuPlace {
    None,         // a key of the window only
    File,         // "&File"
    RecentFiles,  // "&File", before "&Esci", one item per recent file, made as the list changes
    Edit,         // "&Modifica"
    View,         // "&Visualizza"
    Project,      // "&Progetto"
    Help,         // "&?"
    TaskPopup,    // the bars' popup menu
};

// The identifier the control counter gives at the item's making, as the
// first menu items have always had. The others take a reserved identifier
// (app/res/resource.h).
constexpr int CounterId = 0;

// A button of the toolbar.
struct ToolButton {
    const wchar_t* tip = nullptr;  // the tooltip; none: no button
    int standardImage = 0;         // image of the common controls' strip, when not in the program's own
    int stripImage = -1;           // image of the program's strip (res/toolbar.bmp); -1: a standard image
    bool separatorBefore = false;
    int id = 0;  // a reserved identifier (app/res/resource.h); 0: the control counter's
};

struct CommandSpec {
    Command command;
    MenuPlace menu;
    int id;  // CounterId or a reserved identifier
    const wchar_t* text;
    QVUtility::Shortcut keys;
    ToolButton button;
    // Where the window keeps the item and the button (null: it does not name them).
    QVUtility::SubMenu* CommandItems::*item;
    QVUtility::ToolBarItem* CommandItems::*buttonField;
    void (*run)(FormMain& form);
    bool (*enabled)(const FormMain& form);       // null: always
    std::wstring (*label)(const FormMain& form);  // null: `text` always
    bool (*checked)(const FormMain& form) = nullptr;  // a check mark beside the item; null: none
};

}  // namespace MyApp
