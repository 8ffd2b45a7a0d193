#include "app/print/PrintDocument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/print/CashFlowDocument.h"
#include "app/res/AppInfo.h"
#include "model/CostReport.h"
#include "model/FormatAmount.h"
#include "model/WorkingDays.h"
#include "print/BarLabel.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/TimeLine.h"

namespace MyApp {

namespace {

constexpr double UnitsPerInch = 96.0;
constexpr double Margin = 38.0;  // 1 cm from the edge of the sheet

constexpr COLORREF Black = RGB(0, 0, 0);

// A sheet shown with fewer pixels to the inch than a 96-DPI screen has is
// drawn with 192 or more and then reduced.
constexpr int RealSizePixelsPerInch = 96;
constexpr int ReducedFromPixelsPerInch = 192;
constexpr COLORREF SheetEdge = RGB(64, 64, 64);

// The page header, in units: the description on the left, the printing
// date and the page number on the right, a rule under both.
constexpr double HeaderTextHeight = 24.0;
constexpr double HeaderRule = 28.0;
constexpr int TitleFontHeight = 18;
constexpr int SmallFontHeight = 12;

// The chart's fonts, as on the screen.
constexpr int RulerFontHeight = 14;
constexpr int BarFontHeight = 14;

// The cost report: a fixed-pitch font and its line pitch.
constexpr int ReportFontHeight = 14;
constexpr std::int64_t ReportLinePitch = 16;
constexpr std::int64_t ReportHeaderHeight = 40;
constexpr std::int64_t ReportTotalLines = 2;  // the total and an empty line, on the first page

std::wstring ProductTitle(const Project& project) {
    return std::wstring(ProductName) + L" - " + QVUtility::Widen(project.description);
}

void DrawHeader(const PageSurface& surface, QVUtility::Drawing& drawing, const std::string& description,
                const std::wstring& rightText) {
    const RECT& c = surface.content;
    const int width = c.right - c.left;
    QVUtility::FontDescription titleFont(std::wstring(L"Arial"), surface.Y(TitleFontHeight));
    titleFont.bold = true;
    QVUtility::FontDescription smallFont(std::wstring(L"Arial"), surface.Y(SmallFontHeight));
    drawing.DrawText(c.left, c.top + surface.Y(HeaderTextHeight - SmallFontHeight - 4), width,
                     surface.Y(SmallFontHeight + 4), rightText, Black, &smallFont, 1, true);
    // The description leaves room for the date and the page number.
    SIZE right{};
    {
        const QVUtility::ScopedSelect fontIn(surface.context, smallFont.GetFont());
        GetTextExtentPoint32W(surface.context, rightText.c_str(), static_cast<int>(rightText.size()), &right);
    }
    const int room = std::max(0, width - static_cast<int>(right.cx) - surface.X(20));
    drawing.DrawText(c.left, c.top, room, surface.Y(HeaderTextHeight), QVUtility::Widen(description), Black, &titleFont,
                     0, true);
    drawing.FillRect(c.left, c.top + surface.Y(HeaderRule), width, std::max(1, surface.Y(1)), 0, Black, Black);
}

// ---- The chart ------------------------------------------------------------------

class ChartDocument : public PrintDocument {
public:
    ChartDocument(const Project& project, ChartScale scale, const std::wstring& printingDate)
        : project_(project), scale_(scale), date_(printingDate) {
        const std::int64_t n = DaysUntil(project_.start, project_.end);
        days_ = project_.start.invalid || n < 0 ? 0 : n + 1;
    }

    std::wstring Title() const override { return ProductTitle(project_); }
    bool Landscape() const override { return true; }

    std::int64_t Paginate(std::int64_t width, std::int64_t height) override {
        pages_ = LayOutChart(days_, static_cast<std::int64_t>(project_.tasks.size()), scale_, width, height, geometry_);
        return pages_.PageCount();
    }

    std::int64_t PageCount() const override { return pages_.PageCount(); }

    std::wstring PageLabel(std::int64_t index) const override { return ChartPageLabel(pages_, index); }

    void DrawPage(const PageSurface& surface, std::int64_t index) override {
        const ChartPage page = ChartPageAt(pages_, index);
        QVUtility::Drawing drawing;
        drawing.Attach(surface.context, false);
        DrawHeader(surface, drawing, project_.description, date_ + L"    " + PageLabel(index));

        const RECT& c = surface.content;
        const int rulerTop = c.top + surface.Y(static_cast<double>(geometry_.headerHeight));
        // Ruler x of a day column in device pixels, from the span's first day.
        const std::int64_t columnWidth = pages_.columnWidth * surface.dpiX;
        const std::int64_t columnDivisor = pages_.columnDivisor * static_cast<std::int64_t>(UnitsPerInch);
        auto columnX = [&](std::int64_t column) { return column * columnWidth / columnDivisor; };
        const std::int64_t pageLeft = columnX(page.firstDay);
        const std::int64_t pageRight = columnX(page.firstDay + page.dayCount);

        QVUtility::FontDescription rulerFont(std::wstring(L"Tahoma"), surface.Y(RulerFontHeight));
        const WorkingDayCalendar calendar(project_);
        QVUtility::RulerRows rows;
        rows.spanStart = project_.start;
        rows.spanEnd = project_.end;
        rows.calendar = days_ > 0 ? &calendar : nullptr;
        rows.columnWidth = columnWidth;
        rows.columnDivisor = columnDivisor;
        rows.pictureWidth = pageRight;
        rows.rowHeight = surface.Y(static_cast<double>(geometry_.rulerRowHeight));
        rows.bottom = rulerTop + 3 * rows.rowHeight + 3;
        rows.font = &rulerFont;
        rows.cutAtEdges = true;
        rows.fittedLabels = true;
        QVUtility::PaintRulerRows(surface.context, rows, pageLeft - c.left, pageLeft,
                                  std::max(pageRight, pageLeft + 1));

        QVUtility::FontDescription barFont(std::wstring(L"Tahoma"), surface.Y(BarFontHeight));
        const QVUtility::ScopedSelect fontIn(surface.context, barFont.GetFont());
        const TextWidth textWidth = [&](const std::wstring& text) {
            SIZE extent{};
            GetTextExtentPoint32W(surface.context, text.c_str(), static_cast<int>(text.size()), &extent);
            return static_cast<std::int64_t>(extent.cx);
        };
        for (std::int64_t k = 0; k < page.taskCount; ++k) {
            const Task& task = project_.tasks[static_cast<size_t>(page.firstTask + k)];
            const std::int64_t first = DaysUntil(project_.start, task.start);
            const std::int64_t last = first + std::max<std::int64_t>(0, DaysUntil(task.start, task.end) + 1);
            const std::int64_t from = std::max(first, page.firstDay);
            const std::int64_t to = std::min(last, page.firstDay + page.dayCount);
            if (to <= from) continue;  // the task has no day on this page
            const int left = static_cast<int>(c.left + columnX(from) - pageLeft);
            const int right = static_cast<int>(c.left + columnX(to) - pageLeft);
            // The bar lies within the page's content however the device rounds.
            const int top = c.top + static_cast<int>(UnitsToPixels(geometry_.BarTop(k), surface.dpiY));
            const int bottom =
                c.top + static_cast<int>(UnitsToPixels(geometry_.BarTop(k) + geometry_.barHeight, surface.dpiY));
            drawing.FillRect(left, top, right - left, bottom - top, 1, Black, task.colour);

            const BarLabel label = PlaceBarLabel(QVUtility::Widen(task.description), left, right, c.left, c.right,
                                                 surface.X(4), textWidth);
            if (label.place == LabelPlace::None) continue;
            const bool inside = label.place == LabelPlace::Inside;
            const int textTop = top + std::max(0, (bottom - top - surface.Y(BarFontHeight)) / 2);
            drawing.DrawText(static_cast<int>(label.left), textTop, static_cast<int>(label.right - label.left),
                             bottom - top, label.text, inside ? BarTextColour(task.colour) : Black, &barFont,
                             inside ? 2 : 0, true);
        }
        drawing.End();
    }

private:
    Project project_;
    ChartScale scale_;
    std::wstring date_;
    std::int64_t days_ = 0;
    ChartGeometry geometry_;
    ChartPages pages_;
};

// ---- The cost report ------------------------------------------------------------------

class CostDocument : public PrintDocument {
public:
    CostDocument(const Project& project, const std::wstring& printingDate)
        : description_(project.description), title_(ProductTitle(project)), date_(printingDate) {
        std::string text;
        Money total;
        BuildCostReport(project, text, total);
        text_ = QVUtility::Widen(text);
        totalLine_ = L"Costo del progetto: " + QVUtility::Widen(FormatAmount(total));
    }

    std::wstring Title() const override { return title_; }
    bool Landscape() const override { return false; }

    std::int64_t Paginate(std::int64_t width, std::int64_t height) override {
        const std::int64_t lines = std::max<std::int64_t>(1, (height - ReportHeaderHeight) / ReportLinePitch);
        const double character = CharacterWidth();
        const auto perLine = static_cast<std::int64_t>(std::floor(static_cast<double>(width) / character));
        pages_ = LayOutReport(text_, lines, lines - ReportTotalLines, perLine);
        return static_cast<std::int64_t>(pages_.size());
    }

    std::int64_t PageCount() const override { return static_cast<std::int64_t>(pages_.size()); }

    std::wstring PageLabel(std::int64_t index) const override { return MyApp::PageLabel(index, PageCount()); }

    void DrawPage(const PageSurface& surface, std::int64_t index) override {
        if (pages_.empty()) return;
        index = std::max<std::int64_t>(0, std::min(index, PageCount() - 1));
        QVUtility::Drawing drawing;
        drawing.Attach(surface.context, false);
        DrawHeader(surface, drawing, description_, date_ + L"    " + PageLabel(index));

        const RECT& c = surface.content;
        const int width = c.right - c.left;
        QVUtility::FontDescription font = ReportFont(surface.Y(ReportFontHeight));
        QVUtility::FontDescription bold = font;
        bold.bold = true;
        std::int64_t line = 0;
        auto lineTop = [&](std::int64_t n) {
            return c.top + surface.Y(static_cast<double>(ReportHeaderHeight + n * ReportLinePitch));
        };
        if (index == 0) {
            drawing.DrawText(c.left, lineTop(0), width, surface.Y(ReportLinePitch), totalLine_, Black, &bold, 0, true);
            line = ReportTotalLines;
        }
        for (const std::wstring& text : pages_[static_cast<size_t>(index)]) {
            if (!text.empty())
                drawing.DrawText(c.left, lineTop(line), width, surface.Y(ReportLinePitch), text, Black, &font, 0, true);
            ++line;
        }
        drawing.End();
    }

private:
    std::string description_;
    std::wstring title_;
    std::wstring date_;
    std::wstring text_;
    std::wstring totalLine_;
    std::vector<std::vector<std::wstring>> pages_;

    static QVUtility::FontDescription ReportFont(int height) {
        QVUtility::FontDescription font(std::wstring(L"Courier New"), height);
        font.fixedPitch = true;
        return font;
    }

    // Width of a character of the report's font in units, measured on a
    // large copy of the font so that every device lays the lines out alike;
    // a little is added for devices that round the font up.
    static double CharacterWidth() {
        constexpr int Magnify = 10;
        double width = ReportFontHeight * 0.6;
        const QVUtility::ScreenContext screen;
        if (screen) {
            QVUtility::FontDescription font = ReportFont(ReportFontHeight * Magnify);
            const QVUtility::ScopedSelect fontIn(screen.Get(), font.GetFont());
            SIZE extent{};
            if (GetTextExtentPoint32W(screen.Get(), L"MMMMMMMMMM", 10, &extent) && extent.cx > 0)
                width = static_cast<double>(extent.cx) / (10.0 * Magnify);
        }
        return width * 1.05;
    }
};

// ---- Pictures of sheets ---------------------------------------------------------------

// A 32-bit picture, top row first, whose pixels are read and written here.
struct Pixels {
    QVUtility::GdiObject<HBITMAP> bitmap;
    std::uint32_t* bits = nullptr;
    int width = 0;
    int height = 0;

    Pixels(HDC context, int pictureWidth, int pictureHeight) {
        if (pictureWidth <= 0 || pictureHeight <= 0) return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = pictureWidth;
        info.bmiHeader.biHeight = -pictureHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* data = nullptr;
        bitmap.Reset(CreateDIBSection(context, &info, DIB_RGB_COLORS, &data, nullptr, 0));
        if (!bitmap || data == nullptr) return;
        bits = static_cast<std::uint32_t*>(data);
        width = pictureWidth;
        height = pictureHeight;
    }
    explicit operator bool() const { return bits != nullptr; }
};

// The page drawn on a white sheet filling `sheet`, at `pixelsPerInch`.
void DrawOnSheet(PrintDocument& document, const PageFormat& format, std::int64_t index, int pixelsPerInch, HDC context,
                 const Pixels& sheet) {
    const QVUtility::ScopedSelect sheetIn(context, sheet.bitmap.Get());
    QVUtility::Drawing drawing;
    drawing.Attach(context, false);
    drawing.FillRect(0, 0, sheet.width, sheet.height, 0, RGB(255, 255, 255), RGB(255, 255, 255));
    drawing.End();
    const RECT content = format.Content();
    PageSurface surface;
    surface.context = context;
    surface.dpiX = pixelsPerInch;
    surface.dpiY = pixelsPerInch;
    surface.content =
        RECT{MulDiv(content.left, pixelsPerInch, format.dpiX), MulDiv(content.top, pixelsPerInch, format.dpiY),
             MulDiv(content.right, pixelsPerInch, format.dpiX), MulDiv(content.bottom, pixelsPerInch, format.dpiY)};
    const int saved = SaveDC(context);
    IntersectClipRect(context, 0, 0, sheet.width, sheet.height);
    document.DrawPage(surface, index);
    RestoreDC(context, saved);
    GdiFlush();  // the pixels are read next
}

// Each `factor` x `factor` block of `from` averaged into one pixel of `to`.
void Reduce(const Pixels& from, const Pixels& to, int factor) {
    const std::uint32_t count = static_cast<std::uint32_t>(factor) * static_cast<std::uint32_t>(factor);
    for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
            std::uint32_t blue = 0, green = 0, red = 0;
            for (int dy = 0; dy < factor; ++dy) {
                const std::uint32_t* row =
                    from.bits + static_cast<size_t>(y * factor + dy) * static_cast<size_t>(from.width) + x * factor;
                for (int dx = 0; dx < factor; ++dx) {
                    blue += row[dx] & 0xFF;
                    green += (row[dx] >> 8) & 0xFF;
                    red += (row[dx] >> 16) & 0xFF;
                }
            }
            to.bits[static_cast<size_t>(y) * static_cast<size_t>(to.width) + x] =
                ((red + count / 2) / count) << 16 | ((green + count / 2) / count) << 8 | (blue + count / 2) / count;
        }
    }
}

}  // namespace

HBITMAP DrawSheet(PrintDocument& document, const PageFormat& format, std::int64_t index, int pixelsPerInch) {
    const SIZE size = format.SheetSize(pixelsPerInch);
    if (!format.Usable() || pixelsPerInch <= 0 || size.cx <= 0 || size.cy <= 0) return nullptr;
    const QVUtility::ScreenContext screen;
    const QVUtility::MemoryContext memory(screen.Get());
    if (!memory) return nullptr;
    Pixels shown(memory.Get(), size.cx, size.cy);
    if (!shown) return nullptr;

    const int factor =
        pixelsPerInch >= RealSizePixelsPerInch ? 1 : (ReducedFromPixelsPerInch + pixelsPerInch - 1) / pixelsPerInch;
    const Pixels large(memory.Get(), factor > 1 ? size.cx * factor : 0, factor > 1 ? size.cy * factor : 0);
    if (large) {
        DrawOnSheet(document, format, index, pixelsPerInch * factor, memory.Get(), large);
        Reduce(large, shown, factor);
    } else {
        DrawOnSheet(document, format, index, pixelsPerInch, memory.Get(), shown);  // drawn as it is shown
    }
    {
        const QVUtility::ScopedSelect shownIn(memory.Get(), shown.bitmap.Get());
        QVUtility::Drawing drawing;
        drawing.Attach(memory.Get(), false);
        drawing.FrameRect(0, 0, shown.width, shown.height, 1, SheetEdge);
        drawing.End();
    }
    return shown.bitmap.Release();
}

// ---- Formats and surfaces ------------------------------------------------------------

PageFormat PageFormat::Of(HDC context) {
    PageFormat format;
    if (context == nullptr) return format;
    format.dpiX = GetDeviceCaps(context, LOGPIXELSX);
    format.dpiY = GetDeviceCaps(context, LOGPIXELSY);
    format.printableWidth = GetDeviceCaps(context, HORZRES);
    format.printableHeight = GetDeviceCaps(context, VERTRES);
    format.printableLeft = GetDeviceCaps(context, PHYSICALOFFSETX);
    format.printableTop = GetDeviceCaps(context, PHYSICALOFFSETY);
    format.paperWidth = GetDeviceCaps(context, PHYSICALWIDTH);
    format.paperHeight = GetDeviceCaps(context, PHYSICALHEIGHT);
    // A device without a sheet (a display) is all printable area.
    if (format.paperWidth <= 0 || format.paperHeight <= 0) {
        format.printableLeft = format.printableTop = 0;
        format.paperWidth = format.printableWidth;
        format.paperHeight = format.printableHeight;
    }
    return format;
}

RECT PageFormat::Content() const {
    const int marginX = static_cast<int>(std::lround(Margin * dpiX / UnitsPerInch));
    const int marginY = static_cast<int>(std::lround(Margin * dpiY / UnitsPerInch));
    RECT area{};
    area.left = std::max(printableLeft, marginX);
    area.top = std::max(printableTop, marginY);
    area.right = std::min(printableLeft + printableWidth, paperWidth - marginX);
    area.bottom = std::min(printableTop + printableHeight, paperHeight - marginY);
    // A sheet too small for margins is used whole.
    if (area.right <= area.left || area.bottom <= area.top) {
        area = RECT{printableLeft, printableTop, printableLeft + printableWidth, printableTop + printableHeight};
    }
    return area;
}

std::int64_t PageFormat::ContentWidthUnits() const {
    const RECT area = Content();
    return PixelsToUnits(area.right - area.left, dpiX);
}

std::int64_t PageFormat::ContentHeightUnits() const {
    const RECT area = Content();
    return PixelsToUnits(area.bottom - area.top, dpiY);
}

SIZE PageFormat::SheetSize(int pixelsPerInch) const {
    if (dpiX <= 0 || dpiY <= 0) return SIZE{0, 0};
    return SIZE{static_cast<LONG>(std::lround(static_cast<double>(paperWidth) * pixelsPerInch / dpiX)),
                static_cast<LONG>(std::lround(static_cast<double>(paperHeight) * pixelsPerInch / dpiY))};
}

int PageSurface::X(double units) const { return static_cast<int>(std::lround(units * dpiX / UnitsPerInch)); }

int PageSurface::Y(double units) const { return static_cast<int>(std::lround(units * dpiY / UnitsPerInch)); }

std::unique_ptr<PrintDocument> MakePrintDocument(const Project& project, PrintContent content, ChartScale scale,
                                                 const std::wstring& printingDate) {
    if (content == PrintContent::CostReport) return std::make_unique<CostDocument>(project, printingDate);
    if (content == PrintContent::CashFlow) return MakeCashFlowDocument(project, printingDate);
    return std::make_unique<ChartDocument>(project, scale, printingDate);
}

}  // namespace MyApp
