// FormTrova: "Trova...": the text to look for in the tasks' descriptions.
// "OK" hands it to `onConfirmed` once the window has gone; the main window
// then selects the next task that holds it (F3 goes on from there).
#pragma once

#include <functional>
#include <string>

#include "app/dialogs/DialogFrame.h"

namespace QVUtility {
class Label;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

class FormTrova : public DialogFrame {
public:
    // Builds and shows the dialog over `owner` with `lastText` in the field, selected.
    FormTrova(QVUtility::Form* owner, const std::string& lastText);
    ~FormTrova() override;

    // Hears of the text the user confirmed with "OK", once the window has gone.
    std::function<void(const std::string&)> onConfirmed;

    std::string text;  // the field's text at "OK"
    QVUtility::Label* textLabel = nullptr;
    QVUtility::TextBox* textBox = nullptr;

    void BuildControls() override;
    void ReportOutcome() override;

private:
    // An empty text finds nothing: the dialog stays open.
    void Accept() override;
    std::string initialText_;
};

}  // namespace MyApp
