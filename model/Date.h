// One calendar day (Date) and its arithmetic through 100 ns timestamps counted
// from 1 January 1601, the FILETIME scale.
//
// The conversions are the program's own proleptic Gregorian count. They accept
// and refuse exactly what Windows' SystemTimeToFileTime accepts and refuses
// (years 1601 to 30827, real month lengths, time fields in range) and fill
// wDayOfWeek the same way (0 = Sunday). They do not call the platform, whose
// emulations are not always that strict.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/SystemTime.h"

namespace MyApp {

constexpr std::int64_t TicksPerSecond = 10000000;
constexpr std::int64_t SecondsPerDay = 86400;
constexpr std::int64_t TicksPerDay = TicksPerSecond * SecondsPerDay;  // 864 000 000 000

// A day of the calendar. `invalid` is set when `value` cannot be turned into a
// timestamp; a valid Date has its wDayOfWeek normalised. A default Date holds
// zero fields and is no day at all: make days with MakeDate, ParseDate or
// LocalNow.
struct Date {
    SYSTEMTIME value{};
    bool invalid = false;
};

// SystemTimeToFileTime: false (and ticks untouched) when a field is out of range.
bool SystemTimeToTicks(const SYSTEMTIME& st, std::int64_t& ticks);
// FileTimeToSystemTime: false for timestamps of 2^63 and above (negative here).
bool TicksToSystemTime(std::int64_t ticks, SYSTEMTIME& st);
bool ToFileTime(const SYSTEMTIME& st, FILETIME& ft);
bool FromFileTime(const FILETIME& ft, SYSTEMTIME& st);

// Copies st; when it converts, normalises it (wDayOfWeek), otherwise sets invalid.
Date MakeDate(const SYSTEMTIME& st);
// MakeDate of d's year, month and day at midnight; d.invalid is not consulted.
Date DateOnly(const Date& d);
// Reads DD/MM/YYYY (exactly 10 bytes, any separators) into target. On a wrong
// length only `invalid` is set; otherwise target holds the parsed fields at
// midnight and is normalised when they form a real day, invalid when not.
void ParseDate(std::string_view text, Date& target);
// DD/MM/YYYY with the fields as they stand (invalid is not consulted).
std::string FormatDate(const Date& d);
// Whole days from a to b (negative when b is earlier); 0 when a is invalid or
// b cannot be converted.
std::int64_t DaysUntil(const Date& a, const Date& b);
// -1, 0, +1 by whole timestamps (time of day included). An invalid a equals
// everything; so does any a when b cannot be converted.
int CompareDates(const Date& a, const Date& b);
// The same clock time on the next day; the invalid flag is carried over. A
// value that cannot be converted comes back unchanged (callers that step
// through days stop on the end test or on an unconvertible day).
Date AddOneDay(const Date& d);

// The timestamp CompareDates uses for a first operand that is not invalid:
// the converted value, or 0 when the fields cannot be converted.
std::int64_t ComparisonTicks(const Date& d);
// A key that orders valid dates exactly as CompareDates does and puts
// invalid ones first, consistently: an order a sort may rely on, which
// CompareDates (an invalid date equal to everything) is not.
std::int64_t SortKey(const Date& d);
// Equal field for field, the invalid flag included: unlike CompareDates, an
// invalid date equals only the very same fields.
bool SameFields(const Date& a, const Date& b);

// The relational tests: the right-hand operand is CompareDates' first argument.
inline bool operator>(const Date& left, const Date& right) { return CompareDates(right, left) == -1; }
inline bool operator<(const Date& left, const Date& right) { return CompareDates(right, left) == 1; }
inline bool operator==(const Date& left, const Date& right) { return CompareDates(right, left) == 0; }

// The current local date and time (GetLocalTime on Windows), normalised.
Date LocalNow();

// Days from 1 January 1601 of a proleptic Gregorian date (no range check).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day);
bool IsLeapYear(unsigned year);
unsigned DaysInMonth(unsigned year, unsigned month);

}  // namespace MyApp
