// FormDays: the dialog in which the user edits one of the project's two day
// lists, the extra working days or the extra non-working days. The user
// picks a date and adds it, or selects a listed date and removes it; once
// the window has gone after "OK", the dialog hands the edited list to
// `onConfirmed`. The list stays in ascending order and holds no
// day twice; adding or removing a day changes that one item of the list box,
// so a list of many thousand days stays quick to edit.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/DialogFrame.h"
#include "model/Date.h"

namespace QVUtility {
class Button;
class DatePicker;
class Label;
class ListBox;
}  // namespace QVUtility

namespace MyApp {

class FormDays : public DialogFrame {
public:
    // Builds and shows the dialog over `owner`, with the title of the list.
    FormDays(QVUtility::Form* owner, const std::wstring& title);
    ~FormDays() override;

    // Hears of the list the user confirmed with "OK", once the window has gone.
    std::function<void(const std::vector<Date>&)> onConfirmed;

    std::vector<Date> days;  // the list being edited, earliest first
    std::string listTag;     // "#DAY INCLUDE" or "#DAY EXCLUDE"

    QVUtility::Label* dateLabel = nullptr;
    QVUtility::DatePicker* datePicker = nullptr;
    QVUtility::Button* addButton = nullptr;
    QVUtility::Label* listLabel = nullptr;
    QVUtility::ListBox* dayList = nullptr;
    QVUtility::Button* removeButton = nullptr;

    // The picker shows a day of the project (today when it lies there) and
    // "Aggiungi" takes only the project's days; the list shows `list`.
    void LoadDays(const std::string& tag, const Date& projectStart, const Date& projectEnd,
                  const std::vector<Date>& list);
    // Sorts `days` (by timestamp) and shows them all; afterwards, and after
    // every add or remove, a day's index in `days` is its item index.
    void RefreshList();
    // Selects the item showing `itemText`; the first item for an empty text.
    void SelectByText(const std::string& itemText);

    void BuildControls() override;
    void OnButton(QVUtility::GUIElement* button) override;
    void ReportOutcome() override;

private:
    std::optional<Date> projectStart_;  // the project's span (LoadDays)
    std::optional<Date> projectEnd_;

    // Adds the picked day in its place; a day outside the project, or one
    // listed already, is refused with a message.
    void AddPickedDay();
    void RemoveSelectedDay();
};

}  // namespace MyApp
