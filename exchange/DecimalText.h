// Numbers as plain decimal text for other programs: the fewest significant
// digits that read back as the very same double, never an exponent, no
// digit grouping ("150.5", "1204", "0.00000015", "100000000000000000000").
#pragma once

#include <string>

namespace MyApp {

// `separator` stands between the integer and the fractional digits. Not
// finite: "0".
std::string DecimalText(double value, char separator = '.');

}  // namespace MyApp
