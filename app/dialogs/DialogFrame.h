// DialogFrame: what the program's modal dialogs (task, project, days, cost)
// have in common.
//
// A dialog is a Form in dialog mode placed 50 pixels right of and below its
// owner's top-left corner, with its own font, the program icon and a fixed
// client size. Its constructor creates the window at once (the controls are
// built from the onCreate handler), disables the owner and records itself as
// the owner's modal dialog; closing the window gives the owner back. There is
// no nested message loop: once the window has gone, the dialog hands what the
// user confirmed to the one callback its opener gave it (ReportOutcome). The
// opener keeps the dialog object until it opens the next dialog of the kind.
//
// Keys: characters typed in any control are also offered to the dialog
// (previewChildChars); Escape closes the dialog without a result and Enter
// acts as the dialog's "OK".
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/Date.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/OwnedElements.h"
#include "toolkit/draw/FontDescription.h"

namespace QVUtility {
class Button;
class ComboBox;
class Label;
class DatePicker;
class TextBox;
}  // namespace QVUtility

namespace MyApp {

// How a dialog ended.
constexpr int ResultClosed = 0;     // the window's close box
constexpr int ResultAccepted = 1;   // "OK"
constexpr int ResultCancelled = 2;  // "Annulla" or Escape

class DialogFrame : public QVUtility::Form {
public:
    // The window is not made here: each dialog class calls OpenWindow at the
    // end of its own constructor, once its overrides are in place.
    // The dialog's font is `fontFace` at `fontHeight`, bold unless `boldFont` is false.
    DialogFrame(QVUtility::Form* ownerForm, const std::wstring& title, int clientWidth, int clientHeight,
                const std::wstring& fontFace, int fontHeight = 16, bool boldFont = true);
    ~DialogFrame() override;

    QVUtility::Form* owner = nullptr;  // disabled while the dialog is open
    int result = ResultClosed;         // how the dialog was left
    // The dialog's "OK" and "Annulla" buttons, where it has them.
    QVUtility::Button* okButton = nullptr;
    QVUtility::Button* cancelButton = nullptr;

    // ---- Operations the dialogs override ------------------------------------
    // Creates and places the controls in the client size measured just
    // before (builtWidth, builtHeight); runs while the window is being made.
    virtual void BuildControls();
    // Measures the client size, then builds the controls: what the making
    // of the window does.
    void MeasureAndBuild();
    // Clears the owner's modal-dialog record and enables the owner; runs when
    // the window closes.
    virtual void ReleaseOwner();
    // A character typed in the dialog or in one of its controls: Escape
    // closes the dialog, Enter presses "OK".
    virtual void OnFormKey(int key);
    // A character typed in a control: true lets the control have it.
    virtual bool FilterChildChar(QVUtility::GUIElement* element, int key);
    // Escape closes the dialog as "Annulla" does (ResultCancelled), unless
    // it closed an open list.
    virtual void CloseOnEscape(QVUtility::GUIElement* element, int key);
    virtual void ChildLostFocus(QVUtility::GUIElement* element);
    virtual void ChildGotFocus(QVUtility::GUIElement* element);
    // A button of the dialog was pressed: "Annulla" closes the dialog with
    // ResultCancelled, "OK" calls Accept.
    virtual void OnButton(QVUtility::GUIElement* button);
    // "OK" was pressed: closes the dialog with ResultAccepted. Dialogs that
    // check their fields first close it only when the fields are sound.
    virtual void Accept();
    // The window has gone: the dialog hands its outcome to its opener's
    // callback (what the user confirmed, for "OK"). Nothing here.
    virtual void ReportOutcome();

    // Closes the dialog window (WM_CLOSE); nothing when it is already gone.
    void CloseWindow();
    // The dialog's window exists and is open.
    bool IsOpen() const;
    // Gives the keyboard focus to the control that should have it when the
    // dialog opens: the first field, or the first control Tab reaches when
    // that one is disabled.
    void FocusFirstField();

protected:
    // Makes the window (which builds the controls), sets the icon and the
    // client size, disables the owner and focuses the first field.
    void OpenWindow();

    // Takes ownership of a control made by the dialog and wires the
    // character filter into it; answers the control.
    template <class T>
    T* Own(T* element) {
        ownedControls.Add(element);
        WireChild(element);
        return element;
    }
    // A button whose click reaches OnButton, made at once; `id` is its
    // identifier (0: the control counter's next).
    QVUtility::Button* MakeButton(const std::wstring& caption, int left, int top, int buttonWidth, int buttonHeight,
                                  int id = 0);
    // "OK" and "Annulla" side by side in the bottom right corner, in that
    // order for Tab too.
    void MakeOkCancelButtons();
    // Tab goes from `before` to `after`: the controls' order made to follow
    // the order they stand in, whatever order they were made in (which
    // gives them their identifiers).
    static void TabAfter(QVUtility::GUIElement* before, QVUtility::GUIElement* after);

    // A label showing `caption` (in `labelFont`, when given), made at once.
    QVUtility::Label* MakeLabel(const std::wstring& caption, int left, int top, int labelWidth, int labelHeight,
                                QVUtility::FontDescription* labelFont = nullptr, int id = 0);
    // A pick-only list of `items` with the item `selected` chosen, made at
    // once. Escape in it while it is open closes only the list.
    QVUtility::ComboBox* MakeComboBox(const std::vector<std::wstring>& items, int selected, int left, int top,
                                      int listWidth, int id = 0);
    // The "Descrizione:" label and its one-line box across the top of the
    // dialog, both made at once.
    QVUtility::TextBox* MakeDescriptionBox(QVUtility::Label*& label);
    // A date picker in its place; made at once unless `create` is false (the
    // caller then sets its range first).
    QVUtility::DatePicker* MakeDatePicker(int left, int top, bool create = true);
    // Shows a description, selected so that typing replaces it, and a span
    // of days in the fields that edit them (any of them may be missing).
    static void ShowDescriptionAndSpan(QVUtility::TextBox* box, QVUtility::DatePicker* startField,
                                       QVUtility::DatePicker* endField, const std::string& description,
                                       const Date& first, const Date& last);
    // Reads the client size the controls are laid out in into builtWidth
    // and builtHeight, as a size for 96 DPI: the client the window is given.
    void MeasureClient();
    // Gives an element its place in the client area: a place and size for
    // 96 DPI, made the screen's by the dialog's scale and kept for a later
    // change of screen.
    void Place(QVUtility::GUIElement* element, int left, int top, int elementWidth, int elementHeight);

    // A new screen density: the font, the client size and every control's
    // place follow it.
    void OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) override;

    // Shows the problem found in the fields and gives the focus to the
    // field to blame (none when null).
    void ShowProblem(const std::wstring& problem, QVUtility::GUIElement* culprit);

    // Closes the window without notifying anybody and releases the owner:
    // the first step of every dialog's destructor, so that the controls and
    // resources a dialog class owns outlive their windows.
    void CloseSilently();

    // Where the window opens: in the middle of the screen rather than over
    // the owner's corner; and the program icon in its caption or none.
    bool centreOnScreen = false;
    bool programIcon = true;

    // Width of a label beside its field (the fields start at 100): room for
    // its text in the dialog's font at every screen density.
    static constexpr int LabelWidth = 88;

    // Client size the controls are built in (W x H), for 96 DPI.
    int builtWidth = 0;
    int builtHeight = 0;
    QVUtility::GUIElement* firstField = nullptr;  // has the focus when the dialog opens

private:
    void WireChild(QVUtility::GUIElement* element);
    // A key in one of the dialog's lists, before the list has it.
    static void ListKeyDown(QVUtility::GUIElement* list, int key);

    QVUtility::FontDescription dialogFont;
    int requestedClientWidth = 0;
    int requestedClientHeight = 0;
    QVUtility::OwnedElements ownedControls;
    struct BasePlace {
        QVUtility::GUIElement* element;
        RECT place;  // left, top, width, height at 96 DPI
    };
    std::vector<BasePlace> basePlaces;
    bool escapeClosedList_ = false;  // the Escape on its way closed an open list
};

// ---- Text helpers of the dialogs --------------------------------------------

// The text without leading and trailing white space.
std::string TrimSpaces(const std::string& text);

// A description that the project file could not hold: exactly one of the
// file's marker lines, one holding a line break, or one typed (`typed`, as
// the field shows it) with characters that the file's code page, the
// system's, cannot hold. Answers the message to show, or an empty text when
// the description is fine.
std::wstring DescriptionProblem(const std::string& description, const std::wstring& typed = std::wstring());

// The message for a day outside the project, naming the project's span:
// "<subject> deve essere compresa nel periodo del progetto (dal 01/01/2027
// al 30/06/2028)."
std::wstring OutsideProjectProblem(const std::wstring& subject, const Date& projectStart, const Date& projectEnd);

// The day (its time of day aside) lies from the project's first day to its last.
bool WithinProject(const Date& day, const Date& projectStart, const Date& projectEnd);

// Upper case of a text in the system code page, the Italian accented letters
// included (à è é ì ò ù become À È É Ì Ò Ù).
std::wstring UpperCaseText(const std::string& text);

}  // namespace MyApp
