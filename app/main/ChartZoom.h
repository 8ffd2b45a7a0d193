// The chart's zoom levels: the width of a day column as a fraction of
// pixels, from the ruler's own width (level 0: 20 pixels at 96 DPI, wider
// for a short project) by halves down to a few days a pixel, so that the
// longest span a project can have fits one screen. The level is a view
// setting: the file, the exported picture and printing never see it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace MyApp {

struct ZoomStep {
    std::int64_t width = 0;    // pixels per day = width / divisor (at 96 DPI)
    std::int64_t divisor = 1;  // 0 / 1 at level 0: the ruler's own width
};

// Level 0 is the ruler's own width; every further level is narrower.
constexpr std::size_t ZoomLevels = 17;
ZoomStep ZoomAt(std::size_t level);

}  // namespace MyApp
