// Random files of part-time work, several assignments, material and cost
// resources, rates shown per hour, day, week or month, costs given by the
// task, by its assignments or by the rates alone, and days off every few days.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "exchange/DecimalText.h"
#include "exchange/ImportNotice.h"
#include "model/Money.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "tests/exchange/ExchangeTestSupport.h"

using namespace MyApp;
using ExchangeTests::IsoDay;

namespace {

std::string Tag(const std::string& name, const std::string& value) {
    return "<" + name + ">" + value + "</" + name + ">";
}

// A task as the file has it: its cost, its work assignments' units, its working days there and here.
struct Expected {
    double cost = 0, people = 0;
    bool work = false;
    long long fileDays = 0, days = 0;
};

// A file as Microsoft Project writes one: Monday to Friday without the Italian holidays, a day off every few
// days, and first either the project's own row or a task of its identifier 0.
std::string RandomFile(std::mt19937& random, std::vector<Expected>& expected) {
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto later = [](Date d, int days) {
        while (days-- > 0) d = AddOneDay(d);
        return d;
    };
    const double hours = pick(0, 1) ? 8.0 : 7.5;
    const Date first = TestDates::D(1, pick(1, 12), 2027), off = later(first, pick(0, 40));
    const int period = pick(1, 4), times = pick(1, 6), firstUid = pick(0, 1);
    std::string xml =
        "<Project xmlns=\"http://schemas.microsoft.com/project\"><MinutesPerDay>" + DecimalText(hours * 60) +
        "</MinutesPerDay><Calendars><Calendar><UID>1</UID><Exceptions><Exception>" +
        Tag("TimePeriod",
            Tag("FromDate", IsoDay(off)) + Tag("ToDate", IsoDay(later(off, period * (times - 1))) + "T23:59")) +
        "<EnteredByOccurrences>1</EnteredByOccurrences><Occurrences>" + std::to_string(times) + "</Occurrences>" +
        Tag("Period", std::to_string(period)) + "<Type>1</Type><DayWorking>0</DayWorking></Exception>" +
        "</Exceptions></Calendar></Calendars><Tasks>";
    if (firstUid == 1) xml += "<Task><UID>0</UID><OutlineLevel>0</OutlineLevel><Summary>1</Summary></Task>";
    std::string resources, assignments;
    int kind[5];  // the format's resource types: 0 material, 1 work, 2 cost
    double rate[5];
    for (int r = 0; r < 5; ++r) {
        kind[r] = pick(0, 2), rate[r] = pick(0, 750) * 0.4;  // whole cents for every hour and unit here
        resources += "<Resource>" + Tag("UID", std::to_string(r)) + Tag("Type", std::to_string(kind[r])) +
                     Tag("StandardRate", DecimalText(rate[r])) + Tag("StandardRateFormat", std::to_string(pick(2, 5))) +
                     "</Resource>";
    }
    for (int t = 0, tasks = pick(1, 12); t < tasks; ++t) {
        Expected e;
        const Date start = later(first, pick(0, 120)), end = later(start, pick(0, pick(0, 1) ? 2 : 25));
        for (Date d = start; !(d > end); d = AddOneDay(d)) {
            const std::int64_t n = DaysUntil(off, d);
            const bool weekday = d.value.wDayOfWeek >= 1 && d.value.wDayOfWeek <= 5 &&
                                 !(n >= 0 && n % period == 0 && n / period < times);
            e.fileDays += weekday, e.days += weekday && !IsPublicHoliday(d);
        }
        const int given = pick(0, 2);  // the cost given by the task, by its assignments, or by neither
        const std::string uid = std::to_string(t + firstUid);
        for (int a = pick(0, 3); a > 0; --a) {
            const int r = pick(0, 4);
            const double people[] = {0.25, 0.4, 0.5, 1, 1.5, 2, 3, -3, 5e6};
            const double units = kind[r] == 0 ? pick(1, 500) : kind[r] == 2 ? 1 : people[pick(0, pick(0, 9) ? 6 : 8)];
            const double work = units * e.fileDays * hours, rated = rate[r] * (kind[r] == 1 ? work : units);
            const double cost = kind[r] == 2 ? pick(-100, 1000000) / 100.0 : std::round(rated * 100) / 100;
            e.people += kind[r] == 1 ? units : 0, e.work = e.work || kind[r] == 1;
            e.cost += given < 2 ? cost : kind[r] == 2 ? 0 : rated;
            assignments +=
                "<Assignment>" + Tag("TaskUID", uid) + Tag("ResourceUID", std::to_string(r)) +
                Tag("Units", DecimalText(units)) + (given == 1 ? Tag("Cost", DecimalText(cost * 100)) : "") +
                (kind[r] == 1 && units > 0 && pick(0, 1) ? Tag("Work", "PT" + DecimalText(work) + "H") : "") +
                "</Assignment>";
        }
        const double fixed[] = {0, 0, 1234.56, -5e4, 1e22};  // beside the assignments'
        e.cost += given == 0 ? fixed[pick(0, 4)] : 0;
        xml += "<Task>" + Tag("UID", uid) + "<OutlineLevel>1</OutlineLevel>" + Tag("Start", IsoDay(start)) +
               Tag("Finish", IsoDay(end) + "T17:00") + Tag("Duration", "PT" + DecimalText(e.fileDays * hours) + "H") +
               (given == 0 ? Tag("Cost", DecimalText(e.cost * 100)) : "") + "</Task>";
        expected.push_back(e);
    }
    return xml + "</Tasks><Resources>" + resources + "</Resources><Assignments>" + assignments +
           "</Assignments></Project>";
}

}  // namespace

// The imported total is the sum of the file's task costs to the cent, save for the tasks whose cost the
// message counts; resources and daily costs lie within the task dialog's limits.
TEST(ImportedCost, TheFilesCostsComeInToTheCentSaveWhatTheMessageCounts) {
    std::mt19937 random(30);
    for (int round = 0; round < 500 && !HasFailure(); ++round) {
        std::vector<Expected> expected;
        const std::string xml = RandomFile(random, expected);
        SCOPED_TRACE(xml);
        Project p;
        DroppedItems dropped;
        ASSERT_EQ(ImportProjectXml(xml, "file", p, dropped), ImportResult::Ok);
        ASSERT_EQ(p.tasks.size(), expected.size());
        const WorkingDayCalendar calendar(p);
        Money total, fileTotal;
        long long notKept = 0, daysDiffer = 0;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const Expected& e = expected[i];
            const Task& t = p.tasks[i];
            const double people = std::min(std::max(std::round(e.people), 0.0), 100000.0);
            const Money fileCost = CostOfDays(e.cost, 1, 1);
            EXPECT_EQ(CostOf(calendar, t).workingDays, e.days) << i;
            EXPECT_EQ(t.resources, people == 0 && (e.work || fileCost != Money()) ? 1 : people) << i;
            EXPECT_TRUE(t.dailyCost >= 0 && t.dailyCost < MaxDailyCost) << i << " " << t.dailyCost;
            const double daily = e.days > 0 ? e.cost / static_cast<double>(e.days * t.resources) : -1;
            const bool kept = fileCost == Money() || (daily >= 0 && daily < MaxDailyCost);
            if (kept) total += CostOf(calendar, t).cost, fileTotal += fileCost;
            notKept += !kept, daysDiffer += e.days != e.fileDays;
        }
        EXPECT_TRUE(total == fileTotal) << total.ToDouble() << " " << fileTotal.ToDouble();
        EXPECT_EQ(dropped.costsNotKept, notKept);
        EXPECT_EQ(dropped.daysDiffer, daysDiffer);
        EXPECT_FALSE(dropped.AnyDropped());
        const std::wstring told = ImportNotice(dropped);
        EXPECT_EQ(told.find(std::to_wstring(notKept) + L" task con costo diverso dal file") != told.npos, notKept > 0);
    }
}
