// The projects opened or saved last, newest first, at most four, kept in the
// user's settings so that the next run lists them too. Each change reads the
// list afresh, so that two copies of the program both leave their files in it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace MyApp {

constexpr std::size_t RecentFileCount = 4;

// The list as the settings hold it.
std::vector<std::string> LoadRecentFiles();
// Puts the path first (once, whatever the letter case of its name), keeps
// the first four, stores the list and answers it.
std::vector<std::string> RememberRecentFile(const std::string& path);
// Takes the path out of the list, stores the list and answers it.
std::vector<std::string> ForgetRecentFile(const std::string& path);

}  // namespace MyApp
