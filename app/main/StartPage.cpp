#include "app/main/StartPage.h"

#include <oleacc.h>
#include <shlwapi.h>

#include <algorithm>

#include "app/main/ChartView.h"
#include "app/main/FormMain.h"
#include "app/main/TaskTable.h"
#include "app/res/AppInfo.h"
#include "app/res/resource.h"
#include "file/ProjectFile.h"
#include "toolkit/draw/HighContrast.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/CellControl.h"

namespace MyApp {

namespace {

// Measures at 96 DPI.
constexpr int Margin = 40;
constexpr int HeadingHeight = 34;
constexpr int LineHeight = 26;
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

StartPage::StartPage(QVUtility::GUIElement* parentElement, std::vector<QVUtility::GUIElement*> panes)
    : PanelChildren(parentElement),
      panes_(std::move(panes)),
      headingFont_(std::wstring(L"Tahoma"), 30),
      textFont_(std::wstring(L"Tahoma"), 16),
      boldFont_(std::wstring(L"Tahoma"), 16),
      linkFont_(std::wstring(L"Tahoma"), 16) {
    // Identifiers of their own: the elements the counter numbers keep theirs.
    fixedId = IDC_START_PAGE;
    tabStop = false;
    accessibleName = L"Pagina iniziale";
    accessibleRole = ROLE_SYSTEM_PANE;
    boldFont_.bold = true;
    linkFont_.underline = true;
}

void StartPage::Create() {
    SetBackColour(GetSysColor(COLOR_WINDOW));
    PanelChildren::Create();
    // Tab goes on into the links, as into a group of a dialog.
    if (window != nullptr)
        SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    heading_ = MakeCell(ProductName, &headingFont_);
    purpose_ = MakeCell(L"Pianifica un progetto come diagramma di Gantt e ne calcola i costi, in tutto e mese per mese.",
                        &textFont_);
    MakeLink(L"Nuovo progetto...", L"Un progetto vuoto, con le sue date");
    MakeLink(L"Apri...", L"Un progetto salvato");
    MakeLink(L"Apri un esempio", L"La ristrutturazione di una casa: circa venti attività in un anno, con i costi");
    recentHeading_ = MakeCell(L"Progetti recenti", &boldFont_);
    for (int i = 0; i < 4; ++i) MakeLink(std::wstring(), std::wstring());
    for (QVUtility::GUIElement* pane : panes_)
        if (pane != nullptr && pane->window != nullptr) ShowWindow(pane->window, SW_HIDE);
    Arrange();
}

QVUtility::CellControl* StartPage::MakeCell(const std::wstring& caption, QVUtility::FontDescription* cellFont) {
    auto* cell = static_cast<QVUtility::CellControl*>(owned_.emplace_back(new QVUtility::CellControl(this)).get());
    cell->fixedId = IDC_START_PAGE_FIRST + static_cast<int>(owned_.size()) - 1;
    cell->text = caption;
    cell->font = cellFont;
    cell->textAlign = 0;
    cell->textColour = GetSysColor(COLOR_WINDOWTEXT);
    cell->SetBackColour(GetSysColor(COLOR_WINDOW));
    return cell;
}

QVUtility::CellControl* StartPage::MakeLink(const std::wstring& caption, const std::wstring& description) {
    QVUtility::CellControl* link = MakeCell(caption, &linkFont_);
    // Blue as links are, the system's colour of links in high contrast.
    link->textColour = QVUtility::HighContrastOn() ? GetSysColor(COLOR_HOTLIGHT) : RGB(0, 0, 255);
    link->SetHandCursor(true);
    link->onLeftButtonUp = &LinkPressed;
    link->onKeyDown = &LinkKey;
    link->tabStop = true;
    link->accessibleRole = ROLE_SYSTEM_LINK;
    link->accessibleDescription = description;
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
    for (QVUtility::FontDescription* each : {&headingFont_, &textFont_, &boldFont_, &linkFont_}) each->SetDpi(s.Dpi());
    const QVUtility::ScreenContext screen;
    int top = Margin;
    const auto put = [&](QVUtility::CellControl* cell, int height) {
        if (!cell->created) cell->Create();
        if (cell->window == nullptr) return;
        ShowWindow(cell->window, Used(cell) ? SW_SHOWNA : SW_HIDE);
        if (!Used(cell)) return;
        // As wide as its text, so that a link's focus rectangle is the link's.
        SIZE extent{};
        {
            const QVUtility::ScopedSelect fontIn(screen.Get(), cell->font->GetFont());
            GetTextExtentPoint32W(screen.Get(), cell->text.c_str(), static_cast<int>(cell->text.size()), &extent);
        }
        SetWindowPos(cell->window, nullptr, s(Margin), s(top), extent.cx + s(6), s(height), SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(cell->window, nullptr, TRUE);
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
    for (QVUtility::GUIElement* pane : panes_)
        if (pane != nullptr && pane->window != nullptr) ShowWindow(pane->window, SW_SHOWNA);
    if (hadKeyboard && parent != nullptr) parent->Focus();
}

void StartPage::FocusFirstLink() {
    if (Shown() && !links_.empty()) links_.front()->Focus();
}

void StartPage::Follow(const QVUtility::GUIElement* link) {
    for (std::size_t i = 0; i < links_.size(); ++i)
        if (links_[i] == link && onLink) return onLink(i);
}

// ---- The main window's side ------------------------------------------------------------

void FormMain::BuildStartPage() {
    startPage = ownedElements.Add(new StartPage(this, {taskTable, splitter, chart}));
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
    project = example;
    ShowUnsavedProject();
}

}  // namespace MyApp
