// The settings the program keeps for the user between runs, as values of
// the key HKEY_CURRENT_USER\Software\QV Software\QV Velmora. A setting that
// is missing or unreadable reads as the caller's default.
#pragma once

#include <cstdint>

namespace MyApp {

// The number stored under `name`, or `fallback`.
std::uint32_t ReadSetting(const wchar_t* name, std::uint32_t fallback);
// Stores the number; false when the registry refuses it.
bool WriteSetting(const wchar_t* name, std::uint32_t value);

}  // namespace MyApp
