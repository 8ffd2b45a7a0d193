#include "toolkit/widgets/ToolBar.h"

#include <oleacc.h>

#include <algorithm>

#include "toolkit/core/Accessible.h"
#include "toolkit/core/TypeKeywords.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

ToolBarItem::ToolBarItem(ToolBar* toolbar) : Child(toolbar, TypeKeyword::ToolBarItem), label(LabelLength, L'\0') {}

void ToolBarItem::Create() {
    if (created) return;
    TakeControlId();
    const size_t length = std::min(text.size(), static_cast<size_t>(LabelLength - 1));
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), label.begin());
    label[length] = L'\0';
    created = true;
}

ToolBar::ToolBar(GUIElement* owner) : Child(owner, TypeKeyword::ToolBar, std::wstring(), 190, 25) {}

ToolBar::~ToolBar() {
    if (window != nullptr && IsWindow(window)) SendMessageW(window, TB_SETIMAGELIST, 0, 0);
    if (imageList != nullptr) ImageList_Destroy(imageList);
    for (HBITMAP bitmap : mappedBitmaps) ReleaseGdiObject(bitmap);
}

DWORD ToolBar::ToolBarStyle() const {
    DWORD style = WS_CHILD | WS_VISIBLE | TBSTYLE_TOOLTIPS | CCS_NODIVIDER;
    if (!autoSize) style |= CCS_NORESIZE;
    if (border) style |= WS_BORDER;
    if (flat) style |= TBSTYLE_FLAT;
    if (alignBottom) style |= CCS_BOTTOM;
    if (alignTop) style |= CCS_TOP;
    if (alignLeft) style |= CCS_LEFT;
    if (alignRight) style |= CCS_RIGHT;
    if (!alignTop && !alignBottom && !alignLeft && !alignRight) style |= CCS_NOPARENTALIGN;
    if (!enabled) style |= WS_DISABLED;
    return style;
}

void ToolBar::Create() {
    if (created) return;
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    CreateChildWindow(TOOLBARCLASSNAMEW, ToolBarStyle());
    FinishCreate();
    if (window == nullptr) return;
    // The record size of this build (32 bytes in 64-bit programs).
    SendMessageW(window, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // The program's own pictures, at every scale, when it has them; the
    // common controls' otherwise (and when the program's cannot be loaded).
    if (!imageSets.empty()) ApplyScale();
    if (imageList == nullptr) {
        SendMessageW(window, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&standardImages));
        RebuildButtons();
    }
}

void ToolBar::ApplyScale() {
    if (window == nullptr || imageSets.empty()) return;
    const int wanted = Scale().ImageSize();
    const ImageSet* chosen = &imageSets.front();
    for (const ImageSet& set : imageSets) {
        if (set.size == wanted) chosen = &set;
    }
    if (imageList != nullptr && imageListSize == chosen->size) return;
    const int capacity = StandardImageCount + 16;
    HIMAGELIST made = ImageList_Create(chosen->size, chosen->size, ILC_COLOR24 | ILC_MASK, capacity, 0);
    if (made == nullptr) return;
    for (int resource : {chosen->standardStrip, chosen->programStrip}) {
        HBITMAP strip = CountGdiCreation(static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, 0)));
        if (strip == nullptr) continue;
        // The button face shows through the strips' grey.
        ImageList_AddMasked(made, strip, RGB(192, 192, 192));
        ReleaseGdiObject(strip);
    }
    // Without the standard images in their places the buttons would show
    // the wrong pictures: the toolbar keeps what it has.
    if (ImageList_GetImageCount(made) < StandardImageCount) {
        ImageList_Destroy(made);
        return;
    }
    SendMessageW(window, TB_SETBITMAPSIZE, 0, MAKELPARAM(chosen->size, chosen->size));
    SendMessageW(window, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(made));
    if (imageList != nullptr) ImageList_Destroy(imageList);
    imageList = made;
    imageListSize = chosen->size;
    RebuildButtons();
}

void ToolBar::AddItem(ToolBarItem* item) {
    if (item != nullptr) items.push_back(item);
}

int ToolBar::AddMappedBitmap(ToolBarItem& item) {
    if (window == nullptr) return -1;
    COLORMAP map{item.transparentColour, GetSysColor(COLOR_BTNFACE)};
    const HBITMAP bitmap =
        CountGdiCreation(CreateMappedBitmap(GetModuleHandleW(nullptr), item.bitmapResource, 0, &map, 1));
    if (bitmap != nullptr) mappedBitmaps.push_back(bitmap);
    TBADDBITMAP record{nullptr, reinterpret_cast<UINT_PTR>(bitmap)};
    return static_cast<int>(SendMessageW(window, TB_ADDBITMAP, 0, reinterpret_cast<LPARAM>(&record)));
}

void ToolBar::RebuildButtons() {
    if (items.empty()) return;
    std::vector<TBBUTTON> buttons;
    buttons.reserve(std::min(items.size(), MaxButtons));
    int base = 0;
    for (ToolBarItem* item : items) {
        if (buttons.size() == MaxButtons) break;
        item->Create();
        TBBUTTON button{};
        button.idCommand = item->controlId;
        button.fsState = item->enabled ? TBSTATE_ENABLED : 0;
        button.fsStyle = item->buttonStyle;
        int image = item->imageIndex;
        if (image == 0) {
            if (item->bitmapResource != 0 && item->imageCount == 0) {
                image = AddMappedBitmap(*item);
            } else if (item->bitmapResource != 0 && imageList != nullptr) {
                // The program's strip follows the standard images in the set.
                base = StandardImageCount;
                image = base + item->imageOffset;
            } else if (item->bitmapResource != 0) {
                TBADDBITMAP strip{GetModuleHandleW(nullptr), static_cast<UINT_PTR>(item->bitmapResource)};
                base = window != nullptr
                           ? static_cast<int>(SendMessageW(window, TB_ADDBITMAP, static_cast<WPARAM>(item->imageCount),
                                                           reinterpret_cast<LPARAM>(&strip)))
                           : -1;
                image = base + item->imageOffset;
            } else {
                image = item->imageOffset > 0 ? base + item->imageOffset : 0;
            }
        }
        item->imageIndex = image;
        button.iBitmap = image;
        if (showLabels) button.iString = reinterpret_cast<INT_PTR>(item->label.data());
        buttons.push_back(button);
    }
    if (window == nullptr) return;
    while (SendMessageW(window, TB_DELETEBUTTON, 0, 0)) {}
    SendMessageW(window, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(window, TB_AUTOSIZE, 0, 0);
}

// ---- Assistive technology ------------------------------------------------------

// The buttons the control holds: the items past the last button it can hold have none.
long ToolBar::AccessiblePartCount() const { return static_cast<long>(std::min(items.size(), MaxButtons)); }

void ToolBar::DescribePart(long part, AccessibleFacts& facts) const {
    if (part < 1 || part > AccessiblePartCount()) return;
    const ToolBarItem& item = *items[static_cast<std::size_t>(part - 1)];
    if (item.buttonStyle == 1) {
        facts.role = ROLE_SYSTEM_SEPARATOR;
        return;
    }
    facts.name = SpokenCaption(item.tooltipText.empty() ? item.text : Widen(item.tooltipText));
    facts.role = ROLE_SYSTEM_PUSHBUTTON;
    facts.state = item.enabled ? STATE_SYSTEM_FOCUSABLE : STATE_SYSTEM_UNAVAILABLE;
    if (window != nullptr) {
        const LRESULT state = SendMessageW(window, TB_GETSTATE, static_cast<WPARAM>(item.controlId), 0);
        if (state != -1 && (state & TBSTATE_ENABLED) == 0) facts.state = STATE_SYSTEM_UNAVAILABLE;
        if (state != -1 && (state & TBSTATE_PRESSED) != 0) facts.state |= STATE_SYSTEM_PRESSED;
        if (!IsWindowVisible(window)) facts.state |= STATE_SYSTEM_INVISIBLE;
    }
    facts.action = L"Premi";
}

bool ToolBar::PartLocation(long part, RECT& screen) const {
    if (window == nullptr || part < 1 || part > AccessiblePartCount()) return false;
    if (!SendMessageW(window, TB_GETITEMRECT, static_cast<WPARAM>(part - 1), reinterpret_cast<LPARAM>(&screen)))
        return false;
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    return true;
}

bool ToolBar::DoPartAction(long part) {
    if (window == nullptr || part < 1 || part > AccessiblePartCount()) return false;
    const ToolBarItem& item = *items[static_cast<std::size_t>(part - 1)];
    const LRESULT state = SendMessageW(window, TB_GETSTATE, static_cast<WPARAM>(item.controlId), 0);
    if (item.buttonStyle == 1 || state == -1 || (state & TBSTATE_ENABLED) == 0) return false;
    // As a click does: the command reaches the toolbar's parent, later.
    return PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(item.controlId, BN_CLICKED),
                        reinterpret_cast<LPARAM>(window)) != FALSE;
}

}  // namespace QVUtility
