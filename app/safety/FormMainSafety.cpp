// The main window keeps the user's work safe:
//
// - While the project has unsaved changes a recovery copy of it is written,
//   on a thread of its own, every few minutes (RecoveryFolder.h); it goes
//   when the project is saved, given up, replaced, or the program ends
//   cleanly. At the next start the newest copy of a run that did not end
//   cleanly is offered.
// - While a project file is open for changing, a lock file beside it tells
//   other programs (and other users on a shared folder) who has it; a
//   second program opens it read-only.
// - The file's size and time are kept from its reading or writing: a save
//   over a file that another program changed meanwhile asks first, and
//   coming back to the program offers to read the file again.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <unordered_map>

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
constexpr std::chrono::milliseconds EndBound{3000};
constexpr UINT ReturnDelay = 50;  // ms after the activation, once it has settled

const wchar_t* const ChangedByOtherProgram = L"Il file è stato modificato da un altro programma dopo l'apertura.";

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

// Two paths of one file: equal without regard to letter case.
bool SamePath(const std::string& a, const std::string& b) {
    const std::wstring wideA = Widen(a), wideB = Widen(b);
    return !wideA.empty() && CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

std::wstring FileNameOf(const std::string& path) {
    if (path.empty()) return L"Senza nome";
    const std::wstring wide = Widen(path);
    return PathFindFileNameW(wide.c_str());
}

LockOwner OwnerNow(const WorkSafety& safety) {
    LockOwner owner = safety.me;
    owner.since = TimeText(LocalNow());
    return owner;
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
    safety = std::make_unique<WorkSafety>();
    WorkSafety& s = *safety;
    s.me = ThisProgramAsOwner();
    s.copyPath = RecoveryCopyPath(s.me.process);
    s.recordPath = RecoveryRecordPath(s.me.process);
    s.interval = RecoveryInterval();
    s.lastAsked = Clock::now();
    if (s.interval.count() > 0) {
        s.writer = std::make_unique<RecoveryWriter>(
            RecoveryWriter::Target{s.copyPath, s.recordPath, [] { return MakeRecoveryFolder(); }});
        SetLastWordsWriter(s.writer.get());
        const auto tick = std::clamp(s.interval, ShortestTick, LongestTick);
        s.tickTimer = SetTimer(nullptr, 0, static_cast<UINT>(tick.count()), &FormMain::SafetyTimerProc);
        if (s.tickTimer != 0) TimerOwners()[s.tickTimer] = this;
    }
    if (window != nullptr) SetWindowSubclass(window, &FormMain::SafetySubclass, 0, reinterpret_cast<DWORD_PTR>(this));
}

void FormMain::EndWorkSafety() {
    if (safety == nullptr) return;
    WorkSafety& s = *safety;
    if (window != nullptr) RemoveWindowSubclass(window, &FormMain::SafetySubclass, 0);
    StopTimer(s.tickTimer);
    StopTimer(s.returnTimer);
    if (s.writer != nullptr) {
        if (LastWordsWriter() == s.writer.get()) SetLastWordsWriter(nullptr);
        s.writer->RemoveFiles();
        s.writer->Stop(EndBound);
    } else {
        RemoveFile(s.copyPath);
        RemoveFile(s.recordPath);
    }
    if (!s.lockPath.empty()) ReleaseLock(s.lockPath, s.me);
    safety.reset();
}

bool FormMain::OpenedReadOnly() const { return safety != nullptr && safety->readOnly; }

// ---- The project's file ---------------------------------------------------------------

bool FormMain::ClaimFile(const std::string& path, FileClaim& claim) {
    claim.path = path;
    claim.stamp = ReadFileStamp(path);
    if (safety == nullptr) return true;
    const std::string lock = LockFilePath(path);
    if (!safety->lockPath.empty() && SamePath(safety->lockPath, lock)) {
        claim.locked = true;
        return true;
    }
    const LockAttempt attempt = TakeLock(lock, OwnerNow(*safety), &ProcessRunning);
    switch (attempt.outcome) {
    case LockOutcome::Taken:
        claim.locked = true;
        claim.lockMade = attempt.made;
        return true;
    case LockOutcome::Refused: return true;  // read-only media: the project opens without a lock
    case LockOutcome::HeldElsewhere: break;
    }
    const std::wstring question =
        L"Il progetto è aperto da " + ShownOwner(attempt.holder) + L". Aprirlo in sola lettura?";
    if (QVUtility::AskQuestion(this, question, L"Apri") != QVUtility::Answer::Yes) return false;
    claim.readOnly = true;
    return true;
}

void FormMain::DropClaim(const FileClaim& claim) {
    if (safety != nullptr && claim.lockMade) ReleaseLock(LockFilePath(claim.path), safety->me);
}

void FormMain::TakeFile(const FileClaim& claim) {
    if (safety == nullptr) return;
    WorkSafety& s = *safety;
    const std::string lock = LockFilePath(claim.path);
    if (!s.lockPath.empty() && !SamePath(s.lockPath, lock)) ReleaseLock(s.lockPath, s.me);
    s.lockPath = claim.locked ? lock : std::string();
    s.readOnly = claim.readOnly;
    s.stampPath = claim.path;
    s.stamp = claim.stamp;
    s.toldStamp = FileStamp();
}

void FormMain::AdoptFile(const FileClaim& claim) {
    TakeFile(claim);
    DiscardRecoveryCopy();
}

void FormMain::LeaveFile() {
    if (safety == nullptr) return;
    TakeFile(FileClaim());
    DiscardRecoveryCopy();
}

void FormMain::FollowSavedFile() {
    if (safety == nullptr) return;
    WorkSafety& s = *safety;
    FileClaim saved;
    saved.path = project.filePath;
    saved.stamp = ReadFileStamp(project.filePath);
    const std::string lock = LockFilePath(project.filePath);
    if (!s.lockPath.empty() && SamePath(s.lockPath, lock)) {
        saved.locked = true;
    } else {
        saved.locked = TakeLock(lock, OwnerNow(s), &ProcessRunning).outcome == LockOutcome::Taken;
    }
    TakeFile(saved);
    DiscardRecoveryCopy();
}

FormMain::ChangedFileAnswer FormMain::AskAboutChangedFile() {
    if (safety == nullptr || !safety->stamp.present || safety->stampPath != project.filePath)
        return ChangedFileAnswer::Overwrite;
    const FileStamp now = ReadFileStamp(project.filePath);
    // A file that has gone is written again: nothing of it is lost.
    if (!now.present || now == safety->stamp) return ChangedFileAnswer::Overwrite;
    switch (QVUtility::AskYesNoCancel(this, std::wstring(ChangedByOtherProgram) + L" Sovrascriverlo?", L"Salva")) {
    case QVUtility::Choice::Yes: return ChangedFileAnswer::Overwrite;
    case QVUtility::Choice::No: return ChangedFileAnswer::SaveElsewhere;
    case QVUtility::Choice::Cancel:
    case QVUtility::Choice::NotShown: break;
    }
    return ChangedFileAnswer::Cancel;
}

// ---- The recovery copy --------------------------------------------------------------------

void FormMain::DiscardRecoveryCopy() {
    if (safety == nullptr) return;
    if (safety->writer != nullptr) safety->writer->Discard();
    safety->lastAsked = Clock::now();
}

void FormMain::HandChangeToRecovery() {
    if (safety == nullptr || safety->writer == nullptr) return;
    WorkSafety& s = *safety;
    if (!project.modified) {
        s.writer->Discard();  // back at the state saved: nothing to recover
        return;
    }
    RecoveryRecord record;
    record.projectPath = project.filePath;
    if (s.stampPath == project.filePath) record.fileStamp = s.stamp;
    try {
        s.writer->Hand(std::make_shared<const Project>(project), record);
    } catch (...) {
        QVUtility::IgnoreException("recovery snapshot");  // no memory for it: the last one stays
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - s.lastAsked >= s.interval) {
        s.writer->WriteNow();
        s.lastAsked = now;
    }
}

bool FormMain::OfferRecoveryCopy() {
    if (safety == nullptr) return false;
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
    if (!copy.record.projectPath.empty() && !ClaimFile(copy.record.projectPath, claim)) return false;
    // The copy becomes this program's own, in one step: no other program
    // takes it now, and this one ending abnormally before writing its own
    // leaves it for the next start.
    WorkSafety& s = *safety;
    const auto move = [](const std::string& from, const std::string& to) {
        return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    };
    if (!move(copy.copyPath, s.copyPath)) {
        DropClaim(claim);
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
        DropClaim(claim);
        QVUtility::ShowError(this,
                             std::wstring(loaded == LoadResult::FormatError ? L"Formato non valido."
                                                                            : L"Errore durante la lettura."),
                             std::wstring(L"Errore"));
        return false;
    }
    TakeFile(claim);
    // The file as the program that wrote the copy knew it: "&Salva" asks
    // when another program has changed it since.
    s.stamp = copy.record.fileStamp;
    SetFilePath(copy.record.projectPath);
    project.modified = true;
    SelectTask(0);
    history.Clear(project);
    RefreshChart();
    EnableProjectCommands();
    HandChangeToRecovery();
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
    if (safety == nullptr) return;
    WorkSafety& s = *safety;
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
    if (back && form->safety != nullptr && form->safety->returnTimer == 0) {
        form->safety->returnTimer = SetTimer(nullptr, 0, ReturnDelay, &FormMain::SafetyTimerProc);
        if (form->safety->returnTimer != 0) TimerOwners()[form->safety->returnTimer] = form;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

void FormMain::CheckFileOnReturn() {
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
