#include "toolkit/core/DisplayScale.h"

namespace QVUtility {

DisplayScale DisplayScale::OfSystem() {
    const UINT dpi = GetDpiForSystem();
    return DisplayScale(dpi > 0 ? static_cast<int>(dpi) : BaseDpi);
}

DisplayScale DisplayScale::OfWindow(HWND window) {
    const UINT dpi = window != nullptr ? GetDpiForWindow(window) : 0;
    return dpi > 0 ? DisplayScale(static_cast<int>(dpi)) : OfSystem();
}

int DisplayScale::ImageSize() const {
    // 125 % and 150 % take the 24-pixel pictures, 175 % and more the 32-pixel ones.
    if (dpi >= 168) return 32;
    if (dpi >= 120) return 24;
    return 16;
}

}  // namespace QVUtility
