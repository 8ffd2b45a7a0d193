// FormMain: the program's main window and the owner of the one project.
//
// It builds the menu bar, the toolbar and the keys from its command table
// (CommandTable.cpp), the scrolling chart (the title cell, the TimeLine
// ruler and the task bars in view, FormMainChart.cpp) and the status bar.
// Every command, from any source, goes through Execute; the file commands
// are in FileCommands.cpp, the dialogs' in DialogCommands.cpp, undo and redo
// in EditCommands.cpp. It turns the project into the chart whenever the
// project changes, and asks before the program ends.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/chart/ChartBar.h"
#include "app/chart/ChartLayout.h"
#include "app/dialogs/DialogSlot.h"
#include "app/main/CommandTable.h"
#include "model/ChangeHistory.h"
#include "model/Project.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"

namespace QVUtility {
class CellControl;
class FontDescription;
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

class FormAbout;
class FormAddTask;
class FormCosto;
class FormDays;
class FormNuovo;
class PrintCommands;
struct FormMainHandlers;

// The exported picture's file formats.
enum class PictureFormat { Bitmap, Png };

class FormMain : public QVUtility::Form {
public:
    // Builds and shows the window (the title is the whole caption text).
    FormMain(HINSTANCE instance, const std::wstring& title);
    ~FormMain() override;

    Project project;
    // The selected task (chosen with the mouse or the arrows): a task, not a
    // bar, for the bars follow the view and show other tasks as it moves;
    // 0 = none.
    int selectedTaskId = 0;

    // ---- The window's elements (made and owned by the window) ----------------
    QVUtility::SubMenu* newItem = nullptr;
    QVUtility::SubMenu* openItem = nullptr;
    QVUtility::SubMenu* saveItem = nullptr;
    QVUtility::SubMenu* saveAsItem = nullptr;
    QVUtility::SubMenu* exportItem = nullptr;
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

    QVUtility::PanelChildren* chartPanel = nullptr;
    QVUtility::CellControl* titleCell = nullptr;
    QVUtility::TimeLine* ruler = nullptr;
    // The bar windows: as many as the rows in view need, each bound to the
    // task of one row (row r shows in bars[r % bars.size()]); kept and
    // reused across refreshes and scrolling.
    std::vector<ChartBar*> bars;
    int chartWidth = 0;  // ruler width after the last refresh
    QVUtility::Timer* layoutTimer = nullptr;
    QVUtility::StatusBar* statusBar = nullptr;

    // The dialog of each kind last opened, kept until the next one.
    DialogSlot<FormNuovo> projectDialog;
    DialogSlot<FormAddTask> taskDialog;

    // ---- Commands ---------------------------------------------------------------
    // Runs the command, whatever its source; nothing when its rule says it
    // cannot be used now.
    void Execute(Command command);
    // Every menu item and toolbar button enabled (and named) as the
    // commands' rules say now, and the title naming the project.
    void UpdateCommands();
    // The caption: the program's title, then, once there is a project, its
    // file's name ("Senza nome" before the first save) and " *" while it has
    // unsaved changes.
    std::wstring WindowTitle() const;

    // ---- The project and the chart -------------------------------------------------
    // The project changed: unsaved, then as ProjectChanged.
    void MarkModified();
    // Scroll back to the origin, rebuild the rows, lay the window out.
    void RefreshChart();
    // Fits the chart panel's scroll bars to the chart's size (after the
    // layout timer, or at once).
    void UpdateScrollBars();
    // Selects the task (0: none): the bars showing it and the one showing the
    // task selected before are drawn again, and the commands on the selected
    // task follow.
    void SelectTask(int taskId);
    // A right click on a bar: its task selected, the popup menu shown.
    void OnBarRightClick(QVUtility::GUIElement* element, int x, int y);
    // Enables the project commands after a successful load or a new project:
    // the properties, task, day-list and cost commands, the export and the
    // print items.
    void EnableProjectCommands();

    // ---- File commands (FileCommands.cpp) --------------------------------------------
    // Keeps the path (with ".vmo" ensured), "Sa&lva come..." and the status bar in step.
    void SetFilePath(const std::string& path);
    // Loads the file at `path` as "&Apri" does once a file is chosen, with
    // the same messages when it cannot be read or is not a project; for
    // every way of naming a file (the dialog, the command line). A failed
    // load leaves the project and the chart as they were.
    bool OpenProjectFile(const std::string& path);
    // "&Salva" (with the question about unsaved changes unless
    // `noQuestion`); false only when writing failed.
    bool SaveProject(bool noQuestion);
    // Draws the chart off screen with the sizes of the last refresh and
    // writes it as a 24-bit bitmap or PNG file.
    bool ExportImage(const std::string& path, PictureFormat format = PictureFormat::Bitmap);

    // ---- Exchange with other programs (ExchangeCommands.cpp) ----------------------------
    QVUtility::SubMenu* importItem = nullptr;  // "Importa da XML di Microsoft Project..."
    // Asks for a Microsoft Project XML file and reads it as ImportProjectFile does.
    void ImportProject();
    // Reads the file into a new, unsaved project with its history starting
    // there, and tells what the program could not hold; a file that cannot
    // be read or is not such a project is told and changes nothing.
    bool ImportProjectFile(const std::string& path);
    // The task table as CSV (the regional separators) and the project as
    // Microsoft Project XML, each file replaced in one step: false when it
    // could not be written.
    bool ExportTable(const std::string& path);
    bool ExportProjectXml(const std::string& path);

    // ---- Task and project commands (DialogCommands.cpp) --------------------------------
    void NewProject();
    void NewTask();
    void EditTask();
    void DeleteTask();

    // A new screen density: the fonts, the toolbar, the chart panel and the
    // chart follow it.
    void OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) override;

private:
    friend struct FormMainHandlers;

    // ---- Building (FormMain.cpp) -------------------------------------------------------
    void BuildControls();
    void BuildMenus();
    // The toolbar at its place, with the buttons of the commands that have one.
    void BuildToolBar(int left, int top, int barWidth, int barHeight);
    void BuildKeys();
    // A font the window owns.
    QVUtility::FontDescription* OwnFont(const wchar_t* face, int height);

    // ---- The command table (CommandTable.cpp) -------------------------------------------
    static const std::vector<CommandSpec>& Commands();
    static const CommandSpec* FindCommand(Command command);
    // The command of a menu item or a toolbar button.
    void OnMenuCommand(QVUtility::GUIElement* item);
    void OnToolbarCommand(QVUtility::GUIElement* item);
    bool Enabled(const CommandSpec& spec) const;
    void OpenRecentFile(std::size_t index);

    // ---- Layout and closing (FormMain.cpp) ------------------------------------------------
    void Layout();
    bool ConfirmClose();
    // The user's session is about to end (log off, shut down): true lets it
    // end. Unsaved changes get the save question first.
    bool AllowSessionEnd();
    // The session ends: the window goes without asking anything more.
    void EndWithSession();
    // Follows the window's place while it is neither maximised nor minimised.
    void RememberPlace();
    // Keeps the window's place for the next run.
    void SavePlace();
    // The recent files as items of "&File".
    void ShowRecentFiles(const std::vector<std::string>& paths);
    // One ".vmo" file dropped on the window opens as "&Apri" would; anything
    // else does nothing.
    void OnFilesDropped(const std::vector<std::wstring>& paths);

    // ---- The chart (FormMainChart.cpp) -------------------------------------------------------
    // After a change, an undo or a redo: the commands follow the project, the
    // chart shows it.
    void ProjectChanged();
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
    // The task `step` rows below (above, when negative) the selected one, or
    // the first when none is selected, is selected and scrolled into view.
    void MoveSelection(int step);
    // Scrolls the chart so that the row's bar is in view.
    void ScrollRowIntoView(std::size_t row);
    // What the tooltip over a bar says: the task's description, its span,
    // working days, resources and cost.
    std::wstring BarTipText(QVUtility::GUIElement* element) const;
    void OnBarLeftClick(QVUtility::GUIElement* element);
    void OnBarDoubleClick(QVUtility::GUIElement* element);

    // ---- File commands (FileCommands.cpp) ----------------------------------------------------
    // True when a project was loaded.
    bool OpenProject();
    bool SaveProjectAs();
    void ExportChart();
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
    bool WriteProjectFile();

    // ---- Task, project and calendar commands (DialogCommands.cpp) -------------------------------
    void EditProject();
    void EditIncludedDays();
    void EditExcludedDays();
    // One of the two day lists: the extra working days or the extra non-working days.
    void EditDays(bool included);
    void ShowCostReport();
    void ShowAbout();
    // A new project, or the project's properties changed, as the project
    // dialog confirmed them.
    void ApplyProjectDialog(const ProjectProperties& values, bool newProject);
    // Deletes the dialog objects (called by the destructor).
    void ReleaseDialogs();

    // ---- Undo and redo (EditCommands.cpp) ------------------------------------------------------
    void UndoChange();
    void RedoChange();
    // After an undo or a redo: the project shown as it is now and, when the
    // step was about a task that is there, that task selected and in view.
    void ShowStepTaken(std::optional<int> taskId);

    // ---- State ---------------------------------------------------------------------------------
    // Every change to the project goes through it, for undo and redo; it
    // keeps `project.modified` in step with the state last saved.
    ChangeHistory history;
    bool projectOpen = false;  // a project was made or loaded: its commands can be used
    std::wstring programTitle;  // the caption without a project
    // What the window makes for itself, owned here and destroyed after the
    // window: its fonts, and its elements in one list, destroyed in the
    // reverse order of their making (the plain pointers are for access).
    std::vector<std::unique_ptr<QVUtility::FontDescription>> ownedFonts;
    QVUtility::OwnedElements ownedElements;
    QVUtility::FontDescription* elementFont = nullptr;  // the window's own font
    QVUtility::FontDescription* captionFont = nullptr;  // the title cell
    QVUtility::FontDescription* barFont = nullptr;      // the bars' texts, on screen and in the picture
    QVUtility::MenuBar* menuBar = nullptr;
    QVUtility::Menu* fileMenu = nullptr;
    QVUtility::Menu* helpMenu = nullptr;
    QVUtility::Menu* taskMenu = nullptr;  // no bar: the source of the bars' popup menu
    // The recent files in "&File" ("&1" to "&4") and the divider after them,
    // before "&Esci"; made anew whenever the list changes.
    std::vector<std::unique_ptr<QVUtility::SubMenu>> recentItems;
    std::vector<std::string> recentFiles;  // the paths they stand for, newest first
    // Which command each menu item and toolbar button stands for, by control identifier.
    std::unordered_map<int, Command> commandOfControl;
    ChartLayout chartLayout;          // the chart's geometry after the last refresh
    int contentHeight = 0;            // chart height after the last refresh
    bool chartBuilt = false;          // the title cell shows a project
    bool updatingScrollBars = false;  // UpdateScrollBars is running
    RECT normalPlace{};               // the window's place when last neither maximised nor minimised

    DialogSlot<FormAbout> aboutDialog;
    DialogSlot<FormDays> daysDialog;
    DialogSlot<FormCosto> costDialog;
    std::unique_ptr<PrintCommands> printing;  // the print and preview commands
};

// The main window that receives the commands of menu items without a form
// among their parents (the bars' popup menu); set by the first FormMain.
extern FormMain* popupCommandOwner;

}  // namespace MyApp
