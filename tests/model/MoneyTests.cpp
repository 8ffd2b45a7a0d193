#include <gtest/gtest.h>

#include <random>

#include "model/CostReport.h"
#include "model/FormatAmount.h"
#include "model/WorkingDays.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using TestDates::D;

namespace {

AmountFormat Italian() { return AmountFormat{",", ".", "3;0"}; }

}  // namespace

// Typed daily costs (whole cents) cost exactly their cents times resources
// times days, of any size; a daily cost made from a total over its days gives
// the total back to the cent; and an exact amount shows the text its nearest
// double always had.
TEST(Money, CostsAreExactAndShowAsTheyAlwaysDid) {
    std::mt19937_64 random(31);
    auto pick = [&random](long long low, long long high) {
        return std::uniform_int_distribution<long long>(low, high)(random);
    };
    for (int i = 0; i < 100000; ++i) {
        const long long cents = pick(-99999999999, 99999999999), resources = pick(-100000, 100000), days = pick(0, 40000);
        const Money cost = CostOfDays(static_cast<double>(cents) / 100, resources, days);
        ASSERT_TRUE(cost.InHundredths() == Money::Hundredths(cents) * resources * days) << cents << " " << resources;
        const long long total = pick(1, 100000000000), spread = pick(1, 100000) * (days | 1);
        ASSERT_EQ(CostOfDays(static_cast<double>(total) / 100 / static_cast<double>(spread), spread / (days | 1), days | 1),
                  Money::FromHundredths(total))
            << total << " " << spread;
        const Money shown = Money::FromHundredths(pick(-(1ll << 53), 1ll << 53) >> pick(0, 50));
        ASSERT_EQ(FormatAmount(shown, Italian()), FormatAmount(shown.ToDouble(), Italian())) << shown.ToDouble();
        const std::string plain = PlainText(shown);
        const std::size_t point = plain.find('.');
        ASSERT_EQ(std::strtod(plain.c_str(), nullptr), shown.ToDouble()) << plain;
        ASSERT_TRUE(point == std::string::npos || (plain.size() - point <= 3 && plain.back() != '0')) << plain;
    }
}

// The largest values the task dialog takes, 100.000 resources at 999.999.999
// a day, over 379 working days, and one more unit: a sum far past 2^53
// hundredths, shown and totalled to its last digit. Zero has no sign.
TEST(Money, TotalsBeyondADoublesDigitsAndZeroWithoutSign) {
    Project p;
    for (int i = 0; i < 5; ++i) p.workingWeekdays[i] = 1;
    Task t;
    t.resources = 100000;
    t.dailyCost = 999999999;
    t.start = D(4, 1, 2027);  // Monday
    for (const int days : {5, 374}) {
        t.end = t.start;
        for (int counted = IsWorkingDay(p, t.start) ? 1 : 0; counted < days;)
            counted += IsWorkingDay(p, t.end = AddOneDay(t.end)) ? 1 : 0;
        p.tasks.push_back(t);
        t.start = AddOneDay(t.end);
    }
    t.resources = 1, t.dailyCost = 1, t.end = t.start;
    p.tasks.push_back(t);
    t.resources = 0, t.dailyCost = -5, t.description = "Nessuno";
    p.tasks.push_back(t);
    std::string text;
    Money total;
    BuildCostReport(p, Italian(), text, total);
    EXPECT_EQ(FormatAmount(total, Italian()), "37.899.999.962.100.001");
    EXPECT_NE(text.find("Costo Task: 37.399.999.962.600.000\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("TASK: Nessuno\r\nDal: 30/06/2028 al 30/06/2028\r\nTotale giorni lavorativi: 1\r\n"
                        "Numero Risorse giornaliere: 0\r\nCosto giornaliero per Risorsa: -5\r\nCosto Task: 0\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(FormatAmount(-0.0, Italian()), "0");
    EXPECT_EQ(FormatAmount(Money() - Money(), Italian()), "0");
}

// The report's writer of many amounts appends, in every grouping, the very
// text of FormatAmount: amounts of a few cents up to far past a million.
TEST(Money, AmountWriterWritesAsFormatAmount) {
    std::mt19937_64 random(35);
    const AmountFormat formats[] = {Italian(), {".", ",", "3;2;0"}, {",", " ", "3"}, {".", "", "3;0"}, {"", "'", "1;0"}};
    for (const AmountFormat& format : formats) {
        const AmountWriter writer(format);
        std::string written = "x";
        for (int i = 0; i < 20000; ++i) {
            const auto bits = static_cast<int>(random() % 60);
            const auto cents = static_cast<long long>(random() >> (64 - bits - 1)) * (random() % 2 ? 1 : -1);
            const Money amount = Money::FromHundredths(cents);
            written.resize(1);
            writer.Append(written, amount);
            ASSERT_EQ(written, "x" + FormatAmount(amount, format)) << cents << " " << format.grouping;
            const double value = amount.ToDouble() / static_cast<double>(1 + random() % 2);
            written.resize(1);
            writer.Append(written, value);
            ASSERT_EQ(written, "x" + FormatAmount(value, format)) << value << " " << format.grouping;
        }
    }
}
