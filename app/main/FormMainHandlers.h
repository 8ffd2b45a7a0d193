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

    // The chart.
    static int BarRightClick(GUIElement* element, HWND, int x, int y);
    static int BarLeftClick(GUIElement* element, HWND, int x, int y);
    static int BarDoubleClick(GUIElement* element, HWND, int x, int y);
    static void ChartScroll(GUIElement* panel, int position);
    static std::wstring BarTip(QVUtility::PanelChildren* panel, GUIElement* bar);
    static bool ChartWheel(QVUtility::PanelChildren* panel, int delta, int keys);
    static std::wstring BarSummary(const ChartBar* bar);
    static void ChartFocus(GUIElement* panel);
    static void TableFocus(GUIElement* table);
    static void ChartKey(GUIElement* panel, int key);
    static void ChartMenuKey(QVUtility::PanelChildren* panel);

    // The task table and its splitter.
    static std::wstring TableText(QVUtility::ListView* list, std::size_t row, int column);
    static void TableSelect(QVUtility::ListView* list, std::ptrdiff_t row);
    static void TableActivate(QVUtility::ListView* list, std::ptrdiff_t row);
    static void TableContextMenu(QVUtility::ListView* list, std::ptrdiff_t row, int x, int y);
    static void TableScroll(QVUtility::ListView* list, std::size_t topRow);
    static void TableColumnWidth(QVUtility::ListView* list, int column, int width);
    static int SplitterDown(GUIElement* splitter, HWND, int x, int y);
    static void SplitterMove(GUIElement* splitter, int x, int y);
    static int SplitterUp(GUIElement* splitter, HWND, int x, int y);
    static void LayoutTimer(QVUtility::Timer* timer);
};

}  // namespace MyApp
