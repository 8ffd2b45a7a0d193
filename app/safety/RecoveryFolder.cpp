#include "app/safety/RecoveryFolder.h"

#include <windows.h>
#include <shlobj.h>

#include "app/settings/Settings.h"
#include "file/LineFile.h"
#include "model/WideText.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

constexpr std::uint32_t DefaultMinutes = 2;
// A temporary file this old is no writing under way (one takes a second).
constexpr std::uint64_t AbandonedAfter = 10ull * 60 * 10000000;  // FILETIME ticks
constexpr std::uint32_t NoValue = 0xFFFFFFFFu;

// The user's local application data folder, asked once.
const std::wstring& LocalAppData() {
    static const std::wstring path = [] {
        PWSTR folder = nullptr;
        std::wstring found;
        if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) found = folder;
        CoTaskMemFree(folder);
        return found;
    }();
    return path;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The local time of a file's last writing, as TimeText.
std::string WrittenAt(const FILETIME& written) {
    FILETIME local{};
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&written, &local) || !FileTimeToSystemTime(&local, &st)) return std::string();
    return TimeText(MakeDate(st));
}

}  // namespace

std::string RecoveryFolder() {
    const std::wstring& base = LocalAppData();
    if (base.empty()) return std::string();
    return QVUtility::Narrow(base + L"\\QV Velmora\\Recupero");
}

bool MakeRecoveryFolder() {
    const std::wstring& base = LocalAppData();
    if (base.empty()) return false;
    const std::wstring program = base + L"\\QV Velmora";
    const std::wstring folder = program + L"\\Recupero";
    if (IsFolder(folder)) return true;
    CreateDirectoryW(program.c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
    return IsFolder(folder);
}

std::chrono::milliseconds RecoveryInterval() {
    const std::uint32_t seconds = ReadSetting(L"RecoverySeconds", NoValue);
    if (seconds != NoValue) return std::chrono::seconds(seconds);
    return std::chrono::minutes(ReadSetting(L"RecoveryMinutes", DefaultMinutes));
}

std::string RecoveryCopyPath(const ProcessMark& process) {
    return RecoveryFolder() + "\\" + RecoveryStem(process) + RecoveryCopyExtension;
}

std::string RecoveryRecordPath(const ProcessMark& process) {
    return RecoveryFolder() + "\\" + RecoveryStem(process) + RecoveryRecordExtension;
}

void RemoveAbandonedPieces() {
    const std::string folder = RecoveryFolder();
    if (folder.empty()) return;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    WIN32_FIND_DATAW found{};
    // The temporary files of ReplaceFile's writings.
    HANDLE search = FindFirstFileW(Widen(folder + "\\vmo*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            ticks(found.ftLastWriteTime) + AbandonedAfter < ticks(now))
            DeleteFileW(Widen(folder + "\\" + QVUtility::Narrow(found.cFileName)).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::vector<FoundCopy> FindRecoveryCopies() {
    std::vector<FoundCopy> copies;
    const std::string folder = RecoveryFolder();
    if (folder.empty()) return copies;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(Widen(folder + "\\recupero-*" + RecoveryCopyExtension).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return copies;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        const std::optional<ProcessMark> process = RecoveryProcess(QVUtility::Narrow(found.cFileName));
        if (!process) continue;
        FoundCopy copy;
        copy.process = *process;
        copy.copyPath = RecoveryCopyPath(*process);
        copy.recordPath = RecoveryRecordPath(*process);
        std::string bytes;
        bool tooLarge = false;
        const std::optional<RecoveryRecord> record =
            ReadFileBytes(copy.recordPath, bytes, tooLarge, 64 * 1024) ? ParseRecoveryRecord(bytes) : std::nullopt;
        if (record) copy.record = *record;
        if (copy.record.savedAt.empty()) copy.record.savedAt = WrittenAt(found.ftLastWriteTime);
        copies.push_back(copy);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return copies;
}

}  // namespace MyApp
