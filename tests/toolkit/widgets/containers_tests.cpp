// Panels and painted cells on real windows: window classes, styles, scroll
// bars and content sizes, scrolling with the children, colour answers for
// child controls, and what a cell paints (text, marker, transparent image).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "WidgetPixels.h"
#include "WidgetTestSupport.h"
#include "toolkit/core/Form.h"
#include "toolkit/core/NativeCreation.h"
#include "toolkit/core/Registry.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/widgets/CellControl.h"
#include "toolkit/widgets/PanelChildren.h"

using namespace QVUtility;
using widgettest::CaptureClient;
using widgettest::FontHeight;
using widgettest::Pixels;
using widgettest::Pump;

namespace {

class ContainersTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { form = widgettest::OpenForm(L"Contenitori", 10, 10, 800, 600); }
    static void TearDownTestSuite() {
        delete form;
        form = nullptr;
    }
    static Form* form;
};
Form* ContainersTest::form = nullptr;

SCROLLINFO BarOf(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(window, bar, &info);
    return info;
}

POINT PositionInParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    POINT p{r.left, r.top};
    ScreenToClient(GetParent(child), &p);
    return p;
}

int lastDelta = 0;
int scrollCalls = 0;
void RecordScroll(GUIElement*, int delta) {
    lastDelta = delta;
    ++scrollCalls;
}

TEST_F(ContainersTest, EachPanelRegistersAClassOfItsOwnWithTheCounterInItsName) {
    const int counter = controlCounter;
    PanelChildren first(form);
    PanelChildren second(form);
    first.Create();
    second.Create();
    ASSERT_NE(first.window, nullptr);
    ASSERT_NE(second.window, nullptr);
    EXPECT_EQ(first.ClassName(), L"PanelChildren" + std::to_wstring(counter));
    EXPECT_EQ(second.ClassName(), L"PanelChildren" + std::to_wstring(counter + 1));
    EXPECT_EQ(first.controlId, counter + 1);
    EXPECT_EQ(second.controlId, counter + 2);
    wchar_t name[64] = {};
    GetClassNameW(second.window, name, 64);
    EXPECT_EQ(std::wstring(name), second.ClassName());
    EXPECT_EQ(GetDlgCtrlID(second.window), second.controlId);
    EXPECT_EQ(GetParent(first.window), form->window);
    EXPECT_EQ(first.typeKeyword, "panel");
    EXPECT_TRUE(IsWindowVisible(first.window));

    // Creating again changes nothing.
    const HWND window = first.window;
    first.Create();
    EXPECT_EQ(first.window, window);
    EXPECT_EQ(controlCounter, counter + 2);
    DestroyWindow(first.window);
    DestroyWindow(second.window);
}

// A panel's class and the brush of its colour last as long as its window;
// a class the platform refuses leaves nothing behind.
TEST_F(ContainersTest, APanelsClassAndBrushGoWithItsWindow) {
    ReleaseUnusedClasses();
    const std::size_t classes = RegisteredClassCount();
    const long held = CurrentGdiTally().Held();
    std::wstring name;
    HINSTANCE instance = nullptr;
    {
        PanelChildren panel(form);
        panel.backColour = RGB(1, 2, 3);
        panel.Create();
        ASSERT_NE(panel.window, nullptr);
        name = panel.ClassName();
        instance = panel.windowClass.hInstance;
        WNDCLASSW found{};
        EXPECT_TRUE(GetClassInfoW(instance, name.c_str(), &found));
        EXPECT_EQ(RegisteredClassCount(), classes + 1);
        EXPECT_EQ(CurrentGdiTally().Held(), held + 1);
        DestroyWindow(panel.window);
    }
    ReleaseUnusedClasses();
    WNDCLASSW gone{};
    EXPECT_FALSE(GetClassInfoW(instance, name.c_str(), &gone));
    EXPECT_EQ(RegisteredClassCount(), classes);
    EXPECT_EQ(CurrentGdiTally().Held(), held);

    refusedCreations.classes = true;
    PanelChildren refused(form);
    refused.backColour = RGB(1, 2, 3);
    refused.Create();
    refusedCreations = CreationRefusals{};
    EXPECT_EQ(refused.window, nullptr);
    EXPECT_TRUE(refused.created);
    EXPECT_EQ(RegisteredClassCount(), classes);
    EXPECT_EQ(CurrentGdiTally().Held(), held);
}
TEST_F(ContainersTest, StyleFollowsTheFieldsAndBarsCanBeSwitchedLater) {
    PanelChildren sunken(form);
    sunken.border = true;
    sunken.enabled = false;
    sunken.Create();
    DWORD style = static_cast<DWORD>(GetWindowLongW(sunken.window, GWL_STYLE));
    DWORD extended = static_cast<DWORD>(GetWindowLongW(sunken.window, GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_TRUE(style & WS_DISABLED);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_TRUE(extended & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL));

    PanelChildren flat(form);
    flat.border = true;
    flat.flatBorder = true;
    flat.tabStop = false;
    flat.Create();
    style = static_cast<DWORD>(GetWindowLongW(flat.window, GWL_STYLE));
    extended = static_cast<DWORD>(GetWindowLongW(flat.window, GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_FALSE(style & WS_TABSTOP);
    EXPECT_FALSE(extended & WS_EX_CLIENTEDGE);

    flat.ShowVerticalBar(true);
    EXPECT_TRUE(GetWindowLongW(flat.window, GWL_STYLE) & WS_VSCROLL);
    flat.ShowHorizontalBar(true);
    EXPECT_TRUE(GetWindowLongW(flat.window, GWL_STYLE) & WS_HSCROLL);
    flat.ShowVerticalBar(false);
    EXPECT_FALSE(GetWindowLongW(flat.window, GWL_STYLE) & WS_VSCROLL);

    // A panel its owner has hidden stays hidden when a bar is switched.
    ShowWindow(flat.window, SW_HIDE);
    flat.ShowVerticalBar(true);
    EXPECT_FALSE(IsWindowVisible(flat.window));

    // Before creation the switches only store.
    PanelChildren later(form);
    later.ShowHorizontalBar(true);
    EXPECT_TRUE(later.horizontalBar);
    EXPECT_EQ(later.window, nullptr);
    EXPECT_EQ(later.WindowStyle() & WS_HSCROLL, static_cast<DWORD>(WS_HSCROLL));
    later.floating = true;
    EXPECT_EQ(later.WindowStyle() & (WS_CHILD | WS_VISIBLE), 0u);
    EXPECT_EQ(later.WindowExtendedStyle() & 0x81u, 0x81u);

    DestroyWindow(sunken.window);
    DestroyWindow(flat.window);
}

TEST_F(ContainersTest, ContentSizesSetRangeAndPage) {
    PanelChildren panel(form);
    panel.horizontalBar = true;
    panel.verticalBar = true;
    panel.scrollMin = 0;
    panel.scrollMax = 500;
    panel.width = 300;
    panel.height = 200;
    panel.Create();
    // The limits given before creation are applied by Create, on both bars.
    SCROLLINFO v = BarOf(panel.window, SB_VERT);
    EXPECT_EQ(v.nMin, 0);
    EXPECT_EQ(v.nMax, 500);
    EXPECT_EQ(v.nPage, 50u);

    panel.SetContentWidth(1000);
    SCROLLINFO h = BarOf(panel.window, SB_HORZ);
    EXPECT_EQ(h.nMin, 0);
    EXPECT_EQ(h.nMax, 1100);
    EXPECT_EQ(h.nPage, 100u);
    EXPECT_EQ(panel.scrollMax, 1000);
    SetScrollPos(panel.window, SB_HORZ, 5000, FALSE);
    EXPECT_EQ(GetScrollPos(panel.window, SB_HORZ), 1001);

    panel.SetContentHeight(45);
    v = BarOf(panel.window, SB_VERT);
    EXPECT_EQ(v.nMax, 49);
    EXPECT_EQ(v.nPage, 4u);

    // A negative size is taken as no content.
    panel.SetContentHeight(-10);
    v = BarOf(panel.window, SB_VERT);
    EXPECT_EQ(v.nMax, 0);
    DestroyWindow(panel.window);
}

TEST_F(ContainersTest, ScrollingMovesTheChildrenByWhatTheBarReallyMoved) {
    PanelChildren panel(form);
    panel.verticalBar = true;
    panel.horizontalBar = true;
    panel.x = 0;
    panel.y = 0;
    panel.width = 400;
    panel.height = 300;
    panel.onVerticalScroll = RecordScroll;
    panel.onHorizontalScroll = RecordScroll;
    panel.Create();
    panel.SetContentHeight(1000);
    panel.SetContentWidth(1000);
    CellControl cell(&panel);
    cell.x = 10;
    cell.y = 50;
    cell.width = 100;
    cell.height = 20;
    cell.Create();
    ASSERT_EQ(GetParent(cell.window), panel.window);

    scrollCalls = 0;
    SendMessageW(panel.window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_VERT), 100);
    EXPECT_EQ(PositionInParent(cell.window).y, -50);
    EXPECT_EQ(lastDelta, -100);
    EXPECT_EQ(scrollCalls, 1);

    // Near the end the bar stops at 1001; the window moves only that far but
    // the handler hears the whole page.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = 950;
    SetScrollInfo(panel.window, SB_VERT, &info, FALSE);
    ScrollWindow(panel.window, 0, -850, nullptr, nullptr);  // keep the child where position 950 puts it
    EXPECT_EQ(PositionInParent(cell.window).y, -900);
    SendMessageW(panel.window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_VERT), 1001);
    EXPECT_EQ(PositionInParent(cell.window).y, 50 - 1001);
    EXPECT_EQ(lastDelta, -100);

    // One wheel notch up is one page.
    SendMessageW(panel.window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_VERT), 901);
    EXPECT_EQ(PositionInParent(cell.window).y, 50 - 901);

    // A line to the right is one pixel.
    SendMessageW(panel.window, WM_HSCROLL, SB_LINERIGHT, 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_HORZ), 1);
    EXPECT_EQ(PositionInParent(cell.window).x, 9);
    EXPECT_EQ(lastDelta, -1);

    panel.ResetVerticalScroll();
    panel.ResetHorizontalScroll();
    EXPECT_EQ(GetScrollPos(panel.window, SB_VERT), 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_HORZ), 0);
    EXPECT_EQ(PositionInParent(cell.window).x, 10);
    EXPECT_EQ(PositionInParent(cell.window).y, 50);

    // Without the bar the panel does not scroll.
    panel.ShowVerticalBar(false);
    scrollCalls = 0;
    SendMessageW(panel.window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(scrollCalls, 0);
    EXPECT_EQ(PositionInParent(cell.window).y, 50);
    DestroyWindow(panel.window);
}

// A long content: a page is at most what the client area shows, so that a
// page step or a wheel notch skips nothing; the range ends a page past the
// content. A band at the top stays (with the children kept in it) while the
// rest scrolls up and down, by whole lines when the panel asks for them; a
// child scrolled out of view comes back.
TEST_F(ContainersTest, LongContentScrollsByAtMostAPageUnderAFixedBand) {
    PanelChildren panel(form);
    panel.verticalBar = true;
    panel.width = 400;
    panel.height = 300;
    panel.fixedTop = 40;
    panel.lineHeight = 30;
    panel.snapToLines = true;
    panel.Create();
    RECT client{};
    GetClientRect(panel.window, &client);
    const int view = client.bottom - 40;
    panel.SetContentHeight(40 + 100000);
    const SCROLLINFO v = BarOf(panel.window, SB_VERT);
    EXPECT_EQ(v.nPage, static_cast<UINT>(view));
    EXPECT_EQ(v.nMax, 100000 + view);
    CellControl header(&panel), row(&panel);
    header.x = row.x = 0;
    header.y = 5;
    row.y = 70;
    header.width = row.width = 50;
    header.height = row.height = 20;
    header.Create();
    row.Create();
    panel.KeepInBand(&header);

    SendMessageW(panel.window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_VERT), 30) << "a line";
    SendMessageW(panel.window, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(GetScrollPos(panel.window, SB_VERT), 30 + view / 30 * 30) << "whole lines, no more than a page";
    panel.ScrollTo(SB_VERT, 0);
    EXPECT_EQ(PositionInParent(row.window).y, 70);
    SendMessageW(panel.window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    const int wheel = GetScrollPos(panel.window, SB_VERT);
    EXPECT_LE(wheel, view);
    EXPECT_EQ(wheel % 30, 0);
    EXPECT_EQ(PositionInParent(header.window).y, 5) << "the band stays";
    EXPECT_EQ(PositionInParent(row.window).y, 70 - wheel);

    // A short content keeps a page of a tenth.
    panel.SetContentHeight(40 + 1000);
    EXPECT_EQ(BarOf(panel.window, SB_VERT).nPage, 100u);
    DestroyWindow(panel.window);
}

// An element given an identifier of the reserved block takes it at its
// making, and the counter goes on as if it had not been made.
TEST_F(ContainersTest, AFixedIdentifierLeavesTheCounterAlone) {
    CellControl first(form), fixed(form), next(form);
    first.Create();
    fixed.fixedId = ReservedCommandFirst + 7;
    fixed.Create();
    next.Create();
    EXPECT_EQ(fixed.controlId, ReservedCommandFirst + 7);
    EXPECT_EQ(GetDlgCtrlID(fixed.window), ReservedCommandFirst + 7);
    EXPECT_EQ(next.controlId, first.controlId + 1);
    // Two such panels made one after the other each have a class of their own.
    CellControl other(form);
    other.fixedId = ReservedCommandFirst + 8;
    other.SetBackColour(RGB(1, 2, 3));
    other.Create();
    EXPECT_NE(other.ClassName(), fixed.ClassName());
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH info{};
    GetObjectW(brush, sizeof info, &info);
    return info.lbColor;
}

TEST_F(ContainersTest, ColourAnswersForChildControls) {
    PanelChildren panel(form);
    panel.Create();
    HDC screen = GetDC(nullptr);
    HDC context = CreateCompatibleDC(screen);
    SetBkColor(context, RGB(1, 2, 3));
    SetTextColor(context, RGB(4, 5, 6));

    // No colours at all: the button face, and the context left alone.
    EXPECT_EQ(panel.ChildColour(context), GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetBkColor(context), RGB(1, 2, 3));
    EXPECT_EQ(GetTextColor(context), RGB(4, 5, 6));

    // The panel's own background.
    panel.backColour = RGB(200, 100, 50);
    HBRUSH brush = panel.ChildColour(context);
    EXPECT_EQ(BrushColour(brush), RGB(200, 100, 50));
    EXPECT_EQ(GetBkColor(context), RGB(200, 100, 50));
    EXPECT_EQ(GetTextColor(context), RGB(4, 5, 6));

    // The colours for the children win.
    panel.childBackColour = RGB(10, 20, 30);
    panel.childTextColour = RGB(250, 0, 0);
    brush = panel.ChildColour(context);
    EXPECT_EQ(panel.childBrush, brush);
    EXPECT_EQ(BrushColour(brush), RGB(10, 20, 30));
    EXPECT_EQ(GetBkColor(context), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(context), RGB(250, 0, 0));

    // Each answer releases the previous brush: many queries hold one brush.
    const long held = CurrentGdiTally().Held();
    for (int i = 0; i < 200; ++i) panel.ChildColour(context);
    EXPECT_EQ(CurrentGdiTally().Held(), held);
    EXPECT_EQ(CurrentGdiTally().failedReleases, 0);

    // The query of a real control reaches the panel through the window procedure.
    HWND label = CreateWindowExW(0, L"STATIC", L"Etichetta", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, panel.window, nullptr,
                                 nullptr, nullptr);
    HDC labelContext = GetDC(label);
    const LRESULT answer = SendMessageW(panel.window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(labelContext),
                                        reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(answer), panel.childBrush);
    ReleaseDC(label, labelContext);

    // Switched off: no answer.
    panel.customColours = false;
    EXPECT_EQ(panel.ChildColour(context), nullptr);

    DeleteDC(context);
    ReleaseDC(nullptr, screen);
    DestroyWindow(panel.window);
}

// A picture of the given size, black with a green square in the middle.
HBITMAP GreenSquareOnBlack(int size, int square) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, size, size};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBRUSH green = CreateSolidBrush(RGB(0, 200, 0));
    const int from = (size - square) / 2;
    RECT middle{from, from, from + square, from + square};
    FillRect(memory, &middle, green);
    DeleteObject(green);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

int paintCalls = 0;
bool fillDuringPaint = true;
void RecordPaint(GUIElement* element) {
    ++paintCalls;
    fillDuringPaint = element->fillBackground;
}

TEST_F(ContainersTest, CellPaintsTextMarkerAndTransparentImage) {
    const COLORREF background = RGB(30, 60, 200);
    const COLORREF ink = RGB(255, 255, 0);
    CellControl cell(form);
    cell.x = 20;
    cell.y = 300;
    cell.width = 240;
    cell.height = 25;
    cell.textAlign = 0;
    cell.textColour = ink;
    cell.onPaint = RecordPaint;
    cell.Create();
    ASSERT_NE(cell.window, nullptr);
    EXPECT_FALSE(GetWindowLongW(cell.window, GWL_STYLE) & WS_TABSTOP);
    cell.SetBackColour(background);
    cell.SetText(L"Attività");
    UpdateWindow(cell.window);
    Pump(50);

    Pixels shot = CaptureClient(cell.window);
    ASSERT_EQ(shot.width, 240);
    const int h = FontHeight("Tahoma", 14);
    const int top = (25 - h) / 2;
    // Text on the left, centred vertically: nothing above its box.
    EXPECT_EQ(shot.Count(0, 0, 240, top, ink), 0);
    EXPECT_GT(shot.Count(0, top, 80, 25, ink), 5);
    EXPECT_EQ(shot.Count(120, 0, 240, 25, ink), 0);
    EXPECT_EQ(shot.At(200, 2), background);
    EXPECT_GT(paintCalls, 0);
    EXPECT_FALSE(fillDuringPaint);
    EXPECT_TRUE(cell.fillBackground);

    // The marker in the bottom right square of side h; the image on the
    // right with its black left out.
    HBITMAP picture = GreenSquareOnBlack(12, 4);
    cell.showMarker = true;
    cell.image = picture;
    cell.imageWidth = 12;
    cell.imageHeight = 12;
    cell.imageAlign = 1;
    cell.SetText(L"");
    UpdateWindow(cell.window);
    Pump(50);
    shot = CaptureClient(cell.window);
    EXPECT_GT(shot.Count(240 - h, 25 - h, 240, 25, ink), 0);
    EXPECT_EQ(shot.Count(0, 0, 240 - h, 25, ink), 0);  // no text any more
    const int imageLeft = 240 - 12 - 3;
    const int imageTop = (25 - 12) / 2;
    EXPECT_EQ(shot.At(imageLeft + 6, imageTop + 6), RGB(0, 200, 0));
    EXPECT_EQ(shot.At(imageLeft + 1, imageTop + 1), background);  // black is transparent
    EXPECT_EQ(shot.Count(0, 0, 240, 25, RGB(0, 0, 0)), 0);

    // Centred image, left image.
    cell.showMarker = false;
    cell.imageAlign = 2;
    InvalidateRect(cell.window, nullptr, TRUE);
    UpdateWindow(cell.window);
    Pump(50);
    shot = CaptureClient(cell.window);
    EXPECT_EQ(shot.At((240 - 12) / 2 + 6, imageTop + 6), RGB(0, 200, 0));
    EXPECT_EQ(shot.Count(0, 0, 240, 25, ink), 0);
    cell.imageAlign = 0;
    InvalidateRect(cell.window, nullptr, TRUE);
    UpdateWindow(cell.window);
    Pump(50);
    shot = CaptureClient(cell.window);
    EXPECT_EQ(shot.At(3 + 6, imageTop + 6), RGB(0, 200, 0));
    EXPECT_EQ(shot.At((240 - 12) / 2 + 6, imageTop + 6), background);

    cell.image = nullptr;
    DestroyWindow(cell.window);
    DeleteObject(picture);
}

TEST_F(ContainersTest, SettingTheTextRepaintsTheCellButAColourAloneDoesNot) {
    CellControl cell(form);
    cell.x = 20;
    cell.y = 340;
    cell.width = 200;
    cell.height = 25;
    cell.SetTextNarrow("prima");  // before creation: only stored
    EXPECT_EQ(cell.text, L"prima");
    cell.Create();
    UpdateWindow(cell.window);
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(cell.window, &pending, FALSE));
    cell.textColour = RGB(255, 0, 0);
    EXPECT_FALSE(GetUpdateRect(cell.window, &pending, FALSE));
    cell.SetTextNarrow("seconda");
    EXPECT_TRUE(GetUpdateRect(cell.window, &pending, FALSE));
    EXPECT_EQ(pending.right - pending.left, 200);
    UpdateWindow(cell.window);
    cell.SetText(L"terza");
    EXPECT_TRUE(GetUpdateRect(cell.window, &pending, FALSE));
    EXPECT_EQ(cell.GetText(), L"terza");
    DestroyWindow(cell.window);
}

TEST_F(ContainersTest, CellWithoutWindowStillCallsItsPaintHandler) {
    CellControl cell(form);
    cell.onPaint = RecordPaint;
    paintCalls = 0;
    cell.OnPaint();
    EXPECT_EQ(paintCalls, 1);
}

}  // namespace
