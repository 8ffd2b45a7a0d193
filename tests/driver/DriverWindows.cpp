// Finding the program's windows and reading them from outside.
#include "Driver.h"

#include <cstdio>

namespace drv {

namespace {

constexpr UINT kSendTimeoutMs = 3000;  // a hung program must not hang the driver

std::wstring Number(long long value) { return std::to_wstring(value); }

std::wstring Describe(const wchar_t* cls, const wchar_t* title) {
    return std::wstring(cls ? cls : L"*") + L" \"" + (title ? title : L"*") + L"\"";
}

std::wstring TopTitle(HWND window) {
    wchar_t title[512];
    const int n = GetWindowTextW(window, title, 512);
    return std::wstring(title, n > 0 ? static_cast<size_t>(n) : 0);
}

bool Matches(HWND window, const wchar_t* cls, const wchar_t* title) {
    if (cls && ClassOf(window) != cls) return false;
    if (title && TopTitle(window) != title) return false;
    return true;
}

bool IdMatches(int got, int wanted) {
    // Dialog templates store ids as 16 bits: 0xFFFF may read back as -1.
    return wanted == -1 || got == wanted || (wanted == 0xFFFF && got == -1);
}

void DescribeTree(HWND window, int depth, std::string& out) {
    const RECT r = ScreenRect(window);
    char line[160];
    std::snprintf(line, sizeof line, "%*s%p %s id=%d (%ld,%ld)-(%ld,%ld)%s%s \"", depth * 2, "",
                  static_cast<void*>(window), Utf8(ClassOf(window)).c_str(), IdOf(window), r.left, r.top, r.right,
                  r.bottom, IsWindowVisible(window) ? "" : " hidden", IsWindowEnabled(window) ? "" : " disabled");
    out += line;
    std::wstring text = Text(window);
    if (text.size() > 80) text = text.substr(0, 80) + L"...";
    out += Utf8(text) + "\"\n";
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        DescribeTree(child, depth + 1, out);
}

}  // namespace

// ---------------------------------------------------------------------------
// Top-level windows

std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly) {
    struct Search {
        DWORD pid;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{pid, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && (!s->visibleOnly || IsWindowVisible(window))) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, bool visibleOnly) {
    for (HWND window : TopWindows(pid, visibleOnly))
        if (Matches(window, cls, title)) return window;
    return nullptr;
}

HWND WaitTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
    HWND found = nullptr;
    if (WaitUntil([&] { return (found = FindTopWindow(pid, cls, title)) != nullptr; }, timeoutMs)) return found;
    Fail(L"no window " + Describe(cls, title) + L" of process " + Number(pid) + L" within " + Number(timeoutMs) +
         L" ms");
    return nullptr;
}

HWND FindOwnedWindow(HWND owner, const wchar_t* cls, const wchar_t* title) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    for (HWND window : TopWindows(pid))
        if (GetWindow(window, GW_OWNER) == owner && Matches(window, cls, title)) return window;
    return nullptr;
}

HWND WaitOwnedWindow(HWND owner, const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) {
    HWND found = nullptr;
    if (WaitUntil([&] { return (found = FindOwnedWindow(owner, cls, title)) != nullptr; }, timeoutMs)) return found;
    Fail(L"no window " + Describe(cls, title) + L" owned by \"" + TopTitle(owner) + L"\" within " + Number(timeoutMs) +
         L" ms");
    return nullptr;
}

bool WaitWindowGone(HWND window, DWORD timeoutMs) {
    if (WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs)) return true;
    return Fail(L"window " + ClassOf(window) + L" \"" + TopTitle(window) + L"\" still shown after " +
                Number(timeoutMs) + L" ms");
}

// ---------------------------------------------------------------------------
// Descendants

std::vector<HWND> Descendants(HWND parent, const wchar_t* cls) {
    struct Search {
        const wchar_t* cls;
        std::vector<HWND> found;
    } search{cls, {}};
    // EnumChildWindows walks every level below the parent.
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            if (!s->cls || ClassOf(window) == s->cls) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, int id, const wchar_t* cls) {
    for (HWND window : Descendants(parent, cls))
        if (IdMatches(IdOf(window), id)) return window;
    return nullptr;
}

HWND WaitDescendant(HWND parent, int id, const wchar_t* cls, DWORD timeoutMs) {
    HWND found = nullptr;
    if (WaitUntil([&] { return (found = FindDescendant(parent, id, cls)) != nullptr; }, timeoutMs)) return found;
    Fail(L"no control " + std::wstring(cls ? cls : L"*") + L" id " + Number(id) + L" in \"" + TopTitle(parent) +
         L"\" within " + Number(timeoutMs) + L" ms");
    return nullptr;
}

HWND FindDescendantByText(HWND parent, const wchar_t* cls, const std::wstring& text) {
    for (HWND window : Descendants(parent, cls))
        if (Text(window) == text) return window;
    return nullptr;
}

std::string DescribeWindows(DWORD pid) {
    std::string out;
    for (HWND window : TopWindows(pid, false)) DescribeTree(window, 0, out);
    return out.empty() ? "(no windows)\n" : out;
}

// ---------------------------------------------------------------------------
// Reading

std::wstring Text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return std::wstring();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &copied))
        return std::wstring();
    text.resize(copied < length ? copied : length);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256];
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

int IdOf(HWND window) { return static_cast<int>(GetWindowLongPtrW(window, GWLP_ID)); }

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT ClientScreenRect(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT ToScreen(HWND window, POINT client) {
    MapWindowPoints(window, nullptr, &client, 1);
    return client;
}

bool Enabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool Visible(HWND window) { return IsWindowVisible(window) != FALSE; }

HWND Owner(HWND window) { return GetWindow(window, GW_OWNER); }

int ButtonCheck(HWND button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
    return static_cast<int>(state);
}

bool SetText(HWND window, const std::wstring& text) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                             kSendTimeoutMs, &result))
        return Fail(L"WM_SETTEXT to " + ClassOf(window) + L" timed out");
    return true;
}

HWND FocusOf(HWND top) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool Activate(HWND top, DWORD timeoutMs) {
    if (GetForegroundWindow() == top) return true;
    if (WaitUntil(
            [&] {
                if (GetForegroundWindow() == top) return true;
                SetForegroundWindow(top);
                return GetForegroundWindow() == top;
            },
            timeoutMs, 50))
        return true;
    return Fail(L"could not bring \"" + TopTitle(top) + L"\" to the foreground");
}

}  // namespace drv
