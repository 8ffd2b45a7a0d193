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

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Project.h"

namespace MyApp {

// What a project file may hold. The reader refuses a file that holds more,
// as a format error, so that a file takes no more memory than its own
// descriptions and a bounded number of tasks and days, however large it is;
// and the writer refuses to write more, so that every file it writes opens
// again. (The Microsoft Project import makes no more tasks than this.)
constexpr std::size_t MaxFileTasks = 1000000;
// In each of the two day lists.
constexpr std::size_t MaxFileListedDays = 1000000;
// Any one line, such as the description of the project or of a task.
constexpr std::size_t MaxFileLineBytes = std::size_t{16} << 20;

// Whether the project stays within those bounds.
bool FitsProjectFile(const Project& project);

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
// A file beyond the bounds above is invalid.
LoadResult LoadProjectLines(Project& project, const std::vector<std::string>& lines);
// The same for the raw bytes of a file.
LoadResult LoadProjectBytes(Project& project, std::string_view bytes);
// Reads and loads a file a piece at a time, holding no more of it than a
// piece and a line: OpenFailed leaves `project` as it was, like FormatError.
LoadResult LoadProjectFile(const std::string& path, Project& project);

// LoadProjectBytes for bytes handed over a piece at a time, in order; the
// pieces may end anywhere.
class ProjectFileReader {
public:
    // expectedBytes: the size of the whole file when it is known (0 when
    // not), so that the room for its tasks is taken at once.
    explicit ProjectFileReader(std::uint64_t expectedBytes = 0);
    ~ProjectFileReader();
    ProjectFileReader(const ProjectFileReader&) = delete;
    ProjectFileReader& operator=(const ProjectFileReader&) = delete;

    // False once the file has shown itself invalid: the rest need not be read.
    bool Feed(std::string_view piece);
    // After the last piece: the answer, and `project` replaced, of LoadProjectBytes.
    LoadResult Finish(Project& project);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Writes SerializeProject's lines, each followed by CR LF, made a piece at a
// time as they are written; the old file survives any failure. A project beyond the bounds above is not
// written (false).
bool SaveProjectFile(const std::string& path, const Project& project);

// True when a description would be read back as a marker line and break the file.
bool IsMarkerLine(std::string_view text);

namespace detail {
// Called, when set, as LoadProjectFile and SaveProjectFile begin: the tests
// make it throw to follow a failure through the program.
extern void (*beforeFileAccess)();
}  // namespace detail

}  // namespace MyApp
