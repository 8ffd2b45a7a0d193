// The handlers the main window installs in itself and in its elements: plain
// functions that find the window (up the element's parents) and call the
// operation that does the work. For the window's own files only.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace QVUtility {
class Form;
class GUIElement;
class ListView;
class PanelChildren;
class Timer;
}  // namespace QVUtility

namespace MyApp {

class ChartBar;

struct FormMainHandlers {
    using GUIElement = QVUtility::GUIElement;

    static void Create(GUIElement* element, HWND);
    static void Resize(GUIElement* element);
    static void Move(GUIElement* element);
    static bool Close(GUIElement* element);
    static bool QueryEndSession(GUIElement* element);
    static void EndSession(GUIElement* element);
    static void FilesDropped(QVUtility::Form* form, const std::vector<std::wstring>& paths);

    // Commands: a menu item (the bars' popup menu's too), a toolbar button,
    // a key of the window's own.
    static void MenuCommand(GUIElement* item);
    static void ToolbarCommand(GUIElement* item);
    static void KeyCommand(QVUtility::Form* form, int commandId);

    // The splitter between the table and the chart.
    static int SplitterDown(GUIElement* splitter, HWND, int x, int y);
    static void SplitterMove(GUIElement* splitter, int x, int y);
    static int SplitterUp(GUIElement* splitter, HWND, int x, int y);
    static void LayoutTimer(QVUtility::Timer* timer);
};

}  // namespace MyApp
