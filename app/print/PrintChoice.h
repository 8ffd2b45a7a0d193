// What "&Stampa..." and the preview print: the chart or the cost report, and
// the chart's scale; the texts of the two lists that choose them, how an
// Escape in an open list is told apart, and the choice kept in the user's
// settings.
#pragma once

#include <windows.h>

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

// Whether `key`, pressed in `list`, is an Escape that closes the list's open
// items. The list hears the key press first and closes its items at once;
// the Escape character that follows is then the list's, not its dialog's.
bool EscapeClosesList(HWND list, int key);

// The choice kept in the settings (the chart at 100 % the first time).
PrintChoice LoadPrintChoice();
void SavePrintChoice(const PrintChoice& choice);

}  // namespace MyApp
