// The largest projects a file may hold: the writer writes them and the reader
// opens them again; one step beyond, both refuse.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "file/FileStamp.h"
#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace MyApp;
using FileTests::TempFolder;
using ModelTests::Fields;

TEST(LargeProjectFile, AMillionTasksSaveAndOpenAgain) {
    TempFolder folder;
    const std::string path = folder / "grande.vmo";
    Project p = FileTests::LargeProject(static_cast<int>(MaxFileTasks), 60);
    ASSERT_TRUE(SaveProjectFile(path, p));
    Project back;
    ASSERT_EQ(LoadProjectFile(path, back), LoadResult::Ok);
    EXPECT_EQ(Fields(back, true), Fields(p, true));

    // One task more is not saved, and a file that holds it does not open.
    p.tasks.push_back(p.tasks.front());
    const FileStamp saved = ReadFileStamp(path);
    EXPECT_FALSE(SaveProjectFile(path, p));
    EXPECT_EQ(ReadFileStamp(path), saved);
    std::ofstream(path, std::ios::binary | std::ios::app)
        << "#TASK\r\nT\r\n05/03/2024\r\n08/03/2024\r\n0\r\n1\r\n1\r\n";
    EXPECT_EQ(LoadProjectFile(path, back), LoadResult::FormatError);
}

// A day list and a description at their bounds and one step beyond: the
// writer's answer, the reader's from the bytes and from the disk agree.
TEST(LargeProjectFile, DayListsAndLinesAtTheirBounds) {
    TempFolder folder;
    const std::string path = folder / "limite.vmo";
    Project days = ModelTests::Tetto();
    days.includeDays.assign(MaxFileListedDays, days.start);
    Project line = ModelTests::Tetto();
    line.tasks[0].description.assign(MaxFileLineBytes, 'x');
    for (Project* p : {&days, &line}) {
        for (bool beyond : {false, true}) {
            if (beyond) p == &days ? days.includeDays.push_back(days.start) : line.tasks[0].description.push_back('y');
            EXPECT_EQ(SaveProjectFile(path, *p), !beyond);
            EXPECT_EQ(FitsProjectFile(*p), !beyond);
            const std::string content = JoinLines(SerializeProject(*p));
            Project fromBytes, fromDisk;
            EXPECT_EQ(LoadProjectBytes(fromBytes, content), beyond ? LoadResult::FormatError : LoadResult::Ok);
            ASSERT_TRUE(WriteContent(path, content));
            EXPECT_EQ(LoadProjectFile(path, fromDisk), beyond ? LoadResult::FormatError : LoadResult::Ok);
            EXPECT_EQ(Fields(fromDisk, true) == Fields(*p, true), !beyond);
        }
    }
}
