#include "app/FormMain.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/PrintCommands.h"
#include "app/resource.h"
#include "model/Date.h"
#include "toolkit/CellControl.h"
#include "toolkit/FontDescription.h"
#include "toolkit/Menu.h"
#include "toolkit/PanelChildren.h"
#include "toolkit/Services.h"
#include "toolkit/StatusBar.h"
#include "toolkit/TextConversion.h"
#include "toolkit/TimeLine.h"
#include "toolkit/Timer.h"
#include "toolkit/ToolBar.h"

namespace MyApp {

using QVUtility::GUIElement;

FormMain* popupCommandOwner = nullptr;

FormMain* OwningFormMain(GUIElement* element) {
    for (GUIElement* e = element; e != nullptr; e = e->parent) {
        if (auto* form = dynamic_cast<FormMain*>(e)) return form;
    }
    return nullptr;
}

namespace {

// Standard images of the common controls' small strip.
constexpr int StdImageNew = 6;
constexpr int StdImageOpen = 7;
constexpr int StdImageSave = 8;
constexpr int StdImageProperties = 10;

constexpr int ChartLeft = 10;
constexpr int ChartTop = 30;
constexpr int RulerTop = 31;       // the ruler's place in the chart panel
constexpr int BarHeight = 25;
constexpr int RowPitch = 30;
constexpr int GapUnderRuler = 25;  // from the ruler's bottom to the first bar
constexpr int TitleLeft = 10;      // the title cell's place in the chart's content

// Bars whose window would lie within this distance of the panel's client
// origin are placed whole, as they are; the others are cut to the visible
// width plus BarMargin on each side.
constexpr std::int64_t SafeReach = 30000;
constexpr std::int64_t BarMargin = 1000;

// The native window of a bar: its left edge and width in the panel's
// client coordinates, or not shown.
struct BarWindowSpan {
    int left = 0;
    int width = 0;
    bool shown = false;
};

BarWindowSpan WindowSpanOf(const FormMain::BarSpan& span, int scroll, int clientWidth) {
    const std::int64_t left = span.left - scroll;
    const std::int64_t right = left + std::max<std::int64_t>(0, span.width);
    if (left >= -SafeReach && right <= SafeReach) {
        return {static_cast<int>(left), static_cast<int>(right - left), true};
    }
    const std::int64_t from = std::max<std::int64_t>(left, -BarMargin);
    const std::int64_t to = std::min<std::int64_t>(right, static_cast<std::int64_t>(clientWidth) + BarMargin);
    if (to <= from) return {};
    return {static_cast<int>(from), static_cast<int>(to - from), true};
}

// The chart panel's horizontal scroll position (0 without the bar).
int HorizontalScroll(const QVUtility::PanelChildren* panel) {
    if (panel == nullptr || panel->window == nullptr) return 0;
    if ((GetWindowLongW(panel->window, GWL_STYLE) & WS_HSCROLL) == 0) return 0;
    return GetScrollPos(panel->window, SB_HORZ);
}

int PanelClientWidth(const QVUtility::PanelChildren* panel) {
    RECT area{};
    if (panel == nullptr || panel->window == nullptr || !GetClientRect(panel->window, &area)) return 0;
    return area.right - area.left;
}

// ---- Forwarding handlers ------------------------------------------------------

void HandleCreate(GUIElement* element, HWND) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->BuildControls();
}

void HandleResize(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->Layout();
}

bool HandleClose(GUIElement* element) {
    auto* form = dynamic_cast<FormMain*>(element);
    return form == nullptr || form->ConfirmClose();
}

bool HandleQueryEndSession(GUIElement* element) {
    auto* form = dynamic_cast<FormMain*>(element);
    return form == nullptr || form->AllowSessionEnd();
}

void HandleEndSession(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->EndWithSession();
}

int HandleLeftButtonUp(GUIElement* element, HWND, int x, int y) {
    if (FormMain* form = OwningFormMain(element)) form->OnFormLeftButtonUp(x, y);
    return 0;
}

int HandleLeftButtonDown(GUIElement* element, HWND, int x, int y) {
    if (FormMain* form = OwningFormMain(element)) form->OnFormLeftButtonDown(x, y);
    return 0;
}

void HandleKeyDown(GUIElement* element, int key) {
    if (FormMain* form = OwningFormMain(element)) form->OnFormKeyDown(key);
}

void HandleKeyUp(GUIElement* element, int key) {
    if (FormMain* form = OwningFormMain(element)) form->OnFormKeyUp(key);
}

bool HandleChar(GUIElement* element, int character) {
    FormMain* form = OwningFormMain(element);
    return form == nullptr || form->FilterFormChar(character);
}

void HandleActivate(GUIElement* element) {
    if (FormMain* form = OwningFormMain(element)) form->OnFormActivate();
}

void HandleDeactivate(GUIElement* element) {
    if (FormMain* form = OwningFormMain(element)) form->OnFormDeactivate();
}

void HandleMenuCommand(GUIElement* item) {
    FormMain* form = OwningFormMain(item);
    if (form == nullptr) form = popupCommandOwner;
    if (form != nullptr) form->OnMenuCommand(item);
}

void HandleToolbarCommand(GUIElement* item) {
    if (FormMain* form = OwningFormMain(item)) form->OnToolbarCommand(item);
}

int HandleBarRightClick(GUIElement* element, HWND, int x, int y) {
    if (FormMain* form = OwningFormMain(element)) form->OnBarRightClick(element, x, y);
    return 0;
}

// The panel scrolled its content (and with it the bar windows, which the
// platform may have clamped): every bar goes back to its own place.
void HandleChartScroll(GUIElement* panel, int) {
    if (FormMain* form = OwningFormMain(panel)) form->PlaceBars();
}

void HandleLayoutTimer(QVUtility::Timer* timer) {
    if (FormMain* form = OwningFormMain(timer)) form->UpdateScrollBars();
}

}  // namespace

// ---- Construction -------------------------------------------------------------

FormMain::FormMain(HINSTANCE instanceHandle, const std::wstring& title) : Form(instanceHandle) {
    elementFont = new QVUtility::FontDescription(std::wstring(L"Lucida Console"), 14);
    captionFont = new QVUtility::FontDescription(std::wstring(L"Arial"), 22);
    captionFont->bold = true;
    font = elementFont;

    x = 0;
    y = 0;
    width = static_cast<int>(GetSystemMetrics(SM_CXSCREEN) * 0.9);
    height = static_cast<int>(GetSystemMetrics(SM_CYSCREEN) * 0.9);
    text = title;

    onCreate = &HandleCreate;
    onLeftButtonUp = &HandleLeftButtonUp;
    onLeftButtonDown = &HandleLeftButtonDown;
    onKeyUp = &HandleKeyUp;
    onKeyDown = &HandleKeyDown;
    onChar = &HandleChar;
    onResize = &HandleResize;
    onClose = &HandleClose;
    onQueryEndSession = &HandleQueryEndSession;
    onEndSession = &HandleEndSession;
    onActivate = &HandleActivate;
    onDeactivate = &HandleDeactivate;

    Create();
    SetIcon(IDI_APP);
    if (window != nullptr) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(elementFont->GetFont()), TRUE);
    Layout();
    printing = new PrintCommands(this);
    if (popupCommandOwner == nullptr) popupCommandOwner = this;
}

FormMain::~FormMain() {
    if (popupCommandOwner == this) popupCommandOwner = nullptr;
    if (layoutTimer != nullptr && layoutTimer->running) layoutTimer->Stop();
    // The window goes first (without asking anything): its last messages
    // must not reach elements that are being deleted.
    if (created && window != nullptr && IsWindow(window)) {
        onClose = nullptr;
        onResize = nullptr;
        UnregisterHotkeys();
        DestroyWindow(window);
    }
    ReleaseDialogs();
    delete printing;
    printing = nullptr;

    delete exitItem;
    delete dividerItem;
    delete previewItem;
    delete printItem;
    delete exportItem;
    delete saveAsItem;
    delete saveItem;
    delete openItem;
    delete newItem;
    delete fileMenu;
    delete infoItem;
    delete homeItem;
    delete guideItem;
    delete helpMenu;
    delete deleteTaskItem;
    delete editTaskItem;
    delete taskMenu;
    delete menuBar;

    delete layoutTimer;
    for (QVUtility::CellControl* bar : bars) delete bar;
    bars.clear();
    delete titleCell;
    delete ruler;
    delete chartPanel;
    for (QVUtility::ToolBarItem* item : {newButton, openButton, firstSeparator, saveButton, secondSeparator,
                                         propertiesButton, addTaskButton, includeDaysButton, excludeDaysButton,
                                         costButton}) {
        delete item;
    }
    delete toolBar;
    delete statusBar;

    font = nullptr;
    delete captionFont;
    delete elementFont;
}

// ---- Building -------------------------------------------------------------------

void FormMain::BuildMenus() {
    using QVUtility::Menu;
    using QVUtility::SubMenu;
    menuBar = new QVUtility::MenuBar(this);

    fileMenu = new Menu("&File", menuBar);
    newItem = new SubMenu(fileMenu, std::wstring(L"&Nuovo"));
    openItem = new SubMenu(fileMenu, std::wstring(L"&Apri"));
    saveItem = new SubMenu(fileMenu, std::wstring(L"&Salva"));
    saveAsItem = new SubMenu(fileMenu, std::wstring(L"Sa&lva come..."));
    exportItem = new SubMenu(fileMenu, std::wstring(L"Esporta come immagine..."));
    printItem = new SubMenu(fileMenu, std::wstring(L"&Stampa..."));
    previewItem = new SubMenu(fileMenu, std::wstring(L"Anteprima di stampa"));
    dividerItem = new SubMenu(fileMenu, std::wstring());
    dividerItem->appendFlags = MF_SEPARATOR;
    exitItem = new SubMenu(fileMenu, std::wstring(L"&Esci"));
    saveItem->SetEnabled(false);
    saveAsItem->SetEnabled(false);
    exportItem->SetEnabled(false);
    printItem->SetEnabled(false);
    previewItem->SetEnabled(false);

    helpMenu = new Menu("&?", menuBar);
    guideItem = new SubMenu(helpMenu, std::wstring(L"&Guida"));
    homeItem = new SubMenu(helpMenu, std::wstring(L"&Home"));
    infoItem = new SubMenu(helpMenu, std::wstring(L"&Info..."));

    // No bar: the source of the bars' popup menu.
    taskMenu = new Menu("&Task", nullptr);
    editTaskItem = new SubMenu(taskMenu, std::wstring(L"&Modifica Task"));
    deleteTaskItem = new SubMenu(taskMenu, std::wstring(L"&Cancella Task"));

    for (SubMenu* item : {newItem, openItem, saveItem, saveAsItem, exportItem, printItem, previewItem, exitItem,
                          guideItem, homeItem, infoItem, editTaskItem, deleteTaskItem}) {
        item->onCommand = &HandleMenuCommand;
    }
    menuBar->Create();
}

QVUtility::ToolBarItem* FormMain::AddToolBarItem(const std::wstring& tooltip, int imageIndex, bool enable) {
    auto* item = new QVUtility::ToolBarItem(toolBar);
    item->text = tooltip;
    item->tooltipText = QVUtility::Narrow(tooltip);
    item->imageIndex = imageIndex;
    item->enabled = enable;
    item->onCommand = &HandleToolbarCommand;
    toolBar->AddItem(item);
    return item;
}

void FormMain::BuildToolBar() {
    toolBar = new QVUtility::ToolBar(this);
    toolBar->x = 10;
    toolBar->y = 3;
    toolBar->flat = 1;
    toolBar->alignTop = 0;
    toolBar->alignBottom = 0;
    toolBar->alignLeft = 0;
    toolBar->alignRight = 0;
    toolBar->width = 100;
    toolBar->height = 25;

    newButton = AddToolBarItem(L"Nuovo", StdImageNew, true);
    openButton = AddToolBarItem(L"Apri", StdImageOpen, true);
    firstSeparator = AddToolBarItem(L"", 0, true);
    firstSeparator->buttonStyle = 1;
    saveButton = AddToolBarItem(L"Salva", StdImageSave, false);
    secondSeparator = AddToolBarItem(L"", 0, true);
    secondSeparator->buttonStyle = 1;
    propertiesButton = AddToolBarItem(L"Cambia proprietà", StdImageProperties, false);
    // The program's strip: the first of its items adds the strip, the
    // others take their image by offset from where it starts.
    addTaskButton = AddToolBarItem(L"Inserisci Task", 0, false);
    addTaskButton->bitmapResource = IDB_TOOLBAR;
    addTaskButton->imageCount = IDB_TOOLBAR_COUNT;
    addTaskButton->imageOffset = TBIMG_ADD_TASK;
    includeDaysButton = AddToolBarItem(L"Includi giorni", 0, false);
    includeDaysButton->imageOffset = TBIMG_INCLUDE_DAYS;
    excludeDaysButton = AddToolBarItem(L"Escludi giorni", 0, false);
    excludeDaysButton->imageOffset = TBIMG_EXCLUDE_DAYS;
    costButton = AddToolBarItem(L"Calcola il conto economico", 0, false);
    costButton->imageOffset = TBIMG_COST;
    toolBar->Create();
}

void FormMain::BuildControls() {
    BuildMenus();

    RECT client{};
    GetClientRect(window, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;

    chartPanel = new QVUtility::PanelChildren(this);
    chartPanel->x = ChartLeft;
    chartPanel->y = ChartTop;
    chartPanel->width = std::max(0, clientWidth - 20);
    chartPanel->height = std::max(0, clientHeight - 60);
    chartPanel->border = true;
    chartPanel->SetBackColour(0xC0C0C0);
    chartPanel->childBackColour = 0xDCDCDC;
    chartPanel->childTextColour = 0;
    chartPanel->onKeyDown = &HandleKeyDown;
    chartPanel->onChar = &HandleChar;
    chartPanel->onHorizontalScroll = &HandleChartScroll;
    chartPanel->Create();

    titleCell = new QVUtility::CellControl(chartPanel);
    titleCell->SetBackColour(chartPanel->backColour);
    titleCell->textColour = 0;
    titleCell->SetSize(static_cast<int>(GetSystemMetrics(SM_CXSCREEN) * 0.9), 30);
    titleCell->font = captionFont;
    titleCell->x = TitleLeft;
    titleCell->y = 0;
    titleCell->Create();
    ShowWindow(titleCell->window, SW_HIDE);

    ruler = new QVUtility::TimeLine(chartPanel);
    ruler->x = 0;
    ruler->y = RulerTop;
    ruler->Create();
    ShowWindow(ruler->window, SW_HIDE);

    BuildToolBar();

    layoutTimer = new QVUtility::Timer(this, 500);
    layoutTimer->onTimer = &HandleLayoutTimer;

    statusBar = new QVUtility::StatusBar(this, project.filePath);
    statusBar->Create();
}

// ---- Layout and scrolling -----------------------------------------------------------

void FormMain::Layout() {
    if (window == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;

    if (chartPanel != nullptr) chartPanel->SetSize(std::max(0, clientWidth - 20), std::max(0, clientHeight - 60));

    if (statusBar != nullptr && statusBar->window != nullptr) {
        RECT bar{};
        if (GetWindowRect(statusBar->window, &bar)) {
            statusBar->width = bar.right - bar.left;
            statusBar->height = bar.bottom - bar.top;
        }
        if (statusBar->width != clientWidth) statusBar->SetSize(clientWidth, statusBar->height);
        statusBar->x = 0;
        statusBar->y = clientHeight - statusBar->height;
        SetWindowPos(statusBar->window, nullptr, statusBar->x, statusBar->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        statusBar->Redraw();
    }

    if (layoutTimer != nullptr && !layoutTimer->running) layoutTimer->Start();
}

void FormMain::UpdateScrollBars() {
    static bool running = false;
    if (running) return;
    running = true;

    if (chartPanel != nullptr) {
        auto readClientSize = [this] {
            RECT client{};
            if (chartPanel->window != nullptr && GetClientRect(chartPanel->window, &client)) {
                chartPanel->width = client.right - client.left;
                chartPanel->height = client.bottom - client.top;
            }
        };
        readClientSize();
        if (chartPanel->width < chartWidth) {
            chartPanel->ShowHorizontalBar(true);
            chartPanel->SetContentWidth(chartWidth);
        } else {
            chartPanel->ResetHorizontalScroll();
            chartPanel->ResetVerticalScroll();
            chartPanel->ShowHorizontalBar(false);
        }
        readClientSize();
        if (chartPanel->height < contentHeight) {
            chartPanel->ShowVerticalBar(true);
            chartPanel->SetContentHeight(contentHeight);
        } else {
            chartPanel->ResetHorizontalScroll();
            chartPanel->ResetVerticalScroll();
            chartPanel->ShowVerticalBar(false);
        }
    }
    // Resetting or clamping the scroll position moved the content with it.
    PlaceBars();
    if (layoutTimer != nullptr) layoutTimer->Stop();
    running = false;
}

// ---- The chart ------------------------------------------------------------------------

void FormMain::MarkModified() {
    project.modified = true;
    if (saveButton != nullptr && !saveButton->enabled) {
        saveItem->SetEnabled(true);
        saveButton->SetEnabled(true);
        toolBar->RebuildButtons();
    }
    RefreshChart();
}

void FormMain::RefreshChart() {
    if (chartPanel == nullptr) return;
    chartPanel->ResetHorizontalScroll();
    chartPanel->ResetVerticalScroll();
    BuildChartRows();
    Layout();
}

void FormMain::BuildChartRows() {
    if (chartPanel == nullptr || titleCell == nullptr || ruler == nullptr) return;

    titleCell->SetTextNarrow(project.description);
    if (!titleCell->created) titleCell->Create();
    ShowWindow(titleCell->window, SW_SHOWNA);
    chartBuilt = true;

    ruler->SetProject(project.start, project.end, project.includeDays, project.excludeDays,
                      project.workingWeekdays);
    if (!ruler->created) ruler->Create();
    ShowWindow(ruler->window, SW_SHOWNA);
    // The width the ruler gave itself for the span (the platform may cap the
    // size of a window, the export must not be).
    chartWidth = ruler->width;

    for (QVUtility::CellControl* bar : bars) ShowWindow(bar->window, SW_HIDE);

    const int dayWidth = ruler->dayWidth;
    int rulerTop = ruler->y;
    int rulerHeight = ruler->height;
    if (ruler->window != nullptr) {
        RECT outer{};
        if (GetWindowRect(ruler->window, &outer)) rulerHeight = outer.bottom - outer.top;
        POINT place = ruler->RefreshPosition();
        rulerTop = place.y;
    }
    int rowTop = rulerTop + rulerHeight + GapUnderRuler;

    const int scroll = HorizontalScroll(chartPanel);
    const int clientWidth = PanelClientWidth(chartPanel);
    barSpans.assign(project.tasks.size(), BarSpan{});
    for (size_t i = 0; i < project.tasks.size(); ++i) {
        const Task& task = project.tasks[i];
        BarSpan& span = barSpans[i];
        span.width = std::max<std::int64_t>(0, (DaysUntil(task.start, task.end) + 1) * dayWidth);
        span.left = DaysUntil(project.start, task.start) * dayWidth;
        const BarWindowSpan place = WindowSpanOf(span, scroll, clientWidth);
        if (i == bars.size()) {
            // A new bar is made in its place with its colour and text, so
            // that its window is drawn once rather than at every step.
            auto* bar = new QVUtility::CellControl(chartPanel);
            bar->onRightButtonUp = &HandleBarRightClick;
            bar->width = place.width;
            bar->height = BarHeight;
            bar->x = place.left;
            bar->y = rowTop;
            bar->backColour = task.colour;
            bar->textColour = BarTextColour(task.colour);
            bar->text = QVUtility::Widen(task.description);
            bar->tag = std::to_string(static_cast<long long>(task.id));
            bar->Create();
            if (!place.shown && bar->window != nullptr) ShowWindow(bar->window, SW_HIDE);
            bars.push_back(bar);
            rowTop += RowPitch;
            continue;
        }
        QVUtility::CellControl* bar = bars[i];
        bar->SetSize(place.width, BarHeight);
        bar->SetBackColour(task.colour);
        bar->textColour = BarTextColour(task.colour);
        if (bar->window != nullptr) InvalidateRect(bar->window, nullptr, TRUE);
        bar->SetTextNarrow(task.description);
        bar->x = place.left;
        bar->y = rowTop;
        if (bar->created && bar->window != nullptr) {
            SetWindowPos(bar->window, nullptr, bar->x, bar->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            bar->Redraw();
        }
        bar->tag = std::to_string(static_cast<long long>(task.id));
        if (place.shown) ShowWindow(bar->window, SW_SHOWNA);
        rowTop += RowPitch;
    }
    contentHeight = rowTop + RowPitch;
}

void FormMain::PlaceBars() {
    if (chartPanel == nullptr || chartPanel->window == nullptr) return;
    const int scroll = HorizontalScroll(chartPanel);
    const int clientWidth = PanelClientWidth(chartPanel);
    if (chartBuilt && titleCell != nullptr && titleCell->window != nullptr) {
        // The title keeps its whole width: it is shown only where it can be placed as it is.
        const std::int64_t left = static_cast<std::int64_t>(TitleLeft) - scroll;
        RECT outer{};
        if (left < -SafeReach || left > SafeReach) {
            if (IsWindowVisible(titleCell->window)) ShowWindow(titleCell->window, SW_HIDE);
        } else if (GetWindowRect(titleCell->window, &outer)) {
            POINT corner{outer.left, outer.top};
            ScreenToClient(chartPanel->window, &corner);
            if (corner.x != left) {
                SetWindowPos(titleCell->window, nullptr, static_cast<int>(left), corner.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            if (!IsWindowVisible(titleCell->window)) ShowWindow(titleCell->window, SW_SHOWNA);
        }
    }
    for (size_t i = 0; i < bars.size() && i < barSpans.size(); ++i) {
        QVUtility::CellControl* bar = bars[i];
        if (bar == nullptr || bar->window == nullptr) continue;
        const BarWindowSpan place = WindowSpanOf(barSpans[i], scroll, clientWidth);
        if (!place.shown) {
            if (IsWindowVisible(bar->window)) ShowWindow(bar->window, SW_HIDE);
            continue;
        }
        RECT outer{};
        if (!GetWindowRect(bar->window, &outer)) continue;
        POINT corner{outer.left, outer.top};
        ScreenToClient(chartPanel->window, &corner);
        if (corner.x != place.left || outer.right - outer.left != place.width) {
            bar->width = place.width;
            SetWindowPos(bar->window, nullptr, place.left, corner.y, place.width, outer.bottom - outer.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(bar->window, nullptr, TRUE);
        }
        if (!IsWindowVisible(bar->window)) ShowWindow(bar->window, SW_SHOWNA);
    }
}

void FormMain::OnBarRightClick(GUIElement* element, int px, int py) {
    auto* bar = dynamic_cast<QVUtility::CellControl*>(element);
    if (bar == nullptr || bar == titleCell || bar->window == nullptr) return;
    // Only the bars carry this handler; the title cell and the ruler do not.
    POINT point{px, py};
    ClientToScreen(bar->window, &point);
    selectedBar = element;
    QVUtility::ShowPopup(taskMenu, bar->parent, point.x, point.y);
}

// ---- Closing ------------------------------------------------------------------------------

bool FormMain::ConfirmClose() {
    UnregisterHotkeys();
    if (!QVUtility::AskYesNo(std::wstring(L"Vuoi realmente uscire?"), std::wstring(L"Uscita"))) {
        RegisterHotkeys();
        return false;
    }
    // Unsaved changes that the user wants to keep are never dropped: when
    // the save fails or no file name is given, the window stays open.
    if (!OfferToSave()) {
        RegisterHotkeys();
        return false;
    }
    if (layoutTimer != nullptr && layoutTimer->running) layoutTimer->Stop();
    return true;
}

bool FormMain::AllowSessionEnd() {
    if (!project.modified) return true;
    // The system may ask again while the question is up: one question at a time.
    static bool questionOpen = false;
    if (questionOpen) return false;
    struct Asking {
        bool& open;
        explicit Asking(bool& flag) : open(flag) { open = true; }
        ~Asking() { open = false; }
    } asking(questionOpen);
    const QVUtility::ShutdownBlock block(this, L"Il progetto ha modifiche non salvate.");
    return OfferToSave();
}

void FormMain::EndWithSession() {
    if (layoutTimer != nullptr && layoutTimer->running) layoutTimer->Stop();
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
}

// ---- Commands -------------------------------------------------------------------------------

void FormMain::OnMenuCommand(GUIElement* item) {
    if (item == nullptr) return;
    const int id = item->controlId;
    auto is = [id](GUIElement* candidate) { return candidate != nullptr && candidate->controlId == id; };
    if (is(exitItem)) {
        if (window != nullptr) SendMessageW(window, WM_CLOSE, 0, 0);
    } else if (is(homeItem)) {
        OpenHomePage();
    } else if (is(guideItem)) {
        OpenGuidePage();
    } else if (is(infoItem)) {
        ShowAbout();
    } else if (is(openItem)) {
        if (OfferToSave()) OpenProject();
    } else if (is(newItem)) {
        if (OfferToSave()) NewProject();
    } else if (is(saveItem)) {
        SaveProject(true);
    } else if (is(saveAsItem)) {
        SaveProjectAs();
    } else if (is(exportItem)) {
        ExportChart();
    } else if (is(printItem)) {
        if (printing != nullptr) printing->Print();
    } else if (is(previewItem)) {
        if (printing != nullptr) printing->Preview();
    } else if (is(editTaskItem)) {
        EditTask();
    } else if (is(deleteTaskItem)) {
        DeleteTask();
    }
}

void FormMain::OnToolbarCommand(GUIElement* item) {
    if (item == nullptr) return;
    if (item == newButton) {
        OnMenuCommand(newItem);
    } else if (item == openButton) {
        OnMenuCommand(openItem);
    } else if (item == saveButton) {
        OnMenuCommand(saveItem);
    } else if (item == propertiesButton) {
        EditProject();
    } else if (item == addTaskButton) {
        NewTask();
    } else if (item == includeDaysButton) {
        EditIncludedDays();
    } else if (item == excludeDaysButton) {
        EditExcludedDays();
    } else if (item == costButton) {
        ShowCostReport();
    }
}

void FormMain::EnableProjectCommands() {
    if (propertiesButton != nullptr && !propertiesButton->enabled) {
        for (QVUtility::ToolBarItem* button :
             {propertiesButton, addTaskButton, includeDaysButton, excludeDaysButton, costButton}) {
            button->SetEnabled(true);
        }
        toolBar->RebuildButtons();
    }
    if (exportItem != nullptr && !exportItem->enabled) exportItem->SetEnabled(true);
    for (QVUtility::SubMenu* item : {printItem, previewItem}) {
        if (item != nullptr && !item->enabled) item->SetEnabled(true);
    }
}

void FormMain::DisableSaveCommands() {
    if (saveButton != nullptr && saveButton->enabled) {
        saveItem->SetEnabled(false);
        saveButton->SetEnabled(false);
        toolBar->RebuildButtons();
    }
}

// ---- Keys, characters and the mouse: the main window has no use for them ---------------

bool FormMain::FilterFormChar(int) { return true; }

bool FormMain::FilterChildChar(GUIElement*, int character) { return character != 9 && character != 13; }

void FormMain::OnFormKeyDown(int) {}
void FormMain::OnFormKeyUp(int) {}

void FormMain::CloseOnEscape(GUIElement*, int key) {
    if (key == 27 && window != nullptr) SendMessageW(window, WM_CLOSE, 0, 0);
}

void FormMain::OnFormLeftButtonUp(int, int) {}
void FormMain::OnFormLeftButtonDown(int, int) {}
void FormMain::OnFormRightButtonUp(int, int) {}
void FormMain::OnFormRightButtonDown(int, int) {}
void FormMain::OnFormIdle() {}

void FormMain::SelectAllText(GUIElement* textBox) {
    if (textBox != nullptr && textBox->created && textBox->window != nullptr)
        SendMessageW(textBox->window, EM_SETSEL, 0, -1);
}

void FormMain::OnFormShown() {}
void FormMain::OnFormHidden() {}
void FormMain::OnFormActivate() {}
void FormMain::OnFormDeactivate() {}

}  // namespace MyApp
