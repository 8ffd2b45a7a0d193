// What assistive technology reads of the toolkit's controls, through the
// platform's interface inside the test process: captions as a person says
// them, the kinds' roles and the window's states, a field named by its
// owner, and an object that outlives its element.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

#include "WidgetTestSupport.h"
#include "toolkit/core/Accessible.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

using namespace QVUtility;
using widgettest::Pump;

namespace {

TEST(SpokenCaption, IsTheCaptionWithoutMnemonicKeyAndColon) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"&Descrizione:", L"Descrizione"},
        {L"Costo Giornaliero:", L"Costo Giornaliero"},
        {L"Costi && &ricavi", L"Costi & ricavi"},
        {L"&Nuovo\tCtrl+N", L"Nuovo"},
        {L"  Data :  ", L"Data"},
        {L"Stampa...", L"Stampa..."},
        {L"&", L""},
        {L"::", L""},
    };
    for (const auto& [caption, spoken] : cases) EXPECT_EQ(SpokenCaption(caption), spoken) << caption;
}

// The object of a window's client, as a screen reader gets it.
IAccessible* ObjectOf(HWND window) {
    void* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), &object))) return nullptr;
    return static_cast<IAccessible*>(object);
}

std::wstring NameOf(IAccessible* object) {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (FAILED(object->get_accName(self, &name)) || name == nullptr) return std::wstring();
    std::wstring text(name, SysStringLen(name));
    SysFreeString(name);
    return text;
}

long StateOf(IAccessible* object) {
    VARIANT self{}, state{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return SUCCEEDED(object->get_accState(self, &state)) && state.vt == VT_I4 ? state.lVal : -1;
}

TEST(AccessibleControls, TellTheirNamesRolesAndStatesAndOutliveTheirElements) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Form* form = widgettest::OpenForm(L"Accessibilità", 0, 0, 400, 200);
    auto* label = new Label(form, "&Risorse:");
    label->Create();
    auto* box = new TextBox(form, "12");
    box->accessibleName = L"Risorse";
    box->y = 40;
    box->Create();
    auto* check = new CheckBox(form, "Lun");
    check->accessibleName = L"Lunedì";
    check->y = 80;
    check->checkState = 1;
    check->Create();
    Pump(50);

    IAccessible* labelObject = ObjectOf(label->window);
    IAccessible* boxObject = ObjectOf(box->window);
    IAccessible* checkObject = ObjectOf(check->window);
    ASSERT_NE(labelObject, nullptr);
    ASSERT_NE(boxObject, nullptr);
    ASSERT_NE(checkObject, nullptr);
    EXPECT_EQ(NameOf(labelObject), L"Risorse");
    EXPECT_EQ(NameOf(boxObject), L"Risorse") << "the owner's name, not the field's text";
    EXPECT_EQ(NameOf(checkObject), L"Lunedì");

    // The states follow the windows: checked, disabled, focused.
    EXPECT_TRUE(StateOf(checkObject) & STATE_SYSTEM_CHECKED);
    check->checkState = 0;
    check->ApplyChecked();
    EXPECT_FALSE(StateOf(checkObject) & STATE_SYSTEM_CHECKED);
    box->SetEnabled(false);
    EXPECT_TRUE(StateOf(boxObject) & STATE_SYSTEM_UNAVAILABLE);
    box->SetEnabled(true);
    box->Focus();
    EXPECT_TRUE(StateOf(boxObject) & STATE_SYSTEM_FOCUSED);
    EXPECT_FALSE(StateOf(checkObject) & STATE_SYSTEM_FOCUSED);

    // An object a screen reader still holds after its element went (the
    // window stays with the form): the platform's answer, no harm.
    const HWND boxWindow = box->window;
    delete box;
    void* platform = nullptr;
    ASSERT_TRUE(SUCCEEDED(CreateStdAccessibleObject(boxWindow, OBJID_CLIENT, __uuidof(IAccessible), &platform)));
    EXPECT_EQ(NameOf(boxObject), NameOf(static_cast<IAccessible*>(platform)));
    static_cast<IAccessible*>(platform)->Release();
    labelObject->Release();
    boxObject->Release();
    checkObject->Release();
    delete check;
    delete label;
    delete form;
    Pump(20);
}

}  // namespace
