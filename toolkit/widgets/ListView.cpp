#include "toolkit/widgets/ListView.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "toolkit/core/Accessible.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/platform/IgnoredError.h"

namespace QVUtility {

namespace {

// Sets a flag for the length of a scope and puts its old value back.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = before_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
    bool before_;
};

// Messages after which the first row shown, the selection or a column's
// width may be other than before.
bool MayChangeState(UINT message) {
    switch (message) {
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_CAPTURECHANGED:
    case WM_TIMER:
    case WM_NOTIFY:  // from the header: a column's edge dragged
    case WM_SETFONT:
    case LVM_ENSUREVISIBLE:
    case LVM_SCROLL:
    case LVM_SETITEMCOUNT:
    case LVM_SETITEMSTATE:
    case LVM_SETCOLUMNWIDTH:
    case LVM_SETCOLUMNW:
    case LVM_SETIMAGELIST:
    case LVM_SETEXTENDEDLISTVIEWSTYLE: return true;
    default: return false;
    }
}

}  // namespace

ListView::ListView(GUIElement* parentElement) : Child(parentElement, TypeKeyword::ListView, std::wstring(), 300, 200) {}

ListView::~ListView() {
    if (rowImages == nullptr) return;
    if (window != nullptr && IsWindow(window)) Native(LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    ImageList_Destroy(rowImages);
}

LRESULT ListView::Native(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (window == nullptr) return 0;
    if (previousProcedure != nullptr) return CallWindowProcW(previousProcedure, window, message, wParam, lParam);
    return SendMessageW(window, message, wParam, lParam);
}

void ListView::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    // Until the control shows what was set before, nothing is told.
    const std::size_t firstRow = toldTop;
    const std::ptrdiff_t selection = toldSelection;
    {
        const FlagScope quiet(changing);
        const DWORD style = WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                            LVS_SHAREIMAGELISTS | LVS_NOSORTHEADER;
        if (!CreateControl(WC_LISTVIEWW, style, border ? WS_EX_CLIENTEDGE : 0)) return;
        const DWORD extended = LVS_EX_FULLROWSELECT | (gridLines ? LVS_EX_GRIDLINES : 0);
        Native(LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
        InsertColumns();
        Native(LVM_SETITEMCOUNT, rowCount, LVSICF_NOSCROLL);
        ApplyRowHeight();
        SetSelection(selection);
    }
    SetTopRow(firstRow);
    toldSelection = SelectedRow();
    toldWidths = ColumnWidths();
    for (std::size_t column = 0; column < columns.size(); ++column) columns[column].width = toldWidths[column];
}

void ListView::InsertColumns() {
    for (std::size_t index = 0; index < columns.size(); ++index) {
        const Column& source = columns[index];
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = (index > 0 && source.alignRight) ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = std::max(0, source.width);
        column.pszText = const_cast<wchar_t*>(source.title.c_str());
        column.iSubItem = static_cast<int>(index);
        Native(LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
    }
}

// The control makes its rows as high as the text or the small images,
// whichever is higher, plus a padding of its own: a blank image one pixel
// wide sets the height, corrected once the padding is measured.
void ListView::ApplyRowHeight() {
    if (window == nullptr) return;
    HIMAGELIST previous = rowImages;
    rowImages = nullptr;
    if (rowHeight > 0) {
        int imageHeight = rowHeight;
        int laidBefore = 0;
        for (int attempt = 0; attempt < 3; ++attempt) {
            HIMAGELIST made = ImageList_Create(1, imageHeight, ILC_COLOR, 0, 1);
            if (made == nullptr) break;
            Native(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(made));
            if (rowImages != nullptr) ImageList_Destroy(rowImages);
            rowImages = made;
            const int laid = MeasureRowHeight();
            // Laid out as asked, unknown, or as high as the text whatever the image.
            if (laid <= 0 || laid == rowHeight || laid == laidBefore) break;
            laidBefore = laid;
            imageHeight += rowHeight - laid;
            if (imageHeight < 1) break;
        }
    }
    if (rowImages == nullptr) Native(LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (previous != nullptr) ImageList_Destroy(previous);
}

// The height of a laid-out row; the control lays out none while it has no
// rows, so it gets one for the time of the question.
int ListView::MeasureRowHeight() {
    const FlagScope quiet(changing);
    const bool empty = rowCount == 0;
    if (empty) Native(LVM_SETITEMCOUNT, 1, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    const bool measured = Native(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds)) != 0;
    if (empty) Native(LVM_SETITEMCOUNT, 0, LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
    return measured ? static_cast<int>(bounds.bottom - bounds.top) : 0;
}

void ListView::SetRowCount(std::size_t count) {
    rowCount = std::min<std::size_t>(count, INT_MAX);
    if (window == nullptr) {
        if (toldSelection >= static_cast<std::ptrdiff_t>(rowCount)) toldSelection = -1;
        return;
    }
    {
        const FlagScope quiet(changing);
        const std::ptrdiff_t kept = SelectedRow();
        Native(LVM_SETITEMCOUNT, rowCount, LVSICF_NOSCROLL);
        if (kept >= static_cast<std::ptrdiff_t>(rowCount)) SetSelection(-1);
    }
    toldSelection = SelectedRow();
    TellChanges(false);  // a shorter list may show an earlier first row
}

void ListView::RefreshRows() {
    if (window != nullptr) InvalidateRect(window, nullptr, TRUE);
}

void ListView::SetSelection(std::ptrdiff_t row) {
    LVITEMW state{};
    if (row < 0 || static_cast<std::size_t>(row) >= rowCount) {
        state.stateMask = LVIS_SELECTED;
        Native(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
        return;
    }
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    Native(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    Native(LVM_SETSELECTIONMARK, 0, row);
}

void ListView::SelectRow(std::ptrdiff_t row, bool scrollIntoView) {
    if (row < 0 || static_cast<std::size_t>(row) >= rowCount) row = -1;
    if (window == nullptr) {
        toldSelection = row;
        return;
    }
    {
        const FlagScope quiet(changing);
        SetSelection(row);
    }
    toldSelection = SelectedRow();
    if (scrollIntoView && row >= 0) Native(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    // The row chosen from elsewhere while the list has the keyboard: its
    // item, as the list would tell of a row chosen with its own keys.
    if (row >= 0 && GetFocus() == window) {
        RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, window, static_cast<LONG>(row + 1));
        RaiseAccessibleEvent(EVENT_OBJECT_SELECTION, window, static_cast<LONG>(row + 1));
    }
    TellChanges(false);
}

std::ptrdiff_t ListView::SelectedRow() const {
    if (window == nullptr) return toldSelection;
    return static_cast<int>(Native(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::size_t ListView::TopRow() const {
    if (window == nullptr) return toldTop;
    return static_cast<std::size_t>(std::max(0, static_cast<int>(Native(LVM_GETTOPINDEX, 0, 0))));
}

void ListView::SetTopRow(std::size_t row) {
    if (window == nullptr) {
        toldTop = row;
        return;
    }
    {
        const FlagScope quiet(changing);
        const long long height = RowHeight();
        const long long rows = static_cast<long long>(std::min(row, rowCount)) - static_cast<long long>(TopRow());
        // The control scrolls a report by pixels, rounded to whole rows.
        if (height > 0 && rows != 0) {
            const long long pixels = std::clamp<long long>(rows * height, INT_MIN / 2, INT_MAX / 2);
            Native(LVM_SCROLL, 0, static_cast<LPARAM>(pixels));
        }
    }
    toldTop = TopRow();
}

int ListView::RowHeight() const {
    if (window == nullptr || rowCount == 0) return 0;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!Native(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds))) return 0;
    return static_cast<int>(bounds.bottom - bounds.top);
}

void ListView::SetRowHeight(int pixels) {
    rowHeight = pixels;
    if (window == nullptr) return;
    {
        const FlagScope quiet(changing);
        ApplyRowHeight();
    }
    TellChanges(false);  // fewer rows may fit
}

int ListView::HeaderHeight() const {
    const auto header = reinterpret_cast<HWND>(Native(LVM_GETHEADER, 0, 0));
    RECT bounds{};
    if (header == nullptr || !IsWindowVisible(header) || !GetWindowRect(header, &bounds)) return 0;
    return static_cast<int>(bounds.bottom - bounds.top);
}

int ListView::FirstRowTop() const {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (window == nullptr || rowCount == 0 || !Native(LVM_GETITEMRECT, TopRow(), reinterpret_cast<LPARAM>(&bounds)))
        return HeaderHeight();
    return static_cast<int>(bounds.top);
}

std::vector<int> ListView::ColumnWidths() const {
    std::vector<int> widths;
    widths.reserve(columns.size());
    for (std::size_t column = 0; column < columns.size(); ++column)
        widths.push_back(window != nullptr ? static_cast<int>(Native(LVM_GETCOLUMNWIDTH, column, 0))
                                           : columns[column].width);
    return widths;
}

RECT ListView::CellRect(std::size_t row, int column) const {
    RECT cell{};
    cell.top = column;
    cell.left = column == 0 ? LVIR_LABEL : LVIR_BOUNDS;
    if (window == nullptr || row >= rowCount || !Native(LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell)))
        return RECT{};
    return cell;
}

void ListView::RefreshRow(std::size_t row) {
    if (window != nullptr && row < rowCount) Native(LVM_REDRAWITEMS, row, row);
}

void ListView::SetColumnWidth(int column, int width) {
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) return;
    const auto index = static_cast<std::size_t>(column);
    columns[index].width = std::max(0, width);
    if (window == nullptr) return;
    {
        const FlagScope quiet(changing);
        Native(LVM_SETCOLUMNWIDTH, index, MAKELPARAM(columns[index].width, 0));
    }
    columns[index].width = static_cast<int>(Native(LVM_GETCOLUMNWIDTH, index, 0));
    if (index < toldWidths.size()) toldWidths[index] = columns[index].width;
}

// ---- What the control tells ---------------------------------------------------

void ListView::FillCell(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if ((item.mask & LVIF_IMAGE) != 0) item.iImage = I_IMAGENONE;
    if ((item.mask & LVIF_TEXT) == 0) return;
    // Empty should the owner's answer never come.
    if (item.pszText != nullptr && item.cchTextMax > 0) item.pszText[0] = L'\0';
    cellText.clear();
    const bool inTable = item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < rowCount && item.iSubItem >= 0 &&
                         static_cast<std::size_t>(item.iSubItem) < columns.size();
    if (inTable && onItemText != nullptr)
        cellText.assign(onItemText(this, static_cast<std::size_t>(item.iItem), item.iSubItem));
    if (item.pszText != nullptr && item.cchTextMax > 0) {
        const std::size_t length = std::min(cellText.size(), static_cast<std::size_t>(item.cchTextMax - 1));
        cellText.copy(item.pszText, length);
        item.pszText[length] = L'\0';
    } else {
        item.pszText = const_cast<wchar_t*>(cellText.c_str());
    }
}

void ListView::ContextMenuAt(std::ptrdiff_t row, POINT client) {
    ClientToScreen(window, &client);
    onContextMenu(this, row, client.x, client.y);
}

bool ListView::TellChanges(bool selectionToNone) {
    if (window == nullptr || changing) return true;
    const std::shared_ptr<bool> alive = AliveFlag();
    for (std::size_t column = 0; column < toldWidths.size() && column < columns.size(); ++column) {
        const int width = static_cast<int>(Native(LVM_GETCOLUMNWIDTH, column, 0));
        if (width == toldWidths[column]) continue;
        toldWidths[column] = width;
        columns[column].width = width;
        if (onColumnWidth == nullptr) continue;
        onColumnWidth(this, static_cast<int>(column), width);
        if (!*alive) return false;
    }
    const std::size_t top = TopRow();
    if (top != toldTop) {
        toldTop = top;
        if (onScroll != nullptr) {
            onScroll(this, top);
            if (!*alive) return false;
        }
    }
    // While a click moves the selection the control passes through "none".
    const std::ptrdiff_t selection = SelectedRow();
    if (selection != toldSelection && (selection >= 0 || selectionToNone)) {
        toldSelection = selection;
        if (onSelect != nullptr) {
            onSelect(this, selection);
            if (!*alive) return false;
        }
    }
    return true;
}

LRESULT ListView::RowColours(NMLVCUSTOMDRAW& draw) const {
    if (!selectionAlwaysStrong) return CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT || GetFocus() == window) return CDRF_DODEFAULT;
    const auto row = static_cast<WPARAM>(draw.nmcd.dwItemSpec);
    if ((Native(LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) == 0) return CDRF_DODEFAULT;
    // Drawn as an ordinary row in the colours given, which the control
    // keeps for a row it does not draw as selected.
    draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
    draw.clrText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    draw.clrTextBk = GetSysColor(COLOR_HIGHLIGHT);
    return CDRF_NEWFONT;
}

bool ListView::OnNotify(NMHDR* header, LRESULT& result) {
    if (window == nullptr || header->hwndFrom != window) return false;
    result = 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: FillCell(*reinterpret_cast<NMLVDISPINFOW*>(header)); return true;
    case LVN_ODFINDITEMW:
        // No row is found by typing: the control would otherwise take the
        // first row for a match.
        result = -1;
        return true;
    case NM_CUSTOMDRAW: result = RowColours(*reinterpret_cast<NMLVCUSTOMDRAW*>(header)); return true;
    case LVN_ITEMCHANGED:
    case LVN_ODSTATECHANGED:
    case LVN_ENDSCROLL: TellChanges(false); return true;
    case NM_DBLCLK: {
        const auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        if (click->iItem >= 0 && onActivate != nullptr) onActivate(this, click->iItem);
        return true;
    }
    case NM_RCLICK: {
        const auto* click = reinterpret_cast<NMITEMACTIVATE*>(header);
        const std::ptrdiff_t row = click->iItem;
        const POINT at = click->ptAction;
        if (row >= 0 && SelectedRow() != row) SetSelection(row);  // as the user's choice: told
        if (!TellChanges(false) || onContextMenu == nullptr) return true;
        ContextMenuAt(row, at);
        result = 1;  // no WM_CONTEXTMENU after it
        return true;
    }
    default: return false;
    }
}

LRESULT ListView::ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr || handle != window) return Child::ProcessByDefault(handle, message, wParam, lParam);
    const std::shared_ptr<bool> alive = AliveFlag();
    // Shift+F10 (a point of -1, -1), or the menu key, which not every
    // platform turns into WM_CONTEXTMENU: the menu of the selected row. The
    // key is kept from the default processing, so the menu comes up once.
    const bool menuKey = (message == WM_KEYDOWN || message == WM_KEYUP) && wParam == VK_APPS;
    if (menuKey && onContextMenu != nullptr && message == WM_KEYDOWN) return 0;
    if ((menuKey || (message == WM_CONTEXTMENU && static_cast<DWORD>(lParam) == 0xFFFFFFFF)) &&
        onContextMenu != nullptr) {
        try {
            const std::ptrdiff_t row = SelectedRow();
            POINT at{0, HeaderHeight()};
            if (row >= 0) {
                Native(LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
                if (!TellChanges(false)) return 0;
                RECT bounds{};
                bounds.left = LVIR_BOUNDS;
                if (Native(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds)))
                    at = POINT{std::max<LONG>(bounds.left, 0), bounds.bottom};
            }
            ContextMenuAt(row, at);
        } catch (...) {
            IgnoreException("ListView: context menu");
        }
        return 0;
    }
    // A click on a cell of the row selected before it, with the keyboard here.
    LVHITTESTINFO cellClicked{};
    cellClicked.iItem = -1;
    if (message == WM_LBUTTONDOWN && onSelectedCellClick != nullptr && GetFocus() == window) {
        cellClicked.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (Native(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&cellClicked)) < 0 ||
            (cellClicked.flags & LVHT_ONITEM) == 0 || cellClicked.iItem != SelectedRow())
            cellClicked.iItem = -1;
    }
    const LRESULT result = Child::ProcessByDefault(handle, message, wParam, lParam);
    if (*alive && cellClicked.iItem >= 0 && SelectedRow() == cellClicked.iItem) {
        try {
            onSelectedCellClick(this, static_cast<std::size_t>(cellClicked.iItem), cellClicked.iSubItem);
        } catch (...) {
            IgnoreException("ListView: cell clicked");
        }
    }
    if (*alive && MayChangeState(message)) {
        try {
            TellChanges(true);
        } catch (...) {
            IgnoreException("ListView: changes told");
        }
    }
    return result;
}

}  // namespace QVUtility
