// The program as a screen reader and a keyboard user meet it, worked from
// outside: the names, roles and states every control of the main window and
// of each dialog tells through the platform's accessibility interface, in
// the order Tab reaches them; the bars in view; the events that tell a
// screen reader of the task selected; and a whole session without a mouse.
#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>
#include <oleacc.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/res/AppInfo.h"
#include "file/ProjectFile.h"
#include "model/CostReport.h"
#include "model/FormatAmount.h"
#include "model/WorkingDays.h"
#include "toolkit/platform/TextConversion.h"

namespace {

using apptest::kSiteProject;

// A control as assistive technology reads it: its name and role.
struct Spoken {
    std::wstring name;
    long role;
    bool operator==(const Spoken& other) const { return name == other.name && role == other.role; }
    bool operator<(const Spoken& other) const { return name != other.name ? name < other.name : role < other.role; }
};

std::string Describe(const std::vector<Spoken>& list) {
    std::string text;
    for (const Spoken& each : list) text += "  \"" + drv::Utf8(each.name) + "\" " + drv::RoleName(each.role) + "\n";
    return text;
}

class AccessTest : public apptest::ProgramFixture {
protected:
    // The site project opened, its chart shown.
    void OpenSite() {
        projectPath = Path(L"cantiere.vmo");
        ASSERT_TRUE(drv::WriteFileBytes(projectPath, kSiteProject));
        Open(projectPath);
        ASSERT_TRUE(drv::WaitUntil([&] { return !Bars().empty(); })) << drv::DescribeWindows(app.Id());
    }

    HWND Chart() const { return apptest::ChartPanel(main); }
    HWND Table() const { return drv::FindDescendant(main, IDC_TASK_TABLE); }

    // The bars shown in the chart, by their windows.
    std::vector<HWND> Bars() const {
        std::vector<HWND> bars;
        HWND chart = Chart();
        if (chart == nullptr) return bars;
        for (HWND child : drv::Descendants(chart)) {
            if (drv::Visible(child) && drv::ReadAccessible(child).role == ROLE_SYSTEM_LISTITEM) bars.push_back(child);
        }
        return bars;
    }
    // The bar whose name is `name`; none when no bar in view is named so.
    HWND BarNamed(const std::wstring& name) const {
        for (HWND bar : Bars())
            if (drv::ReadAccessible(bar).name == name) return bar;
        return nullptr;
    }

    // The controls of `top` that a person meets (visible, not the parts the
    // platform makes inside a control): each must answer, with a name and
    // a role of its own.
    std::vector<Spoken> VisibleControls(HWND top) {
        std::vector<Spoken> seen;
        for (HWND control : drv::Descendants(top)) {
            if (!drv::Visible(control) || Inside(control, top)) continue;
            const drv::AccessibleFacts facts = drv::ReadAccessible(control);
            EXPECT_TRUE(facts.ok) << drv::Utf8(drv::ClassOf(control)) << ": " << drv::LastErrorUtf8();
            EXPECT_FALSE(facts.name.empty())
                << drv::Utf8(drv::ClassOf(control)) << " " << drv::IdOf(control) << " has no name";
            EXPECT_NE(facts.role, ROLE_SYSTEM_CLIENT) << drv::Utf8(facts.name) << " has no role of its own";
            seen.push_back({facts.name, facts.role});
        }
        std::sort(seen.begin(), seen.end());
        return seen;
    }
    // A window the platform makes inside a control of the program (a list's
    // header, a combo box's inner box and list).
    static bool Inside(HWND control, HWND top) {
        HWND parent = GetParent(control);
        if (parent == top) return false;
        const std::wstring holder = drv::ClassOf(parent);
        return holder == L"SysListView32" || holder == L"ComboBoxEx32" || holder == L"ComboBox" ||
               holder == L"SysDateTimePick32";
    }

    // The controls Tab reaches in `dialog`, from the one with the focus
    // round to it again, as assistive technology names them.
    std::vector<Spoken> TabOrder(HWND dialog) {
        std::vector<Spoken> order;
        const HWND first = Focused(dialog);
        HWND now = first;
        for (int steps = 0; steps < 40; ++steps) {
            const drv::AccessibleFacts facts = drv::ReadAccessible(now);
            order.push_back({facts.name, facts.role});
            EXPECT_TRUE(facts.Has(STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE))
                << drv::Utf8(facts.name) << " has the keyboard";
            drv::Tab();
            HWND next = nullptr;
            drv::WaitUntil([&] {
                next = Focused(dialog);
                return next != nullptr && next != now;
            });
            if (next == nullptr || next == now || next == first) break;
            now = next;
        }
        return order;
    }
    // Tab until the control named `name` has the keyboard.
    bool TabTo(HWND dialog, const std::wstring& name) {
        for (int steps = 0; steps < 40; ++steps) {
            const HWND now = Focused(dialog);
            if (drv::ReadAccessible(now).name == name) return true;
            drv::Tab();
            drv::WaitUntil([&] { return Focused(dialog) != now; });
        }
        return false;
    }
    // The focused control of the dialog: the control itself, not a window
    // the platform made inside it.
    static HWND Focused(HWND dialog) {
        HWND focus = drv::FocusOf(dialog);
        while (focus != nullptr && GetParent(focus) != nullptr && Inside(focus, dialog)) focus = GetParent(focus);
        return focus;
    }

    std::wstring projectPath;
};

// Every control of the main window answers with its name and role; the
// toolbar's buttons are its parts; the bars are the chart's items, named by
// their tasks and described by their figures; the states follow the
// project, the selection and the keyboard.
TEST_F(AccessTest, TheMainWindowTellsEveryControlItsRoleAndState) {
    OpenSite();
    const std::vector<Spoken> expected = {{L"Barra degli strumenti", ROLE_SYSTEM_TOOLBAR},
                                          {L"Barra di stato", ROLE_SYSTEM_STATUSBAR},
                                          {L"Calendario", ROLE_SYSTEM_GRAPHIC},
                                          {L"Cantiere Via Roma", ROLE_SYSTEM_STATICTEXT},
                                          {L"Diagramma di Gantt", ROLE_SYSTEM_LIST},
                                          {L"Divisore tra tabella e diagramma", ROLE_SYSTEM_SEPARATOR},
                                          {L"Muri", ROLE_SYSTEM_LISTITEM},
                                          {L"Ponteggio", ROLE_SYSTEM_LISTITEM},
                                          {L"Scavo", ROLE_SYSTEM_LISTITEM},
                                          {L"Tabella delle attività", ROLE_SYSTEM_LIST}};
    const std::vector<Spoken> seen = VisibleControls(main);
    EXPECT_EQ(seen, expected) << "seen:\n" << Describe(seen);

    // The toolbar's buttons, named by their tooltips; "Salva" unavailable
    // while nothing is to be saved.
    const drv::AccessibleFacts bar = drv::ReadAccessible(toolbar);
    std::vector<Spoken> buttons;
    for (long part = 1; part <= bar.children; ++part) {
        const drv::AccessibleFacts button = drv::ReadAccessible(toolbar, part);
        buttons.push_back({button.name, button.role});
        EXPECT_EQ(button.Has(STATE_SYSTEM_UNAVAILABLE), button.name == L"Salva") << drv::Utf8(button.name);
    }
    const std::vector<Spoken> toolbarButtons = {{L"Nuovo", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"Apri", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"", ROLE_SYSTEM_SEPARATOR},
                                                {L"Salva", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"", ROLE_SYSTEM_SEPARATOR},
                                                {L"Cambia proprietà", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"Inserisci Task", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"Includi giorni", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"Escludi giorni", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"Calcola il conto economico", ROLE_SYSTEM_PUSHBUTTON},
                                                {L"Flusso di cassa mensile", ROLE_SYSTEM_PUSHBUTTON}};
    EXPECT_EQ(buttons, toolbarButtons) << Describe(buttons);

    // The calendar tells the span, the status bar the file, each bar its
    // task's figures in the words of the tooltip.
    HWND ruler = nullptr;
    for (HWND child : drv::Descendants(Chart()))
        if (drv::ReadAccessible(child).name == L"Calendario") ruler = child;
    EXPECT_EQ(drv::ReadAccessible(ruler).description, L"dal 04/03/2024 al 29/03/2024");
    EXPECT_EQ(drv::ReadAccessible(status).value, projectPath);
    MyApp::Project project;
    ASSERT_EQ(MyApp::LoadProjectFile(drv::Utf8(projectPath), project), MyApp::LoadResult::Ok);
    const MyApp::WorkingDayCalendar calendar(project);
    for (const MyApp::Task& task : project.tasks) {
        HWND shown = BarNamed(QVUtility::Widen(task.description));
        ASSERT_NE(shown, nullptr) << task.description;
        const std::string summary = MyApp::TaskSummary(task, MyApp::CostOf(calendar, task), MyApp::UserAmountFormat());
        EXPECT_EQ(drv::ReadAccessible(shown).description, QVUtility::Widen(summary));
    }

    // The project opened, the keyboard is on the table, where a focus is
    // seen, not on the window's frame.
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == Table(); })) << "the keyboard on the table";

    // Down selects the first task: its bar, and only its, is selected; the
    // table's row with it. F6 takes the keyboard to the chart: the chart
    // and the selected bar are focused.
    drv::Press(VK_DOWN);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ReadAccessible(BarNamed(L"Ponteggio")).Has(STATE_SYSTEM_SELECTED); }));
    for (HWND each : Bars()) {
        const drv::AccessibleFacts facts = drv::ReadAccessible(each);
        EXPECT_TRUE(facts.Has(STATE_SYSTEM_SELECTABLE)) << drv::Utf8(facts.name);
        EXPECT_EQ(facts.Has(STATE_SYSTEM_SELECTED), facts.name == L"Ponteggio") << drv::Utf8(facts.name);
    }
    EXPECT_EQ(SendMessageW(Table(), LVM_GETITEMSTATE, 0, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
    drv::Press(VK_F6);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == Chart(); }));
    apptest::Shot(L"accesso_fuoco_sul_diagramma");
    // The task's row in the table keeps the selection's colour, not the
    // light grey the list gives a selection it does not have the keyboard for.
    const RECT list = drv::ClientScreenRect(Table());
    EXPECT_TRUE(drv::WaitUntil([&] {
        return drv::CaptureScreen(list).Count(GetSysColor(COLOR_HIGHLIGHT)) >
               static_cast<std::size_t>(list.right - list.left) * 8;
    })) << "the selected row shows the selection's colour";
    EXPECT_TRUE(drv::ReadAccessible(Chart()).Has(STATE_SYSTEM_FOCUSED));
    for (HWND each : Bars()) {
        const drv::AccessibleFacts facts = drv::ReadAccessible(each);
        EXPECT_EQ(facts.Has(STATE_SYSTEM_FOCUSED), facts.name == L"Ponteggio") << drv::Utf8(facts.name);
    }
    // A dialog closed gives the keyboard back to the pane that had it.
    drv::Press(VK_F9);
    HWND report = ProgramWindow(L"Conto Economico");
    ASSERT_NE(report, nullptr);
    drv::Escape();
    EXPECT_TRUE(drv::WaitUntil([&] { return IsWindow(report) == FALSE && drv::FocusOf(main) == Chart(); }))
        << "the keyboard back on the chart";
    // Right and Left scroll the chart sideways, as its scroll bar does.
    HWND muri = BarNamed(L"Muri");
    const LONG left = drv::ScreenRect(muri).left;
    drv::Press(VK_RIGHT);
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::ScreenRect(muri).left < left; }));
    drv::Press(VK_LEFT);
    EXPECT_TRUE(drv::WaitUntil([&] { return drv::ScreenRect(muri).left == left; }));
}

// The task table is the platform's own list in report view: what a screen
// reader reads of it (its rows' texts, its columns, the selected row's
// state) is what the program put there, in the chart's order.
TEST_F(AccessTest, TheTaskTableIsAStandardListHoldingTheRows) {
    OpenSite();
    HWND table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(drv::ClassOf(table), WC_LISTVIEWW);
    EXPECT_EQ(GetWindowLongW(table, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    ASSERT_EQ(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0), 3);
    drv::RemoteBuffer buffer(table, sizeof(LVITEMW) + 256 * sizeof(wchar_t));
    ASSERT_TRUE(buffer.Ok());
    auto cell = [&](int row, int column) {
        LVITEMW item{};
        item.iSubItem = column;
        item.cchTextMax = 256;
        item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.Address()) + sizeof(LVITEMW));
        buffer.Write(&item, sizeof item);
        SendMessageW(table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), buffer.AsLParam());
        std::vector<wchar_t> all((sizeof(LVITEMW) + 256 * sizeof(wchar_t)) / sizeof(wchar_t), L'\0');
        buffer.Read(all.data(), sizeof(LVITEMW) + 255 * sizeof(wchar_t));
        return std::wstring(all.data() + sizeof(LVITEMW) / sizeof(wchar_t));
    };
    const wchar_t* const names[] = {L"Ponteggio", L"Scavo", L"Muri"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(cell(row, 0), names[row]);
        EXPECT_EQ(cell(row, 1).size(), 10u) << "a date";
    }
    drv::Press(VK_END);
    ASSERT_TRUE(
        drv::WaitUntil([&] { return SendMessageW(table, LVM_GETITEMSTATE, 2, LVIS_SELECTED) == LVIS_SELECTED; }));
    EXPECT_EQ(SendMessageW(table, LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
    EXPECT_TRUE(drv::ReadAccessible(BarNamed(L"Muri")).Has(STATE_SYSTEM_SELECTED));
}

// Each dialog, opened by its key: Tab reaches its fields in the order they
// stand, each focused in turn and told with its name and role; every
// control shown has a name; the states follow the fields; Escape closes it
// as "Annulla" does, whatever was typed.
TEST_F(AccessTest, EveryDialogTellsItsFieldsInTheOrderTheyStand) {
    OpenSite();
    MyApp::Project project;
    ASSERT_EQ(MyApp::LoadProjectFile(drv::Utf8(projectPath), project), MyApp::LoadResult::Ok);
    std::string report;
    MyApp::Money total;
    MyApp::BuildCostReport(project, report, total);

    const Spoken ok{L"OK", ROLE_SYSTEM_PUSHBUTTON}, cancel{L"Annulla", ROLE_SYSTEM_PUSHBUTTON};
    const auto label = [](const wchar_t* name) { return Spoken{name, ROLE_SYSTEM_STATICTEXT}; };
    const std::vector<Spoken> weekdays = {
        {L"Lunedì", ROLE_SYSTEM_CHECKBUTTON},    {L"Martedì", ROLE_SYSTEM_CHECKBUTTON},
        {L"Mercoledì", ROLE_SYSTEM_CHECKBUTTON}, {L"Giovedì", ROLE_SYSTEM_CHECKBUTTON},
        {L"Venerdì", ROLE_SYSTEM_CHECKBUTTON},   {L"Sabato", ROLE_SYSTEM_CHECKBUTTON},
        {L"Domenica", ROLE_SYSTEM_CHECKBUTTON}};
    std::vector<Spoken> projectFields = {{L"Descrizione", ROLE_SYSTEM_TEXT},
                                         {L"Data inizio", ROLE_SYSTEM_DROPLIST},
                                         {L"Data fine", ROLE_SYSTEM_DROPLIST}};
    projectFields.insert(projectFields.end(), weekdays.begin(), weekdays.end());
    projectFields.insert(projectFields.end(), {ok, cancel});
    const std::vector<Spoken> projectLabels = {label(L"Descrizione"),
                                               label(L"Data inizio"),
                                               label(L"Data fine"),
                                               {L"Giorni lavorativi", ROLE_SYSTEM_GROUPING}};
    const std::vector<Spoken> taskFields = {{L"Descrizione", ROLE_SYSTEM_TEXT},
                                            {L"Data inizio", ROLE_SYSTEM_DROPLIST},
                                            {L"Data fine", ROLE_SYSTEM_DROPLIST},
                                            {L"Colore", ROLE_SYSTEM_COMBOBOX},
                                            {L"Risorse", ROLE_SYSTEM_TEXT},
                                            {L"Costo giornaliero", ROLE_SYSTEM_TEXT},
                                            ok,
                                            cancel};
    const std::vector<Spoken> taskLabels = {label(L"Descrizione"),
                                            label(L"Data inizio"),
                                            label(L"Data fine"),
                                            label(L"Colore"),
                                            label(L"Risorse"),
                                            label(L"Costo Giornaliero"),
                                            {L"Risorse", ROLE_SYSTEM_SPINBUTTON}};
    const std::vector<Spoken> dayFields = {{L"Data", ROLE_SYSTEM_DROPLIST},
                                           {L"Aggiungi", ROLE_SYSTEM_PUSHBUTTON},
                                           {L"Elenco", ROLE_SYSTEM_LIST},
                                           {L"Rimuovi", ROLE_SYSTEM_PUSHBUTTON},
                                           ok,
                                           cancel};
    const std::vector<Spoken> dayLabels = {label(L"Data"), label(L"Elenco")};
    const std::wstring title = QVUtility::Widen(std::string(MyApp::ProductNameNarrow) + " " + MyApp::ProductVersion);
    const std::wstring web = QVUtility::Widen(MyApp::HomePageAddress);

    struct Case {
        const wchar_t* title;
        WORD key;  // the key that opens it, with the modifiers; or
        unsigned modifiers;
        wchar_t menu, item;            // the menu's letter and the item's
        std::vector<Spoken> tabOrder;  // from the control focused at the start
        std::vector<Spoken> others;    // shown, not reached by Tab
        bool typed;                    // a letter typed in the first field before Escape
    };
    const std::vector<Case> cases = {
        {L"Modifica", VK_RETURN, drv::kAlt, 0, 0, projectFields, projectLabels, true},
        {L"Nuovo Task", VK_INSERT, drv::kNone, 0, 0, taskFields, taskLabels, true},
        {L"Modifica Task", VK_RETURN, drv::kNone, 0, 0, taskFields, taskLabels, true},
        {L"Elenco Giorni da includere come lavorativi", 'I', drv::kCtrl, 0, 0, dayFields, dayLabels, false},
        {L"Elenco Giorni da escludere come lavorativi", 'E', drv::kCtrl, 0, 0, dayFields, dayLabels, false},
        {L"Conto Economico",
         VK_F9,
         drv::kNone,
         0,
         0,
         {{L"Dettaglio", ROLE_SYSTEM_TEXT}, ok, {L"Copia", ROLE_SYSTEM_PUSHBUTTON}},
         {label(L"Dettaglio"),
          {L"Costo del progetto: " + QVUtility::Widen(MyApp::FormatAmount(total)), ROLE_SYSTEM_STATICTEXT}},
         false},
        {L"Trova", 'F', drv::kCtrl, 0, 0, {{L"Trova", ROLE_SYSTEM_TEXT}, ok, cancel}, {label(L"Trova")}, true},
        {L"Stampa",
         0,
         0,
         L'F',
         L'P',
         {{L"Stampa", ROLE_SYSTEM_COMBOBOX}, {L"Scala", ROLE_SYSTEM_COMBOBOX}, ok, cancel},
         {label(L"Stampa"), label(L"Scala")},
         false},
        {L"Anteprima di stampa",
         0,
         0,
         L'F',
         L'T',
         {{L"Zoom", ROLE_SYSTEM_COMBOBOX},
          {L"Stampa", ROLE_SYSTEM_COMBOBOX},
          {L"Scala", ROLE_SYSTEM_COMBOBOX},
          {L"Stampa...", ROLE_SYSTEM_PUSHBUTTON},
          {L"Chiudi", ROLE_SYSTEM_PUSHBUTTON},
          {L"Pagina", ROLE_SYSTEM_PANE}},
         {{L"Pagina precedente", ROLE_SYSTEM_PUSHBUTTON},
          {L"Pagina successiva", ROLE_SYSTEM_PUSHBUTTON},
          label(L"Pagina 1 di 1"),
          {L"Anteprima della pagina", ROLE_SYSTEM_GRAPHIC}},
         false},
        {L"Info...",
         0,
         0,
         L'?',
         L'I',
         {ok,
          {web, ROLE_SYSTEM_LINK},
          {L"info@qvvelmora.example", ROLE_SYSTEM_LINK},
          {L"Informazioni", ROLE_SYSTEM_TEXT}},
         {{title, ROLE_SYSTEM_STATICTEXT},
          {QVUtility::Widen(MyApp::NoticeLineNarrow), ROLE_SYSTEM_STATICTEXT},
          {L"Logo", ROLE_SYSTEM_GROUPING},
          {L"Logo del programma", ROLE_SYSTEM_GRAPHIC}},
         false},
    };
    drv::Press(VK_DOWN);  // a task selected, for "Modifica Task"
    for (const Case& each : cases) {
        SCOPED_TRACE(drv::Utf8(each.title));
        ASSERT_TRUE(drv::Activate(main));
        if (each.menu != 0) {
            ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), each.menu, each.item)) << drv::LastErrorUtf8();
        } else {
            drv::Press(each.key, each.modifiers);
        }
        HWND dialog = ProgramWindow(each.title);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_TRUE(drv::WaitUntil([&] { return Focused(dialog) != nullptr && Focused(dialog) != dialog; }))
            << "nothing in the dialog has the keyboard";

        apptest::Shot((L"accesso_" + std::to_wstring(&each - cases.data())).c_str());
        const std::vector<Spoken> order = TabOrder(dialog);
        EXPECT_EQ(order, each.tabOrder) << "Tab reaches:\n" << Describe(order);
        std::vector<Spoken> all = each.tabOrder;
        all.insert(all.end(), each.others.begin(), each.others.end());
        std::sort(all.begin(), all.end());
        const std::vector<Spoken> shown = VisibleControls(dialog);
        EXPECT_EQ(shown, all) << "shown:\n" << Describe(shown);

        if (std::wstring(each.title) == L"Modifica") {
            // The working days checked as the project has them; the space
            // bar checks Saturday, and its state follows.
            std::map<std::wstring, HWND> boxes;
            for (HWND box : drv::Descendants(dialog, L"Button")) {
                const drv::AccessibleFacts facts = drv::ReadAccessible(box);
                if (facts.role != ROLE_SYSTEM_CHECKBUTTON) continue;
                const bool weekend = facts.name == L"Sabato" || facts.name == L"Domenica";
                EXPECT_EQ(facts.Has(STATE_SYSTEM_CHECKED), !weekend) << drv::Utf8(facts.name);
                boxes[facts.name] = box;
            }
            ASSERT_EQ(boxes.size(), 7u);
            ASSERT_TRUE(TabTo(dialog, L"Sabato"));
            drv::Press(VK_SPACE);
            EXPECT_TRUE(
                drv::WaitUntil([&] { return drv::ReadAccessible(boxes[L"Sabato"]).Has(STATE_SYSTEM_CHECKED); }));
        }
        if (std::wstring(each.title) == L"Info...") {
            ASSERT_TRUE(TabTo(dialog, web));
            apptest::Shot(L"accesso_info_collegamento");
        }
        if (std::wstring(each.title) == L"Anteprima di stampa") {
            // At 200 % the sheet is larger than its view: with the keyboard
            // on it, the arrows scroll it.
            ASSERT_TRUE(TabTo(dialog, L"Zoom"));
            drv::Press(VK_END);
            ASSERT_TRUE(TabTo(dialog, L"Pagina"));
            apptest::Shot(L"accesso_anteprima_pagina");
            HWND sheet = nullptr;
            for (HWND child : drv::Descendants(dialog))
                if (drv::ReadAccessible(child).name == L"Anteprima della pagina") sheet = child;
            ASSERT_NE(sheet, nullptr);
            const RECT before = drv::ScreenRect(sheet);
            drv::Press(VK_DOWN);
            drv::Press(VK_RIGHT);
            EXPECT_TRUE(drv::WaitUntil([&] {
                const RECT now = drv::ScreenRect(sheet);
                return now.top < before.top && now.left < before.left;
            })) << "the sheet scrolled up and left";
            int pageButtons = 0;
            for (HWND button : drv::Descendants(dialog, L"Button")) {
                const drv::AccessibleFacts facts = drv::ReadAccessible(button);
                if (facts.name.rfind(L"Pagina ", 0) != 0) continue;
                EXPECT_TRUE(facts.Has(STATE_SYSTEM_UNAVAILABLE)) << "one page";
                ++pageButtons;
            }
            EXPECT_EQ(pageButtons, 2);
        }
        if (each.typed) drv::Type(L"x");
        drv::Escape();
        ASSERT_TRUE(drv::WaitWindowGone(dialog)) << "Escape closes it";
        ASSERT_TRUE(drv::WaitUntil([&] { return IsWindowEnabled(main) != FALSE; }));
        EXPECT_EQ(drv::Text(main).find(L" *"), std::wstring::npos) << "Escape took nothing";
    }
}

// A screen reader hears of the task selected, however it was chosen: the
// keys in the chart (the focus on the new task's bar), the keys in the
// table (the focus on its row), the mouse, "Trova..." and an undo (the
// selection on the task's bar); each event names the new task.
TEST_F(AccessTest, TheTaskSelectedIsToldWhateverChoseIt) {
    OpenSite();
    drv::WinEventLog log(app.Id(), EVENT_OBJECT_FOCUS, EVENT_OBJECT_SELECTION);
    ASSERT_TRUE(log.Hooked()) << drv::LastErrorUtf8();
    // The event of kind `event` for the bar of `task`, read through the
    // object the event names.
    auto told = [&](DWORD event, const std::wstring& task) {
        return log.WaitFor([&](const drv::WinEventLog::Event& heard) {
            if (heard.event != event || heard.object != OBJID_CLIENT) return false;
            const drv::AccessibleFacts facts = drv::ReadAccessibleOfEvent(heard.window, heard.object, heard.child);
            return facts.name == task && facts.role == ROLE_SYSTEM_LISTITEM && facts.Has(STATE_SYSTEM_SELECTED) &&
                   (event != EVENT_OBJECT_FOCUS || facts.Has(STATE_SYSTEM_FOCUSED));
        });
    };

    // The keyboard in the chart: the focus follows the selection.
    for (int i = 0; i < 3 && drv::FocusOf(main) != Chart(); ++i) {
        drv::Press(VK_F6);
        drv::WaitUntil([&] { return drv::FocusOf(main) == Chart(); });
    }
    ASSERT_EQ(drv::FocusOf(main), Chart());
    drv::Press(VK_DOWN);
    EXPECT_TRUE(told(EVENT_OBJECT_FOCUS, L"Ponteggio"));
    log.Clear();
    drv::Press(VK_DOWN);
    EXPECT_TRUE(told(EVENT_OBJECT_FOCUS, L"Scavo"));
    EXPECT_TRUE(told(EVENT_OBJECT_SELECTION, L"Scavo"));

    // The keyboard in the table: the focus on the row of the new task.
    log.Clear();
    drv::Press(VK_F6);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(main) == Table(); }));
    drv::Press(VK_DOWN);
    EXPECT_TRUE(log.WaitFor([&](const drv::WinEventLog::Event& heard) {
        return heard.event == EVENT_OBJECT_FOCUS && heard.window == Table() && heard.child == 3;  // Muri's row
    })) << drv::LastErrorUtf8();
    EXPECT_TRUE(told(EVENT_OBJECT_SELECTION, L"Muri"));

    // The mouse on a bar.
    log.Clear();
    drv::ClickWindow(BarNamed(L"Ponteggio"));
    EXPECT_TRUE(told(EVENT_OBJECT_SELECTION, L"Ponteggio"));

    // "Trova...".
    log.Clear();
    drv::Press('F', drv::kCtrl);
    HWND find = ProgramWindow(L"Trova");
    ASSERT_NE(find, nullptr);
    drv::Type(L"Muri\n");
    EXPECT_TRUE(told(EVENT_OBJECT_SELECTION, L"Muri"));
    ASSERT_TRUE(drv::WaitWindowGone(find));

    // An edit taken back: the task, under the name it had, selected again.
    ASSERT_TRUE(drv::Activate(main));
    drv::Press(VK_RETURN);
    HWND edit = ProgramWindow(L"Modifica Task");
    ASSERT_NE(edit, nullptr);
    drv::Type(L"Muri portanti\n");
    ASSERT_TRUE(drv::WaitWindowGone(edit));
    ASSERT_TRUE(drv::WaitUntil([&] { return BarNamed(L"Muri portanti") != nullptr; }));
    log.Clear();
    drv::Press('Z', drv::kCtrl);
    EXPECT_TRUE(told(EVENT_OBJECT_SELECTION, L"Muri"));
}

// A whole session with the keyboard alone, no mouse message sent: a new
// project, a task added, edited and another deleted, the project saved, the
// chart exported and the print previewed.
TEST_F(AccessTest, AWholeSessionWithTheKeyboardAlone) {
    // Each dialog of the program by its title, with the keyboard in it.
    auto dialogOpen = [&](const wchar_t* title) {
        HWND dialog = ProgramWindow(title);
        EXPECT_NE(dialog, nullptr) << drv::Utf8(title) << "\n" << drv::DescribeWindows(app.Id());
        EXPECT_TRUE(drv::WaitUntil([&] { return dialog != nullptr && Focused(dialog) != nullptr; }));
        return dialog;
    };
    // A file dialog "Salva": the name typed over the one proposed, then Invio.
    auto saveAs = [&](const std::wstring& path) {
        HWND dialog = drv::WaitTopWindow(app.Id(), L"#32770", L"Salva");
        ASSERT_NE(dialog, nullptr) << drv::LastErrorUtf8();
        HWND name = drv::WaitDescendant(dialog, 1148, L"Edit");
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::FocusOf(dialog) == name; })) << "the name has the keyboard";
        drv::Press(VK_HOME);
        drv::Press(VK_END, drv::kShift);
        drv::Type(path);
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(name) == path; }));
        drv::Enter();
        ASSERT_TRUE(drv::WaitWindowGone(dialog));
    };

    // A new project: its description, then a year more for its last day
    // (Fine goes to the year, the arrow raises it).
    drv::Press('N', drv::kCtrl);
    HWND dialog = dialogOpen(L"Nuovo");
    ASSERT_NE(dialog, nullptr);
    drv::Type(L"Casa al mare");
    ASSERT_TRUE(TabTo(dialog, L"Data fine"));
    drv::Press(VK_END);
    drv::Press(VK_UP);
    drv::Enter();
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Text(main).find(L"Senza nome *") != std::wstring::npos; }))
        << drv::Utf8(drv::Text(main));

    // Two tasks, each with its description, resources and daily cost.
    for (const wchar_t* task : {L"Fondazioni", L"Muri"}) {
        drv::Press(VK_INSERT);
        dialog = dialogOpen(L"Nuovo Task");
        ASSERT_NE(dialog, nullptr);
        drv::Type(task);
        ASSERT_TRUE(TabTo(dialog, L"Risorse"));
        drv::Type(L"2");
        ASSERT_TRUE(TabTo(dialog, L"Costo giornaliero"));
        drv::Type(L"150\n");
        ASSERT_TRUE(drv::WaitWindowGone(dialog));
        ASSERT_TRUE(drv::WaitUntil([&] { return drv::ReadAccessible(BarNamed(task)).Has(STATE_SYSTEM_SELECTED); }))
            << drv::Utf8(task) << " added and selected";
    }
    // The first edited: Up selects it, Invio opens it, the description typed over.
    drv::Press(VK_UP);
    ASSERT_TRUE(
        drv::WaitUntil([&] { return drv::ReadAccessible(BarNamed(L"Fondazioni")).Has(STATE_SYSTEM_SELECTED); }));
    drv::Enter();
    dialog = dialogOpen(L"Modifica Task");
    ASSERT_NE(dialog, nullptr);
    drv::Type(L"Fondamenta\n");
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    ASSERT_TRUE(drv::WaitUntil([&] { return BarNamed(L"Fondamenta") != nullptr; }));
    // The second deleted from the chart: F6 takes the keyboard there, Down
    // selects it, Maiusc+F10 shows the bars' menu, its letter deletes, Invio
    // says yes.
    for (int i = 0; i < 3 && drv::FocusOf(main) != Chart(); ++i) {
        drv::Press(VK_F6);
        drv::WaitUntil([&] { return drv::FocusOf(main) == Chart(); });
    }
    ASSERT_EQ(drv::FocusOf(main), Chart());
    drv::Press(VK_DOWN);
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::ReadAccessible(BarNamed(L"Muri")).Has(STATE_SYSTEM_SELECTED); }));
    drv::Press(VK_F10, drv::kShift);
    ASSERT_NE(drv::WaitMenu(app.Id()), nullptr) << drv::LastErrorUtf8();
    drv::Press('C');
    HWND question = drv::WaitMessageBox(app.Id(), L"Cancellazione");
    ASSERT_NE(question, nullptr) << drv::LastErrorUtf8();
    drv::Enter();
    ASSERT_TRUE(drv::WaitWindowGone(question));
    ASSERT_TRUE(drv::WaitUntil([&] { return BarNamed(L"Muri") == nullptr; }));

    // Saved by Ctrl+S under a name typed in.
    drv::Press('S', drv::kCtrl);
    saveAs(Path(L"mare.vmo"));
    ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"mare.vmo")));
    const std::string saved = drv::ReadFileBytes(Path(L"mare.vmo"));
    EXPECT_NE(saved.find("Casa al mare\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Fondamenta\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("Muri"), std::string::npos);

    // Exported: "Esporta come immagine...", the fifth item of "File" (the
    // arrows, it has no letter), "Salva" and the message closed by Invio.
    ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', 4)) << drv::LastErrorUtf8();
    saveAs(Path(L"mare.bmp"));
    HWND done = drv::WaitMessageBox(app.Id(), L"Esporta");
    ASSERT_NE(done, nullptr) << drv::LastErrorUtf8();
    drv::Enter();
    ASSERT_TRUE(drv::WaitWindowGone(done));
    EXPECT_EQ(drv::ReadFileBytes(Path(L"mare.bmp")).substr(0, 2), "BM");

    // The print previewed, its pages turned by keyboard, closed by Escape.
    ASSERT_TRUE(drv::ChooseMenuItem(app.Id(), L'F', L'T')) << drv::LastErrorUtf8();
    dialog = dialogOpen(L"Anteprima di stampa");
    ASSERT_NE(dialog, nullptr);
    drv::Escape();
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    EXPECT_NE(drv::Text(main).find(L"mare.vmo"), std::wstring::npos);
    EXPECT_EQ(drv::Text(main).find(L" *"), std::wstring::npos) << "nothing left unsaved";
}

}  // namespace
