#include "app/dialogs/KeptSizeDialog.h"

#include <algorithm>
#include <cstdint>

#include "app/settings/Settings.h"

namespace MyApp {

namespace {

void SizeChanged(QVUtility::GUIElement* element) {
    if (auto* dialog = dynamic_cast<KeptSizeDialog*>(element)) dialog->Layout();
}

// A kept size (96 DPI) that fits the owner's screen, and no smaller than the first.
SIZE KeptSize(const QVUtility::Form* owner, SIZE smallest, const KeptSizeNames& names) {
    const QVUtility::DisplayScale scale = owner != nullptr ? owner->scale : QVUtility::DisplayScale::OfSystem();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR screen = MonitorFromWindow(owner != nullptr ? owner->window : nullptr, MONITOR_DEFAULTTOPRIMARY);
    const bool known = GetMonitorInfoW(screen, &monitor) != FALSE;
    const int widest = known ? scale.ToBase(monitor.rcWork.right - monitor.rcWork.left) - 60 : 1200;
    const int tallest = known ? scale.ToBase(monitor.rcWork.bottom - monitor.rcWork.top) - 100 : 800;
    const auto kept = [](const wchar_t* name, int fallback, int largest) {
        const int value = static_cast<int>(std::min<std::uint32_t>(ReadSetting(name, static_cast<std::uint32_t>(fallback)), 100000));
        return std::max(fallback, std::min(value, largest));
    };
    return SIZE{kept(names.width, smallest.cx, widest), kept(names.height, smallest.cy, tallest)};
}

}  // namespace

KeptSizeDialog::KeptSizeDialog(QVUtility::Form* ownerForm, const std::wstring& title, SIZE smallest,
                               const KeptSizeNames& names)
    : DialogFrame(ownerForm, title, KeptSize(ownerForm, smallest, names).cx, KeptSize(ownerForm, smallest, names).cy,
                  L"Tahoma"),
      smallest_(smallest),
      names_(names) {
    sizingFrame = true;
    maximizeBox = true;
    minimumClientSize = smallest;
    onResize = &SizeChanged;
}

void KeptSizeDialog::OpenAtKeptSize() {
    OpenWindow();
    if (window != nullptr && ReadSetting(names_.maximized, 0) != 0) ShowWindow(window, SW_MAXIMIZE);
    Layout();
}

bool KeptSizeDialog::LayoutSize(SIZE& size) {
    if (window == nullptr || IsIconic(window)) return false;
    const SIZE client = BaseClientSize();
    if (client.cx <= 0 || client.cy <= 0) return false;
    if (!IsZoomed(window)) normalSize_ = client;
    size = SIZE{std::max(client.cx, smallest_.cx), std::max(client.cy, smallest_.cy)};
    return true;
}

void KeptSizeDialog::Put(QVUtility::GUIElement* element, int left, int top, int width, int height) {
    element->x = scale(left);
    element->y = scale(top);
    element->width = scale(width);
    element->height = scale(height);
    if (element->window != nullptr)
        SetWindowPos(element->window, nullptr, element->x, element->y, element->width, element->height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeptSizeDialog::OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) {
    const SIZE kept = normalSize_;
    const bool maximized = window != nullptr && IsZoomed(window);
    DialogFrame::OnDpiChanged(newScale, suggested);
    if (!maximized && kept.cx > 0) SetClientSize(scale(kept.cx), scale(kept.cy));
    Layout();
}

void KeptSizeDialog::ReleaseOwner() {
    // Kept for the next time: the size when not maximised, and whether it was.
    if (window != nullptr && normalSize_.cx > 0) {
        WriteSetting(names_.width, static_cast<std::uint32_t>(normalSize_.cx));
        WriteSetting(names_.height, static_cast<std::uint32_t>(normalSize_.cy));
        WriteSetting(names_.maximized, IsZoomed(window) ? 1 : 0);
    }
    DialogFrame::ReleaseOwner();
}

}  // namespace MyApp
