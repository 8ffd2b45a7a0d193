#include "toolkit/widgets/TimeLine.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>

#include "model/WorkingDays.h"
#include "toolkit/core/WindowReach.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/TextConversion.h"

namespace QVUtility {

namespace {

const wchar_t* const MonthNames[12] = {L"GEN", L"FEB", L"MAR", L"APR", L"MAG", L"GIU",
                                       L"LUG", L"AGO", L"SET", L"OTT", L"NOV", L"DIC"};

constexpr COLORREF NonWorkingFill = RGB(255, 0, 0);
constexpr COLORREF NonWorkingNumber = RGB(255, 255, 0);
// After this many columns past the right edge of what is drawn, every month
// and year box that was open at the edge has closed.
constexpr std::int64_t ColumnsPastEdge = 400;
// Coordinates handed to GDI stay well inside what it accepts.
constexpr std::int64_t CoordinateLimit = 1 << 26;

bool Convertible(const MyApp::Date& d) {
    std::int64_t ticks = 0;
    return !d.invalid && MyApp::SystemTimeToTicks(d.value, ticks);
}

bool SameDate(const MyApp::Date& a, const MyApp::Date& b) {
    return a.invalid == b.invalid && std::memcmp(&a.value, &b.value, sizeof a.value) == 0;
}

bool SameDates(const std::vector<MyApp::Date>& a, const std::vector<MyApp::Date>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (!SameDate(a[i], b[i])) return false;
    }
    return true;
}

int Clamp(std::int64_t value) { return static_cast<int>(std::max(-CoordinateLimit, std::min(CoordinateLimit, value))); }

// Draws the rows as PaintRulerRows describes. Everything a ruler draws goes
// through here.
class RulerPainter {
public:
    RulerPainter(const RulerRows& rows, HDC context, std::int64_t originX, std::int64_t drawLeft,
                 std::int64_t drawRight)
        : rows_(rows), dc_(context), origin_(originX), left_(drawLeft), right_(drawRight) {}

    void Paint() {
        FillBackground();
        const std::int64_t width = rows_.columnWidth;
        const std::int64_t divisor = rows_.columnDivisor;
        if (width < 1 || divisor < 1 || rows_.calendar == nullptr || !Convertible(rows_.spanStart)) return;

        // How far the walk may go: the span's own length when its end is a
        // real day, else as many columns as the picture holds; never further
        // than a year past the right edge of what is drawn.
        std::int64_t limit = 0;
        std::int64_t endTicks = 0;
        if (MyApp::SystemTimeToTicks(rows_.spanEnd.value, endTicks)) {
            const std::int64_t n = MyApp::DaysUntil(rows_.spanStart, rows_.spanEnd);
            if (n < 0) return;
            limit = n + 1;
        } else {
            limit = ColumnAt(rows_.pictureWidth + X(1) - 1);
        }
        limit = std::min(limit, ColumnAt(right_) + 1 + ColumnsPastEdge);

        GdiObject<HPEN> pen(CreatePen(PS_SOLID, 0, rows_.lineColour));
        GdiObject<HBRUSH> red(CreateSolidBrush(NonWorkingFill));
        ScopedSelect penIn(dc_, pen.Get());
        ScopedSelect brushIn(dc_, GetStockObject(NULL_BRUSH));
        ScopedSelect fontIn(dc_, rows_.font != nullptr ? rows_.font->GetFont() : nullptr);
        const int oldMode = SetBkMode(dc_, TRANSPARENT);
        const COLORREF oldColour = GetTextColor(dc_);
        // Fitted labels: the day numbers go all or none, so that the row
        // does not show some numbers and leave others out.
        bool dayNumbers = true;
        if (rows_.fittedLabels) {
            SIZE extent{};
            dayNumbers = GetTextExtentPoint32W(dc_, L"30", 2, &extent) && extent.cx < X(1);
        }

        MyApp::Date current = rows_.spanStart;
        int month = current.value.wMonth;
        int year = current.value.wYear;
        std::int64_t monthStart = 0;
        std::int64_t yearStart = 0;
        std::int64_t column = 0;
        const int b = rows_.bottom;
        const int r = rows_.rowHeight;
        wchar_t number[16];

        while (column < limit) {
            if (MyApp::CompareDates(current, rows_.spanEnd) > 0) break;
            const std::int64_t x = X(column);
            const std::int64_t next = X(column + 1);
            if (next > left_ && x < right_) {
                const int px = Clamp(x - origin_);
                const int cell = static_cast<int>(std::min<std::int64_t>(next - x, INT_MAX / 4));
                const bool working = rows_.calendar->IsWorkingDay(current);
                if (cell < MinimumCellWidth) {
                    // Too narrow for an outline: the red of a non-working day alone.
                    if (!working && red) {
                        RECT fill{px, b - r - 1, px + std::max(cell, 1), b};
                        ::FillRect(dc_, &fill, red.Get());
                    }
                } else {
                    Rectangle(dc_, px, b - r - 1, px + cell, b);
                    if (!working && red) {
                        // The right and bottom edges of the outline stay visible.
                        RECT fill{px, b - r - 1, px + cell - 1, b - 1};
                        ::FillRect(dc_, &fill, red.Get());
                    }
                    if (dayNumbers) {
                        std::swprintf(number, 16, L"%u", static_cast<unsigned>(current.value.wDay));
                        Label(px, b - r, cell, r, number, working ? rows_.lineColour : NonWorkingNumber);
                    }
                }
            }
            if (current.value.wMonth != month) {
                CloseBox(monthStart, x, b - 2 * r - 2, TimeLine::MonthAbbreviation(month));
                monthStart = x;
                month = current.value.wMonth;
            }
            if (current.value.wYear != year) {
                CloseBox(yearStart, x, b - 3 * r - 3, std::to_wstring(year).c_str());
                yearStart = x;
                year = current.value.wYear;
            }
            ++column;
            const MyApp::Date following = MyApp::AddOneDay(current);
            if (SameDate(following, current)) break;  // the calendar ends here
            current = following;
        }
        if (column > 0) {
            const std::int64_t x = X(column);
            CloseBox(monthStart, x, b - 2 * r - 2, TimeLine::MonthAbbreviation(month));
            CloseBox(yearStart, x, b - 3 * r - 3, std::to_wstring(year).c_str());
        }

        SetTextColor(dc_, oldColour);
        if (oldMode) SetBkMode(dc_, oldMode);
    }

private:
    // Columns narrower than this get neither outline nor number.
    static constexpr int MinimumCellWidth = 3;

    const RulerRows& rows_;
    HDC dc_;
    std::int64_t origin_, left_, right_;

    // Ruler x of the left edge of a column, and the column holding ruler x.
    std::int64_t X(std::int64_t column) const { return column * rows_.columnWidth / rows_.columnDivisor; }
    std::int64_t ColumnAt(std::int64_t x) const {
        return std::max<std::int64_t>(0, x) * rows_.columnDivisor / rows_.columnWidth;
    }

    void FillBackground() {
        const COLORREF colour = rows_.backColour == NoColour ? GetSysColor(COLOR_BTNFACE) : rows_.backColour;
        GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        if (!brush) return;
        RECT area{Clamp(left_ - origin_), rows_.bottom - 3 * rows_.rowHeight - 3, Clamp(right_ - origin_),
                  rows_.bottom};
        ::FillRect(dc_, &area, brush.Get());
    }

    // The outline of a month or year box from `from` to `to` (ruler x) and its
    // label centred at the top; drawn only when it reaches the drawn part.
    void CloseBox(std::int64_t from, std::int64_t to, int top, const wchar_t* label) {
        const bool zeroWidth = to == from;
        if ((zeroWidth ? to < left_ : to <= left_) || from >= right_) return;
        if (rows_.cutAtEdges) {
            // A box that goes on beyond the drawn part ends at its edge,
            // with its label over the part that is shown.
            from = std::max(from, left_);
            to = std::min(to, right_);
        }
        if (!zeroWidth) Rectangle(dc_, Clamp(from - origin_), top, Clamp(to - origin_), top + rows_.rowHeight + 1);
        Label(Clamp(from - origin_), top, static_cast<int>(std::min<std::int64_t>(to - from, INT_MAX)), rows_.rowHeight,
              label, rows_.lineColour);
    }

    // Centred, top-aligned, one line, clipped to its box; a box of zero size
    // gets the text written from its left edge. With fittedLabels a label
    // wider than its box is left out.
    void Label(int x, int y, int w, int h, const wchar_t* text, COLORREF colour) {
        SetTextColor(dc_, colour);
        const int length = static_cast<int>(std::wcslen(text));
        if (rows_.fittedLabels) {
            SIZE extent{};
            if (w == 0 || (GetTextExtentPoint32W(dc_, text, length, &extent) && extent.cx > w)) return;
        }
        if (w != 0 && h != 0) {
            RECT box{x, y, static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(x) + w, CoordinateLimit)),
                     y + h};
            ::DrawTextW(dc_, text, length, &box, DT_TOP | DT_CENTER);
        } else {
            TextOutW(dc_, x, y, text, length);
        }
    }
};

}  // namespace

void PaintRulerRows(HDC context, const RulerRows& rows, std::int64_t originX, std::int64_t drawLeft,
                    std::int64_t drawRight) {
    if (context != nullptr) RulerPainter(rows, context, originX, drawLeft, drawRight).Paint();
}

const wchar_t* TimeLine::MonthAbbreviation(int month) {
    return month >= 1 && month <= 12 ? MonthNames[month - 1] : L"";
}

TimeLine::TimeLine(GUIElement* parentElement) : PanelChildren(parentElement) {
    spanStart = MyApp::LocalNow();
    spanEnd = spanStart;
    SetBackColour(RGB(255, 255, 255));
    const DisplayScale scale = Scale();
    SetSize(scale(300), scale(NormalHeight));
    tabStop = false;
}

TimeLine::~TimeLine() { ReleaseChartImage(); }

void TimeLine::ReleaseChartImage() {
    if (chartImage != nullptr) ReleaseGdiObject(chartImage);
    chartImage = nullptr;
}

bool TimeLine::IsIncludedDay(const MyApp::Date& day) const {
    return MyApp::IsIncludedDay(MyApp::CalendarOf(*this), day);
}

bool TimeLine::IsExcludedDay(const MyApp::Date& day) const {
    return MyApp::IsExcludedDay(MyApp::CalendarOf(*this), day);
}

std::int64_t TimeLine::ColumnCount() const {
    if (!Convertible(spanStart)) return 0;
    const std::int64_t n = MyApp::DaysUntil(spanStart, spanEnd);  // 0 when the end cannot be converted
    return n < 0 ? 0 : n + 1;
}

void TimeLine::SetProject(MyApp::Date start, MyApp::Date end, std::vector<MyApp::Date> include,
                          std::vector<MyApp::Date> exclude, const int* weekdayFlags) {
    spanStart = start;
    spanEnd = end;
    includeDays = std::move(include);
    excludeDays = std::move(exclude);
    if (weekdayFlags != nullptr) std::copy(weekdayFlags, weekdayFlags + 7, workingWeekdays);
    UpdateCalendar();

    const std::int64_t columns = ColumnCount();
    dayWidth = ColumnWidthFor(columns, Scale());

    if (created && window != nullptr) {
        RECT outer{};
        if (GetWindowRect(window, &outer)) {
            width = outer.right - outer.left;
            height = outer.bottom - outer.top;
        }
    }
    // An empty span keeps one blank column, so the ruler still paints (and
    // its picture shows that nothing is there).
    const std::int64_t newWidth = std::max<std::int64_t>(columns, 1) * dayWidth;
    SetSize(static_cast<int>(std::min<std::int64_t>(newWidth, INT_MAX / 2)), height);
    FollowParent();
}

void TimeLine::UpdateCalendar() {
    if (std::equal(workingWeekdays, workingWeekdays + 7, calendarFields.weekdays) && calendarVersion > 0 &&
        SameDates(includeDays, calendarFields.includeDays) && SameDates(excludeDays, calendarFields.excludeDays)) {
        return;
    }
    std::copy(workingWeekdays, workingWeekdays + 7, calendarFields.weekdays);
    calendarFields.includeDays = includeDays;
    calendarFields.excludeDays = excludeDays;
    calendar = MyApp::WorkingDayCalendar(MyApp::CalendarOf(*this));
    ++calendarVersion;
}

bool TimeLine::PictureInputs::Matches(const PictureInputs& other) const {
    if (clientWidth != other.clientWidth || clientHeight != other.clientHeight || rowHeight != other.rowHeight ||
        dayWidth != other.dayWidth || lineColour != other.lineColour || backColour != other.backColour ||
        labelFont != other.labelFont || fontFace != other.fontFace || fontHeight != other.fontHeight ||
        fontDpi != other.fontDpi || bold != other.bold || italic != other.italic || underline != other.underline) {
        return false;
    }
    return SameDate(spanStart, other.spanStart) && SameDate(spanEnd, other.spanEnd) &&
           calendarVersion == other.calendarVersion;
}

int TimeLine::ColumnWidthFor(std::int64_t columns, DisplayScale scale) {
    // A short span is stretched to nine tenths of the screen; a longer one
    // keeps its normal columns.
    const int normal = scale(NormalDayWidth);
    const std::int64_t target = static_cast<std::int64_t>(GetSystemMetrics(SM_CXSCREEN)) * 9 / 10;
    if (columns > 0 && columns * normal < target) return static_cast<int>(target / columns);
    return normal;
}

int TimeLine::RulerWidth() const {
    RECT client{};
    RECT outer{};
    if (window == nullptr || !GetClientRect(window, &client) || !GetWindowRect(window, &outer)) return width;
    const int frame = (outer.right - outer.left) - client.right;
    return std::max<int>(client.right, width - frame);
}

void TimeLine::OnMove() {
    FollowParent();
    PanelChildren::OnMove();
}

void TimeLine::FollowParent() {
    if (repositioning || window == nullptr || !IsWindow(window)) return;
    HWND parentWindow = GetParent(window);
    RECT outer{};
    RECT area{};
    if (parentWindow == nullptr || !GetWindowRect(window, &outer) || !GetClientRect(parentWindow, &area)) return;
    POINT corner{outer.left, outer.top};
    ScreenToClient(parentWindow, &corner);
    const int nativeWidth = outer.right - outer.left;
    const bool scrolls = (GetWindowLongW(parentWindow, GWL_STYLE) & WS_HSCROLL) != 0;
    const int position = scrolls ? GetScrollPos(parentWindow, SB_HORZ) : 0;

    // Where ruler x = 0 lies in the parent now. The platform keeps window
    // positions within 16 bits, so after a scroll of the parent it is
    // worked out from the scroll bar rather than from the window.
    const std::int64_t expected = KeptWindowPosition(logicalLeft + viewOrigin);
    std::int64_t left = corner.x;  // placed by the owner: the ruler starts here
    if (lastParentScroll >= 0 && position != lastParentScroll) {
        left = logicalLeft - (position - lastParentScroll);
    } else if (lastParentScroll >= 0 && corner.x == expected) {
        left = logicalLeft;
    }
    logicalLeft = left;
    lastParentScroll = position;

    const std::int64_t maxOrigin = std::max<std::int64_t>(0, static_cast<std::int64_t>(width) - nativeWidth);
    std::int64_t origin = std::min(viewOrigin, maxOrigin);
    const std::int64_t nativeLeft = left + origin;
    const bool covers = nativeLeft == corner.x && (nativeLeft <= 0 || origin == 0) &&
                        (nativeLeft + nativeWidth >= area.right || origin == maxOrigin);
    if (!covers) {
        // The window over the parent's client area, with room on both sides.
        const std::int64_t spare = std::max<std::int64_t>(0, nativeWidth - area.right) / 2;
        origin = std::max<std::int64_t>(0, std::min(maxOrigin, -left - spare));
    }
    if (origin == viewOrigin && left + origin == corner.x) return;
    viewOrigin = origin;
    repositioning = true;
    SetWindowPos(window, nullptr, static_cast<int>(left + origin), corner.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    repositioning = false;
    InvalidateRect(window, nullptr, FALSE);
}

FontDescription TimeLine::RulerFont() const {
    FontDescription rulerFont(fontName, fontSize);
    rulerFont.bold = fontBold;
    rulerFont.italic = fontItalic;
    rulerFont.underline = fontUnderline;
    return rulerFont;
}

RulerRows TimeLine::BaseRows(int top, FontDescription& baseFont, int& baseWidth) const {
    const int columnWidth = ColumnWidthFor(ColumnCount(), DisplayScale());
    baseWidth =
        static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(ColumnCount(), 1) * columnWidth, INT_MAX / 2));
    int rowHeight = NormalHeight / 3;
    {
        // The row height as the paint finds it: the label font's height, at least a third of the ruler.
        const ScreenContext screen;
        const ScopedSelect selection(screen.Get(), baseFont.GetFont());
        TEXTMETRICW metrics{};
        if (selection && GetTextMetricsW(screen.Get(), &metrics))
            rowHeight = std::max<int>(metrics.tmHeight, rowHeight);
    }
    RulerRows rows = Rows(top + NormalHeight, rowHeight, &baseFont);
    rows.columnWidth = columnWidth;
    rows.pictureWidth = baseWidth;
    return rows;
}

RulerRows TimeLine::Rows(int bottom, int rowHeight, FontDescription* labelFont) const {
    RulerRows rows;
    rows.spanStart = spanStart;
    rows.spanEnd = spanEnd;
    rows.calendar = &calendar;
    rows.columnWidth = dayWidth;
    rows.pictureWidth = RulerWidth();
    rows.bottom = bottom;
    rows.rowHeight = rowHeight;
    rows.font = labelFont;
    rows.lineColour = lineColour;
    rows.backColour = backColour;
    return rows;
}

void TimeLine::OnPaint() {
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return;
    const int clientWidth = client.right;
    const int clientHeight = client.bottom;
    const int rulerWidth = RulerWidth();

    FontDescription rulerFont = RulerFont();
    rulerFont.SetDpi(Scale().Dpi());
    FontDescription* labelFont = font != nullptr ? font : &rulerFont;

    Drawing surface;
    surface.Begin(this);
    if (surface.context == nullptr) return;
    const int rowHeight = std::max(surface.TextHeight(labelFont), clientHeight / 3);

    PictureInputs inputs;
    inputs.clientWidth = rulerWidth;
    inputs.clientHeight = clientHeight;
    inputs.rowHeight = rowHeight;
    inputs.dayWidth = dayWidth;
    inputs.lineColour = lineColour;
    inputs.backColour = backColour;
    inputs.labelFont = labelFont == &rulerFont ? nullptr : labelFont->GetFont();
    inputs.fontFace = labelFont->face;
    inputs.fontHeight = labelFont->height;
    inputs.fontDpi = labelFont->dpi;
    inputs.bold = labelFont->bold;
    inputs.italic = labelFont->italic;
    inputs.underline = labelFont->underline;
    inputs.spanStart = spanStart;
    inputs.spanEnd = spanEnd;
    UpdateCalendar();
    inputs.calendarVersion = calendarVersion;

    const RulerRows rows = Rows(clientHeight, rowHeight, labelFont);
    auto paint = [&](HDC context, std::int64_t originX, std::int64_t drawLeft, std::int64_t drawRight) {
        PaintRulerRows(context, rows, originX, drawLeft, drawRight);
    };

    // The whole ruler, drawn again only when what it shows has changed.
    const std::int64_t pixels = static_cast<std::int64_t>(rulerWidth) * clientHeight;
    const bool fits = rulerWidth > 0 && clientHeight > 0 && pixels <= pictureLimit;
    if (chartImage == nullptr || !fits || !inputs.Matches(pictureInputs)) {
        // A picture of the same size is drawn over rather than made anew.
        HBITMAP picture = nullptr;
        BITMAP held{};
        if (fits && chartImage != nullptr && GetObjectW(chartImage, sizeof held, &held) && held.bmWidth == rulerWidth &&
            held.bmHeight == clientHeight) {
            picture = chartImage;
        } else {
            ReleaseChartImage();
        }
        if (fits) {
            MemoryContext memory(surface.context);
            GdiObject<HBITMAP> made(picture == nullptr && memory
                                        ? CreateCompatibleBitmap(surface.context, rulerWidth, clientHeight)
                                        : nullptr);
            if (picture == nullptr) picture = made.Get();
            bool drawn = false;
            {
                ScopedSelect pictureIn(memory.Get(), picture);
                if (pictureIn) paint(memory.Get(), 0, 0, rulerWidth);
                drawn = static_cast<bool>(pictureIn);
            }
            if (drawn) {
                made.Release();
                chartImage = picture;
                pictureInputs = std::move(inputs);
            } else if (picture == chartImage) {
                ReleaseChartImage();
            }
        }
    }

    RECT area{};
    if (GetClipBox(surface.context, &area) == ERROR) area = surface.paintRecord.rcPaint;
    area.left = std::max<LONG>(area.left, 0);
    area.right = std::min<LONG>(area.right, clientWidth);
    const int areaWidth = area.right - area.left;
    const std::int64_t from = viewOrigin + area.left;  // ruler x of the area's left edge
    if (areaWidth > 0 && clientHeight > 0) {
        MemoryContext memory(surface.context);
        if (chartImage != nullptr && memory) {
            ScopedSelect pictureIn(memory.Get(), chartImage);
            BitBlt(surface.context, area.left, 0, areaWidth, clientHeight, memory.Get(), static_cast<int>(from), 0,
                   SRCCOPY);
        } else {
            // No picture of the whole ruler: the part being painted, off
            // screen when a buffer of its size can be had, else directly.
            GdiObject<HBITMAP> part(memory ? CreateCompatibleBitmap(surface.context, areaWidth, clientHeight)
                                           : nullptr);
            ScopedSelect partIn(memory.Get(), part.Get());
            if (partIn) {
                paint(memory.Get(), from, from, from + areaWidth);
                BitBlt(surface.context, area.left, 0, areaWidth, clientHeight, memory.Get(), 0, 0, SRCCOPY);
            } else {
                paint(surface.context, viewOrigin, from, from + areaWidth);
            }
        }
    }
    surface.End();
}

}  // namespace QVUtility
