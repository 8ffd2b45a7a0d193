#include "model/WeekdayCounts.h"

#include <algorithm>
#include <array>
#include <vector>

#include "model/Date.h"
#include "model/WorkingDays.h"

namespace MyApp {

namespace {

constexpr int FirstYear = 1601;
constexpr int LastYear = 30827;
constexpr int MostHolidays = 12;

// The distinct holidays of a year as day numbers, ascending; answers how many.
int HolidaysOf(int year, std::int64_t (&days)[MostHolidays]) {
    int count = 0;
    auto add = [&](std::int64_t day) {
        if (std::find(days, days + count, day) == days + count) days[count++] = day;
    };
    for (const MonthDay& holiday : FixedHolidays) add(DaysFromCivil(year, holiday.month, holiday.day));
    const Date easter = EasterSunday(year);  // always convertible in these years
    const std::int64_t sunday = DaysFromCivil(year, easter.value.wMonth, easter.value.wDay);
    add(sunday);
    add(sunday + 1);
    std::sort(days, days + count);
    return count;
}

// For every year from 1601 to 30828, how many holidays of the years before it
// fall on each weekday.
const std::vector<std::array<std::int32_t, 7>>& HolidaysBeforeYear() {
    static const std::vector<std::array<std::int32_t, 7>> table = [] {
        std::vector<std::array<std::int32_t, 7>> before(LastYear - FirstYear + 2);
        std::int64_t days[MostHolidays];
        for (int year = FirstYear; year <= LastYear; ++year) {
            std::array<std::int32_t, 7> next = before[year - FirstYear];
            const int count = HolidaysOf(year, days);
            for (int i = 0; i < count; ++i) ++next[days[i] % 7];
            before[year - FirstYear + 1] = next;
        }
        return before;
    }();
    return table;
}

int YearOfDay(std::int64_t day) {
    std::int64_t year = FirstYear + day * 400 / 146097;
    while (DaysFromCivil(year + 1, 1, 1) <= day) ++year;
    while (DaysFromCivil(year, 1, 1) > day) --year;
    return static_cast<int>(year);
}

// Holidays of one year from firstDay to lastDay on flagged weekdays.
std::int64_t HolidaysOfYearIn(int year, const int weekdays[7], std::int64_t firstDay, std::int64_t lastDay) {
    std::int64_t days[MostHolidays];
    const int count = HolidaysOf(year, days);
    std::int64_t found = 0;
    for (int i = 0; i < count; ++i)
        if (days[i] >= firstDay && days[i] <= lastDay && weekdays[days[i] % 7] != 0) ++found;
    return found;
}

// Flagged weekdays among days 0 .. day - 1.
std::int64_t FlaggedBefore(const int weekdays[7], std::int64_t day) {
    std::int64_t perWeek = 0, partial = 0;
    for (int i = 0; i < 7; ++i) {
        if (weekdays[i] == 0) continue;
        ++perWeek;
        if (i < day % 7) ++partial;
    }
    return day / 7 * perWeek + partial;
}

}  // namespace

std::int64_t FlaggedWeekdays(const int weekdays[7], std::int64_t firstDay, std::int64_t lastDay) {
    if (lastDay < firstDay) return 0;
    return FlaggedBefore(weekdays, lastDay + 1) - FlaggedBefore(weekdays, firstDay);
}

std::int64_t HolidaysOnFlaggedWeekdays(const int weekdays[7], std::int64_t firstDay, std::int64_t lastDay) {
    if (lastDay < firstDay) return 0;
    const int firstYear = YearOfDay(firstDay), lastYear = YearOfDay(lastDay);
    if (firstYear == lastYear) return HolidaysOfYearIn(firstYear, weekdays, firstDay, lastDay);
    std::int64_t count = HolidaysOfYearIn(firstYear, weekdays, firstDay, lastDay) +
                         HolidaysOfYearIn(lastYear, weekdays, firstDay, lastDay);
    if (lastYear - firstYear > 1) {
        const auto& before = HolidaysBeforeYear();
        const auto& from = before[firstYear + 1 - FirstYear];
        const auto& upTo = before[lastYear - FirstYear];
        for (int i = 0; i < 7; ++i)
            if (weekdays[i] != 0) count += upTo[i] - from[i];
    }
    return count;
}

}  // namespace MyApp
