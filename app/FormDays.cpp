#include "app/FormDays.h"

#include <algorithm>

#include "toolkit/Button.h"
#include "toolkit/DatePicker.h"
#include "toolkit/Label.h"
#include "toolkit/ListBox.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/TextConversion.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 330;

}  // namespace

FormDays::FormDays(QVUtility::Form* ownerForm, const std::wstring& title)
    : DialogFrame(ownerForm, title, ClientWidth, ClientHeight, L"Lucida Console") {
    OpenWindow();
}

FormDays::~FormDays() { CloseSilently(); }

void FormDays::BuildControls() {
    MeasureClient();
    const int w = builtWidth;
    const int h = builtHeight;

    dateLabel = MakeLabel(L"Data:", 10, 10, 80, 25);
    datePicker = MakeDatePicker(100, 10);
    addButton = MakeButton(L"Aggiungi", 200, 10, 100, 25);
    listLabel = MakeLabel(L"Elenco:", 10, 40, 80, 25);
    dayList = Own(new QVUtility::ListBox(this));
    Place(dayList, 10, 65, w - 130, 220);
    dayList->Create();
    removeButton = MakeButton(L"Rimuovi", w - 110, 65, 100, 25);
    cancelButton = MakeButton(L"Annulla", w - 110, h - 35, 100, 25);
    okButton = MakeButton(L"OK", w - 220, h - 35, 100, 25);
    firstField = datePicker;
}

void FormDays::LoadDays(const std::string& tag, const Date& projectStart, const Date& projectEnd,
                        const std::vector<Date>& list) {
    listTag = tag;
    if (datePicker != nullptr) {
        datePicker->rangeMax = projectEnd.value;
        datePicker->hasMax = 1;
        datePicker->ApplyRange();
        datePicker->rangeMin = projectStart.value;
        datePicker->hasMin = 1;
        datePicker->ApplyRange();
        // The picker keeps today when today lies in the project; otherwise
        // it shows the nearest end of the project, so that it never holds a
        // day it does not offer.
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
    for (int i = dayList->Count() - 1; i >= 0; --i)
        if (!dayList->RemoveItem(i)) break;
    if (days.empty()) return;
    // A stable sort: it stays sound even for a day that compares equal to
    // every other (a day that is not a real date).
    std::stable_sort(days.begin(), days.end(),
                     [](const Date& a, const Date& b) { return CompareDates(a, b) == -1; });
    for (const Date& day : days) {
        const std::string shown = FormatDate(day);
        dayList->AddItem(shown, shown);
    }
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
    if (button == cancelButton) {
        result = ResultCancelled;
        CloseWindow();
    } else if (button == okButton) {
        result = ResultAccepted;
        CloseWindow();
    } else if (button == addButton) {
        AddPickedDay();
    } else if (button == removeButton) {
        RemoveSelectedDay();
    }
}

void FormDays::AddPickedDay() {
    const Date day = MakeDate(datePicker->GetDate());
    for (const Date& listed : days) {
        if (CompareDates(listed, day) == 0) {
            QVUtility::ShowInfo(this, std::wstring(L"Data già presente."), std::wstring(L"Attenzione"));
            if (IsOpen()) datePicker->Focus();
            return;
        }
    }
    days.push_back(day);
    RefreshList();
    SelectByText(FormatDate(day));
}

void FormDays::RemoveSelectedDay() {
    const int selected = dayList->GetSelectedIndex();
    if (selected == -1) {
        QVUtility::ShowInfo(this, std::wstring(L"Selezionare la data da rimuovere dall'elenco."),
                            std::wstring(L"Attenzione"));
        if (IsOpen()) dayList->Focus();
        return;
    }
    const std::wstring shown = dayList->GetItemText(selected);
    int found = -1;
    for (size_t i = 0; i < days.size(); ++i) {
        if (QVUtility::Widen(FormatDate(days[i])) == shown) {
            found = static_cast<int>(i);
            break;
        }
    }
    if (found != -1) days.erase(days.begin() + found);
    RefreshList();
    if (dayList->Count() > 0) dayList->Select(found - 1 < 0 ? 0 : found - 1);
}

void FormDays::OnFormKey(int key) {
    if (key == VK_ESCAPE) CloseOnEscape(this, key);
    else if (key == VK_RETURN) OnButton(okButton);
}

}  // namespace MyApp
