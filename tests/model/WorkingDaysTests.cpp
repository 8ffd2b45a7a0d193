#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "model/Project.h"
#include "model/WorkingDays.h"
#include "tests/model/TestDates.h"
#include "tests/model/WorkingDaysOracle.h"

using namespace MyApp;
using TestDates::D;
using TestDates::Fields;

namespace {

struct Calendar {
    int workingWeekdays[7] = {1, 1, 1, 1, 1, 0, 0};
    std::vector<Date> includeDays;
    std::vector<Date> excludeDays;
};

// Meeus/Jones/Butcher, written out independently of the program's rule.
void ComputusMeeus(int year, int& month, int& day) {
    const int a = year % 19, b = year / 100, c = year % 100;
    const int h = (19 * a + b - b / 4 - (b - (b + 8) / 25 + 1) / 3 + 15) % 30;
    const int l = (32 + 2 * (b % 4) + 2 * (c / 4) - h - c % 4) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    month = (h + l - 7 * m + 114) / 31;
    day = (h + l - 7 * m + 114) % 31 + 1;
}

}  // namespace

TEST(Easter, KnownSundays) {
    EXPECT_EQ(FormatDate(EasterSunday(2024)), "31/03/2024");
    EXPECT_EQ(FormatDate(EasterSunday(2025)), "20/04/2025");
    EXPECT_EQ(FormatDate(EasterSunday(2019)), "21/04/2019");
    EXPECT_EQ(FormatDate(EasterSunday(2038)), "25/04/2038");
    EXPECT_EQ(FormatDate(EasterSunday(1981)), "19/04/1981");  // day 26 becomes 19
    EXPECT_EQ(FormatDate(EasterSunday(1954)), "18/04/1954");  // day 25 becomes 18
    EXPECT_EQ(FormatDate(EasterSunday(2285)), "22/03/2285");  // earliest possible
    EXPECT_EQ(EasterSunday(2024).value.wHour, 0);
}

// The century table agrees with another Gregorian computus on every year it
// covers, and every Easter from 1601 on is a Sunday.
TEST(Easter, TableAgreesWithTheComputusAndFallsOnSundays) {
    for (int year = 1500; year <= 4000; ++year) {
        int month, day;
        ComputusMeeus(year, month, day);
        const Date easter = EasterSunday(year);
        ASSERT_EQ(easter.value.wMonth, month) << year;
        ASSERT_EQ(easter.value.wDay, day) << year;
        if (year >= 1601) {
            ASSERT_FALSE(easter.invalid);
            ASSERT_EQ(easter.value.wDayOfWeek, 0) << year;
        } else {
            ASSERT_TRUE(easter.invalid);
        }
    }
}

TEST(PublicHolidays, FixedDaysAndEaster) {
    for (auto [day, month] : std::vector<std::pair<int, int>>{
             {1, 1}, {6, 1}, {25, 4}, {1, 5}, {2, 6}, {15, 8}, {1, 11}, {8, 12}, {25, 12}, {26, 12}})
        EXPECT_TRUE(IsPublicHoliday(D(day, month, 2023))) << day << "/" << month;
    EXPECT_FALSE(IsPublicHoliday(D(2, 1, 2023)));
    EXPECT_FALSE(IsPublicHoliday(D(24, 12, 2023)));
    EXPECT_TRUE(IsPublicHoliday(D(31, 3, 2024)));  // Easter Sunday
    EXPECT_TRUE(IsPublicHoliday(D(1, 4, 2024)));   // Easter Monday
    EXPECT_FALSE(IsPublicHoliday(D(2, 4, 2024)));
    EXPECT_FALSE(IsPublicHoliday(D(1, 4, 2025)));
    EXPECT_TRUE(IsPublicHoliday(D(21, 4, 2025)));
    // Only day, month and year are looked at.
    Date odd = MakeDate(Fields(31, 2, 2024));
    odd.value.wDay = 25;
    odd.value.wMonth = 4;
    EXPECT_TRUE(IsPublicHoliday(odd));
}

TEST(WorkingDay, TheRuleAndItsPrecedence) {
    Calendar c;
    EXPECT_TRUE(IsWorkingDay(c, D(4, 3, 2024)));    // Monday
    EXPECT_FALSE(IsWorkingDay(c, D(9, 3, 2024)));   // Saturday
    EXPECT_FALSE(IsWorkingDay(c, D(1, 4, 2024)));   // Easter Monday
    EXPECT_FALSE(IsWorkingDay(c, D(25, 4, 2024)));  // Thursday, Liberation Day
    c.includeDays = {D(1, 4, 2024), D(25, 4, 2024), D(9, 3, 2024)};
    EXPECT_TRUE(IsWorkingDay(c, D(1, 4, 2024)));
    EXPECT_TRUE(IsWorkingDay(c, D(25, 4, 2024)));
    EXPECT_TRUE(IsWorkingDay(c, D(9, 3, 2024)));  // included Saturday
    c.excludeDays = {D(4, 3, 2024), D(9, 3, 2024)};
    EXPECT_FALSE(IsWorkingDay(c, D(4, 3, 2024)));  // excluded Monday
    EXPECT_TRUE(IsWorkingDay(c, D(9, 3, 2024)));   // included and excluded Saturday
    c.includeDays.push_back(D(4, 3, 2024));
    EXPECT_TRUE(IsWorkingDay(c, D(4, 3, 2024)));  // both lists: included wins
    EXPECT_TRUE(IsIncludedDay(c, D(4, 3, 2024)));
    EXPECT_TRUE(IsExcludedDay(c, D(4, 3, 2024)));
    EXPECT_FALSE(IsExcludedDay(c, D(6, 3, 2024)));
}

TEST(WorkingDay, OddConsequencesOfTheListTest) {
    Calendar c;
    // An entry at another time of day is another timestamp: no match.
    c.excludeDays = {D(6, 3, 2024, 9, 0)};
    EXPECT_TRUE(IsWorkingDay(c, D(6, 3, 2024)));
    EXPECT_FALSE(IsWorkingDay(c, D(6, 3, 2024, 9, 0)));
    // An invalid entry matches every day.
    c.excludeDays = {D(7, 3, 2024), MakeDate(Fields(31, 2, 2024))};
    EXPECT_FALSE(IsWorkingDay(c, D(4, 3, 2024)));
    EXPECT_EQ(CountWorkingDays(c, D(4, 3, 2024), D(8, 3, 2024)), 0);
    c.includeDays = {D(5, 3, 2024)};
    EXPECT_EQ(CountWorkingDays(c, D(4, 3, 2024), D(10, 3, 2024)), 1);
    c.includeDays = {MakeDate(Fields(0, 1, 2024))};
    EXPECT_EQ(CountWorkingDays(c, D(4, 3, 2024), D(10, 3, 2024)), 7);
    // A day that cannot be converted matches any non-empty list.
    Calendar e;
    e.includeDays = {D(1, 1, 2030)};
    Date unconvertible = D(31, 12, 2024);
    unconvertible.value.wDay = 32;
    EXPECT_TRUE(IsIncludedDay(e, unconvertible));
    EXPECT_FALSE(IsExcludedDay(e, unconvertible));
    // A weekday field out of range is no flagged weekday (and no crash).
    Date oddWeekday = D(4, 3, 2024);
    oddWeekday.value.wDayOfWeek = 9;
    EXPECT_FALSE(IsWorkingDay(Calendar(), oddWeekday));
}

TEST(CountWorkingDays, SpansAndEnds) {
    Calendar c;
    EXPECT_EQ(CountWorkingDays(c, D(4, 3, 2024), D(8, 3, 2024)), 5);
    EXPECT_EQ(CountWorkingDays(c, D(8, 3, 2024), D(4, 3, 2024)), 0);
    EXPECT_EQ(CountWorkingDays(c, D(4, 3, 2024), D(4, 3, 2024)), 1);
    EXPECT_EQ(CountWorkingDays(c, D(9, 3, 2024), D(9, 3, 2024)), 0);
    c.excludeDays = {D(6, 3, 2024)};
    EXPECT_EQ(CountWorkingDays(c, D(4, 3, 2024), D(8, 3, 2024)), 4);
    // The time of day takes part in the end test.
    EXPECT_EQ(CountWorkingDays(Calendar(), D(4, 3, 2024, 14, 30), D(4, 3, 2024)), 0);
    EXPECT_EQ(CountWorkingDays(Calendar(), D(4, 3, 2024), D(4, 3, 2024, 14, 30)), 1);
    EXPECT_EQ(CountWorkingDays(Calendar(), D(4, 3, 2024, 14, 30), D(8, 3, 2024)), 4);
    // Unusable ends give 0 instead of an endless walk.
    EXPECT_EQ(CountWorkingDays(Calendar(), MakeDate(Fields(31, 2, 2024)), D(8, 3, 2024)), 0);
    Date unconvertible = D(8, 3, 2024);
    unconvertible.value.wMonth = 13;
    EXPECT_EQ(CountWorkingDays(Calendar(), D(4, 3, 2024), unconvertible), 0);
    // The whole range of dates, Monday to Friday, ends without trouble.
    const int all = CountWorkingDays(Calendar(), D(1, 1, 1601), D(31, 12, 30827));
    EXPECT_GT(all, 7300000);
    EXPECT_LT(all, 7624959);  // 5/7 of the 10,674,942 days, less the holidays
}

// The program's count and the literal day-by-day rule agree on random
// calendars: every combination of weekday flags; spans of days to centuries,
// reversed, at both ends of the date range, around the earliest and the
// latest Easter, with a time of day, with a first day whose stored weekday is
// off; lists with duplicates, entries off midnight or outside the span,
// invalid entries and entries that cannot be converted. One calendar answers
// several counts.
TEST(CountWorkingDays, MatchesTheDayByDayRuleOnRandomProjects) {
    std::mt19937 random(20240305);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::int64_t lastTicks;
    SystemTimeToTicks(Fields(31, 12, 30827), lastTicks);
    auto dayNear = [&](const Date& base, int spread) {
        std::int64_t ticks;
        SystemTimeToTicks(DateOnly(base).value, ticks);
        const std::int64_t step = static_cast<std::int64_t>(pick(-spread, spread)) * TicksPerDay;
        ticks = step < -ticks ? 0 : (step > lastTicks - ticks ? lastTicks : ticks + step);
        SYSTEMTIME st{};
        TicksToSystemTime(ticks, st);
        return MakeDate(st);
    };
    std::vector<int> extremeEasters;  // years with Easter on 22 March or 25 April
    for (int year = 1601; year <= 30827; ++year) {
        const SYSTEMTIME e = EasterSunday(year).value;
        if ((e.wMonth == 3 && e.wDay == 22) || (e.wMonth == 4 && e.wDay == 25)) extremeEasters.push_back(year);
    }
    ASSERT_GT(extremeEasters.size(), 100u);

    const int flagValues[4] = {1, 1, 2, -1};
    int nonZero = 0;
    for (int round = 0; round < 128 * 12; ++round) {
        Project p;
        for (int i = 0; i < 7; ++i) p.workingWeekdays[i] = (round >> i & 1) ? flagValues[pick(0, 3)] : 0;
        const bool centuries = round % 64 == 63;
        int spread = 400;
        Date from, to;
        switch (centuries ? 4 : pick(0, 4)) {
        case 0:  // from the first days
            from = dayNear(D(1, 1, 1601), 30);
            to = dayNear(from, spread);
            break;
        case 1:  // up to the last days
            to = dayNear(D(31, 12, 30827), 30);
            from = dayNear(to, spread);
            break;
        case 2: {  // around Easter Sunday and Monday in the years of the extreme dates
            const Date easter = EasterSunday(extremeEasters[pick(0, static_cast<int>(extremeEasters.size()) - 1)]);
            spread = 5;
            from = dayNear(easter, 3);
            to = dayNear(AddOneDay(easter), 3);
            break;
        }
        case 3:
            from = D(pick(1, 28), pick(1, 12), pick(1601, 30827));
            to = dayNear(from, spread);
            break;
        default:
            if (centuries) spread = pick(100, 1500) * 366;
            from = D(pick(1, 28), pick(1, 12), pick(1601, 2600));
            to = dayNear(from, spread);
        }
        if (pick(0, 4) == 0) from.value.wHour = static_cast<WORD>(pick(1, 23)), from = MakeDate(from.value);
        if (pick(0, 4) == 0) to.value.wMinute = static_cast<WORD>(pick(1, 59)), to = MakeDate(to.value);
        if (pick(0, 20) == 0) from.value.wDayOfWeek = static_cast<WORD>(pick(0, 9));  // judged as stored
        for (std::vector<Date>* list : {&p.includeDays, &p.excludeDays}) {
            const int n = pick(0, 3) == 0 ? 0 : pick(1, 40);
            for (int i = 0; i < n; ++i) {
                Date entry = dayNear(from, spread + 20);
                if (pick(0, 10) == 0)
                    entry = MakeDate(Fields(entry.value.wDay, entry.value.wMonth, entry.value.wYear, 0, 0, 0, 0));
                if (pick(0, 15) == 0) entry.value.wHour = from.value.wHour, entry = MakeDate(entry.value);
                if (pick(0, 200) == 0) entry = MakeDate(Fields(30, 2, 2024));  // invalid
                if (pick(0, 100) == 0) entry.value = Fields(31, 2, 2024);      // unconvertible, not marked invalid
                list->push_back(entry);
                if (pick(0, 8) == 0) list->push_back(entry);  // duplicate
            }
        }
        const WorkingDayCalendar calendar(p);
        const int expected = Oracle::CountWorkingDays(p, from, to);
        ASSERT_EQ(CountWorkingDays(p, from, to), expected)
            << "round " << round << " " << FormatDate(from) << " " << FormatDate(to);
        ASSERT_EQ(calendar.CountWorkingDays(from, to), expected) << "round " << round;
        if (expected > 0) ++nonZero;
        for (int i = 0; !centuries && i < 2; ++i) {
            const Date a = dayNear(from, spread), b = dayNear(from, spread);
            ASSERT_EQ(calendar.CountWorkingDays(a, b), Oracle::CountWorkingDays(p, a, b))
                << "round " << round << " " << FormatDate(a) << " " << FormatDate(b);
        }
        for (int i = 0; i < 20; ++i) {
            Date d = dayNear(from, spread);
            if (i == 0) d.value.wDay = 32;  // no day at all
            ASSERT_EQ(calendar.IsWorkingDay(d), Oracle::IsWorkingDay(p, d)) << FormatDate(d);
            ASSERT_EQ(IsWorkingDay(p, d), Oracle::IsWorkingDay(p, d)) << FormatDate(d);
        }
    }
    EXPECT_GT(nonZero, 128 * 6);
}
