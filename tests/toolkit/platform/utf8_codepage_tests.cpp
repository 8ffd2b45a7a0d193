// Text between the controls and the narrow strings of the program when the
// system code page is UTF-8 (this program's manifest asks for it).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/toolkit/ToolkitTestSupport.h"
#include "toolkit/core/Form.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/TextBox.h"

using namespace QVUtility;

TEST(Utf8CodePage, TextsOfControlsNarrowWhole) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(CP_UTF8)) << "the manifest sets the code page";
    EXPECT_EQ(NarrowingFlags(GetACP()), 0u);

    const std::wstring wide = L"\u0141\u00F3d\u017A, citt\u00E0 \u20AC \U0001F3E0";
    const std::string utf8 =
        "\xC5\x81\xC3\xB3"
        "d\xC5\xBA, citt\xC3\xA0 \xE2\x82\xAC \xF0\x9F\x8F\xA0";
    EXPECT_EQ(Narrow(wide), utf8);
    EXPECT_EQ(Widen(utf8), wide);
    EXPECT_EQ(CharactersLostInNarrowing(wide), L"") << "UTF-8 holds every character";

    ToolkitTest::UseTestDesktop();
    Form form(nullptr);
    form.Create();
    TextBox box(&form, "");
    box.Create();
    box.SetText(wide);
    EXPECT_EQ(box.GetTextNarrow(), utf8);
    box.SetTextNarrow(utf8);
    EXPECT_EQ(box.GetText(), wide);
}
