#include "app/print/FormStampa.h"


#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/Label.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int ClientWidth = 380;
constexpr int ClientHeight = 130;

void ListChanged(GUIElement* list) {
    if (auto* dialog = QVUtility::OwningElement<FormStampa>(list)) dialog->OnChoiceChanged();
}

}  // namespace

FormStampa::FormStampa(QVUtility::Form* ownerForm, const std::wstring& title, const PrintChoice& initial)
    : DialogFrame(ownerForm, title, ClientWidth, ClientHeight, L"Tahoma"), choice(initial) {
    OpenWindow();
}

FormStampa::~FormStampa() { CloseSilently(); }

void FormStampa::BuildControls() {
    const int w = builtWidth;
    contentLabel = MakeLabel(L"Stampa:", 10, 13, 70, 25);
    contentList = MakeComboBox(PrintContentNames(), static_cast<int>(choice.content), 80, 10, w - 90);
    contentList->accessibleName = L"Stampa";
    contentList->onCommand = &ListChanged;
    scaleLabel = MakeLabel(L"Scala:", 10, 48, 70, 25);
    scaleList = MakeComboBox(ChartScaleNames(), static_cast<int>(choice.scale), 80, 45, w - 90);
    scaleList->accessibleName = L"Scala";
    scaleList->onCommand = &ListChanged;
    MakeOkCancelButtons();
    firstField = contentList;
    OnChoiceChanged();
}

void FormStampa::OnChoiceChanged() {
    if (contentList == nullptr || scaleList == nullptr) return;
    choice.content = PrintContentAt(contentList->GetSelectedIndex());
    choice.scale = ChartScaleAt(scaleList->GetSelectedIndex());
    scaleList->SetEnabled(choice.content == PrintContent::Chart);
}

void FormStampa::Accept() {
    OnChoiceChanged();
    DialogFrame::Accept();
}

void FormStampa::ReportOutcome() {
    if (result == ResultAccepted && onConfirmed) onConfirmed(choice);
}

}  // namespace MyApp
