// Recovery copies: while a project has unsaved changes the program keeps a
// copy of it, an ordinary project file, in a folder of the user's. Beside
// each copy a small record says what it is a copy of. The names of both
// carry the process that writes them, so that a program never takes the
// copy of another that is still running:
//
//   recupero-<process id>-<start time>.vmo   the copy
//   recupero-<process id>-<start time>.txt   its record
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file/FileStamp.h"
#include "file/ProcessMark.h"

namespace MyApp {

struct RecoveryRecord {
    std::string projectPath;  // the project's own file (narrow text); empty: never saved
    std::string savedAt;      // TimeText of the copy
    FileStamp fileStamp;      // the project's file as the program last read or wrote it
};

std::vector<std::string> FormatRecoveryRecord(const RecoveryRecord& record);
// None when the bytes are not a record.
std::optional<RecoveryRecord> ParseRecoveryRecord(std::string_view bytes);

// "recupero-<id>-<start>": the names of a process's copy and record without
// their extensions; and the process read back from a file name that has
// such a stem (with any extension); none for any other name.
std::string RecoveryStem(const ProcessMark& process);
std::optional<ProcessMark> RecoveryProcess(std::string_view fileName);
constexpr const char* RecoveryCopyExtension = ".vmo";
constexpr const char* RecoveryRecordExtension = ".txt";

// A copy found in the folder, with what its record says.
struct FoundCopy {
    ProcessMark process;
    std::string copyPath;
    std::string recordPath;
    RecoveryRecord record;
};

// The copy to offer: the newest (by its record's time) of those whose
// process no longer runs; none when every copy belongs to a running process.
std::optional<std::size_t> CopyToOffer(const std::vector<FoundCopy>& copies, const ProcessProbe& running);

}  // namespace MyApp
