#include "app/dialogs/FormCosto.h"

#include <algorithm>

#include "app/res/resource.h"
#include "model/FormatAmount.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

// The size the report first opens at, and the smallest it can be given.
constexpr int ClientWidth = 400;
constexpr int ClientHeight = 330;
constexpr int ButtonWidth = 100;
constexpr int ButtonGap = 10;

// What is kept of the window between runs.
constexpr KeptSizeNames SizeNames{L"CostReportWidth", L"CostReportHeight", L"CostReportMaximized"};

}  // namespace

FormCosto::FormCosto(QVUtility::Form* ownerForm, const std::wstring& title)
    : KeptSizeDialog(ownerForm, title, SIZE{ClientWidth, ClientHeight}, SizeNames) {
    OpenAtKeptSize();
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
    reportBox->Create();
    reportView_.Attach(reportBox->window);
    const int left = (w - 2 * ButtonWidth - ButtonGap) / 2;
    okButton = MakeButton(L"OK", left, h - 35, ButtonWidth, 25);
    // Made last, with an identifier of its own: the others keep theirs.
    copyButton = Own(new QVUtility::Button(this, ""));
    copyButton->fixedId = IDC_COST_COPY;
    copyButton->text = L"Copia";
    Place(copyButton, left + ButtonWidth + ButtonGap, h - 35, ButtonWidth, 25);
    copyButton->onCommand = okButton->onCommand;
    copyButton->Create();
    firstField = reportBox;
}

void FormCosto::Layout() {
    SIZE size{};
    if (reportBox == nullptr || copyButton == nullptr || !LayoutSize(size)) return;
    const int w = size.cx;
    const int h = size.cy;
    const int left = (w - 2 * ButtonWidth - ButtonGap) / 2;
    Put(totalLabel, 10, 10, w - 20, 25);
    Put(reportBox, 10, 85, w - 20, h - 135);
    Put(okButton, left, h - 35, ButtonWidth, 25);
    Put(copyButton, left + ButtonWidth + ButtonGap, h - 35, ButtonWidth, 25);
    InvalidateRect(window, nullptr, TRUE);
}

void FormCosto::SetReport(const std::string& reportText, Money total) {
    totalLine_ = L"Costo del progetto: " + QVUtility::Widen(FormatAmount(total));
    if (totalLabel != nullptr) totalLabel->SetText(totalLine_);
    FitTotalLine();
    reportView_.SetText(QVUtility::Widen(reportText));
}

void FormCosto::FitTotalLine() {
    if (window == nullptr || totalLabel == nullptr || totalLabel->window == nullptr) return;
    HDC dc = GetDC(totalLabel->window);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(totalLabel->window, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, totalLine_.c_str(), static_cast<int>(totalLine_.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(totalLabel->window, dc);
    // The label has 10 units of margin on either side, and a few pixels to spare.
    const int needed = scale.ToBase(text.cx + 4) + 20;
    minimumClientSize.cx = std::max<int>(ClientWidth, needed);
    const SIZE client = BaseClientSize();
    if (client.cx < needed && !IsZoomed(window)) SetClientSize(scale(needed), scale(client.cy));
}

std::wstring FormCosto::ReportText() const {
    // The report of a project with tasks starts on a line of its own.
    return totalLine_ + L"\r\n" + reportView_.Text();
}

void FormCosto::OnButton(GUIElement* button) {
    if (button != nullptr && button == copyButton) {
        QVUtility::CopyTextToClipboard(window, ReportText());
        return;
    }
    DialogFrame::OnButton(button);
}

}  // namespace MyApp
