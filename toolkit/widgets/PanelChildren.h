// PanelChildren: the toolkit's own container window. A child window of a
// window class of its own ("PanelChildren" and a number) that holds other
// elements, paints its background in backColour, answers the colour queries
// of the native controls inside it and can scroll its content with its own
// scroll bars. Base of CellControl, TimeLine and DatePicker.
#pragma once

#include <string>
#include <vector>

#include "toolkit/core/Child.h"

namespace QVUtility {

class PanelChildren;

// Scroll handler: the panel and (old position - requested position).
using ScrollHandler = void (*)(GUIElement* panel, int delta);
// The text of the tooltip over a child element (AddChildTip), asked when
// the tip comes up; an empty text shows none.
using ChildTipHandler = std::wstring (*)(PanelChildren* panel, GUIElement* child);
// A wheel turn with Ctrl or Maiusc held over the panel (keys: MK_CONTROL,
// MK_SHIFT; delta: WHEEL_DELTA per notch, away from the user positive):
// true when the owner used it, false to let the panel scroll.
using WheelHandler = bool (*)(PanelChildren* panel, int delta, int keys);
// The menu key or Maiusc+F10 while the panel has the keyboard.
using MenuKeyHandler = void (*)(PanelChildren* panel);

class PanelChildren : public Child {
public:
    explicit PanelChildren(GUIElement* parentElement);
    ~PanelChildren() override;

    std::string tag;                           // free text for the owner
    bool customColours = true;                 // answer the colour queries of child controls
    ScrollHandler onVerticalScroll = nullptr;  // after a vertical request that changed the position asked for
    ScrollHandler onHorizontalScroll = nullptr;
    bool border = false;         // WS_BORDER
    bool flatBorder = false;     // with border: no sunken client edge
    bool verticalBar = false;    // WS_VSCROLL
    bool horizontalBar = false;  // WS_HSCROLL
    int scrollMin = 0;
    int scrollMax = 100;
    bool tabStop = true;                  // WS_TABSTOP
    HBRUSH childBrush = nullptr;          // handed out by the last colour query
    COLORREF childTextColour = NoColour;  // text colour of child controls; none = unchanged
    COLORREF childBackColour = NoColour;  // background of child controls; none = the panel's own
    bool floating = false;                // a free-standing tool window instead of a child
    ChildTipHandler onChildTip = nullptr;  // the text of the tips over the children given to AddChildTip
    WheelHandler onWheelWithKeys = nullptr;
    MenuKeyHandler onMenuKey = nullptr;  // the panel's menu for the keyboard; none: the platform's way

    void Create() override;
    HBRUSH ChildColour(HDC context) override;
    // A new background colour for a panel already made (its class's
    // background, so that nothing of the old colour shows), painted at once.
    void Recolour(COLORREF colour);

    // Scrolling by lines: the scroll bars' arrows move a line, and with
    // snapToLines every vertical position is a whole number of lines (a
    // request moves at least a line its way and never past where it asked
    // for): rows stay level with another view's.
    int lineWidth = 1;
    int lineHeight = 1;
    bool snapToLines = false;
    // A band this high at the top of the panel stays where it is when the
    // content scrolls up and down (a header), with the children given to
    // KeepInBand; it scrolls sideways with the rest.
    int fixedTop = 0;
    // The content scrolls only until its end is at the edge of the view,
    // never past it (a view whose rows go with another's).
    bool stopAtEnd = false;
    // The child stays in the fixed band when the content scrolls up and down.
    void KeepInBand(GUIElement* child);

    // Range min..max with a page of a tenth on every bar that is switched on.
    void SetScrollLimits(int minimum, int maximum);
    // Horizontal (vertical) bar for content of the given size (the vertical
    // size counts from the panel's top, the fixed band included): range 0 to
    // size + page, the page a tenth of the size but never more than the
    // client area shows, so that a page step or a wheel notch never skips
    // anything and the view ends at most a page past the content.
    void SetContentWidth(int contentWidth);
    void SetContentHeight(int contentHeight);
    // Back to position 0, moving the content with the bar.
    void ResetHorizontalScroll();
    void ResetVerticalScroll();
    // The position of the scroll bar `bar` (SB_HORZ, SB_VERT); 0 when the
    // window shows no such bar. Read whole: it runs past 16 bits on long content.
    int ScrollPosition(int bar) const;
    // Scrolls as the scroll bar would to `position`: the content follows and
    // the scroll handler hears of it.
    void ScrollTo(int bar, int position);
    void ShowHorizontalBar(bool on);
    void ShowVerticalBar(bool on);
    // A tooltip over the child's window (made already), whose text
    // onChildTip gives when it comes up: one tooltip window serves every
    // child of the panel, however many.
    void AddChildTip(GUIElement* child);

    // The native style and extended style the fields ask for.
    DWORD WindowStyle() const;
    DWORD WindowExtendedStyle() const;
    // Name of the window class registered by Create (empty before).
    const std::wstring& ClassName() const { return className; }

    // Hooks of the window procedure.
    bool IsPanel() const override;
    bool HasScrollBar(int bar) const override;
    void OnScrollRequest(int bar, int delta) override;
    bool ChildTipText(HWND child, std::wstring& text) override;
    int ScrollLine(int bar) const override;
    int ScrollTarget(int bar, int old, int requested) const override;
    void ScrollContent(HWND target, int dx, int dy) override;
    bool OnWheelWithKeys(int delta, int keys) override;
    LRESULT ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    // Registers the panel's window class and makes the native window; the
    // steps of Create before the control shows itself. Answers the window.
    HWND RegisterAndCreateWindow();

private:
    std::wstring className;
    bool childBrushOwned = false;
    HWND childTips = nullptr;  // the tooltip of AddChildTip; goes with the panel's window
    std::vector<GUIElement*> bandChildren;  // KeepInBand's

    void ReleaseChildBrush();
    void ApplyStyle();
    void SetContentSize(int bar, int size);
    void ResetScroll(int bar);
};

}  // namespace QVUtility
