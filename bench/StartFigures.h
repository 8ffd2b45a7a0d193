// The program's start measured from outside as a user sees it, and every
// figure of the program benchmark set against its target.
//
// A start is timed from launching the program to its window shown with the
// project, and on until the process has used no processor for a second: the
// figure is the moment of its last work. The yardstick is the same start of
// the smallest window a Win32 program can show (bench/bare_window.cpp),
// measured in the same run: each figure is printed as a ratio to it, since
// absolute times hold only for the machine they were taken on.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace StartFigures {

struct Start {
    bool ok = false;
    double shownMs = 0;    // launch to the window shown as asked
    double settledMs = 0;  // launch to the last work before a quiet second
    double peakMegaBytes = 0;
};

// Starts `exe` with `arguments` in `folder` and waits for a visible top
// window of it whose title begins with `title` and, when `ready` is given,
// for which it answers true; then for a quiet second. The program is
// closed afterwards by `close` (killed when that does not end it).
Start Measure(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
              const std::wstring& title, const std::function<bool(HWND)>& ready,
              const std::function<void(DWORD process, HWND window)>& close);

// The bare window's start in this run, in milliseconds (settled).
void SetYardstick(double ms);
double Yardstick();

// The start of a bare window on the machine the targets were set on, in
// milliseconds: a target's time over it is the target's ratio.
constexpr double TargetsYardstick = 400;

// "name: 123 ms = 0.31 x bare start; target 30 ms = 0.075 x: met", judged
// by the ratios.
void Against(const std::string& name, double ms, double targetMs);
// The same for memory, in megabytes (not a ratio).
void AgainstMemory(const std::string& name, double megaBytes, double targetMegaBytes);

}  // namespace StartFigures
