// Microsoft Project XML: what the export writes (read back element by
// element), export then import giving back the same project, files written
// by hand after the published schema, and (on the host) the Planner
// program's own importer of the format, msp2planner.xsl run by xsltproc.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <string>

#include "exchange/ProjectXml.h"
#include "exchange/Utf8Text.h"
#include "model/CostReport.h"
#include "model/NumberText.h"
#include "model/WorkingDays.h"
#include "tests/exchange/ExchangeTestSupport.h"
#include "tests/file/FileTestSupport.h"
#include "tests/model/ModelTestSupport.h"

using namespace MyApp;
using ExchangeTests::XmlElement;
using TestDates::D;

namespace {

std::string Xml(const Project& p) { return CollectText(ProjectXmlParts(p)); }

XmlElement Tree(const std::string& xml) {
    bool ok = false;
    XmlElement root = ExchangeTests::ReadTree(xml, ok);
    EXPECT_TRUE(ok) << xml.substr(0, 2000);
    return root;
}

ImportResult Import(const std::string& xml, Project& p, DroppedItems& dropped) {
    return ImportProjectXml(xml, "file", p, dropped);
}

// The day lists as sets: their order and repeats do not matter, and an
// excluded public holiday says nothing the calendar does not say already.
std::string DayLists(const Project& p) {
    std::set<std::string> include, exclude;
    for (const Date& d : p.includeDays) include.insert(FormatDate(d));
    for (const Date& d : p.excludeDays)
        if (!IsPublicHoliday(d) && !IsIncludedDay(p, d)) exclude.insert(FormatDate(d));
    std::string s;
    for (const std::string& d : include) s += " I" + d;
    for (const std::string& d : exclude) s += " E" + d;
    return s;
}

// "PT<hours>H0M0S" as hours.
long long Hours(const std::string& duration) { return std::atoll(duration.c_str() + 2); }

}  // namespace

// The elements of the format in their places: the calendar (weekdays,
// every public holiday of the span's years and the day lists), and for each
// task its days, a resource whose rate times the work is the report's cost.
TEST(ProjectXmlExport, CalendarTasksResourcesAndCosts) {
    Project p = ModelTests::Tetto();
    p.start = D(4, 3, 2024);
    p.end = D(10, 1, 2025);
    p.includeDays.push_back(D(25, 4, 2024));  // a holiday made a working day
    p.tasks[0].description = "Ponteggio & \"gru\" <1>";
    Task idle = p.tasks[0];
    idle.description = "Nessuno";
    idle.resources = 0;
    idle.dailyCost = 0;
    p.tasks.push_back(idle);
    const XmlElement project = Tree(Xml(p));
    EXPECT_EQ(project.name, "Project");
    EXPECT_EQ(project.namespaceUri, "http://schemas.microsoft.com/project");
    EXPECT_EQ(project["Title"].text, "Tetto");
    EXPECT_EQ(project["StartDate"].text, "2024-03-04T08:00:00");
    EXPECT_EQ(project["FinishDate"].text, "2025-01-10T17:00:00");

    const XmlElement& calendar = project["Calendars"]["Calendar"];
    EXPECT_EQ(calendar["UID"].text, project["CalendarUID"].text);
    std::string weekdays;
    for (const XmlElement* day : calendar["WeekDays"].All("WeekDay")) weekdays += (*day)["DayType"].text + (*day)["DayWorking"].text + " ";
    EXPECT_EQ(weekdays, "10 21 31 41 51 61 70 ");
    std::map<std::string, std::string> exceptions;  // day: working, name
    for (const XmlElement* e : calendar["Exceptions"].All("Exception")) {
        const std::string from = (*e)["TimePeriod"]["FromDate"].text;
        EXPECT_EQ((*e)["TimePeriod"]["ToDate"].text, from.substr(0, 10) + "T23:59:00");
        EXPECT_EQ((*e)["Type"].text, "1");
        exceptions[from.substr(0, 10)] = (*e)["DayWorking"].text + " " + (*e)["Name"].text;
    }
    for (int year : {2024, 2025}) {
        for (const MonthDay& h : FixedHolidays) {
            char day[16];
            std::snprintf(day, sizeof day, "%04d-%02d-%02d", year, h.month, h.day);
            EXPECT_EQ(exceptions.count(day), 1u) << day;
        }
    }
    EXPECT_EQ(exceptions["2024-03-31"], "0 Pasqua");
    EXPECT_EQ(exceptions["2024-04-01"], "0 Luned\xC3\xAC dell'Angelo");
    EXPECT_EQ(exceptions["2025-04-21"], "0 Luned\xC3\xAC dell'Angelo");
    EXPECT_EQ(exceptions["2024-04-25"], "1 Giorno lavorativo");
    EXPECT_EQ(exceptions["2024-03-07"], "0 Giorno non lavorativo");
    EXPECT_EQ(exceptions.size(), 2u * 12 + 1 + 0) << "the included holiday replaces its own";

    const auto tasks = project["Tasks"].All("Task");
    ASSERT_EQ(tasks.size(), 2u);
    const XmlElement& task = *tasks[0];
    EXPECT_EQ(task["Name"].text, "Ponteggio & \"gru\" <1>");
    EXPECT_EQ(task["Start"].text, "2024-03-05T08:00:00");
    EXPECT_EQ(task["Finish"].text, "2024-03-08T17:00:00");
    EXPECT_EQ(task["Duration"].text, "PT24H0M0S");  // 3 working days of 8 hours
    EXPECT_EQ(task["Work"].text, "PT48H0M0S");
    EXPECT_EQ(task["Milestone"].text, "0");
    EXPECT_EQ(task["Summary"].text, "0");
    EXPECT_EQ(task["OutlineLevel"].text, "1");
    EXPECT_EQ(task["Cost"].text, "90300");  // 903.00 in hundredths
    // Work times rate is the report's cost, for the task and its assignment.
    const auto resources = project["Resources"].All("Resource");
    const auto assignments = project["Assignments"].All("Assignment");
    ASSERT_EQ(resources.size(), 1u) << "no resource for a task without resources or cost";
    ASSERT_EQ(assignments.size(), 1u);
    const XmlElement& resource = *resources[0];
    const XmlElement& assignment = *assignments[0];
    EXPECT_EQ(assignment["TaskUID"].text, task["UID"].text);
    EXPECT_EQ(assignment["ResourceUID"].text, resource["UID"].text);
    EXPECT_EQ(assignment["Units"].text, "2");
    EXPECT_EQ(assignment["Work"].text, task["Work"].text);
    EXPECT_EQ(assignment["Cost"].text, "90300");
    const double rate = ParseReal(resource["StandardRate"].text);
    EXPECT_EQ(Hours(assignment["Work"].text) * rate, 903.0);
    EXPECT_EQ(rate * 8, 150.5);
}

// Exported and imported again, random projects come back the same: title,
// span, weekdays, every task's description, days, resources and daily cost
// (to the last bit), the day lists, and so the cost report.
TEST(ProjectXmlRoundTrip, GivesBackTheSameProject) {
    std::mt19937 random(5);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        Project p = ExchangeTests::RandomProject(random, 30);
        if (round == 0) p.tasks.clear();
        const std::string xml = Xml(p);
        Project back;
        back.filePath = "mio.vmo";
        DroppedItems dropped;
        ASSERT_EQ(Import(xml, back, dropped), ImportResult::Ok);
        EXPECT_FALSE(dropped.Any());
        EXPECT_EQ(back.filePath, "mio.vmo");
        const auto header = [](const Project& x) {
            const std::string fields = ModelTests::Fields(x, false);
            return fields.substr(0, fields.find('\n'));  // description, span, weekdays
        };
        EXPECT_EQ(header(back), header(p));
        ASSERT_EQ(back.tasks.size(), p.tasks.size());
        for (std::size_t i = 0; i < p.tasks.size(); ++i) {
            EXPECT_EQ(back.tasks[i].description, p.tasks[i].description);
            EXPECT_EQ(FormatDate(back.tasks[i].start), FormatDate(p.tasks[i].start));
            EXPECT_EQ(FormatDate(back.tasks[i].end), FormatDate(p.tasks[i].end));
            EXPECT_EQ(back.tasks[i].resources, p.tasks[i].resources);
            EXPECT_EQ(back.tasks[i].dailyCost, p.tasks[i].dailyCost);
        }
        EXPECT_EQ(DayLists(back), DayLists(p));
        std::string text, backText;
        Money total, backTotal;
        BuildCostReport(p, AmountFormat{",", ".", "3;0"}, text, total);
        BuildCostReport(back, AmountFormat{",", ".", "3;0"}, backText, backTotal);
        EXPECT_EQ(backText, text);
        EXPECT_EQ(backTotal, total);
    }
}

// The longest span a project takes: every year's public holidays go out as
// exceptions, far more of them than the days the import keeps, and come
// back as the program's own non-working days, with the extra days kept.
TEST(ProjectXmlRoundTrip, TheLongestSpanComesBackWithItsDays) {
    Project p;
    p.description = "Millenni";
    p.start = D(1, 1, 1601);
    p.end = D(31, 12, 9999);
    p.includeDays = {D(6, 1, 2027)};
    p.excludeDays = {D(7, 1, 2027)};
    Project back;
    DroppedItems dropped;
    ASSERT_EQ(Import(Xml(p), back, dropped), ImportResult::Ok);
    EXPECT_EQ(FormatDate(back.start), "01/01/1601");
    EXPECT_EQ(FormatDate(back.end), "31/12/9999");
    EXPECT_EQ(DayLists(back), DayLists(p));
}

// A file as another planner writes it, after the published schema: the
// project's summary row, a summary task, links, a milestone, a task of
// its own calendar, assignments of two resources and of none, a finish at
// midnight, exceptions in both of the format's forms, a recurring one, and
// no namespace prefix on anything.
const char* const PlannerFile = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Project xmlns="http://schemas.microsoft.com/project">
  <SaveVersion>14</SaveVersion>
  <Name>Villetta.xml</Name>
  <ScheduleFromStart>1</ScheduleFromStart>
  <StartDate>2027-01-04T08:00:00</StartDate>
  <FinishDate>2027-02-26T17:00:00</FinishDate>
  <CalendarUID>3</CalendarUID>
  <MinutesPerDay>480</MinutesPerDay>
  <Calendars>
    <Calendar><UID>1</UID><Name>Standard</Name><IsBaseCalendar>1</IsBaseCalendar><BaseCalendarUID>-1</BaseCalendarUID>
      <WeekDays>
        <WeekDay><DayType>1</DayType><DayWorking>0</DayWorking></WeekDay>
        <WeekDay><DayType>2</DayType><DayWorking>1</DayWorking></WeekDay>
        <WeekDay><DayType>3</DayType><DayWorking>1</DayWorking></WeekDay>
        <WeekDay><DayType>4</DayType><DayWorking>1</DayWorking></WeekDay>
        <WeekDay><DayType>5</DayType><DayWorking>1</DayWorking></WeekDay>
        <WeekDay><DayType>6</DayType><DayWorking>1</DayWorking></WeekDay>
        <WeekDay><DayType>7</DayType><DayWorking>0</DayWorking></WeekDay>
        <WeekDay><DayType>0</DayType><DayWorking>0</DayWorking>
          <TimePeriod><FromDate>2027-02-01T00:00:00</FromDate><ToDate>2027-02-03T23:59:00</ToDate></TimePeriod></WeekDay>
      </WeekDays>
    </Calendar>
    <Calendar><UID>3</UID><Name>Cantiere</Name><IsBaseCalendar>0</IsBaseCalendar><BaseCalendarUID>1</BaseCalendarUID>
      <WeekDays>
        <WeekDay><DayType>7</DayType><DayWorking>1</DayWorking>
          <WorkingTimes><WorkingTime><FromTime>08:00:00</FromTime><ToTime>12:00:00</ToTime></WorkingTime></WorkingTimes></WeekDay>
      </WeekDays>
      <Exceptions>
        <Exception><EnteredByOccurrences>0</EnteredByOccurrences>
          <TimePeriod><FromDate>2027-01-06T00:00:00</FromDate><ToDate>2027-01-06T23:59:00</ToDate></TimePeriod>
          <Occurrences>1</Occurrences><Name>Epifania lavorata</Name><Type>1</Type><DayWorking>1</DayWorking></Exception>
        <Exception><EnteredByOccurrences>0</EnteredByOccurrences>
          <TimePeriod><FromDate>2027-02-02T00:00:00</FromDate><ToDate>2027-02-02T23:59:00</ToDate></TimePeriod>
          <Occurrences>1</Occurrences><Type>1</Type><DayWorking>1</DayWorking></Exception>
        <Exception><EnteredByOccurrences>1</EnteredByOccurrences>
          <TimePeriod><FromDate>2027-01-01T00:00:00</FromDate><ToDate>2030-12-31T23:59:00</ToDate></TimePeriod>
          <Occurrences>4</Occurrences><Name>Festa patronale</Name><Type>2</Type><Month>5</Month><MonthDay>8</MonthDay><DayWorking>0</DayWorking></Exception>
        <Exception><EnteredByOccurrences>0</EnteredByOccurrences>
          <TimePeriod><FromDate>2026-12-28T00:00:00</FromDate><ToDate>2027-01-05T00:00:00</ToDate></TimePeriod>
          <Occurrences>1</Occurrences><Type>1</Type><DayWorking>0</DayWorking></Exception>
      </Exceptions>
    </Calendar>
    <Calendar><UID>4</UID><Name>Mario</Name><IsBaseCalendar>0</IsBaseCalendar><BaseCalendarUID>1</BaseCalendarUID></Calendar>
  </Calendars>
  <Tasks>
    <Task><UID>0</UID><ID>0</ID><Name>Villetta</Name><Summary>1</Summary><OutlineLevel>0</OutlineLevel>
      <Start>2027-01-04T08:00:00</Start><Finish>2027-02-26T17:00:00</Finish></Task>
    <Task><UID>1</UID><ID>1</ID><Name>Struttura</Name><Summary>1</Summary><OutlineLevel>1</OutlineLevel>
      <Start>2027-01-04T08:00:00</Start><Finish>2027-01-29T17:00:00</Finish></Task>
    <Task><UID>2</UID><ID>2</ID><Name>Fondazioni</Name><OutlineLevel>2</OutlineLevel><Summary>0</Summary><Milestone>0</Milestone>
      <Start>2027-01-04T08:00:00</Start><Finish>2027-01-16T00:00:00</Finish><Duration>PT80H0M0S</Duration></Task>
    <Task><UID>3</UID><ID>3</ID><Name>Muri &amp; solai</Name><OutlineLevel>2</OutlineLevel>
      <Start>2027-01-18T08:00:00</Start><Finish>2027-01-29T17:00:00</Finish><Duration>PT80H0M0S</Duration>
      <Cost>1000000</Cost>
      <PredecessorLink><PredecessorUID>2</PredecessorUID><Type>1</Type></PredecessorLink></Task>
    <Task><UID>4</UID><ID>4</ID><Name>Collaudo</Name><OutlineLevel>1</OutlineLevel><Milestone>1</Milestone>
      <Start>2027-02-26T17:00:00</Start><Finish>2027-02-26T17:00:00</Finish><Duration>PT0H0M0S</Duration>
      <PredecessorLink><PredecessorUID>3</PredecessorUID></PredecessorLink>
      <PredecessorLink><PredecessorUID>5</PredecessorUID></PredecessorLink></Task>
    <Task><UID>5</UID><ID>5</ID><Name>Impianti</Name><OutlineLevel>1</OutlineLevel><Milestone>1</Milestone>
      <Start>2027-02-01T08:00:00</Start><Finish>2027-02-05T17:00:00</Finish><Duration>PT24H0M0S</Duration></Task>
    <Task><UID>6</UID><ID>6</ID><IsNull>1</IsNull></Task>
  </Tasks>
  <Resources>
    <Resource><UID>0</UID><ID>0</ID><Name>Non assegnato</Name></Resource>
    <Resource><UID>1</UID><ID>1</ID><Name>Muratore</Name><StandardRate>20</StandardRate><StandardRateFormat>2</StandardRateFormat></Resource>
    <Resource><UID>2</UID><ID>2</ID><Name>Manovale</Name><StandardRate>20</StandardRate></Resource>
    <Resource><UID>3</UID><ID>3</ID><Name>Elettricista</Name><StandardRate>30</StandardRate></Resource>
  </Resources>
  <Assignments>
    <Assignment><UID>1</UID><TaskUID>2</TaskUID><ResourceUID>1</ResourceUID><Units>2</Units></Assignment>
    <Assignment><UID>2</UID><TaskUID>2</TaskUID><ResourceUID>2</ResourceUID><Units>1</Units></Assignment>
    <Assignment><UID>3</UID><TaskUID>3</TaskUID><ResourceUID>-65535</ResourceUID><Units>1</Units></Assignment>
    <Assignment><UID>4</UID><TaskUID>5</TaskUID><ResourceUID>1</ResourceUID><Units>1</Units></Assignment>
    <Assignment><UID>5</UID><TaskUID>5</TaskUID><ResourceUID>3</ResourceUID><Units>0.5</Units></Assignment>
  </Assignments>
</Project>
)";

TEST(ProjectXmlImport, AHandWrittenFileOfAnotherPlanner) {
    Project p;
    p.filePath = "vecchio.vmo";
    DroppedItems dropped;
    ASSERT_EQ(Import(PlannerFile, p, dropped), ImportResult::Ok);
    EXPECT_EQ(p.description, "Villetta");  // no title: the file's name
    EXPECT_EQ(FormatDate(p.start), "04/01/2027");
    EXPECT_EQ(FormatDate(p.end), "26/02/2027");
    // Weekdays of the project's calendar over its base's: Saturday works.
    const int expectedWeekdays[7] = {1, 1, 1, 1, 1, 1, 0};
    for (int d = 0; d < 7; ++d) EXPECT_EQ(p.workingWeekdays[d], expectedWeekdays[d]) << d;
    EXPECT_EQ(dropped.links, 3);
    EXPECT_EQ(dropped.summaryTasks, 1) << "the project's own summary row is not counted";
    EXPECT_EQ(dropped.milestones, 1) << "a milestone that lasts is kept";
    EXPECT_EQ(dropped.hourCalendars, 1);
    EXPECT_EQ(dropped.recurringExceptions, 1);
    EXPECT_EQ(dropped.daysDiffer, 1) << "Muri & solai: 80 hours in the file, 11 days here";
    EXPECT_EQ(dropped.costsNotKept, 0);

    // Epiphany and 2 February worked; 1 to 3 February off in the base, the
    // derived calendar's 2 February wins; the days off of the new year
    // within the span (4 January; 1 January and 6 January are holidays, the
    // latter worked), the finish at midnight ending the day before.
    std::vector<std::string> include, exclude;
    for (const Date& d : p.includeDays) include.push_back(FormatDate(d));
    for (const Date& d : p.excludeDays) exclude.push_back(FormatDate(d));
    EXPECT_EQ(include, (std::vector<std::string>{"06/01/2027", "02/02/2027"}));
    EXPECT_EQ(exclude, (std::vector<std::string>{"04/01/2027", "01/02/2027", "03/02/2027"}));

    ASSERT_EQ(p.tasks.size(), 3u);
    const Task& foundations = p.tasks[0];
    EXPECT_EQ(foundations.description, "Fondazioni");
    EXPECT_EQ(FormatDate(foundations.start), "04/01/2027");
    EXPECT_EQ(FormatDate(foundations.end), "15/01/2027");  // finish at midnight: the day before
    EXPECT_EQ(foundations.resources, 3);
    EXPECT_EQ(foundations.dailyCost, 160.0);  // no cost in the file: 20 an hour, 8 hours
    const Task& walls = p.tasks[1];
    EXPECT_EQ(walls.description, "Muri & solai");
    EXPECT_EQ(walls.resources, 1) << "no resource assigned, but a cost to keep";
    EXPECT_EQ(walls.dailyCost, 10000.0 / 11);
    const Task& plant = p.tasks[2];
    EXPECT_EQ(plant.description, "Impianti");
    EXPECT_EQ(plant.resources, 2);  // 1.5 units
    EXPECT_EQ(plant.dailyCost, (20.0 * 24 + 30.0 * 0.5 * 24) / (3 * 2)) << "the rates over the file's 24 hours";
    EXPECT_EQ(p.filePath, "vecchio.vmo");
}

// A task's cost (in hundredths), which holds its assignments' costs, is
// spread over its working days and resources.
TEST(ProjectXmlImport, ACostWithoutRatesIsSpreadOverTheDays) {
    const std::string file = R"(<Project xmlns="http://schemas.microsoft.com/project"><Title>Costi</Title>
      <Tasks><Task><UID>1</UID><Name>A</Name><Start>2027-03-01T08:00:00</Start><Finish>2027-03-05T17:00:00</Finish>
        <Cost>200000</Cost></Task></Tasks>
      <Resources><Resource><UID>1</UID><Name>R</Name></Resource></Resources>
      <Assignments><Assignment><TaskUID>1</TaskUID><ResourceUID>1</ResourceUID><Units>2</Units><Cost>150000</Cost></Assignment></Assignments>
    </Project>)";
    Project p;
    DroppedItems dropped;
    ASSERT_EQ(Import(file, p, dropped), ImportResult::Ok);
    ASSERT_EQ(p.tasks.size(), 1u);
    EXPECT_EQ(p.description, "Costi");
    EXPECT_EQ(p.tasks[0].resources, 2);
    EXPECT_EQ(p.tasks[0].dailyCost, 2000.0 / (5 * 2)) << "the task's cost before its assignments'";
    EXPECT_EQ(p.workingWeekdays[5], 0) << "no calendar: Monday to Friday";
}

#ifndef _WIN32
// Planner's importer of the format gives the same tasks, names, starts,
// finishes and allocations as the project.
TEST(ProjectXmlExport, PlannersImporterReadsTheSameTasks) {
    const char* const stylesheet = "/usr/share/planner/stylesheets/msp2planner.xsl";
    FileTests::TempFolder folder;
    std::mt19937 random(9);
    Project p = ExchangeTests::RandomProject(random, 25);
    const std::string exported = folder / "progetto.xml", converted = folder / "planner.xml";
    ASSERT_TRUE(WriteProjectXml(exported, p));
    const std::string command = "xsltproc -o '" + converted + "' " + stylesheet + " '" + exported + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const XmlElement planner = Tree(FileTests::ReadBytes(converted));
    ASSERT_EQ(planner.name, "project");
    const auto tasks = planner["tasks"].All("task");
    ASSERT_EQ(tasks.size(), p.tasks.size());
    const auto attribute = [](const std::string& xml, const std::string& name) {
        const std::size_t at = xml.find(" " + name + "=\"");
        if (at == std::string::npos) return std::string();
        const std::size_t from = at + name.size() + 3;
        return xml.substr(from, xml.find('"', from) - from);
    };
    // The tree holds no attributes: read them from the converted text, task by task.
    const std::string text = FileTests::ReadBytes(converted);
    std::size_t at = text.find("<tasks>");
    const auto compact = [](const Date& d, const char* time) {
        char s[32];
        std::snprintf(s, sizeof s, "%04u%02u%02uT%sZ", d.value.wYear, d.value.wMonth, d.value.wDay, time);
        return std::string(s);
    };
    // The attribute's text: the entities and character references replaced.
    const auto unescape = [](const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            if (s[i] != '&') {
                out += s[i];
                continue;
            }
            const std::size_t end = s.find(';', i);
            const std::string name = s.substr(i + 1, end - i - 1);
            i = end;
            if (name == "lt") out += '<';
            else if (name == "gt") out += '>';
            else if (name == "quot") out += '"';
            else if (name == "apos") out += '\'';
            else if (name == "amp") out += '&';
            else if (!name.empty() && name[0] == '#') {
                const unsigned long c = name[1] == 'x' ? std::stoul(name.substr(2), nullptr, 16) : std::stoul(name.substr(1));
                if (c < 0x80) out += static_cast<char>(c);
                else if (c < 0x800) out += static_cast<char>(0xC0 | (c >> 6)), out += static_cast<char>(0x80 | (c & 0x3F));
                else out += static_cast<char>(0xE0 | (c >> 12)), out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)), out += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return out;
    };
    for (const Task& t : p.tasks) {
        at = text.find("<task ", at + 1);
        ASSERT_NE(at, std::string::npos);
        const std::string tag = text.substr(at, text.find('>', at) - at);
        EXPECT_EQ(unescape(attribute(tag, "name")), SystemToUtf8(t.description));
        EXPECT_EQ(attribute(tag, "start"), compact(t.start, "080000"));
        EXPECT_EQ(attribute(tag, "end"), compact(t.end, "170000"));
        EXPECT_EQ(attribute(tag, "type"), "normal");
    }
    std::size_t allocations = 0;
    for (const Task& t : p.tasks) allocations += t.resources != 0 || t.dailyCost != 0 ? 1 : 0;
    EXPECT_EQ(planner["allocations"].All("allocation").size(), allocations);
}
#endif
