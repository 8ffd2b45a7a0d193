#include "app/dialogs/FormAddTask.h"

#include <algorithm>
#include <string>

#include "app/dialogs/TaskChecks.h"
#include "app/res/resource.h"
#include "model/NumberText.h"
#include "toolkit/draw/ScopedGdi.h"
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

    colourLabel = MakeLabel(L"Colore:", 10, 130, LabelWidth, 25);
    colourList = Own(new QVUtility::ComboBoxEx(this, &colourImages));
    colourList->accessibleName = L"Colore";
    // Wide enough for the longest name, "Personalizzato", beside its square.
    Place(colourList, 100, 130, 160, 125);
    int index = 0;
    for (const BarColour& item : BarColours) {
        colourList->AddColourItem(item.name, std::to_string(static_cast<unsigned long>(item.colour)), index);
        ++index;
    }
    colourList->Create();
    colourList->Select(0);

    resourcesLabel = MakeLabel(L"Risorse:", 10, 160, LabelWidth, 25);
    resourcesBox = Own(new QVUtility::TextBox(this, ""));
    Place(resourcesBox, 100, 160, 100, 25);
    resourcesBox->numbersOnly = 1;
    resourcesBox->accessibleName = L"Risorse";
    resourcesBox->maxLength = 6;
    resourcesBox->Create();
    resourcesSpinner = Own(new QVUtility::NumericBox(this, resourcesBox));
    resourcesSpinner->minimum = 0;
    resourcesSpinner->maximum = MaxResources;
    resourcesSpinner->value = 0;
    resourcesSpinner->accessibleName = L"Risorse";
    resourcesSpinner->Create();

    costLabel = MakeLabel(L"Costo Giornaliero:", 10, 190, LabelWidth, 40);
    costBox = Own(new QVUtility::CurrencyBox(this, 0.0));
    costBox->accessibleName = L"Costo giornaliero";
    Place(costBox, 100, 190, 80, 25);
    costBox->Create();

    MakeOkCancelButtons();
    firstField = descriptionBox;
}

void FormAddTask::SetDateRange(const Date& projectStart, const Date& projectEnd) {
    projectStart_ = projectStart;
    projectEnd_ = projectEnd;
    for (QVUtility::DatePicker* picker : {startPicker, endPicker}) {
        if (picker == nullptr) continue;
        picker->date = projectStart.value;
        picker->ApplyDate();
    }
}

int FormAddTask::AddOwnColour(COLORREF own) {
    // A square like the icons of the five: the colour inside a grey border
    // that grows with the square.
    const int side = scale.ImageSize();
    const int edge = std::max(1, side / 16);
    int image = -1;  // no picture rather than another colour's
    {
        QVUtility::ScreenContext screen;
        QVUtility::MemoryContext memory(screen.Get());
        QVUtility::GdiObject<HBITMAP> colours(CreateCompatibleBitmap(screen.Get(), side, side));
        QVUtility::GdiObject<HBITMAP> mask(CreateBitmap(side, side, 1, 1, nullptr));
        QVUtility::GdiObject<HBRUSH> grey(CreateSolidBrush(RGB(0x80, 0x80, 0x80)));
        QVUtility::GdiObject<HBRUSH> inside(CreateSolidBrush(own & 0xFFFFFF));
        if (memory && colours && mask && grey && inside) {
            {
                QVUtility::ScopedSelect drawn(memory.Get(), colours.Get());
                const RECT all{0, 0, side, side};
                const RECT inner{edge, edge, side - edge, side - edge};
                FillRect(memory.Get(), &all, grey.Get());
                FillRect(memory.Get(), &inner, inside.Get());
            }
            {
                // Every pixel shows: the mask is black throughout.
                QVUtility::ScopedSelect opaque(memory.Get(), mask.Get());
                PatBlt(memory.Get(), 0, 0, side, side, BLACKNESS);
            }
            image = ImageList_Add(colourImages, colours.Get(), mask.Get());
        }
    }
    const int index = colourList->Count();
    colourList->AddItem(L"Personalizzato", std::to_wstring(static_cast<unsigned long>(own)), image, image, 0);
    return index;
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
        int shown = -1;
        for (int i = 0; i < colourList->Count() && shown == -1; ++i)
            if (ParseInteger(colourList->GetItemValueNarrow(i)) == colour) shown = i;
        if (shown == -1) shown = AddOwnColour(task.colour);
        colourList->Select(shown);
    }
    if (resourcesSpinner != nullptr) resourcesSpinner->SetValue(resources);
    ShowDescriptionAndSpan(descriptionBox, startPicker, endPicker, description, startDate, endDate);
    // Every digit of the amount, so that "OK" without a change keeps it.
    if (costBox != nullptr) costBox->SetAmount(dailyCost);
    editMode = true;
}

std::wstring FormAddTask::FieldsProblem(GUIElement*& culprit) {
    if (projectStart_ && projectEnd_) {
        TaskField field = TaskField::None;
        const std::wstring problem = TaskDaysProblem(startDate, endDate, *projectStart_, *projectEnd_, field);
        culprit = field == TaskField::Start ? static_cast<GUIElement*>(startPicker) : endPicker;
        if (!problem.empty()) return problem;
    } else if (CompareDates(startDate, endDate) == 1) {
        culprit = endPicker;
        return L"La data finale deve essere successiva alla data di inizio.";
    }
    const std::optional<int> typedResources = resourcesSpinner->TypedValue();
    culprit = resourcesBox;
    if (std::wstring problem = ResourcesProblem(typedResources); !problem.empty()) return problem;
    resources = *typedResources;
    culprit = costBox;
    if (std::wstring problem = DailyCostProblem(*costBox, dailyCost); !problem.empty()) return problem;
    culprit = nullptr;
    return std::wstring();
}

void FormAddTask::Accept() {
    GUIElement* culprit = nullptr;
    std::wstring problem = ReadDescriptionAndSpan(culprit);
    colour = ParseInteger(colourList->GetItemValueNarrow(colourList->GetSelectedIndex()));
    // The description comes first.
    if (problem.empty()) problem = FieldsProblem(culprit);
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
    // A number out of range stays as typed, for "OK" to point out.
    const std::optional<int> typed = resourcesSpinner->TypedValue();
    if (typed) resourcesBox->SetText(std::to_wstring(*typed));
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
