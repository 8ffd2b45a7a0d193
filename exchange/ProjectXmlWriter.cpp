// Writing the project as Microsoft Project XML (see ProjectXml.h).
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <utility>

#include "exchange/DecimalText.h"
#include "exchange/ProjectXml.h"
#include "exchange/Utf8Text.h"
#include "exchange/XmlWriter.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"

namespace MyApp {

namespace {

constexpr long long HoursPerDay = 8;
constexpr const char* DayStart = "08:00:00";
constexpr const char* DayEnd = "17:00:00";

// The names of FixedHolidays, in its order.
const char* const HolidayNames[10] = {"Capodanno",         "Epifania",       "Festa della Liberazione",
                                      "Festa del Lavoro",  "Festa della Repubblica", "Ferragosto",
                                      "Ognissanti",        "Immacolata Concezione",  "Natale",
                                      "Santo Stefano"};
const char* const EasterName = "Pasqua";
const char* const EasterMondayName = "Luned\xC3\xAC dell'Angelo";
const char* const WorkingDayName = "Giorno lavorativo";
const char* const NonWorkingDayName = "Giorno non lavorativo";

std::string DateTimeText(const Date& day, const char* time) {
    char text[40];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%s", day.value.wYear, day.value.wMonth, day.value.wDay, time);
    return text;
}

std::string HoursText(long long hours) {
    return (hours < 0 ? "-PT" : "PT") + std::to_string(hours < 0 ? -hours : hours) + "H0M0S";
}

// A money amount in hundredths, as the format's cost fields hold it.
std::string CostText(Money cost) { return (cost < Money() ? "-" : "") + DecimalDigits(cost.InHundredths()); }

struct CalendarException {
    Date day;
    bool working;
    const char* name;
};

// The calendar's exceptions by day: the public holidays of every year of
// the span, the extra non-working days, and the extra working days, which
// win over both, as in the working-day rule.
std::map<std::int64_t, CalendarException> Exceptions(const Project& project) {
    std::map<std::int64_t, CalendarException> days;
    const auto key = [](const Date& d) { return DaysFromCivil(d.value.wYear, d.value.wMonth, d.value.wDay); };
    const auto set = [&](const Date& d, bool working, const char* name, bool replace) {
        const Date only = DateOnly(d);
        if (only.invalid) return;
        auto placed = days.emplace(key(only), CalendarException{only, working, name});
        if (!placed.second && replace) placed.first->second = CalendarException{only, working, name};
    };
    const int first = std::min(project.start.value.wYear, project.end.value.wYear);
    const int last = std::max(project.start.value.wYear, project.end.value.wYear);
    for (int year = first; year <= last; ++year) {
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(year);
        for (int i = 0; i < 10; ++i) {
            st.wMonth = FixedHolidays[i].month;
            st.wDay = FixedHolidays[i].day;
            set(MakeDate(st), false, HolidayNames[i], false);
        }
        const Date easter = EasterSunday(year);
        if (!easter.invalid) {
            set(easter, false, EasterName, false);
            set(AddOneDay(easter), false, EasterMondayName, false);
        }
    }
    for (const Date& d : project.excludeDays) set(d, false, NonWorkingDayName, false);
    for (const Date& d : project.includeDays) set(d, true, WorkingDayName, true);
    return days;
}

void WorkingTimes(XmlWriter& xml) {
    xml.Open("WorkingTimes");
    for (const auto& span : {std::pair<const char*, const char*>{DayStart, "12:00:00"}, {"13:00:00", DayEnd}}) {
        xml.Open("WorkingTime");
        xml.Element("FromTime", span.first);
        xml.Element("ToTime", span.second);
        xml.Close();
    }
    xml.Close();
}

// A task's figures as the cost report counts them, and what the format
// makes of them.
struct TaskFigures {
    TaskCost cost;
    long long durationHours;
    long long workHours;
    bool hasResource;  // its resources and daily cost need a resource to carry them
};

TaskFigures FiguresOf(const WorkingDayCalendar& calendar, const Task& task) {
    TaskFigures f;
    f.cost = CostOf(calendar, task);
    f.durationHours = f.cost.workingDays * HoursPerDay;
    f.workHours = f.durationHours * task.resources;
    f.hasResource = task.resources != 0 || task.dailyCost != 0;
    return f;
}

}  // namespace

TextParts ProjectXmlParts(const Project& project) {
    enum class Stage { Header, Exceptions, Tasks, Resources, Assignments, End };
    struct State {
        const Project* project;
        WorkingDayCalendar calendar;
        std::map<std::int64_t, CalendarException> exceptions;
        std::map<std::int64_t, CalendarException>::const_iterator nextException;
        std::size_t next = 0;
        Stage stage = Stage::Header;
        std::string scratch;
        XmlWriter xml{scratch};
    };
    auto state = std::make_shared<State>();
    state->project = &project;
    state->calendar = WorkingDayCalendar(project);
    state->exceptions = Exceptions(project);
    state->nextException = state->exceptions.begin();

    return [state](std::string& out) {
        State& s = *state;
        XmlWriter& xml = s.xml;
        xml.WriteTo(out);  // the buffer of this call
        const Project& p = *s.project;
        const std::vector<Task>& tasks = p.tasks;
        switch (s.stage) {
        case Stage::Header: {
            xml.Declaration();
            xml.Open("Project", "xmlns=\"http://schemas.microsoft.com/project\"");
            xml.Element("SaveVersion", 14);
            xml.Element("Title", SystemToUtf8(p.description));
            xml.Element("ScheduleFromStart", 1);
            xml.Element("StartDate", DateTimeText(p.start, DayStart));
            xml.Element("FinishDate", DateTimeText(p.end, DayEnd));
            xml.Element("CalendarUID", 1);
            xml.Element("DefaultStartTime", DayStart);
            xml.Element("DefaultFinishTime", DayEnd);
            xml.Element("MinutesPerDay", HoursPerDay * 60);
            long long weekdays = 0;
            for (int flag : p.workingWeekdays) weekdays += flag != 0 ? 1 : 0;
            xml.Element("MinutesPerWeek", HoursPerDay * 60 * weekdays);
            xml.Element("DaysPerMonth", 20);
            xml.Open("Calendars");
            xml.Open("Calendar");
            xml.Element("UID", 1);
            xml.Element("Name", "Calendario del progetto");
            xml.Element("IsBaseCalendar", 1);
            xml.Element("BaseCalendarUID", -1);
            xml.Open("WeekDays");
            // Sunday is day type 1; the project's flags start from Monday.
            for (int type = 1; type <= 7; ++type) {
                const bool working = p.workingWeekdays[(type + 5) % 7] != 0;
                xml.Open("WeekDay");
                xml.Element("DayType", type);
                xml.Element("DayWorking", working ? 1 : 0);
                if (working) WorkingTimes(xml);
                xml.Close();
            }
            xml.Close();
            xml.Open("Exceptions");
            s.stage = Stage::Exceptions;
            return true;
        }
        case Stage::Exceptions: {
            if (s.nextException == s.exceptions.end()) {
                xml.Close();  // Exceptions
                xml.Close();  // Calendar
                xml.Close();  // Calendars
                xml.Open("Tasks");
                s.stage = Stage::Tasks;
                return true;
            }
            const CalendarException& e = (s.nextException++)->second;
            xml.Open("Exception");
            xml.Element("EnteredByOccurrences", 0);
            xml.Open("TimePeriod");
            xml.Element("FromDate", DateTimeText(e.day, "00:00:00"));
            xml.Element("ToDate", DateTimeText(e.day, "23:59:00"));
            xml.Close();
            xml.Element("Occurrences", 1);
            xml.Element("Name", e.name);
            xml.Element("Type", 1);
            xml.Element("DayWorking", e.working ? 1 : 0);
            if (e.working) WorkingTimes(xml);
            xml.Close();
            return true;
        }
        case Stage::Tasks: {
            if (s.next == tasks.size()) {
                xml.Close();
                xml.Open("Resources");
                s.next = 0;
                s.stage = Stage::Resources;
                return true;
            }
            const Task& task = tasks[s.next++];
            const long long uid = static_cast<long long>(s.next);
            const TaskFigures f = FiguresOf(s.calendar, task);
            xml.Open("Task");
            xml.Element("UID", uid);
            xml.Element("ID", uid);
            xml.Element("Name", SystemToUtf8(task.description));
            xml.Element("Type", 1);  // fixed duration
            xml.Element("IsNull", 0);
            xml.Element("OutlineNumber", std::to_string(uid));
            xml.Element("OutlineLevel", 1);
            xml.Element("Start", DateTimeText(task.start, DayStart));
            xml.Element("Finish", DateTimeText(task.end, DayEnd));
            xml.Element("Duration", HoursText(f.durationHours));
            xml.Element("DurationFormat", 7);  // shown in days
            xml.Element("Work", HoursText(f.workHours));
            xml.Element("Milestone", 0);
            xml.Element("Summary", 0);
            xml.Element("Cost", CostText(f.cost.cost));
            xml.Element("ConstraintType", 4);  // start no earlier than
            xml.Element("ConstraintDate", DateTimeText(task.start, DayStart));
            xml.Close();
            return true;
        }
        case Stage::Resources: {
            if (s.next == tasks.size()) {
                xml.Close();
                xml.Open("Assignments");
                s.next = 0;
                s.stage = Stage::Assignments;
                return true;
            }
            const Task& task = tasks[s.next++];
            const TaskFigures f = FiguresOf(s.calendar, task);
            if (!f.hasResource) return true;
            const long long uid = static_cast<long long>(s.next);
            xml.Open("Resource");
            xml.Element("UID", uid);
            xml.Element("ID", uid);
            xml.Element("Name", "Risorse di " + SystemToUtf8(task.description));
            xml.Element("Type", 1);  // work
            xml.Element("IsNull", 0);
            xml.Element("MaxUnits", task.resources > 0 ? DecimalText(task.resources) : std::string("1"));
            xml.Element("StandardRate", DecimalText(task.dailyCost / HoursPerDay));
            xml.Element("StandardRateFormat", 3);  // shown per day
            xml.Element("Cost", CostText(f.cost.cost));
            xml.Close();
            return true;
        }
        case Stage::Assignments: {
            if (s.next == tasks.size()) {
                xml.Close();  // Assignments
                xml.Close();  // Project
                s.stage = Stage::End;
                return false;
            }
            const Task& task = tasks[s.next++];
            const TaskFigures f = FiguresOf(s.calendar, task);
            if (!f.hasResource) return true;
            const long long uid = static_cast<long long>(s.next);
            xml.Open("Assignment");
            xml.Element("UID", uid);
            xml.Element("TaskUID", uid);
            xml.Element("ResourceUID", uid);
            xml.Element("Cost", CostText(f.cost.cost));
            xml.Element("Finish", DateTimeText(task.end, DayEnd));
            xml.Element("Start", DateTimeText(task.start, DayStart));
            xml.Element("Units", DecimalText(task.resources));
            xml.Element("Work", HoursText(f.workHours));
            xml.Close();
            return true;
        }
        case Stage::End: break;
        }
        return false;
    };
}

bool WriteProjectXml(const std::string& path, const Project& project) {
    return WriteTextFile(path, ProjectXmlParts(project));
}

}  // namespace MyApp
