// The start page of the main window made in the test process (the example
// project linked as the program links it): its links as a screen reader
// reads them, Tab through them, and Invio on "Apri un esempio" opening the
// example as an unsaved project, which puts the page away and gives the
// table and the chart back.
#include "Driver.h"
#include "tests/app/main/InProcessMainWindow.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>

#include "app/main/StartPage.h"
#include "model/CostReport.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/ListView.h"
#include "app/main/ChartView.h"
#include "toolkit/widgets/PanelChildren.h"

namespace {

using StartPageTest = apptest::InProcessMainWindow;

HWND TaskTable(HWND main) { return FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr); }

TEST_F(StartPageTest, LinksReachedByTabAndTheExampleOpensUnsaved) {
    MyApp::StartPage* page = form->startPage;
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->Shown());
    EXPECT_FALSE(IsWindowVisible(TaskTable(form->window))) << "the page stands in the panes' place";
    EXPECT_FALSE(IsWindowVisible(form->chart->window));

    const wchar_t* const names[] = {L"Nuovo progetto...", L"Apri...", L"Apri un esempio"};
    std::vector<HWND> shown;
    for (const QVUtility::CellControl* link : page->Links())
        if (IsWindowVisible(link->window)) shown.push_back(link->window);
    ASSERT_EQ(shown.size(), 3u) << "no recent projects yet";
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const drv::AccessibleFacts facts = drv::ReadAccessible(shown[i]);
        EXPECT_EQ(facts.name, names[i]);
        EXPECT_EQ(facts.role, ROLE_SYSTEM_LINK);
        EXPECT_TRUE(facts.Has(STATE_SYSTEM_FOCUSABLE)) << drv::Utf8(names[i]);
    }

    // The keyboard is on the first link, back from elsewhere too, and Tab
    // goes down the links.
    EXPECT_EQ(GetFocus(), shown[0]);
    SetFocus(nullptr);
    SetFocus(form->window);
    EXPECT_EQ(GetFocus(), shown[0]);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_EQ(GetFocus(), shown[i]);
    }

    // Invio on "Apri un esempio": the house's renovation, about twenty
    // tasks over a year with costs, as a project not yet saved.
    SendMessageW(shown[2], WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(page->Shown());
    EXPECT_GE(form->project.tasks.size(), 15u);
    EXPECT_LE(form->project.tasks.size(), 25u);
    const long long span = MyApp::DaysUntil(form->project.start, form->project.end);
    EXPECT_GT(span, 300);
    EXPECT_LT(span, 400);
    std::string report;
    MyApp::Money total;
    MyApp::BuildCostReport(form->project, report, total);
    EXPECT_GT(total.InHundredths(), 0);
    EXPECT_TRUE(form->project.filePath.empty());
    EXPECT_TRUE(form->project.modified) << "closing asks to save it";
    EXPECT_NE(form->WindowTitle().find(L"Senza nome *"), std::wstring::npos);
    EXPECT_TRUE(IsWindowVisible(TaskTable(form->window)));
    EXPECT_TRUE(IsWindowVisible(form->chart->window));
    EXPECT_EQ(GetFocus(), TaskTable(form->window)) << "the keyboard on the table, as when a project opens";
}

}  // namespace
