#include "app/print/FormAnteprima.h"

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/core/Registry.h"
#include "toolkit/widgets/PanelChildren.h"

namespace MyApp {

using QVUtility::GUIElement;

// The sheet: shows the picture of the page drawn last.
class PagePicture : public QVUtility::PanelChildren {
public:
    explicit PagePicture(GUIElement* parentElement) : PanelChildren(parentElement) { tabStop = false; }
    HBITMAP image = nullptr;  // owned by the preview

    void OnPaint() override {
        QVUtility::Drawing surface;
        surface.Begin(this);
        // A picture of another size than the sheet (while the window is
        // resized) is stretched over it.
        BITMAP drawn{};
        RECT client{};
        if (image != nullptr && GetObjectW(image, sizeof drawn, &drawn) && GetClientRect(window, &client) &&
            (drawn.bmWidth != client.right || drawn.bmHeight != client.bottom))
            surface.DrawBitmap(image, 0, 0, client.right, client.bottom);
        else if (image != nullptr)
            surface.DrawBitmap(image, 0, 0, 0, 0);
        // The sheet's view has the keyboard (its arrows scroll it): the
        // sheet shows it.
        RECT sheet{};
        if (surface.context != nullptr && parent != nullptr && parent->window != nullptr &&
            GetFocus() == parent->window && GetClientRect(window, &sheet)) {
            InflateRect(&sheet, -Scale()(2), -Scale()(2));
            DrawFocusRect(surface.context, &sheet);
        }
        surface.End();
    }
};

namespace {

constexpr int Pad = 12;    // grey around the sheet
constexpr int BarTop = 8;  // the row of buttons and lists
constexpr int ViewTop = 42;
// The page's number, with its row and column of pages when the chart has
// columns of them ("Pagina 12 di 120 (riga 12, colonna 10)"). Named apart
// from the dialog frame's width of a field's label, which would otherwise
// be the one meant inside the preview's own functions.
constexpr int PageLabelLeft = 225;
constexpr int PageLabelWidth = 290;
constexpr int AfterLabel = PageLabelLeft + PageLabelWidth + 5;
// The three lists side by side, then "Stampa..." and "Chiudi": the width
// they take in one row.
constexpr int ListsWidth = 550;
constexpr int ButtonsWidth = 185;
constexpr int OneRowWidth = AfterLabel + ListsWidth + 10 + ButtonsWidth + 10;
constexpr int RowPitch = 34;  // the second row, when there is one
constexpr int MinimumPixelsPerInch = 8;
constexpr UINT_PTR RestTimerId = 0x5052;  // the sheet drawn once a resize rests
constexpr UINT RestDelay = 200;          // ms

// The zoom list: 0 = the whole sheet in the window, else percent of real size.
const std::vector<std::wstring>& ZoomNames() {
    static const std::vector<std::wstring> names{L"Pagina intera", L"50 %", L"75 %", L"100 %", L"150 %", L"200 %"};
    return names;
}
constexpr int ZoomPercent[] = {0, 50, 75, 100, 150, 200};

void ListChanged(GUIElement* list) {
    if (auto* preview = QVUtility::OwningElement<FormAnteprima>(list)) preview->OnListChanged(list);
}

// The sheet's view scrolls with the keys as with its scroll bars.
void SheetKey(GUIElement* view, int key) {
    if (view == nullptr || view->window == nullptr) return;
    const bool sideways = key == VK_LEFT || key == VK_RIGHT;
    int request = -1;
    switch (key) {
    case VK_UP:
    case VK_LEFT: request = SB_LINEUP; break;
    case VK_DOWN:
    case VK_RIGHT: request = SB_LINEDOWN; break;
    case VK_PRIOR: request = SB_PAGEUP; break;
    case VK_NEXT: request = SB_PAGEDOWN; break;
    case VK_HOME: request = SB_TOP; break;
    case VK_END: request = SB_BOTTOM; break;
    default: return;
    }
    SendMessageW(view->window, sideways ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(request, 0), 0);
}

void SheetFocus(GUIElement* view) {
    auto* preview = QVUtility::OwningElement<FormAnteprima>(view);
    if (preview != nullptr && preview->picture != nullptr) InvalidateRect(preview->picture->window, nullptr, FALSE);
}

void SizeChanged(GUIElement* element) {
    if (auto* preview = dynamic_cast<FormAnteprima*>(element)) preview->OnSizeChanged();
}

// Sets a scroll bar for content of `size` pixels in a view of `view`; the
// bar stays, greyed, when everything is in view.
void SetBar(HWND window, int bar, int size, int view) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = std::max(0, size - 1);
    info.nPage = static_cast<UINT>(std::max(0, view));
    info.nPos = 0;
    SetScrollInfo(window, bar, &info, TRUE);
}

// `percent` of the screen's width or height, as a size for 96 DPI (the
// dialog's sizes are given so).
int ScreenShare(const QVUtility::Form* owner, int metric, int percent) {
    const QVUtility::DisplayScale scale = owner != nullptr ? owner->scale : QVUtility::DisplayScale::OfSystem();
    return scale.ToBase(GetSystemMetrics(metric) * percent / 100);
}

}  // namespace

FormAnteprima::FormAnteprima(QVUtility::Form* ownerForm, const std::wstring& title, const Project& project,
                             const PrintChoice& initial, const PageFormat& landscape, const PageFormat& portrait,
                             const std::wstring& printingDate)
    : DialogFrame(ownerForm, title, ScreenShare(ownerForm, SM_CXSCREEN, 85), ScreenShare(ownerForm, SM_CYSCREEN, 80),
                  L"Tahoma"),
      choice(initial),
      project_(project),
      landscape_(landscape),
      portrait_(portrait),
      date_(printingDate) {
    maximizeBox = true;  // a sizing frame: the sheet view grows with the window
    onResize = &SizeChanged;
    MakeDocument();
    OpenWindow();
    OnSizeChanged();
}

FormAnteprima::~FormAnteprima() {
    CloseSilently();
    if (picture != nullptr && picture->image != nullptr) QVUtility::ReleaseGdiObject(picture->image);
}

std::int64_t FormAnteprima::PageCount() const { return document_ != nullptr ? document_->PageCount() : 0; }

const PageFormat& FormAnteprima::Format() const {
    return choice.content == PrintContent::Chart ? landscape_ : portrait_;
}

void FormAnteprima::MakeDocument() {
    document_ = MakePrintDocument(project_, choice.content, choice.scale, date_);
    ++documents_;
    document_->Paginate(Format().ContentWidthUnits(), Format().ContentHeightUnits());
}

void FormAnteprima::BuildControls() {
    // One row of buttons and lists when the window is wide enough for it;
    // otherwise (a small screen, or large text) the lists go on a second
    // row, so that every command stays in reach.
    const bool oneRow = builtWidth >= OneRowWidth;
    const int listTop = oneRow ? BarTop : BarTop + RowPitch;
    const int listLeft = oneRow ? AfterLabel : 10;
    const int buttonsLeft = oneRow ? AfterLabel + ListsWidth + 10 : AfterLabel;
    viewTop_ = oneRow ? ViewTop : ViewTop + RowPitch;
    previousButton = MakeButton(L"< Precedente", 10, BarTop, 100, 25);
    nextButton = MakeButton(L"Successiva >", 115, BarTop, 100, 25);
    pageLabel = MakeLabel(L"", PageLabelLeft, BarTop + 4, PageLabelWidth, 21);
    zoomList = MakeComboBox(ZoomNames(), zoom_, listLeft, listTop, 120);
    zoomList->onCommand = &ListChanged;
    contentList = MakeComboBox(PrintContentNames(), static_cast<int>(choice.content), listLeft + 130, listTop, 170);
    contentList->onCommand = &ListChanged;
    scaleList =
        MakeComboBox(ChartScaleNames(), static_cast<int>(choice.scale), listLeft + 310, listTop, oneRow ? 240 : 300);
    scaleList->onCommand = &ListChanged;
    printButton = MakeButton(L"Stampa...", buttonsLeft, BarTop, 90, 25);
    closeButton = MakeButton(L"Chiudi", buttonsLeft + 95, BarTop, 90, 25);
    previousButton->accessibleName = L"Pagina precedente";
    nextButton->accessibleName = L"Pagina successiva";
    zoomList->accessibleName = L"Zoom";
    contentList->accessibleName = L"Stampa";
    scaleList->accessibleName = L"Scala";
    if (!oneRow) {
        // The first row's buttons, then the lists of the second row.
        TabAfter(nextButton, printButton);
        TabAfter(printButton, closeButton);
    }

    pageView = Own(new QVUtility::PanelChildren(this));
    Place(pageView, 0, viewTop_, std::max(0, builtWidth), std::max(0, builtHeight - viewTop_));
    pageView->SetBackColour(RGB(128, 128, 128));
    pageView->horizontalBar = true;
    pageView->verticalBar = true;
    pageView->accessibleName = L"Pagina";
    pageView->Create();
    // Tab reaches the sheet last; its arrows and page keys scroll it.
    pageView->onKeyDown = &SheetKey;
    pageView->onGotFocus = &SheetFocus;
    pageView->onLostFocus = &SheetFocus;
    picture = Own(new PagePicture(pageView));
    picture->accessibleName = L"Anteprima della pagina";
    picture->accessibleRole = ROLE_SYSTEM_GRAPHIC;
    Place(picture, Pad, Pad, 10, 10);
    picture->Create();
    firstField = nextButton;
}

void FormAnteprima::OnSizeChanged() {
    if (pageView == nullptr || pageView->window == nullptr || window == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    const int viewTop = scale(viewTop_);
    SetWindowPos(pageView->window, nullptr, 0, viewTop, client.right, std::max(0L, client.bottom - viewTop),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    pageView->width = client.right;
    pageView->height = std::max(0L, client.bottom - viewTop);
    Render(false);
}

void CALLBACK FormAnteprima::RestTimer(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (auto* preview = dynamic_cast<FormAnteprima*>(QVUtility::FindElementHolding(window))) preview->Render();
}

void FormAnteprima::OnButton(GUIElement* button) {
    if (button == nullptr) return;
    if (button == previousButton) {
        ShowPage(page - 1);
    } else if (button == nextButton) {
        ShowPage(page + 1);
    } else if (button == printButton) {
        result = ResultAccepted;
        CloseWindow();
    } else if (button == closeButton) {
        CloseWindow();
    }
}

void FormAnteprima::OnListChanged(GUIElement* list) {
    if (list == zoomList) {
        zoom_ = std::max(0, std::min(zoomList->GetSelectedIndex(), static_cast<int>(ZoomNames().size()) - 1));
        Render();
        return;
    }
    if (list == contentList) {
        choice.content = PrintContentAt(contentList->GetSelectedIndex());
    } else if (list == scaleList) {
        choice.scale = ChartScaleAt(scaleList->GetSelectedIndex());
    } else {
        return;
    }
    MakeDocument();
    page = 0;
    Render();
}

void FormAnteprima::ShowPage(std::int64_t index) {
    page = std::max<std::int64_t>(0, std::min(index, PageCount() - 1));
    Render();
}

void FormAnteprima::Render(bool drawNow) {
    if (picture == nullptr || picture->window == nullptr || pageView->window == nullptr || document_ == nullptr) return;
    page = std::max<std::int64_t>(0, std::min(page, PageCount() - 1));
    const PageFormat& format = Format();
    if (!format.Usable()) return;

    // The sheet's size at the zoom chosen.
    RECT view{};
    GetClientRect(pageView->window, &view);
    const int pad = scale(Pad);
    const double inchesWide = static_cast<double>(format.paperWidth) / format.dpiX;
    const double inchesHigh = static_cast<double>(format.paperHeight) / format.dpiY;
    int pixelsPerInch = scale.Dpi() * ZoomPercent[zoom_] / 100;  // "100 %": the real size on this screen
    if (zoom_ == 0) {
        pixelsPerInch =
            static_cast<int>(std::min((view.right - 2 * pad) / inchesWide, (view.bottom - 2 * pad) / inchesHigh));
    }
    pixelsPerInch = std::max(pixelsPerInch, MinimumPixelsPerInch);
    const SIZE sheet = format.SheetSize(pixelsPerInch);
    const int sheetWidth = sheet.cx;
    const int sheetHeight = sheet.cy;

    const Drawn wanted{documents_, page, pixelsPerInch, &format};
    if (!(wanted == drawn_) && (drawNow || picture->image == nullptr)) {
        HBITMAP image = DrawSheet(*document_, format, page, pixelsPerInch);
        if (image == nullptr) return;  // no memory for the picture: the last one stays
        if (picture->image != nullptr) QVUtility::ReleaseGdiObject(picture->image);
        picture->image = image;
        drawn_ = wanted;
    } else if (!(wanted == drawn_)) {
        SetTimer(window, RestTimerId, RestDelay, &FormAnteprima::RestTimer);
    }

    // The sheet in the view: centred when it is smaller, scrolled from its
    // top left corner when it is larger.
    pageView->ResetHorizontalScroll();
    pageView->ResetVerticalScroll();
    const int contentWidth = sheetWidth + 2 * pad;
    const int contentHeight = sheetHeight + 2 * pad;
    SetBar(pageView->window, SB_HORZ, contentWidth, view.right);
    SetBar(pageView->window, SB_VERT, contentHeight, view.bottom);
    GetClientRect(pageView->window, &view);
    const int left = std::max<int>(pad, (view.right - sheetWidth) / 2);
    const int top = std::max<int>(pad, (view.bottom - sheetHeight) / 2);
    picture->x = left;
    picture->y = top;
    picture->width = sheetWidth;
    picture->height = sheetHeight;
    SetWindowPos(picture->window, nullptr, left, top, sheetWidth, sheetHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(picture->window, nullptr, FALSE);

    pageLabel->SetText(document_->PageLabel(page));
    previousButton->SetEnabled(page > 0);
    nextButton->SetEnabled(page + 1 < PageCount());
    scaleList->SetEnabled(choice.content == PrintContent::Chart);
}

void FormAnteprima::ReportOutcome() {
    if (onClosed) onClosed(choice, result == ResultAccepted);
}

}  // namespace MyApp
