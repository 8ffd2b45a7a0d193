// The chart's state and how it is placed: the title, the ruler, the bars in
// view and the line that marks today, all from the first row and the chart x
// the view holds; the scroll bars fitted to the chart and written from the
// state; the view's pixels mapped to days, rows and tasks.
#include "app/main/ChartView.h"

#include <algorithm>
#include <climits>
#include <string>

#include "app/main/BarDrag.h"
#include "app/main/ChartViewHandlers.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/TimeLine.h"

namespace MyApp {

namespace {

// Moves a child window of `panel` to (left, top) and, when width is not
// negative, gives it that size; nothing when it is there already. A child
// moved is drawn afresh in its new place: the panel's own paint of what it
// uncovered may go over it.
void PlaceChild(HWND child, HWND panel, int left, int top, int width = -1, int height = -1) {
    RECT outer{};
    if (child == nullptr || !GetWindowRect(child, &outer)) return;
    POINT corner{outer.left, outer.top};
    ScreenToClient(panel, &corner);
    const bool resized = width >= 0 && (outer.right - outer.left != width || outer.bottom - outer.top != height);
    if (corner.x == left && corner.y == top && !resized) return;
    SetWindowPos(child, nullptr, left, top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS | (resized ? 0 : SWP_NOSIZE));
}

// The child's own visibility decides, not whether it can be seen now: while
// the panel's drawing is held (WM_SETREDRAW) no child of it can be.
void ShowChild(HWND child, bool show) {
    if (child == nullptr || ((GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0) == show) return;
    ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
}

}  // namespace

ChartView::ChartView(QVUtility::GUIElement* parentElement, const Project& shownProject)
    : PanelChildren(parentElement), project(shownProject), layout(Scale()), drag(std::make_unique<BarDrag>(*this)) {
    LoadZoom();
}

ChartView::~ChartView() = default;

// ---- Making -------------------------------------------------------------------------------

void ChartView::Build(QVUtility::FontDescription* captionFont, QVUtility::FontDescription* labelFont) {
    barFont = labelFont;
    border = true;
    SetBackColour(0xC0C0C0);
    childBackColour = 0xDCDCDC;
    childTextColour = 0;
    onChildTip = &ChartViewHandlers::Tip;
    onWheelWithKeys = &ChartViewHandlers::Wheel;
    onGotFocus = &ChartViewHandlers::Focus;
    onLostFocus = &ChartViewHandlers::Focus;
    onKeyDown = &ChartViewHandlers::Key;
    onMenuKey = &ChartViewHandlers::MenuKey;
    Create();

    titleCell = parts.Add(new QVUtility::CellControl(this));
    titleCell->SetBackColour(backColour);
    titleCell->textColour = 0;
    titleCell->SetSize(static_cast<int>(GetSystemMetrics(SM_CXSCREEN) * 0.9), layout.titleHeight);
    titleCell->font = captionFont;
    titleCell->x = layout.titleLeft;
    titleCell->y = 0;
    titleCell->Create();
    ShowWindow(titleCell->window, SW_HIDE);

    ruler = parts.Add(new QVUtility::TimeLine(this));
    ruler->labelsInView = true;
    ruler->x = 0;
    ruler->y = layout.rulerTop;
    ruler->Create();
    ShowWindow(ruler->window, SW_HIDE);
    // The title and the ruler stay at the top while the rows scroll.
    KeepInBand(titleCell);
    KeepInBand(ruler);
}

void ChartView::BuildTodayLine(int controlId) {
    todayLine = parts.Add(new QVUtility::CellControl(this));
    todayLine->fixedId = controlId;
    todayLine->SetBackColour(TodayLineColour);
    todayLine->fillBackground = true;
    todayLine->tabStop = false;
    todayLine->SetSize(1, 1);
    todayLine->Create();
    ShowWindow(todayLine->window, SW_HIDE);
}

void ChartView::ApplyScale() {
    layout = ChartLayout(Scale());
    if (titleCell != nullptr) {
        titleCell->SetSize(titleCell->width, layout.titleHeight);
        if (titleCell->window != nullptr) InvalidateRect(titleCell->window, nullptr, TRUE);
    }
    if (ruler != nullptr) ruler->SetSize(ruler->width, Scale()(QVUtility::TimeLine::NormalHeight));
}

// ---- The state ----------------------------------------------------------------------------

RECT ChartView::Client() const {
    RECT client{};
    if (window != nullptr) GetClientRect(window, &client);
    return client;
}

int ChartView::SelectedRow() const { return selectedTaskId == 0 ? -1 : FindTaskById(project, selectedTaskId); }

int ChartView::RowsPerPage() const {
    const std::int64_t band = Client().bottom - layout.RowsTop();
    return static_cast<int>(std::max<std::int64_t>(1, band / std::max(1, layout.rowPitch)));
}

std::size_t ChartView::LastFirstRow() const {
    const std::size_t whole = static_cast<std::size_t>(RowsPerPage());
    // The rows the scroll range reaches (it is cut where 32 bits end).
    const std::size_t reachable = static_cast<std::size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(layout.Rows()), ChartLayout::TallestContent / std::max(1, layout.rowPitch)));
    return reachable > whole ? reachable - whole : 0;
}

std::int64_t ChartView::LastFirstX() const { return std::max<std::int64_t>(0, layout.Width() - Client().right); }

void ChartView::Clamp() {
    firstRow = std::min(firstRow, LastFirstRow());
    firstX = std::clamp<std::int64_t>(firstX, 0, LastFirstX());
}

void ChartView::WriteScrollPositions() {
    if (window == nullptr) return;
    const bool wasPlacing = placing;
    placing = true;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    if (HasScrollBar(SB_HORZ)) {
        info.nPos = static_cast<int>(std::min<std::int64_t>(firstX, INT_MAX));
        SetScrollInfo(window, SB_HORZ, &info, TRUE);
    }
    if (HasScrollBar(SB_VERT)) {
        info.nPos = static_cast<int>(
            std::min<std::int64_t>(static_cast<std::int64_t>(firstRow) * layout.rowPitch, INT_MAX));
        SetScrollInfo(window, SB_VERT, &info, TRUE);
    }
    placing = wasPlacing;
}

void ChartView::ScrollContent(HWND, int, int) {
    // The scroll bar moved (the user's scroll, or ScrollTo): its position is
    // the new state. Nothing is moved by its pixels: Place puts every child
    // where the state says.
    if (placing || !built) return;
    firstX = ScrollPosition(SB_HORZ);
    firstRow = static_cast<std::size_t>(ScrollPosition(SB_VERT) / std::max(1, layout.rowPitch));
    Settle();
}

void ChartView::Settle() {
    Clamp();
    WriteScrollPositions();
    Place();
}

void ChartView::ShowRowFirst(std::size_t row) {
    if (!built) return;
    firstRow = row;
    Settle();
}

void ChartView::ScrollToX(std::int64_t x) {
    if (!built) return;
    firstX = x;
    Settle();
}

void ChartView::RevealRow(std::size_t row) {
    if (!built || row >= layout.Rows()) return;
    // A row of margin above or below, when the view has room for it.
    const std::size_t whole = static_cast<std::size_t>(RowsPerPage());
    const std::size_t margin = whole > 2 ? 1 : 0;
    if (row < firstRow) {
        firstRow = row >= margin ? row - margin : 0;
    } else if (row >= firstRow + whole) {
        firstRow = row + margin + 1 - whole;
    }
    // Sideways only when no part of the bar is in view: then its start.
    const BarSpan bar = layout.Bar(project.tasks[row]);
    const RECT client = Client();
    if (bar.left + bar.width <= firstX || bar.left >= firstX + client.right) firstX = bar.left - layout.rowPitch;
    Settle();
}

void ChartView::Select(int taskId) {
    selectedTaskId = taskId;
    Place();  // binds each bar's mark to its task
}

// ---- From pixels to the project -------------------------------------------------------------

std::optional<std::int64_t> ChartView::DayAt(int clientX) const {
    if (!built || ruler == nullptr) return std::nullopt;
    const std::int64_t day = layout.ColumnAt(firstX + clientX);
    if (day < 0 || day >= ruler->ColumnCount()) return std::nullopt;
    return day;
}

std::optional<std::size_t> ChartView::RowAt(int clientY) const {
    const std::int64_t inBand = clientY - layout.RowsTop();
    if (!built || inBand < 0 || layout.rowPitch <= 0) return std::nullopt;
    const std::size_t row = firstRow + static_cast<std::size_t>(inBand / layout.rowPitch);
    if (row >= layout.Rows()) return std::nullopt;
    return row;
}

const Task& ChartView::ShownTask(std::size_t row) const {
    const Task* dragged = drag->Shown(row);
    return dragged != nullptr ? *dragged : project.tasks[row];
}

void ChartView::ShowRow(std::size_t row) {
    if (window == nullptr || !built || bars.empty() || layout.Rows() != project.tasks.size()) return;
    ChartBar* bar = bars[row % bars.size()];
    if (bar->row == row) BindBar(bar, row, static_cast<int>(Client().right));
}

int ChartView::TaskAt(int clientY) const {
    const std::optional<std::size_t> row = RowAt(clientY);
    return row && *row < project.tasks.size() ? project.tasks[*row].id : 0;
}

// ---- Shaping and fitting --------------------------------------------------------------------

bool ChartView::Shape() {
    if (window == nullptr || titleCell == nullptr || ruler == nullptr) return false;
    titleCell->SetTextNarrow(project.description);
    ShowWindow(titleCell->window, SW_SHOWNA);
    built = true;

    ruler->SetProject(project.start, project.end, project.includeDays, project.excludeDays, project.workingWeekdays);
    ruler->accessibleDescription =
        QVUtility::Widen("dal " + FormatDate(project.start) + " al " + FormatDate(project.end));
    ApplyZoomToRuler();
    ShowWindow(ruler->window, SW_SHOWNA);
    int rulerHeight = ruler->height;
    RECT outer{};
    if (GetWindowRect(ruler->window, &outer)) rulerHeight = outer.bottom - outer.top;
    // The width the ruler gave itself for the span (the platform may cap the
    // size of a window, the export must not be).
    layout = ChartLayout(project, ruler->dayWidth, ruler->width, rulerHeight, Scale(), ruler->columnDivisor);
    // The title and the ruler stay at the top while the rows scroll, a row
    // at a time.
    fixedTop = static_cast<int>(layout.RowsTop());
    lineHeight = layout.rowPitch;
    snapToLines = true;
    stopAtEnd = true;
    lineWidth = static_cast<int>(std::max<std::int64_t>(1, layout.ColumnLeft(1)));
    return true;
}

void ChartView::Rebuild(bool fromStart) {
    if (!Shape()) return;
    if (fromStart) {
        firstRow = 0;
        firstX = 0;
    }
    for (ChartBar* bar : bars) bar->row = ChartBar::NoRow;  // every bar shows its task afresh
    FitToView();
}

void ChartView::FitToView() {
    if (window == nullptr || !built) return;
    placing = true;
    // The rows scroll until the last is at the bottom of the view, as the
    // task table's do, so that the two stay level.
    const std::int64_t contentHeight = std::min<std::int64_t>(
        layout.RowsTop() + static_cast<std::int64_t>(layout.Rows()) * layout.rowPitch, ChartLayout::TallestContent);
    // Showing one scroll bar narrows the view for the other: a few rounds
    // settle them.
    for (int round = 0; round < 3; ++round) {
        const RECT client = Client();
        const bool wide = layout.Width() > client.right;
        const bool tall = contentHeight > client.bottom;
        if (wide == HasScrollBar(SB_HORZ) && tall == HasScrollBar(SB_VERT)) break;
        if (wide != HasScrollBar(SB_HORZ)) ShowHorizontalBar(wide);
        if (tall != HasScrollBar(SB_VERT)) ShowVerticalBar(tall);
    }
    if (HasScrollBar(SB_HORZ)) SetContentWidth(static_cast<int>(std::min<std::int64_t>(layout.Width(), INT_MAX)));
    if (HasScrollBar(SB_VERT)) {
        // Scrolled to the end, the first row shown starts at the top of the
        // rows' band, as the task table's does: the part of a row the view
        // holds beyond whole rows goes past the end.
        const int band = static_cast<int>(Client().bottom - layout.RowsTop());
        const int pitch = std::max(1, layout.rowPitch);
        SetContentHeight(static_cast<int>(contentHeight) + (band > 0 ? band % pitch : 0));
    }
    placing = false;
    Settle();
    if (onViewChanged) onViewChanged();  // zooming out is for a chart wider than its view
}

// ---- Placing ------------------------------------------------------------------------------------

void ChartView::Place() {
    // A project changed since the chart was shaped is placed once shaped again.
    if (window == nullptr || !built || layout.Rows() != project.tasks.size()) return;
    const RECT client = Client();

    // The title stays at the top in the middle of the view; the ruler shows
    // the days from the view's left edge.
    PlaceChild(titleCell->window, window, 0, 0, client.right, layout.titleHeight);
    ShowChild(titleCell->window, true);
    if (ruler->window != nullptr) {
        RECT outer{};
        GetWindowRect(ruler->window, &outer);
        POINT corner{outer.left, outer.top};
        ScreenToClient(window, &corner);
        PlaceChild(ruler->window, window, corner.x, layout.rulerTop);
        ruler->ShowFrom(firstX);
    }

    // Row r is shown by bars[r % bars.size()]: there are at least as many
    // bars as rows near the view, so no two of those rows share one.
    const std::size_t needed = layout.RowsNearAtMost(client.bottom);
    while (bars.size() < needed) {
        auto* bar = parts.Add(new ChartBar(this));
        bar->onRightButtonUp = &ChartViewHandlers::BarRightClick;
        bar->onLeftButtonDown = &ChartViewHandlers::BarLeftClick;
        bar->onLeftDoubleClick = &ChartViewHandlers::BarDoubleClick;
        bar->onSummary = &ChartViewHandlers::BarSummary;
        bar->onMouseMove = &ChartViewHandlers::BarMouseMove;
        bar->onLeftButtonUp = &ChartViewHandlers::BarLeftUp;
        bar->onCursor = &ChartViewHandlers::BarCursor;
        bar->onCaptureLost = &ChartViewHandlers::BarCaptureLost;
        bar->systemColours = systemColours;
        bar->font = barFont;
        bars.push_back(bar);
    }
    PlaceTodayLine(client);
    if (!bars.empty()) {
        // The rows' band of the view lies under the title and the ruler.
        const std::int64_t rowsTop = layout.RowsTop();
        const std::int64_t scrollY = static_cast<std::int64_t>(firstRow) * layout.rowPitch;
        const RowRange inView = layout.RowsNear(scrollY + rowsTop, std::max(0, static_cast<int>(client.bottom - rowsTop)));
        std::vector<bool> inUse(bars.size(), false);
        for (std::size_t row = inView.first; row < inView.end; ++row) {
            const std::size_t slot = row % bars.size();
            inUse[slot] = true;
            BindBar(bars[slot], row, client.right);
        }
        for (std::size_t slot = 0; slot < bars.size(); ++slot) {
            if (inUse[slot]) continue;
            bars[slot]->row = ChartBar::NoRow;
            ShowChild(bars[slot]->window, false);
        }
    }
    ShowFocus();
    if (onFirstRow) onFirstRow(firstRow);
}

void ChartView::BindBar(ChartBar* bar, std::size_t row, int clientWidth) {
    const Task& task = ShownTask(row);
    const BarWindowSpan span = ChartLayout::WindowSpan(layout.Bar(task), static_cast<int>(firstX), clientWidth);
    const bool rebound = bar->row != row || bar->taskId != task.id || bar->window == nullptr;
    if (rebound) {
        bar->row = row;
        bar->taskId = task.id;
        bar->tag = std::to_string(task.id);
        bar->backColour = task.colour;
        bar->fillBackground = true;
        bar->textColour = BarTextColour(task.colour);
        bar->text = QVUtility::Widen(task.description);
    }
    const bool selected = task.id == selectedTaskId;
    const bool marked = bar->selected != selected;
    bar->selected = selected;
    // The label goes in the part of the bar in view.
    const int shownLeft = std::max(0, -span.left);
    const int shownRight = std::min(span.width, clientWidth - span.left);
    const bool moved = bar->shownLeft != shownLeft || bar->shownRight != shownRight;
    bar->shownLeft = shownLeft;
    bar->shownRight = shownRight;
    bar->x = span.left;
    bar->y = static_cast<int>(layout.RowTop(row) - static_cast<std::int64_t>(firstRow) * layout.rowPitch);
    bar->width = span.width;
    bar->height = layout.barHeight;
    // A row scrolled up under the title and the ruler is not shown.
    const bool shown = span.shown && bar->y >= layout.RowsTop();
    if (bar->window == nullptr) {
        // Made in its place with its colour and text, so that its window is
        // drawn once. When the platform refuses, the row stays empty and the
        // next binding tries again.
        bar->Create();
        AddChildTip(bar);
        ShowChild(bar->window, shown);
        return;
    }
    if (rebound) SetWindowTextW(bar->window, bar->text.c_str());
    if (rebound || marked || moved) InvalidateRect(bar->window, nullptr, FALSE);
    if (shown) PlaceChild(bar->window, window, bar->x, bar->y, bar->width, bar->height);
    ShowChild(bar->window, shown);
}

void ChartView::PlaceTodayLine(const RECT& client) {
    if (todayLine == nullptr || todayLine->window == nullptr) return;
    const std::optional<std::int64_t> column = TodayColumn();
    const std::int64_t centre =
        column ? (layout.ColumnLeft(*column) + layout.ColumnLeft(*column + 1)) / 2 - firstX : -1;
    const int lineWidth = std::max(1, Scale()(2));
    const bool shown = column && centre >= 0 && centre < client.right;
    if (shown) {
        todayLine->x = static_cast<int>(centre) - lineWidth / 2;
        todayLine->y = static_cast<int>(layout.RowsTop());
        todayLine->width = lineWidth;
        todayLine->height = std::max(0, static_cast<int>(client.bottom) - todayLine->y);
        SetWindowPos(todayLine->window, nullptr, todayLine->x, todayLine->y, todayLine->width, todayLine->height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowChild(todayLine->window, shown);
}

}  // namespace MyApp
