// This program as its lock files and recovery copies name it, and whether
// the program that wrote one of them is still running.
#pragma once

#include <string>

#include "file/ProcessMark.h"
#include "file/ProjectLock.h"

namespace MyApp {

// This process: its id and its start time.
ProcessMark ThisProcess();
// Whether the process of the mark runs now: the same id with the same
// start time (a later process that got the id again is another). A process
// that runs but cannot be looked at counts as running.
bool ProcessRunning(const ProcessMark& process);
// The user, the computer and this process, with the time now, as a lock
// file names them.
LockOwner ThisProgramAsOwner();
// A name of a lock file (UTF-8) as the user reads it.
std::wstring ShownName(const std::string& utf8);
// The owner of a lock, for a message: "<utente> su <computer> dal <data e ora>".
std::wstring ShownOwner(const LockOwner& owner);

}  // namespace MyApp
