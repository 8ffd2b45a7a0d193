// Start-up and chart figures of QVVelmora.exe, measured from outside with the
// test driver (run under Wine, on the driver's desktop):
//  - time from starting the program to its main window being shown;
//  - opening and drawing projects of 100, 1,000 and 5,000 tasks (and more,
//    to see where one window per bar stops);
//  - exporting the 1,000-task chart as a bitmap.
// Nothing is asserted; the figures are printed.
#include "Driver.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const wchar_t* const kTitle = L"QV Velmora - Pianificazione e costi di progetto";

std::wstring ProgramPath() {
    const std::string path = VELMORA_EXE_PATH;
    if (!path.empty() && path[0] == '/') return drv::WinePath(path);
    return std::wstring(path.begin(), path.end());
}

// A project over March to May 2024 with `tasks` tasks of five days each.
std::string ProjectText(int tasks) {
    std::string text = "#VELMORA\r\nProva di carico\r\n01/03/2024\r\n31/05/2024\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n";
    if (tasks > 0) text += "#TASK\r\n";
    const unsigned colours[] = {0xFFF300, 0xFFFFFF, 0xFF0000, 0x0000FF, 0x0FE71E};
    for (int i = 0; i < tasks; ++i) {
        const int first = 1 + i % 25;
        char lines[200];
        std::snprintf(lines, sizeof lines, "Attivita %d\r\n%02d/03/2024\r\n%02d/03/2024\r\n%u\r\n2\r\n100\r\n", i + 1,
                      first, first + 4, colours[i % 5]);
        text += lines;
    }
    return text;
}


// Waits until the program has handled everything queued, painting included.
void WaitIdle(const drv::Process& app, HWND main) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
    WaitForInputIdle(app.Handle(), 600000);
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
}

struct BarCount {
    int shown = 0;       // visible bar windows
    int inPlace = 0;     // of those, the ones whose window stands at its row
};

// The bars of the chart, in the order they were made (the title cell and the
// ruler come first): how many are shown, and how many stand where their row
// is (a child window cannot be placed further than 32767 pixels from its
// parent's corner).
BarCount CountBars(HWND main) {
    std::vector<std::pair<int, HWND>> cells;
    HWND panel = nullptr;
    for (HWND window : drv::Descendants(main)) {
        const std::wstring cls = drv::ClassOf(window);
        if (cls.rfind(L"PanelChildren", 0) != 0) continue;
        if (GetParent(window) == main) {
            panel = window;
        } else {
            cells.emplace_back(_wtoi(cls.c_str() + 13), window);
        }
    }
    BarCount count;
    if (panel == nullptr || cells.size() < 2) return count;
    std::sort(cells.begin(), cells.end());
    const RECT client = drv::ClientScreenRect(panel);
    const RECT ruler = drv::ScreenRect(cells[1].second);
    int row = 0;
    for (size_t i = 2; i < cells.size(); ++i) {
        if (!drv::Visible(cells[i].second)) continue;
        ++count.shown;
        const long expectedTop = ruler.bottom - client.top + 25 + 30L * row++;
        if (drv::ScreenRect(cells[i].second).top - client.top == expectedTop) ++count.inPlace;
    }
    return count;
}

}  // namespace

int main() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"velmora_bench\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::printf("QV Velmora under the driver (screen %ldx%ld)\n", drv::ScreenSize().cx, drv::ScreenSize().cy);

    // Start-up.
    for (int run = 1; run <= 3; ++run) {
        drv::Process app;
        const auto start = Clock::now();
        if (!app.Start(ProgramPath(), L"", folder)) {
            std::printf("cannot start: %s\n", drv::LastErrorUtf8().c_str());
            return 1;
        }
        HWND main = app.WaitWindow(nullptr, kTitle, 60000);
        const double shown = MillisecondsSince(start);
        if (main == nullptr) {
            std::printf("no window: %s\n", drv::LastErrorUtf8().c_str());
            return 1;
        }
        WaitIdle(app, main);
        std::printf("start-up run %d: window shown after %.0f ms, idle after %.0f ms\n", run, shown,
                    MillisecondsSince(start));
        app.Kill();
    }

    // Opening and drawing; the export of 1,000 tasks.
    for (int tasks : {100, 1000, 5000, 10000}) {
        const std::wstring path = folder + L"carico" + std::to_wstring(tasks) + L".vmo";
        drv::WriteFileBytes(path, ProjectText(tasks));
        drv::Process app;
        app.Start(ProgramPath(), L"", folder);
        HWND main = app.WaitWindow(nullptr, kTitle, 60000);
        HWND status = main ? drv::WaitDescendant(main, -1, STATUSCLASSNAMEW) : nullptr;
        if (main == nullptr || status == nullptr || !drv::Activate(main) ||
            !drv::ChooseMenuItem(app.Id(), L'F', L'A') || !drv::AnswerFileDialog(app.Id(), L"Apri", path, true, 60000).ok) {
            std::printf("%5d tasks: cannot open (%s)\n", tasks, drv::LastErrorUtf8().c_str());
            continue;
        }
        const auto start = Clock::now();
        drv::WaitStatusBarText(status, path, 0, 600000);
        WaitIdle(app, main);
        const double opened = MillisecondsSince(start);
        if (!app.Running()) {
            std::printf("%5d tasks: the program ended while opening (exit code 0x%lX)\n", tasks, app.ExitCode());
            continue;
        }
        const BarCount bars = CountBars(main);
        std::printf("%5d tasks: opened and drawn in %.0f ms, %d bar windows shown, %d of them at their row\n", tasks,
                    opened, bars.shown, bars.inPlace);

        if (tasks == 1000) {
            const std::wstring picture = folder + L"carico1000.bmp";
            DeleteFileW(picture.c_str());
            if (drv::Activate(main) && drv::ChooseMenuItemAt(app.Id(), L'F', 4) &&
                drv::AnswerFileDialog(app.Id(), L"Salva", picture, true, 60000).ok) {
                const auto exportStart = Clock::now();
                HWND box = drv::WaitMessageBox(app.Id(), L"Esporta", 600000);
                const double exported = MillisecondsSince(exportStart);
                WIN32_FILE_ATTRIBUTE_DATA data{};
                GetFileAttributesExW(picture.c_str(), GetFileExInfoStandard, &data);
                const unsigned long long bytes =
                    (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                std::printf("%5d tasks: exported in %.0f ms (%s, %.1f MB)\n", tasks, exported,
                            box ? "done" : "no confirmation", bytes / 1048576.0);
                if (box) drv::PressButton(box, IDOK);
            } else {
                std::printf("%5d tasks: cannot export (%s)\n", tasks, drv::LastErrorUtf8().c_str());
            }
        }
        app.Kill();
        DeleteFileW(path.c_str());
    }
    DeleteFileW((folder + L"carico1000.bmp").c_str());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
