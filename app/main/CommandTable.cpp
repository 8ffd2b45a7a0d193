// The main window's command table, and what is built from it: the menus, the
// toolbar and the keys; Execute, which every source of a command goes
// through; UpdateCommands, which enables every item and button from the
// rules.
//
// A new command is one row of the table below (and an identifier in
// app/res/resource.h when it takes a reserved one).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "app/main/FormMain.h"
#include "app/main/FormMainHandlers.h"
#include "app/main/StartPage.h"
#include "app/print/PrintCommands.h"
#include "app/res/resource.h"
#include "app/safety/LastWords.h"
#include "app/settings/RecentFiles.h"
#include "toolkit/core/Menu.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/ToolBar.h"

#include <shlwapi.h>

namespace MyApp {

namespace {

// Standard images of the common controls' small strip.
constexpr int StdImageNew = 6;
constexpr int StdImageOpen = 7;
constexpr int StdImageSave = 8;
constexpr int StdImageProperties = 10;

constexpr BYTE Plain = 0;

const wchar_t* ChangeName(ChangeKind kind) {
    switch (kind) {
    case ChangeKind::AddTask: return L"inserimento task";
    case ChangeKind::EditTask: return L"modifica task";
    case ChangeKind::DeleteTask: return L"cancellazione task";
    case ChangeKind::Properties: return L"modifica proprietà";
    case ChangeKind::IncludeDays: return L"modifica giorni da includere";
    case ChangeKind::ExcludeDays: return L"modifica giorni da escludere";
    }
    return L"";
}

// "&Annulla inserimento task"; the command alone when there is no change.
std::wstring NameChange(const wchar_t* command, std::optional<ChangeKind> kind) {
    return kind ? std::wstring(command) + L" " + ChangeName(*kind) : std::wstring(command);
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

int RecentIndex(Command command) { return static_cast<int>(command) - static_cast<int>(Command::Recent1); }

}  // namespace

// ---- The table --------------------------------------------------------------------

const std::vector<CommandSpec>& FormMain::Commands() {
    using F = FormMain;
    using C = Command;
    using M = MenuPlace;
    using QVUtility::SubMenu;
    using QVUtility::ToolBarItem;
    constexpr SubMenu* CommandItems::*noItem = nullptr;
    constexpr ToolBarItem* CommandItems::*noButton = nullptr;
    const ToolButton none;
    const auto always = nullptr;
    const auto fixed = nullptr;
    const auto withProject = [](const F& f) { return f.projectOpen; };
    const auto withSelection = [](const F& f) { return f.SelectedTaskIndex() >= 0; };
    static const auto recent = [](const F& f, C c) {
        const auto index = static_cast<std::size_t>(RecentIndex(c));
        return index < f.recentFiles.size() ? RecentFileText(index + 1, f.recentFiles[index]) : std::wstring();
    };

    // In the order of the menus; the items taking the control counter's
    // identifiers come in the order they always took them.
    static const std::vector<CommandSpec> table{
        // "&File"
        {C::New, M::File, CounterId, L"&Nuovo", {'N', FCONTROL}, {L"Nuovo", StdImageNew}, &F::newItem, &F::newButton,
         [](F& f) { if (f.OfferToSave()) f.NewProject(); }, always, fixed},
        {C::Open, M::File, CounterId, L"&Apri", {'O', FCONTROL}, {L"Apri", StdImageOpen}, &F::openItem,
         &F::openButton, [](F& f) { if (f.OfferToSave()) f.OpenProject(); }, always, fixed},
        {C::Save, M::File, CounterId, L"&Salva", {'S', FCONTROL}, {L"Salva", StdImageSave, -1, true}, &F::saveItem,
         &F::saveButton, [](F& f) { f.SaveProject(true); }, [](const F& f) { return f.project.modified; }, fixed},
        {C::SaveAs, M::File, CounterId, L"Sa&lva come...", {'S', FCONTROL | FSHIFT}, none, &F::saveAsItem, noButton,
         [](F& f) { f.SaveProjectAs(); }, [](const F& f) { return !f.project.filePath.empty(); }, fixed},
        {C::Export, M::File, CounterId, L"Esporta come immagine...", {}, none, &F::exportItem, noButton,
         [](F& f) { f.ExportChart(); }, withProject, fixed},
        {C::Print, M::File, IDM_PRINT, L"Stam&pa...", {'P', FCONTROL}, none, &F::printItem, noButton,
         [](F& f) { if (f.printing != nullptr) f.printing->Print(); }, withProject, fixed},
        {C::Preview, M::File, IDM_PRINT_PREVIEW, L"An&teprima di stampa", {}, none, &F::previewItem, noButton,
         [](F& f) { if (f.printing != nullptr) f.printing->Preview(); }, withProject, fixed},
        {C::Import, M::File, IDM_IMPORT_PROJECT, L"&Importa da XML di Microsoft Project...", {}, none, &F::importItem,
         noButton, [](F& f) { if (f.OfferToSave()) f.ImportProject(); }, always, fixed},
        {C::None, M::File, CounterId, L"", {}, none, &F::dividerItem, noButton, nullptr, always, fixed},
        {C::Recent1, M::RecentFiles, IDM_RECENT_FIRST, L"", {}, none, noItem, noButton,
         [](F& f) { f.OpenRecentFile(0); }, always, [](const F& f) { return recent(f, C::Recent1); }},
        {C::Recent2, M::RecentFiles, IDM_RECENT_FIRST + 1, L"", {}, none, noItem, noButton,
         [](F& f) { f.OpenRecentFile(1); }, always, [](const F& f) { return recent(f, C::Recent2); }},
        {C::Recent3, M::RecentFiles, IDM_RECENT_FIRST + 2, L"", {}, none, noItem, noButton,
         [](F& f) { f.OpenRecentFile(2); }, always, [](const F& f) { return recent(f, C::Recent3); }},
        {C::Recent4, M::RecentFiles, IDM_RECENT_FIRST + 3, L"", {}, none, noItem, noButton,
         [](F& f) { f.OpenRecentFile(3); }, always, [](const F& f) { return recent(f, C::Recent4); }},
        {C::None, M::RecentFiles, IDM_RECENT_DIVIDER, L"", {}, none, noItem, noButton, nullptr, always, fixed},
        {C::Exit, M::File, CounterId, L"&Esci", {VK_F4, FALT}, none, &F::exitItem, noButton,
         [](F& f) { if (f.window != nullptr) SendMessageW(f.window, WM_CLOSE, 0, 0); }, always, fixed},
        // "&Modifica"
        {C::Undo, M::Edit, IDM_UNDO, L"&Annulla", {'Z', FCONTROL}, none, &F::undoItem, noButton,
         [](F& f) { f.UndoChange(); }, [](const F& f) { return f.history.UndoKind().has_value(); },
         [](const F& f) { return NameChange(L"&Annulla", f.history.UndoKind()); }},
        {C::Redo, M::Edit, IDM_REDO, L"&Ripeti", {'Y', FCONTROL}, none, &F::redoItem, noButton,
         [](F& f) { f.RedoChange(); }, [](const F& f) { return f.history.RedoKind().has_value(); },
         [](const F& f) { return NameChange(L"&Ripeti", f.history.RedoKind()); }},
        {C::None, M::Edit, IDM_EDIT_DIVIDER, L"", {}, none, noItem, noButton, nullptr, always, fixed},
        {C::Find, M::Edit, IDM_FIND, L"&Trova...", {'F', FCONTROL}, none, noItem, noButton, [](F& f) { f.Find(); },
         withProject, fixed},
        {C::FindNext, M::Edit, IDM_FIND_NEXT, L"Trova &successivo", {VK_F3, Plain}, none, noItem, noButton,
         [](F& f) { f.FindNext(); }, [](const F& f) { return f.projectOpen && !f.findText.empty(); }, fixed},
        // "&Visualizza"
        {C::ShowTable, M::View, IDM_VIEW_TABLE, L"&Tabella delle attività", {}, none, noItem, noButton,
         [](F& f) { f.ToggleTable(); }, always, fixed, [](const F& f) { return f.tableShown; }},
        {C::None, M::View, IDM_VIEW_DIVIDER, L"", {}, none, noItem, noButton, nullptr, always, fixed},
        {C::ZoomIn, M::View, IDM_ZOOM_IN, L"Zoom &avanti", {VK_OEM_PLUS, FCONTROL}, none, noItem, noButton,
         [](F& f) { f.chart->Zoom(-1); }, [](const F& f) { return f.projectOpen && f.chart->CanZoomIn(); }, fixed},
        {C::ZoomOut, M::View, IDM_ZOOM_OUT, L"Zoom &indietro", {VK_OEM_MINUS, FCONTROL}, none, noItem, noButton,
         [](F& f) { f.chart->Zoom(1); }, [](const F& f) { return f.projectOpen && f.chart->CanZoomOut(); }, fixed},
        {C::ZoomFit, M::View, IDM_ZOOM_FIT, L"Adatta al &progetto", {}, none, noItem, noButton,
         [](F& f) { f.chart->ZoomToFit(); }, withProject, fixed},
        {C::GoToToday, M::View, IDM_GO_TODAY, L"&Vai a oggi", {}, none, noItem, noButton,
         [](F& f) { f.chart->GoToToday(); }, [](const F& f) { return f.projectOpen && f.chart->TodayColumn(); },
         fixed},
        // "&?"
        {C::Guide, M::Help, CounterId, L"&Guida", {}, none, &F::guideItem, noButton, [](F& f) { f.OpenGuidePage(); },
         always, fixed},
        {C::Home, M::Help, CounterId, L"&Home", {}, none, &F::homeItem, noButton, [](F& f) { f.OpenHomePage(); },
         always, fixed},
        {C::Info, M::Help, CounterId, L"&Info...", {}, none, &F::infoItem, noButton, [](F& f) { f.ShowAbout(); },
         always, fixed},
        // The bars' popup menu. It is in no bar: its keys show, and act
        // through the items of "&Progetto".
        {C::PopupEditTask, M::TaskPopup, CounterId, L"&Modifica Task", {VK_RETURN, Plain}, none, &F::editTaskItem,
         noButton, [](F& f) { f.EditTask(); }, always, fixed},
        {C::PopupDeleteTask, M::TaskPopup, CounterId, L"&Cancella Task", {VK_DELETE, Plain}, none, &F::deleteTaskItem,
         noButton, [](F& f) { f.DeleteTask(); }, always, fixed},
        // "&Progetto": the toolbar's project commands and the selected task.
        {C::Properties, M::Project, IDM_PROJECT_PROPERTIES, L"Cambia &proprietà", {VK_RETURN, FALT},
         {L"Cambia proprietà", StdImageProperties, -1, true}, &F::propertiesItem, &F::propertiesButton,
         [](F& f) { f.EditProject(); }, withProject, fixed},
        {C::AddTask, M::Project, IDM_PROJECT_ADD_TASK, L"&Inserisci Task", {VK_INSERT, Plain},
         {L"Inserisci Task", 0, TBIMG_ADD_TASK}, &F::addTaskItem, &F::addTaskButton, [](F& f) { f.NewTask(); },
         withProject, fixed},
        {C::IncludeDays, M::Project, IDM_PROJECT_INCLUDE, L"Incl&udi giorni", {'I', FCONTROL},
         {L"Includi giorni", 0, TBIMG_INCLUDE_DAYS}, &F::includeDaysItem, &F::includeDaysButton,
         [](F& f) { f.EditIncludedDays(); }, withProject, fixed},
        {C::ExcludeDays, M::Project, IDM_PROJECT_EXCLUDE, L"&Escludi giorni", {'E', FCONTROL},
         {L"Escludi giorni", 0, TBIMG_EXCLUDE_DAYS}, &F::excludeDaysItem, &F::excludeDaysButton,
         [](F& f) { f.EditExcludedDays(); }, withProject, fixed},
        {C::Cost, M::Project, IDM_PROJECT_COST, L"Calcola il conto eco&nomico", {VK_F9, Plain},
         {L"Calcola il conto economico", 0, TBIMG_COST}, &F::costItem, &F::costButton,
         [](F& f) { f.ShowCostReport(); }, withProject, fixed},
        {C::CashFlow, M::Project, IDM_PROJECT_CASH_FLOW, L"&Flusso di cassa mensile...", {VK_F9, FSHIFT},
         {L"Flusso di cassa mensile", 0, TBIMG_CASH_FLOW, false, IDC_CASH_FLOW_BUTTON}, &F::cashFlowItem, &F::cashFlowButton,
         [](F& f) { f.ShowCashFlow(); }, withProject, fixed},
        {C::None, M::Project, IDM_PROJECT_DIVIDER, L"", {}, none, noItem, noButton, nullptr, always, fixed},
        {C::EditTask, M::Project, IDM_SELECTED_EDIT, L"&Modifica Task", {VK_RETURN, Plain}, none, &F::editSelectedItem,
         noButton, [](F& f) { f.EditTask(); }, withSelection, fixed},
        {C::DeleteTask, M::Project, IDM_SELECTED_DELETE, L"&Cancella Task", {VK_DELETE, Plain}, none,
         &F::deleteSelectedItem, noButton, [](F& f) { f.DeleteTask(); }, withSelection, fixed},
        // Keys of the window alone.
        {C::SelectPrevious, M::None, IDK_SELECT_PREVIOUS, L"", {VK_UP, Plain}, none, noItem, noButton,
         [](F& f) { f.MoveSelection(-1); }, always, fixed},
        {C::SelectNext, M::None, IDK_SELECT_NEXT, L"", {VK_DOWN, Plain}, none, noItem, noButton,
         [](F& f) { f.MoveSelection(1); }, always, fixed},
        {C::SelectFirst, M::None, IDK_SELECT_FIRST, L"", {VK_HOME, Plain}, none, noItem, noButton,
         [](F& f) { f.MoveSelectionTo(0); }, always, fixed},
        {C::SelectLast, M::None, IDK_SELECT_LAST, L"", {VK_END, Plain}, none, noItem, noButton,
         [](F& f) { f.MoveSelectionTo(PTRDIFF_MAX); }, always, fixed},
        {C::SelectPageUp, M::None, IDK_SELECT_PAGE_UP, L"", {VK_PRIOR, Plain}, none, noItem, noButton,
         [](F& f) { f.MoveSelection(-f.chart->RowsPerPage()); }, always, fixed},
        {C::SelectPageDown, M::None, IDK_SELECT_PAGE_DOWN, L"", {VK_NEXT, Plain}, none, noItem, noButton,
         [](F& f) { f.MoveSelection(f.chart->RowsPerPage()); }, always, fixed},
        {C::ZoomInPad, M::None, IDK_ZOOM_IN_PAD, L"", {VK_ADD, FCONTROL}, none, noItem, noButton,
         [](F& f) { f.Execute(C::ZoomIn); }, always, fixed},
        {C::ZoomOutPad, M::None, IDK_ZOOM_OUT_PAD, L"", {VK_SUBTRACT, FCONTROL}, none, noItem, noButton,
         [](F& f) { f.Execute(C::ZoomOut); }, always, fixed},
        {C::NextPane, M::None, IDK_NEXT_PANE, L"", {VK_F6, Plain}, none, noItem, noButton,
         [](F& f) { f.FocusNextPane(); }, always, fixed},
        {C::MoveTaskEarlier, M::None, IDK_MOVE_EARLIER, L"", {VK_LEFT, FALT}, none, noItem, noButton,
         [](F& f) { f.StepSelectedTask(MovePart::Whole, -1); }, withSelection, fixed},
        {C::MoveTaskLater, M::None, IDK_MOVE_LATER, L"", {VK_RIGHT, FALT}, none, noItem, noButton,
         [](F& f) { f.StepSelectedTask(MovePart::Whole, 1); }, withSelection, fixed},
        {C::MoveEndEarlier, M::None, IDK_END_EARLIER, L"", {VK_LEFT, FALT | FSHIFT}, none, noItem, noButton,
         [](F& f) { f.StepSelectedTask(MovePart::End, -1); }, withSelection, fixed},
        {C::MoveEndLater, M::None, IDK_END_LATER, L"", {VK_RIGHT, FALT | FSHIFT}, none, noItem, noButton,
         [](F& f) { f.StepSelectedTask(MovePart::End, 1); }, withSelection, fixed},
        {C::EditCell, M::None, IDK_EDIT_CELL, L"", {VK_F2, Plain}, none, noItem, noButton,
         [](F& f) { f.EditDescriptionInPlace(); }, withSelection, fixed},
    };
    return table;
}

const CommandSpec* FormMain::FindCommand(Command command) {
    if (command == Command::None) return nullptr;
    for (const CommandSpec& spec : Commands()) {
        if (spec.command == command) return &spec;
    }
    return nullptr;
}

bool FormMain::Enabled(const CommandSpec& spec) const { return spec.enabled == nullptr || spec.enabled(*this); }

// ---- Running a command -----------------------------------------------------------------

void FormMain::Execute(Command command) {
    const CommandSpec* spec = FindCommand(command);
    if (spec == nullptr || spec->run == nullptr || !Enabled(*spec)) return;
    FaultIfAsked(spec->text);  // the tests' seam for the last words (app/safety/LastWords.h)
    spec->run(*this);
}

void FormMain::OnMenuCommand(QVUtility::GUIElement* item) {
    if (item == nullptr) return;
    const auto found = commandOfControl.find(item->controlId);
    if (found != commandOfControl.end()) Execute(found->second);
}

void FormMain::OnToolbarCommand(QVUtility::GUIElement* item) { OnMenuCommand(item); }

void FormMain::EnableProjectCommands() {
    projectOpen = true;
    UpdateCommands();
    FocusPane();
}

void FormMain::UpdateCommands() {
    for (const auto& [spec, item] : menuItems) ShowItemState(*spec, item, Enabled(*spec));
    bool buttonsChanged = false;
    for (const auto& [spec, button] : toolButtons) {
        const bool enable = Enabled(*spec);
        if (button->enabled == enable) continue;
        button->SetEnabled(enable);
        buttonsChanged = true;
    }
    if (buttonsChanged && toolBar != nullptr) toolBar->RebuildButtons();
    const std::wstring title = WindowTitle();
    if (title != text) SetText(title);
}

void FormMain::ShowItemState(const CommandSpec& spec, QVUtility::SubMenu* item, bool enable) {
    if (item->enabled != enable) item->SetEnabled(enable);
    if (spec.label != nullptr) {
        const std::wstring label = spec.label(*this);
        if (item->text != label) item->SetText(label);
    }
    if (spec.checked != nullptr) {
        const bool checked = spec.checked(*this);
        item->checkable = true;
        if (QVUtility::IsChecked(item) != checked) {
            item->checked = checked;
            QVUtility::ApplyCheck(item);
        }
    }
}

std::wstring FormMain::WindowTitle() const {
    if (!projectOpen) return programTitle;
    const std::wstring path = QVUtility::Widen(project.filePath);
    const std::wstring name = path.empty() ? std::wstring(L"Senza nome") : std::wstring(PathFindFileNameW(path.c_str()));
    return programTitle + L" - " + name + (document.OpenedReadOnly() ? L" (sola lettura)" : L"") +
           (project.modified ? L" *" : L"");
}

// ---- Building from the table -------------------------------------------------------------

namespace {

QVUtility::SubMenu* MakeItem(QVUtility::GUIElement* menu, const CommandSpec& spec, const std::wstring& text,
                             QVUtility::GUIElement* before = nullptr) {
    auto* item = spec.id == CounterId ? new QVUtility::SubMenu(menu, text, before)
                                      : new QVUtility::SubMenu(menu, spec.id, text, before);
    if (spec.command == Command::None) item->appendFlags = MF_SEPARATOR;
    return item;
}

}  // namespace

void FormMain::BuildMenus() {
    using QVUtility::Menu;
    menuBar = ownedElements.Add(new QVUtility::MenuBar(this));
    fileMenu = ownedElements.Add(new Menu("&File", menuBar));
    Menu* editMenu = ownedElements.Add(new Menu("&Modifica", menuBar));
    helpMenu = ownedElements.Add(new Menu("&?", menuBar));
    taskMenu = ownedElements.Add(new Menu("&Task", nullptr));
    Menu* projectMenu = ownedElements.Add(new Menu("&Progetto", menuBar, helpMenu));
    Menu* viewMenu = ownedElements.Add(new Menu("&Visualizza", menuBar, projectMenu));
    const auto menuAt = [&](MenuPlace place) -> Menu* {
        switch (place) {
        case MenuPlace::File: return fileMenu;
        case MenuPlace::Edit: return editMenu;
        case MenuPlace::Help: return helpMenu;
        case MenuPlace::TaskPopup: return taskMenu;
        case MenuPlace::Project: return projectMenu;
        case MenuPlace::View: return viewMenu;
        case MenuPlace::None:
        case MenuPlace::RecentFiles: break;
        }
        return nullptr;
    };
    for (const CommandSpec& spec : Commands()) {
        Menu* menu = menuAt(spec.menu);
        if (menu == nullptr) continue;
        QVUtility::SubMenu* item = ownedElements.Add(MakeItem(menu, spec, spec.text));
        if (spec.item != nullptr) this->*spec.item = item;
        if (spec.command == Command::None) continue;
        commandOfControl[item->controlId] = spec.command;
        menuItems.emplace_back(&spec, item);
        item->onCommand = &FormMainHandlers::MenuCommand;
        // The items show their keys after their text; the bar hands them to the window.
        if (!spec.keys.Empty()) item->SetShortcut(spec.keys);
    }
    UpdateCommands();
    menuBar->Create();
}

void FormMain::ShowRecentFiles(const std::vector<std::string>& paths) {
    recentFiles = paths;
    recentItems.clear();
    if (startPage != nullptr) startPage->ShowRecentFiles(recentFiles);
    if (fileMenu == nullptr || exitItem == nullptr) return;
    // "&1 C:\...\progetto.vmo" and so on, then a divider, before "&Esci".
    if (recentFiles.size() > RecentFileCount) recentFiles.resize(RecentFileCount);
    for (const CommandSpec& spec : Commands()) {
        if (spec.menu != MenuPlace::RecentFiles) continue;
        const bool divider = spec.command == Command::None;
        if (divider ? recentItems.empty() : static_cast<std::size_t>(RecentIndex(spec.command)) >= recentFiles.size())
            continue;
        auto* item = MakeItem(fileMenu, spec, divider ? std::wstring() : spec.label(*this), exitItem);
        if (!divider) {
            commandOfControl[item->controlId] = spec.command;
            item->onCommand = &FormMainHandlers::MenuCommand;
        }
        recentItems.emplace_back(item);
    }
}

void FormMain::BuildToolBar(int left, int top, int barWidth, int barHeight) {
    toolBar = ownedElements.Add(new QVUtility::ToolBar(this));
    toolBar->x = left;
    toolBar->y = top;
    toolBar->width = barWidth;
    toolBar->height = barHeight;
    toolBar->flat = 1;
    toolBar->alignTop = 0;
    toolBar->alignBottom = 0;
    toolBar->alignLeft = 0;
    toolBar->alignRight = 0;
    toolBar->imageSets = {{16, IDB_STANDARD_16, IDB_TOOLBAR},
                          {24, IDB_STANDARD_24, IDB_TOOLBAR_24},
                          {32, IDB_STANDARD_32, IDB_TOOLBAR_32}};
    const auto add = [this](const std::wstring& tooltip, bool enable) {
        auto* item = ownedElements.Add(new QVUtility::ToolBarItem(toolBar));
        item->text = tooltip;
        item->tooltipText = QVUtility::Narrow(tooltip);
        item->enabled = enable;
        item->onCommand = &FormMainHandlers::ToolbarCommand;
        toolBar->AddItem(item);
        return item;
    };
    // The separators, in the order they come.
    QVUtility::ToolBarItem* CommandItems::*const separators[] = {&CommandItems::firstSeparator,
                                                                 &CommandItems::secondSeparator};
    std::size_t separatorsMade = 0;
    bool stripAdded = false;
    for (const CommandSpec& spec : Commands()) {
        if (spec.button.tip == nullptr) continue;
        if (spec.button.separatorBefore) {
            QVUtility::ToolBarItem* separator = add(L"", true);
            separator->buttonStyle = 1;
            if (separatorsMade < std::size(separators)) this->*separators[separatorsMade++] = separator;
        }
        QVUtility::ToolBarItem* button = add(spec.button.tip, Enabled(spec));
        button->fixedId = spec.button.id;
        if (spec.button.stripImage < 0) {
            button->imageIndex = spec.button.standardImage;
        } else {
            // The program's strip: the first of its items adds the strip, the
            // others take their image by offset from where it starts.
            if (!stripAdded) {
                button->bitmapResource = IDB_TOOLBAR;
                button->imageCount = IDB_TOOLBAR_COUNT;
                stripAdded = true;
            }
            button->imageOffset = spec.button.stripImage;
        }
        if (spec.buttonField != nullptr) this->*spec.buttonField = button;
        toolButtons.emplace_back(&spec, button);
    }
    toolBar->Create();
    for (const CommandSpec& spec : Commands()) {
        if (spec.buttonField != nullptr && this->*spec.buttonField != nullptr)
            commandOfControl[(this->*spec.buttonField)->controlId] = spec.command;
    }
}

void FormMain::BuildKeys() {
    for (const CommandSpec& spec : Commands()) {
        if (spec.menu == MenuPlace::None && !spec.keys.Empty())
            AddShortcut(spec.keys, spec.id, &FormMainHandlers::KeyCommand);
    }
}

}  // namespace MyApp
