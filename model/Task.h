// A task: one bar of the chart.
#pragma once

#include <string>

#include "model/Date.h"

namespace MyApp {

// Process-wide task counter: every constructed Task increments it and takes
// the new value (the first task of a run gets 1). Never reset.
extern int nextTaskId;

// The five bar colours the task dialog offers (COLORREF, 0x00BBGGRR).
constexpr COLORREF ColourAzzuro = 0xFFF300;
constexpr COLORREF ColourBianco = 0xFFFFFF;
constexpr COLORREF ColourBlu = 0xFF0000;
constexpr COLORREF ColourRosso = 0x0000FF;
constexpr COLORREF ColourVerde = 0x0FE71E;

struct BarColour {
    const char* name;  // as shown in the colour list
    COLORREF colour;
    bool whiteText;  // the bar's text is white on this colour (black otherwise)
};
extern const BarColour BarColours[5];

// The text colour on a bar: white on the blue and the red bar, black on the
// other three; on any other colour (a file made elsewhere), whichever of
// white and black stands out more from it.
COLORREF BarTextColour(COLORREF barColour);
// Whether the colour is one of the five the task dialog offers.
bool IsBarColour(COLORREF colour);
// A colour's relative luminance, 0 (black) to 1 (white), as the eye sees it.
double RelativeLuminance(COLORREF colour);

// The largest daily cost, either way of zero, that a task may have. Up to
// it the cost box shows every digit; and however many tasks, resources and
// working days a project holds, its costs and their total stay finite.
constexpr double MaxDailyCost = 1e15;
// The most resources a task may have, as the task dialog takes them.
constexpr int MaxTaskResources = 100000;

struct Task {
    int id;
    std::string description;
    Date start;
    Date end;
    COLORREF colour = ColourBianco;  // every creator sets its own
    int resources = 0;
    double dailyCost = 0.0;

    // Takes the next id; start and end are the current local date and time.
    Task();
    // Takes the next id; start and end are the given day (the file loader
    // overwrites them at once and need not read the clock for every task).
    explicit Task(const Date& initialDay);
};

}  // namespace MyApp
