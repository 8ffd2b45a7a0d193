// Reading a Microsoft Project XML file into a project (see ProjectXml.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "exchange/ImportedCost.h"
#include "exchange/ProjectXml.h"
#include "exchange/ProjectXmlValues.h"
#include "exchange/Utf8Text.h"
#include "file/ProjectFile.h"
#include "model/WorkingDays.h"

namespace MyApp {

namespace {

constexpr std::string_view FormatNamespace = "http://schemas.microsoft.com/project";
constexpr long long MaxCalendars = 10000;
constexpr int MaxBaseChain = 16;  // calendars derived from one another

// The project's text from a file's: in the system code page, on one line,
// and never one of the project file's marker lines.
std::string ProjectText(const std::string& utf8) {
    std::string text = Utf8ToSystem(utf8);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    if (IsMarkerLine(text)) text += ' ';
    return text;
}

// ---- What the file holds ---------------------------------------------------------

struct FileTask {
    std::optional<long long> uid;
    std::string name;
    std::optional<Moment> start, finish;
    std::optional<Duration> duration;
    bool milestone = false, summary = false, isNull = false;
    std::optional<long long> outlineLevel;
    std::optional<Money> cost;
};

struct FileAssignment {
    std::optional<long long> taskUid, resourceUid;
    double units = 1.0;
    std::optional<Money> cost;
    std::optional<Duration> work;
};

struct FileResource {
    ResourceKind kind = ResourceKind::Work;
    std::optional<double> rate;  // per hour of work, per unit of material
};

struct FileException {
    std::optional<Moment> from, to;
    bool working = false;
    bool repeated = false;  // a recurrence other than every so many days of the period
    long long period = 1;   // every so many days
    std::optional<long long> occurrences;  // at most so many days, when the exception is entered by them
};

struct FileCalendar {
    std::optional<long long> uid;
    long long baseUid = -1;
    bool isBase = false;
    std::optional<bool> weekdays[7];  // Monday first
    std::vector<FileException> exceptions;
};

struct FileWeekDay {
    std::optional<long long> type;
    bool working = false;
    std::optional<Moment> from, to;
};

class Importer {
public:
    explicit Importer(const std::string& fallbackTitle) : fallbackTitle_(fallbackTitle) {}

    // Takes one node of the document; false once the file has shown itself
    // unsound.
    bool Visit(const XmlNode& node) {
        switch (node.kind) {
        case XmlNodeKind::StartElement: Start(node); break;
        case XmlNodeKind::EndElement: End(); break;
        case XmlNodeKind::Text:
            text_ += node.text;
            if (text_.size() > XmlLimits().maxValueBytes) ok_ = false;
            break;
        }
        return ok_;
    }

    // The reading has ended.
    ImportResult Read(XmlResult read, Project& target, DroppedItems& dropped) {
        switch (read) {
        case XmlResult::Complete: return Finish(target, dropped);
        case XmlResult::OpenFailed: return ImportResult::OpenFailed;
        case XmlResult::Stopped:
        case XmlResult::Malformed: break;
        }
        return ImportResult::FormatError;
    }

private:
    // ---- Reading the elements ------------------------------------------------------------

    bool At(std::initializer_list<std::string_view> names) const {
        if (path_.size() != names.size()) return false;
        std::size_t i = 0;
        for (std::string_view name : names)
            if (path_[i++] != name) return false;
        return true;
    }

    void Start(const XmlNode& node) {
        if (path_.empty()) {
            // The root: a project of the format (some writers leave out its namespace).
            if (sawRoot_ || node.name != "Project" ||
                !(node.namespaceUri == FormatNamespace || node.namespaceUri.empty())) {
                ok_ = false;
                return;
            }
            sawRoot_ = true;
            namespace_ = node.namespaceUri;
        }
        // Elements of other namespaces are no field of the format.
        path_.push_back(node.namespaceUri == namespace_ ? node.name : std::string());
        text_.clear();
        if (At({"Project", "Tasks", "Task"})) task_ = FileTask();
        else if (At({"Project", "Tasks", "Task", "PredecessorLink"})) ++links_;
        else if (At({"Project", "Resources", "Resource"})) resourceUid_.reset(), resource_ = FileResource();
        else if (At({"Project", "Assignments", "Assignment"})) assignment_ = FileAssignment();
        else if (At({"Project", "Calendars", "Calendar"})) calendar_ = FileCalendar();
        else if (At({"Project", "Calendars", "Calendar", "WeekDays", "WeekDay"})) weekDay_ = FileWeekDay();
        else if (At({"Project", "Calendars", "Calendar", "Exceptions", "Exception"})) exception_ = FileException(), exceptionType_.reset(), byOccurrences_ = false;
    }

    void End() {
        if (path_.empty()) {
            ok_ = false;
            return;
        }
        const std::string value = std::move(text_);
        text_.clear();
        const std::size_t depth = path_.size();
        const std::string& name = path_.back();
        if (depth == 2 && path_[0] == "Project") ProjectField(name, value);
        else if (depth == 4 && path_[1] == "Tasks" && path_[2] == "Task") TaskField(name, value);
        else if (depth == 4 && path_[1] == "Resources" && path_[2] == "Resource") ResourceField(name, value);
        else if (depth == 4 && path_[1] == "Assignments" && path_[2] == "Assignment") AssignmentField(name, value);
        else if (depth == 4 && path_[1] == "Calendars" && path_[2] == "Calendar") CalendarField(name, value);
        else if (depth == 6 && path_[1] == "Calendars" && path_[3] == "WeekDays" && path_[4] == "WeekDay") WeekDayField(name, value);
        else if (depth == 7 && path_[3] == "WeekDays" && path_[4] == "WeekDay" && path_[5] == "TimePeriod") SpanField(name, value, weekDay_.from, weekDay_.to);
        else if (depth == 6 && path_[1] == "Calendars" && path_[3] == "Exceptions" && path_[4] == "Exception") ExceptionField(name, value);
        else if (depth == 7 && path_[3] == "Exceptions" && path_[4] == "Exception" && path_[5] == "TimePeriod") SpanField(name, value, exception_.from, exception_.to);
        else if (At({"Project", "Tasks", "Task"})) EndTask();
        else if (At({"Project", "Resources", "Resource"})) EndResource();
        else if (At({"Project", "Assignments", "Assignment"})) EndAssignment();
        else if (At({"Project", "Calendars", "Calendar"})) EndCalendar();
        else if (At({"Project", "Calendars", "Calendar", "WeekDays", "WeekDay"})) EndWeekDay();
        else if (At({"Project", "Calendars", "Calendar", "Exceptions", "Exception"})) EndException();
        path_.pop_back();
    }

    void Need(bool parsed) {
        if (!parsed) ok_ = false;
    }

    void ProjectField(const std::string& name, const std::string& value) {
        if (name == "Title") title_ = value;
        else if (name == "Name") fileName_ = value;
        else if (name == "StartDate") Need(ParseMoment(value, projectStart_.emplace()));
        else if (name == "FinishDate") Need(ParseMoment(value, projectFinish_.emplace()));
        else if (name == "CalendarUID") Need(ParseWhole(value, calendarUid_.emplace()));
        else if (name == "MinutesPerDay") {
            long long minutes = 0;
            Need(ParseWhole(value, minutes) && minutes > 0 && minutes <= 24 * 60);
            minutesPerDay_ = minutes;
        }
    }

    void TaskField(const std::string& name, const std::string& value) {
        if (name == "UID") Need(ParseWhole(value, task_.uid.emplace()));
        else if (name == "Name") task_.name = value;
        else if (name == "Start") Need(ParseMoment(value, task_.start.emplace()));
        else if (name == "Finish") Need(ParseMoment(value, task_.finish.emplace()));
        else if (name == "Duration") Need(ParseDuration(value, task_.duration.emplace()));
        else if (name == "Milestone") Need(ParseFlag(value, task_.milestone));
        else if (name == "Summary") Need(ParseFlag(value, task_.summary));
        else if (name == "IsNull") Need(ParseFlag(value, task_.isNull));
        else if (name == "OutlineLevel") Need(ParseWhole(value, task_.outlineLevel.emplace()));
        else if (name == "Cost") Need(ParseHundredths(value, task_.cost.emplace()));
    }

    void ResourceField(const std::string& name, const std::string& value) {
        if (name == "UID") Need(ParseWhole(value, resourceUid_.emplace()));
        else if (name == "StandardRate") Need(ParseNumber(value, resource_.rate.emplace()));
        else if (name == "Type") {
            long long type = 1;
            Need(ParseWhole(value, type));
            resource_.kind = type == 0 ? ResourceKind::Material : type == 2 ? ResourceKind::Cost : ResourceKind::Work;
        }
    }

    void AssignmentField(const std::string& name, const std::string& value) {
        if (name == "TaskUID") Need(ParseWhole(value, assignment_.taskUid.emplace()));
        else if (name == "ResourceUID") Need(ParseWhole(value, assignment_.resourceUid.emplace()));
        else if (name == "Units") Need(ParseNumber(value, assignment_.units));
        else if (name == "Cost") Need(ParseHundredths(value, assignment_.cost.emplace()));
        else if (name == "Work") Need(ParseDuration(value, assignment_.work.emplace()));
    }

    void CalendarField(const std::string& name, const std::string& value) {
        if (name == "UID") Need(ParseWhole(value, calendar_.uid.emplace()));
        else if (name == "BaseCalendarUID") Need(ParseWhole(value, calendar_.baseUid));
        else if (name == "IsBaseCalendar") Need(ParseFlag(value, calendar_.isBase));
    }

    void WeekDayField(const std::string& name, const std::string& value) {
        if (name == "DayType") Need(ParseWhole(value, weekDay_.type.emplace()));
        else if (name == "DayWorking") Need(ParseFlag(value, weekDay_.working));
    }

    void ExceptionField(const std::string& name, const std::string& value) {
        if (name == "DayWorking") Need(ParseFlag(value, exception_.working));
        else if (name == "Type") Need(ParseWhole(value, exceptionType_.emplace()));
        else if (name == "Period") Need(ParseWhole(value, exception_.period));
        else if (name == "Occurrences") Need(ParseWhole(value, exception_.occurrences.emplace()));
        else if (name == "EnteredByOccurrences") Need(ParseFlag(value, byOccurrences_));
    }

    void SpanField(const std::string& name, const std::string& value, std::optional<Moment>& from,
                std::optional<Moment>& to) {
        if (name == "FromDate") Need(ParseMoment(value, from.emplace()));
        else if (name == "ToDate") Need(ParseMoment(value, to.emplace()));
    }

    bool Count(long long& counter, long long limit) {
        if (++counter > limit) ok_ = false;
        return ok_;
    }

    void EndTask() {
        if (!Count(taskCount_, MaxImportedItems)) return;
        if (task_.uid && !taskUids_.insert(*task_.uid).second) {
            ok_ = false;  // two tasks of one identifier
            return;
        }
        tasks_.push_back(std::move(task_));
        task_ = FileTask();
    }

    void EndResource() {
        if (!Count(resourceCount_, MaxImportedItems) || !resourceUid_) return;
        if (!resources_.emplace(*resourceUid_, resource_).second) ok_ = false;  // two resources of one identifier
    }

    void EndAssignment() {
        if (Count(assignmentCount_, MaxImportedItems)) assignments_.push_back(assignment_);
    }

    void EndCalendar() {
        if (Count(calendarCount_, MaxCalendars)) calendars_.push_back(std::move(calendar_));
        calendar_ = FileCalendar();
    }

    void EndWeekDay() {
        if (!weekDay_.type) return;
        const long long type = *weekDay_.type;
        if (type >= 1 && type <= 7) {
            calendar_.weekdays[(type + 5) % 7] = weekDay_.working;  // 1 = Sunday
        } else if (type == 0 && weekDay_.from && weekDay_.to && Count(exceptionCount_, MaxImportedItems)) {
            // The older form of an exception: a day type of 0 over a period.
            FileException every;
            every.from = weekDay_.from, every.to = weekDay_.to, every.working = weekDay_.working;
            calendar_.exceptions.push_back(every);
        }
    }

    void EndException() {
        if (!exception_.from || !exception_.to || !Count(exceptionCount_, MaxImportedItems)) return;
        // Type 1 is every so many days of the period (every day unless the
        // exception says otherwise); the others repeat by weeks, months or years.
        exception_.repeated = exceptionType_.has_value() && *exceptionType_ != 1;
        exception_.period = std::max(1LL, exception_.period);
        if (!byOccurrences_ || (exception_.occurrences && *exception_.occurrences < 1)) exception_.occurrences.reset();
        calendar_.exceptions.push_back(exception_);
    }

    // ---- Making the project ---------------------------------------------------------------

    // The calendar the project's days follow, then the one it is derived
    // from, and so on.
    std::vector<const FileCalendar*> ProjectCalendars() const {
        const FileCalendar* chosen = nullptr;
        const auto find = [&](long long uid) -> const FileCalendar* {
            for (const FileCalendar& c : calendars_)
                if (c.uid && *c.uid == uid) return &c;
            return nullptr;
        };
        if (calendarUid_) chosen = find(*calendarUid_);
        for (const FileCalendar& c : calendars_)
            if (chosen == nullptr && c.isBase) chosen = &c;
        if (chosen == nullptr && !calendars_.empty()) chosen = &calendars_.front();
        std::vector<const FileCalendar*> chain;
        while (chosen != nullptr && chain.size() < static_cast<std::size_t>(MaxBaseChain) &&
               std::find(chain.begin(), chain.end(), chosen) == chain.end()) {
            chain.push_back(chosen);
            chosen = chosen->baseUid >= 0 ? find(chosen->baseUid) : nullptr;
        }
        return chain;
    }

    // The last day of a finish: a finish at midnight ends the day before.
    static Date LastDay(const Moment& start, const Moment& finish) {
        if (finish.seconds == 0 && finish.day > start.day) {
            SYSTEMTIME st = finish.day.value;
            std::int64_t ticks = 0;
            if (SystemTimeToTicks(st, ticks) && TicksToSystemTime(ticks - TicksPerDay, st)) return MakeDate(st);
        }
        return finish.day;
    }

    ImportResult Finish(Project& target, DroppedItems& dropped) {
        if (!ok_ || !sawRoot_) return ImportResult::FormatError;
        Project project;
        DroppedItems counted;
        counted.links = links_;

        // The tasks the program can hold, with their days.
        struct Kept {
            const FileTask* file;
            Date first, last;
        };
        std::vector<Kept> kept;
        for (const FileTask& t : tasks_) {
            if (t.isNull) continue;
            // The project's own summary row: outline level 0, or the summary of identifier 0.
            const bool projectRow = (t.outlineLevel && *t.outlineLevel == 0) || (t.uid && *t.uid == 0 && t.summary);
            if (t.summary || projectRow) {
                if (!projectRow) ++counted.summaryTasks;
                continue;
            }
            if (!t.start || !t.finish) return ImportResult::FormatError;
            const bool noLength = t.duration ? t.duration->zero
                                             : t.start->day == t.finish->day && t.start->seconds == t.finish->seconds;
            if (t.milestone && noLength) {
                ++counted.milestones;
                continue;
            }
            const Date last = LastDay(*t.start, *t.finish);
            if (t.start->day > last) return ImportResult::FormatError;  // ends before it starts
            kept.push_back(Kept{&t, t.start->day, last});
        }

        // The span: the file's, widened to hold every task.
        std::optional<Date> first, last;
        if (projectStart_) first = projectStart_->day;
        if (projectFinish_) last = projectStart_ ? LastDay(*projectStart_, *projectFinish_) : projectFinish_->day;
        for (const Kept& k : kept) {
            if (!first || k.first < *first) first = k.first;
            if (!last || k.last > *last) last = k.last;
        }
        if (!first && last) first = last;
        if (first && !last) last = first;
        if (first) {
            project.start = *first;
            project.end = *last;
        } else {
            project.start = project.end = DateOnly(project.start);  // today
        }
        if (project.start > project.end) return ImportResult::FormatError;

        // The calendar: weekdays, then the exceptions within the span, the
        // nearer calendar's over its base's.
        const std::vector<const FileCalendar*> chain = ProjectCalendars();
        counted.hourCalendars = static_cast<long long>(calendars_.size() - chain.size());
        for (int d = 0; d < 7; ++d) {
            std::optional<bool> working;
            for (const FileCalendar* c : chain)
                if (!working && c->weekdays[d]) working = c->weekdays[d];
            project.workingWeekdays[d] = working.value_or(d < 5) ? 1 : 0;
        }
        std::map<std::int64_t, std::pair<Date, bool>> days;
        long long expanded = 0;  // days of exceptions gone through, over every calendar
        const std::int64_t spanFirst = ComparisonTicks(project.start) / TicksPerDay;
        const std::int64_t spanLast = ComparisonTicks(project.end) / TicksPerDay;
        for (auto c = chain.rbegin(); c != chain.rend(); ++c) {
            for (const FileException& e : (*c)->exceptions) {
                const std::int64_t from = ComparisonTicks(e.from->day) / TicksPerDay;
                const std::int64_t to = ComparisonTicks(LastDay(*e.from, *e.to)) / TicksPerDay;
                if (e.repeated && to > from) {
                    ++counted.recurringExceptions;
                    continue;
                }
                // Every `period` days from the first, within the span.
                const std::int64_t step = e.period;
                for (std::int64_t k = spanFirst > from ? (spanFirst - from + step - 1) / step : 0;
                     !(e.occurrences && k >= *e.occurrences) && from + k * step <= std::min(to, spanLast); ++k) {
                    const std::int64_t day = from + k * step;
                    SYSTEMTIME st{};
                    if (!TicksToSystemTime(day * TicksPerDay, st)) return ImportResult::FormatError;
                    // The public holidays are the program's own non-working
                    // days: only the days a project lists are kept and counted.
                    const Date date = MakeDate(st);
                    if (!e.working && IsPublicHoliday(date)) {
                        days.erase(day);
                    } else {
                        days[day] = {date, e.working};
                    }
                    if (static_cast<long long>(days.size()) > MaxImportedDays || ++expanded > MaxImportedItems)
                        return ImportResult::FormatError;
                }
            }
        }
        for (const auto& entry : days)
            (entry.second.second ? project.includeDays : project.excludeDays).push_back(entry.second.first);

        // The tasks, with their resources and costs.
        const WorkingDayCalendar calendar(project);
        std::unordered_map<long long, std::vector<AssignedResource>> assigned;
        for (const FileAssignment& a : assignments_) {
            const auto resource = a.resourceUid ? resources_.find(*a.resourceUid) : resources_.end();
            if (!a.taskUid || resource == resources_.end()) continue;
            const std::optional<double> work = a.work ? a.work->hours : std::nullopt;
            assigned[*a.taskUid].push_back(AssignedResource{resource->second.kind, a.units, resource->second.rate, a.cost, work});
        }
        const double hoursPerDay = static_cast<double>(minutesPerDay_) / 60.0;
        project.tasks.reserve(kept.size());
        for (const Kept& k : kept) {
            Task task(k.first);
            task.description = ProjectText(k.file->name);
            task.start = k.first;
            task.end = k.last;
            task.colour = BarColours[0].colour;
            TaskInFile file;
            file.cost = k.file->cost;
            if (k.file->duration) file.durationHours = k.file->duration->hours;
            const auto found = k.file->uid ? assigned.find(*k.file->uid) : assigned.end();
            if (found != assigned.end()) file.assigned = std::move(found->second);
            const std::optional<ImportedFigures> figures =
                FiguresFromFile(file, calendar.CountWorkingDays(task.start, task.end), hoursPerDay);
            if (!figures) return ImportResult::FormatError;
            task.resources = figures->resources;
            task.dailyCost = figures->dailyCost;
            if (!figures->costKept) ++counted.costsNotKept;
            if (!figures->daysAsInFile) ++counted.daysDiffer;
            project.tasks.push_back(std::move(task));
        }

        // The title.
        std::string title = !Trimmed(title_).empty() ? title_ : fileName_;
        if (title == fileName_ && title.size() > 4) {
            std::string tail = title.substr(title.size() - 4);
            for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            if (tail == ".xml") title.resize(title.size() - 4);
        }
        project.description = Trimmed(title).empty() ? fallbackTitle_ : ProjectText(title);

        target.description = std::move(project.description);
        target.start = project.start;
        target.end = project.end;
        for (int d = 0; d < 7; ++d) target.workingWeekdays[d] = project.workingWeekdays[d];
        target.tasks = std::move(project.tasks);
        target.includeDays = std::move(project.includeDays);
        target.excludeDays = std::move(project.excludeDays);
        dropped = counted;
        return ImportResult::Ok;
    }

    std::string fallbackTitle_;
    bool ok_ = true;
    bool sawRoot_ = false;
    std::string namespace_;
    std::vector<std::string> path_;
    std::string text_;

    std::string title_, fileName_;
    std::optional<Moment> projectStart_, projectFinish_;
    std::optional<long long> calendarUid_;
    long long minutesPerDay_ = 480;
    long long links_ = 0;

    FileTask task_;
    std::vector<FileTask> tasks_;
    std::unordered_set<long long> taskUids_;
    long long taskCount_ = 0;

    std::optional<long long> resourceUid_;
    FileResource resource_;
    std::unordered_map<long long, FileResource> resources_;  // by identifier
    long long resourceCount_ = 0;

    FileAssignment assignment_;
    std::vector<FileAssignment> assignments_;
    long long assignmentCount_ = 0;

    FileCalendar calendar_;
    FileWeekDay weekDay_;
    FileException exception_;
    std::optional<long long> exceptionType_;
    bool byOccurrences_ = false;
    std::vector<FileCalendar> calendars_;
    long long calendarCount_ = 0;
    long long exceptionCount_ = 0;
};

std::string FileTitle(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace

ImportResult ImportProjectXml(std::string_view document, const std::string& fallbackTitle, Project& project,
                              DroppedItems& dropped) {
    Importer importer(fallbackTitle);
    const XmlResult read = ReadXmlBytes(document, [&](const XmlNode& node) { return importer.Visit(node); });
    return importer.Read(read, project, dropped);
}

ImportResult ImportProjectXmlFile(const std::string& path, Project& project, DroppedItems& dropped) {
    Importer importer(FileTitle(path));
    const XmlResult read = ReadXmlFile(path, [&](const XmlNode& node) { return importer.Visit(node); });
    return importer.Read(read, project, dropped);
}

}  // namespace MyApp
