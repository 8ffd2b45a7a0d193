// Small text files of "key=value" lines (a lock file, a recovery copy's
// record): written one value per line, read back by key. Unknown keys are
// skipped, so that later versions may add some.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace MyApp {

// "key=value"; a line break inside the value (which no path or name holds)
// becomes '?', so that the line stays one line.
std::string KeyValueLine(std::string_view key, std::string_view value);
// The value of the first line "key=..." of the bytes; none when there is none.
std::optional<std::string> ValueOf(std::string_view bytes, std::string_view key);
// A decimal number of the whole text; none for anything else (a sign, a
// space, too many digits).
std::optional<std::uint64_t> NumberOf(std::string_view text);

}  // namespace MyApp
