// Printing through the real program onto the system's PDF printer: each job
// lands as a PDF file in the user's PDF folder a few seconds later, and the
// poppler tools read it back (its pages, its text, a page as a picture).
//
// The test command installs the PDF printer and makes it the default.
#include "Driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "app/print/PrintCommands.h"
#include "app/print/PrintDocument.h"
#include "file/ProjectFile.h"
#include "model/Date.h"
#include "tests/app/RecoveryFiles.h"

namespace {

const wchar_t* const kTitle = L"QV Velmora - Pianificazione e costi di progetto";
constexpr int kTasks = 40;
constexpr int kDays = 119;  // 04/03/2024 (a Monday) to 30/06/2024
constexpr DWORD kPdfTimeout = 60000;

// Menu positions in "&File" with a project open ("&Salva" grayed).
constexpr int kPrintItem = 5;
constexpr int kPreviewItem = 6;

// The last task has a long name and ends with the span: fitted to the
// width, its name has room before its bar only.
std::string TaskName(int i) {
    if (i == kTasks) return "Tinteggiatura esterni e collaudo finale";
    char name[32];
    std::snprintf(name, sizeof name, "Fase %02d", i);
    return name;
}

std::string Day(int offset) {
    MyApp::Date day;
    MyApp::ParseDate("04/03/2024", day);
    for (int i = 0; i < offset; ++i) day = MyApp::AddOneDay(day);
    return MyApp::FormatDate(day);
}

// Forty tasks spread over the span, in blue, green, cyan and white (no red,
// which is the colour of the days off).
std::string Project(const std::string& description) {
    const char* colours[] = {"16711680", "1042206", "16773888", "16777215"};
    std::string text = "#VELMORA\r\n" + description + "\r\n" + Day(0) + "\r\n" + Day(kDays - 1) +
                       "\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n#TASK\r\n";
    for (int i = 1; i <= kTasks; ++i) {
        const int first = i == kTasks ? kDays - 2 : (i * 7) % (kDays - 20);
        const int last = i == kTasks ? kDays - 1 : first + 3 + i % 15;
        text += TaskName(i) + "\r\n" + Day(first) + "\r\n" + Day(last) + "\r\n" + colours[i % 4] + "\r\n2\r\n" +
                std::to_string(100 + i) + "\r\n";
    }
    return text;
}

std::wstring ProgramPath() {
    const std::string path = VELMORA_EXE_PATH;
    if (!path.empty() && path[0] == '/') return drv::WinePath(path);
    return std::wstring(path.begin(), path.end());
}

// ---- The Linux side: the PDF folder and the poppler tools -----------------------

// The user's Linux home folder as Wine names it ("Z:\root").
std::wstring HomeFolder() {
    wchar_t value[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"WINEHOMEDIR", value, MAX_PATH);
    std::wstring home = value;
    if (home.rfind(L"\\??\\", 0) == 0) home = home.substr(4);
    return home;
}

std::string UnixPath(const std::wstring& windowsPath) {
    std::string path = drv::Utf8(windowsPath.substr(2));  // "Z:" is the root
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Runs a shell command line on the Linux side and waits for it; answers its
// exit code. Wine does not wait for a Linux program it starts, so the
// command leaves its exit code in a file of its own when it is done.
int RunShell(const std::string& command, const std::wstring& folder) {
    const std::wstring done = folder + L"done.txt";
    DeleteFileW(done.c_str());
    const std::string line = command + "; echo $? > '" + UnixPath(done) + "'";
    std::wstring commandLine = L"/bin/sh -c \"" + std::wstring(line.begin(), line.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string code;
    drv::WaitUntil([&] { return !(code = drv::ReadFileBytes(done)).empty() && code.back() == '\n'; }, 60000, 50);
    return code.empty() ? -1 : std::atoi(code.c_str());
}

// What a poppler tool writes into `output` (a file of the test's folder).
std::string ToolOutput(const std::string& command, const std::wstring& output, const std::wstring& folder) {
    DeleteFileW(output.c_str());
    if (RunShell(command, folder) != 0) return std::string();
    return drv::ReadFileBytes(output);
}

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

struct Pdf {
    std::wstring path;  // Windows path
    std::string text;   // pdftotext, pages separated by form feeds
    int pages = 0;

    std::vector<std::string> PageTexts() const {
        std::vector<std::string> result(1);
        for (char c : text) {
            if (c == '\f') {
                result.emplace_back();
            } else {
                result.back() += c;
            }
        }
        if (!result.empty() && result.back().find_first_not_of(" \r\n") == std::string::npos) result.pop_back();
        return result;
    }
};

// A page rendered at 96 pixels per inch (P6 picture).
struct Picture {
    int width = 0;
    int height = 0;
    std::string rgb;
    // Whether the pixel's red, green and blue lie within the bounds.
    bool Is(int x, int y, int redFrom, int redTo, int others) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return false;
        const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (static_cast<size_t>(y) * width + x) * 3;
        return p[0] >= redFrom && p[0] <= redTo && p[1] <= others && p[2] <= others;
    }
    bool Red(int x, int y) const { return Is(x, y, 230, 255, 40); }
    bool Dark(int x, int y) const { return Is(x, y, 0, 99, 99); }

    static Picture Parse(const std::string& bytes) {
        Picture picture;
        int maximum = 0;
        int header = 0;
        if (std::sscanf(bytes.c_str(), "P6 %d %d %d%n", &picture.width, &picture.height, &maximum, &header) != 3)
            return Picture{};
        const size_t size = static_cast<size_t>(picture.width) * picture.height * 3;
        if (maximum != 255 || bytes.size() < header + 1 + size) return Picture{};
        picture.rgb = bytes.substr(header + 1, size);
        return picture;
    }
};

class PrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Names the job's PDF: other test runs may print at the same time.
        token = L"T" + std::to_wstring(GetCurrentProcessId()) + L"x" + std::to_wstring(GetTickCount64() % 100000000) +
                L"x" + std::to_wstring(++runs);
        // A folder the Linux tools see under the same name.
        folder = drv::WinePath("/tmp/velmora_print_" + drv::Utf8(token)) + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        apptest::ForgetRecoveryCopies();
        pdfFolder = HomeFolder() + L"\\PDF\\";
        description = "Cantiere stampa " + drv::Utf8(token);
        projectPath = folder + L"cantiere.vmo";
        ASSERT_TRUE(drv::WriteFileBytes(projectPath, Project(description)));
    }

    void TearDown() override {
        if (folder.empty()) return;  // skipped before anything was made
        if (HasFailure()) std::printf("%s", drv::FailureReport(app.Id(), L"app_print_tests_failure").c_str());
        app.Kill();
        apptest::ForgetRecoveryCopies();
        for (const std::wstring& name : drv::FilesIn(folder)) DeleteFileW((folder + name).c_str());
        RemoveDirectoryW(folder.c_str());
        for (const std::wstring& name : drv::FilesIn(pdfFolder, L"*" + token + L"*")) DeleteFileW((pdfFolder + name).c_str());
    }

    // The program with the project open (named on its command line).
    void Start() {
        ASSERT_TRUE(app.Start(ProgramPath(), L"\"" + projectPath + L"\"", folder)) << drv::LastErrorUtf8();
        main = app.WaitWindow(nullptr, kTitle);
        ASSERT_NE(main, nullptr) << drv::LastErrorUtf8();
        HWND status = drv::WaitDescendant(main, -1, STATUSCLASSNAMEW);
        ASSERT_TRUE(drv::WaitStatusBarText(status, projectPath)) << drv::Utf8(drv::StatusBarText(status));
        toolbar = drv::WaitDescendant(main, -1, TOOLBARCLASSNAMEW);
    }

    // A window of the program's own (not a common dialog) with this title.
    HWND WaitProgramWindow(const wchar_t* title) {
        HWND found = nullptr;
        drv::WaitUntil([&] {
            for (HWND window : drv::TopWindows(app.Id()))
                if (drv::Text(window) == title && drv::ClassOf(window) != L"#32770") found = window;
            return found != nullptr;
        });
        return found;
    }

    void ChooseFileItem(int downs) {
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', downs)) << drv::LastErrorUtf8();
    }

    // Picks an item of a list as the user does (the owner hears of it).
    static void Pick(HWND list, int index) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(drv::IdOf(list), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    static bool Press(HWND dialog, const wchar_t* caption) {
        HWND button = drv::FindDescendantByText(dialog, L"Button", caption);
        return button != nullptr && drv::PressButton(dialog, drv::IdOf(button));
    }

    // "&Stampa...": what to print, then OK in the print dialog.
    void Print(MyApp::PrintContent content, MyApp::ChartScale scale) {
        ChooseFileItem(kPrintItem);
        HWND options = WaitProgramWindow(L"Stampa");
        ASSERT_NE(options, nullptr) << drv::DescribeWindows(app.Id());
        const std::vector<HWND> lists = drv::Descendants(options, L"ComboBox");
        ASSERT_EQ(lists.size(), 2u);
        Pick(lists[0], static_cast<int>(content));
        Pick(lists[1], static_cast<int>(scale));
        EXPECT_EQ(drv::Enabled(lists[1]), content == MyApp::PrintContent::Chart);
        ASSERT_TRUE(Press(options, L"OK")) << drv::LastErrorUtf8();
        AcceptPrintDialog();
    }

    void AcceptPrintDialog() {
        HWND dialog = drv::WaitTopWindow(app.Id(), L"#32770", L"Stampa");
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_TRUE(drv::PressButton(dialog, IDOK)) << drv::LastErrorUtf8();
        ASSERT_TRUE(drv::WaitWindowGone(dialog));
    }

    // The job's PDF once it is complete; it is then taken out of the folder.
    Pdf TakePdf() {
        Pdf pdf;
        std::wstring name;
        long long lastSize = -1;
        const bool ready = drv::WaitUntil(
            [&] {
                const std::vector<std::wstring> names = drv::FilesIn(pdfFolder, L"*" + token + L"*.pdf");
                if (names.empty()) return false;
                name = names.front();
                WIN32_FILE_ATTRIBUTE_DATA data{};
                if (!GetFileAttributesExW((pdfFolder + name).c_str(), GetFileExInfoStandard, &data)) return false;
                const long long size = (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                const bool steady = size > 0 && size == lastSize;
                lastSize = size;
                return steady;
            },
            kPdfTimeout, 500);
        if (!ready) {
            ADD_FAILURE() << "no PDF with " << drv::Utf8(token) << " in " << drv::Utf8(pdfFolder);
            return pdf;
        }
        pdf.path = folder + L"job" + std::to_wstring(++jobs) + L".pdf";
        MoveFileExW((pdfFolder + name).c_str(), pdf.path.c_str(), MOVEFILE_COPY_ALLOWED | MOVEFILE_REPLACE_EXISTING);
        const std::string file = UnixPath(pdf.path);
        const std::wstring out = folder + L"out.txt";
        pdf.text = ToolOutput("pdftotext '" + file + "' '" + UnixPath(out) + "'", out, folder);
        const std::string info = ToolOutput("pdfinfo '" + file + "' > '" + UnixPath(out) + "'", out, folder);
        const size_t at = info.find("Pages:");
        if (at != std::string::npos) pdf.pages = std::atoi(info.c_str() + at + 6);
        return pdf;
    }

    Picture RenderFirstPage(const Pdf& pdf) {
        const std::wstring out = folder + L"page.ppm";
        const std::string stem = UnixPath(folder + L"page");
        return Picture::Parse(ToolOutput(
            "pdftoppm -r 96 -f 1 -l 1 -singlefile '" + UnixPath(pdf.path) + "' '" + stem + "'", out, folder));
    }

    void ExpectEveryTaskAndTheTitle(const Pdf& pdf) {
        for (int i = 1; i <= kTasks; ++i) EXPECT_NE(pdf.text.find(TaskName(i)), std::string::npos) << TaskName(i);
        EXPECT_EQ(Occurrences(pdf.text, description), static_cast<size_t>(pdf.pages));
    }

    // The grid of a chart's pages, read from their numbers: every page is
    // "Pagina k di N" in order, with its row and column when there are
    // columns of pages ("Pagina 5 di 12 (riga 2, colonna 1)"); {0, 0} when
    // the numbers do not make a whole grid.
    static std::pair<int, int> PageGrid(const Pdf& pdf) {
        const std::vector<std::string> pages = pdf.PageTexts();
        std::set<std::pair<int, int>> seen;
        int rows = 0;
        int columns = 0;
        for (size_t k = 0; k < pages.size(); ++k) {
            const size_t at = pages[k].find("Pagina ");
            if (at == std::string::npos) return {0, 0};
            int number = 0, count = 0, r = 0, c = 1;
            const int read =
                std::sscanf(pages[k].c_str() + at, "Pagina %d di %d (riga %d, colonna %d)", &number, &count, &r, &c);
            if (read == 2) r = number;
            else if (read != 4) return {0, 0};
            if (number != static_cast<int>(k) + 1 || count != static_cast<int>(pages.size())) return {0, 0};
            seen.insert({r, c});
            rows = std::max(rows, r);
            columns = std::max(columns, c);
        }
        if (seen.size() != static_cast<size_t>(rows) * columns || seen.size() != pages.size()) return {0, 0};
        return {rows, columns};
    }

    bool SaveIsOff() {
        const std::vector<drv::ToolbarButton> buttons = drv::ToolbarButtons(toolbar);
        return buttons.size() > 3 && !buttons[3].Enabled();
    }

    static int runs;
    int jobs = 0;
    std::wstring token, folder, pdfFolder, projectPath;
    std::string description;
    drv::Process app;
    HWND main = nullptr;
    HWND toolbar = nullptr;
};

int PrintTest::runs = 0;

TEST_F(PrintTest, TheChartPrintsAtBothScalesWithItsRulerOnEveryPage) {
    Start();
    Print(MyApp::PrintContent::Chart, MyApp::ChartScale::FitWidth);
    const Pdf fitted = TakePdf();
    Print(MyApp::PrintContent::Chart, MyApp::ChartScale::Actual);
    const Pdf actual = TakePdf();

    // Fitted: one page across, as many down as the forty bars need.
    const auto fittedGrid = PageGrid(fitted);
    EXPECT_EQ(fittedGrid.second, 1) << fitted.text;
    EXPECT_GE(fittedGrid.first, 2);
    EXPECT_EQ(fitted.pages, fittedGrid.first);
    // At 100 % four months are wider than a sheet: the same rows, more columns.
    const auto actualGrid = PageGrid(actual);
    EXPECT_EQ(actualGrid.first, fittedGrid.first) << actual.text;
    EXPECT_GE(actualGrid.second, 2);
    EXPECT_EQ(actual.pages, actualGrid.first * actualGrid.second);
    EXPECT_NE(actual.text.find("Pagina 1 di " + std::to_string(actual.pages) + " (riga 1, colonna 1)"),
              std::string::npos);
    ExpectEveryTaskAndTheTitle(fitted);
    ExpectEveryTaskAndTheTitle(actual);
    // Every page repeats the ruler's months ("MAR" starts the span).
    EXPECT_EQ(Occurrences(fitted.text, "MAR"), static_cast<size_t>(fitted.pages));
    // Fitted, each task is on exactly one page.
    for (int i = 1; i <= kTasks; ++i) EXPECT_EQ(Occurrences(fitted.text, TaskName(i)), 1u) << TaskName(i);

    // The fitted first page: the ruler's day row spans the width; Sunday
    // 10 March (day 7) is red, Monday 11 March white.
    const Picture page = RenderFirstPage(fitted);
    ASSERT_GT(page.width, 0);
    int redRow = -1;
    for (int y = 0; y < page.height && redRow < 0; ++y)
        for (int x = 0; x < page.width; ++x)
            if (page.Red(x, y) && page.Red(x, y + 3)) {
                redRow = y + 3;
                break;
            }
    ASSERT_GE(redRow, 0);
    int left = 0;
    while (left < page.width && !page.Dark(left, redRow)) ++left;
    int right = page.width - 1;
    while (right > left && !page.Dark(right, redRow)) --right;
    const double column = static_cast<double>(right - left) / kDays;
    EXPECT_GT(column, 4.0);
    EXPECT_TRUE(page.Red(static_cast<int>(left + 6.5 * column), redRow));
    EXPECT_FALSE(page.Red(static_cast<int>(left + 7.5 * column), redRow));
    EXPECT_TRUE(page.Red(static_cast<int>(left + 5.5 * column), redRow));  // Saturday 9 March

    // Printing left the project as it was: nothing to save.
    EXPECT_TRUE(SaveIsOff());
}

TEST_F(PrintTest, TheCostReportPrintsWholeTasksWithTheTotalFirst) {
    Start();
    Print(MyApp::PrintContent::CostReport, MyApp::ChartScale::Actual);
    const Pdf report = TakePdf();
    ASSERT_GE(report.pages, 2);
    const std::vector<std::string> pages = report.PageTexts();
    ASSERT_EQ(pages.size(), static_cast<size_t>(report.pages));
    int tasks = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p);
        const std::string label = "Pagina " + std::to_string(p + 1) + " di " + std::to_string(pages.size());
        EXPECT_NE(pages[p].find(label), std::string::npos);
        EXPECT_NE(pages[p].find(description), std::string::npos);
        EXPECT_EQ(pages[p].find("Costo del progetto: ") != std::string::npos, p == 0);
        // Each task's block on one page: as many costs as tasks.
        const size_t names = Occurrences(pages[p], "TASK: ");
        EXPECT_EQ(names, Occurrences(pages[p], "Costo Task: "));
        tasks += static_cast<int>(names);
    }
    EXPECT_EQ(tasks, kTasks);
    for (int i = 1; i <= kTasks; ++i) EXPECT_NE(report.text.find("TASK: " + TaskName(i)), std::string::npos);
    EXPECT_TRUE(SaveIsOff());
}

TEST_F(PrintTest, ThePreviewTurnsPagesAndTheScaleIsRemembered) {
    Start();
    ChooseFileItem(kPreviewItem);
    HWND preview = WaitProgramWindow(L"Anteprima di stampa");
    ASSERT_NE(preview, nullptr) << drv::DescribeWindows(app.Id());
    const std::vector<HWND> lists = drv::Descendants(preview, L"ComboBox");
    ASSERT_EQ(lists.size(), 3u);  // zoom, what, scale
    auto label = [&] {
        for (HWND item : drv::Descendants(preview, L"Static"))
            if (drv::Text(item).rfind(L"Pagina ", 0) == 0) return drv::Text(item);
        return std::wstring();
    };
    Pick(lists[1], static_cast<int>(MyApp::PrintContent::Chart));
    Pick(lists[2], static_cast<int>(MyApp::ChartScale::Actual));
    const std::wstring first = label();
    int pages = 0;
    ASSERT_EQ(std::swscanf(first.c_str(), L"Pagina 1 di %d", &pages), 1) << drv::Utf8(first);
    EXPECT_GE(pages, 4);
    ASSERT_TRUE(Press(preview, L"Successiva >"));
    // Numbered as on paper, with the row and column of a chart in columns of pages.
    EXPECT_TRUE(drv::WaitUntil([&] {
        return label() == L"Pagina 2 di " + std::to_wstring(pages) + L" (riga 1, colonna 2)";
    })) << drv::Utf8(label());
    Pick(lists[2], static_cast<int>(MyApp::ChartScale::FitWidth));
    const std::wstring fitted = label();
    EXPECT_EQ(fitted.rfind(L"Pagina 1 di ", 0), 0u);
    EXPECT_LT(std::stoi(fitted.substr(12)), pages);

    // The sheet shows the ruler's days off in red.
    HWND sheet = nullptr;
    for (HWND child : drv::Descendants(preview))
        if (drv::ClassOf(child).rfind(L"PanelChildren", 0) == 0 && GetParent(child) != preview) sheet = child;
    ASSERT_NE(sheet, nullptr);
    EXPECT_GT(drv::CaptureWindow(sheet).Count(RGB(255, 0, 0)), 100u);

    // "Stampa..." leads to the print dialog; cancelling it prints nothing.
    ASSERT_TRUE(Press(preview, L"Stampa..."));
    HWND dialog = drv::WaitTopWindow(app.Id(), L"#32770", L"Stampa");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    ASSERT_TRUE(drv::PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    Sleep(3000);
    EXPECT_TRUE(drv::FilesIn(pdfFolder, L"*" + token + L"*").empty());
    EXPECT_TRUE(app.Running());

    // The fitted scale is the next run's choice.
    app.Kill();
    Start();
    ChooseFileItem(kPrintItem);
    HWND options = WaitProgramWindow(L"Stampa");
    ASSERT_NE(options, nullptr) << drv::DescribeWindows(app.Id());
    EXPECT_EQ(drv::ComboBoxSelection(drv::Descendants(options, L"ComboBox").at(1)),
              static_cast<int>(MyApp::ChartScale::FitWidth));
    ASSERT_TRUE(Press(options, L"Annulla"));
}

// Escape in a dropped list closes the list, not the window; the next Escape
// closes the window. Both the preview and the print options behave so.
TEST_F(PrintTest, EscapeInAnOpenListClosesOnlyTheList) {
    Start();
    auto dropped = [](HWND list) { return SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    for (int item : {kPreviewItem, kPrintItem}) {
        const wchar_t* title = item == kPreviewItem ? L"Anteprima di stampa" : L"Stampa";
        SCOPED_TRACE(drv::Utf8(title));
        ChooseFileItem(item);
        HWND dialog = WaitProgramWindow(title);
        ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
        ASSERT_TRUE(drv::Activate(dialog)) << drv::LastErrorUtf8();
        // The keyboard's way to a list.
        const std::vector<HWND> lists = drv::Descendants(dialog, L"ComboBox");
        HWND list = nullptr;
        ASSERT_TRUE(drv::WaitUntil(
            [&] {
                const HWND focus = drv::FocusOf(dialog);
                for (HWND candidate : lists)
                    if (candidate == focus || IsChild(candidate, focus)) list = candidate;
                if (list == nullptr) drv::Tab();
                return list != nullptr;
            },
            drv::kTimeout, 200))
            << drv::DescribeWindows(app.Id());

        drv::Press(VK_DOWN, drv::kAlt);
        ASSERT_TRUE(drv::WaitUntil([&] { return dropped(list); }));
        drv::Escape();
        ASSERT_TRUE(drv::WaitUntil([&] { return !dropped(list); }));
        // F4 drops the list again once the Escape has been dealt with in full.
        drv::Press(VK_F4);
        ASSERT_TRUE(drv::WaitUntil([&] { return dropped(list); }));
        EXPECT_TRUE(IsWindow(dialog) && drv::Visible(dialog));
        drv::Escape();
        ASSERT_TRUE(drv::WaitUntil([&] { return !dropped(list); }));
        drv::Escape();
        EXPECT_TRUE(drv::WaitWindowGone(dialog));
    }
    EXPECT_TRUE(app.Running());
}

// Run by its own CTest entry with the printing system out of reach
// (CUPS_SERVER naming no server), which the program inherits.
class NoPrinterTest : public PrintTest {
protected:
    void SetUp() override {
        if (GetEnvironmentVariableW(L"CUPS_SERVER", nullptr, 0) == 0) GTEST_SKIP() << "needs CUPS_SERVER";
        PrintTest::SetUp();
    }
};

TEST_F(NoPrinterTest, TheUserIsToldAndNothingElseHappens) {
    ASSERT_FALSE(MyApp::PrinterInstalled());
    Start();
    for (int item : {kPrintItem, kPreviewItem}) {
        ChooseFileItem(item);
        std::wstring text;
        ASSERT_TRUE(drv::AnswerMessageBox(app.Id(), L"Errore", IDOK, &text)) << drv::LastErrorUtf8();
        EXPECT_EQ(text, L"Nessuna stampante installata.");
        // No dialog follows: the main window (and maybe a tooltip) is all there is.
        Sleep(500);
        for (HWND window : drv::TopWindows(app.Id())) {
            if (window != main && drv::ClassOf(window) != L"tooltips_class32")
                ADD_FAILURE() << drv::DescribeWindows(app.Id());
        }
    }
}

// A printer that refuses the job: the failure comes back with the system's
// own words for it.
TEST(PrintPagesTest, APrinterErrorComesBackWithTheSystemsMessage) {
    MyApp::Project project;
    project.description = "Errore";
    auto document =
        MyApp::MakePrintDocument(project, MyApp::PrintContent::CostReport, MyApp::ChartScale::Actual, L"01/01/2025");
    // The printer's output goes to a folder that does not exist.
    HDC printer = CreateDCW(L"WINSPOOL", L"PDF", L"Z:\\nonexistent\\velmora\\out.ps", nullptr);
    ASSERT_NE(printer, nullptr);
    document->Paginate(700, 1000);
    std::string error;
    bool cancelled = true;
    EXPECT_FALSE(MyApp::PrintPages(printer, *document, 0, 0, 1, error, cancelled));
    EXPECT_FALSE(cancelled);
    EXPECT_FALSE(error.empty());
    DeleteDC(printer);
}

// The preview's sheet, however small, shows a bar's name as the printer
// does: a name that fits its bar on paper lies whole in it. (Fonts a few
// pixels high measure narrower than they draw, and cut such a name.)
TEST(PrintPagesTest, ASmallSheetShowsANameInItsBarAsPaperDoes) {
    MyApp::Project project;
    ASSERT_EQ(
        MyApp::LoadProjectBytes(project,
                                "#VELMORA\r\nVilla\r\n04/03/2024\r\n29/03/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
                                "#TASK\r\nScavo fondazioni\r\n04/03/2024\r\n06/03/2024\r\n16711680\r\n2\r\n100\r\n"),
        MyApp::LoadResult::Ok);
    auto document =
        MyApp::MakePrintDocument(project, MyApp::PrintContent::Chart, MyApp::ChartScale::FitWidth, L"01/01/2025");
    // A4 across at 600 dots per inch.
    MyApp::PageFormat format;
    format.dpiX = format.dpiY = 600;
    format.paperWidth = format.printableWidth = 7016;
    format.paperHeight = format.printableHeight = 4961;
    document->Paginate(format.ContentWidthUnits(), format.ContentHeightUnits());

    // The whole sheet in preview windows of 96 to 192 DPI, and at real size.
    for (int pixelsPerInch : {50, 58, 65, 72, 80, 96, 144}) {
        SCOPED_TRACE(pixelsPerInch);
        HBITMAP sheet = MyApp::DrawSheet(*document, format, 0, pixelsPerInch);
        DIBSECTION picture{};
        ASSERT_EQ(GetObjectW(sheet, sizeof picture, &picture), static_cast<int>(sizeof picture));
        const int width = picture.dsBm.bmWidth;
        auto at = [&](int x, int y) {
            return static_cast<const std::uint32_t*>(picture.dsBm.bmBits)[static_cast<size_t>(y) * width + x] &
                   0xFFFFFF;
        };
        // The bar is the blue; its white name the light pixels inside it.
        RECT bar{width, picture.dsBm.bmHeight, -1, -1};
        for (int y = 0; y < picture.dsBm.bmHeight; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y) == 0x0000FF)
                    bar = RECT{std::min<LONG>(bar.left, x), std::min<LONG>(bar.top, y), std::max<LONG>(bar.right, x),
                               std::max<LONG>(bar.bottom, y)};
        ASSERT_GT(bar.right, bar.left);
        int inkLeft = width;
        int inkRight = -1;
        for (int y = bar.top; y <= bar.bottom; ++y)
            for (int x = bar.left; x <= bar.right; ++x)
                if ((at(x, y) >> 16) > 96) {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
        DeleteObject(sheet);
        ASSERT_GE(inkRight, inkLeft) << "no name in the bar";
        // A name cut by its bar runs up to the bar's edge.
        EXPECT_GE(std::min(inkLeft - bar.left, bar.right - inkRight), 2)
            << inkLeft - bar.left << " and " << bar.right - inkRight << " pixels beside the name";
    }
}

}  // namespace
