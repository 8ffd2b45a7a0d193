// "Flusso di cassa mensile...": the window made from the main window's
// command, inside the test process. Its rows are the model's periods and
// the total the cost report's; the period chosen is kept; "Copia" and the
// CSV hold the same table; the picture is a PNG; the chart is described for
// assistive technology; the controls are reached by Tab in their order. The
// copy is also pasted by xclip, a program of the host's desktop
// (clipboard-xclip.sh).
#include "Driver.h"
#include "tests/app/ProgramFixture.h"
#include "tests/app/main/InProcessMainWindow.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/chart/CashFlowChart.h"
#include "app/dialogs/FormFlussoCassa.h"
#include "app/main/FormMain.h"
#include "app/res/resource.h"
#include "exchange/CashFlowTable.h"
#include "exchange/Utf8Text.h"
#include "file/ProjectFile.h"
#include "model/CostReport.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/ListView.h"

namespace {

using Table = std::vector<std::vector<std::wstring>>;

// Lines ended by CR LF cut at `separator`.
Table Fields(const std::wstring& text, wchar_t separator) {
    Table table;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find(L"\r\n", at);
        std::wistringstream line(text.substr(at, end - at));
        table.emplace_back();
        std::wstring field;
        while (std::getline(line, field, separator)) table.back().push_back(field);
        at = end == std::wstring::npos ? text.size() : end + 2;
    }
    return table;
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

class CashFlowWindow : public apptest::InProcessMainWindow {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"velmora_flusso_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        apptest::InProcessMainWindow::SetUp();
        ASSERT_TRUE(drv::WriteFileBytes(folder + L"casa.vmo", apptest::RenovationProject()));
        ASSERT_EQ(MyApp::LoadProjectFile(drv::Utf8(folder + L"casa.vmo"), form->project), MyApp::LoadResult::Ok);
        form->SetFilePath(drv::Utf8(folder + L"casa.vmo"));
        form->RefreshChart();
        form->EnableProjectCommands();
    }

    void TearDown() override {
        apptest::InProcessMainWindow::TearDown();
        for (const wchar_t* name : {L"casa.vmo", L"flusso.csv", L"flusso.png"}) DeleteFileW((folder + name).c_str());
        RemoveDirectoryW(folder.c_str());
    }

    MyApp::FormFlussoCassa* Open() {
        form->Execute(MyApp::Command::CashFlow);
        MyApp::FormFlussoCassa* window = form->cashFlowDialog;
        EXPECT_NE(window, nullptr);
        EXPECT_TRUE(window != nullptr && window->IsOpen());
        return window;
    }

    // The period chosen in the list as a user chooses it.
    static void Choose(MyApp::FormFlussoCassa* window, int index) {
        HWND list = window->periodList->window;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    // The list view's rows as it shows them.
    static Table Shown(HWND list) {
        Table rows(static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
        for (std::size_t row = 0; row < rows.size(); ++row) {
            for (int column = 0; column < 5; ++column) {
                wchar_t text[256] = {};
                LVITEMW item{};
                item.iSubItem = column;
                item.pszText = text;
                item.cchTextMax = 256;
                SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
                rows[row].push_back(text);
            }
        }
        return rows;
    }

    std::wstring folder;
};

TEST_F(CashFlowWindow, ShowsThePeriodsOfTheModelKeepsItsChoiceCopiesAndExports) {
    const MyApp::AmountFormat format = MyApp::UserAmountFormat();
    std::string report;
    MyApp::Money reportTotal;
    MyApp::BuildCostReport(form->project, report, reportTotal);
    MyApp::FormFlussoCassa* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->periodList->GetSelectedIndex(), 0) << "by month the first time";

    // Each period of the list: a row per period of the model, with the
    // cost up to its end, and the total of the cost report last.
    const MyApp::CostPeriod kinds[] = {MyApp::CostPeriod::Month, MyApp::CostPeriod::Quarter, MyApp::CostPeriod::Week};
    for (int index = 2; index >= 0; --index) {
        Choose(window, index);
        const std::vector<MyApp::PeriodCost> periods = MyApp::PeriodCosts(form->project, kinds[index]);
        const Table rows = Shown(window->table->window);
        ASSERT_EQ(rows.size(), periods.size() + 1);
        ASSERT_GT(periods.size(), 5u);
        MyApp::Money sum;
        long long days = 0;
        for (std::size_t i = 0; i < periods.size(); ++i) {
            sum += periods[i].amount;
            days += periods[i].workingDays;
            EXPECT_EQ(rows[i][0], QVUtility::Widen(MyApp::PeriodName(periods[i], kinds[index])));
            EXPECT_EQ(rows[i][1], std::to_wstring(periods[i].workingDays));
            EXPECT_EQ(drv::Utf8(rows[i][2]), MyApp::FormatAmount(periods[i].amount, format));
            EXPECT_EQ(drv::Utf8(rows[i][3]), MyApp::FormatAmount(sum, format));
        }
        EXPECT_EQ(rows.back()[0], L"Totale");
        EXPECT_EQ(rows.back()[1], std::to_wstring(days));
        EXPECT_EQ(drv::Utf8(rows.back()[2]), MyApp::FormatAmount(reportTotal, format));
        EXPECT_EQ(rows.back()[4], L"100 %");
        EXPECT_TRUE(window->Shown().total == reportTotal) << "the same total to the cent";
        EXPECT_EQ(window->chart->Shown().rows.size(), periods.size());
    }

    // For assistive technology: the table by its name, the chart by its
    // name, role and what it shows.
    EXPECT_EQ(drv::ReadAccessible(window->table->window).name, L"Tabella del flusso di cassa");
    const drv::AccessibleFacts chart = drv::ReadAccessible(window->chart->window);
    EXPECT_EQ(chart.name, L"Grafico del flusso di cassa");
    EXPECT_EQ(chart.role, ROLE_SYSTEM_CHART);
    EXPECT_NE(chart.description.find(QVUtility::Widen(MyApp::FormatAmount(reportTotal, format))), std::wstring::npos)
        << drv::Utf8(chart.description);

    // Tab goes through the controls in the order they stand, each with an
    // identifier of its own.
    const int order[] = {IDC_CASH_FLOW_PERIOD, IDC_CASH_FLOW_TABLE, IDC_CASH_FLOW_CHART, IDC_CASH_FLOW_COPY,
                         IDC_CASH_FLOW_EXPORT, IDC_CASH_FLOW_PRINT, IDC_CASH_FLOW_CLOSE, IDC_CASH_FLOW_PERIOD};
    HWND control = window->periodList->window;
    for (int id : order) {
        EXPECT_EQ(GetDlgCtrlID(control), id);
        control = GetNextDlgTabItem(window->window, control, FALSE);
    }

    // "Copia" and the CSV: the same table, a line per period and the
    // headings and the total around them, the amounts exact to the cent.
    SendMessageW(window->copyButton->window, BM_CLICK, 0, 0);
    const Table copied = Fields(ClipboardText(), L'\t');
    const std::vector<MyApp::PeriodCost> months = MyApp::PeriodCosts(form->project, MyApp::CostPeriod::Month);
    ASSERT_EQ(copied.size(), months.size() + 2);
    for (std::size_t i = 0; i < months.size(); ++i)
        EXPECT_EQ(drv::Utf8(copied[i + 1].at(4)), MyApp::PlainText(months[i].amount, ','));
    ASSERT_TRUE(window->ExportTo(drv::Utf8(folder + L"flusso.csv")));
    const std::string csv = drv::ReadFileBytes(folder + L"flusso.csv");
    ASSERT_EQ(csv.rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 with a byte-order mark";
    EXPECT_EQ(Fields(QVUtility::Widen(MyApp::Utf8ToSystem(csv.substr(3))), L';'), copied);
    ASSERT_TRUE(window->ExportTo(drv::Utf8(folder + L"flusso.png")));
    const std::string png = drv::ReadFileBytes(folder + L"flusso.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(png.substr(12, 4), "IHDR");

    // The period chosen last comes back with the window.
    Choose(window, 2);
    window->CloseWindow();
    window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->periodList->GetSelectedIndex(), 2);
    EXPECT_EQ(Shown(window->table->window).size(),
              MyApp::PeriodCosts(form->project, MyApp::CostPeriod::Week).size() + 1);

    // Escape typed in the chart closes the window.
    SendMessageW(window->chart->window, WM_CHAR, VK_ESCAPE, 0);
    EXPECT_TRUE(drv::WaitUntil([&] { return !window->IsOpen(); }, 60000));
}

// What "Copia" puts on the clipboard, as xclip pastes it: the lines of the
// table with their tabs. Skipped when run on its own.
TEST_F(CashFlowWindow, CopyPastesInAnotherProgram) {
    wchar_t exchange[MAX_PATH] = L"";
    if (GetEnvironmentVariableW(L"VELMORA_CLIPBOARD_EXCHANGE", exchange, MAX_PATH) == 0)
        GTEST_SKIP() << "run by clipboard-xclip.sh, which reads the clipboard with xclip";
    const std::wstring shared = std::wstring(exchange) + L"\\";
    MyApp::FormFlussoCassa* window = Open();
    ASSERT_NE(window, nullptr);
    SendMessageW(window->copyButton->window, BM_CLICK, 0, 0);
    ASSERT_TRUE(drv::WriteFileBytes(shared + L"copied", "1"));
    ASSERT_TRUE(drv::WaitUntil(
        [&] {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            return GetFileAttributesW((shared + L"pasted.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
        },
        60000));
    // The desktop's clipboard ends the lines in LF alone.
    std::string pasted;
    for (char c : drv::ReadFileBytes(shared + L"pasted.txt")) {
        if (c == '\n') pasted += '\r';
        if (c != '\r') pasted += c;
    }
    const Table rows = Fields(QVUtility::Widen(MyApp::Utf8ToSystem(pasted)), L'\t');
    EXPECT_EQ(rows, Fields(window->CopiedText(), L'\t'));
    EXPECT_EQ(rows.size(), window->Shown().rows.size() + 2);
    window->CloseWindow();
}

}  // namespace
