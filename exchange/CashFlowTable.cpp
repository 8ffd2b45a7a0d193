#include "exchange/CashFlowTable.h"

#include <cmath>

#include "exchange/DecimalText.h"
#include "exchange/Utf8Text.h"

namespace MyApp {

namespace {

const char* const MonthNames[] = {"Gennaio", "Febbraio", "Marzo",     "Aprile",  "Maggio",   "Giugno",
                                  "Luglio",  "Agosto",   "Settembre", "Ottobre", "Novembre", "Dicembre"};

int MonthIndex(const PeriodCost& period) {
    const int month = period.first.value.wMonth;
    return month >= 1 && month <= 12 ? month - 1 : 0;
}

std::string Year(const PeriodCost& period) { return std::to_string(period.first.value.wYear); }

// The share rounded to the hundredth of a percent, as plain decimals show it.
double RoundedShare(double share) { return std::round(share * 100.0) / 100.0; }

}  // namespace

CashFlowTable MakeCashFlowTable(const Project& project, CostPeriod kind) {
    CashFlowTable table;
    table.kind = kind;
    for (const PeriodCost& period : PeriodCosts(project, kind)) {
        table.total += period.amount;
        table.workingDays += period.workingDays;
        table.rows.push_back({period, table.total, 0.0});
    }
    const double total = table.total.ToDouble();
    if (total != 0.0)
        for (CashFlowRow& row : table.rows) row.share = row.period.amount.ToDouble() / total * 100.0;
    return table;
}

std::string PeriodName(const PeriodCost& period, CostPeriod kind) {
    switch (kind) {
    case CostPeriod::Week: return "Settimana dal " + FormatDate(period.first);
    case CostPeriod::Quarter:
        return std::to_string(MonthIndex(period) / 3 + 1) + "\xB0 trimestre " + Year(period);
    case CostPeriod::Month: break;
    }
    return MonthNames[MonthIndex(period)] + (" " + Year(period));
}

std::string ShortPeriodName(const PeriodCost& period, CostPeriod kind) {
    switch (kind) {
    case CostPeriod::Week: return FormatDate(period.first).substr(0, 5);
    case CostPeriod::Quarter: return "T" + std::to_string(MonthIndex(period) / 3 + 1) + " " + Year(period);
    case CostPeriod::Month: break;
    }
    return std::string(MonthNames[MonthIndex(period)], 3) + " " + Year(period);
}

std::string PeriodHeading(CostPeriod kind) {
    switch (kind) {
    case CostPeriod::Week: return "Settimana";
    case CostPeriod::Quarter: return "Trimestre";
    case CostPeriod::Month: break;
    }
    return "Mese";
}

const std::vector<std::string>& CashFlowHeadings() {
    static const std::vector<std::string> headings{
        "Periodo", "Inizio", "Fine", "Giorni lavorativi", "Costo nel periodo", "Costo cumulato", "Quota del totale (%)"};
    return headings;
}

std::string CashFlowText(const CashFlowTable& table, const CsvFormat& format) {
    std::string text;
    const auto line = [&](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) text += format.separator;
            text += CsvField(fields[i], format.separator);
        }
        text += "\r\n";
    };
    line(CashFlowHeadings());
    // Days as the regional short date writes them, as in the task table.
    const auto day = [&](const Date& date) {
        std::string text;
        if (!WriteShortDate(date, format.datePicture, text)) text = FormatDate(date);
        return text;
    };
    for (const CashFlowRow& row : table.rows) {
        const PeriodCost& period = row.period;
        line({SystemToUtf8(PeriodName(period, table.kind)), day(period.first), day(period.last),
              std::to_string(period.workingDays), PlainText(period.amount, format.decimal),
              PlainText(row.cumulative, format.decimal), DecimalText(RoundedShare(row.share), format.decimal)});
    }
    const bool costs = table.total != Money();
    line({"Totale", table.rows.empty() ? "" : day(table.rows.front().period.first),
          table.rows.empty() ? "" : day(table.rows.back().period.last), std::to_string(table.workingDays),
          PlainText(table.total, format.decimal), PlainText(table.total, format.decimal), costs ? "100" : "0"});
    return text;
}

bool WriteCashFlowTable(const std::string& path, const CashFlowTable& table, const CsvFormat& format) {
    const std::string content = "\xEF\xBB\xBF" + CashFlowText(table, SettledCsvFormat(format));
    bool written = false;
    return WriteTextFile(path, [&](std::string& out) {
        if (!written) out += content;
        written = true;
        return false;
    });
}

}  // namespace MyApp
