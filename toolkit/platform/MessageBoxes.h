// Task-modal message boxes. With an owner element its window is disabled
// while the box is shown; without one, every top-level window of the
// calling thread is. A box that cannot be shown leaves the owner as it
// found it. Narrow texts are in the system code page; the wide forms take
// the program's own wide literals.
#pragma once

#include <string>

namespace QVUtility {

class GUIElement;

// Plain box with an OK button; answers the platform's result (IDOK).
int ShowMessage(GUIElement* owner, const std::string& text, const std::string& caption);
int ShowMessage(GUIElement* owner, const std::wstring& text, const std::wstring& caption);
// The same with the error icon.
int ShowError(GUIElement* owner, const std::string& text, const std::string& caption);
int ShowError(GUIElement* owner, const std::wstring& text, const std::wstring& caption);
// The same with the information icon.
int ShowInfo(GUIElement* owner, const std::string& text, const std::string& caption);
int ShowInfo(GUIElement* owner, const std::wstring& text, const std::wstring& caption);
// How a Yes/No question ended.
enum class Answer {
    Yes,
    No,
    NotShown,  // the box could not be made: the user was not asked
};
// Question with Yes and No over the owner's window (none: without owner).
Answer AskQuestion(GUIElement* owner, const std::wstring& text, const std::wstring& caption);

// How a Yes/No/Cancel question ended.
enum class Choice {
    Yes,
    No,
    Cancel,    // Cancel, or Escape
    NotShown,  // the box could not be made: the user was not asked
};
// Question with Yes, No and Cancel over the owner's window.
Choice AskYesNoCancel(GUIElement* owner, const std::wstring& text, const std::wstring& caption);

// Question with Yes and No, without owner: true only for Yes (false also
// when the box could not be shown).
bool AskYesNo(const std::string& text, const std::string& caption);
bool AskYesNo(const std::wstring& text, const std::wstring& caption);
// The same over the owner's window.
bool AskYesNoOwned(GUIElement* owner, const std::string& text, const std::string& caption);
bool AskYesNoOwned(GUIElement* owner, const std::wstring& text, const std::wstring& caption);

}  // namespace QVUtility
