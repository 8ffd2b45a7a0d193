#include "app/dialogs/SpanDialog.h"

#include "app/dialogs/TaskChecks.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

SpanDialog::SpanDialog(QVUtility::Form* ownerForm, const std::wstring& title, int clientWidth, int clientHeight)
    : DialogFrame(ownerForm, title, clientWidth, clientHeight, L"Lucida Console") {
    const Date today = LocalNow();
    startDate = today;
    endDate = today;
}

void SpanDialog::MakeDescriptionAndSpan(bool createEndPicker) {
    descriptionBox = MakeDescriptionBox(descriptionLabel);
    constexpr int startTop = 70;
    constexpr int endTop = 100;
    startLabel = MakeLabel(L"Data inizio:", 10, startTop, LabelWidth, 25);
    endLabel = MakeLabel(L"Data fine:", 10, endTop, LabelWidth, 25);
    startPicker = MakeDatePicker(100, startTop);
    endPicker = MakeDatePicker(100, endTop, createEndPicker);
    startPicker->accessibleName = L"Data inizio";
    endPicker->accessibleName = L"Data fine";
    // Each label just before its field, as the platform names a field
    // after the label before it.
    TabAfter(startLabel, startPicker);
    TabAfter(startPicker, endLabel);
}

std::wstring SpanDialog::ReadDescriptionAndSpan(QVUtility::GUIElement*& culprit) {
    startDate = MakeDate(startPicker->GetDate());
    endDate = MakeDate(endPicker->GetDate());
    std::wstring problem = TypedDescriptionProblem(descriptionBox->GetText(), description);
    culprit = problem.empty() ? nullptr : descriptionBox;
    return problem;
}

}  // namespace MyApp
