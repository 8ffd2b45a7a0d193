#include "toolkit/widgets/ComboBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/ItemList.h"

namespace QVUtility {

ComboBox::ComboBox(GUIElement* parentElement) : Child(parentElement, TypeKeyword::ComboBox, std::wstring(), 80, 130) {}

void ComboBox::Create() {
    if (created) return;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | (dropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(L"Combobox", style);
    SubclassWindow();
    created = true;
    ItemList::Show(window, CB_ADDSTRING, texts);
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

std::wstring ComboBox::GetItemText(int index) { return ItemList::At(texts, index); }

std::wstring ComboBox::GetItemValue(int index) { return ItemList::At(values, index); }

std::string ComboBox::GetItemValueNarrow(int index) { return Narrow(GetItemValue(index)); }

bool ComboBox::RemoveItem(int index) { return ItemList::Remove(window, CB_DELETESTRING, texts, values, index); }

void ComboBox::Clear() { ItemList::RemoveAll(*this); }

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
