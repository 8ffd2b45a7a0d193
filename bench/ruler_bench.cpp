// How long the chart ruler takes to paint 1, 10 and 30 years of day columns:
// a new span, drawing the whole picture, repainting from the kept picture, scrolling the
// chart panel across it, and painting only the visible part (no picture of
// the whole ruler) at the start of the span and at its far end. Then the
// same spans with the labels kept in view, which paint what is shown afresh
// at every paint: the first paint, a repaint at the far end, and page and
// line steps of the chart panel there. Figures are printed, nothing is
// asserted.
//
// Run by scripts/bench.sh ruler, or under Wine with a display:
// wine build/windows/bench/ruler_bench.exe

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/WineBench.h"
#include "model/Date.h"
#include "toolkit/core/Form.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TimeLine.h"

using namespace QVUtility;

using WineBench::Median;
using WineBench::Now;
using WineBench::Pump;

namespace {

MyApp::Date Day(int day, int month, int year) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    return MyApp::MakeDate(st);
}

void Paint(HWND window) { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }

}  // namespace

int wmain() {
    Form form(GetModuleHandleW(nullptr));
    form.text = L"Righello: tempi";
    form.x = 0;
    form.y = 0;
    form.width = 1280;
    form.height = 300;
    form.Create();
    PanelChildren chart(&form);
    chart.x = 0;
    chart.y = 0;
    chart.width = 1260;
    chart.height = 250;
    chart.horizontalBar = true;
    chart.Create();
    TimeLine ruler(&chart);
    ruler.x = 0;
    ruler.y = 31;
    ruler.Create();
    Pump();

    const int weekdays[7] = {1, 1, 1, 1, 1, 0, 0};
    RECT client{};
    GetClientRect(chart.window, &client);
    // Scrolls the chart panel to the last screen of the ruler.
    auto toFarEnd = [&]() {
        chart.ScrollTo(SB_HORZ, ruler.width - client.right);
        Pump();
    };
    // Median time of one step of the chart panel, each painted at once.
    auto steps = [&](int request, int count) {
        std::vector<double> times;
        for (int step = 0; step < count; ++step) {
            const double t = Now();
            SendMessageW(chart.window, WM_HSCROLL, request, 0);
            RedrawWindow(chart.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            times.push_back(Now() - t);
        }
        return Median(times);
    };

    std::printf("%-8s %8s %12s %12s %12s %12s %16s %12s\n", "span", "columns", "new span ms", "picture ms",
                "repaint ms", "scroll ms", "visible-only ms", "far end ms");
    for (int years : {1, 10, 30}) {
        const MyApp::Date start = Day(1, 1, 2000);
        const MyApp::Date end = Day(31, 12, 1999 + years);
        ruler.pictureLimit = 64LL * 1024 * 1024;
        const double fed = Now();
        ruler.SetProject(start, end, {Day(2, 1, 2001)}, {Day(3, 1, 2000)}, weekdays);
        Paint(ruler.window);
        const double newSpan = Now() - fed;
        chart.SetContentWidth(ruler.width);
        Pump();

        // Whole picture: a change of colour makes the ruler draw it again.
        std::vector<double> picture, repaint, scroll, visible;
        for (int run = 0; run < 5; ++run) {
            ruler.lineColour = run % 2 ? RGB(0, 0, 0) : RGB(0, 0, 1);
            double t = Now();
            Paint(ruler.window);
            picture.push_back(Now() - t);
            t = Now();
            Paint(ruler.window);
            repaint.push_back(Now() - t);
        }
        // Twenty pages to the right, each painted at once, then back.
        {
            const double t = Now();
            for (int step = 0; step < 20; ++step) {
                SendMessageW(chart.window, WM_HSCROLL, SB_PAGERIGHT, 0);
                RedrawWindow(chart.window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            }
            scroll.push_back((Now() - t) / 20);
            chart.ResetHorizontalScroll();
            Pump();
        }
        // No picture of the whole ruler: only what is shown is drawn.
        ruler.pictureLimit = 1;
        for (int run = 0; run < 5; ++run) {
            const double t = Now();
            Paint(ruler.window);
            visible.push_back(Now() - t);
        }
        // The same at the far end of the span.
        std::vector<double> atEnd;
        toFarEnd();
        for (int run = 0; run < 5; ++run) {
            const double t = Now();
            Paint(ruler.window);
            atEnd.push_back(Now() - t);
        }
        chart.ResetHorizontalScroll();
        Pump();
        std::printf("%2d %-5s %8lld %12.1f %12.1f %12.2f %12.2f %16.2f %12.2f\n", years, years == 1 ? "year" : "years",
                    static_cast<long long>(ruler.ColumnCount()), newSpan, Median(picture), Median(repaint),
                    Median(scroll), Median(visible), Median(atEnd));
    }
    std::printf(
        "(new span: SetProject and the first paint, once; picture: the whole ruler drawn again;\n"
        " repaint: from the kept picture; scroll: one page step of the chart panel, painted;\n"
        " visible-only: no picture of the whole ruler, at the start and at the far end. Medians of 5 runs.)\n\n");

    std::printf("Labels in view\n%-8s %8s %14s %16s %12s %12s\n", "span", "columns", "first paint ms", "far repaint ms",
                "page ms", "line ms");
    ruler.labelsInView = true;
    ruler.pictureLimit = 64LL * 1024 * 1024;
    for (int years : {1, 10, 30}) {
        const double fed = Now();
        ruler.SetProject(Day(1, 1, 2000), Day(31, 12, 1999 + years), {Day(2, 1, 2001)}, {Day(3, 1, 2000)}, weekdays);
        Paint(ruler.window);
        const double first = Now() - fed;
        chart.SetContentWidth(ruler.width);
        toFarEnd();
        std::vector<double> repaint;
        for (int run = 0; run < 5; ++run) {
            const double t = Now();
            Paint(ruler.window);
            repaint.push_back(Now() - t);
        }
        const double page = steps(SB_PAGELEFT, 10);
        const double line = steps(SB_LINELEFT, 20);
        chart.ResetHorizontalScroll();
        Pump();
        std::printf("%2d %-5s %8lld %14.1f %16.2f %12.2f %12.2f\n", years, years == 1 ? "year" : "years",
                    static_cast<long long>(ruler.ColumnCount()), first, Median(repaint), page, line);
    }
    std::printf(
        "(first paint: SetProject and the first paint, the whole picture for the export included;\n"
        " far repaint: what is shown, at the far end; page, line: one step of the chart panel there,\n"
        " painted, which paints everything shown again. Medians.)\n");
    return 0;
}
