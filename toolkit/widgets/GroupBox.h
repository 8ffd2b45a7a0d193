// GroupBox: a frame with a caption around related controls.
#pragma once

#include <string>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"

namespace QVUtility {

class GroupBox : public Child, public CommandElement {
public:
    GroupBox(GUIElement* parent, const std::string& caption);

    void Create() override;
};

}  // namespace QVUtility
