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

#include "file/ProjectFile.h"
#include "toolkit/platform/TextConversion.h"
#include "model/CostReport.h"
#include "model/FormatAmount.h"
#include "model/WorkingDays.h"

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
            EXPECT_FALSE(facts.name.empty()) << drv::Utf8(drv::ClassOf(control)) << " " << drv::IdOf(control)
                                             << " has no name";
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
            drv::Tab();
            HWND next = nullptr;
            drv::WaitUntil([&] {
                next = Focused(dialog);
                return next != nullptr && next != now;
            }, 3000);
            if (next == nullptr || next == now || next == first) break;
            now = next;
        }
        return order;
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
    const std::vector<Spoken> expected = {
        {L"Barra degli strumenti", ROLE_SYSTEM_TOOLBAR}, {L"Barra di stato", ROLE_SYSTEM_STATUSBAR},
        {L"Calendario", ROLE_SYSTEM_GRAPHIC},            {L"Cantiere Via Roma", ROLE_SYSTEM_STATICTEXT},
        {L"Diagramma di Gantt", ROLE_SYSTEM_LIST},       {L"Divisore tra tabella e diagramma", ROLE_SYSTEM_SEPARATOR},
        {L"Muri", ROLE_SYSTEM_LISTITEM},                 {L"Ponteggio", ROLE_SYSTEM_LISTITEM},
        {L"Scavo", ROLE_SYSTEM_LISTITEM},                {L"Tabella delle attività", ROLE_SYSTEM_LIST}};
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
    const std::vector<Spoken> toolbarButtons = {
        {L"Nuovo", ROLE_SYSTEM_PUSHBUTTON},          {L"Apri", ROLE_SYSTEM_PUSHBUTTON},
        {L"", ROLE_SYSTEM_SEPARATOR},                {L"Salva", ROLE_SYSTEM_PUSHBUTTON},
        {L"", ROLE_SYSTEM_SEPARATOR},                {L"Cambia proprietà", ROLE_SYSTEM_PUSHBUTTON},
        {L"Inserisci Task", ROLE_SYSTEM_PUSHBUTTON}, {L"Includi giorni", ROLE_SYSTEM_PUSHBUTTON},
        {L"Escludi giorni", ROLE_SYSTEM_PUSHBUTTON}, {L"Calcola il conto economico", ROLE_SYSTEM_PUSHBUTTON}};
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
    for (int i = 0; i < 3 && drv::FocusOf(main) != Chart(); ++i) {
        drv::Press(VK_F6);
        drv::WaitUntil([&] { return drv::FocusOf(main) == Chart(); }, 2000);
    }
    ASSERT_EQ(drv::FocusOf(main), Chart());
    EXPECT_TRUE(drv::ReadAccessible(Chart()).Has(STATE_SYSTEM_FOCUSED));
    for (HWND each : Bars()) {
        const drv::AccessibleFacts facts = drv::ReadAccessible(each);
        EXPECT_EQ(facts.Has(STATE_SYSTEM_FOCUSED), facts.name == L"Ponteggio") << drv::Utf8(facts.name);
    }
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
    ASSERT_TRUE(drv::WaitUntil([&] { return SendMessageW(table, LVM_GETITEMSTATE, 2, LVIS_SELECTED) == LVIS_SELECTED; }));
    EXPECT_EQ(SendMessageW(table, LVM_GETITEMSTATE, 0, LVIS_SELECTED), 0);
    EXPECT_TRUE(drv::ReadAccessible(BarNamed(L"Muri")).Has(STATE_SYSTEM_SELECTED));
}

}  // namespace
