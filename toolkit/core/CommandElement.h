// CommandElement: the second base of the elements that raise commands
// (buttons, check boxes, combo boxes, list boxes, group boxes, menu items and
// toolbar items). The window procedure recognises them with a type test and
// calls onCommand with the element itself.
#pragma once

#include "toolkit/core/GUIElement.h"

namespace QVUtility {

using CommandHandler = void (*)(GUIElement* element);

class CommandElement {
public:
    CommandHandler onCommand = nullptr;

protected:
    ~CommandElement() = default;
};

}  // namespace QVUtility
