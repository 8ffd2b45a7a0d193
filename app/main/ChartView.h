// ChartView: the Gantt chart of the main window and the one owner of what is
// in view. It holds the zoom (a level or a width fitted to the view), the
// first row shown, the chart x at the view's left edge and the selected
// task; the title, the ruler, the bars, the line that marks today and the
// panel's scroll bars are all placed from that state, and each view command
// changes it in one call (Place). The task table beside the chart follows
// the first row through onFirstRow.
//
// The panel's scroll bars are input, not state: a scroll of the user's sets
// the state from the bar's new position, and the state is then clamped and
// written back. Nothing on the panel is moved by scrolling its pixels: every
// child is put at the place the state gives it.
//
// It also maps the view's pixels to the project: a client x to a day of the
// span, a client y to a row, and so to a task.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/chart/ChartBar.h"
#include "app/chart/ChartLayout.h"
#include "app/main/ChartZoom.h"
#include "model/Project.h"
#include "toolkit/core/OwnedElements.h"
#include "toolkit/widgets/PanelChildren.h"

namespace QVUtility {
class CellControl;
class FontDescription;
class TimeLine;
}  // namespace QVUtility

namespace MyApp {

class BarDrag;

// The colour of the line that marks today: an orange that none of the five
// bar colours is.
constexpr COLORREF TodayLineColour = RGB(255, 128, 0);

class ChartView : public QVUtility::PanelChildren {
public:
    ChartView(QVUtility::GUIElement* parentElement, const Project& shownProject);
    ~ChartView() override;

    // ---- Making (in this order: the panel, the title and the ruler take
    // identifiers from the control counter, the line that marks today one of
    // its own) ---------------------------------------------------------------------
    void Build(QVUtility::FontDescription* captionFont, QVUtility::FontDescription* labelFont);
    void BuildTodayLine(int controlId);

    // ---- What the window hears of the view -------------------------------------------
    std::function<void(std::size_t firstRow)> onFirstRow;  // the table's first row follows
    std::function<void()> onViewChanged;                   // zoom or scroll: the commands follow
    std::function<void(int taskId)> onChoose;              // a click on a bar
    std::function<void(int taskId)> onOpen;                // a double click on a bar
    std::function<void(POINT screen)> onTaskMenu;          // a right click or the menu key on a bar
    std::function<std::wstring(std::size_t row)> onSummary;  // a bar's figures for its tip and description
    std::function<Date()> today;                           // the day the orange line marks
    std::function<void()> onFocus;                         // the chart took the keyboard
    // A bar dragged: its row as the drag shows it now (null: as the project
    // has it again), and the task where the bar was let go.
    std::function<void(std::size_t row, const Task* shown)> onDragShown;
    std::function<void(const Task& moved)> onDragged;

    // ---- The state ---------------------------------------------------------------------
    std::size_t FirstRow() const { return firstRow; }
    std::int64_t FirstX() const { return firstX; }
    std::size_t ZoomLevel() const { return zoomLevel; }
    bool ZoomFitted() const { return zoomFitted; }
    int SelectedTaskId() const { return selectedTaskId; }
    // The selected task's place in the list; -1 when there is none.
    int SelectedRow() const;
    // The chart's geometry at the current zoom and density.
    const ChartLayout& Geometry() const { return layout; }
    bool Built() const { return built; }
    // The chart's width at the current zoom (the whole ruler's).
    std::int64_t ChartWidth() const { return layout.Width(); }

    // ---- From pixels to the project ----------------------------------------------------
    // The day of the span (0: the project's first) under client x, or none
    // outside the span.
    std::optional<std::int64_t> DayAt(int clientX) const;
    // The row under client y, or none above the rows or below the last.
    std::optional<std::size_t> RowAt(int clientY) const;
    // The id of the task of that row; 0 for none.
    int TaskAt(int clientY) const;
    // The task of a row as the chart shows it: where a drag has it now.
    const Task& ShownTask(std::size_t row) const;
    // How many whole rows the view shows under the title and the ruler.
    int RowsPerPage() const;

    // ---- View commands: each changes the state and places everything once ----------
    // The project changed (or another was opened): the chart is shaped anew
    // from it, back at the first row and day when `fromStart`.
    void Rebuild(bool fromStart);
    // The view's size changed, or the chart's: the scroll bars fit the
    // chart, the state is clamped and everything is placed.
    void FitToView();
    void ShowRowFirst(std::size_t row);
    void ScrollToX(std::int64_t x);
    // The row and its bar brought into view (sideways only when none of
    // the bar is in view).
    void RevealRow(std::size_t row);
    // The selected task, 0 for none: the bars show it.
    void Select(int taskId);
    // Zoom a level in (step -1) or out (+1), never past the width at which
    // the whole span fits the view; fitted to the view; to a level. The
    // selected task, or the middle of the view, stays where it was on screen.
    void Zoom(int step);
    void ZoomToFit();
    void SetZoom(std::size_t level, bool fitted, ZoomStep fit);
    bool CanZoomIn() const;
    bool CanZoomOut() const;
    // A project opened, imported or made anew: the zoom kept from before
    // unless it would show the span narrower than the view (then fitted).
    void ZoomForNewProject();
    // Today's column when today lies in the project's span.
    std::optional<std::int64_t> TodayColumn() const;
    void GoToToday();
    // Left and Right scroll a column (a page with Ctrl); Escape ends a drag.
    void ScrollKey(int key);
    // The bar of a row in view placed and drawn again as ShownTask has it.
    void ShowRow(std::size_t row);
    // A bar being dragged with the mouse (BarDrag.h).
    const BarDrag& Drag() const { return *drag; }

    // ---- What is on screen ---------------------------------------------------------------
    QVUtility::CellControl* titleCell = nullptr;
    QVUtility::TimeLine* ruler = nullptr;
    QVUtility::CellControl* todayLine = nullptr;
    // The bar windows: as many as the rows in view need, row r shown by
    // bars[r % bars.size()]; kept and reused across refreshes and scrolling.
    std::vector<ChartBar*> bars;
    // The bar showing the selected task, in view; none when there is none.
    ChartBar* SelectedBar() const;
    // Pixels a day at 96 DPI at the zoom now.
    double PixelsPerDay() const;

    // ---- For everyone -----------------------------------------------------------------------
    // The chart in the system's colours (high contrast) or its own.
    void ApplyColours(bool systemColours);
    bool SystemColours() const { return systemColours; }
    // The focus on the selected bar, or on the title when none is in view.
    void ShowFocus();
    // Assistive technology hears of the selected task (held while a command
    // brings its bar into view).
    void AnnounceSelection();
    bool holdAnnouncement = false;
    // A new screen density: the measures follow; the caller rebuilds.
    void ApplyScale();

    // The panel's hooks: a scroll of the user's sets the state.
    void ScrollContent(HWND target, int dx, int dy) override;

private:
    friend struct ChartViewHandlers;
    friend class BarDrag;

    // Title, ruler and geometry from the project at the zoom now; no bar moves.
    bool Shape();
    // Everything placed from the state.
    void Place();
    void BindBar(ChartBar* bar, std::size_t row, int clientWidth);
    void PlaceTodayLine(const RECT& client);
    // The state within what the view can show: the last row at the bottom
    // at most, the chart's right edge at the view's right edge at most.
    void Clamp();
    std::size_t LastFirstRow() const;
    std::int64_t LastFirstX() const;
    // The scroll bars' positions written from the state.
    void WriteScrollPositions();
    // The state clamped, written to the scroll bars, and everything placed.
    void Settle();
    // Pixels a day at 96 DPI at a level.
    double LevelPixelsPerDay(std::size_t level) const;
    // The ruler's columns at the zoom's width.
    void ApplyZoomToRuler();
    // The fitted width for the view as it is now; none when the span fits
    // at the ruler's own width.
    std::optional<ZoomStep> FitForView() const;
    void LoadZoom();
    void SaveZoom() const;
    RECT Client() const;

    const Project& project;
    QVUtility::OwnedElements parts;
    QVUtility::FontDescription* barFont = nullptr;
    ChartLayout layout;
    bool built = false;
    bool systemColours = false;
    bool placing = false;  // Place is running: the scroll bars' own moves are not input
    // The state.
    std::size_t firstRow = 0;
    std::int64_t firstX = 0;
    std::size_t zoomLevel = 0;  // 0: the ruler's own column width (ChartZoom.h)
    bool zoomFitted = false;    // fitted to the view: fittedZoom, not a level
    ZoomStep fittedZoom;
    int selectedTaskId = 0;
    std::unique_ptr<BarDrag> drag;
};

}  // namespace MyApp
