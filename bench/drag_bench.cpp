// How long a bar dragged on the chart takes for each move of the mouse in a
// project of 100,000 tasks (the bar, its row of the table and the tip drawn
// again), and how long letting it go takes (the change applied and the
// chart and the table shown anew). The target is under 16 ms a move.
// Figures are printed, nothing is asserted.
//
// Run by scripts/bench.sh drag [tasks], or under Wine with a display:
// wine build/windows/bench/drag_bench.exe [tasks]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main/FormMain.h"
#include "bench/WineBench.h"
#include "model/TaskMove.h"

using WineBench::Median;
using WineBench::Now;
using WineBench::Pump;

int wmain(int argc, wchar_t** argv) {
    const int count = argc > 1 ? _wtoi(argv[1]) : 100000;
    MyApp::FormMain form(GetModuleHandleW(nullptr), L"Trascinamento: tempi");
    SetWindowPos(form.window, nullptr, 0, 0, 1400, 800, SWP_NOZORDER | SWP_NOACTIVATE);
    MyApp::Project& project = form.project;
    project.description = "Centomila attivita";
    SYSTEMTIME first{};
    first.wYear = 2027;
    first.wMonth = 1;
    first.wDay = 4;
    project.start = MyApp::MakeDate(first);
    project.end = MyApp::OnDay(project.start, MyApp::DayNumber(project.start) + 3 * 365);
    for (int day = 0; day < 5; ++day) project.workingWeekdays[day] = 1;
    for (int i = 0; i < count; ++i) {
        MyApp::Task task(project.start);
        task.description = "Attivita " + std::to_string(i + 1);
        task.start = MyApp::OnDay(project.start, MyApp::DayNumber(project.start) + i * 1000 / count);
        task.end = MyApp::OnDay(task.start, MyApp::DayNumber(task.start) + 20);
        task.colour = MyApp::ColourRosso;
        task.resources = 2;
        task.dailyCost = 100;
        project.tasks.push_back(task);
    }
    form.RefreshChart();
    form.EnableProjectCommands();
    Pump();

    // A bar in view, taken by its middle.
    MyApp::ChartBar* bar = nullptr;
    for (MyApp::ChartBar* candidate : form.chart->bars)
        if (candidate->Bound() && IsWindowVisible(candidate->window) && candidate->row == 3) bar = candidate;
    if (bar == nullptr) {
        std::printf("no bar in view\n");
        return 1;
    }
    const int y = bar->height / 2;
    const int x = bar->width / 2;
    const auto send = [&](UINT message, int at) {
        POINT point{at, y};
        MapWindowPoints(form.chart->window, bar->window, &point, 1);
        SendMessageW(bar->window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(point.x, point.y));
    };
    POINT origin{x, y};
    MapWindowPoints(bar->window, form.chart->window, &origin, 1);
    send(WM_LBUTTONDOWN, origin.x);
    // Each move a day further, so that each moves the bar, changes the row
    // and the tip: the most a move does.
    const int day = static_cast<int>(form.chart->Geometry().ColumnLeft(1));
    std::vector<double> moves, handled;
    for (int step = 1; step <= 200; ++step) {
        const double t = Now();
        send(WM_MOUSEMOVE, origin.x + (step % 30 + 1) * day);
        handled.push_back(Now() - t);
        Pump();
        moves.push_back(Now() - t);
    }
    double t = Now();
    send(WM_LBUTTONUP, origin.x + 150);
    Pump();
    const double release = Now() - t;
    std::vector<double> sorted = moves;
    std::sort(sorted.begin(), sorted.end());
    std::printf("Bar dragged in a project of %d tasks, %zu mouse moves of a day each (target under 16 ms each):\n",
                count, moves.size());
    std::printf("  a move, median %8.2f ms, 95th percentile %8.2f ms, slowest %8.2f ms\n", Median(moves),
                sorted[sorted.size() * 95 / 100], sorted.back());
    std::printf("  of which the move itself (the drawing follows), median %8.2f ms\n", Median(handled));
    std::printf("  let go (the change applied, the chart and the table anew) %8.2f ms\n", release);
    return 0;
}
