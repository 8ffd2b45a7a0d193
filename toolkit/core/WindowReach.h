// How far from its parent's corner the platform lets a child window lie. It
// keeps window positions in 16 bits (-32768 to 32767 pixels), while a chart
// of a few years is far wider: the ruler and the bars work out where they
// would lie and place their windows only within this reach.
#pragma once

#include <algorithm>
#include <cstdint>

namespace QVUtility {

constexpr std::int64_t LowestWindowPosition = -32768;
constexpr std::int64_t HighestWindowPosition = 32767;
// A window placed within this distance of the corner, either way, lies
// where it was put, with room to spare for its width and the view.
constexpr std::int64_t SafeWindowReach = 30000;

// The position the platform keeps for a window put at `position`.
inline std::int64_t KeptWindowPosition(std::int64_t position) {
    return std::max(LowestWindowPosition, std::min(HighestWindowPosition, position));
}

// Whether a window from `left` to `right` (pixels from the parent's corner)
// can be placed as it is.
inline bool WithinSafeReach(std::int64_t left, std::int64_t right) {
    return left >= -SafeWindowReach && right <= SafeWindowReach;
}

}  // namespace QVUtility
