#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file/LineFile.h"
#include "tests/file/FileTestSupport.h"

using namespace MyApp;
using FileTests::ReadBytes;
using FileTests::TempFolder;
using FileTests::WriteBytes;
using Lines = std::vector<std::string>;

TEST(ReadLines, LineEnds) {
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("a"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
    EXPECT_EQ(SplitLines("a\n\nb\n"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("\n"), Lines{""});
    EXPECT_EQ(SplitLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(SplitLines("a\rb\r\n"), Lines{"a\rb"});  // a CR alone is data
    EXPECT_EQ(SplitLines("a\r\r\n"), Lines{"a\r"});
    EXPECT_EQ(SplitLines("a\r"), Lines{"a\r"});
    EXPECT_EQ(SplitLines(std::string("a\0b\n\0", 5)), (Lines{std::string("a\0b", 3), std::string("\0", 1)}));
}

TEST(ReadLines, FromDisk) {
    TempFolder folder;
    WriteBytes(folder / "x.vmo", "#VELMORA\r\nuno\n\r\ndue");
    ReadLinesResult read = ReadLines(folder / "x.vmo");
    EXPECT_FALSE(read.openFailed);
    EXPECT_EQ(read.lines, (Lines{"#VELMORA", "uno", "", "due"}));
    read = ReadLines(folder / "missing.vmo");
    EXPECT_TRUE(read.openFailed);
    EXPECT_TRUE(read.lines.empty());
    read = ReadLines(folder.path().string());
    EXPECT_TRUE(read.openFailed);
}

TEST(WriteLines, WritesCrLfAndReplaces) {
    TempFolder folder;
    const std::string path = folder / "p.vmo";
    ASSERT_TRUE(WriteLines(path, Lines{"#VELMORA", "", "x"}));
    EXPECT_EQ(ReadBytes(path), "#VELMORA\r\n\r\nx\r\n");
    ASSERT_TRUE(WriteLines(path, Lines{"new"}));
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    ASSERT_TRUE(WriteLines(path, Lines{}));
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(folder.EntryCount(), 1u);  // no temporary file left behind
    EXPECT_EQ(ReadLines(path).lines, Lines{});
}

// The old file survives every failure byte for byte, and no temporary file
// is left behind.
TEST(WriteLines, FailureInTheMiddleKeepsTheOldFile) {
    TempFolder folder;
    const std::string path = folder / "p.vmo";
    const std::string old = "#VELMORA\r\nVecchio\r\n";
    WriteBytes(path, old);
    Lines big;
    for (int i = 0; i < 50000; ++i) big.push_back("line " + std::to_string(i));
    for (std::uint64_t failAfter : {0ull, 1ull, 100ull, 65536ull, 200000ull}) {
        EXPECT_FALSE(detail::WriteLinesFailingAfter(path, big, failAfter)) << failAfter;
        EXPECT_EQ(ReadBytes(path), old) << failAfter;
        EXPECT_EQ(folder.EntryCount(), 1u) << failAfter;
    }
    // A failure is not sticky.
    ASSERT_TRUE(WriteLines(path, Lines{"ok"}));
    EXPECT_EQ(ReadBytes(path), "ok\r\n");
}

TEST(WriteLines, PathThatIsAFolder) {
    TempFolder folder;
    const std::string target = folder / "cartella.vmo";
    FileTests::fs::create_directory(target);
    WriteBytes(folder / "cartella.vmo/dentro.txt", "resto");
    EXPECT_FALSE(WriteLines(target, Lines{"#VELMORA"}));
    EXPECT_TRUE(FileTests::fs::is_directory(target));
    EXPECT_EQ(ReadBytes(folder / "cartella.vmo/dentro.txt"), "resto");
    EXPECT_EQ(folder.EntryCount(), 1u);
}

TEST(WriteLines, MissingFolderOrEmptyPath) {
    TempFolder folder;
    EXPECT_FALSE(WriteLines(folder / "nessuna/p.vmo", Lines{"x"}));
    EXPECT_FALSE(WriteLines("", Lines{"x"}));
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST(WriteLines, ReadOnlyFolder) {
    const std::string folder = FileTests::ReadOnlyFolder();
    if (folder.empty()) GTEST_SKIP() << "no read-only folder prepared for this run";
#ifdef _WIN32
    const std::string sep = "\\";
#else
    const std::string sep = "/";
#endif
    const std::string path = folder + sep + "old.vmo";
    const std::string old = ReadBytes(path);
    ASSERT_EQ(old, "#VELMORA\r\nVecchio progetto\r\n");
    {
        std::ofstream probe(folder + sep + "probe.tmp");
        if (probe.is_open()) {
            probe.close();
            FileTests::fs::remove(folder + sep + "probe.tmp");
            GTEST_SKIP() << "this file system could not make the folder read-only";
        }
    }
    EXPECT_FALSE(WriteLines(path, Lines{"#VELMORA", "Nuovo"}));
    EXPECT_EQ(ReadBytes(path), old);
    std::size_t entries = 0;
    for (auto it = FileTests::fs::directory_iterator(folder); it != FileTests::fs::directory_iterator(); ++it)
        ++entries;
    EXPECT_EQ(entries, 1u);
}

#ifndef _WIN32
#include <sys/stat.h>
TEST(WriteLines, KeepsThePermissionsOfTheOldFile) {
    TempFolder folder;
    const std::string path = folder / "p.vmo";
    WriteBytes(path, "old");
    chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteLines(path, Lines{"new"}));
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}
#endif
