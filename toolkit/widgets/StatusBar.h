// StatusBar: the one-part status line at the bottom of a window; its text is
// the element text. The owner sizes and places it.
#pragma once

#include <string>

#include "toolkit/core/Child.h"

namespace QVUtility {

class StatusBar : public Child {
public:
    StatusBar(GUIElement* parent, const std::string& initialText);

    void Create() override;
};

}  // namespace QVUtility
