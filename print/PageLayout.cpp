#include "print/PageLayout.h"

#include <algorithm>

namespace MyApp {

namespace {

constexpr std::int64_t UnitsPerInch = 96;

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The lines of a CR LF text (a lone LF ends a line too); a line break at the
// very end opens no further line.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstring line;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (c == L'\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty() || lines.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

std::int64_t UnitsToPixels(std::int64_t units, int dpi) { return dpi > 0 ? FloorDiv(units * dpi, UnitsPerInch) : 0; }

std::int64_t PixelsToUnits(std::int64_t pixels, int dpi) { return dpi > 0 ? FloorDiv(pixels * UnitsPerInch, dpi) : 0; }

ChartPages LayOutChart(std::int64_t days, std::int64_t tasks, ChartScale scale, std::int64_t pageWidth,
                       std::int64_t pageHeight, const ChartGeometry& geometry) {
    ChartPages pages;
    pages.days = std::max<std::int64_t>(0, days);
    pages.tasks = std::max<std::int64_t>(0, tasks);
    const std::int64_t width = std::max<std::int64_t>(1, pageWidth);
    const std::int64_t dayWidth = std::max<std::int64_t>(1, geometry.dayWidth);

    if (scale == ChartScale::FitWidth) {
        pages.daysPerPage = std::max<std::int64_t>(1, pages.days);
        pages.columnWidth = width;
        pages.columnDivisor = pages.daysPerPage;
    } else {
        pages.daysPerPage = std::max<std::int64_t>(1, width / dayWidth);
        pages.columnWidth = dayWidth;
        pages.columnDivisor = 1;
    }
    pages.across = std::max<std::int64_t>(1, CeilDiv(pages.days, pages.daysPerPage));

    // Bars fit while the last one ends on the page.
    const std::int64_t room = pageHeight - geometry.BarTop(0) - geometry.barHeight;
    const std::int64_t pitch = std::max<std::int64_t>(1, geometry.rowPitch);
    pages.tasksPerPage = room < 0 ? 1 : room / pitch + 1;
    pages.down = std::max<std::int64_t>(1, CeilDiv(pages.tasks, pages.tasksPerPage));
    return pages;
}

ChartPage ChartPageAt(const ChartPages& pages, std::int64_t index) {
    index = std::max<std::int64_t>(0, std::min(index, pages.PageCount() - 1));
    ChartPage page;
    page.row = index / pages.across + 1;
    page.column = index % pages.across + 1;
    page.firstDay = (page.column - 1) * pages.daysPerPage;
    page.dayCount = std::max<std::int64_t>(0, std::min(pages.daysPerPage, pages.days - page.firstDay));
    page.firstTask = (page.row - 1) * pages.tasksPerPage;
    page.taskCount = std::max<std::int64_t>(0, std::min(pages.tasksPerPage, pages.tasks - page.firstTask));
    return page;
}

std::wstring PageLabel(std::int64_t index, std::int64_t count) {
    count = std::max<std::int64_t>(1, count);
    index = std::max<std::int64_t>(0, std::min(index, count - 1));
    return L"Pagina " + std::to_wstring(index + 1) + L" di " + std::to_wstring(count);
}

std::wstring ChartPageLabel(const ChartPages& pages, std::int64_t index) {
    const ChartPage page = ChartPageAt(pages, index);
    const std::int64_t number = (page.row - 1) * pages.across + page.column - 1;
    std::wstring label = PageLabel(number, pages.PageCount());
    if (pages.across > 1)
        label += L" (riga " + std::to_wstring(page.row) + L", colonna " + std::to_wstring(page.column) + L")";
    return label;
}

std::vector<std::vector<std::wstring>> LayOutReport(const std::wstring& text, std::int64_t linesPerPage,
                                                    std::int64_t firstPageLines, std::int64_t lineWidth) {
    const size_t perPage = static_cast<size_t>(std::max<std::int64_t>(1, linesPerPage));
    const size_t onFirst = static_cast<size_t>(std::max<std::int64_t>(1, firstPageLines));
    const size_t width = static_cast<size_t>(std::max<std::int64_t>(1, lineWidth));

    // Printed lines, grouped in blocks that each begin at an empty line.
    std::vector<std::vector<std::wstring>> blocks;
    for (const std::wstring& line : SplitLines(text)) {
        if (line.empty() || blocks.empty()) blocks.emplace_back();
        std::vector<std::wstring>& block = blocks.back();
        if (line.empty()) block.emplace_back();
        for (size_t at = 0; at < line.size(); at += width) block.push_back(line.substr(at, width));
    }

    std::vector<std::vector<std::wstring>> pages(1);
    auto capacity = [&] { return pages.size() == 1 ? onFirst : perPage; };
    for (const std::vector<std::wstring>& block : blocks) {
        const size_t left = capacity() - std::min(capacity(), pages.back().size());
        if (block.size() > left && !pages.back().empty() && block.size() <= perPage) pages.emplace_back();
        for (const std::wstring& line : block) {
            if (pages.back().size() >= capacity()) pages.emplace_back();
            pages.back().push_back(line);
        }
    }
    return pages;
}

}  // namespace MyApp
