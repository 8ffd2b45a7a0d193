// Narrow (system code page, Windows-1252 here) <-> wide text at the element
// boundary. The model and the project file hold narrow text; the native
// windows want UTF-16.
#pragma once

#include <string>

namespace QVUtility {

// Widens a narrow text of the system code page (CP_ACP).
std::wstring Widen(const std::string& text);

// Narrows a wide text to the system code page; characters the code page
// cannot hold become '?'.
std::string Narrow(const std::wstring& text);

}  // namespace QVUtility
