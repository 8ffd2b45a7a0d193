#include "toolkit/platform/IgnoredError.h"

#include <windows.h>

#include <exception>
#include <string>

#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

#ifndef NDEBUG
void Note(const char* where, const std::string& what) {
    const std::wstring line = L"QV Velmora: " + Widen(where) + L": " + Widen(what) + L"\n";
    OutputDebugStringW(line.c_str());
}
#endif

}  // namespace

void IgnorePlatformError(const char* where) {
    const DWORD code = GetLastError();
#ifndef NDEBUG
    Note(where, "error " + std::to_string(code) + " " + LastErrorText());
    SetLastError(code);
#else
    (void)code;
    (void)where;
#endif
}

void IgnoreException(const char* where) {
#ifndef NDEBUG
    std::string what = "unknown exception";
    try {
        throw;
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {}
    Note(where, what);
#else
    (void)where;
#endif
}

}  // namespace QVUtility
