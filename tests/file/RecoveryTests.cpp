// Recovery copies: the record beside a copy, the names that carry the
// process, the choice of the copy to offer, and the writer's thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "file/RecoveryWriter.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace MyApp;
using FileTests::ReadBytes;
using FileTests::TempFolder;

namespace {

constexpr auto Bound = std::chrono::seconds(20);

// Tetto with `tasks` tasks more, named after `tag`: every project of a
// test differs from the others.
std::shared_ptr<const Project> Snapshot(int tag, int tasks = 3) {
    Project p = ModelTests::Tetto();
    p.description = "Tetto " + std::to_string(tag);
    for (int i = 0; i < tasks; ++i) {
        Task t = p.tasks[0];
        t.description = "Lavoro " + std::to_string(tag) + "." + std::to_string(i);
        p.tasks.push_back(t);
    }
    return std::make_shared<const Project>(std::move(p));
}

std::string Content(const Project& p) { return JoinLines(SerializeProject(p)); }

RecoveryRecord Record(const std::string& path) {
    RecoveryRecord record;
    record.projectPath = path;
    record.fileStamp = FileStamp{true, 1234, 5678};
    return record;
}

struct CopyFiles {
    TempFolder folder;
    RecoveryWriter::Target target{folder / "recupero-1-2.vmo", folder / "recupero-1-2.txt", nullptr};
    bool Present() const { return FileTests::fs::exists(target.copyPath); }
    std::optional<RecoveryRecord> ReadRecord() const { return ParseRecoveryRecord(ReadBytes(target.recordPath)); }
};

}  // namespace

// The record reads back what it says, and the names carry the process;
// what is neither is not taken for one.
TEST(RecoveryRecord, ReadsBackWhatItAndItsNameSay) {
    std::mt19937 random(5);
    std::uniform_int_distribution<int> byte(32, 255);
    std::uniform_int_distribution<std::uint64_t> number(0, INT64_MAX);
    for (int i = 0; i < 500; ++i) {
        RecoveryRecord record;
        for (int n = i % 40; n > 0; --n) record.projectPath += static_cast<char>(byte(random));
        record.savedAt = TimeText(LocalNow());
        if (i % 3 != 0) record.fileStamp = FileStamp{true, number(random), static_cast<std::int64_t>(number(random))};
        const std::optional<RecoveryRecord> read = ParseRecoveryRecord(JoinLines(FormatRecoveryRecord(record)));
        ASSERT_TRUE(read.has_value());
        EXPECT_TRUE(read->projectPath == record.projectPath && read->savedAt == record.savedAt);
        EXPECT_EQ(read->fileStamp, record.fileStamp);
        const ProcessMark process{static_cast<std::uint32_t>(number(random)), number(random)};
        EXPECT_EQ(RecoveryProcess(RecoveryStem(process) + RecoveryRecordExtension), process);
    }
    EXPECT_FALSE(ParseRecoveryRecord("path=C:\\a.vmo\r\n").has_value()) << "no header";
    EXPECT_FALSE(ParseRecoveryRecord("#VELMORA RECUPERO\r\nsize=12\r\nwritten=-4\r\n")->fileStamp.present);
    for (const char* name : {"recupero-1.vmo", "recupero--2.vmo", "recupero-1-2", "recupero-x-2.vmo",
                             "Recupero-1-2.vmo", "piano.vmo", "recupero-4294967296-1.vmo", "recupero-1-2-3.vmo"})
        EXPECT_FALSE(RecoveryProcess(name).has_value()) << name;
}

// The copy offered is, of the copies whose process has ended, the newest;
// checked against every pair of copies on random sets.
TEST(RecoveryRecord, TheNewestCopyOfAnEndedProcessIsOffered) {
    std::mt19937 random(21);
    std::uniform_int_distribution<int> count(0, 8), minute(0, 5), coin(0, 1);
    for (int round = 0; round < 400; ++round) {
        std::vector<FoundCopy> copies(static_cast<std::size_t>(count(random)));
        std::vector<bool> alive;
        for (std::size_t i = 0; i < copies.size(); ++i) {
            copies[i].process = ProcessMark{static_cast<std::uint32_t>(i + 1), 77};
            copies[i].record.savedAt = "2024-03-05 14:0" + std::to_string(minute(random)) + ":00";
            alive.push_back(coin(random) == 1);
        }
        const ProcessProbe running = [&](const ProcessMark& p) { return alive[p.id - 1]; };
        const std::optional<std::size_t> offered = CopyToOffer(copies, running);
        bool anyEnded = false;
        for (bool each : alive) anyEnded = anyEnded || !each;
        ASSERT_EQ(offered.has_value(), anyEnded);
        if (!offered) continue;
        EXPECT_FALSE(alive[*offered]) << "a running program's copy";
        for (std::size_t i = 0; i < copies.size(); ++i) {
            if (alive[i]) continue;
            EXPECT_GE(copies[*offered].record.savedAt, copies[i].record.savedAt);
        }
    }
}

// The last words write the latest change at once, even when no copy was
// due yet, and the writer's thread writes nothing after them.
TEST(RecoveryWriter, LastWordsWriteTheLatestChangeAndHaveTheLastWord) {
    CopyFiles files;
    RecoveryWriter writer(files.target);
    writer.Hand(Snapshot(1), Record(""));
    writer.WriteNow();
    ASSERT_TRUE(writer.WaitIdle(Bound));
    const auto latest = Snapshot(2, 2000);
    writer.Hand(latest, Record(""));
    EXPECT_TRUE(writer.WriteLastWords());
    EXPECT_EQ(ReadBytes(files.target.copyPath), Content(*latest));
    writer.Hand(Snapshot(3), Record(""));
    writer.WriteNow();
    ASSERT_TRUE(writer.WaitIdle(Bound));
    EXPECT_EQ(ReadBytes(files.target.copyPath), Content(*latest));
    EXPECT_FALSE(writer.WriteLastWords()) << "only once";
}

// A folder that cannot be made: every writing fails, the writer goes on
// and writes once the folder can be made.
TEST(RecoveryWriter, AFolderThatCannotBeMadeFailsWithoutStoppingTheWriter) {
    CopyFiles files;
    std::atomic<bool> folderUsable{false};
    RecoveryWriter::Target target = files.target;
    target.prepareFolder = [&] { return folderUsable.load(); };
    RecoveryWriter writer(target);
    for (int i = 1; i <= 3; ++i) {
        writer.Hand(Snapshot(i), Record(""));
        writer.WriteNow();
        ASSERT_TRUE(writer.WaitIdle(Bound));
    }
    EXPECT_EQ(writer.Failures(), 3u);
    EXPECT_FALSE(writer.UpToDate());
    EXPECT_FALSE(files.Present());
    folderUsable = true;
    writer.WriteNow();
    ASSERT_TRUE(writer.WaitIdle(Bound));
    EXPECT_TRUE(writer.UpToDate());
    EXPECT_EQ(ReadBytes(files.target.copyPath), Content(*Snapshot(3)));
}

// Random requests as the window makes them: once the writer is idle, the
// copy on disk is a snapshot handed over no earlier than the last request
// to write it (none after a discard), and it is up to date exactly when it
// is the last snapshot.
TEST(RecoveryWriter, RandomRequestsLeaveACopyNoOlderThanTheLastWrite) {
    CopyFiles files;
    RecoveryWriter writer(files.target);
    std::mt19937 random(17);
    std::uniform_int_distribution<int> action(0, 9), tasks(0, 300);
    std::vector<std::string> contents;  // of every snapshot handed over, in order
    bool copyWanted = false;        // a writing was asked for since the last discard
    std::size_t oldestAllowed = 0;  // then: the first snapshot the copy may be
    for (int step = 0; step < 400; ++step) {
        const int what = action(random);
        if (what < 5) {
            const auto snapshot = Snapshot(step, tasks(random));
            contents.push_back(Content(*snapshot));
            writer.Hand(snapshot, Record("p.vmo"));
        } else if (what < 8) {
            if (!contents.empty() && (!copyWanted || oldestAllowed != contents.size() - 1)) {
                writer.WriteNow();
                copyWanted = true;
                oldestAllowed = contents.size() - 1;
            }
        } else if (what == 8) {
            writer.Discard();
            contents.clear();
            copyWanted = false;
        } else {
            ASSERT_TRUE(writer.WaitIdle(Bound));
            if (!copyWanted) {
                EXPECT_FALSE(files.Present()) << "step " << step;
                continue;
            }
            const std::string onDisk = ReadBytes(files.target.copyPath);
            bool allowed = false;
            for (std::size_t i = oldestAllowed; i < contents.size(); ++i) allowed = allowed || contents[i] == onDisk;
            EXPECT_TRUE(allowed) << "step " << step;
            EXPECT_EQ(writer.UpToDate(), onDisk == contents.back()) << "step " << step;
        }
    }
    EXPECT_EQ(writer.Failures(), 0u);

    // The last copy is an ordinary project file, and its record says what of.
    const auto last = Snapshot(1000);
    writer.Hand(last, Record("C:\\dati\\p.vmo"));
    writer.WriteNow();
    ASSERT_TRUE(writer.WaitIdle(Bound));
    Project reloaded;
    ASSERT_EQ(LoadProjectFile(files.target.copyPath, reloaded), LoadResult::Ok);
    EXPECT_EQ(ModelTests::Fields(reloaded, true), ModelTests::Fields(*last, true));
    const std::optional<RecoveryRecord> record = files.ReadRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->projectPath, "C:\\dati\\p.vmo");
    EXPECT_EQ(record->fileStamp, Record("").fileStamp);
    Date savedAt;
    EXPECT_TRUE(ParseTimeText(record->savedAt, savedAt)) << record->savedAt;
}

// A clean end while a copy is being written (a large project, a slow
// disk): neither the copy written before nor the one under way is left for
// the next start to offer, even when the writing ends after the cleanup;
// and once stopped, nothing more is written.
TEST(RecoveryWriter, ACleanEndDuringAWritingLeavesNoCopy) {
    CopyFiles files;
    std::promise<void> writing, release;
    const std::shared_future<void> released = release.get_future().share();
    std::atomic<int> writings{0};
    RecoveryWriter::Target target = files.target;
    target.prepareFolder = [&] {  // the second writing goes on only after the end
        if (++writings == 2) {
            writing.set_value();
            released.wait();
        }
        return true;
    };
    RecoveryWriter writer(target);
    writer.Hand(Snapshot(1), Record(""));
    writer.WriteNow();
    ASSERT_TRUE(writer.WaitIdle(Bound) && files.Present());
    writer.Hand(Snapshot(2), Record(""));
    writer.WriteNow();
    ASSERT_EQ(writing.get_future().wait_for(Bound), std::future_status::ready);
    writer.RemoveFiles();
    release.set_value();
    EXPECT_TRUE(writer.Stop(Bound));
    writer.Hand(Snapshot(3), Record("p.vmo"));
    writer.WriteNow();
    EXPECT_EQ(files.folder.EntryCount(), 0u) << "a copy, a record or a piece of one is left";
}
