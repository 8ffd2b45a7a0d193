// The work kept safe, tried on the real program from outside: the recovery
// copy left by a program that was killed or crashed and offered at the next
// start, a file changed by another program before it is saved over, two
// programs (or two colleagues) opening one project, and a project on a
// folder that takes no lock file.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "file/ProjectLock.h"
#include "file/RecoveryCopy.h"
#include "model/ChangeHistory.h"

namespace {

using apptest::kSiteProject;
using apptest::kTitle;

const std::wstring kQuestionStart = L"È stato trovato un progetto non salvato (";
const std::wstring kChangedOnDisk = L"Il file è stato modificato da un altro programma dopo l'apertura.";
const DWORD kAccessViolation = 0xC0000005;

// The project of `content` with its first task deleted, as the program
// writes it: what the chart's first row, deleted with Canc, leaves.
std::string WithoutFirstTask(const std::string& content) {
    MyApp::Project project;
    EXPECT_EQ(MyApp::LoadProjectBytes(project, content), MyApp::LoadResult::Ok);
    MyApp::ChangeHistory history;
    history.DeleteTask(project, 0);
    return MyApp::JoinLines(MyApp::SerializeProject(project));
}

// The site project under another name and with its tasks in date order.
const char* const kOtherProject =
    "#VELMORA\r\nAltro cantiere\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\n"
    "Scavo\r\n04/03/2024\r\n04/03/2024\r\n16711680\r\n3\r\n100\r\n"
    "Ponteggio\r\n05/03/2024\r\n08/03/2024\r\n255\r\n2\r\n150.5\r\n"
    "Muri\r\n11/03/2024\r\n22/03/2024\r\n1042206\r\n4\r\n120\r\n";

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += static_cast<char>(c);  // the test's paths are plain ASCII
    return narrow;
}

std::string Utf8Name(const wchar_t* name) { return drv::Utf8(name); }

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class SafetyTest : public apptest::ProgramFixture {
protected:
    // The program starts after the settings the test asks for.
    void SetUp() override {
        apptest::ForgetDesktopSettings();
        apptest::ForgetRecoveryCopies();
        MakeFolder();
    }

    void TearDown() override {
        second.Kill();
        // A file left where the recovery folder goes.
        const std::wstring recovery = RecoveryFolderPath();
        if ((GetFileAttributesW(recovery.c_str()) & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW(recovery.c_str());
        ProgramFixture::TearDown();
    }

    static std::wstring RecoveryFolderPath() {
        const std::wstring folder = apptest::RecoveryFolder();
        return folder.substr(0, folder.size() - 1);
    }

    static void SetSetting(const wchar_t* name, DWORD value) {
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name, REG_DWORD, &value, sizeof value),
                  ERROR_SUCCESS);
    }

    void Start(const std::wstring& arguments = L"") {
        StartProgram(arguments);
        ASSERT_NE(main, nullptr);
    }

    void OpenSite(const wchar_t* name = L"cantiere.vmo", const char* content = kSiteProject) {
        ASSERT_TRUE(drv::WriteFileBytes(Path(name), content));
        Open(Path(name));
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(name))) << drv::Utf8(drv::StatusBarText(status));
    }

    // Deletes the first row's task, as the keyboard does, in the program
    // whose main window is `window`.
    void DeleteFirstTask(DWORD pid, HWND window) {
        ASSERT_TRUE(drv::Activate(window)) << drv::LastErrorUtf8();
        drv::Up(4);  // the first task, whichever was selected (the projects here have three)
        drv::Press(VK_DELETE);
        ASSERT_TRUE(drv::AnswerMessageBox(pid, L"Cancellazione", IDYES)) << drv::LastErrorUtf8();
    }
    void DeleteFirstTask() { DeleteFirstTask(app.Id(), main); }

    void Keys(WORD key, unsigned modifiers = drv::kNone) {
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        drv::Press(key, modifiers);
    }

    bool TitleIs(HWND window, const std::wstring& rest) {
        return drv::WaitUntil([&] { return drv::Text(window) == kTitle + rest; });
    }

    // The one recovery copy in the folder and its record, once the copy
    // holds `content` and its record is written.
    bool WaitForCopy(const std::string& content, MyApp::RecoveryRecord* record = nullptr) {
        return drv::WaitUntil([&] {
            const std::vector<std::wstring> copies = apptest::RecoveryFiles(L"*.vmo");
            if (copies.size() != 1 || drv::ReadFileBytes(apptest::RecoveryFolder() + copies[0]) != content)
                return false;
            const std::wstring recordName = copies[0].substr(0, copies[0].size() - 4) + L".txt";
            const std::optional<MyApp::RecoveryRecord> read =
                MyApp::ParseRecoveryRecord(drv::ReadFileBytes(apptest::RecoveryFolder() + recordName));
            if (!read || read->savedAt.empty()) return false;
            if (record != nullptr) *record = *read;
            return true;
        });
    }

    // A picture of the program's message box for a person to look at, once
    // it shows (when VELMORA_SHOTS names a folder).
    static void ShotOfBox(DWORD pid, const wchar_t* caption, const wchar_t* name) {
        if (GetEnvironmentVariableW(L"VELMORA_SHOTS", nullptr, 0) == 0) return;
        if (drv::WaitMessageBox(pid, caption) != nullptr) apptest::Shot(name);
    }

    // The question about a recovery copy, answered; its text.
    std::wstring AnswerRecovery(int button) {
        ShotOfBox(app.Id(), L"Ripristino", L"domanda_ripristino");
        std::wstring text;
        EXPECT_TRUE(drv::AnswerMessageBox(app.Id(), L"Ripristino", button, &text)) << drv::LastErrorUtf8();
        return text;
    }

    // Minimises the main window and brings it back, as a user who went to
    // another program and comes back.
    void LeaveAndComeBack() {
        PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(drv::WaitUntil([&] { return IsIconic(main) != FALSE; }));
        PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(drv::WaitUntil([&] { return IsIconic(main) == FALSE; }));
    }

    // A second program on the same folder, with its main window.
    HWND StartSecond(const std::wstring& arguments) {
        if (!second.Start(apptest::ProgramPath(), arguments, folder)) return nullptr;
        return second.WaitWindow(nullptr, kTitle, 20000);
    }

    std::optional<MyApp::LockOwner> LockOf(const wchar_t* project) {
        return MyApp::ParseLock(drv::ReadFileBytes(Path((std::wstring(L"~$") + project + L".lock").c_str())));
    }

    drv::Process second;
};

// Killed with unsaved changes after a copy was written: the next start
// offers it; Sì brings back exactly the changed project, unsaved and with
// its path, and a kill before any change leaves the copy for the next
// start. A copy of a program that still runs is never offered.
TEST_F(SafetyTest, AKilledProgramsChangesComeBackAtTheNextStart) {
    SetSetting(L"RecoverySeconds", 1);
    Start();
    OpenSite();
    const std::string changed = WithoutFirstTask(kSiteProject);
    DeleteFirstTask();
    MyApp::RecoveryRecord record;
    ASSERT_TRUE(WaitForCopy(changed, &record)) << "no copy of the change";
    EXPECT_EQ(record.projectPath, Narrow(Path(L"cantiere.vmo")));
    EXPECT_TRUE(record.fileStamp.present);

    // A second program started meanwhile leaves the copy of the first alone:
    // it asks nothing, and its menu opens at once.
    HWND other = StartSecond(L"");
    ASSERT_NE(other, nullptr) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::Activate(other)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::ChooseMenuItem(second.Id(), L'F', L'A')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::CancelFileDialog(second.Id(), L"Apri")) << drv::LastErrorUtf8();
    second.Kill();
    ASSERT_TRUE(WaitForCopy(changed));

    app.Kill();
    Start();
    EXPECT_EQ(AnswerRecovery(IDYES),
              kQuestionStart + L"cantiere.vmo, " + Wide(MyApp::ShownTime(record.savedAt)) + L"). Ripristinarlo?");
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo *")) << drv::Utf8(drv::Text(main));
    EXPECT_TRUE(drv::WaitStatusBarText(status, Path(L"cantiere.vmo")));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), kSiteProject) << "the file is as it was";
    apptest::Shot(L"ripristinato");

    // Killed again before any change: the copy is still there.
    ASSERT_TRUE(WaitForCopy(changed));
    app.Kill();
    Start();
    const std::wstring again = AnswerRecovery(IDYES);
    EXPECT_EQ(again.rfind(kQuestionStart + L"cantiere.vmo, ", 0), 0u) << drv::Utf8(again);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo *")) << drv::Utf8(drv::Text(main));

    // "Salva" writes the restored project to its own file, and the copy goes.
    Keys('S', drv::kCtrl);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo")) << drv::Utf8(drv::Text(main));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), changed);
    EXPECT_TRUE(drv::WaitUntil([] { return apptest::RecoveryFiles().empty(); }));

    // Changes given up at the exit take their copy with them.
    DeleteFirstTask();
    ASSERT_TRUE(WaitForCopy(WithoutFirstTask(changed)));
    Keys(VK_F4, drv::kAlt);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Uscita", IDYES)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDNO)) << drv::LastErrorUtf8();
    DWORD code = 1;
    ASSERT_TRUE(app.WaitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(apptest::RecoveryFiles().empty());
}

// A copy refused at the start is deleted; a project never saved comes back
// without a path.
TEST_F(SafetyTest, ACopyRefusedIsDeletedAndAProjectWithoutANameComesBackWithout) {
    SetSetting(L"RecoverySeconds", 1);
    Start();
    // A new project, made by the project dialog from what it shows.
    Keys('N', drv::kCtrl);
    HWND dialog = ProgramWindow(L"Nuovo");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    ASSERT_TRUE(drv::Activate(dialog));
    drv::Type(L"Senza file\n");
    ASSERT_TRUE(drv::WaitWindowGone(dialog)) << drv::LastErrorUtf8();
    ASSERT_TRUE(TitleIs(main, L" - Senza nome *")) << drv::Utf8(drv::Text(main));
    ASSERT_TRUE(drv::WaitUntil([&] {
        const std::vector<std::wstring> copies = apptest::RecoveryFiles(L"*.vmo");
        if (copies.size() != 1) return false;
        MyApp::Project project;
        return MyApp::LoadProjectBytes(project, drv::ReadFileBytes(apptest::RecoveryFolder() + copies[0])) ==
                   MyApp::LoadResult::Ok &&
               project.description == "Senza file";
    }));
    app.Kill();

    Start();
    EXPECT_EQ(AnswerRecovery(IDNO).rfind(kQuestionStart + L"Senza nome, ", 0), 0u);
    // (A writing cut short by the kill may leave a temporary file.)
    EXPECT_TRUE(drv::WaitUntil([] { return apptest::RecoveryFiles(L"recupero-*").empty(); }))
        << "a refused copy is deleted";
    EXPECT_EQ(drv::Text(main), kTitle);
}

// An access violation writes the latest change at once, though no copy
// was due for an hour; the next start brings it back.
TEST_F(SafetyTest, ACrashLeavesACopyWithTheLatestChange) {
    SetSetting(L"RecoveryMinutes", 60);
    // The program's seam for this test: the cost report's command faults.
    ASSERT_TRUE(SetEnvironmentVariableW(L"VELMORA_FAULT_COMMAND", L"Calcola il conto economico"));
    Start();
    SetEnvironmentVariableW(L"VELMORA_FAULT_COMMAND", nullptr);
    OpenSite();
    const std::string changed = WithoutFirstTask(kSiteProject);
    DeleteFirstTask();
    ASSERT_TRUE(TitleIs(main, L" - cantiere.vmo *"));
    EXPECT_TRUE(apptest::RecoveryFiles(L"*.vmo").empty()) << "not due yet";
    Keys(VK_F9);
    DWORD code = 0;
    ASSERT_TRUE(app.WaitForExit(15000, &code)) << drv::LastErrorUtf8();
    EXPECT_EQ(code, kAccessViolation);
    ASSERT_TRUE(WaitForCopy(changed));

    Start();
    EXPECT_EQ(AnswerRecovery(IDYES).rfind(kQuestionStart + L"cantiere.vmo, ", 0), 0u);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo *")) << drv::Utf8(drv::Text(main));
    Keys('S', drv::kCtrl);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), changed);
}

// A copy that cannot be written (no folder can be made) is told once; the
// program goes on and saves as ever.
TEST_F(SafetyTest, ACopyThatCannotBeWrittenIsToldOnce) {
    SetSetting(L"RecoverySeconds", 1);
    const std::wstring folderPath = RecoveryFolderPath();
    RemoveDirectoryW(folderPath.c_str());
    ASSERT_TRUE(drv::WriteFileBytes(folderPath, "un file al posto della cartella"));
    Start();
    OpenSite();
    DeleteFirstTask();
    std::wstring text;
    ShotOfBox(app.Id(), L"Attenzione", L"copia_non_scritta");
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Attenzione", IDOK, &text)) << drv::LastErrorUtf8();
    EXPECT_EQ(text.rfind(L"Impossibile scrivere la copia di recupero del progetto in ", 0), 0u) << drv::Utf8(text);
    DeleteFirstTask();
    EXPECT_EQ(drv::WaitMessageBox(app.Id(), L"Attenzione", 3000), nullptr) << "told twice";
    Keys('S', drv::kCtrl);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), WithoutFirstTask(WithoutFirstTask(kSiteProject)));
    DeleteFileW(folderPath.c_str());
}

// "Salva" over a file another program has changed asks first, and each
// answer does what it says; coming back to the program offers to read it
// again when nothing is unsaved, and says so once when something is.
TEST_F(SafetyTest, AFileChangedByAnotherProgramIsAskedAboutBeforeItIsOverwritten) {
    Start();
    OpenSite();
    const std::wstring site = Path(L"cantiere.vmo");
    DeleteFirstTask();
    ASSERT_TRUE(drv::WriteFileBytes(site, kOtherProject));

    // Annulla: nothing written, the changes still unsaved.
    Keys('S', drv::kCtrl);
    ShotOfBox(app.Id(), L"Salva", L"file_cambiato_salva");
    std::wstring question;
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDCANCEL, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, kChangedOnDisk + L" Sovrascriverlo?");
    EXPECT_EQ(drv::ReadFileBytes(site), kOtherProject);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo *"));

    // No: "Salva con nome"; the other program's file stays.
    Keys('S', drv::kCtrl);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDNO)) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"mio.vmo")).ok) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"mio.vmo")));
    const std::string mine = WithoutFirstTask(kSiteProject);
    EXPECT_EQ(drv::ReadFileBytes(Path(L"mio.vmo")), mine);
    EXPECT_EQ(drv::ReadFileBytes(site), kOtherProject);

    // Sì: the program's project replaces what the other program wrote.
    DeleteFirstTask();
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"mio.vmo"), kOtherProject));
    Keys('S', drv::kCtrl);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDYES)) << drv::LastErrorUtf8();
    EXPECT_TRUE(TitleIs(main, L" - mio.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"mio.vmo")), WithoutFirstTask(mine));

    // Nothing unsaved: coming back offers the other program's version, and
    // Sì shows it.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"mio.vmo"), kOtherProject));
    LeaveAndComeBack();
    ShotOfBox(app.Id(), L"Attenzione", L"file_cambiato_ricarica");
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Attenzione", IDYES, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, kChangedOnDisk + L" Ricaricarlo?");
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::FindDescendantByText(main, nullptr, L"Altro cantiere") != nullptr; }))
        << "the chart shows the file read again";
    EXPECT_TRUE(TitleIs(main, L" - mio.vmo"));

    // Unsaved changes: told once; "Salva" then asks as before.
    DeleteFirstTask();
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"mio.vmo"), kSiteProject));
    LeaveAndComeBack();
    ShotOfBox(app.Id(), L"Attenzione", L"file_cambiato_avviso");
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Attenzione", IDOK, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, kChangedOnDisk + L" Al salvataggio verrà chiesto se sovrascriverlo.");
    LeaveAndComeBack();
    Keys('S', drv::kCtrl);
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Salva", IDCANCEL, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, kChangedOnDisk + L" Sovrascriverlo?");
    EXPECT_EQ(drv::FindTopWindow(app.Id(), L"#32770", L"Attenzione"), nullptr) << "told twice";
}

// A second program opening the project hears who has it open and may open
// it read-only: the title says so and "Salva" asks for a new name, which
// may not be the first program's file. The first keeps its lock; the lock
// of a killed program is taken over, a colleague's never.
TEST_F(SafetyTest, TwoProgramsOnOneProjectShareItSafely) {
    Start();
    OpenSite(L"piano.vmo");
    const std::optional<MyApp::LockOwner> lock = LockOf(L"piano.vmo");
    ASSERT_TRUE(lock.has_value()) << "no lock beside the project";
    EXPECT_EQ(lock->process.id, app.Id());
    wchar_t user[256] = {}, computer[256] = {};
    DWORD size = 256;
    GetUserNameW(user, &size);
    size = 256;
    GetComputerNameW(computer, &size);
    EXPECT_EQ(lock->user, Utf8Name(user));
    EXPECT_EQ(lock->computer, Utf8Name(computer));
    EXPECT_NE(GetFileAttributesW(Path(L"~$piano.vmo.lock").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u) << "not hidden";

    HWND other = StartSecond(L"\"" + Path(L"piano.vmo") + L"\"");
    ASSERT_NE(other, nullptr) << drv::LastErrorUtf8();
    std::wstring question;
    ShotOfBox(second.Id(), L"Apri", L"progetto_aperto_altrove");
    ASSERT_TRUE(drv::AnswerMessageBox(second.Id(), L"Apri", IDYES, &question)) << drv::LastErrorUtf8();
    const std::wstring holder = std::wstring(user) + L" su " + computer + L" dal " + Wide(MyApp::ShownTime(lock->since));
    EXPECT_EQ(question, L"Il progetto è aperto da " + holder + L". Aprirlo in sola lettura?");
    EXPECT_TRUE(TitleIs(other, L" - piano.vmo (sola lettura)")) << drv::Utf8(drv::Text(other));
    apptest::Shot(L"sola_lettura");

    // Read-only "Salva": a new name, and not the file the first program has.
    DeleteFirstTask(second.Id(), other);
    EXPECT_TRUE(TitleIs(other, L" - piano.vmo (sola lettura) *"));
    ASSERT_TRUE(drv::Activate(other));
    drv::Press('S', drv::kCtrl);
    ASSERT_TRUE(drv::AnswerFileDialog(second.Id(), L"Salva", Path(L"piano.vmo")).ok) << drv::LastErrorUtf8();
    ShotOfBox(second.Id(), L"Salva", L"nome_di_un_progetto_aperto");
    ASSERT_TRUE(drv::AnswerMessageBox(second.Id(), L"Salva", IDOK, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, L"Il progetto è aperto da " + holder + L". Scegliere un altro nome.");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"piano.vmo")), kSiteProject);
    ASSERT_TRUE(drv::Activate(other));
    drv::Press('S', drv::kCtrl);
    ASSERT_TRUE(drv::AnswerFileDialog(second.Id(), L"Salva", Path(L"copia.vmo")).ok) << drv::LastErrorUtf8();
    EXPECT_TRUE(TitleIs(other, L" - copia.vmo")) << drv::Utf8(drv::Text(other));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"copia.vmo")), WithoutFirstTask(kSiteProject));
    ASSERT_TRUE(LockOf(L"copia.vmo").has_value());
    EXPECT_EQ(LockOf(L"copia.vmo")->process.id, second.Id());
    ASSERT_TRUE(LockOf(L"piano.vmo").has_value());
    EXPECT_EQ(LockOf(L"piano.vmo")->process, lock->process) << "the first program keeps its lock";
    second.Kill();

    // No: nothing is opened.
    other = StartSecond(L"\"" + Path(L"piano.vmo") + L"\"");
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(drv::AnswerMessageBox(second.Id(), L"Apri", IDNO)) << drv::LastErrorUtf8();
    HWND otherStatus = drv::WaitDescendant(other, -1, STATUSCLASSNAMEW);
    ASSERT_TRUE(drv::Activate(other));
    EXPECT_EQ(drv::Text(other), kTitle);
    EXPECT_EQ(drv::StatusBarText(otherStatus), L"");
    second.Kill();

    // The first program killed: its lock is taken over without a question.
    app.Kill();
    Start(L"\"" + Path(L"piano.vmo") + L"\"");
    EXPECT_TRUE(TitleIs(main, L" - piano.vmo")) << drv::Utf8(drv::Text(main));
    ASSERT_TRUE(LockOf(L"piano.vmo").has_value());
    EXPECT_EQ(LockOf(L"piano.vmo")->process.id, app.Id());

    // A colleague's lock on another computer, whose program cannot be seen
    // from here, is never taken over.
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"comune.vmo"), kSiteProject));
    const MyApp::LockOwner colleague{"Bruno Neri", "UFFICIO-2", "2024-03-05 08:30:00", MyApp::ProcessMark{4, 4}};
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"~$comune.vmo.lock"), MyApp::JoinLines(MyApp::FormatLock(colleague))));
    Open(Path(L"comune.vmo"));
    ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Apri", IDNO, &question)) << drv::LastErrorUtf8();
    EXPECT_EQ(question, L"Il progetto è aperto da Bruno Neri su UFFICIO-2 dal 05/03/2024 08:30. Aprirlo in sola lettura?");
    EXPECT_EQ(drv::StatusBarText(status), Path(L"piano.vmo")) << "No keeps the project open";
    EXPECT_EQ(MyApp::ParseLock(drv::ReadFileBytes(Path(L"~$comune.vmo.lock")))->user, "Bruno Neri");
}

// On a folder that takes no lock file (read-only media) the project opens
// without one and works: changed and saved elsewhere.
TEST_F(SafetyTest, AProjectOnAReadOnlyFolderOpensWithoutALock) {
    wchar_t unixFolder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VELMORA_READONLY_PROJECT_FOLDER", unixFolder, MAX_PATH) == 0)
        GTEST_SKIP() << "no read-only folder prepared for this run";
    const std::wstring readOnly = drv::WinePath(drv::Utf8(unixFolder)) + L"\\";
    if (drv::WriteFileBytes(readOnly + L"prova.tmp", "x")) {
        DeleteFileW((readOnly + L"prova.tmp").c_str());
        GTEST_SKIP() << "this file system could not make the folder read-only";
    }
    const std::wstring project = readOnly + L"progetto.vmo";
    Start(L"\"" + project + L"\"");
    ASSERT_TRUE(drv::WaitStatusBarText(status, project)) << drv::Utf8(drv::StatusBarText(status));
    EXPECT_TRUE(TitleIs(main, L" - progetto.vmo")) << drv::Utf8(drv::Text(main));
    EXPECT_EQ(GetFileAttributesW((readOnly + L"~$progetto.vmo.lock").c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string original = drv::ReadFileBytes(project);
    DeleteFirstTask();
    EXPECT_TRUE(TitleIs(main, L" - progetto.vmo *"));
    Keys('S', drv::kCtrl | drv::kShift);
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"progetto.vmo")).ok) << drv::LastErrorUtf8();
    EXPECT_TRUE(TitleIs(main, L" - progetto.vmo"));
    EXPECT_TRUE(drv::WaitStatusBarText(status, Path(L"progetto.vmo")));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"progetto.vmo")), WithoutFirstTask(original));
    EXPECT_TRUE(LockOf(L"progetto.vmo").has_value()) << "the new file has its lock";
}

}  // namespace
