// The period the costs over time are shown by (a month, the first time), as
// the window and the printed pages take it; kept in the user's settings.
#pragma once

#include <string>
#include <vector>

#include "model/CashFlow.h"

namespace MyApp {

// The periods in the order of the window's list, and their names there.
const std::vector<CostPeriod>& CashFlowPeriods();
const std::vector<std::wstring>& CashFlowPeriodNames();

CostPeriod LoadCashFlowPeriod();
void SaveCashFlowPeriod(CostPeriod period);

}  // namespace MyApp
