// The program's entry: create the main window, run the message loop until
// the window is gone, delete it.
#include <windows.h>

#include <string>

#include "app/AppInfo.h"
#include "app/FormMain.h"
#include "toolkit/MessageLoop.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    auto* mainForm = new MyApp::FormMain(instance, std::wstring(MyApp::ProductName) + L" " + MyApp::NoticeLine);
    QVUtility::RunMessageLoop(mainForm);
    delete mainForm;
    return 0;
}
