#include "file/RecoveryWriter.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "file/ReplaceFile.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace MyApp {

namespace {

constexpr auto StopBound = std::chrono::milliseconds(2000);
// How long the last words wait for a lock that another thread holds: the
// writer's thread finishing a copy, or the window's thread handing one over.
constexpr int LastWordsPauses = 300;
constexpr auto LastWordsPause = std::chrono::milliseconds(10);

template <class Mutex>
bool LockWithin(std::unique_lock<Mutex>& lock) {
    for (int pause = 0; !lock.try_lock(); ++pause) {
        if (pause >= LastWordsPauses) return false;
        std::this_thread::sleep_for(LastWordsPause);
    }
    return true;
}

}  // namespace

// Revisions count the snapshots handed over (and the discards); the copy on
// disk and the content made are known by the revision they come from.
struct RecoveryWriter::Shared {
    explicit Shared(Target files) : target(std::move(files)) {}

    const Target target;
    mutable std::mutex mutex;
    std::condition_variable wake;
    mutable std::condition_variable settled;

    std::shared_ptr<const Project> project;  // the last snapshot; null after a discard
    RecoveryRecord record;
    std::uint64_t handed = 0;
    std::shared_ptr<const std::string> content;  // the file's content made from a snapshot
    std::uint64_t made = 0;
    std::uint64_t wanted = 0;  // the revision asked for on disk
    std::uint64_t onDisk = 0;  // the revision of the copy on disk; 0: none
    bool discard = false;
    bool stop = false;
    bool busy = false;
    bool finished = false;

    std::mutex files;  // held while the copy and its record are written or removed
    ReplaceGate gate;  // called off at a clean end: no copy is put in place after it
    std::atomic<bool> lastWords{false};
    std::atomic<bool> stopped{false};  // no writing starts any more
    std::atomic<std::uint64_t> failures{0};

    bool Pending() const {
        return discard || (project != nullptr && made < handed) || (wanted > onDisk && made >= wanted);
    }

    // Writes the copy and then its record; the caller holds `files`.
    bool WriteFiles(const std::string& bytes, RecoveryRecord written) {
        if (target.prepareFolder && !target.prepareFolder()) return false;
        written.savedAt = TimeText(LocalNow());
        return WriteContent(target.copyPath, bytes, &gate) &&
               WriteContent(target.recordPath, JoinLines(FormatRecoveryRecord(written)), &gate);
    }
};

RecoveryWriter::RecoveryWriter(Target target) : shared_(std::make_shared<Shared>(std::move(target))) {
    std::thread(Run, shared_).detach();
}

RecoveryWriter::~RecoveryWriter() { Stop(StopBound); }

void RecoveryWriter::Run(const std::shared_ptr<Shared>& shared) {
#ifdef _WIN32
    // The window's thread comes first when both want the processor.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#endif
    Shared& s = *shared;
    std::unique_lock<std::mutex> lock(s.mutex);
    for (;;) {
        s.wake.wait(lock, [&] { return s.stop || s.Pending(); });
        if (s.stop) break;
        s.busy = true;
        if (s.discard) {
            s.discard = false;
            lock.unlock();
            {
                std::lock_guard<std::mutex> files(s.files);
                if (!s.lastWords && !s.stopped) {
                    RemoveFile(s.target.copyPath);
                    RemoveFile(s.target.recordPath);
                }
            }
            lock.lock();
        } else if (s.project != nullptr && s.made < s.handed) {
            const std::shared_ptr<const Project> project = s.project;
            const std::uint64_t revision = s.handed;
            lock.unlock();
            std::shared_ptr<const std::string> content;
            try {
                content = std::make_shared<const std::string>(JoinLines(SerializeProject(*project)));
            } catch (...) {
                // No memory for the content: this snapshot is given up.
            }
            lock.lock();
            if (content == nullptr) {
                ++s.failures;
                if (revision == s.handed) {
                    s.content.reset();
                    s.made = revision;
                    s.wanted = s.onDisk;
                }
            } else if (revision == s.handed && s.project != nullptr) {
                // (A discard or a newer snapshot meanwhile makes it useless.)
                s.content = std::move(content);
                s.made = revision;
            }
        } else {
            const std::shared_ptr<const std::string> content = s.content;
            const std::uint64_t revision = s.made;
            const RecoveryRecord record = s.record;
            lock.unlock();
            bool written = content != nullptr;
            if (written) {
                std::lock_guard<std::mutex> files(s.files);
                try {
                    if (!s.lastWords && !s.stopped) written = s.WriteFiles(*content, record);
                } catch (...) {
                    written = false;
                }
            }
            lock.lock();
            if (written) {
                // Unless a discard came meanwhile and has yet to remove it.
                if (!s.discard && s.project != nullptr) s.onDisk = revision;
            } else {
                ++s.failures;
                s.wanted = s.onDisk;  // asked for again when next due
            }
        }
        s.busy = false;
        s.settled.notify_all();
    }
    s.finished = true;
    s.settled.notify_all();
}

void RecoveryWriter::Hand(std::shared_ptr<const Project> project, const RecoveryRecord& record) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->project = std::move(project);
        shared_->record = record;
        ++shared_->handed;
    }
    shared_->wake.notify_all();
}

void RecoveryWriter::WriteNow() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->project == nullptr) return;
        shared_->wanted = shared_->handed;
    }
    shared_->wake.notify_all();
}

void RecoveryWriter::Discard() {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->project.reset();
        shared_->content.reset();
        ++shared_->handed;
        shared_->made = shared_->handed;
        shared_->wanted = 0;
        shared_->onDisk = 0;
        shared_->discard = true;
    }
    shared_->wake.notify_all();
}

bool RecoveryWriter::UpToDate() const {
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->project == nullptr || shared_->onDisk == shared_->handed;
}

bool RecoveryWriter::WriteLastWords() {
    Shared& s = *shared_;
    if (s.lastWords.exchange(true)) return false;
    std::unique_lock<std::mutex> lock(s.mutex, std::defer_lock);
    if (!LockWithin(lock)) return false;
    const std::shared_ptr<const Project> project = s.project;
    const std::shared_ptr<const std::string> made = s.made == s.handed ? s.content : nullptr;
    const RecoveryRecord record = s.record;
    const bool onDisk = s.onDisk == s.handed;
    lock.unlock();
    if (project == nullptr || onDisk) return true;
    try {
        const std::string content = made != nullptr ? *made : JoinLines(SerializeProject(*project));
        std::unique_lock<std::mutex> files(s.files, std::defer_lock);
        if (!LockWithin(files)) return false;
        return s.WriteFiles(content, record);
    } catch (...) {
        return false;  // no memory left: nothing more can be done
    }
}

bool RecoveryWriter::Stop(std::chrono::milliseconds bound) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->stopped = true;
    shared_->stop = true;
    shared_->wake.notify_all();
    return shared_->settled.wait_for(lock, bound, [&] { return shared_->finished; });
}

void RecoveryWriter::RemoveFiles() {
    // Called off first: a writing that outlasts this program's end (a large
    // project) can no longer leave a copy the user chose not to keep.
    shared_->gate.CallOff();
    RemoveFile(shared_->target.copyPath);
    RemoveFile(shared_->target.recordPath);
}

bool RecoveryWriter::WaitIdle(std::chrono::milliseconds bound) const {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    return shared_->settled.wait_for(lock, bound,
                                     [&] { return shared_->finished || (!shared_->busy && !shared_->Pending()); });
}

std::uint64_t RecoveryWriter::Failures() const { return shared_->failures; }


const RecoveryWriter::Target& RecoveryWriter::Files() const { return shared_->target; }

}  // namespace MyApp
