// What the program prints: the Gantt chart and the cost report, each drawn
// page by page on any device context. The printer and the preview window
// draw through the same code; only the surface differs.
//
// A document holds a copy of what it shows, taken when it is made: printing
// reads the project and never changes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "model/Project.h"
#include "print/PageLayout.h"

namespace MyApp {

// What the user chose to print.
enum class PrintContent { Chart = 0, CostReport = 1, CashFlow = 2 };

// A sheet of paper as a device shows it, in device pixels.
struct PageFormat {
    int dpiX = 96;
    int dpiY = 96;
    int paperWidth = 0;  // the whole sheet
    int paperHeight = 0;
    int printableLeft = 0;  // where the device can print, from the sheet's corner
    int printableTop = 0;
    int printableWidth = 0;
    int printableHeight = 0;

    // The format of the device behind the context (a printer's).
    static PageFormat Of(HDC context);
    bool Usable() const { return dpiX > 0 && dpiY > 0 && printableWidth > 0 && printableHeight > 0; }
    // The part of the sheet inside the margins, from the sheet's corner, in
    // device pixels; the margins are kept however little the device leaves
    // unprinted.
    RECT Content() const;
    // The same in units of 1/96 inch (what pages are laid out in).
    std::int64_t ContentWidthUnits() const;
    std::int64_t ContentHeightUnits() const;
    // The whole sheet in pixels at `pixelsPerInch`.
    SIZE SheetSize(int pixelsPerInch) const;
};

// Where a page is drawn: a context, its resolution and the content area in
// the context's coordinates.
struct PageSurface {
    HDC context = nullptr;
    int dpiX = 96;
    int dpiY = 96;
    RECT content{};

    // Lengths in units of 1/96 inch as device pixels.
    int X(double units) const;
    int Y(double units) const;
};

class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    // The print job's name.
    virtual std::wstring Title() const = 0;
    // The chart is printed across the sheet.
    virtual bool Landscape() const = 0;
    // Cuts the document into pages whose content areas are width x height
    // units; answers the number of pages.
    virtual std::int64_t Paginate(std::int64_t width, std::int64_t height) = 0;
    virtual std::int64_t PageCount() const = 0;
    // The page's number as its header shows it ("Pagina 2 di 3").
    virtual std::wstring PageLabel(std::int64_t index) const = 0;
    // Draws the page (0-based) of the last pagination.
    virtual void DrawPage(const PageSurface& surface, std::int64_t index) = 0;
};

// The page (0-based) on a white, framed sheet of the format as the screen
// shows it, `pixelsPerInch` pixels to the inch of paper. A sheet shown
// smaller than its real size is drawn larger and reduced: fonts a few pixels
// high neither measure nor draw in proportion to paper, so a name that fits
// its bar on paper would be cut there. Answers a bitmap for the caller to
// release, or none when there is no memory for it (or the format is unusable).
HBITMAP DrawSheet(PrintDocument& document, const PageFormat& format, std::int64_t index, int pixelsPerInch);

// The chart at the given scale, or the cost report; `printingDate` is shown
// in every page's header.
std::unique_ptr<PrintDocument> MakePrintDocument(const Project& project, PrintContent content, ChartScale scale,
                                                 const std::wstring& printingDate);

}  // namespace MyApp
