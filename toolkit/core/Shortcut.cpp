#include "toolkit/core/Shortcut.h"

namespace QVUtility {

namespace {

std::wstring KeyName(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    switch (key) {
    case VK_RETURN: return L"Invio";
    case VK_DELETE: return L"Canc";
    case VK_INSERT: return L"Ins";
    case VK_ESCAPE: return L"Esc";
    case VK_BACK: return L"Backspace";
    case VK_TAB: return L"Tab";
    case VK_SPACE: return L"Spazio";
    case VK_HOME: return L"Home";
    case VK_END: return L"Fine";
    case VK_PRIOR: return L"PgSu";
    case VK_NEXT: return L"PgGiù";
    case VK_UP: return L"Su";
    case VK_DOWN: return L"Giù";
    case VK_LEFT: return L"Sinistra";
    case VK_RIGHT: return L"Destra";
    case VK_OEM_PLUS:
    case VK_ADD: return L"+";
    case VK_OEM_MINUS:
    case VK_SUBTRACT: return L"-";
    default: break;
    }
    return L"#" + std::to_wstring(key);
}

}  // namespace

std::wstring ShortcutText(const Shortcut& shortcut) {
    if (shortcut.Empty()) return std::wstring();
    std::wstring text;
    if (shortcut.modifiers & FCONTROL) text += L"Ctrl+";
    if (shortcut.modifiers & FSHIFT) text += L"Maiusc+";
    if (shortcut.modifiers & FALT) text += L"Alt+";
    return text + KeyName(shortcut.key);
}

}  // namespace QVUtility
