// SYSTEMTIME, FILETIME and COLORREF as the model uses them. On Windows they
// come from <windows.h>; on other systems (the host build of the model, its
// tests and tools) the same layouts and field names are declared here.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef std::uint16_t WORD;
typedef std::uint32_t DWORD;
typedef DWORD COLORREF;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;
#endif
