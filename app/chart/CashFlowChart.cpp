#include "app/chart/CashFlowChart.h"

#include <oleacc.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <vector>

#include "model/FormatAmount.h"
#include "toolkit/core/Accessible.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/draw/HighContrast.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/TextConversion.h"

namespace MyApp {

namespace {

// Measures at 96 DPI.
constexpr int FontHeight = 13;
constexpr int Margin = 8;
constexpr int TickLength = 4;
constexpr int LegendBox = 10;
constexpr int CurveWidth = 2;
constexpr int AxisSteps = 5;  // about as many steps up each axis

// A step of 1, 2 or 5 times a power of ten that reaches `largest` in about
// AxisSteps steps; 1 for nothing to show.
double AxisStep(double largest) {
    if (!(largest > 0) || !std::isfinite(largest)) return 1;
    const double rough = largest / AxisSteps;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0})
        if (factor * power >= rough) return factor * power;
    return 10 * power;
}

std::wstring AmountText(double value) { return QVUtility::Widen(FormatAmount(value)); }

// "mese", "trimestre", "settimana": the period's kind inside a sentence.
std::string KindInText(CostPeriod kind) {
    std::string text = PeriodHeading(kind);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The drawing's measures, in the context's pixels.
class Painter {
public:
    Painter(HDC context, double pixelsPerUnit, const CashFlowColours& colours)
        : context_(context), unit_(pixelsPerUnit), colours_(colours),
          font_(std::wstring(L"Tahoma"), -Px(FontHeight)) {}

    int Px(double units) const { return static_cast<int>(std::lround(units * unit_)); }
    int Line() const { return std::max(1, Px(1)); }

    SIZE Measure(const std::wstring& text) {
        SIZE size{};
        const QVUtility::ScopedSelect in(context_, font_.GetFont());
        GetTextExtentPoint32W(context_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    // Text with its reference point at (x, y): `align` TA_LEFT, TA_RIGHT or TA_CENTER, top or baseline.
    void Text(int x, int y, const std::wstring& text, UINT align) {
        const QVUtility::ScopedSelect in(context_, font_.GetFont());
        SetBkMode(context_, TRANSPARENT);
        SetTextColor(context_, colours_.text);
        SetTextAlign(context_, align);
        TextOutW(context_, x, y, text.c_str(), static_cast<int>(text.size()));
        SetTextAlign(context_, TA_LEFT | TA_TOP);
    }

    void Fill(const RECT& box, COLORREF colour) {
        const QVUtility::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        FillRect(context_, &box, brush.Get());
    }

    // A filled box outlined in the text's colour.
    void Box(const RECT& box, COLORREF fill) {
        Fill(box, colours_.text);
        RECT inside = box;
        InflateRect(&inside, -Line(), -Line());
        if (inside.right > inside.left && inside.bottom > inside.top) Fill(inside, fill);
    }

    void Lines(const std::vector<POINT>& points, COLORREF colour, int width) {
        if (points.size() < 2) return;
        const QVUtility::GdiObject<HPEN> pen(CreatePen(PS_SOLID, width, colour));
        const QVUtility::ScopedSelect in(context_, pen.Get());
        Polyline(context_, points.data(), static_cast<int>(points.size()));
    }

    HDC context_;
    double unit_;
    CashFlowColours colours_;
    QVUtility::FontDescription font_;
};

}  // namespace

CashFlowColours CashFlowColours::Own() {
    return {RGB(255, 255, 255), RGB(0, 0, 0), RGB(210, 210, 210), RGB(86, 140, 200), RGB(214, 72, 24)};
}

CashFlowColours CashFlowColours::OfScreen() {
    if (!QVUtility::HighContrastOn()) return Own();
    return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_GRAYTEXT),
            GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOWTEXT)};
}

void DrawCashFlowChart(HDC context, const RECT& area, const CashFlowTable& table, const CashFlowColours& colours,
                       double pixelsPerUnit) {
    Painter paint(context, pixelsPerUnit, colours);
    paint.Fill(area, colours.background);
    const std::size_t count = table.rows.size();
    double highest = 0;
    for (const CashFlowRow& row : table.rows) highest = std::max(highest, row.period.amount.ToDouble());
    const double total = table.total.ToDouble();
    const double barStep = AxisStep(highest);
    const double curveStep = AxisStep(total);
    const double barTop = barStep * std::max(1.0, std::ceil(highest / barStep));
    const double curveTop = curveStep * std::max(1.0, std::ceil(total / curveStep));
    const int barSteps = static_cast<int>(std::lround(barTop / barStep));
    const int curveSteps = static_cast<int>(std::lround(curveTop / curveStep));

    // The plot between the axes' labels, under the legend and over the periods' names.
    const int textHeight = paint.Measure(L"0").cy;
    const int leftLabels = paint.Measure(AmountText(barTop)).cx;
    const int rightLabels = paint.Measure(AmountText(curveTop)).cx;
    RECT plot{area.left + paint.Px(Margin + TickLength + 2) + leftLabels,
              area.top + paint.Px(2 * Margin) + textHeight * 2,
              area.right - paint.Px(Margin + TickLength + 2) - rightLabels,
              area.bottom - paint.Px(Margin + TickLength) - textHeight};
    if (plot.right - plot.left < paint.Px(20) || plot.bottom - plot.top < paint.Px(20)) return;
    const int plotHeight = plot.bottom - plot.top;
    const auto yOf = [&](double value, double top) {
        return plot.bottom - static_cast<int>(std::lround(value / top * plotHeight));
    };

    // The legend: the bars' colour, then the curve's.
    const std::wstring barName = QVUtility::Widen("Costo per " + KindInText(table.kind) + " (asse sinistro)");
    const std::wstring curveName = L"Costo cumulato (asse destro)";
    int x = plot.left;
    const int legendY = area.top + paint.Px(Margin);
    const int box = paint.Px(LegendBox);
    paint.Box(RECT{x, legendY + (textHeight - box) / 2, x + box, legendY + (textHeight - box) / 2 + box}, colours.bar);
    x += box + paint.Px(4);
    paint.Text(x, legendY, barName, TA_LEFT | TA_TOP);
    x += paint.Measure(barName).cx + paint.Px(16);
    paint.Lines({POINT{x, legendY + textHeight / 2}, POINT{x + box * 2, legendY + textHeight / 2}}, colours.curve,
                paint.Px(CurveWidth));
    paint.Text(x + box * 2 + paint.Px(4), legendY, curveName, TA_LEFT | TA_TOP);

    // The grid and both axes' labels, at the steps of the bars' axis and
    // of the curve's.
    for (int step = 0; step <= barSteps; ++step) {
        const int y = yOf(step * barStep, barTop);
        if (step > 0) paint.Lines({POINT{plot.left, y}, POINT{plot.right, y}}, colours.grid, paint.Line());
        paint.Lines({POINT{plot.left - paint.Px(TickLength), y}, POINT{plot.left, y}}, colours.text, paint.Line());
        paint.Text(plot.left - paint.Px(TickLength + 2), y - textHeight / 2, AmountText(step * barStep),
                   TA_RIGHT | TA_TOP);
    }
    for (int step = 0; step <= curveSteps; ++step) {
        const int y = yOf(step * curveStep, curveTop);
        paint.Lines({POINT{plot.right, y}, POINT{plot.right + paint.Px(TickLength), y}}, colours.text, paint.Line());
        paint.Text(plot.right + paint.Px(TickLength + 2), y - textHeight / 2, AmountText(step * curveStep),
                   TA_LEFT | TA_TOP);
    }

    // The bars, each in the middle of its period's share of the width, and
    // the names under them: every `every`-th one when they would touch.
    const double pitch = count > 0 ? static_cast<double>(plot.right - plot.left) / static_cast<double>(count) : 0;
    int widestName = 0;
    for (const CashFlowRow& row : table.rows)
        widestName = std::max<int>(widestName, paint.Measure(QVUtility::Widen(ShortPeriodName(row.period, table.kind))).cx);
    const std::size_t every =
        pitch > 0 ? std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil((widestName + paint.Px(8)) / pitch))) : 1;
    std::vector<POINT> curve{POINT{plot.left, plot.bottom}};
    for (std::size_t i = 0; i < count; ++i) {
        const CashFlowRow& row = table.rows[i];
        const int left = plot.left + static_cast<int>(std::lround(pitch * static_cast<double>(i)));
        const int right = plot.left + static_cast<int>(std::lround(pitch * static_cast<double>(i + 1)));
        const int gap = (right - left) / 6;
        const int top = yOf(row.period.amount.ToDouble(), barTop);
        if (top < plot.bottom) paint.Box(RECT{left + gap, top, std::max(left + gap + 1, right - gap), plot.bottom + paint.Line()}, colours.bar);
        curve.push_back(POINT{right, yOf(row.cumulative.ToDouble(), curveTop)});
        if (i % every == 0)
            paint.Text((left + right) / 2, plot.bottom + paint.Px(TickLength), QVUtility::Widen(ShortPeriodName(row.period, table.kind)),
                       TA_CENTER | TA_TOP);
    }
    paint.Lines({POINT{plot.left, plot.top}, POINT{plot.left, plot.bottom}, POINT{plot.right, plot.bottom},
                 POINT{plot.right, plot.top - 1}},
                colours.text, paint.Line());
    paint.Lines(curve, colours.curve, paint.Px(CurveWidth));
}

std::wstring DescribeCashFlowChart(const CashFlowTable& table) {
    std::string text = "Istogramma del costo per " + KindInText(table.kind) + " e curva del costo cumulato: ";
    if (table.rows.empty()) return QVUtility::Widen(text + "nessun periodo.");
    const CashFlowRow* highest = &table.rows.front();
    for (const CashFlowRow& row : table.rows)
        if (highest->period.amount < row.period.amount) highest = &row;
    text += std::to_string(table.rows.size()) + " periodi da " + PeriodName(table.rows.front().period, table.kind) +
            " a " + PeriodName(table.rows.back().period, table.kind) + ", totale " + FormatAmount(table.total) +
            "; il costo maggiore in " + PeriodName(highest->period, table.kind) + ", " +
            FormatAmount(highest->period.amount) + ".";
    return QVUtility::Widen(text);
}

// ---- The window's element ----------------------------------------------------------------

CashFlowChart::CashFlowChart(QVUtility::GUIElement* parentElement) : PanelChildren(parentElement) {
    accessibleName = L"Grafico del flusso di cassa";
    accessibleRole = ROLE_SYSTEM_CHART;
    customColours = false;
}

void CashFlowChart::Show(const CashFlowTable& table) {
    table_ = table;
    accessibleDescription = DescribeCashFlowChart(table_);
    if (window == nullptr) return;
    InvalidateRect(window, nullptr, FALSE);
    QVUtility::RaiseAccessibleEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window);
}

void CashFlowChart::OnResize() {
    PanelChildren::OnResize();
    if (window != nullptr) InvalidateRect(window, nullptr, FALSE);
}

void CashFlowChart::OnGotFocus() {
    PanelChildren::OnGotFocus();
    if (window != nullptr) InvalidateRect(window, nullptr, FALSE);
}

void CashFlowChart::OnLostFocus() {
    const std::shared_ptr<bool> stillAlive = AliveFlag();
    PanelChildren::OnLostFocus();
    if (*stillAlive && window != nullptr) InvalidateRect(window, nullptr, FALSE);
}

void CashFlowChart::OnPaint() {
    PAINTSTRUCT paint{};
    HDC screen = BeginPaint(window, &paint);
    if (screen == nullptr) return;
    RECT client{};
    GetClientRect(window, &client);
    // Drawn off screen first, so that a resize does not flicker.
    const QVUtility::MemoryContext buffer(screen);
    const QVUtility::GdiObject<HBITMAP> picture(CreateCompatibleBitmap(screen, std::max<LONG>(1, client.right), std::max<LONG>(1, client.bottom)));
    if (buffer && picture) {
        const QVUtility::ScopedSelect in(buffer.Get(), picture.Get());
        DrawCashFlowChart(buffer.Get(), client, table_, CashFlowColours::OfScreen(), Scale().Dpi() / 96.0);
        if (GetFocus() == window) DrawFocusRect(buffer.Get(), &client);
        BitBlt(screen, 0, 0, client.right, client.bottom, buffer.Get(), 0, 0, SRCCOPY);
    }
    EndPaint(window, &paint);
}

void CashFlowChart::DescribeForAccessibility(QVUtility::AccessibleFacts& facts) const {
    PanelChildren::DescribeForAccessibility(facts);
    facts.role = ROLE_SYSTEM_CHART;
}

}  // namespace MyApp
