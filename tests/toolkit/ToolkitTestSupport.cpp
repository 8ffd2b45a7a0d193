#include "tests/toolkit/ToolkitTestSupport.h"

#include <windows.h>
#include <commctrl.h>

#include <cwctype>
#include <string>

#include "toolkit/core/Registry.h"

namespace ToolkitTest {

namespace {
bool quitSeen = false;
bool desktopReady = false;
}  // namespace

void UseTestDesktop() {
    if (desktopReady) return;
    desktopReady = true;
    // Wine makes a virtual desktop for a desktop name listed under this key.
    // The desktop window lives on one X display, and the Wine server may be
    // shared by programs on several displays: one desktop per display.
    wchar_t display[64] = L"";
    GetEnvironmentVariableW(L"DISPLAY", display, 64);
    std::wstring name = L"velmora_toolkit_tests";
    for (const wchar_t* c = display; *c != L'\0'; ++c)
        if (iswalnum(*c)) name.push_back(*c);
    const wchar_t* size = L"1600x900";
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", name.c_str(), REG_SZ, size,
                    static_cast<DWORD>((wcslen(size) + 1) * sizeof(wchar_t)));
    HDESK desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop != nullptr) SetThreadDesktop(desktop);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&controls);
}

void Pump(int milliseconds) {
    const DWORD start = GetTickCount();
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitSeen = true;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (milliseconds > 0) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < static_cast<DWORD>(milliseconds));
}

bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > static_cast<DWORD>(timeoutMilliseconds)) return false;
        Pump(10);
    }
    return true;
}

bool QuitSeen() { return quitSeen; }
void ForgetQuit() { quitSeen = false; }

void ResetToolkitState() {
    Pump(0);
    quitSeen = false;
    QVUtility::mainWindow = nullptr;
    QVUtility::activeForm = nullptr;
    QVUtility::activePanel = nullptr;
    QVUtility::wheelTarget = nullptr;
}

TestControl::TestControl(QVUtility::GUIElement* parentElement, const wchar_t* cls, DWORD ownStyle,
                         const std::string& keyword)
    : Child(nullptr), nativeClass(cls), style(ownStyle) {
    parent = parentElement;
    typeKeyword = keyword;
}

void TestControl::Create() { CreateControl(nativeClass.c_str(), style); }

TestPlainControl::TestPlainControl(QVUtility::GUIElement* parentElement, const wchar_t* cls, DWORD ownStyle,
                                   const std::string& keyword)
    : Child(nullptr), nativeClass(cls), style(ownStyle) {
    parent = parentElement;
    typeKeyword = keyword;
}

void TestPlainControl::Create() { CreateControl(nativeClass.c_str(), style); }

void PostKey(HWND window, UINT key, wchar_t character) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    if (character != 0) PostMessageW(window, WM_CHAR, character, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

RefuseWindows::RefuseWindows()
    : hook_(SetWindowsHookExW(
          WH_CBT,
          [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
              if (code == HCBT_CREATEWND) return 1;
              return CallNextHookEx(nullptr, code, wParam, lParam);
          },
          nullptr, GetCurrentThreadId())) {}

RefuseWindows::~RefuseWindows() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}

}  // namespace ToolkitTest
