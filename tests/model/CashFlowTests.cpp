#include <gtest/gtest.h>

#include <random>

#include "model/CashFlow.h"
#include "model/CostReport.h"
#include "tests/model/TestDates.h"
#include "tests/model/WorkingDaysOracle.h"

using namespace MyApp;
using TestDates::D;

namespace {

// A task's days walked one by one with the literal day-by-day rule: each
// day at midnight and the working days counted up to it.
using Walk = std::vector<std::pair<Date, long long>>;

Walk WalkOf(const Project& p, const Task& t) {
    Walk walk;
    long long counted = 0;
    std::int64_t ignored;
    if (t.start.invalid || !SystemTimeToTicks(t.end.value, ignored)) return walk;
    for (Date d = t.start; CompareDates(d, t.end) != 1; d = AddOneDay(d))
        walk.emplace_back(DateOnly(d), counted += Oracle::IsWorkingDay(p, d) ? 1 : 0);
    return walk;
}

// Each period gets the cost of a task's days up to its end less the cost of
// those before it.
std::vector<Money> DayByDay(const Project& p, const std::vector<Walk>& walks, const std::vector<PeriodCost>& periods) {
    std::vector<Money> amounts(periods.size());
    for (std::size_t i = 0; i < walks.size(); ++i) {
        const Task& t = p.tasks[i];
        std::size_t k = 0;
        long long counted = 0;
        Money before;
        const auto close = [&] {
            const Money upTo = CostOfDays(t.dailyCost, t.resources, counted);
            amounts[k] += upTo - before;
            before = upTo;
        };
        for (const auto& [day, upTo] : walks[i]) {
            while (CompareDates(day, periods[k].last) == 1) close(), ++k;
            counted = upTo;
        }
        close();
    }
    return amounts;
}

}  // namespace

// On random projects and calendars, for weeks, months and quarters: the
// periods follow each other without gaps over the whole span, each has the
// working days and the amount of the day-by-day rule, and they add up to the
// report's total. Tasks cross years and lie inside one period, start off
// midnight or before the project, cost whole cents, eighths or a total spread
// over their days (as an import makes them); the lists hold holidays made
// working days and whole excluded months.
TEST(CashFlow, PeriodsMatchTheDayByDayRuleAndAddUpToTheReport) {
    std::mt19937 random(34);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 40; ++round) {
        Project p;
        for (int& flag : p.workingWeekdays) flag = pick(0, 3) != 0;
        const int year = pick(1990, 2100);
        p.start = D(pick(1, 28), pick(1, 12), year);
        p.end = D(pick(1, 28), pick(1, 12), year + 1);
        for (int i = 0; i < 12; ++i) {
            Task t;
            t.start = D(pick(1, 28), pick(1, 12), year + pick(-1, 1), pick(0, 6) == 0 ? pick(1, 23) : 0);
            t.end = pick(0, 3) == 0 ? D(pick(t.start.value.wDay, 28), t.start.value.wMonth, t.start.value.wYear)
                                    : D(pick(1, 28), pick(1, 12), t.start.value.wYear + pick(0, 1));
            t.resources = pick(-2, 40);
            const long long days = std::max(1, CountWorkingDays(p, t.start, t.end));
            const double costs[3] = {pick(-100, 2000000) / 100.0, pick(0, 800000) / 8.0,
                                     pick(1, 90000000) / 100.0 / static_cast<double>(days * (t.resources | 1))};
            t.dailyCost = costs[pick(0, 2)];
            p.tasks.push_back(t);
        }
        for (int i = 0; i < 10; ++i) {
            p.includeDays.push_back(D(pick(0, 1) ? 25 : pick(1, 28), 12, year + pick(-1, 1)));
            p.excludeDays.push_back(D(pick(1, 28), pick(1, 12), year + pick(-1, 1)));
        }
        if (round % 3 == 0)
            for (int day = 1; day <= 31; ++day) p.excludeDays.push_back(D(day, 8, year));

        std::string text;
        Money total;
        BuildCostReport(p, AmountFormat(), text, total);
        std::vector<Walk> walks;
        for (const Task& t : p.tasks) walks.push_back(WalkOf(p, t));
        for (const CostPeriod period : {CostPeriod::Week, CostPeriod::Month, CostPeriod::Quarter}) {
            const std::vector<PeriodCost> periods = PeriodCosts(p, period);
            ASSERT_FALSE(periods.empty());
            EXPECT_NE(CompareDates(DateOnly(p.start), periods.front().first), -1) << round;
            EXPECT_NE(CompareDates(DateOnly(p.end), periods.back().last), 1) << round;
            const std::vector<Money> expected = DayByDay(p, walks, periods);
            Money sum;
            for (std::size_t k = 0; k < periods.size(); ++k) {
                const PeriodCost& c = periods[k];
                if (k > 0) {
                    ASSERT_EQ(DaysUntil(periods[k - 1].last, c.first), 1) << round;
                }
                const SYSTEMTIME& f = c.first.value;
                ASSERT_TRUE(period == CostPeriod::Week ? f.wDayOfWeek == 1
                                                       : f.wDay == 1 && (period == CostPeriod::Month || f.wMonth % 3 == 1))
                    << FormatDate(c.first);
                if (period == CostPeriod::Month) {
                    ASSERT_EQ(c.workingDays, Oracle::CountWorkingDays(p, c.first, c.last)) << FormatDate(c.first);
                }
                ASSERT_TRUE(c.amount == expected[k]) << round << " " << FormatDate(c.first);
                if (period == CostPeriod::Month && f.wMonth == 8 && round % 3 == 0 && f.wYear == year) {
                    EXPECT_EQ(c.workingDays, 0);
                }
                sum += c.amount;
            }
            ASSERT_TRUE(sum == total) << round;
        }
        const std::vector<MonthCost> months = MonthlyCosts(p);
        const std::vector<PeriodCost> periods = PeriodCosts(p, CostPeriod::Month);
        ASSERT_EQ(months.size(), periods.size());
        for (std::size_t k = 0; k < months.size(); ++k) {
            EXPECT_EQ(months[k].year * 100 + months[k].month, periods[k].first.value.wYear * 100 + periods[k].first.value.wMonth);
            EXPECT_EQ(months[k].amount, periods[k].amount.ToDouble());
        }
    }
}

// The cases a planner checks by hand, month by month.
TEST(CashFlow, AYearsEndAMonthsTaskAHolidayWorkedAndAnAugustOff) {
    Project p;
    for (int i = 0; i < 5; ++i) p.workingWeekdays[i] = 1;
    p.start = D(1, 7, 2027);
    p.end = D(31, 1, 2028);
    Task t;
    t.start = D(27, 12, 2027);  // Monday: 27, 28, 29, 30, 31 December, then 3 January 2028 on
    t.end = D(7, 1, 2028);      // 6 January is Epiphany
    t.resources = 2;
    t.dailyCost = 100.25;
    p.tasks.push_back(t);
    t.start = D(2, 8, 2027);  // all of August off: nothing falls there
    t.end = D(3, 9, 2027);    // 1 to 3 September: Wednesday to Friday
    t.resources = 1;
    t.dailyCost = 10;
    p.tasks.push_back(t);
    for (int day = 1; day <= 31; ++day) p.excludeDays.push_back(D(day, 8, 2027));
    p.includeDays.push_back(D(6, 1, 2028));  // Epiphany worked
    const std::vector<MonthCost> months = MonthlyCosts(p);
    ASSERT_EQ(months.size(), 7u);
    EXPECT_EQ(months[0].year * 100 + months[0].month, 202707);
    EXPECT_EQ(months[1].workingDays, 0);
    EXPECT_EQ(months[1].amount, 0.0);
    EXPECT_EQ(months[2].amount, 30.0);
    EXPECT_EQ(months[5].amount, 5 * 200.5);  // 27 to 31 December
    EXPECT_EQ(months[6].amount, 5 * 200.5);  // 3 to 7 January, Epiphany worked
    EXPECT_EQ(months[6].workingDays, 21);    // every weekday, Epiphany worked
}
