#include "model/WorkingDays.h"

#include <algorithm>

namespace MyApp {

namespace {

// Fixed public holidays by month (1..12) and day (1..31).
bool IsFixedHoliday(unsigned month, unsigned day) {
  switch (month) {
    case 1: return day == 1 || day == 6;
    case 4: return day == 25;
    case 5: return day == 1;
    case 6: return day == 2;
    case 8: return day == 15;
    case 11: return day == 1;
    case 12: return day == 8 || day == 25 || day == 26;
    default: return false;
  }
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
  if (dayOfWeek > 6) return -1;
  return dayOfWeek == 0 ? 6 : dayOfWeek - 1;
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

bool IsIncludedDay(const CalendarRef& calendar, const Date& d) {
  return ListContains(*calendar.includeDays, d);
}

bool IsExcludedDay(const CalendarRef& calendar, const Date& d) {
  return ListContains(*calendar.excludeDays, d);
}

bool IsWorkingDay(const CalendarRef& calendar, const Date& d) {
  const int index = WeekdayIndex(d.value.wDayOfWeek);
  if (index >= 0 && calendar.workingWeekdays[index] != 0 && !IsPublicHoliday(d) &&
      !IsExcludedDay(calendar, d))
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
  return list;
}

bool WorkingDayCalendar::DayList::Contains(const Date& d) const {
  if (empty) return false;
  if (matchesAll) return true;
  std::int64_t t;
  if (!SystemTimeToTicks(d.value, t)) return true;  // equal to anything
  return std::binary_search(ticks.begin(), ticks.end(), t);
}

WorkingDayCalendar::WorkingDayCalendar(const CalendarRef& calendar)
    : include_(Prepare(*calendar.includeDays)), exclude_(Prepare(*calendar.excludeDays)) {
  std::copy(calendar.workingWeekdays, calendar.workingWeekdays + 7, weekdays_);
}

bool WorkingDayCalendar::IsWorkingDay(const Date& d) const {
  const int index = WeekdayIndex(d.value.wDayOfWeek);
  if (index >= 0 && weekdays_[index] != 0 && !IsPublicHoliday(d) && !exclude_.Contains(d))
    return true;
  return include_.Contains(d);
}

int WorkingDayCalendar::CountWorkingDays(const Date& from, const Date& to) const {
  std::int64_t first, last;
  if (from.invalid || !SystemTimeToTicks(from.value, first) || !SystemTimeToTicks(to.value, last))
    return 0;
  if (first > last) return 0;
  const std::int64_t dayCount = (last - first) / TicksPerDay + 1;
  if (include_.matchesAll) return static_cast<int>(dayCount);

  // Every day of the walk has the time of day of `from`; an entry matches a
  // day only when its timestamp is exactly that day's.
  auto includeAt = std::lower_bound(include_.ticks.begin(), include_.ticks.end(), first);
  auto excludeAt = std::lower_bound(exclude_.ticks.begin(), exclude_.ticks.end(), first);

  unsigned year = from.value.wYear, month = from.value.wMonth, day = from.value.wDay;
  unsigned monthLength = DaysInMonth(year, month);
  EasterDays easter = EasterOf(static_cast<int>(year));
  // The first day is judged by its own stored weekday, the following ones by
  // the weekday the step to the next day gives them.
  int index = WeekdayIndex(from.value.wDayOfWeek);
  int trueIndex = static_cast<int>((DaysFromCivil(year, month, day) + 1) % 7);  // wDayOfWeek
  trueIndex = WeekdayIndex(static_cast<WORD>(trueIndex));

  int count = 0;
  std::int64_t t = first;
  for (std::int64_t k = 0; k < dayCount; ++k, t += TicksPerDay) {
    while (includeAt != include_.ticks.end() && *includeAt < t) ++includeAt;
    while (excludeAt != exclude_.ticks.end() && *excludeAt < t) ++excludeAt;
    const bool included = includeAt != include_.ticks.end() && *includeAt == t;
    bool working = included;
    if (!working && index >= 0 && weekdays_[index] != 0) {
      const bool holiday = IsFixedHoliday(month, day) ||
                           (month == easter.sundayMonth && day == easter.sundayDay) ||
                           (month == easter.mondayMonth && day == easter.mondayDay);
      const bool excluded = exclude_.matchesAll ||
                            (excludeAt != exclude_.ticks.end() && *excludeAt == t);
      working = !holiday && !excluded;
    }
    if (working) ++count;

    // Next day.
    trueIndex = trueIndex == 6 ? 0 : trueIndex + 1;
    index = trueIndex;
    if (++day > monthLength) {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
        easter = EasterOf(static_cast<int>(year));
      }
      monthLength = DaysInMonth(year, month);
    }
  }
  return count;
}

}  // namespace MyApp
