// Temporary folders, whole-file reads and large projects for the file tests
// (the benchmarks use the projects too).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/Project.h"
#include "tests/model/TestDates.h"

namespace FileTests {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with its content.
class TempFolder {
public:
    TempFolder() {
        std::random_device seed;
        path_ = fs::temp_directory_path() / ("velmora-file-test-" + std::to_string(seed()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Narrow path of an entry, as the program's file functions take it.
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }
    std::size_t EntryCount() const {
        std::size_t n = 0;
        for (auto it = fs::directory_iterator(path_); it != fs::directory_iterator(); ++it) ++n;
        return n;
    }

private:
    fs::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The folder the test run made read-only (a Linux path; under Wine it is
// reached through drive Z:), or empty.
inline std::string ReadOnlyFolder() {
    const char* folder = std::getenv("VELMORA_READONLY_FOLDER");
    if (!folder || !*folder) return std::string();
#ifdef _WIN32
    std::string path = std::string("Z:") + folder;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
#else
    return folder;
#endif
}

// A project of `tasks` tasks named with `nameBytes` bytes each (all names
// different), spread over two years, with every field varied and a few
// listed days.
inline MyApp::Project LargeProject(int tasks, std::size_t nameBytes) {
    std::mt19937 random(20240304);
    const auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    MyApp::Project p;
    p.description = "Grande progetto";
    p.start = TestDates::D(1, 1, 2024);
    p.end = TestDates::D(31, 12, 2025);
    for (int i = 0; i < 6; ++i) p.workingWeekdays[i] = i < 5 || pick(0, 1);
    std::vector<MyApp::Date> days;
    for (MyApp::Date d = p.start; days.size() < 731; d = MyApp::AddOneDay(d)) days.push_back(d);
    p.tasks.reserve(static_cast<std::size_t>(tasks));
    for (int i = 0; i < tasks; ++i) {
        MyApp::Task t(p.start);
        t.description = "Attivit\xE0 " + std::to_string(i) + " ";
        for (std::size_t k = t.description.size(); k < nameBytes; ++k)
            t.description += static_cast<char>('a' + (static_cast<std::size_t>(i) * 31 + k * k) % 26);
        const int first = pick(0, 700);
        t.start = days[static_cast<std::size_t>(first)];
        t.end = days[static_cast<std::size_t>(first + pick(0, 30))];
        t.colour = MyApp::BarColours[pick(0, 4)].colour;
        t.resources = pick(0, 40);
        t.dailyCost = pick(0, 4000000) / 100.0;
        p.tasks.push_back(std::move(t));
    }
    for (int i = 0; i < 20; ++i) p.includeDays.push_back(days[static_cast<std::size_t>(pick(0, 730))]);
    for (int i = 0; i < 20; ++i) p.excludeDays.push_back(days[static_cast<std::size_t>(pick(0, 730))]);
    return p;
}

}  // namespace FileTests
