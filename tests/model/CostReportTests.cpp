#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/model/TestDates.h"
#include "tests/model/WorkingDaysOracle.h"

using namespace MyApp;
using ModelTests::Tetto;
using TestDates::D;

namespace {

AmountFormat Italian() { return AmountFormat{",", ".", "3;0"}; }

}  // namespace

TEST(FormatAmount, ItalianSettings) {
    EXPECT_EQ(FormatAmount(150.5, Italian()), "150,5");
    EXPECT_EQ(FormatAmount(1500, Italian()), "1.500");
    EXPECT_EQ(FormatAmount(0, Italian()), "0");
    EXPECT_EQ(FormatAmount(1204, Italian()), "1.204");
    EXPECT_EQ(FormatAmount(999999, Italian()), "999.999");
    EXPECT_EQ(FormatAmount(123456.7, Italian()), "123.457");
    EXPECT_EQ(FormatAmount(1234.567, Italian()), "1.234,57");
    EXPECT_EQ(FormatAmount(-1500.25, Italian()), "-1.500,25");
    EXPECT_EQ(FormatAmount(0.0001, Italian()), "0,0001");
    // A million and more in full; tiny amounts keep the exponent form.
    EXPECT_EQ(FormatAmount(1234567, Italian()), "1.234.567");
    const std::string tiny = FormatAmount(0.00001234, Italian());
    EXPECT_TRUE(tiny == "1,234e-05" || tiny == "1,234e-005") << tiny;
}

TEST(FormatAmount, OtherGroupingsAndTheDefault) {
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", ",", "3;2;0"}), "1,23,456");
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", ",", "3"}), "123,456");
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", ",", "2"}), "1234,56");
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", ",", "2;0"}), "12,34,56");
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", ",", "0"}), "123456");
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", ",", ""}), "123456");
    EXPECT_EQ(FormatAmount(123456, AmountFormat{".", "", "3;0"}), "123456");
    EXPECT_EQ(FormatAmount(1234.5, AmountFormat{",", "\xA0", "3;0"}),
              "1\xA0"
              "234,5");
    EXPECT_EQ(FormatAmount(HUGE_VAL, Italian()), "inf");
#ifndef _WIN32
    // The host has no regional settings: the classic '.' without grouping.
    EXPECT_EQ(FormatAmount(1500.5), "1500.5");
#endif
}

// From a million up the whole integer part, rounded to the unit and
// grouped; below, exactly the six-digit text amounts always had: "%g" with
// the regional separators, checked on random amounts of every size.
TEST(FormatAmount, AMillionAndMoreInFullAndSmallerAmountsAsBefore) {
    EXPECT_EQ(FormatAmount(999999.4, Italian()), "999.999");
    EXPECT_EQ(FormatAmount(999999.5, Italian()), "1.000.000");  // "%g" would say 1e+06
    EXPECT_EQ(FormatAmount(1e6, Italian()), "1.000.000");
    EXPECT_EQ(FormatAmount(980734521, Italian()), "980.734.521");
    EXPECT_EQ(FormatAmount(1234567.5, Italian()), "1.234.568");
    EXPECT_EQ(FormatAmount(2500000.5, Italian()), "2.500.001");  // halves away from zero, not to even
    EXPECT_EQ(FormatAmount(1234567.49, Italian()), "1.234.567");
    EXPECT_EQ(FormatAmount(-1234567.5, Italian()), "-1.234.568");
    EXPECT_EQ(FormatAmount(1234567890, Italian()), "1.234.567.890");
    EXPECT_EQ(FormatAmount(1e20, Italian()), "100.000.000.000.000.000.000");
    EXPECT_EQ(FormatAmount(12345678, AmountFormat{".", ",", "3;2;0"}), "1,23,45,678");
    EXPECT_EQ(FormatAmount(12345678, AmountFormat{".", "", ""}), "12345678");
    EXPECT_EQ(FormatAmount(-HUGE_VAL, Italian()), "-inf");

    // The old text: "%g" with a decimal comma and the integer part in threes.
    const auto oldText = [](double v) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%g", v);
        std::string plain(buffer), sign;
        if (plain[0] == '-') sign = "-", plain.erase(0, 1);
        if (plain.find('e') != std::string::npos) {
            for (char& c : plain)
                if (c == '.') c = ',';
            return sign + plain;
        }
        const std::size_t point = std::min(plain.find('.'), plain.size());
        std::string integer = plain.substr(0, point);
        for (int at = static_cast<int>(integer.size()) - 3; at > 0; at -= 3) integer.insert(at, ".");
        return sign + integer + (point < plain.size() ? "," + plain.substr(point + 1) : "");
    };
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> exponent(-8, 15), mantissa(1, 10);
    for (int i = 0; i < 200000; ++i) {
        const double drawn = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, std::floor(exponent(random)));
        const double v = i % 3 == 0 ? std::round(drawn * 100) / 100 : drawn;  // whole cents, the usual amounts
        const std::string text = FormatAmount(v, Italian());
        if (std::fabs(v) < 999999.5) {
            ASSERT_EQ(text, oldText(v == 0 ? 0.0 : v)) << v;  // zero without its sign
        } else {
            char whole[64];
            std::snprintf(whole, sizeof whole, "%.0f", std::round(std::fabs(v)));
            std::string digits;
            for (char c : text)
                if (c != '.' && c != '-') digits += c;
            ASSERT_EQ(digits, whole) << v;
            ASSERT_EQ(text[0] == '-', v < 0) << v;
            ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text;
        }
    }
}

// The Windows grouping strings on more digits than an amount shows: a
// final 0 repeats the last size, and without it the sizes are used once.
TEST(GroupDigits, AFinalZeroRepeatsTheLastSizeOnly) {
    const std::string digits = "1234567890";
    EXPECT_EQ(GroupDigits(digits, ",", "3;2;0"), "1,23,45,67,890");
    EXPECT_EQ(GroupDigits(digits, ",", "3;0"), "1,234,567,890");
    EXPECT_EQ(GroupDigits(digits, ",", "3"), "1234567,890");
    EXPECT_EQ(GroupDigits(digits, ",", "3;2"), "12345,67,890");
}

TEST(CostReport, EmptyProjectGivesTheFixedMessage) {
    Project p;
    std::string text = "old";
    Money total = Money::FromHundredths(500);
    BuildCostReport(p, Italian(), text, total);
    EXPECT_EQ(text, "Nessun Task presente: impossibile determinare il conto economico.");
    EXPECT_EQ(total, Money());
}

TEST(CostReport, OneTaskBlock) {
    Project p = Tetto();
    p.excludeDays.clear();
    p.tasks[0].end = D(8, 3, 2024);
    std::string text;
    Money total;
    // 5 to 8 March 2024 is Tuesday to Friday: 4 working days.
    BuildCostReport(p, Italian(), text, total);
    EXPECT_EQ(text,
              "\r\nTASK: Ponteggio\r\n"
              "Dal: 05/03/2024 al 08/03/2024\r\n"
              "Totale giorni lavorativi: 4\r\n"
              "Numero Risorse giornaliere: 2\r\n"
              "Costo giornaliero per Risorsa: 150,5\r\n"
              "Costo Task: 1.204\r\n");
    EXPECT_EQ(total.ToDouble(), 1204.0);
}

TEST(CostReport, TasksInListOrderWithZeroDaysAndZeroResources) {
    Project p = Tetto();  // 7 March excluded: 3 days for Ponteggio
    Task weekend;
    weekend.description = "Weekend";
    weekend.start = D(9, 3, 2024);
    weekend.end = D(10, 3, 2024);
    weekend.resources = 4;
    weekend.dailyCost = 100;
    Task idle;
    idle.description = "Nessuno";
    idle.start = D(4, 3, 2024);
    idle.end = D(8, 3, 2024);
    idle.resources = 0;
    idle.dailyCost = 1e9;
    Task big;
    big.description = "Grande";
    big.start = D(11, 3, 2024);
    big.end = D(15, 3, 2024);
    big.resources = 1000;
    big.dailyCost = 250;
    p.tasks.push_back(weekend);
    p.tasks.push_back(idle);
    p.tasks.push_back(big);
    std::string text;
    Money total;
    BuildCostReport(p, Italian(), text, total);
    const std::size_t a = text.find("TASK: Ponteggio"), b = text.find("TASK: Weekend"), c = text.find("TASK: Nessuno"),
                      d = text.find("TASK: Grande");
    ASSERT_NE(d, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    EXPECT_LT(c, d);
    EXPECT_NE(text.find("Totale giorni lavorativi: 3\r\nNumero Risorse giornaliere: 2\r\n"
                        "Costo giornaliero per Risorsa: 150,5\r\nCosto Task: 903\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Totale giorni lavorativi: 0\r\nNumero Risorse giornaliere: 4\r\n"
                        "Costo giornaliero per Risorsa: 100\r\nCosto Task: 0\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Totale giorni lavorativi: 4\r\nNumero Risorse giornaliere: 0\r\n"), std::string::npos);
    // 1000 resources x 250 x 5 days = 1,250,000: in full; counts stay plain.
    EXPECT_NE(text.find("Numero Risorse giornaliere: 1000\r\nCosto giornaliero per Risorsa: 250\r\nCosto Task: 1.250.000\r\n"),
              std::string::npos);
    EXPECT_EQ(total.ToDouble(), 903.0 + 1250000.0);
    EXPECT_EQ(text.substr(0, 2), "\r\n");
    EXPECT_NE(text.find("\r\n\r\nTASK: Weekend"), std::string::npos);  // blank line between blocks
}

// The report agrees, text and total, with one built on the day-by-day rule.
TEST(CostReport, MatchesTheDayByDayRuleOnRandomProjects) {
    std::mt19937 random(42);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 30; ++round) {
        Project p;
        for (int& flag : p.workingWeekdays) flag = pick(0, 1);
        const int year = pick(1990, 2100);
        for (int i = 0; i < 25; ++i) {
            Task t;
            t.description = "Task " + std::to_string(i);
            t.start = D(pick(1, 28), pick(1, 12), year);
            t.end = D(pick(1, 28), pick(1, 12), year + pick(0, 1));
            t.resources = pick(-2, 50);
            t.dailyCost = pick(0, 100000) / 8.0;
            p.tasks.push_back(t);
        }
        for (int i = 0; i < 30; ++i) {
            p.includeDays.push_back(D(pick(1, 28), pick(1, 12), year + pick(0, 1)));
            p.excludeDays.push_back(D(pick(1, 28), pick(1, 12), year + pick(0, 1)));
        }
        std::string text, expectedText;
        Money total;
        double expectedTotal;
        BuildCostReport(p, Italian(), text, total);
        Oracle::BuildCostReport(p, Italian(), expectedText, expectedTotal);
        ASSERT_EQ(text, expectedText) << "round " << round;
        ASSERT_EQ(total.InHundredths(), std::llround(expectedTotal * 100)) << "round " << round;
        // The one-line summary of each task says what its block of the report says.
        const WorkingDayCalendar calendar(p);
        for (const Task& t : p.tasks) {
            const std::string summary = TaskSummary(t, CostOf(calendar, t), Italian());
            const std::size_t block = text.find("TASK: " + t.description + "\r\n");
            ASSERT_NE(block, std::string::npos);
            auto field = [&](const std::string& label) {
                const std::size_t at = text.find(label, block) + label.size();
                return text.substr(at, text.find("\r\n", at) - at);
            };
            const std::string days = field("Totale giorni lavorativi: ");
            const std::string resources = field("Numero Risorse giornaliere: ");
            EXPECT_EQ(summary, "dal " + field("Dal: ").substr(0, 10) + " al " + FormatDate(t.end) + ", " + days +
                                   (days == "1" ? " giorno lavorativo, " : " giorni lavorativi, ") + resources +
                                   (resources == "1" ? " risorsa" : " risorse") + ", costo " + field("Costo Task: "));
        }
    }
}
