// Writing a file that is made part after part, as every save does it: the
// new content goes to a temporary file that then takes the old one's place
// in one step (file/ReplaceFile.h), so a failure leaves the old file whole.
#pragma once

#include <functional>
#include <string>

namespace MyApp {

// Appends the next part of the content to the buffer; false once the last
// part has been appended. Content that cannot be made throws: the file is
// then left as it was.
using TextParts = std::function<bool(std::string& buffer)>;

bool WriteTextFile(const std::string& path, const TextParts& next);

// The whole content at once (for the tests and small files).
std::string CollectText(const TextParts& next);

}  // namespace MyApp
