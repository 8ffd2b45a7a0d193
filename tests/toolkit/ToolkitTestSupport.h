// Shared pieces of the toolkit's window tests: a desktop of their own, message
// pumping, and small concrete elements built on the toolkit's base classes.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/GUIElement.h"

namespace ToolkitTest {

// Puts the calling thread on a Wine virtual desktop of its own (windows get
// frames, and closing top-level windows is quick). Call before the thread
// makes its first window; later calls do nothing.
void UseTestDesktop();

// Dispatches the thread's messages for about `milliseconds`. A quit message
// found on the way is remembered (QuitSeen) rather than ending anything.
void Pump(int milliseconds = 50);
// Dispatches messages until the condition holds or the time runs out.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 60000);
bool QuitSeen();
void ForgetQuit();

// Clears the process-wide toolkit state between tests: the first form of a
// test becomes mainWindow again, no quit message is pending.
void ResetToolkitState();

// A native control as a child element (class, style and type keyword given),
// created with the toolkit's creation pattern.
class TestControl : public QVUtility::Child, public QVUtility::CommandElement {
public:
    TestControl(QVUtility::GUIElement* parentElement, const wchar_t* nativeClass, DWORD style,
                const std::string& keyword);
    void Create() override;

    std::wstring nativeClass;
    DWORD style;
};

// A child element without CommandElement (a "toolbar" stand-in, a plain box).
class TestPlainControl : public QVUtility::Child {
public:
    TestPlainControl(QVUtility::GUIElement* parentElement, const wchar_t* nativeClass, DWORD style,
                     const std::string& keyword);
    void Create() override;

    std::wstring nativeClass;
    DWORD style;
};

// While it lives, no window can be made on the calling thread (a CBT hook
// refuses every creation), as when the system runs out of window handles.
class RefuseWindows {
public:
    RefuseWindows();
    ~RefuseWindows();
    RefuseWindows(const RefuseWindows&) = delete;
    RefuseWindows& operator=(const RefuseWindows&) = delete;

private:
    HHOOK hook_;
};

// Sends a key press (down and up, with WM_CHAR for characters) to the window
// through the thread's queue, as the keyboard would.
void PostKey(HWND window, UINT key, wchar_t character = 0);

}  // namespace ToolkitTest
