// What the main window shows of the project, and where: "Trova..." and F3,
// the zoom levels, the line that marks today and "Vai a oggi".
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/dialogs/FormTrova.h"
#include "app/main/ChartZoom.h"
#include "app/main/FormMain.h"
#include "app/settings/Settings.h"
#include "model/TaskSearch.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TimeLine.h"

namespace MyApp {

std::function<Date()> chartToday = [] { return DateOnly(LocalNow()); };

namespace {

const wchar_t* const ZoomSetting = L"Zoom";


}  // namespace

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
    ShowTask(project.tasks[*found].id);
}

// ---- Zoom ----------------------------------------------------------------------------

bool FormMain::CanZoomOut() const { return zoomLevel + 1 < ZoomLevels; }

void FormMain::Zoom(int step) {
    const std::int64_t level = static_cast<std::int64_t>(zoomLevel) + step;
    SetZoom(static_cast<std::size_t>(std::clamp<std::int64_t>(level, 0, ZoomLevels - 1)));
}

void FormMain::ZoomToFit() {
    if (chartPanel == nullptr || chartPanel->window == nullptr || ruler == nullptr) return;
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    // The span in the panel's width as it is without a horizontal scroll bar.
    const std::int64_t width = scale.ToBase(client.right);
    SetZoom(LevelToFit(ruler->ColumnCount(), width,
                       QVUtility::TimeLine::ColumnWidthFor(ruler->ColumnCount(), QVUtility::DisplayScale())));
}

void FormMain::SetZoom(std::size_t level) {
    if (level == zoomLevel || chartPanel == nullptr || chartPanel->window == nullptr) return;
    // What stays where it is on screen: the selected task's first day when
    // its bar is in view, else the day in the middle of the view.
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    const int scrollX = chartPanel->ScrollPosition(SB_HORZ);
    std::int64_t anchorX = scrollX + client.right / 2;
    const int selected = SelectedTaskIndex();
    if (selected >= 0) {
        const BarSpan bar = chartLayout.Bar(project.tasks[static_cast<std::size_t>(selected)]);
        if (bar.left + bar.width > scrollX && bar.left < scrollX + client.right) anchorX = std::max(bar.left, std::int64_t{scrollX});
    }
    const double anchorDay = chartLayout.DayAt(anchorX);
    const std::int64_t onScreen = anchorX - scrollX;

    zoomLevel = level;
    WriteSetting(ZoomSetting, static_cast<std::uint32_t>(zoomLevel));
    const int scrollY = chartPanel->ScrollPosition(SB_VERT);
    BuildChartRows();
    UpdateScrollBars();
    chartPanel->ScrollTo(SB_VERT, scrollY);
    const std::int64_t wanted = chartLayout.XOfDay(anchorDay) - onScreen;
    chartPanel->ScrollTo(SB_HORZ, static_cast<int>(std::clamp<std::int64_t>(wanted, 0, chartWidth)));
    PlaceBars();
    UpdateCommands();
}

void FormMain::ApplyZoomToRuler() {
    if (ruler == nullptr || zoomLevel == 0) return;
    if (zoomLevel >= ZoomLevels) zoomLevel = ZoomLevels - 1;
    // The level's width at 96 DPI, made the screen's.
    const ZoomStep step = ZoomAt(zoomLevel);
    ruler->SetColumnWidth(step.width * scale.Dpi(), step.divisor * QVUtility::DisplayScale::BaseDpi);
}

// ---- Today ---------------------------------------------------------------------------

std::optional<std::int64_t> FormMain::TodayColumn() const {
    if (!projectOpen) return std::nullopt;
    const Date today = chartToday();
    if (today.invalid || CompareDates(today, project.start) < 0 || CompareDates(today, project.end) > 0)
        return std::nullopt;
    return DaysUntil(project.start, today);
}

void FormMain::GoToToday() {
    const std::optional<std::int64_t> column = TodayColumn();
    if (!column || chartPanel == nullptr || chartPanel->window == nullptr) return;
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    const std::int64_t x = chartLayout.ColumnLeft(*column);
    chartPanel->ScrollTo(SB_HORZ, static_cast<int>(std::clamp<std::int64_t>(x - client.right / 2, 0, chartWidth)));
}

void FormMain::PlaceTodayLine(int scrollX, const RECT& client) {
    if (todayLine == nullptr) return;
    const std::optional<std::int64_t> column = chartBuilt ? TodayColumn() : std::nullopt;
    const std::int64_t centre =
        column ? (chartLayout.ColumnLeft(*column) + chartLayout.ColumnLeft(*column + 1)) / 2 - scrollX : -1;
    const int lineWidth = std::max(1, scale(2));
    const bool shown = column && centre >= 0 && centre < client.right;
    if (shown) {
        const int top = static_cast<int>(chartLayout.RowsTop());
        SetWindowPos(todayLine->window, nullptr, static_cast<int>(centre) - lineWidth / 2, top, lineWidth,
                     std::max(0, static_cast<int>(client.bottom) - top), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((IsWindowVisible(todayLine->window) != FALSE) != shown) ShowWindow(todayLine->window, shown ? SW_SHOWNA : SW_HIDE);
}

}  // namespace MyApp
