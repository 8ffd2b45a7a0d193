// Small helpers for building dates in the tests.
#pragma once

#include "model/Date.h"

namespace TestDates {

inline SYSTEMTIME Fields(int day, int month, int year, int hour = 0, int minute = 0, int second = 0, int ms = 0) {
    SYSTEMTIME st{};
    st.wDay = static_cast<WORD>(day);
    st.wMonth = static_cast<WORD>(month);
    st.wYear = static_cast<WORD>(year);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = static_cast<WORD>(ms);
    return st;
}

inline MyApp::Date D(int day, int month, int year, int hour = 0, int minute = 0) {
    return MyApp::MakeDate(Fields(day, month, year, hour, minute));
}

}  // namespace TestDates
