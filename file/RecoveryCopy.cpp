#include "file/RecoveryCopy.h"

#include "file/KeyValueLines.h"

namespace MyApp {

namespace {

constexpr const char* Header = "#VELMORA RECUPERO";
constexpr const char* PathKey = "path";
constexpr const char* SavedKey = "saved";
constexpr const char* SizeKey = "size";
constexpr const char* WrittenKey = "written";
constexpr std::string_view StemStart = "recupero-";

}  // namespace

std::vector<std::string> FormatRecoveryRecord(const RecoveryRecord& record) {
    std::vector<std::string> lines{Header, KeyValueLine(PathKey, record.projectPath),
                                   KeyValueLine(SavedKey, record.savedAt)};
    if (record.fileStamp.present) {
        lines.push_back(KeyValueLine(SizeKey, std::to_string(record.fileStamp.size)));
        lines.push_back(KeyValueLine(WrittenKey, std::to_string(record.fileStamp.writeTime)));
    }
    return lines;
}

std::optional<RecoveryRecord> ParseRecoveryRecord(std::string_view bytes) {
    if (bytes.compare(0, std::string_view(Header).size(), Header) != 0) return std::nullopt;
    RecoveryRecord record;
    record.projectPath = ValueOf(bytes, PathKey).value_or(std::string());
    record.savedAt = ValueOf(bytes, SavedKey).value_or(std::string());
    const std::optional<std::string> size = ValueOf(bytes, SizeKey);
    const std::optional<std::string> written = ValueOf(bytes, WrittenKey);
    if (size && written) {
        const std::optional<std::uint64_t> bytesCount = NumberOf(*size);
        const std::optional<std::uint64_t> time = NumberOf(*written);
        if (bytesCount && time && *time <= static_cast<std::uint64_t>(INT64_MAX)) {
            record.fileStamp.present = true;
            record.fileStamp.size = *bytesCount;
            record.fileStamp.writeTime = static_cast<std::int64_t>(*time);
        }
    }
    return record;
}

std::string RecoveryStem(const ProcessMark& process) {
    return std::string(StemStart) + std::to_string(process.id) + "-" + std::to_string(process.started);
}

std::optional<ProcessMark> RecoveryProcess(std::string_view fileName) {
    if (fileName.compare(0, StemStart.size(), StemStart) != 0) return std::nullopt;
    fileName.remove_prefix(StemStart.size());
    const std::size_t dash = fileName.find('-');
    const std::size_t dot = fileName.find('.');
    if (dash == std::string_view::npos || dot == std::string_view::npos || dot < dash) return std::nullopt;
    const std::optional<std::uint64_t> id = NumberOf(fileName.substr(0, dash));
    const std::optional<std::uint64_t> started = NumberOf(fileName.substr(dash + 1, dot - dash - 1));
    if (!id || *id > 0xFFFFFFFFu || !started) return std::nullopt;
    return ProcessMark{static_cast<std::uint32_t>(*id), *started};
}

std::optional<std::size_t> CopyToOffer(const std::vector<FoundCopy>& copies, const ProcessProbe& running) {
    std::optional<std::size_t> newest;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        if (newest && copies[i].record.savedAt <= copies[*newest].record.savedAt) continue;
        if (running(copies[i].process)) continue;
        newest = i;
    }
    return newest;
}

}  // namespace MyApp
