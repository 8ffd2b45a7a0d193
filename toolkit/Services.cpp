#include "toolkit/Services.h"

#include <windows.h>
#include <shellapi.h>

#include "toolkit/TextConversion.h"

namespace QVUtility {

std::string LastErrorText() {
    const DWORD code = GetLastError();
    if (code == 0) return std::string();
    char* buffer = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0,
                       nullptr);
    std::string text;
    if (buffer) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    return text;
}

bool ShellOpen(const std::string& target) {
    const std::wstring wide = Widen(target);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace QVUtility
