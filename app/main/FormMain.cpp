#include "app/main/FormMain.h"

#include <shlwapi.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>

#include "app/print/PrintCommands.h"
#include "app/settings/RecentFiles.h"
#include "app/settings/WindowPlace.h"
#include "app/res/resource.h"
#include "model/Date.h"
#include "toolkit/core/Menu.h"
#include "toolkit/core/WindowReach.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/Timer.h"
#include "toolkit/widgets/ToolBar.h"

namespace MyApp {

using QVUtility::GUIElement;

FormMain* popupCommandOwner = nullptr;

namespace {

// Standard images of the common controls' small strip.
constexpr int StdImageNew = 6;
constexpr int StdImageOpen = 7;
constexpr int StdImageSave = 8;
constexpr int StdImageProperties = 10;

constexpr int ChartLeft = 10;  // the chart panel's place in the window (and its margins)
constexpr int ChartTop = 30;
constexpr int ToolBarLeft = 10;
constexpr int ToolBarTop = 3;

// Moves a child window of `panel` to (left, top) and, when width is not
// negative, gives it that size; nothing when it is there already.
void PlaceChild(HWND child, HWND panel, int left, int top, int width = -1, int height = -1) {
    RECT outer{};
    if (child == nullptr || !GetWindowRect(child, &outer)) return;
    POINT corner{outer.left, outer.top};
    ScreenToClient(panel, &corner);
    const bool resized = width >= 0 && (outer.right - outer.left != width || outer.bottom - outer.top != height);
    if (corner.x == left && corner.y == top && !resized) return;
    SetWindowPos(child, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (resized ? 0 : SWP_NOSIZE));
}

// The menu text of recent file `number`: its number as the mnemonic, then
// the path, shortened in the middle when long; an "&" in it is a letter.
std::wstring RecentFileText(std::size_t number, const std::string& path) {
    const std::wstring full = QVUtility::Widen(path);
    wchar_t shortened[MAX_PATH] = {};
    const std::wstring shown = PathCompactPathExW(shortened, full.c_str(), 60, 0) ? shortened : full;
    std::wstring text = L"&" + std::to_wstring(number) + L" ";
    for (wchar_t c : shown) {
        if (c == L'&') text += L'&';
        text += c;
    }
    return text;
}

void ShowChild(HWND child, bool show) {
    if (child == nullptr || (IsWindowVisible(child) != FALSE) == show) return;
    ShowWindow(child, show ? SW_SHOWNA : SW_HIDE);
}

// ---- Forwarding handlers ------------------------------------------------------

void HandleCreate(GUIElement* element, HWND) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->BuildControls();
}

void HandleResize(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) {
        form->Layout();
        form->RememberPlace();
    }
}

void HandleMove(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->RememberPlace();
}

void HandleFilesDropped(QVUtility::Form* form, const std::vector<std::wstring>& paths) {
    if (auto* mainForm = dynamic_cast<FormMain*>(form)) mainForm->OnFilesDropped(paths);
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
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnFormLeftButtonUp(x, y);
    return 0;
}

int HandleLeftButtonDown(GUIElement* element, HWND, int x, int y) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnFormLeftButtonDown(x, y);
    return 0;
}

void HandleKeyDown(GUIElement* element, int key) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnFormKeyDown(key);
}

void HandleKeyUp(GUIElement* element, int key) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnFormKeyUp(key);
}

bool HandleChar(GUIElement* element, int character) {
    FormMain* form = QVUtility::OwningElement<FormMain>(element);
    return form == nullptr || form->FilterFormChar(character);
}

void HandleActivate(GUIElement* element) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnFormActivate();
}

void HandleDeactivate(GUIElement* element) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnFormDeactivate();
}

void HandleMenuCommand(GUIElement* item) {
    FormMain* form = QVUtility::OwningElement<FormMain>(item);
    if (form == nullptr) form = popupCommandOwner;
    if (form != nullptr) form->OnMenuCommand(item);
}

void HandleToolbarCommand(GUIElement* item) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(item)) form->OnToolbarCommand(item);
}

int HandleBarRightClick(GUIElement* element, HWND, int x, int y) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnBarRightClick(element, x, y);
    return 0;
}

int HandleBarLeftClick(GUIElement* element, HWND, int, int) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnBarLeftClick(element);
    return 0;
}

int HandleBarDoubleClick(GUIElement* element, HWND, int, int) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(element)) form->OnBarDoubleClick(element);
    return 0;
}

void HandleSelectPrevious(QVUtility::Form* form) {
    if (auto* mainForm = dynamic_cast<FormMain*>(form)) mainForm->MoveSelection(-1);
}

void HandleSelectNext(QVUtility::Form* form) {
    if (auto* mainForm = dynamic_cast<FormMain*>(form)) mainForm->MoveSelection(1);
}

// The panel scrolled its content (and with it the bar windows, which the
// platform may have clamped): the bars follow the rows now in view.
void HandleChartScroll(GUIElement* panel, int) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(panel)) form->PlaceBars();
}

void HandleLayoutTimer(QVUtility::Timer* timer) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(timer)) form->UpdateScrollBars();
}

}  // namespace

// ---- Construction -------------------------------------------------------------

FormMain::FormMain(HINSTANCE instanceHandle, const std::wstring& title) : Form(instanceHandle) {
    elementFont = OwnFont(L"Lucida Console", 14);
    captionFont = OwnFont(L"Arial", 22);
    captionFont->bold = true;
    // A cell's own font, made once for all the bars rather than at each paint.
    barFont = OwnFont(L"Tahoma", 14);
    for (QVUtility::FontDescription* each : {elementFont, captionFont, barFont}) each->SetDpi(scale.Dpi());
    font = elementFont;
    chartLayout = ChartLayout(scale);

    x = 0;
    y = 0;
    width = static_cast<int>(GetSystemMetrics(SM_CXSCREEN) * 0.9);
    height = static_cast<int>(GetSystemMetrics(SM_CYSCREEN) * 0.9);
    // Where the window was when the program last ended, when that can be reached.
    WindowPlace place;
    if (LoadWindowPlace(place)) {
        x = place.normal.left;
        y = place.normal.top;
        width = place.normal.right - place.normal.left;
        height = place.normal.bottom - place.normal.top;
        startMaximized = place.maximized;
    }
    normalPlace = RECT{x, y, x + width, y + height};
    text = title;

    onCreate = &HandleCreate;
    onLeftButtonUp = &HandleLeftButtonUp;
    onLeftButtonDown = &HandleLeftButtonDown;
    onKeyUp = &HandleKeyUp;
    onKeyDown = &HandleKeyDown;
    onChar = &HandleChar;
    onResize = &HandleResize;
    onMove = &HandleMove;
    onClose = &HandleClose;
    onFilesDropped = &HandleFilesDropped;
    onQueryEndSession = &HandleQueryEndSession;
    onEndSession = &HandleEndSession;
    onActivate = &HandleActivate;
    onDeactivate = &HandleDeactivate;

    Create();
    SetIcon(IDI_APP);
    if (window != nullptr) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(elementFont->GetFont()), TRUE);
    Layout();
    printing = std::make_unique<PrintCommands>(this);
    BuildLaterMenus();
    AssignShortcuts();
    AcceptFiles(true);
    if (popupCommandOwner == nullptr) popupCommandOwner = this;
}

FormMain::~FormMain() {
    if (popupCommandOwner == this) popupCommandOwner = nullptr;
    if (layoutTimer != nullptr && layoutTimer->running) layoutTimer->Stop();
    // The window goes first; the print commands, the recent files' items,
    // the elements and the fonts follow as members.
    DestroyQuietly();
    ReleaseDialogs();
    font = nullptr;
}

QVUtility::FontDescription* FormMain::OwnFont(const wchar_t* face, int height) {
    return ownedFonts.emplace_back(std::make_unique<QVUtility::FontDescription>(std::wstring(face), height)).get();
}

// ---- Building -------------------------------------------------------------------

void FormMain::BuildMenus() {
    using QVUtility::Menu;
    using QVUtility::SubMenu;
    menuBar = ownedElements.Add(new QVUtility::MenuBar(this));

    fileMenu = ownedElements.Add(new Menu("&File", menuBar));
    newItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring(L"&Nuovo")));
    openItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring(L"&Apri")));
    saveItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring(L"&Salva")));
    saveAsItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring(L"Sa&lva come...")));
    exportItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring(L"Esporta come immagine...")));
    printItem = ownedElements.Add(new SubMenu(fileMenu, IDM_PRINT, L"&Stampa..."));
    previewItem = ownedElements.Add(new SubMenu(fileMenu, IDM_PRINT_PREVIEW, L"Anteprima di stampa"));
    dividerItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring()));
    dividerItem->appendFlags = MF_SEPARATOR;
    exitItem = ownedElements.Add(new SubMenu(fileMenu, std::wstring(L"&Esci")));
    saveItem->SetEnabled(false);
    saveAsItem->SetEnabled(false);
    exportItem->SetEnabled(false);
    printItem->SetEnabled(false);
    previewItem->SetEnabled(false);

    editMenu = ownedElements.Add(new Menu("&Modifica", menuBar));
    undoItem = ownedElements.Add(new SubMenu(editMenu, IDM_UNDO, L"&Annulla"));
    redoItem = ownedElements.Add(new SubMenu(editMenu, IDM_REDO, L"&Ripeti"));
    undoItem->SetEnabled(false);
    redoItem->SetEnabled(false);

    helpMenu = ownedElements.Add(new Menu("&?", menuBar));
    guideItem = ownedElements.Add(new SubMenu(helpMenu, std::wstring(L"&Guida")));
    homeItem = ownedElements.Add(new SubMenu(helpMenu, std::wstring(L"&Home")));
    infoItem = ownedElements.Add(new SubMenu(helpMenu, std::wstring(L"&Info...")));

    // No bar: the source of the bars' popup menu.
    taskMenu = ownedElements.Add(new Menu("&Task", nullptr));
    editTaskItem = ownedElements.Add(new SubMenu(taskMenu, std::wstring(L"&Modifica Task")));
    deleteTaskItem = ownedElements.Add(new SubMenu(taskMenu, std::wstring(L"&Cancella Task")));

    for (SubMenu* item : {newItem, openItem, saveItem, saveAsItem, exportItem, printItem, previewItem, exitItem,
                          undoItem, redoItem, guideItem, homeItem, infoItem, editTaskItem, deleteTaskItem}) {
        item->onCommand = &HandleMenuCommand;
    }
    menuBar->Create();
}

void FormMain::BuildLaterMenus() {
    using QVUtility::SubMenu;
    if (menuBar == nullptr) return;
    projectMenu = ownedElements.Add(new QVUtility::Menu("&Progetto", menuBar, helpMenu));
    propertiesItem = ownedElements.Add(new SubMenu(projectMenu, IDM_PROJECT_PROPERTIES, L"Cambia proprietà"));
    addTaskItem = ownedElements.Add(new SubMenu(projectMenu, IDM_PROJECT_ADD_TASK, L"Inserisci Task"));
    includeDaysItem = ownedElements.Add(new SubMenu(projectMenu, IDM_PROJECT_INCLUDE, L"Includi giorni"));
    excludeDaysItem = ownedElements.Add(new SubMenu(projectMenu, IDM_PROJECT_EXCLUDE, L"Escludi giorni"));
    costItem = ownedElements.Add(new SubMenu(projectMenu, IDM_PROJECT_COST, L"Calcola il conto economico"));
    for (const ProjectCommand& command : ProjectCommands()) {
        command.item->onCommand = &HandleMenuCommand;
        command.item->SetEnabled(command.button != nullptr && command.button->enabled);
    }
    projectDivider = ownedElements.Add(new SubMenu(projectMenu, IDM_PROJECT_DIVIDER, std::wstring()));
    projectDivider->appendFlags = MF_SEPARATOR;
    editSelectedItem = ownedElements.Add(new SubMenu(projectMenu, IDM_SELECTED_EDIT, L"&Modifica Task"));
    deleteSelectedItem = ownedElements.Add(new SubMenu(projectMenu, IDM_SELECTED_DELETE, L"&Cancella Task"));
    editSelectedItem->onCommand = &HandleMenuCommand;
    deleteSelectedItem->onCommand = &HandleMenuCommand;
    UpdateSelectionCommands();
    ShowRecentFiles(LoadRecentFiles());
}

void FormMain::ShowRecentFiles(const std::vector<std::string>& paths) {
    recentFiles = paths;
    recentItems.clear();
    if (fileMenu == nullptr || exitItem == nullptr) return;
    // "&1 C:\...\progetto.vmo" and so on, then a divider, before "&Esci".
    if (recentFiles.size() > RecentFileCount) recentFiles.resize(RecentFileCount);
    for (std::size_t i = 0; i < recentFiles.size(); ++i) {
        const int id = IDM_RECENT_FIRST + static_cast<int>(i);
        auto* item = new QVUtility::SubMenu(fileMenu, id, RecentFileText(i + 1, recentFiles[i]), exitItem);
        item->onCommand = &HandleMenuCommand;
        recentItems.emplace_back(item);
    }
    if (!recentItems.empty()) {
        auto* divider = new QVUtility::SubMenu(fileMenu, IDM_RECENT_DIVIDER, std::wstring(), exitItem);
        divider->appendFlags = MF_SEPARATOR;
        recentItems.emplace_back(divider);
    }
}

std::vector<FormMain::ProjectCommand> FormMain::ProjectCommands() const {
    return {{propertiesItem, propertiesButton},
            {addTaskItem, addTaskButton},
            {includeDaysItem, includeDaysButton},
            {excludeDaysItem, excludeDaysButton},
            {costItem, costButton}};
}

void FormMain::AssignShortcuts() {
    // Every key of the main window, in one place. The menu items show theirs
    // after their text.
    struct ItemKeys {
        QVUtility::SubMenu* item;
        QVUtility::Shortcut keys;
    };
    const ItemKeys itemKeys[] = {
        {newItem, {'N', FCONTROL}},
        {openItem, {'O', FCONTROL}},
        {saveItem, {'S', FCONTROL}},
        {saveAsItem, {'S', FCONTROL | FSHIFT}},
        {printItem, {'P', FCONTROL}},
        {exitItem, {VK_F4, FALT}},
        {undoItem, {'Z', FCONTROL}},
        {redoItem, {'Y', FCONTROL}},
        {propertiesItem, {VK_RETURN, FALT}},
        {addTaskItem, {VK_INSERT, 0}},
        {includeDaysItem, {'I', FCONTROL}},
        {excludeDaysItem, {'E', FCONTROL}},
        {costItem, {VK_F9, 0}},
        {editSelectedItem, {VK_RETURN, 0}},
        {deleteSelectedItem, {VK_DELETE, 0}},
        // The bars' popup menu shows the same keys (it is in no bar: they
        // act through the items above).
        {editTaskItem, {VK_RETURN, 0}},
        {deleteTaskItem, {VK_DELETE, 0}},
    };
    for (const ItemKeys& entry : itemKeys) {
        if (entry.item != nullptr) entry.item->SetShortcut(entry.keys);
    }
    AddShortcut({VK_UP, 0}, IDK_SELECT_PREVIOUS, &HandleSelectPrevious);
    AddShortcut({VK_DOWN, 0}, IDK_SELECT_NEXT, &HandleSelectNext);
}

QVUtility::ToolBarItem* FormMain::AddToolBarItem(const std::wstring& tooltip, int imageIndex, bool enable) {
    auto* item = ownedElements.Add(new QVUtility::ToolBarItem(toolBar));
    item->text = tooltip;
    item->tooltipText = QVUtility::Narrow(tooltip);
    item->imageIndex = imageIndex;
    item->enabled = enable;
    item->onCommand = &HandleToolbarCommand;
    toolBar->AddItem(item);
    return item;
}

void FormMain::BuildToolBar() {
    toolBar = ownedElements.Add(new QVUtility::ToolBar(this));
    toolBar->x = scale(ToolBarLeft);
    toolBar->y = scale(ToolBarTop);
    toolBar->flat = 1;
    toolBar->alignTop = 0;
    toolBar->alignBottom = 0;
    toolBar->alignLeft = 0;
    toolBar->alignRight = 0;
    toolBar->width = scale(100);
    toolBar->height = scale(25);
    toolBar->imageSets = {{16, IDB_STANDARD_16, IDB_TOOLBAR},
                          {24, IDB_STANDARD_24, IDB_TOOLBAR_24},
                          {32, IDB_STANDARD_32, IDB_TOOLBAR_32}};

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

    chartPanel = ownedElements.Add(new QVUtility::PanelChildren(this));
    chartPanel->x = scale(ChartLeft);
    chartPanel->y = scale(ChartTop);
    chartPanel->width = std::max(0, clientWidth - scale(2 * ChartLeft));
    chartPanel->height = std::max(0, clientHeight - scale(2 * ChartTop));
    chartPanel->border = true;
    chartPanel->SetBackColour(0xC0C0C0);
    chartPanel->childBackColour = 0xDCDCDC;
    chartPanel->childTextColour = 0;
    chartPanel->onKeyDown = &HandleKeyDown;
    chartPanel->onChar = &HandleChar;
    chartPanel->onHorizontalScroll = &HandleChartScroll;
    chartPanel->onVerticalScroll = &HandleChartScroll;
    chartPanel->Create();

    titleCell = ownedElements.Add(new QVUtility::CellControl(chartPanel));
    titleCell->SetBackColour(chartPanel->backColour);
    titleCell->textColour = 0;
    titleCell->SetSize(static_cast<int>(GetSystemMetrics(SM_CXSCREEN) * 0.9), chartLayout.titleHeight);
    titleCell->font = captionFont;
    titleCell->x = chartLayout.titleLeft;
    titleCell->y = 0;
    titleCell->Create();
    ShowWindow(titleCell->window, SW_HIDE);

    ruler = ownedElements.Add(new QVUtility::TimeLine(chartPanel));
    ruler->x = 0;
    ruler->y = chartLayout.rulerTop;
    ruler->Create();
    ShowWindow(ruler->window, SW_HIDE);

    BuildToolBar();

    layoutTimer = ownedElements.Add(new QVUtility::Timer(this, 500));
    layoutTimer->onTimer = &HandleLayoutTimer;

    statusBar = ownedElements.Add(new QVUtility::StatusBar(this, project.filePath));
    statusBar->Create();
}

// ---- Layout and scrolling -----------------------------------------------------------

void FormMain::Layout() {
    if (window == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;

    if (chartPanel != nullptr)
        chartPanel->SetSize(std::max(0, clientWidth - scale(2 * ChartLeft)),
                            std::max(0, clientHeight - scale(2 * ChartTop)));

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
    // A taller view may show more rows.
    PlaceBars();
}

void FormMain::OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) {
    if (newScale == scale) {
        Form::OnDpiChanged(newScale, suggested);
        return;
    }
    // The fonts first: the move lays the window out with them.
    for (QVUtility::FontDescription* each : {elementFont, captionFont, barFont}) each->SetDpi(newScale.Dpi());
    Form::OnDpiChanged(newScale, suggested);
    chartLayout = ChartLayout(scale);
    if (toolBar != nullptr && toolBar->window != nullptr) {
        SetWindowPos(toolBar->window, nullptr, scale(ToolBarLeft), scale(ToolBarTop), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        toolBar->ApplyScale();
    }
    if (chartPanel != nullptr && chartPanel->window != nullptr) {
        SetWindowPos(chartPanel->window, nullptr, scale(ChartLeft), scale(ChartTop), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (titleCell != nullptr) {
        titleCell->SetSize(titleCell->width, chartLayout.titleHeight);
        if (titleCell->window != nullptr) InvalidateRect(titleCell->window, nullptr, TRUE);
    }
    if (ruler != nullptr) ruler->SetSize(ruler->width, scale(QVUtility::TimeLine::NormalHeight));
    if (chartBuilt) {
        RefreshChart();
    } else {
        Layout();
    }
}

void FormMain::UpdateScrollBars() {
    // Showing or hiding a scroll bar resizes the panel, which comes back here.
    if (updatingScrollBars) return;
    updatingScrollBars = true;

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
    updatingScrollBars = false;
}

// ---- The chart ------------------------------------------------------------------------

void FormMain::MarkModified() {
    project.modified = true;
    ProjectChanged();
}

void FormMain::ProjectChanged() {
    if (!project.modified) {
        DisableSaveCommands();
    } else if (saveButton != nullptr && !saveButton->enabled) {
        saveItem->SetEnabled(true);
        saveButton->SetEnabled(true);
        toolBar->RebuildButtons();
    }
    UpdateEditMenu();
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

    ruler->SetProject(project.start, project.end, project.includeDays, project.excludeDays, project.workingWeekdays);
    if (!ruler->created) ruler->Create();
    ShowWindow(ruler->window, SW_SHOWNA);
    // The width the ruler gave itself for the span (the platform may cap the
    // size of a window, the export must not be).
    chartWidth = ruler->width;
    int rulerHeight = ruler->height;
    RECT outer{};
    if (ruler->window != nullptr && GetWindowRect(ruler->window, &outer)) rulerHeight = outer.bottom - outer.top;

    chartLayout = ChartLayout(project, ruler->dayWidth, chartWidth, rulerHeight, scale);
    contentHeight = static_cast<int>(std::min(chartLayout.Height(), ChartLayout::TallestContent));
    for (ChartBar* bar : bars) bar->row = ChartBar::NoRow;  // every bar shows its task afresh
    PlaceBars();
    UpdateSelectionCommands();
}

void FormMain::PlaceBars() {
    if (chartPanel == nullptr || chartPanel->window == nullptr || !chartBuilt) return;
    HWND panel = chartPanel->window;
    const int scrollX = chartPanel->ScrollPosition(SB_HORZ);
    const int scrollY = chartPanel->ScrollPosition(SB_VERT);
    RECT client{};
    GetClientRect(panel, &client);

    // The title keeps its whole width: it is shown only where it can be
    // placed as it is. Scrolled far down, it and the ruler wait just above
    // the view.
    if (titleCell != nullptr && titleCell->window != nullptr) {
        const std::int64_t left = static_cast<std::int64_t>(chartLayout.titleLeft) - scrollX;
        const bool reachable = QVUtility::WithinSafeReach(left, left);
        if (reachable) PlaceChild(titleCell->window, panel, static_cast<int>(left), std::max(-scrollY, -100));
        ShowChild(titleCell->window, reachable);
    }
    if (ruler != nullptr && ruler->window != nullptr) {
        RECT outer{};
        if (GetWindowRect(ruler->window, &outer)) {
            POINT corner{outer.left, outer.top};
            ScreenToClient(panel, &corner);
            const int parked = -(outer.bottom - outer.top) - 100;
            PlaceChild(ruler->window, panel, corner.x, std::max(chartLayout.rulerTop - scrollY, parked));
        }
    }

    // Row r is shown by bars[r % bars.size()]: there are at least as many
    // bars as rows near the view, so no two of those rows share one.
    const std::size_t needed = chartLayout.RowsNearAtMost(client.bottom);
    while (bars.size() < needed) {
        auto* bar = ownedElements.Add(new ChartBar(chartPanel));
        bar->onRightButtonUp = &HandleBarRightClick;
        bar->onLeftButtonDown = &HandleBarLeftClick;
        bar->onLeftDoubleClick = &HandleBarDoubleClick;
        bar->font = barFont;
        bars.push_back(bar);
    }
    if (bars.empty()) return;
    const RowRange inView = chartLayout.RowsNear(scrollY, client.bottom);
    std::vector<bool> inUse(bars.size(), false);
    for (std::size_t row = inView.first; row < inView.end; ++row) {
        const std::size_t slot = row % bars.size();
        inUse[slot] = true;
        BindBar(bars[slot], row, scrollX, scrollY, client.right);
    }
    for (std::size_t slot = 0; slot < bars.size(); ++slot) {
        if (inUse[slot]) continue;
        bars[slot]->row = ChartBar::NoRow;
        ShowChild(bars[slot]->window, false);
    }
}

void FormMain::BindBar(ChartBar* bar, std::size_t row, int scrollX, int scrollY, int clientWidth) {
    const Task& task = project.tasks[row];
    const BarWindowSpan span = ChartLayout::WindowSpan(chartLayout.Bar(task), scrollX, clientWidth);
    const bool rebound = bar->row != row || bar->taskId != task.id || bar->window == nullptr;
    if (rebound) {
        bar->row = row;
        bar->taskId = task.id;
        bar->tag = std::to_string(task.id);
        bar->backColour = task.colour;
        bar->fillBackground = true;
        bar->textColour = BarTextColour(task.colour);
        bar->text = QVUtility::Widen(task.description);
    }
    const bool selected = task.id == selectedTaskId;
    const bool marked = bar->selected != selected;
    bar->selected = selected;
    bar->x = span.left;
    bar->y = static_cast<int>(chartLayout.RowTop(row) - scrollY);
    bar->width = span.width;
    bar->height = chartLayout.barHeight;
    if (bar->window == nullptr) {
        // Made in its place with its colour and text, so that its window is
        // drawn once. When the platform refuses, the row stays empty and the
        // next binding tries again.
        bar->Create();
        ShowChild(bar->window, span.shown);
        return;
    }
    if (rebound) SetWindowTextW(bar->window, bar->text.c_str());
    if (rebound || marked) InvalidateRect(bar->window, nullptr, FALSE);
    if (span.shown) PlaceChild(bar->window, chartPanel->window, bar->x, bar->y, bar->width, bar->height);
    ShowChild(bar->window, span.shown);
}

int FormMain::SelectedTaskIndex() const {
    if (selectedTaskId == 0) return -1;
    return FindTaskById(project, selectedTaskId);
}

void FormMain::OnBarRightClick(GUIElement* element, int px, int py) {
    // Only the bars carry this handler; the title cell and the ruler do not.
    auto* bar = dynamic_cast<ChartBar*>(element);
    if (bar == nullptr || bar->window == nullptr || !bar->Bound()) return;
    POINT point{px, py};
    ClientToScreen(bar->window, &point);
    SelectTask(bar->taskId);
    QVUtility::ShowPopup(taskMenu, bar->parent, point.x, point.y);
}

// ---- Closing ------------------------------------------------------------------------------

void FormMain::RememberPlace() {
    if (window == nullptr || IsZoomed(window) || IsIconic(window)) return;
    RECT outer{};
    if (GetWindowRect(window, &outer)) normalPlace = outer;
}

void FormMain::SavePlace() {
    if (window == nullptr || !IsWindow(window)) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    const bool restoresMaximized =
        GetWindowPlacement(window, &placement) && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0;
    SaveWindowPlace(WindowPlace{normalPlace, IsZoomed(window) || (IsIconic(window) && restoresMaximized)});
}

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
    SavePlace();
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
    SavePlace();
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
}

// ---- Commands -------------------------------------------------------------------------------

void FormMain::OnMenuCommand(GUIElement* item) {
    if (item == nullptr) return;
    const int id = item->controlId;
    auto is = [id](GUIElement* candidate) { return candidate != nullptr && candidate->controlId == id; };
    const auto recent =
        std::find_if(recentItems.begin(), recentItems.end(),
                     [&is](const std::unique_ptr<QVUtility::SubMenu>& candidate) { return is(candidate.get()); });
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
    } else if (is(undoItem)) {
        UndoChange();
    } else if (is(redoItem)) {
        RedoChange();
    } else if (recent != recentItems.end()) {
        OpenRecentFile(static_cast<std::size_t>(recent - recentItems.begin()));
    } else if (is(editTaskItem) || is(editSelectedItem)) {
        EditTask();
    } else if (is(deleteTaskItem) || is(deleteSelectedItem)) {
        DeleteTask();
    } else {
        for (const ProjectCommand& command : ProjectCommands()) {
            if (is(command.item)) OnToolbarCommand(command.button);
        }
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
        for (const ProjectCommand& command : ProjectCommands()) {
            command.button->SetEnabled(true);
            if (command.item != nullptr) command.item->SetEnabled(true);
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

bool FormMain::FilterChildChar(GUIElement*, int character) { return character != VK_TAB && character != VK_RETURN; }

void FormMain::OnFormKeyDown(int) {}
void FormMain::OnFormKeyUp(int) {}

void FormMain::CloseOnEscape(GUIElement*, int key) {
    if (key == VK_ESCAPE && window != nullptr) SendMessageW(window, WM_CLOSE, 0, 0);
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
