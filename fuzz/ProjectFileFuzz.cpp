// Fuzzes the project-file reader: any bytes give success or a format error,
// every loading path (lines, bytes, pieces) agrees, a failed load leaves the
// project untouched, a loaded project saves and loads back the same, and its
// cost report follows the working-day rule.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "fuzz/FuzzCheck.h"
#include "model/CostReport.h"
#include "model/WorkingDays.h"
#include "tests/model/ModelTestSupport.h"
#include "tests/model/WorkingDaysOracle.h"

using namespace MyApp;
using ModelTests::Fields;

namespace {

Project OpenProject() {
    Project p;
    p.description = "aperto";
    p.workingWeekdays[0] = 1;
    Task t;
    t.description = "esistente";
    p.tasks.push_back(t);
    p.includeDays.push_back(p.start);
    p.filePath = "aperto.vmo";
    p.modified = true;
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    Project fromLines = OpenProject();
    const std::string before = Fields(fromLines, true);
    const LoadResult linesResult = LoadProjectLines(fromLines, SplitLines(bytes));
    Project fromBytes = OpenProject();
    const LoadResult bytesResult = LoadProjectBytes(fromBytes, bytes);
    // Read in pieces of a few bytes, as from a file.
    ProjectFileReader reader(size);
    const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 16;
    for (std::size_t at = 0; at < size; at += piece) reader.Feed(bytes.substr(at, piece));
    Project fromPieces = OpenProject();
    const LoadResult piecesResult = reader.Finish(fromPieces);

    Check(linesResult == LoadResult::Ok || linesResult == LoadResult::FormatError, "answer");
    Check(linesResult == bytesResult && bytesResult == piecesResult, "every loader answers alike");
    Check(fromLines.filePath == "aperto.vmo" && fromLines.modified, "path and flag untouched");
    if (linesResult != LoadResult::Ok) {
        Check(Fields(fromLines, true) == before, "failed load changes nothing");
        return 0;
    }
    Check(Fields(fromLines, true) == Fields(fromBytes, true) && Fields(fromBytes, true) == Fields(fromPieces, true),
          "every loader reads alike");

    Project again, third;
    Check(LoadProjectLines(again, SerializeProject(fromLines)) == LoadResult::Ok, "saved project loads");
    Check(Fields(again, false) == Fields(fromLines, false), "round trip");
    Check(LoadProjectLines(third, SerializeProject(again)) == LoadResult::Ok, "saved again loads");
    Check(Fields(third, true) == Fields(again, true), "costs settle after one round trip");

    // The report, whatever the spans; and each task's working days against the
    // literal day-by-day rule while the walk stays short.
    std::string text;
    Money total;
    BuildCostReport(fromLines, AmountFormat{",", ".", "3;0"}, text, total);
    Check(!text.empty(), "report text");
    const WorkingDayCalendar calendar(fromLines);
    const std::int64_t perDay =
        1 + static_cast<std::int64_t>(fromLines.includeDays.size() + fromLines.excludeDays.size());
    std::int64_t work = 0;
    for (const Task& t : fromLines.tasks) {
        work += (DaysUntil(t.start, t.end) > 0 ? DaysUntil(t.start, t.end) : 0) * perDay;
        if (work > 200000) break;
        Check(calendar.CountWorkingDays(t.start, t.end) == Oracle::CountWorkingDays(fromLines, t.start, t.end),
              "working days follow the day-by-day rule");
    }
    return 0;
}
