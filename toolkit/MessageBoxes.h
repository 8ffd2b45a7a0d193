// Task-modal message boxes. With an owner element its window is disabled
// while the box is shown; without one, every top-level window of the
// calling thread is. Narrow texts are in the system code page; the wide
// forms take the program's own wide literals.
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
// Question with Yes and No, without owner: true only for Yes.
bool AskYesNo(const std::string& text, const std::string& caption);
bool AskYesNo(const std::wstring& text, const std::wstring& caption);
// The same over the owner's window.
bool AskYesNoOwned(GUIElement* owner, const std::string& text, const std::string& caption);
bool AskYesNoOwned(GUIElement* owner, const std::wstring& text, const std::wstring& caption);

}  // namespace QVUtility
