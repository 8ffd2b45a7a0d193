// The recovery copies the program keeps for the user, as the tests that
// start it see them, and their removal before and after each test: no start
// of the program may ask about a copy that a test did not expect.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "Driver.h"
#include "app/res/AppInfo.h"

namespace apptest {

// The folder of the recovery copies the program keeps for the user
// (with a backslash at its end).
inline std::wstring RecoveryFolder() {
    PWSTR base = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &base)))
        folder = std::wstring(base) + L"\\QV Velmora\\Recupero\\";
    CoTaskMemFree(base);
    return folder;
}

// The names of the files in the recovery folder that match `pattern`.
inline std::vector<std::wstring> RecoveryFiles(const wchar_t* pattern = L"*") {
    return drv::FilesIn(RecoveryFolder(), pattern);
}

// Removes the recovery copies left by earlier runs and the intervals a test
// may have set, so that no start of the program asks about a copy it did
// not expect.
inline void ForgetRecoveryCopies() {
    for (const std::wstring& name : RecoveryFiles()) DeleteFileW((RecoveryFolder() + name).c_str());
    for (const wchar_t* name : {L"RecoveryMinutes", L"RecoverySeconds"})
        RegDeleteKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name);
}

}  // namespace apptest
