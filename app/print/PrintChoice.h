// What "&Stampa..." and the preview print: the chart or the cost report, and
// the chart's scale; the texts of the two lists that choose them, and the
// choice kept in the user's settings.
#pragma once

#include <string>
#include <vector>

#include "app/print/PrintDocument.h"

namespace MyApp {

struct PrintChoice {
    PrintContent content = PrintContent::Chart;
    ChartScale scale = ChartScale::Actual;
};

// The texts of the two lists, in the order of the enumerations' values, and
// the value at a list position (the first for a position outside the list).
const std::vector<std::wstring>& PrintContentNames();
const std::vector<std::wstring>& ChartScaleNames();
PrintContent PrintContentAt(int index);
ChartScale ChartScaleAt(int index);

// The choice kept in the settings (the chart at 100 % the first time).
PrintChoice LoadPrintChoice();
void SavePrintChoice(const PrintChoice& choice);

}  // namespace MyApp
