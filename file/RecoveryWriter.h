// Writes the recovery copy of a project on a thread of its own, so that the
// program's window never waits for it.
//
// The window's thread hands over a snapshot of the project after each
// change (Hand) and asks for the copy when it is due (WriteNow); the writer
// turns the last snapshot into the file's content and writes the copy and
// its record, each in one step (a temporary file put in the old one's
// place). Discard removes them. Requests are carried out in the order they
// were made; a newer snapshot makes an older one that is not written yet
// unnecessary.
//
// WriteLastWords is for a program that is about to end abnormally: from
// any thread, it writes the last snapshot handed over at once, unless it is
// on disk already, and keeps the writer's thread from writing after it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "file/RecoveryCopy.h"
#include "model/Project.h"

namespace MyApp {

class RecoveryWriter {
public:
    struct Target {
        std::string copyPath;
        std::string recordPath;
        // Called before each writing: makes the folder when it is missing;
        // false when it cannot be made. Null: the folder is there.
        std::function<bool()> prepareFolder;
    };

    explicit RecoveryWriter(Target target);
    // Stop with a short bound.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // The project as it is now, and what the record says of it (its time is
    // set when it is written).
    void Hand(std::shared_ptr<const Project> project, const RecoveryRecord& record);
    // Writes the last snapshot handed over, unless it is on disk already.
    void WriteNow();
    // Removes the copy and its record and forgets the snapshot.
    void Discard();
    // Whether the last snapshot handed over (if any) is the copy on disk.
    bool UpToDate() const;

    // See above. False when nothing could be written (or it was called
    // already); true when the copy on disk is the last snapshot, or there
    // is none to write.
    bool WriteLastWords();

    // Ends the thread: a writing under way is finished, nothing waiting is
    // done and no writing starts any more. Waits at most `bound`; false when
    // the thread had not ended by then (it is left to end by itself).
    bool Stop(std::chrono::milliseconds bound);
    // At a clean end, before Stop: the copy is given up for good. No writing
    // puts a copy or a record in place after this (one under way stops and
    // leaves nothing; the last words write nothing either), and the copy
    // and its record are removed on the calling thread. Waits only for a
    // file being put in place at that moment, never for a whole writing.
    void RemoveFiles();
    // Waits at most `bound` until every request has been carried out.
    bool WaitIdle(std::chrono::milliseconds bound) const;
    // Writings of the copy that failed.
    std::uint64_t Failures() const;

    const Target& Files() const;

private:
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared);
    std::shared_ptr<Shared> shared_;
};

}  // namespace MyApp
