// FormAddTask: the dialog in which the user types a new task or changes one:
// description, first and last day, bar colour, resources per day and the
// daily cost of one resource. The main window gives it the project's span
// (and, for a change, the task); when the dialog has closed with "OK" it
// hands the task as the user confirmed it to `onConfirmed`. The dialog itself
// never touches the project.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "app/dialogs/SpanDialog.h"
#include "model/Date.h"
#include "model/Task.h"

namespace QVUtility {
class Button;
class ComboBoxEx;
class CurrencyBox;
class DatePicker;
class Label;
class NumericBox;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class FormAddTask : public SpanDialog {
public:
    // Builds and shows the dialog over `owner` ("Nuovo Task" or "Modifica Task").
    FormAddTask(QVUtility::Form* owner, const std::wstring& title);
    ~FormAddTask() override;

    // Hears of the task the user confirmed with "OK", once the window has gone.
    std::function<void(const Task&)> onConfirmed;

    // ---- The values the fields held at "OK" ----------------------------------
    bool editMode = false;  // set by LoadTask
    int taskId = 0;         // the task being changed (LoadTask)
    int colour = 0;         // COLORREF
    int resources = 0;
    double dailyCost = 0.0;

    // ---- Controls (owned) ---------------------------------------------------
    QVUtility::Label* colourLabel = nullptr;
    QVUtility::ComboBoxEx* colourList = nullptr;
    QVUtility::Label* resourcesLabel = nullptr;
    QVUtility::TextBox* resourcesBox = nullptr;
    QVUtility::NumericBox* resourcesSpinner = nullptr;
    QVUtility::Label* costLabel = nullptr;
    QVUtility::CurrencyBox* costBox = nullptr;
    HIMAGELIST colourImages = nullptr;  // pictures of the colour list; owned

    // The project's span: both pickers show projectStart. They take any day
    // typed; "OK" refuses a day outside the span with a message naming it.
    void SetDateRange(const Date& projectStart, const Date& projectEnd);
    // Fills the dialog from the task; the dialog then changes that task. A
    // colour that is none of the five bar colours is listed as one more
    // item, "Personalizzato", and stays selected until the user picks
    // another.
    void LoadTask(Task task);
    // The task as confirmed: the task being changed (its id kept) or, for a
    // new one, a new task, with the values read at "OK". A new task takes
    // its id here.
    Task ConfirmedTask() const;

    void BuildControls() override;
    void ChildLostFocus(QVUtility::GUIElement* element) override;
    void ChildGotFocus(QVUtility::GUIElement* element) override;
    void ReportOutcome() override;

private:
    std::optional<Task> original_;      // the task being changed (LoadTask)
    std::optional<Date> projectStart_;  // the project's span (SetDateRange)
    std::optional<Date> projectEnd_;

    // Lists the colour as one more item with a square of it; answers the
    // item's index.
    int AddOwnColour(COLORREF own);
    // The first problem with the days, the resources or the cost read at
    // "OK", with the field to blame; empty when they are sound.
    std::wstring FieldsProblem(QVUtility::GUIElement*& culprit);

    // Reads every field from the controls; then checks them and closes the
    // dialog with result 1 when they are sound. Nothing typed is changed: a
    // field that cannot be taken as typed is named in a message and given
    // the focus.
    void Accept() override;
    void ShowResourcesValue();
};

}  // namespace MyApp
