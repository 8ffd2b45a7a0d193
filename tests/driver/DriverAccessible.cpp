// Reading what assistive technology reads, from outside the program.
#include "Driver.h"

#include <oleacc.h>

#include <mutex>

namespace drv {

namespace {

// MinGW's import library gives IID_IAccessible as the address of an import
// thunk, not as the GUID.
const IID& AccessibleId() { return __uuidof(IAccessible); }

// The calling thread in an apartment for as long as it runs.
void JoinApartment() {
    thread_local bool joined = false;
    if (!joined) joined = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

std::wstring Take(BSTR text) {
    std::wstring taken = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return taken;
}

AccessibleFacts Read(IAccessible* object, long child) {
    AccessibleFacts facts;
    VARIANT which{};
    which.vt = VT_I4;
    which.lVal = child;
    BSTR text = nullptr;
    const HRESULT named = object->get_accName(which, &text);
    facts.name = Take(text);
    text = nullptr;
    object->get_accDescription(which, &text);
    facts.description = Take(text);
    text = nullptr;
    object->get_accValue(which, &text);
    facts.value = Take(text);
    VARIANT role{}, state{};
    const HRESULT roled = object->get_accRole(which, &role);
    const HRESULT stated = object->get_accState(which, &state);
    facts.role = role.vt == VT_I4 ? role.lVal : 0;
    facts.state = state.vt == VT_I4 ? state.lVal : 0;
    VariantClear(&role);
    VariantClear(&state);
    if (child == CHILDID_SELF) object->get_accChildCount(&facts.children);
    facts.ok = SUCCEEDED(named) && SUCCEEDED(roled) && SUCCEEDED(stated);
    if (!facts.ok) Fail(L"the object did not answer its name, role and state");
    return facts;
}

std::mutex logLock;
std::vector<WinEventLog::Event>* heard = nullptr;  // the one log being written

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    std::lock_guard<std::mutex> lock(logLock);
    if (heard != nullptr) heard->push_back(WinEventLog::Event{event, window, object, child});
}

void HandleMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::vector<WinEventLog::Event> eventsHeard;

}  // namespace

AccessibleFacts ReadAccessible(HWND window, long child) {
    JoinApartment();
    IAccessible* object = nullptr;
    const HRESULT found =
        AccessibleObjectFromWindow(window, OBJID_CLIENT, AccessibleId(), reinterpret_cast<void**>(&object));
    if (FAILED(found) || object == nullptr) {
        Fail(L"AccessibleObjectFromWindow failed: " + std::to_wstring(static_cast<unsigned long>(found)));
        return AccessibleFacts{};
    }
    AccessibleFacts facts = Read(object, child);
    object->Release();
    return facts;
}

AccessibleFacts ReadAccessibleOfEvent(HWND window, LONG object, LONG child) {
    JoinApartment();
    IAccessible* found = nullptr;
    VARIANT which{};
    const HRESULT result =
        AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &found, &which);
    if (FAILED(result) || found == nullptr) {
        Fail(L"AccessibleObjectFromEvent failed: " + std::to_wstring(static_cast<unsigned long>(result)));
        return AccessibleFacts{};
    }
    AccessibleFacts facts = Read(found, which.vt == VT_I4 ? which.lVal : CHILDID_SELF);
    found->Release();
    return facts;
}

std::string RoleName(long role) {
    wchar_t text[128] = {};
    if (GetRoleTextW(static_cast<DWORD>(role), text, 128) == 0) return "role " + std::to_string(role);
    return Utf8(text) + " (" + std::to_string(role) + ")";
}

WinEventLog::WinEventLog(DWORD pid, DWORD first, DWORD last) {
    {
        std::lock_guard<std::mutex> lock(logLock);
        eventsHeard.clear();
        heard = &eventsHeard;
    }
    hook_ = SetWinEventHook(first, last, nullptr, &Heard, pid, 0, WINEVENT_OUTOFCONTEXT);
    if (hook_ == nullptr) Fail(L"SetWinEventHook failed");
}

WinEventLog::~WinEventLog() {
    if (hook_ != nullptr) UnhookWinEvent(hook_);
    std::lock_guard<std::mutex> lock(logLock);
    heard = nullptr;
}

std::vector<WinEventLog::Event> WinEventLog::Events() {
    HandleMessages();
    std::lock_guard<std::mutex> lock(logLock);
    return eventsHeard;
}

void WinEventLog::Clear() {
    HandleMessages();
    std::lock_guard<std::mutex> lock(logLock);
    eventsHeard.clear();
}

bool WinEventLog::WaitFor(const std::function<bool(const Event&)>& match, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        for (const Event& event : Events()) {
            if (match(event)) return true;
        }
        if (GetTickCount64() >= end) return Fail(L"no such event came");
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

}  // namespace drv
