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

// A Monday from which the boxes of several weeks are counted, so that they
// start on the same Mondays whatever part of the ruler is drawn.
const std::int64_t FirstGroupMonday = MyApp::DaysFromCivil(2024, 1, 1);

int Clamp(std::int64_t value) { return static_cast<int>(std::max(-CoordinateLimit, std::min(CoordinateLimit, value))); }

// Draws the rows as PaintRulerRows describes. Everything a ruler draws goes
// through here.
class RulerPainter {
public:
    RulerPainter(const RulerRows& rows, HDC context, std::int64_t originX, std::int64_t drawLeft,
                 std::int64_t drawRight)
        : rows_(rows),
          dc_(context),
          origin_(originX),
          left_(drawLeft),
          right_(drawRight),
          days_(rows.unit == RulerUnit::Days),
          fitted_(rows.fittedLabels || !days_),
          inView_(rows.viewRight > rows.viewLeft) {}

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
        GdiObject<HBRUSH> red(CreateSolidBrush(rows_.nonWorkingFill));
        GdiObject<HBRUSH> hatch(rows_.hatchNonWorking ? CreateHatchBrush(HS_BDIAGONAL, rows_.hatchColour) : nullptr);
        // The hatch's pattern starts at ruler x = 0, whatever part is drawn.
        POINT oldOrigin{};
        SetBrushOrgEx(dc_, static_cast<int>(((-origin_) % 8 + 8) % 8), 0, &oldOrigin);
        ScopedSelect penIn(dc_, pen.Get());
        ScopedSelect brushIn(dc_, GetStockObject(NULL_BRUSH));
        ScopedSelect fontIn(dc_, rows_.font != nullptr ? rows_.font->GetFont() : nullptr);
        const int oldMode = SetBkMode(dc_, TRANSPARENT);
        const COLORREF oldColour = GetTextColor(dc_);
        // Fitted labels: the day numbers go all or none, so that the row
        // does not show some numbers and leave others out.
        bool dayNumbers = true;
        if (fitted_) {
            SIZE extent{};
            dayNumbers = GetTextExtentPoint32W(dc_, L"30", 2, &extent) && extent.cx < X(1);
        }

        // The months of the bottom row are labelled alike: abbreviations
        // when the widest fits the narrowest month, else initials when the
        // widest of those fits, else none.
        if (rows_.unit == RulerUnit::Months) {
            const std::int64_t inside = X(28) - 2;
            if (!FitsAll(TimeLine::MonthAbbreviation, inside)) {
                monthLabels_ = FitsAll(MonthInitial, inside) ? MonthLabels::Initials : MonthLabels::None;
            }
        }

        // The weeks row: boxes of as many weeks as its numbers need.
        const int weeks = rows_.unit == RulerUnit::Weeks ? WeeksPerBox(dc_, rows_.columnWidth, divisor) : 1;
        const auto groupStart = [&](const SYSTEMTIME& t) {  // a Monday where a box starts
            const std::int64_t days = MyApp::DaysFromCivil(t.wYear, t.wMonth, t.wDay) - FirstGroupMonday;
            return ((days % (7 * weeks)) + 7 * weeks) % (7 * weeks) == 0;
        };

        // The walk starts just left of what is drawn, with the boxes open
        // there starting where their week, month, quarter or year began.
        MyApp::Date current = rows_.spanStart;
        std::int64_t column = 0;
        const std::int64_t first = std::max<std::int64_t>(0, std::min(ColumnAt(left_) - 1, limit - 1));
        if (first > 0) {
            std::int64_t ticks = 0;
            MyApp::Date moved = rows_.spanStart;
            if (MyApp::SystemTimeToTicks(rows_.spanStart.value, ticks) &&
                MyApp::TicksToSystemTime(ticks + first * MyApp::TicksPerDay, moved.value) &&
                Convertible(moved)) {
                current = moved;
                column = first;
            }
        }
        const SYSTEMTIME day = current.value;
        const std::int64_t walkStart = column;
        const std::int64_t dayOfYear = MyApp::DaysFromCivil(day.wYear, day.wMonth, day.wDay) -
                                       MyApp::DaysFromCivil(day.wYear, 1, 1);
        const int quarterMonth = (day.wMonth - 1) / 3 * 3 + 1;
        const std::int64_t dayOfQuarter = MyApp::DaysFromCivil(day.wYear, day.wMonth, day.wDay) -
                                          MyApp::DaysFromCivil(day.wYear, quarterMonth, 1);
        const int weekday = MyApp::WeekdayIndex(day.wDayOfWeek);  // 0 = Monday
        auto openedAt = [&](std::int64_t back) { return X(std::max<std::int64_t>(0, column - back)); };
        int month = day.wMonth;
        int year = day.wYear;
        int quarter = (day.wMonth - 1) / 3;
        std::int64_t monthStart = openedAt(day.wDay - 1);
        std::int64_t yearStart = openedAt(dayOfYear);
        std::int64_t quarterStart = openedAt(dayOfQuarter);
        // The open box of the weeks row starts on the Monday of its group,
        // which may lie before the span; its label is that Monday's day.
        const std::int64_t sinceGroup =
            ((MyApp::DaysFromCivil(day.wYear, day.wMonth, day.wDay) - weekday - FirstGroupMonday) % (7 * weeks) +
             7 * weeks) % (7 * weeks);
        const std::int64_t weekBack = weekday + sinceGroup;
        std::int64_t weekStart = openedAt(weekBack);
        int weekMonday = day.wDay;
        std::int64_t dayTicks = 0;
        SYSTEMTIME monday{};
        if (MyApp::SystemTimeToTicks(day, dayTicks) &&
            MyApp::TicksToSystemTime(dayTicks - weekBack * MyApp::TicksPerDay, monday))
            weekMonday = monday.wDay;

        const int b = rows_.bottom;
        const int r = rows_.rowHeight;
        const int bottomTop = b - r - 1;
        const int middleTop = b - 2 * r - 2;
        const int yearTop = b - 3 * r - 3;
        wchar_t number[16];

        while (column < limit) {
            if (MyApp::CompareDates(current, rows_.spanEnd) > 0) break;
            const std::int64_t x = X(column);
            const std::int64_t next = X(column + 1);
            if (days_ && next > left_ && x < right_) {
                const int px = Clamp(x - origin_);
                const int cell = static_cast<int>(std::min<std::int64_t>(next - x, INT_MAX / 4));
                const bool working = rows_.calendar->IsWorkingDay(current);
                if (cell < MinimumCellWidth) {
                    // Too narrow for an outline: the red of a non-working day alone.
                    if (!working && red) {
                        RECT fill{px, b - r - 1, px + std::max(cell, 1), b};
                        ::FillRect(dc_, &fill, red.Get());
                        if (hatch) ::FillRect(dc_, &fill, hatch.Get());
                    }
                } else {
                    Rectangle(dc_, px, b - r - 1, px + cell, b);
                    if (!working && red) {
                        // The right and bottom edges of the outline stay visible.
                        RECT fill{px, b - r - 1, px + cell - 1, b - 1};
                        ::FillRect(dc_, &fill, red.Get());
                        if (hatch) ::FillRect(dc_, &fill, hatch.Get());
                    }
                    if (dayNumbers) {
                        std::swprintf(number, 16, L"%u", static_cast<unsigned>(current.value.wDay));
                        // Over a hatch, the number stands on a plate of the fill.
                        const bool plate = !working && hatch;
                        if (plate) {
                            SetBkMode(dc_, OPAQUE);
                            SetBkColor(dc_, rows_.nonWorkingFill);
                        }
                        Label(x, b - r, cell, r, number, working ? rows_.lineColour : rows_.nonWorkingNumber);
                        if (plate) SetBkMode(dc_, TRANSPARENT);
                    }
                }
            }
            if (rows_.unit == RulerUnit::Weeks && current.value.wDayOfWeek == 1 && column != walkStart &&
                groupStart(current.value)) {
                std::swprintf(number, 16, L"%d", weekMonday);
                CloseBox(weekStart, x, bottomTop, number, nullptr, X(7 * weeks));
                weekStart = x;
                weekMonday = current.value.wDay;
            }
            if (current.value.wMonth != month) {
                if (rows_.unit == RulerUnit::Months) {
                    CloseBox(monthStart, x, bottomTop, MonthLabel(month), MonthInitial(month), X(28));
                } else {
                    CloseBox(monthStart, x, middleTop, TimeLine::MonthAbbreviation(month), nullptr, X(28));
                }
                monthStart = x;
                month = current.value.wMonth;
            }
            if (rows_.unit == RulerUnit::Months && (current.value.wMonth - 1) / 3 != quarter) {
                CloseBox(quarterStart, x, middleTop, QuarterLabel(quarter), nullptr, X(90));
                quarterStart = x;
                quarter = (current.value.wMonth - 1) / 3;
            }
            if (current.value.wYear != year) {
                CloseBox(yearStart, x, yearTop, std::to_wstring(year).c_str(), nullptr, X(365));
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
            if (rows_.unit == RulerUnit::Weeks) {
                std::swprintf(number, 16, L"%d", weekMonday);
                CloseBox(weekStart, x, bottomTop, number, nullptr, X(7 * weeks));
            }
            if (rows_.unit == RulerUnit::Months) {
                CloseBox(monthStart, x, bottomTop, MonthLabel(month), MonthInitial(month), X(28));
                CloseBox(quarterStart, x, middleTop, QuarterLabel(quarter), nullptr, X(90));
            } else {
                CloseBox(monthStart, x, middleTop, TimeLine::MonthAbbreviation(month), nullptr, X(28));
            }
            CloseBox(yearStart, x, yearTop, std::to_wstring(year).c_str(), nullptr, X(365));
        }

        SetTextColor(dc_, oldColour);
        if (oldMode) SetBkMode(dc_, oldMode);
        SetBrushOrgEx(dc_, oldOrigin.x, oldOrigin.y, nullptr);
    }

private:
    // Columns narrower than this get neither outline nor number.
    static constexpr int MinimumCellWidth = 3;
    // Nor do the boxes of the weeks and months levels narrower than this.
    static constexpr int MinimumBoxWidth = 4;

    const RulerRows& rows_;
    HDC dc_;
    std::int64_t origin_, left_, right_;
    const bool days_;    // the bottom row shows days
    const bool fitted_;  // labels wider than their box are left out
    const bool inView_;  // labels centred over the view

    // Ruler x of the left edge of a column, and the column holding ruler x.
    std::int64_t X(std::int64_t column) const { return column * rows_.columnWidth / rows_.columnDivisor; }
    std::int64_t ColumnAt(std::int64_t x) const {
        return std::max<std::int64_t>(0, x) * rows_.columnDivisor / rows_.columnWidth;
    }

    enum class MonthLabels { Abbreviations, Initials, None };
    MonthLabels monthLabels_ = MonthLabels::Abbreviations;

    bool FitsAll(const wchar_t* (*name)(int), std::int64_t width) {
        for (int month = 1; month <= 12; ++month) {
            if (!Fits(name(month), width)) return false;
        }
        return true;
    }
    // The label of a month box of the bottom row; none when no label fits.
    const wchar_t* MonthLabel(int month) const {
        switch (monthLabels_) {
            case MonthLabels::Abbreviations: return TimeLine::MonthAbbreviation(month);
            case MonthLabels::Initials: return MonthInitial(month);
            default: return nullptr;
        }
    }
    static const wchar_t* MonthInitial(int month) {
        static const wchar_t* const initials[12] = {L"G", L"F", L"M", L"A", L"M", L"G",
                                                    L"L", L"A", L"S", L"O", L"N", L"D"};
        return month >= 1 && month <= 12 ? initials[month - 1] : L"";
    }
    static const wchar_t* QuarterLabel(int quarter) {
        static const wchar_t* const labels[4] = {L"T1", L"T2", L"T3", L"T4"};
        return quarter >= 0 && quarter < 4 ? labels[quarter] : L"";
    }

    void FillBackground() {
        const COLORREF colour = rows_.backColour == NoColour ? GetSysColor(COLOR_BTNFACE) : rows_.backColour;
        GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        if (!brush) return;
        RECT area{Clamp(left_ - origin_), rows_.bottom - 3 * rows_.rowHeight - 3, Clamp(right_ - origin_),
                  rows_.bottom};
        ::FillRect(dc_, &area, brush.Get());
    }

    // The outline of a box from `from` to `to` (ruler x) and its label
    // centred at the top (or `shortLabel` when only that fits); drawn only
    // when it reaches the drawn part.
    // At the weeks and months levels `room` is the width of the row's
    // narrowest whole box (a week, a month of 28 days, a quarter of 90, a
    // year of 365): a row whose narrowest box is too narrow draws no box,
    // and a label must fit the narrowest box too, so that a row shows its
    // boxes and labels all alike.
    void CloseBox(std::int64_t from, std::int64_t to, int top, const wchar_t* label,
                  const wchar_t* shortLabel = nullptr, std::int64_t room = INT64_MAX) {
        const bool zeroWidth = to == from;
        if ((zeroWidth ? to < left_ : to <= left_) || from >= right_) return;
        if (!days_ && (to - from < MinimumBoxWidth || room < MinimumBoxWidth)) return;
        if (rows_.cutAtEdges) {
            // A box that goes on beyond the drawn part ends at its edge,
            // with its label over the part that is shown.
            from = std::max(from, left_);
            to = std::min(to, right_);
        }
        if (!zeroWidth) Rectangle(dc_, Clamp(from - origin_), top, Clamp(to - origin_), top + rows_.rowHeight + 1);
        // At the weeks and months levels a label must fit inside the outlines.
        // Each label is measured once.
        const int outlines = days_ ? 0 : 2;
        int labelWidth = label != nullptr ? TextWidth(label) : -1;
        if (!days_ && label != nullptr) {
            const std::int64_t inside = std::min(to - from, room) - outlines;
            if (!Fits(labelWidth, inside)) {
                labelWidth = shortLabel != nullptr ? TextWidth(shortLabel) : -1;
                label = shortLabel != nullptr && Fits(labelWidth, inside) ? shortLabel : nullptr;
            }
        }
        if (label == nullptr) return;
        std::int64_t labelFrom = from;
        std::int64_t labelTo = to;
        if (inView_) {
            PlaceInView(labelFrom, labelTo);
            if (!days_ && !Fits(labelWidth, labelTo - labelFrom - outlines)) return;
        }
        Label(labelFrom, top, static_cast<int>(std::min<std::int64_t>(labelTo - labelFrom, INT_MAX)),
              rows_.rowHeight, label, rows_.lineColour, labelWidth);
    }

    // The width of a text in the ruler's font; -1 when it cannot be measured.
    int TextWidth(const wchar_t* text) {
        SIZE extent{};
        return GetTextExtentPoint32W(dc_, text, static_cast<int>(std::wcslen(text)), &extent) ? extent.cx : -1;
    }
    // Whether a text of a width measured fits a width; one not measured never does.
    static bool Fits(int textWidth, std::int64_t width) { return width > 0 && textWidth >= 0 && textWidth <= width; }
    bool Fits(const wchar_t* text, std::int64_t width) { return width > 0 && Fits(TextWidth(text), width); }

    // Labels in view: narrows the box [from, to) to its part over the view,
    // where its label is centred (and must fit).
    void PlaceInView(std::int64_t& from, std::int64_t& to) const {
        const std::int64_t shownFrom = std::max(from, rows_.viewLeft);
        const std::int64_t shownTo = std::min(to, rows_.viewRight);
        if (shownTo <= shownFrom) return;  // not over the view: centred on the box
        from = shownFrom;
        to = shownTo;
    }

    // Centred, top-aligned, one line, clipped to its box, which starts at
    // ruler x `left`; a box of zero size gets the text written from its left
    // edge. With fitted labels a label wider than its box is left out.
    // `textWidth` is the text's width when measured already (-1: it could
    // not be), or Unmeasured.
    static constexpr int Unmeasured = -2;
    void Label(std::int64_t left, int y, int w, int h, const wchar_t* text, COLORREF colour,
               int textWidth = Unmeasured) {
        SetTextColor(dc_, colour);
        const int length = static_cast<int>(std::wcslen(text));
        if (textWidth == Unmeasured) textWidth = TextWidth(text);
        const bool measured = textWidth >= 0;
        const SIZE extent{textWidth, 0};
        if (fitted_ && (w == 0 || (measured && extent.cx > w))) return;
        const int x = Clamp(left - origin_);
        if (w != 0 && h != 0) {
            RECT box{x, y, static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(x) + w, CoordinateLimit)),
                     y + h};
            if (measured) {
                // Centred as DrawText centres it with the ruler's x = 0 at
                // the context's x = 0 (half the spare room, rounded toward
                // zero), whatever part is drawn: a strip painted alone shows
                // its labels exactly where the whole picture does.
                const std::int64_t start = (2 * left + w - extent.cx) / 2;
                ::ExtTextOutW(dc_, Clamp(start - origin_), y, ETO_CLIPPED, &box, text, static_cast<UINT>(length),
                              nullptr);
            } else {
                ::DrawTextW(dc_, text, length, &box, DT_TOP | DT_CENTER);
            }
        } else {
            TextOutW(dc_, x, y, text, length);
        }
    }
};

}  // namespace

int WeeksPerBox(HDC context, std::int64_t width, std::int64_t divisor) {
    SIZE extent{};
    if (context == nullptr || divisor < 1 || !GetTextExtentPoint32W(context, L"28", 2, &extent)) return 1;
    // Inside the outlines, with a pixel to spare for the boxes' rounding.
    for (int weeks = 1; weeks < 4; weeks *= 2)
        if (7 * weeks * width / divisor - 3 >= extent.cx) return weeks;
    return 4;
}

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

    dayWidth = ColumnWidthFor(ColumnCount(), Scale());
    columnDivisor = 1;
    unit = UnitFor(dayWidth, columnDivisor, Scale());
    ApplyRulerWidth();
}

bool TimeLine::SetColumnWidth(std::int64_t width, std::int64_t divisor) {
    if (width < 1 || divisor < 1) return false;
    std::int64_t a = width, b = divisor;
    while (b != 0) {
        const std::int64_t rest = a % b;
        a = b;
        b = rest;
    }
    if (width / a > INT_MAX) return false;
    dayWidth = static_cast<int>(width / a);
    columnDivisor = divisor / a;
    unit = UnitFor(dayWidth, columnDivisor, Scale());
    ApplyRulerWidth();
    Redraw();
    return true;
}

std::int64_t TimeLine::ColumnLeft(std::int64_t column) const {
    return columnDivisor < 1 ? 0 : column * dayWidth / columnDivisor;
}

RulerUnit TimeLine::UnitFor(std::int64_t width, std::int64_t divisor, DisplayScale scale) {
    // width / divisor against (half pixels / 2) * dpi / 96, without rounding.
    const __int128 halfPixels = static_cast<__int128>(width) * DisplayScale::BaseDpi * 2;
    const __int128 per = static_cast<__int128>(divisor) * scale.Dpi();
    if (halfPixels >= per * DaysFromHalfPixelsPerDay) return RulerUnit::Days;
    if (halfPixels >= per * WeeksFromHalfPixelsPerDay) return RulerUnit::Weeks;
    return RulerUnit::Months;
}

void TimeLine::ApplyRulerWidth() {
    if (created && window != nullptr) {
        RECT outer{};
        if (GetWindowRect(window, &outer)) {
            width = outer.right - outer.left;
            height = outer.bottom - outer.top;
        }
    }
    // An empty span keeps one blank column, so the ruler still paints (and
    // its picture shows that nothing is there).
    const std::int64_t newWidth = std::max<std::int64_t>(ColumnLeft(std::max<std::int64_t>(ColumnCount(), 1)), 1);
    SetSize(static_cast<int>(std::min<std::int64_t>(newWidth, INT_MAX / 2)), height);
    FollowParent();
}

bool TimeLine::FitsLabels() const {
    return columnDivisor != 1 || dayWidth < Scale()(NormalDayWidth) || unit != RulerUnit::Days || labelsInView;
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
        dayWidth != other.dayWidth || columnDivisor != other.columnDivisor || unit != other.unit ||
        fittedLabels != other.fittedLabels || lineColour != other.lineColour || backColour != other.backColour ||
        nonWorkingFill != other.nonWorkingFill || nonWorkingNumber != other.nonWorkingNumber || hatch != other.hatch ||
        hatchColour != other.hatchColour ||
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
    if (labelsInView && window != nullptr) {
        // The labels follow the part shown: after a scroll of the parent,
        // the part over its client area is painted again.
        int shownLeft = 0, shownRight = 0;
        RECT client{};
        if (ShownPart(shownLeft, shownRight) && GetClientRect(window, &client) &&
            (viewOrigin + shownLeft != labelViewLeft || viewOrigin + shownRight != labelViewRight)) {
            RECT shown{shownLeft, 0, shownRight, client.bottom};
            InvalidateRect(window, &shown, FALSE);
        }
    }
    PanelChildren::OnMove();
}

bool TimeLine::ShownPart(int& left, int& right) const {
    RECT client{};
    if (window == nullptr || !GetClientRect(window, &client)) return false;
    left = client.left;
    right = client.right;
    HWND parentWindow = GetParent(window);
    if (parentWindow != nullptr && (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
        RECT area{};
        if (!GetClientRect(parentWindow, &area)) return false;
        MapWindowPoints(parentWindow, window, reinterpret_cast<POINT*>(&area), 2);
        left = std::max<int>(left, area.left);
        right = std::min<int>(right, area.right);
    }
    return right > left;
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
    if (placedByOwner) {
        left = logicalLeft;
    } else if (lastParentScroll >= 0 && position != lastParentScroll) {
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

void TimeLine::ShowFrom(std::int64_t left) {
    placedByOwner = true;
    logicalLeft = -left;
    FollowParent();
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
    RulerRows rows = Rows(top + NormalHeight, rowHeight, &baseFont, false);
    rows.columnWidth = columnWidth;
    rows.columnDivisor = 1;
    rows.unit = RulerUnit::Days;
    rows.fittedLabels = false;
    rows.pictureWidth = baseWidth;
    return rows;
}

RulerRows TimeLine::Rows(int bottom, int rowHeight, FontDescription* labelFont, bool onScreen) const {
    RulerRows rows;
    rows.spanStart = spanStart;
    rows.spanEnd = spanEnd;
    rows.calendar = &calendar;
    rows.columnWidth = dayWidth;
    rows.columnDivisor = columnDivisor;
    rows.unit = unit;
    rows.fittedLabels = FitsLabels();
    rows.pictureWidth = RulerWidth();
    rows.bottom = bottom;
    rows.rowHeight = rowHeight;
    rows.font = labelFont;
    rows.lineColour = lineColour;
    rows.backColour = backColour;
    if (!onScreen) return rows;
    rows.hatchNonWorking = hatchNonWorking || systemColours;
    if (systemColours) {
        rows.lineColour = GetSysColor(COLOR_WINDOWTEXT);
        rows.backColour = GetSysColor(COLOR_WINDOW);
        rows.nonWorkingFill = rows.backColour;
        rows.nonWorkingNumber = rows.lineColour;
        rows.hatchColour = rows.lineColour;
    }
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
    inputs.columnDivisor = columnDivisor;
    inputs.unit = unit;
    inputs.fittedLabels = FitsLabels();
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

    RulerRows rows = Rows(clientHeight, rowHeight, labelFont);
    inputs.lineColour = rows.lineColour;
    inputs.backColour = rows.backColour;
    inputs.nonWorkingFill = rows.nonWorkingFill;
    inputs.nonWorkingNumber = rows.nonWorkingNumber;
    inputs.hatch = rows.hatchNonWorking;
    inputs.hatchColour = rows.hatchColour;
    auto paint = [&](HDC context, std::int64_t originX, std::int64_t drawLeft, std::int64_t drawRight) {
        PaintRulerRows(context, rows, originX, drawLeft, drawRight);
    };

    // The whole ruler, drawn again only when what it shows has changed.
    // With the labels in view, every paint draws what is shown afresh:
    // no picture is kept.
    const std::int64_t pixels = static_cast<std::int64_t>(rulerWidth) * clientHeight;
    const bool fits = rulerWidth > 0 && clientHeight > 0 && pixels <= pictureLimit;
    if (labelsInView) {
        ReleaseChartImage();
    } else if (chartImage == nullptr || !fits || !inputs.Matches(pictureInputs)) {
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
    bool wholeViewAgain = false;
    if (labelsInView) {
        // Only the part over the parent's client area is drawn, its labels
        // centred there. When that part has changed since the labels were
        // placed, all of it is painted again.
        int shownLeft = 0, shownRight = 0;
        if (!ShownPart(shownLeft, shownRight)) shownLeft = shownRight = 0;
        area.left = std::max<LONG>(area.left, shownLeft);
        area.right = std::min<LONG>(area.right, shownRight);
        rows.viewLeft = viewOrigin + shownLeft;
        rows.viewRight = viewOrigin + shownRight;
        wholeViewAgain = (rows.viewLeft != labelViewLeft || rows.viewRight != labelViewRight) &&
                         (area.left > shownLeft || area.right < shownRight);
        labelViewLeft = rows.viewLeft;
        labelViewRight = rows.viewRight;
    }
    const int areaWidth = area.right - area.left;
    const std::int64_t from = viewOrigin + area.left;  // ruler x of the area's left edge
    if (areaWidth > 0 && clientHeight > 0) {
        MemoryContext memory(surface.context);
        if (chartImage != nullptr && memory && !labelsInView) {
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
    if (wholeViewAgain) {
        RECT shown{static_cast<LONG>(labelViewLeft - viewOrigin), 0, static_cast<LONG>(labelViewRight - viewOrigin),
                   clientHeight};
        InvalidateRect(window, &shown, FALSE);
    }
}

}  // namespace QVUtility
