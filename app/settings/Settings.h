// The settings the program keeps for the user between runs, as values of
// the key HKEY_CURRENT_USER\Software\QV Software\QV Velmora. A setting that
// is missing or unreadable reads as the caller's default.
#pragma once

#include <cstdint>
#include <string>

namespace MyApp {

// The number stored under `name`, or `fallback`.
std::uint32_t ReadSetting(const wchar_t* name, std::uint32_t fallback);
// Stores the number; false when the registry refuses it.
bool WriteSetting(const wchar_t* name, std::uint32_t value);

// The text stored under `name`; empty when there is none.
std::wstring ReadTextSetting(const wchar_t* name);
// Stores the text; false when the registry refuses it.
bool WriteTextSetting(const wchar_t* name, const std::wstring& value);
// Removes the setting (nothing when there is none).
void ForgetSetting(const wchar_t* name);

}  // namespace MyApp
