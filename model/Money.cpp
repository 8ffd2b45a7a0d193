#include "model/Money.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace MyApp {

namespace {

using Hundredths = Money::Hundredths;
using Unsigned = unsigned __int128;

constexpr Hundredths Largest = static_cast<Hundredths>(~Unsigned(0) >> 1);
constexpr Hundredths Smallest = -Largest - 1;

Hundredths Saturated(bool negative) { return negative ? Smallest : Largest; }

Unsigned Magnitude(Hundredths value) { return value < 0 ? Unsigned(0) - static_cast<Unsigned>(value) : static_cast<Unsigned>(value); }

}  // namespace

double Money::ToDouble() const {
    // Below 2^53 both steps are exact but the last; beyond, the decimal text
    // rounds once (digits and an exponent: no separator for a locale to choose).
    if (Magnitude(hundredths_) < (Unsigned(1) << 53)) return static_cast<double>(hundredths_) / 100.0;
    const double magnitude = std::strtod((DecimalDigits(hundredths_) + "e-2").c_str(), nullptr);
    return hundredths_ < 0 ? -magnitude : magnitude;
}

Money::Hundredths Money::RoundedUnits() const {
    const Unsigned units = (Magnitude(hundredths_) + 50) / 100;
    return hundredths_ < 0 ? -static_cast<Hundredths>(units) : static_cast<Hundredths>(units);
}

Money& Money::operator+=(Money other) {
    if (__builtin_add_overflow(hundredths_, other.hundredths_, &hundredths_)) hundredths_ = Saturated(other.hundredths_ < 0);
    return *this;
}

Money& Money::operator-=(Money other) {
    if (__builtin_sub_overflow(hundredths_, other.hundredths_, &hundredths_)) hundredths_ = Saturated(other.hundredths_ > 0);
    return *this;
}

Money operator*(Money a, long long count) {
    Hundredths product;
    if (__builtin_mul_overflow(a.hundredths_, static_cast<Hundredths>(count), &product))
        product = Saturated((a.hundredths_ < 0) != (count < 0));
    return Money(product);
}

DecimalCost DecimalOf(double dailyCost) {
    if (!std::isfinite(dailyCost) || dailyCost == 0) return DecimalCost();
    // A cost typed with at most two decimals, the usual case, without a text.
    const double hundredths = std::round(dailyCost * 100);
    if (std::fabs(hundredths) < 0x1p53 && hundredths / 100 == dailyCost) {
        DecimalCost cost{static_cast<long long>(hundredths), -2};
        for (; cost.digits % 10 == 0 && cost.exponent < 0; cost.digits /= 10) ++cost.exponent;
        return cost;
    }
    // Any other: the first of 15, 16 and 17 significant digits that reads back.
    char text[64];
    for (int precision = 15; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*e", precision - 1, dailyCost);
        if (std::strtod(text, nullptr) == dailyCost) break;
    }
    DecimalCost cost;
    const char* at = text;
    const bool negative = *at == '-';
    int digits = 0;
    for (; *at != 'e' && *at != 'E' && *at != '\0'; ++at)
        if (*at >= '0' && *at <= '9') cost.digits = cost.digits * 10 + (*at - '0'), ++digits;
    cost.exponent = (*at != '\0' ? static_cast<int>(std::strtol(at + 1, nullptr, 10)) : 0) - (digits - 1);
    for (; cost.digits != 0 && cost.digits % 10 == 0; cost.digits /= 10) ++cost.exponent;
    if (negative) cost.digits = -cost.digits;
    return cost;
}

Money CostOfDays(const DecimalCost& dailyCost, long long resources, long long days) {
    if (dailyCost.digits == 0 || resources == 0 || days == 0) return Money();
    const bool negative = ((dailyCost.digits < 0) != (resources < 0)) != (days < 0);
    // At most 57 + 32 + 64 bits would not fit; resources and days as the
    // program counts them take 31 and 24.
    Unsigned product = 1;
    for (const long long factor : {dailyCost.digits, resources, days}) {
        const Unsigned magnitude = Magnitude(factor);
        if (product > (~Unsigned(0) >> 1) / magnitude) return Money::FromHundredths(Saturated(negative));
        product *= magnitude;
    }
    // In hundredths: times 10^(exponent + 2), rounded to the whole hundredth.
    for (int scale = dailyCost.exponent + 2; scale > 0; --scale) {
        if (product > (~Unsigned(0) >> 1) / 10) return Money::FromHundredths(Saturated(negative));
        product *= 10;
    }
    if (const int scale = -(dailyCost.exponent + 2); scale > 0) {
        // 10^38 is the largest power that fits; beyond it every product is
        // less than half of the divisor.
        Unsigned divisor = 1;
        for (int i = 0; i < scale && i < 38; ++i) divisor *= 10;
        product = scale > 38 ? 0 : (product + divisor / 2) / divisor;
    }
    const auto magnitude = static_cast<Hundredths>(product);
    return Money::FromHundredths(negative ? -magnitude : magnitude);
}

Money CostOfDays(double dailyCost, long long resources, long long days) {
    return CostOfDays(DecimalOf(dailyCost), resources, days);
}

std::string DecimalDigits(Money::Hundredths value) {
    Unsigned rest = Magnitude(value);
    std::string digits;
    do {
        digits += static_cast<char>('0' + static_cast<int>(rest % 10));
        rest /= 10;
    } while (rest != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string PlainText(Money amount, char separator) {
    const Hundredths value = amount.InHundredths();
    std::string digits = DecimalDigits(value);
    if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
    std::string fraction = digits.substr(digits.size() - 2);
    digits.erase(digits.size() - 2);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    if (!fraction.empty()) digits += separator + fraction;
    return value < 0 ? "-" + digits : digits;
}

}  // namespace MyApp
