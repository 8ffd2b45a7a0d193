// Answering the program's message boxes and its open and save dialogs.
#include "Driver.h"

namespace drv {

namespace {

constexpr int kMessageTextId = 0xFFFF;  // the text of a message box
constexpr int kFileNameId = 1148;       // the name field of the open and save dialogs

std::wstring Number(long long value) { return std::to_wstring(value); }

bool IsMessageBox(HWND window) {
    return ClassOf(window) == L"#32770" && FindDescendant(window, kMessageTextId, L"Static") != nullptr;
}

bool IsFileDialog(HWND window) {
    return ClassOf(window) == L"#32770" && FindDescendant(window, kFileNameId) != nullptr;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[512];
    const int n = GetWindowTextW(window, title, 512);
    return std::wstring(title, n > 0 ? static_cast<size_t>(n) : 0);
}

// First visible top-level window of `pid` that passes `test` and is titled
// `title` (nullptr: any title).
HWND FindTop(DWORD pid, const wchar_t* title, bool (*test)(HWND)) {
    for (HWND window : TopWindows(pid))
        if ((!title || TitleOf(window) == title) && test(window)) return window;
    return nullptr;
}

// A message box owned by `owner`.
HWND FindOwnedMessageBox(HWND owner) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    for (HWND window : TopWindows(pid))
        if (GetWindow(window, GW_OWNER) == owner && IsMessageBox(window)) return window;
    return nullptr;
}

// The name field of a file dialog: an Edit with id 1148, or the Edit inside
// the combo box that carries that id.
HWND FileNameField(HWND dialog) {
    if (HWND edit = FindDescendant(dialog, kFileNameId, L"Edit")) return edit;
    if (HWND holder = FindDescendant(dialog, kFileNameId))
        if (HWND edit = FindDescendant(holder, -1, L"Edit")) return edit;
    return nullptr;
}

HWND WaitFileDialog(DWORD pid, const wchar_t* title, DWORD timeoutMs) {
    HWND dialog = nullptr;
    if (WaitUntil([&] { return (dialog = FindTop(pid, title, IsFileDialog)) != nullptr; }, timeoutMs)) return dialog;
    Fail(L"no file dialog \"" + std::wstring(title ? title : L"*") + L"\" of process " + Number(pid) + L" within " +
         Number(timeoutMs) + L" ms");
    return nullptr;
}

}  // namespace

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) button = FindDescendant(dialog, id, L"Button");
    if (!button) return Fail(L"no button " + Number(id) + L" in \"" + TitleOf(dialog) + L"\"");
    if (!IsWindowEnabled(button)) return Fail(L"button \"" + Text(button) + L"\" is disabled");
    if (!PostMessageW(button, BM_CLICK, 0, 0)) return Fail(L"BM_CLICK could not be posted");
    return true;
}

bool ClickButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (!button) button = FindDescendant(dialog, id, L"Button");
    if (!button) return Fail(L"no button " + Number(id) + L" in \"" + TitleOf(dialog) + L"\"");
    if (!IsWindowEnabled(button)) return Fail(L"button \"" + Text(button) + L"\" is disabled");
    const POINT centre = Centre(ScreenRect(button));
    if (!PointShows(centre, button)) return Fail(L"button \"" + Text(button) + L"\" is covered or off screen");
    Click(centre);
    return true;
}

HWND WaitMessageBox(DWORD pid, const wchar_t* caption, DWORD timeoutMs) {
    HWND box = nullptr;
    if (WaitUntil([&] { return (box = FindTop(pid, caption, IsMessageBox)) != nullptr; }, timeoutMs)) return box;
    Fail(L"no message box \"" + std::wstring(caption ? caption : L"*") + L"\" of process " + Number(pid) + L" within " +
         Number(timeoutMs) + L" ms");
    return nullptr;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = FindDescendant(box, kMessageTextId, L"Static");
    return text ? Text(text) : std::wstring();
}

bool AnswerMessageBox(DWORD pid, const wchar_t* caption, int id, std::wstring* text, DWORD timeoutMs) {
    HWND box = WaitMessageBox(pid, caption, timeoutMs);
    if (!box) return false;
    if (text) *text = MessageBoxText(box);
    return PressButton(box, id) && WaitWindowGone(box, timeoutMs);
}

FileDialogAnswer AnswerFileDialog(DWORD pid, const wchar_t* title, const std::wstring& path, bool overwrite,
                                  DWORD timeoutMs) {
    FileDialogAnswer answer;
    HWND dialog = WaitFileDialog(pid, title, timeoutMs);
    if (!dialog) return answer;
    HWND field = FileNameField(dialog);
    if (!field) {
        Fail(L"the file dialog \"" + TitleOf(dialog) + L"\" has no name field");
        return answer;
    }
    if (!Activate(dialog, timeoutMs)) return answer;
    // Into the field (a click when it does not have the focus yet), select
    // what it holds and type over it. Keys, not messages, do the selecting:
    // they queue behind the click, while a posted message would overtake it.
    if (FocusOf(dialog) != field) {
        const POINT centre = Centre(ScreenRect(field));
        if (PointShows(centre, field)) Click(centre);
        if (!WaitUntil([&] { return FocusOf(dialog) == field; }, timeoutMs)) {
            Fail(L"the name field of \"" + TitleOf(dialog) + L"\" did not take the focus");
            return answer;
        }
    }
    Press(VK_HOME);
    Press(VK_END, kShift);
    Type(path);
    std::wstring typed;
    if (!WaitUntil([&] { return (typed = Text(field)) == path; }, timeoutMs)) {
        Fail(L"the name field shows \"" + typed + L"\" after typing \"" + path + L"\"");
        return answer;
    }
    if (!PressButton(dialog, IDOK)) return answer;

    // Either the dialog closes, or it asks something in a message box.
    HWND box = nullptr;
    if (!WaitUntil(
            [&] {
                return !IsWindow(dialog) || !IsWindowVisible(dialog) || (box = FindOwnedMessageBox(dialog)) != nullptr;
            },
            timeoutMs)) {
        Fail(L"the file dialog \"" + TitleOf(dialog) + L"\" neither closed nor asked anything");
        return answer;
    }
    if (!box) {
        answer.ok = true;
        return answer;
    }
    answer.question = MessageBoxText(box);
    const bool isQuestion = GetDlgItem(box, IDYES) != nullptr;
    if (isQuestion && overwrite) {
        answer.ok = PressButton(box, IDYES) && WaitWindowGone(box, timeoutMs) && WaitWindowGone(dialog, timeoutMs);
        return answer;
    }
    // Refused or not accepted: close the message, then the dialog.
    if (!PressButton(box, isQuestion ? IDNO : IDOK) || !WaitWindowGone(box, timeoutMs)) return answer;
    if (!PressButton(dialog, IDCANCEL) || !WaitWindowGone(dialog, timeoutMs)) return answer;
    answer.ok = isQuestion;  // the overwrite question answered No is what was asked for
    if (!isQuestion) Fail(L"the file dialog said: " + answer.question);
    return answer;
}

bool CancelFileDialog(DWORD pid, const wchar_t* title, DWORD timeoutMs) {
    HWND dialog = WaitFileDialog(pid, title, timeoutMs);
    return dialog && PressButton(dialog, IDCANCEL) && WaitWindowGone(dialog, timeoutMs);
}

}  // namespace drv
