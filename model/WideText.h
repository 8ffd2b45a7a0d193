// Narrow text (the system code page, as the project and its paths hold it)
// widened for the platform's wide-character calls. One conversion for the
// whole program: the toolkit, the project file and the picture writers.
#pragma once

#ifdef _WIN32
#include <string>

namespace MyApp {

// Widens a narrow text of the system code page (CP_ACP); a text the code
// page cannot convert becomes empty.
std::wstring Widen(const std::string& text);

}  // namespace MyApp
#endif
