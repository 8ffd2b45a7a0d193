// The largest project file: 1,000,000 tasks with names of 60 bytes, saved and
// opened again. Each load runs in a process of its own, so that its peak
// memory is its own: the project file read by LoadProjectFile, and for
// comparison the same file read whole into memory and then loaded with
// LoadProjectBytes. Figures are printed; nothing is asserted.
//
//   file_bench                 all of it
//   file_bench --load PATH     one load (the child's part)
//   file_bench --whole PATH    one load of the file read whole
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "file/LineFile.h"
#include "file/ProjectFile.h"
#include "tests/file/FileTestSupport.h"

using namespace MyApp;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int Tasks = 1000000;
constexpr std::size_t NameBytes = 60;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// A figure of /proc/self/status in MB ("VmHWM": the peak so far, "VmRSS": now).
double StatusMegabytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, std::strlen(key), key) == 0 && line[std::strlen(key)] == ':')
            return std::atof(line.c_str() + std::strlen(key) + 1) / 1024.0;
    return 0;
}

const char* ResultName(LoadResult result) {
    switch (result) {
    case LoadResult::Ok: return "loaded";
    case LoadResult::OpenFailed: return "could not be read";
    case LoadResult::FormatError: return "refused as a format error";
    }
    return "?";
}

int LoadOnce(const std::string& path, bool whole) {
    const double before = StatusMegabytes("VmRSS");
    const auto start = Clock::now();
    Project project;
    LoadResult result = LoadResult::OpenFailed;
    if (whole) {
        std::string bytes;
        bool tooLarge = false;
        if (ReadFileBytes(path, bytes, tooLarge, ~0ull)) result = LoadProjectBytes(project, bytes);
    } else {
        result = LoadProjectFile(path, project);
    }
    const double seconds = Seconds(start);
    std::printf("  %-34s %s, %zu tasks, %.3f s, peak %.0f MB (%.0f MB above the process's start)\n",
                whole ? "read whole + LoadProjectBytes:" : "LoadProjectFile:", ResultName(result), project.tasks.size(),
                seconds, StatusMegabytes("VmHWM"), StatusMegabytes("VmHWM") - before);
    return result == LoadResult::Ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load") == 0) return LoadOnce(argv[2], false);
    if (argc == 3 && std::strcmp(argv[1], "--whole") == 0) return LoadOnce(argv[2], true);

    const std::string path = (std::filesystem::temp_directory_path() / "velmora-bench-million.vmo").string();
    {
        Project project = FileTests::LargeProject(Tasks, NameBytes);
        const double generated = StatusMegabytes("VmHWM");
        const auto start = Clock::now();
        const bool saved = SaveProjectFile(path, project);
        std::printf("%d tasks, names of %zu bytes: %s, %.1f MB, %.3f s, peak %.0f MB above the project's own\n", Tasks,
                    NameBytes, saved ? "saved" : "NOT SAVED", std::filesystem::file_size(path) / 1e6, Seconds(start),
                    StatusMegabytes("VmHWM") - generated);
    }
    std::fflush(stdout);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    for (int run = 0; run < 3; ++run) std::system(("'" + self + "' --load '" + path + "'").c_str());
    std::system(("'" + self + "' --whole '" + path + "'").c_str());
    std::filesystem::remove(path);
    return 0;
}
