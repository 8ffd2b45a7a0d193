// The chart of the project's spending over time: a bar per period for its
// cost, against the left axis, and over the bars the cumulative cost to the
// end of each period (the S-curve), against the right axis. The axes are
// labelled in the user's regional number format and the periods' short
// names stand under their bars, every second, third ... one when they would
// not fit side by side.
//
// One drawing serves the window, the exported picture and the printed page;
// the window's element draws it in the system's colours while high contrast
// is on.
#pragma once

#include <windows.h>

#include <string>

#include "exchange/CashFlowTable.h"
#include "toolkit/widgets/PanelChildren.h"

namespace MyApp {

struct CashFlowColours {
    COLORREF background;
    COLORREF text;   // labels and axes
    COLORREF grid;   // the lines across at the axis' steps
    COLORREF bar;    // the bars' fill, outlined in the text's colour
    COLORREF curve;  // the cumulative cost

    // The program's own colours, as paper and the exported picture keep them.
    static CashFlowColours Own();
    // The colours on the screen: the system's while high contrast is on.
    static CashFlowColours OfScreen();
};

// Draws the chart of `table` filling `area` of the context. Lengths are
// given for 96 DPI and drawn `pixelsPerUnit` times larger.
void DrawCashFlowChart(HDC context, const RECT& area, const CashFlowTable& table, const CashFlowColours& colours,
                       double pixelsPerUnit);

// What the chart shows, in words, for those who cannot see it.
std::wstring DescribeCashFlowChart(const CashFlowTable& table);

// The chart as a child window of a dialog, drawn again whenever its table,
// its size or the system's colours change.
class CashFlowChart : public QVUtility::PanelChildren {
public:
    explicit CashFlowChart(QVUtility::GUIElement* parentElement);

    // Shows the table (copied) and tells assistive technology what it shows.
    void Show(const CashFlowTable& table);
    const CashFlowTable& Shown() const { return table_; }

    void OnPaint() override;
    void OnResize() override;
    // A focus rectangle shows while the chart has the keyboard.
    void OnGotFocus() override;
    void OnLostFocus() override;
    void DescribeForAccessibility(QVUtility::AccessibleFacts& facts) const override;

private:
    CashFlowTable table_;
};

}  // namespace MyApp
