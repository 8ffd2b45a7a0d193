// ComboBox: a drop-down list of items, each a shown text and a hidden value
// (for example a colour number behind its name). Selection changes reach
// onCommand through the window procedure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"

namespace QVUtility {

class ComboBox : public Child, public CommandElement {
public:
    explicit ComboBox(GUIElement* parent);

    std::uint8_t dropDownList = 1;  // 1 pick-only list, 0 editable; read at creation
    std::vector<std::wstring> texts;
    std::vector<std::wstring> values;

    void Create() override;
    bool OnDropDownHook() override;  // the list opens: true lets it
    bool OnCloseUpHook() override;   // the list closes: true lets it

    virtual void AddItem(const std::wstring& itemText, const std::wstring& itemValue);
    virtual int Count();
    // An index outside the list (-1 included) reads the last item; an empty
    // list reads as an empty text.
    virtual std::wstring GetItemText(int index);
    virtual std::wstring GetItemValue(int index);
    virtual bool RemoveItem(int index);
    virtual void Clear();
    virtual int GetSelectedIndex();
    virtual void ClearSelection();
    virtual bool Select(int index);
    virtual void SetDropDownList(bool flag);

    std::string GetItemValueNarrow(int index);
};

}  // namespace QVUtility
