// The chart ruler on real windows: its width for short and long spans, the
// colours of its day columns read back from chartImage, where the month and
// year boxes close, spans it cannot lay out, long spans, and painting only
// what is shown when no picture of the whole ruler can be made. Zoomed out:
// the edges of fractional columns, the unit of the bottom row and its labels,
// strips painted alone, and labels kept in view while the chart scrolls.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
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
    // A page step moves at most the width shown, so that nothing is skipped.
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_PAGE;
    ASSERT_TRUE(GetScrollInfo(chart->window, SB_HORZ, &bar));
    RECT client{};
    GetClientRect(chart->window, &client);
    EXPECT_EQ(static_cast<int>(bar.nPage), std::min(ruler->width / 10, static_cast<int>(client.right)));
    for (int step = 0; step < 9; ++step) page(SB_PAGERIGHT);
    Pump(50);
    EXPECT_EQ(GetScrollPos(chart->window, SB_HORZ), 9 * static_cast<int>(bar.nPage));
    EXPECT_TRUE(shownMatchesPicture());
    // Far along the span, as the thumb takes it.
    chart->ScrollTo(SB_HORZ, 9 * (ruler->width / 10));
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

// ---- Zoomed out ------------------------------------------------------------

// Columns of the span 1 January 2024 to 31 December 2026 where a box of the
// row starts: every day, every `weeks`-th Monday from the first, first of a
// month, of a quarter or of a year.
enum class Row { Day, Week, Month, Quarter, Year };
std::vector<std::int64_t> BoxStarts(Row row, int weeks = 1) {
    std::vector<std::int64_t> starts;
    Date d = Day(1, 1, 2024);
    for (std::int64_t c = 0; c < 1096; ++c, d = MyApp::AddOneDay(d)) {
        const SYSTEMTIME& t = d.value;
        const bool first = row == Row::Day || (row == Row::Week && t.wDayOfWeek == 1 && c % (7 * weeks) == 0) ||
                           (row != Row::Week && t.wDay == 1 &&
                            (row == Row::Month || (row == Row::Quarter && t.wMonth % 3 == 1) || t.wMonth == 1));
        if (c == 0 || first) starts.push_back(c);
    }
    starts.push_back(1096);  // the end of the last box
    return starts;
}

// A picture `width` x 50 drawn off screen by `draw`.
Pixels Drawn(int width, const std::function<void(HDC)>& draw) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, 50);
    HGDIOBJ old = SelectObject(memory, bitmap);
    draw(memory);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Pixels picture = ReadBitmap(bitmap);
    DeleteObject(bitmap);
    return picture;
}

// First and last x of ink (not white) in [x0, x1) x [y0, y1); {1, 0} for none.
std::pair<int, int> InkSpan(const Pixels& p, int x0, int x1, int y0, int y1) {
    std::pair<int, int> span{1, 0};
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            if (p.At(x, y) != White) {
                if (span.first > span.second) span.first = x;
                span.second = x;
            }
    return span;
}

// The weeks a box of the weeks row spans at a scale, in the ruler's font.
int WeeksPerBoxAt(std::int64_t width, std::int64_t divisor) {
    FontDescription font(std::wstring(L"Tahoma"), 14);
    int weeks = 0;
    Drawn(1, [&](HDC dc) { SelectObject(dc, font.GetFont()), weeks = WeeksPerBox(dc, width, divisor); });
    return weeks;
}

// The width of a text's ink in the ruler's font, from first to last pixel.
int InkWidth(const std::wstring& text) {
    FontDescription font(std::wstring(L"Tahoma"), 14);
    const auto span = InkSpan(Drawn(100, [&](HDC dc) {
                                  RECT all{0, 0, 100, 50};
                                  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
                                  SelectObject(dc, font.GetFont());
                                  TextOutW(dc, 10, 0, text.c_str(), static_cast<int>(text.size()));
                              }),
                              0, 100, 0, 50);
    return span.second - span.first + 1;
}

TEST_F(RulerTest, FractionalColumnsEndOnTheirExactPixelAtEveryLevel) {
    // Per width, the row whose boxes are read: day cells, weeks, months or years.
    const struct { std::int64_t w, d; Row row; int top; } cases[] = {
        {20, 1, Row::Day, 0}, {7, 2, Row::Day, 0}, {12, 5, Row::Week, 0}, {1, 3, Row::Month, 0}, {1, 30, Row::Year, 2}};
    const int r = RowHeight(50);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "/" + std::to_string(c.d));
        Show(Day(1, 1, 2024), Day(31, 12, 2026));
        ASSERT_TRUE(ruler->SetColumnWidth(c.w, c.d));
        UpdateWindow(ruler->window);
        const Pixels picture = ReadBitmap(ruler->chartImage);
        EXPECT_EQ(ruler->width, 1096 * c.w / c.d);
        ASSERT_EQ(picture.width, ruler->width);
        // Just above the bottom outline of the row: outlines only, no label.
        const int y = 50 - c.top * (r + 1) - 2;
        const std::vector<std::int64_t> starts = BoxStarts(c.row, WeeksPerBoxAt(c.w, c.d));
        for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
            const int from = static_cast<int>(starts[i] * c.w / c.d);
            const int to = static_cast<int>(starts[i + 1] * c.w / c.d);
            // The right outline on the box's last pixel, one colour inside
            // (white, or red for a non-working day), the left outline on
            // its first pixel (which a red day covers).
            EXPECT_EQ(picture.At(to - 1, y), Black) << "box " << i;
            const COLORREF inside = picture.At(from + 1, y);
            EXPECT_TRUE(inside == White || (c.row == Row::Day && inside == Red)) << "box " << i;
            EXPECT_EQ(picture.Count(from + 1, y, to - 1, y + 1, inside), to - from - 2) << "box " << i;
            EXPECT_EQ(picture.At(from, y), c.row == Row::Day && inside == Red ? Red : Black) << "box " << i;
        }
    }
    EXPECT_FALSE(ruler->SetColumnWidth(0, 1));
    EXPECT_FALSE(ruler->SetColumnWidth(1, 0));
    EXPECT_EQ(ruler->dayWidth, 1);  // left as it was
    EXPECT_EQ(ruler->columnDivisor, 30);
}

TEST_F(RulerTest, TheUnitFollowsTheScaleAndEveryLabelIsWholeInsideItsBox) {
    // Days, weeks, months as the columns narrow, at every screen density.
    RulerUnit previous = RulerUnit::Days;
    for (std::int64_t hundredths = 2000; hundredths >= 1; --hundredths) {
        const RulerUnit unit = TimeLine::UnitFor(hundredths, 100);
        EXPECT_GE(static_cast<int>(unit), static_cast<int>(previous)) << hundredths;
        previous = unit;
        EXPECT_EQ(TimeLine::UnitFor(hundredths * 3, 200, DisplayScale(144)), unit) << hundredths;
    }
    EXPECT_EQ(TimeLine::UnitFor(20, 1), RulerUnit::Days);
    EXPECT_EQ(previous, RulerUnit::Months);

    const std::map<RulerUnit, std::vector<Row>> rows = {{RulerUnit::Days, {Row::Day, Row::Month, Row::Year}},
                                                       {RulerUnit::Weeks, {Row::Week, Row::Month, Row::Year}},
                                                       {RulerUnit::Months, {Row::Month, Row::Quarter, Row::Year}}};
    const wchar_t* initials = L"GFMAMGLASOND";
    const int r = RowHeight(50);
    std::set<RulerUnit> seen;
    for (const auto& scale : std::vector<std::pair<std::int64_t, std::int64_t>>{
             {7, 2}, {12, 5}, {2, 1}, {1, 1}, {19, 20}, {9, 20}, {1, 3}, {1, 10}}) {
        SCOPED_TRACE(std::to_string(scale.first) + "/" + std::to_string(scale.second));
        Show(Day(1, 1, 2024), Day(31, 12, 2026));
        ruler->SetColumnWidth(scale.first, scale.second);
        UpdateWindow(ruler->window);
        const Pixels picture = ReadBitmap(ruler->chartImage);
        seen.insert(ruler->unit);
        int labels = 0;
        for (int level = 0; level < 3; ++level) {
            const Row row = rows.at(ruler->unit)[level];
            if (row == Row::Day) continue;  // the day numbers are tested above
            const int top = 50 - (level + 1) * (r + 1);
            const std::vector<std::int64_t> starts = BoxStarts(row, WeeksPerBoxAt(scale.first, scale.second));
            Date day = Day(1, 1, 2024);
            for (std::size_t i = 0; i + 1 < starts.size(); ++i) {
                for (std::int64_t c = i == 0 ? 0 : starts[i - 1]; c < starts[i]; ++c) day = MyApp::AddOneDay(day);
                const int from = static_cast<int>(starts[i] * scale.first / scale.second);
                const int to = static_cast<int>(starts[i + 1] * scale.first / scale.second);
                // What the box may say, whole.
                const SYSTEMTIME& t = day.value;
                const std::set<int> widths =
                    row == Row::Week    ? std::set<int>{InkWidth(std::to_wstring(t.wDay))}
                    : row == Row::Month ? std::set<int>{InkWidth(TimeLine::MonthAbbreviation(t.wMonth)),
                                                        InkWidth(std::wstring(1, initials[t.wMonth - 1]))}
                    : row == Row::Year  ? std::set<int>{InkWidth(std::to_wstring(t.wYear))}
                                        : std::set<int>{InkWidth(L"T" + std::to_wstring(t.wMonth / 3 + 1))};
                const auto ink = InkSpan(picture, from + 1, to - 1, std::max(top + 1, 0), top + r);
                const bool drawn = ink.second >= ink.first;
                SCOPED_TRACE("row " + std::to_string(level) + " box " + std::to_string(i));
                EXPECT_TRUE(!drawn || widths.count(ink.second - ink.first + 1) == 1);  // never cut
                labels += drawn ? 1 : 0;
                // Years and months have their labels wherever every box of the row has twice their room;
                // every whole box of the weeks row has its Monday's number, of one digit or two.
                const std::int64_t narrowest = (row == Row::Year ? 365 : 28) * scale.first / scale.second;
                const bool roomy = ((row == Row::Year || row == Row::Month) && narrowest >= 2 * *widths.rbegin() + 4) ||
                                   (row == Row::Week && i > 0 && i + 2 < starts.size());
                EXPECT_TRUE(drawn || !roomy);
            }
        }
        EXPECT_GE(labels, 3);  // the years at least
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(RulerTest, AStripPaintedAloneMatchesTheWholePictureAtEveryLevel) {
    const MyApp::Date start = Day(20, 12, 2023);
    const MyApp::Date end = Day(10, 3, 2027);
    const MyApp::WorkingDayCalendar calendar(*ruler);
    FontDescription font(std::wstring(L"Tahoma"), 14);
    auto paint = [&](const RulerRows& rows, std::int64_t left, int width) {
        return Drawn(width, [&](HDC dc) { PaintRulerRows(dc, rows, left, left, left + width); });
    };
    unsigned seed = 12345;
    auto next = [&seed](unsigned range) { return (seed = seed * 1103515245u + 12345u) / 65536u % range; };
    for (const auto& scale : std::vector<std::pair<std::int64_t, std::int64_t>>{{20, 1}, {7, 2}, {12, 5}, {9, 10}, {1, 3}}) {
        for (const bool inView : {false, true}) {
            RulerRows rows;
            rows.spanStart = start;
            rows.spanEnd = end;
            rows.calendar = &calendar;
            rows.columnWidth = scale.first;
            rows.columnDivisor = scale.second;
            rows.bottom = 50;
            rows.rowHeight = RowHeight(50);
            rows.font = &font;
            rows.unit = TimeLine::UnitFor(scale.first, scale.second);
            const int width = static_cast<int>((MyApp::DaysUntil(start, end) + 1) * scale.first / scale.second);
            if (inView) {
                rows.viewLeft = width / 3;
                rows.viewRight = width / 3 + 700;
            }
            const Pixels whole = paint(rows, 0, width);
            for (int strip = 0; strip < 6; ++strip) {
                const int left = static_cast<int>(next(static_cast<unsigned>(width)));
                const int stripWidth = 1 + static_cast<int>(next(400));
                const Pixels part = paint(rows, left, stripWidth);
                int differing = 0;
                for (int y = 0; y < 50; ++y)
                    for (int x = 0; x < stripWidth && left + x < width; ++x)
                        differing += part.At(x, y) != whole.At(left + x, y) ? 1 : 0;
                EXPECT_EQ(differing, 0) << scale.first << "/" << scale.second << " from " << left << (inView ? " in view" : "");
            }
        }
    }
}

// Hatched, each non-working day's cell is crossed by lines of the hatch
// colour, in every column alike whatever part is painted (the hatch keeps to
// the ruler's x), its number still in its colour; no working day's cell is.
// The ruler's own picture for the export takes neither the hatch nor the
// system's colours.
TEST_F(RulerTest, NonWorkingDaysAreHatchedOnScreenButNotInThePicture) {
    const Date start = Day(25, 3, 2024);
    const Date end = Day(5, 5, 2024);
    ruler->SetProject(start, end, {Day(13, 4, 2024)}, {Day(8, 4, 2024)}, MondayToFriday);
    const MyApp::WorkingDayCalendar calendar(*ruler);
    FontDescription font(std::wstring(L"Tahoma"), 14);
    RulerRows rows;
    rows.spanStart = start;
    rows.spanEnd = end;
    rows.calendar = &calendar;
    rows.columnWidth = 20;
    rows.bottom = 50;
    rows.rowHeight = RowHeight(50);
    rows.font = &font;
    rows.hatchNonWorking = true;
    const int columns = 42;
    const Pixels whole = Drawn(columns * 20, [&](HDC dc) { PaintRulerRows(dc, rows, 0, 0, columns * 20); });
    const int top = 50 - rows.rowHeight;
    Date day = start;
    for (int c = 0; c < columns; ++c, day = MyApp::AddOneDay(day)) {
        SCOPED_TRACE(MyApp::FormatDate(day));
        const bool working = calendar.IsWorkingDay(day);
        // Around the number's plate, a few pixels of each line.
        EXPECT_EQ(whole.Count(c * 20 + 1, top, c * 20 + 19, 49, rows.hatchColour) >= 4, !working);
        EXPECT_EQ(whole.Count(c * 20 + 1, top, c * 20 + 19, 49, rows.nonWorkingNumber) > 0, !working);
    }
    for (const int left : {1, 7, 13, 333, 501}) {
        const Pixels part = Drawn(97, [&](HDC dc) { PaintRulerRows(dc, rows, left, left, left + 97); });
        int differing = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 97; ++x) differing += part.At(x, y) != whole.At(left + x, y) ? 1 : 0;
        EXPECT_EQ(differing, 0) << "a strip from " << left;
    }

    ruler->hatchNonWorking = true;
    ruler->systemColours = true;
    FontDescription baseFont = ruler->RulerFont();
    int baseWidth = 0;
    const RulerRows picture = ruler->BaseRows(0, baseFont, baseWidth);
    const RulerRows plain;
    EXPECT_FALSE(picture.hatchNonWorking);
    EXPECT_EQ(picture.lineColour, plain.lineColour);
    EXPECT_EQ(picture.backColour, plain.backColour);
    EXPECT_EQ(picture.nonWorkingFill, Red);
    EXPECT_EQ(picture.nonWorkingNumber, Yellow);
}

TEST_F(RulerTest, WithLabelsInViewTheYearStaysOnScreenWhileTheChartScrolls) {
    // 2024 to 2026 at 20 pixels a day: 2025 runs from x 7320 to 14620.
    ruler->labelsInView = true;
    Show(Day(1, 1, 2024), Day(31, 12, 2026));
    chart->SetContentWidth(ruler->width);
    RECT panel{};
    GetClientRect(chart->window, &panel);
    const int r = RowHeight(50);
    // The whole label "2025" in the year row, centred in what the panel
    // shows of 2025: from its left edge to `shown`.
    auto expectYearCentred = [&](int shown) {
        RedrawWindow(chart->window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        Pump(30);
        const auto ink = InkSpan(CaptureClient(chart->window), 1, shown - 1, 31 + 1, 31 + r - 2);
        EXPECT_EQ(ink.second - ink.first + 1, InkWidth(L"2025"));
        EXPECT_NEAR((ink.first + ink.second) / 2, shown / 2, 2);
    };
    chart->ScrollTo(SB_HORZ, 9000);
    expectYearCentred(panel.right);
    // Small steps shift what is shown; the label is centred again.
    for (int step = 0; step < 40; ++step) SendMessageW(chart->window, WM_HSCROLL, SB_LINERIGHT, 0);
    expectYearCentred(panel.right);
    // The band's end in view: the label over the part of 2025 shown.
    chart->ScrollTo(SB_HORZ, 14620 - panel.right / 2);
    for (int step = 0; step < 3; ++step) SendMessageW(chart->window, WM_HSCROLL, SB_LINERIGHT, 0);
    expectYearCentred(panel.right / 2 - 3);
    chart->ResetHorizontalScroll();
}

}  // namespace
