#include "app/settings/Settings.h"

#include <windows.h>

#include "app/res/AppInfo.h"

namespace MyApp {

std::uint32_t ReadSetting(const wchar_t* name, std::uint32_t fallback) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS) {
        return fallback;
    }
    return value;
}

bool WriteSetting(const wchar_t* name, std::uint32_t value) {
    const DWORD stored = value;
    return RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, name, REG_DWORD, &stored, sizeof stored) == ERROR_SUCCESS;
}

std::wstring ReadTextSetting(const wchar_t* name) {
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS ||
        size < sizeof(wchar_t)) {
        return std::wstring();
    }
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey, name, RRF_RT_REG_SZ, nullptr, &text[0], &size) != ERROR_SUCCESS)
        return std::wstring();
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

bool WriteTextSetting(const wchar_t* name, const std::wstring& value) {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, name, REG_SZ, value.c_str(), bytes) == ERROR_SUCCESS;
}

void ForgetSetting(const wchar_t* name) { RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, name); }

}  // namespace MyApp
