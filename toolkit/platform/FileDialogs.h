// The platform's open and save file dialogs, in narrow text (system code
// page). Both answer the chosen path exactly as the user gave it, or an
// empty path when the user cancelled or the dialog failed.
#pragma once

#include <string>
#include <vector>

namespace QVUtility {

class GUIElement;

// A path in the system code page, as the dialogs answer it. A character the
// code page cannot hold becomes '?', never a look-alike letter, so the
// answer cannot name a different existing file.
std::string NarrowPath(const std::wstring& path);

// `filters` alternates descriptions and patterns, e.g. "File Velmora (*.vmo)",
// "*.vmo". An empty title or folder lets the platform choose.
std::string AskOpenFileName(GUIElement* owner, const std::string& title, const std::string& initialFolder,
                            const std::vector<std::string>& filters);

// Asks before replacing an existing file; `defaultFileName` fills the name
// field (empty leaves it empty). No extension is added to the answer. With
// `chosenFilter`, it receives the filter the user left selected (0 for the
// first pair of `filters`).
std::string AskSaveFileName(GUIElement* owner, const std::string& title, const std::string& initialFolder,
                            const std::string& defaultFileName, const std::vector<std::string>& filters,
                            int* chosenFilter = nullptr);

}  // namespace QVUtility
