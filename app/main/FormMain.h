// FormMain: the program's main window and the owner of the one project.
//
// It builds the menu bar, the toolbar, the scrolling chart (the title cell,
// the TimeLine ruler and the task bars in view) and the status bar;
// it routes the menu, toolbar and popup-menu commands to the file commands
// (FileCommands.cpp) and to the task, project and calendar commands
// (FormMainCommands.cpp); it turns the project into the chart whenever the
// project changes, and asks before the program ends.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/chart/ChartBar.h"
#include "app/chart/ChartLayout.h"
#include "model/ChangeHistory.h"
#include "model/Project.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"

namespace QVUtility {
class CellControl;
class FontDescription;
class FormAbout;
class Menu;
class MenuBar;
class PanelChildren;
class StatusBar;
class SubMenu;
class TimeLine;
class Timer;
class ToolBar;
class ToolBarItem;
}  // namespace QVUtility

namespace MyApp {

class FormAddTask;
class FormCosto;
class FormDays;
class FormNuovo;
class PrintCommands;

// The exported picture's file formats.
enum class PictureFormat { Bitmap, Png };

class FormMain : public QVUtility::Form {
public:
    // Builds and shows the window (the title is the whole caption text).
    FormMain(HINSTANCE instance, const std::wstring& title);
    ~FormMain() override;

    // ---- Fields -------------------------------------------------------------
    // The selected task (chosen with the mouse or the arrows): a task, not a
    // bar, for the bars follow the view and show other tasks as it moves;
    // 0 = none.
    int selectedTaskId = 0;
    Project project;
    // Every change to the project goes through it, for undo and redo; it
    // keeps `project.modified` in step with the state last saved.
    ChangeHistory history;
    // What the window makes for itself, owned here and destroyed after the
    // window: its fonts, and its elements in one list, destroyed in the
    // reverse order of their making (the plain pointers below are for
    // access).
    std::vector<std::unique_ptr<QVUtility::FontDescription>> ownedFonts;
    QVUtility::OwnedElements ownedElements;
    // The bar windows: as many as the rows in view need, each bound to the
    // task of one row (row r shows in bars[r % bars.size()]); kept and
    // reused across refreshes and scrolling.
    std::vector<ChartBar*> bars;
    ChartLayout chartLayout;          // the chart's geometry after the last refresh
    bool chartBuilt = false;          // the title cell shows a project
    bool updatingScrollBars = false;  // UpdateScrollBars is running

    QVUtility::FormAbout* aboutDialog = nullptr;
    FormNuovo* projectDialog = nullptr;
    FormAddTask* taskDialog = nullptr;
    FormDays* daysDialog = nullptr;
    FormCosto* costDialog = nullptr;
    std::unique_ptr<PrintCommands> printing;  // the print and preview commands (PrintCommands.cpp)

    QVUtility::MenuBar* menuBar = nullptr;
    QVUtility::Menu* fileMenu = nullptr;
    QVUtility::SubMenu* newItem = nullptr;
    QVUtility::SubMenu* openItem = nullptr;
    QVUtility::SubMenu* saveItem = nullptr;
    QVUtility::SubMenu* saveAsItem = nullptr;
    QVUtility::SubMenu* exportItem = nullptr;
    QVUtility::SubMenu* printItem = nullptr;    // "&Stampa..."
    QVUtility::SubMenu* previewItem = nullptr;  // "Anteprima di stampa"
    QVUtility::SubMenu* dividerItem = nullptr;
    // The recent files in "&File" ("&1" to "&4") and the divider after them,
    // before "&Esci"; made anew whenever the list changes.
    std::vector<std::unique_ptr<QVUtility::SubMenu>> recentItems;
    std::vector<std::string> recentFiles;  // the paths they stand for, newest first
    QVUtility::SubMenu* exitItem = nullptr;
    QVUtility::Menu* editMenu = nullptr;     // "&Modifica"
    QVUtility::SubMenu* undoItem = nullptr;  // "&Annulla" and the change it takes back
    QVUtility::SubMenu* redoItem = nullptr;  // "&Ripeti" and the change it makes again
    QVUtility::Menu* taskMenu = nullptr;
    QVUtility::SubMenu* editTaskItem = nullptr;
    QVUtility::SubMenu* deleteTaskItem = nullptr;
    // "&Progetto": the toolbar's project commands, each enabled with its button.
    QVUtility::Menu* projectMenu = nullptr;
    QVUtility::SubMenu* propertiesItem = nullptr;
    QVUtility::SubMenu* addTaskItem = nullptr;
    QVUtility::SubMenu* includeDaysItem = nullptr;
    QVUtility::SubMenu* excludeDaysItem = nullptr;
    QVUtility::SubMenu* costItem = nullptr;
    QVUtility::SubMenu* projectDivider = nullptr;
    QVUtility::SubMenu* editSelectedItem = nullptr;    // "&Modifica Task": the selected task
    QVUtility::SubMenu* deleteSelectedItem = nullptr;  // "&Cancella Task"
    QVUtility::Menu* helpMenu = nullptr;
    QVUtility::SubMenu* guideItem = nullptr;
    QVUtility::SubMenu* homeItem = nullptr;
    QVUtility::SubMenu* infoItem = nullptr;

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

    QVUtility::FontDescription* elementFont = nullptr;  // the window's own font
    QVUtility::FontDescription* captionFont = nullptr;  // the title cell
    QVUtility::FontDescription* barFont = nullptr;      // the bars' texts, on screen and in the picture
    QVUtility::PanelChildren* chartPanel = nullptr;
    int chartWidth = 0;     // ruler width after the last refresh
    int contentHeight = 0;  // chart height after the last refresh
    QVUtility::CellControl* titleCell = nullptr;
    QVUtility::TimeLine* ruler = nullptr;
    QVUtility::Timer* layoutTimer = nullptr;
    QVUtility::StatusBar* statusBar = nullptr;
    RECT normalPlace{};  // the window's place when last neither maximised nor minimised

    // ---- Operations of the window -------------------------------------------
    virtual void BuildControls();
    virtual bool ConfirmClose();
    // The user's session is about to end (log off, shut down): true lets it
    // end. Unsaved changes get the save question first.
    virtual bool AllowSessionEnd();
    // The session ends: the window goes without asking anything more.
    virtual void EndWithSession();
    // A dialog's window went away: applies an accepted dialog.
    virtual void OnDialogClosed(QVUtility::GUIElement* element);
    virtual void Layout();
    virtual void UpdateScrollBars();
    // A new screen density: the fonts, the toolbar, the chart panel and the
    // chart follow it.
    void OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) override;
    virtual bool FilterFormChar(int character);
    virtual bool FilterChildChar(QVUtility::GUIElement* textBox, int character);
    virtual void OnFormKeyDown(int key);
    virtual void OnFormKeyUp(int key);
    virtual void OnMenuCommand(QVUtility::GUIElement* item);
    virtual void CloseOnEscape(QVUtility::GUIElement* element, int key);
    virtual void OnFormLeftButtonUp(int x, int y);
    virtual void OnFormLeftButtonDown(int x, int y);
    virtual void OnFormRightButtonUp(int x, int y);
    virtual void OnFormRightButtonDown(int x, int y);
    virtual void OnBarRightClick(QVUtility::GUIElement* element, int x, int y);
    virtual void OnFormIdle();
    virtual void SelectAllText(QVUtility::GUIElement* textBox);
    virtual void OnToolbarCommand(QVUtility::GUIElement* item);
    virtual void OnFormShown();
    virtual void OnFormHidden();
    virtual void OnFormActivate();
    virtual void OnFormDeactivate();

    // ---- The chart ------------------------------------------------------------
    // The project changed: unsaved, then as ProjectChanged.
    void MarkModified();
    // After a change, an undo or a redo: "&Salva" and its button follow the
    // unsaved state, the edit menu what can be undone, the chart the project.
    void ProjectChanged();
    // Scroll back to the origin, rebuild the rows, lay the window out.
    void RefreshChart();
    // Title, ruler and the chart's geometry from the project; the bars in
    // view are bound afresh.
    void BuildChartRows();
    // Follows the chart panel's scroll positions and size: the title cell
    // and the ruler at their places, and the rows in view (with a margin)
    // each shown by a bar window bound to its task. Bar windows are made
    // as the view needs them and never more than that.
    void PlaceBars();
    // Shows the task of `row` in `bar`: its text, colours, tag and place in
    // the panel scrolled by (scrollX, scrollY). The one place that ties a
    // bar window to a task.
    void BindBar(ChartBar* bar, std::size_t row, int scrollX, int scrollY, int clientWidth);
    // The selected task's place in the list; -1 when there is none (or it
    // has been deleted).
    int SelectedTaskIndex() const;

    // ---- Choosing a task on the chart (ChartSelection.cpp) -----------------------
    // Selects the task (0: none): the bars showing it and the one showing the
    // task selected before are drawn again, and the commands on the selected
    // task follow.
    void SelectTask(int taskId);
    // The task `step` rows below (above, when negative) the selected one, or
    // the first when none is selected, is selected and scrolled into view.
    void MoveSelection(int step);
    // Scrolls the chart so that the row's bar is in view.
    void ScrollRowIntoView(std::size_t row);
    // "&Modifica Task" and "&Cancella Task" of the menu bar are usable
    // exactly when a task is selected.
    void UpdateSelectionCommands();
    void OnBarLeftClick(QVUtility::GUIElement* element);
    void OnBarDoubleClick(QVUtility::GUIElement* element);

    // ---- The desktop: window place, recent files, dropped files ------------------
    // Follows the window's place while it is neither maximised nor minimised.
    void RememberPlace();
    // Keeps the window's place for the next run.
    void SavePlace();
    // The recent files as items of "&File".
    void ShowRecentFiles(const std::vector<std::string>& paths);
    // Opens the recent file numbered `index` (0 for "&1"), asking first about
    // unsaved changes; a file that is gone leaves the list after the usual
    // read error.
    void OpenRecentFile(std::size_t index);
    // One ".vmo" file dropped on the window opens as "&Apri" would; anything
    // else does nothing.
    void OnFilesDropped(const std::vector<std::wstring>& paths);

    // ---- File commands (FileCommands.cpp) ---------------------------------------
    // Keeps the path (with ".vmo" ensured), "Sa&lva come..." and the status bar in step.
    void SetFilePath(const std::string& path);
    // True when a project was loaded. A failed load leaves the project and the chart as they were.
    bool OpenProject();
    // Loads the file at `path` as "&Apri" does once a file is chosen, with
    // the same messages when it cannot be read or is not a project; for
    // every way of naming a file (the dialog, the command line).
    bool OpenProjectFile(const std::string& path);
    // False only when writing failed.
    bool SaveProject(bool noQuestion);
    bool SaveProjectAs();
    void ExportChart();
    // Draws the chart off screen with the sizes of the last refresh and
    // writes it as a 24-bit bitmap or PNG file.
    bool ExportImage(const std::string& path, PictureFormat format = PictureFormat::Bitmap);
    void OpenHomePage();
    void OpenGuidePage();

    // How an offer to save unsaved changes ended.
    enum class SaveOutcome {
        NothingToSave,  // no unsaved changes
        Declined,       // the user answered No: the changes may be abandoned
        Saved,
        Cancelled,  // the user wanted to save but gave no file name
        Failed,     // the file could not be written (the user was told)
        NotAsked,   // the question could not be shown: nothing was decided
    };
    // The save command with its outcome in full; SaveProject is this reduced to a bool.
    SaveOutcome SaveChanges(bool noQuestion);
    // Before "&Nuovo", "&Apri", at exit and at the end of the session: true
    // when the work may go on (nothing to save, saved, or the user chose
    // not to save).
    bool OfferToSave();

    // ---- Task, project and calendar commands (FormMainCommands.cpp) -------------
    void NewProject();
    void EditProject();
    void NewTask();
    void EditTask();
    void DeleteTask();
    void EditIncludedDays();
    void EditExcludedDays();
    void ShowCostReport();
    void ShowAbout();
    // ---- Undo and redo (EditCommands.cpp) -----------------------------------------
    void UndoChange();
    void RedoChange();
    // After an undo or a redo: the project shown as it is now and, when the
    // step was about a task that is there, that task selected and in view.
    void ShowStepTaken(std::optional<int> taskId);
    // "&Annulla" and "&Ripeti" name the change they act on; greyed when there is none.
    void UpdateEditMenu();

    // Deletes the dialog objects (called by the destructor).
    void ReleaseDialogs();

    // Enables the project commands after a successful load or a new project:
    // the properties, task, day-list and cost buttons, the export and the
    // print items.
    void EnableProjectCommands();
    // Disables "&Salva" and its button after a successful save or load.
    void DisableSaveCommands();

private:
    void BuildMenus();
    // The menus that came after the first ones: made once everything else
    // has its identifier, so that those stay as they were.
    void BuildLaterMenus();
    void AssignShortcuts();
    // The project commands: each menu item with the toolbar button it stands for.
    struct ProjectCommand {
        QVUtility::SubMenu* item;
        QVUtility::ToolBarItem* button;
    };
    std::vector<ProjectCommand> ProjectCommands() const;
    void BuildToolBar();
    QVUtility::ToolBarItem* AddToolBarItem(const std::wstring& tooltip, int imageIndex, bool enabled);
    bool WriteProjectFile();
    // A font the window owns.
    QVUtility::FontDescription* OwnFont(const wchar_t* face, int height);
};

// The main window that receives the commands of menu items without a form
// among their parents (the bars' popup menu); set by the first FormMain.
extern FormMain* popupCommandOwner;

}  // namespace MyApp
