#include "file/ProjectLock.h"

#include <chrono>
#include <thread>

#include "file/KeyValueLines.h"
#include "file/LineFile.h"

#ifdef _WIN32
#include <windows.h>

#include "model/WideText.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace MyApp {

namespace {

constexpr const char* UserKey = "user";
constexpr const char* ComputerKey = "computer";
constexpr const char* SinceKey = "since";
constexpr const char* ProcessKey = "process";
constexpr const char* StartedKey = "started";

// Attempts at making the lock: a stale lock taken away, or another program
// making its own meanwhile, sends the attempt round again.
constexpr int Attempts = 4;
// Readings of a lock that is not (yet) one: another program may be writing
// it just now. Only bytes that stay no lock for half a second are junk.
constexpr int Readings = 10;
constexpr auto ReadingPause = std::chrono::milliseconds(50);

// User and computer names compare as Windows compares them: without regard
// to the case of the ASCII letters.
bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

enum class Made { Made, Exists, Refused };

// Makes the file only when there is none (in one step, so that of two
// programs making it at once one only succeeds), hidden, with `content`.
Made MakeNewFile(const std::string& path, const std::string& content) {
#ifdef _WIN32
    const std::wstring wide = Widen(path);
    if (wide.empty()) return Made::Refused;
    HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return Made::Exists;
        // A file being deleted answers "access denied" too.
        if (error == ERROR_ACCESS_DENIED && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES)
            return Made::Exists;
        return Made::Refused;
    }
    DWORD wrote = 0;
    const bool written = WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &wrote, nullptr) &&
                         wrote == content.size();
    const bool closed = CloseHandle(file) != 0;
#else
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno == EEXIST ? Made::Exists : Made::Refused;
    bool written = true;
    std::size_t done = 0;
    while (written && done < content.size()) {
        const ssize_t n = write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    const bool closed = close(fd) == 0;
#endif
    if (written && closed) return Made::Made;
    RemoveFile(path);
    return Made::Refused;
}

// The lock file's bytes; false when there is no file to read.
bool ReadLock(const std::string& path, std::string& bytes) {
    bool tooLarge = false;
    return ReadFileBytes(path, bytes, tooLarge, 64 * 1024) || tooLarge;
}

// The lock as it stands: its bytes and, when they are a lock, its owner.
// An unreadable lock is read again a few times, in case another program is
// writing it just now. False when the file has gone.
bool ReadSettledLock(const std::string& path, std::string& bytes, std::optional<LockOwner>& owner) {
    for (int reading = 0; reading < Readings; ++reading) {
        if (reading > 0) std::this_thread::sleep_for(ReadingPause);
        if (!ReadLock(path, bytes)) return false;
        owner = ParseLock(bytes);
        if (owner) return true;
    }
    return true;
}

}  // namespace

std::string LockFilePath(const std::string& projectPath) {
    const std::size_t slash = projectPath.find_last_of("\\/");
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    return projectPath.substr(0, nameAt) + "~$" + projectPath.substr(nameAt) + ".lock";
}

std::vector<std::string> FormatLock(const LockOwner& owner) {
    return {KeyValueLine(UserKey, owner.user), KeyValueLine(ComputerKey, owner.computer),
            KeyValueLine(SinceKey, owner.since), KeyValueLine(ProcessKey, std::to_string(owner.process.id)),
            KeyValueLine(StartedKey, std::to_string(owner.process.started))};
}

std::optional<LockOwner> ParseLock(std::string_view bytes) {
    const std::optional<std::string> user = ValueOf(bytes, UserKey);
    const std::optional<std::string> computer = ValueOf(bytes, ComputerKey);
    const std::optional<std::string> process = ValueOf(bytes, ProcessKey);
    const std::optional<std::string> started = ValueOf(bytes, StartedKey);
    if (!user || !computer || !process || !started) return std::nullopt;
    const std::optional<std::uint64_t> id = NumberOf(*process);
    const std::optional<std::uint64_t> start = NumberOf(*started);
    if (!id || *id > 0xFFFFFFFFu || !start) return std::nullopt;
    LockOwner owner;
    owner.user = *user;
    owner.computer = *computer;
    owner.since = ValueOf(bytes, SinceKey).value_or(std::string());
    owner.process = ProcessMark{static_cast<std::uint32_t>(*id), *start};
    return owner;
}

LockStanding JudgeLock(const LockOwner& found, const LockOwner& me, const ProcessProbe& running) {
    if (!SameName(found.user, me.user) || !SameName(found.computer, me.computer)) return LockStanding::HeldElsewhere;
    if (found.process == me.process) return LockStanding::Ours;
    return running(found.process) ? LockStanding::HeldElsewhere : LockStanding::Stale;
}

LockAttempt TakeLock(const std::string& lockPath, const LockOwner& me, const ProcessProbe& running) {
    const std::string content = JoinLines(FormatLock(me));
    LockAttempt attempt;
    for (int round = 0; round < Attempts; ++round) {
        switch (MakeNewFile(lockPath, content)) {
        case Made::Made:
            attempt.outcome = LockOutcome::Taken;
            attempt.made = true;
            return attempt;
        case Made::Refused: attempt.outcome = LockOutcome::Refused; return attempt;
        case Made::Exists: break;
        }
        std::string bytes;
        std::optional<LockOwner> found;
        if (!ReadSettledLock(lockPath, bytes, found)) continue;  // gone meanwhile: make it again
        if (found) {
            switch (JudgeLock(*found, me, running)) {
            case LockStanding::Ours: attempt.outcome = LockOutcome::Taken; return attempt;
            case LockStanding::HeldElsewhere:
                attempt.outcome = LockOutcome::HeldElsewhere;
                attempt.holder = *found;
                return attempt;
            case LockStanding::Stale: break;
            }
        }
        // A stale lock, or bytes that are no lock at all: taken away, unless
        // another program has put its own in their place meanwhile.
        std::string again;
        if (ReadLock(lockPath, again) && again == bytes && !RemoveFile(lockPath)) {
            attempt.outcome = LockOutcome::Refused;
            return attempt;
        }
    }
    // Another program keeps making the lock as fast as it goes: it has it.
    std::string bytes;
    std::optional<LockOwner> found;
    if (ReadSettledLock(lockPath, bytes, found) && found) {
        attempt.outcome = LockOutcome::HeldElsewhere;
        attempt.holder = *found;
    } else {
        attempt.outcome = LockOutcome::Refused;
    }
    return attempt;
}

std::optional<LockOwner> LockHeldElsewhere(const std::string& lockPath, const LockOwner& me,
                                           const ProcessProbe& running) {
    std::string bytes;
    std::optional<LockOwner> found;
    if (!ReadSettledLock(lockPath, bytes, found) || !found) return std::nullopt;
    if (JudgeLock(*found, me, running) != LockStanding::HeldElsewhere) return std::nullopt;
    return found;
}

bool ReleaseLock(const std::string& lockPath, const LockOwner& me) {
    std::string bytes;
    if (!ReadLock(lockPath, bytes)) return false;
    const std::optional<LockOwner> found = ParseLock(bytes);
    if (!found || found->process != me.process || !SameName(found->user, me.user) ||
        !SameName(found->computer, me.computer))
        return false;
    return RemoveFile(lockPath);
}

}  // namespace MyApp
