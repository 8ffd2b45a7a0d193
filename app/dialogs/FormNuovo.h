// FormNuovo: the dialog for the project's own properties: description, first
// and last day and the weekdays that count as working days. The main window
// opens it empty for a new project ("Nuovo") and filled from the project for
// a change of properties ("Modifica"); in the second case it refuses a span
// that would leave a task outside the project.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/dialogs/SpanDialog.h"
#include "model/ChangeHistory.h"
#include "model/Date.h"

namespace QVUtility {
class Button;
class CheckBox;
class DatePicker;
class GroupBox;
class Label;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class FormNuovo : public SpanDialog {
public:
    // Builds and shows the dialog over `owner` ("Nuovo" or "Modifica").
    FormNuovo(QVUtility::Form* owner, const std::wstring& title);
    ~FormNuovo() override;

    // Hears of the properties the user confirmed with "OK", once the window
    // has gone.
    std::function<void(const ProjectProperties&)> onConfirmed;

    // Written by the main window before LoadProject: whether the project has
    // tasks, and the earliest task start and the latest task end.
    bool hasTasks = false;
    Date earliestTaskStart;
    Date latestTaskEnd;
    bool editMode = false;                           // set by LoadProject
    int workingWeekdays[7] = {0, 0, 0, 0, 0, 0, 0};  // Monday first; written by "OK"

    QVUtility::GroupBox* weekdayFrame = nullptr;
    QVUtility::CheckBox* weekdayBoxes[7] = {};

    // Fills the dialog from the project; the dialog then changes it.
    void LoadProject(const std::string& projectDescription, const Date& projectStart, const Date& projectEnd,
                     const int weekdays[7]);

    // The description, span and working weekdays read at "OK".
    ProjectProperties ConfirmedProperties() const;

    void BuildControls() override;
    void ReportOutcome() override;

private:
    // Reads the fields; closes the dialog with ResultAccepted when they are
    // sound, else shows the first problem.
    void Accept() override;
};

}  // namespace MyApp
