// Line-oriented text files: every line ends with CR LF when written; reading
// accepts CR LF and LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace MyApp {

class ReplaceGate;

// ReadLines and ReadFileBytes read no file larger than this, unless told
// otherwise: they hold the whole file. A project file is read a piece at a
// time instead, and has no such bound (ProjectFile.h).
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

// Splits text handed over in pieces into lines: lines end at LF, a CR before
// the LF is dropped, a CR elsewhere is data, a last line without LF still
// counts and the final LF does not make an extra empty line. Where a piece
// ends, the line it cuts waits for the next pieces; a piece may end anywhere,
// even between a CR and its LF.
class LineSplitter {
public:
    // A line of more than maxLineBytes bytes before its LF (a CR there
    // counted) stops the splitting: the line is never held whole.
    explicit LineSplitter(std::size_t maxLineBytes = std::string::npos) : maxLineBytes_(maxLineBytes) {}

    // Calls visit(line) for every line that ends in the piece. False once
    // the splitting has stopped: visit answered false, or a line was too long.
    template <class Visit>
    bool Feed(std::string_view piece, Visit&& visit) {
        while (!stopped_ && !piece.empty()) {
            const std::size_t end = piece.find('\n');
            if (end == std::string_view::npos) {
                Keep(piece);
                break;
            }
            std::string_view line = piece.substr(0, end);
            piece.remove_prefix(end + 1);
            if (!pending_.empty()) {
                Keep(line);
                line = pending_;
            } else if (line.size() > maxLineBytes_) {
                tooLong_ = stopped_ = true;
            }
            if (stopped_) break;
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (!visit(line)) stopped_ = true;
            pending_.clear();
        }
        return !stopped_;
    }
    // At the end of the text: the last line, when no LF ends it.
    template <class Visit>
    bool Finish(Visit&& visit) {
        if (!stopped_ && !pending_.empty() && !visit(std::string_view(pending_))) stopped_ = true;
        pending_.clear();
        return !stopped_;
    }
    bool TooLong() const { return tooLong_; }

private:
    void Keep(std::string_view part) {
        if (part.size() > maxLineBytes_ - pending_.size()) tooLong_ = stopped_ = true;
        else pending_.append(part);
    }

    std::size_t maxLineBytes_;
    std::string pending_;  // the start of a line cut by the end of a piece
    bool stopped_ = false;
    bool tooLong_ = false;
};

// Calls visit(line) for every line of bytes, split as LineSplitter does.
// Stops early when visit answers false.
template <class Visit>
void ForEachLine(std::string_view bytes, Visit&& visit) {
    LineSplitter lines;
    if (lines.Feed(bytes, visit)) lines.Finish(visit);
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
