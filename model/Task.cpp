#include "model/Task.h"

#include <cmath>
#include <cstdint>

namespace MyApp {

int nextTaskId = 0;

const BarColour BarColours[5] = {
    {"Azzuro", ColourAzzuro, false}, {"Bianco", ColourBianco, false}, {"Blu", ColourBlu, true},
    {"Rosso", ColourRosso, true},    {"Verde", ColourVerde, false},
};

double RelativeLuminance(COLORREF colour) {
    // The sRGB channels made linear, weighted as the eye sees them.
    auto linear = [](unsigned channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour & 0xFF) + 0.7152 * linear((colour >> 8) & 0xFF) +
           0.0722 * linear((colour >> 16) & 0xFF);
}

bool IsBarColour(COLORREF colour) {
    for (const BarColour& bar : BarColours) {
        if (bar.colour == colour) return true;
    }
    return false;
}

COLORREF BarTextColour(COLORREF barColour) {
    for (const BarColour& bar : BarColours) {
        if (bar.colour == barColour) return bar.whiteText ? 0xFFFFFF : 0x000000;
    }
    // Any other colour: the text colour that stands out more from it. The
    // contrast of two luminances a > b is (a + 0.05) / (b + 0.05).
    const double luminance = RelativeLuminance(barColour);
    return (1.0 + 0.05) / (luminance + 0.05) > (luminance + 0.05) / 0.05 ? 0xFFFFFF : 0x000000;
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
