// Narrow (system code page, Windows-1252 here) <-> wide text at the element
// boundary. The model and the project file hold narrow text; the native
// windows want UTF-16.
#pragma once

#include <string>

#include <windows.h>

#include "model/WideText.h"

namespace QVUtility {

// Widens a narrow text of the system code page (CP_ACP).
using MyApp::Widen;

// Narrows a wide text to the system code page; characters the code page
// cannot hold become '?' (never a look-alike letter).
std::string Narrow(const std::wstring& text);

// The WideCharToMultiByte flags Narrow uses for a code page: no best-fit
// letters, except for the code pages that take no flags at all (UTF-8,
// UTF-7, GB 18030, the ISO-2022 family, ...), which would refuse the call.
DWORD NarrowingFlags(UINT codePage);

// The characters of the text that the system code page cannot hold, each
// once, in the order they first appear; empty when the text narrows whole.
std::wstring CharactersLostInNarrowing(const std::wstring& text);

}  // namespace QVUtility
