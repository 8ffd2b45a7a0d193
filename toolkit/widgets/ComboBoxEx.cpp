#include "toolkit/widgets/ComboBoxEx.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

ComboBoxEx::ComboBoxEx(GUIElement* parentElement, HIMAGELIST* source)
    : ComboBox(parentElement), imageListSource(source) {
    typeKeyword = TypeKeyword::ComboBoxEx;
}

void ComboBoxEx::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&classes);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | (dropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(WC_COMBOBOXEXW, style);
    SubclassWindow();
    created = true;
    if (window != nullptr) {
        if (imageListSource != nullptr)
            SendMessageW(window, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(*imageListSource));
        for (size_t slot = 0; slot < texts.size(); ++slot) InsertNative(slot);
    }
    CreateTooltip(window);
    ApplyFont();
    ReadWindowSize();
}

bool ComboBoxEx::InsertNative(size_t slot) {
    if (window == nullptr || slot >= texts.size()) return false;
    std::wstring shown = texts[slot].substr(0, 254);
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = static_cast<INT_PTR>(slot);
    item.pszText = &shown[0];
    item.cchTextMax = static_cast<int>(shown.size());
    item.iImage = slot < images.size() ? images[slot] : 0;
    item.iSelectedImage = slot < selectedImages.size() ? selectedImages[slot] : 0;
    item.iIndent = slot < indents.size() ? indents[slot] : 0;
    if (SendMessageW(window, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) == -1) {
        IgnorePlatformError("ComboBoxEx: item not shown; it stays in the lists");
        return false;
    }
    return true;
}

void ComboBoxEx::ReadWindowSize() {
    RECT box{};
    if (window == nullptr || !GetWindowRect(window, &box)) return;
    width = box.right - box.left;
    height = box.bottom - box.top;
}

void ComboBoxEx::AddItem(const std::wstring& itemText, const std::wstring& itemValue) {
    AddItem(itemText, itemValue, 0, 0, 0);
}

void ComboBoxEx::AddItem(const std::wstring& itemText, const std::wstring& itemValue, int image, int selectedImage,
                         int indent) {
    texts.push_back(itemText);
    values.push_back(itemValue);
    images.push_back(image);
    selectedImages.push_back(selectedImage);
    indents.push_back(indent);
    if (window != nullptr && InsertNative(texts.size() - 1)) ReadWindowSize();
}

void ComboBoxEx::AddColourItem(const std::string& itemText, const std::string& itemValue, int index) {
    AddItem(Widen(itemText), Widen(itemValue), index, index, 0);
}

bool ComboBoxEx::RemoveItem(int index) {
    if (!ComboBox::RemoveItem(index)) return false;
    const size_t slot = static_cast<size_t>(index);
    if (slot < images.size()) images.erase(images.begin() + index);
    if (slot < selectedImages.size()) selectedImages.erase(selectedImages.begin() + index);
    if (slot < indents.size()) indents.erase(indents.begin() + index);
    return true;
}

}  // namespace QVUtility
