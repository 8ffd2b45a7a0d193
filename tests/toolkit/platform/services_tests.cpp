// Message boxes, file dialogs, last-error text and shell requests. Each
// dialog is answered by a second thread that finds it among the windows of
// the test's thread and works its controls, as a person would.
#include "toolkit/platform/Services.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/toolkit/TempFolderTest.h"
#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/GUIElement.h"
#include "toolkit/platform/TextConversion.h"

namespace fs = std::filesystem;
using namespace QVUtility;

namespace {

// A top-level window as an element, to own boxes and dialogs.
class OwnerElement : public GUIElement {
public:
    OwnerElement() : GUIElement(nullptr) {}
    void Create() override {
        window = CreateWindowExW(0, L"Static", L"Proprietario", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200,
                                 nullptr, nullptr, nullptr, nullptr);
        created = true;
    }
    ~OwnerElement() override {
        if (window) DestroyWindow(window);
    }
};

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[64] = {};
    GetClassNameW(window, buffer, 64);
    return buffer;
}

// Works the dialogs of the test's thread from a thread of its own. Every wait
// is bounded; a driver that gave up closes whatever dialog is left, so a
// failing test never waits for a person.
class Driver {
public:
    explicit Driver(std::function<void(Driver&)> script)
        : uiThread(GetCurrentThreadId()), worker([this, script] {
              // Windows are found on the desktop of the test's thread.
              SetThreadDesktop(GetThreadDesktop(uiThread));
              script(*this);
              done = true;
          }) {}
    ~Driver() { Finish(); }

    // Keeps the test's thread answering until the script has finished.
    void Finish() {
        while (!done) ToolkitTest::Pump(20);
        if (worker.joinable()) worker.join();
    }

    // The first visible dialog-class window of the test's thread with this
    // title (and this owner, when given) that is not in `skip`.
    HWND WaitForDialog(const std::wstring& title, HWND owner = nullptr, HWND skip = nullptr, int timeoutMs = 60000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < until) {
            Search search{title, owner, skip, nullptr};
            EnumThreadWindows(uiThread, &Driver::Match, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));  // let it finish its set-up
                return search.found;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        std::string seen;
        EnumThreadWindows(
            uiThread,
            [](HWND w, LPARAM data) -> BOOL {
                if (!IsWindowVisible(w)) return TRUE;
                const std::wstring line = ClassOf(w) + L" '" + TextOf(w) + L"'; ";
                reinterpret_cast<std::string*>(data)->append(line.begin(), line.end());
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&seen));
        failures.push_back("no dialog titled " + std::string(title.begin(), title.end()) + " among: " + seen);
        CloseEverything();
        return nullptr;
    }

    // A notice the platform shows over `dialog` (it has no title of its own).
    HWND WaitForNotice(HWND dialog, int timeoutMs = 60000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < until) {
            Search search{L"", dialog, dialog, nullptr};
            search.anyTitle = true;
            EnumThreadWindows(uiThread, &Driver::Match, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                return search.found;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        failures.push_back("no notice over the dialog");
        CloseEverything();
        return nullptr;
    }

    // Waits until the window is gone or hidden.
    bool WaitGone(HWND window, int timeoutMs = 60000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < until) {
            if (!IsWindow(window) || !IsWindowVisible(window)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
        return false;
    }

    static HWND Descendant(HWND root, int id, const wchar_t* className = nullptr) {
        Child child{id, className, nullptr};
        EnumChildWindows(root, &Driver::MatchChild, reinterpret_cast<LPARAM>(&child));
        return child.found;
    }

    static void Click(HWND dialog, int id) {
        HWND button = GetDlgItem(dialog, id);
        if (button) {
            PostMessageW(button, BM_CLICK, 0, 0);
        } else {
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
    }

    // Types a whole name into the file dialog's name field.
    static void SetFileName(HWND dialog, const std::wstring& name) {
        HWND field = Descendant(dialog, 1148, L"Edit");
        if (!field) field = Descendant(dialog, 1152);
        SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    static std::wstring FileName(HWND dialog) {
        HWND field = Descendant(dialog, 1148, L"Edit");
        if (!field) field = Descendant(dialog, 1152);
        return field ? TextOf(field) : L"<no name field>";
    }

    void CloseEverything() {
        for (int round = 0; round < 5; ++round) {
            Search search{L"", nullptr, nullptr, nullptr};
            search.anyTitle = true;
            EnumThreadWindows(uiThread, &Driver::Match, reinterpret_cast<LPARAM>(&search));
            if (!search.found) return;
            PostMessageW(search.found, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(search.found, WM_COMMAND, IDNO, 0);
            PostMessageW(search.found, WM_COMMAND, IDOK, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }

    std::vector<std::string> failures;

private:
    struct Search {
        std::wstring title;
        HWND owner;
        HWND skip;
        HWND found;
        bool anyTitle = false;
    };
    struct Child {
        int id;
        const wchar_t* className;
        HWND found;
    };

    static BOOL CALLBACK Match(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<Search*>(data);
        if (window == search->skip || !IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
        if (!search->anyTitle && TextOf(window) != search->title) return TRUE;
        if (search->owner && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
        search->found = window;
        return FALSE;
    }
    static BOOL CALLBACK MatchChild(HWND window, LPARAM data) {
        auto* child = reinterpret_cast<Child*>(data);
        if (GetDlgCtrlID(window) != child->id) return TRUE;
        if (child->className && ClassOf(window) != child->className) return TRUE;
        child->found = window;
        return FALSE;
    }

    DWORD uiThread;
    std::atomic<bool> done{false};
    std::thread worker;
};

class ServicesTest : public TempFolderTest {
protected:
    ServicesTest() : TempFolderTest("velmora-services-") {}
    static void SetUpTestSuite() { ToolkitTest::UseTestDesktop(); }
    std::wstring WidePathOf(const std::string& name) const { return (folder / name).wstring(); }
    static void Touch(const std::string& path) { std::ofstream(path) << "x"; }
};

// ---- Message boxes ----------------------------------------------------------

TEST_F(ServicesTest, MessageBoxesShowTextCaptionAndIcon) {
    struct Seen {
        std::wstring text;
        bool icon = false;
        bool ownerEnabled = true;
    } error, info, plain;
    OwnerElement owner;
    owner.Create();
    auto look = [&owner](Driver& d, const std::wstring& caption, Seen& seen) {
        HWND box = d.WaitForDialog(caption);
        if (!box) return;
        seen.text = TextOf(GetDlgItem(box, 0xFFFF));
        HWND iconControl = GetDlgItem(box, 0x0440);
        seen.icon = iconControl && IsWindowVisible(iconControl) && SendMessageW(iconControl, STM_GETICON, 0, 0) != 0;
        seen.ownerEnabled = IsWindowEnabled(owner.window) != FALSE;
        Driver::Click(box, IDOK);
        d.WaitGone(box);
    };
    int answers[3] = {};
    {
        Driver driver([&](Driver& d) {
            look(d, L"Errore", error);
            look(d, L"Attenzione", info);
            look(d, L"Esporta", plain);
        });
        answers[0] = ShowError(&owner, std::string("Errore durante la lettura."), std::string("Errore"));
        answers[1] = ShowInfo(&owner, std::string("Data gi\xE0 presente."), std::string("Attenzione"));
        answers[2] =
            ShowMessage(&owner, std::wstring(L"Esportazione effettuata correttamente."), std::wstring(L"Esporta"));
        driver.Finish();
        EXPECT_TRUE(driver.failures.empty()) << driver.failures.front();
    }
    EXPECT_EQ(answers[0], IDOK);
    EXPECT_EQ(answers[1], IDOK);
    EXPECT_EQ(answers[2], IDOK);
    EXPECT_EQ(error.text, L"Errore durante la lettura.");
    EXPECT_EQ(info.text, L"Data gi\u00E0 presente.") << "narrow text is Windows-1252";
    EXPECT_EQ(plain.text, L"Esportazione effettuata correttamente.");
    EXPECT_TRUE(error.icon);
    EXPECT_TRUE(info.icon);
    EXPECT_FALSE(plain.icon);
    EXPECT_FALSE(error.ownerEnabled) << "the owner is disabled while the box is up";
    EXPECT_TRUE(IsWindowEnabled(owner.window)) << "and enabled again afterwards";
}

TEST_F(ServicesTest, QuestionsAreTrueOnlyForYes) {
    OwnerElement owner;
    owner.Create();
    OwnerElement bystander;
    bystander.Create();
    bool bystanderEnabled = true;
    bool ownerEnabledWhenOwned = true;
    bool bystanderEnabledWhenOwned = false;
    std::wstring text;
    bool answers[4] = {};
    {
        Driver driver([&](Driver& d) {
            HWND box = d.WaitForDialog(L"Uscita");
            if (!box) return;
            text = TextOf(GetDlgItem(box, 0xFFFF));
            bystanderEnabled = IsWindowEnabled(bystander.window) != FALSE;
            Driver::Click(box, IDYES);
            d.WaitGone(box);

            box = d.WaitForDialog(L"Uscita");
            if (!box) return;
            Driver::Click(box, IDNO);
            d.WaitGone(box);

            // Escape, as the keyboard gives it to the focused button.
            box = d.WaitForDialog(L"Uscita");
            if (!box) return;
            HWND focused = GetDlgItem(box, IDYES);
            PostMessageW(focused, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            PostMessageW(focused, WM_KEYUP, VK_ESCAPE, 0xC0010001);
            if (!d.WaitGone(box)) {
                d.failures.push_back("Escape did not close the question");
                Driver::Click(box, IDNO);
                d.WaitGone(box);
            }

            box = d.WaitForDialog(L"Cancellazione", owner.window);
            if (!box) return;
            ownerEnabledWhenOwned = IsWindowEnabled(owner.window) != FALSE;
            bystanderEnabledWhenOwned = IsWindowEnabled(bystander.window) != FALSE;
            Driver::Click(box, IDYES);
            d.WaitGone(box);
        });
        answers[0] = AskYesNo(std::string("Vuoi realmente uscire?"), std::string("Uscita"));
        answers[1] = AskYesNo(std::string("Vuoi realmente uscire?"), std::string("Uscita"));
        answers[2] = AskYesNo(std::wstring(L"Vuoi realmente uscire?"), std::wstring(L"Uscita"));
        answers[3] = AskYesNoOwned(&owner, std::string("Si desidera realmente cancellare il task PROVA?"),
                                   std::string("Cancellazione"));
        driver.Finish();
        EXPECT_TRUE(driver.failures.empty()) << driver.failures.front();
    }
    EXPECT_EQ(text, L"Vuoi realmente uscire?");
    EXPECT_TRUE(answers[0]) << "Yes";
    EXPECT_FALSE(answers[1]) << "No";
    EXPECT_FALSE(answers[2]) << "Escape";
    EXPECT_TRUE(answers[3]) << "Yes to the owned question";
    EXPECT_FALSE(bystanderEnabled) << "without owner every window of the thread waits";
    EXPECT_FALSE(ownerEnabledWhenOwned);
    EXPECT_TRUE(bystanderEnabledWhenOwned) << "with an owner only the owner waits";
    EXPECT_TRUE(IsWindowEnabled(owner.window));
    EXPECT_TRUE(IsWindowEnabled(bystander.window));
}

TEST_F(ServicesTest, QuestionThatCannotBeShownIsNoAnswerAndFreesItsOwner) {
    OwnerElement owner;
    owner.Create();
    ToolkitTest::RefuseWindows refused;
    EXPECT_EQ(AskQuestion(&owner, L"Si desidera salvare le modifiche del file?", L"Salva"), Answer::NotShown);
    EXPECT_EQ(AskQuestion(nullptr, L"Vuoi realmente uscire?", L"Uscita"), Answer::NotShown);
    EXPECT_FALSE(AskYesNoOwned(&owner, std::wstring(L"Cancellare?"), std::wstring(L"Cancellazione")));
    EXPECT_LE(ShowError(&owner, std::wstring(L"Errore durante il salvataggio."), std::wstring(L"Errore")), 0);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
}

// ---- Text conversion ---------------------------------------------------------

TEST(TextConversion, FlagsSuitTheCodePageAndLostCharactersAreNamed) {
    EXPECT_EQ(NarrowingFlags(1252), static_cast<DWORD>(WC_NO_BEST_FIT_CHARS));
    EXPECT_EQ(NarrowingFlags(1250), static_cast<DWORD>(WC_NO_BEST_FIT_CHARS));
    EXPECT_EQ(NarrowingFlags(932), static_cast<DWORD>(WC_NO_BEST_FIT_CHARS));
    // The code pages that refuse any flag (ERROR_INVALID_FLAGS on Windows).
    for (UINT codePage : {65001u, 65000u, 54936u, 50220u, 50221u, 50222u, 50225u, 50227u, 50229u, 57002u, 57011u, 42u})
        EXPECT_EQ(NarrowingFlags(codePage), 0u) << codePage;

    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(Narrow(L"\u0141\u00F3d\u017A"),
              "?\xF3"
              "d?")
        << "no look-alike letters";
    EXPECT_EQ(CharactersLostInNarrowing(L"\u0141\u00F3d\u017A \u0141 \u20AC citt\u00E0"), L"\u0141\u017A");
    EXPECT_EQ(CharactersLostInNarrowing(L"Casa \U0001F3E0"), L"\U0001F3E0") << "a surrogate pair is one character";
    EXPECT_EQ(CharactersLostInNarrowing(L"Tetto e propriet\u00E0 \u20AC"), L"");
}

// ---- File dialogs -----------------------------------------------------------

const std::vector<std::string> kProjectFilters = {"File Velmora (*.vmo)", "*.vmo"};
const std::vector<std::string> kBitmapFilters = {"File Bitmap (*.bmp)", "*.bmp"};

TEST_F(ServicesTest, OpenDialogAcceptsOnlyExistingFiles) {
    Touch(PathOf("piano.vmo"));
    OwnerElement owner;
    owner.Create();
    std::wstring filterShown;
    std::wstring refusals[2];
    bool ownerEnabled = true;
    std::string chosen, cancelled;
    {
        Driver driver([&](Driver& d) {
            HWND dialog = d.WaitForDialog(L"Apri", owner.window);
            if (!dialog) return;
            filterShown = TextOf(Driver::Descendant(dialog, 1136));
            ownerEnabled = IsWindowEnabled(owner.window) != FALSE;
            // A file and a folder that do not exist are refused with a notice.
            const std::wstring missing[2] = {WidePathOf("manca.vmo"), WidePathOf("cartella-assente") + L"\\x.vmo"};
            for (int i = 0; i < 2; ++i) {
                Driver::SetFileName(dialog, missing[i]);
                Driver::Click(dialog, IDOK);
                HWND notice = d.WaitForNotice(dialog);
                if (!notice) return;
                HWND label = GetDlgItem(notice, 0xFFFF);
                refusals[i] = label ? TextOf(label) : L"<notice>";
                Driver::Click(notice, IDOK);
                d.WaitGone(notice);
            }
            Driver::SetFileName(dialog, WidePathOf("piano.vmo"));
            Driver::Click(dialog, IDOK);
            d.WaitGone(dialog);

            dialog = d.WaitForDialog(L"Apri");
            if (!dialog) return;
            Driver::Click(dialog, IDCANCEL);
            d.WaitGone(dialog);
        });
        chosen = AskOpenFileName(&owner, "Apri", "", kProjectFilters);
        cancelled = AskOpenFileName(nullptr, "Apri", PathOf(""), kProjectFilters);
        driver.Finish();
        EXPECT_TRUE(driver.failures.empty()) << driver.failures.front();
    }
    EXPECT_EQ(chosen, PathOf("piano.vmo"));
    EXPECT_EQ(cancelled, "");
    EXPECT_EQ(filterShown, L"File Velmora (*.vmo)");
    EXPECT_FALSE(refusals[0].empty());
    EXPECT_FALSE(refusals[1].empty());
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.window));
}

TEST_F(ServicesTest, SaveDialogProposesTheNameAndAsksBeforeReplacing) {
    Touch(PathOf("Disegno.bmp"));
    std::wstring proposed, emptyProposal = L"<not seen>";
    std::wstring question;
    std::string replaced, typedName, cancelled;
    {
        Driver driver([&](Driver& d) {
            HWND dialog = d.WaitForDialog(L"Salva");
            if (!dialog) return;
            proposed = Driver::FileName(dialog);
            // Replacing an existing file: No keeps the dialog open, Yes accepts.
            Driver::SetFileName(dialog, WidePathOf("Disegno.bmp"));
            Driver::Click(dialog, IDOK);
            HWND ask = d.WaitForDialog(L"Salva", dialog, dialog);
            if (!ask) return;
            question = TextOf(GetDlgItem(ask, 0xFFFF));
            Driver::Click(ask, IDNO);
            d.WaitGone(ask);
            if (!IsWindowVisible(dialog)) d.failures.push_back("No closed the save dialog");
            Driver::Click(dialog, IDOK);
            ask = d.WaitForDialog(L"Salva", dialog, dialog);
            if (!ask) return;
            Driver::Click(ask, IDYES);
            d.WaitGone(dialog);

            // Empty default name, a bare name in the initial folder, no
            // extension added.
            dialog = d.WaitForDialog(L"Salva");
            if (!dialog) return;
            emptyProposal = Driver::FileName(dialog);
            Driver::SetFileName(dialog, L"prova");
            Driver::Click(dialog, IDOK);
            d.WaitGone(dialog);

            dialog = d.WaitForDialog(L"Salva");
            if (!dialog) return;
            Driver::Click(dialog, IDCANCEL);
            d.WaitGone(dialog);
        });
        replaced = AskSaveFileName(nullptr, "Salva", "", "Disegno.bmp", kBitmapFilters);
        typedName = AskSaveFileName(nullptr, "Salva", folder.string(), "", kProjectFilters);
        cancelled = AskSaveFileName(nullptr, "Salva", "", "Velmora.vmo", kProjectFilters);
        driver.Finish();
        EXPECT_TRUE(driver.failures.empty()) << driver.failures.front();
    }
    EXPECT_EQ(proposed, L"Disegno.bmp");
    EXPECT_FALSE(question.empty());
    EXPECT_EQ(replaced, PathOf("Disegno.bmp"));
    EXPECT_EQ(emptyProposal, L"");
    EXPECT_EQ(typedName, PathOf("prova"));
    EXPECT_EQ(cancelled, "");
}

// ---- Last error and shell -------------------------------------------------

TEST_F(ServicesTest, LastErrorTextFollowsTheErrorCode) {
    SetLastError(0);
    EXPECT_EQ(LastErrorText(), "");

    HANDLE missing =
        CreateFileW(WidePathOf("assente.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(missing, INVALID_HANDLE_VALUE);
    const DWORD code = GetLastError();
    const std::string afterFailure = LastErrorText();
    ASSERT_FALSE(afterFailure.empty());
    EXPECT_EQ(afterFailure.back(), '\n') << "the system text keeps its line break";
    SetLastError(code);
    EXPECT_EQ(LastErrorText(), afterFailure);
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_NE(LastErrorText(), afterFailure);

    SetLastError(0x20001234);  // an application's own code: no system text
    EXPECT_EQ(LastErrorText(), "");
}

TEST_F(ServicesTest, ShellOpenRunsTheAssociatedProgram) {
    // A batch file is opened by the command processor, which leaves a mark.
    const std::string script = PathOf("segno.bat");
    const std::string mark = PathOf("segno.txt");
    {
        std::ofstream out(script);
        out << "@echo fatto> \"" << mark << "\"\r\n";
    }
    EXPECT_TRUE(ShellOpen(script));
    bool marked = false;
    for (int i = 0; i < 1200 && !marked; ++i) {  // up to a minute
        marked = fs::exists(mark);
        if (!marked) Sleep(50);
    }
    EXPECT_TRUE(marked) << "the request really ran the program";

    EXPECT_FALSE(ShellOpen(PathOf("inesistente.vmo")));
    EXPECT_FALSE(ShellOpen(""));
}

}  // namespace
