#include "toolkit/widgets/StatusBar.h"

#include <commctrl.h>

#include "toolkit/core/NativeCreation.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

StatusBar::StatusBar(GUIElement* parentElement, const std::string& initialText)
    : Child(parentElement, TypeKeyword::StatusBar, Widen(initialText), 0, 0) {
    x = 0;
    y = 0;
}

void StatusBar::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (!enabled) style |= WS_DISABLED;
    TakeControlId();
    window = CreateElementWindow(0, STATUSCLASSNAMEW, text.c_str(), style, x, y, width, height, ParentWindow(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr));
    if (window == nullptr) IgnorePlatformError("StatusBar::Create: no window; the element stays usable as data");
    IndexWindow(this);
    FinishCreate();
}

}  // namespace QVUtility
