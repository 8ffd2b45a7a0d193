// FormCosto: shows the project's cost report: the project total on one line
// and, below it, the report text task by task. It only displays; it has no
// result and changes nothing.
#pragma once

#include <string>

#include "app/dialogs/DialogFrame.h"

namespace QVUtility {
class Button;
class Label;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class FormCosto : public DialogFrame {
public:
    // Builds and shows the dialog over `owner` ("Conto Economico").
    FormCosto(QVUtility::Form* owner, const std::wstring& title);
    ~FormCosto() override;

    QVUtility::Label* totalLabel = nullptr;
    QVUtility::Label* detailLabel = nullptr;
    QVUtility::TextBox* reportBox = nullptr;

    // The total line reads "Costo del progetto: " and the total in the
    // user's regional format; the report box shows the whole text.
    void SetReport(const std::string& reportText, double total);

    void BuildControls() override;
};

}  // namespace MyApp
