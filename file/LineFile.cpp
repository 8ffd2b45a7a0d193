#include "file/LineFile.h"

#include <algorithm>
#include <cstddef>

#include "file/FileReader.h"
#include "file/ReplaceFile.h"

#ifdef _WIN32
#include <windows.h>

#include "model/WideText.h"
#else
#include <unistd.h>
#endif

namespace MyApp {

namespace {

constexpr std::uint64_t NoFailure = ~0ull;
constexpr std::size_t ChunkBytes = 1 << 16;

// Replaces the file with the content, handed out in pieces; the source
// fails once `failAfter` bytes are out (for the tests of the failure path),
// or once the writings of `gate` are called off.
bool ReplaceContent(const std::string& path, const std::string& content, std::uint64_t failAfter,
                    ReplaceGate* gate = nullptr) {
    std::size_t at = 0;
    const ByteSource source = [&](const std::uint8_t*& data, std::size_t& size) {
        size = 0;
        if (gate != nullptr && gate->CalledOff()) return false;
        if (at == content.size()) return true;
        if (failAfter != NoFailure && at >= failAfter) return false;
        size = std::min(ChunkBytes, content.size() - at);
        if (failAfter != NoFailure) size = static_cast<std::size_t>(std::min<std::uint64_t>(size, failAfter - at));
        data = reinterpret_cast<const std::uint8_t*>(content.data()) + at;
        at += size;
        return true;
    };
    return WriteFileReplacing(path, source, gate);
}

// Reads an open file whole into `bytes`. A file larger than maxBytes is not
// read: tooLarge is set and the answer is false. A file that shrinks
// meanwhile gives what it still holds.
bool ReadWhole(FileReader& file, std::uint64_t maxBytes, std::string& bytes, bool& tooLarge) {
    if (file.Size() > maxBytes) {
        tooLarge = true;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(file.Size()));
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::ptrdiff_t done = file.Read(&bytes[at], bytes.size() - at);
        if (done < 0) return false;
        if (done == 0) break;
        at += static_cast<std::size_t>(done);
    }
    bytes.resize(at);
    return true;
}

}  // namespace

std::string JoinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string content;
    content.reserve(size);
    for (const std::string& line : lines) {
        content += line;
        content += "\r\n";
    }
    return content;
}

bool ReadFileBytes(const std::string& path, std::string& bytes, bool& tooLarge, std::uint64_t maxBytes) {
    bytes.clear();
    tooLarge = false;
    FileReader file(path);
    const bool ok = file.IsOpen() && ReadWhole(file, maxBytes, bytes, tooLarge);
    if (!ok) bytes.clear();
    return ok;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    ForEachLine(bytes, [&lines](std::string_view line) {
        lines.emplace_back(line);
        return true;
    });
    return lines;
}

ReadLinesResult ReadLines(const std::string& path) {
    ReadLinesResult result;
    std::string bytes;
    if (!ReadFileBytes(path, bytes, result.tooLarge)) {
        result.openFailed = !result.tooLarge;
        return result;
    }
    result.lines = SplitLines(bytes);
    return result;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return ReplaceContent(path, JoinLines(lines), NoFailure);
}

bool WriteContent(const std::string& path, const std::string& content, ReplaceGate* gate) {
    return ReplaceContent(path, content, NoFailure, gate);
}

bool RemoveFile(const std::string& path) {
#ifdef _WIN32
    const std::wstring wide = Widen(path);
    return !wide.empty() && DeleteFileW(wide.c_str()) != 0;
#else
    return !path.empty() && unlink(path.c_str()) == 0;
#endif
}

namespace detail {
bool WriteLinesFailingAfter(const std::string& path, const std::vector<std::string>& lines,
                            std::uint64_t failAfterBytes) {
    return ReplaceContent(path, JoinLines(lines), failAfterBytes);
}
}  // namespace detail

}  // namespace MyApp
