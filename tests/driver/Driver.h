// Test driver: starts a Win32 program and works it from outside as a person
// would (keyboard, mouse, menus, dialogs), then reads what it shows (window
// texts, enabled states, toolbar and status bar contents, screen pixels).
//
// Everything runs on the calling thread, which must be put on the test
// desktop (UseDesktop) before it makes any window; Process::Start does that
// by itself. Waiting is always polling with a timeout. Functions that can fail
// answer false / nullptr / an empty value and leave a description of the
// failure in LastError(), so a test can write
//     ASSERT_TRUE(drv::ChooseMenuItem(pid, L'F', L'A')) << drv::LastErrorUtf8();
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace drv {

// ---------------------------------------------------------------------------
// Timing and errors

constexpr DWORD kTimeout = 60000;  // default wait for anything that should happen: a person's minute, on a busy machine
constexpr DWORD kRetryAfter = 5000;  // wait for a key's effect before sending it again (Wine loses a key now and then)

// Polls `condition` every `stepMs` until it holds or `timeoutMs` have passed;
// answers whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kTimeout, DWORD stepMs = 10);

// Description of the last failure of a driver function (this thread).
const std::wstring& LastError();
std::string LastErrorUtf8();
// Records `text` as the last failure and answers false (for `return Fail(...)`).
bool Fail(const std::wstring& text);

// UTF-8 form of a wide text, for test messages.
std::string Utf8(const std::wstring& text);

// ---------------------------------------------------------------------------
// Desktop

// Name of the Wine virtual desktop the tested programs run on: the
// environment variable VELMORA_DESKTOP when set, otherwise "velmora_acc_"
// plus the X display's number ("velmora_acc_105" on DISPLAY=:105 or :105.0;
// "velmora_acc" without DISPLAY), so that drivers on different displays
// sharing one Wine prefix do not meet on one desktop.
std::wstring DesktopName();

// Puts the calling thread on the desktop `name`, created when missing. Wine
// makes it a virtual desktop when HKCU\Software\Wine\Explorer\Desktops gives
// it a size; a name missing there is added with the size of "velmora_acc"
// (or 1600x900). The desktop's explorer is started here, by the driver, and
// must still run when the thread is already there. Must run before the thread
// makes a window.
bool UseDesktop(const std::wstring& name = DesktopName());

// Size of the screen as the driver's thread sees it.
SIZE ScreenSize();

// ---------------------------------------------------------------------------
// The program under test

class Process {
public:
    Process() = default;
    ~Process();  // ends the program when it still runs
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `exe` (a Windows path) with `arguments` on the driver's desktop;
    // the working folder is `workDir`, or the exe's folder when empty. The
    // program is tied to a job object so it cannot outlive the driver.
    bool Start(const std::wstring& exe, const std::wstring& arguments = L"", const std::wstring& workDir = L"");

    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool Running() const;

    // Waits for the program to end; `exitCode` receives its exit code.
    bool WaitForExit(DWORD timeoutMs = kTimeout, DWORD* exitCode = nullptr);
    // Exit code once ended (STILL_ACTIVE while running).
    DWORD ExitCode() const;
    // Ends the program at once (exit code 0xDEAD; nothing when it already
    // ended) and waits for it.
    void Kill();

    // The first visible top-level window of the program with the class
    // and/or title given (nullptr: any), waited for. A caption that goes on
    // after the title with " - " (the open document's name) matches too.
    HWND WaitWindow(const wchar_t* cls, const wchar_t* title = nullptr, DWORD timeoutMs = kTimeout) const;

private:
    void Close();
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD id_ = 0;
};

// Folder of the running driver executable (with a trailing backslash).
std::wstring ExeFolder();
// Windows path of a Linux file under Wine ("/tmp/a" -> "Z:\tmp\a").
std::wstring WinePath(const std::string& unixPath);
// Whole content of a file (empty when it cannot be read); other programs may
// keep it open for writing or deleting meanwhile.
std::string ReadFileBytes(const std::wstring& path);
// Creates or replaces a file with `bytes`; false when any byte is not written.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The names of the files (not folders) in `folder` (with its trailing
// backslash) that match `pattern`.
std::vector<std::wstring> FilesIn(const std::wstring& folder, const std::wstring& pattern = L"*");

// ---------------------------------------------------------------------------
// Finding windows

// Top-level windows of process `pid` in Z order (visible ones only unless
// `visibleOnly` is false).
std::vector<HWND> TopWindows(DWORD pid, bool visibleOnly = true);

// First top-level window of `pid` whose class and title match (nullptr
// matches any; titles compare exactly).
HWND FindTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title = nullptr, bool visibleOnly = true);
HWND WaitTopWindow(DWORD pid, const wchar_t* cls, const wchar_t* title = nullptr, DWORD timeoutMs = kTimeout);

// A visible top-level window owned by `owner` (a message box over a dialog).
HWND FindOwnedWindow(HWND owner, const wchar_t* cls, const wchar_t* title = nullptr);
HWND WaitOwnedWindow(HWND owner, const wchar_t* cls, const wchar_t* title = nullptr, DWORD timeoutMs = kTimeout);

// Waits until `window` is destroyed or hidden.
bool WaitWindowGone(HWND window, DWORD timeoutMs = kTimeout);

// Descendants of `parent` at any depth, in EnumChildWindows order, of class
// `cls` (nullptr: any).
std::vector<HWND> Descendants(HWND parent, const wchar_t* cls = nullptr);
// First descendant with control id `id` (-1: any) and class `cls` (nullptr: any).
HWND FindDescendant(HWND parent, int id, const wchar_t* cls = nullptr);
HWND WaitDescendant(HWND parent, int id, const wchar_t* cls = nullptr, DWORD timeoutMs = kTimeout);
// First descendant of class `cls` (nullptr: any) whose text is `text`.
HWND FindDescendantByText(HWND parent, const wchar_t* cls, const std::wstring& text);

// A readable listing of the program's windows and their descendants (class,
// id, text, rectangle, visible/enabled), for failure messages.
std::string DescribeWindows(DWORD pid);

// ---------------------------------------------------------------------------
// Reading a window from outside

std::wstring Text(HWND window);  // WM_GETTEXT (works across processes)
std::wstring ClassOf(HWND window);
int IdOf(HWND window);               // GWLP_ID
RECT ScreenRect(HWND window);        // GetWindowRect
RECT ClientScreenRect(HWND window);  // client area in screen coordinates
POINT ToScreen(HWND window, POINT client);
bool Enabled(HWND window);
bool Visible(HWND window);  // IsWindowVisible
HWND Owner(HWND window);
int ButtonCheck(HWND button);                         // BM_GETCHECK: BST_UNCHECKED / BST_CHECKED / BST_INDETERMINATE
bool SetText(HWND window, const std::wstring& text);  // WM_SETTEXT

// The window with the keyboard focus in the thread of `top` (nullptr when none).
HWND FocusOf(HWND top);

// Makes `top` the foreground window and waits until it is.
bool Activate(HWND top, DWORD timeoutMs = kTimeout);

// ---------------------------------------------------------------------------
// Keyboard (SendInput to the foreground window)

enum Modifiers : unsigned { kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

void KeyDown(WORD vk);
void KeyUp(WORD vk);
// Presses and releases `vk` with the modifiers held.
void Press(WORD vk, unsigned modifiers = kNone);
void Alt(wchar_t letter);   // Alt+letter
void Ctrl(wchar_t letter);  // Ctrl+letter
void Enter();
void Escape();
void Tab(bool shift = false);
void Down(int times = 1);
void Up(int times = 1);
// Types `text` as Unicode characters ("proprietà" included); '\n' is Enter
// and '\t' is Tab.
void Type(const std::wstring& text);

// ---------------------------------------------------------------------------
// Menus by keyboard (the program's window must be in the foreground)

// The visible open menu (class #32768) of `pid`, waited for.
HWND WaitMenu(DWORD pid, DWORD timeoutMs = kTimeout);
bool MenuOpen(DWORD pid);
// Alt+`menuLetter`, then waits for the menu.
bool OpenMenu(DWORD pid, wchar_t menuLetter);
// Opens the menu and types the item's mnemonic; waits for the menu to close.
bool ChooseMenuItem(DWORD pid, wchar_t menuLetter, wchar_t itemLetter);
// Opens the menu, presses Down `downs` times (separators are skipped, grayed
// items are not), then Enter; waits for the menu to close.
bool ChooseMenuItemAt(DWORD pid, wchar_t menuLetter, int downs);
// Presses Escape until no menu of `pid` is open.
bool CloseMenus(DWORD pid);

// ---------------------------------------------------------------------------
// Mouse (SendInput, screen coordinates)

enum class Button { Left, Right };

void MoveMouse(POINT screen);
void Click(POINT screen, Button button = Button::Left);
void DoubleClick(POINT screen);
// Presses the left button at `from`, moves to `to` in a few steps and lets go.
void Drag(POINT from, POINT to);
POINT Centre(const RECT& rect);
// Clicks the centre of `window`, or the point `client` of its client area.
void ClickWindow(HWND window, Button button = Button::Left);
void ClickAt(HWND window, POINT client, Button button = Button::Left);

// ---------------------------------------------------------------------------
// Memory in another process, for the common controls' own messages that take
// pointers (TB_*, SB_*, DTM_*, CBEM_*: WM_USER and above). System messages
// below WM_USER (WM_GETTEXT, CB_GETLBTEXT, LB_GETTEXT) are carried across
// processes by the system and take a buffer of the driver's own instead.

class RemoteBuffer {
public:
    // `bytes` of read/write memory in the process that owns `window`.
    RemoteBuffer(HWND window, size_t bytes);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return address_ != nullptr; }
    void* Address() const { return address_; }
    LPARAM AsLParam() const { return reinterpret_cast<LPARAM>(address_); }
    size_t Size() const { return size_; }
    bool Read(void* out, size_t bytes) const;
    bool Write(const void* data, size_t bytes);

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_ = 0;
};

// ---------------------------------------------------------------------------
// Toolbars

struct ToolbarButton {
    int index = -1;
    int command = 0;
    int image = -1;
    BYTE state = 0;  // TBSTATE_*
    BYTE style = 0;  // BTNS_*
    bool Separator() const { return (style & BTNS_SEP) != 0; }
    bool Enabled() const { return (state & TBSTATE_ENABLED) != 0; }
    bool Checked() const { return (state & TBSTATE_CHECKED) != 0; }
    bool Hidden() const { return (state & TBSTATE_HIDDEN) != 0; }
};

int ToolbarButtonCount(HWND toolbar);                     // TB_BUTTONCOUNT
std::vector<ToolbarButton> ToolbarButtons(HWND toolbar);  // TB_GETBUTTON for each
int ToolbarIndexOf(HWND toolbar, int command);            // -1 when missing
// TB_GETSTATE of the button with `command`; -1 when there is none.
int ToolbarState(HWND toolbar, int command);
// Screen rectangle of the button at `index` (TB_GETITEMRECT).
bool ToolbarButtonRect(HWND toolbar, int index, RECT* screen);
// Left click at the centre of the button with `command`.
bool ClickToolbarButton(HWND toolbar, int command);
// Moves the mouse over the button and answers the text of the program's
// tooltip window that comes up (empty, with LastError, when none does).
std::wstring ToolbarTooltip(DWORD pid, HWND toolbar, int command, DWORD timeoutMs = kTimeout);
// The text of the program's tooltip that comes up when the mouse rests at
// `at` (screen), after leaving it at `away` so that an earlier tip goes;
// empty when none comes within the time.
std::wstring TooltipAt(DWORD pid, POINT away, POINT at, DWORD timeoutMs = kTimeout);

// ---------------------------------------------------------------------------
// Status bars

int StatusBarParts(HWND statusBar);                        // SB_GETPARTS
std::wstring StatusBarText(HWND statusBar, int part = 0);  // SB_GETTEXTW
// Waits until the part shows exactly `expected`.
bool WaitStatusBarText(HWND statusBar, const std::wstring& expected, int part = 0, DWORD timeoutMs = kTimeout);

// ---------------------------------------------------------------------------
// Lists, date pickers, up-down controls

// Selected item of a ComboBox or ComboBoxEx32 (CB_GETCURSEL); -1 when none.
int ComboBoxSelection(HWND combo);
// Texts of its items (CB_GETLBTEXT; CBEM_GETITEMW for a ComboBoxEx32).
std::vector<std::wstring> ComboBoxItems(HWND combo);
int ListBoxSelection(HWND list);                    // LB_GETCURSEL; -1 when none
std::vector<std::wstring> ListBoxItems(HWND list);  // LB_GETTEXT for each
// Date shown by a SysDateTimePick32 (DTM_GETSYSTEMTIME); false when it shows
// none or cannot be read.
bool DatePickerDate(HWND picker, SYSTEMTIME* date);
// Position of an msctls_updown32 (UDM_GETPOS32).
int UpDownPosition(HWND upDown);

// ---------------------------------------------------------------------------
// Screen

COLORREF ScreenPixel(POINT screen);  // GetDC(NULL) + GetPixel; CLR_INVALID on failure
// Whether the screen point shows `window` itself (WindowFromPoint), so a
// pixel read there is the window's own.
bool PointShows(POINT screen, HWND window);

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    bool Empty() const { return pixels.empty(); }
    COLORREF At(int x, int y) const;  // as a COLORREF (0x00BBGGRR)
    // Number of pixels of exactly `colour`.
    size_t Count(COLORREF colour) const;
};

// The screen rectangle `screen` as it is now.
Image CaptureScreen(const RECT& screen);
Image CaptureWindow(HWND window);
// 24-bit bottom-up BMP file.
bool SaveBmp(const Image& image, const std::wstring& path);
// Reads an uncompressed 24- or 32-bit BMP file (bottom-up or top-down); an
// empty image, with LastError, when it is not one.
Image LoadBmp(const std::wstring& path);
// Decodes a PNG file with the Windows Imaging Component; an empty image,
// with LastError, when it is not one.
Image LoadPng(const std::wstring& path);
// The whole screen (the program's virtual desktop) to a BMP file.
bool SaveScreenshot(const std::wstring& path);
// For a person to look at: once the windows have painted, saves the screen
// as "<folder>\<name>.bmp" when the environment variable `variable` names a
// folder (a Windows path); nothing otherwise.
void ScreenshotIfAsked(const wchar_t* variable, const wchar_t* name);
// For a failed test's log: saves the screen as "<driver folder><name>.bmp"
// and answers a text naming that file and listing the program's windows.
std::string FailureReport(DWORD pid, const std::wstring& name);

// ---------------------------------------------------------------------------
// Assistive technology: what a screen reader hears from the program, read as
// it reads it (oleacc's AccessibleObjectFromWindow and IAccessible, across
// processes), and the events the program raises for it.

struct AccessibleFacts {
    bool ok = false;  // the window gave an object and it answered
    std::wstring name, description, value;
    long role = 0;   // ROLE_SYSTEM_*
    long state = 0;  // STATE_SYSTEM_*
    long children = 0;
    bool Has(long flags) const { return (state & flags) == flags; }
};
// The window's client object (OBJID_CLIENT), or its child `child` (1, 2 ...)
// when not 0; ok false, with LastError, when it cannot be read.
AccessibleFacts ReadAccessible(HWND window, long child = 0);
// The object that an event names, read as ReadAccessible reads it.
AccessibleFacts ReadAccessibleOfEvent(HWND window, LONG object, LONG child);
// Role names for failure messages ("list item" for ROLE_SYSTEM_LISTITEM).
std::string RoleName(long role);

// The events of `pid`'s windows from `first` to `last` (EVENT_OBJECT_FOCUS
// ...), hooked out of context on the calling thread while the log lives.
class WinEventLog {
public:
    struct Event {
        DWORD event;
        HWND window;
        LONG object;
        LONG child;
    };
    WinEventLog(DWORD pid, DWORD first, DWORD last);
    ~WinEventLog();
    WinEventLog(const WinEventLog&) = delete;
    WinEventLog& operator=(const WinEventLog&) = delete;
    bool Hooked() const { return hook_ != nullptr; }
    // The events heard so far (the thread's messages are handled meanwhile).
    std::vector<Event> Events();
    void Clear();
    // Waits, handling the thread's messages, until an event satisfies `match`.
    bool WaitFor(const std::function<bool(const Event&)>& match, DWORD timeoutMs = kTimeout);

private:
    HWINEVENTHOOK hook_ = nullptr;
};

// ---------------------------------------------------------------------------
// Dialogs

// Presses the button `id` of `dialog` (posted BM_CLICK); false when the
// button is missing or disabled.
bool PressButton(HWND dialog, int id);
// Clicks the button `id` of `dialog` with the mouse.
bool ClickButton(HWND dialog, int id);

// Message boxes: #32770 windows titled with their caption.
HWND WaitMessageBox(DWORD pid, const wchar_t* caption = nullptr, DWORD timeoutMs = kTimeout);
std::wstring MessageBoxText(HWND box);  // the Static with id 0xFFFF
// Waits for the box, reads its text into `text` (may be null), presses the
// button `id` (IDOK, IDYES, IDNO, IDCANCEL) and waits for the box to close.
bool AnswerMessageBox(DWORD pid, const wchar_t* caption, int id, std::wstring* text = nullptr,
                      DWORD timeoutMs = kTimeout);

// The open and save dialogs.
struct FileDialogAnswer {
    bool ok = false;        // the path was typed, confirmed and the dialog closed as asked
    std::wstring question;  // text of a message box the dialog raised (overwrite, not found), if any
};
// Waits for the file dialog titled `title`, types `path` into its name field
// (Edit 1148), presses OK and, when the dialog asks whether to overwrite,
// answers Yes (`overwrite`) or No; after No, or after any other message the
// dialog raises, the message is closed and the dialog cancelled (ok is then
// false unless the question was the overwrite one answered No on purpose).
FileDialogAnswer AnswerFileDialog(DWORD pid, const wchar_t* title, const std::wstring& path, bool overwrite = true,
                                  DWORD timeoutMs = kTimeout);
// Presses Cancel in the file dialog titled `title` and waits for it to close.
bool CancelFileDialog(DWORD pid, const wchar_t* title, DWORD timeoutMs = kTimeout);

}  // namespace drv
