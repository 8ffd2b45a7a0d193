// The lock file beside an open project. While a program has `piano.vmo`
// open for changing it keeps a hidden `~$piano.vmo.lock` in the same folder,
// naming the user, the computer, since when and the process. Another
// program (or another user on a shared folder) that opens the project finds
// it and can say who has the project open. A lock left behind by a process
// of the same user on the same computer that no longer runs is stale and is
// taken over; one of another user or computer never is.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file/ProcessMark.h"

namespace MyApp {

struct LockOwner {
    std::string user;      // UTF-8
    std::string computer;  // UTF-8
    std::string since;     // TimeText of the moment the lock was taken
    ProcessMark process;
};

// The lock file of a project: "~$" and the project's file name, then
// ".lock", in the project's folder.
std::string LockFilePath(const std::string& projectPath);

// The lock file's lines, and the owner read back from its bytes (none when
// the bytes are not a lock: a user, a computer and a process are needed).
std::vector<std::string> FormatLock(const LockOwner& owner);
std::optional<LockOwner> ParseLock(std::string_view bytes);

enum class LockStanding {
    Ours,           // this very process took it
    Stale,          // the same user on the same computer, with a process that has ended
    HeldElsewhere,  // a running process, or another user or computer
};
LockStanding JudgeLock(const LockOwner& found, const LockOwner& me, const ProcessProbe& running);

enum class LockOutcome {
    Taken,          // the lock file is ours now (or was already)
    HeldElsewhere,  // someone else has the project open: `holder` says who
    Refused,        // the folder takes no lock file (read-only media, no rights)
};
struct LockAttempt {
    LockOutcome outcome = LockOutcome::Refused;
    bool made = false;  // Taken: the file was made now (not ours already)
    LockOwner holder;   // HeldElsewhere: who holds it
};

// Makes the lock file, or takes over a stale or unreadable one.
LockAttempt TakeLock(const std::string& lockPath, const LockOwner& me, const ProcessProbe& running);
// Who holds the lock, when someone else does (nothing is changed).
std::optional<LockOwner> LockHeldElsewhere(const std::string& lockPath, const LockOwner& me,
                                           const ProcessProbe& running);
// Removes the lock file when it is ours; false when there is none of ours.
bool ReleaseLock(const std::string& lockPath, const LockOwner& me);

}  // namespace MyApp
