// The work kept safe, tried on the real program from outside: the recovery
// copy of a program killed or crashed, offered at the next start; a file
// changed by another program; two programs on one project; a project on a
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

const std::wstring kOffer = L"È stato trovato un progetto non salvato (cantiere.vmo, ";
const std::wstring kChanged = L"Il file è stato modificato da un altro programma dopo l'apertura.";

// `content` as the program writes it once the chart's first row is deleted.
std::string WithoutFirstTask(const std::string& content) {
    MyApp::Project project;
    EXPECT_EQ(MyApp::LoadProjectBytes(project, content), MyApp::LoadResult::Ok);
    MyApp::ChangeHistory().DeleteTask(project, 0);
    return MyApp::JoinLines(MyApp::SerializeProject(project));
}

const std::string kOtherProject = [] {
    std::string text = kSiteProject;
    return text.replace(text.find("Cantiere Via Roma"), 17, "Altro cantiere");
}();

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
        DeleteFileW(RecoveryFolderPath().c_str());  // a file made where the folder goes
        ProgramFixture::TearDown();
    }

    static std::wstring RecoveryFolderPath() {
        const std::wstring folder = apptest::RecoveryFolder();
        return folder.substr(0, folder.size() - 1);
    }
    static void SetSetting(const wchar_t* name, DWORD value) {
        RegSetKeyValueW(HKEY_CURRENT_USER, MyApp::SettingsKey, name, REG_DWORD, &value, sizeof value);
    }

    void OpenSite(const wchar_t* name = L"cantiere.vmo") {
        ASSERT_TRUE(drv::WriteFileBytes(Path(name), kSiteProject));
        Open(Path(name));
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(name))) << drv::Utf8(drv::StatusBarText(status));
    }

    // The chart's first row deleted with the keyboard, in the program of `window`.
    void DeleteFirstTask(DWORD pid, HWND window) {
        ASSERT_TRUE(drv::Activate(window)) << drv::LastErrorUtf8();
        drv::Up(4);  // the first task, whichever was selected
        drv::Press(VK_DELETE);
        ASSERT_TRUE(drv::AnswerMessageBox(pid, L"Cancellazione", IDYES)) << drv::LastErrorUtf8();
    }
    void DeleteFirstTask() { DeleteFirstTask(app.Id(), main); }

    void Keys(WORD key, unsigned modifiers = drv::kNone) {
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        drv::Press(key, modifiers);
    }
    ::testing::AssertionResult TitleIs(HWND window, const std::wstring& rest) {
        if (drv::WaitUntil([&] { return drv::Text(window) == kTitle + rest; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "title " << drv::Utf8(drv::Text(window));
    }

    // Answers the program's message box; its text. A picture of it first,
    // for a person to look at, when VELMORA_SHOTS names a folder.
    std::wstring Answer(DWORD pid, const wchar_t* caption, int button, const wchar_t* shot = nullptr) {
        if (shot != nullptr && drv::WaitMessageBox(pid, caption) != nullptr) apptest::Shot(shot);
        std::wstring text;
        EXPECT_TRUE(drv::AnswerMessageBox(pid, caption, button, &text)) << drv::LastErrorUtf8();
        return text;
    }

    // Waits for the one recovery copy to hold `content`, with its record.
    bool WaitForCopy(const std::string& content, MyApp::RecoveryRecord* record = nullptr) {
        return drv::WaitUntil([&] {
            const std::vector<std::wstring> copies = apptest::RecoveryFiles(L"*.vmo");
            if (copies.size() != 1 || drv::ReadFileBytes(apptest::RecoveryFolder() + copies[0]) != content)
                return false;
            const std::optional<MyApp::RecoveryRecord> read = MyApp::ParseRecoveryRecord(drv::ReadFileBytes(
                apptest::RecoveryFolder() + copies[0].substr(0, copies[0].size() - 4) + L".txt"));
            if (read && record != nullptr) *record = *read;
            return read.has_value() && !read->savedAt.empty();
        });
    }

    // As a user who went to another program and comes back.
    void LeaveAndComeBack() {
        PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(drv::WaitUntil([&] { return IsIconic(main) != FALSE; }));
        PostMessageW(main, WM_SYSCOMMAND, SC_RESTORE, 0);
        ASSERT_TRUE(drv::WaitUntil([&] { return IsIconic(main) == FALSE; }));
    }

    HWND StartSecond(const std::wstring& arguments) {
        if (!second.Start(apptest::ProgramPath(), arguments, folder)) return nullptr;
        return second.WaitWindow(nullptr, kTitle);
    }

    std::optional<MyApp::LockOwner> LockOf(const std::wstring& project) {
        return MyApp::ParseLock(drv::ReadFileBytes(Path((L"~$" + project + L".lock").c_str())));
    }

    drv::Process second;
};

// Killed after a copy was written: a second program running meanwhile
// leaves the copy alone; the next start offers it, and Sì brings back
// exactly the changed project, unsaved and with its path. Killed again
// before any change, the copy is still there; "Salva" takes it away.
TEST_F(SafetyTest, AKilledProgramsChangesComeBackAtTheNextStart) {
    SetSetting(L"RecoverySeconds", 1);
    StartProgram(L"");
    OpenSite();
    const std::string changed = WithoutFirstTask(kSiteProject);
    DeleteFirstTask();
    MyApp::RecoveryRecord record;
    ASSERT_TRUE(WaitForCopy(changed, &record)) << "no copy of the change";
    EXPECT_EQ(Wide(record.projectPath), Path(L"cantiere.vmo"));

    // No question in the second program: its menu opens at once.
    HWND other = StartSecond(L"");
    ASSERT_NE(other, nullptr) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::Activate(other));
    ASSERT_TRUE(drv::ChooseMenuItem(second.Id(), L'F', L'A')) << drv::LastErrorUtf8();
    ASSERT_TRUE(drv::CancelFileDialog(second.Id(), L"Apri")) << drv::LastErrorUtf8();
    second.Kill();

    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(WaitForCopy(changed));
        app.Kill();
        StartProgram(L"");
        const std::wstring offer = Answer(app.Id(), L"Ripristino", IDYES, L"domanda_ripristino");
        const std::wstring expected = kOffer + Wide(MyApp::ShownTime(record.savedAt)) + L"). Ripristinarlo?";
        // The second copy is the restoring program's own, written a moment later.
        EXPECT_EQ(run == 0 ? offer : offer.substr(0, kOffer.size()), run == 0 ? expected : kOffer);
        EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo *"));
        EXPECT_TRUE(drv::WaitStatusBarText(status, Path(L"cantiere.vmo")));
    }
    apptest::Shot(L"ripristinato");
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), kSiteProject);
    Keys('S', drv::kCtrl);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), changed);
    EXPECT_TRUE(drv::WaitUntil([] { return apptest::RecoveryFiles(L"recupero-*").empty(); }));
}

// An access violation writes the latest change at once, though no copy was
// due for an hour, and though the user had answered No to saving it before
// an "Apri" that was then cancelled. At the next start the offer comes
// before the file named at start, and No deletes the copy.
TEST_F(SafetyTest, ACrashLeavesACopyWithTheLatestChange) {
    SetSetting(L"RecoveryMinutes", 60);
    // The program's seam for this test: the cost report's command faults.
    SetEnvironmentVariableW(L"VELMORA_FAULT_COMMAND", L"Calcola il conto economico");
    StartProgram(L"");
    SetEnvironmentVariableW(L"VELMORA_FAULT_COMMAND", nullptr);
    OpenSite();
    DeleteFirstTask();
    ASSERT_TRUE(TitleIs(main, L" - cantiere.vmo *"));
    ASSERT_TRUE(apptest::RecoveryFiles(L"*.vmo").empty()) << "not due yet";
    Keys('O', drv::kCtrl);
    Answer(app.Id(), L"Salva", IDNO);
    ASSERT_TRUE(drv::CancelFileDialog(app.Id(), L"Apri")) << drv::LastErrorUtf8();
    ASSERT_TRUE(TitleIs(main, L" - cantiere.vmo *"));
    Keys(VK_F9);
    DWORD code = 0;
    ASSERT_TRUE(app.WaitForExit(drv::kTimeout, &code)) << drv::LastErrorUtf8();
    EXPECT_EQ(code, 0xC0000005u);
    EXPECT_TRUE(WaitForCopy(WithoutFirstTask(kSiteProject)));

    ASSERT_TRUE(drv::WriteFileBytes(Path(L"altro.vmo"), kOtherProject));
    StartProgram(L"\"" + Path(L"altro.vmo") + L"\"");
    EXPECT_EQ(Answer(app.Id(), L"Ripristino", IDNO).rfind(kOffer, 0), 0u);
    EXPECT_TRUE(drv::WaitUntil([] { return apptest::RecoveryFiles(L"recupero-*").empty(); }));
    EXPECT_TRUE(drv::WaitStatusBarText(status, Path(L"altro.vmo")));
    EXPECT_TRUE(TitleIs(main, L" - altro.vmo"));
}

// A copy that cannot be read is not lost with the run that failed to read
// it: it stays under the name of the program that wrote it, to be offered
// again at the next start.
TEST_F(SafetyTest, ACopyThatCannotBeReadIsOfferedAgain) {
    const std::wstring copy = apptest::RecoveryFolder() + Wide(MyApp::RecoveryStem(MyApp::ProcessMark{4, 4}));
    const MyApp::RecoveryRecord record{drv::Utf8(Path(L"cantiere.vmo")), "2024-03-05 14:07:09", {}};
    SHCreateDirectoryExW(nullptr, RecoveryFolderPath().c_str(), nullptr);
    ASSERT_TRUE(drv::WriteFileBytes(copy + L".vmo", "non è un progetto"));
    ASSERT_TRUE(drv::WriteFileBytes(copy + L".txt", MyApp::JoinLines(MyApp::FormatRecoveryRecord(record))));
    StartProgram(L"");
    EXPECT_EQ(Answer(app.Id(), L"Ripristino", IDYES), kOffer + L"05/03/2024 14:07). Ripristinarlo?");
    EXPECT_EQ(AnswerError(), L"Formato non valido.");
    Keys(VK_F4, drv::kAlt);
    Answer(app.Id(), L"Uscita", IDYES);
    ASSERT_TRUE(app.WaitForExit()) << drv::LastErrorUtf8();
    EXPECT_EQ(drv::ReadFileBytes(copy + L".vmo"), "non è un progetto");
    EXPECT_EQ(apptest::RecoveryFiles(L"recupero-*").size(), 2u) << "the copy and its record";
}

// A copy that cannot be written (a file where the folder goes) is told of
// once; the program goes on and saves as ever.
TEST_F(SafetyTest, ACopyThatCannotBeWrittenIsToldOnce) {
    SetSetting(L"RecoverySeconds", 1);
    RemoveDirectoryW(RecoveryFolderPath().c_str());
    ASSERT_TRUE(drv::WriteFileBytes(RecoveryFolderPath(), "un file al posto della cartella"));
    StartProgram(L"");
    OpenSite();
    DeleteFirstTask();
    EXPECT_EQ(Answer(app.Id(), L"Attenzione", IDOK, L"copia_non_scritta")
                  .rfind(L"Impossibile scrivere la copia di recupero del progetto in ", 0),
              0u);
    DeleteFirstTask();
    EXPECT_EQ(drv::WaitMessageBox(app.Id(), L"Attenzione", 3000), nullptr) << "told twice";
    Keys('S', drv::kCtrl);
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), WithoutFirstTask(WithoutFirstTask(kSiteProject)));
}

// "Salva" over a file another program changed asks, and each answer does
// what it says; coming back to the program offers to read the file again
// when nothing is unsaved, and says so once when something is.
TEST_F(SafetyTest, AFileChangedByAnotherProgramIsAskedAboutBeforeItIsOverwritten) {
    StartProgram(L"");
    OpenSite();
    DeleteFirstTask();
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"cantiere.vmo"), kOtherProject));
    Keys('S', drv::kCtrl);
    EXPECT_EQ(Answer(app.Id(), L"Salva", IDCANCEL, L"file_cambiato_salva"), kChanged + L" Sovrascriverlo?");
    EXPECT_TRUE(TitleIs(main, L" - cantiere.vmo *"));
    Keys('S', drv::kCtrl);
    Answer(app.Id(), L"Salva", IDNO);
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"mio.vmo")).ok) << drv::LastErrorUtf8();
    EXPECT_TRUE(TitleIs(main, L" - mio.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"cantiere.vmo")), kOtherProject) << "Annulla and No keep it";
    const std::string mine = WithoutFirstTask(kSiteProject);
    EXPECT_EQ(drv::ReadFileBytes(Path(L"mio.vmo")), mine);

    DeleteFirstTask();
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"mio.vmo"), kOtherProject));
    Keys('S', drv::kCtrl);
    Answer(app.Id(), L"Salva", IDYES);
    EXPECT_TRUE(TitleIs(main, L" - mio.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"mio.vmo")), WithoutFirstTask(mine));

    ASSERT_TRUE(drv::WriteFileBytes(Path(L"mio.vmo"), kOtherProject));
    LeaveAndComeBack();
    EXPECT_EQ(Answer(app.Id(), L"Attenzione", IDYES, L"file_cambiato_ricarica"), kChanged + L" Ricaricarlo?");
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::FindDescendantByText(main, nullptr, L"Altro cantiere") != nullptr; }))
        << "the chart shows the file read again";

    DeleteFirstTask();
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"mio.vmo"), kSiteProject));
    LeaveAndComeBack();
    EXPECT_EQ(Answer(app.Id(), L"Attenzione", IDOK, L"file_cambiato_avviso"),
              kChanged + L" Al salvataggio verrà chiesto se sovrascriverlo.");
    LeaveAndComeBack();
    Keys('S', drv::kCtrl);  // the next box is the save's question: no second notice
    EXPECT_EQ(Answer(app.Id(), L"Salva", IDCANCEL), kChanged + L" Sovrascriverlo?");
    EXPECT_EQ(drv::FindTopWindow(app.Id(), L"#32770", L"Attenzione"), nullptr) << "told twice";
}

// A second program opening the project hears who has it open and may open
// it read-only: the title says so, and "Salva" asks for a new name, which
// may not be the first program's file. The first keeps its lock; the lock
// of a killed program is taken over, a colleague's never.
TEST_F(SafetyTest, TwoProgramsOnOneProjectShareItSafely) {
    StartProgram(L"");
    OpenSite(L"piano.vmo");
    const std::optional<MyApp::LockOwner> lock = LockOf(L"piano.vmo");
    ASSERT_TRUE(lock.has_value()) << "no lock beside the project";
    EXPECT_EQ(lock->process.id, app.Id());
    EXPECT_NE(GetFileAttributesW(Path(L"~$piano.vmo.lock").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    wchar_t user[256] = {}, computer[256] = {};
    DWORD size = 256;
    GetUserNameW(user, &size);
    size = 256;
    GetComputerNameW(computer, &size);
    const std::wstring holder =
        std::wstring(user) + L" su " + computer + L" dal " + Wide(MyApp::ShownTime(lock->since)) + L".";

    HWND other = StartSecond(L"\"" + Path(L"piano.vmo") + L"\"");
    ASSERT_NE(other, nullptr) << drv::LastErrorUtf8();
    EXPECT_EQ(Answer(second.Id(), L"Apri", IDYES, L"progetto_aperto_altrove"),
              L"Il progetto è aperto da " + holder + L" Aprirlo in sola lettura?");
    EXPECT_TRUE(TitleIs(other, L" - piano.vmo (sola lettura)"));
    apptest::Shot(L"sola_lettura");
    DeleteFirstTask(second.Id(), other);
    const auto saveAs = [&](const wchar_t* name) {
        ASSERT_TRUE(drv::Activate(other));
        drv::Press('S', drv::kCtrl);
        ASSERT_TRUE(drv::AnswerFileDialog(second.Id(), L"Salva", Path(name)).ok) << drv::LastErrorUtf8();
    };
    saveAs(L"piano.vmo");
    EXPECT_EQ(Answer(second.Id(), L"Salva", IDOK, L"nome_di_un_progetto_aperto"),
              L"Il progetto è aperto da " + holder + L" Scegliere un altro nome.");
    saveAs(L"copia.vmo");
    EXPECT_TRUE(TitleIs(other, L" - copia.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"piano.vmo")), kSiteProject);
    EXPECT_EQ(drv::ReadFileBytes(Path(L"copia.vmo")), WithoutFirstTask(kSiteProject));
    EXPECT_EQ(LockOf(L"piano.vmo")->process, lock->process) << "the first program keeps its lock";

    app.Kill();
    StartProgram(L"\"" + Path(L"piano.vmo") + L"\"");
    EXPECT_TRUE(TitleIs(main, L" - piano.vmo"));
    EXPECT_EQ(LockOf(L"piano.vmo")->process.id, app.Id()) << "a killed program's lock is taken over";

    ASSERT_TRUE(drv::WriteFileBytes(Path(L"comune.vmo"), kSiteProject));
    const MyApp::LockOwner colleague{"Bruno Neri", "UFFICIO-2", "2024-03-05 08:30:00", MyApp::ProcessMark{4, 4}};
    ASSERT_TRUE(drv::WriteFileBytes(Path(L"~$comune.vmo.lock"), MyApp::JoinLines(MyApp::FormatLock(colleague))));
    Open(Path(L"comune.vmo"));
    EXPECT_EQ(Answer(app.Id(), L"Apri", IDNO),
              L"Il progetto è aperto da Bruno Neri su UFFICIO-2 dal 05/03/2024 08:30. Aprirlo in sola lettura?");
    EXPECT_EQ(drv::StatusBarText(status), Path(L"piano.vmo")) << "No opens nothing";
    EXPECT_EQ(LockOf(L"comune.vmo")->user, "Bruno Neri");
}

// On a folder that takes no lock file (read-only media) the project opens
// without one, and can be changed and saved elsewhere.
TEST_F(SafetyTest, AProjectOnAReadOnlyFolderOpensWithoutALock) {
    wchar_t unixFolder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"VELMORA_READONLY_PROJECT_FOLDER", unixFolder, MAX_PATH) == 0)
        GTEST_SKIP() << "no read-only folder prepared for this run";
    const std::wstring readOnly = drv::WinePath(drv::Utf8(unixFolder)) + L"\\";
    if (drv::WriteFileBytes(readOnly + L"prova.tmp", "x")) {
        DeleteFileW((readOnly + L"prova.tmp").c_str());
        GTEST_SKIP() << "this file system could not make the folder read-only";
    }
    StartProgram(L"\"" + readOnly + L"progetto.vmo\"");
    ASSERT_TRUE(drv::WaitStatusBarText(status, readOnly + L"progetto.vmo"));
    EXPECT_TRUE(TitleIs(main, L" - progetto.vmo"));
    EXPECT_EQ(GetFileAttributesW((readOnly + L"~$progetto.vmo.lock").c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string original = drv::ReadFileBytes(readOnly + L"progetto.vmo");
    DeleteFirstTask();
    Keys('S', drv::kCtrl | drv::kShift);
    ASSERT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"progetto.vmo")).ok) << drv::LastErrorUtf8();
    EXPECT_TRUE(TitleIs(main, L" - progetto.vmo"));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"progetto.vmo")), WithoutFirstTask(original));
    EXPECT_TRUE(LockOf(L"progetto.vmo").has_value()) << "the new file has its lock";
}

}  // namespace
