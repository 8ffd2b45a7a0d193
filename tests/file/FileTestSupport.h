// Temporary folders and whole-file reads for the file tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

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

}  // namespace FileTests
