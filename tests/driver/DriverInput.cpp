// Keyboard, mouse and menus through SendInput, as a person would use them.
#include "Driver.h"

namespace drv {

namespace {

std::wstring Number(long long value) { return std::to_wstring(value); }

bool Extended(WORD vk) {
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_RCONTROL:
    case VK_RMENU: return true;
    default: return false;
    }
}

INPUT Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

INPUT Character(wchar_t c, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = c;
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

void Send(std::vector<INPUT>& inputs) {
    if (!inputs.empty()) SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Virtual key and modifiers that type `c` on the current keyboard layout.
// Letters are taken in lower case, so that Alt+F is not Alt+Shift+F; other
// characters keep the Shift they need ("?" is Shift+/ on a US layout).
WORD CharacterKey(wchar_t c, unsigned* modifiers) {
    *modifiers = kNone;
    const SHORT scan = VkKeyScanW(static_cast<wchar_t>(towlower(c)));
    if (scan == -1) return static_cast<WORD>(towupper(c));
    const BYTE shifts = HIBYTE(scan);
    if (shifts & 1) *modifiers |= kShift;
    if (shifts & 2) *modifiers |= kCtrl;
    if (shifts & 4) *modifiers |= kAlt;
    return LOBYTE(scan);
}

// Presses the key of `c` with `extra` modifiers held besides its own.
void PressCharacter(wchar_t c, unsigned extra) {
    unsigned own = kNone;
    const WORD vk = CharacterKey(c, &own);
    Press(vk, own | extra);
}

INPUT Mouse(DWORD flags, POINT screen) {
    const SIZE size = ScreenSize();
    const LONG cx = size.cx > 0 ? size.cx : 1;
    const LONG cy = size.cy > 0 ? size.cy : 1;
    const LONG x = screen.x < 0 ? 0 : (screen.x >= cx ? cx - 1 : screen.x);
    const LONG y = screen.y < 0 ? 0 : (screen.y >= cy ? cy - 1 : screen.y);
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Normalised 0..65535; rounded up so that x * 65536 / cx comes back to x.
    in.mi.dx = static_cast<LONG>((static_cast<long long>(x) * 65536 + cx - 1) / cx);
    in.mi.dy = static_cast<LONG>((static_cast<long long>(y) * 65536 + cy - 1) / cy);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return in;
}

}  // namespace

// ---------------------------------------------------------------------------
// Keyboard

void KeyDown(WORD vk) {
    std::vector<INPUT> in{Key(vk, false)};
    Send(in);
}

void KeyUp(WORD vk) {
    std::vector<INPUT> in{Key(vk, true)};
    Send(in);
}

void Press(WORD vk, unsigned modifiers) {
    std::vector<INPUT> in;
    if (modifiers & kCtrl) in.push_back(Key(VK_CONTROL, false));
    if (modifiers & kAlt) in.push_back(Key(VK_MENU, false));
    if (modifiers & kShift) in.push_back(Key(VK_SHIFT, false));
    in.push_back(Key(vk, false));
    in.push_back(Key(vk, true));
    if (modifiers & kShift) in.push_back(Key(VK_SHIFT, true));
    if (modifiers & kAlt) in.push_back(Key(VK_MENU, true));
    if (modifiers & kCtrl) in.push_back(Key(VK_CONTROL, true));
    Send(in);
}

void Alt(wchar_t letter) { PressCharacter(letter, kAlt); }
void Ctrl(wchar_t letter) { PressCharacter(letter, kCtrl); }
void Enter() { Press(VK_RETURN); }
void Escape() { Press(VK_ESCAPE); }
void Tab(bool shift) { Press(VK_TAB, shift ? kShift : kNone); }

void Down(int times) {
    for (int i = 0; i < times; ++i) Press(VK_DOWN);
}

void Up(int times) {
    for (int i = 0; i < times; ++i) Press(VK_UP);
}

void Type(const std::wstring& text) {
    for (wchar_t c : text) {
        if (c == L'\n') {
            Enter();
        } else if (c == L'\t') {
            Tab();
        } else if (c != L'\r') {
            std::vector<INPUT> in{Character(c, false), Character(c, true)};
            Send(in);
        }
    }
}

// ---------------------------------------------------------------------------
// Menus

bool MenuOpen(DWORD pid) { return FindTopWindow(pid, L"#32768") != nullptr; }

HWND WaitMenu(DWORD pid, DWORD timeoutMs) {
    HWND menu = nullptr;
    if (WaitUntil([&] { return (menu = FindTopWindow(pid, L"#32768")) != nullptr; }, timeoutMs)) return menu;
    Fail(L"no menu of process " + Number(pid) + L" opened within " + Number(timeoutMs) + L" ms");
    return nullptr;
}

static bool InMenuMode(DWORD pid);

bool OpenMenu(DWORD pid, wchar_t menuLetter) {
    // Once more when the keys were lost: under Wine, Alt+letter sent while
    // the program moves its keyboard focus between windows (its window
    // being activated) now and then opens nothing, or leaves only the menu
    // bar selected.
    Alt(menuLetter);
    if (WaitUntil([&] { return MenuOpen(pid); }, kRetryAfter)) return true;
    if (InMenuMode(pid)) CloseMenus(pid);
    Alt(menuLetter);
    if (WaitMenu(pid)) return true;
    return Fail(L"Alt+" + std::wstring(1, menuLetter) + L" opened no menu of process " + Number(pid) +
                L" (foreground window: \"" + Text(GetForegroundWindow()) + L"\")");
}

static bool WaitMenusClosed(DWORD pid, const std::wstring& what) {
    if (WaitUntil([&] { return !MenuOpen(pid); })) return true;
    return Fail(what + L": the menu stayed open");
}

bool ChooseMenuItem(DWORD pid, wchar_t menuLetter, wchar_t itemLetter) {
    if (!OpenMenu(pid, menuLetter)) return false;
    PressCharacter(itemLetter, kNone);
    return WaitMenusClosed(pid, L"menu " + std::wstring(1, menuLetter) + L", item " + std::wstring(1, itemLetter));
}

bool ChooseMenuItemAt(DWORD pid, wchar_t menuLetter, int downs) {
    if (!OpenMenu(pid, menuLetter)) return false;
    Down(downs);
    Enter();
    return WaitMenusClosed(pid, L"menu " + std::wstring(1, menuLetter) + L", " + Number(downs) + L" down");
}

// Whether a thread of `pid` is tracking a menu (a menu open, or the menu bar
// selected after Escape closed its menu).
static bool InMenuMode(DWORD pid) {
    if (MenuOpen(pid)) return true;
    for (HWND window : TopWindows(pid)) {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
            (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE)))
            return true;
    }
    return false;
}

bool CloseMenus(DWORD pid) {
    // Escape closes the menu open, then the menu bar's selection: the next
    // goes only once the last has taken effect.
    for (int i = 0; i < 6; ++i) {
        if (!InMenuMode(pid)) return true;
        const bool menuOpen = MenuOpen(pid);
        Escape();
        WaitUntil([&] { return menuOpen ? !MenuOpen(pid) : !InMenuMode(pid); });
    }
    return Fail(L"the menus of process " + Number(pid) + L" stay open");
}

// ---------------------------------------------------------------------------
// Mouse

void MoveMouse(POINT screen) {
    std::vector<INPUT> in{Mouse(0, screen)};
    Send(in);
}

void Click(POINT screen, Button button) {
    const DWORD down = button == Button::Left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN;
    const DWORD up = button == Button::Left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP;
    std::vector<INPUT> in{Mouse(0, screen), Mouse(down, screen), Mouse(up, screen)};
    Send(in);
}

void DoubleClick(POINT screen) {
    std::vector<INPUT> in{Mouse(0, screen), Mouse(MOUSEEVENTF_LEFTDOWN, screen), Mouse(MOUSEEVENTF_LEFTUP, screen),
                          Mouse(MOUSEEVENTF_LEFTDOWN, screen), Mouse(MOUSEEVENTF_LEFTUP, screen)};
    Send(in);
}

void Drag(POINT from, POINT to) {
    std::vector<INPUT> in{Mouse(0, from), Mouse(MOUSEEVENTF_LEFTDOWN, from)};
    Send(in);
    constexpr int kSteps = 8;
    for (int step = 1; step <= kSteps; ++step) {
        Sleep(20);
        const POINT at{from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps};
        in = {Mouse(0, at)};
        Send(in);
    }
    Sleep(20);
    in = {Mouse(MOUSEEVENTF_LEFTUP, to)};
    Send(in);
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

void ClickWindow(HWND window, Button button) { Click(Centre(ScreenRect(window)), button); }

void ClickAt(HWND window, POINT client, Button button) { Click(ToScreen(window, client), button); }

}  // namespace drv
