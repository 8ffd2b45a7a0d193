#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "model/CostReport.h"
#include "model/NumberText.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using ModelTests::Tetto;
using TestDates::D;
using Lines = std::vector<std::string>;

namespace {

const Lines TettoLines = {"#VELMORA",
                          "Tetto",
                          "04/03/2024",
                          "29/03/2024",
                          "1",
                          "1",
                          "1",
                          "1",
                          "1",
                          "0",
                          "0",
                          "#TASK",
                          "Ponteggio",
                          "05/03/2024",
                          "08/03/2024",
                          "255",
                          "2",
                          "150.5",
                          "#DAY EXCLUDE",
                          "07/03/2024"};

Lines Header(const std::string& description = "P") {
    return {"#VELMORA", description, "04/03/2024", "29/03/2024", "1", "1", "1", "1", "1", "0", "0"};
}

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Every field the file holds, costs included, for comparing two projects.
std::string Dump(const Project& p) { return ModelTests::Fields(p, true); }

}  // namespace

TEST(SerializeProject, TheWorkedExample) {
    EXPECT_EQ(SerializeProject(Tetto()), TettoLines);
    Project bare = Tetto();
    ClearProject(bare);
    EXPECT_EQ(SerializeProject(bare).size(), 11u);
}

TEST(SerializeProject, NumbersAndIncludedDays) {
    Project p = Tetto();
    p.workingWeekdays[6] = -7;
    p.tasks[0].colour = ColourBlu;
    p.tasks[0].resources = -3;
    p.tasks[0].dailyCost = 1234.567;
    Task more = p.tasks[0];
    more.dailyCost = 1234567;
    more.colour = 0xFFFFFFFFu;  // -1: no colour
    p.tasks.push_back(more);
    more.dailyCost = 12.5;
    p.tasks.push_back(more);
    more.dailyCost = 0;
    p.tasks.push_back(more);
    p.includeDays = {D(9, 3, 2024), D(9, 3, 2024)};
    const Lines lines = SerializeProject(p);
    EXPECT_EQ(lines[10], "-7");
    EXPECT_EQ(lines[15], "16711680");
    EXPECT_EQ(lines[16], "-3");
    EXPECT_EQ(lines[17], "1234.567");
    EXPECT_EQ(lines[21], "-1");
    EXPECT_EQ(lines[23], "1234567");
    EXPECT_EQ(lines[29], "12.5");
    EXPECT_EQ(lines[35], "0");
    const Lines tail(lines.end() - 5, lines.end());
    EXPECT_EQ(tail, (Lines{"#DAY INCLUDE", "09/03/2024", "09/03/2024", "#DAY EXCLUDE", "07/03/2024"}));
}

TEST(LoadProjectLines, TheWorkedExampleRoundTrips) {
    Project p;
    const int idBefore = nextTaskId;
    ASSERT_EQ(LoadProjectLines(p, TettoLines), LoadResult::Ok);
    EXPECT_EQ(Dump(p), Dump(Tetto()));
    EXPECT_EQ(p.tasks[0].id, idBefore + 1);  // a fresh id
    EXPECT_EQ(p.tasks[0].start.value.wDayOfWeek, 2);
    EXPECT_EQ(p.tasks[0].start.value.wHour, 0);
}

TEST(LoadProjectLines, SavedAndLoadedProjectsAreTheSame) {
    Project p = Tetto();
    p.description = "Casa \xE0 Pis\xE0  ";  // system code page bytes and blanks kept
    p.includeDays = {D(9, 3, 2024), D(2, 3, 2024), D(9, 3, 2024)};
    p.excludeDays.push_back(D(1, 1, 2030));
    p.workingWeekdays[5] = 42;
    for (int i = 0; i < 30; ++i) {
        Task t = p.tasks[0];
        t.description = "Task " + std::to_string(i);
        t.start = D(1 + i % 28, 1 + i % 12, 2024 + i);
        t.end = D(28, 12, 2024 + i);
        t.resources = i * 1000 - 5000;
        t.dailyCost = i * 12.25;
        t.colour = static_cast<COLORREF>(i * 0x10101);
        p.tasks.push_back(t);
    }
    Project back;
    ASSERT_EQ(LoadProjectLines(back, SerializeProject(p)), LoadResult::Ok);
    EXPECT_EQ(Dump(back), Dump(p));
    // Every digit of the cost comes back.
    for (double cost : {1234.567, 1.0 / 3, 0.1 + 0.2, -1234567.891, 5e-324, MaxDailyCost * 2 / 3}) {
        p.tasks[0].dailyCost = cost;
        ASSERT_EQ(LoadProjectLines(back, SerializeProject(p)), LoadResult::Ok);
        EXPECT_EQ(back.tasks[0].dailyCost, cost) << SerializeProject(p)[17];
    }
}

// Every amount the cost box takes (up to nine characters: digits and one
// decimal point) reads back exactly, and where "%Lg" already read back
// exactly its text is kept, so files of such costs stay byte for byte.
TEST(SerializeProject, TypedCostsReadBackExactly) {
    std::vector<std::string> typed = {"123456.78", "1234567", "999999999", "0.01", "12345678", "9999999.9"};
    std::mt19937 random(11);
    while (typed.size() < 100000) {
        const int digits = 1 + static_cast<int>(random() % 9);
        std::string text;
        for (int k = 0; k < digits; ++k) text += static_cast<char>('0' + random() % 10);
        const int point = static_cast<int>(random() % 9);
        if (digits < 9 && point < digits) text.insert(static_cast<std::size_t>(point), ".");
        typed.push_back(text);
    }
    Project p = Tetto();
    p.tasks.assign(typed.size(), p.tasks[0]);
    for (std::size_t i = 0; i < typed.size(); ++i) p.tasks[i].dailyCost = ParseReal(typed[i]);
    const Lines lines = SerializeProject(p);
    EXPECT_EQ(lines[17], "123456.78");
    EXPECT_EQ(lines[17 + 6], "1234567");
    EXPECT_EQ(lines[17 + 12], "999999999");
    Project back;
    ASSERT_EQ(LoadProjectLines(back, lines), LoadResult::Ok);
    ASSERT_EQ(back.tasks.size(), typed.size());
    int wrong = 0;
    for (std::size_t i = 0; i < typed.size() && wrong < 5; ++i) {
        const std::string& line = lines[17 + 6 * i];
        char classic[64];
        std::snprintf(classic, sizeof classic, "%Lg", static_cast<long double>(p.tasks[i].dailyCost));
        const bool exact = back.tasks[i].dailyCost == p.tasks[i].dailyCost;
        const bool keptText = ParseReal(classic) != p.tasks[i].dailyCost || line == classic;
        if (!exact || !keptText) {
            ++wrong;
            ADD_FAILURE() << "typed " << typed[i] << ", written " << line << ", \"%Lg\" " << classic;
        }
    }
}

// Costs up to the limit keep the report finite however large the other
// numbers; a file with a larger cost is refused.
TEST(LoadProjectLines, CostsBeyondTheLimitAreRefused) {
    const Lines wholeSpan = {"01/01/1601", "31/12/9999", "255", "2147483647"};
    const Lines tasks = Lines{"#TASK", "A"} + wholeSpan + Lines{"1e+15", "B"} + wholeSpan + Lines{"1000000000000000"} +
                        Lines{"C", "01/01/1601", "31/12/9999", "255", "-2147483648", "-1e15"};
    Lines header = Header();
    header[2] = "01/01/1601";
    header[3] = "31/12/9999";
    Project p;
    ASSERT_EQ(LoadProjectLines(p, header + tasks), LoadResult::Ok);
    std::string report;
    Money total;
    BuildCostReport(p, AmountFormat{}, report, total);
    EXPECT_EQ(report.find("inf"), std::string::npos) << report;
    EXPECT_EQ(report.find("nan"), std::string::npos) << report;

    for (const char* cost : {"1.0000001e15", "-1000000000000001", "1e308"})
        EXPECT_EQ(LoadProjectLines(p, header + Lines{"#TASK", "D"} + wholeSpan + Lines{cost}), LoadResult::FormatError)
            << cost;
}

TEST(LoadProjectLines, LooseRulesOfTheFormat) {
    Project p;
    // Lines before the first marker and header lines beyond the tenth are ignored.
    ASSERT_EQ(LoadProjectLines(p, Lines{"garbage", "more"} + Header() + Lines{"extra", "lines"}), LoadResult::Ok);
    EXPECT_EQ(p.description, "P");
    // Sections in any order and more than once; tasks in file order.
    const Lines task1 = {"Second", "10/03/2024", "12/03/2024", "65280", "1", "10"};
    const Lines task2 = {"First", "01/03/2024", "02/03/2024", "255", "abc", "1.23457e+006"};
    ASSERT_EQ(LoadProjectLines(p, Lines{"#DAY INCLUDE", "09/03/2024", "#TASK"} + task1 + Header("Q") +
                                      Lines{"#DAY EXCLUDE", "07/03/2024", "#TASK"} + task2 +
                                      Lines{"#DAY INCLUDE", "16/03/2024"}),
              LoadResult::Ok);
    ASSERT_EQ(p.tasks.size(), 2u);
    EXPECT_EQ(p.tasks[0].description, "Second");
    EXPECT_EQ(p.tasks[1].description, "First");
    EXPECT_LT(p.tasks[0].id, p.tasks[1].id);
    EXPECT_EQ(p.tasks[1].resources, 0);  // letters read as 0
    EXPECT_EQ(p.tasks[1].dailyCost, 1234570.0);
    ASSERT_EQ(p.includeDays.size(), 2u);
    EXPECT_EQ(FormatDate(p.includeDays[1]), "16/03/2024");
    // An unfinished last task is dropped.
    ASSERT_EQ(LoadProjectLines(p, Header() + Lines{"#TASK"} + task1 + Lines{"Half", "01/03/2024"}), LoadResult::Ok);
    EXPECT_EQ(p.tasks.size(), 1u);
    // A second magic line restarts the header.
    ASSERT_EQ(LoadProjectLines(p, Header("A") + Lines{"#VELMORA", "B", "01/01/2025"}), LoadResult::Ok);
    EXPECT_EQ(p.description, "B");
    EXPECT_EQ(FormatDate(p.start), "01/01/2025");
    EXPECT_EQ(FormatDate(p.end), "29/03/2024");
}

TEST(LoadProjectLines, FormatErrors) {
    Project p;
    EXPECT_EQ(LoadProjectLines(p, Lines{}), LoadResult::FormatError);
    EXPECT_EQ(LoadProjectLines(p, Lines{"hello", "world"}), LoadResult::FormatError);
    Lines blankMagic = Header();
    blankMagic[0] = "#VELMORA ";
    EXPECT_EQ(LoadProjectLines(p, blankMagic), LoadResult::FormatError);
    Lines lowerMagic = Header();
    lowerMagic[0] = "#velmora";
    EXPECT_EQ(LoadProjectLines(p, lowerMagic), LoadResult::FormatError);
    // Nine header lines, then a marker: the header never completes.
    Lines short9 = Header();
    short9.pop_back();
    EXPECT_EQ(LoadProjectLines(p, short9 + Lines{"#TASK", "T", "05/03/2024", "08/03/2024", "0", "1", "1"}),
              LoadResult::FormatError);
    Lines badStart = Header();
    badStart[2] = "4/3/2024";
    EXPECT_EQ(LoadProjectLines(p, badStart), LoadResult::FormatError);
    Lines badEnd = Header();
    badEnd[3] = "30/02/2024";
    EXPECT_EQ(LoadProjectLines(p, badEnd), LoadResult::FormatError);
    EXPECT_EQ(LoadProjectLines(p, Header() + Lines{"#TASK", "T", "5/3/2024", "08/03/2024", "0", "1", "1"}),
              LoadResult::FormatError);
    EXPECT_EQ(LoadProjectLines(p, Header() + Lines{"#TASK", "T", "05/03/2024", "08/13/2024", "0", "1", "1"}),
              LoadResult::FormatError);
    // A day-list line that is no date is an error too.
    EXPECT_EQ(LoadProjectLines(p, Header() + Lines{"#DAY EXCLUDE", "07/03/2024", "7/3/2024"}), LoadResult::FormatError);
    EXPECT_EQ(LoadProjectLines(p, Header() + Lines{"#DAY INCLUDE", ""}), LoadResult::FormatError);
    EXPECT_EQ(LoadProjectLines(p, Header() + Lines{"#DAY INCLUDE", "29/02/2023"}), LoadResult::FormatError);
    // An error after a complete header still fails the whole file.
    EXPECT_EQ(LoadProjectLines(p, Header() + Lines{"#VELMORA", "X", "bad"}), LoadResult::FormatError);
}

// A description that is exactly a marker is written as it is and breaks the
// reading of what follows it.
TEST(LoadProjectLines, MarkerTextAsDescription) {
    Project p = Tetto();
    p.tasks[0].description = "#DAY INCLUDE";
    Project back;
    EXPECT_EQ(LoadProjectLines(back, SerializeProject(p)), LoadResult::FormatError);
    EXPECT_TRUE(IsMarkerLine("#TASK"));
    EXPECT_TRUE(IsMarkerLine("#VELMORA"));
    EXPECT_TRUE(IsMarkerLine("#DAY EXCLUDE"));
    EXPECT_FALSE(IsMarkerLine("#TASK "));
    EXPECT_FALSE(IsMarkerLine("Tetto"));
}

// Markers count only in capitals; written otherwise they are ordinary lines.
TEST(LoadProjectLines, MarkersInOtherLettersAreOrdinaryLines) {
    // A task so named is saved and read back as it is.
    Project p = Tetto();
    p.tasks[0].description = "#Task";
    Project back;
    ASSERT_EQ(LoadProjectLines(back, SerializeProject(p)), LoadResult::Ok);
    EXPECT_EQ(Dump(back), Dump(p));
    // After the header they open no section, so what follows them is skipped.
    ASSERT_EQ(LoadProjectLines(back, Header() + Lines{"#task", "T", "05/03/2024", "08/03/2024", "0", "1", "1",
                                                      "#day include", "09/03/2024", "#Day Exclude", "07/03/2024"}),
              LoadResult::Ok);
    EXPECT_TRUE(back.tasks.empty());
    EXPECT_TRUE(back.includeDays.empty());
    EXPECT_TRUE(back.excludeDays.empty());
    // In a day list such a line is no date.
    EXPECT_EQ(LoadProjectLines(back, Header() + Lines{"#DAY INCLUDE", "09/03/2024", "#day exclude", "07/03/2024"}),
              LoadResult::FormatError);
    EXPECT_FALSE(IsMarkerLine("#task"));
}

// A day-list marker in the middle of a task drops the task it cut short;
// the tasks before it and the days after it are read.
TEST(LoadProjectLines, ATaskCutShortByADayListIsDropped) {
    const Lines whole = {"#TASK", "Whole", "10/03/2024", "12/03/2024", "65280", "1", "10"};
    const Lines half = {"Half", "01/03/2024", "02/03/2024", "255"};
    for (const char* marker : {"#DAY INCLUDE", "#DAY EXCLUDE"}) {
        SCOPED_TRACE(marker);
        Project p;
        ASSERT_EQ(LoadProjectLines(p, Header() + whole + half + Lines{marker, "09/03/2024"} + whole), LoadResult::Ok);
        ASSERT_EQ(p.tasks.size(), 2u);
        EXPECT_EQ(p.tasks[0].description, "Whole");
        EXPECT_EQ(p.tasks[1].description, "Whole");
        EXPECT_EQ(p.includeDays.size() + p.excludeDays.size(), 1u);
    }
}

// A broken file leaves the open project exactly as it was; a good one
// replaces everything it holds but the path and the unsaved-changes flag.
TEST(LoadProjectLines, OnlyAWholeValidFileReplacesTheProject) {
    Project open = Tetto();
    open.includeDays.push_back(D(9, 3, 2024));
    open.filePath = "C:\\progetti\\tetto.vmo";
    open.modified = true;
    const std::string before = Dump(open);
    const int idBefore = open.tasks[0].id;

    const std::vector<Lines> broken = {
        Lines{"not a project"},
        Header("Other") + Lines{"#TASK", "T", "05/03/2024", "08/03/2024", "0", "1", "1", "#DAY INCLUDE", "bad"},
        Lines{"#VELMORA", "Other", "01/01/2025", "nope"},
        Header("Other") + Lines{"#TASK", "T", "05/03/2024", "31/04/2024"},
    };
    for (std::size_t i = 0; i < broken.size(); ++i) {
        EXPECT_EQ(LoadProjectLines(open, broken[i]), LoadResult::FormatError) << i;
        EXPECT_EQ(Dump(open), before) << i;
        EXPECT_EQ(open.tasks[0].id, idBefore);
        EXPECT_EQ(open.filePath, "C:\\progetti\\tetto.vmo");
        EXPECT_TRUE(open.modified);
    }

    ASSERT_EQ(LoadProjectLines(open, Header("Nuovo")), LoadResult::Ok);
    EXPECT_EQ(open.description, "Nuovo");
    EXPECT_TRUE(open.tasks.empty());
    EXPECT_TRUE(open.includeDays.empty());
    EXPECT_TRUE(open.excludeDays.empty());
    EXPECT_EQ(open.filePath, "C:\\progetti\\tetto.vmo");
    EXPECT_TRUE(open.modified);
}

TEST(ProjectFile, SaveAndLoadThroughTheDisk) {
    FileTests::TempFolder folder;
    const std::string path = folder / "tetto.vmo";
    ASSERT_TRUE(SaveProjectFile(path, Tetto()));
    std::string expected;
    for (const std::string& line : TettoLines) expected += line + "\r\n";
    EXPECT_EQ(FileTests::ReadBytes(path), expected);
    Project p;
    ASSERT_EQ(LoadProjectFile(path, p), LoadResult::Ok);
    EXPECT_EQ(Dump(p), Dump(Tetto()));

    // LF line ends load the same.
    std::string lf;
    for (const std::string& line : TettoLines) lf += line + "\n";
    FileTests::WriteBytes(folder / "lf.vmo", lf);
    Project q;
    ASSERT_EQ(LoadProjectFile(folder / "lf.vmo", q), LoadResult::Ok);
    EXPECT_EQ(Dump(q), Dump(Tetto()));

    // Missing file, folder, empty file.
    const std::string before = Dump(q);
    EXPECT_EQ(LoadProjectFile(folder / "missing.vmo", q), LoadResult::OpenFailed);
    EXPECT_EQ(LoadProjectFile(folder.path().string(), q), LoadResult::OpenFailed);
    FileTests::WriteBytes(folder / "empty.vmo", "");
    EXPECT_EQ(LoadProjectFile(folder / "empty.vmo", q), LoadResult::FormatError);
    EXPECT_EQ(Dump(q), before);
}
