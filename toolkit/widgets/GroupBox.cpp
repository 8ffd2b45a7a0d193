#include "toolkit/widgets/GroupBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

GroupBox::GroupBox(GUIElement* parentElement, const std::string& caption) : Child(nullptr) {
    parent = parentElement;
    typeKeyword = TypeKeyword::GroupBox;
    text = Widen(caption);
    width = 150;
    height = 150;
}

void GroupBox::Create() { CreateControl(L"Button", BS_GROUPBOX); }

}  // namespace QVUtility
