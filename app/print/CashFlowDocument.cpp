#include "app/print/CashFlowDocument.h"

#include <algorithm>

#include "app/chart/CashFlowCells.h"
#include "app/chart/CashFlowChart.h"
#include "app/res/AppInfo.h"
#include "app/settings/CashFlowPeriod.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

// Measures on paper, in units of 1/96 inch.
constexpr std::int64_t HeaderHeight = 40;  // the title, the date and the page's number, and a rule
constexpr std::int64_t ChartHeight = 340;
constexpr std::int64_t ChartGap = 20;
constexpr std::int64_t RowPitch = 18;
constexpr int TitleFontHeight = 16;
constexpr int TextFontHeight = 12;
// The columns' shares of the width, from the period's name to the share.
constexpr double ColumnShares[CashFlowColumns] = {0.30, 0.15, 0.20, 0.20, 0.15};

constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Rule = RGB(160, 160, 160);

class CashFlowDocument : public PrintDocument {
public:
    CashFlowDocument(const Project& project, const std::wstring& printingDate)
        : table_(MakeCashFlowTable(project, LoadCashFlowPeriod())),
          title_(L"Flusso di cassa - " + QVUtility::Widen(project.description)),
          date_(printingDate) {}

    std::wstring Title() const override { return std::wstring(ProductName) + L" - " + title_; }
    bool Landscape() const override { return false; }

    // The first page holds the chart and the rows under it; the others
    // hold rows only. Each page repeats the column titles.
    std::int64_t Paginate(std::int64_t, std::int64_t height) override {
        const std::int64_t lines = table_.rows.size() + 1;
        const std::int64_t firstRows = std::max<std::int64_t>(1, (height - HeaderHeight - ChartHeight - ChartGap) / RowPitch - 1);
        const std::int64_t laterRows = std::max<std::int64_t>(1, (height - HeaderHeight) / RowPitch - 1);
        firstRows_ = firstRows;
        laterRows_ = laterRows;
        pages_ = 1 + (lines > firstRows ? (lines - firstRows + laterRows - 1) / laterRows : 0);
        return pages_;
    }
    std::int64_t PageCount() const override { return pages_; }
    std::wstring PageLabel(std::int64_t index) const override { return MyApp::PageLabel(index, pages_); }

    void DrawPage(const PageSurface& surface, std::int64_t index) override {
        index = std::clamp<std::int64_t>(index, 0, pages_ - 1);
        const RECT& c = surface.content;
        const int width = c.right - c.left;
        QVUtility::Drawing drawing;
        drawing.Attach(surface.context, false);
        QVUtility::FontDescription titleFont(std::wstring(L"Arial"), surface.Y(TitleFontHeight));
        titleFont.bold = true;
        QVUtility::FontDescription textFont(std::wstring(L"Arial"), surface.Y(TextFontHeight));
        QVUtility::FontDescription boldFont = textFont;
        boldFont.bold = true;
        const int rule = std::max(1, surface.Y(1));
        drawing.DrawText(c.left, c.top, width * 2 / 3, surface.Y(24), title_, Black, &titleFont, 0, true);
        drawing.DrawText(c.left, c.top + surface.Y(8), width, surface.Y(16), date_ + L"    " + PageLabel(index), Black,
                         &textFont, 1, true);
        drawing.FillRect(c.left, c.top + surface.Y(28), width, rule, 0, Black, Black);

        int top = c.top + surface.Y(HeaderHeight);
        std::int64_t first = 0;
        std::int64_t count = firstRows_;
        if (index == 0) {
            DrawCashFlowChart(surface.context, RECT{c.left, top, c.right, top + surface.Y(ChartHeight)}, table_,
                              CashFlowColours::Own(), surface.dpiY / 96.0);
            top += surface.Y(ChartHeight + ChartGap);
        } else {
            first = firstRows_ + (index - 1) * laterRows_;
            count = laterRows_;
        }
        const auto row = [&](int y, const auto& cell, QVUtility::FontDescription* font) {
            int x = c.left;
            for (int column = 0; column < CashFlowColumns; ++column) {
                const int columnWidth = static_cast<int>(width * ColumnShares[column]);
                const int pad = surface.X(4);
                drawing.DrawText(x + pad, y, columnWidth - 2 * pad, surface.Y(RowPitch), cell(column), Black, font,
                                 column == 0 ? 0 : 1, true);
                x += columnWidth;
            }
            drawing.FillRect(c.left, y + surface.Y(RowPitch) - rule, width, rule, 0, Rule, Rule);
        };
        row(top, [](int column) { return std::wstring(CashFlowColumnTitle(column)); }, &boldFont);
        const std::int64_t end = std::min<std::int64_t>(first + count, table_.rows.size() + 1);
        for (std::int64_t line = first; line < end; ++line) {
            top += surface.Y(RowPitch);
            const bool total = line == static_cast<std::int64_t>(table_.rows.size());
            row(top, [&](int column) { return CashFlowCell(table_, static_cast<std::size_t>(line), column); },
                total ? &boldFont : &textFont);
        }
        drawing.End();
    }

private:
    CashFlowTable table_;
    std::wstring title_;
    std::wstring date_;
    std::int64_t pages_ = 1;
    std::int64_t firstRows_ = 1;
    std::int64_t laterRows_ = 1;
};

}  // namespace

std::unique_ptr<PrintDocument> MakeCashFlowDocument(const Project& project, const std::wstring& printingDate) {
    return std::make_unique<CashFlowDocument>(project, printingDate);
}

}  // namespace MyApp
