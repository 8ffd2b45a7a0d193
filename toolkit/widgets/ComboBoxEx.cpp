#include "toolkit/widgets/ComboBoxEx.h"

#include "toolkit/core/Accessible.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

constexpr UINT_PTR KeysSubclassId = 1;

// The keys typed in the inner combo box, which has the focus once the list
// was opened or reached by Tab. With the list open, Enter and Escape belong
// to it (they pick an item or close it again) and their characters go no
// further; otherwise Tab moves on through the form and Enter and Escape go to
// the element's own window, where the form hears them as it does in any
// other control.
LRESULT CALLBACK InnerComboKeys(HWND inner, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* owner = reinterpret_cast<ComboBoxEx*>(data);
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            owner->listHadKey = SendMessageW(inner, CB_GETDROPPEDSTATE, 0, 0) != 0;
            if (wParam == VK_ESCAPE && owner->listHadKey) {
                // Escape gives up what the arrows chose in the open list.
                const LRESULT answer = DefSubclassProc(inner, message, wParam, lParam);
                owner->RestoreSelectionAtDrop();
                return answer;
            }
        } else if (wParam == VK_TAB && owner->window != nullptr) {
            SendMessageW(owner->window, WM_KEYDOWN, wParam, lParam);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\t') return 0;
        if (wParam == L'\r' || wParam == VK_ESCAPE) {
            const bool listHadKey = owner->listHadKey;
            owner->listHadKey = false;
            if (!listHadKey && owner->window != nullptr) SendMessageW(owner->window, WM_CHAR, wParam, lParam);
            return 0;
        }
        break;
    case WM_GETOBJECT: {
        // The inner box has the focus: assistive technology asks it, and
        // hears of the element.
        bool answered = false;
        const LRESULT object = AnswerAccessibleObject(owner, inner, wParam, lParam, answered);
        if (answered) return object;
        break;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(inner, &InnerComboKeys, KeysSubclassId);
        if (owner->innerCombo == inner) owner->innerCombo = nullptr;
        break;
    default: break;
    }
    return DefSubclassProc(inner, message, wParam, lParam);
}

}  // namespace

ComboBoxEx::ComboBoxEx(GUIElement* parentElement, HIMAGELIST* source)
    : ComboBox(parentElement), imageListSource(source) {
    typeKeyword = TypeKeyword::ComboBoxEx;
}

ComboBoxEx::~ComboBoxEx() {
    if (innerCombo != nullptr && IsWindow(innerCombo))
        RemoveWindowSubclass(innerCombo, &InnerComboKeys, KeysSubclassId);
}

bool ComboBoxEx::OnDropDownHook() {
    selectionAtDrop = GetSelectedIndex();
    return ComboBox::OnDropDownHook();
}

void ComboBoxEx::RestoreSelectionAtDrop() {
    if (selectionAtDrop < 0 || selectionAtDrop == GetSelectedIndex()) return;
    Select(selectionAtDrop);
    if (onCommand != nullptr) onCommand(this);
}

void ComboBoxEx::Focus() {
    if (!created) return;
    SetFocus(innerCombo != nullptr ? innerCombo : window);
}

void ComboBoxEx::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&classes);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | (dropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
    if (!enabled) style |= WS_DISABLED;
    CreateChildWindow(WC_COMBOBOXEXW, style);
    SubclassWindow();
    created = true;
    if (window != nullptr) {
        if (imageListSource != nullptr)
            SendMessageW(window, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(*imageListSource));
        for (size_t slot = 0; slot < texts.size(); ++slot) InsertNative(slot);
        innerCombo = reinterpret_cast<HWND>(SendMessageW(window, CBEM_GETCOMBOCONTROL, 0, 0));
        if (innerCombo != nullptr &&
            !SetWindowSubclass(innerCombo, &InnerComboKeys, KeysSubclassId, reinterpret_cast<DWORD_PTR>(this)))
            innerCombo = nullptr;
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
