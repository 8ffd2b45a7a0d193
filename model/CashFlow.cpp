#include "model/CashFlow.h"

#include <algorithm>
#include <map>

#include "model/WorkingDays.h"

namespace MyApp {

namespace {

// Days are numbered from 1 January 1601 (day 0, a Monday), the day part of a
// timestamp.
constexpr std::int64_t LastDay = 10674941;  // 31 December 30827

Date DayAt(std::int64_t day, std::int64_t timeOfDay) {
    SYSTEMTIME st{};
    TicksToSystemTime(day * TicksPerDay + timeOfDay, st);
    return MakeDate(st);
}

// The days a task's count covers: `first` to `last`, each at `timeOfDay`.
struct TaskDays {
    std::int64_t first, last, timeOfDay;
};

bool DaysOf(const Task& task, TaskDays& days) {
    std::int64_t from, to;
    if (task.start.invalid || !SystemTimeToTicks(task.start.value, from) || !SystemTimeToTicks(task.end.value, to) ||
        from > to)
        return false;
    days.first = from / TicksPerDay;
    days.last = days.first + (to - from) / TicksPerDay;
    days.timeOfDay = from % TicksPerDay;
    return true;
}

bool DayOf(const Date& d, std::int64_t& day) {
    std::int64_t ticks;
    if (d.invalid || !SystemTimeToTicks(d.value, ticks)) return false;
    day = ticks / TicksPerDay;
    return true;
}

// The first days of the periods from the one holding `first` to the one
// holding `last`, and the day after the last period.
std::vector<std::int64_t> PeriodStarts(CostPeriod period, std::int64_t first, std::int64_t last) {
    std::vector<std::int64_t> starts;
    if (period == CostPeriod::Week) {
        for (std::int64_t day = first - first % 7; day <= last; day += 7) starts.push_back(day);
        starts.push_back(starts.back() + 7);
        return starts;
    }
    const int months = period == CostPeriod::Month ? 1 : 3;
    SYSTEMTIME st{};
    TicksToSystemTime(first * TicksPerDay, st);
    int year = st.wYear, month = (st.wMonth - 1) / months * months + 1;
    for (std::int64_t day = DaysFromCivil(year, month, 1);; day = DaysFromCivil(year, month, 1)) {
        starts.push_back(day);
        if (day > last) return starts;
        month += months;
        if (month > 12) month -= 12, ++year;
    }
}

// A change of the daily spending of the tasks at one time of day: from `day`
// on, each working day costs `perDay` more.
struct Change {
    std::int64_t day;
    Money perDay;
};

class Spreader {
public:
    Spreader(const Project& project, const std::vector<std::int64_t>& starts)
        : calendar_(project), starts_(starts), amounts_(starts.size() - 1) {}

    void Add(const Task& task) {
        TaskDays days;
        if (!DaysOf(task, days)) return;
        // Every working day costs the same whole number of cents when the
        // task's days do (then any fewer days do too). Daily costs of whole
        // cents pass this test on the calendar days without counting.
        const DecimalCost dailyCost = DecimalOf(task.dailyCost);
        const Money perDay = CostOfDays(dailyCost, task.resources, 1);
        const long long calendarDays = days.last - days.first + 1;
        if (perDay * calendarDays != CostOfDays(dailyCost, task.resources, calendarDays)) {
            const long long count = calendar_.CountWorkingDays(task.start, task.end);
            if (perDay * count != CostOfDays(dailyCost, task.resources, count))
                return Spread(task, dailyCost, days, count);
        }
        if (perDay == Money()) return;
        std::vector<Change>& changes = changes_[days.timeOfDay];
        changes.push_back({days.first, perDay});
        changes.push_back({days.last + 1, Money() - perDay});
    }

    // A task whose days do not all cost the same: period by period, the cost
    // of its days so far rounded to the cent.
    void Spread(const Task& task, const DecimalCost& dailyCost, const TaskDays& days, long long count) {
        Money before;
        for (std::size_t k = PeriodOf(days.first);; ++k) {
            const std::int64_t end = std::min(days.last, starts_[k + 1] - 1);
            const long long counted =
                end == days.last ? count : calendar_.CountWorkingDays(task.start, DayAt(end, days.timeOfDay));
            const Money upTo = CostOfDays(dailyCost, task.resources, counted);
            amounts_[k] += upTo - before;
            before = upTo;
            if (end == days.last) return;
        }
    }

    // The tasks of equal daily spending, run by run between their changes.
    std::vector<Money> Amounts() {
        for (auto& [timeOfDay, changes] : changes_) {
            std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.day < b.day; });
            Money rate;
            std::size_t next = 0;
            while (next < changes.size()) {
                const std::int64_t from = changes[next].day;
                while (next < changes.size() && changes[next].day == from) rate += changes[next++].perDay;
                if (next == changes.size() || rate == Money()) continue;
                const std::int64_t until = changes[next].day;
                for (std::size_t k = PeriodOf(from); starts_[k] < until; ++k) {
                    const std::int64_t first = std::max(from, starts_[k]), last = std::min(until, starts_[k + 1]) - 1;
                    amounts_[k] +=
                        rate * calendar_.CountWorkingDays(DayAt(first, timeOfDay), DayAt(last, timeOfDay));
                }
            }
        }
        changes_.clear();
        return amounts_;
    }

    int WorkingDays(std::size_t k) const {
        return calendar_.CountWorkingDays(DayAt(starts_[k], 0), DayAt(std::min(starts_[k + 1] - 1, LastDay), 0));
    }

private:
    std::size_t PeriodOf(std::int64_t day) const {
        return static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), day) - starts_.begin() - 1);
    }

    WorkingDayCalendar calendar_;
    const std::vector<std::int64_t>& starts_;
    std::vector<Money> amounts_;
    std::map<std::int64_t, std::vector<Change>> changes_;  // by time of day
};

}  // namespace

std::vector<PeriodCost> PeriodCosts(const Project& project, CostPeriod period) {
    std::int64_t first = LastDay + 1, last = -1;
    std::int64_t projectFirst, projectLast;
    if (DayOf(project.start, projectFirst) && DayOf(project.end, projectLast) && projectFirst <= projectLast)
        first = projectFirst, last = projectLast;
    for (const Task& task : project.tasks) {
        TaskDays days;
        if (!DaysOf(task, days)) continue;
        first = std::min(first, days.first);
        last = std::max(last, days.last);
    }
    if (first > last) return {};

    const std::vector<std::int64_t> starts = PeriodStarts(period, first, last);
    Spreader spreader(project, starts);
    for (const Task& task : project.tasks) spreader.Add(task);
    const std::vector<Money> amounts = spreader.Amounts();
    std::vector<PeriodCost> periods;
    periods.reserve(amounts.size());
    for (std::size_t k = 0; k < amounts.size(); ++k)
        periods.push_back({DayAt(starts[k], 0), DayAt(std::min(starts[k + 1] - 1, LastDay), 0),
                           spreader.WorkingDays(k), amounts[k]});
    return periods;
}

std::vector<MonthCost> MonthlyCosts(const Project& project) {
    std::vector<MonthCost> months;
    for (const PeriodCost& period : PeriodCosts(project, CostPeriod::Month))
        months.push_back({period.first.value.wYear, period.first.value.wMonth, period.workingDays,
                          period.amount.ToDouble()});
    return months;
}

}  // namespace MyApp
