// Line-oriented text files: every line ends with CR LF when written; reading
// accepts CR LF and LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace MyApp {

class ReplaceGate;

// Files larger than this are not read (a project file of a million tasks
// stays well below it).
constexpr std::uint64_t MaxLineFileBytes = 64ull * 1024 * 1024;

struct ReadLinesResult {
    std::vector<std::string> lines;
    bool openFailed = false;  // the file could not be opened for reading
    bool tooLarge = false;    // it opened but holds more than MaxLineFileBytes
};

// Paths are narrow text in the system code page (as the project holds them).
ReadLinesResult ReadLines(const std::string& path);

// The whole content of a file; false when it cannot be opened or read (a
// folder, a device). tooLarge is set, and false returned, past maxBytes.
bool ReadFileBytes(const std::string& path, std::string& bytes, bool& tooLarge,
                   std::uint64_t maxBytes = MaxLineFileBytes);

// Calls visit(line) for every line of bytes: lines end at LF, a CR before the
// LF is dropped, a CR elsewhere is data, a last line without LF still counts
// and the final LF does not make an extra empty line. Stops early when visit
// answers false.
template <class Visit>
void ForEachLine(std::string_view bytes, Visit&& visit) {
    std::size_t begin = 0;
    while (begin < bytes.size()) {
        std::size_t end = bytes.find('\n', begin);
        const std::size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        else if (end > begin && bytes[end - 1] == '\r') --end;
        if (!visit(bytes.substr(begin, end - begin))) return;
        begin = next;
    }
}

std::vector<std::string> SplitLines(std::string_view bytes);

// Replaces the file's content with the lines, each followed by CR LF. The new
// content goes to a temporary file in the same folder, which is flushed to
// disk and then put in the old file's place in one step; when anything fails
// the old file is left exactly as it was and the temporary file is removed.
// On Windows a read-only file is never replaced.
bool WriteLines(const std::string& path, const std::vector<std::string>& lines);

// The lines as WriteLines puts them in a file, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);
// WriteLines for content already joined; through `gate` when there is one
// (a writing called off meanwhile stops and leaves the old file).
bool WriteContent(const std::string& path, const std::string& content, ReplaceGate* gate = nullptr);
// Deletes the file; false when it was not there or could not be deleted.
bool RemoveFile(const std::string& path);

namespace detail {
// WriteLines that fails after writing failAfterBytes bytes of the new content
// (for the tests of the failure path).
bool WriteLinesFailingAfter(const std::string& path, const std::vector<std::string>& lines,
                            std::uint64_t failAfterBytes);
}  // namespace detail

}  // namespace MyApp
