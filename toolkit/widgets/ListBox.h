// ListBox: a list of items, each a shown text and a hidden value. Selection
// changes reach onCommand through the window procedure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"

namespace QVUtility {

class ListBox : public Child, public CommandElement {
public:
    explicit ListBox(GUIElement* parent);

    std::uint8_t border = 1;  // WS_BORDER and a sunken client edge
    std::vector<std::wstring> texts;
    std::vector<std::wstring> values;

    void Create() override;

    // Narrow text and value (system code page).
    void AddItem(const std::string& itemText, const std::string& itemValue);
    // The same at `index` (0 .. Count); an index outside that appends.
    void InsertItem(int index, const std::string& itemText, const std::string& itemValue);
    int Count() const;
    // An index outside the list (-1 included) reads the last item; an empty
    // list reads as an empty text.
    std::wstring GetItemText(int index) const;
    std::wstring GetItemValue(int index) const;
    bool RemoveItem(int index);
    void Clear();
    bool Select(int index);
    // Stops (false) and resumes (true) drawing the list, so that many items
    // are added or removed at the cost of one paint; resuming repaints it.
    void SetDrawing(bool draw);
    int GetSelectedIndex();
};

}  // namespace QVUtility
