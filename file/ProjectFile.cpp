#include "file/ProjectFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>

#include "file/LineFile.h"
#include "model/NumberText.h"

namespace MyApp {

namespace {

const std::string_view MagicLine = "#VELMORA";
const std::string_view TaskMarker = "#TASK";
const std::string_view IncludeMarker = "#DAY INCLUDE";
const std::string_view ExcludeMarker = "#DAY EXCLUDE";

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
        if (line == MagicLine) Enter(Section::Header);
        else if (line == TaskMarker) Enter(Section::Task);
        else if (line == ExcludeMarker) Enter(Section::Exclude);
        else if (line == IncludeMarker) Enter(Section::Include);
        else Data(line);
        return ok_;
    }

    void Reserve(std::size_t tasks) { project_.tasks.reserve(tasks); }

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
            (section_ == Section::Include ? project_.includeDays : project_.excludeDays).push_back(day);
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
                if (std::fabs(task_->dailyCost) > MaxDailyCost) {
                    ok_ = false;
                    return;
                }
                project_.tasks.push_back(std::move(*task_));
                task_.reset();
                k_ = 0;
                return;
            }
            ++k_;
            return;
        }
    }

    Project project_;
    Date today_;
    std::optional<Task> task_;  // the task being read
    Section section_ = Section::None;
    int k_ = 0;
    bool ok_ = true;
    bool headerComplete_ = false;
};

}  // namespace

bool IsMarkerLine(std::string_view text) {
    return text == MagicLine || text == TaskMarker || text == IncludeMarker || text == ExcludeMarker;
}

std::vector<std::string> SerializeProject(const Project& project) {
    std::vector<std::string> lines;
    lines.reserve(11 + 1 + project.tasks.size() * 6 + 1 + project.includeDays.size() + 1 + project.excludeDays.size());
    lines.emplace_back(MagicLine);
    lines.push_back(project.description);
    lines.push_back(FormatDate(project.start));
    lines.push_back(FormatDate(project.end));
    for (int flag : project.workingWeekdays) lines.push_back(IntegerText(flag));
    if (!project.tasks.empty()) {
        lines.emplace_back(TaskMarker);
        for (const Task& task : project.tasks) {
            lines.push_back(task.description);
            lines.push_back(FormatDate(task.start));
            lines.push_back(FormatDate(task.end));
            // The colour's 32 bits as a signed value, so that -1 (no colour) reads back.
            lines.push_back(IntegerText(AsSigned32(task.colour)));
            lines.push_back(IntegerText(task.resources));
            lines.push_back(CostText(task.dailyCost));
        }
    }
    if (!project.includeDays.empty()) {
        lines.emplace_back(IncludeMarker);
        for (const Date& day : project.includeDays) lines.push_back(FormatDate(day));
    }
    if (!project.excludeDays.empty()) {
        lines.emplace_back(ExcludeMarker);
        for (const Date& day : project.excludeDays) lines.push_back(FormatDate(day));
    }
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

LoadResult LoadProjectBytes(Project& project, std::string_view bytes) {
    ProjectLoader loader;
    // Room for as many tasks as the file could hold: six lines each, at least
    // 29 bytes (empty description, two dates, three one-digit numbers).
    std::size_t lineCount = 0;
    for (const char *at = bytes.data(), *end = at + bytes.size();
         (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr; ++at)
        ++lineCount;
    loader.Reserve(std::min(lineCount / 6, bytes.size() / 29) + 1);
    ForEachLine(bytes, [&loader](std::string_view line) { return loader.Feed(line); });
    if (!loader.Succeeded()) return LoadResult::FormatError;
    loader.MoveInto(project);
    return LoadResult::Ok;
}

namespace detail {
void (*beforeFileAccess)() = nullptr;
}  // namespace detail

LoadResult LoadProjectFile(const std::string& path, Project& project) {
    if (detail::beforeFileAccess != nullptr) detail::beforeFileAccess();
    std::string bytes;
    bool tooLarge = false;
    if (!ReadFileBytes(path, bytes, tooLarge)) return tooLarge ? LoadResult::FormatError : LoadResult::OpenFailed;
    return LoadProjectBytes(project, bytes);
}

bool SaveProjectFile(const std::string& path, const Project& project) {
    if (detail::beforeFileAccess != nullptr) detail::beforeFileAccess();
    return WriteLines(path, SerializeProject(project));
}

}  // namespace MyApp
