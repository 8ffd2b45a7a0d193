// Fonts, the drawing surface and bitmap files on real device contexts,
// checked pixel by pixel.
#include "Driver.h"
#include "toolkit/core/GUIElement.h"
#include "toolkit/draw/BitmapFile.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/draw/ScopedGdi.h"

#include "tests/toolkit/TempFolderTest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace QVUtility;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 160, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A memory context holding a 32-bit bitmap, filled white.
class Canvas {
public:
    Canvas(int w, int h) : width(w), height(h) {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, w, h);
        ReleaseDC(nullptr, screen);
        original = SelectObject(dc, bitmap);
        Fill(kWhite);
    }
    ~Canvas() {
        SelectObject(dc, original);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF colour) {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all{0, 0, width, height};
        ::FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }

    // Pixels that differ from `background` inside [x0, x1) x [y0, y1).
    int InkIn(int x0, int y0, int x1, int y1, COLORREF background = kWhite) const {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (At(x, y) != background) ++count;
        return count;
    }
    // Leftmost and rightmost columns holding ink, -1 when none.
    std::pair<int, int> InkColumns(COLORREF background = kWhite) const {
        int left = -1, right = -1;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y)
                if (At(x, y) != background) {
                    if (left < 0) left = x;
                    right = x;
                    break;
                }
        return {left, right};
    }

    int width, height;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr;
};

// A bitmap of the screen's format painted pixel by pixel.
HBITMAP MakeBitmap(int w, int h, COLORREF (*colourAt)(int x, int y)) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) SetPixel(dc, x, y, colourAt(x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return colour;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return SIZE{info.bmWidth, info.bmHeight};
}

bool IsLiveObject(HGDIOBJ object) { return GetObjectType(object) != 0; }

class RecordingSurface : public Drawing {
public:
    std::vector<std::string> failures;

protected:
    void OnPlatformError(const char* operation) override { failures.push_back(operation); }
};

// ---- FontDescription ------------------------------------------------------

TEST(FontDescription, DefaultAndNarrowConstruction) {
    FontDescription standard;
    EXPECT_EQ(standard.face, L"System");
    EXPECT_EQ(standard.height, 0);
    EXPECT_FALSE(standard.bold || standard.italic || standard.underline || standard.fixedPitch);
    EXPECT_EQ(standard.handle, nullptr);

    ASSERT_EQ(GetACP(), 1252u) << "the tests run with Italian regional settings";
    FontDescription accented("Verd\xE0na", -12);  // narrow text in Windows-1252
    EXPECT_EQ(accented.face, L"Verd\u00E0na");
    EXPECT_EQ(accented.height, -12);
    EXPECT_EQ(accented.handle, nullptr) << "the platform font is made on first use";
}

TEST(FontDescription, MakesTheDescribedFontOnceAndReleasesIt) {
    const GdiTally before = CurrentGdiTally();
    HFONT made = nullptr;
    {
        FontDescription font("Tahoma", 18);
        font.bold = true;
        font.italic = true;
        font.underline = true;
        font.fixedPitch = true;
        made = font.GetFont();
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(font.GetFont(), made) << "second use gives the same font";
        LOGFONTW described{};
        ASSERT_EQ(GetObjectW(made, sizeof described, &described), static_cast<int>(sizeof described));
        EXPECT_EQ(described.lfHeight, 18);
        EXPECT_EQ(described.lfWeight, FW_BOLD);
        EXPECT_TRUE(described.lfItalic);
        EXPECT_TRUE(described.lfUnderline);
        EXPECT_FALSE(described.lfStrikeOut);
        EXPECT_EQ(described.lfCharSet, DEFAULT_CHARSET);
        EXPECT_EQ(described.lfOutPrecision, OUT_OUTLINE_PRECIS);
        EXPECT_EQ(described.lfQuality, CLEARTYPE_QUALITY);
        EXPECT_EQ(described.lfPitchAndFamily & 3, FIXED_PITCH);
        EXPECT_EQ(std::wstring(described.lfFaceName), L"Tahoma");

        FontDescription plain("Tahoma", 18);
        LOGFONTW plainDescribed{};
        GetObjectW(plain.GetFont(), sizeof plainDescribed, &plainDescribed);
        EXPECT_EQ(plainDescribed.lfWeight, FW_NORMAL);
        EXPECT_FALSE(plainDescribed.lfItalic || plainDescribed.lfUnderline);
        EXPECT_EQ(plainDescribed.lfPitchAndFamily & 3, DEFAULT_PITCH);
    }
    EXPECT_FALSE(IsLiveObject(made)) << "the record deletes its font";
    const GdiTally after = CurrentGdiTally();
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);
}

TEST(FontDescription, CopiesNeverShareTheFont) {
    const GdiTally before = CurrentGdiTally();
    {
        FontDescription original("Tahoma", 14);
        original.bold = true;
        HFONT first = original.GetFont();

        FontDescription copy(original);
        EXPECT_EQ(copy.handle, nullptr);
        EXPECT_TRUE(copy.bold);
        EXPECT_NE(copy.GetFont(), first);

        FontDescription assigned;
        HFONT replaced = assigned.GetFont();
        assigned = original;
        EXPECT_FALSE(IsLiveObject(replaced)) << "assignment releases the font it had";
        EXPECT_EQ(assigned.face, L"Tahoma");
        EXPECT_NE(assigned.GetFont(), first);

        FontDescription moved(std::move(original));
        EXPECT_EQ(moved.handle, first);
        EXPECT_EQ(original.handle, nullptr);

        moved.Release();
        EXPECT_FALSE(IsLiveObject(first));
        EXPECT_NE(moved.GetFont(), nullptr) << "made again after Release";
    }
    const GdiTally after = CurrentGdiTally();
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);
}

// ---- Scoped handles ---------------------------------------------------------

// Leaving a scope (here at an ASSERT's early return or at its end) puts back
// what was selected and releases what was made, once; an object handed on
// with Release stays.
TEST(ScopedGdi, LeavingEarlyRestoresTheContextAndReleasesEachObjectOnce) {
    const GdiTally before = CurrentGdiTally();
    HPEN pen = nullptr;
    HBITMAP kept = nullptr;
    HDC context = nullptr;
    [&] {
        const ScreenContext screen;
        MemoryContext memory(screen.Get());
        ASSERT_TRUE(screen && memory);
        context = memory.Get();
        GdiObject<HPEN> made(CreatePen(PS_SOLID, 3, kRed));
        pen = made.Get();
        const ScopedSelect penIn(context, pen);
        ASSERT_TRUE(penIn);
        EXPECT_EQ(GetCurrentObject(context, OBJ_PEN), pen);
        {
            const ScopedSelect again(context, GetStockObject(BLACK_PEN));
            EXPECT_EQ(GetCurrentObject(context, OBJ_PEN), GetStockObject(BLACK_PEN));
        }
        EXPECT_EQ(GetCurrentObject(context, OBJ_PEN), pen) << "the inner selection put the pen back";
        GdiObject<HBITMAP> handedOn(CreateBitmap(2, 2, 1, 32, nullptr));
        kept = handedOn.Release();
    }();
    EXPECT_FALSE(IsLiveObject(pen)) << "deselected before it was deleted";
    EXPECT_FALSE(IsLiveObject(context));
    ASSERT_TRUE(IsLiveObject(kept));
    EXPECT_EQ(CurrentGdiTally().Held(), before.Held() + 1) << "only the bitmap handed on is still held";
    ReleaseGdiObject(kept);
    EXPECT_EQ(CurrentGdiTally().Held(), before.Held());
    EXPECT_EQ(CurrentGdiTally().failedReleases, before.failedReleases) << "nothing released twice";
}

// ---- Surface without a context ------------------------------------------

TEST(DrawingSurface, DoesNothingWithoutAContext) {
    const GdiTally before = CurrentGdiTally();
    Drawing surface;
    FontDescription font("Tahoma", 14);
    HBITMAP bitmap = MakeBitmap(2, 2, [](int, int) { return kRed; });
    surface.FillRect(0, 0, 10, 10, 1, kRed, kBlue);
    surface.FrameRect(0, 0, 10, 10, 1, kRed);
    surface.DrawText(0, 0, 10, 10, std::string("x"), kRed, &font, 0);
    surface.DrawBitmap(bitmap, 0, 0, 0, 0);
    surface.DrawBitmapTransparent(bitmap, 0, 0, 0, 0);
    surface.BlitBitmapAt(bitmap, 0);
    EXPECT_EQ(surface.TextHeight(&font), -1);
    EXPECT_EQ(surface.CaptureRegion(0, 0, 5, 5), nullptr);
    EXPECT_EQ(surface.CreateBackBuffer(), nullptr);
    EXPECT_EQ(surface.LoadBitmapFile("Z:\\nowhere.bmp"), nullptr);
    surface.End();
    surface.Begin(nullptr);
    EXPECT_EQ(surface.context, nullptr);
    DeleteObject(bitmap);
    EXPECT_EQ(CurrentGdiTally().created, before.created) << "nothing was made";
}

// ---- Rectangles -------------------------------------------------------------

TEST(DrawingSurface, FillRectCoversExactlyTheBoxAndOutlinesOnRequest) {
    Canvas canvas(40, 40);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    HGDIOBJ penBefore = GetCurrentObject(canvas.dc, OBJ_PEN);
    HGDIOBJ brushBefore = GetCurrentObject(canvas.dc, OBJ_BRUSH);

    // No outline: all 10 x 8 pixels from (5, 6), nothing beyond.
    surface.FillRect(5, 6, 10, 8, 0, kRed, kBlue);
    EXPECT_EQ(canvas.InkIn(0, 0, 40, 40), 80);
    EXPECT_EQ(canvas.At(5, 6), kBlue);
    EXPECT_EQ(canvas.At(14, 13), kBlue);
    EXPECT_EQ(canvas.At(15, 13), kWhite);
    EXPECT_EQ(canvas.At(14, 14), kWhite);
    EXPECT_EQ(canvas.At(4, 6), kWhite);

    // Outline 2 pixels wide in red (on the box's edge) around a blue inside.
    canvas.Fill(kWhite);
    surface.FillRect(10, 10, 20, 20, 2, kRed, kBlue);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(20, 10), kRed);
    EXPECT_EQ(canvas.At(10, 20), kRed);
    EXPECT_EQ(canvas.At(29, 20), kRed);
    EXPECT_EQ(canvas.At(12, 12), kBlue);
    EXPECT_EQ(canvas.At(20, 20), kBlue);
    EXPECT_EQ(canvas.At(31, 20), kWhite);
    EXPECT_EQ(canvas.At(7, 7), kWhite);

    // A frame leaves the inside alone.
    canvas.Fill(kGreen);
    surface.FrameRect(2, 2, 30, 30, 1, kBlack);
    EXPECT_EQ(canvas.At(2, 2), kBlack);
    EXPECT_EQ(canvas.At(31, 15), kBlack);
    EXPECT_EQ(canvas.At(15, 31), kBlack);
    EXPECT_EQ(canvas.At(15, 15), kGreen);
    EXPECT_EQ(canvas.At(32, 32), kGreen);

    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), penBefore) << "pen restored";
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_BRUSH), brushBefore) << "brush restored";
    surface.End();
}

// ---- Text ---------------------------------------------------------------

TEST(DrawingSurface, TextIsClippedAlignedAndRestoresTheContext) {
    Canvas canvas(200, 60);
    FontDescription font("Tahoma", 16);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    HGDIOBJ fontBefore = GetCurrentObject(canvas.dc, OBJ_FONT);
    SetTextColor(canvas.dc, kGreen);
    SetBkMode(canvas.dc, OPAQUE);

    // Clipped to the box (20, 10)-(60, 30).
    surface.DrawText(20, 10, 40, 20, std::wstring(L"WWWWWWWWWWWWWWWW"), kBlack, &font, 0);
    EXPECT_GT(canvas.InkIn(20, 10, 60, 30), 20);
    EXPECT_EQ(canvas.InkIn(0, 0, 200, 60) - canvas.InkIn(20, 10, 60, 30), 0) << "nothing outside the box";
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_FONT), fontBefore);
    EXPECT_EQ(GetTextColor(canvas.dc), kGreen);
    EXPECT_EQ(GetBkMode(canvas.dc), OPAQUE);

    // Alignment inside a 200-pixel box.
    auto columnsFor = [&](int alignment) {
        canvas.Fill(kWhite);
        surface.DrawText(0, 0, 200, 40, std::wstring(L"Ab"), kBlack, &font, alignment);
        return canvas.InkColumns();
    };
    const auto left = columnsFor(0);
    const auto right = columnsFor(1);
    const auto centre = columnsFor(2);
    const auto other = columnsFor(7);
    ASSERT_GE(left.first, 0);
    EXPECT_LT(left.first, 5);
    EXPECT_GT(right.second, 190);
    const int inkWidth = left.second - left.first;
    EXPECT_NEAR(centre.first, (200 - inkWidth) / 2, 4);
    EXPECT_EQ(other, left) << "unknown alignment is left";

    // w = 0: written at (x, y) unclipped, alignment ignored.
    canvas.Fill(kWhite);
    surface.DrawText(150, 5, 0, 20, std::wstring(L"WWWWWWWWWW"), kBlack, &font, 1);
    const auto unclipped = canvas.InkColumns();
    EXPECT_GE(unclipped.first, 150);
    EXPECT_LT(unclipped.first, 154);
    EXPECT_EQ(unclipped.second, 199) << "runs on past any box";
    surface.End();
}

TEST(DrawingSurface, LiteralTextKeepsItsAmpersands) {
    // "Rossi && Figli" as a caption shows one ampersand; as a description
    // the user typed it shows both, and a lone "&" is not swallowed.
    Canvas canvas(200, 40);
    FontDescription font("Tahoma", 20);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    auto inkOf = [&](const wchar_t* text, bool literal) {
        canvas.Fill(kWhite);
        surface.DrawText(0, 0, 200, 40, std::wstring(text), kBlack, &font, 0, literal);
        return canvas.InkIn(0, 0, 200, 40);
    };
    const int one = inkOf(L"&", true);
    ASSERT_GT(one, 5);
    EXPECT_NEAR(inkOf(L"&&", true), 2 * one, one / 2);
    EXPECT_NEAR(inkOf(L"&&", false), one, one / 2);
    EXPECT_GT(inkOf(L"A&B", true), inkOf(L"AB", true));
    surface.End();
}

TEST(DrawingSurface, NarrowTextIsTheSystemCodePage) {
    Canvas narrowCanvas(120, 40);
    Canvas wideCanvas(120, 40);
    FontDescription font("Tahoma", 20);
    Drawing surface;
    surface.Attach(narrowCanvas.dc, false);
    surface.DrawText(2, 2, 0, 0, std::string("propriet\xE0 gi\xE0"), kBlack, &font, 0);
    surface.Attach(wideCanvas.dc, false);
    surface.DrawText(2, 2, 0, 0, std::wstring(L"propriet\u00E0 gi\u00E0"), kBlack, &font, 0);
    surface.End();
    int differences = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x)
            if (narrowCanvas.At(x, y) != wideCanvas.At(x, y)) ++differences;
    EXPECT_GT(wideCanvas.InkIn(0, 0, 120, 40), 50);
    EXPECT_EQ(differences, 0);
}

TEST(DrawingSurface, TextIsCutAfter1023Characters) {
    Canvas canvas(100, 40);
    FontDescription font("Tahoma", 16);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    HGDIOBJ old = SelectObject(canvas.dc, font.GetFont());
    const std::wstring kept(1023, L'i');
    SIZE extent{};
    GetTextExtentPoint32W(canvas.dc, kept.c_str(), static_cast<int>(kept.size()), &extent);
    SelectObject(canvas.dc, old);
    // Start so far left that the 1023 kept characters end at x = 10: a 1024th
    // character would be drawn from there.
    const int start = 10 - extent.cx;
    surface.DrawText(start, 5, 0, 0, kept + L"WWWW", kBlack, &font, 0);
    EXPECT_EQ(canvas.InkIn(11, 0, 100, 40), 0);
    canvas.Fill(kWhite);
    surface.DrawText(start + 30, 5, 0, 0, kept + L"WWWW", kBlack, &font, 0);
    EXPECT_GT(canvas.InkIn(11, 0, 100, 40), 0) << "the kept characters do reach the canvas";
    surface.End();
}

TEST(DrawingSurface, TextHeightIsTheFontsCellHeight) {
    Canvas canvas(10, 10);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    FontDescription small("Tahoma", 12);
    FontDescription large("Tahoma", 30);
    EXPECT_EQ(surface.TextHeight(nullptr), -1);
    const int smallHeight = surface.TextHeight(&small);
    const int largeHeight = surface.TextHeight(&large);
    HGDIOBJ old = SelectObject(canvas.dc, large.GetFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(canvas.dc, &metrics);
    SelectObject(canvas.dc, old);
    EXPECT_EQ(largeHeight, metrics.tmHeight);
    EXPECT_EQ(largeHeight, 30) << "a positive height is the cell height";
    EXPECT_LT(smallHeight, largeHeight);
    surface.End();
}

// ---- Bitmaps --------------------------------------------------------------

// 4 x 4: left half red, right half black, bottom-right pixel blue.
COLORREF Sample(int x, int y) {
    if (x == 3 && y == 3) return kBlue;
    return x < 2 ? kRed : kBlack;
}

TEST(DrawingSurface, BitmapsAreCopiedAtNaturalSizeOrStretched) {
    Canvas canvas(30, 30);
    HBITMAP sample = MakeBitmap(4, 4, Sample);
    Drawing surface;
    surface.Attach(canvas.dc, false);

    surface.DrawBitmap(sample, 5, 6, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(canvas.At(5 + x, 6 + y), Sample(x, y)) << x << "," << y;
    EXPECT_EQ(canvas.InkIn(0, 0, 30, 30), 16);

    canvas.Fill(kWhite);
    surface.DrawBitmap(sample, 10, 10, 8, 12);  // twice as wide, three times as high
    EXPECT_EQ(canvas.InkIn(0, 0, 30, 30), 96);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(13, 21), kRed);
    EXPECT_EQ(canvas.At(14, 10), kBlack);
    EXPECT_EQ(canvas.At(17, 21), kBlue);

    canvas.Fill(kWhite);
    surface.BlitBitmapAt(sample, 20);
    EXPECT_EQ(canvas.At(0, 20), kRed);
    EXPECT_EQ(canvas.At(3, 23), kBlue);
    EXPECT_EQ(canvas.InkIn(0, 0, 30, 30), 16);
    surface.End();
    DeleteObject(sample);
}

TEST(DrawingSurface, TransparentBitmapsLeaveBlackOut) {
    Canvas canvas(30, 30);
    canvas.Fill(kGreen);
    HBITMAP sample = MakeBitmap(4, 4, Sample);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    SetTextColor(canvas.dc, kBlue);
    SetBkColor(canvas.dc, kRed);

    surface.DrawBitmapTransparent(sample, 2, 2, 0, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const COLORREF expected = Sample(x, y) == kBlack ? kGreen : Sample(x, y);
            EXPECT_EQ(canvas.At(2 + x, 2 + y), expected) << x << "," << y;
        }
    EXPECT_EQ(canvas.InkIn(0, 0, 30, 30, kGreen), 9);

    canvas.Fill(kGreen);
    surface.DrawBitmapTransparent(sample, 10, 10, 8, 8);
    EXPECT_EQ(canvas.At(10, 10), kRed);
    EXPECT_EQ(canvas.At(15, 10), kGreen);
    EXPECT_EQ(canvas.At(17, 17), kBlue);
    EXPECT_EQ(canvas.InkIn(0, 0, 30, 30, kGreen), 8 * 4 + 4);
    EXPECT_EQ(GetTextColor(canvas.dc), kBlue) << "context colours restored";
    EXPECT_EQ(GetBkColor(canvas.dc), kRed);
    surface.End();
    DeleteObject(sample);
}

TEST(DrawingSurface, CaptureRegionCopiesThePixels) {
    Canvas canvas(30, 30);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    surface.FillRect(10, 10, 5, 5, 0, 0, kBlue);
    SetPixel(canvas.dc, 8, 9, kRed);
    HBITMAP copy = surface.CaptureRegion(8, 9, 10, 6);
    ASSERT_NE(copy, nullptr);
    const SIZE size = SizeOf(copy);
    EXPECT_EQ(size.cx, 10);
    EXPECT_EQ(size.cy, 6);
    EXPECT_EQ(PixelOf(copy, 0, 0), kRed);
    EXPECT_EQ(PixelOf(copy, 1, 0), kWhite);
    EXPECT_EQ(PixelOf(copy, 2, 1), kBlue);
    EXPECT_EQ(PixelOf(copy, 6, 5), kBlue);
    EXPECT_EQ(PixelOf(copy, 7, 5), kWhite);
    Drawing::ReleaseBitmap(copy);
    EXPECT_FALSE(IsLiveObject(copy));
    EXPECT_EQ(surface.CaptureRegion(0, 0, 0, 5), nullptr);
    surface.End();
}

TEST(DrawingSurface, FailedPlatformCallsReachTheErrorHookAndDrawingGoesOn) {
    Canvas canvas(20, 20);
    RecordingSurface surface;
    surface.Attach(canvas.dc, false);
    HBITMAP gone = MakeBitmap(2, 2, [](int, int) { return kRed; });
    DeleteObject(gone);
    surface.DrawBitmap(gone, 0, 0, 0, 0);
    surface.DrawBitmapTransparent(gone, 0, 0, 4, 4);
    ASSERT_EQ(surface.failures.size(), 2u);
    EXPECT_EQ(surface.failures[0], "DrawBitmap");
    EXPECT_EQ(surface.failures[1], "DrawBitmapTransparent");
    surface.FillRect(0, 0, 3, 3, 0, 0, kBlue);
    EXPECT_EQ(canvas.At(2, 2), kBlue);
    EXPECT_EQ(canvas.InkIn(0, 0, 20, 20), 9) << "the failed copies drew nothing";
    surface.End();
}

// ---- Contexts: attach, end, back buffers ------------------------------------

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        window = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override { DestroyWindow(window); }
    HWND window = nullptr;
};

TEST_F(WindowFixture, BackBufferHasTheClientSizeAndGoesWithItsSurface) {
    const GdiTally before = CurrentGdiTally();
    HDC windowContext = GetDC(window);
    Drawing surface;
    surface.Attach(windowContext, false);
    HDC buffer = surface.CreateBackBuffer();
    ASSERT_NE(buffer, nullptr);
    HBITMAP bufferBitmap = static_cast<HBITMAP>(GetCurrentObject(buffer, OBJ_BITMAP));
    const SIZE size = SizeOf(bufferBitmap);
    EXPECT_EQ(size.cx, 120);
    EXPECT_EQ(size.cy, 80);
    {
        Drawing offScreen;
        offScreen.Attach(buffer, true);
        offScreen.FillRect(0, 0, 120, 80, 0, 0, kBlue);
        HBITMAP picture = offScreen.CaptureRegion(0, 0, 120, 80);
        EXPECT_EQ(PixelOf(picture, 119, 79), kBlue) << "the whole buffer is filled";
        Drawing::ReleaseBitmap(picture);
        offScreen.End();
        EXPECT_EQ(offScreen.context, nullptr);
        EXPECT_FALSE(offScreen.attached);
    }
    EXPECT_FALSE(IsLiveObject(buffer)) << "an owned context is released by End";
    EXPECT_FALSE(IsLiveObject(bufferBitmap)) << "together with the back buffer's bitmap";

    surface.End();
    EXPECT_TRUE(IsLiveObject(windowContext)) << "a borrowed context is left to its owner";
    ReleaseDC(window, windowContext);

    // A surface that goes out of scope or attaches anew releases what it owns.
    HDC second = nullptr;
    HDC third = nullptr;
    {
        Drawing owner;
        HDC again = GetDC(window);
        owner.Attach(again, false);
        second = owner.CreateBackBuffer();
        third = owner.CreateBackBuffer();
        ReleaseDC(window, again);
        owner.Attach(second, true);
        owner.Attach(third, true);
        EXPECT_FALSE(IsLiveObject(second));
        EXPECT_TRUE(IsLiveObject(third));
    }
    EXPECT_FALSE(IsLiveObject(third));
    const GdiTally after = CurrentGdiTally();
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);
}

// Painting, back buffers and captures a thousand times leave no object
// behind and release nothing twice.
TEST_F(WindowFixture, AThousandRoundsReleaseEveryObjectExactlyOnce) {
    HBITMAP sample = MakeBitmap(4, 4, Sample);
    FontDescription font("Tahoma", 14);
    Canvas canvas(60, 40);
    font.GetFont();
    const GdiTally before = CurrentGdiTally();
    for (int round = 0; round < 1000; ++round) {
        HDC windowContext = GetDC(window);
        Drawing surface;
        surface.Attach(windowContext, false);
        HDC buffer = surface.CreateBackBuffer();
        {
            Drawing offScreen;
            offScreen.Attach(buffer, true);
            offScreen.FillRect(0, 0, 120, 80, 0, 0, kWhite);
            offScreen.FillRect(5, 5, 20, 10, 1, kBlack, kRed);
            offScreen.FrameRect(1, 1, 50, 30, 2, kBlue);
            offScreen.DrawText(2, 2, 100, 20, std::wstring(L"propriet\u00E0"), kBlack, &font, 2);
            FontDescription passing("Tahoma", 12);
            offScreen.DrawText(2, 30, 0, 0, std::string("gi\xE0"), kBlack, &passing, 0);
            offScreen.TextHeight(&passing);
            offScreen.DrawBitmap(sample, 30, 30, 8, 8);
            offScreen.DrawBitmapTransparent(sample, 40, 30, 0, 0);
            offScreen.BlitBitmapAt(sample, 60);
            HBITMAP picture = offScreen.CaptureRegion(0, 0, 120, 80);
            offScreen.End();
            surface.DrawBitmap(picture, 0, 0, 120, 80);
            Drawing::ReleaseBitmap(picture);
        }
        surface.End();
        ReleaseDC(window, windowContext);

        Drawing onCanvas;
        onCanvas.Attach(canvas.dc, false);
        Drawing::ReleaseBitmap(onCanvas.CaptureRegion(0, 0, 60, 40));
        HDC unused = onCanvas.CreateBackBuffer();
        Drawing::ReleaseBackBuffer(unused);
    }
    const GdiTally after = CurrentGdiTally();
    EXPECT_GT(after.created - before.created, 10000) << "the rounds did make objects";
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);
    DeleteObject(sample);
}

// ---- Painting a window through its element -----------------------------

class PaintedElement : public GUIElement {
public:
    PaintedElement() : GUIElement(nullptr) {}
    void Create() override {}
};

PaintedElement* paintedElement = nullptr;
int paintCount = 0;

LRESULT CALLBACK PaintingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && paintedElement) {
        ++paintCount;
        // Composed off screen, kept as a picture and copied to the window,
        // as the chart's ruler paints.
        Drawing surface;
        surface.Begin(paintedElement);
        Drawing offScreen;
        offScreen.Attach(surface.CreateBackBuffer(), true);
        offScreen.FillRect(0, 0, 200, 100, 0, 0, kBlue);
        offScreen.FillRect(20, 20, 40, 30, 0, 0, kRed);
        FontDescription font("Tahoma", 14);
        offScreen.DrawText(70, 20, 120, 20, std::wstring(L"propriet\u00E0"), kWhite, &font, 0);
        HBITMAP picture = offScreen.CaptureRegion(0, 0, 200, 100);
        offScreen.End();
        surface.DrawBitmap(picture, 0, 0, 200, 100);
        surface.End();
        Drawing::ReleaseBitmap(picture);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(DrawingSurface, BeginAndEndPaintTheElementsWindow) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PaintingProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"DrawingTestPainted";
    RegisterClassW(&windowClass);
    PaintedElement element;
    paintedElement = &element;
    element.window = CreateWindowExW(WS_EX_TOPMOST, L"DrawingTestPainted", L"", WS_POPUP | WS_VISIBLE, 300, 200, 200,
                                     100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(element.window, nullptr);
    UpdateWindow(element.window);
    MSG msg;
    for (int i = 0; i < 50; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(10);
    }
    EXPECT_GE(paintCount, 1);
    RECT pending{};
    EXPECT_FALSE(GetUpdateRect(element.window, &pending, FALSE)) << "EndPaint validated the window";

    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, 300 + 30, 200 + 30), kRed);
    EXPECT_EQ(GetPixel(screen, 300 + 100, 200 + 80), kBlue);
    ReleaseDC(nullptr, screen);

    // A thousand more paints leave no object behind.
    const GdiTally before = CurrentGdiTally();
    const int paintsBefore = paintCount;
    for (int round = 0; round < 1000; ++round) {
        RedrawWindow(element.window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    const GdiTally after = CurrentGdiTally();
    EXPECT_EQ(paintCount - paintsBefore, 1000);
    EXPECT_GT(after.created - before.created, 4000);
    EXPECT_EQ(after.Held(), before.Held());
    EXPECT_EQ(after.failedReleases, before.failedReleases);

    DestroyWindow(element.window);
    paintedElement = nullptr;
}

// ---- Bitmap files ---------------------------------------------------------

class BitmapFileTest : public TempFolderTest {
protected:
    BitmapFileTest() : TempFolderTest("velmora-draw-") {}
};

// Every pixel different: red from x, green from y, blue from both.
COLORREF Gradient(int x, int y) { return RGB(x * 30 + 5, y * 40 + 7, (x * 7 + y * 13) & 0xFF); }

TEST_F(BitmapFileTest, SavedBitmapReadsBackPixelByPixel) {
    const int w = 7, h = 5;  // 21 bytes a row: 3 bytes of padding
    HBITMAP picture = MakeBitmap(w, h, Gradient);
    const std::string path = PathOf("disegno.bmp");
    ASSERT_TRUE(SaveBitmapFile(path, picture));

    const auto bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 54u + 5 * 24);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[18], w);
    EXPECT_EQ(bytes[22], h);
    EXPECT_EQ(bytes[28], 24);
    for (int y = 0; y < h; ++y) {
        const std::size_t rowStart = 54 + static_cast<std::size_t>(h - 1 - y) * 24;
        for (int x = 0; x < w; ++x) {
            const COLORREF painted = PixelOf(picture, x, y);
            ASSERT_EQ(painted, Gradient(x, y));
            const std::size_t at = rowStart + static_cast<std::size_t>(x) * 3;
            EXPECT_EQ(RGB(bytes[at + 2], bytes[at + 1], bytes[at]), painted) << x << "," << y;
        }
    }

    // And the platform reads the file as the same picture.
    Canvas canvas(1, 1);
    Drawing surface;
    surface.Attach(canvas.dc, false);
    HBITMAP loaded = surface.LoadBitmapFile(path);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(SizeOf(loaded).cx, w);
    EXPECT_EQ(SizeOf(loaded).cy, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) EXPECT_EQ(PixelOf(loaded, x, y), Gradient(x, y)) << x << "," << y;
    Drawing::ReleaseBitmap(loaded);
    EXPECT_EQ(surface.LoadBitmapFile(PathOf("missing.bmp")), nullptr);
    surface.End();
    DeleteObject(picture);
}

// A picture drawn band by band, with shapes across the bands' edges and a
// last band shorter than the others, is the picture drawn whole, as a
// bitmap file and as a PNG file.
TEST_F(BitmapFileTest, PictureWrittenInBandsIsThePictureDrawnWhole) {
    const int w = 13, h = 23;  // 39 bytes a row: 1 byte of padding
    const auto paint = [](HDC context, int, int) {
        Drawing surface;
        surface.Attach(context, false);
        surface.FillRect(0, 0, 13, 23, 0, 0, kWhite);
        surface.FillRect(2, 3, 6, 15, 1, kBlack, kRed);  // over several bands
        surface.FillRect(9, 0, 3, 23, 0, 0, kBlue);      // over all of them
        surface.End();
    };
    const auto expected = [](int x, int y) {
        if (x >= 9 && x < 12) return kBlue;
        if (x >= 2 && x < 8 && y >= 3 && y < 18) return x == 2 || x == 7 || y == 3 || y == 17 ? kBlack : kRed;
        return kWhite;
    };
    const std::string path = PathOf("fasce.bmp");
    const GdiTally before = CurrentGdiTally();
    int bands = 0;
    ASSERT_TRUE(WriteBitmapInBands(
        path, w, h,
        [&](HDC context, int top, int bottom) {
            ++bands;
            EXPECT_EQ(bottom - top, bands < 5 ? 5 : 3) << "five-row bands from the bottom up";
            paint(context, top, bottom);
        },
        5 * 40));
    EXPECT_EQ(bands, 5);
    EXPECT_EQ(CurrentGdiTally().Held(), before.Held());

    const auto bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), 54u + h * 40);
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 54 + h * 40);
    EXPECT_EQ(bytes[18], w);
    EXPECT_EQ(bytes[22], h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t at = 54 + static_cast<std::size_t>(h - 1 - y) * 40 + static_cast<std::size_t>(x) * 3;
            ASSERT_EQ(RGB(bytes[at + 2], bytes[at + 1], bytes[at]), expected(x, y)) << x << "," << y;
        }
    }

    // The same picture as PNG, in five-row bands from the top down.
    std::vector<int> heights;
    ASSERT_TRUE(WritePngInBands(
        PathOf("fasce.png"), w, h,
        [&](HDC context, int top, int bottom) {
            heights.push_back(bottom - top);
            paint(context, top, bottom);
        },
        5 * 40));
    EXPECT_EQ(heights, (std::vector<int>{5, 5, 5, 5, 3}));
    EXPECT_EQ(CurrentGdiTally().Held(), before.Held());
    const drv::Image png = drv::LoadPng(fs::path(PathOf("fasce.png")).wstring());
    ASSERT_EQ(png.width, w) << drv::LastErrorUtf8();
    ASSERT_EQ(png.height, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(png.At(x, y), expected(x, y)) << x << "," << y;

    // A picture beyond the format's 4 GiB is refused before anything is drawn.
    bands = 0;
    EXPECT_FALSE(WriteBitmapInBands(PathOf("enorme.bmp"), 40000, 40000, [&](HDC, int, int) { ++bands; }));
    EXPECT_EQ(bands, 0);
    EXPECT_FALSE(fs::exists(PathOf("enorme.bmp")));
}

TEST_F(BitmapFileTest, FailuresAnswerFalseAndKeepTheExistingFile) {
    const std::string path = PathOf("chart.bmp");
    {
        std::ofstream out(path, std::ios::binary);
        out << "earlier export";
    }
    HBITMAP gone = MakeBitmap(3, 3, Gradient);
    DeleteObject(gone);
    EXPECT_FALSE(SaveBitmapFile(path, gone));
    EXPECT_FALSE(SaveBitmapFile(path, nullptr));
    HBITMAP picture = MakeBitmap(3, 3, Gradient);
    EXPECT_FALSE(SaveBitmapFile(PathOf("no-such-folder\\chart.bmp"), picture));
    const auto kept = ReadAll(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "earlier export");

    // A read-only file of that name is not replaced, and stays whole.
    SetFileAttributesW(fs::path(path).wstring().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveBitmapFile(path, picture));
    const auto still = ReadAll(path);
    EXPECT_EQ(std::string(still.begin(), still.end()), "earlier export");
    SetFileAttributesW(fs::path(path).wstring().c_str(), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(SaveBitmapFile(path, picture)) << "a writable file is replaced";
    EXPECT_EQ(ReadAll(path).size(), 54u + 3 * 12);
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
    DeleteObject(picture);
}

}  // namespace
