#include "app/dialogs/DialogFrame.h"

#include <cctype>
#include <utility>

#include "app/res/resource.h"
#include "file/ProjectFile.h"
#include "toolkit/core/Registry.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/GroupBox.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/NumericBox.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

void DialogCreated(GUIElement* element, HWND) {
    if (auto* dialog = dynamic_cast<DialogFrame*>(element)) dialog->MeasureAndBuild();
}

bool DialogClosing(GUIElement* element) {
    if (auto* dialog = dynamic_cast<DialogFrame*>(element)) dialog->ReleaseOwner();
    return true;
}

bool DialogChar(GUIElement* element, int character) {
    if (auto* dialog = dynamic_cast<DialogFrame*>(element)) dialog->OnFormKey(character);
    return true;
}

bool ChildChar(GUIElement* element, int character) {
    DialogFrame* dialog = QVUtility::OwningElement<DialogFrame>(element);
    return dialog == nullptr || dialog->FilterChildChar(element, character);
}

// A frame around controls hears the characters typed in them and hands them
// on to its dialog, so that Enter and Escape work there too.
bool FrameChar(GUIElement* element, int character) {
    if (DialogFrame* dialog = QVUtility::OwningElement<DialogFrame>(element)) dialog->OnFormKey(character);
    return true;
}

void ChildFocused(GUIElement* element) {
    if (DialogFrame* dialog = QVUtility::OwningElement<DialogFrame>(element)) dialog->ChildGotFocus(element);
}

void ChildUnfocused(GUIElement* element) {
    if (DialogFrame* dialog = QVUtility::OwningElement<DialogFrame>(element)) dialog->ChildLostFocus(element);
}

void DialogGone(GUIElement* element) {
    if (auto* dialog = dynamic_cast<DialogFrame*>(element)) dialog->ReportOutcome();
}

void ButtonPressed(GUIElement* button) {
    if (DialogFrame* dialog = QVUtility::OwningElement<DialogFrame>(button)) dialog->OnButton(button);
}

}  // namespace

DialogFrame::DialogFrame(QVUtility::Form* ownerForm, const std::wstring& title, int clientWidth, int clientHeight,
                         const std::wstring& fontFace, int fontHeight, bool boldFont)
    : Form(ownerForm != nullptr ? ownerForm->instance : GetModuleHandleW(nullptr), true),
      owner(ownerForm),
      dialogFont(fontFace, fontHeight),
      requestedClientWidth(clientWidth),
      requestedClientHeight(clientHeight) {
    dialogFont.bold = boldFont;
    if (ownerForm != nullptr) scale = ownerForm->scale;
    dialogFont.SetDpi(scale.Dpi());
    font = &dialogFont;
    text = title;
    topmostDialog = false;
    minimizeBox = true;
    maximizeBox = false;
    previewChildChars = true;
    width = clientWidth;
    height = clientHeight;
    onCreate = &DialogCreated;
    onClose = &DialogClosing;
    onChar = &DialogChar;
    onDestroy = &DialogGone;
}

DialogFrame::~DialogFrame() {
    CloseSilently();
    ownedControls.Clear();
}

void DialogFrame::OpenWindow() {
    width = scale(requestedClientWidth);
    height = scale(requestedClientHeight);
    if (centreOnScreen) {
        CentreOnScreen();
    } else if (owner != nullptr) {
        RECT ownerRect{};
        if (owner->window != nullptr && GetWindowRect(owner->window, &ownerRect)) {
            x = ownerRect.left + scale(50);
            y = ownerRect.top + scale(50);
        } else {
            x = owner->x + scale(50);
            y = owner->y + scale(50);
        }
    }
    Form::Create();
    // The dialog belongs to its owner's window: it stays in front of it, and
    // an attempt to activate the disabled owner activates the dialog.
    if (window != nullptr && owner != nullptr && owner->window != nullptr)
        SetWindowLongPtrW(window, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner->window));
    if (programIcon) SetIcon(IDI_APP);
    SetClientSize(scale(requestedClientWidth), scale(requestedClientHeight));
    for (auto& control : ownedControls) ScaleDefaultFont(control.get());
    BeginModal(owner);
    FocusFirstField();
}

void DialogFrame::CloseSilently() {
    for (auto& control : ownedControls) {
        control->onGotFocus = nullptr;
        control->onLostFocus = nullptr;
        control->onTextChanged = nullptr;
    }
    DestroyQuietly();
}

void DialogFrame::BuildControls() {}

void DialogFrame::MeasureAndBuild() {
    MeasureClient();
    BuildControls();
}

void DialogFrame::ReleaseOwner() { EndModal(); }

void DialogFrame::OnFormKey(int key) {
    if (key == VK_ESCAPE) CloseOnEscape(this, key);
    else if (key == VK_RETURN && okButton != nullptr) OnButton(okButton);
}

bool DialogFrame::FilterChildChar(GUIElement*, int key) {
    // Tab moves the focus (the window procedure does that on the key press);
    // Enter and Escape belong to the dialog, which hears them anyway. None of
    // them is text for a field.
    return key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE;
}

void DialogFrame::CloseOnEscape(GUIElement*, int key) {
    if (key != VK_ESCAPE) return;
    // The Escape closed an open list: the dialog stays.
    if (std::exchange(escapeClosedList_, false)) return;
    // As "Annulla" closes it: nothing the dialog holds is taken.
    result = ResultCancelled;
    CloseWindow();
}

void DialogFrame::ChildLostFocus(GUIElement*) {}

void DialogFrame::ChildGotFocus(GUIElement*) {}

void DialogFrame::OnButton(GUIElement* button) {
    if (button == nullptr) return;
    if (button == cancelButton) {
        result = ResultCancelled;
        CloseWindow();
    } else if (button == okButton) {
        Accept();
    }
}

void DialogFrame::Accept() {
    result = ResultAccepted;
    CloseWindow();
}

void DialogFrame::ReportOutcome() {}

void DialogFrame::CloseWindow() {
    if (IsOpen()) SendMessageW(window, WM_CLOSE, 0, 0);
}

bool DialogFrame::IsOpen() const { return created && !destroyed && window != nullptr && IsWindow(window); }

void DialogFrame::FocusFirstField() {
    if (!IsOpen()) return;
    if (firstField != nullptr && firstField->window != nullptr && IsWindowEnabled(firstField->window)) {
        firstField->Focus();
        return;
    }
    // The first field cannot take the keyboard now (a page button on the
    // only page): the first control that can, so that the focus shows.
    HWND next = GetNextDlgTabItem(window, nullptr, FALSE);
    if (next == nullptr) return;
    if (GUIElement* control = QVUtility::FindElementHolding(next)) {
        control->Focus();
    } else {
        SetFocus(next);
    }
}

QVUtility::Button* DialogFrame::MakeButton(const std::wstring& caption, int left, int top, int buttonWidth,
                                           int buttonHeight, int id) {
    auto* button = Own(new QVUtility::Button(this, ""));
    button->fixedId = id;
    button->text = caption;
    Place(button, left, top, buttonWidth, buttonHeight);
    button->onCommand = &ButtonPressed;
    button->Create();
    return button;
}

void DialogFrame::MakeOkCancelButtons() {
    cancelButton = MakeButton(L"Annulla", builtWidth - 110, builtHeight - 35, 100, 25);
    okButton = MakeButton(L"OK", builtWidth - 220, builtHeight - 35, 100, 25);
    // "OK" stands left of "Annulla", and Tab reaches it first.
    TabAfter(okButton, cancelButton);
}

void DialogFrame::TabAfter(GUIElement* before, GUIElement* after) {
    if (before == nullptr || after == nullptr || before->window == nullptr || after->window == nullptr) return;
    SetWindowPos(after->window, before->window, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void DialogFrame::ShowProblem(const std::wstring& problem, GUIElement* culprit) {
    QVUtility::ShowError(this, problem, std::wstring(L"Errore"));
    if (culprit != nullptr && IsOpen()) culprit->Focus();
}

QVUtility::Label* DialogFrame::MakeLabel(const std::wstring& caption, int left, int top, int labelWidth,
                                         int labelHeight, QVUtility::FontDescription* labelFont, int id) {
    auto* label = Own(new QVUtility::Label(this, ""));
    label->fixedId = id;
    label->text = caption;
    Place(label, left, top, labelWidth, labelHeight);
    if (labelFont != nullptr) label->font = labelFont;
    label->Create();
    return label;
}

void DialogFrame::ListKeyDown(GUIElement* list, int key) {
    auto* dialog = QVUtility::OwningElement<DialogFrame>(list);
    if (dialog == nullptr || list == nullptr) return;
    // Heard before the list handles the key: whether it was open then. The
    // list closes its items at once; the Escape character that follows is
    // then the list's, not its dialog's.
    dialog->escapeClosedList_ =
        key == VK_ESCAPE && list->window != nullptr && SendMessageW(list->window, CB_GETDROPPEDSTATE, 0, 0) != FALSE;
}

QVUtility::ComboBox* DialogFrame::MakeComboBox(const std::vector<std::wstring>& items, int selected, int left, int top,
                                               int listWidth, int id) {
    auto* list = Own(new QVUtility::ComboBox(this));
    list->fixedId = id;
    // The height holds the open list.
    Place(list, left, top, listWidth, 25 * static_cast<int>(items.size() + 2));
    for (const std::wstring& item : items) list->AddItem(item, item);
    list->onKeyDown = &ListKeyDown;
    list->Create();
    list->Select(selected);
    return list;
}

QVUtility::TextBox* DialogFrame::MakeDescriptionBox(QVUtility::Label*& label) {
    label = MakeLabel(L"Descrizione:", 10, 10, builtWidth - 30, 25);
    auto* box = Own(new QVUtility::TextBox(this, ""));
    box->accessibleName = L"Descrizione";
    Place(box, 10, 35, builtWidth - 30, 25);
    box->maxLength = 255;
    box->Create();
    return box;
}

QVUtility::DatePicker* DialogFrame::MakeDatePicker(int left, int top, bool create) {
    auto* picker = Own(new QVUtility::DatePicker(this));
    Place(picker, left, top, 100, 25);
    if (create) picker->Create();
    return picker;
}

void DialogFrame::ShowDescriptionAndSpan(QVUtility::TextBox* box, QVUtility::DatePicker* startField,
                                         QVUtility::DatePicker* endField, const std::string& description,
                                         const Date& first, const Date& last) {
    if (box != nullptr) {
        box->SetTextNarrow(description);
        if (box->window != nullptr) SendMessageW(box->window, EM_SETSEL, 0, -1);
    }
    if (startField != nullptr) {
        startField->date = first.value;
        startField->ApplyDate();
    }
    if (endField != nullptr) {
        endField->date = last.value;
        endField->ApplyDate();
    }
}

void DialogFrame::MeasureClient() {
    // The client the window is given once made, rather than the smaller one
    // it has while it is being made: controls placed from the bottom right
    // corner then stand in it, clear of the controls above them.
    builtWidth = requestedClientWidth;
    builtHeight = requestedClientHeight;
}

void DialogFrame::Place(GUIElement* element, int left, int top, int elementWidth, int elementHeight) {
    element->x = scale(left);
    element->y = scale(top);
    element->width = scale(elementWidth);
    element->height = scale(elementHeight);
    basePlaces.push_back(BasePlace{element, RECT{left, top, elementWidth, elementHeight}});
}

void DialogFrame::OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) {
    Form::OnDpiChanged(newScale, suggested);
    dialogFont.SetDpi(scale.Dpi());
    ApplyFont();
    SetClientSize(scale(requestedClientWidth), scale(requestedClientHeight));
    for (auto& control : ownedControls) ScaleDefaultFont(control.get());
    for (const BasePlace& base : basePlaces) {
        GUIElement* element = base.element;
        element->x = scale(base.place.left);
        element->y = scale(base.place.top);
        element->width = scale(base.place.right);
        element->height = scale(base.place.bottom);
        if (element->window != nullptr) {
            SetWindowPos(element->window, nullptr, element->x, element->y, element->width, element->height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (element->font != nullptr) {
            element->font->SetDpi(scale.Dpi());
            if (element->window != nullptr)
                SendMessageW(element->window, WM_SETFONT, reinterpret_cast<WPARAM>(element->font->GetFont()), TRUE);
        }
    }
    // Up-down arrows sit at their boxes' new right ends.
    for (auto& control : ownedControls) {
        if (auto* arrows = dynamic_cast<QVUtility::NumericBox*>(control.get())) arrows->FollowBuddy();
    }
}

void DialogFrame::WireChild(GUIElement* element) {
    if (dynamic_cast<QVUtility::GroupBox*>(element) != nullptr) {
        element->previewChildChars = true;
        element->onChar = &FrameChar;
    } else {
        element->onChar = &ChildChar;
    }
    element->onGotFocus = &ChildFocused;
    element->onLostFocus = &ChildUnfocused;
}

// ---- Text helpers -------------------------------------------------------------

std::string TrimSpaces(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

std::wstring DescriptionProblem(const std::string& description, const std::wstring& typed) {
    const std::wstring lost = QVUtility::CharactersLostInNarrowing(typed);
    if (!lost.empty()) {
        std::wstring listed;
        for (wchar_t character : lost) {
            if (!listed.empty() && !IS_LOW_SURROGATE(character)) listed += L' ';
            listed += character;
        }
        return L"La descrizione contiene caratteri che non possono essere salvati nel file: " + listed + L".";
    }
    if (description.find_first_of("\r\n") != std::string::npos)
        return L"La descrizione non può contenere interruzioni di riga.";
    if (IsMarkerLine(description)) return L"La descrizione non può essere uguale a una riga di controllo del file.";
    return std::wstring();
}

std::wstring OutsideProjectProblem(const std::wstring& subject, const Date& projectStart, const Date& projectEnd) {
    return subject + L" deve essere compresa nel periodo del progetto (dal " +
           QVUtility::Widen(FormatDate(projectStart)) + L" al " + QVUtility::Widen(FormatDate(projectEnd)) + L").";
}

bool WithinProject(const Date& day, const Date& projectStart, const Date& projectEnd) {
    const Date only = DateOnly(day);
    return CompareDates(only, DateOnly(projectStart)) != -1 && CompareDates(only, DateOnly(projectEnd)) != 1;
}

std::wstring UpperCaseText(const std::string& text) {
    std::wstring wide = QVUtility::Widen(text);
    if (!wide.empty()) CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    return wide;
}

}  // namespace MyApp
