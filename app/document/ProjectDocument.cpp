// The project's file and its recovery copy kept by the document:
//
// - While the project has unsaved changes a recovery copy of it is written,
//   on a thread of its own (app/safety/RecoveryFolder.h); it goes when the
//   project is saved, given up, replaced, or the program ends cleanly.
// - While a project file is open for changing, a lock file beside it tells
//   other programs (and other users on a shared folder) who has it; a
//   second program opens it read-only.
// - The file's size and time are kept from its reading or writing: a save
//   over a file that another program changed meanwhile asks first.
#include "app/document/ProjectDocument.h"

#include <windows.h>

#include "app/safety/Identity.h"
#include "app/safety/LastWords.h"
#include "app/safety/RecoveryFolder.h"
#include "file/LineFile.h"
#include "model/WideText.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/MessageBoxes.h"

namespace MyApp {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds EndBound{3000};

LockOwner OwnerNow(const WorkSafety& safety) {
    LockOwner owner = safety.me;
    owner.since = TimeText(LocalNow());
    return owner;
}

}  // namespace

const wchar_t* const ChangedByOtherProgram = L"Il file è stato modificato da un altro programma dopo l'apertura.";

bool SamePath(const std::string& a, const std::string& b) {
    const std::wstring wideA = Widen(a), wideB = Widen(b);
    return !wideA.empty() && CompareStringOrdinal(wideA.c_str(), static_cast<int>(wideA.size()), wideB.c_str(),
                                                  static_cast<int>(wideB.size()), TRUE) == CSTR_EQUAL;
}

ProjectDocument::ProjectDocument(QVUtility::GUIElement* askingWindow) : asker(askingWindow) {}

ProjectDocument::~ProjectDocument() = default;

// ---- Start and end ------------------------------------------------------------------

void ProjectDocument::StartSafety() {
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
    }
}

void ProjectDocument::EndSafety() {
    if (safety == nullptr) return;
    WorkSafety& s = *safety;
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

bool ProjectDocument::OpenedReadOnly() const { return safety != nullptr && safety->readOnly; }

// ---- The project's file ---------------------------------------------------------------

bool ProjectDocument::ClaimFile(const std::string& path, FileClaim& claim) {
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
    if (QVUtility::AskQuestion(asker, question, L"Apri") != QVUtility::Answer::Yes) return false;
    claim.readOnly = true;
    return true;
}

void ProjectDocument::DropClaim(const FileClaim& claim) {
    if (safety != nullptr && claim.lockMade) ReleaseLock(LockFilePath(claim.path), safety->me);
}

void ProjectDocument::TakeFile(const FileClaim& claim) {
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

void ProjectDocument::AdoptFile(const FileClaim& claim) {
    TakeFile(claim);
    DiscardRecoveryCopy();
}

void ProjectDocument::LeaveFile() {
    if (safety == nullptr) return;
    TakeFile(FileClaim());
    DiscardRecoveryCopy();
}

void ProjectDocument::FollowSavedFile() {
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

ProjectDocument::ChangedFileAnswer ProjectDocument::AskAboutChangedFile() {
    if (safety == nullptr || !safety->stamp.present || safety->stampPath != project.filePath)
        return ChangedFileAnswer::Overwrite;
    const FileStamp now = ReadFileStamp(project.filePath);
    // A file that has gone is written again: nothing of it is lost.
    if (!now.present || now == safety->stamp) return ChangedFileAnswer::Overwrite;
    switch (QVUtility::AskYesNoCancel(asker, std::wstring(ChangedByOtherProgram) + L" Sovrascriverlo?", L"Salva")) {
    case QVUtility::Choice::Yes: return ChangedFileAnswer::Overwrite;
    case QVUtility::Choice::No: return ChangedFileAnswer::SaveElsewhere;
    case QVUtility::Choice::Cancel:
    case QVUtility::Choice::NotShown: break;
    }
    return ChangedFileAnswer::Cancel;
}

// ---- The recovery copy --------------------------------------------------------------------

void ProjectDocument::DiscardRecoveryCopy() {
    if (safety == nullptr) return;
    if (safety->writer != nullptr) safety->writer->Discard();
    safety->lastAsked = Clock::now();
}

void ProjectDocument::HandChangeToRecovery() {
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

}  // namespace MyApp
