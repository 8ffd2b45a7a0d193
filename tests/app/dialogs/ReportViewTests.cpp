// The report view on a real edit control: a long text is whole for whoever
// reads the control, and the lines it shows are those the scroll bar and the
// caret stand at, however the view is moved.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "app/dialogs/ReportView.h"
#include "Driver.h"

namespace {

// What the control shows on one of its own lines.
std::wstring ShownLine(HWND edit, LRESULT line) {
    wchar_t buffer[64] = {};
    buffer[0] = 63;  // EM_GETLINE reads the buffer's size from its first character
    const LRESULT length = SendMessageW(edit, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(length));
}

}  // namespace

TEST(ReportView, EveryWayOfMovingShowsTheLinesTheScrollBarAndTheCaretStandAt) {
    // On the virtual desktop the dialog tests of this program use: a thread
    // that made a window on another desktop cannot move there any more.
    ASSERT_TRUE(drv::UseDesktop());
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                    ES_AUTOHSCROLL | ES_READONLY,
                                0, 0, 400, 300, frame, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    MyApp::ReportView view;
    view.Attach(edit);
    std::wstring text;
    const int lines = 20000;
    for (int i = 0; i < lines; ++i) text += L"\r\nRiga " + std::to_wstring(i);
    SetWindowTextW(edit, text.c_str());
    std::wstring read(static_cast<std::size_t>(GetWindowTextLengthW(edit)), L'\0');
    GetWindowTextW(edit, &read[0], static_cast<int>(read.size()) + 1);
    EXPECT_EQ(read, text);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), lines + 1);
    const auto lineText = [](std::size_t line) { return line == 0 ? std::wstring() : L"Riga " + std::to_wstring(line - 1); };
    SetFocus(edit);

    std::mt19937 random(2027);
    std::size_t caret = 0;  // the caret's line in the text
    std::size_t inView = 0;
    for (int step = 0; step < 120; ++step) {
        const int choice = std::uniform_int_distribution<int>(0, 9)(random);
        const WPARAM keys[4] = {VK_DOWN, VK_UP, VK_NEXT, VK_PRIOR};
        const WPARAM scrolls[4] = {SB_LINEDOWN, SB_LINEUP, SB_PAGEDOWN, SB_PAGEUP};
        if (choice < 4) {
            for (int i = step % 3 + 1; i > 0; --i) SendMessageW(edit, WM_KEYDOWN, keys[choice], 0);
        } else if (choice < 8) {
            SendMessageW(edit, WM_VSCROLL, MAKEWPARAM(scrolls[choice - 4], 0), 0);
        } else if (choice == 8) {
            SendMessageW(edit, WM_MOUSEWHEEL, MAKEWPARAM(0, step % 2 ? WHEEL_DELTA : -WHEEL_DELTA), 0);
        } else {
            view.ScrollTo(std::uniform_int_distribution<std::size_t>(0, lines + 5)(random));
        }
        SCROLLINFO bar{};
        bar.cbSize = sizeof bar;
        bar.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(edit, SB_VERT, &bar));
        ASSERT_EQ(bar.nMax, lines);
        ASSERT_EQ(static_cast<std::size_t>(bar.nPos), view.FirstLine());
        ASSERT_LE(static_cast<std::size_t>(bar.nPos) + bar.nPage, static_cast<std::size_t>(lines) + 1);
        inView = bar.nPage;
        ASSERT_GE(inView, 5u);
        ASSERT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) == 0 ? ShownLine(edit, 0) : L"?",
                  lineText(view.FirstLine()))
            << "step " << step << ", move " << choice;
        const std::size_t shownCaret =
            view.FirstLine() + static_cast<std::size_t>(SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
        if (choice < 4) {
            // The caret moves by lines and pages and stays in view.
            const std::size_t by = choice < 2 ? static_cast<std::size_t>(step % 3 + 1) : (step % 3 + 1) * inView;
            caret = choice % 2 == 0 ? std::min(caret + by, static_cast<std::size_t>(lines)) : caret - std::min(caret, by);
            ASSERT_EQ(shownCaret, caret) << "step " << step;
            ASSERT_GE(shownCaret, view.FirstLine());
            ASSERT_LT(shownCaret, view.FirstLine() + inView);
        }
        caret = shownCaret;
    }
    DestroyWindow(frame);
}
