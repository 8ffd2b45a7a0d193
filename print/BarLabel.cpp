#include "print/BarLabel.h"

#include <algorithm>

namespace MyApp {

namespace {

constexpr wchar_t Ellipsis = L'\x2026';

bool LowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The first `length` characters with "…", without the spaces before it.
std::wstring Shortened(const std::wstring& name, size_t length) {
    std::wstring text = name.substr(0, length);
    while (!text.empty() && text.back() == L' ') text.pop_back();
    return text + Ellipsis;
}

}  // namespace

BarLabel PlaceBarLabel(const std::wstring& name, std::int64_t barLeft, std::int64_t barRight, std::int64_t areaLeft,
                       std::int64_t areaRight, std::int64_t gap, const TextWidth& width) {
    BarLabel label;
    if (name.empty()) return label;
    gap = std::max<std::int64_t>(0, gap);
    struct Room {
        LabelPlace place;
        std::int64_t left;
        std::int64_t right;
        std::int64_t Width() const { return right - left; }
    };
    const Room inside{LabelPlace::Inside, barLeft + gap, barRight - gap};
    const Room after{LabelPlace::After, std::max(areaLeft, barRight + gap), areaRight};
    const Room before{LabelPlace::Before, areaLeft, std::min(areaRight, barLeft - gap)};

    const std::int64_t whole = width(name);
    for (const Room& room : {inside, after, before}) {
        if (whole <= room.Width()) {
            label.place = room.place;
            label.text = name;
            label.left = room.place == LabelPlace::Before ? room.right - whole : room.left;
            label.right = room.place == LabelPlace::After ? room.left + whole : room.right;
            return label;
        }
    }

    // Cut at its end, in the widest room: the longest beginning that fits
    // with "…" (found by halving, as widths grow with the length).
    Room widest = inside;
    for (const Room& room : {after, before})
        if (room.Width() > widest.Width()) widest = room;
    if (width(Shortened(name, 0)) > widest.Width()) return label;
    size_t fits = 0;
    size_t low = 1;
    size_t high = name.size() - 1;
    while (low <= high) {
        const size_t middle = low + (high - low) / 2;
        if (width(Shortened(name, middle)) <= widest.Width()) {
            fits = middle;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    // A character written as two halves is kept whole or left out.
    if (fits > 0 && fits < name.size() && LowSurrogate(name[fits])) --fits;
    label.place = widest.place;
    label.text = Shortened(name, fits);
    const std::int64_t shown = width(label.text);
    label.left = widest.place == LabelPlace::Before ? widest.right - shown : widest.left;
    label.right = widest.place == LabelPlace::After ? widest.left + shown : widest.right;
    return label;
}

}  // namespace MyApp
