#include "toolkit/widgets/CheckBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

CheckBox::CheckBox(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, TypeKeyword::CheckBox, Widen(caption), 80, 30) {}

void CheckBox::Create() {
    if (created) return;
    CreateControl(L"Button", WS_TABSTOP | BS_CHECKBOX | (multiLine ? BS_MULTILINE : 0));
    ApplyChecked();
}

void CheckBox::ApplyChecked() {
    if (window == nullptr) return;
    SendMessageW(window, BM_SETCHECK, checkState ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::IsChecked() {
    if (window == nullptr) return checkState != 0;
    checkState = SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    return checkState != 0;
}

void CheckBox::ToggleChecked() {
    checkState = IsChecked() ? 0 : 1;
    ApplyChecked();
}

}  // namespace QVUtility
