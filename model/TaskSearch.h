// Finding a task by a piece of its description, as "Trova..." does: the
// text anywhere in the description, letter case ignored (the accented
// letters of the system code page included: "à" finds "À").
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/Project.h"

namespace MyApp {

// What is looked for, folded once for all the descriptions.
class TaskSearch {
public:
    explicit TaskSearch(std::string_view text);
    // Whether the description holds the text.
    bool Matches(std::string_view description) const;
    // The first task after `after` (none: from the first task) whose
    // description holds the text, going round to the start of the list and
    // ending with `after` itself; nothing when no task holds it.
    std::optional<std::size_t> Next(const Project& project, std::optional<std::size_t> after) const;

private:
    std::string folded_;
};

}  // namespace MyApp
