#include "file/ProcessMark.h"

#include <cstdio>

namespace MyApp {

namespace {

// The digits of text[at, at + count) as a number; -1 when one is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

std::string TimeText(const Date& moment) {
    const SYSTEMTIME& t = moment.value;
    char text[40];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", static_cast<unsigned>(t.wYear),
                  static_cast<unsigned>(t.wMonth), static_cast<unsigned>(t.wDay), static_cast<unsigned>(t.wHour),
                  static_cast<unsigned>(t.wMinute), static_cast<unsigned>(t.wSecond));
    return text;
}

bool ParseTimeText(std::string_view text, Date& moment) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' ||
        text[16] != ':')
        return false;
    const int fields[] = {Digits(text, 0, 4),  Digits(text, 5, 2),  Digits(text, 8, 2),
                          Digits(text, 11, 2), Digits(text, 14, 2), Digits(text, 17, 2)};
    for (int field : fields)
        if (field < 0) return false;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(fields[0]);
    st.wMonth = static_cast<WORD>(fields[1]);
    st.wDay = static_cast<WORD>(fields[2]);
    st.wHour = static_cast<WORD>(fields[3]);
    st.wMinute = static_cast<WORD>(fields[4]);
    st.wSecond = static_cast<WORD>(fields[5]);
    const Date read = MakeDate(st);
    if (read.invalid) return false;
    moment = read;
    return true;
}

std::string ShownTime(std::string_view timeText) {
    Date moment;
    if (!ParseTimeText(timeText, moment)) return std::string(timeText);
    char text[16];
    std::snprintf(text, sizeof text, " %02u:%02u", static_cast<unsigned>(moment.value.wHour),
                  static_cast<unsigned>(moment.value.wMinute));
    return FormatDate(moment) + text;
}

}  // namespace MyApp
