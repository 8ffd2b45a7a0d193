// The program's last words: when it is about to end abnormally (an
// exception nothing handles, std::terminate, or a fault of the processor
// such as an access violation in the program's own code, which ends it
// even where a catch-all would have gone on), the recovery copy is written
// at once from the last snapshot handed over, touching no window, and then
// the end goes on as it would have.
//
// For the tests of this, a seam that no user meets by accident: when the
// environment variable VELMORA_FAULT_COMMAND names a command of the main
// window by its menu text without "&" (for example "Info..."), choosing
// that command makes an access violation. The variable is read once, at
// start; the program's own entry point is the only one that reads it.
#pragma once

namespace MyApp {

class RecoveryWriter;

// Installs the last-chance handlers and reads the seam (at start, once).
void InstallLastWords();
// The writer whose copy the last words write (null: none).
void SetLastWordsWriter(RecoveryWriter* writer);
RecoveryWriter* LastWordsWriter();
// Before a command runs: faults when the seam names it.
void FaultIfAsked(const wchar_t* commandText);

}  // namespace MyApp
