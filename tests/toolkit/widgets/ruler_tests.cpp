// The chart ruler on real windows: its width for short and long spans, the
// colours of its day columns read back from chartImage, where the month and
// year boxes close, spans it cannot lay out, long spans, and painting only
// what is shown when no picture of the whole ruler can be made.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>

#include "WidgetPixels.h"
#include "WidgetTestSupport.h"
#include "model/Date.h"
#include "toolkit/core/Form.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/TimeLine.h"

using namespace QVUtility;
using MyApp::Date;
using widgettest::CaptureClient;
using widgettest::Pixels;
using widgettest::Pump;
using widgettest::ReadBitmap;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Yellow = RGB(255, 255, 0);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
const int MondayToFriday[7] = {1, 1, 1, 1, 1, 0, 0};

Date Day(int day, int month, int year) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    return MyApp::MakeDate(st);
}

int Target() { return GetSystemMetrics(SM_CXSCREEN) * 9 / 10; }

// Row height the ruler uses: the font's cell height, at least a third of the client.
int RowHeight(int clientHeight) { return std::max<int>(widgettest::FontHeight("Tahoma", 14), clientHeight / 3); }

class RulerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        form = widgettest::OpenForm(L"Righello", 0, 0, 1200, 300);
        chart = new PanelChildren(form);
        chart->x = 0;
        chart->y = 0;
        chart->width = 1180;
        chart->height = 250;
        chart->horizontalBar = true;
        chart->Create();
        Pump(100);
    }
    static void TearDownTestSuite() {
        delete chart;
        delete form;
        chart = nullptr;
        form = nullptr;
    }

    void SetUp() override {
        ruler = new TimeLine(chart);
        ruler->x = 0;
        ruler->y = 31;
        ruler->Create();
    }
    void TearDown() override {
        DestroyWindow(ruler->window);
        delete ruler;
    }

    // Feeds the ruler and paints it now; answers its picture.
    Pixels Show(const Date& start, const Date& end, std::vector<Date> include = {}, std::vector<Date> exclude = {}) {
        ruler->SetProject(start, end, std::move(include), std::move(exclude), MondayToFriday);
        UpdateWindow(ruler->window);
        return ReadBitmap(ruler->chartImage);
    }

    static Form* form;
    static PanelChildren* chart;
    TimeLine* ruler = nullptr;
};
Form* RulerTest::form = nullptr;
PanelChildren* RulerTest::chart = nullptr;

TEST_F(RulerTest, ShortSpansFillNineTenthsOfTheScreenAndLongOnesKeepTwentyPixels) {
    const int target = Target();
    // One day: one column of the whole target width.
    Show(Day(5, 3, 2024), Day(5, 3, 2024));
    EXPECT_EQ(ruler->dayWidth, target);
    EXPECT_EQ(ruler->width, target);
    RECT outer{};
    GetWindowRect(ruler->window, &outer);
    EXPECT_EQ(outer.right - outer.left, target);
    EXPECT_EQ(ruler->height, 50);

    // 1 to 31 March: 31 columns.
    Show(Day(1, 3, 2024), Day(31, 3, 2024));
    const int march = 31 * 20 < target ? target / 31 : 20;
    EXPECT_EQ(ruler->dayWidth, march);
    EXPECT_EQ(ruler->width, 31 * march);

    // 81 columns.
    Show(Day(1, 1, 2024), Day(21, 3, 2024));
    const int eightyOne = 81 * 20 < target ? target / 81 : 20;
    EXPECT_EQ(ruler->dayWidth, eightyOne);
    EXPECT_EQ(ruler->width, 81 * eightyOne);
    GetWindowRect(ruler->window, &outer);
    EXPECT_EQ(outer.right - outer.left, 81 * eightyOne);

    // Exactly the target keeps 20-pixel columns; one column less stretches.
    if (target % 20 == 0) {
        const int columns = target / 20;
        Show(Day(1, 1, 2024), MyApp::AddOneDay(Day(1, 1, 2024)));  // any span first
        Date end = Day(1, 1, 2024);
        for (int i = 1; i < columns; ++i) end = MyApp::AddOneDay(end);
        Show(Day(1, 1, 2024), end);
        EXPECT_EQ(ruler->dayWidth, 20);
        EXPECT_EQ(ruler->width, target);
        Date shorter = Day(1, 1, 2024);
        for (int i = 2; i < columns; ++i) shorter = MyApp::AddOneDay(shorter);
        Show(Day(1, 1, 2024), shorter);
        EXPECT_EQ(ruler->dayWidth, target / (columns - 1));
    }

    // A height the owner gave is kept.
    ruler->SetSize(ruler->width, 60);
    Show(Day(1, 3, 2024), Day(31, 3, 2024));
    EXPECT_EQ(ruler->height, 60);
}

// Which columns of the picture are filled red, read just inside each cell's
// top-left corner, away from the number.
struct ColumnColours {
    std::vector<COLORREF> fill, numberInk;
};
ColumnColours ReadColumns(const Pixels& picture, int columns, int dayWidth, int r) {
    ColumnColours result;
    const int b = picture.height;
    for (int i = 0; i < columns; ++i) {
        const int x = i * dayWidth;
        result.fill.push_back(picture.At(x + 2, b - r + 1));
        const bool yellow = picture.Count(x + 1, b - r, x + dayWidth - 1, b - 1, Yellow) > 0;
        const bool black = picture.Count(x + 1, b - r, x + dayWidth - 1, b - 1, Black) > 0;
        result.numberInk.push_back(yellow && !black ? Yellow : black && !yellow ? Black : CLR_INVALID);
    }
    return result;
}

TEST_F(RulerTest, NonWorkingDaysAreRedWithYellowNumbersAndIncludedDaysWhite) {
    // Monday 25 March to Sunday 5 May 2024: Easter Sunday 31 March, Easter
    // Monday 1 April, 25 April, 1 May, the weekends. Monday 8 April is
    // excluded, Saturday 13 April and Wednesday 1 May are included.
    const Date start = Day(25, 3, 2024);
    const Date end = Day(5, 5, 2024);
    const Pixels picture = Show(start, end, {Day(13, 4, 2024), Day(1, 5, 2024)}, {Day(8, 4, 2024)});
    ASSERT_EQ(picture.width, ruler->width);
    ASSERT_EQ(picture.height, 50);
    const int columns = 42;
    ASSERT_EQ(ruler->width, columns * ruler->dayWidth);
    const ColumnColours seen = ReadColumns(picture, columns, ruler->dayWidth, RowHeight(50));

    // Expected by hand: day of the month of every red column.
    const std::set<std::pair<int, int>> red = {{30, 3}, {31, 3}, {1, 4},  {6, 4},  {7, 4},  {8, 4}, {14, 4},
                                               {20, 4}, {21, 4}, {25, 4}, {27, 4}, {28, 4}, {4, 5}, {5, 5}};
    Date d = start;
    for (int i = 0; i < columns; ++i, d = MyApp::AddOneDay(d)) {
        const bool isRed = red.count({d.value.wDay, d.value.wMonth}) > 0;
        SCOPED_TRACE(MyApp::FormatDate(d));
        EXPECT_EQ(seen.fill[i], isRed ? Red : White);
        EXPECT_EQ(seen.numberInk[i], isRed ? Yellow : Black);
    }
}

TEST_F(RulerTest, ChristmasOnAWeekdayIsRedUnlessIncluded) {
    // Wednesday 25 December 2024 is the 3rd column.
    Pixels picture = Show(Day(23, 12, 2024), Day(3, 1, 2025));
    const int r = RowHeight(50);
    ColumnColours seen = ReadColumns(picture, 12, ruler->dayWidth, r);
    EXPECT_EQ(seen.fill[0], White);
    EXPECT_EQ(seen.fill[2], Red);
    EXPECT_EQ(seen.fill[3], Red);     // 26 December
    EXPECT_EQ(seen.fill[9], Red);     // 1 January
    EXPECT_EQ(seen.fill[10], White);  // Thursday 2 January

    picture = Show(Day(23, 12, 2024), Day(3, 1, 2025), {Day(25, 12, 2024)});
    seen = ReadColumns(picture, 12, ruler->dayWidth, r);
    EXPECT_EQ(seen.fill[2], White);
    EXPECT_EQ(seen.numberInk[2], Black);
    EXPECT_EQ(seen.fill[3], Red);
}

TEST_F(RulerTest, MonthAndYearBoxesCloseAtTheFirstColumnOfTheNewMonthOrYear) {
    // 20 December 2024 to 10 February 2025: 53 columns, New Year at column
    // 12, February at column 43.
    const Pixels picture = Show(Day(20, 12, 2024), Day(10, 2, 2025));
    const int w = ruler->dayWidth;
    const int r = RowHeight(50);
    const int b = picture.height;
    ASSERT_EQ(ruler->width, 53 * w);
    const int monthTop = b - 2 * r - 2;
    const int yearTop = b - 3 * r - 3;
    auto verticalLine = [&](int x, int top) {
        for (int y = std::max(top + 1, 0); y < top + r; ++y) {
            if (picture.At(x, y) != Black) return false;
        }
        return true;
    };
    auto blankLine = [&](int x, int top) {
        for (int y = std::max(top + 1, 0); y < top + r; ++y) {
            if (picture.At(x, y) != White) return false;
        }
        return true;
    };

    const int newYear = 12 * w;
    const int february = 43 * w;
    // The old box ends just before, the new box starts at the column.
    EXPECT_TRUE(verticalLine(newYear - 1, monthTop));
    EXPECT_TRUE(verticalLine(newYear, monthTop));
    EXPECT_TRUE(verticalLine(newYear - 1, yearTop));
    EXPECT_TRUE(verticalLine(newYear, yearTop));
    EXPECT_TRUE(verticalLine(february - 1, monthTop));
    EXPECT_TRUE(verticalLine(february, monthTop));
    // No year box ends in February, no month box between two days of a month.
    EXPECT_TRUE(blankLine(february, yearTop));
    EXPECT_TRUE(blankLine(february - 1, yearTop));
    EXPECT_TRUE(blankLine(2 * w, monthTop));
    EXPECT_TRUE(blankLine(newYear + 2 * w, yearTop));
    // The boxes of the last month and year close at the ruler's right edge.
    EXPECT_TRUE(verticalLine(53 * w - 1, monthTop));
    EXPECT_TRUE(verticalLine(53 * w - 1, yearTop));
    EXPECT_TRUE(verticalLine(0, monthTop));
    // Each box has its label.
    EXPECT_GT(picture.Count(0, monthTop + 1, newYear, monthTop + r, Black), 2 * r + 10);
    EXPECT_GT(picture.Count(newYear + 1, monthTop + 1, february - 1, monthTop + r, Black), 2 * r + 10);
    EXPECT_GT(picture.Count(newYear + 1, std::max(yearTop + 1, 0), 53 * w - 1, yearTop + r, Black), 2 * r + 10);
    // The day row starts where the month row ends.
    EXPECT_EQ(picture.At(w / 2, b - r - 1), Black);
    EXPECT_EQ(picture.At(w / 2, b - r - 2), Black);
    EXPECT_EQ(picture.At(w / 2, b - 1), Black);
}

TEST_F(RulerTest, SpansThatCannotBeLaidOutDrawAnEmptyOrClippedRuler) {
    // End before start: no division by zero, one blank column.
    Pixels picture = Show(Day(10, 3, 2024), Day(9, 3, 2024));
    EXPECT_EQ(ruler->dayWidth, 20);
    EXPECT_EQ(ruler->width, 20);
    ASSERT_EQ(picture.width, 20);
    EXPECT_EQ(picture.Count(0, 0, 20, 50, White), 20 * 50);

    // An invalid start: blank.
    Date invalid = Day(31, 2, 2024);
    ASSERT_TRUE(invalid.invalid);
    picture = Show(invalid, Day(9, 3, 2024));
    EXPECT_EQ(picture.Count(0, 0, picture.width, 50, White), picture.width * 50);

    // An end that cannot be converted: the ruler is drawn as far as it is
    // wide and the paint returns.
    picture = Show(Day(4, 3, 2024), invalid);
    EXPECT_EQ(ruler->width, Target());
    EXPECT_EQ(picture.At(0, 49), Black);
    ruler->dayWidth = 20;
    ruler->SetSize(200, 50);
    UpdateWindow(ruler->window);
    picture = ReadBitmap(ruler->chartImage);
    ASSERT_EQ(picture.width, 200);
    const int r = RowHeight(50);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(picture.At(i * 20 + 19, 49 - r / 2), Black) << i;
    EXPECT_EQ(picture.At(5 * 20 + 2, 50 - r + 1), Red);    // Saturday 9 March
    EXPECT_EQ(picture.At(7 * 20 + 2, 50 - r + 1), White);  // Monday 11 March

    // A column width of zero set by hand: blank, no division.
    ruler->dayWidth = 0;
    InvalidateRect(ruler->window, nullptr, TRUE);
    UpdateWindow(ruler->window);
    picture = ReadBitmap(ruler->chartImage);
    EXPECT_EQ(picture.Count(0, 0, picture.width, 50, White), picture.width * 50);

    // The last days the calendar knows: the walk stops at its end.
    picture = Show(Day(25, 12, 30827), Day(31, 12, 30827));
    EXPECT_EQ(ruler->width, 7 * ruler->dayWidth);
    EXPECT_EQ(picture.At(2, 50 - r + 1), Red);                          // Christmas
    EXPECT_EQ(picture.At(7 * ruler->dayWidth - 1, 49 - r / 2), Black);  // the last cell is closed
}

TEST_F(RulerTest, ThirtyYearsPaintKeepTheirPictureAndScroll) {
    const DWORD before = GetTickCount();
    const Pixels picture = Show(Day(1, 1, 2000), Day(31, 12, 2029));
    const DWORD firstPaint = GetTickCount() - before;
    const int columns = 10958;
    ASSERT_EQ(ruler->dayWidth, 20);
    ASSERT_EQ(ruler->width, columns * 20);
    ASSERT_NE(ruler->chartImage, nullptr);
    ASSERT_EQ(picture.width, columns * 20);
    EXPECT_LT(firstPaint, 20000u);
    const int r = RowHeight(50);
    const ColumnColours seen = ReadColumns(picture, columns, 20, r);
    // Tuesday 25 December 2029 (column 10951) is red, Thursday 27 December white,
    // Saturday 29 December red, Monday 2 April 2029 (Easter Monday) red.
    EXPECT_EQ(seen.fill[10951], Red);
    EXPECT_EQ(seen.fill[10953], White);
    EXPECT_EQ(seen.fill[10955], Red);
    const int easterMonday2029 = static_cast<int>(MyApp::DaysUntil(Day(1, 1, 2000), Day(2, 4, 2029)));
    EXPECT_EQ(seen.fill[easterMonday2029], Red);
    EXPECT_EQ(seen.fill[easterMonday2029 + 1], White);

    // Scrolling across the span keeps the picture and shows the right part
    // of it, although a window cannot be that wide.
    const HBITMAP kept = ruler->chartImage;
    chart->SetContentWidth(ruler->width);
    const int row = 50 - r + 1;
    auto shownMatchesPicture = [&]() {
        const int position = GetScrollPos(chart->window, SB_HORZ);
        const Pixels screen = CaptureClient(chart->window);
        int compared = 0, differing = 0;
        for (int u = 0; u < screen.width && u + position < picture.width; ++u, ++compared) {
            differing += screen.At(u, 31 + row) != picture.At(u + position, row) ? 1 : 0;
        }
        return compared > 1000 && differing == 0;
    };
    DWORD slowest = 0;
    auto page = [&](int request) {
        const DWORD t = GetTickCount();
        SendMessageW(chart->window, WM_HSCROLL, request, 0);
        RedrawWindow(chart->window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        slowest = std::max(slowest, GetTickCount() - t);
    };
    for (int step = 0; step < 9; ++step) page(SB_PAGERIGHT);
    Pump(50);
    EXPECT_EQ(GetScrollPos(chart->window, SB_HORZ), 9 * (ruler->width / 10));
    EXPECT_TRUE(shownMatchesPicture());
    for (int step = 0; step < 3; ++step) page(SB_PAGELEFT);
    for (int step = 0; step < 30; ++step) page(SB_LINELEFT);
    Pump(50);
    EXPECT_TRUE(shownMatchesPicture());
    EXPECT_EQ(ruler->chartImage, kept);
    EXPECT_LT(slowest, 1000u);
    chart->ResetHorizontalScroll();
    Pump(50);
    EXPECT_EQ(ruler->ViewOrigin(), 0);
    EXPECT_TRUE(shownMatchesPicture());
    std::printf("30 years: first paint %lu ms, slowest scroll step %lu ms\n", firstPaint, slowest);
}

TEST_F(RulerTest, WithoutAPictureOfTheWholeRulerTheVisiblePartIsStillPainted) {
    // Two weeks at stretched columns, first with the whole picture...
    Show(Day(4, 3, 2024), Day(17, 3, 2024));
    ASSERT_NE(ruler->chartImage, nullptr);
    Pump(50);
    const Pixels whole = CaptureClient(ruler->window);

    // ...then with no picture allowed: the same pixels on the screen.
    ruler->pictureLimit = 1;
    InvalidateRect(ruler->window, nullptr, TRUE);
    UpdateWindow(ruler->window);
    EXPECT_EQ(ruler->chartImage, nullptr);
    Pump(50);
    const Pixels part = CaptureClient(ruler->window);
    ASSERT_EQ(part.width, whole.width);
    // Compare what the chart panel shows of the ruler.
    RECT panel{};
    GetClientRect(chart->window, &panel);
    const int shown = std::min<int>(whole.width, panel.right);
    int differing = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < shown; ++x) differing += whole.At(x, y) != part.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
    const int r = RowHeight(50);
    EXPECT_EQ(part.At(5 * ruler->dayWidth + 2, 50 - r + 1), Red);  // Saturday 9 March
    EXPECT_EQ(part.At(0 * ruler->dayWidth + 2, 50 - r + 1), White);

    // Only a strip repainted: drawn alone, it matches too.
    RECT strip{3 * ruler->dayWidth - 7, 0, 3 * ruler->dayWidth + 9, 50};
    InvalidateRect(ruler->window, &strip, TRUE);
    UpdateWindow(ruler->window);
    Pump(50);
    const Pixels again = CaptureClient(ruler->window);
    differing = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < shown; ++x) differing += whole.At(x, y) != again.At(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
}

TEST_F(RulerTest, APictureIsDrawnAgainWhenWhatItShowsChangesAndNothingLeaks) {
    Pixels picture = Show(Day(4, 3, 2024), Day(17, 3, 2024));
    const int r = RowHeight(50);
    const int w = ruler->dayWidth;
    EXPECT_EQ(picture.At(w - 1, 49 - r / 2), Black);

    // Fields changed by the owner, then a repaint: the picture follows.
    ruler->lineColour = RGB(0, 0, 200);
    ruler->Redraw();
    UpdateWindow(ruler->window);
    picture = ReadBitmap(ruler->chartImage);
    EXPECT_EQ(picture.At(w - 1, 49 - r / 2), RGB(0, 0, 200));
    EXPECT_EQ(picture.At(2, 50 - r + 1), White);  // Monday 4 March
    ruler->excludeDays.push_back(Day(4, 3, 2024));
    ruler->Redraw();
    UpdateWindow(ruler->window);
    picture = ReadBitmap(ruler->chartImage);
    EXPECT_EQ(picture.At(2, 50 - r + 1), Red);
    ruler->workingWeekdays[5] = 1;  // Saturdays work
    ruler->Redraw();
    UpdateWindow(ruler->window);
    picture = ReadBitmap(ruler->chartImage);
    EXPECT_EQ(picture.At(5 * w + 2, 50 - r + 1), White);

    // Painting again and again, with and without the whole picture, holds
    // no more GDI objects than before.
    const GdiTally before = CurrentGdiTally();
    for (int i = 0; i < 50; ++i) {
        ruler->pictureLimit = i % 2 ? 1 : 64LL * 1024 * 1024;
        ruler->lineColour = RGB(0, 0, i % 3);
        ruler->Redraw();
        UpdateWindow(ruler->window);
    }
    ruler->pictureLimit = 64LL * 1024 * 1024;
    ruler->Redraw();
    UpdateWindow(ruler->window);
    ASSERT_NE(ruler->chartImage, nullptr);
    const GdiTally after = CurrentGdiTally();
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);
}

TEST_F(RulerTest, DayListTestsUseTheDateEquality) {
    ruler->includeDays = {Day(13, 4, 2024)};
    EXPECT_TRUE(ruler->IsIncludedDay(Day(13, 4, 2024)));
    EXPECT_FALSE(ruler->IsIncludedDay(Day(14, 4, 2024)));
    Date afternoon = Day(13, 4, 2024);
    afternoon.value.wHour = 14;
    EXPECT_FALSE(ruler->IsIncludedDay(afternoon));  // the time of day counts
    EXPECT_FALSE(ruler->IsExcludedDay(Day(13, 4, 2024)));
    Date broken = Day(1, 1, 2024);
    broken.invalid = true;
    ruler->excludeDays = {broken};
    EXPECT_TRUE(ruler->IsExcludedDay(Day(2, 7, 2031)));  // an invalid entry matches every day
}

TEST_F(RulerTest, MonthAbbreviationsAreItalian) {
    const wchar_t* expected[] = {L"GEN", L"FEB", L"MAR", L"APR", L"MAG", L"GIU",
                                 L"LUG", L"AGO", L"SET", L"OTT", L"NOV", L"DIC"};
    for (int m = 1; m <= 12; ++m) EXPECT_STREQ(TimeLine::MonthAbbreviation(m), expected[m - 1]);
    EXPECT_STREQ(TimeLine::MonthAbbreviation(0), L"");
    EXPECT_STREQ(TimeLine::MonthAbbreviation(13), L"");
}

}  // namespace
