#include "toolkit/widgets/CurrencyBox.h"

#include <cmath>
#include <cstdio>

#include "model/FormatAmount.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

constexpr int MaxTypedCharacters = 9;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

CurrencyBox::CurrencyBox(GUIElement* parentElement, double value) : TextBox(parentElement, std::string()) {
    const MyApp::AmountFormat regional = MyApp::UserAmountFormat();
    if (!regional.decimalSeparator.empty() && !IsDigit(regional.decimalSeparator[0]))
        decimalSeparator = regional.decimalSeparator[0];
    groupSizes = regional.grouping;
    const bool grouped = !regional.groupSeparator.empty() && !IsDigit(regional.groupSeparator[0]) &&
                         MyApp::GroupDigits("1000", "x", groupSizes) != "1000";
    thousandsSeparator = grouped ? regional.groupSeparator[0] : ',';
    if (!grouped) groupSizes.clear();
    // Two equal separators could not be told apart.
    if (thousandsSeparator == decimalSeparator) {
        thousandsSeparator = decimalSeparator == ',' ? '.' : ',';
        groupSizes.clear();
    }
    text = Widen(FormatValue(value));
    maxLength = MaxTypedCharacters;
    if (window != nullptr) SendMessageW(window, EM_LIMITTEXT, MaxTypedCharacters, 0);
}

std::string CurrencyBox::FormatValue(double value) const {
    if (!std::isfinite(value)) return "0";
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    char buffer[400];
    if (magnitude >= 1e15) {
        std::snprintf(buffer, sizeof buffer, "%.15g", magnitude);
        std::string plain(buffer);
        for (char& c : plain)
            if (c == '.') c = decimalSeparator;
        return (negative ? "-" : "") + plain;
    }
    const int integerDigits = magnitude < 1 ? 1 : static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    const int decimals = integerDigits >= 15 ? 0 : 15 - integerDigits;
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, magnitude);
    std::string plain(buffer);
    const size_t point = plain.find('.');
    std::string integer = plain.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : plain.substr(point + 1);
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();

    std::string out = MyApp::GroupDigits(integer, std::string(1, thousandsSeparator), groupSizes);
    if (!fraction.empty()) out += decimalSeparator + fraction;
    if (negative && out != "0") out.insert(out.begin(), '-');
    return out;
}

MyApp::TypedAmount CurrencyBox::ReadText(const std::string& narrowText, double& value) const {
    MyApp::AmountSeparators separators;
    separators.decimal = decimalSeparator;
    separators.group = thousandsSeparator;
    separators.grouping = groupSizes;
    separators.allowNegative = allowNegative != 0;
    return MyApp::ReadTypedAmount(narrowText, separators, value);
}

bool CurrencyBox::ParseText(const std::string& narrowText, double& value) const {
    return ReadText(narrowText, value) == MyApp::TypedAmount::Valid;
}

bool CurrencyBox::Misgrouped() {
    double value = 0;
    return ReadText(GetTextNarrow(), value) == MyApp::TypedAmount::Misgrouped;
}

double CurrencyBox::GetAmount() {
    double value = 0;
    return ParseText(GetTextNarrow(), value) ? value : 0.0;
}

bool CurrencyBox::HasAmount() {
    double value = 0;
    return ParseText(GetTextNarrow(), value);
}

void CurrencyBox::SetAmount(double value) { SetTextNarrow(FormatValue(value)); }

bool CurrencyBox::OnChar(int character) {
    if (character == L'\t') return false;
    if (character == L'\b') return true;
    const std::wstring current = GetText();
    if (allowNegative && character == L'-') {
        if (current.empty()) return true;
        if (current[0] != L'-') {
            SetText(L"-" + current);
            if (window != nullptr) SendMessageW(window, EM_SETSEL, 1, -1);
            return false;
        }
    }
    const std::wstring decimal = Widen(std::string(1, decimalSeparator));
    const std::wstring thousands = Widen(std::string(1, thousandsSeparator));
    if (!decimal.empty() && character == decimal[0]) return current.find(decimal[0]) == std::wstring::npos;
    if (!thousands.empty() && character == thousands[0]) return current.find(thousands[0]) == std::wstring::npos;
    if (character >= L'0' && character <= L'9') return onChar != nullptr ? onChar(this, character) : true;
    return false;
}

void CurrencyBox::OnGotFocus() {
    if (window != nullptr) SendMessageW(window, EM_SETSEL, 0, -1);
    TextBox::OnGotFocus();
}

void CurrencyBox::OnLostFocus() {
    // A text that is no amount is left for the owner to point out rather
    // than silently replaced by 0.
    double value = 0;
    if (ParseText(GetTextNarrow(), value)) SetTextNarrow(FormatValue(value));
    TextBox::OnLostFocus();
}

}  // namespace QVUtility
