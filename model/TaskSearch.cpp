#include "model/TaskSearch.h"

#include <array>

namespace MyApp {

namespace {

// Each byte of the system code page (Windows-1252) as its lower case: the
// ASCII letters and the Latin-1 capitals À..Þ but × (0xD7), and Š Œ Ž Ÿ.
const std::array<unsigned char, 256>& FoldTable() {
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> folded{};
        for (int c = 0; c < 256; ++c) folded[c] = static_cast<unsigned char>(c);
        for (int c = 'A'; c <= 'Z'; ++c) folded[c] = static_cast<unsigned char>(c + 32);
        for (int c = 0xC0; c <= 0xDE; ++c)
            if (c != 0xD7) folded[c] = static_cast<unsigned char>(c + 32);
        folded[0x8A] = 0x9A;  // Š š
        folded[0x8C] = 0x9C;  // Œ œ
        folded[0x8E] = 0x9E;  // Ž ž
        folded[0x9F] = 0xFF;  // Ÿ ÿ
        return folded;
    }();
    return table;
}

}  // namespace

TaskSearch::TaskSearch(std::string_view text) {
    const auto& fold = FoldTable();
    folded_.reserve(text.size());
    for (unsigned char c : text) folded_ += static_cast<char>(fold[c]);
}

bool TaskSearch::Matches(std::string_view description) const {
    if (folded_.empty() || description.size() < folded_.size()) return false;
    const auto& fold = FoldTable();
    const auto first = static_cast<unsigned char>(folded_[0]);
    const std::size_t last = description.size() - folded_.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (fold[static_cast<unsigned char>(description[at])] != first) continue;
        std::size_t i = 1;
        while (i < folded_.size() &&
               fold[static_cast<unsigned char>(description[at + i])] == static_cast<unsigned char>(folded_[i]))
            ++i;
        if (i == folded_.size()) return true;
    }
    return false;
}

std::optional<std::size_t> TaskSearch::Next(const Project& project, std::optional<std::size_t> after) const {
    const std::size_t count = project.tasks.size();
    if (folded_.empty() || count == 0) return std::nullopt;
    const std::size_t start = after && *after < count ? *after + 1 : 0;
    for (std::size_t step = 0; step < count; ++step) {
        const std::size_t index = (start + step) % count;
        if (Matches(project.tasks[index].description)) return index;
    }
    return std::nullopt;
}

}  // namespace MyApp
