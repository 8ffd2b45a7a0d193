#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
TEST(Smoke, Locale) { wchar_t b[8]; GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, b, 8); EXPECT_EQ(std::wstring(b), L","); HWND w = CreateWindowW(L"STATIC", L"x", WS_VISIBLE|WS_POPUP, 0,0,10,10,0,0,0,0); EXPECT_TRUE(w != nullptr); }
#else
TEST(Smoke, Host) { EXPECT_EQ(1, 1); }
#endif
