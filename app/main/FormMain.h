// FormMain: the program's main window, showing the one open project, which
// its document holds with its file, lock, recovery copy and history
// (app/document/ProjectDocument.h).
//
// It builds the menu bar, the toolbar and the keys from its command table
// (CommandTable.cpp), the chart (ChartView, the one owner of what is in
// view), the task table (TaskTable) beside it with the splitter between
// them (FormMainPanes.cpp) and the status bar. Every command, from any
// source, goes through Execute; the file commands are in FileCommands.cpp,
// the dialogs' in DialogCommands.cpp, undo and redo in EditCommands.cpp. It
// shows the project anew in the chart and the table whenever the project
// changes, and asks before the program ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/dialogs/DialogSlot.h"
#include "app/document/ProjectDocument.h"
#include "app/main/ChartView.h"
#include "app/main/CommandItems.h"
#include "app/main/CommandTable.h"
#include "model/TaskMove.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"

namespace QVUtility {
class FontDescription;
class Menu;
class MenuBar;
class PanelChildren;
class StatusBar;
class SubMenu;
class Timer;
class ToolBar;
class ToolBarItem;
}  // namespace QVUtility

namespace MyApp {

class FormAbout;
class FormAddTask;
class FormCosto;
class FormDays;
class FormFlussoCassa;
class FormNuovo;
class FormTrova;
class PrintCommands;
class StartPage;
class TaskTable;
struct FormMainHandlers;

// The exported picture's file formats.
enum class PictureFormat { Bitmap, Png };

class FormMain : public QVUtility::Form, public CommandItems {
public:
    // Builds and shows the window (the title is the whole caption text).
    FormMain(HINSTANCE instance, const std::wstring& title);
    ~FormMain() override;

    // The open project with its file, lock, recovery copy and history; the
    // window shows it and its commands change it.
    ProjectDocument document{this};
    Project& project = document.project;

    // ---- The window's elements (made and owned by the window) ----------------
    // The chart and what is in view: the one owner of the zoom, the first
    // row and day shown and the selected task.
    ChartView* chart = nullptr;
    QVUtility::Timer* layoutTimer = nullptr;
    SIZE resizedClient{};  // the client size the window was last laid out for
    QVUtility::StatusBar* statusBar = nullptr;

    // The dialog of each kind last opened, kept until the next one.
    DialogSlot<FormNuovo> projectDialog;
    DialogSlot<FormAddTask> taskDialog;
    DialogSlot<FormFlussoCassa> cashFlowDialog;  // "Flusso di cassa mensile"

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
    // The chart and the table shaped anew from the project, back at its
    // first row and day unless `fromStart` is false (then the view stays).
    void RefreshChart(bool fromStart = true);
    // Selects the task (0: none): the chart and the table show it, and the
    // commands on the selected task follow.
    void SelectTask(int taskId);
    // The selected task (chosen with the mouse, the keys or a find); 0: none.
    int SelectedTaskId() const;
    // Enables the project commands after a successful load or a new project:
    // the properties, task, day-list and cost commands, the export and the
    // print items.
    void EnableProjectCommands();

    // ---- The start page (StartPage.cpp) --------------------------------------------------
    // Shown in the chart's area until a project is open.
    StartPage* startPage = nullptr;
    // The example shipped with the program as a new, unsaved project.
    void OpenExampleProject();

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

    // ---- Keeping the work safe (app/safety/FormMainSafety.cpp) -------------------------
    // At start: offers the newest recovery copy left by a run that ended
    // without closing, then opens `named` (when given) as "&Apri" does.
    void OpenAtStart(const std::string& named);

    // ---- Exchange with other programs (ExchangeCommands.cpp) ----------------------------
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
    // The task as the task dialog confirmed it, put in place of the one of
    // its id, in view where it was.
    void ApplyEditedTask(const Task& task);
    void DeleteTask();

    // ---- Changes where the project is shown (TaskEdits.cpp) -----------------------------
    // A task's new values from a bar dragged, the keys or a cell of the task
    // table: checked as "Modifica Task" checks them, then applied as one step
    // of the history, the view staying where it is and the task selected and
    // in view. Answers the problem when they are refused (nothing changes).
    std::wstring ChangeTask(const Task& values);
    // Alt and the arrows: the selected task (or its end, MovePart::End) a
    // working day later (step 1) or earlier (-1); each press one step of
    // the history.
    void StepSelectedTask(MovePart part, int step);
    // F2: the selected task's description edited in its row of the table
    // ("Modifica Task" while the table is hidden).
    void EditDescriptionInPlace();

    // A new screen density: the fonts, the toolbar, the chart panel and the
    // chart follow it.
    void OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) override;

    // ---- For everyone (FormMainAccess.cpp) ---------------------------------------------
    // The system's colours or high contrast changed: the chart follows.
    void OnSystemColoursChanged() override;
    bool systemColours = false;  // the chart is in the system's colours (high contrast is on)

private:
    friend struct FormMainHandlers;

    // ---- Building (FormMain.cpp) -------------------------------------------------------
    void BuildControls();
    void BuildMenus();
    // The toolbar at its place, with the buttons of the commands that have one.
    void BuildToolBar(int left, int top, int barWidth, int barHeight);
    void BuildKeys();
    void BuildStartPage();
    // A font the window owns.
    QVUtility::FontDescription* OwnFont(const wchar_t* face, int height);

    // ---- The command table (CommandTable.cpp) -------------------------------------------
    static const std::vector<CommandSpec>& Commands();
    static const CommandSpec* FindCommand(Command command);
    // The command of a menu item or a toolbar button.
    void OnMenuCommand(QVUtility::GUIElement* item);
    void OnToolbarCommand(QVUtility::GUIElement* item);
    bool Enabled(const CommandSpec& spec) const;
    // A menu item as its row's rules say now: enabled, its text, its check mark.
    void ShowItemState(const CommandSpec& spec, QVUtility::SubMenu* item, bool enable);
    void OpenRecentFile(std::size_t index);

    // ---- Layout and closing (FormMain.cpp) ------------------------------------------------
    void Layout();
    // The window's size has changed (a resize, a maximise, the splitter):
    // laid out at once, and once more by the layout timer when the change
    // has come to rest. A size equal to the last one asks nothing more.
    void LayoutResized();
    // The layout timer lays the window out once more when the change under
    // way (a resize, the splitter's drag) has come to rest.
    void LayoutAgainAtRest();
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
    // The chart's handlers: what the window does when the chart tells it.
    void ConnectChart();
    // A project opened, imported or made anew: none of its tasks selected,
    // shown from its start at a zoom that suits it.
    void ShowNewProject();
    // Shows the project just put in place as a new one never saved ("Senza
    // nome"), with no history before it; the previous file's lock and
    // recovery copy are let go.
    void ShowUnsavedProject();
    // After a change, an undo or a redo: the commands follow the project, the
    // chart shows it (from its start unless `fromStart` is false).
    void ProjectChanged(bool fromStart = true);
    // The chart's and the table's handlers of the changes made in them.
    void ConnectEdits();
    // The selected task's place in the list; -1 when there is none (or it
    // has been deleted).
    int SelectedTaskIndex() const;
    // The task `step` rows below (above, when negative) the selected one, or
    // the first when none is selected, is selected and scrolled into view.
    void MoveSelection(int step);
    // The row (clamped to the list) selected and scrolled into view.
    void MoveSelectionTo(std::ptrdiff_t row);
    // The task selected and scrolled into view; after an edit or an undo
    // (`chartChanged`) the chart takes its new size first. A key or a find
    // that only moves the selection leaves the chart's size as it is.
    void ShowTask(int taskId, bool chartChanged = true);
    // The bars' popup menu at a point of the screen.
    void ShowTaskMenu(POINT screen);

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

    // ---- Keeping the work safe (app/safety/FormMainSafety.cpp) -------------------------
    // At the window's making: the document's recovery copies with their
    // timer, and the check of the project's file when the user comes back
    // to the program.
    void StartWorkSafety();
    // A clean end: the timers stopped, then the document's copy and lock gone.
    void EndWorkSafety();
    // At start: true when a recovery copy was restored.
    bool OfferRecoveryCopy();
    // The user came back to the program: the file changed meanwhile is
    // offered again (no unsaved changes) or told of (unsaved changes).
    void CheckFileOnReturn();
    void OnSafetyTimer(UINT_PTR timer);
    static void CALLBACK SafetyTimerProc(HWND, UINT, UINT_PTR timer, DWORD);
    static LRESULT CALLBACK SafetySubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data);

    // ---- Task, project and calendar commands (DialogCommands.cpp) -------------------------------
    void EditProject();
    void EditIncludedDays();
    void EditExcludedDays();
    // One of the two day lists: the extra working days or the extra non-working days.
    void EditDays(bool included);
    void ShowCostReport();
    // The project's costs month by month (or by quarter or week).
    void ShowCashFlow();
    void ShowAbout();
    // A new project, or the project's properties changed, as the project
    // dialog confirmed them.
    void ApplyProjectDialog(const ProjectProperties& values, bool newProject);
    // Deletes the dialog objects (called by the destructor).
    void ReleaseDialogs();

    // ---- The view (FormMainView.cpp) -----------------------------------------------------------
    // "Trova...": asks for the text, then finds as F3 does.
    void Find();
    // The next task after the selected one whose description holds the
    // text last looked for, selected and in view; or a message.
    void FindNext();
    // ---- The panes (FormMainPanes.cpp) ---------------------------------------------------------
    // Makes the table and its splitter (after the first elements).
    void BuildTable();
    // The table's rows for the project as it is now.
    void FillTable();
    // The table, the splitter and the chart side by side in the area given,
    // the table's first row level with the chart's.
    void LayOutPanes(int left, int top, int areaWidth, int areaHeight);
    // The table's rows end where the chart's do (their scroll bars may differ).
    void AlignTable();
    // Shows or hides the task table beside the chart.
    void ToggleTable();
    // The keyboard to the other pane: from the task table to the chart and back.
    void FocusNextPane();
    // The window itself got the keyboard (at its start, back from a dialog
    // or another program): with a project open, it goes on to the pane that
    // had it last, the table when it is shown and none had it yet, so a
    // focus is always on screen.
    void OnGotFocus() override;
    void FocusPane();
    bool chartHadFocus = false;  // the chart, not the table, was the pane with the keyboard last
    // The table's first row shown: the chart's follows.
    void FollowTableScroll(std::size_t topRow);

    // ---- For everyone (FormMainAccess.cpp) ------------------------------------------------------
    // The names assistive technology reads for the window's elements.
    void NameElements();
    // What a bar tells after its name: its task's span, working days,
    // resources and cost, as the tooltip says them.
    std::wstring BarSummaryText(std::size_t row) const;
    // The chart in the system's colours while high contrast is on, in its
    // own otherwise; the non-working days hatched in both.
    void ApplyChartColours();
    std::vector<COLORREF> appliedColours;  // the mode and the system's colours the chart last took

    // ---- Undo and redo (EditCommands.cpp) ------------------------------------------------------
    void UndoChange();
    void RedoChange();
    // After an undo or a redo: the project shown as it is now and, when the
    // step was about a task that is there, that task selected and in view.
    void ShowStepTaken(std::optional<int> taskId);

    // ---- State ---------------------------------------------------------------------------------
    ChangeHistory& history = document.history;
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
    // Which command each menu item and toolbar button stands for, by control
    // identifier; and the items and buttons the table made, with their rows.
    std::unordered_map<int, Command> commandOfControl;
    std::vector<std::pair<const CommandSpec*, QVUtility::SubMenu*>> menuItems;
    std::vector<std::pair<const CommandSpec*, QVUtility::ToolBarItem*>> toolButtons;
    RECT normalPlace{};  // the window's place when last neither maximised nor minimised

    std::string findText;         // what "Trova..." last looked for
    bool tableShown = true;       // the task table beside the chart
    bool aligning = false;        // AlignTable is running
    TaskTable* taskTable = nullptr;
    QVUtility::PanelChildren* splitter = nullptr;
    int tableWidth = 0;    // at 96 DPI
    int splitterGrip = 0;  // where the splitter was taken, in its own coordinates

    DialogSlot<FormAbout> aboutDialog;
    DialogSlot<FormTrova> findDialog;
    DialogSlot<FormDays> daysDialog;
    DialogSlot<FormCosto> costDialog;
    std::unique_ptr<PrintCommands> printing;  // the print and preview commands
};

// The main window that receives the commands of menu items without a form
// among their parents (the bars' popup menu); set by the first FormMain.
extern FormMain* popupCommandOwner;

// Today's date as the chart marks it (a test may set another).
extern std::function<Date()> chartToday;

}  // namespace MyApp
