// Choosing a task on the chart: a left or right click on its bar, the up
// and down arrows; a double click or Invio edits it and Canc deletes it
// (FormMainCommands.cpp). The selection is a task's id, so it stays with
// its task whatever bar windows the view binds to which rows.
#include <algorithm>
#include <cstdint>

#include "app/main/FormMain.h"
#include "toolkit/core/Menu.h"
#include "toolkit/widgets/PanelChildren.h"

namespace MyApp {

namespace {

// The scroll position that brings the span [first, last) into a view of
// `size` pixels now at `position`, with `margin` pixels around it when they
// fit; the position itself when the span is in view already.
std::int64_t Reveal(std::int64_t position, int size, std::int64_t first, std::int64_t last, int margin) {
    if (first < position) return std::max<std::int64_t>(0, first - margin);
    if (last > position + size) return std::min(first - margin, last + margin - size);
    return position;
}

}  // namespace

void FormMain::SelectTask(int taskId) {
    selectedTaskId = taskId;
    PlaceBars();  // binds each bar's mark to its task
    UpdateSelectionCommands();
}

void FormMain::UpdateSelectionCommands() {
    const bool any = SelectedTaskIndex() >= 0;
    for (QVUtility::SubMenu* item : {editSelectedItem, deleteSelectedItem}) {
        if (item != nullptr && item->enabled != any) item->SetEnabled(any);
    }
}

void FormMain::MoveSelection(int step) {
    if (project.tasks.empty() || !chartBuilt) return;
    const int current = SelectedTaskIndex();
    const std::int64_t last = static_cast<std::int64_t>(project.tasks.size()) - 1;
    const std::int64_t row = current < 0 ? 0 : std::clamp<std::int64_t>(current + step, 0, last);
    SelectTask(project.tasks[static_cast<std::size_t>(row)].id);
    ScrollRowIntoView(static_cast<std::size_t>(row));
}

void FormMain::ScrollRowIntoView(std::size_t row) {
    if (chartPanel == nullptr || chartPanel->window == nullptr || row >= chartLayout.Rows()) return;
    RECT client{};
    GetClientRect(chartPanel->window, &client);
    const int scrollY = chartPanel->ScrollPosition(SB_VERT);
    const std::int64_t top = chartLayout.RowTop(row);
    const std::int64_t wantedY = Reveal(scrollY, client.bottom, top, top + chartLayout.barHeight, chartLayout.rowPitch);
    if (wantedY != scrollY)
        chartPanel->ScrollTo(SB_VERT, static_cast<int>(std::min<std::int64_t>(wantedY, contentHeight)));
    // Sideways only when no part of the bar is in view: then its start.
    const int scrollX = chartPanel->ScrollPosition(SB_HORZ);
    const BarSpan bar = chartLayout.Bar(project.tasks[row]);
    if (bar.left + bar.width <= scrollX || bar.left >= scrollX + client.right) {
        const std::int64_t wantedX = std::clamp<std::int64_t>(bar.left - chartLayout.rowPitch, 0, chartWidth);
        chartPanel->ScrollTo(SB_HORZ, static_cast<int>(wantedX));
    }
}

void FormMain::OnBarLeftClick(QVUtility::GUIElement* element) {
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (bar != nullptr && bar->Bound()) SelectTask(bar->taskId);
}

void FormMain::OnBarDoubleClick(QVUtility::GUIElement* element) {
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (bar == nullptr || !bar->Bound()) return;
    SelectTask(bar->taskId);
    EditTask();
}

}  // namespace MyApp
