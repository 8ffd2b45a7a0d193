// The project in Microsoft Project's XML format (MSPDI, namespace
// http://schemas.microsoft.com/project), which the other planners read and
// write.
//
// Written (ProjectXmlParts): the title and span; one base calendar of whole
// days of 8 working hours (08:00-12:00, 13:00-17:00) on the working
// weekdays, whose exceptions are the public holidays of every year of the
// span and the extra working and non-working days; each task with its name,
// first and last day (starting no earlier than its first day), duration and
// work in hours of those days, and its cost. A task's resources and daily
// cost go in as a work resource of its own, whose standard rate is the
// daily cost per hour, assigned to the task with the resources as units:
// work x rate is the task's cost in the cost report. Costs are written in
// hundredths of the currency, as the format has them; rates per hour.
//
// Read (ImportProjectXml): the title (the file's name when it has none), the
// span (widened to hold every task), the working weekdays and the daily
// exceptions of the project's calendar as extra working and non-working days
// within the span, and every task that is neither a summary nor a milestone
// of no length, with its first and last day, its resources and its daily
// cost per resource, which keep the file's cost of the task
// (ImportedCost.h). What the program cannot hold is dropped and counted, and
// so are the tasks that came in other than the file has them.
#pragma once

#include <string>
#include <string_view>

#include "exchange/TextFile.h"
#include "exchange/XmlReader.h"
#include "model/Project.h"

namespace MyApp {

// ---- Writing ----------------------------------------------------------------

// The document, part after part; `project` must outlive it.
TextParts ProjectXmlParts(const Project& project);
bool WriteProjectXml(const std::string& path, const Project& project);

// ---- Reading ----------------------------------------------------------------

// What a file held that the program cannot, and dropped; and the tasks
// that the program holds other than the file has them.
struct DroppedItems {
    long long links = 0;          // links between tasks
    long long summaryTasks = 0;   // tasks that sum up others (the project's own summary row aside)
    long long milestones = 0;     // milestones of no length
    long long hourCalendars = 0;  // calendars of hours besides the project's (resources', tasks')
    long long recurringExceptions = 0;  // exceptions repeated by weeks, months or years, which the days cannot say
    long long costsNotKept = 0;   // tasks whose cost the report cannot give: no working day, or past the limits
    long long daysDiffer = 0;     // tasks whose working days are not the file's duration (the public holidays)
    bool AnyDropped() const { return links + summaryTasks + milestones + hourCalendars + recurringExceptions > 0; }
    bool AnyChanged() const { return costsNotKept + daysDiffer > 0; }
    bool Any() const { return AnyDropped() || AnyChanged(); }
};

enum class ImportResult {
    Ok,
    OpenFailed,   // the file could not be opened
    FormatError,  // not a well-formed project of the format, or beyond the limits
};

// The largest file content read: a project of this many tasks, resources,
// assignments or listed days is refused (as a format error) rather than let
// run the program short of memory.
constexpr long long MaxImportedItems = 1000000;
// The most extra working and non-working days the calendar's exceptions may
// make (twice what the days dialog is measured with).
constexpr long long MaxImportedDays = 100000;

// Reads a document into `project`, which is replaced whole only on success
// (its path and unsaved flag untouched); `fallbackTitle` names a project
// whose file gives no title.
ImportResult ImportProjectXml(std::string_view document, const std::string& fallbackTitle, Project& project,
                              DroppedItems& dropped);
// The same from a file, read as a stream (its name without folder and
// extension as the fallback title).
ImportResult ImportProjectXmlFile(const std::string& path, Project& project, DroppedItems& dropped);

}  // namespace MyApp
