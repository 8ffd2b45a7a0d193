// TaskTable: the task table beside the chart. One row per task, in the
// chart's order, each row level with its bar: its rows are as high as the
// chart's pitch and its first row is the chart view's (the window passes it
// on). The rows are drawn from the project as they come into view, so a
// table of any length costs nothing per task. The columns' widths are kept
// for the user; the amount columns are never narrower than the largest
// amount they show.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "model/FormatAmount.h"
#include "model/Project.h"
#include "model/WorkingDays.h"
#include "toolkit/widgets/ListView.h"

namespace QVUtility {
class FontDescription;
}

namespace MyApp {

class TaskCellEditor;

class TaskTable : public QVUtility::ListView {
public:
    TaskTable(QVUtility::GUIElement* parentElement, const Project& shownProject);
    ~TaskTable() override;

    // The columns at the widths kept for the user, in `rowFont`, rows
    // `rowPitch` high; then the control.
    void Build(QVUtility::FontDescription* rowFont, int rowPitch);
    // The rows for the project as it is now, `rowPitch` high, with `selected`
    // (-1: none) selected.
    void Fill(int rowPitch, std::ptrdiff_t selected);
    // Keeps each column as wide, for the eye, on a screen of another density.
    void RescaleColumns(QVUtility::DisplayScale from, QVUtility::DisplayScale to);

    // The text of a cell: description, start, end, working days, resources,
    // daily cost and cost, as the cost report counts them.
    std::wstring Cell(std::size_t row, int column) const;
    // What a task tells after its name: its span, working days, resources
    // and cost (the bars' tips and descriptions say it too).
    std::wstring Summary(std::size_t row) const;

    // What the window hears of the table.
    std::function<void(std::size_t row)> onChoose;             // a row selected by mouse or keys
    std::function<void(std::size_t row)> onOpen;               // a double click on a row
    std::function<void(std::size_t row, POINT screen)> onMenu;  // a right click or the menu key on a row
    std::function<void(std::size_t topRow)> onTopRow;          // the first row shown changed
    std::function<void()> onFocus;                             // the table took the keyboard
    // A cell edited in place was confirmed: the task with its new value, to
    // be applied; answers the problem when it is refused.
    std::function<std::wstring(const Task& values)> onEdited;

    // A row shown as a drag on the chart has its task now (null: as the
    // project has it again).
    void ShowMoving(std::size_t row, const Task* shown);
    // Editing a cell in place (TaskCellEditor.h).
    TaskCellEditor& Editor() { return *editor; }

private:
    friend struct TaskTableHandlers;
    friend class TaskCellEditor;

    // The task of a row as the table shows it.
    const Task& TaskOf(std::size_t row) const;

    // The amount columns at least as wide as the largest amount they can
    // show, so that none loses a digit (the user's widths are kept).
    void WidenAmountColumns();

    const Project& project;
    // What the rows, the bars' tips and their descriptions are counted
    // with, made at each fill.
    std::unique_ptr<WorkingDayCalendar> calendar;
    AmountFormat format;
    const Task* moving = nullptr;  // the task of movingRow as a drag shows it
    std::size_t movingRow = 0;
    std::unique_ptr<TaskCellEditor> editor;
};

}  // namespace MyApp
