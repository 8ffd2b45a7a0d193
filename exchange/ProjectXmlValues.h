// The values of Microsoft Project XML's fields as the import reads them:
// whole and decimal numbers, flags, moments and durations. Each reading
// answers false for a text that is not a value of its kind.
#pragma once

#include <optional>
#include <string_view>

#include "model/Date.h"
#include "model/Money.h"

namespace MyApp {

// The text without the white space around it.
std::string_view Trimmed(std::string_view text);

// An optional sign and at most 18 digits.
bool ParseWhole(std::string_view text, long long& value);

// A decimal number: sign, digits with at most one point, and (as some
// writers give) an exponent. Finite, within the range of double.
bool ParseNumber(std::string_view text, double& value);

// A number of hundredths of the currency, as the format's costs are given,
// to the whole hundredth (halves away from zero): exactly as written for
// up to 36 digits without an exponent, else as near as a double holds.
bool ParseHundredths(std::string_view text, Money& value);

// "1", "0", "true" or "false".
bool ParseFlag(std::string_view text, bool& value);

// A day and a time of day.
struct Moment {
    Date day;
    int seconds = 0;  // since midnight
};

// YYYY-MM-DD, then optionally THH:MM[:SS[.fraction]] and a time zone
// (which the days of a plan do not depend on). The year has the four digits
// that the project file's dates hold.
bool ParseMoment(std::string_view text, Moment& moment);

// An ISO 8601 duration, "PT8H0M0S" as the format writes them.
struct Duration {
    bool zero = true;             // no time at all
    std::optional<double> hours;  // its length, when it is given in hours, minutes and seconds only
};
bool ParseDuration(std::string_view text, Duration& duration);

}  // namespace MyApp
