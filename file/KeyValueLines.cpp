#include "file/KeyValueLines.h"

#include <limits>

#include "file/LineFile.h"

namespace MyApp {

std::string KeyValueLine(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    for (char c : value) line += (c == '\r' || c == '\n') ? '?' : c;
    return line;
}

std::optional<std::string> ValueOf(std::string_view bytes, std::string_view key) {
    std::optional<std::string> found;
    ForEachLine(bytes, [&](std::string_view line) {
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
            found = std::string(line.substr(key.size() + 1));
            return false;
        }
        return true;
    });
    return found;
}

std::optional<std::uint64_t> NumberOf(std::string_view text) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace MyApp
