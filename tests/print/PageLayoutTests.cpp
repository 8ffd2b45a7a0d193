// Which days and tasks go on which printed page, and how the cost report is
// cut into pages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "print/PageLayout.h"

namespace MyApp {
namespace {

// A landscape A4 sheet less 1 cm margins, in units of 1/96 inch.
constexpr std::int64_t kWide = 1047;
constexpr std::int64_t kHigh = 718;

// Every (day, task) cell of the chart lies on exactly one page, the pages
// are numbered row by row, and a page never holds more than its share.
void ExpectEveryCellOnOnePage(const ChartPages& pages) {
    std::vector<int> seen(
        static_cast<size_t>(std::max<std::int64_t>(pages.days, 1) * std::max<std::int64_t>(pages.tasks, 1)), 0);
    for (std::int64_t i = 0; i < pages.PageCount(); ++i) {
        const ChartPage page = ChartPageAt(pages, i);
        EXPECT_EQ((page.row - 1) * pages.across + page.column - 1, i);
        EXPECT_LE(page.dayCount, pages.daysPerPage);
        EXPECT_LE(page.taskCount, pages.tasksPerPage);
        for (std::int64_t d = page.firstDay; d < page.firstDay + page.dayCount; ++d)
            for (std::int64_t t = page.firstTask; t < page.firstTask + page.taskCount; ++t)
                ++seen[static_cast<size_t>(d * std::max<std::int64_t>(pages.tasks, 1) + t)];
    }
    if (pages.days > 0 && pages.tasks > 0) {
        for (int count : seen) ASSERT_EQ(count, 1);
    }
}

TEST(ChartPagesTest, AtActualSizeTheChartIsCutAcrossAndDown) {
    const ChartGeometry geometry;
    // 119 days and 40 tasks: 52 days and 20 bars fit on a page.
    const ChartPages pages = LayOutChart(119, 40, ChartScale::Actual, kWide, kHigh, geometry);
    EXPECT_EQ(pages.daysPerPage, kWide / geometry.dayWidth);
    EXPECT_EQ(pages.across, 3);
    EXPECT_EQ(pages.down, 2);
    // The last bar of a page ends on it; one more would not.
    const std::int64_t lastBarBottom =
        geometry.FirstBarTop() + (pages.tasksPerPage - 1) * geometry.rowPitch + geometry.barHeight;
    EXPECT_LE(lastBarBottom, kHigh);
    EXPECT_GT(lastBarBottom + geometry.rowPitch, kHigh);
    const ChartPage last = ChartPageAt(pages, pages.PageCount() - 1);
    EXPECT_EQ(last.row, 2);
    EXPECT_EQ(last.column, 3);
    EXPECT_EQ(last.firstDay + last.dayCount, 119);
    EXPECT_EQ(last.firstTask + last.taskCount, 40);
    ExpectEveryCellOnOnePage(pages);
}

TEST(ChartPagesTest, FittedToTheWidthTheWholeSpanIsOnePageAcross) {
    // A single day and thirty years alike fill the width exactly.
    for (std::int64_t days : {std::int64_t{1}, std::int64_t{119}, std::int64_t{10958}}) {
        SCOPED_TRACE(days);
        const ChartPages pages = LayOutChart(days, 40, ChartScale::FitWidth, kWide, kHigh);
        EXPECT_EQ(pages.across, 1);
        EXPECT_EQ(pages.down, LayOutChart(days, 40, ChartScale::Actual, kWide, kHigh).down);
        EXPECT_EQ(days * pages.columnWidth / pages.columnDivisor, kWide);
        EXPECT_EQ(ChartPageAt(pages, 1).dayCount, days);
        ExpectEveryCellOnOnePage(pages);
    }
}

TEST(ChartPagesTest, LongAndShortSpansAtActualSize) {
    // Thirty years: many pages across, each of whole days.
    const ChartPages years = LayOutChart(10958, 3, ChartScale::Actual, kWide, kHigh);
    EXPECT_EQ(years.across, (10958 + years.daysPerPage - 1) / years.daysPerPage);
    EXPECT_EQ(years.down, 1);
    ExpectEveryCellOnOnePage(years);
    // One day, no task: one page with the ruler.
    const ChartPages day = LayOutChart(1, 0, ChartScale::Actual, kWide, kHigh);
    EXPECT_EQ(day.PageCount(), 1);
    EXPECT_EQ(ChartPageAt(day, 0).dayCount, 1);
    EXPECT_EQ(ChartPageAt(day, 0).taskCount, 0);
    // A span the file left empty still gets its page.
    EXPECT_EQ(LayOutChart(0, 5, ChartScale::FitWidth, kWide, kHigh).PageCount(), 1);
}

TEST(ChartPagesTest, APageTooSmallStillTakesADayAndATask) {
    const ChartPages pages = LayOutChart(10, 4, ChartScale::Actual, 5, 50);
    EXPECT_EQ(pages.daysPerPage, 1);
    EXPECT_EQ(pages.tasksPerPage, 1);
    EXPECT_EQ(pages.PageCount(), 40);
    ExpectEveryCellOnOnePage(pages);
}

// Every task lies whole on one row of pages, whatever the sheet (A5, A4, A3,
// Letter, Legal; upright or across), the scale and the density of what draws
// the pages: printers, and the preview at 100 % on screens of 96 to 192 DPI.
TEST(ChartPagesTest, EveryTaskLiesWholeOnOneRowOfPagesOnAnySheetAndDevice) {
    const ChartGeometry geometry;
    const int sheets[][2] = {{5827, 8268}, {8268, 11693}, {11693, 16535}, {8500, 11000}, {8500, 14000}};  // 1/1000 inch
    for (const auto& sheet : sheets)
        for (int across : {0, 1})
            for (int dpi : {96, 120, 144, 192, 300, 600})
                for (ChartScale scale : {ChartScale::Actual, ChartScale::FitWidth}) {
                    // The content in the device's pixels, less margins of 38 units.
                    auto content = [&](int side) { return sheet[side] * dpi / 1000 - 2 * ((38 * dpi + 48) / 96); };
                    const ChartPages pages = LayOutChart(546, 97, scale, PixelsToUnits(content(across), dpi),
                                                         PixelsToUnits(content(1 - across), dpi), geometry);
                    ExpectEveryCellOnOnePage(pages);
                    EXPECT_LE(UnitsToPixels(geometry.BarTop(pages.tasksPerPage - 1) + geometry.barHeight, dpi),
                              content(1 - across))
                        << dpi << " DPI: the last bar of a page is cut";
                }
}

// ---- Page numbers ---------------------------------------------------------------

TEST(PageLabelTest, PagesAreCountedOfTheWholeAndTiledChartsNameRowAndColumn) {
    EXPECT_EQ(PageLabel(0, 1), L"Pagina 1 di 1");
    EXPECT_EQ(PageLabel(1, 3), L"Pagina 2 di 3");
    // One column of pages: the number alone.
    const ChartPages fitted = LayOutChart(119, 40, ChartScale::FitWidth, kWide, kHigh);
    ASSERT_EQ(fitted.across, 1);
    ASSERT_EQ(fitted.down, 2);
    EXPECT_EQ(ChartPageLabel(fitted, 1), L"Pagina 2 di 2");
    EXPECT_EQ(ChartPageLabel(LayOutChart(119, 3, ChartScale::FitWidth, kWide, kHigh), 0), L"Pagina 1 di 1");
    // Tiled: three columns, two rows, counted across first.
    const ChartPages tiled = LayOutChart(119, 40, ChartScale::Actual, kWide, kHigh);
    ASSERT_EQ(tiled.across, 3);
    ASSERT_EQ(tiled.down, 2);
    EXPECT_EQ(ChartPageLabel(tiled, 3), L"Pagina 4 di 6 (riga 2, colonna 1)");
    EXPECT_EQ(ChartPageLabel(tiled, 2), L"Pagina 3 di 6 (riga 1, colonna 3)");
    // A single row of columns still names them.
    EXPECT_EQ(ChartPageLabel(LayOutChart(119, 3, ChartScale::Actual, kWide, kHigh), 1),
              L"Pagina 2 di 3 (riga 1, colonna 2)");
}

// ---- The cost report ---------------------------------------------------------------

std::wstring Report(int tasks) {
    std::wstring text;
    for (int i = 1; i <= tasks; ++i) {
        text += L"\r\nTASK: Lavoro " + std::to_wstring(i) +
                L"\r\nDal: 04/03/2024 al 08/03/2024\r\n"
                L"Totale giorni lavorativi: 5\r\nNumero Risorse giornaliere: 2\r\n"
                L"Costo giornaliero per Risorsa: 100\r\nCosto Task: 1.000\r\n";
    }
    return text;
}

TEST(ReportPagesTest, TasksAreNeverCutAndTheFirstPageLeavesRoomForTheTotal) {
    // Seven lines a task; 21 lines a page (three tasks), 15 on the first.
    const auto pages = LayOutReport(Report(10), 21, 15, 80);
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].size(), 14u);  // two tasks, a third would not fit
    size_t tasks = 0;
    for (const auto& page : pages) {
        EXPECT_LE(page.size(), 21u);
        ASSERT_EQ(page.size() % 7, 0u);
        for (size_t line = 0; line < page.size(); line += 7) {
            EXPECT_TRUE(page[line].empty());
            EXPECT_EQ(page[line + 1], L"TASK: Lavoro " + std::to_wstring(++tasks));
            EXPECT_EQ(page[line + 6], L"Costo Task: 1.000");
        }
    }
    EXPECT_EQ(tasks, 10u);
}

std::vector<size_t> PageSizes(const std::vector<std::vector<std::wstring>>& pages) {
    std::vector<size_t> sizes;
    for (const auto& page : pages) sizes.push_back(page.size());
    return sizes;
}

// Seven lines a task. A task exactly as long as the room left stays on the
// page; with one line less it starts the next.
TEST(ReportPagesTest, ATaskThatExactlyFillsThePageStaysOnIt) {
    EXPECT_EQ(PageSizes(LayOutReport(Report(4), 14, 14, 80)), (std::vector<size_t>{14, 14}));
    EXPECT_EQ(PageSizes(LayOutReport(Report(4), 13, 13, 80)), (std::vector<size_t>{7, 7, 7, 7}));
}

// The first page has its own, smaller room, and the same rule at its end.
TEST(ReportPagesTest, TheFirstPageHoldsExactlyItsOwnRoom) {
    EXPECT_EQ(PageSizes(LayOutReport(Report(5), 21, 14, 80)), (std::vector<size_t>{14, 21}));
    EXPECT_EQ(PageSizes(LayOutReport(Report(5), 21, 13, 80)), (std::vector<size_t>{7, 21, 7}));
}

TEST(ReportPagesTest, LongLinesGoOnAndATaskLongerThanAPageIsCut) {
    const std::wstring name(25, L'x');
    const auto wrapped = LayOutReport(L"\r\nTASK: " + name + L"\r\nCosto Task: 0\r\n", 20, 20, 14);
    ASSERT_EQ(wrapped.size(), 1u);
    EXPECT_EQ(wrapped[0],
              (std::vector<std::wstring>{L"", L"TASK: xxxxxxxx", L"xxxxxxxxxxxxxx", L"xxx", L"Costo Task: 0"}));
    const auto cut = LayOutReport(Report(1), 3, 3, 80);
    ASSERT_EQ(cut.size(), 3u);
    EXPECT_EQ(cut[2].back(), L"Costo Task: 1.000");
}

TEST(ReportPagesTest, AProjectWithoutTasksGivesOnePage) {
    const auto pages = LayOutReport(L"Nessun Task presente: impossibile determinare il conto economico.", 60, 58, 200);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].size(), 1u);
    EXPECT_EQ(LayOutReport(L"", 60, 58, 80).size(), 1u);
}

}  // namespace
}  // namespace MyApp
