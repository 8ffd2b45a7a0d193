// Where a bar's name is written, against a plain search over random bars,
// names and pages: whole in the first room it fits (inside, after, before
// the bar), else its longest beginning that fits with "…" in the widest
// room, never parting the two halves of a character.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "print/BarLabel.h"

namespace MyApp {

TEST(BarLabelTest, ANameIsWholeWhereItFirstFitsElseCutOnlyAtItsEnd) {
    std::mt19937 random(31);
    auto roll = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const TextWidth width = [](const std::wstring& text) {
        return static_cast<std::int64_t>(5 * text.size() + 4 * std::count(text.begin(), text.end(), L'M'));
    };
    for (int run = 0; run < 20000; ++run) {
        std::wstring name;
        for (int n = roll(1, 24); n > 0; --n)
            name += roll(0, 5) > 0 ? std::wstring(1, L"aM "[roll(0, 2)]) : L"\xD83D\xDE00";
        const int right = roll(0, 400), barLeft = roll(0, right), barRight = roll(barLeft, right), gap = roll(0, 4);
        const std::int64_t rooms[] = {barRight - barLeft - 2 * gap, right - barRight - gap, barLeft - gap};
        int place = 0;
        while (place < 3 && width(name) > rooms[place]) ++place;
        std::wstring text = place < 3 ? name : L"";
        if (place == 3) place = static_cast<int>(std::max_element(rooms, rooms + 3) - rooms);
        for (size_t n = 0; text != name && n < name.size(); ++n) {
            const std::wstring kept = name.substr(0, name.substr(0, n).find_last_not_of(L' ') + 1) + L'\x2026';
            if (width(kept) <= rooms[place] && name[n] < 0xDC00) text = kept;
        }
        const BarLabel label = PlaceBarLabel(name, barLeft, barRight, 0, right, gap, width);
        ASSERT_EQ(label.text, text) << barLeft << "-" << barRight << " of " << right << ", gap " << gap;
        EXPECT_EQ(label.place, text.empty() ? LabelPlace::None : static_cast<LabelPlace>(place));
        EXPECT_TRUE(label.left >= 0 && label.right <= right && width(label.text) <= label.right - label.left);
    }
}

}  // namespace MyApp
