#include "model/NumberText.h"

#include <cfloat>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace MyApp {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Moves i past leading white space and an optional sign; true for "-".
bool SkipBlanksAndSign(std::string_view text, std::size_t& i) {
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) return text[i++] == '-';
    return false;
}

}  // namespace

int ParseInteger(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    std::uint32_t value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    // Two's complement reinterpretation, defined for every value.
    return value <= 0x7FFFFFFFu ? static_cast<int>(value) : -static_cast<int>(~value) - 1;
}

double ParseReal(std::string_view text) {
    std::size_t i = 0;
    const bool negative = SkipBlanksAndSign(text, i);
    // Significant digits (at most 40 kept; more cannot change a double beyond
    // its last bit in any case that matters here) and the decimal exponent.
    std::string digits;
    std::int64_t exponent = 0;
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        anyDigit = true;
        if (digits.empty() && text[i] == '0') continue;
        if (digits.size() < 40) digits += text[i];
        else ++exponent;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            anyDigit = true;
            if (digits.empty() && text[i] == '0') {
                --exponent;
                continue;
            }
            if (digits.size() < 40) {
                digits += text[i];
                --exponent;
            }
        }
    }
    if (!anyDigit) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDigit(text[j])) {
            std::int64_t e = 0;
            for (; j < text.size() && IsDigit(text[j]); ++j)
                if (e < 1000000) e = e * 10 + (text[j] - '0');
            exponent += expNegative ? -e : e;
        }
    }
    if (digits.empty()) return negative ? -0.0 : 0.0;
    if (exponent > 1000000) exponent = 1000000;
    if (exponent < -1000000) exponent = -1000000;
    // Digits and exponent only: no decimal point, so the C locale's choice of
    // separator cannot matter.
    std::string normal = digits + "e" + std::to_string(exponent);
    double value = std::strtod(normal.c_str(), nullptr);
    if (value > DBL_MAX) value = DBL_MAX;  // no infinite amounts
    return negative ? -value : value;
}

}  // namespace MyApp
