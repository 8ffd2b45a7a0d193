// The program's entry: the last-chance handlers, then create the main
// window, offer a recovery copy and open the project named on the command
// line if any, run the message loop until the window is gone, delete the
// window.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/res/AppInfo.h"
#include "app/main/FormMain.h"
#include "app/safety/LastWords.h"
#include "toolkit/core/MessageLoop.h"
#include "toolkit/platform/FileDialogs.h"

namespace {

// The first argument ("QVVelmora.exe progetto.vmo", as the .vmo file type
// starts the program), read from the wide command line so that quoted paths
// with spaces and letters of any language come through whole, and made
// absolute so that later saves do not depend on the working folder. Empty
// when no file is named; further arguments are ignored.
std::string FileNamedAtStart() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return std::string();
    std::wstring named = count > 1 ? arguments[1] : L"";
    LocalFree(arguments);
    if (named.empty()) return std::string();
    const DWORD size = GetFullPathNameW(named.c_str(), 0, nullptr, nullptr);
    if (size > 0) {
        std::wstring full(size, L'\0');
        const DWORD length = GetFullPathNameW(named.c_str(), size, &full[0], nullptr);
        if (length > 0 && length < size) named = full.substr(0, length);
    }
    return QVUtility::NarrowPath(named);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    MyApp::InstallLastWords();
    auto* mainForm = new MyApp::FormMain(instance, std::wstring(MyApp::ProductName) + L" " + MyApp::NoticeLine);
    // A project left unsaved by a run that did not end cleanly is offered
    // first; the file named on the command line is opened after.
    mainForm->OpenAtStart(FileNamedAtStart());
    QVUtility::RunMessageLoop(mainForm);
    delete mainForm;
    return 0;
}
