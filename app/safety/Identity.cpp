#include "app/safety/Identity.h"

#include <windows.h>

#include "model/WideText.h"

namespace MyApp {

namespace {

std::uint64_t Ticks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The start time of an open process; 0 when it cannot be read.
std::uint64_t StartOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    return GetProcessTimes(process, &created, &exited, &kernel, &user) ? Ticks(created) : 0;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length, nullptr, nullptr);
    return result;
}

}  // namespace

ProcessMark ThisProcess() {
    static const ProcessMark mark{static_cast<std::uint32_t>(GetCurrentProcessId()), StartOf(GetCurrentProcess())};
    return mark;
}

bool ProcessRunning(const ProcessMark& process) {
    if (process == ThisProcess()) return true;
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process.id);
    if (handle == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;
    const bool running = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT && StartOf(handle) == process.started;
    CloseHandle(handle);
    return running;
}

LockOwner ThisProgramAsOwner() {
    LockOwner owner;
    wchar_t name[512] = {};
    DWORD size = 512;
    if (GetUserNameW(name, &size)) owner.user = Utf8(name);
    size = 512;
    if (GetComputerNameW(name, &size)) owner.computer = Utf8(std::wstring(name, size));
    owner.since = TimeText(LocalNow());
    owner.process = ThisProcess();
    return owner;
}

std::wstring ShownName(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) return Widen(utf8);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &result[0], length);
    return result;
}

std::wstring ShownOwner(const LockOwner& owner) {
    return ShownName(owner.user) + L" su " + ShownName(owner.computer) + L" dal " + Widen(ShownTime(owner.since));
}

}  // namespace MyApp
