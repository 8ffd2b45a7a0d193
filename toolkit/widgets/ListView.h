// ListView: a table of rows and columns (SysListView32 in report view) whose
// rows are not stored anywhere: the owner tells how many there are and hands
// out the text of a cell when the control draws it (onItemText). A table of
// any length costs the same: no memory, window or text per row, only the
// rows in view are asked for. One row can be selected; the row high and the
// first row shown are the owner's to set, so that the table can stand level
// with something drawn beside it.
//
// The control tells what the user did through its notifications; the
// element turns them into the handlers below, and compares the first row
// shown, the selection and the column widths with what it last told after
// every message that can change them, so each change is told once whatever
// caused it (scroll bar, wheel, keys, a resize). The setters SelectRow and
// SetTopRow tell nothing: the owner knows what it asked for.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <vector>

#include "toolkit/core/Child.h"

namespace QVUtility {

class ListView : public Child {
public:
    explicit ListView(GUIElement* parent);
    ~ListView() override;

    struct Column {
        std::wstring title;
        int width = 100;          // pixels of the screen
        bool alignRight = false;  // not for the first column, which is always left aligned
    };

    // ---- Fields, set before Create --------------------------------------------
    std::vector<Column> columns;  // the widths follow the user's changes
    bool border = true;           // a sunken client edge
    bool gridLines = false;
    // The height of every row in pixels of the screen; 0 leaves the
    // control's own (the font's). Rows are never lower than their text.
    int rowHeight = 0;
    // The selected row drawn in the selection's colours also while the list
    // does not have the keyboard (the control's own colour for it then is
    // the buttons' face, which a high-contrast scheme makes the same as the
    // rows around it). May change at any time; redraw the rows after.
    bool selectionAlwaysStrong = false;

    // ---- Handlers ---------------------------------------------------------------
    // The text of a cell, asked only for the cells being drawn (or read).
    std::wstring (*onItemText)(ListView* list, std::size_t row, int column) = nullptr;
    // The user selected a row, or none (-1), by mouse or with the control's keys.
    void (*onSelect)(ListView* list, std::ptrdiff_t row) = nullptr;
    // A double click on a row.
    void (*onActivate)(ListView* list, std::ptrdiff_t row) = nullptr;
    // A right click (the row under it selected first; -1 below the rows), or
    // the menu key or Shift+F10 at the selected row (-1 without one). The
    // point, in screen coordinates, is where the menu belongs.
    void (*onContextMenu)(ListView* list, std::ptrdiff_t row, int screenX, int screenY) = nullptr;
    // The first row shown changed, whatever the cause, SetTopRow aside.
    void (*onScroll)(ListView* list, std::size_t topRow) = nullptr;
    // The user changed a column's width (dragging the edge of its header).
    void (*onColumnWidth)(ListView* list, int column, int width) = nullptr;
    // A click on a cell of the row that was selected before it, while the
    // list had the keyboard (where a list lets a cell be edited in place).
    void (*onSelectedCellClick)(ListView* list, std::size_t row, int column) = nullptr;

    void Create() override;

    // The number of rows; the selected row stays when it is still there, the
    // first row shown too as far as the list can scroll. Redraws the rows.
    void SetRowCount(std::size_t count);
    std::size_t RowCount() const { return rowCount; }
    // Draws every row shown again (their texts changed).
    void RefreshRows();
    // Selects `row` (none for -1 or a row outside the list), brought into
    // view when asked; onSelect is not called (onScroll is, when it scrolls).
    void SelectRow(std::ptrdiff_t row, bool scrollIntoView);
    std::ptrdiff_t SelectedRow() const;
    std::size_t TopRow() const;
    // Shows `row` first, or the row nearest to it the list can scroll to;
    // onScroll is not called.
    void SetTopRow(std::size_t row);
    // The height of the rows as the control lays them out (0 while it has
    // no rows or no window).
    int RowHeight() const;
    // Sets rowHeight and lays the rows out again (after a change of font or
    // of the screen's density).
    void SetRowHeight(int pixels);
    int HeaderHeight() const;
    // Where the first row shown begins in the list's client area: under the
    // header, and a little lower with grid lines (the header's height while
    // there are no rows).
    int FirstRowTop() const;
    std::vector<int> ColumnWidths() const;
    // A cell's place in the list's client area (empty when the list cannot
    // tell it): the first column without the room of the rows' images.
    RECT CellRect(std::size_t row, int column) const;
    // Draws one row again (its texts changed).
    void RefreshRow(std::size_t row);
    void SetColumnWidth(int column, int width);

    bool OnNotify(NMHDR* header, LRESULT& result) override;
    LRESULT ProcessByDefault(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The control's own answer to a message, bypassing the element.
    LRESULT Native(UINT message, WPARAM wParam, LPARAM lParam) const;
    void InsertColumns();
    void ApplyRowHeight();
    int MeasureRowHeight();
    void FillCell(NMLVDISPINFOW& info);
    // The colours of a row about to be drawn; the answer to NM_CUSTOMDRAW.
    LRESULT RowColours(NMLVCUSTOMDRAW& draw) const;
    void SetSelection(std::ptrdiff_t row);
    void ContextMenuAt(std::ptrdiff_t row, POINT client);
    // Compares the control with what was told last and calls the handlers
    // of what changed; false when a handler deleted the element.
    bool TellChanges(bool selectionToNone);

    std::size_t rowCount = 0;
    HIMAGELIST rowImages = nullptr;  // a blank image as high as a row; owned
    std::wstring cellText;           // the one buffer the cells' texts go through
    // What the owner knows: last told or set.
    std::size_t toldTop = 0;
    std::ptrdiff_t toldSelection = -1;
    std::vector<int> toldWidths;
    bool changing = false;  // the element itself is changing the control: nothing is told
};

}  // namespace QVUtility
