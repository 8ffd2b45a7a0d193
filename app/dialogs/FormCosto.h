// FormCosto: shows the project's cost report: the project total on one line
// and, below it, the report text task by task. It only displays; it has no
// result and changes nothing. The window can be resized and maximised, the
// report fills it, and its size is kept for the next time; "Copia" puts the
// whole report, the total first, on the clipboard. A report of any length
// opens at once (ReportView), and the total line widens the window to show
// every digit.
#pragma once

#include <string>

#include "app/dialogs/KeptSizeDialog.h"
#include "app/dialogs/ReportView.h"
#include "model/Money.h"

namespace QVUtility {
class Button;
class Label;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class FormCosto : public KeptSizeDialog {
public:
    // Builds and shows the dialog over `owner` ("Conto Economico"), at the
    // size it had when last closed.
    FormCosto(QVUtility::Form* owner, const std::wstring& title);
    ~FormCosto() override;

    QVUtility::Label* totalLabel = nullptr;
    QVUtility::Label* detailLabel = nullptr;
    QVUtility::TextBox* reportBox = nullptr;
    QVUtility::Button* copyButton = nullptr;  // "Copia"

    // The total line reads "Costo del progetto: " and the total in the
    // user's regional format; the report box shows the whole text.
    void SetReport(const std::string& reportText, Money total);
    // The whole report as "Copia" puts it on the clipboard: the total line,
    // then the report text.
    std::wstring ReportText() const;

    void BuildControls() override;
    void OnButton(QVUtility::GUIElement* button) override;
    // The window's size changed: the controls follow it.
    void Layout() override;

private:
    // The window no narrower than the total line needs.
    void FitTotalLine();

    std::wstring totalLine_;
    ReportView reportView_;
};

}  // namespace MyApp
