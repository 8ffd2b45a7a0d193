// How long the days dialog takes to add and to remove one day in a list of
// 50,000, against showing the whole list again. Figures are printed,
// nothing is asserted.
//
// Run by scripts/bench.sh days [count], or under Wine with a display:
// wine build/windows/bench/days_bench.exe [count]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/dialogs/FormDays.h"
#include "bench/WineBench.h"
#include "model/Date.h"
#include "toolkit/core/Form.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/ListBox.h"

using WineBench::Median;
using WineBench::Now;
using WineBench::Pump;

namespace {

MyApp::Date DayAfter(const MyApp::Date& first, int days) {
    std::int64_t ticks = 0;
    MyApp::SystemTimeToTicks(first.value, ticks);
    SYSTEMTIME st{};
    MyApp::TicksToSystemTime(ticks + days * MyApp::TicksPerDay, st);
    return MyApp::MakeDate(st);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    QVUtility::Form owner(GetModuleHandleW(nullptr));
    owner.text = L"Giorni: tempi";
    owner.width = 700;
    owner.height = 500;
    owner.Create();
    MyApp::FormDays dialog(&owner, L"Elenco Giorni da escludere come lavorativi");

    // 50,000 days over 75,000: every third day is missing from the list.
    SYSTEMTIME st{};
    st.wYear = 1900;
    st.wMonth = 1;
    st.wDay = 1;
    const MyApp::Date first = MyApp::MakeDate(st);
    const int count = argc > 1 ? _wtoi(argv[1]) : 50000;
    std::vector<MyApp::Date> days;
    for (int i = 0; i < count; ++i) days.push_back(DayAfter(first, i * 3 / 2));
    std::reverse(days.begin(), days.end());
    double t = Now();
    dialog.LoadDays("#DAY EXCLUDE", first, DayAfter(first, count * 3 / 2), days);
    Pump();
    const double load = Now() - t;
    std::printf("Days dialog, %d days listed (%d items shown):\n", count, dialog.dayList->Count());
    std::printf("  opening with the list:   %8.1f ms\n", load);
    std::fflush(stdout);

    std::vector<double> add, remove;
    for (int run = 0; run < 9; ++run) {
        dialog.datePicker->date = DayAfter(first, 3 * (run * 2500 + 1000) + 2).value;  // a missing day
        dialog.datePicker->ApplyDate();
        t = Now();
        dialog.OnButton(dialog.addButton);
        Pump();
        add.push_back(Now() - t);
        t = Now();
        dialog.OnButton(dialog.removeButton);  // the day just added is selected
        Pump();
        remove.push_back(Now() - t);
    }
    t = Now();
    dialog.RefreshList();
    Pump();
    const double refresh = Now() - t;

    std::printf("  add one day:             %8.2f ms (median of 9, slowest %.2f)\n", Median(add),
                *std::max_element(add.begin(), add.end()));
    std::printf("  remove one day:          %8.2f ms (median of 9, slowest %.2f)\n", Median(remove),
                *std::max_element(remove.begin(), remove.end()));
    std::printf("  whole list shown again:  %8.1f ms\n", refresh);
    std::printf("  list in step with the days: %s\n",
                dialog.days.size() == static_cast<size_t>(dialog.dayList->Count()) ? "yes" : "NO");
    return 0;
}
