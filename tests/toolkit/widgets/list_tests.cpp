// The task table's list on a real list control: what a table of 400,000 rows
// costs, rows exactly as high as asked, the first row shown and the
// selection told once whatever changed them, and the column widths.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "WidgetTestSupport.h"
#include "toolkit/core/Registry.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/widgets/ListView.h"
#include "toolkit/widgets/PanelChildren.h"

using namespace QVUtility;
using widgettest::Pump;

namespace {

// Everything the handlers heard.
struct Heard {
    long texts = 0;
    std::size_t lowestRow = SIZE_MAX, highestRow = 0;
    std::vector<std::ptrdiff_t> selections, activations, menuRows, selectedAtMenu;
    std::vector<POINT> menuPoints;
    std::vector<std::size_t> tops;
    std::vector<std::pair<int, int>> widths;
} heard;

std::wstring CellText(std::size_t row, int column) { return std::to_wstring(row) + L"/" + std::to_wstring(column); }

RECT RowRect(const ListView& list, std::size_t row, bool onScreen = false) {
    RECT bounds{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list.window, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    if (onScreen) MapWindowPoints(list.window, nullptr, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

std::size_t RowsPerPage(const ListView& list) { return SendMessageW(list.window, LVM_GETCOUNTPERPAGE, 0, 0); }

// A button pressed and let go at a point of the list, posted as the mouse
// does: the control follows the button itself.
void Press(HWND window, UINT down, UINT up, POINT at) {
    PostMessageW(window, down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(window, up, 0, MAKELPARAM(at.x, at.y));
    Pump(30);
}
void ClickRow(const ListView& list, std::size_t row, UINT down = WM_LBUTTONDOWN) {
    const RECT bounds = RowRect(list, row);
    Press(list.window, down, down == WM_RBUTTONDOWN ? WM_RBUTTONUP : WM_LBUTTONUP,
          POINT{bounds.left + 30, (bounds.top + bounds.bottom) / 2});
}

// The process's committed private memory, region by region (the platform's
// own counter of it may answer nothing).
SIZE_T PrivateBytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    return total;
}

class ListViewTest : public widgettest::OwningTest {
protected:
    static void SetUpTestSuite() { form = widgettest::OpenForm(L"Attivit\u00E0", 20, 20, 900, 600); }
    static void TearDownTestSuite() {
        delete form;
        form = nullptr;
    }

    // The task table: seven columns, the amounts right aligned; every handler heard.
    ListView* Table(std::size_t rows, int rowHeight, int height = 300, bool grid = false) {
        auto* list = Own(new ListView(form));
        list->width = 700;
        list->height = height;
        list->rowHeight = rowHeight;
        list->gridLines = grid;
        for (const wchar_t* title :
             {L"Descrizione", L"Inizio", L"Fine", L"Giorni lavorativi", L"Risorse", L"Costo giornaliero", L"Costo"})
            list->columns.push_back({title, 90, list->columns.size() >= 3});
        list->onItemText = [](ListView*, std::size_t row, int column) {
            ++heard.texts;
            heard.lowestRow = std::min(heard.lowestRow, row);
            heard.highestRow = std::max(heard.highestRow, row);
            return CellText(row, column);
        };
        list->onSelect = [](ListView*, std::ptrdiff_t row) { heard.selections.push_back(row); };
        list->onActivate = [](ListView*, std::ptrdiff_t row) { heard.activations.push_back(row); };
        list->onContextMenu = [](ListView* self, std::ptrdiff_t row, int x, int y) {
            heard.menuRows.push_back(row);
            heard.selectedAtMenu.push_back(self->SelectedRow());
            heard.menuPoints.push_back(POINT{x, y});
        };
        list->onScroll = [](ListView*, std::size_t top) { heard.tops.push_back(top); };
        list->onColumnWidth = [](ListView*, int column, int width) { heard.widths.emplace_back(column, width); };
        list->Create();
        list->SetRowCount(rows);
        heard = Heard{};
        return list;
    }

    static Form* form;
};
Form* ListViewTest::form = nullptr;

TEST_F(ListViewTest, ATableOfAnyLengthCostsOnlyTheRowsInView) {
    ListView* list = Table(1000, 20);
    ASSERT_NE(list->window, nullptr);
    const SIZE_T bytesBefore = PrivateBytes();
    const long gdiBefore = CurrentGdiTally().Held();
    HWND header = reinterpret_cast<HWND>(SendMessageW(list->window, LVM_GETHEADER, 0, 0));

    const DWORD start = GetTickCount();
    list->SetRowCount(400000);
    EXPECT_LT(GetTickCount() - start, 1000u) << "no work per row";
    EXPECT_EQ(SendMessageW(list->window, LVM_GETITEMCOUNT, 0, 0), 400000);

    for (std::size_t top : {0, 200000, 399990}) {
        list->SetTopRow(top);
        heard = Heard{};
        RedrawWindow(list->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const std::size_t first = list->TopRow(), shown = RowsPerPage(*list) + 1;  // the last one maybe in part
        EXPECT_GT(heard.texts, 0);
        EXPECT_LE(heard.texts, static_cast<long>(shown * list->columns.size())) << "top " << top;
        EXPECT_GE(heard.lowestRow, first);
        EXPECT_LT(heard.highestRow, first + shown);
    }
    // A reader of the list (a screen reader) gets the same texts.
    wchar_t text[64] = {};
    LVITEMW item{};
    item.iSubItem = 6;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(list->window, LVM_GETITEMTEXTW, 123456, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(text), CellText(123456, 6));

    EXPECT_LT(PrivateBytes() - bytesBefore, 400000u) << "less than a byte per row";
    EXPECT_EQ(CurrentGdiTally().Held(), gdiBefore);
    EXPECT_EQ(GetWindow(list->window, GW_CHILD), header);
    EXPECT_EQ(GetWindow(header, GW_HWNDNEXT), nullptr) << "no window but the header";
}

TEST_F(ListViewTest, RowsAreAsHighAsAskedAndLevelWithTheHeader) {
    for (bool grid : {false, true}) {
        for (int height : {17, 22, 31, 48}) {
            ListView* list = Table(100, height, 300, grid);
            list->SetTopRow(40);
            ASSERT_EQ(list->RowHeight(), height) << "grid " << grid;
            // Grid lines push the rows a little lower (the control's own gap).
            EXPECT_GE(list->FirstRowTop(), list->HeaderHeight());
            EXPECT_TRUE(grid || list->FirstRowTop() == list->HeaderHeight()) << "right under the header";
            for (std::size_t row = 40; row < 45; ++row) {
                const RECT bounds = RowRect(*list, row);
                EXPECT_EQ(bounds.top, list->FirstRowTop() + static_cast<int>(row - 40) * height);
                EXPECT_EQ(bounds.bottom - bounds.top, height);
            }
            // Laid out again for another height (another font or screen density).
            list->SetRowHeight(height + 5);
            EXPECT_EQ(RowRect(*list, 41).top - RowRect(*list, 40).top, height + 5);
        }
    }
    ListView* cramped = Table(5, 3);
    EXPECT_GT(cramped->RowHeight(), 3) << "never lower than the text";
}

TEST_F(ListViewTest, EveryChangeOfTheFirstRowIsToldOnceButSetTopRow) {
    ListView* list = Table(1000, 20, 230);
    const std::size_t last = 1000 - RowsPerPage(*list);
    for (std::size_t row : {37, 500, 0, 990, 5000}) {
        list->SetTopRow(row);
        EXPECT_EQ(list->TopRow(), std::min(row, last));
    }
    EXPECT_TRUE(heard.tops.empty()) << "SetTopRow tells nothing";

    list->SetTopRow(100);
    void (*const causes[])(ListView&) = {
        [](ListView& l) { SendMessageW(l.window, WM_VSCROLL, SB_LINEDOWN, 0); },
        [](ListView& l) { SendMessageW(l.window, WM_VSCROLL, SB_PAGEUP, 0); },
        [](ListView& l) { SendMessageW(l.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); },
        [](ListView& l) { SendMessageW(l.window, WM_KEYDOWN, VK_END, 0); },
        [](ListView& l) { l.SetSize(l.width, l.height + 100); },  // at the end: earlier rows come into view
        [](ListView& l) { l.SelectRow(3, true); },
        [](ListView& l) { l.SetTopRow(900), l.SetRowCount(300); },
    };
    for (auto cause : causes) {
        const std::size_t before = list->TopRow(), told = heard.tops.size();
        cause(*list);
        ASSERT_NE(list->TopRow(), before) << "cause " << told;
        ASSERT_EQ(heard.tops.size(), told + 1) << "cause " << told;
        EXPECT_EQ(heard.tops.back(), list->TopRow()) << "cause " << told;
    }

    // The wheel over the list scrolls the list, whichever panel was clicked last.
    auto* panel = Own(new PanelChildren(form));
    panel->verticalBar = true;
    panel->Create();
    panel->SetContentHeight(5000);
    wheelTarget = panel;
    list->SetTopRow(100);
    SendMessageW(list->window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_GT(list->TopRow(), 100u);
    EXPECT_EQ(panel->ScrollPosition(SB_VERT), 0);
}

TEST_F(ListViewTest, TheUsersChoicesAreToldAndTheOwnersAreNot) {
    ListView* list = Table(100, 20);
    ClickRow(*list, 3);
    EXPECT_EQ(heard.selections, std::vector<std::ptrdiff_t>{3});
    SendMessageW(list->window, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(heard.selections.back(), 4);
    // Typing finds no row (the control would take the first one for a match).
    NMLVFINDITEMW find{};
    find.hdr = {list->window, static_cast<UINT_PTR>(list->controlId), static_cast<UINT>(LVN_ODFINDITEMW)};
    EXPECT_EQ(SendMessageW(form->window, WM_NOTIFY, find.hdr.idFrom, reinterpret_cast<LPARAM>(&find)), -1);

    const std::size_t told = heard.selections.size();
    for (std::ptrdiff_t row : {7, -1, 100}) {  // the last past the end: none
        list->SelectRow(row, false);
        EXPECT_EQ(list->SelectedRow(), row < 100 ? row : -1);
    }
    list->SelectRow(60, true);
    EXPECT_LE(list->TopRow(), 60u);
    EXPECT_LT(60u, list->TopRow() + RowsPerPage(*list));
    list->SetRowCount(80);
    EXPECT_EQ(list->SelectedRow(), 60) << "the selected row stays";
    list->SetRowCount(50);
    EXPECT_EQ(list->SelectedRow(), -1) << "and goes with its row";
    EXPECT_EQ(heard.selections.size(), told) << "the owner's changes are not told";

    ClickRow(*list, 5);
    ClickRow(*list, 5, WM_LBUTTONDBLCLK);
    EXPECT_EQ(heard.activations, std::vector<std::ptrdiff_t>{5});
    EXPECT_EQ(std::count(heard.selections.begin(), heard.selections.end(), -1), 0)
        << "a click moves the selection without telling none on the way";

    // A right click selects its row before the menu comes up there; the menu
    // key and Shift+F10 bring up the selected row's menu below it, once each.
    ClickRow(*list, 9, WM_RBUTTONDOWN);
    const RECT ninth = RowRect(*list, 9, true);
    list->SelectRow(2, false);  // out of view: the menu key brings it in
    PostMessageW(list->window, WM_KEYDOWN, VK_APPS, 0x015D0001);
    PostMessageW(list->window, WM_KEYUP, VK_APPS, 0xC15D0001);
    Pump(30);
    SendMessageW(list->window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list->window), -1);  // Shift+F10
    EXPECT_EQ(heard.menuRows, (std::vector<std::ptrdiff_t>{9, 2, 2}));
    EXPECT_EQ(heard.selectedAtMenu, heard.menuRows);
    EXPECT_EQ(heard.selections.back(), 9);
    EXPECT_TRUE(PtInRect(&ninth, heard.menuPoints.at(0)));
    EXPECT_EQ(heard.menuPoints.at(1).y, RowRect(*list, 2, true).bottom);
    EXPECT_EQ(heard.menuPoints.at(2).y, RowRect(*list, 2, true).bottom);

    list->SetRowCount(3);
    Press(list->window, WM_LBUTTONDOWN, WM_LBUTTONUP, POINT{30, list->height - 20});
    EXPECT_EQ(list->SelectedRow(), -1);
    EXPECT_EQ(heard.selections.back(), -1) << "a click below the rows leaves none selected, and says so";
}

TEST_F(ListViewTest, ColumnWidthsRoundTripAndTheUsersDragIsTold) {
    ListView* list = Table(10, 20);
    EXPECT_EQ(list->ColumnWidths(), std::vector<int>(7, 90));
    list->SetColumnWidth(2, 140);
    list->SetColumnWidth(9, 50);  // no such column
    EXPECT_EQ(list->ColumnWidths(), (std::vector<int>{90, 90, 140, 90, 90, 90, 90}));
    EXPECT_EQ(list->columns[2].width, 140);
    EXPECT_TRUE(heard.widths.empty());

    // The user drags the first column's right edge 40 pixels to the right.
    const auto header = reinterpret_cast<HWND>(SendMessageW(list->window, LVM_GETHEADER, 0, 0));
    RECT first{};
    ASSERT_TRUE(SendMessageW(header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)));
    const int y = (first.top + first.bottom) / 2;
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(first.right - 1, y));
    PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.right + 19, y));
    PostMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(first.right + 39, y));
    PostMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(first.right + 39, y));
    ASSERT_TRUE(widgettest::PumpUntil([] { return !heard.widths.empty() && heard.widths.back().second == 130; }));
    EXPECT_EQ(heard.widths.back().first, 0);
    EXPECT_EQ(list->ColumnWidths()[0], 130);
    EXPECT_EQ(list->columns[0].width, 130);
}

}  // namespace
