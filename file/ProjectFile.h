// The ".vmo" project file: a fixed header and three optional sections, one
// value per line.
//
//   #VELMORA
//   description / start / end          (dates DD/MM/YYYY)
//   7 weekday flags, Monday first      (integers)
//   #TASK          then 6 lines per task: description, start, end, colour,
//                  resources, daily cost
//   #DAY INCLUDE   then one extra working day per line
//   #DAY EXCLUDE   then one extra non-working day per line
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/Project.h"

namespace MyApp {

enum class LoadResult {
    Ok,
    OpenFailed,   // the file could not be opened for reading
    FormatError,  // it opened, but is not a valid project file
};

// The project as lines without terminators. Each daily cost is written in
// "%Lg" form with as many significant digits beyond six as it takes to read
// back as the very same number.
std::vector<std::string> SerializeProject(const Project& project);

// Rebuilds the project from lines. A daily cost beyond MaxDailyCost either
// way makes the file invalid. The lines are read into a fresh project;
// only when all of them are valid does it replace the description, span,
// weekday flags, tasks and day lists of `project` (the loaded tasks take new
// ids, in file order). On a format error `project` is left exactly as it was.
// filePath and modified are never touched: they are the caller's.
LoadResult LoadProjectLines(Project& project, const std::vector<std::string>& lines);
// The same for the raw bytes of a file.
LoadResult LoadProjectBytes(Project& project, std::string_view bytes);
// Reads and loads a file: OpenFailed leaves `project` as it was, like FormatError.
LoadResult LoadProjectFile(const std::string& path, Project& project);

// SerializeProject + WriteLines: the old file survives any failure.
bool SaveProjectFile(const std::string& path, const Project& project);

// True when a description would be read back as a marker line and break the file.
bool IsMarkerLine(std::string_view text);

namespace detail {
// Called, when set, as LoadProjectFile and SaveProjectFile begin: the tests
// make it throw to follow a failure through the program.
extern void (*beforeFileAccess)();
}  // namespace detail

}  // namespace MyApp
