#include "app/chart/CashFlowCells.h"

#include <cmath>

#include "model/FormatAmount.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

std::wstring Amount(Money amount) { return QVUtility::Widen(FormatAmount(amount)); }

// A share to a tenth of a percent: "12,5 %".
std::wstring Share(double percent) {
    return QVUtility::Widen(FormatAmount(std::round(percent * 10.0) / 10.0)) + L" %";
}

}  // namespace

const wchar_t* CashFlowColumnTitle(int column) {
    static const wchar_t* const titles[CashFlowColumns] = {L"Periodo", L"Giorni lavorativi", L"Costo nel periodo",
                                                           L"Costo cumulato", L"Quota del totale"};
    return column >= 0 && column < CashFlowColumns ? titles[column] : L"";
}

std::wstring CashFlowCell(const CashFlowTable& table, std::size_t row, int column) {
    if (row > table.rows.size()) return std::wstring();
    if (row == table.rows.size()) {
        switch (column) {
        case 0: return L"Totale";
        case 1: return std::to_wstring(table.workingDays);
        case 2:
        case 3: return Amount(table.total);
        case 4: return Share(table.total != Money() ? 100.0 : 0.0);
        }
        return std::wstring();
    }
    const CashFlowRow& line = table.rows[row];
    switch (column) {
    case 0: return QVUtility::Widen(PeriodName(line.period, table.kind));
    case 1: return std::to_wstring(line.period.workingDays);
    case 2: return Amount(line.period.amount);
    case 3: return Amount(line.cumulative);
    case 4: return Share(line.share);
    }
    return std::wstring();
}

}  // namespace MyApp
