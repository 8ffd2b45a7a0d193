// Names and addresses the program shows: product, version, maker, web pages.
#pragma once

namespace MyApp {

inline constexpr const wchar_t* ProductName = L"QV Velmora";
inline constexpr const char* ProductNameNarrow = "QV Velmora";
inline constexpr const char* ProductVersion = "1.2.0.0";
inline constexpr const char* MakerName = "QV Software";
// Where the program keeps the user's settings, under HKEY_CURRENT_USER.
inline constexpr const wchar_t* SettingsKey = L"Software\\QV Software\\QV Velmora";

// The notice line that follows the product name in the window title and
// stands under the title line of the about box.
inline constexpr const wchar_t* NoticeLine = L"- Pianificazione e costi di progetto";
inline constexpr const char* NoticeLineNarrow = "- Pianificazione e costi di progetto";

// The maker's home page and the guide page at the root of the same site.
inline constexpr const char* HomePageAddress = "http://www.qvvelmora.example";
inline constexpr const char* GuidePageAddress = "http://www.qvvelmora.example/Velmora.asp";

}  // namespace MyApp
