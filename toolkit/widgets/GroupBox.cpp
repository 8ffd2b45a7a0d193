#include "toolkit/widgets/GroupBox.h"

#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

GroupBox::GroupBox(GUIElement* parentElement, const std::string& caption)
    : Child(parentElement, TypeKeyword::GroupBox, Widen(caption), 150, 150) {}

// The controls inside the frame are its children: Tab goes into it and out
// again in the order of the form's controls (WS_EX_CONTROLPARENT).
void GroupBox::Create() { CreateControl(L"Button", BS_GROUPBOX, WS_EX_CONTROLPARENT); }

}  // namespace QVUtility
