// Where a bar's name is written: inside the bar when it fits there with a
// gap on each side, else after the bar, else before it; a name that fits
// none of these is cut at its end with "…" in the widest of the three. A
// name is never cut at its start. Portable: the printed chart uses it, and
// any other picture of the bars can.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace MyApp {

enum class LabelPlace {
    Inside,  // centred in the bar
    After,   // from the bar's right end on
    Before,  // ending at the bar's left end
    None,    // no room for even "…"
};

struct BarLabel {
    LabelPlace place = LabelPlace::None;
    std::wstring text;       // the name, or its beginning followed by "…"
    std::int64_t left = 0;   // the box the text is drawn in: it holds the text
    std::int64_t right = 0;  // whole (centred in it when inside the bar)
};

// The width a text takes when drawn; longer texts are never narrower than
// their beginnings.
using TextWidth = std::function<std::int64_t(const std::wstring&)>;

// The label of a bar from barLeft to barRight, on a line from areaLeft to
// areaRight (the page's or the picture's edges), `gap` from the bar's edges.
BarLabel PlaceBarLabel(const std::wstring& name, std::int64_t barLeft, std::int64_t barRight, std::int64_t areaLeft,
                       std::int64_t areaRight, std::int64_t gap, const TextWidth& width);

}  // namespace MyApp
