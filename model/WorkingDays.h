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

// Index into workingWeekdays of a wDayOfWeek (Sunday -> 6), or -1 when out of range.
int WeekdayIndex(WORD dayOfWeek);

// Easter Sunday of a Gregorian year, at midnight (invalid for years the
// conversions refuse, with the day and month still filled in).
Date EasterSunday(int year);
// Fixed holidays, Easter Sunday and Easter Monday; looks at wDay, wMonth and wYear only.
bool IsPublicHoliday(const Date& d);

bool IsIncludedDay(const CalendarRef& calendar, const Date& d);
bool IsExcludedDay(const CalendarRef& calendar, const Date& d);
bool IsWorkingDay(const CalendarRef& calendar, const Date& d);
// Working days from `from` to `to`, both included; 0 when `from` is after
// `to`, when `from` is invalid or when either cannot be converted.
int CountWorkingDays(const CalendarRef& calendar, const Date& from, const Date& to);

template <class Holder>
bool IsIncludedDay(const Holder& holder, const Date& d) { return IsIncludedDay(CalendarOf(holder), d); }
template <class Holder>
bool IsExcludedDay(const Holder& holder, const Date& d) { return IsExcludedDay(CalendarOf(holder), d); }
template <class Holder>
bool IsWorkingDay(const Holder& holder, const Date& d) { return IsWorkingDay(CalendarOf(holder), d); }
template <class Holder>
int CountWorkingDays(const Holder& holder, const Date& from, const Date& to) {
  return CountWorkingDays(CalendarOf(holder), from, to);
}

// The calendar of a holder prepared once for many questions: the lists are
// sorted by timestamp, and counting walks the days with the holidays of each
// year computed once. Answers exactly as the functions above. Holds a copy,
// so the holder may change or go afterwards.
class WorkingDayCalendar {
 public:
  explicit WorkingDayCalendar(const CalendarRef& calendar);
  template <class Holder>
  explicit WorkingDayCalendar(const Holder& holder) : WorkingDayCalendar(CalendarOf(holder)) {}

  bool IsWorkingDay(const Date& d) const;
  int CountWorkingDays(const Date& from, const Date& to) const;

 private:
  struct DayList {
    bool empty = true;
    bool matchesAll = false;           // an invalid entry matches every day
    std::vector<std::int64_t> ticks;   // comparison timestamps, ascending
    bool Contains(const Date& d) const;
  };
  static DayList Prepare(const std::vector<Date>& days);

  int weekdays_[7];
  DayList include_;
  DayList exclude_;
};

}  // namespace MyApp
