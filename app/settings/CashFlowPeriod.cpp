#include "app/settings/CashFlowPeriod.h"

#include <algorithm>
#include <cstdint>

#include "app/settings/Settings.h"

namespace MyApp {

namespace {

const wchar_t* const PeriodSetting = L"FlussoCassaPeriodo";

}  // namespace

const std::vector<CostPeriod>& CashFlowPeriods() {
    static const std::vector<CostPeriod> periods{CostPeriod::Month, CostPeriod::Quarter, CostPeriod::Week};
    return periods;
}

const std::vector<std::wstring>& CashFlowPeriodNames() {
    static const std::vector<std::wstring> names{L"Mese", L"Trimestre", L"Settimana"};
    return names;
}

CostPeriod LoadCashFlowPeriod() {
    const std::uint32_t index = ReadSetting(PeriodSetting, 0);
    return index < CashFlowPeriods().size() ? CashFlowPeriods()[index] : CostPeriod::Month;
}

void SaveCashFlowPeriod(CostPeriod period) {
    const auto& periods = CashFlowPeriods();
    const auto found = std::find(periods.begin(), periods.end(), period);
    // A setting that cannot be stored only means the next window starts by month.
    WriteSetting(PeriodSetting, static_cast<std::uint32_t>(found - periods.begin()));
}

}  // namespace MyApp
