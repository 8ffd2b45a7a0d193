#include "app/dialogs/FormAddTask.h"

#include <cmath>
#include <string>

#include "app/res/resource.h"
#include "model/NumberText.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBoxEx.h"
#include "toolkit/widgets/CurrencyBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/NumericBox.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

constexpr int ClientWidth = 400;
constexpr int ClientHeight = 280;

// The colour list shows the bar colours in their order, each with the icon
// of its square. The icons go into the image list in the same order, so
// item i shows image i.
constexpr int ColourIcons[] = {IDI_COLOUR_CYAN, IDI_COLOUR_WHITE, IDI_COLOUR_BLUE, IDI_COLOUR_RED, IDI_COLOUR_GREEN};
static_assert(sizeof ColourIcons / sizeof ColourIcons[0] == sizeof BarColours / sizeof BarColours[0],
              "one icon for every bar colour");

}  // namespace

FormAddTask::FormAddTask(QVUtility::Form* ownerForm, const std::wstring& title)
    : SpanDialog(ownerForm, title, ClientWidth, ClientHeight) {
    // The squares at the size drawn for the screen, from the multi-size icons.
    const int side = scale.ImageSize();
    colourImages = ImageList_Create(side, side, ILC_COLOR32 | ILC_MASK, 5, 0);
    if (colourImages != nullptr) {
        for (const int iconId : ColourIcons) {
            auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, side, side, 0));
            if (icon == nullptr) continue;
            ImageList_ReplaceIcon(colourImages, -1, icon);
            DestroyIcon(icon);
        }
    }
    OpenWindow();
}

FormAddTask::~FormAddTask() {
    CloseSilently();
    if (colourImages != nullptr) ImageList_Destroy(colourImages);
    colourImages = nullptr;
}

void FormAddTask::BuildControls() {
    MakeDescriptionAndSpan();

    colourLabel = MakeLabel(L"Colore:", 10, 130, 80, 25);
    colourList = Own(new QVUtility::ComboBoxEx(this, &colourImages));
    Place(colourList, 100, 130, 100, 125);
    int index = 0;
    for (const BarColour& item : BarColours) {
        colourList->AddColourItem(item.name, std::to_string(static_cast<unsigned long>(item.colour)), index);
        ++index;
    }
    colourList->Create();
    colourList->Select(0);

    resourcesLabel = MakeLabel(L"Risorse:", 10, 160, 80, 25);
    resourcesBox = Own(new QVUtility::TextBox(this, ""));
    Place(resourcesBox, 100, 160, 100, 25);
    resourcesBox->numbersOnly = 1;
    resourcesBox->maxLength = 6;
    resourcesBox->Create();
    resourcesSpinner = Own(new QVUtility::NumericBox(this, resourcesBox));
    resourcesSpinner->minimum = 0;
    resourcesSpinner->maximum = 100000;
    resourcesSpinner->value = 0;
    resourcesSpinner->Create();

    costLabel = MakeLabel(L"Costo Giornaliero:", 10, 190, 80, 40);
    costBox = Own(new QVUtility::CurrencyBox(this, 0.0));
    Place(costBox, 100, 190, 80, 25);
    costBox->Create();

    MakeOkCancelButtons();
    firstField = descriptionBox;
}

void FormAddTask::SetDateRange(const Date& projectStart, const Date& projectEnd) {
    QVUtility::DatePicker* pickers[] = {startPicker, endPicker};
    for (QVUtility::DatePicker* picker : pickers) {
        if (picker == nullptr) continue;
        picker->rangeMin = projectStart.value;
        picker->hasMin = 1;
        picker->ApplyRange();
    }
    for (QVUtility::DatePicker* picker : pickers) {
        if (picker == nullptr) continue;
        picker->date = projectStart.value;
        picker->ApplyDate();
    }
    for (QVUtility::DatePicker* picker : pickers) {
        if (picker == nullptr) continue;
        picker->rangeMax = projectEnd.value;
        picker->hasMax = 1;
        picker->ApplyRange();
    }
}

void FormAddTask::LoadTask(Task task) {
    original_ = task;
    taskId = task.id;
    startDate = task.start;
    endDate = task.end;
    description = task.description;
    dailyCost = task.dailyCost;
    resources = task.resources;
    colour = static_cast<int>(task.colour);

    if (colourList != nullptr) {
        for (int i = 0; i < colourList->Count(); ++i) {
            if (ParseInteger(colourList->GetItemValueNarrow(i)) == colour) {
                colourList->Select(i);
                break;
            }
        }
    }
    if (resourcesSpinner != nullptr) resourcesSpinner->SetValue(resources);
    ShowDescriptionAndSpan(descriptionBox, startPicker, endPicker, description, startDate, endDate);
    // Every digit of the amount, so that "OK" without a change keeps it.
    if (costBox != nullptr) costBox->SetAmount(dailyCost);
    editMode = true;
}

void FormAddTask::Accept() {
    QVUtility::GUIElement* culprit = nullptr;
    std::wstring problem = ReadDescriptionAndSpan(culprit);
    colour = ParseInteger(colourList->GetItemValueNarrow(colourList->GetSelectedIndex()));
    resources = resourcesSpinner->GetValue();
    dailyCost = costBox->GetAmount();
    const bool costReadable = costBox->HasAmount() && std::fabs(dailyCost) <= MaxDailyCost;
    if (!problem.empty()) {
        // the description comes first
    } else if (CompareDates(startDate, endDate) == 1) {
        problem = L"La data finale deve essere successiva alla data di inizio.";
        culprit = endPicker;
    } else if (!costReadable) {
        problem = L"Il costo giornaliero indicato non è un importo valido.";
        culprit = costBox;
    }
    if (!problem.empty()) {
        ShowProblem(problem, culprit);
        return;
    }
    DialogFrame::Accept();
}

Task FormAddTask::ConfirmedTask() const {
    // A change travels in a copy of the task itself, so that no new task
    // number is used up for it.
    Task task = original_ ? *original_ : Task(startDate);
    task.description = description;
    task.start = startDate;
    task.end = endDate;
    task.colour = static_cast<COLORREF>(colour);
    task.resources = resources;
    task.dailyCost = dailyCost;
    return task;
}

void FormAddTask::ReportOutcome() {
    if (result == ResultAccepted && onConfirmed) onConfirmed(ConfirmedTask());
}

void FormAddTask::ShowResourcesValue() {
    if (resourcesSpinner == nullptr || resourcesBox == nullptr) return;
    resourcesBox->SetText(std::to_wstring(resourcesSpinner->GetValue()));
}

void FormAddTask::ChildGotFocus(GUIElement* element) {
    if (element == nullptr || element != resourcesBox) return;
    ShowResourcesValue();
    if (resourcesBox->window != nullptr) SendMessageW(resourcesBox->window, EM_SETSEL, 0, -1);
}

void FormAddTask::ChildLostFocus(GUIElement* element) {
    if (element == nullptr || element != resourcesBox) return;
    ShowResourcesValue();
}

}  // namespace MyApp
