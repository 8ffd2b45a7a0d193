// Amounts of money as a whole number of hundredths in 128 bits, so that the
// costs of a project add up exactly however many and however large they are.
//
// A task's cost never needs more than 111 bits (a daily cost of at most 10^15,
// any int of resources, every day from 1601 to 30827); a sum would need more
// only past 65,000 such tasks. Sums stop at the largest amount the type holds
// instead of wrapping round.
#pragma once

#include <string>

namespace MyApp {

class Money {
public:
    using Hundredths = __int128;

    constexpr Money() = default;
    static constexpr Money FromHundredths(Hundredths hundredths) { return Money(hundredths); }

    constexpr Hundredths InHundredths() const { return hundredths_; }
    // The double nearest to the amount (exactly it while below 2^53 hundredths).
    double ToDouble() const;
    // The amount in units, rounded to the unit, halves away from zero.
    Hundredths RoundedUnits() const;

    Money& operator+=(Money other);
    Money& operator-=(Money other);
    friend Money operator+(Money a, Money b) { return a += b; }
    friend Money operator-(Money a, Money b) { return a -= b; }
    // The amount `count` times over, stopping at the largest amount as a sum does.
    friend Money operator*(Money a, long long count);
    friend constexpr bool operator==(Money a, Money b) { return a.hundredths_ == b.hundredths_; }
    friend constexpr bool operator!=(Money a, Money b) { return a.hundredths_ != b.hundredths_; }
    friend constexpr bool operator<(Money a, Money b) { return a.hundredths_ < b.hundredths_; }

private:
    constexpr explicit Money(Hundredths hundredths) : hundredths_(hundredths) {}
    Hundredths hundredths_ = 0;
};

// A daily cost as the decimal it stands for: `digits` x 10^`exponent`, the
// shortest decimal that reads back as the same double ("150.5" for 150.5,
// not the binary fraction nearest to it).
struct DecimalCost {
    long long digits = 0;
    int exponent = 0;
};
DecimalCost DecimalOf(double dailyCost);

// What `days` working days of `resources` at `dailyCost` each cost: the exact
// product of the three, rounded to the hundredth, halves away from zero. Daily
// costs typed with two decimals give their exact amounts, whatever their
// size; a daily cost made from a total (an imported task's cost over its
// days) gives that total back to the cent.
Money CostOfDays(const DecimalCost& dailyCost, long long resources, long long days);
Money CostOfDays(double dailyCost, long long resources, long long days);

// The decimal digits of a non-negative whole number.
std::string DecimalDigits(Money::Hundredths value);

// Plain decimal text for other programs: no grouping, the fewest decimals
// ("1505", "150.5", "0.07", "-3.25").
std::string PlainText(Money amount, char separator = '.');

}  // namespace MyApp
