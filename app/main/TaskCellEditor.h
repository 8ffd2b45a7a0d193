// TaskCellEditor: a cell of the task table edited in place. F2 edits the
// selected row's description; a click on a cell of the selected row (once
// the time of a double click has gone by, so that a double click still
// opens "Modifica Task") edits that cell. A field stands over the cell: a
// text for the description, a date field for the first and the last day,
// a number for the resources and an amount for the daily cost; the working
// days and the cost are counted, not typed.
//
// Invio confirms, Esc cancels, Tab and Maiusc+Tab confirm and go on to the
// next or previous cell that can be edited (into the next or previous row
// past the end of one). A value is checked as "Modifica Task" checks it
// (TaskChecks.h); one the dialog would refuse is refused with its message
// and the field keeps the keyboard. A value confirmed goes to the table's
// onEdited as the task changed, one step of the history.
//
// The keyboard leaving the field, or the rows moving under it, keeps a
// sound value and drops any other without a word.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "model/Task.h"

namespace QVUtility {
class CurrencyBox;
class DatePicker;
class GUIElement;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class TaskTable;

class TaskCellEditor {
public:
    explicit TaskCellEditor(TaskTable& table);
    ~TaskCellEditor();
    TaskCellEditor(const TaskCellEditor&) = delete;
    TaskCellEditor& operator=(const TaskCellEditor&) = delete;

    // Whether a column's cells can be typed into.
    static bool Editable(int column);
    // The field over the cell, showing its value, with the keyboard; false
    // when the cell cannot be edited.
    bool Open(std::size_t row, int column);
    bool IsOpen() const { return field != nullptr; }
    // Invio: true when the value was sound (and applied) or nothing was open.
    bool Confirm();
    // Esc.
    void Cancel();
    // Tab (Maiusc+Tab `backwards`): confirmed, then the next editable cell.
    void ConfirmAndMove(bool backwards);
    // The keyboard went elsewhere or the rows moved.
    void Leave();

    // A click on a cell of the selected row: edited once the time of a
    // double click has gone by without one.
    void OpenAfterClick(std::size_t row, int column);
    void ForgetClick();

    // The field open now (null when none) and its cell's column.
    QVUtility::GUIElement* Field() const { return field; }
    int Column() const { return column; }

private:
    static void KeyDown(QVUtility::GUIElement* element, int key);
    static bool Character(QVUtility::GUIElement* element, int character);
    static void LostFocus(QVUtility::GUIElement* element);
    static void CALLBACK ClickTimer(HWND window, UINT, UINT_PTR, DWORD);
    static TaskCellEditor* EditorOf(QVUtility::GUIElement* element);

    // The field for a column, made the first time.
    QVUtility::GUIElement* FieldFor(int column);
    // The value typed and the task it makes, with the problem the dialog
    // would find in it; none when the task has gone.
    std::optional<Task> Read(std::wstring& problem);
    // The field hidden; the keyboard back on the table when the field had it
    // and `keyboardToTable`.
    void Close(bool keyboardToTable);
    void ShowProblem(const std::wstring& problem);

    TaskTable& table;
    QVUtility::GUIElement* field = nullptr;  // the one open
    int column = -1;
    int taskId = 0;  // the task of the row being edited
    bool busy = false;  // a message or the change itself is under way: focus moves are not the user's
    std::unique_ptr<QVUtility::TextBox> textField;
    std::unique_ptr<QVUtility::TextBox> numberField;
    std::unique_ptr<QVUtility::CurrencyBox> amountField;
    std::unique_ptr<QVUtility::DatePicker> dateField;
    // The cell clicked, edited when the timer fires.
    std::size_t clickedRow = 0;
    int clickedColumn = -1;
};

}  // namespace MyApp
