#include "toolkit/widgets/GroupBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

GroupBox::GroupBox(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, TypeKeyword::GroupBox, Widen(caption), 150, 150) {}

void GroupBox::Create() { CreateControl(L"Button", BS_GROUPBOX); }

}  // namespace QVUtility
