#include "app/print/PrintChoice.h"

#include <cstdint>

#include "app/settings/Settings.h"

namespace MyApp {

namespace {

const wchar_t* const ContentSetting = L"StampaContenuto";
const wchar_t* const ScaleSetting = L"StampaScala";

}  // namespace

const std::vector<std::wstring>& PrintContentNames() {
    static const std::vector<std::wstring> names{L"Diagramma di Gantt", L"Conto economico",
                                                 L"Flusso di cassa"};
    return names;
}

const std::vector<std::wstring>& ChartScaleNames() {
    static const std::vector<std::wstring> names{L"100 %", L"Adatta alla larghezza della pagina"};
    return names;
}

PrintContent PrintContentAt(int index) {
    for (PrintContent content : {PrintContent::CostReport, PrintContent::CashFlow})
        if (index == static_cast<int>(content)) return content;
    return PrintContent::Chart;
}

ChartScale ChartScaleAt(int index) {
    return index == static_cast<int>(ChartScale::FitWidth) ? ChartScale::FitWidth : ChartScale::Actual;
}

PrintChoice LoadPrintChoice() {
    PrintChoice choice;
    choice.content = PrintContentAt(static_cast<int>(ReadSetting(ContentSetting, 0)));
    choice.scale = ChartScaleAt(static_cast<int>(ReadSetting(ScaleSetting, 0)));
    return choice;
}

void SavePrintChoice(const PrintChoice& choice) {
    // A setting that cannot be stored only means the next print starts from the default.
    WriteSetting(ContentSetting, static_cast<std::uint32_t>(choice.content));
    WriteSetting(ScaleSetting, static_cast<std::uint32_t>(choice.scale));
}

}  // namespace MyApp
