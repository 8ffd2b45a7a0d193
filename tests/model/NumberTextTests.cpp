#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

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
