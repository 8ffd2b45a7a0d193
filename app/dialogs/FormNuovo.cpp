#include "app/dialogs/FormNuovo.h"

#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/GroupBox.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 330;

const wchar_t* const WeekdayNames[7] = {L"Lun", L"Mar", L"Mer", L"Gio", L"Ven", L"Sab", L"Dom"};
// The days as a person says them, for assistive technology.
const wchar_t* const WeekdaysSpoken[7] = {L"Lunedì", L"Martedì", L"Mercoledì", L"Giovedì",
                                          L"Venerdì", L"Sabato", L"Domenica"};

}  // namespace

FormNuovo::FormNuovo(QVUtility::Form* ownerForm, const std::wstring& title)
    : SpanDialog(ownerForm, title, ClientWidth, ClientHeight) {
    const Date today = LocalNow();
    earliestTaskStart = today;
    latestTaskEnd = today;
    OpenWindow();
}

FormNuovo::~FormNuovo() { CloseSilently(); }

void FormNuovo::BuildControls() {
    MakeDescriptionAndSpan(false);
    SYSTEMTIME yearEnd{};
    yearEnd.wYear = LocalNow().value.wYear;
    yearEnd.wMonth = 12;
    yearEnd.wDay = 31;
    endPicker->date = MakeDate(yearEnd).value;
    endPicker->Create();
    endPicker->ApplyDate();

    weekdayFrame = Own(new QVUtility::GroupBox(this, ""));
    weekdayFrame->text = L"Giorni lavorativi";
    Place(weekdayFrame, 220, 70, 150, 210);
    weekdayFrame->Create();
    for (int i = 0; i < 7; ++i) {
        auto* box = Own(new QVUtility::CheckBox(weekdayFrame, ""));
        box->text = WeekdayNames[i];
        box->accessibleName = WeekdaysSpoken[i];
        // A pixel apart, so that no rounding at any scale lays one over the next.
        Place(box, 10, 25 + 25 * i, 60, 24);
        box->checkState = i < 5 ? 1 : 0;
        box->Create();
        weekdayBoxes[i] = box;
    }

    MakeOkCancelButtons();
    firstField = descriptionBox;
}

void FormNuovo::LoadProject(const std::string& projectDescription, const Date& projectStart, const Date& projectEnd,
                            const int weekdays[7]) {
    startDate = projectStart;
    endDate = projectEnd;
    description = projectDescription;
    ShowDescriptionAndSpan(descriptionBox, startPicker, endPicker, description, startDate, endDate);
    for (int i = 0; i < 7; ++i) {
        if (weekdayBoxes[i] == nullptr) continue;
        weekdayBoxes[i]->checkState = weekdays[i] == 1 ? 1 : 0;
        if (weekdayBoxes[i]->created) weekdayBoxes[i]->ApplyChecked();
    }
    editMode = true;
}

void FormNuovo::Accept() {
    GUIElement* culprit = nullptr;
    std::wstring problem = ReadDescriptionAndSpan(culprit);
    const int order = CompareDates(startDate, endDate);
    if (!problem.empty()) {
        // the description comes first
    } else if (order == 0) {
        problem = L"E' necessario indicare almeno due giorni.";
        culprit = endPicker;
    } else if (order == 1) {
        problem = L"La data finale deve essere successiva alla data di inizio.";
        culprit = endPicker;
    } else if (editMode && hasTasks && CompareDates(startDate, earliestTaskStart) == 1) {
        problem =
            L"Sono presenti Task con data di inizio precedente. Impossibile effettuare la modifica "
            L"(modificare prima le date dei Task).";
        culprit = startPicker;
    } else if (editMode && hasTasks && CompareDates(endDate, latestTaskEnd) == -1) {
        problem =
            L"Sono presenti Task con data di fine successiva. Impossibile effettuare la modifica "
            L"(modificare prima le date dei Task).";
        culprit = endPicker;
    }
    if (!problem.empty()) {
        ShowProblem(problem, culprit);
        return;
    }
    for (int i = 0; i < 7; ++i) workingWeekdays[i] = weekdayBoxes[i] != nullptr && weekdayBoxes[i]->IsChecked() ? 1 : 0;
    DialogFrame::Accept();
}

ProjectProperties FormNuovo::ConfirmedProperties() const {
    ProjectProperties values;
    values.description = description;
    values.start = startDate;
    values.end = endDate;
    for (int i = 0; i < 7; ++i) values.workingWeekdays[i] = workingWeekdays[i];
    return values;
}

void FormNuovo::ReportOutcome() {
    if (result == ResultAccepted && onConfirmed) onConfirmed(ConfirmedProperties());
}

}  // namespace MyApp
