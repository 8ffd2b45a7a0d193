// Platform services: file dialogs, message boxes, the text of the last
// system error, opening a document or address with its program, text put
// on the clipboard, and the
// reason given to the system for holding up the end of the session.
#pragma once

#include <string>

#include <windows.h>

#include "toolkit/platform/FileDialogs.h"
#include "toolkit/platform/MessageBoxes.h"

namespace QVUtility {

// Text of the calling thread's last error code (with the line break the
// system text ends with); empty when the code is 0 or has no text.
std::string LastErrorText();

// Opens a document path or a web or mail address with the program the
// system associates with it; true when the system accepted the request.
bool ShellOpen(const std::string& target);

// Puts the text on the clipboard for the window `owner`; false when the
// clipboard refused it.
bool CopyTextToClipboard(HWND owner, const std::wstring& text);

class GUIElement;

// While it lives, the system is told why the owner's window holds up the end
// of the user's session (ShutdownBlockReasonCreate); the reason goes away
// with it. One at a time.
class ShutdownBlock {
public:
    ShutdownBlock(GUIElement* owner, const std::wstring& reason);
    ~ShutdownBlock();
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

    // The reason of the block that lives now; empty when there is none.
    static const std::wstring& ActiveReason();

private:
    HWND window_ = nullptr;
};

}  // namespace QVUtility
