#include "toolkit/widgets/ListBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/ItemList.h"

namespace QVUtility {

ListBox::ListBox(GUIElement* parentElement) : Child(parentElement, TypeKeyword::ListBox, std::wstring(), 130, 130) {}

void ListBox::Create() {
    if (created) return;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY;
    if (border) style |= WS_BORDER;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(L"ListBox", style, border ? WS_EX_CLIENTEDGE : 0);
    SubclassWindow();
    created = true;
    ItemList::Show(window, LB_ADDSTRING, texts);
    CreateTooltip(window);
    ApplyFont();
}

void ListBox::AddItem(const std::string& itemText, const std::string& itemValue) {
    texts.push_back(Widen(itemText));
    values.push_back(Widen(itemValue));
    if (window != nullptr) SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts.back().c_str()));
}

void ListBox::InsertItem(int index, const std::string& itemText, const std::string& itemValue) {
    if (index < 0 || static_cast<size_t>(index) >= texts.size()) {
        AddItem(itemText, itemValue);
        return;
    }
    const auto at = texts.insert(texts.begin() + index, Widen(itemText));
    if (static_cast<size_t>(index) <= values.size()) values.insert(values.begin() + index, Widen(itemValue));
    if (window != nullptr)
        SendMessageW(window, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(at->c_str()));
}

int ListBox::Count() const { return static_cast<int>(texts.size()); }

std::wstring ListBox::GetItemText(int index) const { return ItemList::At(texts, index); }

std::wstring ListBox::GetItemValue(int index) const { return ItemList::At(values, index); }

bool ListBox::RemoveItem(int index) { return ItemList::Remove(window, LB_DELETESTRING, texts, values, index); }

void ListBox::Clear() { ItemList::RemoveAll(*this); }

void ListBox::SetDrawing(bool draw) {
    if (window == nullptr) return;
    SendMessageW(window, WM_SETREDRAW, draw ? TRUE : FALSE, 0);
    if (draw) InvalidateRect(window, nullptr, TRUE);
}

bool ListBox::Select(int index) {
    if (window == nullptr) return false;
    return SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(index), 0) != LB_ERR;
}

int ListBox::GetSelectedIndex() {
    if (window == nullptr) return -1;
    return static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0));
}

}  // namespace QVUtility
