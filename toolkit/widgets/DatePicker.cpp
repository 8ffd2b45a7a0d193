#include "toolkit/widgets/DatePicker.h"
#include "toolkit/core/TypeKeywords.h"

#include <commctrl.h>

namespace QVUtility {

DatePicker::DatePicker(GUIElement* parentElement) : PanelChildren(parentElement) {
    typeKeyword = TypeKeyword::DatePicker;
    text.clear();
    width = 140;
    height = 25;
    GetLocalTime(&date);
}

void DatePicker::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
    InitCommonControlsEx(&classes);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
    if (showNone) style |= DTS_SHOWNONE;
    if (timeFormat) style |= DTS_TIMEFORMAT;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(DATETIMEPICK_CLASSW, style);
    FinishCreate();
    const std::shared_ptr<bool> alive = AliveFlag();
    ApplyDate();
    if (!*alive) return;
    ApplyRange();
}

SYSTEMTIME DatePicker::GetDate() {
    if (window == nullptr) return date;
    SYSTEMTIME shown{};
    const LRESULT answer = SendMessageW(window, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown));
    if (answer == GDT_NONE) {
        shown = date;
        shown.wYear = 0;
        shown.wMonth = 0;
        shown.wDayOfWeek = 0;
        shown.wDay = 0;
    } else if (answer != GDT_VALID) {
        shown = date;  // the control could not answer: keep what is known
    }
    shown.wHour = 0;
    shown.wMinute = 0;
    shown.wSecond = 0;
    shown.wMilliseconds = 0;
    date = shown;
    return date;
}

void DatePicker::ApplyDate() {
    if (window != nullptr) {
        SYSTEMTIME shown = date;
        SendMessageW(window, DTM_SETSYSTEMTIME, date.wYear == 0 ? GDT_NONE : GDT_VALID,
                     reinterpret_cast<LPARAM>(&shown));
    }
    OnDateChange();
}

void DatePicker::ApplyRange() {
    if (window == nullptr) return;
    SYSTEMTIME range[2] = {rangeMin, rangeMax};
    WPARAM which = 0;
    if (hasMin) which |= GDTR_MIN;
    if (hasMax) which |= GDTR_MAX;
    SendMessageW(window, DTM_SETRANGE, which, reinterpret_cast<LPARAM>(range));
}

void DatePicker::OnDateChange() {
    const std::shared_ptr<bool> alive = AliveFlag();
    if (onDateChanged != nullptr) onDateChanged(this, GetDate());
    if (*alive && onTextChanged != nullptr) onTextChanged(this);
}

}  // namespace QVUtility
