#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Project.h"
#include "tests/model/TestDates.h"

using namespace MyApp;
using TestDates::D;

namespace {

Task MakeTask(const char* description, const Date& start, const Date& end) {
    Task t;
    t.description = description;
    t.start = start;
    t.end = end;
    t.colour = ColourRosso;
    return t;
}

}  // namespace

TEST(Task, TakesTheNextIdAndTheCurrentDay) {
    const int before = nextTaskId;
    Task a;
    Task b;
    EXPECT_EQ(a.id, before + 1);
    EXPECT_EQ(b.id, before + 2);
    EXPECT_EQ(nextTaskId, before + 2);
    EXPECT_EQ(a.resources, 0);
    EXPECT_EQ(a.dailyCost, 0.0);
    EXPECT_FALSE(a.start.invalid);
    EXPECT_EQ(a.start.value.wYear, LocalNow().value.wYear);
    Task copy = a;  // copies keep the id and take none
    EXPECT_EQ(copy.id, a.id);
    EXPECT_EQ(nextTaskId, before + 2);
}

// A bar's text stays readable on any colour: the five colours keep the text
// they always had; on any other the text is the one of white and black that
// contrasts more with the bar, and never less than 4.5 : 1 against it.
TEST(Task, BarTextStandsOutOnEveryColour) {
    EXPECT_EQ(BarTextColour(ColourBlu), 0xFFFFFFu);
    EXPECT_EQ(BarTextColour(ColourRosso), 0xFFFFFFu);
    for (COLORREF dark : {ColourAzzuro, ColourBianco, ColourVerde}) EXPECT_EQ(BarTextColour(dark), 0u);
    EXPECT_EQ(BarTextColour(0x000000), 0xFFFFFFu) << "black bar";
    EXPECT_EQ(BarTextColour(0x008000), 0xFFFFFFu) << "the dark green of a file made elsewhere";
    auto contrast = [](COLORREF a, COLORREF b) {
        const double la = RelativeLuminance(a) + 0.05, lb = RelativeLuminance(b) + 0.05;
        return la > lb ? la / lb : lb / la;
    };
    for (COLORREF step = 0; step < 16 * 16 * 16; ++step) {
        const COLORREF colour = step % 16 * 17 | (step / 16 % 16 * 17) << 8 | (step / 256 * 17) << 16;
        if (IsBarColour(colour)) continue;
        const COLORREF text = BarTextColour(colour);
        const COLORREF other = text == 0 ? 0xFFFFFF : 0;
        EXPECT_GE(contrast(colour, text), contrast(colour, other)) << std::hex << colour;
        EXPECT_GE(contrast(colour, text), 4.5) << std::hex << colour;
    }
}

TEST(Task, IdsAreNeverReusedAndWrapInsteadOfOverflowing) {
    Project p;
    AddTask(p, MakeTask("a", D(4, 3, 2024), D(5, 3, 2024)));
    const int first = p.tasks[0].id;
    ClearProject(p);
    AddTask(p, MakeTask("b", D(4, 3, 2024), D(5, 3, 2024)));
    EXPECT_GT(p.tasks[0].id, first);

    const int saved = nextTaskId;
    nextTaskId = 2147483647;
    Task wrapped;
    EXPECT_EQ(wrapped.id, -2147483647 - 1);
    nextTaskId = saved;
}

TEST(Project, AddAndReplaceKeepTheTasksSortedByStart) {
    Project p;
    AddTask(p, MakeTask("c", D(10, 3, 2024), D(12, 3, 2024)));
    AddTask(p, MakeTask("a", D(4, 3, 2024), D(5, 3, 2024)));
    AddTask(p, MakeTask("b1", D(6, 3, 2024), D(7, 3, 2024)));
    AddTask(p, MakeTask("b2", D(6, 3, 2024), D(9, 3, 2024)));
    ASSERT_EQ(p.tasks.size(), 4u);
    EXPECT_EQ(p.tasks[0].description, "a");
    EXPECT_EQ(p.tasks[1].description, "b1");  // equal starts keep their order
    EXPECT_EQ(p.tasks[2].description, "b2");
    EXPECT_EQ(p.tasks[3].description, "c");

    const int idOfC = p.tasks[3].id;
    Task values = MakeTask("c moved", D(1, 3, 2024), D(2, 3, 2024));
    values.resources = 3;
    values.dailyCost = 99.5;
    values.colour = ColourVerde;
    ReplaceTask(p, 3, values);
    EXPECT_EQ(p.tasks[0].description, "c moved");
    EXPECT_EQ(p.tasks[0].id, idOfC);
    EXPECT_EQ(p.tasks[0].resources, 3);
    EXPECT_EQ(p.tasks[0].dailyCost, 99.5);
    EXPECT_EQ(p.tasks[0].colour, ColourVerde);
    EXPECT_EQ(FormatDate(p.tasks[0].end), "02/03/2024");
    EXPECT_EQ(FindTaskById(p, idOfC), 0);
    EXPECT_EQ(FindTaskById(p, -12345), -1);

    ReplaceTask(p, -1, values);  // nothing selected: nothing changes
    ReplaceTask(p, 4, values);
    EXPECT_EQ(p.tasks[1].description, "a");
    EXPECT_EQ(p.tasks.size(), 4u);
}

// A sort of more than a handful of tasks still keeps those of one start in
// the order they had.
TEST(Project, ManyTasksOfOneStartKeepTheirOrder) {
    Project p;
    for (int i = 0; i < 30; ++i) p.tasks.push_back(MakeTask(std::to_string(i).c_str(), D(6, 3, 2024), D(8, 3, 2024)));
    AddTask(p, MakeTask("early", D(4, 3, 2024), D(5, 3, 2024)));
    std::vector<std::string> expected{"early"}, order;
    for (int i = 0; i < 30; ++i) expected.push_back(std::to_string(i));
    for (const Task& t : p.tasks) order.push_back(t.description);
    EXPECT_EQ(order, expected);
}

TEST(Project, SortingSurvivesInvalidStarts) {
    Project p;
    for (int i = 0; i < 50; ++i) {
        Task t = MakeTask("t", D(1 + (i * 7) % 28, 3, 2024), D(28, 3, 2024));
        if (i % 5 == 0) t.start = MakeDate(TestDates::Fields(31, 2, 2024));
        p.tasks.push_back(t);
    }
    SortTasks(p);
    for (std::size_t i = 1; i < p.tasks.size(); ++i)
        if (!p.tasks[i - 1].start.invalid && !p.tasks[i].start.invalid) {
            EXPECT_NE(CompareDates(p.tasks[i - 1].start, p.tasks[i].start), 1);
        }
}

TEST(Project, TaskSpanAndClear) {
    Project p;
    Date first = D(1, 1, 2000), last = D(2, 2, 2000);
    EXPECT_FALSE(TaskSpan(p, first, last));
    EXPECT_EQ(FormatDate(first), "01/01/2000");  // untouched
    p.tasks.push_back(MakeTask("a", D(6, 3, 2024), D(8, 3, 2024)));
    ASSERT_TRUE(TaskSpan(p, first, last));
    EXPECT_EQ(FormatDate(first), "06/03/2024");
    EXPECT_EQ(FormatDate(last), "08/03/2024");
    p.tasks.push_back(MakeTask("b", D(4, 3, 2024), D(5, 3, 2024)));
    p.tasks.push_back(MakeTask("c", D(7, 3, 2024), D(20, 3, 2024)));
    ASSERT_TRUE(TaskSpan(p, first, last));
    EXPECT_EQ(FormatDate(first), "04/03/2024");
    EXPECT_EQ(FormatDate(last), "20/03/2024");

    p.description = "Tetto";
    p.workingWeekdays[2] = 1;
    p.filePath = "x.vmo";
    p.modified = true;
    p.includeDays.push_back(D(9, 3, 2024));
    p.excludeDays.push_back(D(7, 3, 2024));
    ClearProject(p);
    EXPECT_TRUE(p.tasks.empty());
    EXPECT_TRUE(p.includeDays.empty());
    EXPECT_TRUE(p.excludeDays.empty());
    EXPECT_EQ(p.description, "Tetto");
    EXPECT_EQ(p.workingWeekdays[2], 1);
    EXPECT_EQ(p.filePath, "x.vmo");
    EXPECT_TRUE(p.modified);
}
