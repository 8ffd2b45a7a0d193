#include "toolkit/widgets/ListBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

const std::wstring& ItemAt(const std::vector<std::wstring>& list, int index) {
    static const std::wstring none;
    if (list.empty()) return none;
    const size_t slot = static_cast<size_t>(static_cast<unsigned>(index));
    return slot < list.size() ? list[slot] : list.back();
}

}  // namespace

ListBox::ListBox(GUIElement* parentElement) : Child(nullptr) {
    parent = parentElement;
    typeKeyword = TypeKeyword::ListBox;
    width = 130;
    height = 130;
}

void ListBox::Create() {
    if (created) return;
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY;
    if (border) style |= WS_BORDER;
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(L"ListBox", style, border ? WS_EX_CLIENTEDGE : 0);
    SubclassWindow();
    created = true;
    if (window != nullptr)
        for (const std::wstring& itemText : texts)
            SendMessageW(window, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(itemText.c_str()));
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

std::wstring ListBox::GetItemText(int index) const { return ItemAt(texts, index); }

std::wstring ListBox::GetItemValue(int index) const { return ItemAt(values, index); }

bool ListBox::RemoveItem(int index) {
    if (index < 0 || static_cast<size_t>(index) >= texts.size()) return false;
    if (window != nullptr && SendMessageW(window, LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR)
        return false;
    texts.erase(texts.begin() + index);
    if (static_cast<size_t>(index) < values.size()) values.erase(values.begin() + index);
    return true;
}

void ListBox::Clear() {
    for (int index = Count() - 1; index >= 0; --index)
        if (!RemoveItem(index)) break;
}

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
