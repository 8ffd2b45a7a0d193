// "Trova...": a piece of a description found whatever its letter case,
// accented capitals of the system code page included, and the search going
// round the list from the task after the selected one.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "model/Project.h"
#include "model/TaskSearch.h"

namespace MyApp {
namespace {

// Every piece of a description is found in it after any of its letters has
// changed case; a piece with one letter changed to another is not.
TEST(TaskSearch, FindsEveryPieceWhateverItsCase) {
    // Pairs of capital and small letters of the code page, and marks that
    // have no case.
    const std::string capitals = "AEIOUZ\xC0\xC8\xC9\xCC\xD2\xD9\x8A\x8C";
    const std::string smalls = "aeiouz\xE0\xE8\xE9\xEC\xF2\xF9\x9A\x9C";
    const std::string marks = " .-_0123456789\xD7\xF7";
    std::mt19937 random(7);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    for (int round = 0; round < 2000; ++round) {
        std::string description;
        const int length = 1 + pick(30);
        for (int i = 0; i < length; ++i) {
            const int kind = pick(3);
            description += kind == 0   ? capitals[pick(static_cast<int>(capitals.size()))]
                           : kind == 1 ? smalls[pick(static_cast<int>(smalls.size()))]
                                       : marks[pick(static_cast<int>(marks.size()))];
        }
        const std::size_t from = pick(length);
        std::string piece = description.substr(from, 1 + pick(static_cast<int>(length - from)));
        for (char& c : piece) {
            const std::size_t upper = capitals.find(c), lower = smalls.find(c);
            if (pick(2) == 0 && upper != std::string::npos) c = smalls[upper];
            else if (pick(2) == 0 && lower != std::string::npos) c = capitals[lower];
        }
        EXPECT_TRUE(TaskSearch(piece).Matches(description)) << round;
        // "×" and "÷" are no pair of letters: neither finds the other.
        std::string other = piece;
        other[0] = other[0] == '\xD7' ? '\xF7' : '\xD7';
        if (description.find('\xD7') == std::string::npos && description.find('\xF7') == std::string::npos) {
            EXPECT_FALSE(TaskSearch(other).Matches(description)) << round;
        }
    }
    EXPECT_FALSE(TaskSearch("").Matches("Scavo"));
    EXPECT_FALSE(TaskSearch("scavone").Matches("Scavo"));
}

// The next match after the selected task, round the end of the list; the
// selected task itself last; none when nothing matches.
TEST(TaskSearch, GoesRoundTheListFromTheTaskAfterTheSelection) {
    Project p;
    for (const char* name : {"Scavo", "Muri", "Impianto elettrico", "Tetto", "IMPIANTO idraulico"}) {
        Task t;
        t.description = name;
        p.tasks.push_back(t);
    }
    const TaskSearch impianto("impianto");
    EXPECT_EQ(impianto.Next(p, std::nullopt), 2u);
    EXPECT_EQ(impianto.Next(p, 2), 4u);
    EXPECT_EQ(impianto.Next(p, 4), 2u);
    EXPECT_EQ(TaskSearch("muri").Next(p, 1), 1u) << "the selected task itself, after a whole round";
    EXPECT_FALSE(TaskSearch("cantina").Next(p, 0).has_value());
    EXPECT_FALSE(TaskSearch("muri").Next(Project(), std::nullopt).has_value());
}

}  // namespace
}  // namespace MyApp
