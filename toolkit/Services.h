// Platform services: file dialogs, message boxes, the text of the last
// system error and opening a document or address with its program.
#pragma once

#include <string>

#include "toolkit/FileDialogs.h"
#include "toolkit/MessageBoxes.h"

namespace QVUtility {

// Text of the calling thread's last error code (with the line break the
// system text ends with); empty when the code is 0 or has no text.
std::string LastErrorText();

// Opens a document path or a web or mail address with the program the
// system associates with it; true when the system accepted the request.
bool ShellOpen(const std::string& target);

}  // namespace QVUtility
