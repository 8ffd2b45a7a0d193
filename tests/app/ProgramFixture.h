// The program started on the test desktop in a folder of the test's own,
// with its main window, toolbar and status bar found; the folder is emptied
// and the program ended after each test. The settings the program keeps
// between runs (recent files, window place) start empty for each test.
#pragma once

#include "Driver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/res/AppInfo.h"

namespace apptest {

inline const wchar_t* const kTitle = L"QV Velmora - Pianificazione e costi di progetto";

inline std::wstring ProgramPath() {
    const std::string path = VELMORA_EXE_PATH;
    if (!path.empty() && path[0] == '/') return drv::WinePath(path);
    return std::wstring(path.begin(), path.end());
}

// Removes the values the program keeps between runs about the user's
// desktop: the recent files and the window's place.
inline void ForgetDesktopSettings() {
    for (const wchar_t* name : {L"RecentFile1", L"RecentFile2", L"RecentFile3", L"RecentFile4", L"WindowLeft",
                                L"WindowTop", L"WindowWidth", L"WindowHeight", L"WindowMaximized",
                                L"CostReportWidth", L"CostReportHeight", L"CostReportMaximized"}) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name);
    }
}

// Downs from the first item of "&File" to "Esporta come immagine...", which
// has no letter of its own (after "&Nuovo", "&Apri", "&Importa da XML di
// Microsoft Project...", "&Salva" and "Sa&lva come...").
inline constexpr int kExportItem = 5;

// The project's dialogs, in the order of the "&Progetto" menu, with the
// keys that open them from the main window.
struct DialogKeys {
    const wchar_t* title;
    WORD key;
    unsigned modifiers;
};
inline const DialogKeys kProjectDialogs[] = {
    {L"Modifica", VK_RETURN, drv::kAlt},
    {L"Nuovo Task", VK_INSERT, drv::kNone},
    {L"Elenco Giorni da includere come lavorativi", 'I', drv::kCtrl},
    {L"Elenco Giorni da escludere come lavorativi", 'E', drv::kCtrl},
    {L"Conto Economico", VK_F9, drv::kNone},
};

// A screenshot for a person to look at, when VELMORA_SHOTS names a folder
// (a Windows path); nothing otherwise.
inline void Shot(const wchar_t* name) { drv::ScreenshotIfAsked(L"VELMORA_SHOTS", name); }

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetDesktopSettings();
        MakeFolder();
        StartProgram(L"");
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
    }

    void MakeFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"velmora_app_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
    }

    // Starts the program in the test's folder with `arguments` and finds its windows.
    void StartProgram(const std::wstring& arguments) {
        ASSERT_TRUE(app.Start(ProgramPath(), arguments, folder)) << drv::LastErrorUtf8();
        main = app.WaitWindow(nullptr, kTitle, 20000);
        ASSERT_NE(main, nullptr) << drv::LastErrorUtf8() << drv::DescribeWindows(app.Id());
        toolbar = drv::WaitDescendant(main, -1, TOOLBARCLASSNAMEW);
        status = drv::WaitDescendant(main, -1, STATUSCLASSNAMEW);
        ASSERT_NE(toolbar, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_NE(status, nullptr) << drv::DescribeWindows(app.Id());
    }

    void TearDown() override {
        if (HasFailure()) {
            const std::wstring shot = drv::ExeFolder() + L"app_tests_failure.bmp";
            drv::SaveScreenshot(shot);
            std::printf("screen saved in %s\nwindows:\n%s", drv::Utf8(shot).c_str(),
                        drv::DescribeWindows(app.Id()).c_str());
        }
        app.Kill();
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileW((folder + found.cFileName).c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
        ForgetDesktopSettings();
    }

    std::wstring Path(const wchar_t* name) const { return folder + name; }

    // A window of the program's own (not a common dialog) with this title.
    HWND ProgramWindow(const wchar_t* title, DWORD timeoutMs = drv::kTimeout) {
        HWND found = nullptr;
        drv::WaitUntil(
            [&] {
                for (HWND window : drv::TopWindows(app.Id()))
                    if (drv::Text(window) == title && drv::ClassOf(window) != L"#32770") found = window;
                return found != nullptr;
            },
            timeoutMs);
        return found;
    }

    // File > Apri, the path typed into the dialog.
    void Open(const std::wstring& path) {
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'A')) << drv::LastErrorUtf8();
        const drv::FileDialogAnswer answer = drv::AnswerFileDialog(app.Id(), L"Apri", path);
        ASSERT_TRUE(answer.ok) << drv::LastErrorUtf8() << " " << drv::Utf8(answer.question);
    }

    // An error box of the program: its text, after pressing OK.
    std::wstring AnswerError(const wchar_t* caption = L"Errore") {
        std::wstring text;
        EXPECT_TRUE(drv::AnswerMessageBox(app.Id(), caption, IDOK, &text)) << drv::LastErrorUtf8();
        return text;
    }

    std::wstring folder;
    drv::Process app;
    HWND main = nullptr;
    HWND toolbar = nullptr;
    HWND status = nullptr;
};

}  // namespace apptest
