// Reading the values of Microsoft Project XML's fields (see ProjectXmlValues.h).
#include "exchange/ProjectXmlValues.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/NumberText.h"

namespace MyApp {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    if (at + count > text.size()) return false;
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (!IsDigit(text[i])) return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

}  // namespace

std::string_view Trimmed(std::string_view text) {
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && space(text.front())) text.remove_prefix(1);
    while (!text.empty() && space(text.back())) text.remove_suffix(1);
    return text;
}

bool ParseWhole(std::string_view text, long long& value) {
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18) return false;
    long long v = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        v = v * 10 + (c - '0');
    }
    value = negative ? -v : v;
    return true;
}

bool ParseNumber(std::string_view text, double& value) {
    text = Trimmed(text);
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        std::size_t exponentDigits = 0;
        while (i < text.size() && IsDigit(text[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != text.size()) return false;
    value = ParseReal(text);
    return std::isfinite(value) && std::fabs(value) < std::numeric_limits<double>::max();
}

bool ParseHundredths(std::string_view text, Money& value) {
    double number = 0.0;
    if (!ParseNumber(text, number)) return false;
    text = Trimmed(text);
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+') text.remove_prefix(1);
    const std::size_t digits = std::min(text.find('.'), text.size());
    if (digits > 36 || text.find_first_of("eE") != std::string_view::npos) {
        value = CostOfDays(number / 100.0, 1, 1);
        return true;
    }
    Money::Hundredths whole = 0;
    for (std::size_t i = 0; i < digits; ++i) whole = whole * 10 + (text[i] - '0');
    if (digits + 1 < text.size() && text[digits + 1] >= '5') ++whole;
    value = Money::FromHundredths(negative ? -whole : whole);
    return true;
}

bool ParseFlag(std::string_view text, bool& value) {
    text = Trimmed(text);
    if (text == "1" || text == "true") value = true;
    else if (text == "0" || text == "false") value = false;
    else return false;
    return true;
}

bool ParseMoment(std::string_view text, Moment& moment) {
    text = Trimmed(text);
    std::size_t yearDigits = 0;
    while (yearDigits < text.size() && IsDigit(text[yearDigits])) ++yearDigits;
    int year = 0, month = 0, day = 0;
    if (yearDigits != 4 || !Digits(text, 0, yearDigits, year) || text.size() < yearDigits + 6 ||
        text[yearDigits] != '-' || !Digits(text, yearDigits + 1, 2, month) || text[yearDigits + 3] != '-' ||
        !Digits(text, yearDigits + 4, 2, day))
        return false;
    std::size_t at = yearDigits + 6;
    int hour = 0, minute = 0, second = 0;
    if (at < text.size() && text[at] == 'T') {
        if (!Digits(text, at + 1, 2, hour) || at + 3 >= text.size() || text[at + 3] != ':' ||
            !Digits(text, at + 4, 2, minute))
            return false;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            if (!Digits(text, at + 1, 2, second)) return false;
            at += 3;
            if (at < text.size() && text[at] == '.') {
                ++at;
                const std::size_t from = at;
                while (at < text.size() && IsDigit(text[at])) ++at;
                if (at == from) return false;
            }
        }
        if (hour > 23 || minute > 59 || second > 59) return false;
    }
    if (at < text.size()) {
        const std::string_view zone = text.substr(at);
        int zh = 0, zm = 0;
        const bool offset = zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && Digits(zone, 1, 2, zh) &&
                            zone[3] == ':' && Digits(zone, 4, 2, zm);
        if (zone != "Z" && !offset) return false;
    }
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    moment.day = MakeDate(st);
    moment.seconds = hour * 3600 + minute * 60 + second;
    return !moment.day.invalid;
}

// An ISO 8601 duration: each number with its unit, the time's after a 'T'.
bool ParseDuration(std::string_view text, Duration& duration) {
    text = Trimmed(text);
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text[0] != 'P') return false;
    duration = Duration();
    double hours = 0.0;
    bool inTime = false, any = false, unknown = false;
    std::size_t i = 1;
    while (i < text.size()) {
        if (text[i] == 'T' && !inTime) {
            inTime = true;
            ++i;
            continue;
        }
        const std::size_t from = i;
        bool nonZero = false;
        while (i < text.size() && (IsDigit(text[i]) || text[i] == '.')) {
            if (IsDigit(text[i]) && text[i] != '0') nonZero = true;
            ++i;
        }
        if (i == from || i >= text.size()) return false;
        const std::string_view number = text.substr(from, i - from);
        const char unit = text[i++];
        const bool known = inTime ? (unit == 'H' || unit == 'M' || unit == 'S') : (unit == 'Y' || unit == 'M' || unit == 'W' || unit == 'D');
        if (!known) return false;
        any = true;
        if (nonZero) duration.zero = false;
        // Days, weeks, months and years have no fixed number of hours.
        double value = 0.0;
        if (!inTime || !ParseNumber(number, value)) unknown = true;
        else hours += unit == 'H' ? value : unit == 'M' ? value / 60.0 : value / 3600.0;
    }
    if (!unknown && std::isfinite(hours)) duration.hours = negative ? -hours : hours;
    return any;
}

}  // namespace MyApp
