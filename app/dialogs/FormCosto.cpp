#include "app/dialogs/FormCosto.h"

#include "model/FormatAmount.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 330;
constexpr int TypedLimit = 255;

}  // namespace

FormCosto::FormCosto(QVUtility::Form* ownerForm, const std::wstring& title)
    : DialogFrame(ownerForm, title, ClientWidth, ClientHeight, L"Tahoma") {
    OpenWindow();
}

FormCosto::~FormCosto() { CloseSilently(); }

void FormCosto::BuildControls() {
    const int w = builtWidth;
    const int h = builtHeight;

    totalLabel = Own(new QVUtility::Label(this, ""));
    Place(totalLabel, 10, 10, w - 20, 25);
    totalLabel->font = font;
    totalLabel->Create();
    detailLabel = MakeLabel(L"Dettaglio:", 10, 60, 80, 25);
    reportBox = Own(new QVUtility::TextBox(this, ""));
    reportBox->accessibleName = L"Dettaglio";
    Place(reportBox, 10, 85, w - 20, h - 135);
    reportBox->multiLine = 1;
    reportBox->readOnly = 1;
    reportBox->horizontalBar = 1;
    reportBox->verticalBar = 1;
    reportBox->wordWrap = 0;
    reportBox->maxLength = TypedLimit;
    reportBox->Create();
    okButton = MakeButton(L"OK", (w - 100) / 2, h - 35, 100, 25);
    firstField = reportBox;
}

void FormCosto::SetReport(const std::string& reportText, double total) {
    if (totalLabel != nullptr) totalLabel->SetText(L"Costo del progetto: " + QVUtility::Widen(FormatAmount(total)));
    if (reportBox == nullptr) return;
    const std::wstring shown = QVUtility::Widen(reportText);
    // The limit is for typing; a longer report is still shown whole.
    if (reportBox->window != nullptr && shown.size() > static_cast<size_t>(TypedLimit))
        SendMessageW(reportBox->window, EM_LIMITTEXT, static_cast<WPARAM>(shown.size()), 0);
    reportBox->SetText(shown);
}

}  // namespace MyApp
