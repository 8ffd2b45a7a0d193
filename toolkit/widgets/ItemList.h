// The item lists of ComboBox and ListBox: each item a shown text and a hidden
// value, kept in two vectors beside the native control's own list.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace QVUtility::ItemList {

// The entry at `index`. An index outside the list (-1 included) reads the
// last entry; an empty list reads as an empty text.
inline const std::wstring& At(const std::vector<std::wstring>& list, int index) {
    static const std::wstring none;
    if (list.empty()) return none;
    const size_t slot = static_cast<size_t>(static_cast<unsigned>(index));
    return slot < list.size() ? list[slot] : list.back();
}

// Shows every text in the control, in order, with `addMessage`
// (CB_ADDSTRING or LB_ADDSTRING); nothing without a window.
inline void Show(HWND window, UINT addMessage, const std::vector<std::wstring>& texts) {
    if (window == nullptr) return;
    for (const std::wstring& itemText : texts)
        SendMessageW(window, addMessage, 0, reinterpret_cast<LPARAM>(itemText.c_str()));
}

// Removes item `index` from the control with `deleteMessage` (CB_DELETESTRING
// or LB_DELETESTRING), then from texts and values. False, and nothing
// removed, for an index outside the list or when the control refuses.
inline bool Remove(HWND window, UINT deleteMessage, std::vector<std::wstring>& texts, std::vector<std::wstring>& values,
                   int index) {
    static_assert(CB_ERR == LB_ERR, "both controls refuse with the same answer");
    if (index < 0 || static_cast<size_t>(index) >= texts.size()) return false;
    if (window != nullptr && SendMessageW(window, deleteMessage, static_cast<WPARAM>(index), 0) == LB_ERR) return false;
    texts.erase(texts.begin() + index);
    if (static_cast<size_t>(index) < values.size()) values.erase(values.begin() + index);
    return true;
}

// Removes the items of `list` (a ComboBox or a ListBox) from the last to the
// first through its own RemoveItem; stops at the first one refused.
template <typename List>
void RemoveAll(List& list) {
    for (int index = list.Count() - 1; index >= 0; --index)
        if (!list.RemoveItem(index)) break;
}

}  // namespace QVUtility::ItemList
