#include "file/ReplaceFile.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>

#include "model/WideText.h"
#else
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace MyApp {

namespace {

#ifdef _WIN32

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return L".";
    if (slash == 0) return path.substr(0, 1);
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    return path.substr(0, slash);
}

// Writes the bytes of `source` to the file.
bool WriteAll(HANDLE file, const ByteSource& source) {
    bool written = true;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    while (written && (written = source(data, size)) && size > 0) {
        std::size_t done = 0;
        while (written && done < size) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
            DWORD wrote = 0;
            written = WriteFile(file, data + done, chunk, &wrote, nullptr) && wrote == chunk;
            done += wrote;
        }
    }
    return written;
}

#else

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

#endif

// Takes the step that puts the new file in place, through the gate when
// there is one.
template <class Replace>
bool PutInPlace(ReplaceGate* gate, Replace&& replace) {
    return gate != nullptr ? gate->Pass(replace) : replace();
}

}  // namespace

void ReplaceGate::CallOff() {
    std::lock_guard<std::mutex> lock(mutex_);
    calledOff_ = true;
}

bool ReplaceGate::CalledOff() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calledOff_;
}

#ifdef _WIN32

bool WriteFileReplacingWith(const std::string& fileName, const FileFiller& fill, ReplaceGate* gate) {
    const std::wstring target = Widen(fileName);
    if (target.empty()) return false;
    // Windows refuses to replace a read-only file; Wine would replace it.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return false;
    }
    wchar_t temporary[MAX_PATH + 1] = {};
    if (GetTempFileNameW(FolderOf(target).c_str(), L"vmo", 0, temporary) == 0) return false;
    HANDLE file =
        CreateFileW(temporary, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(temporary);
        return false;
    }
    bool written = false;
    try {
        written = fill(file);
    } catch (...) {
        // Whatever made the content failed: no half-written file is left.
        CloseHandle(file);
        DeleteFileW(temporary);
        throw;
    }
    if (written && !FlushFileBuffers(file)) written = false;
    if (!CloseHandle(file)) written = false;
    if (written && !PutInPlace(gate, [&] {
            return MoveFileExW(temporary, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        }))
        written = false;
    if (!written) DeleteFileW(temporary);
    return written;
}

bool WriteFileReplacing(const std::string& fileName, const ByteSource& source, ReplaceGate* gate) {
    return WriteFileReplacingWith(
        fileName, [&](void* file) { return WriteAll(static_cast<HANDLE>(file), source); }, gate);
}

#else

bool WriteFileReplacing(const std::string& fileName, const ByteSource& source, ReplaceGate* gate) {
    if (fileName.empty()) return false;
    std::string temporary = FolderOf(fileName) + "/." + NameOf(fileName) + ".XXXXXX";
    const int fd = mkstemp(&temporary[0]);
    if (fd < 0) return false;
    // The new file gets the old one's permissions, or the usual ones.
    struct stat old {};
    bool written = true;
    if (stat(fileName.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        written = fchmod(fd, old.st_mode & 07777) == 0;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        written = fchmod(fd, 0666 & ~mask) == 0;
    }
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    try {
        while (written && (written = source(data, size)) && size > 0) {
            std::size_t done = 0;
            while (done < size) {
                const ssize_t wrote = write(fd, data + done, size - done);
                if (wrote < 0 && errno == EINTR) continue;
                if (wrote <= 0) {
                    written = false;
                    break;
                }
                done += static_cast<std::size_t>(wrote);
            }
        }
    } catch (...) {
        // Whatever made the content failed: no half-written file is left.
        close(fd);
        unlink(temporary.c_str());
        throw;
    }
    if (written && fsync(fd) != 0) written = false;
    if (close(fd) != 0) written = false;
    if (written && !PutInPlace(gate, [&] { return std::rename(temporary.c_str(), fileName.c_str()) == 0; }))
        written = false;
    if (!written) unlink(temporary.c_str());
    return written;
}

#endif

}  // namespace MyApp
