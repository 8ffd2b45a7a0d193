#include "toolkit/MessageBoxes.h"

#include <windows.h>

#include "toolkit/TextConversion.h"
#include "toolkit/GUIElement.h"

namespace QVUtility {

namespace {

HWND OwnerWindow(GUIElement* owner) { return owner ? owner->window : nullptr; }

int Box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT kind) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_TASKMODAL | kind);
}

}  // namespace

int ShowMessage(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    return Box(OwnerWindow(owner), text, caption, 0);
}
int ShowMessage(GUIElement* owner, const std::string& text, const std::string& caption) {
    return ShowMessage(owner, Widen(text), Widen(caption));
}

int ShowError(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    return Box(OwnerWindow(owner), text, caption, MB_ICONERROR);
}
int ShowError(GUIElement* owner, const std::string& text, const std::string& caption) {
    return ShowError(owner, Widen(text), Widen(caption));
}

int ShowInfo(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    return Box(OwnerWindow(owner), text, caption, MB_ICONINFORMATION);
}
int ShowInfo(GUIElement* owner, const std::string& text, const std::string& caption) {
    return ShowInfo(owner, Widen(text), Widen(caption));
}

bool AskYesNo(const std::wstring& text, const std::wstring& caption) {
    return Box(nullptr, text, caption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}
bool AskYesNo(const std::string& text, const std::string& caption) {
    return AskYesNo(Widen(text), Widen(caption));
}

bool AskYesNoOwned(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    return Box(OwnerWindow(owner), text, caption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}
bool AskYesNoOwned(GUIElement* owner, const std::string& text, const std::string& caption) {
    return AskYesNoOwned(owner, Widen(text), Widen(caption));
}

}  // namespace QVUtility
