#include "model/Task.h"

#include <cstdint>

namespace MyApp {

int nextTaskId = 0;

const BarColour BarColours[5] = {
    {"Azzuro", ColourAzzuro, false}, {"Bianco", ColourBianco, false}, {"Blu", ColourBlu, true},
    {"Rosso", ColourRosso, true},    {"Verde", ColourVerde, false},
};

COLORREF BarTextColour(COLORREF barColour) {
    for (const BarColour& bar : BarColours) {
        if (bar.colour == barColour) return bar.whiteText ? 0xFFFFFF : 0x000000;
    }
    return 0x000000;
}

namespace {

int TakeNextTaskId() {
    // Wraps instead of overflowing after 2^31 - 1 tasks.
    const std::uint32_t next = static_cast<std::uint32_t>(nextTaskId) + 1u;
    nextTaskId = next <= 0x7FFFFFFFu ? static_cast<int>(next) : -static_cast<int>(~next) - 1;
    return nextTaskId;
}

}  // namespace

Task::Task() : Task(LocalNow()) {}

Task::Task(const Date& initialDay) : id(TakeNextTaskId()), start(initialDay), end(initialDay) {}

}  // namespace MyApp
