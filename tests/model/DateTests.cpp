#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/Date.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using TestDates::D;
using TestDates::Fields;

namespace {

bool Converts(const SYSTEMTIME& st) {
    std::int64_t ticks;
    return SystemTimeToTicks(st, ticks);
}

}  // namespace

// Every day from 1601 to 30827, walked with plain month lengths and a weekday
// counter, converts to the next day's timestamp and back to the same fields.
TEST(DateConversion, EveryDayOfTheRangeRoundTrips) {
    int year = 1601, month = 1, day = 1, weekday = 1;  // 1 January 1601 was a Monday
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::int64_t expectedTicks = 0;
    int failures = 0;
    while (year <= 30827 && failures < 5) {
        std::int64_t ticks = -1;
        const SYSTEMTIME st = Fields(day, month, year);
        SYSTEMTIME back{};
        if (!SystemTimeToTicks(st, ticks) || ticks != expectedTicks || !TicksToSystemTime(ticks, back) ||
            back.wYear != year || back.wMonth != month || back.wDay != day || back.wDayOfWeek != weekday) {
            ADD_FAILURE() << day << "/" << month << "/" << year;
            ++failures;
        }
        expectedTicks += TicksPerDay;
        weekday = (weekday + 1) % 7;
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        const int length = month == 2 && leap ? 29 : lengths[month - 1];
        if (++day > length) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
    }
    EXPECT_EQ(year, 30828);
}

TEST(DateConversion, RefusesWhatWindowsRefuses) {
    EXPECT_FALSE(Converts(Fields(0, 1, 2024)));
    EXPECT_FALSE(Converts(Fields(32, 1, 2024)));
    EXPECT_FALSE(Converts(Fields(31, 4, 2024)));
    EXPECT_FALSE(Converts(Fields(1, 0, 2024)));
    EXPECT_FALSE(Converts(Fields(1, 13, 2024)));
    EXPECT_FALSE(Converts(Fields(29, 2, 2023)));
    EXPECT_FALSE(Converts(Fields(29, 2, 1900)));  // century, not leap
    EXPECT_TRUE(Converts(Fields(29, 2, 2000)));   // fourth century, leap
    EXPECT_TRUE(Converts(Fields(29, 2, 2024)));
    EXPECT_FALSE(Converts(Fields(1, 1, 1600)));
    EXPECT_TRUE(Converts(Fields(1, 1, 1601)));
    EXPECT_TRUE(Converts(Fields(31, 12, 30827, 23, 59, 59, 999)));
    EXPECT_FALSE(Converts(Fields(1, 1, 30828)));
    EXPECT_FALSE(Converts(Fields(1, 1, 0)));
    EXPECT_FALSE(Converts(Fields(1, 1, 65535)));
    EXPECT_FALSE(Converts(Fields(1, 1, 2024, 24)));
    EXPECT_FALSE(Converts(Fields(1, 1, 2024, 0, 60)));
    EXPECT_FALSE(Converts(Fields(1, 1, 2024, 0, 0, 60)));
    EXPECT_FALSE(Converts(Fields(1, 1, 2024, 0, 0, 0, 1000)));
    // The weekday field is not looked at.
    SYSTEMTIME st = Fields(5, 3, 2024);
    st.wDayOfWeek = 65535;
    EXPECT_TRUE(Converts(st));
}

TEST(DateConversion, TimestampsAndTheirLimits) {
    std::int64_t ticks;
    ASSERT_TRUE(SystemTimeToTicks(Fields(1, 1, 1601, 0, 0, 0, 1), ticks));
    EXPECT_EQ(ticks, 10000);
    // The well-known offset between 1601 and the Unix epoch.
    ASSERT_TRUE(SystemTimeToTicks(Fields(1, 1, 1970), ticks));
    EXPECT_EQ(ticks, 116444736000000000ll);

    SYSTEMTIME st{};
    EXPECT_FALSE(TicksToSystemTime(-1, st));
    FILETIME ft{0xFFFFFFFFu, 0x80000000u};
    EXPECT_FALSE(FromFileTime(ft, st));
    ft = FILETIME{0xFFFFFFFFu, 0x7FFFFFFFu};
    ASSERT_TRUE(FromFileTime(ft, st));
    EXPECT_EQ(st.wYear, 30828);
    EXPECT_EQ(st.wMonth, 9);
    EXPECT_EQ(st.wDay, 14);
    EXPECT_EQ(st.wHour, 2);
    EXPECT_EQ(st.wMinute, 48);
    EXPECT_EQ(st.wSecond, 5);
    EXPECT_EQ(st.wMilliseconds, 477);

    ASSERT_TRUE(ToFileTime(Fields(5, 3, 2024, 14, 30, 15, 250), ft));
    SYSTEMTIME back{};
    ASSERT_TRUE(FromFileTime(ft, back));
    EXPECT_EQ(back.wHour, 14);
    EXPECT_EQ(back.wMinute, 30);
    EXPECT_EQ(back.wSecond, 15);
    EXPECT_EQ(back.wMilliseconds, 250);
    EXPECT_EQ(back.wDayOfWeek, 2);  // Tuesday
}

TEST(MakeDate, NormalisesOrKeepsTheFieldsOfAnInvalidValue) {
    SYSTEMTIME st = Fields(29, 2, 2024);
    st.wDayOfWeek = 6;
    const Date leap = MakeDate(st);
    EXPECT_FALSE(leap.invalid);
    EXPECT_EQ(leap.value.wDayOfWeek, 4);  // Thursday

    const Date bad = MakeDate(Fields(29, 2, 2023, 9));
    EXPECT_TRUE(bad.invalid);
    EXPECT_EQ(bad.value.wDay, 29);
    EXPECT_EQ(bad.value.wHour, 9);

    Date withTime = D(5, 3, 2024, 14, 30);
    const Date only = DateOnly(withTime);
    EXPECT_EQ(only.value.wHour, 0);
    EXPECT_EQ(only.value.wMinute, 0);
    EXPECT_EQ(only.value.wDay, 5);
    withTime.invalid = true;  // not consulted
    EXPECT_FALSE(DateOnly(withTime).invalid);
}

TEST(ParseDate, ReadsTenBytesWithAnySeparator) {
    Date d = D(1, 1, 2000, 10, 20);
    ParseDate("29/02/2024", d);
    EXPECT_FALSE(d.invalid);
    EXPECT_EQ(d.value.wDayOfWeek, 4);
    EXPECT_EQ(d.value.wHour, 0);  // the pre-filled time is gone

    ParseDate("05.03.2024", d);
    EXPECT_EQ(FormatDate(d), "05/03/2024");
    ParseDate(" 5/03/2024", d);  // leading blank skipped, like atoi
    EXPECT_FALSE(d.invalid);
    EXPECT_EQ(FormatDate(d), "05/03/2024");
    ParseDate("+5/03/2024", d);
    EXPECT_EQ(FormatDate(d), "05/03/2024");
    ParseDate("5x/3y/2024", d);  // digits up to the first other byte
    EXPECT_EQ(FormatDate(d), "05/03/2024");
}

TEST(ParseDate, RefusesWhatIsNotADay) {
    Date d = D(7, 7, 2007, 7, 7);
    ParseDate("5/3/2024", d);  // 8 bytes: only the flag changes
    EXPECT_TRUE(d.invalid);
    EXPECT_EQ(d.value.wDay, 7);
    EXPECT_EQ(d.value.wHour, 7);
    ParseDate("05/03/24", d);
    EXPECT_TRUE(d.invalid);
    EXPECT_EQ(d.value.wYear, 2007);
    ParseDate("05/03/20245", d);
    EXPECT_TRUE(d.invalid);

    for (const char* text : {"29/02/2023", "31/02/2024", "00/01/2024", "01/13/2024", "01/01/1600", "01/01/0000",
                             "ab/cd/efgh", "-1/03/2024", "01/01/-001", "          "}) {
        Date x = D(1, 1, 2000);
        ParseDate(text, x);
        EXPECT_TRUE(x.invalid) << text;
    }
    Date x;
    ParseDate("01/01/-001", x);  // -1 stored in 16 bits
    EXPECT_EQ(x.value.wYear, 65535);

    const char withNul[] = {'0', '\0', '/', '0', '3', '/', '2', '0', '2', '4'};
    ParseDate(std::string_view(withNul, 10), x);
    EXPECT_TRUE(x.invalid);  // day 0
}

TEST(FormatDate, PadsDayAndMonthOnly) {
    EXPECT_EQ(FormatDate(D(1, 1, 2025)), "01/01/2025");
    EXPECT_EQ(FormatDate(D(31, 12, 1999)), "31/12/1999");
    Date odd;
    odd.value = Fields(65535, 123, 7);
    odd.invalid = true;
    EXPECT_EQ(FormatDate(odd), "65535/123/7");
}

TEST(DaysUntil, CountsWholeDaysIgnoringTheClock) {
    EXPECT_EQ(DaysUntil(D(4, 3, 2024), D(4, 3, 2024)), 0);
    EXPECT_EQ(DaysUntil(D(4, 3, 2024), D(5, 3, 2024)), 1);
    EXPECT_EQ(DaysUntil(D(5, 3, 2024), D(4, 3, 2024)), -1);
    EXPECT_EQ(DaysUntil(D(28, 2, 2024), D(1, 3, 2024)), 2);
    EXPECT_EQ(DaysUntil(D(4, 3, 2024, 23, 0), D(5, 3, 2024, 1, 0)), 1);
    EXPECT_EQ(DaysUntil(D(31, 3, 2024), D(1, 4, 2024)), 1);  // daylight saving changes nothing
    EXPECT_EQ(DaysUntil(D(1, 1, 1601), D(31, 12, 30827)), 10674941);

    Date invalid = MakeDate(Fields(31, 2, 2024));
    EXPECT_EQ(DaysUntil(invalid, D(5, 3, 2024)), 0);
    EXPECT_EQ(DaysUntil(D(5, 3, 2024), invalid), 0);
}

TEST(CompareDates, UsesWholeTimestamps) {
    EXPECT_EQ(CompareDates(D(5, 3, 2024), D(5, 3, 2024, 14, 30)), -1);
    EXPECT_EQ(CompareDates(D(5, 3, 2024, 14, 30), D(5, 3, 2024)), 1);
    EXPECT_EQ(CompareDates(D(5, 3, 2024), D(5, 3, 2024)), 0);
    EXPECT_EQ(CompareDates(D(4, 3, 2024), D(5, 3, 2024)), -1);

    const Date invalid = MakeDate(Fields(31, 2, 2024));
    EXPECT_EQ(CompareDates(invalid, D(5, 3, 2024)), 0);  // invalid first operand equals all
    EXPECT_EQ(CompareDates(D(5, 3, 2024), invalid), 0);  // so does one that cannot be converted
    // The operators take the right-hand side as the first operand.
    EXPECT_TRUE(D(5, 3, 2024) > D(4, 3, 2024));
    EXPECT_TRUE(D(4, 3, 2024) < D(5, 3, 2024));
    EXPECT_FALSE(D(4, 3, 2024) < D(4, 3, 2024));
    EXPECT_TRUE(D(4, 3, 2024) == invalid);
    EXPECT_FALSE(D(4, 3, 2024) < invalid);
    EXPECT_FALSE(D(4, 3, 2024) > invalid);
}

TEST(AddOneDay, StepsOverMonthsYearsAndKeepsTheClock) {
    EXPECT_EQ(FormatDate(AddOneDay(D(28, 2, 2023))), "01/03/2023");
    EXPECT_EQ(FormatDate(AddOneDay(D(28, 2, 2024))), "29/02/2024");
    EXPECT_EQ(FormatDate(AddOneDay(D(31, 12, 2024))), "01/01/2025");
    const Date next = AddOneDay(D(5, 3, 2024, 14, 30));
    EXPECT_EQ(next.value.wHour, 14);
    EXPECT_EQ(next.value.wMinute, 30);
    EXPECT_EQ(next.value.wDayOfWeek, 3);
    // The last convertible day steps to a day that no longer converts.
    const Date beyond = AddOneDay(D(31, 12, 30827));
    EXPECT_EQ(FormatDate(beyond), "01/01/30828");
    EXPECT_FALSE(beyond.invalid);  // the flag is carried, not recomputed
    std::int64_t ticks;
    EXPECT_FALSE(SystemTimeToTicks(beyond.value, ticks));
    // A value that cannot be converted stays where it is.
    Date invalid = MakeDate(Fields(31, 2, 2024));
    EXPECT_EQ(FormatDate(AddOneDay(invalid)), "31/02/2024");
    EXPECT_TRUE(AddOneDay(invalid).invalid);
}

TEST(LocalNow, IsAValidNormalisedDate) {
    const Date now = LocalNow();
    EXPECT_FALSE(now.invalid);
    EXPECT_GE(now.value.wYear, 2024);
    EXPECT_EQ(now.value.wDayOfWeek, MakeDate(now.value).value.wDayOfWeek);
}
