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
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace MyApp {

namespace {

constexpr const char* UserKey = "user";
constexpr const char* ComputerKey = "computer";
constexpr const char* SinceKey = "since";
constexpr const char* ProcessKey = "process";
constexpr const char* StartedKey = "started";

// A stale lock taken away, or another program making, reading or removing
// the lock just now, sends the attempt at making it round again, after a
// short pause, for a while at the most.
constexpr auto AttemptsFor = std::chrono::seconds(2);
constexpr auto AttemptPause = std::chrono::milliseconds(5);
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

// A lock file is small: larger files are junk, read no further.
constexpr std::size_t LockBytesLimit = 64 * 1024;

// The lock file's bytes; false when there is no file to read.
bool ReadLock(const std::string& path, std::string& bytes) {
    bool tooLarge = false;
    return ReadFileBytes(path, bytes, tooLarge, LockBytesLimit) || tooLarge;
}

enum class Removal { Removed, Changed, Refused };

// Whether the first `size` bytes of `read` are the lock's bytes as ReadLock
// gave them (nothing, for a file too large to be a lock).
bool SameLockBytes(std::string& read, std::size_t size, const std::string& bytes) {
    read.resize(size > LockBytesLimit ? 0 : size);
    return read == bytes;
}

// Removes the lock file only when it still holds `bytes`, read before.
// Between that reading and the removal another program may have taken the
// stale lock away and made its own fresh one: that one must stay. So the
// file is held open while it is read again and removed, in a way that lets
// no other program remove it meanwhile. Changed: it holds other bytes, has
// gone or is busy (look again); Refused: it may not be removed here.
Removal RemoveUnchangedLock(const std::string& path, const std::string& bytes) {
    std::string now(LockBytesLimit + 1, '\0');
    std::size_t size = 0;
#ifdef _WIN32
    // Shared for reading only: while it is open here no other program can
    // write, rename or remove the file, so the file read is the one removed.
    const std::wstring wide = Widen(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // Gone, or open in another program (being written, read or removed).
        // The same lock, still there to be read yet not to be removed, is not
        // this program's to remove.
        std::string readable;
        return GetLastError() == ERROR_ACCESS_DENIED && ReadLock(path, readable) && readable == bytes
                   ? Removal::Refused
                   : Removal::Changed;
    }
    bool same = true;
    for (DWORD done = 0; same && size < now.size(); size += done) {
        same = ReadFile(file, &now[size], static_cast<DWORD>(now.size() - size), &done, nullptr) != 0;
        if (done == 0) break;
    }
    same = same && SameLockBytes(now, size, bytes);
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    const bool removed =
        same && SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
    CloseHandle(file);
#else
    // Programs taking a lock away hold it under an exclusive flock while they
    // read it again and remove it, and only while its name still leads to
    // the file they hold: of two programs removing one stale lock, the
    // second finds its name leading elsewhere, or nowhere.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Removal::Changed : Removal::Refused;
    struct stat held {}, named {};
    bool same = flock(fd, LOCK_EX) == 0 && fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    while (same && size < now.size()) {
        const ssize_t done = read(fd, &now[size], now.size() - size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            same = done == 0;
            break;
        }
        size += static_cast<std::size_t>(done);
    }
    same = same && SameLockBytes(now, size, bytes);
    const bool removed = same && unlink(path.c_str()) == 0;
    close(fd);
#endif
    if (!same) return Removal::Changed;
    return removed ? Removal::Removed : Removal::Refused;
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
    const auto end = std::chrono::steady_clock::now() + AttemptsFor;
    for (bool first = true; first || std::chrono::steady_clock::now() < end; first = false) {
        if (!first) std::this_thread::sleep_for(AttemptPause);
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
        if (RemoveUnchangedLock(lockPath, bytes) == Removal::Refused) {
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
    return RemoveUnchangedLock(lockPath, bytes) == Removal::Removed;
}

}  // namespace MyApp
