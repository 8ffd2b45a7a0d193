// The program started on the test desktop in a folder of the test's own,
// with its main window, toolbar and status bar found; the folder is emptied
// and the program ended after each test. The settings the program keeps
// between runs (recent files, window place) start empty for each test.
#pragma once

#include "Driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "app/res/AppInfo.h"
#include "app/res/resource.h"
#include "tests/app/RecoveryFiles.h"

namespace apptest {

inline const wchar_t* const kTitle = L"QV Velmora - Pianificazione e costi di progetto";

// A project of 26 days with three tasks in file order Ponteggio, Scavo,
// Muri (not in date order): red, blue and green bars.
inline const char* const kSiteProject =
    "#VELMORA\r\nCantiere Via Roma\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\n"
    "Ponteggio\r\n05/03/2024\r\n08/03/2024\r\n255\r\n2\r\n150.5\r\n"
    "Scavo\r\n04/03/2024\r\n04/03/2024\r\n16711680\r\n3\r\n100\r\n"
    "Muri\r\n11/03/2024\r\n22/03/2024\r\n1042206\r\n4\r\n120\r\n";

inline std::wstring ProgramPath() {
    const std::string path = VELMORA_EXE_PATH;
    if (!path.empty() && path[0] == '/') return drv::WinePath(path);
    return std::wstring(path.begin(), path.end());
}

// Removes the values the program keeps between runs about the user's
// desktop: the recent files, the window's place, the view (zoom, task table)
// and the windows of the reports.
inline void ForgetDesktopSettings() {
    for (const wchar_t* name :
         {L"RecentFile1", L"RecentFile2", L"RecentFile3", L"RecentFile4", L"WindowLeft", L"WindowTop", L"WindowWidth",
          L"WindowHeight", L"WindowMaximized", L"Zoom", L"ZoomAdattaLarghezza", L"ZoomAdattaGiorni",
          L"TabellaVisibile", L"TabellaLarghezza", L"TabellaColonna1", L"TabellaColonna2", L"TabellaColonna3",
          L"TabellaColonna4", L"TabellaColonna5", L"TabellaColonna6", L"TabellaColonna7", L"CostReportWidth",
          L"CostReportHeight", L"CostReportMaximized", L"CashFlowWidth", L"CashFlowHeight", L"CashFlowMaximized",
          L"FlussoCassaPeriodo"}) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name);
    }
}

// A project file's text: the header from `first` to `last` (DD/MM/YYYY,
// weekdays Monday to Friday), then `tasks` tasks "Attivita 1", "Attivita 2"
// ... of five days in March of `first`'s year, in the five bar colours in
// turn, two resources at 100 a day.
inline const COLORREF kBarColours[] = {0xFFF300, 0xFFFFFF, 0xFF0000, 0x0000FF, 0x0FE71E};
inline std::string ProjectWithTasks(const char* title, const char* first, const char* last, int tasks) {
    std::string text = std::string("#VELMORA\r\n") + title + "\r\n" + first + "\r\n" + last +
                       "\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n";
    const std::string year = std::string(first).substr(6, 4);
    text.reserve(text.size() + static_cast<size_t>(tasks) * 50);
    for (int i = 0; i < tasks; ++i) {
        char lines[128];
        const int day = 1 + i % 20;
        std::snprintf(lines, sizeof lines, "Attivita %d\r\n%02d/03/%s\r\n%02d/03/%s\r\n%u\r\n2\r\n100\r\n", i + 1, day,
                      year.c_str(), day + 4, year.c_str(), static_cast<unsigned>(kBarColours[i % 5]));
        text += lines;
    }
    return text;
}

// A house renovated in eighteen months: forty tasks from January 2027 to
// June 2028, of one to seven weeks each, in the five bar colours in turn.
inline std::string RenovationProject() {
    static const char* const names[] = {
        "Sopralluogo e rilievi", "Progetto esecutivo", "Pratiche comunali", "Allestimento cantiere",
        "Demolizioni interne", "Rimozione pavimenti", "Smaltimento macerie", "Opere strutturali",
        "Consolidamento solai", "Nuove tramezze", "Impianto elettrico: tracce", "Impianto elettrico: cavi",
        "Impianto idraulico", "Impianto di riscaldamento", "Climatizzazione", "Rete dati e telefono", "Intonaci",
        "Massetti", "Impermeabilizzazione bagni", "Posa pavimenti", "Rivestimenti bagni", "Rivestimenti cucina",
        "Serramenti esterni", "Porte interne", "Cappotto termico", "Tetto: guaina", "Tetto: tegole",
        "Grondaie e pluviali", "Tinteggiatura interna", "Tinteggiatura esterna", "Sanitari", "Cucina",
        "Illuminazione", "Collaudo impianti", "Certificazioni", "Pulizia finale", "Arredi su misura", "Giardino",
        "Recinzione", "Consegna chiavi"};
    std::string text = "#VELMORA\r\nRistrutturazione Villa Rossi\r\n04/01/2027\r\n30/06/2028\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n";
    // Day 0 is 04/01/2027; a task every two weeks or so.
    const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    auto dayText = [&](int offset) {
        int day = 4 + offset, month = 0, year = 2027;
        for (;;) {
            const int length = monthDays[month] + (month == 1 && year % 4 == 0 ? 1 : 0);
            if (day <= length) break;
            day -= length;
            if (++month == 12) {
                month = 0;
                ++year;
            }
        }
        char date[16];
        std::snprintf(date, sizeof date, "%02d/%02d/%04d", day, month + 1, year);
        return std::string(date);
    };
    for (int i = 0; i < 40; ++i) {
        const int first = i * 27 / 2;
        const int last = std::min(first + 7 + (i * 37) % 50, 543);
        text += std::string(names[i]) + "\r\n" + dayText(first) + "\r\n" + dayText(last) + "\r\n" +
                std::to_string(kBarColours[i % 5]) + "\r\n" + std::to_string(1 + i % 4) + "\r\n" +
                std::to_string(150 + (i * 73) % 400) + "\r\n";
    }
    return text;
}

// Downs from the first item of "&File" to "Esporta come immagine...", which
// has no letter of its own (after "&Nuovo", "&Apri", "&Salva" and
// "Sa&lva come...").
inline constexpr int kExportItem = 4;

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
    {L"Flusso di cassa mensile", VK_F9, drv::kShift},
};

// The chart's panel in the main window: its one panel that is neither the
// splitter beside the task table nor the start page.
inline HWND ChartPanel(HWND main) {
    HWND panel = nullptr;
    for (HWND child : drv::Descendants(main)) {
        if (GetParent(child) == main && drv::ClassOf(child).rfind(L"PanelChildren", 0) == 0 &&
            GetDlgCtrlID(child) != IDC_SPLITTER && GetDlgCtrlID(child) != IDC_START_PAGE)
            panel = child;
    }
    return panel;
}

// A screenshot for a person to look at, when VELMORA_SHOTS names a folder
// (a Windows path); nothing otherwise.
inline void Shot(const wchar_t* name) { drv::ScreenshotIfAsked(L"VELMORA_SHOTS", name); }

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ForgetDesktopSettings();
        ForgetRecoveryCopies();
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
        main = app.WaitWindow(nullptr, kTitle);
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
        for (const std::wstring& name : drv::FilesIn(folder)) DeleteFileW((folder + name).c_str());
        RemoveDirectoryW(folder.c_str());
        ForgetDesktopSettings();
        ForgetRecoveryCopies();
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

    // File > "Esporta come immagine...": its save dialog and the dialog's
    // list of file types (control 1136), or nulls.
    std::pair<HWND, HWND> ExportDialog() {
        if (!drv::Activate(main) || !drv::ChooseMenuItemAt(app.Id(), L'F', kExportItem)) return {nullptr, nullptr};
        HWND dialog = drv::WaitTopWindow(app.Id(), L"#32770", L"Salva");
        return {dialog, dialog != nullptr ? drv::WaitDescendant(dialog, 1136, L"ComboBox") : nullptr};
    }

    // Picks the file type at `index` in a file dialog's list, which tells
    // its dialog as it does when the user picks it.
    static void PickFileType(HWND dialog, HWND types, int index) {
        SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(1136, code), reinterpret_cast<LPARAM>(types));
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
