// The costs over time as CSV, read back by LibreOffice Calc as an Italian
// user opens the file (tests/exchange/calc-reads-csv.sh): the days as
// dates, the figures as numbers equal to the model's amounts, the total
// last.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/CashFlowTable.h"
#include "exchange/Utf8Text.h"
#include "tests/exchange/ExchangeTestSupport.h"
#include "tests/file/FileTestSupport.h"

using namespace MyApp;

namespace {

#ifndef _WIN32
std::vector<std::vector<std::string>> Cells(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        rows.emplace_back();
        std::istringstream cells(line);
        std::string cell;
        while (std::getline(cells, cell, '\t')) rows.back().push_back(cell);
    }
    return rows;
}

std::string IsoDate(const Date& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.value.wYear, day.value.wMonth, day.value.wDay);
    return text;
}

double Number(const std::string& cell) {
    EXPECT_EQ(cell.rfind("float:", 0), 0u) << cell;
    return std::strtod(cell.c_str() + 6, nullptr);
}

// Calc keeps fifteen significant digits of a number: amounts of a hundred
// billion and more lose their last cents there.
void ExpectAmount(const std::string& cell, Money amount) {
    const double expected = amount.ToDouble();
    EXPECT_NEAR(Number(cell), expected, std::abs(expected) * 5e-15) << cell;
}

TEST(CashFlowTable, CalcReadsTheDaysAsDatesAndTheFiguresAsNumbers) {
    FileTests::TempFolder folder;
    const std::string csv = folder / "flusso.csv", read = folder / "letto.txt";
    const std::string script = std::string(VELMORA_SOURCE_DIR) + "/tests/exchange/calc-reads-csv.sh";
    std::mt19937 random(34);
    for (CostPeriod kind : {CostPeriod::Month, CostPeriod::Quarter, CostPeriod::Week}) {
        SCOPED_TRACE(PeriodHeading(kind));
        const Project project = ExchangeTests::RandomProject(random, 30);
        const std::vector<PeriodCost> periods = PeriodCosts(project, kind);
        ASSERT_TRUE(WriteCashFlowTable(csv, MakeCashFlowTable(project, kind), CsvFormat{';', ','}));
        const std::string command = "sh '" + script + "' '" + csv + "' ';' '" + read + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const auto rows = Cells(FileTests::ReadBytes(read));
        ASSERT_EQ(rows.size(), periods.size() + 2);
        Money sum;
        for (std::size_t i = 0; i < periods.size(); ++i) {
            const PeriodCost& period = periods[i];
            const std::vector<std::string>& cells = rows[i + 1];
            ASSERT_EQ(cells.size(), 7u);
            sum += period.amount;
            // Calc takes a month's name for its first day.
            EXPECT_EQ(cells[0], kind == CostPeriod::Month ? "date:" + IsoDate(period.first)
                                                          : "string:" + SystemToUtf8(PeriodName(period, kind)));
            EXPECT_EQ(cells[1], "date:" + IsoDate(period.first));
            EXPECT_EQ(cells[2], "date:" + IsoDate(period.last));
            EXPECT_EQ(Number(cells[3]), period.workingDays);
            ExpectAmount(cells[4], period.amount);
            ExpectAmount(cells[5], sum);
            EXPECT_GE(Number(cells[6]), 0.0);
        }
        const std::vector<std::string>& total = rows.back();
        ASSERT_EQ(total.size(), 7u);
        EXPECT_EQ(total[0], "string:Totale");
        ExpectAmount(total[4], sum);
    }
}
#endif

}  // namespace
