#include "file/ProjectFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>

#include "file/FileReader.h"
#include "file/LineFile.h"
#include "file/ReplaceFile.h"
#include "model/NumberText.h"

namespace MyApp {

namespace {

const std::string_view MagicLine = "#VELMORA";
const std::string_view TaskMarker = "#TASK";
const std::string_view IncludeMarker = "#DAY INCLUDE";
const std::string_view ExcludeMarker = "#DAY EXCLUDE";

// The pieces in which a file is read and written.
constexpr std::size_t PieceBytes = std::size_t{1} << 20;

std::string IntegerText(long long value) { return std::to_string(value); }

long long AsSigned32(std::uint32_t value) {
    return value <= 0x7FFFFFFFu ? static_cast<long long>(value) : static_cast<long long>(value) - 0x100000000ll;
}

// The cost in "%Lg" form with the fewest significant digits, six at least,
// that read back as the same double: "%Lg" itself for every cost of up to
// six significant digits, and no typed digit lost beyond them.
std::string CostText(double cost) {
    char buffer[64];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*Lg", digits, static_cast<long double>(cost));
        if (ParseReal(buffer) == cost) break;
    }
    return buffer;
}

// Reads lines one at a time into its own project.
class ProjectLoader {
public:
    ProjectLoader() : today_(LocalNow()) {}

    // False once a line has made the file invalid; no further line is read.
    bool Feed(std::string_view line) {
        consumed_ += line.size() + 2;
        if (line.size() > MaxFileLineBytes) ok_ = false;
        else if (line == MagicLine) Enter(Section::Header);
        else if (line == TaskMarker) Enter(Section::Task);
        else if (line == ExcludeMarker) Enter(Section::Exclude);
        else if (line == IncludeMarker) Enter(Section::Include);
        else Data(line);
        return ok_;
    }

    void ExpectBytes(std::uint64_t bytes) { expected_ = bytes; }

    bool Succeeded() const { return ok_ && headerComplete_; }

    void MoveInto(Project& target) {
        target.description = std::move(project_.description);
        target.start = project_.start;
        target.end = project_.end;
        for (int i = 0; i < 7; ++i) target.workingWeekdays[i] = project_.workingWeekdays[i];
        target.tasks = std::move(project_.tasks);
        target.includeDays = std::move(project_.includeDays);
        target.excludeDays = std::move(project_.excludeDays);
    }

private:
    enum class Section { None, Header, Task, Include, Exclude };

    void Enter(Section section) {
        section_ = section;
        k_ = 0;
    }

    bool ReadDate(std::string_view line, Date& target) {
        ParseDate(line, target);
        if (target.invalid) ok_ = false;
        return ok_;
    }

    void Data(std::string_view line) {
        switch (section_) {
        case Section::None: return;
        case Section::Include:
        case Section::Exclude: {
            Date day = today_;
            if (!ReadDate(line, day)) return;
            std::vector<Date>& days = section_ == Section::Include ? project_.includeDays : project_.excludeDays;
            if (days.size() == MaxFileListedDays) ok_ = false;
            else days.push_back(day);
            return;
        }
        case Section::Header:
            switch (k_) {
            case 0: project_.description.assign(line); break;
            case 1:
                if (!ReadDate(line, project_.start)) return;
                break;
            case 2:
                if (!ReadDate(line, project_.end)) return;
                break;
            default: project_.workingWeekdays[k_ - 3] = ParseInteger(line); break;
            }
            if (k_ == 9) {
                section_ = Section::None;
                headerComplete_ = true;
                k_ = 0;
            } else {
                ++k_;
            }
            return;
        case Section::Task:
            switch (k_) {
            case 0:
                task_.emplace(today_);
                task_->description.assign(line);
                break;
            case 1:
                if (!ReadDate(line, task_->start)) return;
                break;
            case 2:
                if (!ReadDate(line, task_->end)) return;
                break;
            case 3: task_->colour = static_cast<COLORREF>(ParseInteger(line)); break;
            case 4: task_->resources = ParseInteger(line); break;
            case 5:
                task_->dailyCost = ParseReal(line);
                if (std::fabs(task_->dailyCost) > MaxDailyCost || project_.tasks.size() == MaxFileTasks) {
                    ok_ = false;
                    return;
                }
                MakeRoom();
                project_.tasks.push_back(std::move(*task_));
                task_.reset();
                k_ = 0;
                return;
            }
            ++k_;
            return;
        }
    }

    // Room for one more task. The tasks of one file take about as many bytes
    // each, so the room for all of them is judged, with a margin, from the
    // part of the file read so far and taken in one step; the tasks are not
    // moved again unless the file holds more than judged.
    void MakeRoom() {
        std::vector<Task>& tasks = project_.tasks;
        if (tasks.size() < tasks.capacity()) return;
        const double held = static_cast<double>(tasks.size());
        double room = held * 2;
        if (tasks.empty()) {
            // At least 29 bytes a task: an empty description, two dates, three digits.
            room = expected_ == 0 ? FirstRoom : std::min<double>(FirstRoom, static_cast<double>(expected_ / 29 + 1));
        } else if (expected_ > consumed_) {
            const double judged = held * static_cast<double>(expected_) / static_cast<double>(consumed_);
            room = std::max(judged * 1.02 + FirstRoom, held * 1.5);
        }
        tasks.reserve(static_cast<std::size_t>(std::min(room, static_cast<double>(MaxFileTasks))));
    }

    // The room taken for the first tasks: judging from fewer would be guessing.
    static constexpr std::size_t FirstRoom = 1024;

    Project project_;
    Date today_;
    std::uint64_t expected_ = 0;  // the file's size, when known
    std::uint64_t consumed_ = 0;  // the bytes of the lines read so far, CR LF counted
    std::optional<Task> task_;    // the task being read
    Section section_ = Section::None;
    int k_ = 0;
    bool ok_ = true;
    bool headerComplete_ = false;
};

// The lines of a project's file, each made when it is asked for, so that a
// file is written without its whole content in memory.
class ProjectLines {
public:
    explicit ProjectLines(const Project& project) : project_(project) {}

    std::size_t Count() const {
        return HeaderLines + SectionLines(project_.tasks.size(), TaskLines) +
               SectionLines(project_.includeDays.size(), 1) + SectionLines(project_.excludeDays.size(), 1);
    }

    // Appends line k (0 to Count() - 1) to `out`, without its line end.
    std::string& Append(std::size_t k, std::string& out) const {
        const Project& p = project_;
        if (k < HeaderLines) {
            switch (k) {
            case 0: return out.append(MagicLine);
            case 1: return out.append(p.description);
            case 2: return out.append(FormatDate(p.start));
            case 3: return out.append(FormatDate(p.end));
            default: return out.append(IntegerText(p.workingWeekdays[k - 4]));
            }
        }
        k -= HeaderLines;
        if (k < SectionLines(p.tasks.size(), TaskLines)) {
            if (k == 0) return out.append(TaskMarker);
            const Task& task = p.tasks[(k - 1) / TaskLines];
            switch ((k - 1) % TaskLines) {
            case 0: return out.append(task.description);
            case 1: return out.append(FormatDate(task.start));
            case 2: return out.append(FormatDate(task.end));
            // The colour's 32 bits as a signed value, so that -1 (no colour) reads back.
            case 3: return out.append(IntegerText(AsSigned32(task.colour)));
            case 4: return out.append(IntegerText(task.resources));
            default: return out.append(CostText(task.dailyCost));
            }
        }
        k -= SectionLines(p.tasks.size(), TaskLines);
        if (k < SectionLines(p.includeDays.size(), 1))
            return k == 0 ? out.append(IncludeMarker) : out.append(FormatDate(p.includeDays[k - 1]));
        k -= SectionLines(p.includeDays.size(), 1);
        return k == 0 ? out.append(ExcludeMarker) : out.append(FormatDate(p.excludeDays[k - 1]));
    }

private:
    static constexpr std::size_t HeaderLines = 11;  // the magic, description, start, end, 7 weekdays
    static constexpr std::size_t TaskLines = 6;

    // A section: its marker and the lines of its items; nothing when it has none.
    static std::size_t SectionLines(std::size_t items, std::size_t linesEach) {
        return items == 0 ? 0 : 1 + items * linesEach;
    }

    const Project& project_;
};

}  // namespace

bool IsMarkerLine(std::string_view text) {
    return text == MagicLine || text == TaskMarker || text == IncludeMarker || text == ExcludeMarker;
}

bool FitsProjectFile(const Project& project) {
    const auto longLine = [](const Task& task) { return task.description.size() > MaxFileLineBytes; };
    return project.tasks.size() <= MaxFileTasks && project.includeDays.size() <= MaxFileListedDays &&
           project.excludeDays.size() <= MaxFileListedDays && project.description.size() <= MaxFileLineBytes &&
           std::none_of(project.tasks.begin(), project.tasks.end(), longLine);
}

std::vector<std::string> SerializeProject(const Project& project) {
    const ProjectLines file(project);
    std::vector<std::string> lines(file.Count());
    for (std::size_t k = 0; k < lines.size(); ++k) file.Append(k, lines[k]);
    return lines;
}

LoadResult LoadProjectLines(Project& project, const std::vector<std::string>& lines) {
    ProjectLoader loader;
    for (const std::string& line : lines)
        if (!loader.Feed(line)) break;
    if (!loader.Succeeded()) return LoadResult::FormatError;
    loader.MoveInto(project);
    return LoadResult::Ok;
}

// A line longer than any the file may hold is refused as soon as it is, so
// that it is never held whole; the loader refuses it too, CR or not.
struct ProjectFileReader::State {
    LineSplitter lines{MaxFileLineBytes + 1};
    ProjectLoader loader;
};

ProjectFileReader::ProjectFileReader(std::uint64_t expectedBytes) : state_(std::make_unique<State>()) {
    state_->loader.ExpectBytes(expectedBytes);
}

ProjectFileReader::~ProjectFileReader() = default;

bool ProjectFileReader::Feed(std::string_view piece) {
    return state_->lines.Feed(piece, [this](std::string_view line) { return state_->loader.Feed(line); });
}

LoadResult ProjectFileReader::Finish(Project& project) {
    state_->lines.Finish([this](std::string_view line) { return state_->loader.Feed(line); });
    if (state_->lines.TooLong() || !state_->loader.Succeeded()) return LoadResult::FormatError;
    state_->loader.MoveInto(project);
    return LoadResult::Ok;
}

LoadResult LoadProjectBytes(Project& project, std::string_view bytes) {
    ProjectFileReader reader(bytes.size());
    reader.Feed(bytes);
    return reader.Finish(project);
}

namespace detail {
void (*beforeFileAccess)() = nullptr;
}  // namespace detail

LoadResult LoadProjectFile(const std::string& path, Project& project) {
    if (detail::beforeFileAccess != nullptr) detail::beforeFileAccess();
    FileReader file(path);
    if (!file.IsOpen()) return LoadResult::OpenFailed;
    ProjectFileReader reader(file.Size());
    std::string piece(PieceBytes, '\0');
    for (;;) {
        const std::ptrdiff_t read = file.Read(&piece[0], piece.size());
        if (read < 0) return LoadResult::OpenFailed;
        if (read == 0 || !reader.Feed(std::string_view(piece.data(), static_cast<std::size_t>(read)))) break;
    }
    return reader.Finish(project);
}

bool SaveProjectFile(const std::string& path, const Project& project) {
    if (detail::beforeFileAccess != nullptr) detail::beforeFileAccess();
    if (!FitsProjectFile(project)) return false;
    const ProjectLines file(project);
    std::size_t next = 0;
    std::string piece;
    return WriteFileReplacing(path, [&](const std::uint8_t*& data, std::size_t& size) {
        piece.clear();
        try {
            while (next < file.Count() && piece.size() < PieceBytes) file.Append(next++, piece).append("\r\n");
        } catch (...) {
            return false;  // no memory for the piece: the old file stays
        }
        data = reinterpret_cast<const std::uint8_t*>(piece.data());
        size = piece.size();
        return true;
    });
}

}  // namespace MyApp
