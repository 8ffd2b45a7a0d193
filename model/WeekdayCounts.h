// Counts over runs of whole days, by arithmetic rather than by walking them.
//
// Days are numbered from 1 January 1601 (day 0, a Monday), the day part of a
// timestamp; day n falls on weekday index n mod 7 (0 = Monday ... 6 = Sunday,
// the index of workingWeekdays). Both counts take every day from firstDay to
// lastDay, both included, which must lie in the years timestamps reach
// (1601 to 30827); a run with lastDay before firstDay counts nothing.
#pragma once

#include <cstdint>

namespace MyApp {

// Days of the run whose weekday flag is non-zero.
std::int64_t FlaggedWeekdays(const int weekdays[7], std::int64_t firstDay, std::int64_t lastDay);

// Public holidays of the run (the fixed ones, Easter Sunday and Easter
// Monday, each day once) whose weekday flag is non-zero. The first call
// builds a table of every year's holidays (about a megabyte), kept for the
// life of the program.
std::int64_t HolidaysOnFlaggedWeekdays(const int weekdays[7], std::int64_t firstDay, std::int64_t lastDay);

}  // namespace MyApp
