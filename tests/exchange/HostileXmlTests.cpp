// Files that are broken or made to hurt: each gives a format error (or, read
// whole, a sound project), quickly and within bounded memory, and a failed
// import leaves the project as it was. The same cases run through libxml2 on
// the host and through MSXML under Windows.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "exchange/ProjectXml.h"
#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "tests/exchange/ExchangeTestSupport.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#endif

using namespace MyApp;

namespace {

const std::string Head = "<Project xmlns=\"http://schemas.microsoft.com/project\">";
const std::string Tail = "</Project>";

std::string OneTask(const std::string& inside = "") {
    return "<Tasks><Task><UID>1</UID><Name>A</Name><Start>2027-03-01T08:00:00</Start>"
           "<Finish>2027-03-05T17:00:00</Finish>" + inside + "</Task></Tasks>";
}

// Imports into the Tetto project: the result, and whether a refused file
// left the project exactly as it was.
ImportResult Import(const std::string& xml, bool* untouched = nullptr) {
    Project p = ModelTests::Tetto();
    const std::string before = ModelTests::Fields(p, true);
    DroppedItems dropped;
    const ImportResult result = ImportProjectXml(xml, "file", p, dropped);
    if (untouched != nullptr) *untouched = ModelTests::Fields(p, true) == before;
    return result;
}

::testing::AssertionResult Refused(const std::string& xml) {
    bool untouched = false;
    const ImportResult result = Import(xml, &untouched);
    if (result != ImportResult::FormatError) return ::testing::AssertionFailure() << "not refused";
    if (!untouched) return ::testing::AssertionFailure() << "refused, but the project changed";
    return ::testing::AssertionSuccess();
}

}  // namespace

// A document type declaration is never read: no entity is expanded,
// however few bytes would make billions of them, and no file is fetched.
TEST(HostileXml, EntitiesAndDocumentTypesAreRefused) {
    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE Project [<!ENTITY l0 \"ha\">";
    for (int i = 1; i <= 12; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]>" + Head + "<Title>&l12;</Title>" + Tail;
    EXPECT_TRUE(Refused(laughs));
    EXPECT_TRUE(Refused("<!DOCTYPE Project [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>" + Head + "<Title>&x;</Title>" + Tail));
    // An external DTD is not read: its entity stays unknown.
    FileTests::TempFolder folder;
    FileTests::WriteBytes(folder / "esterno.dtd", "<!ENTITY preso \"dal file\">");
    std::string url = "file:///" + (folder / "esterno.dtd");
    for (char& c : url)
        if (c == '\\') c = '/';
    EXPECT_TRUE(Refused("<!DOCTYPE Project SYSTEM \"" + url + "\">" + Head + "<Title>&preso;</Title>" + Tail));
    EXPECT_TRUE(Refused(Head + "<Title>&nessuna;</Title>" + Tail));
    // The five predefined entities and character references are text.
    EXPECT_EQ(Import(Head + "<Title>&lt;&amp;&gt;&quot;&apos;&#233;&#x20AC;</Title>" + Tail), ImportResult::Ok);
}

// Texts and attributes past the limit, elements nested past it.
TEST(HostileXml, HugeValuesAndDeepNestingAreRefused) {
    const std::string huge(2 * 1024 * 1024, 'x');
    EXPECT_TRUE(Refused(Head + "<Title>" + huge + "</Title>" + Tail));
    EXPECT_TRUE(Refused(Head + "<Notes a=\"" + huge + "\"/>" + Tail));
    EXPECT_TRUE(Refused(Head + "<Notes>" + huge.substr(0, 600000) + "<!-- -->" + huge.substr(0, 600000) + "</Notes>" + Tail));
    std::string deep, closing;
    for (int i = 0; i < 5000; ++i) deep += "<x>", closing += "</x>";
    EXPECT_TRUE(Refused(Head + deep + closing + Tail));
    // Within the limits all is well.
    std::string nested, nestedEnd;
    for (int i = 0; i < 50; ++i) nested += "<x>", nestedEnd += "</x>";
    EXPECT_EQ(Import(Head + "<Notes>" + huge.substr(0, 500000) + "</Notes>" + nested + nestedEnd + OneTask() + Tail),
              ImportResult::Ok);
}

// Every cut of a sound file is refused, and a sound file with bytes changed
// at random gives a format error or a project that the project file holds.
TEST(HostileXml, TruncatedAndDamagedFiles) {
    std::mt19937 random(21);
    const std::string sound = CollectText(ProjectXmlParts(ExchangeTests::RandomProject(random, 3)));
    ASSERT_EQ(Import(sound), ImportResult::Ok);
    const std::size_t end = sound.rfind(Tail);
    for (std::size_t length = 0; length < end + Tail.size(); length += 1 + length / 400)
        ASSERT_TRUE(Refused(sound.substr(0, length))) << "cut at " << length;
    const char replacements[] = {'<', '>', '&', '/', '"', '0', '9', 'x', '\0', '\xFF', '-', ' ', 'T', ';'};
    for (int round = 0; round < 1500; ++round) {
        std::string damaged = sound;
        for (int n = std::uniform_int_distribution<int>(1, 4)(random); n > 0; --n) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, damaged.size() - 1)(random);
            damaged[at] = replacements[std::uniform_int_distribution<int>(0, sizeof replacements - 1)(random)];
        }
        Project p = ModelTests::Tetto();
        const std::string before = ModelTests::Fields(p, true);
        DroppedItems dropped;
        const ImportResult result = ImportProjectXml(damaged, "file", p, dropped);
        ASSERT_NE(result, ImportResult::OpenFailed);
        if (result == ImportResult::FormatError) {
            ASSERT_EQ(ModelTests::Fields(p, true), before) << round;
            continue;
        }
        Project saved;
        ASSERT_EQ(LoadProjectLines(saved, SerializeProject(p)), LoadResult::Ok) << round;
        ASSERT_EQ(ModelTests::Fields(saved, false), ModelTests::Fields(p, false)) << round;
    }
}

// Values the program cannot take, or that contradict each other.
TEST(HostileXml, UnsoundValuesAreRefused) {
    EXPECT_TRUE(Refused("<Progetto/>"));
    EXPECT_TRUE(Refused("<Project xmlns=\"urn:altro\"/>"));
    EXPECT_TRUE(Refused(Head + Tail + Head + Tail));
    EXPECT_TRUE(Refused(Head + "<StartDate>2027-02-30T08:00:00</StartDate>" + Tail));
    EXPECT_TRUE(Refused(Head + "<StartDate>27/02/2027</StartDate>" + Tail));
    EXPECT_TRUE(Refused(Head + "<FinishDate>20227-02-26T17:00:00</FinishDate>" + Tail)) << "a year the project file cannot hold";
    EXPECT_TRUE(Refused(Head + "<StartDate>2027-03-09T08:00:00</StartDate><FinishDate>2027-03-01T08:00:00</FinishDate>" + Tail));
    EXPECT_TRUE(Refused(Head + "<MinutesPerDay>0</MinutesPerDay>" + Tail));
    EXPECT_TRUE(Refused(Head + "<Tasks><Task><UID>1</UID><Start>2027-03-09T08:00:00</Start>"
                               "<Finish>2027-03-01T17:00:00</Finish></Task></Tasks>" + Tail));
    EXPECT_TRUE(Refused(Head + "<Tasks><Task><UID>1</UID><Name>senza date</Name></Task></Tasks>" + Tail));
    EXPECT_TRUE(Refused(Head + OneTask() + OneTask() + Tail)) << "two tasks of one identifier";
    EXPECT_TRUE(Refused(Head + OneTask("<Duration>otto ore</Duration>") + Tail));
    EXPECT_TRUE(Refused(Head + OneTask("<Milestone>forse</Milestone>") + Tail));
    EXPECT_TRUE(Refused(Head + OneTask("<Cost>NaN</Cost>") + Tail));
    const std::string assigned = "<Assignments><Assignment><TaskUID>1</TaskUID><ResourceUID>1</ResourceUID><Units>";
    EXPECT_TRUE(Refused(Head + OneTask() + "<Resources><Resource><UID>1</UID></Resource></Resources>" + assigned +
                        "1e12</Units></Assignment></Assignments>" + Tail))
        << "more resources than a task holds";
}

// Past the limits of a project: more tasks than the largest, or calendar
// exceptions that would list more days than that; refused at once, not
// after the memory has run out.
TEST(HostileXml, ProjectsPastTheLimitsAreRefused) {
    std::string many = Head + "<Tasks>";
    many.reserve(8 * static_cast<std::size_t>(MaxImportedItems) + 100);
    for (long long i = 0; i <= MaxImportedItems; ++i) many += "<Task/>";
    EXPECT_TRUE(Refused(many + "</Tasks>" + Tail));
    EXPECT_TRUE(Refused(Head + "<StartDate>1700-01-01T08:00:00</StartDate><FinishDate>9000-12-31T17:00:00</FinishDate>"
                               "<Calendars><Calendar><UID>1</UID><Exceptions><Exception><Type>1</Type><DayWorking>1</DayWorking>"
                               "<TimePeriod><FromDate>1700-01-01T00:00:00</FromDate><ToDate>9000-12-31T23:59:00</ToDate>"
                               "</TimePeriod></Exception></Exceptions></Calendar></Calendars>" + Tail));
    // Exceptions that each stay within the limit, but go over the same days again and again.
    std::string repeated = Head + "<StartDate>2000-01-01T08:00:00</StartDate><FinishDate>2200-12-31T17:00:00</FinishDate>"
                                  "<Calendars><Calendar><UID>1</UID><Exceptions>";
    for (int i = 0; i < 100; ++i)
        repeated += "<Exception><Type>1</Type><DayWorking>" + std::to_string(i % 2) + "</DayWorking><TimePeriod>"
                    "<FromDate>2000-01-01T00:00:00</FromDate><ToDate>2200-12-31T23:59:00</ToDate></TimePeriod></Exception>";
    EXPECT_TRUE(Refused(repeated + "</Exceptions></Calendar></Calendars>" + Tail));
}

TEST(HostileXml, AFileThatCannotBeOpened) {
    Project p;
    DroppedItems dropped;
    FileTests::TempFolder folder;
    EXPECT_EQ(ImportProjectXmlFile(folder / "manca.xml", p, dropped), ImportResult::OpenFailed);
}

#ifdef _WIN32
// A file of about 100 MB, most of it notes the program does not keep, is
// read as a stream: the process grows by what the project holds, not by the
// size of the file.
TEST(HostileXml, AHundredMegabyteFileIsReadInAStream) {
    FileTests::TempFolder folder;
    const std::string path = folder / "grande.xml";
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const std::string notes(100 * 1024, 'n');
        std::string part = Head + "<Tasks>";
        for (int uid = 1; uid <= 1000; ++uid) {
            part += "<Task><UID>" + std::to_string(uid) + "</UID><Name>Attivit\xC3\xA0 " + std::to_string(uid) +
                    "</Name><Start>2027-03-01T08:00:00</Start><Finish>2027-03-05T17:00:00</Finish><Notes>" + notes +
                    "</Notes></Task>\r\n";
            std::fwrite(part.data(), 1, part.size(), file);
            part.clear();
        }
        part += "</Tasks>" + Tail;
        std::fwrite(part.data(), 1, part.size(), file);
        std::fclose(file);
    }
    PROCESS_MEMORY_COUNTERS before{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
    Project p;
    DroppedItems dropped;
    ASSERT_EQ(ImportProjectXmlFile(path, p, dropped), ImportResult::Ok);
    PROCESS_MEMORY_COUNTERS after{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    EXPECT_EQ(p.tasks.size(), 1000u);
    const double grown = static_cast<double>(after.PeakWorkingSetSize) - static_cast<double>(before.PeakWorkingSetSize);
    EXPECT_LT(grown, 64.0 * 1024 * 1024) << "the peak grew by " << grown / (1 << 20) << " MB";
}
#endif
