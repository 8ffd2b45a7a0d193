// The working-day rule applied literally, one day at a time: Easter computed
// for every day, the lists walked entry by entry with CompareDates. Slow on
// purpose; the tests and the benchmarks hold the program's calendar to it.
#pragma once

#include <cmath>
#include <string>

#include "model/CostReport.h"
#include "model/WorkingDays.h"

namespace Oracle {

using namespace MyApp;

inline bool InList(const std::vector<Date>& list, const Date& d) {
    for (const Date& entry : list)
        if (CompareDates(entry, d) == 0) return true;
    return false;
}

template <class Holder>
bool IsWorkingDay(const Holder& holder, const Date& d) {
    const int index = d.value.wDayOfWeek == 0 ? 6 : d.value.wDayOfWeek - 1;
    if (index <= 6 && holder.workingWeekdays[index] != 0 && !IsPublicHoliday(d) && !InList(holder.excludeDays, d))
        return true;
    return InList(holder.includeDays, d);
}

// Ends where the program's count ends too: an invalid `from` or a `to` that
// cannot be converted gives 0 (the literal loop would not stop).
template <class Holder>
int CountWorkingDays(const Holder& holder, const Date& from, const Date& to) {
    std::int64_t ignored;
    if (from.invalid || !SystemTimeToTicks(from.value, ignored) || !SystemTimeToTicks(to.value, ignored)) return 0;
    // The walk also ends past 31/12/30827, where the days stop converting.
    int count = 0;
    for (Date cur = from; CompareDates(cur, to) != 1 && SystemTimeToTicks(cur.value, ignored); cur = AddOneDay(cur))
        if (Oracle::IsWorkingDay(holder, cur)) ++count;
    return count;
}

inline void BuildCostReport(const Project& project, const AmountFormat& format, std::string& text, double& total) {
    text.clear();
    total = 0.0;
    if (project.tasks.empty()) {
        text = "Nessun Task presente: impossibile determinare il conto economico.";
        return;
    }
    for (const Task& task : project.tasks) {
        const long long days = Oracle::CountWorkingDays(project, task.start, task.end);
        // Rounded to the cent, halves away from zero.
        const double cost = std::round((task.dailyCost * task.resources) * static_cast<double>(days) * 100) / 100;
        char line[64];
        text += "\r\nTASK: " + task.description + "\r\n";
        text += "Dal: " + FormatDate(task.start) + " al " + FormatDate(task.end) + "\r\n";
        std::snprintf(line, sizeof line, "Totale giorni lavorativi: %lld\r\n", days);
        text += line;
        std::snprintf(line, sizeof line, "Numero Risorse giornaliere: %lld\r\n",
                      static_cast<long long>(task.resources));
        text += line;
        text += "Costo giornaliero per Risorsa: " + FormatAmount(task.dailyCost, format) + "\r\n";
        text += "Costo Task: " + FormatAmount(cost, format) + "\r\n";
        total += cost;
    }
}

}  // namespace Oracle
