#include "app/dialogs/FormTrova.h"

#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 110;

}  // namespace

FormTrova::FormTrova(QVUtility::Form* ownerForm, const std::string& lastText)
    : DialogFrame(ownerForm, L"Trova", ClientWidth, ClientHeight, L"Tahoma"), initialText_(lastText) {
    OpenWindow();
}

FormTrova::~FormTrova() { CloseSilently(); }

void FormTrova::BuildControls() {
    textLabel = MakeLabel(L"Trova:", 10, 13, 60, 25);
    textBox = Own(new QVUtility::TextBox(this, ""));
    textBox->accessibleName = L"Trova";
    Place(textBox, 75, 10, builtWidth - 85, 25);
    textBox->maxLength = 255;
    textBox->Create();
    textBox->SetTextNarrow(initialText_);
    if (textBox->window != nullptr) SendMessageW(textBox->window, EM_SETSEL, 0, -1);
    MakeOkCancelButtons();
    firstField = textBox;
}

void FormTrova::Accept() {
    text = textBox != nullptr ? textBox->GetTextNarrow() : std::string();
    if (text.empty()) {
        ShowProblem(L"Indicare il testo da cercare.", textBox);
        return;
    }
    DialogFrame::Accept();
}

void FormTrova::ReportOutcome() {
    if (result == ResultAccepted && onConfirmed) onConfirmed(text);
}

}  // namespace MyApp
