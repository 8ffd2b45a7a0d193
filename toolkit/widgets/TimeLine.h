// TimeLine: the calendar ruler of the Gantt chart. Three rows laid from the
// bottom of the control upwards: the days (one column each, non-working days
// filled red with yellow numbers), the months (Italian abbreviations) and the
// years. When the columns are narrow (the chart zoomed out) the bottom row
// shows weeks or months instead (RulerUnit). The ruler is sized to its span
// by SetProject, to another scale by SetColumnWidth, paints itself off
// screen and keeps the picture of its last paint in chartImage.
//
// The picture is redrawn only when something it depends on has changed (the
// span, the calendar, the colours, the font or the size); any other paint
// copies the part asked for from chartImage, so scrolling a ruler of many
// years stays quick. When a bitmap of the whole ruler cannot be made, only
// the part being painted is drawn, and chartImage is left empty.
//
// A native window is at most 32767 pixels wide and placed within 32767
// pixels of its parent's corner, while a ruler of a few years is wider. The
// ruler's `width` is its full width; when its window cannot be that wide, the
// window shows the part of the ruler that lies over the parent's client area
// and follows the parent's horizontal scrolling (see FollowParent).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/Date.h"
#include "model/WorkingDays.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/widgets/PanelChildren.h"

namespace QVUtility {

class FontDescription;

// What the bottom row shows, from the widest columns to the narrowest.
//   Days:   a cell per day, non-working days red with yellow numbers; the
//           middle row shows the months, the top row the years.
//   Weeks:  a box per week, Monday to Sunday, labelled with the day of the
//           month of its Monday (a week cut by the span's first day too);
//           no red. Middle row months, top row years.
//   Months: a box per month, labelled "GEN" ... "DIC", or its initial when
//           the abbreviation does not fit; the middle row shows the quarters
//           "T1" ... "T4", the top row the years.
// At the weeks and months levels a row's boxes and labels go all alike: a
// label is drawn when it fits inside the outlines of its box and of the row's
// narrowest whole box (a week, a month of 28 days, a quarter of 90 days, a
// year of 365), the months' abbreviations only when the widest of them fits
// (else their initials, alike), and a row whose narrowest box is under 4
// pixels draws no box at all.
enum class RulerUnit { Days, Weeks, Months };

// What the ruler's three rows are drawn from: the control's own paint and
// other surfaces (a printed page) share the drawing.
struct RulerRows {
    MyApp::Date spanStart;                                // first day
    MyApp::Date spanEnd;                                  // last day (inclusive)
    const MyApp::WorkingDayCalendar* calendar = nullptr;  // which days are red; none draws no day
    // Column c spans ruler x from c * columnWidth / columnDivisor to the next
    // column's edge, so columns need not be whole pixels wide.
    std::int64_t columnWidth = 20;
    std::int64_t columnDivisor = 1;
    // Width of the whole picture: how many columns to draw when the span's
    // end is no real day.
    std::int64_t pictureWidth = 0;
    int bottom = 0;  // y below the day row; the rows are laid upwards from here
    int rowHeight = 0;
    FontDescription* font = nullptr;  // labels
    COLORREF lineColour = RGB(0, 0, 0);
    COLORREF backColour = RGB(255, 255, 255);
    // The non-working days' cells: their fill and their numbers' colour;
    // hatched, they are also crossed by thin diagonal lines in the hatch
    // colour (the numbers on a plate of the fill), a cue that does not rest
    // on colour alone.
    COLORREF nonWorkingFill = RGB(255, 0, 0);
    COLORREF nonWorkingNumber = RGB(255, 255, 0);
    bool hatchNonWorking = false;
    COLORREF hatchColour = RGB(96, 0, 0);
    // Month and year boxes that go on beyond the drawn part end at its edges
    // (each printed page labels its own months).
    bool cutAtEdges = false;
    // Labels wider than their box are left out rather than clipped (always
    // so at the weeks and months levels).
    bool fittedLabels = false;
    RulerUnit unit = RulerUnit::Days;  // what the bottom row shows
    // Labels in view: when viewRight > viewLeft (ruler x), the label of every
    // month, quarter and year box, and of the week and month boxes of the
    // bottom row, is centred in the part of its box between the two (and,
    // with fitted labels, left out when it does not fit that part); the
    // boxes themselves keep their places.
    std::int64_t viewLeft = 0;
    std::int64_t viewRight = 0;
};

// Draws the part of the rows from ruler x drawLeft to drawRight on the
// context, with ruler x = originX at the context's x = 0: the background, a
// cell per day (non-working days red with yellow numbers, or as the rows'
// colours say, hatched when asked; columns too narrow for an outline show
// only the fill) or a box per week or month, and the boxes of the two rows
// above. The hatch keeps to the ruler's x, wherever the part drawn starts.
// The work done depends on the columns from drawLeft to drawRight, not on
// how far into the span they lie.
void PaintRulerRows(HDC context, const RulerRows& rows, std::int64_t originX, std::int64_t drawLeft,
                    std::int64_t drawRight);

// The weeks a box of the weeks row spans at pixels per day = width / divisor
// in the font selected into the context: 1 when a Monday's number of two
// digits fits inside a week, else 2 or 4 (the first where it fits, or 4),
// so that no number is cut by a box's outline. A box of 2 or 4 weeks starts
// on a Monday a whole number of such boxes away from Monday 1 January 2024.
int WeeksPerBox(HDC context, std::int64_t width, std::int64_t divisor);

class TimeLine : public PanelChildren {
public:
    explicit TimeLine(GUIElement* parentElement);
    ~TimeLine() override;

    int workingWeekdays[7] = {1, 1, 1, 1, 1, 0, 0};  // index 0 = Monday ... 6 = Sunday; non-zero = working
    MyApp::Date spanStart;                           // first day drawn
    MyApp::Date spanEnd;                             // last day drawn (inclusive)
    // The columns' width: pixels per day = dayWidth / columnDivisor. With
    // the divisor 1 (SetProject's choice) dayWidth is the width of every
    // day column in pixels; otherwise it is the numerator of that fraction,
    // and column c spans ruler x from ColumnLeft(c) to ColumnLeft(c + 1).
    int dayWidth = 20;
    std::int64_t columnDivisor = 1;
    RulerUnit unit = RulerUnit::Days;  // what the bottom row shows (set by SetProject and SetColumnWidth)
    // Labels in view: the label of every box of the top two rows (and of the
    // bottom row's week or month boxes) is centred in the part of the box
    // that lies over the parent's client area, so the year and the month
    // stay on screen however far the parent scrolls. The window then paints
    // what is shown afresh at every paint (no chartImage is kept), and
    // after a horizontal scroll of the parent it paints its visible part
    // again. After the parent's client area changes size, Redraw the ruler.
    bool labelsInView = false;
    HBITMAP chartImage = nullptr;                    // picture of the last paint (whole ruler); owned
    bool fontBold = false;
    bool fontUnderline = false;
    bool fontItalic = false;
    std::string fontName = "Tahoma";
    int fontSize = 14;
    COLORREF lineColour = RGB(0, 0, 0);    // outlines, month and year labels, numbers of working days
    // On screen only (not in BaseRows' picture): the non-working days
    // hatched as well as red; and, with systemColours (high contrast), the
    // ruler in the system's colours (window, window text), the non-working
    // days hatched in the text's colour on the window's.
    bool hatchNonWorking = false;
    bool systemColours = false;
    std::vector<MyApp::Date> includeDays;  // extra working days (a copy of the project's)
    std::vector<MyApp::Date> excludeDays;  // extra non-working days

    // Largest picture, in pixels, made for the whole ruler; a ruler above it
    // paints only what is being shown.
    std::int64_t pictureLimit = 64LL * 1024 * 1024;

    // Takes the span, copies of the two day lists and the seven weekday flags
    // (Monday first; none keeps the current ones), then sets the column width
    // and the control's width: short spans are stretched to nine tenths of
    // the screen width, longer ones keep 20-pixel columns.
    // The divisor goes back to 1 and the unit to UnitFor that width.
    void SetProject(MyApp::Date start, MyApp::Date end, std::vector<MyApp::Date> include,
                    std::vector<MyApp::Date> exclude, const int* weekdayFlags);

    // Another scale for the span set: pixels per day = width / divisor (the
    // fraction is kept reduced). Sets the unit to UnitFor that scale on the
    // control's screen and the control's width to the whole ruler's,
    // ColumnLeft(ColumnCount()) (at least one pixel, capped as SetProject's).
    // False, and nothing changed, when width or divisor is below 1 or the
    // reduced width exceeds an int.
    bool SetColumnWidth(std::int64_t width, std::int64_t divisor);

    // Ruler x of the left edge of column c: floor(c * dayWidth / columnDivisor).
    std::int64_t ColumnLeft(std::int64_t column) const;

    // The unit of the bottom row for pixels per day = width / divisor on a
    // screen of `scale`; the thresholds are pixels per day at 96 DPI, scaled,
    // chosen for the ruler's normal font (digits 7 pixels wide at 96 DPI):
    //   days    from 2.5 pixels per day: red cells throughout, outlined from
    //           3 pixels, numbers from 15 (where "30" fits a column);
    //   weeks   from 1 pixel per day (a week 7 to 17 pixels, a month at
    //           least 28, where "MAG" fits): the Mondays' numbers of two
    //           digits fit a week from about 2.3 pixels per day; below, a
    //           box spans two or four weeks (WeeksPerBox);
    //   months  below: the initials from about 0.4 pixels per day, "T1"
    //           from about 0.18, the years from about 0.09.
    static RulerUnit UnitFor(std::int64_t width, std::int64_t divisor, DisplayScale scale = DisplayScale());
    static constexpr int DaysFromHalfPixelsPerDay = 5;
    static constexpr int WeeksFromHalfPixelsPerDay = 2;

    bool IsIncludedDay(const MyApp::Date& day) const;
    bool IsExcludedDay(const MyApp::Date& day) const;

    // Number of day columns of the span: 0 when the start is invalid or the
    // end lies before it; when the end cannot be converted, as many as the
    // control's width holds.
    std::int64_t ColumnCount() const;

    void OnPaint() override;
    // Keeps the window over the visible part of a ruler wider than a window.
    void OnMove() override;
    // Places the window over the parent's client area when the ruler is
    // wider than its window, after a scroll of the parent or a resize; the
    // owner calls it itself after scrolling the parent with its drawing
    // held, when the ruler was not moved with it.
    void FollowParent();
    // The owner places the ruler itself: ruler x `left` at the parent's
    // client x 0, whatever the parent's scroll bars say. From then on the
    // ruler keeps that place (its window over the parent's client area)
    // until the owner gives it another, and no longer follows the parent's
    // scrolling on its own.
    void ShowFrom(std::int64_t left);

    // Ruler x shown at the window's left edge (0 unless the ruler is wider
    // than its window can be).
    std::int64_t ViewOrigin() const { return viewOrigin; }
    // Width of the whole ruler's picture: the client width the window would
    // have if it could be as wide as `width`.
    int RulerWidth() const;

    // The ruler's height and its normal column width at 96 DPI.
    static constexpr int NormalHeight = 50;
    static constexpr int NormalDayWidth = 20;
    // The column width for a span of `columns` days on a screen of `scale`.
    static int ColumnWidthFor(std::int64_t columns, DisplayScale scale);

    // The rows as the ruler draws them at 96 DPI, whatever the screen, with
    // the top of the ruler at `top`: what the exported picture shows. The
    // labels are drawn in `baseFont`, a copy of the ruler font made for
    // 96 DPI (RulerFont); `baseWidth` receives the picture's width.
    RulerRows BaseRows(int top, FontDescription& baseFont, int& baseWidth) const;
    // The ruler's own font as its fields describe it (for 96 DPI).
    FontDescription RulerFont() const;

    // Month abbreviation of month 1 to 12 ("GEN" ... "DIC"); empty otherwise.
    static const wchar_t* MonthAbbreviation(int month);

private:
    // What the picture in chartImage was drawn from.
    struct PictureInputs {
        int clientWidth = 0;
        int clientHeight = 0;
        int rowHeight = 0;
        int dayWidth = 0;
        std::int64_t columnDivisor = 1;
        RulerUnit unit = RulerUnit::Days;
        bool fittedLabels = false;
        COLORREF lineColour = 0;
        COLORREF backColour = 0;
        COLORREF nonWorkingFill = 0;
        COLORREF nonWorkingNumber = 0;
        bool hatch = false;
        COLORREF hatchColour = 0;
        HFONT labelFont = nullptr;
        std::wstring fontFace;
        int fontHeight = 0;
        int fontDpi = 0;
        bool bold = false, italic = false, underline = false;
        MyApp::Date spanStart, spanEnd;
        int calendarVersion = 0;
        bool Matches(const PictureInputs& other) const;
    };
    PictureInputs pictureInputs;

    std::int64_t viewOrigin = 0;   // ruler x at the window's left edge
    // Labels in view: the ruler x range over the parent's client area that
    // the labels were last centred in (empty: none yet).
    std::int64_t labelViewLeft = 0, labelViewRight = 0;
    std::int64_t logicalLeft = 0;  // ruler x = 0 in the parent's client coordinates
    int lastParentScroll = -1;     // parent's horizontal position at the last move; -1 = none yet
    bool placedByOwner = false;    // ShowFrom was called: logicalLeft is the owner's
    bool repositioning = false;    // our own move is under way

    // The working-day calendar the paint asks about each day, made from the
    // weekday flags and the two lists: by SetProject, and again at a paint
    // only when the owner has changed those fields since.
    struct CalendarFields {
        int weekdays[7] = {};
        std::vector<MyApp::Date> includeDays, excludeDays;
    };
    CalendarFields calendarFields;
    MyApp::WorkingDayCalendar calendar;
    int calendarVersion = 0;  // counts the calendars made
    void UpdateCalendar();

    void ReleaseChartImage();
    // Sets the control's width to the whole ruler's at the current scale.
    void ApplyRulerWidth();
    // Whether labels wider than their box are left out: once the ruler
    // differs from its normal picture (columns narrower than the normal
    // width or not whole pixels, another unit, labels in view).
    bool FitsLabels() const;
    // The part of the client area over the parent's client area, in client
    // x; false when there is none.
    bool ShownPart(int& left, int& right) const;
    // The rows as the control paints them, in a client area `bottom` high
    // (on screen: hatched and in the system's colours when asked).
    RulerRows Rows(int bottom, int rowHeight, FontDescription* labelFont, bool onScreen = true) const;
};

}  // namespace QVUtility
