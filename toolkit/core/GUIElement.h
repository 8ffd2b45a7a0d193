// GUIElement: the root of every toolkit element. An element keeps all of its
// properties in fields, so it can be configured before its native window
// exists; Create makes the window and every setter applies its change to the
// window at once when the window already exists.
//
// Life of an element: construct (defaults, registration in elementRegistry),
// configure fields and setters, Create, then live until the owner deletes it.
// Deleting an element never destroys a child control's window (the parent's
// window takes it along), but it does leave that window in a sound state:
// the element is unregistered, the global pointers to it are cleared and a
// subclassed control gets its own window procedure back.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/DisplayScale.h"
#include "toolkit/core/Registry.h"

namespace QVUtility {

class FontDescription;
class Drawing;
struct AccessibleFacts;
class GUIElement;
class Form;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Handler types. Each receives the element first; an unset handler means the
// default behaviour. Captureless lambdas convert to these.
using CreateHandler = void (*)(GUIElement* element, HWND window);
using MouseButtonHandler = int (*)(GUIElement* element, HWND window, int x, int y);
using KeyHandler = void (*)(GUIElement* element, int key);
using CharHandler = bool (*)(GUIElement* element, int character);  // true lets the control have it
using ElementHandler = void (*)(GUIElement* element);
using CloseHandler = bool (*)(GUIElement* element);  // true lets the window close
using MouseMoveHandler = void (*)(GUIElement* element, int x, int y);

// "No colour" in a COLORREF field (the system colour is used instead).
constexpr COLORREF NoColour = static_cast<COLORREF>(-1);

class GUIElement {
public:
    explicit GUIElement(HINSTANCE instance);
    virtual ~GUIElement();
    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    // ---- Fields -----------------------------------------------------------
    bool previewChildChars = false;  // characters typed in a direct child reach OnChar too
    bool destroyed = false;          // set after OnDestroy
    bool waitCursor = false;
    bool handCursor = false;  // wins over waitCursor
    LPCWSTR cursorShape = nullptr;  // a system cursor (IDC_SIZEWE...) over the element; handCursor wins
    // The keys typed in the element are all its own (an editor open in place
    // of something): Tab does not move the focus, and the form's shortcuts
    // do not act on them.
    bool ownKeys = false;
    HWND tooltipWindow = nullptr;
    HWND window = nullptr;  // for menus the HMENU, cast
    HINSTANCE instance = nullptr;
    WNDCLASSW windowClass{};
    FontDescription* font = nullptr;  // not owned
    int width = 100;
    int height = 50;
    int x = 100;
    int y = 100;
    bool created = false;
    COLORREF backColour = NoColour;
    std::wstring text;
    std::wstring focusText;
    bool fillBackground = false;
    bool enabled = true;
    int controlId = 0;
    // An identifier the program chose in the reserved block (Registry.h),
    // taken at creation instead of the counter's next: for elements added
    // after the first ones, so that those keep the identifiers they had.
    int fixedId = 0;
    std::string typeKeyword;
    std::string tooltipText;
    GUIElement* parent = nullptr;
    WNDPROC previousProcedure = nullptr;  // the native control's own procedure once subclassed

    // ---- Accessibility (Accessible.h) ---------------------------------------
    // What assistive technology reads as the element's name; empty: the
    // element's own rule (the caption of the kinds that show one).
    std::wstring accessibleName;
    std::wstring accessibleDescription;  // read after the name
    long accessibleRole = 0;             // ROLE_SYSTEM_*; 0: the role of the element's kind

    // ---- Handler table ----------------------------------------------------
    CreateHandler onCreate = nullptr;
    bool createNotified = false;
    MouseButtonHandler onLeftButtonUp = nullptr;
    MouseButtonHandler onLeftButtonDown = nullptr;
    MouseButtonHandler onLeftDoubleClick = nullptr;
    MouseButtonHandler onRightButtonUp = nullptr;
    MouseButtonHandler onRightButtonDown = nullptr;
    MouseButtonHandler onRightDoubleClick = nullptr;
    KeyHandler onKeyUp = nullptr;
    KeyHandler onKeyDown = nullptr;
    CharHandler onChar = nullptr;
    ElementHandler onMove = nullptr;
    ElementHandler onResize = nullptr;
    ElementHandler onPaint = nullptr;
    CloseHandler onClose = nullptr;
    CloseHandler onQueryEndSession = nullptr;  // true lets the user's session end
    ElementHandler onEndSession = nullptr;     // the session is ending
    ElementHandler onDestroy = nullptr;
    ElementHandler onGotFocus = nullptr;
    ElementHandler onLostFocus = nullptr;
    ElementHandler onActivate = nullptr;
    ElementHandler onDeactivate = nullptr;
    ElementHandler onTextChanged = nullptr;
    MouseMoveHandler onMouseMove = nullptr;
    ElementHandler onMouseHover = nullptr;
    ElementHandler onMouseLeave = nullptr;

    // ---- Virtual operations -----------------------------------------------
    virtual void SetSize(int newWidth, int newHeight);
    virtual void SetBackColour(COLORREF colour);
    virtual void SetEnabled(bool enable);
    virtual void SetText(const std::wstring& newText);
    virtual void SetTextNarrow(const std::string& newText);
    virtual void OnLeftButtonUp(int px, int py);
    virtual void OnLeftButtonDown(int px, int py);
    virtual void OnLeftDoubleClick(int px, int py);
    virtual void OnRightButtonUp(int px, int py);
    virtual void OnRightButtonDown(int px, int py);
    virtual void OnRightDoubleClick(int px, int py);
    virtual void OnKeyUp(int key);
    virtual void OnKeyDown(int key);
    virtual bool OnChar(int character);
    virtual void OnMouseMove(int px, int py);
    virtual void OnMouseHover();
    virtual void OnMouseLeave();
    virtual void Focus();
    virtual void OnMove();
    virtual void OnResize();
    virtual void OnPaint();
    virtual HBRUSH ChildColour(HDC context);  // colour query of a child control; 0 = platform default
    virtual bool OnClose();
    virtual bool OnQueryEndSession();
    virtual void OnEndSession();
    virtual void OnDestroy();
    virtual void OnGotFocus();
    virtual void OnLostFocus();
    virtual void OnActivate();
    virtual void OnDeactivate();
    virtual void OnCreated(HWND handle);
    virtual void Redraw();
    virtual bool GetWaitCursor();
    virtual bool GetHandCursor();
    virtual void SetWaitCursor(bool on);
    virtual void SetHandCursor(bool on);
    virtual void OnShow();
    virtual void OnHeaderNotify(int kind, const std::vector<std::string>& texts, const std::vector<int>& values);
    virtual void Create() = 0;

    // ---- Accessibility (Accessible.h) ---------------------------------------
    // The element for assistive technology now: the name, description and
    // role above and the states of its window; each kind adds its own role,
    // states and value.
    virtual void DescribeForAccessibility(AccessibleFacts& facts) const;
    // Parts without windows of their own (a toolbar's buttons), numbered
    // from 1: how many there are, what each is, where it is on the screen,
    // and its default action (false when it has none now).
    virtual long AccessiblePartCount() const;
    virtual void DescribePart(long part, AccessibleFacts& facts) const;
    virtual bool PartLocation(long part, RECT& screen) const;
    virtual bool DoPartAction(long part);

    // ---- Hooks of the window procedure -------------------------------------
    // The window procedure calls these for the widget classes that need more
    // than the operations above; each widget overrides the ones it answers
    // (the element's typeKeyword tells the procedure which kind it has).
    virtual bool IsPanel() const;                      // PanelChildren family: true
    virtual bool HasScrollBar(int bar) const;          // SB_HORZ / SB_VERT switched on
    virtual void OnScrollRequest(int bar, int delta);  // panel: onHorizontalScroll / onVerticalScroll (delta)
    // Scrolling a panel: the step of a line, the position a request for
    // `requested` from `old` ends at (a panel may keep to whole lines), and
    // moving the content by (dx, dy) on screen.
    virtual int ScrollLine(int bar) const;
    virtual int ScrollTarget(int bar, int old, int requested) const;
    virtual void ScrollContent(HWND target, int dx, int dy);
    // A wheel turn over the panel with keys held (MK_CONTROL...): true when
    // the element used it for something else than scrolling.
    virtual bool OnWheelWithKeys(int delta, int keys);
    // The text of the tooltip the element shows over its child window
    // `child`, asked when the tip comes up; false: none (panel: onChildTip).
    virtual bool ChildTipText(HWND child, std::wstring& text);
    virtual void ToggleChecked();                      // "checkbox": checkState = !IsChecked(); ApplyChecked()
    virtual bool OnDropDownHook();                     // "combobox"/"ComboBoxEx": list opens; false = handled
    virtual bool OnCloseUpHook();                      // "combobox"/"ComboBoxEx": list closes; false = handled
    virtual void OnDateChange();                       // "datepicker": the change notification
    virtual void OnPositionChange(int proposed);       // "numericbox": proposed up-down position
    virtual void OnTimerTick();                        // "timer": calls onTimer
    virtual int DrawImage(Drawing& surface, const RECT& item, bool pressed);  // "button": text offset, 0 = none
    // A notification (WM_NOTIFY) from the element's own native control,
    // asked before the handling every element shares; true when the element
    // answered it, `result` being the answer.
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    // The default processing of a message the toolkit did not answer, for
    // the element's window `handle`: DefaultProcessing (the native control's
    // own procedure, or DefWindowProcW). A widget that acts on what its
    // control did (its scroll position, its selection) overrides it, runs
    // this one and looks at the control afterwards.
    virtual LRESULT ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

    // ---- Non-virtual operations -------------------------------------------
    void SetClientSize(int clientWidth, int clientHeight);
    // The scale of the form the element is in (its sizes for 96 DPI times
    // the screen's density); the system's when it is in no form.
    DisplayScale Scale() const;
    POINT RefreshPosition();
    std::wstring GetText();
    std::string GetTextNarrow();
    void CreateTooltip(HWND handle);
    void UpdateTooltip();

    // Shared flag that turns false when the element is deleted; the window
    // procedure holds a copy while it dispatches, so that a handler deleting
    // the element cannot make it touch freed memory.
    std::shared_ptr<bool> AliveFlag() const { return alive; }

protected:
    // Child-window creation helpers for the widget classes (see Child.h).
    int TakeControlId();
    void SubclassWindow();
    void ApplyFont();

private:
    friend LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);
    std::shared_ptr<bool> alive;
    bool nativeWindowGone = false;  // WM_NCDESTROY seen: the handle may be reused
};

// The nearest element of type T from `element` up through its parents (the
// element itself first): the form or dialog a control belongs to. Null when
// there is none; a chain longer than any real one is not followed.
template <typename T>
T* OwningElement(GUIElement* element) {
    for (int depth = 0; element != nullptr && depth < 64; ++depth) {
        if (auto* found = dynamic_cast<T*>(element)) return found;
        element = element->parent;
    }
    return nullptr;
}

}  // namespace QVUtility
