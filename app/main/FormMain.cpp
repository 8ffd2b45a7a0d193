#include "app/main/FormMain.h"

#include <algorithm>

#include "app/dialogs/FormAddTask.h"
#include "app/dialogs/FormCosto.h"
#include "app/dialogs/FormDays.h"
#include "app/dialogs/FormFlussoCassa.h"
#include "app/dialogs/FormNuovo.h"
#include "app/dialogs/FormTrova.h"
#include "app/main/FormMainHandlers.h"
#include "app/main/StartPage.h"
#include "app/main/TaskTable.h"
#include "app/print/PrintCommands.h"
#include "app/res/resource.h"
#include "app/safety/WorkSafety.h"
#include "app/settings/RecentFiles.h"
#include "app/settings/Settings.h"
#include "app/settings/WindowPlace.h"
#include "toolkit/core/Menu.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/Services.h"
#include "toolkit/widgets/CellControl.h"
#include "app/dialogs/FormAbout.h"
#include "toolkit/widgets/PanelChildren.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TimeLine.h"
#include "toolkit/widgets/Timer.h"
#include "toolkit/widgets/ToolBar.h"

namespace MyApp {

using QVUtility::GUIElement;

FormMain* popupCommandOwner = nullptr;

namespace {

constexpr int ChartLeft = 10;  // the chart panel's place in the window (and its margins)
constexpr int ChartTop = 30;
constexpr int ToolBarLeft = 10;
constexpr int ToolBarTop = 3;

}  // namespace

// ---- Handlers -------------------------------------------------------------------

void FormMainHandlers::Create(GUIElement* element, HWND) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->BuildControls();
}

void FormMainHandlers::Resize(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) {
        form->LayoutResized();
        form->RememberPlace();
    }
}

void FormMainHandlers::Move(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->RememberPlace();
}

void FormMainHandlers::FilesDropped(QVUtility::Form* form, const std::vector<std::wstring>& paths) {
    if (auto* mainForm = dynamic_cast<FormMain*>(form)) mainForm->OnFilesDropped(paths);
}

bool FormMainHandlers::Close(GUIElement* element) {
    auto* form = dynamic_cast<FormMain*>(element);
    return form == nullptr || form->ConfirmClose();
}

bool FormMainHandlers::QueryEndSession(GUIElement* element) {
    auto* form = dynamic_cast<FormMain*>(element);
    return form == nullptr || form->AllowSessionEnd();
}

void FormMainHandlers::EndSession(GUIElement* element) {
    if (auto* form = dynamic_cast<FormMain*>(element)) form->EndWithSession();
}

void FormMainHandlers::MenuCommand(GUIElement* item) {
    FormMain* form = QVUtility::OwningElement<FormMain>(item);
    if (form == nullptr) form = popupCommandOwner;
    if (form != nullptr) form->OnMenuCommand(item);
}

void FormMainHandlers::ToolbarCommand(GUIElement* item) {
    if (FormMain* form = QVUtility::OwningElement<FormMain>(item)) form->OnToolbarCommand(item);
}

void FormMainHandlers::KeyCommand(QVUtility::Form* form, int commandId) {
    auto* mainForm = dynamic_cast<FormMain*>(form);
    if (mainForm == nullptr) return;
    for (const CommandSpec& spec : FormMain::Commands()) {
        if (spec.menu == MenuPlace::None && spec.id == commandId) mainForm->Execute(spec.command);
    }
}

void FormMainHandlers::LayoutTimer(QVUtility::Timer* timer) {
    timer->Stop();
    FormMain* form = QVUtility::OwningElement<FormMain>(timer);
    if (form == nullptr || form->chart == nullptr) return;
    form->chart->FitToView();
    form->AlignTable();
}

// ---- Construction -------------------------------------------------------------

FormMain::FormMain(HINSTANCE instanceHandle, const std::wstring& title) : Form(instanceHandle) {
    elementFont = OwnFont(L"Lucida Console", 14);
    captionFont = OwnFont(L"Arial", 22);
    captionFont->bold = true;
    // A cell's own font, made once for all the bars rather than at each paint.
    barFont = OwnFont(L"Tahoma", 14);
    for (QVUtility::FontDescription* each : {elementFont, captionFont, barFont}) each->SetDpi(scale.Dpi());
    font = elementFont;

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
    programTitle = title;
    text = title;

    onCreate = &FormMainHandlers::Create;
    onResize = &FormMainHandlers::Resize;
    onMove = &FormMainHandlers::Move;
    onClose = &FormMainHandlers::Close;
    onFilesDropped = &FormMainHandlers::FilesDropped;
    onQueryEndSession = &FormMainHandlers::QueryEndSession;
    onEndSession = &FormMainHandlers::EndSession;

    Create();
    SetIcon(IDI_APP);
    if (window != nullptr) SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(elementFont->GetFont()), TRUE);
    BuildStartPage();
    Layout();
    printing = std::make_unique<PrintCommands>(this, project);
    ShowRecentFiles(LoadRecentFiles());
    BuildKeys();
    AcceptFiles(true);
    StartWorkSafety();
    if (popupCommandOwner == nullptr) popupCommandOwner = this;
}

FormMain::~FormMain() {
    if (popupCommandOwner == this) popupCommandOwner = nullptr;
    if (layoutTimer != nullptr && layoutTimer->running) layoutTimer->Stop();
    EndWorkSafety();
    // The window goes first, then the dialogs; the print commands, the
    // recent files' items, the elements and the fonts follow as members.
    DestroyQuietly();
    ReleaseDialogs();
    font = nullptr;
}

QVUtility::FontDescription* FormMain::OwnFont(const wchar_t* face, int height) {
    return ownedFonts.emplace_back(std::make_unique<QVUtility::FontDescription>(std::wstring(face), height)).get();
}

// ---- Building -------------------------------------------------------------------

void FormMain::BuildControls() {
    BuildMenus();

    RECT client{};
    GetClientRect(window, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    // The size the window is first shown at needs no second layout.
    resizedClient = SIZE{clientWidth, clientHeight};

    chart = ownedElements.Add(new ChartView(this, project));
    chart->x = scale(ChartLeft);
    chart->y = scale(ChartTop);
    chart->width = std::max(0, clientWidth - scale(2 * ChartLeft));
    chart->height = std::max(0, clientHeight - scale(2 * ChartTop));
    chart->Build(captionFont, barFont);

    BuildToolBar(scale(ToolBarLeft), scale(ToolBarTop), scale(100), scale(25));

    layoutTimer = ownedElements.Add(new QVUtility::Timer(this, 500));
    layoutTimer->onTimer = &FormMainHandlers::LayoutTimer;

    statusBar = ownedElements.Add(new QVUtility::StatusBar(this, project.filePath));
    statusBar->Create();

    // Made after the first elements, with identifiers of their own, so that
    // those keep theirs.
    chart->BuildTodayLine(IDC_TODAY_LINE);
    BuildTable();
    ConnectChart();
    NameElements();
    ApplyChartColours();
    // The layout timer's element is made last, as the first layout once
    // made it: its identifier, and those of the elements after it, stay.
    layoutTimer->Create();
}

// ---- Layout ---------------------------------------------------------------------

void FormMain::Layout() {
    if (window == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;

    int statusTop = clientHeight;
    if (statusBar != nullptr && statusBar->window != nullptr) {
        RECT bar{};
        if (GetWindowRect(statusBar->window, &bar)) {
            statusBar->width = bar.right - bar.left;
            statusBar->height = bar.bottom - bar.top;
        }
        if (statusBar->width != clientWidth) statusBar->SetSize(clientWidth, statusBar->height);
        statusBar->x = 0;
        statusBar->y = clientHeight - statusBar->height;
        statusTop = statusBar->y;
        SetWindowPos(statusBar->window, nullptr, statusBar->x, statusBar->y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        statusBar->Redraw();
    }
    // The panes end above the status bar (AlignTable keeps the table there too).
    const int bottom = std::min(clientHeight - scale(ChartTop), statusTop);
    LayOutPanes(scale(ChartLeft), scale(ChartTop), std::max(0, clientWidth - scale(2 * ChartLeft)),
                std::max(0, bottom - scale(ChartTop)));
    if (startPage != nullptr)
        startPage->Cover(scale(ChartLeft), scale(ChartTop), std::max(0, clientWidth - scale(2 * ChartLeft)),
                         std::max(0, bottom - scale(ChartTop)));

    if (chart != nullptr) chart->FitToView();
    AlignTable();
}

void FormMain::LayoutResized() {
    Layout();
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return;
    const SIZE size{client.right - client.left, client.bottom - client.top};
    if (size.cx == resizedClient.cx && size.cy == resizedClient.cy) return;
    resizedClient = size;
    LayoutAgainAtRest();
}

void FormMain::LayoutAgainAtRest() {
    if (layoutTimer != nullptr && !layoutTimer->running) layoutTimer->Start();
}

void FormMain::OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) {
    if (newScale == scale) {
        Form::OnDpiChanged(newScale, suggested);
        return;
    }
    // The fonts first: the move lays the window out with them.
    for (QVUtility::FontDescription* each : {elementFont, captionFont, barFont}) each->SetDpi(newScale.Dpi());
    const QVUtility::DisplayScale oldScale = scale;
    Form::OnDpiChanged(newScale, suggested);
    if (taskTable != nullptr && taskTable->window != nullptr) taskTable->RescaleColumns(oldScale, newScale);
    if (toolBar != nullptr && toolBar->window != nullptr) {
        SetWindowPos(toolBar->window, nullptr, scale(ToolBarLeft), scale(ToolBarTop), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        toolBar->ApplyScale();
    }
    if (chart == nullptr || chart->window == nullptr) return;
    SetWindowPos(chart->window, nullptr, scale(ChartLeft), scale(ChartTop), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    chart->ApplyScale();
    // The same rows and days in view, at the new measures.
    if (chart->Built()) {
        FillTable();
        chart->Rebuild(false);
    }
    Layout();
}

// ---- The desktop and closing ----------------------------------------------------

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
    // The window stays: the keyboard goes back to the pane that had it,
    // which the question's box took it from.
    const auto stay = [this] {
        RegisterHotkeys();
        if (window != nullptr && IsWindowEnabled(window)) {
            SetForegroundWindow(window);
            Focus();
            FocusPane();
        }
        return false;
    };
    if (!QVUtility::AskYesNo(std::wstring(L"Vuoi realmente uscire?"), std::wstring(L"Uscita"))) return stay();
    // Unsaved changes that the user wants to keep are never dropped: when
    // the save fails or no file name is given, the window stays open.
    if (!OfferToSave()) return stay();
    if (layoutTimer != nullptr && layoutTimer->running) layoutTimer->Stop();
    SavePlace();
    EndWorkSafety();
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
    EndWorkSafety();
    if (window != nullptr && IsWindow(window)) DestroyWindow(window);
}

}  // namespace MyApp
