#include "model/Money.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace MyApp {

namespace {

using Hundredths = Money::Hundredths;
using Unsigned = unsigned __int128;

constexpr Hundredths Largest = static_cast<Hundredths>(~Unsigned(0) >> 1);
constexpr Hundredths Smallest = -Largest - 1;

Hundredths Saturated(bool negative) { return negative ? Smallest : Largest; }

Unsigned Magnitude(Hundredths value) { return value < 0 ? Unsigned(0) - static_cast<Unsigned>(value) : static_cast<Unsigned>(value); }

// `magnitude` / 2^shift, rounded to the nearest whole number, halves up.
Unsigned ShiftRounded(Unsigned magnitude, int shift) {
    if (shift == 0) return magnitude;
    if (shift > 127) return 0;
    const Unsigned quotient = magnitude >> shift;
    const Unsigned remainder = magnitude - (quotient << shift);
    return remainder >= (Unsigned(1) << (shift - 1)) ? quotient + 1 : quotient;
}

}  // namespace

double Money::ToDouble() const { return static_cast<double>(hundredths_) / 100.0; }

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

Money CostOfDays(double dailyCost, long long resources, long long days) {
    if (!std::isfinite(dailyCost) || dailyCost == 0 || resources == 0 || days == 0) return Money();
    // dailyCost = mantissa x 2^exponent exactly, the mantissa a whole number
    // of at most 53 bits.
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(dailyCost), &exponent);
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    const bool negative = ((dailyCost < 0) != (resources < 0)) != (days < 0);
    // At most 53 + 32 + 63 + 7 bits would not fit; resources and days as the
    // program counts them take 31 and 24.
    Unsigned product = static_cast<Unsigned>(mantissa) * 100u;
    for (const long long factor : {resources, days}) {
        const Unsigned magnitude = Magnitude(factor);
        if (product > ~Unsigned(0) / 2 / magnitude) return Money::FromHundredths(Saturated(negative));
        product *= magnitude;
    }
    if (exponent >= 0) {
        if (exponent >= 127 || product > (~Unsigned(0) >> 1) >> exponent) return Money::FromHundredths(Saturated(negative));
        product <<= exponent;
    } else {
        product = ShiftRounded(product, -exponent);
    }
    const auto magnitude = static_cast<Hundredths>(product);
    return Money::FromHundredths(negative ? -magnitude : magnitude);
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
