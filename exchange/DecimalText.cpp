#include "exchange/DecimalText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "model/NumberText.h"

namespace MyApp {

std::string DecimalText(double value, char separator) {
    if (!std::isfinite(value)) return "0";
    if (value == 0) return "0";
    char buffer[64];
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, value);
        if (ParseReal(buffer) == value) break;
    }
    // buffer: [-]d.ddde[+-]x: the digits and the power of ten of the first.
    const std::string scientific(buffer);
    const bool negative = scientific[0] == '-';
    const std::size_t e = scientific.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (scientific[i] != '.') digits += scientific[i];
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    const long exponent = std::strtol(scientific.c_str() + e + 1, nullptr, 10);
    std::string out;
    if (exponent < 0) {
        out = "0" + std::string(1, separator) + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            out = digits + std::string(integerDigits - digits.size(), '0');
        } else {
            out = digits.substr(0, integerDigits) + separator + digits.substr(integerDigits);
        }
    }
    return negative ? "-" + out : out;
}

}  // namespace MyApp
