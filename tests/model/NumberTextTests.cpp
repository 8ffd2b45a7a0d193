#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <utility>

#include "model/FormatAmount.h"
#include "model/NumberText.h"

using MyApp::ParseInteger;
using MyApp::ParseReal;

TEST(ParseInteger, ReadsLikeAtoi) {
    EXPECT_EQ(ParseInteger(""), 0);
    EXPECT_EQ(ParseInteger("abc"), 0);
    EXPECT_EQ(ParseInteger("-"), 0);
    EXPECT_EQ(ParseInteger("  \t-12x"), -12);
    EXPECT_EQ(ParseInteger("+7"), 7);
    EXPECT_EQ(ParseInteger("\r\n\v\f 5"), 5);
    EXPECT_EQ(ParseInteger("1 2"), 1);
    EXPECT_EQ(ParseInteger(std::string_view("3\0"
                                            "9",
                                            3)),
              3);
    EXPECT_EQ(ParseInteger("--5"), 0);
    EXPECT_EQ(ParseInteger("16711680"), 16711680);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger("-2147483648"), -2147483647 - 1);
}

TEST(ParseInteger, WrapsBeyondThirtyTwoBits) {
    EXPECT_EQ(ParseInteger("2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseInteger("4294967295"), -1);
    EXPECT_EQ(ParseInteger("4294967296"), 0);
    EXPECT_EQ(ParseInteger("4294967301"), 5);
    EXPECT_EQ(ParseInteger("-4294967297"), -1);
    // 10^30 mod 2^32 = 1073741824.
    EXPECT_EQ(ParseInteger("1000000000000000000000000000000"), 1073741824);
    EXPECT_EQ(ParseInteger(std::string(1000000, '9')), ParseInteger(std::string(1000000, '9')));
}

TEST(ParseReal, ReadsDecimalNumbersLikeAtof) {
    EXPECT_EQ(ParseReal("150.5"), 150.5);
    EXPECT_EQ(ParseReal("150"), 150.0);
    EXPECT_EQ(ParseReal("1.23457e+06"), 1234570.0);
    EXPECT_EQ(ParseReal("1.23457e+006"), 1234570.0);
    EXPECT_EQ(ParseReal("1.23457E6"), 1234570.0);
    EXPECT_EQ(ParseReal("  -12.5abc"), -12.5);
    EXPECT_EQ(ParseReal(".5"), 0.5);
    EXPECT_EQ(ParseReal("5."), 5.0);
    EXPECT_EQ(ParseReal("1e"), 1.0);
    EXPECT_EQ(ParseReal("1e+"), 1.0);
    EXPECT_EQ(ParseReal("2.5e-3"), 0.0025);
    EXPECT_EQ(ParseReal("."), 0.0);
    EXPECT_EQ(ParseReal("abc"), 0.0);
    EXPECT_EQ(ParseReal("150,5"), 150.0);  // the file always uses '.'
    // Not decimal numbers here: no NaN or infinity can come in as a cost.
    EXPECT_EQ(ParseReal("inf"), 0.0);
    EXPECT_EQ(ParseReal("nan"), 0.0);
    EXPECT_EQ(ParseReal("0x10"), 0.0);
}

TEST(ParseReal, ExtremeInputsStayDefined) {
    EXPECT_EQ(ParseReal("1e400"), DBL_MAX);
    EXPECT_EQ(ParseReal("-1e400"), -DBL_MAX);
    EXPECT_EQ(ParseReal("1e-400"), 0.0);
    EXPECT_EQ(ParseReal("1e99999999999999999999"), DBL_MAX);
    EXPECT_EQ(ParseReal("1e-99999999999999999999"), 0.0);
    EXPECT_EQ(ParseReal("1" + std::string(1000, '0')), DBL_MAX);
    EXPECT_EQ(ParseReal("1.79769e+308"), 1.79769e+308);
    EXPECT_EQ(ParseReal("0." + std::string(500, '0') + "1e501"), 1.0);
    EXPECT_EQ(ParseReal(std::string(2000000, '0') + "42"), 42.0);
    EXPECT_DOUBLE_EQ(ParseReal("1." + std::string(100000, '3')), 4.0 / 3.0);
}

// Well-formed numbers give exactly what strtod gives.
TEST(ParseReal, AgreesWithStrtodOnRandomNumbers) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-300, 300);
    for (int i = 0; i < 20000; ++i) {
        const double value = mantissa(random) * std::pow(10.0, exponent(random));
        char text[64];
        if (i % 2) std::snprintf(text, sizeof text, "%.17g", value);
        else std::snprintf(text, sizeof text, "%Lg", static_cast<long double>(value));
        ASSERT_EQ(ParseReal(text), std::strtod(text, nullptr)) << text;
    }
}

// ---- Amounts as the user types them ------------------------------------------

using MyApp::AmountSeparators;
using MyApp::ReadTypedAmount;
using MyApp::TypedAmount;

namespace {

TypedAmount Read(const std::string& text, double& value, bool allowNegative = false) {
    AmountSeparators italian;
    italian.allowNegative = allowNegative;
    return ReadTypedAmount(text, italian, value);
}

// The reading of before: every thousands separator dropped, then a minus
// first, digits and one decimal comma. Answers whether it read an amount and
// sets `plain` to it in the C form.
bool ReadDroppingSeparators(const std::string& text, bool allowNegative, std::string& plain) {
    plain.clear();
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return true;
    const size_t end = text.find_last_not_of(" \t") + 1;
    bool digits = false, point = false;
    for (size_t i = begin; i < end; ++i) {
        const char c = text[i];
        if (c == '.') continue;
        if (c == '-' && plain.empty() && allowNegative) plain += c;
        else if (c == ',' && !point) plain += '.', point = true;
        else if (c >= '0' && c <= '9') plain += c, digits = true;
        else return false;
    }
    return digits;
}

}  // namespace

TEST(ReadTypedAmount, ThousandsSeparatorsMustBeFollowedByThreeDigits) {
    double value = -1;
    EXPECT_EQ(Read("12.5", value), TypedAmount::Misgrouped);
    EXPECT_EQ(value, 0.0) << "never read as 125";
    for (const char* misgrouped : {"1.50", "1.5000", ".500", "1..500", "1.500.", "1.500,5.0", "12,5.000", "1.234.56,5"})
        EXPECT_EQ(Read(misgrouped, value), TypedAmount::Misgrouped) << misgrouped;
    for (const char* invalid : {"abc", ",", ".", "-5", "1,2,3", "1 500", "12.5€", "--1"})
        EXPECT_EQ(Read(invalid, value), TypedAmount::Invalid) << invalid;

    const std::pair<const char*, double> valid[] = {{"", 0.0},
                                                    {"  ", 0.0},
                                                    {"12,5", 12.5},
                                                    {"1.500", 1500.0},
                                                    {"1.234.567,5", 1234567.5},
                                                    {" 1.500 ", 1500.0},
                                                    {"1234.567", 1234567.0},
                                                    {",5", 0.5},
                                                    {"5,", 5.0},
                                                    {"0,1234567", 0.1234567}};
    for (const auto& [text, expected] : valid) {
        ASSERT_EQ(Read(text, value), TypedAmount::Valid) << text;
        EXPECT_EQ(value, expected) << text;
    }
    EXPECT_EQ(Read("-1.500,5", value, true), TypedAmount::Valid);
    EXPECT_EQ(value, -1500.5);
    EXPECT_EQ(Read(".-500", value, true), TypedAmount::Misgrouped);
}

// Random texts of digits, separators, minus signs and blanks, against the
// rule written as a pattern and against the reading of before: what that
// reading took is now read alike or refused as misgrouped, never read
// otherwise; what it refused stays refused.
TEST(ReadTypedAmount, AgreesWithThePatternAndNeverReadsOtherwise) {
    const std::regex withMinus(R"([ \t]*-?(\d+|\d+(\.\d{3})+)?(,\d*)?[ \t]*)");
    const std::regex withoutMinus(R"([ \t]*(\d+|\d+(\.\d{3})+)?(,\d*)?[ \t]*)");
    const std::string alphabet = "0123456789012345678901234567890123456789....,,,-- \t";
    std::mt19937 random(26);
    int counts[3] = {};
    for (int i = 0; i < 60000; ++i) {
        std::string text(random() % 13, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        const bool allowNegative = i % 2 == 0;
        std::string plain;
        const bool before = ReadDroppingSeparators(text, allowNegative, plain);
        const bool hasDigit = text.find_first_of("0123456789") != std::string::npos;
        const bool blank = text.find_first_not_of(" \t") == std::string::npos;
        const bool pattern = blank || (hasDigit && std::regex_match(text, allowNegative ? withMinus : withoutMinus));
        double value = -1;
        const TypedAmount read = Read(text, value, allowNegative);
        ++counts[static_cast<int>(read)];
        ASSERT_EQ(read == TypedAmount::Valid, pattern) << "\"" << text << "\"";
        ASSERT_EQ(read == TypedAmount::Invalid, !before) << "\"" << text << "\"";
        ASSERT_EQ(value, read == TypedAmount::Valid ? ParseReal(plain) : 0.0) << "\"" << text << "\"";
    }
    for (int count : counts) EXPECT_GT(count, 1000) << "each outcome is met often";
}

// Amounts written with the regional grouping read back as written: the
// Italian thousands and the Indian lakh grouping alike.
TEST(ReadTypedAmount, AmountsWrittenWithTheRegionalGroupingReadBack) {
    AmountSeparators indian;
    indian.decimal = '.';
    indian.group = ',';
    indian.grouping = "3;2;0";
    std::mt19937_64 random(7);
    for (int i = 0; i < 5000; ++i) {
        const std::string digits = std::to_string(random() % 100000000000ULL);
        const std::string fraction = i % 3 ? std::to_string(random() % 1000) : "";
        for (const AmountSeparators& separators : {AmountSeparators(), indian}) {
            std::string text = MyApp::GroupDigits(digits, std::string(1, separators.group), separators.grouping);
            if (!fraction.empty()) text += separators.decimal + fraction;
            double value = -1;
            ASSERT_EQ(ReadTypedAmount(text, separators, value), TypedAmount::Valid) << text;
            EXPECT_EQ(value, ParseReal(fraction.empty() ? digits : digits + "." + fraction)) << text;
        }
    }
}

// Resources as typed: every count the dialog's spinner holds reads back, with
// spaces around it; a larger number, a sign, a separator or nothing at all is
// no count.
TEST(ReadResources, TheSpinnersRangeAndNothingElse) {
    // Steps of 8 meet the largest count itself.
    for (int count = 0; count <= MyApp::MaxResources + 1000; count += 8)
        ASSERT_EQ(MyApp::ReadResources(" " + std::to_string(count) + "\t"),
                  count <= MyApp::MaxResources ? std::optional<int>(count) : std::nullopt);
    for (const char* refused : {"", "  ", "100001", "-1", "+3", "12.5", "1.000", "1 0", "99999999999999999999", "3a"})
        EXPECT_EQ(MyApp::ReadResources(refused), std::nullopt) << refused;
}
