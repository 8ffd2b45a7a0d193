// Which part of the chart and of the cost report goes on which printed page.
//
// Lengths are in units of 1/96 inch: at 100 % one unit on paper is one pixel
// of the chart on the screen. The page sizes given here are what a page has
// room for once its margins are taken off.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace MyApp {

enum class ChartScale {
    Actual = 0,    // "100 %": day columns as wide as on the screen
    FitWidth = 1,  // "Adatta alla larghezza della pagina": the whole span across one page
};

// The chart's measures on paper, in units.
struct ChartGeometry {
    std::int64_t dayWidth = 20;        // a day column at 100 %
    std::int64_t headerHeight = 40;    // description, date and page number
    std::int64_t rulerRowHeight = 16;  // each of the ruler's three rows
    std::int64_t gapUnderRuler = 25;   // from the ruler to the first bar
    std::int64_t rowPitch = 30;        // from one bar to the next
    std::int64_t barHeight = 25;

    std::int64_t RulerHeight() const { return 3 * rulerRowHeight + 3; }
    // From the top of the page to the top of its first bar.
    std::int64_t FirstBarTop() const { return headerHeight + RulerHeight() + gapUnderRuler; }
    // From the top of the page to the top of its bar at `row` (0-based).
    std::int64_t BarTop(std::int64_t row) const { return FirstBarTop() + row * rowPitch; }
};

// Units as device pixels at `dpi` pixels to the inch, and back, rounded
// down both ways: a page of n units (itself rounded down from its pixels)
// then holds in its pixels whatever is laid out within those n units, on a
// printer of any resolution and on a screen of any density alike.
std::int64_t UnitsToPixels(std::int64_t units, int dpi);
std::int64_t PixelsToUnits(std::int64_t pixels, int dpi);

// The chart cut into pages: `across` columns of pages, each showing a run of
// days, and `down` rows of pages, each showing a run of tasks. Every page
// repeats the header and the ruler. Each task lies whole on one row of
// pages: the page's last bar ends on it. The pages depend only on the
// sheet, never on the screen the program runs on.
struct ChartPages {
    std::int64_t days = 0;
    std::int64_t tasks = 0;
    std::int64_t daysPerPage = 0;   // every column of pages but the last holds this many
    std::int64_t tasksPerPage = 0;  // every row of pages but the last holds this many
    std::int64_t across = 1;
    std::int64_t down = 1;
    // A day column is columnWidth / columnDivisor units wide.
    std::int64_t columnWidth = 20;
    std::int64_t columnDivisor = 1;

    std::int64_t PageCount() const { return across * down; }
};

struct ChartPage {
    std::int64_t row = 1;     // 1-based, counted down
    std::int64_t column = 1;  // 1-based, counted across
    std::int64_t firstDay = 0;
    std::int64_t dayCount = 0;
    std::int64_t firstTask = 0;
    std::int64_t taskCount = 0;
};

// `days` day columns and `tasks` bars on pages of pageWidth x pageHeight
// units. A page always takes at least one day and one task, however small.
ChartPages LayOutChart(std::int64_t days, std::int64_t tasks, ChartScale scale, std::int64_t pageWidth,
                       std::int64_t pageHeight, const ChartGeometry& geometry = ChartGeometry());

// The page at `index` (0-based), counted across first: the pages of the
// first tasks left to right, then those of the next tasks.
ChartPage ChartPageAt(const ChartPages& pages, std::int64_t index);

// The page number a printed page and the preview show: "Pagina 2 di 3" for
// the page at `index` (0-based) of `count`.
std::wstring PageLabel(std::int64_t index, std::int64_t count);

// The same for a page of the chart; a chart cut into columns of pages as
// well as rows also names the page's row and column, so that the sheets can
// be laid side by side: "Pagina 5 di 12 (riga 2, colonna 1)".
std::wstring ChartPageLabel(const ChartPages& pages, std::int64_t index);

// The cost report's text (lines ended by CR LF) cut into printed pages of
// linesPerPage lines, the first of which has room for only firstPageLines
// (the rest holds the total). Lines longer than lineWidth characters go on
// over further lines. The report's tasks are blocks that begin with an empty
// line; a block that does not fit on what is left of a page starts the next
// page, unless it is longer than a page itself. There is always a page.
std::vector<std::vector<std::wstring>> LayOutReport(const std::wstring& text, std::int64_t linesPerPage,
                                                    std::int64_t firstPageLines, std::int64_t lineWidth);

}  // namespace MyApp
