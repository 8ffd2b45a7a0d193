// SpanDialog: the frame of the two dialogs that edit a description and a
// span of days, the task dialog and the project dialog. It holds the
// "Descrizione:" field and the first and last day, and reads and checks
// them the same way for both.
#pragma once

#include <string>

#include "app/dialogs/DialogFrame.h"
#include "model/Date.h"

namespace MyApp {

class SpanDialog : public DialogFrame {
public:
    // Both days start as today.
    SpanDialog(QVUtility::Form* ownerForm, const std::wstring& title, int clientWidth, int clientHeight);

    // ---- What the owner reads when the dialog has closed --------------------
    Date startDate;
    Date endDate;
    std::string description;  // trimmed

    // ---- Controls (owned) ---------------------------------------------------
    QVUtility::Label* descriptionLabel = nullptr;
    QVUtility::TextBox* descriptionBox = nullptr;
    QVUtility::Label* startLabel = nullptr;
    QVUtility::Label* endLabel = nullptr;
    QVUtility::DatePicker* startPicker = nullptr;
    QVUtility::DatePicker* endPicker = nullptr;

protected:
    // The description across the top and the two days below it; the last
    // day's picker is made at once unless `createEndPicker` is false (the
    // dialog then sets its range first).
    void MakeDescriptionAndSpan(bool createEndPicker = true);
    // Reads the description and both days from the fields. Answers the
    // first problem with the description (none, or one the project file
    // could not hold) and sets `culprit` to its field; empty when sound.
    std::wstring ReadDescriptionAndSpan(QVUtility::GUIElement*& culprit);
};

}  // namespace MyApp
