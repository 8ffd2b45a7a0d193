#include "model/WorkingDays.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "model/WeekdayCounts.h"

namespace MyApp {

namespace {

bool IsFixedHoliday(unsigned month, unsigned day) {
    for (const MonthDay& holiday : FixedHolidays)
        if (holiday.month == month && holiday.day == day) return true;
    return false;
}

// Day and month of Easter Sunday and Easter Monday of a year. When Easter
// Sunday cannot be converted, Monday is taken as Sunday again.
struct EasterDays {
    WORD sundayMonth, sundayDay, mondayMonth, mondayDay;
};

EasterDays EasterOf(int year) {
    const Date sunday = EasterSunday(year);
    const Date monday = sunday.invalid ? sunday : AddOneDay(sunday);
    return EasterDays{sunday.value.wMonth, sunday.value.wDay, monday.value.wMonth, monday.value.wDay};
}

bool ListContains(const std::vector<Date>& list, const Date& d) {
    for (const Date& entry : list)
        if (CompareDates(entry, d) == 0) return true;
    return false;
}

}  // namespace

int WeekdayIndex(WORD dayOfWeek) {
    const int index = dayOfWeek == 0 ? 6 : dayOfWeek - 1;
    return index <= 6 ? index : -1;
}

Date EasterSunday(int year) {
    int month, day;
    if (year >= 1500 && year <= 2499) {
        // Gauss's rule with its century table.
        static const int tableM[10] = {22, 22, 23, 23, 24, 24, 24, 25, 26, 25};
        static const int tableN[10] = {2, 2, 3, 4, 5, 5, 6, 0, 1, 1};
        const int century = year / 100 - 15;
        const int m = tableM[century], n = tableN[century];
        const int a = year % 19;
        const int d = (19 * a + m) % 30;
        const int e = (2 * (year % 4) + 4 * (year % 7) + 6 * d + n) % 7;
        if (d + e < 10) {
            month = 3;
            day = d + e + 22;
        } else {
            month = 4;
            day = d + e - 9;
            if (day == 26) day = 19;
            else if (day == 25 && d == 28 && e == 6 && a > 10) day = 18;
        }
    } else {
        // Other years: the anonymous Gregorian computus.
        const int y = year < 0 ? 0 : year;
        const int a = y % 19, b = y / 100, c = y % 100, d = b / 4, e = b % 4;
        const int f = (b + 8) / 25, g = (b - f + 1) / 3;
        const int h = (19 * a + b - d - g + 15) % 30;
        const int i = c / 4, k = c % 4;
        const int l = (32 + 2 * e + 2 * i - h - k) % 7;
        const int m = (a + 11 * h + 22 * l) / 451;
        month = (h + l - 7 * m + 114) / 31;
        day = (h + l - 7 * m + 114) % 31 + 1;
    }
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    return MakeDate(st);
}

bool IsPublicHoliday(const Date& d) {
    const unsigned month = d.value.wMonth, day = d.value.wDay;
    if (IsFixedHoliday(month, day)) return true;
    const EasterDays easter = EasterOf(d.value.wYear);
    return (month == easter.sundayMonth && day == easter.sundayDay) ||
           (month == easter.mondayMonth && day == easter.mondayDay);
}

bool IsIncludedDay(const CalendarRef& calendar, const Date& d) { return ListContains(*calendar.includeDays, d); }

bool IsExcludedDay(const CalendarRef& calendar, const Date& d) { return ListContains(*calendar.excludeDays, d); }

bool IsWorkingDay(const CalendarRef& calendar, const Date& d) {
    const int index = WeekdayIndex(d.value.wDayOfWeek);
    if (index >= 0 && calendar.workingWeekdays[index] != 0 && !IsPublicHoliday(d) && !IsExcludedDay(calendar, d))
        return true;
    return IsIncludedDay(calendar, d);
}

int CountWorkingDays(const CalendarRef& calendar, const Date& from, const Date& to) {
    return WorkingDayCalendar(calendar).CountWorkingDays(from, to);
}

WorkingDayCalendar::DayList WorkingDayCalendar::Prepare(const std::vector<Date>& days) {
    DayList list;
    list.empty = days.empty();
    list.ticks.reserve(days.size());
    for (const Date& entry : days) {
        if (entry.invalid) list.matchesAll = true;
        else list.ticks.push_back(ComparisonTicks(entry));
    }
    std::sort(list.ticks.begin(), list.ticks.end());
    list.ticks.erase(std::unique(list.ticks.begin(), list.ticks.end()), list.ticks.end());
    return list;
}

bool WorkingDayCalendar::DayList::Has(std::int64_t t) const {
    return matchesAll || std::binary_search(ticks.begin(), ticks.end(), t);
}

bool WorkingDayCalendar::DayList::Contains(const Date& d) const {
    if (empty) return false;
    std::int64_t t;
    if (!SystemTimeToTicks(d.value, t)) return true;  // equal to anything
    return Has(t);
}

WorkingDayCalendar::WorkingDayCalendar(const CalendarRef& calendar)
    : include_(Prepare(*calendar.includeDays)), exclude_(Prepare(*calendar.excludeDays)) {
    std::copy(calendar.workingWeekdays, calendar.workingWeekdays + 7, weekdays_);
    weekdaysWork_ = !exclude_.matchesAll;
    PrepareCorrections();
}

void WorkingDayCalendar::PrepareCorrections() {
    std::vector<std::int64_t> listed;
    std::merge(include_.ticks.begin(), include_.ticks.end(), exclude_.ticks.begin(), exclude_.ticks.end(),
               std::back_inserter(listed));
    listed.erase(std::unique(listed.begin(), listed.end()), listed.end());
    std::vector<std::pair<Correction, int>> changes;
    for (const std::int64_t t : listed) {
        // Listed days are later days of a count, judged by the weekday of their date.
        Date day;
        TicksToSystemTime(t, day.value);
        const bool byRule = weekdaysWork_ && weekdays_[(t / TicksPerDay) % 7] != 0 && !IsPublicHoliday(day);
        const bool working = (byRule && !exclude_.Has(t)) || include_.Has(t);
        if (working != byRule) changes.push_back({Correction{t % TicksPerDay, t}, working ? 1 : -1});
    }
    std::sort(changes.begin(), changes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    corrections_.reserve(changes.size());
    correctionSums_.assign(1, 0);
    for (const auto& change : changes) {
        corrections_.push_back(change.first);
        correctionSums_.push_back(correctionSums_.back() + change.second);
    }
}

int WorkingDayCalendar::CorrectionsBetween(std::int64_t timeOfDay, std::int64_t firstTicks,
                                           std::int64_t lastTicks) const {
    const auto low = std::lower_bound(corrections_.begin(), corrections_.end(), Correction{timeOfDay, firstTicks});
    const auto high = std::upper_bound(low, corrections_.end(), Correction{timeOfDay, lastTicks});
    return correctionSums_[high - corrections_.begin()] - correctionSums_[low - corrections_.begin()];
}

bool WorkingDayCalendar::IsWorkingDay(const Date& d) const {
    const int index = WeekdayIndex(d.value.wDayOfWeek);
    if (index >= 0 && weekdays_[index] != 0 && !IsPublicHoliday(d) && !exclude_.Contains(d)) return true;
    return include_.Contains(d);
}

int WorkingDayCalendar::CountWorkingDays(const Date& from, const Date& to) const {
    std::int64_t first, last;
    if (from.invalid || !SystemTimeToTicks(from.value, first) || !SystemTimeToTicks(to.value, last)) return 0;
    if (first > last) return 0;
    // The days of the count keep the time of day of `from`; the last one is
    // the latest not after `to`.
    const std::int64_t later = (last - first) / TicksPerDay;
    if (include_.matchesAll) return static_cast<int>(later + 1);

    // The first day is judged by the weekday stored in `from`, the later ones
    // by the weekday of their date.
    std::int64_t count = IsWorkingDay(from) ? 1 : 0;
    if (later == 0) return static_cast<int>(count);
    const std::int64_t firstDay = first / TicksPerDay + 1, lastDay = first / TicksPerDay + later;
    if (weekdaysWork_)
        count +=
            FlaggedWeekdays(weekdays_, firstDay, lastDay) - HolidaysOnFlaggedWeekdays(weekdays_, firstDay, lastDay);
    count += CorrectionsBetween(first % TicksPerDay, first + TicksPerDay, first + later * TicksPerDay);
    return static_cast<int>(count);
}

}  // namespace MyApp
