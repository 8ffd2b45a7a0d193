#include "app/dialogs/FormDays.h"

#include <algorithm>

#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/ListBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 330;

// The order of the list: by the timestamp each day compares with. A total
// order, so that a day is found by binary search.
bool Earlier(const Date& a, const Date& b) { return ComparisonTicks(a) < ComparisonTicks(b); }

}  // namespace

FormDays::FormDays(QVUtility::Form* ownerForm, const std::wstring& title)
    : DialogFrame(ownerForm, title, ClientWidth, ClientHeight, L"Lucida Console") {
    OpenWindow();
}

FormDays::~FormDays() { CloseSilently(); }

void FormDays::BuildControls() {
    const int w = builtWidth;

    dateLabel = MakeLabel(L"Data:", 10, 10, LabelWidth, 25);
    datePicker = MakeDatePicker(100, 10);
    datePicker->accessibleName = L"Data";
    addButton = MakeButton(L"Aggiungi", 200, 10, 100, 25);
    listLabel = MakeLabel(L"Elenco:", 10, 40, LabelWidth, 25);
    dayList = Own(new QVUtility::ListBox(this));
    dayList->accessibleName = L"Elenco";
    Place(dayList, 10, 65, w - 130, 220);
    dayList->Create();
    removeButton = MakeButton(L"Rimuovi", w - 110, 65, 100, 25);
    MakeOkCancelButtons();
    firstField = datePicker;
}

void FormDays::LoadDays(const std::string& tag, const Date& projectStart, const Date& projectEnd,
                        const std::vector<Date>& list) {
    listTag = tag;
    projectStart_ = projectStart;
    projectEnd_ = projectEnd;
    if (datePicker != nullptr) {
        // The picker takes any day typed ("Aggiungi" refuses one outside the
        // project). It keeps today when today lies in the project; otherwise
        // it shows the nearest end of the project.
        const Date today = DateOnly(MakeDate(datePicker->date));
        const Date* nearest = nullptr;
        if (CompareDates(today, projectStart) == -1) nearest = &projectStart;
        else if (CompareDates(today, projectEnd) == 1) nearest = &projectEnd;
        if (nearest != nullptr && !nearest->invalid) {
            datePicker->date = nearest->value;
            datePicker->ApplyDate();
        }
    }
    days = list;
    RefreshList();
    SelectByText(std::string());
}

void FormDays::RefreshList() {
    if (dayList == nullptr) return;
    dayList->SetDrawing(false);
    for (int i = dayList->Count() - 1; i >= 0; --i)
        if (!dayList->RemoveItem(i)) break;
    std::stable_sort(days.begin(), days.end(), Earlier);
    for (const Date& day : days) {
        const std::string shown = FormatDate(day);
        dayList->AddItem(shown, shown);
    }
    dayList->SetDrawing(true);
}

void FormDays::SelectByText(const std::string& itemText) {
    if (dayList == nullptr || dayList->Count() == 0) return;
    int index = 0;
    if (!itemText.empty()) {
        const std::wstring wanted = QVUtility::Widen(itemText);
        for (int i = 0; i < dayList->Count(); ++i) {
            if (dayList->GetItemText(i) == wanted) {
                index = i;
                break;
            }
        }
    }
    dayList->Select(index);
}

void FormDays::OnButton(GUIElement* button) {
    if (button == nullptr) return;
    if (button == addButton) {
        AddPickedDay();
    } else if (button == removeButton) {
        RemoveSelectedDay();
    } else {
        DialogFrame::OnButton(button);
    }
}

void FormDays::AddPickedDay() {
    const Date day = MakeDate(datePicker->GetDate());
    if (projectStart_ && projectEnd_ && !WithinProject(day, *projectStart_, *projectEnd_)) {
        ShowProblem(OutsideProjectProblem(L"La data", *projectStart_, *projectEnd_), datePicker);
        return;
    }
    // The day is listed already when some entry equals it: an entry with its
    // timestamp (found by binary search, the list being in order), an entry
    // that is no date, or any entry when the picked day is none.
    const auto at = std::lower_bound(days.begin(), days.end(), day, Earlier);
    std::int64_t ticks = 0;
    const bool listed =
        !days.empty() && (!SystemTimeToTicks(day.value, ticks) || (at != days.end() && CompareDates(*at, day) == 0) ||
                          std::any_of(days.begin(), days.end(), [](const Date& d) { return d.invalid; }));
    if (listed) {
        QVUtility::ShowInfo(this, std::wstring(L"Data già presente."), std::wstring(L"Attenzione"));
        if (IsOpen()) datePicker->Focus();
        return;
    }
    // In place: the list box gets the one new item where the day goes.
    const int index = static_cast<int>(at - days.begin());
    days.insert(at, day);
    const std::string shown = FormatDate(day);
    dayList->InsertItem(index, shown, shown);
    dayList->Select(index);
}

void FormDays::RemoveSelectedDay() {
    const int selected = dayList->GetSelectedIndex();
    if (selected == -1) {
        QVUtility::ShowInfo(this, std::wstring(L"Selezionare la data da rimuovere dall'elenco."),
                            std::wstring(L"Attenzione"));
        if (IsOpen()) dayList->Focus();
        return;
    }
    // The first listed day shown with the selected text goes.
    const std::wstring shown = dayList->GetItemText(selected);
    auto showsIt = [&](size_t i) { return QVUtility::Widen(FormatDate(days[i])) == shown; };
    const bool inStep =
        static_cast<size_t>(dayList->Count()) == days.size() && static_cast<size_t>(selected) < days.size();
    int found = -1;
    if (inStep && showsIt(selected)) {
        // The items show `days` in order: days shown alike stand together.
        found = selected;
        while (found > 0 && showsIt(found - 1)) --found;
        days.erase(days.begin() + found);
        dayList->RemoveItem(found);
    } else {
        for (size_t i = 0; i < days.size() && found == -1; ++i)
            if (showsIt(i)) found = static_cast<int>(i);
        if (found != -1) days.erase(days.begin() + found);
        RefreshList();
    }
    if (dayList->Count() > 0) dayList->Select(found - 1 < 0 ? 0 : found - 1);
}

void FormDays::ReportOutcome() {
    if (result == ResultAccepted && onConfirmed) onConfirmed(days);
}

}  // namespace MyApp
