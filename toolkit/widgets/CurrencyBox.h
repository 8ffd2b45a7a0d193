// CurrencyBox: a text field for money amounts in the user's number format.
// Only digits and the regional separators can be typed, and the text is
// written again in the regional format when the field loses the focus
// ("1234,5" becomes "1.234,5" under Italian settings). A thousands
// separator must be followed by three digits: "12.5" is no amount here.
#pragma once

#include <cstdint>
#include <string>

#include "model/NumberText.h"
#include "toolkit/widgets/TextBox.h"

namespace QVUtility {

class CurrencyBox : public TextBox {
public:
    CurrencyBox(GUIElement* parent, double value);

    std::uint8_t allowNegative = 0;  // accept a leading minus sign
    char decimalSeparator = '.';     // regional, fixed at construction
    char thousandsSeparator = ',';   // regional; ',' when the settings group no digits

    // The amount the text shows; 0 for an empty text and for a text that is
    // not an amount at all (see HasAmount).
    double GetAmount();
    // False when the text is neither empty nor an amount (something pasted
    // past the character filter, a lone separator): owners can refuse it.
    bool HasAmount();
    // True when the text would be an amount but for a thousands separator
    // where no thousands are ("12.5" typed for twelve and a half under
    // Italian settings): owners say so rather than read it as 125.
    bool Misgrouped();
    // Shows the amount in the field's format.
    void SetAmount(double value);

    // The field's text for an amount: the regional separators and digit
    // grouping, and every digit a user can type kept (no exponent below 10^15,
    // up to 15 significant digits), so that leaving the field never changes
    // the amount.
    std::string FormatValue(double value) const;
    // Reads an amount written with the field's separators (a thousands
    // separator followed by exactly three digits); false when the text is
    // not one. An empty text reads as 0.
    bool ParseText(const std::string& narrowText, double& value) const;
    // The same reading, telling a misplaced thousands separator apart from a
    // text that is no amount at all.
    MyApp::TypedAmount ReadText(const std::string& narrowText, double& value) const;

    bool OnChar(int character) override;
    void OnGotFocus() override;
    void OnLostFocus() override;

private:
    std::string groupSizes;  // regional grouping, Windows form ("3;0")
};

}  // namespace QVUtility
