#include "toolkit/core/GUIElement.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/core/Form.h"
#include "toolkit/core/NativeCreation.h"
#include "toolkit/core/WindowProcedure.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

constexpr size_t TooltipTextLimit = 2024;

bool IsNativeWindow(HWND handle) { return handle != nullptr && IsWindow(handle) != FALSE; }

TOOLINFOW ToolFor(HWND handle) {
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = handle;
    tool.uId = 0;
    return tool;
}

}  // namespace

GUIElement::GUIElement(HINSTANCE instanceHandle) : instance(instanceHandle), alive(std::make_shared<bool>(true)) {
    RegisterElement(this);
}

GUIElement::~GUIElement() {
    *alive = false;
    // A control that outlives its element gets its own procedure back, so
    // its later messages are handled natively instead of reaching us.
    if (previousProcedure != nullptr && !nativeWindowGone && IsNativeWindow(window) &&
        GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&WindowProcedure)) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProcedure));
    }
    while (IsRegistered(this)) UnregisterElement(this);
    while (ElementBeingCreated() == this) EndWindowCreation(this);
    if (activeForm == this) activeForm = nullptr;
    if (activePanel == this) activePanel = nullptr;
    if (wheelTarget == this) wheelTarget = nullptr;
}

// ---- Setters ----------------------------------------------------------------

void GUIElement::SetSize(int newWidth, int newHeight) {
    width = newWidth;
    height = newHeight;
    if (!created) return;
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    UpdateTooltip();
    Redraw();
}

void GUIElement::SetBackColour(COLORREF colour) {
    backColour = colour;
    if (!created) return;
    InvalidateRect(window, nullptr, FALSE);
    PAINTSTRUCT paint{};
    HDC context = BeginPaint(window, &paint);
    if (context != nullptr) {
        RECT client{};
        GetClientRect(window, &client);
        SetBkColor(context, colour);
        ExtTextOutW(context, 0, 0, ETO_OPAQUE, &client, L"", 0, nullptr);
        EndPaint(window, &paint);
    }
    fillBackground = true;
}

void GUIElement::SetEnabled(bool enable) {
    enabled = enable;
    if (created) EnableWindow(window, enable ? TRUE : FALSE);
}

void GUIElement::SetText(const std::wstring& newText) {
    text = newText;
    if (created) SetWindowTextW(window, text.c_str());
}

void GUIElement::SetTextNarrow(const std::string& newText) { SetText(Widen(newText)); }

// ---- Input and notifications ---------------------------------------------

void GUIElement::OnLeftButtonUp(int px, int py) {
    if (onLeftButtonUp) onLeftButtonUp(this, window, px, py);
}
void GUIElement::OnLeftButtonDown(int px, int py) {
    if (onLeftButtonDown) onLeftButtonDown(this, window, px, py);
}
void GUIElement::OnLeftDoubleClick(int px, int py) {
    if (onLeftDoubleClick) onLeftDoubleClick(this, window, px, py);
}
void GUIElement::OnRightButtonUp(int px, int py) {
    if (onRightButtonUp) onRightButtonUp(this, window, px, py);
}
void GUIElement::OnRightButtonDown(int px, int py) {
    if (onRightButtonDown) onRightButtonDown(this, window, px, py);
}
void GUIElement::OnRightDoubleClick(int px, int py) {
    if (onRightDoubleClick) onRightDoubleClick(this, window, px, py);
}
void GUIElement::OnKeyUp(int key) {
    if (onKeyUp) onKeyUp(this, key);
}
void GUIElement::OnKeyDown(int key) {
    if (onKeyDown) onKeyDown(this, key);
}
bool GUIElement::OnChar(int character) { return onChar ? onChar(this, character) : true; }
void GUIElement::OnMouseMove(int px, int py) {
    if (onMouseMove) onMouseMove(this, px, py);
}
void GUIElement::OnMouseHover() {
    if (onMouseHover) onMouseHover(this);
}
void GUIElement::OnMouseLeave() {
    if (onMouseLeave) onMouseLeave(this);
}

void GUIElement::Focus() {
    if (created) SetFocus(window);
}

void GUIElement::OnMove() {
    RefreshPosition();
    if (onMove) onMove(this);
}

void GUIElement::OnResize() {
    if (onResize) onResize(this);
}

void GUIElement::OnPaint() {
    if (fillBackground) SetBackColour(backColour);
    if (onPaint) onPaint(this);
}

HBRUSH GUIElement::ChildColour(HDC) { return nullptr; }

bool GUIElement::OnClose() { return onClose ? onClose(this) : true; }

bool GUIElement::OnQueryEndSession() { return onQueryEndSession ? onQueryEndSession(this) : true; }

void GUIElement::OnEndSession() {
    if (onEndSession) onEndSession(this);
}

void GUIElement::OnDestroy() {
    const std::shared_ptr<bool> stillAlive = alive;
    if (onDestroy) onDestroy(this);
    if (*stillAlive) destroyed = true;
}

void GUIElement::OnGotFocus() {
    focusText = GetText();
    if (onGotFocus) onGotFocus(this);
}

void GUIElement::OnLostFocus() {
    const std::shared_ptr<bool> stillAlive = alive;
    if (onLostFocus) onLostFocus(this);
    if (!*stillAlive) return;
    if (GetText() != focusText && onTextChanged) onTextChanged(this);
}

void GUIElement::OnActivate() {
    if (onActivate) onActivate(this);
}

void GUIElement::OnDeactivate() {
    if (onDeactivate) onDeactivate(this);
}

void GUIElement::OnCreated(HWND handle) {
    if (window == nullptr) {
        window = handle;
        IndexWindow(this);
    }
    if (createNotified) return;
    createNotified = true;  // before the call: the handler may re-enter
    if (onCreate) onCreate(this, window);
}

void GUIElement::Redraw() {
    if (created) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

bool GUIElement::GetWaitCursor() { return waitCursor; }
bool GUIElement::GetHandCursor() { return handCursor; }
void GUIElement::SetWaitCursor(bool on) { waitCursor = on; }
void GUIElement::SetHandCursor(bool on) { handCursor = on; }
void GUIElement::OnShow() {}
void GUIElement::OnHeaderNotify(int, const std::vector<std::string>&, const std::vector<int>&) {}

// ---- Hooks of the window procedure: nothing in the base ----------------------

bool GUIElement::IsPanel() const { return false; }
bool GUIElement::HasScrollBar(int) const { return false; }
void GUIElement::OnScrollRequest(int, int) {}
bool GUIElement::ChildTipText(HWND, std::wstring&) { return false; }
void GUIElement::ToggleChecked() {}
bool GUIElement::OnDropDownHook() { return true; }
bool GUIElement::OnCloseUpHook() { return true; }
void GUIElement::OnDateChange() {}
void GUIElement::OnPositionChange(int) {}
void GUIElement::OnTimerTick() {}
int GUIElement::DrawImage(Drawing&, const RECT&, bool) { return 0; }

// ---- Non-virtual operations -------------------------------------------------

DisplayScale GUIElement::Scale() const {
    for (const GUIElement* element = this; element != nullptr; element = element->parent) {
        if (const auto* form = dynamic_cast<const Form*>(element)) return form->scale;
    }
    return DisplayScale::OfSystem();
}

void GUIElement::SetClientSize(int clientWidth, int clientHeight) {
    if (!created) return;
    RECT outer{};
    RECT client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int clientW = client.right - client.left;
    const int clientH = client.bottom - client.top;
    const int borderWidth = std::max(0, static_cast<int>(outer.right - outer.left) - clientW);
    const int borderHeight = static_cast<int>(outer.bottom - outer.top) - clientH;
    width = clientW;
    height = clientH;
    RefreshPosition();
    SetSize(clientWidth + borderWidth, clientHeight + (borderHeight >= 0 ? borderHeight : 0));
}

POINT GUIElement::RefreshPosition() {
    POINT corner{x, y};
    if (!created) return corner;
    RECT outer{};
    if (!IsNativeWindow(window) || !GetWindowRect(window, &outer)) return corner;
    corner.x = outer.left;
    corner.y = outer.top;
    if (parent != nullptr && IsNativeWindow(parent->window)) ScreenToClient(parent->window, &corner);
    x = corner.x;
    y = corner.y;
    return corner;
}

std::wstring GUIElement::GetText() {
    if (created && IsNativeWindow(window)) {
        const int length = GetWindowTextLengthW(window);
        if (length <= 0) {
            text.clear();
        } else {
            std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
            const int copied = GetWindowTextW(window, &buffer[0], length + 1);
            if (copied > 0) text.assign(buffer.c_str(), static_cast<size_t>(copied));
        }
    }
    return text;
}

std::string GUIElement::GetTextNarrow() { return Narrow(GetText()); }

void GUIElement::CreateTooltip(HWND handle) {
    if (tooltipText.empty() || handle == nullptr) return;
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), 0xFF};
    InitCommonControlsEx(&controls);
    if (tooltipWindow != nullptr && IsNativeWindow(tooltipWindow)) DestroyWindow(tooltipWindow);
    tooltipWindow =
        CreateElementWindow(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle, nullptr, nullptr);
    if (tooltipWindow == nullptr) return;
    SetWindowPos(tooltipWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    std::wstring tip = Widen(tooltipText);
    if (tip.size() > TooltipTextLimit) tip.resize(TooltipTextLimit);
    TOOLINFOW tool = ToolFor(handle);
    tool.uFlags = TTF_SUBCLASS;
    GetClientRect(handle, &tool.rect);
    tool.lpszText = &tip[0];
    SendMessageW(tooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void GUIElement::UpdateTooltip() {
    if (tooltipWindow == nullptr) {
        CreateTooltip(window);
        return;
    }
    std::wstring tip = Widen(tooltipText);
    if (tip.size() > TooltipTextLimit) tip.resize(TooltipTextLimit);
    TOOLINFOW tool = ToolFor(window);
    tool.lpszText = &tip[0];
    SendMessageW(tooltipWindow, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    TOOLINFOW area = ToolFor(window);
    GetClientRect(window, &area.rect);
    SendMessageW(tooltipWindow, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&area));
}

// ---- Creation helpers ---------------------------------------------------------

int GUIElement::TakeControlId() {
    controlId = namedId != 0 ? namedId : NextControlId();
    IndexControlId(this);
    return controlId;
}

void GUIElement::SubclassWindow() {
    if (!IsNativeWindow(window)) return;
    const LONG_PTR ours = reinterpret_cast<LONG_PTR>(&WindowProcedure);
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == ours) return;
    previousProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, ours));
}

void GUIElement::ApplyFont() {
    if (font == nullptr || window == nullptr) return;
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font->GetFont()), TRUE);
}

}  // namespace QVUtility
