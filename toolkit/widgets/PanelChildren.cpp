#include "toolkit/widgets/PanelChildren.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/core/NativeCreation.h"
#include "toolkit/core/Registry.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/core/WindowProcedure.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/platform/IgnoredError.h"

namespace QVUtility {

namespace {

constexpr DWORD FloatingStyle = 0x80;
constexpr DWORD FloatingExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;

}  // namespace

PanelChildren::PanelChildren(GUIElement* parentElement) : Child(parentElement, TypeKeyword::Panel) {}

PanelChildren::~PanelChildren() { ReleaseChildBrush(); }

void PanelChildren::ReleaseChildBrush() {
    if (childBrush != nullptr && childBrushOwned) ReleaseGdiObject(childBrush);
    childBrush = nullptr;
    childBrushOwned = false;
}

// ---- Style ------------------------------------------------------------------

DWORD PanelChildren::WindowStyle() const {
    DWORD style = floating ? FloatingStyle : (WS_CHILD | WS_VISIBLE);
    if (tabStop) style |= WS_TABSTOP;
    if (!enabled) style |= WS_DISABLED;
    if (border) style |= WS_BORDER;
    if (horizontalBar) style |= WS_HSCROLL;
    if (verticalBar) style |= WS_VSCROLL;
    return style;
}

DWORD PanelChildren::WindowExtendedStyle() const {
    DWORD extended = floating ? FloatingExtendedStyle : 0;
    if (border && !flatBorder) extended |= WS_EX_CLIENTEDGE;
    return extended;
}

void PanelChildren::ApplyStyle() {
    if (window == nullptr || !IsWindow(window)) return;
    DWORD style = WindowStyle();
    // Switching a bar must not show a panel its owner has hidden.
    const DWORD current = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    style = (style & ~WS_VISIBLE) | (current & WS_VISIBLE);
    SetLastError(0);
    if (SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(style)) == 0 && GetLastError() != 0) return;
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
}

// ---- Creation -----------------------------------------------------------------

HWND PanelChildren::RegisterAndCreateWindow() {
    // Named after the counter, or after its own identifier when it has one
    // (the counter does not move for it): a name no other panel has.
    className = L"PanelChildren" + std::to_wstring(fixedId != 0 ? fixedId : controlCounter);
    TakeControlId();

    HINSTANCE classInstance = parent != nullptr && parent->instance != nullptr ? parent->instance : instance;
    if (classInstance == nullptr) classInstance = GetModuleHandleW(nullptr);

    windowClass = WNDCLASSW{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = classInstance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className.c_str();
    // The class and its brush go when the window does. A class refused
    // makes the creation below fail too.
    RegisterElementClass(windowClass, backColour);

    HWND parentWindow = floating ? nullptr : ParentWindow();
    HMENU childId = floating ? nullptr : reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId));
    {
        CreationScope scope(this);
        window = CreateElementWindow(WindowExtendedStyle(), className.c_str(), text.c_str(), WindowStyle(), x, y, width,
                                     height, parentWindow, childId, classInstance);
    }
    AttachClassWindow(className.c_str(), classInstance, window);
    IndexWindow(this);
    if (window == nullptr) IgnorePlatformError("PanelChildren::Create: no window; the element stays usable as data");
    return window;
}

void PanelChildren::Create() {
    if (window != nullptr && IsWindow(window)) return;
    RegisterAndCreateWindow();
    if (window != nullptr && !floating) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    created = true;
    if (onCreate != nullptr && !createNotified) {
        createNotified = true;
        onCreate(this, window);
    }
    SetScrollLimits(scrollMin, scrollMax);
    CreateTooltip(window);
    if (font != nullptr && window != nullptr) {
        SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetFont()), TRUE);
    }
}

void PanelChildren::Recolour(COLORREF colour) {
    backColour = colour;
    if (window == nullptr) return;
    RecolourElementClass(window, colour);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

LRESULT PanelChildren::ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    // Maiusc+F10 (a point of -1, -1) or the menu key, which not every
    // platform turns into WM_CONTEXTMENU: the owner's menu, once.
    const bool menuKey = (message == WM_KEYDOWN || message == WM_KEYUP) && wParam == VK_APPS;
    const bool keyboardMenu = message == WM_CONTEXTMENU && static_cast<DWORD>(lParam) == 0xFFFFFFFF;
    if (onMenuKey != nullptr && handle == window && (menuKey || keyboardMenu)) {
        if (message != WM_KEYDOWN) onMenuKey(this);
        return 0;
    }
    return Child::ProcessByDefault(handle, message, wParam, lParam);
}

// ---- Colour queries ---------------------------------------------------------

HBRUSH PanelChildren::ChildColour(HDC context) {
    if (!customColours) return nullptr;
    ReleaseChildBrush();
    if (font != nullptr) {
        HFONT handle = font->GetFont();
        if (handle != nullptr) SelectObject(context, handle);
    }
    const COLORREF background = childBackColour != NoColour ? childBackColour : backColour;
    if (background == NoColour) {
        childBrush = GetSysColorBrush(COLOR_BTNFACE);
    } else {
        SetBkColor(context, background);
        childBrush = CreateElementBrush(background);
        childBrushOwned = childBrush != nullptr;
    }
    if (childTextColour != NoColour) SetTextColor(context, childTextColour);
    return childBrush;
}

// ---- Scrolling ----------------------------------------------------------------

void PanelChildren::SetScrollLimits(int minimum, int maximum) {
    scrollMin = minimum;
    scrollMax = maximum;
    if (window == nullptr) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = minimum;
    info.nMax = maximum;
    const long long page = (static_cast<long long>(maximum) - minimum) / 10;
    info.nPage = page > 0 ? static_cast<UINT>(page) : 0;
    if (verticalBar) SetScrollInfo(window, SB_VERT, &info, TRUE);
    if (horizontalBar) SetScrollInfo(window, SB_HORZ, &info, TRUE);
}

void PanelChildren::SetContentSize(int bar, int size) {
    if (size < 0) size = 0;
    scrollMin = 0;
    scrollMax = size;
    if (window == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    // The part that scrolls, and how much of it the client area shows.
    const int moving = bar == SB_VERT ? std::max(0, size - fixedTop) : size;
    const int view = bar == SB_VERT ? client.bottom - fixedTop : client.right;
    const int page = view > 0 ? std::min(moving / 10, view) : moving / 10;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    // The last position shows the end at the bottom of the view, or a page past it.
    info.nMax = stopAtEnd ? std::max(0, moving - view) + std::max(page, 1) - 1 : moving + page;
    info.nPage = static_cast<UINT>(page);
    SetScrollInfo(window, bar, &info, TRUE);
}

void PanelChildren::SetContentWidth(int contentWidth) { SetContentSize(SB_HORZ, contentWidth); }
void PanelChildren::SetContentHeight(int contentHeight) { SetContentSize(SB_VERT, contentHeight); }

void PanelChildren::ResetScroll(int bar) {
    if (window == nullptr) return;
    const int position = GetScrollPos(window, bar);
    if (position <= 0) return;
    SetScrollPos(window, bar, 0, TRUE);
    if (bar == SB_HORZ) {
        ScrollContent(window, position, 0);
    } else {
        ScrollContent(window, 0, position);
    }
    UpdateWindow(window);
}

int PanelChildren::ScrollPosition(int bar) const {
    if (window == nullptr) return 0;
    const DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    if ((style & (bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL)) == 0) return 0;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    return GetScrollInfo(window, bar, &info) ? info.nPos : 0;
}

void PanelChildren::ScrollTo(int bar, int position) {
    if (window == nullptr || !HasScrollBar(bar)) return;
    ScrollPanel(this, window, bar, ScrollPosition(bar), position);
}

void PanelChildren::ResetHorizontalScroll() { ResetScroll(SB_HORZ); }
void PanelChildren::ResetVerticalScroll() { ResetScroll(SB_VERT); }

void PanelChildren::ShowHorizontalBar(bool on) {
    horizontalBar = on;
    ApplyStyle();
}

void PanelChildren::ShowVerticalBar(bool on) {
    verticalBar = on;
    ApplyStyle();
}

bool PanelChildren::IsPanel() const { return true; }

bool PanelChildren::HasScrollBar(int bar) const {
    if (bar == SB_HORZ) return horizontalBar;
    if (bar == SB_VERT) return verticalBar;
    return false;
}

void PanelChildren::OnScrollRequest(int bar, int delta) {
    ScrollHandler handler = bar == SB_HORZ ? onHorizontalScroll : onVerticalScroll;
    if (handler != nullptr) handler(this, delta);
}

int PanelChildren::ScrollLine(int bar) const { return std::max(1, bar == SB_VERT ? lineHeight : lineWidth); }

int PanelChildren::ScrollTarget(int bar, int old, int requested) const {
    const int line = ScrollLine(bar);
    if (bar != SB_VERT || !snapToLines || line <= 1 || requested == old) return requested;
    // Whole lines, at least one the way asked, never past what was asked.
    auto floorTo = [line](int value) { return value >= 0 ? value / line * line : -((-value + line - 1) / line * line); };
    if (requested > old) return std::max(floorTo(requested), floorTo(old) + line);
    const int ceiling = -floorTo(-requested);
    return std::min(ceiling, -floorTo(-old) - line);
}

void PanelChildren::ScrollContent(HWND target, int dx, int dy) {
    if (dy == 0 || fixedTop <= 0) {
        ScrollWindow(target, dx, dy, nullptr, nullptr);
        return;
    }
    // Up and down, the band at the top and the children kept in it stay;
    // every other child moves, in view or not.
    RECT moving{};
    GetClientRect(target, &moving);
    moving.top = std::min<LONG>(fixedTop, moving.bottom);
    ScrollWindowEx(target, dx, dy, &moving, &moving, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
    for (HWND child = GetWindow(target, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool kept = std::any_of(bandChildren.begin(), bandChildren.end(), [child](GUIElement* element) {
            return IsRegistered(element) && element->window == child;
        });
        if (kept) continue;
        RECT place{};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, target, reinterpret_cast<POINT*>(&place), 2);
        // Drawn afresh in its new place: the panel's own paint of what the
        // scroll uncovered may have gone over it.
        SetWindowPos(child, nullptr, place.left + dx, place.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
}

bool PanelChildren::OnWheelWithKeys(int delta, int keys) {
    return onWheelWithKeys != nullptr && onWheelWithKeys(this, delta, keys);
}

void PanelChildren::KeepInBand(GUIElement* child) {
    if (child != nullptr) bandChildren.push_back(child);
}

void PanelChildren::AddChildTip(GUIElement* child) {
    if (window == nullptr || child == nullptr || child->window == nullptr) return;
    if (childTips == nullptr || !IsWindow(childTips)) {
        childTips = CreateElementWindow(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                        nullptr);
        if (childTips == nullptr) return;
        // Wide enough for a line of a few dozen words; longer tips break
        // their lines, and line breaks in the text are kept.
        SendMessageW(childTips, TTM_SETMAXTIPWIDTH, 0, Scale()(480));
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(child->window);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(childTips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool PanelChildren::ChildTipText(HWND child, std::wstring& text) {
    GUIElement* element = FindByWindow(child);
    if (onChildTip == nullptr || element == nullptr) return false;
    text = onChildTip(this, element);
    return !text.empty();
}

}  // namespace QVUtility
