// The program on screens of other densities (125 %, 150 % and 200 %): it is
// started with the density set for the user, and every window must look as
// it does at 96 DPI, each measure times the scale. A change of screen while
// the program runs (WM_DPICHANGED) lays the window out again.
//
// The tests change the user's screen density, so they run in a Wine prefix
// of their own (see own-prefix.sh).
#include "Driver.h"
#include "tests/app/ProgramFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "app/chart/ChartLayout.h"

namespace {

// Thirteen weeks with three tasks: long enough that the day columns keep
// their normal width at every scale (a short span is stretched to the screen).
const char* const kProject =
    "#VELMORA\r\nCasa nuova\r\n03/03/2025\r\n01/06/2025\r\n1\r\n1\r\n1\r\n1\r\n1\r\n0\r\n0\r\n"
    "#TASK\r\n"
    "Muri\r\n03/03/2025\r\n28/03/2025\r\n16711680\r\n3\r\n120\r\n"
    "Tetto\r\n01/04/2025\r\n20/04/2025\r\n1042206\r\n2\r\n80\r\n"
    "Impianti\r\n10/04/2025\r\n15/05/2025\r\n255\r\n1\r\n50\r\n";
constexpr int kColumns = 91;

// Measures of one window, each named: places relative to the client area
// of the window holding them, and sizes.
using Measures = std::map<std::string, long>;

void Put(Measures& measures, const std::string& name, const RECT& place, bool withSize = true) {
    measures[name + " left"] = place.left;
    measures[name + " top"] = place.top;
    if (!withSize) return;
    measures[name + " width"] = place.right - place.left;
    measures[name + " height"] = place.bottom - place.top;
}

// The window's place in the client area of its parent.
RECT PlaceInParent(HWND window) {
    RECT place = drv::ScreenRect(window);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

// A dialog's client size and the place and size of each of its controls.
// The platform sizes some controls by their font: a closed combo box's
// height, a list's height (whole lines). Those are left out.
Measures DialogMeasures(HWND dialog) {
    Measures measures;
    RECT client{};
    GetClientRect(dialog, &client);
    measures["client width"] = client.right;
    measures["client height"] = client.bottom;
    int index = 0;
    for (HWND child : drv::Descendants(dialog)) {
        const std::wstring cls = drv::ClassOf(child);
        if (GetAncestor(child, GA_PARENT) != dialog && cls != L"Button") continue;  // inside a control
        const std::string name = std::to_string(index++) + " " + drv::Utf8(cls) + " " + drv::Utf8(drv::Text(child));
        const RECT place = PlaceInParent(child);
        Put(measures, name, place, false);
        const bool platformHeight = cls == L"ComboBox" || cls == L"ComboBoxEx32" || cls == L"ListBox";
        measures[name + " width"] = place.right - place.left;
        if (!platformHeight) measures[name + " height"] = place.bottom - place.top;
    }
    return measures;
}

// Every measure of `scaled` is that of `base` times dpi / 96, within a pixel.
void ExpectScaled(const Measures& base, const Measures& scaled, int dpi) {
    ASSERT_EQ(base.size(), scaled.size());
    for (const auto& [name, value] : base) {
        const auto found = scaled.find(name);
        ASSERT_NE(found, scaled.end()) << name;
        const double expected = value * dpi / 96.0;
        EXPECT_LE(std::abs(found->second - expected), 1.0)
            << name << ": " << found->second << " at " << dpi << " DPI, " << value << " at 96";
    }
}

// ---- No control covers another --------------------------------------------

bool IsGroupBox(HWND window) {
    return drv::ClassOf(window) == L"Button" && (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A window whose children the program lays out: a frame, or a panel that
// shows all it holds (a view that scrolls holds more than it shows).
bool LaysOutChildren(HWND window) {
    if (IsGroupBox(window)) return true;
    return drv::ClassOf(window).rfind(L"PanelChildren", 0) == 0 &&
           (GetWindowLongW(window, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) == 0;
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Up-down arrows that the platform sets at their buddy's right end, over
// its border: one control made of two windows.
bool Attached(HWND arrows, HWND buddy) {
    return drv::ClassOf(arrows) == L"msctls_updown32" &&
           reinterpret_cast<HWND>(SendMessageW(arrows, UDM_GETBUDDY, 0, 0)) == buddy;
}

std::string Named(HWND window) { return drv::Utf8(drv::ClassOf(window)) + " \"" + drv::Utf8(drv::Text(window)) + "\""; }

// The layout of `parent` and of the frames in it: every control lies inside
// its parent's client area and no two sibling controls overlap (but a group
// box holds the controls it frames). Fonts cannot be read from another
// process: whether a label's text fits is measured inside the program's
// dialog classes, in the dialogs' test. Answers the number of controls.
int ExpectNothingCovered(HWND parent) {
    RECT client{};
    GetClientRect(parent, &client);
    std::vector<HWND> children;
    for (HWND child : drv::Descendants(parent))
        if (GetAncestor(child, GA_PARENT) == parent && drv::Visible(child)) children.push_back(child);
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT a = PlaceInParent(children[i]);
        EXPECT_TRUE(Contains(client, a)) << Named(children[i]) << " leaves the client area of " << Named(parent);
        for (size_t j = i + 1; j < children.size(); ++j) {
            const RECT b = PlaceInParent(children[j]);
            RECT common{};
            if (!IntersectRect(&common, &a, &b)) continue;
            if ((IsGroupBox(children[i]) && Contains(a, b)) || (IsGroupBox(children[j]) && Contains(b, a))) continue;
            if (Attached(children[i], children[j]) || Attached(children[j], children[i])) continue;
            ADD_FAILURE() << Named(children[i]) << " and " << Named(children[j]) << " overlap by "
                          << common.right - common.left << " x " << common.bottom - common.top;
        }
        if (LaysOutChildren(children[i])) ExpectNothingCovered(children[i]);
    }
    return static_cast<int>(children.size());
}

class ScaleTest : public apptest::ProgramFixture {
protected:
    // The driver reads the program's windows in the screen's own pixels.
    void SetUp() override { SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2); }

    // The program started with `dpi` as the user's screen density, with the
    // project open.
    void StartAt(int dpi) {
        const DWORD value = static_cast<DWORD>(dpi);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &value,
                                  sizeof value),
                  ERROR_SUCCESS);
        apptest::ForgetDesktopSettings();
        MakeFolder();
        ASSERT_TRUE(drv::WriteFileBytes(Path(L"casa.vmo"), kProject));
        StartProgram(L"\"" + Path(L"casa.vmo") + L"\"");
        ASSERT_TRUE(drv::WaitStatusBarText(status, Path(L"casa.vmo")));
        ASSERT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
    }

    void TearDown() override {
        const DWORD base = 96;
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &base, sizeof base);
        ProgramFixture::TearDown();
    }

    // The chart: the panel's place in the window, the ruler's place, height
    // and column width, the title band's height and each bar.
    Measures ChartMeasures() {
        Measures measures;
        HWND panel = apptest::ChartPanel(main);
        if (panel == nullptr) {
            ADD_FAILURE() << drv::DescribeWindows(app.Id());
            return measures;
        }
        Put(measures, "panel", PlaceInParent(panel), false);
        Put(measures, "toolbar", PlaceInParent(toolbar), false);
        drv::WaitUntil([&] {
            int shown = 0;
            for (HWND child : drv::Descendants(panel)) shown += GetParent(child) == panel && drv::Visible(child);
            return shown == 5;  // the title, the ruler and three bars
        });
        // The rows lie a whole number of pixels apart (as the task table's
        // rows do), so the second and third bar are measured by that pitch.
        const std::map<std::wstring, int> rowOf{{L"Muri", 0}, {L"Tetto", 1}, {L"Impianti", 2}};
        std::map<int, RECT> bars;
        for (HWND child : drv::Descendants(panel)) {
            if (GetParent(child) != panel || !drv::Visible(child)) continue;
            const RECT place = PlaceInParent(child);
            const std::wstring text = drv::Text(child);
            if (text == L"Casa nuova") {
                Put(measures, "title", place, false);
                measures["title height"] = place.bottom - place.top;
            } else if (rowOf.count(text) != 0) {
                bars[rowOf.at(text)] = place;
                Put(measures, "bar " + drv::Utf8(text), place);
            } else {
                Put(measures, "ruler", place, false);
                measures["ruler height"] = place.bottom - place.top;
                measures["column width"] = (place.right - place.left) / kColumns;
            }
        }
        for (const auto& [row, place] : bars) {
            if (row == 0 || bars.count(0) == 0) continue;
            const std::string name = row == 1 ? "bar Tetto" : "bar Impianti";
            measures.erase(name + " top");
            measures[name + " pitch"] = (place.top - bars[0].top) / row;
        }
        return measures;
    }

    // The chart exported as a bitmap through the file menu: the file's bytes.
    std::string ExportedPicture() {
        EXPECT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
        EXPECT_TRUE(drv::ChooseMenuItemAt(app.Id(), L'F', apptest::kExportItem)) << drv::LastErrorUtf8();
        EXPECT_TRUE(drv::AnswerFileDialog(app.Id(), L"Salva", Path(L"grafico.bmp")).ok) << drv::LastErrorUtf8();
        EXPECT_EQ(AnswerError(L"Esporta"), L"Esportazione effettuata correttamente.");
        return drv::ReadFileBytes(Path(L"grafico.bmp"));
    }

    // Opens each dialog of `commands` by its key (or, without one, by the
    // menu item: the letters of `menus`, one per command without a key),
    // hands it to `look` and closes it again.
    void ForEachDialog(const std::vector<apptest::DialogKeys>& commands, const std::wstring& menus,
                       const std::function<void(const apptest::DialogKeys&, HWND)>& look) {
        size_t menu = 0;
        for (const apptest::DialogKeys& command : commands) {
            const size_t letters = command.key == 0 ? menu++ * 2 : std::wstring::npos;
            // A key pressed just as the previous dialog went can be lost on a
            // loaded machine: a second try.
            HWND dialog = nullptr;
            for (int attempt = 0; attempt < 2 && dialog == nullptr; ++attempt) {
                EXPECT_TRUE(drv::Activate(main)) << drv::LastErrorUtf8();
                if (command.key != 0) {
                    drv::Press(command.key, command.modifiers);
                } else {
                    EXPECT_TRUE(drv::ChooseMenuItem(app.Id(), menus.at(letters), menus.at(letters + 1)))
                        << drv::LastErrorUtf8();
                }
                dialog = ProgramWindow(command.title, 5000);
            }
            if (dialog == nullptr) {
                ADD_FAILURE() << drv::Utf8(command.title) << drv::DescribeWindows(app.Id());
                continue;
            }
            look(command, dialog);
            PostMessageW(dialog, WM_CLOSE, 0, 0);
            EXPECT_TRUE(drv::WaitWindowGone(dialog));
            EXPECT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));
        }
    }

    // Every dialog of the program, opened by its key and measured.
    std::map<std::string, Measures> DialogsMeasures(int dpi) {
        // The project's dialogs, then the about box from the "&?" menu.
        std::vector<apptest::DialogKeys> commands(std::begin(apptest::kProjectDialogs),
                                                  std::end(apptest::kProjectDialogs));
        commands.push_back({L"Info...", 0, drv::kNone});
        std::map<std::string, Measures> dialogs;
        ForEachDialog(commands, L"?I", [&](const apptest::DialogKeys& command, HWND dialog) {
            dialogs[drv::Utf8(command.title)] = DialogMeasures(dialog);
            apptest::Shot((L"scala_" + std::to_wstring(dpi) + L"_" + std::to_wstring(dialogs.size())).c_str());
        });
        return dialogs;
    }
};

TEST_F(ScaleTest, EveryWindowIsLaidOutAsAt96DpiTimesTheScaleAndThePictureStaysTheSame) {
    Measures baseChart;
    std::map<std::string, Measures> baseDialogs;
    std::string basePicture;
    for (int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        StartAt(dpi);
        if (HasFatalFailure()) return;
        apptest::Shot((L"scala_" + std::to_wstring(dpi)).c_str());
        const Measures chart = ChartMeasures();
        const std::map<std::string, Measures> dialogs = DialogsMeasures(dpi);
        const std::string picture = ExportedPicture();
        if (dpi == 96) {
            baseChart = chart;
            baseDialogs = dialogs;
            basePicture = picture;
            ASSERT_GT(picture.size(), 54u);
            EXPECT_EQ(chart.at("column width"), 20);
            ASSERT_EQ(dialogs.size(), 7u);
        } else {
            ExpectScaled(baseChart, chart, dpi);
            // One project, one picture: the export keeps the measures of 96 DPI.
            EXPECT_TRUE(picture == basePicture) << picture.size() << " bytes, " << basePicture.size() << " at 96 DPI";
            for (const auto& [title, measures] : baseDialogs) {
                SCOPED_TRACE(title);
                ExpectScaled(measures, dialogs.at(title), dpi);
            }
        }
        app.Kill();
    }
}

// Every dialog at 96 and 144 DPI: no control covers another or leaves the
// client area.
TEST_F(ScaleTest, NoControlCoversAnotherInAnyDialog) {
    std::vector<apptest::DialogKeys> commands{{L"Nuovo", 'N', drv::kCtrl}};
    commands.insert(commands.end(), std::begin(apptest::kProjectDialogs), std::end(apptest::kProjectDialogs));
    commands.push_back({L"Stampa", 'P', drv::kCtrl});
    commands.push_back({L"Anteprima di stampa", 0, drv::kNone});
    commands.push_back({L"Info...", 0, drv::kNone});
    for (int dpi : {96, 144}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        StartAt(dpi);
        if (HasFatalFailure()) return;
        int opened = 0;
        ForEachDialog(commands, L"FT?I", [&](const apptest::DialogKeys& command, HWND dialog) {
            SCOPED_TRACE(drv::Utf8(command.title));
            ++opened;
            EXPECT_GE(ExpectNothingCovered(dialog), 3);
            apptest::Shot((L"controlli_" + std::to_wstring(dpi) + L"_" + std::to_wstring(opened)).c_str());
        });
        EXPECT_EQ(opened, static_cast<int>(commands.size()));
        app.Kill();
    }
}

// Moving the window to a screen of another density cannot be done under
// Wine; the message the system sends then is sent by hand, with the
// rectangle the system suggests.
TEST_F(ScaleTest, AChangeOfScreenDensityLaysTheWindowsOutAgain) {
    StartAt(96);
    if (HasFatalFailure()) return;
    // Sends the change with the place the system would suggest; answers
    // whether the window took it.
    auto changeTo144 = [](HWND window, const RECT& suggested) {
        drv::RemoteBuffer rect(window, sizeof(RECT));
        if (!rect.Ok() || !rect.Write(&suggested, sizeof suggested)) return false;
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), rect.AsLParam());
        const RECT place = drv::ScreenRect(window);
        return place.left == suggested.left && place.top == suggested.top;
    };

    // An open dialog: its client size, controls and fonts follow.
    ASSERT_TRUE(drv::Activate(main));
    drv::Press(VK_INSERT);
    HWND dialog = ProgramWindow(L"Nuovo Task");
    ASSERT_NE(dialog, nullptr) << drv::DescribeWindows(app.Id());
    const Measures baseDialog = DialogMeasures(dialog);
    EXPECT_TRUE(changeTo144(dialog, RECT{60, 60, 700, 560}));
    {
        SCOPED_TRACE("Nuovo Task");
        ExpectScaled(baseDialog, DialogMeasures(dialog), 144);
    }
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(drv::WaitWindowGone(dialog));
    ASSERT_TRUE(drv::WaitUntil([&] { return drv::Enabled(main); }));

    // The main window: its place is the one suggested, the chart follows.
    const Measures base = ChartMeasures();
    const RECT suggested{40, 30, 1400, 860};
    EXPECT_TRUE(changeTo144(main, suggested));
    const RECT place = drv::ScreenRect(main);
    EXPECT_EQ(place.right, suggested.right);
    EXPECT_EQ(place.bottom, suggested.bottom);
    ExpectScaled(base, ChartMeasures(), 144);
    apptest::Shot(L"scala_cambio_144");
}

// The rows' places at a scale that does not divide the pitch (125 %: 37.5
// pixels): the rows lie a whole-pixel pitch apart, as the task table's rows
// do, the pitch being the 96-DPI one times the scale within half a pixel;
// and the rows a band of the chart meets are found exactly, far down as well.
TEST(ChartLayoutAtScale, RowsLieAWholePitchApartAndBandsFindThem) {
    MyApp::Project project;
    project.tasks.resize(5000);
    const MyApp::ChartLayout base(project, 20, 1000, 50);
    for (int dpi : {120, 144, 168, 192}) {
        SCOPED_TRACE(std::to_string(dpi) + " DPI");
        const QVUtility::DisplayScale scale(dpi);
        const MyApp::ChartLayout chart(project, scale(20), 1000, scale(50), scale);
        for (std::size_t row : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{999}, std::size_t{4999}}) {
            const double exactPitch = (base.RowTop(1) - base.RowTop(0)) * dpi / 96.0;
            EXPECT_LE(std::abs(chart.rowPitch - exactPitch), 0.5);
            EXPECT_EQ(chart.RowTop(row) - chart.FirstRowTop(), static_cast<std::int64_t>(row) * chart.rowPitch)
                << "row " << row;
        }
        for (std::int64_t top : {std::int64_t{0}, std::int64_t{170}, std::int64_t{36003}, std::int64_t{187490}}) {
            for (int height : {1, 37, 700}) {
                const MyApp::RowRange found = chart.RowsBetween(top, top + height);
                std::size_t first = project.tasks.size(), end = 0;
                for (std::size_t row = 0; row < project.tasks.size(); ++row) {
                    const std::int64_t rowTop = chart.RowTop(row);
                    if (rowTop < top + height && rowTop + chart.barHeight > top) {
                        first = std::min(first, row);
                        end = row + 1;
                    }
                }
                if (end == 0) first = found.first;  // none: where the empty range starts is open
                EXPECT_EQ(found.first, first) << "band " << top << " + " << height;
                EXPECT_EQ(found.end, end == 0 ? found.first : end) << "band " << top << " + " << height;
            }
        }
    }
}

}  // namespace
