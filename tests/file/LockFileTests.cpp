// The lock file beside an open project, the time text that it and the
// recovery record keep, and the file's stamp.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "file/FileStamp.h"
#include "file/LineFile.h"
#include "file/ProjectLock.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using FileTests::ReadBytes;
using FileTests::TempFolder;
using FileTests::WriteBytes;

namespace {

// Text of random bytes (any byte but the line ends), as names in UTF-8 may be.
std::string RandomName(std::mt19937& random, bool withLineBreak = false) {
    std::uniform_int_distribution<int> length(0, 24), byte(1, 255);
    std::string text;
    for (int i = length(random); i > 0; --i) {
        const char c = static_cast<char>(byte(random));
        if (!withLineBreak && (c == '\r' || c == '\n')) continue;
        text += c;
    }
    return text;
}

LockOwner Owner(const char* user, const char* computer, std::uint32_t id, std::uint64_t started) {
    return LockOwner{user, computer, "2024-03-05 14:07:09", ProcessMark{id, started}};
}

bool SameOwner(const LockOwner& a, const LockOwner& b) {
    return a.user == b.user && a.computer == b.computer && a.since == b.since && a.process == b.process;
}

}  // namespace

TEST(TimeText, ReadsBackEveryMomentAndShowsItAsTheUserReadsIt) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> year(1601, 9999), month(1, 12), day(1, 31), hour(0, 23), minute(0, 59);
    for (int i = 0; i < 2000; ++i) {
        const Date moment = MakeDate(TestDates::Fields(day(random), month(random), year(random), hour(random),
                                                       minute(random), minute(random)));
        Date read;
        if (moment.invalid) continue;  // the 31st of a short month
        ASSERT_TRUE(ParseTimeText(TimeText(moment), read)) << TimeText(moment);
        EXPECT_EQ(CompareDates(read, moment), 0);
        EXPECT_EQ(ShownTime(TimeText(moment)), FormatDate(moment) + TimeText(moment).substr(10, 6));
    }
    EXPECT_EQ(ShownTime("2024-03-05 14:07:09"), "05/03/2024 14:07");
    for (const char* text : {"", "2023-02-29 10:00:00", "2024-03-05T14:07:09", "2024-3-05 14:07:09",
                             "2024-03-05 24:00:00", "2024-03-05 14:07:09 "}) {
        Date untouched = TestDates::D(1, 1, 2000);
        EXPECT_FALSE(ParseTimeText(text, untouched)) << text;
        EXPECT_EQ(TimeText(untouched), "2000-01-01 00:00:00");
        EXPECT_EQ(ShownTime(text), text);
    }
}

// Beside the project; read back whatever the names hold, and bytes that
// are no lock (a key missing, a number that is none) are not taken for one.
TEST(LockFile, LiesBesideTheProjectAndReadsBackWhateverTheNames) {
    EXPECT_EQ(LockFilePath("C:\\dati\\piano.vmo"), "C:\\dati\\~$piano.vmo.lock");
    EXPECT_EQ(LockFilePath("Z:/tmp/a b/piano.vmo"), "Z:/tmp/a b/~$piano.vmo.lock");
    EXPECT_EQ(LockFilePath("piano.vmo"), "~$piano.vmo.lock");
    std::mt19937 random(11);
    std::uniform_int_distribution<std::uint32_t> id;
    std::uniform_int_distribution<std::uint64_t> started;
    for (int i = 0; i < 500; ++i) {
        const LockOwner owner{RandomName(random), RandomName(random), RandomName(random),
                              ProcessMark{id(random), started(random)}};
        const std::optional<LockOwner> read = ParseLock(JoinLines(FormatLock(owner)));
        ASSERT_TRUE(read.has_value());
        EXPECT_TRUE(SameOwner(*read, owner));
        ParseLock(RandomName(random, true) + "\n" + RandomName(random, true));  // no crash
    }
    // A line break in a name cannot make other keys.
    const std::optional<LockOwner> read = ParseLock(JoinLines(FormatLock({"a\r\nprocess=9", "pc", "", {5, 6}})));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->user, "a??process=9");
    EXPECT_EQ(read->process, (ProcessMark{5, 6}));

    const std::string whole = JoinLines(FormatLock(Owner("anna", "ufficio", 42, 7)));
    for (const char* key : {"user=", "computer=", "process=", "started="}) {
        std::string without;
        for (const std::string& line : SplitLines(whole))
            if (line.rfind(key, 0) != 0) without += line + "\r\n";
        EXPECT_FALSE(ParseLock(without).has_value()) << "without " << key;
    }
    for (const char* process : {"-1", "4294967296", "12a", "", " 7", "99999999999999999999999"})
        EXPECT_FALSE(ParseLock("user=a\ncomputer=b\nprocess=" + std::string(process) + "\nstarted=1\n")) << process;
}

// Ours only for this very process (names in any letter case); another
// process of the same user and computer, a reused id included, is stale
// once ended; another user's or computer's lock is never anybody's to take.
TEST(LockFile, IsJudgedByUserComputerAndProcess) {
    const LockOwner me = Owner("Anna", "UFFICIO", 10, 100);
    for (bool running : {false, true}) {
        const ProcessProbe probe = [running](const ProcessMark&) { return running; };
        const LockStanding sameUser = running ? LockStanding::HeldElsewhere : LockStanding::Stale;
        EXPECT_EQ(JudgeLock(Owner("anna", "ufficio", 10, 100), me, probe), LockStanding::Ours);
        EXPECT_EQ(JudgeLock(Owner("Anna", "UFFICIO", 11, 100), me, probe), sameUser);
        EXPECT_EQ(JudgeLock(Owner("Anna", "UFFICIO", 10, 200), me, probe), sameUser);
        EXPECT_EQ(JudgeLock(Owner("Bruno", "UFFICIO", 10, 100), me, probe), LockStanding::HeldElsewhere);
        EXPECT_EQ(JudgeLock(Owner("Anna", "CASA", 10, 100), me, probe), LockStanding::HeldElsewhere);
    }
}

TEST(LockFile, IsTakenKeptTakenOverAndReleasedOnDisk) {
    TempFolder folder;
    const std::string lock = LockFilePath(folder / "piano.vmo");
    const LockOwner first = Owner("anna", "ufficio", 10, 100);
    const LockOwner second = Owner("anna", "ufficio", 20, 200);
    const LockOwner colleague = Owner("bruno", "portatile", 30, 300);
    bool firstRunning = true;
    const ProcessProbe running = [&](const ProcessMark& p) { return p == first.process ? firstRunning : false; };

    const LockAttempt taken = TakeLock(lock, first, running);
    ASSERT_EQ(taken.outcome, LockOutcome::Taken);
    EXPECT_TRUE(taken.made);
    const std::string written = ReadBytes(lock);
    EXPECT_TRUE(SameOwner(ParseLock(written).value_or(LockOwner()), first));
    // Taken again by its owner (the project opened again): left as it is.
    const LockAttempt again = TakeLock(lock, first, running);
    EXPECT_TRUE(again.outcome == LockOutcome::Taken && !again.made);
    EXPECT_EQ(ReadBytes(lock), written);

    // A second program finds it held and by whom; it neither takes nor
    // removes it.
    const LockAttempt refused = TakeLock(lock, second, running);
    EXPECT_EQ(refused.outcome, LockOutcome::HeldElsewhere);
    EXPECT_TRUE(SameOwner(refused.holder, first));
    EXPECT_TRUE(LockHeldElsewhere(lock, second, running).has_value());
    EXPECT_FALSE(LockHeldElsewhere(lock, first, running).has_value());
    EXPECT_FALSE(ReleaseLock(lock, second));
    EXPECT_EQ(ReadBytes(lock), written);
    EXPECT_TRUE(ReleaseLock(lock, first));
    EXPECT_FALSE(FileTests::fs::exists(lock));

    // The first program ends without releasing it: the second takes it over.
    ASSERT_EQ(TakeLock(lock, first, running).outcome, LockOutcome::Taken);
    firstRunning = false;
    EXPECT_FALSE(LockHeldElsewhere(lock, second, running).has_value());
    EXPECT_EQ(TakeLock(lock, second, running).outcome, LockOutcome::Taken);
    EXPECT_TRUE(SameOwner(*ParseLock(ReadBytes(lock)), second));

    // A colleague's lock is never taken over, whether or not their process
    // can be seen from here.
    WriteBytes(lock, JoinLines(FormatLock(colleague)));
    const LockAttempt held = TakeLock(lock, second, running);
    EXPECT_EQ(held.outcome, LockOutcome::HeldElsewhere);
    EXPECT_TRUE(SameOwner(held.holder, colleague));

    // Bytes that never become a lock are taken over.
    WriteBytes(lock, "niente");
    EXPECT_EQ(TakeLock(lock, first, running).outcome, LockOutcome::Taken);
    EXPECT_TRUE(SameOwner(*ParseLock(ReadBytes(lock)), first));

    // No folder to put it in: the project goes on without a lock.
    EXPECT_EQ(TakeLock(LockFilePath(folder / "manca/piano.vmo"), first, running).outcome, LockOutcome::Refused);
}

// Programs opening one project at the same moment: exactly one gets the
// lock, and the lock names it. Every other round a stale lock is there,
// judged by every program before any takes it away: a program removes it
// only while it is still the stale one, never another's fresh lock.
TEST(LockFile, OfProgramsTakingItAtOnceOneOnlyGetsIt) {
    TempFolder folder;
    const LockOwner ended = Owner("anna", "ufficio", 99, 99);
    for (int round = 0; round < 80; ++round) {
        const std::string lock = LockFilePath(folder / ("p" + std::to_string(round) + ".vmo"));
        if (round % 2 == 1) WriteBytes(lock, JoinLines(FormatLock(ended)));
        std::atomic<int> taken{0}, held{0}, judging{0};
        std::atomic<std::uint32_t> winner{0};
        const ProcessProbe running = [&](const ProcessMark& p) {
            if (p != ended.process) return true;
            const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
            for (++judging; judging < 4 && std::chrono::steady_clock::now() < end;) std::this_thread::yield();
            return false;
        };
        std::vector<std::thread> programs;
        for (std::uint32_t id = 1; id <= 4; ++id) {
            programs.emplace_back([&, id] {
                const LockAttempt attempt = TakeLock(lock, Owner("anna", "ufficio", id, id), running);
                if (attempt.outcome == LockOutcome::Taken) ++taken, winner = id;
                if (attempt.outcome == LockOutcome::HeldElsewhere) ++held;
            });
        }
        for (std::thread& program : programs) program.join();
        ASSERT_EQ(taken, 1) << "round " << round;
        ASSERT_EQ(held, 3) << "round " << round;
        EXPECT_EQ(ParseLock(ReadBytes(lock)).value_or(LockOwner()).process.id, winner);
    }
}

TEST(FileStamp, ChangesWithTheFileAndNotOtherwise) {
    TempFolder folder;
    const std::string path = folder / "piano.vmo";
    EXPECT_FALSE(ReadFileStamp(path).present);
    EXPECT_FALSE(ReadFileStamp(folder.path().string()).present) << "a folder is no file";
    WriteBytes(path, "uno");
    const FileStamp first = ReadFileStamp(path);
    EXPECT_TRUE(first.present && first.size == 3u);
    EXPECT_EQ(ReadFileStamp(path), first);
    WriteBytes(path, "sei");  // the same size, a later time
    const FileStamp second = ReadFileStamp(path);
    FileTests::fs::last_write_time(path, FileTests::fs::last_write_time(path) + std::chrono::seconds(5));
    EXPECT_NE(ReadFileStamp(path), second);
    FileTests::fs::remove(path);
    EXPECT_NE(ReadFileStamp(path), second);
}
