#include "toolkit/core/WindowProcedure.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/Accessible.h"
#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/GUIElement.h"
#include "toolkit/core/Menu.h"
#include "toolkit/core/NativeCreation.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"

namespace QVUtility {

namespace {

HCURSOR waitCursorHandle = nullptr;
HCURSOR handCursorHandle = nullptr;
bool cursorsLoaded = false;

// Answers a toolbar tooltip's text request; must outlive the notification.
wchar_t tooltipBuffer[TooltipBufferLength + 1];

void LoadCursors() {
    if (cursorsLoaded) return;
    waitCursorHandle = LoadCursorW(nullptr, IDC_WAIT);
    handCursorHandle = LoadCursorW(nullptr, IDC_HAND);
    cursorsLoaded = true;
}

int SignedLow(LPARAM value) { return static_cast<short>(LOWORD(static_cast<DWORD_PTR>(value))); }
int SignedHigh(LPARAM value) { return static_cast<short>(HIWORD(static_cast<DWORD_PTR>(value))); }

// The registry lookup without the fallback to an element being created: a
// command or notification source must be the element that owns it.
GUIElement* ElementOwning(HWND handle) { return FindElementHolding(handle); }

bool IsComboBox(const GUIElement* element) {
    return element->typeKeyword == TypeKeyword::ComboBox || element->typeKeyword == TypeKeyword::ComboBoxEx;
}

}  // namespace

void ScrollPanel(GUIElement* panel, HWND target, int bar, int old, int requested) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = panel->ScrollTarget(bar, old, requested);
    SetScrollInfo(target, bar, &info, TRUE);
    info.fMask = SIF_POS;
    GetScrollInfo(target, bar, &info);
    const int actual = info.nPos;
    if (actual != old) {
        const int distance = old - actual;
        panel->ScrollContent(target, bar == SB_HORZ ? distance : 0, bar == SB_VERT ? distance : 0);
    }
    if (requested != old) panel->OnScrollRequest(bar, old - requested);
    if (actual != old) UpdateWindow(target);
}

namespace {

// Everything the bar's state holds: range, page, position and the thumb's
// position while it is dragged.
SCROLLINFO ScrollState(HWND target, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    GetScrollInfo(target, bar, &info);
    return info;
}

bool PanelScroll(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int request = LOWORD(wParam);
    GUIElement* panel = element;
    if (lParam != 0 && request == SB_ENDSCROLL) panel = FindByWindow(reinterpret_cast<HWND>(lParam));
    const int bar = message == WM_HSCROLL ? SB_HORZ : SB_VERT;
    if (panel == nullptr || !panel->IsPanel() || !panel->HasScrollBar(bar)) return false;
    if (bar == SB_VERT) wheelTarget = panel;

    const SCROLLINFO info = ScrollState(window, bar);
    const int old = info.nPos;
    const int page = static_cast<int>(info.nPage);
    int requested = old;
    switch (request) {
    case SB_LINEUP: requested = old - panel->ScrollLine(bar); break;
    case SB_LINEDOWN: requested = old + panel->ScrollLine(bar); break;
    case SB_PAGEUP: requested = old - page; break;
    case SB_PAGEDOWN: requested = old + page; break;
    case SB_THUMBTRACK: requested = info.nTrackPos; break;
    case SB_TOP:
        if (bar == SB_VERT) requested = info.nMin;
        break;
    case SB_BOTTOM:
        if (bar == SB_VERT) requested = info.nMax;
        break;
    default: break;
    }
    ScrollPanel(panel, window, bar, old, requested);
    return true;
}

bool WheelScroll(GUIElement* element, WPARAM wParam) {
    // A list scrolls its own rows; the panel last clicked must not take its wheel.
    if (element != nullptr && element->typeKeyword == TypeKeyword::ListView) return false;
    GUIElement* panel = (element != nullptr && element->IsPanel()) ? element : wheelTarget;
    const int keys = GET_KEYSTATE_WPARAM(wParam) & (MK_CONTROL | MK_SHIFT);
    if (panel != nullptr && keys != 0 && panel->OnWheelWithKeys(GET_WHEEL_DELTA_WPARAM(wParam), keys)) return true;
    if (panel == nullptr || !panel->HasScrollBar(SB_VERT)) return false;
    HWND target = panel->window;
    const SCROLLINFO info = ScrollState(target, SB_VERT);
    const int old = info.nPos;
    const int page = static_cast<int>(info.nPage);
    const int requested = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? old - page : old + page;
    ScrollPanel(panel, target, SB_VERT, old, requested);
    return true;
}

void TrackActivation(GUIElement* element, HWND window) {
    const bool activating = GetForegroundWindow() == window;
    if (auto* form = dynamic_cast<Form*>(element)) {
        wheelTarget = nullptr;
        if (!activating) {
            form->UnregisterHotkeys();
            form->OnDeactivate();
            return;
        }
        const std::shared_ptr<bool> formAlive = form->AliveFlag();
        if (auto* previous = dynamic_cast<Form*>(activeForm)) {
            previous->UnregisterHotkeys();
            previous->OnDeactivate();
        }
        if (!*formAlive) return;
        if (activePanel != nullptr) {
            GUIElement* panel = activePanel;
            activePanel = nullptr;
            panel->OnDeactivate();
        }
        if (!*formAlive) return;
        form->RegisterHotkeys();
        form->OnActivate();
        if (!*formAlive) return;
        activeForm = form;
        // The owner of an open dialog is disabled: keep the dialog in front
        // of it, where the user can reach it.
        GUIElement* dialog = form->modalDialog;
        if (dialog != nullptr && dialog->created && dialog->window != nullptr && form->window != nullptr)
            SetWindowPos(form->window, dialog->window, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return;
    }
    if (element->IsPanel()) {
        if (activating) {
            if (activePanel != nullptr && activePanel != element) activePanel->OnDeactivate();
            element->OnActivate();
            activePanel = element;
        } else {
            element->OnDeactivate();
        }
    }
}

void TabNavigation(GUIElement* element, HWND window) {
    // The form's controls in their order, those inside frames included: a
    // control inside a frame goes on to the form's next one.
    HWND root = window;
    if (dynamic_cast<Child*>(element) != nullptr && element->parent != nullptr) root = GetAncestor(window, GA_ROOT);
    const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
    HWND next = GetNextDlgTabItem(root, window, backwards ? TRUE : FALSE);
    if (next == nullptr) return;
    if (GUIElement* target = ElementOwning(next)) target->Focus();
}

// WM_COMMAND without a control: where the command came from.
constexpr int CommandFromMenu = 0;
constexpr int CommandFromAccelerator = 1;

// Answers whether the procedure must return 1 at once (a combo-box hook refused).
bool Command(GUIElement* element, WPARAM wParam, LPARAM lParam) {
    const int code = HIWORD(wParam);
    const int id = LOWORD(wParam);
    const HWND source = reinterpret_cast<HWND>(lParam);
    if (source == nullptr && (code == CommandFromMenu || code == CommandFromAccelerator)) {
        // A menu item chosen or its shortcut pressed; a shortcut
        // does nothing while its item is disabled.
        SubMenu* item = FindMenuItemById(id);
        if (item == nullptr) {
            auto* form = dynamic_cast<Form*>(element);
            if (code == CommandFromAccelerator && form != nullptr) form->RunShortcut(id);
            return false;
        }
        if (code == CommandFromAccelerator && !item->enabled) return false;
        if (item->checkable) {
            item->checked = !IsChecked(item);
            if (item->created) ApplyCheck(item);
        }
        if (item->onCommand) item->onCommand(item);
        return false;
    }
    GUIElement* sourceElement = ElementOwning(source);
    if (sourceElement == nullptr) return false;
    if (auto* command = dynamic_cast<CommandElement*>(sourceElement)) {
        if (sourceElement->typeKeyword == TypeKeyword::CheckBox) {
            const std::shared_ptr<bool> alive = sourceElement->AliveFlag();
            sourceElement->ToggleChecked();
            if (!*alive) return false;
            if (command->onCommand) command->onCommand(sourceElement);
        } else if (IsComboBox(sourceElement)) {
            switch (code) {
            case CBN_SELCHANGE:
                if (command->onCommand) command->onCommand(sourceElement);
                break;
            case 0:
                if (sourceElement->created) SendMessageW(sourceElement->window, CB_SHOWDROPDOWN, TRUE, 0);
                break;
            case CBN_CLOSEUP:
                if (!sourceElement->OnCloseUpHook()) return true;
                break;
            case CBN_DROPDOWN:
                if (!sourceElement->OnDropDownHook()) return true;
                break;
            default: break;
            }
        } else if (sourceElement->typeKeyword == TypeKeyword::ListBox) {
            if (code == LBN_SELCHANGE && command->onCommand) command->onCommand(sourceElement);
        } else if (command->onCommand) {
            command->onCommand(sourceElement);
        }
        return false;
    }
    if (sourceElement->typeKeyword == TypeKeyword::ToolBar) {
        GUIElement* item = FindByControlId(id);
        auto* itemCommand = dynamic_cast<CommandElement*>(item);
        if (itemCommand != nullptr && itemCommand->onCommand) itemCommand->onCommand(item);
    }
    return false;
}

// Answers whether the element of the notifying control answered it (with
// `result`); the kinds below it are handled for every element.
bool Notify(LPARAM lParam, LRESULT& result) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header == nullptr) return false;
    if (GUIElement* own = ElementOwning(header->hwndFrom); own != nullptr && own->OnNotify(header, result)) return true;
    const UINT code = header->code;
    switch (code) {
    case DTN_DATETIMECHANGE: {
        GUIElement* picker = ElementOwning(header->hwndFrom);
        if (picker != nullptr && picker->typeKeyword == TypeKeyword::DatePicker) picker->OnDateChange();
        break;
    }
    case UDN_DELTAPOS: {
        GUIElement* box = ElementOwning(header->hwndFrom);
        if (box != nullptr && box->typeKeyword == TypeKeyword::NumericBox) {
            auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
            box->OnPositionChange(change->iPos + change->iDelta);
        }
        break;
    }
    case TTN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        std::wstring tip;
        if ((info->uFlags & TTF_IDISHWND) != 0) {
            // A tip over a child window that its container answers for.
            const auto child = reinterpret_cast<HWND>(header->idFrom);
            GUIElement* container = ElementOwning(GetParent(child));
            if (container == nullptr || !container->ChildTipText(child, tip)) break;
        } else {
            GUIElement* item = FindByControlId(static_cast<int>(header->idFrom));
            if (item == nullptr || item->typeKeyword != TypeKeyword::ToolBarItem || item->tooltipText.empty()) break;
            tip = Widen(item->tooltipText);
        }
        const size_t length = std::min(tip.size(), static_cast<size_t>(TooltipBufferLength));
        tip.copy(tooltipBuffer, length);
        tooltipBuffer[length] = L'\0';
        info->lpszText = tooltipBuffer;
        break;
    }
    case HDN_ITEMCLICKW:
    case HDN_ITEMCHANGEDW:
    case NM_RCLICK: {
        GUIElement* source = ElementOwning(header->hwndFrom);
        if (source == nullptr) break;
        const std::vector<std::string> texts;
        if (code == NM_RCLICK) {
            source->OnHeaderNotify(3, texts, {});
        } else {
            auto* item = reinterpret_cast<NMHEADERW*>(lParam);
            if (code == HDN_ITEMCLICKW) {
                source->OnHeaderNotify(2, texts, {item->iItem});
            } else {
                const int newWidth = (item->pitem != nullptr && (item->pitem->mask & HDI_WIDTH)) ? item->pitem->cxy : 0;
                source->OnHeaderNotify(1, texts, {item->iItem, newWidth});
            }
        }
        break;
    }
    default: break;
    }
    return false;
}

// An owner-drawn push button asks to be painted: Button paints it.
bool DrawOwnerDrawnButton(LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item == nullptr || item->CtlType != ODT_BUTTON) return false;
    GUIElement* button = FindByControlId(static_cast<int>(item->CtlID));
    if (button == nullptr || button->typeKeyword != TypeKeyword::Button) return false;
    return PaintOwnerDrawnButton(*button, *item);
}

// Files dropped from the shell: their paths go to the form's handler; the
// drop's memory is released either way.
void FilesDropped(GUIElement* element, WPARAM wParam) {
    const auto drop = reinterpret_cast<HDROP>(wParam);
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        if (DragQueryFileW(drop, i, &path[0], length + 1) == length) {
            path.resize(length);
            paths.push_back(path);
        }
    }
    DragFinish(drop);
    auto* form = dynamic_cast<Form*>(element);
    if (form != nullptr && form->onFilesDropped != nullptr) form->onFilesDropped(form, paths);
}

void Hotkey(GUIElement* element, WPARAM wParam) {
    auto* form = dynamic_cast<Form*>(element);
    if (form == nullptr) return;
    const int id = static_cast<int>(wParam);
    if (id < 1 || id > form->HotkeyCount()) return;
    const HotkeyEntry entry = form->hotkeys[static_cast<size_t>(id - 1)];
    const HWND foreground = GetForegroundWindow();
    if (foreground == form->window) {
        if (entry.handler) entry.handler(form, entry.modifiers, entry.key);
        return;
    }
    auto* foregroundForm = dynamic_cast<Form*>(ElementOwning(foreground));
    if (foregroundForm == nullptr) return;
    for (const HotkeyEntry& candidate : foregroundForm->hotkeys) {
        if (candidate.modifiers == entry.modifiers && candidate.key == entry.key) {
            const HotkeyEntry chosen = candidate;
            if (chosen.handler) chosen.handler(foregroundForm, chosen.modifiers, chosen.key);
            return;
        }
    }
}

// The message table. `answered` is set when the result is final (no default
// processing).
LRESULT Dispatch(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool& answered) {
    switch (message) {
    case WM_CREATE:
        if (auto* form = dynamic_cast<Form*>(element)) {
            if (mainWindow == nullptr) mainWindow = window;
            form->OnCreated(window);
        }
        break;
    case WM_DESTROY:
        if (element != nullptr) {
            if (auto* form = dynamic_cast<Form*>(element)) form->UnregisterHotkeys();
            element->OnDestroy();
        }
        if (window == mainWindow) PostQuitMessage(0);
        break;
    case WM_MOVE:
        if (element) element->OnMove();
        break;
    case WM_SIZE:
        if (element) element->OnResize();
        break;
    case WM_GETMINMAXINFO:
        if (auto* form = dynamic_cast<Form*>(element); form != nullptr && form->minimumClientSize.cx > 0) {
            // The outer size of the smallest client, at the window's density.
            RECT frame{0, 0, form->scale(form->minimumClientSize.cx), form->scale(form->minimumClientSize.cy)};
            AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                                     GetMenu(window) != nullptr, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)),
                                     static_cast<UINT>(form->scale.Dpi()));
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize.x = frame.right - frame.left;
            limits->ptMinTrackSize.y = frame.bottom - frame.top;
        }
        break;
    case WM_ACTIVATE:
        if (element) TrackActivation(element, window);
        break;
    case WM_SETFOCUS:
        if (element) element->OnGotFocus();
        break;
    case WM_KILLFOCUS:
        if (element) element->OnLostFocus();
        break;
    case WM_PAINT:
        if (element) element->OnPaint();
        break;
    case WM_CLOSE:
        if (element && !element->OnClose()) {
            answered = true;
            return 1;
        }
        break;
    case WM_QUERYENDSESSION:
        if (element) {
            answered = true;
            return element->OnQueryEndSession() ? TRUE : FALSE;
        }
        break;
    case WM_ENDSESSION:
        if (element && wParam != FALSE) element->OnEndSession();
        break;
    case WM_SHOWWINDOW:
        if (element) {
            const std::shared_ptr<bool> alive = element->AliveFlag();
            element->OnShow();
            if (*alive) element->OnResize();
        }
        break;
    case WM_SETCURSOR:
        if (element && LOWORD(static_cast<DWORD_PTR>(lParam)) == HTCLIENT) {
            if (element->GetHandCursor() || element->cursorShape != nullptr) {
                SetCursor(element->GetHandCursor() ? handCursorHandle : LoadCursorW(nullptr, element->cursorShape));
                answered = true;
                return 1;
            }
            if (element->GetWaitCursor()) {
                SetCursor(waitCursorHandle);
                answered = true;
                return 1;
            }
        }
        break;
    case WM_DRAWITEM:
        if (DrawOwnerDrawnButton(lParam)) {
            answered = true;
            return 1;
        }
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (Notify(lParam, result)) {
            answered = true;
            return result;
        }
        break;
    }
    case WM_KEYDOWN:
        if (element) {
            const std::shared_ptr<bool> alive = element->AliveFlag();
            if (wParam == VK_TAB && !element->ownKeys) TabNavigation(element, window);
            if (*alive) element->OnKeyDown(static_cast<int>(wParam));
        }
        break;
    case WM_KEYUP:
        if (element) element->OnKeyUp(static_cast<int>(wParam));
        break;
    case WM_CHAR:
        if (element) {
            const std::shared_ptr<bool> alive = element->AliveFlag();
            const int character = static_cast<int>(wParam);
            const bool accepted = element->OnChar(character);
            if (*alive && dynamic_cast<Child*>(element) != nullptr && element->parent != nullptr &&
                IsRegistered(element->parent) && element->parent->previewChildChars)
                element->parent->OnChar(character);
            if (!accepted) {
                answered = true;
                return 1;
            }
        }
        break;
    case WM_COMMAND:
        if (Command(element, wParam, lParam)) {
            answered = true;
            return 1;
        }
        break;
    case WM_TIMER: {
        GUIElement* timer = FindByControlId(static_cast<int>(wParam));
        if (timer != nullptr && timer->typeKeyword == TypeKeyword::Timer) timer->OnTimerTick();
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (PanelScroll(element, window, message, wParam, lParam)) {
            answered = true;
            return 0;
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        if (element) {
            HBRUSH brush = element->ChildColour(reinterpret_cast<HDC>(wParam));
            if (brush != nullptr) {
                answered = true;
                return reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    case WM_MOUSEMOVE:
        if (element) {
            element->OnMouseMove(SignedLow(lParam), SignedHigh(lParam));
            if (!mouseTracking) {
                TRACKMOUSEEVENT tracking{};
                tracking.cbSize = sizeof(tracking);
                tracking.dwFlags = TME_HOVER | TME_LEAVE;
                tracking.hwndTrack = window;
                tracking.dwHoverTime = HOVER_DEFAULT;
                mouseTracking = TrackMouseEvent(&tracking) != FALSE;
            }
        }
        break;
    case WM_LBUTTONDOWN:
        if (element) {
            const std::shared_ptr<bool> alive = element->AliveFlag();
            element->OnLeftButtonDown(SignedLow(lParam), SignedHigh(lParam));
            wheelTarget = (*alive && element->IsPanel()) ? element : nullptr;
        }
        break;
    case WM_LBUTTONUP:
        if (element) element->OnLeftButtonUp(SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        if (element) element->OnLeftDoubleClick(SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_RBUTTONDOWN:
        if (element) element->OnRightButtonDown(SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_RBUTTONUP:
        if (element) element->OnRightButtonUp(SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_RBUTTONDBLCLK:
        if (element) element->OnRightDoubleClick(SignedLow(lParam), SignedHigh(lParam));
        break;
    case WM_MOUSEWHEEL:
        if (WheelScroll(element, wParam)) {
            answered = true;
            return 0;
        }
        break;
    case WM_MOUSEHOVER:
        if (element) element->OnMouseHover();
        break;
    case WM_MOUSELEAVE:
        mouseTracking = false;
        if (element) element->OnMouseLeave();
        break;
    case WM_HOTKEY: Hotkey(element, wParam); break;
    case WM_DPICHANGED:
        if (auto* form = dynamic_cast<Form*>(element); form != nullptr && lParam != 0) {
            form->OnDpiChanged(DisplayScale(LOWORD(wParam)), *reinterpret_cast<const RECT*>(lParam));
            answered = true;
            return 0;
        }
        break;
    case WM_DROPFILES:
        FilesDropped(element, wParam);
        answered = true;
        return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        if (auto* form = dynamic_cast<Form*>(element); form != nullptr && element->window == window) {
            // The common controls inside take the new colours when told.
            if (message == WM_SYSCOLORCHANGE) {
                EnumChildWindows(
                    window,
                    [](HWND child, LPARAM) -> BOOL {
                        SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
                        return TRUE;
                    },
                    0);
            }
            form->OnSystemColoursChanged();
        }
        break;
    case WM_GETOBJECT:
        // A control tells assistive technology what it is; a form's window
        // is the platform's to describe.
        if (element != nullptr && element->window == window && dynamic_cast<Form*>(element) == nullptr)
            return AnswerAccessibleObject(element, window, wParam, lParam, answered);
        break;
    default: break;
    }
    return 0;
}

}  // namespace

LRESULT DefaultProcessing(GUIElement* element, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (element != nullptr && element->previousProcedure != nullptr)
        return CallWindowProcW(element->previousProcedure, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const MessageScope scope;
    if (message == WM_NCDESTROY) DetachClassWindow(window);
    GUIElement* element = FindByWindow(window);
    // Kept before dispatch: a handler may delete the element, and its native
    // control still needs its own procedure.
    const WNDPROC previous = element != nullptr ? element->previousProcedure : nullptr;
    const std::shared_ptr<bool> alive = element != nullptr ? element->AliveFlag() : nullptr;
    if (message == WM_NCDESTROY && element != nullptr && element->window == window) element->nativeWindowGone = true;
    try {
        LoadCursors();
        bool answered = false;
        const LRESULT result = Dispatch(element, window, message, wParam, lParam, answered);
        if (answered) return result;
    } catch (...) {
        IgnoreException("WindowProcedure");
        // Nothing may unwind through the platform's frames. A request to
        // close the window or to end the session whose handler failed is
        // refused, so that nothing is lost unasked; any other message gets
        // its default processing.
        if (message == WM_CLOSE) return 0;
        if (message == WM_QUERYENDSESSION) return FALSE;
    }
    if (alive && *alive) return element->ProcessByDefault(window, message, wParam, lParam);
    if (previous != nullptr) return CallWindowProcW(previous, window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace QVUtility
