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
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/chart/ChartBar.h"
#include "app/chart/ChartLayout.h"
#include "app/dialogs/DialogSlot.h"
#include "app/main/ChartZoom.h"
#include "app/main/CommandTable.h"
#include "model/ChangeHistory.h"
#include "model/FormatAmount.h"
#include "model/WorkingDays.h"
#include "model/Project.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"

namespace QVUtility {
class CellControl;
class FontDescription;
class ListView;
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
class FormFlussoCassa;
class FormNuovo;
class FormTrova;
class PrintCommands;
class StartPage;
struct FileClaim;
struct FormMainHandlers;
struct WorkSafety;

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
    // The project's file was open in another program when it was opened:
    // "&Salva" asks for a new name.
    bool OpenedReadOnly() const;

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

    // ---- For everyone (FormMainAccess.cpp) ---------------------------------------------
    // The bar showing the selected task, in view; none when there is none.
    ChartBar* SelectedBar() const;
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
    // Title, ruler, the chart's geometry and the panel's scrolling rules
    // from the project; no bar moves. False while the chart's parts are
    // still to be made.
    bool ShapeChart();
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
    // The row (clamped to the list) selected and scrolled into view.
    void MoveSelectionTo(std::ptrdiff_t row);
    // How many whole rows the chart shows below the title and the ruler.
    int RowsPerPage() const;
    // The task selected and scrolled into view; after an edit or an undo
    // (`chartChanged`) the chart takes its new size first. A key or a find
    // that only moves the selection leaves the chart's size as it is.
    void ShowTask(int taskId, bool chartChanged = true);
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

    // ---- Keeping the work safe (app/safety/FormMainSafety.cpp) -------------------------
    // At the window's making: the recovery copies' writer and timer, and the
    // check of the project's file when the user comes back to the program.
    void StartWorkSafety();
    // A clean end: the recovery copy removed, the lock released, the writer
    // stopped. Nothing when already done.
    void EndWorkSafety();
    // Before a file is read: its lock, or the question about opening it
    // read-only when another program has it; false when the user would not.
    bool ClaimFile(const std::string& path, FileClaim& claim);
    // The file could not be read: the lock made for it goes.
    void DropClaim(const FileClaim& claim);
    // The file is the project's now: its lock, stamp and read-only state.
    void TakeFile(const FileClaim& claim);
    // TakeFile for a project just opened: the previous copy goes.
    void AdoptFile(const FileClaim& claim);
    // A new project: the file's lock and the recovery copy go.
    void LeaveFile();
    // After a save: the lock follows the file, the stamp is the new one, the
    // copy goes.
    void FollowSavedFile();
    // The user gives the unsaved changes up.
    void DiscardRecoveryCopy();
    // After each change: a snapshot for the recovery copy, written when due.
    void HandChangeToRecovery();
    enum class ChangedFileAnswer { Overwrite, SaveElsewhere, Cancel };
    // Before "&Salva" writes the file: the question when another program
    // changed it since it was read or written.
    ChangedFileAnswer AskAboutChangedFile();
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
    // ---- The task table (FormMainTable.cpp) ----------------------------------------------------
    // Makes the table and its splitter (after the first elements).
    void BuildTable();
    // The table's rows for the project as it is now.
    void FillTable();
    // The text of a cell: description, start, end, working days, resources,
    // daily cost and cost, as the cost report counts them.
    std::wstring TableCell(std::size_t row, int column) const;
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
    // The chart's rows follow the table's, and the other way round.
    void FollowTableScroll(std::size_t topRow);
    void FollowChartScroll(int scrollY);
    // Zoom a level in (step -1) or out (+1); to a level; to the widest
    // level at which the whole span fits the chart's width. The selected
    // task, or the middle of the view, stays where it was on screen.
    void Zoom(int step);
    void ZoomToFit();
    bool CanZoomIn() const;
    // Out only while the span is wider than the view: past that the chart
    // would only shrink into a corner.
    bool CanZoomOut() const;
    // To a level, or (fitted) to the width `fit`; the selected task, or the
    // middle of the view, stays where it was on screen.
    void ChangeZoom(std::size_t level, bool fitted, ZoomStep fit);
    // Pixels a day at 96 DPI: at a level, and as the chart is zoomed now.
    double PixelsPerDay(std::size_t level) const;
    double ZoomPixelsPerDay() const;
    // The zoom kept from the last run.
    void LoadZoom();
    // The ruler's columns at the zoom level's width (the ruler has just set
    // its own for the span).
    void ApplyZoomToRuler();
    // Today's column when today lies in the project's span.
    std::optional<std::int64_t> TodayColumn() const;
    void GoToToday();
    // The line that marks today, over the rows at today's column, when that
    // is in view.
    void PlaceTodayLine(int scrollX, const RECT& client);

    // ---- For everyone (FormMainAccess.cpp) ------------------------------------------------------
    // The names assistive technology reads for the window's elements, and
    // the chart's own keyboard handlers.
    void NameElements();
    // The calendar's description: the project's span.
    void DescribeChart();
    // What a bar tells after its name: its task's span, working days,
    // resources and cost, as the tooltip says them.
    std::wstring BarSummaryText(const ChartBar& bar) const;
    // Assistive technology hears of the selected task: the focus on its bar
    // while the chart has the keyboard, and the selection. Held while
    // ShowTask brings the bar into view.
    void AnnounceSelection();
    bool holdAnnouncement = false;
    // The chart took or lost the keyboard: the selected bar shows it and is
    // told as focused.
    void OnChartFocus();
    // The focus rectangle on the title while the chart has the keyboard and
    // no selected bar is in view.
    void ShowChartFocus();
    // A key for the chart: Left and Right scroll it sideways a column (a
    // page with Ctrl). The menu key and Maiusc+F10 show the bars' menu under
    // the selected bar (FormMainHandlers::ChartMenuKey).
    void OnChartKey(int key);
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
    // Which command each menu item and toolbar button stands for, by control
    // identifier; and the items and buttons the table made, with their rows.
    std::unordered_map<int, Command> commandOfControl;
    std::vector<std::pair<const CommandSpec*, QVUtility::SubMenu*>> menuItems;
    std::vector<std::pair<const CommandSpec*, QVUtility::ToolBarItem*>> toolButtons;
    ChartLayout chartLayout;          // the chart's geometry after the last refresh
    int contentHeight = 0;            // chart height after the last refresh: down to the last row's end
    bool chartBuilt = false;          // the title cell shows a project
    bool updatingScrollBars = false;  // UpdateScrollBars is running
    bool holdingBars = false;         // the chart changes in steps: bars are placed once, at the end
    RECT normalPlace{};               // the window's place when last neither maximised nor minimised

    std::string findText;         // what "Trova..." last looked for
    std::size_t zoomLevel = 0;    // 0: the ruler's own column width (ChartZoom.h)
    bool zoomFitted = false;      // "Adatta al progetto": the width below, not a level
    ZoomStep fittedZoom;
    bool tableShown = true;       // the task table beside the chart
    QVUtility::CellControl* todayLine = nullptr;
    QVUtility::ListView* taskTable = nullptr;
    QVUtility::PanelChildren* splitter = nullptr;
    int tableWidth = 0;    // at 96 DPI
    int splitterGrip = 0;  // where the splitter was taken, in its own coordinates
    // What the table's rows, the bars' tips and their descriptions are
    // counted with, made at each refresh of the chart.
    std::unique_ptr<WorkingDayCalendar> shownCalendar;
    AmountFormat shownFormat;

    DialogSlot<FormAbout> aboutDialog;
    DialogSlot<FormTrova> findDialog;
    DialogSlot<FormDays> daysDialog;
    DialogSlot<FormCosto> costDialog;
    std::unique_ptr<PrintCommands> printing;  // the print and preview commands
    std::unique_ptr<WorkSafety> safety;       // the recovery copy, the file's lock and stamp
};

// The main window that receives the commands of menu items without a form
// among their parents (the bars' popup menu); set by the first FormMain.
extern FormMain* popupCommandOwner;

// Today's date as the chart marks it (a test may set another).
extern std::function<Date()> chartToday;
// The colour of the line that marks today: an orange that none of the five
// bar colours is.
constexpr COLORREF TodayLineColour = RGB(255, 128, 0);

}  // namespace MyApp
