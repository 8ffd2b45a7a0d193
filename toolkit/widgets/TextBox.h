// Text fields: the "edit" control with its option flags.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "toolkit/core/Child.h"

namespace QVUtility {

class TextBox : public Child {
public:
    TextBox(GUIElement* parent, const std::string& initialText);

    int maxLength = -1;              // EM_LIMITTEXT at creation unless -1
    std::uint8_t multiLine = 0;      // ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
    std::uint8_t horizontalBar = 0;  // WS_HSCROLL
    std::uint8_t verticalBar = 0;    // WS_VSCROLL
    std::uint8_t readOnly = 0;       // ES_READONLY
    std::uint8_t numbersOnly = 0;    // ES_NUMBER
    std::uint8_t password = 0;       // password character '*'
    std::uint8_t lowerCase = 0;      // ES_LOWERCASE unless upperCase
    std::uint8_t upperCase = 0;      // ES_UPPERCASE, wins over lowerCase
    std::uint8_t alignRight = 0;     // ES_RIGHT, wins over alignCenter
    std::uint8_t alignCenter = 0;    // ES_CENTER
    std::uint8_t border = 1;         // WS_BORDER and a sunken client edge
    std::uint8_t wordWrap = 0;       // with multiLine: no ES_AUTOHSCROLL

    void Create() override;

    // Re-applies the flags to an existing window.
    void ApplyStyle();

    // The window style the flags stand for.
    DWORD EditStyle() const;
};

}  // namespace QVUtility
