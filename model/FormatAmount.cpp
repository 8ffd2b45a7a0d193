#include "model/FormatAmount.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace MyApp {

namespace {

DigitGroups ParseGrouping(const std::string& grouping) {
    DigitGroups result;
    std::size_t i = 0;
    while (i < grouping.size()) {
        int size = 0;
        bool any = false;
        while (i < grouping.size() && grouping[i] >= '0' && grouping[i] <= '9') {
            if (size < 100) size = size * 10 + (grouping[i] - '0');
            any = true;
            ++i;
        }
        while (i < grouping.size() && !(grouping[i] >= '0' && grouping[i] <= '9')) ++i;
        if (!any) continue;
        if (size == 0) {
            result.repeatLast = !result.sizes.empty();
            break;
        }
        result.sizes.push_back(size);
    }
    return result;
}

// Whether a separator stands before the digit `fromRight` places from the
// right of a number of `count` digits.
bool CutBefore(std::size_t fromRight, std::size_t count, const DigitGroups& groups) {
    std::size_t position = 0, which = 0;
    while (position < fromRight) {
        if (which < groups.sizes.size()) position += static_cast<std::size_t>(groups.sizes[which++]);
        else if (groups.repeatLast) position += static_cast<std::size_t>(groups.sizes.back());
        else return false;
    }
    return position == fromRight && fromRight < count;
}

void AppendGrouped(std::string& out, const char* digits, std::size_t count, const std::string& separator,
                   const DigitGroups& groups) {
    if (groups.sizes.empty() || separator.empty()) {
        out.append(digits, count);
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (CutBefore(count - i, count, groups)) out += separator;
        out += digits[i];
    }
}

std::string GroupBySizes(const std::string& digits, const std::string& separator, const DigitGroups& groups) {
    std::string out;
    out.reserve(digits.size() + digits.size() / 2 * separator.size());
    AppendGrouped(out, digits.data(), digits.size(), separator, groups);
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A large amount in full: rounded to the unit (halves away from zero) and
// grouped. Every double of this size is an integer or lies between two, so
// "%.0f" of the rounded value writes its exact digits.
std::string WholeAmount(double value, const AmountFormat& format) {
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", std::round(std::fabs(value)));
    return (value < 0 ? "-" : "") + GroupDigits(buffer, format.groupSeparator, format.grouping);
}

}  // namespace

std::string FormatAmount(double value, const AmountFormat& format) {
    if (value == 0) value = 0.0;  // zero is "0", never "-0"
    // Whole cents of at most six significant digits, nearly every amount,
    // without the C library's formatter: "%g" writes them exactly so.
    const double cents = std::round(value * 100);
    if (std::fabs(cents) < 1e8 && cents / 100 == value) {
        const auto whole = static_cast<long long>(std::fabs(cents));
        const std::string integer = std::to_string(whole / 100);
        std::string fraction = std::to_string(100 + whole % 100).substr(1);
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
        const std::size_t significant =
            whole < 100 ? std::to_string(whole % 100).size() : integer.size() + fraction.size();
        if (significant <= 6)
            return (value < 0 ? "-" : "") + GroupDigits(integer, format.groupSeparator, format.grouping) +
                   (fraction.empty() ? "" : format.decimalSeparator + fraction);
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    const std::string plain(buffer);
    const bool exponentForm = plain.find_first_of("eE") != std::string::npos;
    // Six significant digits would misstate an amount of a million or more.
    if (exponentForm && std::isfinite(value) && std::fabs(value) >= 1) return WholeAmount(value, format);

    // Sign, integer digits, the C library's decimal point, the rest.
    std::size_t i = 0;
    std::string out;
    if (i < plain.size() && (plain[i] == '-' || plain[i] == '+')) out += plain[i++];
    std::size_t digitsEnd = i;
    while (digitsEnd < plain.size() && IsDigit(plain[digitsEnd])) ++digitsEnd;
    if (digitsEnd == i) return plain;  // inf, nan
    const std::string integer = plain.substr(i, digitsEnd - i);
    out += exponentForm ? integer : GroupDigits(integer, format.groupSeparator, format.grouping);
    std::size_t rest = digitsEnd;
    if (rest < plain.size() && (plain[rest] == '.' || plain[rest] == ',')) {
        out += format.decimalSeparator;
        ++rest;
    }
    out += plain.substr(rest);
    return out;
}

std::string FormatAmount(Money amount, const AmountFormat& format) {
    // Six significant digits write an amount below 999.999,5 without an
    // exponent; the double nearest to it gives the very text it always had.
    const Money::Hundredths hundredths = amount.InHundredths();
    if (hundredths > -99999950 && hundredths < 99999950) return FormatAmount(amount.ToDouble(), format);
    return (hundredths < 0 ? "-" : "") +
           GroupDigits(DecimalDigits(amount.RoundedUnits()), format.groupSeparator, format.grouping);
}

std::string GroupDigits(const std::string& digits, const std::string& separator, const std::string& grouping) {
    return GroupBySizes(digits, separator, ParseGrouping(grouping));
}

AmountWriter::AmountWriter(AmountFormat format) : format_(std::move(format)), groups_(ParseGrouping(format_.grouping)) {}

void AmountWriter::Append(std::string& out, Money amount) const {
    const Money::Hundredths hundredths = amount.InHundredths();
    if (hundredths > -99999950 && hundredths < 99999950 && AppendCents(out, static_cast<long long>(hundredths))) return;
    out += FormatAmount(amount, format_);
}

void AmountWriter::Append(std::string& out, double value) const {
    const double cents = std::round(value * 100);
    if (std::fabs(cents) < 1e8 && cents / 100 == value && AppendCents(out, static_cast<long long>(cents))) return;
    out += FormatAmount(value, format_);
}

bool AmountWriter::AppendCents(std::string& out, long long hundredths) const {
    const long long whole = hundredths < 0 ? -hundredths : hundredths, cents = whole % 100;
    char digits[24];
    std::size_t count = 0;
    for (long long units = whole / 100; count == 0 || units > 0; units /= 10)
        digits[count++] = static_cast<char>('0' + units % 10);
    std::reverse(digits, digits + count);
    const std::size_t fraction = cents == 0 ? 0 : cents % 10 == 0 ? 1 : 2;
    // FormatAmount writes at most six significant digits so.
    if ((whole < 100 ? (cents < 10 ? 1 : 2) : count + fraction) > 6) return false;
    if (hundredths < 0) out += '-';
    AppendGrouped(out, digits, count, format_.groupSeparator, groups_);
    if (fraction > 0) {
        out += format_.decimalSeparator;
        out += static_cast<char>('0' + cents / 10);
        if (fraction == 2) out += static_cast<char>('0' + cents % 10);
    }
    return true;
}

#ifdef _WIN32
namespace {

std::string LocaleText(LCTYPE type) {
    wchar_t wide[32] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, type, wide, 32) <= 0) return std::string();
    char narrow[64] = {};
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return n > 0 ? std::string(narrow) : std::string();
}

}  // namespace

AmountFormat UserAmountFormat() {
    AmountFormat format;
    format.decimalSeparator = LocaleText(LOCALE_SDECIMAL);
    if (format.decimalSeparator.empty()) format.decimalSeparator = ".";
    format.groupSeparator = LocaleText(LOCALE_STHOUSAND);
    format.grouping = LocaleText(LOCALE_SGROUPING);
    return format;
}
#else
AmountFormat UserAmountFormat() { return AmountFormat(); }
#endif

std::string FormatAmount(double value) { return FormatAmount(value, UserAmountFormat()); }

std::string FormatAmount(Money amount) { return FormatAmount(amount, UserAmountFormat()); }

}  // namespace MyApp
