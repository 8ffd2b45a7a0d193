#include "model/NumberText.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/FormatAmount.h"

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

// The integer part of an amount as typed, thousands separators included:
// digits alone; a first group of one digit or more and then groups of a
// separator and three digits; or the grouping the regional settings write.
bool WellGrouped(std::string_view typed, const std::string& digits, const AmountSeparators& separators) {
    if (typed.size() == digits.size()) return true;
    std::size_t i = 0;
    while (i < typed.size() && IsDigit(typed[i])) ++i;
    bool thousands = i > 0;
    for (; thousands && i < typed.size(); i += 4) {
        thousands = typed.size() - i >= 4 && typed[i] == separators.group && IsDigit(typed[i + 1]) &&
                    IsDigit(typed[i + 2]) && IsDigit(typed[i + 3]);
    }
    return thousands || typed == GroupDigits(digits, std::string(1, separators.group), separators.grouping);
}

}  // namespace

TypedAmount ReadTypedAmount(std::string_view text, const AmountSeparators& separators, double& value) {
    value = 0.0;
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    if (begin == end) return TypedAmount::Valid;
    text = text.substr(begin, end - begin);

    // What dropping the thousands separators leaves must be an amount: a
    // minus first (when allowed), digits, one decimal separator.
    std::string plain;
    bool digits = false;
    bool point = false;
    for (const char c : text) {
        if (c == separators.group) continue;
        if (c == '-' && plain.empty() && separators.allowNegative) {
            plain += c;
        } else if (c == separators.decimal && !point) {
            plain += '.';
            point = true;
        } else if (IsDigit(c)) {
            plain += c;
            digits = true;
        } else {
            return TypedAmount::Invalid;
        }
    }
    if (!digits) return TypedAmount::Invalid;

    // The thousands separators: only in the integer part, and in their places.
    const bool negative = !text.empty() && text[0] == '-' && separators.allowNegative;
    const std::size_t decimal = text.find(separators.decimal);
    const std::string_view integer = text.substr(
        negative ? 1 : 0, decimal == std::string_view::npos ? std::string_view::npos : decimal - (negative ? 1 : 0));
    std::string integerDigits;
    for (const char c : integer)
        if (IsDigit(c)) integerDigits += c;
    const bool fractionGrouped =
        decimal != std::string_view::npos && text.find(separators.group, decimal) != std::string_view::npos;
    if (fractionGrouped || !WellGrouped(integer, integerDigits, separators)) return TypedAmount::Misgrouped;

    const double read = ParseReal(plain);
    if (!std::isfinite(read)) return TypedAmount::Invalid;
    value = read;
    return TypedAmount::Valid;
}

std::optional<int> ReadResources(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > MaxResources) return std::nullopt;
    }
    return static_cast<int>(value);
}

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
