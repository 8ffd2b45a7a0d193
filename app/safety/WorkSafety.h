// What the main window keeps to keep the user's work safe
// (FormMainSafety.cpp): the recovery copy written while the project has
// unsaved changes, the lock beside the project's file, and the file's
// stamp that tells when another program changed it.
#pragma once

#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "file/FileStamp.h"
#include "file/ProjectLock.h"
#include "file/RecoveryWriter.h"

namespace QVUtility {
class GUIElement;
}  // namespace QVUtility

namespace MyApp {

struct WorkSafety {
    LockOwner me;  // this program, as its locks name it

    // ---- The recovery copy ----
    std::string copyPath, recordPath;        // this program's own copy and record
    std::unique_ptr<RecoveryWriter> writer;  // none when the copies are turned off
    std::chrono::milliseconds interval{0};
    std::chrono::steady_clock::time_point lastAsked;  // the copy last asked for (or the project last clean)
    bool failureTold = false;                         // the user has been told that copies fail
    UINT_PTR tickTimer = 0;

    // ---- The project's file ----
    std::string lockPath;  // the lock this program holds; empty: none
    bool readOnly = false;  // opened while another program had it: "Salva" asks for a new name
    std::string stampPath;  // the file the stamp is of
    FileStamp stamp;        // as this program last read or wrote it
    FileStamp toldStamp;    // a change the user has been told of on coming back
    UINT_PTR returnTimer = 0;  // the look at the file after coming back to the program
};

// A project file about to be opened: its stamp before reading, and the lock
// taken for it or why there is none.
struct FileClaim {
    std::string path;
    FileStamp stamp;
    bool lockMade = false;  // a lock file was made for it now
    bool locked = false;    // this program holds its lock (made now or before)
    bool readOnly = false;  // another program has it open: opened read-only
};

// Whether a project may be saved as the file `path`: not while another
// program has that project open (the user is told so).
bool MayWriteProjectFile(QVUtility::GUIElement* owner, const std::string& path);

}  // namespace MyApp
