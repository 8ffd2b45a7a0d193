#include "toolkit/platform/FileDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "toolkit/core/GUIElement.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

constexpr std::size_t kFileNameCapacity = 2048;

HWND OwnerWindow(GUIElement* owner) { return owner ? owner->window : nullptr; }

// Descriptions and patterns, each ended by a zero, the list by one more.
std::wstring FilterList(const std::vector<std::string>& filters) {
    std::wstring list;
    for (const auto& item : filters) {
        list += Widen(item);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

std::string RunFileDialog(bool save, GUIElement* owner, const std::string& title, const std::string& initialFolder,
                          const std::string& defaultFileName, const std::vector<std::string>& filters,
                          int* chosenFilter = nullptr) {
    const std::wstring filterList = FilterList(filters);
    const std::wstring wideTitle = Widen(title);
    const std::wstring wideFolder = Widen(initialFolder);
    std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');
    if (save) {
        const std::wstring name = Widen(defaultFileName).substr(0, kFileNameCapacity - 1);
        std::copy(name.begin(), name.end(), fileName.begin());
    }

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerWindow(owner);
    dialog.lpstrFilter = filters.empty() ? nullptr : filterList.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrInitialDir = wideFolder.empty() ? nullptr : wideFolder.c_str();
    dialog.lpstrTitle = wideTitle.empty() ? nullptr : wideTitle.c_str();
    dialog.lpstrDefExt = nullptr;
    dialog.Flags =
        save ? (OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST) : (OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);

    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen) return std::string();
    if (chosenFilter != nullptr)
        *chosenFilter = dialog.nFilterIndex > 0 ? static_cast<int>(dialog.nFilterIndex) - 1 : 0;
    fileName.back() = L'\0';
    return NarrowPath(std::wstring(fileName.data()));
}

}  // namespace

std::string NarrowPath(const std::wstring& path) { return Narrow(path); }

std::string AskOpenFileName(GUIElement* owner, const std::string& title, const std::string& initialFolder,
                            const std::vector<std::string>& filters) {
    return RunFileDialog(false, owner, title, initialFolder, std::string(), filters);
}

std::string AskSaveFileName(GUIElement* owner, const std::string& title, const std::string& initialFolder,
                            const std::string& defaultFileName, const std::vector<std::string>& filters,
                            int* chosenFilter) {
    return RunFileDialog(true, owner, title, initialFolder, defaultFileName, filters, chosenFilter);
}

}  // namespace QVUtility
