#include "app/main/TaskCellEditor.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "app/dialogs/TaskChecks.h"
#include "app/main/TaskTable.h"
#include "app/res/resource.h"
#include "model/NumberText.h"
#include "toolkit/core/Form.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CurrencyBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

namespace {

// The table's columns that can be typed into, and the one kind of field each takes.
constexpr int DescriptionColumn = 0, StartColumn = 1, EndColumn = 2, ResourcesColumn = 4, DailyCostColumn = 5;
constexpr int ColumnCount = 7;
// The width of the task dialog's date fields, at 96 DPI.
constexpr int DateFieldWidth = 100;
// The timer of a click waiting to be told apart from a double click.
constexpr UINT_PTR ClickTimerId = 0x5443;

// The height of a line of a field's font, in pixels.
int LineHeight(HWND field) {
    HDC context = GetDC(field);
    if (context == nullptr) return 0;
    const HGDIOBJ previous = SelectObject(context, reinterpret_cast<HGDIOBJ>(SendMessageW(field, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(context, &metrics);
    SelectObject(context, previous);
    ReleaseDC(field, context);
    return static_cast<int>(metrics.tmHeight);
}

}  // namespace

TaskCellEditor::TaskCellEditor(TaskTable& owner) : table(owner) {}

TaskCellEditor::~TaskCellEditor() { ForgetClick(); }

bool TaskCellEditor::Editable(int column) {
    return column == DescriptionColumn || column == StartColumn || column == EndColumn || column == ResourcesColumn ||
           column == DailyCostColumn;
}

TaskCellEditor* TaskCellEditor::EditorOf(QVUtility::GUIElement* element) {
    auto* owner = element != nullptr ? dynamic_cast<TaskTable*>(element->parent) : nullptr;
    return owner != nullptr ? owner->editor.get() : nullptr;
}

// ---- The fields -------------------------------------------------------------------------

QVUtility::GUIElement* TaskCellEditor::FieldFor(int wanted) {
    QVUtility::GUIElement* made = nullptr;
    int id = 0;
    switch (wanted) {
    case DescriptionColumn:
        if (!textField) {
            textField = std::make_unique<QVUtility::TextBox>(&table, "");
            textField->maxLength = 255;
        }
        made = textField.get();
        id = IDC_CELL_TEXT;
        break;
    case ResourcesColumn:
        if (!numberField) {
            numberField = std::make_unique<QVUtility::TextBox>(&table, "");
            numberField->numbersOnly = 1;
            numberField->maxLength = 6;
            numberField->alignRight = 1;
        }
        made = numberField.get();
        id = IDC_CELL_NUMBER;
        break;
    case DailyCostColumn:
        if (!amountField) {
            amountField = std::make_unique<QVUtility::CurrencyBox>(&table, 0.0);
            amountField->alignRight = 1;
        }
        made = amountField.get();
        id = IDC_CELL_AMOUNT;
        break;
    case StartColumn:
    case EndColumn:
        if (!dateField) dateField = std::make_unique<QVUtility::DatePicker>(&table);
        made = dateField.get();
        id = IDC_CELL_DATE;
        break;
    default: return nullptr;
    }
    if (!made->created) {
        made->fixedId = id;
        made->font = table.font;
        made->ownKeys = true;
        made->onKeyDown = &KeyDown;
        made->onChar = &Character;
        made->onLostFocus = &LostFocus;
        made->accessibleName = table.columns[static_cast<std::size_t>(wanted)].title;
        made->width = 0;
        made->height = 0;
        made->Create();
        if (made->window != nullptr) ShowWindow(made->window, SW_HIDE);
    }
    return made->window != nullptr ? made : nullptr;
}

bool TaskCellEditor::Open(std::size_t row, int wanted) {
    if (IsOpen()) Leave();
    ForgetClick();
    if (!Editable(wanted) || row >= table.project.tasks.size() || table.window == nullptr) return false;
    table.SelectRow(static_cast<std::ptrdiff_t>(row), true);
    // The cell brought into view sideways too.
    RECT cell = table.CellRect(row, wanted);
    RECT client{};
    GetClientRect(table.window, &client);
    if (cell.right > client.right || cell.left < 0) {
        const int by = cell.left < 0 ? static_cast<int>(cell.left)
                                     : static_cast<int>(std::min(cell.left, cell.right - client.right));
        SendMessageW(table.window, LVM_SCROLL, static_cast<WPARAM>(by), 0);
        cell = table.CellRect(row, wanted);
    }
    QVUtility::GUIElement* made = FieldFor(wanted);
    if (made == nullptr || cell.right <= cell.left) return false;
    // A date field as wide as the dialog's, for its whole date and its button.
    if (made == dateField.get()) cell.right = std::max<LONG>(cell.right, cell.left + table.Scale()(DateFieldWidth));
    const Task& task = table.project.tasks[row];
    if (made == textField.get()) textField->SetText(QVUtility::Widen(task.description));
    if (made == numberField.get()) numberField->SetText(std::to_wstring(task.resources));
    if (made == amountField.get()) amountField->SetAmount(task.dailyCost);
    if (made == dateField.get()) {
        dateField->date = (wanted == StartColumn ? task.start : task.end).value;
        dateField->ApplyDate();
    }
    // The rows' font, made anew when the screen's density changed.
    if (table.font != nullptr)
        SendMessageW(made->window, WM_SETFONT, reinterpret_cast<WPARAM>(table.font->GetFont()), FALSE);
    // A field writes its line at its top: one line high with its margins,
    // in the middle of the row.
    const LONG height = std::min<LONG>(cell.bottom - cell.top, LineHeight(made->window) + table.Scale()(6));
    cell.top += (cell.bottom - cell.top - height) / 2;
    cell.bottom = cell.top + height;
    field = made;
    column = wanted;
    taskId = task.id;
    // The rows drawn under the field leave it whole.
    SetWindowLongPtrW(table.window, GWL_STYLE, GetWindowLongPtrW(table.window, GWL_STYLE) | WS_CLIPCHILDREN);
    SetWindowPos(made->window, HWND_TOP, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top,
                 SWP_SHOWWINDOW);
    SetFocus(made->window);
    if (made != dateField.get()) SendMessageW(made->window, EM_SETSEL, 0, -1);
    return true;
}

void TaskCellEditor::Close(bool keyboardToTable) {
    QVUtility::GUIElement* closing = field;
    field = nullptr;
    column = -1;
    if (closing == nullptr || closing->window == nullptr) return;
    const HWND focus = GetFocus();
    busy = true;
    if (keyboardToTable && table.window != nullptr && (focus == closing->window || IsChild(closing->window, focus)))
        SetFocus(table.window);
    ShowWindow(closing->window, SW_HIDE);
    busy = false;
    if (table.window != nullptr)
        SetWindowLongPtrW(table.window, GWL_STYLE, GetWindowLongPtrW(table.window, GWL_STYLE) & ~WS_CLIPCHILDREN);
}

// ---- Confirming ---------------------------------------------------------------------------

std::optional<Task> TaskCellEditor::Read(std::wstring& problem) {
    const Project& project = table.project;
    const int index = FindTaskById(project, taskId);
    if (index < 0) return std::nullopt;
    Task values = project.tasks[static_cast<std::size_t>(index)];
    switch (column) {
    case DescriptionColumn: problem = TypedDescriptionProblem(textField->GetText(), values.description); break;
    case StartColumn:
    case EndColumn: {
        (column == StartColumn ? values.start : values.end) = MakeDate(dateField->GetDate());
        TaskField culprit = TaskField::None;
        problem = TaskDaysProblem(values.start, values.end, project.start, project.end, culprit);
        break;
    }
    case ResourcesColumn: {
        const std::optional<int> typed = ReadResources(QVUtility::Narrow(numberField->GetText()));
        problem = ResourcesProblem(typed);
        if (typed) values.resources = *typed;
        break;
    }
    case DailyCostColumn: problem = DailyCostProblem(*amountField, values.dailyCost); break;
    default: return std::nullopt;
    }
    return values;
}

void TaskCellEditor::ShowProblem(const std::wstring& problem) {
    busy = true;
    QVUtility::ShowError(QVUtility::OwningElement<QVUtility::Form>(&table), problem, std::wstring(L"Errore"));
    busy = false;
    // The cell stays in editing, its text chosen for typing over.
    if (field != nullptr && field->window != nullptr) {
        SetFocus(field->window);
        if (field != dateField.get()) SendMessageW(field->window, EM_SETSEL, 0, -1);
    }
}

bool TaskCellEditor::Confirm() {
    if (!IsOpen()) return true;
    std::wstring problem;
    const std::optional<Task> values = Read(problem);
    if (values && !problem.empty()) {
        ShowProblem(problem);
        return false;
    }
    Close(true);
    if (values && table.onEdited) {
        busy = true;
        problem = table.onEdited(*values);
        busy = false;
        if (!problem.empty()) ShowProblem(problem);
    }
    return problem.empty();
}

void TaskCellEditor::Cancel() { Close(true); }

void TaskCellEditor::Leave() {
    if (!IsOpen() || busy) return;
    std::wstring problem;
    const std::optional<Task> values = Read(problem);
    // Whatever the change does, the keyboard stays where the user put it.
    Close(false);
    if (values && problem.empty() && table.onEdited) {
        busy = true;
        table.onEdited(*values);
        busy = false;
    }
}

void TaskCellEditor::ConfirmAndMove(bool backwards) {
    const int from = column;
    const int id = taskId;
    if (!Confirm()) return;
    // The task's row after the change, which may have put it elsewhere.
    const int index = FindTaskById(table.project, id);
    if (index < 0) return;
    std::size_t row = static_cast<std::size_t>(index);
    int next = from;
    do {
        next += backwards ? -1 : 1;
        if (next < 0) {
            if (row == 0) return;
            --row;
            next = ColumnCount - 1;
        } else if (next >= ColumnCount) {
            if (row + 1 >= table.project.tasks.size()) return;
            ++row;
            next = 0;
        }
    } while (!Editable(next));
    if (row != static_cast<std::size_t>(index) && table.onChoose) table.onChoose(row);
    Open(row, next);
}

// ---- A click told apart from a double click -------------------------------------------------

void TaskCellEditor::OpenAfterClick(std::size_t row, int clicked) {
    ForgetClick();
    if (!Editable(clicked) || table.window == nullptr) return;
    clickedRow = row;
    clickedColumn = clicked;
    SetTimer(table.window, ClickTimerId, GetDoubleClickTime(), &ClickTimer);
}

void TaskCellEditor::ForgetClick() {
    if (clickedColumn >= 0 && table.window != nullptr) KillTimer(table.window, ClickTimerId);
    clickedColumn = -1;
}

void CALLBACK TaskCellEditor::ClickTimer(HWND window, UINT, UINT_PTR, DWORD) {
    KillTimer(window, ClickTimerId);
    auto* owner = dynamic_cast<TaskTable*>(QVUtility::FindElementHolding(window));
    if (owner == nullptr) return;
    TaskCellEditor& editor = *owner->editor;
    const int clicked = editor.clickedColumn;
    editor.clickedColumn = -1;
    // Still the selected row, and still the table's keyboard.
    if (clicked >= 0 && owner->SelectedRow() == static_cast<std::ptrdiff_t>(editor.clickedRow) &&
        GetFocus() == owner->window)
        editor.Open(editor.clickedRow, clicked);
}

// ---- The fields' keys ----------------------------------------------------------------------------

void TaskCellEditor::KeyDown(QVUtility::GUIElement* element, int key) {
    TaskCellEditor* editor = EditorOf(element);
    if (editor == nullptr || editor->field != element || editor->busy) return;
    if (key == VK_RETURN) editor->Confirm();
    if (key == VK_ESCAPE) editor->Cancel();
    if (key == VK_TAB) editor->ConfirmAndMove((GetKeyState(VK_SHIFT) & 0x8000) != 0);
}

bool TaskCellEditor::Character(QVUtility::GUIElement*, int character) {
    // The keys that confirm, cancel and move on are not typed.
    return character != L'\r' && character != L'\n' && character != L'\t' && character != 27;
}

void TaskCellEditor::LostFocus(QVUtility::GUIElement* element) {
    TaskCellEditor* editor = EditorOf(element);
    if (editor == nullptr || editor->field != element || editor->busy) return;
    // The date field's own calendar open below it is still the field.
    if (element == editor->dateField.get() && SendMessageW(element->window, DTM_GETMONTHCAL, 0, 0) != 0) return;
    editor->Leave();
}

}  // namespace MyApp
