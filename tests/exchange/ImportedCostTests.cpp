// The import keeps each task's cost from the file: random files of part-time
// work, several assignments, material and cost resources and rates shown
// per hour, day, week or month, costs given by the task, by its assignments
// or by the rates alone, come in with the file's costs to the cent except
// for the tasks the message counts, and within the task dialog's limits.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <string>

#include "exchange/DecimalText.h"
#include "exchange/ImportNotice.h"
#include "exchange/ProjectXml.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "tests/model/TestDates.h"

using namespace MyApp;

namespace {

std::string Tag(const std::string& name, const std::string& value) { return "<" + name + ">" + value + "</" + name + ">"; }

std::string Day(const Date& d) {
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", d.value.wYear, d.value.wMonth, d.value.wDay);
    return text;
}

// A task as the file has it: its cost, the people its work assignments
// make, and its days in the file's calendar and in the program's.
struct Expected {
    double cost = 0, people = 0;
    bool work = false;
    long long fileDays = 0, days = 0;
};

// A file as Microsoft Project writes one: Monday to Friday without the
// Italian holidays, a day off every few days, and `expected` for each task.
std::string RandomFile(std::mt19937& random, std::vector<Expected>& expected) {
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const double hours = pick(0, 1) ? 8.0 : 7.5;
    const Date first = TestDates::D(1, pick(1, 12), 2027);
    Date off = first, lastOff;
    for (int i = pick(0, 40); i > 0; --i) off = AddOneDay(off);
    const int period = pick(1, 4), times = pick(1, 6);
    std::set<std::int64_t> offDays;
    for (Date d = off; offDays.size() < static_cast<std::size_t>(times); d = AddOneDay(d))
        if ((ComparisonTicks(d) - ComparisonTicks(off)) / TicksPerDay % period == 0) offDays.insert(ComparisonTicks(lastOff = d) / TicksPerDay);
    std::string xml = "<Project xmlns=\"http://schemas.microsoft.com/project\">" + Tag("MinutesPerDay", DecimalText(hours * 60)) +
                      "<Calendars><Calendar><UID>1</UID><Exceptions><Exception><EnteredByOccurrences>1</EnteredByOccurrences>" +
                      Tag("TimePeriod", Tag("FromDate", Day(off)) + Tag("ToDate", Day(lastOff) + "T23:59:00")) +
                      Tag("Occurrences", std::to_string(times)) + Tag("Period", std::to_string(period)) +
                      "<Type>1</Type><DayWorking>0</DayWorking></Exception></Exceptions></Calendar></Calendars><Tasks>";
    std::string resources, assignments;
    std::vector<std::pair<int, double>> kinds;  // type and rate, by identifier
    for (int r = 0; r < 5; ++r) {
        kinds.emplace_back(pick(0, 2), pick(0, 30000) / 100.0);
        resources += "<Resource>" + Tag("UID", std::to_string(r)) + Tag("Type", std::to_string(kinds[r].first)) +
                     Tag("StandardRate", DecimalText(kinds[r].second)) + Tag("StandardRateFormat", std::to_string(pick(2, 5))) + "</Resource>";
    }
    const bool projectRow = pick(0, 1);  // else the first task has the identifier 0 of the project's row
    if (projectRow) xml += "<Task><UID>0</UID><OutlineLevel>0</OutlineLevel><Summary>1</Summary></Task>";
    for (int t = 0, tasks = pick(1, 12); t < tasks; ++t) {
        Expected e;
        Date start = first, end;
        for (int i = pick(0, 120); i > 0; --i) start = AddOneDay(start);
        end = start;
        for (int i = pick(0, pick(0, 1) ? 2 : 25); i > 0; --i) end = AddOneDay(end);
        for (Date d = start; !(d > end); d = AddOneDay(d)) {
            const bool weekday = d.value.wDayOfWeek >= 1 && d.value.wDayOfWeek <= 5 && offDays.count(ComparisonTicks(d) / TicksPerDay) == 0;
            e.fileDays += weekday;
            e.days += weekday && !IsPublicHoliday(d);
        }
        const int mode = pick(0, 2);  // the cost given by the task, by its assignments, or by neither
        const std::string uid = std::to_string(t + projectRow);
        for (int a = pick(0, 3); a > 0; --a) {
            const int r = pick(0, 4);
            const double unitChoices[] = {0.25, 0.4, 0.5, 1, 1.5, 2, 3, -3, 5e6};
            const double units = kinds[r].first == 0 ? pick(1, 500) : kinds[r].first == 2 ? 1 : unitChoices[pick(0, pick(0, 9) ? 6 : 8)];
            const double work = units * e.fileDays * hours, rated = kinds[r].second * (kinds[r].first ? work : units);
            const double cost = kinds[r].first == 2 ? pick(-100, 1000000) / 100.0 : std::round(rated * 100) / 100;
            e.people += kinds[r].first == 1 ? units : 0;
            e.work = e.work || kinds[r].first == 1;
            e.cost += mode < 2 ? cost : kinds[r].first == 2 ? 0 : rated;
            assignments += "<Assignment>" + Tag("TaskUID", uid) + Tag("ResourceUID", std::to_string(r)) + Tag("Units", DecimalText(units)) +
                           (mode == 1 ? Tag("Cost", DecimalText(cost * 100)) : "") +
                           (pick(0, 1) && kinds[r].first == 1 && units > 0 ? Tag("Work", "PT" + DecimalText(work) + "H0M0S") : "") + "</Assignment>";
        }
        const double fixed[] = {0, 0, 1234.56, -5e4, 5e16};
        if (mode == 0) e.cost += fixed[pick(0, 4)];
        xml += "<Task>" + Tag("UID", uid) + Tag("Name", "T" + uid) + "<OutlineLevel>1</OutlineLevel>" + Tag("Start", Day(start) + "T08:00:00") +
               Tag("Finish", Day(end) + "T17:00:00") + Tag("Duration", "PT" + DecimalText(e.fileDays * hours) + "H0M0S") +
               (mode == 0 ? Tag("Cost", DecimalText(e.cost * 100)) : "") + "</Task>";
        expected.push_back(e);
    }
    return xml + "</Tasks><Resources>" + resources + "</Resources><Assignments>" + assignments + "</Assignments></Project>";
}

}  // namespace

TEST(ImportedCost, TheFilesCostsComeInToTheCentSaveWhatTheMessageCounts) {
    std::mt19937 random(30);
    for (int round = 0; round < 500; ++round) {
        std::vector<Expected> expected;
        const std::string xml = RandomFile(random, expected);
        SCOPED_TRACE(xml);
        Project p;
        DroppedItems dropped;
        ASSERT_EQ(ImportProjectXml(xml, "file", p, dropped), ImportResult::Ok);
        ASSERT_EQ(p.tasks.size(), expected.size());
        const WorkingDayCalendar calendar(p);
        double total = 0, fileTotal = 0;
        long long notKept = 0, daysDiffer = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Expected& e = expected[i];
            const Task& t = p.tasks[i];
            const TaskCost got = CostOf(calendar, t);
            ASSERT_EQ(got.workingDays, e.days) << i;
            const double people = std::min(std::max(std::round(e.people), 0.0), 100000.0);
            ASSERT_EQ(t.resources, people == 0 && (e.work || e.cost != 0) ? 1 : people) << i;
            ASSERT_TRUE(t.dailyCost >= 0 && t.dailyCost < MaxDailyCost) << i << " " << t.dailyCost;
            const double daily = e.days > 0 ? e.cost / static_cast<double>(e.days * t.resources) : -1;
            const bool keepable = e.cost == 0 || (daily >= 0 && daily < MaxDailyCost);
            if (keepable) {
                EXPECT_NEAR(got.cost, e.cost, std::max(0.005, std::fabs(e.cost) * 1e-12)) << i;
                total += got.cost, fileTotal += e.cost;
            }
            notKept += !keepable;
            daysDiffer += e.days != e.fileDays;
        }
        EXPECT_NEAR(total, fileTotal, std::max(0.005, std::fabs(fileTotal) * 1e-12));
        EXPECT_EQ(dropped.costsNotKept, notKept);
        EXPECT_EQ(dropped.daysDiffer, daysDiffer);
        EXPECT_EQ(dropped.AnyDropped(), false);
        if (HasFailure()) return;
    }
}

// Files as Microsoft Project saves them, each task one of the ways a cost
// or a day went astray: a task of identifier 0 that is no summary, 0.4 of a
// person, 200 units of material, 5,000,000 and -3 people, Easter Monday,
// a Saturday, and a day off every 2 days, 5 times.
TEST(ImportedCost, EachTaskKeepsItsCostAndTheMessageTellsTheRest) {
    const auto task = [](int uid, const char* start, const char* finish, const char* cost, const std::string& more = "") {
        return "<Task>" + Tag("UID", std::to_string(uid)) + "<OutlineLevel>1</OutlineLevel><Summary>0</Summary>" +
               Tag("Start", std::string(start) + "T08:00:00") + Tag("Finish", std::string(finish) + "T17:00:00") + Tag("Cost", cost) + more + "</Task>";
    };
    const auto assigned = [](int task, int resource, const char* units) {
        return "<Assignment>" + Tag("TaskUID", std::to_string(task)) + Tag("ResourceUID", std::to_string(resource)) + Tag("Units", units) + "</Assignment>";
    };
    const std::string xml =
        "<Project xmlns=\"http://schemas.microsoft.com/project\"><Calendars><Calendar><UID>1</UID><Exceptions><Exception>"
        "<EnteredByOccurrences>1</EnteredByOccurrences><TimePeriod><FromDate>2027-03-08T00:00:00</FromDate><ToDate>2027-03-16T23:59:00</ToDate>"
        "</TimePeriod><Occurrences>5</Occurrences><Period>2</Period><Type>1</Type><DayWorking>0</DayWorking></Exception></Exceptions>"
        "</Calendar></Calendars><Tasks>" + task(0, "2027-03-01", "2027-03-05", "160000") + task(1, "2027-03-01", "2027-03-05", "100000") +
        task(2, "2027-03-01", "2027-03-05", "500000") + task(3, "2027-03-01", "2027-03-05", "500000") +
        task(4, "2027-03-22", "2027-04-07", "520000", "<Duration>PT104H0M0S</Duration><PredecessorLink><PredecessorUID>0</PredecessorUID></PredecessorLink>") +
        task(5, "2027-03-06", "2027-03-06", "10000") + "</Tasks><Resources><Resource><UID>1</UID><StandardRate>100</StandardRate></Resource>"
        "<Resource><UID>2</UID><Type>0</Type><StandardRate>5</StandardRate></Resource></Resources><Assignments>" +
        assigned(0, 1, "0.4") + assigned(1, 2, "200") + assigned(2, 1, "5000000") + assigned(3, 1, "-3") + "</Assignments></Project>";
    Project p;
    DroppedItems dropped;
    ASSERT_EQ(ImportProjectXml(xml, "file", p, dropped), ImportResult::Ok);
    ASSERT_EQ(p.tasks.size(), 6u);
    const WorkingDayCalendar calendar(p);
    const int resources[] = {1, 1, 100000, 1, 1, 1};
    const double costs[] = {1600, 1000, 5000, 5000, 5200, 0};
    for (std::size_t i = 0; i < p.tasks.size(); ++i) {
        EXPECT_EQ(p.tasks[i].resources, resources[i]) << i;
        EXPECT_NEAR(CostOf(calendar, p.tasks[i]).cost, costs[i], 0.005) << i;
    }
    std::string off;
    for (const Date& d : p.excludeDays) off += FormatDate(d) + " ";
    EXPECT_EQ(off, "08/03/2027 10/03/2027 12/03/2027 14/03/2027 16/03/2027 ");
    EXPECT_EQ(ImportNotice(dropped), L"Alcuni elementi del file non possono essere rappresentati nel progetto e non sono stati "
                                     L"importati:\n1 collegamento tra task\n\nAlcuni task sono stati importati diversamente dal file:\n"
                                     L"1 task con giorni lavorativi diversi dal file\n1 task con costo diverso dal file");
}
