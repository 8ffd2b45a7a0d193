#include "toolkit/widgets/ComboBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

ComboBox::ComboBox(GUIElement* parentElement) : Child(nullptr) {
    parent = parentElement;
    typeKeyword = TypeKeyword::ComboBox;
    width = 80;
    height = 130;
}

void ComboBox::Create() {
    if (created) return;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | (dropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(L"Combobox", style);
    SubclassWindow();
    created = true;
    if (window != nullptr)
        for (const std::wstring& itemText : texts)
            SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(itemText.c_str()));
    CreateTooltip(window);
    ApplyFont();
}

bool ComboBox::OnDropDownHook() { return true; }
bool ComboBox::OnCloseUpHook() { return true; }

void ComboBox::AddItem(const std::wstring& itemText, const std::wstring& itemValue) {
    texts.push_back(itemText);
    values.push_back(itemValue);
    if (window != nullptr) SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(itemText.c_str()));
}

int ComboBox::Count() { return static_cast<int>(texts.size()); }

namespace {

std::wstring ItemAt(const std::vector<std::wstring>& list, int index) {
    if (list.empty()) return std::wstring();
    const size_t slot = static_cast<size_t>(static_cast<unsigned>(index));
    return slot < list.size() ? list[slot] : list.back();
}

}  // namespace

std::wstring ComboBox::GetItemText(int index) { return ItemAt(texts, index); }

std::wstring ComboBox::GetItemValue(int index) { return ItemAt(values, index); }

std::string ComboBox::GetItemValueNarrow(int index) { return Narrow(GetItemValue(index)); }

bool ComboBox::RemoveItem(int index) {
    if (index < 0 || static_cast<size_t>(index) >= texts.size()) return false;
    if (window != nullptr && SendMessageW(window, CB_DELETESTRING, static_cast<WPARAM>(index), 0) == CB_ERR)
        return false;
    texts.erase(texts.begin() + index);
    if (static_cast<size_t>(index) < values.size()) values.erase(values.begin() + index);
    return true;
}

void ComboBox::Clear() {
    for (int index = Count() - 1; index >= 0; --index)
        if (!RemoveItem(index)) break;
}

int ComboBox::GetSelectedIndex() {
    if (window == nullptr) return -1;
    return static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0));
}

void ComboBox::ClearSelection() { Select(-1); }

bool ComboBox::Select(int index) {
    if (window == nullptr) return false;
    return SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(index), 0) != CB_ERR;
}

void ComboBox::SetDropDownList(bool flag) { dropDownList = flag ? 1 : 0; }

}  // namespace QVUtility
