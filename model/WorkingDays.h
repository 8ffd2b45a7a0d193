// The working-day calendar: weekday flags, the Italian public holidays (Easter
// Sunday and Monday included), extra non-working days and extra working days.
//
// A day is a working day when its weekday is flagged, it is no public holiday
// and it is not excluded; or, whatever else holds, when it is included. List
// membership uses the equality test of dates: an entry that is invalid matches
// every day, and the time of day takes part in the comparison.
#pragma once

#include <cstdint>
#include <vector>

#include "model/Date.h"

namespace MyApp {

// A view of the three calendar fields of a holder (the project, or a copy of
// them such as the chart ruler's). The holder must outlive the view.
struct CalendarRef {
    const int* workingWeekdays;  // 7 flags, index 0 = Monday ... 6 = Sunday
    const std::vector<Date>* includeDays;
    const std::vector<Date>* excludeDays;
};

// Any holder with `workingWeekdays` (7 ints), `includeDays` and `excludeDays`.
template <class Holder>
CalendarRef CalendarOf(const Holder& holder) {
    return CalendarRef{&holder.workingWeekdays[0], &holder.includeDays, &holder.excludeDays};
}

// Index into workingWeekdays of a wDayOfWeek: wDayOfWeek - 1, and 6 for
// Sunday (0). A stored 7 gives 6 as well; larger values give -1, no weekday.
int WeekdayIndex(WORD dayOfWeek);

// The fixed public holidays, any year.
struct MonthDay {
    unsigned char month, day;
};
inline constexpr MonthDay FixedHolidays[10] = {{1, 1},  {1, 6},  {4, 25}, {5, 1},   {6, 2},
                                               {8, 15}, {11, 1}, {12, 8}, {12, 25}, {12, 26}};

// Easter Sunday of a Gregorian year, at midnight (invalid for years the
// conversions refuse, with the day and month still filled in).
Date EasterSunday(int year);
// Fixed holidays, Easter Sunday and Easter Monday; looks at wDay, wMonth and wYear only.
bool IsPublicHoliday(const Date& d);

bool IsIncludedDay(const CalendarRef& calendar, const Date& d);
bool IsExcludedDay(const CalendarRef& calendar, const Date& d);
bool IsWorkingDay(const CalendarRef& calendar, const Date& d);
// Working days from `from` to `to`, both included; 0 when `from` is after
// `to`, when `from` is invalid or when either cannot be converted. Prepares
// the lists for this one count: for many, make a WorkingDayCalendar once.
int CountWorkingDays(const CalendarRef& calendar, const Date& from, const Date& to);

template <class Holder>
bool IsIncludedDay(const Holder& holder, const Date& d) {
    return IsIncludedDay(CalendarOf(holder), d);
}
template <class Holder>
bool IsExcludedDay(const Holder& holder, const Date& d) {
    return IsExcludedDay(CalendarOf(holder), d);
}
template <class Holder>
bool IsWorkingDay(const Holder& holder, const Date& d) {
    return IsWorkingDay(CalendarOf(holder), d);
}
template <class Holder>
int CountWorkingDays(const Holder& holder, const Date& from, const Date& to) {
    return CountWorkingDays(CalendarOf(holder), from, to);
}

// The calendar of a holder prepared once for many questions. Holds a copy,
// so the holder may change or go afterwards; answers exactly as the
// functions above.
//
// Counting costs the same for a span of a week or of centuries: whole weeks
// give the flagged weekdays, a table of every year's holidays takes off
// those on flagged weekdays, and the listed days that change the answer of
// that rule, found by binary search, put in their corrections. The lists are
// sorted once, here.
class WorkingDayCalendar {
public:
    // No working weekday and empty lists.
    WorkingDayCalendar() = default;
    explicit WorkingDayCalendar(const CalendarRef& calendar);
    template <class Holder>
    explicit WorkingDayCalendar(const Holder& holder) : WorkingDayCalendar(CalendarOf(holder)) {}

    bool IsWorkingDay(const Date& d) const;
    int CountWorkingDays(const Date& from, const Date& to) const;

private:
    struct DayList {
        bool empty = true;
        bool matchesAll = false;          // an invalid entry matches every day
        std::vector<std::int64_t> ticks;  // comparison timestamps, ascending, each once
        bool Contains(const Date& d) const;
        bool Has(std::int64_t t) const;
    };
    static DayList Prepare(const std::vector<Date>& days);

    // A listed day on which the lists change the answer of the weekday and
    // holiday rule. A day of a count matches it only at the same time of day.
    struct Correction {
        std::int64_t timeOfDay;
        std::int64_t ticks;
        bool operator<(const Correction& other) const {
            return timeOfDay != other.timeOfDay ? timeOfDay < other.timeOfDay : ticks < other.ticks;
        }
    };
    void PrepareCorrections();
    // Sum of the corrections at this time of day from firstTicks to lastTicks.
    int CorrectionsBetween(std::int64_t timeOfDay, std::int64_t firstTicks, std::int64_t lastTicks) const;

    int weekdays_[7] = {};
    // False when an invalid exclude entry leaves working only the included days.
    bool weekdaysWork_ = true;
    DayList include_;
    DayList exclude_;
    std::vector<Correction> corrections_;  // ascending
    std::vector<int> correctionSums_;      // [i] = sum of the first i corrections (+1 or -1 each)
};

}  // namespace MyApp
