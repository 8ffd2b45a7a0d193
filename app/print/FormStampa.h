// FormStampa: what "&Stampa..." prints: the Gantt chart or the cost report,
// and the chart's scale. "OK" goes on to the print dialog.
#pragma once

#include <functional>
#include <string>

#include "app/dialogs/DialogFrame.h"
#include "app/print/PrintChoice.h"

namespace QVUtility {
class Button;
class ComboBox;
class Label;
}  // namespace QVUtility

namespace MyApp {

class FormStampa : public DialogFrame {
public:
    // Builds and shows the dialog over `owner` with `initial` chosen.
    FormStampa(QVUtility::Form* owner, const std::wstring& title, const PrintChoice& initial);
    ~FormStampa() override;

    // Hears of the choice the user confirmed with "OK", once the window has gone.
    std::function<void(const PrintChoice&)> onConfirmed;

    PrintChoice choice;  // what the lists show

    QVUtility::Label* contentLabel = nullptr;
    QVUtility::ComboBox* contentList = nullptr;
    QVUtility::Label* scaleLabel = nullptr;
    QVUtility::ComboBox* scaleList = nullptr;

    void BuildControls() override;
    // Reads the lists' final choice, then closes with ResultAccepted.
    void Accept() override;
    // A list changed: reads the choice; the scale is for the chart only.
    void OnChoiceChanged();
    void ReportOutcome() override;
};

}  // namespace MyApp
