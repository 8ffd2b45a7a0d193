// Text inputs, choice inputs, buttons and static elements on real controls.
// The tests run with Italian regional settings (decimal ",", thousands ".").

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "inputs_resources.h"
#include "toolkit/core/Form.h"
#include "toolkit/draw/BitmapFile.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/CheckBox.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/ComboBoxEx.h"
#include "toolkit/widgets/CurrencyBox.h"
#include "toolkit/widgets/DatePicker.h"
#include "toolkit/widgets/Image.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/ListBox.h"
#include "toolkit/widgets/NumericBox.h"
#include "toolkit/widgets/TextBox.h"

using namespace QVUtility;
using widgettest::Pump;

namespace {

DWORD StyleOf(const GUIElement& element) { return static_cast<DWORD>(GetWindowLongPtrW(element.window, GWL_STYLE)); }

std::wstring NativeText(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

// Types one character into a field as the keyboard would: the field has the
// focus and the character comes as WM_CHAR through the window procedure.
void Type(GUIElement& field, const std::wstring& characters) {
    for (wchar_t c : characters) SendMessageW(field.window, WM_CHAR, c, 1);
}

// One form for the whole program: making and closing top-level windows is
// slow without a window manager.
class WidgetTest : public widgettest::OwningTest {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                                     ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&classes);
        form = widgettest::OpenForm(L"Prove dei controlli", 20, 20, 700, 500);
    }
    static void TearDownTestSuite() {
        delete form;
        form = nullptr;
    }

    static Form* form;
};

Form* WidgetTest::form = nullptr;

// Narrow texts are in the system code page (Windows-1252): "\xE0" is "à".

// Calls recorded by the plain handlers below.
int commandCount = 0;
GUIElement* lastCommand = nullptr;
int textChangedCount = 0;
std::vector<int> spunValues;
std::vector<SYSTEMTIME> changedDates;

void CountCommand(GUIElement* element) {
    ++commandCount;
    lastCommand = element;
}
void CountTextChange(GUIElement*) { ++textChangedCount; }
void RecordSpin(NumericBox*, int value) { spunValues.push_back(value); }
void RecordDate(DatePicker*, SYSTEMTIME date) { changedDates.push_back(date); }
bool RefuseSeven(GUIElement*, int character) { return character != L'7'; }

void ResetRecords() {
    commandCount = 0;
    lastCommand = nullptr;
    textChangedCount = 0;
    spunValues.clear();
    changedDates.clear();
}

// ---- TextBox -------------------------------------------------------------

TEST_F(WidgetTest, TextBoxConflictingFlagsAndLaterChanges) {
    auto* box = Own(new TextBox(form, "propriet\xE0"));
    box->upperCase = 1;
    box->lowerCase = 1;
    box->alignRight = 1;
    box->alignCenter = 1;
    box->maxLength = 12;
    box->password = 1;
    box->Create();
    ASSERT_NE(box->window, nullptr);
    const DWORD style = StyleOf(*box);
    EXPECT_TRUE(style & ES_UPPERCASE);
    EXPECT_FALSE(style & ES_LOWERCASE);
    EXPECT_TRUE(style & ES_RIGHT);
    EXPECT_FALSE(style & ES_CENTER);
    EXPECT_EQ(SendMessageW(box->window, EM_GETLIMITTEXT, 0, 0), 12);
    // The password is hidden from the start.
    EXPECT_EQ(SendMessageW(box->window, EM_GETPASSWORDCHAR, 0, 0), L'*');
    EXPECT_EQ(box->GetText(), L"PROPRIET\u00C0") << "narrow text widened from the system code page, then upper case";
    EXPECT_EQ(box->typeKeyword, "textbox");

    // Flags changed later reach the window through ApplyStyle.
    box->readOnly = 1;
    box->password = 0;
    box->ApplyStyle();
    EXPECT_TRUE(StyleOf(*box) & ES_READONLY);
    EXPECT_EQ(SendMessageW(box->window, EM_GETPASSWORDCHAR, 0, 0), 0);
}

// ---- CurrencyBox ---------------------------------------------------------

TEST_F(WidgetTest, CurrencyBoxFollowsItalianSettings) {
    auto* box = Own(new CurrencyBox(form, 1234.5));
    EXPECT_EQ(box->decimalSeparator, ',');
    EXPECT_EQ(box->thousandsSeparator, '.');
    EXPECT_EQ(box->text, L"1.234,5");
    EXPECT_EQ(box->FormatValue(2500), "2.500");
    EXPECT_EQ(box->FormatValue(0), "0");
    EXPECT_EQ(box->FormatValue(0.1), "0,1");
    box->Create();
    EXPECT_EQ(SendMessageW(box->window, EM_GETLIMITTEXT, 0, 0), 9);
    EXPECT_DOUBLE_EQ(box->GetAmount(), 1234.5);
}

TEST_F(WidgetTest, CurrencyBoxLetsOnlyAmountCharactersThrough) {
    ResetRecords();
    auto* box = Own(new CurrencyBox(form, 0));
    box->Create();
    box->SetText(L"");
    Type(*box, L"12a34,5,-\t");
    EXPECT_EQ(NativeText(box->window), L"1234,5") << "letter, second comma, minus and Tab refused";
    Type(*box, L".9.");
    EXPECT_EQ(NativeText(box->window), L"1234,5.9") << "one thousands separator accepted, not two";
    Type(*box, L"\b");
    EXPECT_EQ(NativeText(box->window), L"1234,5.");

    // An owner's onChar decides about digits.
    box->SetText(L"");
    box->onChar = RefuseSeven;
    Type(*box, L"1778");
    EXPECT_EQ(NativeText(box->window), L"18");

    // With allowNegative a minus goes in front of the text, the key itself not.
    box->onChar = nullptr;
    box->allowNegative = 1;
    box->SetText(L"12");
    Type(*box, L"-");
    EXPECT_EQ(NativeText(box->window), L"-12");
    Type(*box, L"-");
    EXPECT_EQ(NativeText(box->window), L"-12");
    box->allowNegative = 0;

    // At most 9 characters can be typed.
    box->SetText(L"");
    Type(*box, L"12345678901");
    EXPECT_EQ(NativeText(box->window), L"123456789");
}

TEST_F(WidgetTest, CurrencyBoxNormalisesWhenLeavingTheField) {
    ResetRecords();
    auto* box = Own(new CurrencyBox(form, 0));
    auto* other = Own(new TextBox(form, ""));
    other->y = 200;
    box->onTextChanged = CountTextChange;
    box->Create();
    other->Create();

    SetFocus(box->window);
    Pump(10);
    DWORD selectionStart = 0, selectionEnd = 0;
    SendMessageW(box->window, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
                 reinterpret_cast<LPARAM>(&selectionEnd));
    EXPECT_EQ(selectionStart, 0u);
    EXPECT_EQ(selectionEnd, 1u) << "the whole text is selected on entry";
    SendMessageW(box->window, WM_CHAR, L'\b', 1);
    Type(*box, L"1234,5");
    SetFocus(other->window);
    Pump(10);
    EXPECT_EQ(NativeText(box->window), L"1.234,5");
    EXPECT_DOUBLE_EQ(box->GetAmount(), 1234.5);
    EXPECT_EQ(textChangedCount, 1);

    // Amounts of a million and more keep every digit.
    SetFocus(box->window);
    box->SetText(L"1234567");
    SetFocus(other->window);
    Pump(10);
    EXPECT_EQ(NativeText(box->window), L"1.234.567");
    EXPECT_DOUBLE_EQ(box->GetAmount(), 1234567.0);
    box->SetText(L"0,1234567");
    EXPECT_DOUBLE_EQ(box->GetAmount(), 0.1234567);
    EXPECT_EQ(box->FormatValue(0.1234567), "0,1234567");

    // An empty field is 0; a text that is no amount stays as it is and reads 0.
    SetFocus(box->window);
    box->SetText(L"");
    SetFocus(other->window);
    Pump(10);
    EXPECT_EQ(NativeText(box->window), L"0");
    SetFocus(box->window);
    box->SetText(L"abc");
    SetFocus(other->window);
    Pump(10);
    EXPECT_EQ(NativeText(box->window), L"abc");
    EXPECT_FALSE(box->HasAmount());
    EXPECT_EQ(box->GetAmount(), 0.0);
    box->SetText(L",");
    EXPECT_FALSE(box->HasAmount());
    box->SetText(L"-5");
    EXPECT_FALSE(box->HasAmount()) << "no negative amounts without allowNegative";
}

TEST_F(WidgetTest, CurrencyBoxWithoutDigitGroupingStillAcceptsOneComma) {
    auto* box = Own(new CurrencyBox(form, 0));
    // The separators of a setting with a decimal point and no grouping.
    box->decimalSeparator = '.';
    box->thousandsSeparator = ',';
    double value = 0;
    EXPECT_TRUE(box->ParseText("1,234.5", value));
    EXPECT_DOUBLE_EQ(value, 1234.5);
    box->Create();
    box->SetText(L"");
    Type(*box, L"1,2,3.4.5");
    EXPECT_EQ(NativeText(box->window), L"1,23.45");
}

TEST_F(WidgetTest, CurrencyBoxLeavesAMisplacedThousandsSeparatorToItsOwner) {
    auto* box = Own(new CurrencyBox(form, 0));
    auto* other = Own(new TextBox(form, ""));
    other->y = 200;
    box->Create();
    other->Create();
    SetFocus(box->window);
    box->SetText(L"12.5");
    SetFocus(other->window);
    Pump(10);
    EXPECT_EQ(NativeText(box->window), L"12.5") << "never rewritten as 125";
    EXPECT_TRUE(box->Misgrouped());
    EXPECT_FALSE(box->HasAmount());
    EXPECT_EQ(box->GetAmount(), 0.0);
    box->SetText(L"1.500");
    EXPECT_FALSE(box->Misgrouped());
    EXPECT_DOUBLE_EQ(box->GetAmount(), 1500.0);
    box->SetText(L"abc");
    EXPECT_FALSE(box->Misgrouped()) << "no amount at all is another fault";
}

// ---- NumericBox ----------------------------------------------------------

TEST_F(WidgetTest, NumericBoxTellsANumberOutOfRangeFromTheMinimum) {
    auto* buddy = Own(new TextBox(form, ""));
    buddy->numbersOnly = 1;
    buddy->y = 250;
    auto* spinner = Own(new NumericBox(form, buddy));
    spinner->Create();
    for (const wchar_t* outside : {L"500000", L"100001", L"-1", L"abc"}) {
        buddy->SetText(outside);
        EXPECT_FALSE(spinner->TypedValue().has_value()) << std::wstring(outside);
        EXPECT_EQ(spinner->GetValue(), 0) << "what GetValue reads instead";
    }
    for (int inside : {0, 7, 100000}) {
        buddy->SetText(std::to_wstring(inside));
        EXPECT_EQ(spinner->TypedValue(), std::optional<int>(inside));
    }
}

TEST_F(WidgetTest, NumericBoxReadsItsBuddyAndClampsSpins) {
    ResetRecords();
    auto* buddy = Own(new TextBox(form, ""));
    buddy->numbersOnly = 1;
    buddy->x = 10;
    buddy->y = 10;
    buddy->width = 100;
    buddy->height = 25;
    auto* spinner = Own(new NumericBox(form, buddy));
    spinner->value = 42;
    spinner->onValue = RecordSpin;
    spinner->onTextChanged = CountTextChange;
    spinner->Create();
    ASSERT_NE(spinner->window, nullptr);
    EXPECT_TRUE(buddy->created) << "the buddy is created with the spinner";
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spinner->window, UDM_GETBUDDY, 0, 0)), buddy->window);
    int low = -1, high = -1;
    SendMessageW(spinner->window, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 100000);
    EXPECT_EQ(spinner->GetValue(), 42);

    buddy->SetText(L"123");
    EXPECT_EQ(spinner->GetValue(), 123);
    buddy->SetText(L"abc");
    EXPECT_EQ(spinner->GetValue(), 0) << "an error answers the minimum";
    EXPECT_EQ(spinner->value, 0);
    spinner->minimum = 5;
    EXPECT_EQ(spinner->GetValue(), 5);
    spinner->minimum = 0;

    // A click on the upper arrow spins by one.
    spinner->SetValue(99999);
    RECT arrows{};
    GetClientRect(spinner->window, &arrows);
    const LPARAM upper = MAKELPARAM((arrows.right) / 2, (arrows.bottom) / 4);
    SendMessageW(spinner->window, WM_LBUTTONDOWN, MK_LBUTTON, upper);
    SendMessageW(spinner->window, WM_LBUTTONUP, 0, upper);
    Pump(20);
    ASSERT_FALSE(spunValues.empty());
    EXPECT_EQ(spunValues.back(), 100000);
    EXPECT_GE(textChangedCount, 1);

    // Proposals past either end are clamped before the handler sees them.
    spunValues.clear();
    NMUPDOWN change{};
    change.hdr.hwndFrom = spinner->window;
    change.hdr.idFrom = static_cast<UINT_PTR>(spinner->controlId);
    change.hdr.code = UDN_DELTAPOS;
    change.iPos = 100000;
    change.iDelta = 1;
    SendMessageW(form->window, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
    change.iPos = 0;
    change.iDelta = -3;
    SendMessageW(form->window, WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(spunValues, (std::vector<int>{100000, 0}));
}

// ---- ComboBox, ComboBoxEx, ListBox ---------------------------------------

TEST_F(WidgetTest, ComboBoxKeepsTextsAndValuesInStep) {
    ResetRecords();
    auto* combo = Own(new ComboBox(form));
    combo->AddItem(L"Alfa", L"1");
    combo->AddItem(L"Beta", L"2");
    EXPECT_FALSE(combo->Select(0)) << "no selection before the window exists";
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    combo->onCommand = CountCommand;
    combo->Create();
    combo->AddItem(L"già", L"3");
    EXPECT_EQ(SendMessageW(combo->window, CB_GETCOUNT, 0, 0), 3);
    EXPECT_TRUE(StyleOf(*combo) & CBS_DROPDOWNLIST);
    EXPECT_EQ(combo->GetItemText(7), L"già");
    EXPECT_EQ(combo->GetItemText(-1), L"già");
    EXPECT_EQ(combo->GetItemValueNarrow(1), "2");
    EXPECT_FALSE(combo->RemoveItem(-1));
    EXPECT_EQ(combo->Count(), 3);

    EXPECT_TRUE(combo->Select(1));
    EXPECT_EQ(combo->GetSelectedIndex(), 1);
    // The user moves the selection with the keyboard: onCommand runs.
    SendMessageW(combo->window, WM_KEYDOWN, VK_DOWN, 0);
    Pump(10);
    EXPECT_EQ(combo->GetSelectedIndex(), 2);
    EXPECT_EQ(commandCount, 1);
    EXPECT_EQ(lastCommand, combo);

    EXPECT_TRUE(combo->RemoveItem(0));
    EXPECT_EQ(combo->GetItemText(0), L"Beta");
    EXPECT_EQ(combo->GetItemValue(0), L"2");
    combo->ClearSelection();
    EXPECT_EQ(combo->GetSelectedIndex(), -1);
    combo->Clear();
    EXPECT_EQ(combo->Count(), 0);
    EXPECT_EQ(SendMessageW(combo->window, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(combo->GetItemText(0), L"") << "an empty list reads as empty text";
}

HBITMAP SolidBitmap(int size, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

TEST_F(WidgetTest, ComboBoxExShowsImagesFromItsList) {
    ResetRecords();
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0);
    for (COLORREF colour : {RGB(0, 243, 255), RGB(255, 0, 0), RGB(30, 231, 15)}) {
        HBITMAP square = SolidBitmap(16, colour);
        ImageList_Add(images, square, nullptr);
        DeleteObject(square);
    }
    auto* colours = Own(new ComboBoxEx(form, &images));
    colours->x = 300;
    colours->y = 10;
    colours->width = 120;
    colours->height = 125;
    colours->AddColourItem("Azzurro", "16773888", 0);
    colours->AddColourItem("Rosso", "255", 1);
    colours->onCommand = CountCommand;
    colours->Create();
    colours->AddColourItem("Verde", "1042206", 2);
    ASSERT_NE(colours->window, nullptr);
    EXPECT_EQ(colours->typeKeyword, "ComboBoxEx");
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageW(colours->window, CBEM_GETIMAGELIST, 0, 0)), images);
    EXPECT_EQ(SendMessageW(colours->window, CB_GETCOUNT, 0, 0), 3);

    wchar_t shown[64] = {};
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = 2;
    item.pszText = shown;
    item.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(colours->window, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_STREQ(shown, L"Verde");
    EXPECT_EQ(item.iImage, 2);
    EXPECT_EQ(item.iSelectedImage, 2);
    EXPECT_EQ(item.iIndent, 0);

    // The element follows the size the control chose for itself.
    RECT box{};
    GetWindowRect(colours->window, &box);
    EXPECT_EQ(colours->height, box.bottom - box.top);

    EXPECT_TRUE(colours->Select(1));
    EXPECT_EQ(colours->GetItemValueNarrow(colours->GetSelectedIndex()), "255");
    // A keyboard choice in the inner combo box reaches onCommand of the element.
    HWND inner = reinterpret_cast<HWND>(SendMessageW(colours->window, CBEM_GETCOMBOCONTROL, 0, 0));
    ASSERT_NE(inner, nullptr);
    SendMessageW(inner, WM_KEYDOWN, VK_DOWN, 0);
    Pump(10);
    EXPECT_EQ(colours->GetSelectedIndex(), 2);
    EXPECT_EQ(commandCount, 1);
    EXPECT_EQ(lastCommand, colours);

    EXPECT_TRUE(colours->RemoveItem(0));
    EXPECT_EQ(colours->images, (std::vector<int>{1, 2}));
    EXPECT_EQ(colours->selectedImages, (std::vector<int>{1, 2}));
    EXPECT_EQ(SendMessageW(colours->window, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(colours->GetItemText(0), L"Rosso");
    DestroyWindow(colours->window);
    ImageList_Destroy(images);
}

TEST_F(WidgetTest, ListBoxWidensItsItemsAndReportsSelection) {
    ResetRecords();
    auto* list = Own(new ListBox(form));
    list->AddItem("propriet\xE0", "a");
    list->onCommand = CountCommand;
    list->Create();
    list->AddItem("gi\xE0", "b");
    list->AddItem("01/01/2026", "c");
    EXPECT_EQ(SendMessageW(list->window, LB_GETCOUNT, 0, 0), 3);
    wchar_t shown[64] = {};
    SendMessageW(list->window, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"già");
    EXPECT_EQ(list->GetItemText(0), L"proprietà");
    EXPECT_EQ(list->GetItemText(-1), L"01/01/2026");
    EXPECT_EQ(list->GetSelectedIndex(), -1);
    EXPECT_TRUE(list->Select(0));
    SendMessageW(list->window, WM_KEYDOWN, VK_DOWN, 0);
    Pump(10);
    EXPECT_EQ(list->GetSelectedIndex(), 1);
    EXPECT_EQ(commandCount, 1);
    EXPECT_FALSE(list->RemoveItem(3));
    EXPECT_TRUE(list->RemoveItem(1));
    EXPECT_EQ(list->GetItemValue(1), L"c");
    EXPECT_EQ(SendMessageW(list->window, LB_GETCOUNT, 0, 0), 2);
}

// ---- DatePicker ----------------------------------------------------------

SYSTEMTIME Day(int day, int month, int year) {
    SYSTEMTIME date{};
    date.wDay = static_cast<WORD>(day);
    date.wMonth = static_cast<WORD>(month);
    date.wYear = static_cast<WORD>(year);
    return date;
}

TEST_F(WidgetTest, DatePickerWithoutDateGivesYearZero) {
    ResetRecords();
    auto* picker = Own(new DatePicker(form));
    picker->showNone = 1;
    picker->date = Day(15, 3, 2024);
    picker->date.wHour = 13;
    picker->onDateChanged = RecordDate;
    picker->Create();
    ASSERT_NE(picker->window, nullptr);
    ASSERT_EQ(changedDates.size(), 1u) << "creation reports the initial date once";
    EXPECT_EQ(changedDates[0].wDay, 15);
    EXPECT_EQ(changedDates[0].wHour, 0) << "dates read from the control have no time of day";

    picker->date = Day(0, 0, 0);
    picker->ApplyDate();
    const SYSTEMTIME none = picker->GetDate();
    EXPECT_EQ(none.wYear, 0);
    EXPECT_EQ(none.wMonth, 0);
    EXPECT_EQ(none.wDay, 0);
    EXPECT_EQ(none.wDayOfWeek, 0);
    EXPECT_EQ(changedDates.back().wYear, 0);
    SYSTEMTIME native{};
    EXPECT_EQ(SendMessageW(picker->window, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&native)), GDT_NONE);

    picker->date = Day(1, 4, 2024);
    picker->ApplyDate();
    EXPECT_EQ(picker->GetDate().wYear, 2024);
    EXPECT_EQ(picker->GetDate().wDayOfWeek, 1) << "01/04/2024 is a Monday";
}

TEST_F(WidgetTest, DatePickerRangesAndChangeNotification) {
    ResetRecords();
    auto* picker = Own(new DatePicker(form));
    picker->date = Day(10, 3, 2024);
    picker->onDateChanged = RecordDate;
    picker->onTextChanged = CountTextChange;
    picker->Create();
    picker->rangeMin = Day(1, 3, 2024);
    picker->hasMin = 1;
    picker->ApplyRange();
    SYSTEMTIME range[2] = {};
    EXPECT_EQ(SendMessageW(picker->window, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)), GDTR_MIN);
    EXPECT_EQ(range[0].wDay, 1);
    picker->rangeMax = Day(31, 3, 2024);
    picker->hasMax = 1;
    picker->ApplyRange();
    EXPECT_EQ(SendMessageW(picker->window, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)), GDTR_MIN | GDTR_MAX);
    EXPECT_EQ(range[1].wDay, 31);
    EXPECT_EQ(range[1].wMonth, 3);

    // A date chosen in the control comes back as the platform's change
    // notification at the parent window and reaches the handlers. (Wine's
    // picker does not step a field on a synthesised key, so the control gets
    // the date directly and the notification is the one it would send.)
    changedDates.clear();
    textChangedCount = 0;
    SYSTEMTIME chosen = Day(20, 3, 2024);
    SendMessageW(picker->window, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&chosen));
    NMDATETIMECHANGE change{};
    change.nmhdr.hwndFrom = picker->window;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(picker->controlId);
    change.nmhdr.code = DTN_DATETIMECHANGE;
    change.dwFlags = GDT_VALID;
    change.st = chosen;
    SendMessageW(form->window, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
    ASSERT_EQ(changedDates.size(), 1u);
    EXPECT_EQ(changedDates[0].wDay, 20);
    EXPECT_EQ(textChangedCount, 1);
    EXPECT_EQ(picker->date.wDay, 20) << "GetDate keeps the field in step";

    // Notifications of other pickers' windows or unknown windows are not ours.
    change.nmhdr.hwndFrom = form->window;
    SendMessageW(form->window, WM_NOTIFY, change.nmhdr.idFrom, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(changedDates.size(), 1u);
}

// ---- Buttons and static elements -----------------------------------------

TEST_F(WidgetTest, CheckBoxTogglesOnEveryClick) {
    ResetRecords();
    auto* box = Own(new CheckBox(form, "Sabato"));
    box->checkState = 1;
    EXPECT_TRUE(box->IsChecked()) << "before creation the stored state";
    box->onCommand = CountCommand;
    box->Create();
    EXPECT_EQ(SendMessageW(box->window, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(StyleOf(*box) & BS_TYPEMASK, static_cast<DWORD>(BS_CHECKBOX));
    SendMessageW(box->window, BM_CLICK, 0, 0);
    Pump(10);
    EXPECT_EQ(box->checkState, 0);
    EXPECT_EQ(SendMessageW(box->window, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(commandCount, 1);
    SendMessageW(box->window, BM_CLICK, 0, 0);
    Pump(10);
    EXPECT_TRUE(box->IsChecked());
    EXPECT_EQ(commandCount, 2);
}

TEST_F(WidgetTest, LabelAlignmentAndBorder) {
    auto* label = Own(new Label(form, "Propriet\xE0 gi\xE0 impostate"));
    label->alignRight = 1;
    label->alignCenter = 1;
    label->border = 1;
    label->Create();
    const DWORD style = StyleOf(*label);
    EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_RIGHT));
    EXPECT_TRUE(style & SS_NOTIFY);
    EXPECT_TRUE(GetWindowLongPtrW(label->window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(NativeText(label->window), L"Proprietà già impostate");
}

TEST_F(WidgetTest, ImageShowsAFileOrAResourceOrNothing) {
    auto* nothing = Own(new Image(form, 0));
    nothing->Create();
    EXPECT_EQ(SendMessageW(nothing->window, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(nothing->bitmap, nullptr);

    auto* fromResource = Own(new Image(form, IDB_TEST_STRIP));
    fromResource->Create();
    ASSERT_NE(fromResource->bitmap, nullptr);
    EXPECT_NE(SendMessageW(fromResource->window, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    BITMAP size{};
    GetObjectW(fromResource->bitmap, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 48);
    EXPECT_EQ(size.bmHeight, 16);

    // A picture file written here, 3 x 2 pixels.
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "velmora_image_test.bmp";
    const PixelGrid pixels = {{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)},
                              {RGB(0, 0, 0), RGB(255, 255, 255), RGB(9, 9, 9)}};
    ASSERT_TRUE(WriteBitmapFile(path, pixels));
    auto* fromFile = Own(new Image(form, -1));
    fromFile->imageFile = path;
    fromFile->Create();
    ASSERT_NE(fromFile->bitmap, nullptr);
    GetObjectW(fromFile->bitmap, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 3);
    EXPECT_EQ(size.bmHeight, 2);

    // A file that does not load leaves no picture, not a released one.
    fromFile->SetImageFile(std::string(folder) + "velmora_missing_picture.bmp");
    EXPECT_EQ(fromFile->bitmap, nullptr);
    EXPECT_EQ(SendMessageW(fromFile->window, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    fromFile->SetImageResource(IDB_TEST_STRIP);
    EXPECT_NE(fromFile->bitmap, nullptr);
    EXPECT_EQ(fromFile->imageFile, "");
    DeleteFileA(path.c_str());
}

// Paints an owner-drawn button into a bitmap through the platform's own
// path (WM_PRINTCLIENT makes the button ask its parent to draw it).
std::vector<COLORREF> PaintButton(Button& button, int& width, int& height) {
    RECT client{};
    GetClientRect(button.window, &client);
    width = client.right;
    height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, canvas);
    SendMessageW(button.window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    std::vector<COLORREF> pixels(static_cast<size_t>(width * height));
    for (int py = 0; py < height; ++py)
        for (int px = 0; px < width; ++px) pixels[static_cast<size_t>(py * width + px)] = GetPixel(memory, px, py);
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

TEST_F(WidgetTest, OwnerDrawnButtonDrawsItsBitmapBeforeTheText) {
    HBITMAP red = SolidBitmap(16, RGB(255, 0, 0));
    HBITMAP blue = SolidBitmap(16, RGB(0, 0, 255));
    auto* button = Own(new Button(form, "Apri"));
    button->ownerDraw = 1;
    button->bitmapEnabled = red;
    button->bitmapDisabled = blue;
    button->x = 10;
    button->y = 300;
    button->width = 120;
    button->height = 30;
    button->Create();
    EXPECT_EQ(StyleOf(*button) & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));

    int w = 0, h = 0;
    std::vector<COLORREF> pixels = PaintButton(*button, w, h);
    ASSERT_EQ(w, 120);
    const int top = (30 - 16) / 2;
    EXPECT_EQ(pixels[static_cast<size_t>((top + 8) * w + 5 + 8)], RGB(255, 0, 0));
    EXPECT_NE(pixels[static_cast<size_t>((top + 8) * w + 4)], RGB(255, 0, 0)) << "picture starts at x = 5";

    button->SetEnabled(false);
    pixels = PaintButton(*button, w, h);
    EXPECT_EQ(pixels[static_cast<size_t>((top + 8) * w + 5 + 8)], RGB(0, 0, 255)) << "disabled picture";

    // DrawImage answers where the text starts: after the bitmap, after a
    // 32-pixel icon, or 0 without a picture.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 120, 40);
    HGDIOBJ old = SelectObject(memory, canvas);
    Drawing surface;
    surface.Attach(memory, false);
    const RECT item{0, 0, 120, 40};
    button->SetEnabled(true);
    EXPECT_EQ(button->DrawImage(surface, item, false), 16 + 8);
    button->bitmapEnabled = nullptr;
    EXPECT_EQ(button->DrawImage(surface, item, false), 0);
    button->iconEnabled = LoadIconW(nullptr, IDI_APPLICATION);
    EXPECT_EQ(button->DrawImage(surface, item, false), 40);
    surface.End();
    SelectObject(memory, old);
    DeleteObject(canvas);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    DestroyWindow(button->window);
    DeleteObject(red);
    DeleteObject(blue);
}

}  // namespace
