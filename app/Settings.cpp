#include "app/Settings.h"

#include <windows.h>

#include "app/AppInfo.h"

namespace MyApp {

std::uint32_t ReadSetting(const wchar_t* name, std::uint32_t fallback) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return fallback;
    }
    return value;
}

bool WriteSetting(const wchar_t* name, std::uint32_t value) {
    const DWORD stored = value;
    return RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, name, REG_DWORD, &stored, sizeof stored) ==
           ERROR_SUCCESS;
}

}  // namespace MyApp
