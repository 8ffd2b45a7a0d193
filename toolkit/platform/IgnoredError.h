// Platform errors and exceptions the program goes on after, on purpose: an
// element whose window could not be made stays usable as data, a window
// procedure never lets an exception unwind through the platform. Each such
// place calls one of these, so that the places can be found and, in a debug
// build, the error shows in the debugger's output (OutputDebugStringW).
// Release builds only read the error code, as the places always did.
#pragma once

namespace QVUtility {

// The last platform error (GetLastError) is ignored at `where`.
void IgnorePlatformError(const char* where);

// An exception caught at `where` is ignored (call it inside the catch).
void IgnoreException(const char* where);

}  // namespace QVUtility
