// DatePicker: the Windows date-and-time picker holding one date. A year of 0
// in `date` means that no date is set (the check box of a picker with
// showNone is cleared).
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/widgets/PanelChildren.h"

namespace QVUtility {

class DatePicker;
using DateHandler = void (*)(DatePicker* picker, SYSTEMTIME date);

class DatePicker : public PanelChildren {
public:
    explicit DatePicker(GUIElement* parent);

    SYSTEMTIME date{};      // local date and time at construction
    SYSTEMTIME rangeMin{};  // earliest selectable date, with hasMin
    std::uint8_t hasMin = 0;
    std::uint8_t hasMax = 0;
    SYSTEMTIME rangeMax{};  // latest selectable date, with hasMax
    DateHandler onDateChanged = nullptr;
    std::uint8_t showNone = 0;    // DTS_SHOWNONE: a check box clears the date
    std::uint8_t timeFormat = 0;  // DTS_TIMEFORMAT: edit a time instead

    void Create() override;

    // The control's date with the time of day cleared; year, month, weekday
    // and day 0 when it holds none. Without a window the stored date.
    SYSTEMTIME GetDate();
    // Shows `date` in the control, then runs the change notification.
    void ApplyDate();
    void ApplyRange();
    // Change notification: onDateChanged with GetDate, then onTextChanged.
    void OnDateChange() override;
};

}  // namespace QVUtility
