// The task table: its columns, the texts of its cells counted as the cost
// report counts them, the widths kept for the user, and what the user does
// in it told to the window.
#include "app/main/TaskTable.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/main/TaskCellEditor.h"
#include "app/settings/Settings.h"
#include "model/CostReport.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

struct TableColumn {
    const wchar_t* title;
    int width;  // at 96 DPI
    bool alignRight;
};
const TableColumn TableColumns[] = {
    {L"Descrizione", 180, false},     {L"Inizio", 80, false}, {L"Fine", 80, false},
    {L"Giorni lavorativi", 70, true}, {L"Risorse", 60, true}, {L"Costo giornaliero", 100, true},
    {L"Costo", 110, true},
};
constexpr int ColumnCount = static_cast<int>(sizeof TableColumns / sizeof TableColumns[0]);
constexpr int DailyCostColumn = 5;
constexpr int CostColumn = 6;
// What the control keeps beside a cell's text, at 96 DPI.
constexpr int AmountMargin = 16;

std::wstring ColumnSetting(int column) { return L"TabellaColonna" + std::to_wstring(column + 1); }

TaskTable* TableOf(QVUtility::ListView* list) { return dynamic_cast<TaskTable*>(list); }

}  // namespace

// ---- Handlers ---------------------------------------------------------------------------

struct TaskTableHandlers {
    static std::wstring Text(QVUtility::ListView* list, std::size_t row, int column) {
        const TaskTable* table = TableOf(list);
        return table != nullptr ? table->Cell(row, column) : std::wstring();
    }
    // A row of the project, or none for -1 and a row past the end.
    static bool Usable(const TaskTable* table, std::ptrdiff_t row) {
        return table != nullptr && row >= 0 && static_cast<std::size_t>(row) < table->project.tasks.size();
    }
    static void Select(QVUtility::ListView* list, std::ptrdiff_t row) {
        TaskTable* table = TableOf(list);
        if (Usable(table, row) && table->onChoose) table->onChoose(static_cast<std::size_t>(row));
    }
    static void Activate(QVUtility::ListView* list, std::ptrdiff_t row) {
        TaskTable* table = TableOf(list);
        if (table != nullptr) table->editor->ForgetClick();  // a double click opens the dialog instead
        if (Usable(table, row) && table->onOpen) table->onOpen(static_cast<std::size_t>(row));
    }
    static void CellClick(QVUtility::ListView* list, std::size_t row, int column) {
        if (TaskTable* table = TableOf(list)) table->editor->OpenAfterClick(row, column);
    }
    static void ContextMenu(QVUtility::ListView* list, std::ptrdiff_t row, int x, int y) {
        TaskTable* table = TableOf(list);
        if (Usable(table, row) && table->onMenu) table->onMenu(static_cast<std::size_t>(row), POINT{x, y});
    }
    static void Scroll(QVUtility::ListView* list, std::size_t topRow) {
        TaskTable* table = TableOf(list);
        if (table != nullptr) table->editor->Leave();  // the rows moved under the field
        if (table != nullptr && table->onTopRow) table->onTopRow(topRow);
    }
    static void ColumnWidth(QVUtility::ListView* list, int column, int width) {
        if (column >= 0 && column < ColumnCount)
            WriteSetting(ColumnSetting(column).c_str(), static_cast<std::uint32_t>(list->Scale().ToBase(width)));
    }
    static void Focus(QVUtility::GUIElement* element) {
        auto* table = dynamic_cast<TaskTable*>(element);
        if (table != nullptr && table->onFocus) table->onFocus();
    }
};

// ---- Making and filling -----------------------------------------------------------------

TaskTable::TaskTable(QVUtility::GUIElement* parentElement, const Project& shownProject)
    : ListView(parentElement), project(shownProject), editor(std::make_unique<TaskCellEditor>(*this)) {}

TaskTable::~TaskTable() = default;

void TaskTable::Build(QVUtility::FontDescription* rowFont, int rowPitch) {
    const QVUtility::DisplayScale scale = Scale();
    for (int c = 0; c < ColumnCount; ++c) {
        const int width = static_cast<int>(ReadSetting(ColumnSetting(c).c_str(), TableColumns[c].width));
        columns.push_back({TableColumns[c].title, scale(std::clamp(width, 10, 2000)), TableColumns[c].alignRight});
    }
    font = rowFont;
    rowHeight = rowPitch;
    // The selected row stands out while the chart has the keyboard too: the
    // control's own colour for it then is a light grey hardly seen.
    selectionAlwaysStrong = true;
    onItemText = &TaskTableHandlers::Text;
    onSelect = &TaskTableHandlers::Select;
    onActivate = &TaskTableHandlers::Activate;
    onSelectedCellClick = &TaskTableHandlers::CellClick;
    onContextMenu = &TaskTableHandlers::ContextMenu;
    onScroll = &TaskTableHandlers::Scroll;
    onColumnWidth = &TaskTableHandlers::ColumnWidth;
    onGotFocus = &TaskTableHandlers::Focus;
    Create();
}

void TaskTable::Fill(int rowPitch, std::ptrdiff_t selected) {
    editor->Cancel();  // the rows are the project's anew
    moving = nullptr;
    // The rows' font made anew for a screen of another density.
    ApplyFont();
    calendar = std::make_unique<WorkingDayCalendar>(project);
    format = UserAmountFormat();
    SetRowHeight(rowPitch);
    SetRowCount(project.tasks.size());
    WidenAmountColumns();
    RefreshRows();
    SelectRow(selected, false);
}

void TaskTable::RescaleColumns(QVUtility::DisplayScale from, QVUtility::DisplayScale to) {
    const std::vector<int> widths = ColumnWidths();
    for (std::size_t c = 0; c < widths.size(); ++c) SetColumnWidth(static_cast<int>(c), to(from.ToBase(widths[c])));
}

void TaskTable::WidenAmountColumns() {
    if (window == nullptr || font == nullptr) return;
    // The largest amount each column can show: a task's daily cost, and its
    // cost over every day of its span (its working days are no more).
    double dailyCost = 0.0, cost = 0.0;
    for (const Task& task : project.tasks) {
        dailyCost = std::max(dailyCost, std::abs(task.dailyCost));
        const double days = static_cast<double>(std::max<std::int64_t>(0, DaysUntil(task.start, task.end) + 1));
        cost = std::max(cost, std::abs(task.dailyCost) * std::max(0, task.resources) * days);
    }
    HDC context = GetDC(window);
    if (context == nullptr) return;
    const HGDIOBJ previous = SelectObject(context, font->GetFont());
    const auto needed = [&](double amount) {
        // Every digit as wide as the widest, a sign, and the control's margins.
        std::wstring text = QVUtility::Widen(FormatAmount(-amount, format));
        std::replace_if(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }, L'8');
        SIZE extent{};
        GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &extent);
        return static_cast<int>(extent.cx) + Scale()(AmountMargin);
    };
    const int widths[] = {needed(dailyCost), needed(cost)};
    SelectObject(context, previous);
    ReleaseDC(window, context);
    const std::vector<int> shown = ColumnWidths();
    const int amountColumns[] = {DailyCostColumn, CostColumn};
    for (int index = 0; index < 2; ++index) {
        const auto column = static_cast<std::size_t>(amountColumns[index]);
        if (column < shown.size() && shown[column] < widths[index]) SetColumnWidth(amountColumns[index], widths[index]);
    }
}

// ---- Texts --------------------------------------------------------------------------------

const Task& TaskTable::TaskOf(std::size_t row) const {
    return moving != nullptr && row == movingRow ? *moving : project.tasks[row];
}

void TaskTable::ShowMoving(std::size_t row, const Task* shown) {
    moving = shown;
    movingRow = row;
    RefreshRow(row);
}

std::wstring TaskTable::Cell(std::size_t row, int column) const {
    if (row >= project.tasks.size()) return std::wstring();
    const Task& task = TaskOf(row);
    switch (column) {
    case 0: return QVUtility::Widen(task.description);
    case 1: return QVUtility::Widen(FormatDate(task.start));
    case 2: return QVUtility::Widen(FormatDate(task.end));
    case 4: return std::to_wstring(task.resources);
    case DailyCostColumn: return QVUtility::Widen(FormatAmount(task.dailyCost, format));
    default: break;
    }
    if (calendar == nullptr) return std::wstring();
    const TaskCost figures = CostOf(*calendar, task);
    return column == 3 ? std::to_wstring(figures.workingDays) : QVUtility::Widen(FormatAmount(figures.cost, format));
}

std::wstring TaskTable::Summary(std::size_t row) const {
    if (row >= project.tasks.size() || calendar == nullptr) return std::wstring();
    const Task& task = project.tasks[row];
    return QVUtility::Widen(TaskSummary(task, CostOf(*calendar, task), format));
}

}  // namespace MyApp
