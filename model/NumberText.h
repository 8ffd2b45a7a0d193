// Reading numbers from text the way the C library's atoi and atof do, but
// defined for every input: nothing is undefined for huge or hostile values.
#pragma once

#include <string_view>

namespace MyApp {

// atoi: leading white space, an optional sign, decimal digits up to the first
// other byte; 0 when there are none. Values beyond 32 bits wrap modulo 2^32
// (so 4294967295 reads as -1, as a COLORREF written unsigned would).
int ParseInteger(std::string_view text);

// atof for decimal numbers: white space, sign, digits, an optional fraction
// and an optional exponent ("1.23457e+006" reads as 1234570). Hexadecimal,
// "inf" and "nan" are not numbers here and read as 0, and values beyond the
// range of double read as the largest double: an amount is always finite.
double ParseReal(std::string_view text);

}  // namespace MyApp
