// The main window's part in keeping the user's work safe (the document
// keeps the file, its lock and the recovery copy: ProjectDocument.h):
//
// - The recovery copy is written when due on a timer of the window's
//   thread, and the user told once when it cannot be.
// - At start the newest copy of a run that did not end cleanly is offered.
// - Coming back to the program offers to read the project's file again
//   when another program changed it meanwhile.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

#include "app/document/ProjectDocument.h"
#include "app/main/FormMain.h"
#include "app/safety/Identity.h"
#include "app/safety/LastWords.h"
#include "app/safety/RecoveryFolder.h"
#include "app/safety/WorkSafety.h"
#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "model/WideText.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/MessageBoxes.h"

#include <shlwapi.h>

namespace MyApp {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds LongestTick{1000};
constexpr std::chrono::milliseconds ShortestTick{100};
constexpr UINT ReturnDelay = 50;  // ms after the activation, once it has settled

// The main windows whose thread timers these are.
std::unordered_map<UINT_PTR, FormMain*>& TimerOwners() {
    static std::unordered_map<UINT_PTR, FormMain*> owners;
    return owners;
}

void StopTimer(UINT_PTR& timer) {
    if (timer == 0) return;
    KillTimer(nullptr, timer);
    TimerOwners().erase(timer);
    timer = 0;
}

std::wstring FileNameOf(const std::string& path) {
    if (path.empty()) return L"Senza nome";
    const std::wstring wide = Widen(path);
    return PathFindFileNameW(wide.c_str());
}

}  // namespace

bool MayWriteProjectFile(QVUtility::GUIElement* owner, const std::string& path) {
    const std::optional<LockOwner> holder =
        LockHeldElsewhere(LockFilePath(path), ThisProgramAsOwner(), &ProcessRunning);
    if (!holder) return true;
    QVUtility::ShowMessage(owner, L"Il progetto è aperto da " + ShownOwner(*holder) + L". Scegliere un altro nome.",
                           std::wstring(L"Salva"));
    return false;
}

// ---- Start and end ------------------------------------------------------------------

void FormMain::StartWorkSafety() {
    document.StartSafety();
    WorkSafety& s = *document.Safety();
    if (s.writer != nullptr) {
        const auto tick = std::clamp(s.interval, ShortestTick, LongestTick);
        s.tickTimer = SetTimer(nullptr, 0, static_cast<UINT>(tick.count()), &FormMain::SafetyTimerProc);
        if (s.tickTimer != 0) TimerOwners()[s.tickTimer] = this;
    }
    if (window != nullptr) SetWindowSubclass(window, &FormMain::SafetySubclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void FormMain::EndWorkSafety() {
    WorkSafety* s = document.Safety();
    if (s == nullptr) return;
    if (window != nullptr) RemoveWindowSubclass(window, &FormMain::SafetySubclass, 0);
    StopTimer(s->tickTimer);
    StopTimer(s->returnTimer);
    document.EndSafety();
}

// ---- The recovery copy --------------------------------------------------------------------

bool FormMain::OfferRecoveryCopy() {
    if (document.Safety() == nullptr) return false;
    RemoveAbandonedPieces();
    const std::vector<FoundCopy> copies = FindRecoveryCopies();
    const std::optional<std::size_t> offered = CopyToOffer(copies, &ProcessRunning);
    if (!offered) return false;
    const FoundCopy& copy = copies[*offered];
    const std::wstring question = L"È stato trovato un progetto non salvato (" +
                                  FileNameOf(copy.record.projectPath) + L", " +
                                  Widen(ShownTime(copy.record.savedAt)) + L"). Ripristinarlo?";
    switch (QVUtility::AskQuestion(this, question, L"Ripristino")) {
    case QVUtility::Answer::Yes: break;
    case QVUtility::Answer::No:
        RemoveFile(copy.copyPath);
        RemoveFile(copy.recordPath);
        return false;
    case QVUtility::Answer::NotShown: return false;
    }
    // The project's file first: a "No" to opening it read-only keeps the copy.
    FileClaim claim;
    if (!copy.record.projectPath.empty() && !document.ClaimFile(copy.record.projectPath, claim)) return false;
    // The copy becomes this program's own, in one step: no other program
    // takes it now, and this one ending abnormally before writing its own
    // leaves it for the next start.
    WorkSafety& s = *document.Safety();
    const auto move = [](const std::string& from, const std::string& to) {
        return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    };
    if (!move(copy.copyPath, s.copyPath)) {
        document.DropClaim(claim);
        QVUtility::ShowError(this, std::wstring(L"Errore durante la lettura."), std::wstring(L"Errore"));
        return false;
    }
    move(copy.recordPath, s.recordPath);
    LoadResult loaded = LoadResult::OpenFailed;
    try {
        loaded = LoadProjectFile(s.copyPath, project);
    } catch (...) {
        QVUtility::IgnoreException("recovery copy");
    }
    if (loaded != LoadResult::Ok) {
        // The user did not give the copy up: it goes back under the name of
        // the program that wrote it, to be offered again at the next start,
        // rather than be removed with this program's own.
        move(s.copyPath, copy.copyPath);
        move(s.recordPath, copy.recordPath);
        document.DropClaim(claim);
        QVUtility::ShowError(this,
                             std::wstring(loaded == LoadResult::FormatError ? L"Formato non valido."
                                                                            : L"Errore durante la lettura."),
                             std::wstring(L"Errore"));
        return false;
    }
    document.TakeFile(claim);
    // The file as the program that wrote the copy knew it: "&Salva" asks
    // when another program has changed it since.
    s.stamp = copy.record.fileStamp;
    SetFilePath(copy.record.projectPath);
    project.modified = true;
    SelectTask(0);
    history.Clear(project);
    RefreshChart();
    EnableProjectCommands();
    document.HandChangeToRecovery();
    if (s.writer != nullptr) {
        s.writer->WriteNow();  // the copy under this program's own record
        s.lastAsked = Clock::now();
    }
    return true;
}

void FormMain::OpenAtStart(const std::string& named) {
    const bool restored = OfferRecoveryCopy();
    if (named.empty()) return;
    // The restored project is the file named: it is open already.
    if (restored && !project.filePath.empty() && SamePath(named, project.filePath)) return;
    if (restored && !OfferToSave()) return;
    OpenProjectFile(named);
}

// ---- Timers and coming back -------------------------------------------------------------------

void CALLBACK FormMain::SafetyTimerProc(HWND, UINT, UINT_PTR timer, DWORD) {
    const auto found = TimerOwners().find(timer);
    if (found == TimerOwners().end()) {
        KillTimer(nullptr, timer);
        return;
    }
    try {
        found->second->OnSafetyTimer(timer);
    } catch (...) {
        QVUtility::IgnoreException("safety timer");
    }
}

void FormMain::OnSafetyTimer(UINT_PTR timer) {
    if (document.Safety() == nullptr) return;
    WorkSafety& s = *document.Safety();
    if (timer == s.returnTimer) {
        StopTimer(s.returnTimer);
        CheckFileOnReturn();
        return;
    }
    if (s.writer == nullptr) return;
    const Clock::time_point now = Clock::now();
    if (!s.writer->UpToDate() && now - s.lastAsked >= s.interval) {
        s.writer->WriteNow();
        s.lastAsked = now;
    }
    // Said once, when nothing else is asked: never over a dialog the user types in.
    if (!s.failureTold && s.writer->Failures() > 0 && modalDialog == nullptr && window != nullptr &&
        IsWindowEnabled(window)) {
        s.failureTold = true;
        QVUtility::ShowMessage(this,
                               L"Impossibile scrivere la copia di recupero del progetto in " +
                                   Widen(RecoveryFolder()) +
                                   L". Finché il progetto non viene salvato, un arresto improvviso del programma "
                                   L"ne farebbe perdere le modifiche.",
                               std::wstring(L"Attenzione"));
    }
}

LRESULT CALLBACK FormMain::SafetySubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
    // The program becomes the active one again, coming from another (or
    // from none: the window was minimised): once the activation is over,
    // the project's file is looked at.
    bool back = false;
    if (message == WM_ACTIVATEAPP) {
        back = wParam != FALSE;
    } else if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
        DWORD process = 0;
        if (HWND previous = reinterpret_cast<HWND>(lParam)) GetWindowThreadProcessId(previous, &process);
        back = process != GetCurrentProcessId();
    }
    auto* form = reinterpret_cast<FormMain*>(data);
    WorkSafety* safety = form->document.Safety();
    if (back && safety != nullptr && safety->returnTimer == 0) {
        safety->returnTimer = SetTimer(nullptr, 0, ReturnDelay, &FormMain::SafetyTimerProc);
        if (safety->returnTimer != 0) TimerOwners()[safety->returnTimer] = form;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void FormMain::CheckFileOnReturn() {
    WorkSafety* safety = document.Safety();
    if (safety == nullptr || project.filePath.empty() || safety->stampPath != project.filePath ||
        !safety->stamp.present)
        return;
    // Not over a dialog or a question: the check waits for the next return.
    if (modalDialog != nullptr || window == nullptr || !IsWindowEnabled(window)) return;
    const FileStamp now = ReadFileStamp(project.filePath);
    if (!now.present || now == safety->stamp || now == safety->toldStamp) return;
    safety->toldStamp = now;
    if (project.modified) {
        QVUtility::ShowMessage(this, std::wstring(ChangedByOtherProgram) + L" Al salvataggio verrà chiesto se sovrascriverlo.",
                               std::wstring(L"Attenzione"));
        return;
    }
    if (!QVUtility::AskYesNoOwned(this, std::wstring(ChangedByOtherProgram) + L" Ricaricarlo?",
                                  std::wstring(L"Attenzione")))
        return;
    const std::string path = project.filePath;
    OpenProjectFile(path);
}

}  // namespace MyApp
