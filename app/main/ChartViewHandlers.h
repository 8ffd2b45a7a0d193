// The handlers the chart installs in itself and in its bars: plain
// functions that find the chart (up the element's parents) and call the
// operation that does the work. For the chart's own files only.
#pragma once

#include <windows.h>

#include <string>

namespace QVUtility {
class GUIElement;
class PanelChildren;
}  // namespace QVUtility

namespace MyApp {

class ChartBar;

struct ChartViewHandlers {
    using GUIElement = QVUtility::GUIElement;

    static int BarLeftClick(GUIElement* element, HWND, int x, int y);
    static int BarDoubleClick(GUIElement* element, HWND, int x, int y);
    static int BarRightClick(GUIElement* element, HWND, int x, int y);
    static void BarMouseMove(GUIElement* element, int x, int y);
    static int BarLeftUp(GUIElement* element, HWND, int x, int y);
    static LPCWSTR BarCursor(const ChartBar* bar, int x);
    static void BarCaptureLost(ChartBar* bar);
    static std::wstring BarSummary(const ChartBar* bar);
    static std::wstring Tip(QVUtility::PanelChildren* panel, GUIElement* bar);
    static bool Wheel(QVUtility::PanelChildren* panel, int delta, int keys);
    static void Focus(GUIElement* panel);
    static void Key(GUIElement* panel, int key);
    static void MenuKey(QVUtility::PanelChildren* panel);
};

}  // namespace MyApp
