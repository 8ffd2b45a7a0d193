#include "toolkit/platform/MessageBoxes.h"

#include <windows.h>

#include "toolkit/core/GUIElement.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

HWND OwnerWindow(GUIElement* owner) { return owner ? owner->window : nullptr; }

int Box(HWND owner, const std::wstring& text, const std::wstring& caption, UINT kind) {
    const bool ownerEnabled = owner != nullptr && IsWindowEnabled(owner);
    const int answer = MessageBoxW(owner, text.c_str(), caption.c_str(), MB_TASKMODAL | kind);
    // 0 on Windows, -1 under Wine: no box was made. Its owner must not stay
    // disabled by the attempt.
    if (answer <= 0 && ownerEnabled && IsWindow(owner) && !IsWindowEnabled(owner)) EnableWindow(owner, TRUE);
    return answer;
}

Answer Question(HWND owner, const std::wstring& text, const std::wstring& caption) {
    const int answer = Box(owner, text, caption, MB_ICONQUESTION | MB_YESNO);
    if (answer <= 0) return Answer::NotShown;
    return answer == IDYES ? Answer::Yes : Answer::No;  // Wine lets Escape close it too
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

Answer AskQuestion(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    return Question(OwnerWindow(owner), text, caption);
}

Choice AskYesNoCancel(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    switch (Box(OwnerWindow(owner), text, caption, MB_ICONQUESTION | MB_YESNOCANCEL)) {
    case IDYES: return Choice::Yes;
    case IDNO: return Choice::No;
    case IDCANCEL: return Choice::Cancel;
    default: return Choice::NotShown;
    }
}

bool AskYesNo(const std::wstring& text, const std::wstring& caption) {
    return Question(nullptr, text, caption) == Answer::Yes;
}
bool AskYesNo(const std::string& text, const std::string& caption) { return AskYesNo(Widen(text), Widen(caption)); }

bool AskYesNoOwned(GUIElement* owner, const std::wstring& text, const std::wstring& caption) {
    return AskQuestion(owner, text, caption) == Answer::Yes;
}
bool AskYesNoOwned(GUIElement* owner, const std::string& text, const std::string& caption) {
    return AskYesNoOwned(owner, Widen(text), Widen(caption));
}

}  // namespace QVUtility
