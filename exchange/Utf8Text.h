// The project's text (the system code page, as the model and the project
// file hold it) to and from UTF-8, the encoding of the files that other
// programs read. On Windows through the system's own conversions; elsewhere
// the system code page is taken to be Windows-1252, the code page of the
// Italian and Western European Windows.
#pragma once

#include <string>
#include <string_view>

namespace MyApp {

std::string SystemToUtf8(std::string_view text);
// A character that the system code page cannot hold becomes '?' (never a
// look-alike letter); bytes that are not UTF-8 become '?' too.
std::string Utf8ToSystem(std::string_view text);

}  // namespace MyApp
