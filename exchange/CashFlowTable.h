// The project's spending period by period as a table: one row per week,
// month or quarter with its working days, its cost, the cost up to its end
// and its share of the total, then a row with the project's total. The
// window shows it, "Copia" hands it to a spreadsheet as text with tabs and
// "Esporta..." writes it as CSV, in the task table's CSV format (regional
// separators and short date, UTF-8 with a byte-order mark).
#pragma once

#include <string>
#include <vector>

#include "exchange/CostTable.h"
#include "model/CashFlow.h"

namespace MyApp {

struct CashFlowRow {
    PeriodCost period;
    Money cumulative;  // the cost from the project's first period to the end of this one
    double share = 0;  // the period's cost as a percentage of the total; 0 when the total is 0
};

struct CashFlowTable {
    CostPeriod kind = CostPeriod::Month;
    std::vector<CashFlowRow> rows;
    long long workingDays = 0;  // of every period
    Money total;                // the project's total, the sum of the periods
};

CashFlowTable MakeCashFlowTable(const Project& project, CostPeriod kind);

// The period's name in the table: "Gennaio 2027", "2° trimestre 2027",
// "Settimana dal 04/01/2027".
std::string PeriodName(const PeriodCost& period, CostPeriod kind);
// The short name under a bar of the chart: "Gen 2027", "T2 2027", "04/01".
std::string ShortPeriodName(const PeriodCost& period, CostPeriod kind);
// What a row of the kind is called: "Mese", "Trimestre", "Settimana".
std::string PeriodHeading(CostPeriod kind);

// The column names, from the period to the share.
const std::vector<std::string>& CashFlowHeadings();

// The table as lines of fields: the headings, a line per period (its name,
// first and last day in `format.datePicture`, working days, cost,
// cumulative cost and share in percent, numbers in plain decimals with
// `format.decimal`), the total.
// Fields are separated by `format.separator` and quoted as CsvField does;
// lines end in CR LF. Narrow texts are UTF-8.
std::string CashFlowText(const CashFlowTable& table, const CsvFormat& format);

// The CSV file: a byte-order mark, then CashFlowText with the separators
// settled as the task table's are.
bool WriteCashFlowTable(const std::string& path, const CashFlowTable& table, const CsvFormat& format);

}  // namespace MyApp
