#include "toolkit/platform/Services.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "toolkit/core/GUIElement.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

bool CopyTextToClipboard(HWND owner, const std::wstring& text) {
    if (owner == nullptr || !OpenClipboard(owner)) return false;
    bool copied = false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (EmptyClipboard()) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (void* data = memory != nullptr ? GlobalLock(memory) : nullptr) {
            std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(data));
            GlobalUnlock(memory);
            copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        // The clipboard owns the memory once it has taken it.
        if (!copied && memory != nullptr) GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
}

std::string LastErrorText() {
    const DWORD code = GetLastError();
    if (code == 0) return std::string();
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer), 0, nullptr);
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

namespace {
std::wstring shutdownBlockReason;
}  // namespace

ShutdownBlock::ShutdownBlock(GUIElement* owner, const std::wstring& reason)
    : window_(owner != nullptr ? owner->window : nullptr) {
    shutdownBlockReason = reason;
    // Wine answers ERROR_CALL_NOT_IMPLEMENTED; Windows shows the reason
    // beside the window in its "programs still running" screen.
    if (window_ != nullptr) ShutdownBlockReasonCreate(window_, reason.c_str());
}

ShutdownBlock::~ShutdownBlock() {
    if (window_ != nullptr) ShutdownBlockReasonDestroy(window_);
    shutdownBlockReason.clear();
}

const std::wstring& ShutdownBlock::ActiveReason() { return shutdownBlockReason; }

}  // namespace QVUtility
