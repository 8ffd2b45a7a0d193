// Figures of QVVelmora.exe measured from outside with the test driver (run
// under Wine, on the driver's desktop). Nothing is asserted; they are printed:
//  - time from starting the program to its main window being shown;
//  - opening and first paint of projects of 1,000 to 400,000 tasks, with the
//    program's memory afterwards;
//  - a line step and a page step of the chart's vertical scroll bar, with
//    the task table beside the chart scrolling with it;
//  - a zoom step out and in, "Adatta al progetto", and a find ("Trova..."
//    and F3) through the whole list;
//  - opening "Flusso di cassa mensile..." (months) until its window is
//    idle, for projects of 100,000 tasks and more;
//  - closing the program with the largest projects open;
//  - opening the cost report of 100,000 and 1,000,000 tasks;
//  - exporting 1,000-task charts of three months and of two years as a bitmap
//    and as PNG, with time, file size and the program's peak memory.
#include "Driver.h"
#include "app/res/resource.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const wchar_t* const kTitle = L"QV Velmora - Pianificazione e costi di progetto";
constexpr DWORD kPatience = 180000;  // longest wait for one step

std::string programOverride;  // the program to measure, when given

std::wstring ProgramPath() {
    const std::string path = programOverride.empty() ? VELMORA_EXE_PATH : programOverride;
    if (!path.empty() && path[0] == '/') return drv::WinePath(path);
    return std::wstring(path.begin(), path.end());
}

// A project from March 2024, over two years or three months, with `tasks`
// tasks of five days each spread over its first months.
std::string ProjectText(int tasks, bool twoYears) {
    std::string text = twoYears ? "#VELMORA\r\nProva di carico\r\n01/03/2024\r\n28/02/2026\r\n"
                                : "#VELMORA\r\nProva di carico\r\n01/03/2024\r\n31/05/2024\r\n";
    text += "1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n";
    if (tasks > 0) text += "#TASK\r\n";
    text.reserve(text.size() + static_cast<size_t>(tasks) * 64);
    const unsigned colours[] = {0xFFF300, 0xFFFFFF, 0xFF0000, 0x0000FF, 0x0FE71E};
    const int spread = twoYears ? 23 : 2;  // months the tasks start in
    for (int i = 0; i < tasks; ++i) {
        const int month = 3 + (i / 25) % spread;  // March 2024 onwards
        const int year = 2024 + (month - 1) / 12;
        const int m = (month - 1) % 12 + 1;
        const int first = 1 + i % 20;
        char lines[200];
        std::snprintf(lines, sizeof lines, "Attivita %d\r\n%02d/%02d/%d\r\n%02d/%02d/%d\r\n%u\r\n2\r\n100\r\n", i + 1,
                      first, m, year, first + 4, m, year, colours[i % 5]);
        text += lines;
    }
    return text;
}

// Waits until the program has handled everything queued, painting included.
void WaitIdle(const drv::Process& app, HWND main) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &result);
    WaitForInputIdle(app.Handle(), kPatience);
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, kPatience, &result);
}

double MegaBytes(SIZE_T bytes) { return bytes / 1048576.0; }

PROCESS_MEMORY_COUNTERS Memory(const drv::Process& app) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(app.Handle(), &counters, sizeof counters);
    return counters;
}

HWND ChartPanel(HWND main) {
    for (HWND window : drv::Descendants(main)) {
        if (GetParent(window) == main && drv::ClassOf(window).rfind(L"PanelChildren", 0) == 0 &&
            GetDlgCtrlID(window) != IDC_SPLITTER && GetDlgCtrlID(window) != IDC_START_PAGE)
            return window;
    }
    return nullptr;
}

// The program started with a project opened through "&Apri".
struct Session {
    drv::Process app;
    HWND main = nullptr;
    HWND status = nullptr;
    double openMs = 0;
    bool Open(const std::wstring& folder, const std::wstring& path) {
        if (!app.Start(ProgramPath(), L"", folder)) return false;
        main = app.WaitWindow(nullptr, kTitle, 60000);
        status = main ? drv::WaitDescendant(main, -1, STATUSCLASSNAMEW) : nullptr;
        if (main == nullptr || status == nullptr || !drv::Activate(main) ||
            !drv::ChooseMenuItem(app.Id(), L'F', L'A') ||
            !drv::AnswerFileDialog(app.Id(), L"Apri", path, true, 60000).ok) {
            return false;
        }
        const auto start = Clock::now();
        const bool loaded = drv::WaitStatusBarText(status, path, 0, kPatience);
        if (loaded) WaitIdle(app, main);
        openMs = MillisecondsSince(start);
        return loaded && app.Running();
    }
    std::string Failure() const {
        if (!app.Running()) {
            char text[64];
            std::snprintf(text, sizeof text, "the program ended (exit code 0x%lX)", app.ExitCode());
            return text;
        }
        return "not done: " + drv::LastErrorUtf8();
    }
};

// Mean time of the driver's wait for the program's idle when it has nothing
// to do: part of every step measured below.
void IdleRoundTrip(Session& session) {
    constexpr int kCount = 20;
    const auto start = Clock::now();
    for (int i = 0; i < kCount; ++i) WaitIdle(session.app, session.main);
    std::printf("    waiting for the idle program: %.1f ms on average\n", MillisecondsSince(start) / kCount);
}

// Mean and longest time of `count` menu commands, each until the program is idle.
void Commands(Session& session, int command, const char* name, int count) {
    double total = 0;
    double longest = 0;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(session.main, WM_COMMAND, MAKEWPARAM(command, 0), 0, SMTO_NORMAL, kPatience, &result);
        WaitIdle(session.app, session.main);
        const double ms = MillisecondsSince(start);
        total += ms;
        longest = std::max(longest, ms);
    }
    std::printf("    %s: %.1f ms on average, %.1f ms at most (%d times)\n", name, total / count, longest, count);
}

// "Trova..." for the last task's description, then F3 once more: each a
// pass through the whole list.
void Find(Session& session, int tasks) {
    PostMessageW(session.main, WM_COMMAND, MAKEWPARAM(IDM_FIND, 0), 0);
    HWND dialog = session.app.WaitWindow(nullptr, L"Trova", 20000);
    HWND field = dialog != nullptr ? drv::WaitDescendant(dialog, -1, L"Edit") : nullptr;
    HWND ok = dialog != nullptr ? drv::FindDescendantByText(dialog, L"Button", L"OK") : nullptr;
    if (field == nullptr || ok == nullptr) {
        std::printf("    find: no dialog (%s)\n", drv::LastErrorUtf8().c_str());
        return;
    }
    const std::wstring text = L"Attivita " + std::to_wstring(tasks);
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const auto start = Clock::now();
    PostMessageW(ok, BM_CLICK, 0, 0);
    drv::WaitWindowGone(dialog, kPatience);
    WaitIdle(session.app, session.main);
    std::printf("    find \"%s\" from the first task: %.1f ms\n", drv::Utf8(text).c_str(), MillisecondsSince(start));
    Commands(session, IDM_FIND_NEXT, "F3 round the whole list to the same task", 3);
}

// Mean and longest time of `count` scroll requests of one kind, each
// followed by the paints it causes.
void ScrollSteps(Session& session, int request, const char* name, int count) {
    HWND panel = ChartPanel(session.main);
    if (panel == nullptr) return;
    // The layout timer fits the scroll bars half a second after the load.
    drv::WaitUntil([&] { return (GetWindowLongW(panel, GWL_STYLE) & WS_VSCROLL) != 0; }, 5000);
    WaitIdle(session.app, session.main);
    double total = 0;
    double longest = 0;
    for (int i = 0; i < count; ++i) {
        const auto start = Clock::now();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(panel, WM_VSCROLL, MAKEWPARAM(request, 0), 0, SMTO_NORMAL, kPatience, &result);
        WaitIdle(session.app, session.main);
        const double ms = MillisecondsSince(start);
        total += ms;
        longest = std::max(longest, ms);
    }
    std::printf("    %s: %.1f ms on average, %.1f ms at most (%d steps)\n", name, total / count, longest, count);
}

// "Flusso di cassa mensile...": from the command to its window shown with
// the months and idle; then the window is closed.
void CashFlow(Session& session) {
    const auto start = Clock::now();
    PostMessageW(session.main, WM_COMMAND, MAKEWPARAM(IDM_PROJECT_CASH_FLOW, 0), 0);
    HWND window = session.app.WaitWindow(nullptr, L"Flusso di cassa mensile", kPatience);
    if (window == nullptr) {
        std::printf("    Flusso di cassa mensile: no window (%s)\n", drv::LastErrorUtf8().c_str());
        return;
    }
    WaitIdle(session.app, window);
    std::printf("    Flusso di cassa mensile: open and drawn in %.0f ms\n", MillisecondsSince(start));
    PostMessageW(window, WM_CLOSE, 0, 0);
    drv::WaitUntil([&] { return !IsWindowVisible(window); }, kPatience);
    WaitIdle(session.app, session.main);
}

// Time from "Si" to the exit question until the process has ended.
void Exit(Session& session) {
    PostMessageW(session.main, WM_CLOSE, 0, 0);
    HWND box = drv::WaitMessageBox(session.app.Id(), L"Uscita", kPatience);
    if (box == nullptr) {
        std::printf("    exit: no question (%s)\n", session.Failure().c_str());
        return;
    }
    const auto start = Clock::now();
    drv::PressButton(box, IDYES);
    const bool ended = session.app.WaitForExit(kPatience);
    std::printf("    exit: %s in %.0f ms\n", ended ? "ended" : "still running", MillisecondsSince(start));
}

// Time from "Calcola il conto economico" until the report's window shows
// the whole text and the program is idle again.
void CostReport(Session& session, int tasks) {
    const auto start = Clock::now();
    PostMessageW(session.main, WM_COMMAND, MAKEWPARAM(IDM_PROJECT_COST, 0), 0);
    HWND dialog = session.app.WaitWindow(nullptr, L"Conto Economico", kPatience);
    HWND report = dialog != nullptr ? drv::WaitDescendant(dialog, -1, L"Edit") : nullptr;
    if (report == nullptr) {
        std::printf("%7d tasks: no cost report (%s)\n", tasks, session.Failure().c_str());
        return;
    }
    WaitIdle(session.app, session.main);
    const double ms = MillisecondsSince(start);
    DWORD_PTR length = 0;
    SendMessageTimeoutW(report, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kPatience, &length);
    std::printf("%7d tasks: cost report open in %.0f ms, %.1f million characters in \"Dettaglio\"\n", tasks, ms,
                static_cast<double>(length) / 1e6);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    drv::WaitWindowGone(dialog, kPatience);
}

void Export(Session& session, const std::wstring& picture) {
    DeleteFileW(picture.c_str());
    const PROCESS_MEMORY_COUNTERS before = Memory(session.app);
    if (!drv::Activate(session.main) || !drv::ChooseMenuItemAt(session.app.Id(), L'F', 4) ||
        !drv::AnswerFileDialog(session.app.Id(), L"Salva", picture, true, 60000).ok) {
        std::printf("    export: cannot start (%s)\n", drv::LastErrorUtf8().c_str());
        return;
    }
    const auto start = Clock::now();
    HWND box = drv::WaitMessageBox(session.app.Id(), nullptr, kPatience);
    const double ms = MillisecondsSince(start);
    const PROCESS_MEMORY_COUNTERS after = Memory(session.app);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(picture.c_str(), GetFileExInfoStandard, &data);
    const unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::printf(
        "    export: %s in %.0f ms, %.1f MB file; memory %.0f MB before, peak %.0f MB (%.0f MB at any "
        "time before)\n",
        box ? drv::Utf8(drv::MessageBoxText(box)).c_str() : "no answer", ms, bytes / 1048576.0,
        MegaBytes(before.WorkingSetSize), MegaBytes(after.PeakWorkingSetSize), MegaBytes(before.PeakWorkingSetSize));
    if (box) drv::PressButton(box, IDOK);
    DeleteFileW(picture.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    // Optional arguments: the largest project to open (1000000 by default;
    // the cost report is opened at 100,000 tasks in any case) and the program
    // to measure (a Windows or Linux path; this build's QVVelmora.exe by
    // default).
    const int largest = argc > 1 ? std::atoi(argv[1]) : 1000000;
    if (argc > 2) programOverride = argv[2];
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"velmora_bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::printf("QV Velmora under the driver (screen %ldx%ld)\n", drv::ScreenSize().cx, drv::ScreenSize().cy);

    // Start-up.
    {
        drv::Process app;
        const auto start = Clock::now();
        if (!app.Start(ProgramPath(), L"", folder)) {
            std::printf("cannot start: %s\n", drv::LastErrorUtf8().c_str());
            return 1;
        }
        HWND main = app.WaitWindow(nullptr, kTitle, 60000);
        if (main == nullptr) {
            std::printf("no window: %s\n", drv::LastErrorUtf8().c_str());
            return 1;
        }
        const double shown = MillisecondsSince(start);
        WaitIdle(app, main);
        std::printf("start-up: window shown after %.0f ms, idle after %.0f ms\n", shown, MillisecondsSince(start));
    }

    // The cost report, opened once the project is drawn.
    for (int tasks : {100000, 1000000}) {
        if (tasks > std::max(largest, 100000)) break;
        const std::wstring path = folder + L"conto" + std::to_wstring(tasks) + L".vmo";
        drv::WriteFileBytes(path, ProjectText(tasks, true));
        Session session;
        if (session.Open(folder, path)) CostReport(session, tasks);
        else std::printf("%7d tasks: %s\n", tasks, session.Failure().c_str());
        DeleteFileW(path.c_str());
    }

    // Two-year projects: opening, scrolling, closing.
    for (int tasks : {1000, 10000, 100000, 400000}) {
        if (tasks > largest) break;
        const std::wstring path = folder + L"carico" + std::to_wstring(tasks) + L".vmo";
        drv::WriteFileBytes(path, ProjectText(tasks, true));
        Session session;
        if (!session.Open(folder, path)) {
            std::printf("%6d tasks: %s after %.0f ms\n", tasks, session.Failure().c_str(), session.openMs);
            DeleteFileW(path.c_str());
            continue;
        }
        const PROCESS_MEMORY_COUNTERS memory = Memory(session.app);
        std::printf("%6d tasks: opened and drawn in %.0f ms; memory %.0f MB (peak %.0f MB)\n", tasks, session.openMs,
                    MegaBytes(memory.WorkingSetSize), MegaBytes(memory.PeakWorkingSetSize));
        if (tasks >= 100000) {
            IdleRoundTrip(session);
            ScrollSteps(session, SB_LINEDOWN, "line step", 20);
            ScrollSteps(session, SB_PAGEDOWN, "page step", 8);
            ScrollSteps(session, SB_PAGEUP, "page step back", 8);
            Commands(session, IDM_ZOOM_OUT, "zoom step out", 4);
            Commands(session, IDM_ZOOM_IN, "zoom step in", 4);
            Commands(session, IDM_ZOOM_FIT, "Adatta al progetto", 1);
            Commands(session, IDM_ZOOM_IN, "back to a level", 1);
            Find(session, tasks);
            CashFlow(session);
        }
        if (tasks >= 10000) Exit(session);
        DeleteFileW(path.c_str());
    }

    // The export of 1,000 tasks over three months and over two years.
    for (bool twoYears : {false, true}) {
        const char* span = twoYears ? "two years" : "three months";
        const std::wstring path = folder + L"esporta1000.vmo";
        drv::WriteFileBytes(path, ProjectText(1000, twoYears));
        Session session;
        if (session.Open(folder, path)) {
            std::printf("  1000 tasks over %s, as a bitmap and as PNG:\n", span);
            Export(session, folder + L"carico1000.bmp");
            Export(session, folder + L"carico1000.png");
        } else {
            std::printf("  1000 tasks over %s: %s\n", span, session.Failure().c_str());
        }
        DeleteFileW(path.c_str());
    }
    RemoveDirectoryW(folder.c_str());
    return 0;
}
