// Where a bar's name is written, checked as rules on many random bars,
// names and page edges: the name stands whole where it first fits (inside,
// after, before), or is cut at its end with "…" as long as it can be.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "print/BarLabel.h"

namespace MyApp {
namespace {

TEST(BarLabelTest, ANameIsWholeWhereItFirstFitsOrCutOnlyAtItsEnd) {
    std::mt19937 random(31);
    // Characters of unequal widths, a space among them, and one written as
    // two halves (a surrogate pair) whose halves are never parted.
    const std::wstring letters = L"ailmMWe \xD83D\xDE00";
    auto width = [](const std::wstring& text) {
        std::int64_t sum = 0;
        for (wchar_t c : text) sum += c == L'M' || c == L'W' ? 9 : c == L'i' || c == L'l' ? 2 : c >= 0xD800 ? 6 : 5;
        return sum;
    };
    auto roll = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    int placed[4] = {};
    int cut = 0;
    for (int run = 0; run < 20000; ++run) {
        std::wstring name;
        for (int n = roll(1, 24); n > 0; --n) {
            const size_t k = static_cast<size_t>(roll(0, 8));
            name += letters[k];
            if (k == 8) name += letters[9];
        }
        const std::int64_t areaLeft = roll(0, 50);
        const std::int64_t areaRight = areaLeft + roll(0, 400);
        const std::int64_t barLeft = roll(static_cast<int>(areaLeft), static_cast<int>(areaRight));
        const std::int64_t barRight = roll(static_cast<int>(barLeft), static_cast<int>(areaRight));
        const std::int64_t gap = roll(0, 4);
        const BarLabel label = PlaceBarLabel(name, barLeft, barRight, areaLeft, areaRight, gap, width);
        SCOPED_TRACE(testing::Message() << "bar " << barLeft << "-" << barRight << " in " << areaLeft << "-"
                                        << areaRight << ", gap " << gap << ", " << name.size() << " characters");
        ++placed[static_cast<int>(label.place)];

        const bool fitsInside = width(name) <= barRight - barLeft - 2 * gap;
        const bool fitsAfter = width(name) <= areaRight - barRight - gap;
        const bool fitsBefore = width(name) <= barLeft - gap - areaLeft;
        const bool whole = fitsInside || fitsAfter || fitsBefore;
        if (label.place == LabelPlace::None) {
            EXPECT_FALSE(whole);
            EXPECT_TRUE(label.text.empty());
            continue;
        }
        // The text holds the name's beginning: all of it, or a part and "…".
        EXPECT_EQ(label.text == name, whole);
        if (!whole) {
            ++cut;
            ASSERT_EQ(label.text.back(), L'\x2026');
            const std::wstring kept = label.text.substr(0, label.text.size() - 1);
            EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
            EXPECT_TRUE(kept.empty() || kept.back() < 0xD800 || kept.back() >= 0xDC00) << "a character cut in half";
            // As long as it can be: one more character would not fit.
            size_t next = kept.size();
            while (next < name.size() && name[next] == L' ') ++next;
            if (next < name.size()) {
                next += name[next] >= 0xD800 && name[next] < 0xDC00 ? 2 : 1;
                EXPECT_GT(width(name.substr(0, next) + L'\x2026'), label.right - label.left);
            }
        }
        // The box holds the text, on the page, clear of the bar unless inside it.
        EXPECT_LE(width(label.text), label.right - label.left);
        EXPECT_GE(label.left, areaLeft);
        EXPECT_LE(label.right, areaRight);
        switch (label.place) {
        case LabelPlace::Inside:
            EXPECT_GE(label.left, barLeft + gap);
            EXPECT_LE(label.right, barRight - gap);
            EXPECT_TRUE(fitsInside || !whole);
            break;
        case LabelPlace::After:
            EXPECT_GE(label.left, barRight + gap);
            EXPECT_TRUE(!whole || (!fitsInside && fitsAfter));
            break;
        case LabelPlace::Before:
            EXPECT_LE(label.right, barLeft - gap);
            EXPECT_TRUE(!whole || (!fitsInside && !fitsAfter && fitsBefore));
            break;
        case LabelPlace::None: break;
        }
    }
    // Every outcome was met.
    for (int count : placed) EXPECT_GT(count, 100);
    EXPECT_GT(cut, 100);
}

}  // namespace
}  // namespace MyApp
