// Where the recovery copies are kept: the folder "QV Velmora\Recupero" of
// the user's local application data; how often a copy is written; and the
// copies found there.
//
// The interval is the registry value RecoveryMinutes (default 2; 0 turns
// the copies off) under the program's key. For tests and support, a value
// RecoverySeconds, when present, gives it in seconds instead.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "file/RecoveryCopy.h"

namespace MyApp {

// The folder (narrow, in the system code page; no separator at its end).
std::string RecoveryFolder();
// Makes the folder when it is missing; false when it is not there after.
bool MakeRecoveryFolder();
// How often a copy is written; zero: never.
std::chrono::milliseconds RecoveryInterval();
// The paths of a process's own copy and record.
std::string RecoveryCopyPath(const ProcessMark& process);
std::string RecoveryRecordPath(const ProcessMark& process);
// Removes what writings cut short by a program's end left in the folder:
// temporary files old enough that no program is still writing them.
void RemoveAbandonedPieces();
// Every copy in the folder, with its record (a copy without one is
// timed by its file and names no project).
std::vector<FoundCopy> FindRecoveryCopies();

}  // namespace MyApp
