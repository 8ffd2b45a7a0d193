// Label: a line (or a few lines) of static text.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/Child.h"

namespace QVUtility {

class Label : public Child {
public:
    Label(GUIElement* parent, const std::string& caption);

    std::uint8_t border = 0;
    std::uint8_t alignRight = 0;  // wins over alignCenter
    std::uint8_t alignCenter = 0;

    void Create() override;
};

}  // namespace QVUtility
