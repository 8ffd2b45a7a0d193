// Driver basics: waiting, failure texts, the test desktop and the program's process.
#include "Driver.h"

#include <cwchar>
#include <cwctype>

namespace drv {

namespace {

thread_local std::wstring lastError;

std::wstring Number(unsigned long value) { return std::to_wstring(value); }

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(stepMs);
    }
}

const std::wstring& LastError() { return lastError; }

std::string LastErrorUtf8() { return Utf8(lastError); }

bool Fail(const std::wstring& text) {
    lastError = text;
    return false;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr,
                            nullptr);
    return out;
}

// ---------------------------------------------------------------------------
// Desktop

std::wstring DesktopName() {
    wchar_t value[128];
    DWORD n = GetEnvironmentVariableW(L"VELMORA_DESKTOP", value, 128);
    if (n > 0 && n < 128) return value;
    // One desktop per X display: drivers running at the same time on other
    // displays (the Wine prefix and its server are shared) stay apart.
    n = GetEnvironmentVariableW(L"DISPLAY", value, 128);
    std::wstring suffix;
    if (n > 0 && n < 128) {
        // "host:105.0" -> "105": the display number, without host and screen.
        const wchar_t* c = wcsrchr(value, L':');
        for (c = c ? c + 1 : value; *c && *c != L'.'; ++c)
            if (iswalnum(*c)) suffix += *c;
    }
    return suffix.empty() ? std::wstring(L"velmora_acc") : L"velmora_acc_" + suffix;
}

namespace {

// Wine makes a desktop a virtual desktop (a framed screen of its own) when
// HKCU\Software\Wine\Explorer\Desktops names it with a size; a desktop
// missing there gets the size of "velmora_acc", or 1600x900.
void RegisterVirtualDesktop(const std::wstring& name) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        wchar_t size[64] = L"1600x900";
        DWORD bytes = sizeof size - sizeof(wchar_t);
        DWORD type = 0;
        if (RegQueryValueExW(key, L"velmora_acc", nullptr, &type, reinterpret_cast<BYTE*>(size), &bytes) !=
                ERROR_SUCCESS ||
            type != REG_SZ)
            wcscpy(size, L"1600x900");
        size[63] = L'\0';
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                       static_cast<DWORD>((wcslen(size) + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

// Wine's explorer draws a virtual desktop and owns its window. It is started
// by the first process that asks for that window, as a child of that process.
// A child of the program under test belongs to the program's job and dies
// when the driver closes the job; Wine keeps the desktop window, still naming
// the X window that died with the explorer, so every later program on the
// desktop fails its first window ("BadWindow" in X_CreateWindow) and ends at
// once. So the driver starts the explorer itself before any program, and
// checks that it still runs before each start.
bool DesktopHasExplorer(const std::wstring& name) {
    DWORD owner = 0;
    // GetDesktopWindow starts the explorer when the desktop has none and
    // waits for it; the window has no owner once that explorer has gone.
    WaitUntil([&] {
        owner = 0;
        GetWindowThreadProcessId(GetDesktopWindow(), &owner);
        return owner != 0;
    });
    if (owner == 0) return Fail(L"the desktop " + name + L" has no explorer (it ended or did not start)");
    return true;
}

}  // namespace

bool UseDesktop(const std::wstring& name) {
    HDESK current = GetThreadDesktop(GetCurrentThreadId());
    wchar_t currentName[256] = L"";
    DWORD needed = 0;
    if (current && GetUserObjectInformationW(current, UOI_NAME, currentName, sizeof currentName, &needed) &&
        _wcsicmp(currentName, name.c_str()) == 0)
        return DesktopHasExplorer(name);
    RegisterVirtualDesktop(name);
    // The handle stays open for the life of the driver: the thread keeps using
    // it, and a thread on the desktop keeps Wine from closing it between programs.
    HDESK desktop = CreateDesktopW(name.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (!desktop) return Fail(L"CreateDesktopW(" + name + L") failed, error " + Number(GetLastError()));
    if (!SetThreadDesktop(desktop))
        return Fail(L"SetThreadDesktop(" + name + L") failed, error " + Number(GetLastError()) +
                    L" (the thread already has windows?)");
    return DesktopHasExplorer(name);
}

SIZE ScreenSize() { return SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

// ---------------------------------------------------------------------------
// Paths

std::wstring ExeFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return FolderOf(path);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(file);
    return ok;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::wstring WinePath(const std::string& unixPath) {
    std::wstring wide;
    if (!unixPath.empty()) {
        const int n = MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0) MultiByteToWideChar(CP_UTF8, 0, unixPath.data(), static_cast<int>(unixPath.size()), wide.data(), n);
    }
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
}

// ---------------------------------------------------------------------------
// Process

Process::~Process() {
    Kill();
    Close();
}

void Process::Close() {
    if (thread_) CloseHandle(thread_);
    if (process_) CloseHandle(process_);
    if (job_) CloseHandle(job_);  // kills whatever the job still holds
    thread_ = process_ = job_ = nullptr;
    id_ = 0;
}

bool Process::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workDir) {
    Kill();
    Close();
    if (!UseDesktop()) return false;
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) return Fail(L"no program " + exe);

    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    const std::wstring folder = workDir.empty() ? FolderOf(exe) : workDir;
    std::wstring desktop = DesktopName();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop.data();
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return Fail(L"CreateProcessW(" + commandLine + L") failed, error " + Number(GetLastError()));
    process_ = info.hProcess;
    thread_ = info.hThread;
    id_ = info.dwProcessId;

    // A job that ends the program when the driver goes away, even by a crash.
    job_ = CreateJobObjectW(nullptr, nullptr);
    if (job_) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
            !AssignProcessToJobObject(job_, process_)) {
            CloseHandle(job_);
            job_ = nullptr;
        }
    }
    ResumeThread(thread_);
    return true;
}

bool Process::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

bool Process::WaitForExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!process_) return Fail(L"no program started");
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return Fail(L"the program (process " + Number(id_) + L") still runs after " + Number(timeoutMs) + L" ms");
    if (exitCode) *exitCode = ExitCode();
    return true;
}

void Process::Kill() {
    if (!Running()) return;
    TerminateProcess(process_, 0xDEAD);
    WaitForSingleObject(process_, kTimeout);
}

HWND Process::WaitWindow(const wchar_t* cls, const wchar_t* title, DWORD timeoutMs) const {
    HWND found = nullptr;
    bool ended = false;
    WaitUntil(
        [&] {
            found = FindTopWindow(id_, cls, title);
            // A main window whose caption goes on with the open document
            // after " - " is found by the program's own title too.
            if (!found && title) {
                const std::wstring start = std::wstring(title) + L" - ";
                for (HWND window : TopWindows(id_)) {
                    if ((!cls || ClassOf(window) == cls) && Text(window).rfind(start, 0) == 0) found = window;
                }
            }
            ended = !found && !Running();
            return found || ended;
        },
        timeoutMs);
    if (found) return found;
    Fail(std::wstring(L"no window ") + (cls ? cls : L"*") + L" \"" + (title ? title : L"*") + L"\" of process " +
         Number(id_) +
         (ended ? L": the program ended with code " + Number(ExitCode()) : L" within " + Number(timeoutMs) + L" ms"));
    return nullptr;
}

}  // namespace drv
