// The model against the Windows platform itself (run under Wine here).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "model/CostReport.h"
#include "model/Date.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using TestDates::Fields;

namespace {

bool Leap(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

struct Sweep {
    long compared = 0;
    long wineLeapDays = 0;   // 29 February of a common year taken as 1 March
    long wineLateYears = 0;  // years after 30827 taken
    std::string unexpected;  // first difference of any other kind

    void Check(const SYSTEMTIME& st) {
        ++compared;
        FILETIME platform{}, own{};
        const bool platformOk = SystemTimeToFileTime(&st, &platform) != FALSE;
        const bool ownOk = ToFileTime(st, own);
        char where[96];
        std::snprintf(where, sizeof where, "%u/%u/%u %u:%u:%u.%u", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute,
                      st.wSecond, st.wMilliseconds);
        if (platformOk && !ownOk) {
            SYSTEMTIME back{};
            FileTimeToSystemTime(&platform, &back);
            if (st.wMonth == 2 && st.wDay == 29 && !Leap(st.wYear) && back.wMonth == 3 && back.wDay == 1) {
                ++wineLeapDays;
                return;
            }
            if (st.wYear > 30827) {
                ++wineLateYears;
                return;
            }
        }
        if (platformOk != ownOk) {
            if (unexpected.empty()) unexpected = std::string("acceptance differs at ") + where;
            return;
        }
        if (!ownOk) return;
        if (platform.dwLowDateTime != own.dwLowDateTime || platform.dwHighDateTime != own.dwHighDateTime) {
            if (unexpected.empty()) unexpected = std::string("timestamp differs at ") + where;
            return;
        }
        SYSTEMTIME a{}, b{};
        FileTimeToSystemTime(&platform, &a);
        FromFileTime(own, b);
        if (a.wDayOfWeek != b.wDayOfWeek || a.wYear != b.wYear || a.wMonth != b.wMonth || a.wDay != b.wDay ||
            a.wHour != b.wHour || a.wMinute != b.wMinute || a.wSecond != b.wSecond ||
            a.wMilliseconds != b.wMilliseconds)
            if (unexpected.empty()) unexpected = std::string("fields or weekday differ at ") + where;
    }
};

}  // namespace

// Every day from 1600 to 2501 (with day 0 to 32 and month 0 to 13 around
// them), the first and last day of every later year, and every time field
// out of range: the program's conversion and SystemTimeToFileTime agree, but
// for the two known leniencies of Wine's version.
TEST(WindowsDates, ConversionAgreesWithSystemTimeToFileTime) {
    Sweep sweep;
    for (unsigned year = 1600; year <= 2501; ++year)
        for (unsigned month = 0; month <= 13; ++month)
            for (unsigned day = 0; day <= 32; ++day) sweep.Check(Fields(day, month, year));
    for (unsigned year = 2502; year <= 65535; ++year) {
        sweep.Check(Fields(1, 1, year));
        sweep.Check(Fields(31, 12, year, 23, 59, 59, 999));
        sweep.Check(Fields(29, 2, year));
    }
    for (unsigned value = 0; value <= 1001; ++value) {
        sweep.Check(Fields(15, 6, 2024, value % 26));
        sweep.Check(Fields(15, 6, 2024, 0, value % 62));
        sweep.Check(Fields(15, 6, 2024, 0, 0, value % 62));
        sweep.Check(Fields(15, 6, 2024, 0, 0, 0, value));
    }
    for (unsigned value : {0xFFFFu, 0x8000u, 0x7FFFu}) {
        sweep.Check(Fields(1, 1, 2024, value));
        sweep.Check(Fields(1, 1, 2024, 0, value));
        sweep.Check(Fields(1, 1, 2024, 0, 0, value));
        sweep.Check(Fields(1, 1, 2024, 0, 0, 0, value));
        sweep.Check(Fields(value, 1, 2024));
        sweep.Check(Fields(1, value, 2024));
    }
    EXPECT_EQ(sweep.unexpected, "");
    EXPECT_GT(sweep.compared, 900 * 14 * 33);
    std::printf("compared %ld values; Wine leniencies: %ld leap days, %ld late years\n", sweep.compared,
                sweep.wineLeapDays, sweep.wineLateYears);
}

TEST(WindowsDates, FileTimeToSystemTimeAgrees) {
    std::mt19937_64 random(1601);
    for (int i = 0; i < 200000; ++i) {
        std::uint64_t raw = random();
        if (i % 2) raw &= 0x7FFFFFFFFFFFFFFFull;
        if (i % 4 == 1) raw %= 0x0300000000000000ull;  // years up to about 2500
        const FILETIME ft{static_cast<DWORD>(raw), static_cast<DWORD>(raw >> 32)};
        SYSTEMTIME a{}, b{};
        const bool platformOk = FileTimeToSystemTime(&ft, &a) != FALSE;
        ASSERT_EQ(FromFileTime(ft, b), platformOk) << raw;
        if (!platformOk) continue;
        ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << raw;
    }
}

TEST(WindowsDates, LocalNowIsGetLocalTime) {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    const Date now = LocalNow();
    std::int64_t a, b;
    ASSERT_TRUE(SystemTimeToTicks(st, a));
    ASSERT_TRUE(SystemTimeToTicks(now.value, b));
    EXPECT_LT(b - a, 60 * TicksPerSecond);
    EXPECT_GE(b - a, 0);
}

// The tests run with Italian regional settings.
TEST(WindowsAmounts, FollowTheRegionalSettings) {
    const AmountFormat format = UserAmountFormat();
    EXPECT_EQ(format.decimalSeparator, ",");
    EXPECT_EQ(format.groupSeparator, ".");
    EXPECT_EQ(format.grouping, "3;0");
    EXPECT_EQ(FormatAmount(150.5), "150,5");
    EXPECT_EQ(FormatAmount(1500), "1.500");
    EXPECT_EQ(FormatAmount(0), "0");
    EXPECT_EQ(FormatAmount(1234567), "1.234.567");

    // Whole amounts below a million are grouped as GetNumberFormatW groups them.
    for (int n : {0, 7, 999, 1000, 12345, 100000, 999999}) {
        wchar_t wide[64];
        const std::wstring number = std::to_wstring(n);
        ASSERT_GT(GetNumberFormatW(LOCALE_USER_DEFAULT, 0, number.c_str(), nullptr, wide, 64), 0);
        char narrow[64];
        WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, 64, nullptr, nullptr);
        const std::string platform(narrow);
        EXPECT_EQ(FormatAmount(n) + ",00", platform) << n;
    }

    Project p;
    for (int i = 0; i < 5; ++i) p.workingWeekdays[i] = 1;
    Task t;
    t.description = "Ponteggio";
    t.start = TestDates::D(5, 3, 2024);
    t.end = TestDates::D(8, 3, 2024);
    t.resources = 2;
    t.dailyCost = 150.5;
    p.tasks.push_back(t);
    std::string text;
    Money total;
    BuildCostReport(p, text, total);
    EXPECT_NE(text.find("Costo giornaliero per Risorsa: 150,5\r\nCosto Task: 1.204\r\n"), std::string::npos) << text;
    EXPECT_EQ(total.ToDouble(), 1204.0);
}

// The file's costs go through the C library's "%Lg": MinGW needs its own
// stdio for long double; the Microsoft runtime's would print nonsense.
TEST(WindowsAmounts, LongDoubleThroughPrintf) {
    auto lg = [](double v) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%Lg", static_cast<long double>(v));
        return std::string(buffer);
    };
    EXPECT_EQ(lg(150), "150");
    EXPECT_EQ(lg(12.5), "12.5");
    EXPECT_EQ(lg(1234.567), "1234.57");
    EXPECT_TRUE(lg(1234567) == "1.23457e+06" || lg(1234567) == "1.23457e+006") << lg(1234567);
    EXPECT_EQ(lg(0), "0");
}
