#include "toolkit/core/MessageLoop.h"

#include <windows.h>

#include "toolkit/core/Form.h"

namespace QVUtility {

void RunMessageLoop(Form* form) {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) return;  // the quit message, or a failure that would repeat forever
        if (form != nullptr && form->dialogMode && form->window != nullptr && IsDialogMessageW(form->window, &message))
            continue;
        if (form != nullptr && form->TranslateShortcut(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace QVUtility
