#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

DWORD NarrowingFlags(UINT codePage) {
    switch (codePage) {
    case 42:  // symbol
    case 50220:
    case 50221:
    case 50222:
    case 50225:  // ISO-2022
    case 50227:
    case 50229:
    case 54936:  // GB 18030
    case CP_UTF7:
    case CP_UTF8: return 0;
    default: return codePage >= 57002 && codePage <= 57011 ? 0 : WC_NO_BEST_FIT_CHARS;  // ISCII
    }
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const DWORD flags = NarrowingFlags(GetACP());
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::string();
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), size, &result[0], length, nullptr, nullptr);
    return result;
}

std::wstring CharactersLostInNarrowing(const std::wstring& text) {
    std::wstring lost;
    for (size_t i = 0; i < text.size();) {
        // A surrogate pair is one character.
        const size_t count = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]) ? 2 : 1;
        const std::wstring character = text.substr(i, count);
        i += count;
        if (Widen(Narrow(character)) != character && lost.find(character) == std::wstring::npos) lost += character;
    }
    return lost;
}

}  // namespace QVUtility
