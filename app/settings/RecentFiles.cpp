#include "app/settings/RecentFiles.h"

#include <windows.h>

#include <algorithm>

#include "app/settings/Settings.h"
#include "toolkit/platform/FileDialogs.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

const wchar_t* const SettingNames[RecentFileCount] = {L"RecentFile1", L"RecentFile2", L"RecentFile3", L"RecentFile4"};

// Windows names files without regard to letter case.
bool SameFile(const std::string& a, const std::string& b) {
    const std::wstring wideA = QVUtility::Widen(a);
    const std::wstring wideB = QVUtility::Widen(b);
    return CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::vector<std::string> Store(std::vector<std::string> paths) {
    if (paths.size() > RecentFileCount) paths.resize(RecentFileCount);
    for (std::size_t i = 0; i < RecentFileCount; ++i) {
        if (i < paths.size()) {
            WriteTextSetting(SettingNames[i], QVUtility::Widen(paths[i]));
        } else {
            ForgetSetting(SettingNames[i]);
        }
    }
    return paths;
}

void Drop(std::vector<std::string>& paths, const std::string& path) {
    paths.erase(std::remove_if(paths.begin(), paths.end(), [&](const std::string& p) { return SameFile(p, path); }),
                paths.end());
}

}  // namespace

std::vector<std::string> LoadRecentFiles() {
    std::vector<std::string> paths;
    for (const wchar_t* name : SettingNames) {
        const std::wstring stored = ReadTextSetting(name);
        if (!stored.empty()) paths.push_back(QVUtility::NarrowPath(stored));
    }
    return paths;
}

std::vector<std::string> RememberRecentFile(const std::string& path) {
    std::vector<std::string> paths = LoadRecentFiles();
    if (path.empty()) return paths;
    Drop(paths, path);
    paths.insert(paths.begin(), path);
    return Store(paths);
}

std::vector<std::string> ForgetRecentFile(const std::string& path) {
    std::vector<std::string> paths = LoadRecentFiles();
    Drop(paths, path);
    return Store(paths);
}

}  // namespace MyApp
