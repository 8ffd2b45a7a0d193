#include "toolkit/draw/HighContrast.h"

#include <windows.h>

#include <cwchar>

namespace QVUtility {

bool HighContrastOn() {
    HIGHCONTRASTW reported{};
    reported.cbSize = sizeof reported;
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof reported, &reported, 0) &&
        (reported.dwFlags & HCF_HIGHCONTRASTON) != 0)
        return true;
    // The flags are kept as a decimal number in a text.
    wchar_t flags[32] = {};
    DWORD size = sizeof flags - sizeof flags[0];
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", L"Flags", RRF_RT_REG_SZ, nullptr,
                     flags, &size) != ERROR_SUCCESS)
        return false;
    return (std::wcstoul(flags, nullptr, 10) & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace QVUtility
