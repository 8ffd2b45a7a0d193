#include "app/main/StartPage.h"

#include <oleacc.h>
#include <shlwapi.h>

#include <algorithm>
#include <shlwapi.h>

#include "app/main/FormMain.h"
#include "app/res/AppInfo.h"
#include "app/res/resource.h"
#include "file/ProjectFile.h"
#include "toolkit/draw/HighContrast.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/ListView.h"

namespace MyApp {

namespace {

// Measures at 96 DPI.
constexpr int Margin = 40;
constexpr int HeadingHeight = 34;
constexpr int LineHeight = 26;
constexpr int LinkWidth = 520;
constexpr int Gap = 14;

void LinkFollowedByMouse(QVUtility::GUIElement* link) {
    if (auto* page = dynamic_cast<StartPage*>(link != nullptr ? link->parent : nullptr)) page->Follow(link);
}

int LinkPressed(QVUtility::GUIElement* link, HWND, int, int) {
    LinkFollowedByMouse(link);
    return 0;
}

void LinkKey(QVUtility::GUIElement* link, int key) {
    if (key == VK_RETURN || key == VK_SPACE) LinkFollowedByMouse(link);
}

}  // namespace

StartPage::StartPage(QVUtility::GUIElement* parentElement, std::vector<QVUtility::GUIElement*> covered,
                     QVUtility::GUIElement* hidden)
    : PanelChildren(parentElement), covered_(std::move(covered)), hidden_(hidden) {
    // Identifiers of their own: the elements the counter numbers keep theirs.
    fixedId = IDC_START_PAGE;
    tabStop = false;
    accessibleName = L"Pagina iniziale";
    accessibleRole = ROLE_SYSTEM_PANE;
}

void StartPage::Create() {
    SetBackColour(GetSysColor(COLOR_WINDOW));
    PanelChildren::Create();
    // Tab goes on into the links, as into a group of a dialog.
    if (window != nullptr)
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    const auto text = [this](const std::wstring& caption, int size, bool bold) {
        auto* cell = static_cast<QVUtility::CellControl*>(owned_.emplace_back(new QVUtility::CellControl(this)).get());
        cell->fixedId = IDC_START_PAGE_FIRST + static_cast<int>(owned_.size()) - 1;
        cell->text = caption;
        cell->fontSize = size;
        cell->fontBold = bold;
        cell->textAlign = 0;
        cell->textColour = GetSysColor(COLOR_WINDOWTEXT);
        cell->SetBackColour(GetSysColor(COLOR_WINDOW));
        cell->Create();
        return cell;
    };
    heading_ = text(ProductName, 26, true);
    purpose_ = text(L"Pianifica un progetto come diagramma di Gantt e ne calcola i costi, in tutto e mese per mese.",
                    15, false);
    MakeLink(L"Nuovo progetto...", L"Un progetto vuoto, con le sue date");
    MakeLink(L"Apri...", L"Un progetto salvato");
    MakeLink(L"Apri un esempio", L"La ristrutturazione di una casa: circa venti attività in un anno, con i costi");
    recentHeading_ = text(L"Progetti recenti", 15, true);
    for (int i = 0; i < 4; ++i) MakeLink(std::wstring(), std::wstring());
    // The covered windows draw nothing over the page and are out of Tab's way.
    for (QVUtility::GUIElement* each : covered_) {
        if (each == nullptr || each->window == nullptr) continue;
        coveredStyles_.push_back(GetWindowLongPtrW(each->window, GWL_STYLE));
        SetWindowLongPtrW(each->window, GWL_STYLE, coveredStyles_.back() | WS_CLIPSIBLINGS);
        SetWindowPos(each->window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        EnableWindow(each->window, FALSE);
    }
    if (hidden_ != nullptr && hidden_->window != nullptr) ShowWindow(hidden_->window, SW_HIDE);
    Arrange();
}

QVUtility::CellControl* StartPage::MakeLink(const std::wstring& caption, const std::wstring& description) {
    auto* link = static_cast<QVUtility::CellControl*>(owned_.emplace_back(new QVUtility::CellControl(this)).get());
    link->fixedId = IDC_START_PAGE_FIRST + static_cast<int>(owned_.size()) - 1;
    link->text = caption;
    link->fontSize = 16;
    link->fontUnderline = true;
    link->textAlign = 0;
    // Blue as links are, the system's colour of links in high contrast.
    link->textColour = QVUtility::HighContrastOn() ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255);
    link->SetBackColour(GetSysColor(COLOR_WINDOW));
    link->SetHandCursor(true);
    link->onLeftButtonUp = &LinkPressed;
    link->onKeyDown = &LinkKey;
    link->tabStop = true;
    link->accessibleRole = ROLE_SYSTEM_LINK;
    link->accessibleDescription = description;
    link->Create();
    links_.push_back(link);
    return link;
}

void StartPage::ShowRecentFiles(const std::vector<std::string>& paths) {
    // The four links are made once; those without a project are hidden.
    for (std::size_t i = FirstRecent; i < links_.size(); ++i) {
        QVUtility::CellControl* link = links_[i];
        const std::size_t index = i - FirstRecent;
        const std::wstring path = index < paths.size() ? QVUtility::Widen(paths[index]) : std::wstring();
        link->accessibleDescription = path;
        link->SetText(path.empty() ? path : std::wstring(PathFindFileNameW(path.c_str())));
    }
    anyRecent_ = !paths.empty();
    Arrange();
}

void StartPage::Arrange() {
    if (window == nullptr) return;
    const QVUtility::DisplayScale s = Scale();
    int top = Margin;
    const auto put = [&](QVUtility::GUIElement* element, int height) {
        if (element == nullptr || element->window == nullptr || !Used(element)) return;
        SetWindowPos(element->window, nullptr, s(Margin), s(top), std::max(s(LinkWidth), width - 2 * s(Margin)), s(height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
        top += height;
    };
    put(heading_, HeadingHeight);
    put(purpose_, LineHeight);
    top += Gap;
    for (std::size_t i = 0; i < links_.size(); ++i) {
        if (i == FirstRecent) {
            top += Gap;
            put(recentHeading_, LineHeight);
        }
        put(links_[i], LineHeight);
    }
    for (QVUtility::CellControl* cell : links_)
        if (cell->window != nullptr) ShowWindow(cell->window, Used(cell) ? SW_SHOWNA : SW_HIDE);
    if (recentHeading_->window != nullptr) ShowWindow(recentHeading_->window, Used(recentHeading_) ? SW_SHOWNA : SW_HIDE);
}

bool StartPage::Used(const QVUtility::GUIElement* element) const {
    return element == recentHeading_ ? anyRecent_ : !element->text.empty();
}

void StartPage::Cover(int left, int top, int coverWidth, int coverHeight) {
    if (window == nullptr || left_) return;
    x = left;
    y = top;
    width = coverWidth;
    height = coverHeight;
    SetWindowPos(window, HWND_TOP, left, top, coverWidth, coverHeight, SWP_NOACTIVATE);
    Arrange();
}

void StartPage::Leave() {
    if (left_ || window == nullptr) return;
    left_ = true;
    const bool hadKeyboard = IsChild(window, GetFocus()) != FALSE;
    ShowWindow(window, SW_HIDE);
    if (hidden_ != nullptr && hidden_->window != nullptr) ShowWindow(hidden_->window, SW_SHOWNA);
    std::size_t next = 0;
    for (QVUtility::GUIElement* each : covered_) {
        if (each == nullptr || each->window == nullptr || next >= coveredStyles_.size()) continue;
        EnableWindow(each->window, TRUE);
        // The control's own bits (its scroll bars) stay as they are now.
        const LONG_PTR clip = coveredStyles_[next++] & WS_CLIPSIBLINGS;
        SetWindowLongPtrW(each->window, GWL_STYLE, (GetWindowLongPtrW(each->window, GWL_STYLE) & ~WS_CLIPSIBLINGS) | clip);
        SetWindowPos(each->window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        RedrawWindow(each->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
    if (hadKeyboard && parent != nullptr) parent->Focus();
}

bool StartPage::Shown() const { return !left_ && window != nullptr && IsWindowVisible(window); }

void StartPage::FocusFirstLink() {
    if (Shown() && !links_.empty()) links_.front()->Focus();
}

void StartPage::Follow(const QVUtility::GUIElement* link) {
    for (std::size_t i = 0; i < links_.size(); ++i)
        if (links_[i] == link && onLink) return onLink(i);
}

// ---- The main window's side ------------------------------------------------------------

void FormMain::BuildStartPage() {
    startPage = ownedElements.Add(new StartPage(this, {taskTable, splitter}, chartPanel));
    startPage->onLink = [this](std::size_t link) {
        switch (link) {
        case StartPage::NewProject: return Execute(Command::New);
        case StartPage::OpenProject: return Execute(Command::Open);
        case StartPage::OpenExample: return OpenExampleProject();
        }
        const std::size_t recent = link - StartPage::FirstRecent;
        if (recent < 4) Execute(static_cast<Command>(static_cast<int>(Command::Recent1) + static_cast<int>(recent)));
    };
    startPage->Create();
    if (window != nullptr && GetFocus() == window) startPage->FocusFirstLink();
}

void FormMain::OpenExampleProject() {
    if (!OfferToSave()) return;
    const HMODULE program = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(IDR_EXAMPLE_PROJECT), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = found != nullptr ? LoadResource(program, found) : nullptr;
    const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    Project example;
    if (bytes == nullptr ||
        LoadProjectBytes(example, std::string_view(bytes, SizeofResource(program, found))) != LoadResult::Ok) {
        QVUtility::ShowError(this, std::wstring(L"Formato non valido."), std::wstring(L"Errore"));
        return;
    }
    // An unsaved copy: "Senza nome", to be saved under a name of the user's.
    LeaveFile();  // the previous project's lock and recovery copy
    project = example;
    SetFilePath(std::string());
    selectedTaskId = 0;
    project.modified = true;
    history.Clear(project);
    MarkModified();
    EnableProjectCommands();
}

}  // namespace MyApp
