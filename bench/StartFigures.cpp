#include "bench/StartFigures.h"

#include <psapi.h>

#include <chrono>
#include <cstdio>

#include "Driver.h"

namespace StartFigures {

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start, Clock::time_point end = Clock::now()) {
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The processor time the process has used, in 100 ns units.
unsigned long long Work(HANDLE process) {
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return ticks(kernel) + ticks(user);
}

HWND ShownWindow(DWORD process, const std::wstring& title, const std::function<bool(HWND)>& ready) {
    for (HWND window : drv::TopWindows(process)) {
        if (drv::Text(window).compare(0, title.size(), title) == 0 && (!ready || ready(window))) return window;
    }
    return nullptr;
}

constexpr DWORD Patience = 180000;
constexpr double QuietMs = 1000;
constexpr unsigned long long OneTick = 100000;  // 10 ms in 100 ns units
double yardstick = 0;

}  // namespace

Start Measure(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
              const std::wstring& title, const std::function<bool(HWND)>& ready,
              const std::function<void(DWORD, HWND)>& close) {
    Start figures;
    drv::Process app;
    const Clock::time_point start = Clock::now();
    if (!app.Start(exe, arguments, folder)) return figures;
    HWND window = nullptr;
    if (!drv::WaitUntil([&] { return (window = ShownWindow(app.Id(), title, ready)) != nullptr || !app.Running(); },
                        Patience, 2) ||
        window == nullptr)
        return figures;
    figures.shownMs = Since(start);
    // Work is more than one tick of the processor clock (Wine counts in
    // hundredths of a second) within a twentieth of a second: a single tick
    // now and then is Wine's own housekeeping, which a bare window shows too.
    Clock::time_point lastWork = Clock::now();
    unsigned long long work = Work(app.Handle());
    while (app.Running() && Since(lastWork) < QuietMs && Since(start) < Patience) {
        Sleep(50);
        const unsigned long long now = Work(app.Handle());
        if (now - work > OneTick) lastWork = Clock::now();
        work = now;
    }
    figures.settledMs = std::max(figures.shownMs, Since(start, lastWork));
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(app.Handle(), &memory, sizeof memory))
        figures.peakMegaBytes = memory.PeakWorkingSetSize / 1048576.0;
    figures.ok = app.Running();
    if (close) close(app.Id(), window);
    if (!app.WaitForExit(20000)) app.Kill();
    return figures;
}

void SetYardstick(double ms) { yardstick = ms; }
double Yardstick() { return yardstick; }

void Against(const std::string& name, double ms, double targetMs) {
    if (yardstick <= 0) {
        std::printf("  %-44s %7.0f ms (no yardstick)\n", name.c_str(), ms);
        return;
    }
    const double ratio = ms / yardstick, target = targetMs / TargetsYardstick;
    std::printf("  %-44s %7.1f ms = %6.3f x bare start; target %5.0f ms = %6.3f x: %s\n", name.c_str(), ms, ratio,
                targetMs, target, ratio <= target ? "met" : "NOT met");
}

void AgainstMemory(const std::string& name, double megaBytes, double targetMegaBytes) {
    std::printf("  %-44s %7.0f MB; target %5.0f MB: %s\n", name.c_str(), megaBytes, targetMegaBytes,
                megaBytes <= targetMegaBytes ? "met" : "NOT met");
}

}  // namespace StartFigures
