#include "toolkit/draw/GdiTally.h"

#include <atomic>

namespace QVUtility {

namespace {
std::atomic<long> createdCount{0};
std::atomic<long> releasedCount{0};
std::atomic<long> failedCount{0};

// Counts a release as done or refused; answers whether it was done.
bool Counted(bool released) {
    ++(released ? releasedCount : failedCount);
    return released;
}
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

bool ReleaseGdiObject(HGDIOBJ object) { return object && Counted(DeleteObject(object) != FALSE); }

bool ReleaseMemoryContext(HDC context) { return context && Counted(DeleteDC(context) != FALSE); }

bool ReleaseWindowContext(HWND window, HDC context) { return context && Counted(ReleaseDC(window, context) != 0); }

}  // namespace QVUtility
