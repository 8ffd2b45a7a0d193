// Amounts of money as the user's regional settings show them: general
// notation with six significant digits (as a text stream writes a double by
// default), the regional decimal separator, and the regional digit grouping of
// the integer part. An amount that six digits would show with an exponent
// (a million or more) is written in full instead: its whole integer part,
// rounded to the unit (halves away from zero) and grouped, "980.734.521".
// Tiny amounts (below 0.0001) keep the exponent form. Zero is "0", whatever
// its sign.
#pragma once

#include <string>
#include <vector>

#include "model/Money.h"

namespace MyApp {

// The three regional settings the text depends on, as narrow (system code
// page) text. `grouping` has the Windows form: group sizes from the right,
// separated by ';', a final ";0" repeating the last size ("3;0" = thousands,
// "3;2;0" = Indian style, "3" = only the first three digits apart, "" or "0" =
// no grouping).
struct AmountFormat {
    std::string decimalSeparator = ".";
    std::string groupSeparator;
    std::string grouping;
};

// The user's settings: on Windows from GetLocaleInfoW (LOCALE_SDECIMAL,
// LOCALE_STHOUSAND, LOCALE_SGROUPING); elsewhere '.' and no grouping, the
// classic "C" style.
AmountFormat UserAmountFormat();

std::string FormatAmount(double value, const AmountFormat& format);
// An exact amount in the same text: below a million as its nearest double
// shows it, from a million up every digit of the sum, rounded to the unit.
std::string FormatAmount(Money amount, const AmountFormat& format);

// The integer `digits` with `separator` between the groups that `grouping`
// (the Windows form above) asks for.
std::string GroupDigits(const std::string& digits, const std::string& separator, const std::string& grouping);
std::string FormatAmount(double value);
std::string FormatAmount(Money amount);

// Group sizes read from the Windows form of `grouping` above.
struct DigitGroups {
    std::vector<int> sizes;
    bool repeatLast = false;
};

// Writes many amounts in one format, each as FormatAmount writes it, without
// reading the grouping again or making a text for each: a long report
// appends a few million of them.
class AmountWriter {
public:
    explicit AmountWriter(AmountFormat format);
    void Append(std::string& out, Money amount) const;
    void Append(std::string& out, double amount) const;

private:
    // Whole cents of at most six significant digits; false for the others.
    bool AppendCents(std::string& out, long long hundredths) const;

    AmountFormat format_;
    DigitGroups groups_;
};

}  // namespace MyApp
