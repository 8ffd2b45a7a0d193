#include "model/Date.h"

#include <cstdio>
#include <cstring>

#include "model/NumberText.h"

#ifndef _WIN32
#include <ctime>
#endif

namespace MyApp {

namespace {

constexpr unsigned FirstYear = 1601;
constexpr unsigned LastYear = 30827;  // SystemTimeToFileTime refuses later years

// Days from 1 January 1970 (civil calendar, proleptic Gregorian).
std::int64_t DaysFrom1970(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

const std::int64_t Days1601To1970 = -DaysFrom1970(1601, 1, 1);

}  // namespace

bool IsLeapYear(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned DaysInMonth(unsigned year, unsigned month) {
    static const unsigned char lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29u : lengths[month - 1];
}

std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    return DaysFrom1970(year, month, day) + Days1601To1970;
}

bool SystemTimeToTicks(const SYSTEMTIME& st, std::int64_t& ticks) {
    if (st.wYear < FirstYear || st.wYear > LastYear) return false;
    if (st.wMonth < 1 || st.wMonth > 12) return false;
    if (st.wDay < 1 || st.wDay > DaysInMonth(st.wYear, st.wMonth)) return false;
    if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) return false;
    const std::int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
    const std::int64_t seconds = days * SecondsPerDay + st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
    ticks = seconds * TicksPerSecond + static_cast<std::int64_t>(st.wMilliseconds) * 10000;
    return true;
}

bool TicksToSystemTime(std::int64_t ticks, SYSTEMTIME& st) {
    if (ticks < 0) return false;
    const std::int64_t days = ticks / TicksPerDay;
    std::int64_t rest = ticks % TicksPerDay;
    // Civil date from the day count (inverse of DaysFrom1970).
    const std::int64_t z = days - Days1601To1970 + 719468;
    const std::int64_t era = z / 146097;  // z is positive from 1601 on
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2);
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1 January 1601 was a Monday
    st.wHour = static_cast<WORD>(rest / (3600 * TicksPerSecond));
    rest %= 3600 * TicksPerSecond;
    st.wMinute = static_cast<WORD>(rest / (60 * TicksPerSecond));
    rest %= 60 * TicksPerSecond;
    st.wSecond = static_cast<WORD>(rest / TicksPerSecond);
    rest %= TicksPerSecond;
    st.wMilliseconds = static_cast<WORD>(rest / 10000);
    return true;
}

bool ToFileTime(const SYSTEMTIME& st, FILETIME& ft) {
    std::int64_t ticks;
    if (!SystemTimeToTicks(st, ticks)) return false;
    ft.dwLowDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) & 0xFFFFFFFFu);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
    return true;
}

bool FromFileTime(const FILETIME& ft, SYSTEMTIME& st) {
    const std::uint64_t raw = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    if (raw > 0x7FFFFFFFFFFFFFFFull) return false;
    return TicksToSystemTime(static_cast<std::int64_t>(raw), st);
}

Date MakeDate(const SYSTEMTIME& st) {
    Date d;
    d.value = st;
    std::int64_t ticks;
    if (SystemTimeToTicks(st, ticks)) TicksToSystemTime(ticks, d.value);
    else d.invalid = true;
    return d;
}

Date DateOnly(const Date& d) {
    SYSTEMTIME st{};
    st.wYear = d.value.wYear;
    st.wMonth = d.value.wMonth;
    st.wDay = d.value.wDay;
    return MakeDate(st);
}

void ParseDate(std::string_view text, Date& target) {
    if (text.size() != 10) {
        target.invalid = true;
        return;
    }
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(ParseInteger(text.substr(0, 2)));
    st.wMonth = static_cast<WORD>(ParseInteger(text.substr(3, 2)));
    st.wYear = static_cast<WORD>(ParseInteger(text.substr(6, 4)));
    target = MakeDate(st);
}

std::string FormatDate(const Date& d) {
    const unsigned day = d.value.wDay, month = d.value.wMonth, year = d.value.wYear;
    if (day < 100 && month < 100 && year >= 1000 && year < 10000) {
        // The usual case, without the C library's formatter.
        char text[10] = {static_cast<char>('0' + day / 10),
                         static_cast<char>('0' + day % 10),
                         '/',
                         static_cast<char>('0' + month / 10),
                         static_cast<char>('0' + month % 10),
                         '/',
                         static_cast<char>('0' + year / 1000),
                         static_cast<char>('0' + year / 100 % 10),
                         static_cast<char>('0' + year / 10 % 10),
                         static_cast<char>('0' + year % 10)};
        return std::string(text, 10);
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u/%02u/%u", static_cast<unsigned>(d.value.wDay),
                  static_cast<unsigned>(d.value.wMonth), static_cast<unsigned>(d.value.wYear));
    return buffer;
}

std::int64_t ComparisonTicks(const Date& d) {
    std::int64_t ticks = 0;
    SystemTimeToTicks(d.value, ticks);
    return ticks;
}

std::int64_t SortKey(const Date& d) { return d.invalid ? -1 : ComparisonTicks(d); }

bool SameFields(const Date& a, const Date& b) {
    return a.invalid == b.invalid && std::memcmp(&a.value, &b.value, sizeof a.value) == 0;
}

std::int64_t DaysUntil(const Date& a, const Date& b) {
    if (a.invalid) return 0;
    const std::int64_t ta = ComparisonTicks(DateOnly(a));
    std::int64_t tb;
    if (!SystemTimeToTicks(DateOnly(b).value, tb)) return 0;
    return ((tb - ta) / TicksPerSecond) / SecondsPerDay;
}

int CompareDates(const Date& a, const Date& b) {
    if (a.invalid) return 0;
    const std::int64_t ta = ComparisonTicks(a);
    std::int64_t tb;
    if (!SystemTimeToTicks(b.value, tb)) return 0;
    return ta < tb ? -1 : (ta > tb ? 1 : 0);
}

Date AddOneDay(const Date& d) {
    Date next = d;
    std::int64_t ticks;
    if (SystemTimeToTicks(d.value, ticks)) TicksToSystemTime(ticks + TicksPerDay, next.value);
    return next;
}

Date LocalNow() {
    SYSTEMTIME st{};
#ifdef _WIN32
    GetLocalTime(&st);
#else
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    st.wYear = static_cast<WORD>(local.tm_year + 1900);
    st.wMonth = static_cast<WORD>(local.tm_mon + 1);
    st.wDay = static_cast<WORD>(local.tm_mday);
    st.wHour = static_cast<WORD>(local.tm_hour);
    st.wMinute = static_cast<WORD>(local.tm_min);
    st.wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);  // no leap second
    st.wMilliseconds = static_cast<WORD>(now.tv_nsec / 1000000);
#endif
    return MakeDate(st);
}

}  // namespace MyApp
