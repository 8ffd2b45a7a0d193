// CheckBox: a plain check box. Windows does not toggle it; the window
// procedure turns each click into the opposite checkState before onCommand.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"

namespace QVUtility {

class CheckBox : public Child, public CommandElement {
public:
    CheckBox(GUIElement* parent, const std::string& caption);

    std::uint8_t checkState = 0;
    std::uint8_t multiLine = 0;  // BS_MULTILINE

    void Create() override;
    // Shows checkState in the control.
    void ApplyChecked();
    // The control's state (checkState before creation), kept in checkState.
    bool IsChecked();
    void ToggleChecked() override;
};

}  // namespace QVUtility
