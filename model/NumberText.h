// Reading numbers from text the way the C library's atoi and atof do, but
// defined for every input: nothing is undefined for huge or hostile values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace MyApp {

// atoi: leading white space, an optional sign, decimal digits up to the first
// other byte; 0 when there are none. Values beyond 32 bits wrap modulo 2^32
// (so 4294967295 reads as -1, as a COLORREF written unsigned would).
int ParseInteger(std::string_view text);

// The most resources a task may have a day.
constexpr int MaxResources = 100000;

// Resources per day as the user types them: decimal digits, white space
// around them aside, from 0 to MaxResources. None for an empty text, any
// other character or a larger number.
std::optional<int> ReadResources(std::string_view text);

// How a typed amount reads (ReadTypedAmount).
enum class TypedAmount {
    Valid,       // an amount, or an empty text (0)
    Misgrouped,  // digits and separators that dropping the thousands separators
                 // would read, but a separator stands where no thousands do
                 // ("12.5" for twelve and a half with '.' for thousands)
    Invalid,     // no amount at all
};

// The separators an amount is typed with, and the regional digit grouping
// (the Windows form, see FormatAmount.h).
struct AmountSeparators {
    char decimal = ',';
    char group = '.';
    std::string grouping = "3;0";
    bool allowNegative = false;
};

// Reads an amount as a user types it: spaces or tabs around it, a leading
// minus when allowed, digits with at most one decimal separator, and
// thousands separators in the integer part. Each thousands separator follows
// a digit and is followed by exactly three digits up to the next separator,
// the decimal separator or the end (or the separators stand where the
// regional grouping puts them, as the program writes amounts); otherwise the
// text is Misgrouped and never read with the separator dropped. An empty
// text is Valid and reads as 0. `value` is set for Valid only (0 otherwise).
TypedAmount ReadTypedAmount(std::string_view text, const AmountSeparators& separators, double& value);

// atof for decimal numbers: white space, sign, digits, an optional fraction
// and an optional exponent ("1.23457e+006" reads as 1234570). Hexadecimal,
// "inf" and "nan" are not numbers here and read as 0, and values beyond the
// range of double read as the largest double: an amount is always finite.
double ParseReal(std::string_view text);

}  // namespace MyApp
