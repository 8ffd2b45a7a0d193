// The task table as CSV: quoting, the separators, the byte-order mark and
// the figures of the cost report; on the host, a round trip through
// Python's csv module, a reader that nobody here wrote.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/CostTable.h"
#include "exchange/DecimalText.h"
#include "exchange/Utf8Text.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "tests/exchange/ExchangeTestSupport.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace MyApp;

namespace {

const CsvFormat Italian{';', ','};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

}  // namespace

TEST(CsvField, QuotesOnlyWhatNeedsItAndDoublesQuotes) {
    EXPECT_EQ(CsvField("Ponteggio", ';'), "Ponteggio");
    EXPECT_EQ(CsvField("Scavo, fondazioni", ';'), "Scavo, fondazioni");
    EXPECT_EQ(CsvField("Scavo, fondazioni", ','), "\"Scavo, fondazioni\"");
    EXPECT_EQ(CsvField("Muri; piano \"terra\"", ';'), "\"Muri; piano \"\"terra\"\"\"");
    EXPECT_EQ(CsvField("due\r\nrighe", ';'), "\"due\r\nrighe\"");
    EXPECT_EQ(CsvField("", ';'), "");
}

// The Tetto project: the header, its one task as the cost report counts
// it, the total; UTF-8 with a byte-order mark, CR LF, decimal commas.
TEST(CostTable, HeaderTaskRowsAndTotal) {
    Project p = ModelTests::Tetto();
    Task second = p.tasks[0];
    second.description = "Citt\xE0; \"alta\"";
    second.dailyCost = 1234567.25;
    second.resources = 3;
    p.tasks.push_back(second);
    const std::string text = CollectText(CostTableParts(p, Italian));
    ASSERT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(Lines(text.substr(3)),
              (std::vector<std::string>{
                  "Descrizione;Inizio;Fine;Giorni lavorativi;Risorse;Costo giornaliero per risorsa;Costo task",
                  "Ponteggio;05/03/2024;08/03/2024;3;2;150,5;903",
                  "\"Citt\xC3\xA0; \"\"alta\"\"\";05/03/2024;08/03/2024;3;3;1234567,25;11111105,25",
                  "Totale;;;;;;11112008,25"}));
    std::string report;
    Money total;
    BuildCostReport(p, AmountFormat{",", ".", "3;0"}, report, total);
    EXPECT_EQ(total.ToDouble(), 11112008.25);
    // A comma for fields where the decimal separator is a point; the days as the region writes them, the year in full.
    EXPECT_NE(CollectText(CostTableParts(p, CsvFormat{',', '.', "M/d/yy"})).find("Ponteggio,3/5/2024,3/8/2024,3,2,150.5,903\r\n"),
              std::string::npos);
}

// A list separator that could not part the fields gives way to one that can, and days named in words to figures.
TEST(CostTable, AnUnusableSeparatorGivesWay) {
    const Project p = ModelTests::Tetto();
    EXPECT_EQ(Lines(CollectText(CostTableParts(p, CsvFormat{',', ','})))[1], "Ponteggio;05/03/2024;08/03/2024;3;2;150,5;903");
    EXPECT_EQ(Lines(CollectText(CostTableParts(p, CsvFormat{'"', '.'})))[1], "Ponteggio,05/03/2024,08/03/2024,3,2,150.5,903");
    EXPECT_EQ(Lines(CollectText(CostTableParts(p, CsvFormat{'\0', ','})))[1], "Ponteggio;05/03/2024;08/03/2024;3;2;150,5;903");
    EXPECT_EQ(Lines(CollectText(CostTableParts(p, CsvFormat{'\t', ','})))[1], "Ponteggio\t05/03/2024\t08/03/2024\t3\t2\t150,5\t903");
    EXPECT_EQ(Lines(CollectText(CostTableParts(p, CsvFormat{';', ',', "dddd d MMMM yyyy"})))[1], "Ponteggio;05/03/2024;08/03/2024;3;2;150,5;903");
}

TEST(DecimalText, ShortestExactPlainDecimal) {
    EXPECT_EQ(DecimalText(150.5, ','), "150,5");
    EXPECT_EQ(DecimalText(1204), "1204");
    EXPECT_EQ(DecimalText(0.1), "0.1");
    EXPECT_EQ(DecimalText(-0.00000015), "-0.00000015");
    EXPECT_EQ(DecimalText(1e20), "100000000000000000000");
    EXPECT_EQ(DecimalText(0), "0");
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> power(-12, 22);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::pow(10.0, power(random)) * (i % 2 ? -1 : 1);
        const std::string text = DecimalText(v);
        ASSERT_EQ(text.find_first_not_of("-0123456789."), std::string::npos) << text;
        ASSERT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    }
}

// The file replaces an older one whole, and a folder that is not there
// gives a failure and no file.
TEST(CostTable, WrittenInPlaceOfTheOldFile) {
    FileTests::TempFolder folder;
    const std::string path = folder / "tabella.csv";
    FileTests::WriteBytes(path, std::string(100000, 'x'));
    ASSERT_TRUE(WriteCostTable(path, ModelTests::Tetto(), Italian));
    EXPECT_EQ(FileTests::ReadBytes(path), CollectText(CostTableParts(ModelTests::Tetto(), Italian)));
    EXPECT_FALSE(WriteCostTable(folder / "manca/tabella.csv", ModelTests::Tetto(), Italian));
    EXPECT_EQ(folder.EntryCount(), 1u);
}

#ifdef _WIN32
// Under the Italian regional settings: ';' between fields, a decimal comma,
// days first.
TEST(CostTable, FollowsTheRegionalSettings) {
    const CsvFormat format = UserCsvFormat();
    EXPECT_EQ(format.separator, ';');
    EXPECT_EQ(format.decimal, ',');
    std::string day;
    EXPECT_TRUE(WriteShortDate(TestDates::D(5, 3, 2024), format.datePicture, day));
    EXPECT_TRUE(day == "05/03/2024" || day == "5/3/2024") << day << ": Windows' and Wine's Italian day order";
}
#else
// Python's csv module reads back every field of random tables with awkward
// descriptions: the texts whole, the days, and the numbers exactly.
TEST(CostTable, PythonsCsvModuleReadsEveryField) {
    FileTests::TempFolder folder;
    const std::string script = folder / "read.py";
    FileTests::WriteBytes(script,
                          "import csv, sys\n"
                          "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                          "    rows = list(csv.reader(f, delimiter=sys.argv[2]))\n"
                          "with open(sys.argv[3], 'w', encoding='utf-8') as out:\n"
                          "    for row in rows:\n"
                          "        out.write(' '.join('x' + field.encode('utf-8').hex() for field in row) + '\\r\\n')\n");
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
        Project p = ExchangeTests::RandomProject(random, 40);
        p.tasks[0].description = "due\r\nrighe; \"e\" virgole,";
        const CsvFormat format = round % 2 ? Italian : CsvFormat{',', '.'};
        const std::string csv = folder / "tabella.csv", rows = folder / "righe.txt";
        ASSERT_TRUE(WriteCostTable(csv, p, format));
        const std::string command = "python3 '" + script + "' '" + csv + "' '" + format.separator + "' '" + rows + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        // One line per row: each field as "x" and its UTF-8 bytes in hexadecimal.
        std::vector<std::vector<std::string>> fields;
        for (const std::string& line : Lines(FileTests::ReadBytes(rows))) {
            fields.emplace_back();
            std::istringstream words(line);
            std::string word;
            while (words >> word) {
                std::string bytes;
                for (std::size_t i = 1; i + 1 < word.size(); i += 2) bytes += static_cast<char>(std::stoi(word.substr(i, 2), nullptr, 16));
                fields.back().push_back(bytes);
            }
        }
        ASSERT_EQ(fields.size(), p.tasks.size() + 2);
        const auto number = [&](const std::string& text) {
            std::string plain = text;
            for (char& c : plain)
                if (c == format.decimal) c = '.';
            EXPECT_EQ(plain.find_first_of(format.decimal == ',' ? ",e" : "e"), std::string::npos) << text;
            return std::strtod(plain.c_str(), nullptr);
        };
        const WorkingDayCalendar calendar(p);
        Money total;
        for (std::size_t i = 0; i < p.tasks.size(); ++i) {
            const Task& t = p.tasks[i];
            const std::vector<std::string>& row = fields[i + 1];
            ASSERT_EQ(row.size(), 7u);
            EXPECT_EQ(row[0], SystemToUtf8(t.description));
            EXPECT_EQ(row[1], FormatDate(t.start));
            EXPECT_EQ(row[2], FormatDate(t.end));
            const TaskCost cost = CostOf(calendar, t);
            EXPECT_EQ(row[3], std::to_string(cost.workingDays));
            EXPECT_EQ(row[4], std::to_string(t.resources));
            EXPECT_EQ(number(row[5]), t.dailyCost);
            EXPECT_EQ(number(row[6]), cost.cost.ToDouble());
            total += cost.cost;
        }
        EXPECT_EQ(fields.back()[0], "Totale");
        EXPECT_EQ(number(fields.back()[6]), total.ToDouble());
    }
}
#endif

#ifndef _WIN32
// LibreOffice Calc opens a table written for Italy under the Italian locale:
// each day a date cell of that day, each figure a number of that value (to
// the 15 digits that Calc keeps).
TEST(CostTable, LibreOfficeReadsTheDaysAndTheAmounts) {
    FileTests::TempFolder folder;
    FileTests::WriteBytes(folder / "cells.py",  // each row's cells after the description: type and value
                          "import sys, xml.etree.ElementTree as E\n"
                          "t = '{urn:oasis:names:tc:opendocument:xmlns:table:1.0}'\n"
                          "o = '{urn:oasis:names:tc:opendocument:xmlns:office:1.0}'\n"
                          "for row in E.parse(sys.argv[1]).iter(t + 'table-row'):\n"
                          "    cells = []\n"
                          "    for c in row.iter(t + 'table-cell'):\n"
                          "        value = c.get(o + 'date-value') or c.get(o + 'value') or ''\n"
                          "        cells += [c.get(o + 'value-type', '-')[0] + value] * int(c.get(t + 'number-columns-repeated', 1))\n"
                          "    print(' '.join(cells[1:7]))\n");
    std::mt19937 random(12);
    const Project p = ExchangeTests::RandomProject(random, 30);
    ASSERT_TRUE(WriteCostTable(folder / "tabella.csv", p, Italian));
    const std::string command = "cd '" + folder.path().string() + "' && timeout 600 soffice -env:UserInstallation=file://" +
                                folder / "profilo" + " --headless --infilter=CSV:59,34,76,1,,1040 --convert-to fods " +
                                "tabella.csv >/dev/null 2>&1 && python3 cells.py tabella.fods > celle.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::istringstream cells(FileTests::ReadBytes(folder / "celle.txt"));
    std::string cell;
    std::getline(cells, cell);  // the headings
    const auto day = [&](const Date& d) { return cells >> cell && cell == "d" + ExchangeTests::IsoDay(d); };
    const auto number = [&](double value) {
        return cells >> cell && cell[0] == 'f' &&
               std::fabs(std::strtod(cell.c_str() + 1, nullptr) - value) <= std::fabs(value) * 1e-14;
    };
    const WorkingDayCalendar calendar(p);
    Money total;
    for (const Task& t : p.tasks) {
        const TaskCost cost = CostOf(calendar, t);
        EXPECT_TRUE(day(t.start) && day(t.end) && number(static_cast<double>(cost.workingDays)) &&
                    number(t.resources) && number(t.dailyCost) && number(cost.cost.ToDouble()))
            << cell;
        total += cost.cost;
    }
    for (int empty = 0; empty < 5; ++empty) cells >> cell;
    EXPECT_TRUE(number(total.ToDouble())) << cell;
}
#endif
