#include "exchange/Utf8Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>
#endif

namespace MyApp {

#ifdef _WIN32

namespace {

std::wstring WideOf(std::string_view text, UINT codePage) {
    if (text.empty() || text.size() > 0x7FFFFFFF) return std::wstring();
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string NarrowOf(const std::wstring& wide, UINT codePage, DWORD flags, const char* replacement) {
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           replacement, nullptr);
    if (length <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), static_cast<int>(wide.size()), &narrow[0], length, replacement,
                        nullptr);
    return narrow;
}

}  // namespace

std::string SystemToUtf8(std::string_view text) { return NarrowOf(WideOf(text, CP_ACP), CP_UTF8, 0, nullptr); }

std::string Utf8ToSystem(std::string_view text) {
    std::wstring wide = WideOf(text, CP_UTF8);
    for (wchar_t& c : wide)
        if (c == 0xFFFD) c = L'?';  // what was not UTF-8
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) return NarrowOf(wide, CP_UTF8, 0, nullptr);
    // No best-fit letters; the code pages that take no flags refuse them.
    std::string narrow = NarrowOf(wide, CP_ACP, WC_NO_BEST_FIT_CHARS, "?");
    if (narrow.empty() && !wide.empty()) narrow = NarrowOf(wide, CP_ACP, 0, nullptr);
    return narrow;
}

#else

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 where the code page has no character
// (those bytes are read as the C1 controls of the same number).
constexpr std::uint16_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char SystemByte(std::uint32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == c || (HighControls[i] == 0 && c == 0x80u + static_cast<unsigned>(i)))
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::string SystemToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (unsigned char byte : text) {
        const std::uint32_t c = byte >= 0x80 && byte < 0xA0 && HighControls[byte - 0x80] != 0
                                    ? HighControls[byte - 0x80]
                                    : byte;
        AppendUtf8(out, c);
    }
    return out;
}

std::string Utf8ToSystem(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
                                  : lead >= 0xF0 && lead < 0xF5   ? 3
                                                                  : -1;
        std::uint32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        std::size_t j = i + 1;
        for (int k = 0; k < extra; ++k, ++j) {
            if (j >= text.size() || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) {
                extra = -1;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are no characters.
        const bool sound = extra >= 0 && !(extra == 2 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) &&
                           !(extra == 3 && (c < 0x10000 || c > 0x10FFFF));
        out += sound ? SystemByte(c) : '?';
        i = sound ? j : i + 1;
    }
    return out;
}

#endif

}  // namespace MyApp
