// The open project as a part of its own, apart from the window that shows
// it: the project and the history of its changes, its file with the lock
// beside it and the stamp read with it, and the recovery copy written while
// it has unsaved changes (app/safety/WorkSafety.h). The questions it asks
// the user stand over the window it is given.
#pragma once

#include <memory>
#include <string>

#include "app/safety/WorkSafety.h"
#include "model/ChangeHistory.h"
#include "model/Project.h"

namespace QVUtility {
class GUIElement;
}  // namespace QVUtility

namespace MyApp {

class ProjectDocument {
public:
    // `asker`: the window the document's questions and messages stand over.
    explicit ProjectDocument(QVUtility::GUIElement* asker);
    ~ProjectDocument();
    ProjectDocument(const ProjectDocument&) = delete;
    ProjectDocument& operator=(const ProjectDocument&) = delete;

    Project project;
    // Every change to the project goes through it, for undo and redo; it
    // keeps `project.modified` in step with the state last saved.
    ChangeHistory history;

    // ---- Keeping the work safe ----------------------------------------------------------
    // The recovery copies' writer (when the copies are on) and who this
    // program is to the locks it takes.
    void StartSafety();
    // A clean end: the recovery copy removed, the lock released, the writer
    // stopped. Nothing when already done.
    void EndSafety();
    // What is kept to keep the work safe; none before StartSafety or after EndSafety.
    WorkSafety* Safety() const { return safety.get(); }

    // The project's file was open in another program when it was opened:
    // "&Salva" asks for a new name.
    bool OpenedReadOnly() const;
    // Before a file is read: its lock, or the question about opening it
    // read-only when another program has it; false when the user would not.
    bool ClaimFile(const std::string& path, FileClaim& claim);
    // The file could not be read: the lock made for it goes.
    void DropClaim(const FileClaim& claim);
    // The file is the project's now: its lock, stamp and read-only state.
    void TakeFile(const FileClaim& claim);
    // TakeFile for a project just opened: the previous copy goes.
    void AdoptFile(const FileClaim& claim);
    // A new project: the file's lock and the recovery copy go.
    void LeaveFile();
    // After a save: the lock follows the file, the stamp is the new one, the
    // copy goes.
    void FollowSavedFile();
    enum class ChangedFileAnswer { Overwrite, SaveElsewhere, Cancel };
    // Before "&Salva" writes the file: the question when another program
    // changed it since it was read or written.
    ChangedFileAnswer AskAboutChangedFile();
    // The unsaved changes are saved, or the project replaced or closed: its
    // recovery copy goes.
    void DiscardRecoveryCopy();
    // After each change: a snapshot for the recovery copy, written when due.
    void HandChangeToRecovery();

private:
    QVUtility::GUIElement* asker;
    std::unique_ptr<WorkSafety> safety;
};

// Two paths of one file: equal without regard to letter case.
bool SamePath(const std::string& a, const std::string& b);

// The message that another program changed the project's file.
extern const wchar_t* const ChangedByOtherProgram;

}  // namespace MyApp
