// The costs over time as the window's table and the printed table show
// them: the texts of the cells, amounts in the user's regional format.
#pragma once

#include <cstddef>
#include <string>

#include "exchange/CashFlowTable.h"

namespace MyApp {

constexpr int CashFlowColumns = 5;

// The column's title: "Periodo", "Giorni lavorativi", "Costo nel periodo",
// "Costo cumulato", "Quota del totale".
const wchar_t* CashFlowColumnTitle(int column);

// The text of a cell: the period's name, its working days, its cost, the
// cost to its end and its share of the total ("12,5 %"). The row after the
// periods is the total, "Totale"; rows past it are empty.
std::wstring CashFlowCell(const CashFlowTable& table, std::size_t row, int column);

}  // namespace MyApp
