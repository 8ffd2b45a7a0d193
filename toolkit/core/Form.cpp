#include "toolkit/core/Form.h"

#include <shellapi.h>

#include <string>

#include "toolkit/core/NativeCreation.h"
#include "toolkit/core/Registry.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/core/WindowProcedure.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/IgnoredError.h"

namespace QVUtility {

namespace {

constexpr DWORD CaptionedStyle = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX;
constexpr DWORD DialogExStyleTopmost = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
constexpr DWORD DialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW;
constexpr DWORD ModalFrameBit = DS_MODALFRAME;

}  // namespace

Form::Form(HINSTANCE instanceHandle, bool dialog) : GUIElement(instanceHandle), dialogMode(dialog) {
    typeKeyword = TypeKeyword::Form;
}

Form::~Form() {
    // A dialog deleted while still modal gives its owner back; forms that
    // pointed at this one forget it.
    EndModal();
    for (GUIElement* element : elementRegistry) {
        auto* form = dynamic_cast<Form*>(element);
        if (form == nullptr || form == this) continue;
        if (form->modalDialog == this) form->modalDialog = nullptr;
        if (form->dialogOwner == this) form->dialogOwner = nullptr;
    }
    // The object is half gone: the window's last messages must not reach
    // handlers or overrides of the derived form. Leave the registry first,
    // then destroy the window (its messages get default processing).
    while (IsRegistered(this)) UnregisterElement(this);
    if (created && window != nullptr && IsWindow(window)) {
        UnregisterHotkeys();
        created = false;
        DestroyWindow(window);
        ReleaseUnusedClasses();
    }
    created = false;
    if (icon != nullptr) {
        DestroyIcon(icon);
        icon = nullptr;
    }
    if (shortcutTable_ != nullptr) DestroyAcceleratorTable(shortcutTable_);
    shortcutTable_ = nullptr;
    hotkeys.clear();
    delete defaultControlFont_;
}

void Form::Create() {
    if (created) return;
    className = L"Window" + std::to_wstring(controlCounter);
    controlId = NextControlId();
    IndexControlId(this);

    windowClass = WNDCLASSW{};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = &WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon =
        iconId != 0 ? LoadIconW(instance, MAKEINTRESOURCEW(iconId)) : LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className.c_str();
    // The class and its brush go when the window does.
    RegisterElementClass(windowClass, backColour);

    DWORD style = 0;
    DWORD extendedStyle = 0;
    if (dialogMode) {
        extendedStyle = topmostDialog ? DialogExStyleTopmost : DialogExStyle;
        style = CaptionedStyle | (modalFrame ? ModalFrameBit : 0);
        // A dialog that can be resized has the caption buttons of a window.
        if (sizingFrame) {
            style |= WS_THICKFRAME;
            extendedStyle &= ~static_cast<DWORD>(WS_EX_TOOLWINDOW);
        }
    } else if (captioned) {
        style = CaptionedStyle;
        if (minimizeBox) style |= WS_MINIMIZEBOX;
        if (maximizeBox) style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    } else {
        style = WS_POPUP;
    }
    if (!maximizeBox) style &= ~static_cast<DWORD>(WS_MAXIMIZEBOX);
    if (!minimizeBox) style &= ~static_cast<DWORD>(WS_MINIMIZEBOX);
    if (!enabled) style |= WS_DISABLED;
    // Maximised from the start, with x, y, width and height as the place it
    // is restored to.
    if (startMaximized && !dialogMode) style |= WS_MAXIMIZE;

    HWND handle = nullptr;
    {
        CreationScope scope(this);
        handle = CreateElementWindow(extendedStyle, className.c_str(), text.c_str(), style, x, y, width, height,
                                     nullptr, nullptr, instance);
    }
    AttachClassWindow(className.c_str(), instance, handle);
    window = handle;
    IndexWindow(this);
    if (handle != nullptr) {
        if (mainWindow == nullptr) mainWindow = handle;
        OnCreated(handle);  // a second call after WM_CREATE does nothing more
        ShowWindow(handle, startMaximized ? SW_SHOWMAXIMIZED : SW_SHOW);
        UpdateWindow(handle);
    } else {
        IgnorePlatformError("Form::Create: no window; the element stays usable as data");
        // A dialog without a window cannot give its owner back later.
        EndModal();
    }
    created = true;
    CreateTooltip(window);
    ApplyFont();
}

void Form::FormHook() {}

void Form::ReleaseChildren() {}

void Form::SetIcon(int resourceId) {
    iconId = resourceId;
    if (created) {
        // A private copy (not the shared one LoadIconW gives), so that the
        // form may release it.
        auto loaded = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                    GetSystemMetricsForDpi(SM_CXSMICON, scale.Dpi()),
                                                    GetSystemMetricsForDpi(SM_CYSMICON, scale.Dpi()), 0));
        if (loaded != nullptr) {
            SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(loaded));
            if (icon != nullptr) DestroyIcon(icon);
            icon = loaded;
        }
    }
    if (created && font != nullptr) ApplyFont();
}

void Form::AcceptFiles(bool accept) {
    if (window != nullptr) DragAcceptFiles(window, accept ? TRUE : FALSE);
}

void Form::CentreOnScreen() {
    if (created) {
        RECT outer{};
        if (GetWindowRect(window, &outer)) {
            width = outer.right - outer.left;
            height = outer.bottom - outer.top;
        }
    }
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (created) {
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
        Redraw();
    }
}

void Form::OnSystemColoursChanged() {}

void Form::OnDpiChanged(DisplayScale newScale, const RECT& suggested) {
    scale = newScale;
    if (font != nullptr) font->SetDpi(scale.Dpi());
    if (defaultControlFont_ != nullptr) defaultControlFont_->SetDpi(scale.Dpi());
    if (window != nullptr) {
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        ApplyFont();
        // The small icon drawn for the new size from the multi-size icon.
        if (iconId != 0) SetIcon(iconId);
    }
}

void Form::ScaleDefaultFont(GUIElement* control) {
    if (control == nullptr || control->window == nullptr || control->font != nullptr) return;
    if (scale.IsBase() && defaultControlFont_ == nullptr) return;
    if (SendMessageW(control->window, WM_GETFONT, 0, 0) != 0) return;  // a font of the control's own
    if (defaultControlFont_ == nullptr) {
        LOGFONTW platform{};
        if (!GetObjectW(GetStockObject(SYSTEM_FONT), sizeof platform, &platform)) return;
        // Its height at 96 DPI, its width left to the face.
        defaultControlFont_ =
            new FontDescription(std::wstring(platform.lfFaceName), DisplayScale::OfSystem().ToBase(platform.lfHeight));
        defaultControlFont_->bold = platform.lfWeight >= FW_BOLD;
    }
    defaultControlFont_->SetDpi(scale.Dpi());
    control->font = defaultControlFont_;
    SendMessageW(control->window, WM_SETFONT, reinterpret_cast<WPARAM>(defaultControlFont_->GetFont()), TRUE);
}

SIZE Form::BaseClientSize() const {
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return SIZE{0, 0};
    if (scale.IsBase()) return SIZE{client.right, client.bottom};
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectExForDpi(&frame, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)),
                             GetMenu(window) != nullptr, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)),
                             DisplayScale::BaseDpi);
    return SIZE{scale.ToBase(outer.right - outer.left) - (frame.right - frame.left),
                scale.ToBase(outer.bottom - outer.top) - (frame.bottom - frame.top)};
}

void Form::RegisterHotkeys() {
    if (window == nullptr) return;
    for (size_t i = 0; i < hotkeys.size(); ++i)
        RegisterHotKey(window, static_cast<int>(i + 1), hotkeys[i].modifiers, hotkeys[i].key);
}

void Form::UnregisterHotkeys() {
    if (window == nullptr) return;
    for (size_t i = 0; i < hotkeys.size(); ++i) UnregisterHotKey(window, static_cast<int>(i + 1));
}

void Form::SetMenuShortcuts(const std::vector<ACCEL>& table) {
    menuShortcuts_ = table;
    RebuildShortcutTable();
}

void Form::AddShortcut(const Shortcut& keys, int commandId, ShortcutHandler handler) {
    if (keys.Empty()) return;
    ownShortcuts_.push_back(OwnShortcut{keys, commandId, handler});
    RebuildShortcutTable();
}

void Form::RebuildShortcutTable() {
    if (shortcutTable_ != nullptr) DestroyAcceleratorTable(shortcutTable_);
    shortcutTable_ = nullptr;
    std::vector<ACCEL> table = menuShortcuts_;
    for (const OwnShortcut& own : ownShortcuts_) {
        table.push_back(
            ACCEL{static_cast<BYTE>(FVIRTKEY | own.keys.modifiers), own.keys.key, static_cast<WORD>(own.commandId)});
    }
    if (!table.empty()) shortcutTable_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

bool Form::TranslateShortcut(MSG& message) {
    if (shortcutTable_ == nullptr || window == nullptr) return false;
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (message.hwnd != window && !IsChild(window, message.hwnd)) return false;
    if (const GUIElement* target = FindElementHolding(message.hwnd); target != nullptr && target->ownKeys) return false;
    if (modalDialog != nullptr || !IsWindowEnabled(window) || GetActiveWindow() != window) return false;
    return TranslateAcceleratorW(window, shortcutTable_, &message) != 0;
}

bool Form::RunShortcut(int commandId) {
    for (const OwnShortcut& own : ownShortcuts_) {
        if (own.commandId != commandId) continue;
        if (own.handler != nullptr) own.handler(this, commandId);
        return true;
    }
    return false;
}

void Form::BeginModal(Form* owner) {
    if (owner == nullptr || owner == this) return;
    if (created && window == nullptr) return;  // the window could not be made: nothing to wait for
    EndModal();
    dialogOwner = owner;
    owner->SetEnabled(false);
    owner->modalDialog = this;
}

void Form::DestroyQuietly() {
    onClose = nullptr;
    onDestroy = nullptr;
    onResize = nullptr;
    EndModal();
    if (created && window != nullptr && IsWindow(window)) {
        UnregisterHotkeys();
        created = false;
        DestroyWindow(window);
    }
}

void Form::EndModal() {
    Form* owner = dialogOwner;
    if (owner == nullptr) return;
    dialogOwner = nullptr;
    if (owner->modalDialog == this) owner->modalDialog = nullptr;
    owner->SetEnabled(true);
}

}  // namespace QVUtility
