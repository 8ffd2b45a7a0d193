// The loader meets files it did not write: it never crashes or hangs, and
// answers either success or a format error.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace MyApp;
using ModelTests::Fields;

namespace {

const std::string HeaderText = "#VELMORA\r\nP\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n";

LoadResult Load(const std::string& bytes, Project& p) { return LoadProjectBytes(p, bytes); }

LoadResult Load(const std::string& bytes) {
    Project p;
    return Load(bytes, p);
}

}  // namespace

TEST(HostileInput, HugeFilesAreRefusedWithoutReadingThem) {
    FileTests::TempFolder folder;
    const std::string path = folder / "huge.vmo";
    FileTests::WriteBytes(path, HeaderText);
    FileTests::fs::resize_file(path, MaxLineFileBytes + 1);  // sparse: cheap to make
    const auto start = std::chrono::steady_clock::now();
    Project p;
    p.description = "open";
    EXPECT_EQ(LoadProjectFile(path, p), LoadResult::FormatError);
    EXPECT_EQ(p.description, "open");
    const ReadLinesResult read = ReadLines(path);
    EXPECT_TRUE(read.tooLarge);
    EXPECT_FALSE(read.openFailed);
    EXPECT_TRUE(read.lines.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(HostileInput, LongLinesNulBytesAndLoneCarriageReturns) {
    Project p;
    // A description of 4 MB is still a description.
    ASSERT_EQ(Load("#VELMORA\r\n" + std::string(4 << 20, 'x') + HeaderText.substr(12), p), LoadResult::Ok);
    EXPECT_EQ(p.description.size(), 4u << 20);
    // A date line of 4 MB is not a date.
    EXPECT_EQ(Load("#VELMORA\r\nP\r\n" + std::string(4 << 20, '1') + "\r\n"), LoadResult::FormatError);
    // NUL bytes: the magic with a NUL is no magic; a description keeps them.
    EXPECT_EQ(Load(std::string("#VELMORA\0", 9) + HeaderText.substr(8)), LoadResult::FormatError);
    std::string withNul = HeaderText;
    withNul[10] = '\0';
    ASSERT_EQ(Load(withNul, p), LoadResult::Ok);
    EXPECT_EQ(p.description, std::string(1, '\0'));
    // Lone CR line ends make one long line.
    std::string crOnly = HeaderText;
    for (std::size_t at; (at = crOnly.find("\r\n")) != std::string::npos;) crOnly.erase(at + 1, 1);
    EXPECT_EQ(Load(crOnly), LoadResult::FormatError);
    // Only LF line ends, no final line end.
    std::string lfOnly = HeaderText;
    for (std::size_t at; (at = lfOnly.find("\r\n")) != std::string::npos;) lfOnly.erase(at, 1);
    lfOnly.pop_back();
    EXPECT_EQ(Load(lfOnly), LoadResult::Ok);
}

TEST(HostileInput, OutOfRangeNumbersAndYears) {
    Project p;
    const std::string task = "#TASK\r\nT\r\n05/03/2024\r\n08/03/2024\r\n";
    ASSERT_EQ(Load(HeaderText + task + "99999999999999999999999\r\n-4294967297\r\n-1e+15\r\n", p), LoadResult::Ok);
    ASSERT_EQ(p.tasks.size(), 1u);
    EXPECT_EQ(p.tasks[0].resources, -1);
    EXPECT_EQ(p.tasks[0].dailyCost, -MaxDailyCost);
    // Beyond the largest cost the report could overflow: the file is refused.
    for (const char* cost : {"1e999999", "1.0000000001e15", "-2e15"})
        EXPECT_EQ(Load(HeaderText + task + "1\r\n1\r\n" + cost + "\r\n"), LoadResult::FormatError) << cost;
    std::string flags = HeaderText;
    flags.replace(flags.find("1\r\n0\r\n0\r\n"), 3, "2147483648\r\n");
    ASSERT_EQ(Load(flags, p), LoadResult::Ok);
    EXPECT_EQ(p.workingWeekdays[4], -2147483647 - 1);

    for (const char* year : {"01/01/0000", "01/01/-001", "01/01/1600", "00/00/0000", "99/99/9999", "-1/-1/-001"}) {
        std::string bad = HeaderText;
        bad.replace(bad.find("04/03/2024"), 10, year);
        EXPECT_EQ(Load(bad), LoadResult::FormatError) << year;
    }
    std::string lastDay = HeaderText;
    lastDay.replace(lastDay.find("29/03/2024"), 10, "31/12/9999");
    EXPECT_EQ(Load(lastDay), LoadResult::Ok);
}

// Random bytes and random mixtures of valid and broken lines: every answer is
// success or format error, and whatever loads saves and loads again the same.
TEST(HostileInput, RandomFilesLoadOrFailCleanly) {
    std::mt19937 random(99);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const std::vector<std::string> pieces = {"#VELMORA",
                                             "#TASK",
                                             "#DAY INCLUDE",
                                             "#DAY EXCLUDE",
                                             "P",
                                             "",
                                             "05/03/2024",
                                             "29/02/2023",
                                             "31/12/9999",
                                             "1",
                                             "-1",
                                             "4294967296",
                                             "1.5e+06",
                                             "abc",
                                             "01/01/1601",
                                             " 5/03/2024",
                                             "0",
                                             "\r",
                                             std::string("\0", 1)};
    int loaded = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        if (round % 3 == 0) {
            bytes.resize(static_cast<std::size_t>(pick(0, 400)));
            for (char& c : bytes) c = static_cast<char>(pick(0, 255));
        } else {
            bytes = round % 2 ? HeaderText : "";
            const int lines = pick(0, 60);
            for (int i = 0; i < lines; ++i) {
                bytes += pieces[static_cast<std::size_t>(pick(0, static_cast<int>(pieces.size()) - 1))];
                bytes += pick(0, 5) ? "\r\n" : (pick(0, 1) ? "\n" : "\r");
            }
        }
        Project p;
        const LoadResult result = Load(bytes, p);
        ASSERT_TRUE(result == LoadResult::Ok || result == LoadResult::FormatError);
        // The same bytes in pieces cut anywhere, as a file is read, load alike.
        ProjectFileReader reader(pick(0, 1) ? bytes.size() : 0);
        for (std::size_t at = 0, size; at < bytes.size(); at += size) {
            size = static_cast<std::size_t>(pick(0, 9));
            reader.Feed(std::string_view(bytes).substr(at, size));
        }
        Project pieces;
        ASSERT_EQ(reader.Finish(pieces), result) << round;
        if (result != LoadResult::Ok) continue;
        EXPECT_EQ(Fields(pieces, true), Fields(p, true)) << round;
        ++loaded;
        Project again, third;
        ASSERT_EQ(LoadProjectLines(again, SerializeProject(p)), LoadResult::Ok) << round;
        EXPECT_EQ(Fields(again, false), Fields(p, false)) << round;
        ASSERT_EQ(LoadProjectLines(third, SerializeProject(again)), LoadResult::Ok) << round;
        EXPECT_EQ(Fields(third, true), Fields(again, true)) << round;
    }
    EXPECT_GT(loaded, 100);
}
