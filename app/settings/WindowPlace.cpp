#include "app/settings/WindowPlace.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/settings/Settings.h"

namespace MyApp {

namespace {

constexpr int SmallestWidth = 200;
constexpr int SmallestHeight = 150;

// Whether enough of the window's title bar lies on a monitor's work area for
// the user to take hold of it.
bool Reachable(const RECT& window) {
    RECT caption = window;
    caption.bottom = caption.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    HMONITOR monitor = MonitorFromRect(&caption, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return false;
    RECT shown{};
    if (!IntersectRect(&shown, &caption, &info.rcWork)) return false;
    return shown.right - shown.left >= std::min<LONG>(100, window.right - window.left) && shown.bottom > shown.top;
}

int Signed(std::uint32_t stored) { return static_cast<int>(static_cast<std::int32_t>(stored)); }

}  // namespace

bool LoadWindowPlace(WindowPlace& place) {
    constexpr std::uint32_t Missing = 0x80000000u;
    const std::uint32_t left = ReadSetting(L"WindowLeft", Missing);
    const std::uint32_t top = ReadSetting(L"WindowTop", Missing);
    const std::uint32_t width = ReadSetting(L"WindowWidth", 0);
    const std::uint32_t height = ReadSetting(L"WindowHeight", 0);
    if (left == Missing || top == Missing || width < SmallestWidth || height < SmallestHeight) return false;
    // Beyond any screen: a damaged value, whatever the monitors.
    constexpr int Far = 0x100000;
    if (width > Far || height > Far || std::abs(Signed(left)) > Far || std::abs(Signed(top)) > Far) return false;
    RECT normal{Signed(left), Signed(top), 0, 0};
    normal.right = normal.left + static_cast<LONG>(width);
    normal.bottom = normal.top + static_cast<LONG>(height);
    if (!Reachable(normal)) return false;
    place.normal = normal;
    place.maximized = ReadSetting(L"WindowMaximized", 0) != 0;
    return true;
}

void SaveWindowPlace(const WindowPlace& place) {
    WriteSetting(L"WindowLeft", static_cast<std::uint32_t>(place.normal.left));
    WriteSetting(L"WindowTop", static_cast<std::uint32_t>(place.normal.top));
    WriteSetting(L"WindowWidth", static_cast<std::uint32_t>(place.normal.right - place.normal.left));
    WriteSetting(L"WindowHeight", static_cast<std::uint32_t>(place.normal.bottom - place.normal.top));
    WriteSetting(L"WindowMaximized", place.maximized ? 1u : 0u);
}

}  // namespace MyApp
