// Who wrote a file that stands for a running program (a lock beside a
// project, a recovery copy), and when: the process, told apart from a later
// process that happens to get the same id by its start time, and the local
// time written as text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "model/Date.h"

namespace MyApp {

struct ProcessMark {
    std::uint32_t id = 0;
    std::uint64_t started = 0;  // the process's start time (FILETIME ticks); 0 = unknown
};

inline bool operator==(const ProcessMark& a, const ProcessMark& b) { return a.id == b.id && a.started == b.started; }
inline bool operator!=(const ProcessMark& a, const ProcessMark& b) { return !(a == b); }

// Whether the process of a mark is still running (the platform's answer, or
// a test's).
using ProcessProbe = std::function<bool(const ProcessMark&)>;

// "2024-03-05 14:07:09": the date and time as files keep them (text that
// sorts as time goes on).
std::string TimeText(const Date& moment);
// Reads TimeText back; false (moment untouched) when the text is not one.
bool ParseTimeText(std::string_view text, Date& moment);
// As the user reads it: "05/03/2024 14:07"; the text itself when it is not
// a TimeText.
std::string ShownTime(std::string_view timeText);

}  // namespace MyApp
