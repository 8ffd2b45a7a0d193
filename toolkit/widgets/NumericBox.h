// NumericBox: an up-down (spin) control attached to a buddy element, usually
// a numbers-only TextBox, holding an integer between minimum and maximum.
#pragma once

#include <optional>

#include "toolkit/core/Child.h"

namespace QVUtility {

class NumericBox;
using ValueHandler = void (*)(NumericBox* box, int value);

class NumericBox : public Child {
public:
    NumericBox(GUIElement* parent, GUIElement* buddyElement);

    int minimum = 0;
    int maximum = 100000;
    int value = 0;                   // last known position
    GUIElement* buddy = nullptr;     // shows the number; not owned
    ValueHandler onValue = nullptr;  // new, clamped value after a spin

    void Create() override;

    // The position the control holds; the minimum when the buddy's text is
    // not a number in range (for example "abc").
    int GetValue();
    // The number the buddy shows when it is one within the range; none for
    // a text out of range or not a number, which GetValue would read as the
    // minimum. Without a window the last known value.
    std::optional<int> TypedValue();
    // Stores the value and shows it (the control limits it to the range).
    void SetValue(int newValue);

    // The user spins: the proposed position is clamped to the range, then
    // onValue and onTextChanged run.
    void OnPositionChange(int proposed) override;

    // Sits at the buddy's right end again, taking its part of the buddy
    // (after the buddy was moved or resized, or the screen changed).
    void FollowBuddy();

private:
    static constexpr int ArrowsWidth = 16;  // at 96 DPI
};

}  // namespace QVUtility
