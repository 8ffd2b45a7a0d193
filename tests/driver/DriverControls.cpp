// Common controls read from outside: toolbars and status bars. Their messages
// that take pointers get a buffer in the program's own memory.
#include "Driver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

namespace drv {

namespace {

constexpr UINT kSendTimeoutMs = 3000;

std::wstring Number(long long value) { return std::to_wstring(value); }

// Sends `message` and answers its result; `ok` tells whether it was answered.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* ok = nullptr) {
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result) != 0;
    if (ok) *ok = answered;
    return static_cast<LRESULT>(result);
}

}  // namespace

// ---------------------------------------------------------------------------
// RemoteBuffer

RemoteBuffer::RemoteBuffer(HWND window, size_t bytes) : size_(bytes) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process_) {
        Fail(L"OpenProcess(" + Number(pid) + L") failed, error " + Number(GetLastError()));
        return;
    }
    address_ = VirtualAllocEx(process_, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!address_) Fail(L"VirtualAllocEx failed, error " + Number(GetLastError()));
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

bool RemoteBuffer::Read(void* out, size_t bytes) const {
    SIZE_T got = 0;
    if (!address_ || bytes > size_ || !ReadProcessMemory(process_, address_, out, bytes, &got) || got != bytes)
        return Fail(L"ReadProcessMemory failed, error " + Number(GetLastError()));
    return true;
}

bool RemoteBuffer::Write(const void* data, size_t bytes) {
    SIZE_T put = 0;
    if (!address_ || bytes > size_ || !WriteProcessMemory(process_, address_, data, bytes, &put) || put != bytes)
        return Fail(L"WriteProcessMemory failed, error " + Number(GetLastError()));
    return true;
}

// ---------------------------------------------------------------------------
// Toolbars

int ToolbarButtonCount(HWND toolbar) {
    bool ok = false;
    const LRESULT count = Ask(toolbar, TB_BUTTONCOUNT, 0, 0, &ok);
    if (!ok) {
        Fail(L"TB_BUTTONCOUNT not answered");
        return -1;
    }
    return static_cast<int>(count);
}

std::vector<ToolbarButton> ToolbarButtons(HWND toolbar) {
    std::vector<ToolbarButton> buttons;
    const int count = ToolbarButtonCount(toolbar);
    if (count <= 0) return buttons;
    RemoteBuffer remote(toolbar, sizeof(TBBUTTON));
    if (!remote.Ok()) return buttons;
    for (int i = 0; i < count; ++i) {
        TBBUTTON raw{};
        if (!Ask(toolbar, TB_GETBUTTON, static_cast<WPARAM>(i), remote.AsLParam()) || !remote.Read(&raw, sizeof raw)) {
            Fail(L"TB_GETBUTTON " + Number(i) + L" failed");
            return {};
        }
        ToolbarButton b;
        b.index = i;
        b.command = raw.idCommand;
        b.image = raw.iBitmap;
        b.state = raw.fsState;
        b.style = raw.fsStyle;
        buttons.push_back(b);
    }
    return buttons;
}

int ToolbarIndexOf(HWND toolbar, int command) {
    bool ok = false;
    const LRESULT index = Ask(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0, &ok);
    if (!ok || index < 0) {
        Fail(L"no toolbar button with command " + Number(command));
        return -1;
    }
    return static_cast<int>(index);
}

int ToolbarState(HWND toolbar, int command) {
    bool ok = false;
    const LRESULT state = Ask(toolbar, TB_GETSTATE, static_cast<WPARAM>(command), 0, &ok);
    if (!ok || state < 0) {
        Fail(L"no toolbar button with command " + Number(command));
        return -1;
    }
    return static_cast<int>(state);
}

bool ToolbarButtonRect(HWND toolbar, int index, RECT* screen) {
    RemoteBuffer remote(toolbar, sizeof(RECT));
    if (!remote.Ok()) return false;
    RECT r{};
    if (!Ask(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), remote.AsLParam()) || !remote.Read(&r, sizeof r))
        return Fail(L"TB_GETITEMRECT " + Number(index) + L" failed");
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    *screen = r;
    return true;
}

bool ClickToolbarButton(HWND toolbar, int command) {
    const int index = ToolbarIndexOf(toolbar, command);
    RECT r{};
    if (index < 0 || !ToolbarButtonRect(toolbar, index, &r)) return false;
    const POINT centre = Centre(r);
    if (!PointShows(centre, toolbar)) return Fail(L"toolbar button " + Number(command) + L" is covered or off screen");
    Click(centre);
    return true;
}

std::wstring ToolbarTooltip(DWORD pid, HWND toolbar, int command, DWORD timeoutMs) {
    const int index = ToolbarIndexOf(toolbar, command);
    RECT r{};
    if (index < 0 || !ToolbarButtonRect(toolbar, index, &r)) return std::wstring();
    // Leave the toolbar first so that the tooltip of another button goes away.
    const RECT bar = ScreenRect(toolbar);
    const std::wstring text = TooltipAt(pid, POINT{bar.left + 1, bar.bottom + 40}, Centre(r), timeoutMs);
    if (text.empty()) Fail(L"no tooltip for toolbar button " + Number(command) + L" within " + Number(timeoutMs) + L" ms");
    return text;
}

std::wstring TooltipAt(DWORD pid, POINT away, POINT at, DWORD timeoutMs) {
    auto shown = [&]() -> HWND {
        for (HWND w : TopWindows(pid))
            if (ClassOf(w) == L"tooltips_class32" && !Text(w).empty()) return w;
        return nullptr;
    };
    MoveMouse(away);
    WaitUntil([&] { return shown() == nullptr; });
    MoveMouse(POINT{at.x - 1, at.y});
    Sleep(20);
    MoveMouse(at);
    HWND tip = nullptr;
    if (!WaitUntil([&] { return (tip = shown()) != nullptr; }, timeoutMs)) return std::wstring();
    return Text(tip);
}

// ---------------------------------------------------------------------------
// Status bars

int StatusBarParts(HWND statusBar) {
    bool ok = false;
    const LRESULT parts = Ask(statusBar, SB_GETPARTS, 0, 0, &ok);
    return ok ? static_cast<int>(parts) : -1;
}

std::wstring StatusBarText(HWND statusBar, int part) {
    bool ok = false;
    const LRESULT info = Ask(statusBar, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0, &ok);
    if (!ok) {
        Fail(L"SB_GETTEXTLENGTHW not answered");
        return std::wstring();
    }
    const size_t length = LOWORD(info);
    RemoteBuffer remote(statusBar, (length + 1) * sizeof(wchar_t));
    if (!remote.Ok()) return std::wstring();
    std::wstring text(length + 1, L'\0');
    Ask(statusBar, SB_GETTEXTW, static_cast<WPARAM>(part), remote.AsLParam(), &ok);
    if (!ok || !remote.Read(text.data(), text.size() * sizeof(wchar_t))) {
        Fail(L"SB_GETTEXTW failed");
        return std::wstring();
    }
    text.resize(length);
    return text;
}

bool WaitStatusBarText(HWND statusBar, const std::wstring& expected, int part, DWORD timeoutMs) {
    std::wstring seen;
    if (WaitUntil([&] { return (seen = StatusBarText(statusBar, part)) == expected; }, timeoutMs)) return true;
    return Fail(L"status bar part " + Number(part) + L" shows \"" + seen + L"\", not \"" + expected + L"\"");
}

// ---------------------------------------------------------------------------
// Lists, date pickers, up-down controls

int ComboBoxSelection(HWND combo) {
    bool ok = false;
    const LRESULT index = Ask(combo, CB_GETCURSEL, 0, 0, &ok);
    return ok && index >= 0 ? static_cast<int>(index) : -1;
}

namespace {

// Items of a ComboBoxEx32: each through a COMBOBOXEXITEMW whose text buffer
// follows it in the same remote block.
std::vector<std::wstring> ComboBoxExItems(HWND combo, int count) {
    std::vector<std::wstring> items;
    constexpr size_t kChars = 1024;
    RemoteBuffer remote(combo, sizeof(COMBOBOXEXITEMW) + kChars * sizeof(wchar_t));
    if (!remote.Ok()) return items;
    auto* textAddress = reinterpret_cast<wchar_t*>(static_cast<BYTE*>(remote.Address()) + sizeof(COMBOBOXEXITEMW));
    std::vector<BYTE> block(remote.Size(), 0);
    for (int i = 0; i < count; ++i) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = textAddress;
        item.cchTextMax = static_cast<int>(kChars);
        std::fill(block.begin(), block.end(), 0);
        memcpy(block.data(), &item, sizeof item);
        bool ok = false;
        if (!remote.Write(block.data(), block.size())) return {};
        const LRESULT answered = Ask(combo, CBEM_GETITEMW, 0, remote.AsLParam(), &ok);
        if (!ok || !answered || !remote.Read(block.data(), block.size())) {
            Fail(L"CBEM_GETITEMW " + Number(i) + L" failed");
            return {};
        }
        COMBOBOXEXITEMW back{};
        memcpy(&back, block.data(), sizeof back);
        std::wstring text;
        // The control may point the text elsewhere (a callback item): leave it empty then.
        if (back.pszText == textAddress) {
            const auto* chars = reinterpret_cast<const wchar_t*>(block.data() + sizeof(COMBOBOXEXITEMW));
            size_t n = 0;
            while (n < kChars && chars[n]) ++n;
            text.assign(chars, n);
        }
        items.push_back(text);
    }
    return items;
}

// The texts of the first count items of a list or combo box, each read with
// a length message and a text message. These are system messages: the
// system carries the text across processes, so they take a buffer of the
// driver's own.
std::vector<std::wstring> ItemTexts(HWND window, LRESULT count, UINT lengthMessage, const wchar_t* lengthName,
                                    UINT textMessage, const wchar_t* textName) {
    std::vector<std::wstring> items;
    bool ok = false;
    for (int i = 0; i < count; ++i) {
        const LRESULT length = Ask(window, lengthMessage, static_cast<WPARAM>(i), 0, &ok);
        if (!ok || length < 0) {
            Fail(lengthName + std::wstring(L" ") + Number(i) + L" failed");
            return {};
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT copied =
            Ask(window, textMessage, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()), &ok);
        if (!ok || copied < 0) {
            Fail(textName + std::wstring(L" ") + Number(i) + L" failed");
            return {};
        }
        text.resize(static_cast<size_t>(copied < length ? copied : length));
        items.push_back(text);
    }
    return items;
}

}  // namespace

std::vector<std::wstring> ComboBoxItems(HWND combo) {
    bool ok = false;
    const LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0, &ok);
    if (!ok || count < 0) {
        Fail(L"CB_GETCOUNT not answered");
        return {};
    }
    if (ClassOf(combo) == WC_COMBOBOXEXW) return ComboBoxExItems(combo, static_cast<int>(count));
    return ItemTexts(combo, count, CB_GETLBTEXTLEN, L"CB_GETLBTEXTLEN", CB_GETLBTEXT, L"CB_GETLBTEXT");
}

int ListBoxSelection(HWND list) {
    bool ok = false;
    const LRESULT index = Ask(list, LB_GETCURSEL, 0, 0, &ok);
    return ok && index >= 0 ? static_cast<int>(index) : -1;
}

std::vector<std::wstring> ListBoxItems(HWND list) {
    bool ok = false;
    const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0, &ok);
    if (!ok || count < 0) {
        Fail(L"LB_GETCOUNT not answered");
        return {};
    }
    return ItemTexts(list, count, LB_GETTEXTLEN, L"LB_GETTEXTLEN", LB_GETTEXT, L"LB_GETTEXT");
}

bool DatePickerDate(HWND picker, SYSTEMTIME* date) {
    RemoteBuffer remote(picker, sizeof(SYSTEMTIME));
    if (!remote.Ok()) return false;
    bool ok = false;
    const LRESULT result = Ask(picker, DTM_GETSYSTEMTIME, 0, remote.AsLParam(), &ok);
    if (!ok) return Fail(L"DTM_GETSYSTEMTIME not answered");
    if (result != GDT_VALID) return Fail(L"the date picker shows no date");
    return remote.Read(date, sizeof *date);
}

int UpDownPosition(HWND upDown) {
    bool ok = false;
    const LRESULT position = Ask(upDown, UDM_GETPOS32, 0, 0, &ok);
    return ok ? static_cast<int>(position) : -1;
}

}  // namespace drv
