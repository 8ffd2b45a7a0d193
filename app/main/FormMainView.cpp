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
const wchar_t* const FitWidthSetting = L"ZoomAdattaLarghezza";
const wchar_t* const FitDaysSetting = L"ZoomAdattaGiorni";
// The zoom setting's value for a width fitted to the project.
constexpr std::uint32_t FittedZoom = 1000;


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
    ShowTask(project.tasks[*found].id, false);
}

// ---- Zoom ----------------------------------------------------------------------------

double FormMain::PixelsPerDay(std::size_t level) const {
    const ZoomStep step = ZoomAt(level);
    if (level == 0 && ruler != nullptr)
        return QVUtility::TimeLine::ColumnWidthFor(ruler->ColumnCount(), QVUtility::DisplayScale());
    return static_cast<double>(step.width) / static_cast<double>(step.divisor);
}

double FormMain::ZoomPixelsPerDay() const {
    return zoomFitted ? static_cast<double>(fittedZoom.width) / static_cast<double>(fittedZoom.divisor)
                      : PixelsPerDay(zoomLevel);
}

bool FormMain::CanZoomIn() const { return zoomFitted || zoomLevel > 0; }

bool FormMain::CanZoomOut() const {
    const bool narrower = zoomFitted || zoomLevel + 1 < ZoomLevels;
    return narrower && chartPanel != nullptr && chartPanel->HasScrollBar(SB_HORZ);
}

void FormMain::Zoom(int step) {
    // From a fitted width, the next level wider or narrower than it.
    const double now = ZoomPixelsPerDay();
    std::size_t level = zoomLevel;
    if (zoomFitted) {
        level = step < 0 ? 0 : ZoomLevels - 1;
        for (std::size_t i = 0; i < ZoomLevels; ++i) {
            if (step < 0 && PixelsPerDay(i) > now) level = i;
            if (step > 0 && PixelsPerDay(i) < now) {
                level = i;
                break;
            }
        }
    } else {
        const std::int64_t next = static_cast<std::int64_t>(zoomLevel) + step;
        level = static_cast<std::size_t>(std::clamp<std::int64_t>(next, 0, ZoomLevels - 1));
    }
    ChangeZoom(level, false, ZoomStep());
}

void FormMain::ZoomToFit() {
    if (chartPanel == nullptr || chartPanel->window == nullptr || ruler == nullptr) return;
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    // The whole span in the panel's width, at 96 DPI; the ruler's own width
    // when the span fits at it already.
    const std::int64_t width = scale.ToBase(client.right) - 2;
    const std::int64_t days = std::max<std::int64_t>(1, ruler->ColumnCount());
    if (width <= 0) return;
    if (days * PixelsPerDay(0) <= width) {
        ChangeZoom(0, false, ZoomStep());
    } else {
        ChangeZoom(zoomLevel, true, ZoomStep{width, days});
    }
}

void FormMain::ChangeZoom(std::size_t level, bool fitted, ZoomStep fit) {
    if (chartPanel == nullptr || chartPanel->window == nullptr) return;
    if (level == zoomLevel && fitted == zoomFitted && (!fitted || (fit.width == fittedZoom.width && fit.divisor == fittedZoom.divisor)))
        return;
    // What stays where it is on screen: the selected task's first day when
    // its bar is in view, else the day in the middle of the view.
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    const int scrollX = chartPanel->ScrollPosition(SB_HORZ);
    std::int64_t anchorX = scrollX + client.right / 2;
    const int selected = SelectedTaskIndex();
    if (selected >= 0) {
        const BarSpan bar = chartLayout.Bar(project.tasks[static_cast<std::size_t>(selected)]);
        if (bar.left + bar.width > scrollX && bar.left < scrollX + client.right)
            anchorX = std::max(bar.left, std::int64_t{scrollX});
    }
    const double anchorDay = chartLayout.DayAt(anchorX);
    const std::int64_t onScreen = anchorX - scrollX;

    zoomLevel = level;
    zoomFitted = fitted;
    fittedZoom = fit;
    WriteSetting(ZoomSetting, static_cast<std::uint32_t>(fitted ? FittedZoom : zoomLevel));
    WriteSetting(FitWidthSetting, static_cast<std::uint32_t>(fit.width));
    WriteSetting(FitDaysSetting, static_cast<std::uint32_t>(fit.divisor));
    const int scrollY = chartPanel->ScrollPosition(SB_VERT);
    // The rows and the table stay as they are; the ruler, the bars' widths
    // and the scroll range change. Drawn once, when all is in place: the
    // bars and the ruler are placed then.
    if (!ShapeChart()) return;
    SendMessageW(chartPanel->window, WM_SETREDRAW, FALSE, 0);
    holdingBars = true;
    UpdateScrollBars();
    chartPanel->ScrollTo(SB_VERT, scrollY);
    const std::int64_t wanted = chartLayout.XOfDay(anchorDay) - onScreen;
    chartPanel->ScrollTo(SB_HORZ, static_cast<int>(std::clamp<std::int64_t>(wanted, 0, chartWidth)));
    holdingBars = false;
    for (ChartBar* bar : bars) bar->row = ChartBar::NoRow;  // every bar shows its new width
    PlaceBars();
    SendMessageW(chartPanel->window, WM_SETREDRAW, TRUE, 0);
    ruler->FollowParent();
    RedrawWindow(chartPanel->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    UpdateCommands();
}

void FormMain::LoadZoom() {
    const std::uint32_t kept = ReadSetting(ZoomSetting, 0);
    zoomFitted = kept == FittedZoom;
    zoomLevel = zoomFitted ? 0 : std::min<std::size_t>(kept, ZoomLevels - 1);
    fittedZoom = ZoomStep{static_cast<std::int64_t>(ReadSetting(FitWidthSetting, 1)),
                          static_cast<std::int64_t>(ReadSetting(FitDaysSetting, 1))};
    if (fittedZoom.width < 1 || fittedZoom.divisor < 1) zoomFitted = false;
}

void FormMain::ApplyZoomToRuler() {
    if (ruler == nullptr || (zoomLevel == 0 && !zoomFitted)) return;
    // The level's width at 96 DPI, made the screen's.
    const ZoomStep step = zoomFitted ? fittedZoom : ZoomAt(zoomLevel);
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
        todayLine->x = static_cast<int>(centre) - lineWidth / 2;
        todayLine->y = static_cast<int>(chartLayout.RowsTop());
        todayLine->width = lineWidth;
        todayLine->height = std::max(0, static_cast<int>(client.bottom) - todayLine->y);
        SetWindowPos(todayLine->window, nullptr, todayLine->x, todayLine->y, todayLine->width, todayLine->height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if ((IsWindowVisible(todayLine->window) != FALSE) != shown) ShowWindow(todayLine->window, shown ? SW_SHOWNA : SW_HIDE);
}

}  // namespace MyApp
