#include "toolkit/draw/GdiTally.h"

#include <atomic>

namespace QVUtility {

namespace {
std::atomic<long> createdCount{0};
std::atomic<long> releasedCount{0};
std::atomic<long> failedCount{0};
}  // namespace

GdiTally CurrentGdiTally() {
    GdiTally tally;
    tally.created = createdCount.load();
    tally.released = releasedCount.load();
    tally.failedReleases = failedCount.load();
    return tally;
}

void NoteGdiCreated() { ++createdCount; }

void NoteGdiReleased() { ++releasedCount; }

bool ReleaseGdiObject(HGDIOBJ object) {
    if (!object) return false;
    if (DeleteObject(object)) {
        ++releasedCount;
        return true;
    }
    ++failedCount;
    return false;
}

bool ReleaseMemoryContext(HDC context) {
    if (!context) return false;
    if (DeleteDC(context)) {
        ++releasedCount;
        return true;
    }
    ++failedCount;
    return false;
}

}  // namespace QVUtility
