// The chart's zoom: its levels, the width fitted to the view, the zoom a new
// project starts at and the zoom kept for the user; the line that marks
// today and "Vai a oggi".
#include <algorithm>
#include <cstdint>

#include "app/main/ChartView.h"
#include "app/settings/Settings.h"
#include "toolkit/widgets/TimeLine.h"

namespace MyApp {

namespace {

const wchar_t* const ZoomSetting = L"Zoom";
const wchar_t* const FitWidthSetting = L"ZoomAdattaLarghezza";
const wchar_t* const FitDaysSetting = L"ZoomAdattaGiorni";
// The zoom setting's value for a width fitted to the view.
constexpr std::uint32_t FittedZoom = 1000;

double PixelsOf(const ZoomStep& step) { return static_cast<double>(step.width) / static_cast<double>(step.divisor); }

}  // namespace

// ---- Levels -------------------------------------------------------------------------------

double ChartView::LevelPixelsPerDay(std::size_t level) const {
    if (level == 0 && ruler != nullptr)
        return QVUtility::TimeLine::ColumnWidthFor(ruler->ColumnCount(), QVUtility::DisplayScale());
    return PixelsOf(ZoomAt(level));
}

double ChartView::PixelsPerDay() const { return zoomFitted ? PixelsOf(fittedZoom) : LevelPixelsPerDay(zoomLevel); }

std::optional<ZoomStep> ChartView::FitForView() const {
    if (window == nullptr || ruler == nullptr) return std::nullopt;
    // The whole span in the view's width, at 96 DPI.
    const std::int64_t width = Scale().ToBase(Client().right) - 2;
    const std::int64_t days = std::max<std::int64_t>(1, ruler->ColumnCount());
    if (width <= 0 || days * LevelPixelsPerDay(0) <= width) return std::nullopt;
    return ZoomStep{width, days};
}

bool ChartView::CanZoomIn() const { return built && (zoomFitted || zoomLevel > 0); }

bool ChartView::CanZoomOut() const {
    // Only while the chart is wider than its view: past that it would only
    // shrink into a corner.
    return built && FitForView().has_value() && layout.Width() > Client().right;
}

void ChartView::Zoom(int step) {
    const double now = PixelsPerDay();
    std::optional<std::size_t> level;
    if (step < 0) {
        // The narrowest level wider than now.
        for (std::size_t i = 0; i < ZoomLevels; ++i)
            if (LevelPixelsPerDay(i) > now) level = i;
        SetZoom(level.value_or(0), false, ZoomStep());
        return;
    }
    if (!CanZoomOut()) return;
    // The widest level narrower than now, but never narrower than the
    // width at which the whole span fits the view: that width instead.
    for (std::size_t i = 0; i < ZoomLevels && !level; ++i)
        if (LevelPixelsPerDay(i) < now) level = i;
    const std::optional<ZoomStep> fit = FitForView();
    if (fit && (!level || LevelPixelsPerDay(*level) < PixelsOf(*fit))) {
        SetZoom(zoomLevel, true, *fit);
    } else if (level) {
        SetZoom(*level, false, ZoomStep());
    }
}

void ChartView::ZoomToFit() {
    if (window == nullptr || ruler == nullptr || Client().right <= 0) return;
    const std::optional<ZoomStep> fit = FitForView();
    if (fit) {
        SetZoom(zoomLevel, true, *fit);
    } else {
        SetZoom(0, false, ZoomStep());
    }
}

void ChartView::ZoomForNewProject() {
    if (!built) return;
    // A fitted width belongs to the span it was fitted to; a level that
    // shows the new span narrower than the view would leave it in a corner.
    const bool narrow = (zoomFitted || zoomLevel > 0) && layout.Width() < Client().right;
    if (zoomFitted || narrow) ZoomToFit();
}

void ChartView::SetZoom(std::size_t level, bool fitted, ZoomStep fit) {
    if (window == nullptr) return;
    if (level == zoomLevel && fitted == zoomFitted &&
        (!fitted || (fit.width == fittedZoom.width && fit.divisor == fittedZoom.divisor)))
        return;
    // What stays where it is on screen: the selected task's first day when
    // its bar is in view, else the day in the middle of the view.
    const RECT client = Client();
    std::int64_t anchorX = firstX + client.right / 2;
    const int selected = SelectedRow();
    if (selected >= 0 && built) {
        const BarSpan bar = layout.Bar(project.tasks[static_cast<std::size_t>(selected)]);
        if (bar.left + bar.width > firstX && bar.left < firstX + client.right) anchorX = std::max(bar.left, firstX);
    }
    const double anchorDay = layout.DayAt(anchorX);
    const std::int64_t onScreen = anchorX - firstX;

    zoomLevel = level;
    zoomFitted = fitted;
    fittedZoom = fit;
    SaveZoom();
    // The rows and the table stay as they are; the ruler, the bars' widths
    // and the scroll range change. Drawn once, when all is in place.
    if (!built || !Shape()) return;
    SendMessageW(window, WM_SETREDRAW, FALSE, 0);
    firstX = layout.XOfDay(anchorDay) - onScreen;
    for (ChartBar* bar : bars) bar->row = ChartBar::NoRow;  // every bar shows its new width
    FitToView();
    SendMessageW(window, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void ChartView::LoadZoom() {
    const std::uint32_t kept = ReadSetting(ZoomSetting, 0);
    zoomFitted = kept == FittedZoom;
    zoomLevel = zoomFitted ? 0 : std::min<std::size_t>(kept, ZoomLevels - 1);
    fittedZoom = ZoomStep{static_cast<std::int64_t>(ReadSetting(FitWidthSetting, 1)),
                          static_cast<std::int64_t>(ReadSetting(FitDaysSetting, 1))};
    if (fittedZoom.width < 1 || fittedZoom.divisor < 1) zoomFitted = false;
}

void ChartView::SaveZoom() const {
    WriteSetting(ZoomSetting, static_cast<std::uint32_t>(zoomFitted ? FittedZoom : zoomLevel));
    WriteSetting(FitWidthSetting, static_cast<std::uint32_t>(fittedZoom.width));
    WriteSetting(FitDaysSetting, static_cast<std::uint32_t>(fittedZoom.divisor));
}

void ChartView::ApplyZoomToRuler() {
    if (ruler == nullptr || (zoomLevel == 0 && !zoomFitted)) return;
    // The level's width at 96 DPI, made the screen's.
    const ZoomStep step = zoomFitted ? fittedZoom : ZoomAt(zoomLevel);
    ruler->SetColumnWidth(step.width * Scale().Dpi(), step.divisor * QVUtility::DisplayScale::BaseDpi);
}

// ---- Today -------------------------------------------------------------------------------

std::optional<std::int64_t> ChartView::TodayColumn() const {
    if (!built || !today) return std::nullopt;
    const Date day = today();
    if (day.invalid || CompareDates(day, project.start) < 0 || CompareDates(day, project.end) > 0)
        return std::nullopt;
    return DaysUntil(project.start, day);
}

void ChartView::GoToToday() {
    const std::optional<std::int64_t> column = TodayColumn();
    if (column) ScrollToX(layout.ColumnLeft(*column) - Client().right / 2);
}

}  // namespace MyApp
