// Running count of the GDI objects (pens, brushes, fonts, bitmaps, memory
// contexts) that the drawing code makes and releases. Every creation and
// deletion of the toolkit's drawing code goes through these functions, so a
// test can check that each object it made was released exactly once even
// where the platform does not report the process's GDI object count.
#pragma once

#include <windows.h>

namespace QVUtility {

struct GdiTally {
    long created = 0;         // objects made and counted
    long released = 0;        // counted objects deleted successfully
    long failedReleases = 0;  // deletions the platform refused (a second release, a foreign handle)
    long Held() const { return created - released; }
};

// A copy of the counts so far.
GdiTally CurrentGdiTally();

// Counts `object` as made when it is not empty; answers it.
template <typename Handle>
Handle CountGdiCreation(Handle object);

// DeleteObject / DeleteDC, counted. Empty handles are ignored; answer
// whether the platform deleted the object.
bool ReleaseGdiObject(HGDIOBJ object);
bool ReleaseMemoryContext(HDC context);
// ReleaseDC for a context from GetDC (of `window`, or of the screen when
// null), counted the same way.
bool ReleaseWindowContext(HWND window, HDC context);

void NoteGdiCreated();
// A counted object that the platform deleted by itself (a window class's
// background brush goes with the class).
void NoteGdiReleased();

template <typename Handle>
Handle CountGdiCreation(Handle object) {
    if (object) NoteGdiCreated();
    return object;
}

}  // namespace QVUtility
