// ReportView: a read-only multi-line edit control that shows a text of any
// length at once. The edit control measures every line it holds whenever it
// is given a text, a few hundredths of a millisecond each, so that a report of
// a million lines would keep the window blank for minutes. Here the control
// holds only the lines in view and a few more; the view moves through the
// text by the scroll bar, the wheel and the keys, and the control still
// answers WM_GETTEXT and WM_GETTEXTLENGTH with the whole text (outside checks
// and screen readers read it so).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace MyApp {

class ReportView {
public:
    ReportView() = default;
    ~ReportView();
    ReportView(const ReportView&) = delete;
    ReportView& operator=(const ReportView&) = delete;

    // Takes over `edit`, a multi-line edit control with a vertical scroll
    // bar; from then on WM_SETTEXT to it sets the whole text.
    void Attach(HWND edit);
    void SetText(std::wstring text);
    // The same for a text of the system code page (CP_ACP). In a single-byte
    // code page it is kept as it is and widened a part at a time, as it is
    // shown or asked for: a report of a million tasks holds some hundred
    // million characters.
    void SetNarrowText(std::string text);
    std::wstring Text() const { return Part(0, Size()); }

    std::size_t LineCount() const { return starts_.size(); }
    // The line of the text at the top of the view.
    std::size_t FirstLine() const { return first_; }
    // Moves the view so that `line` is at its top (or as near as the text allows).
    void ScrollTo(std::size_t line);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Pass(UINT message, WPARAM wParam, LPARAM lParam);
    // Shows the text from its top, once text_ and starts_ are set.
    void ShowFromTop();
    // Handles a key that moves the view; false for one the control handles alone.
    bool MoveByKey(WPARAM key);
    // Puts the lines from first_ into the control, the caret and the
    // selection where they were in the text when they are still in view.
    void Fill();
    // Takes over a scroll the control made on its own.
    void FollowControl();
    void ShowScrollBar() const;
    std::size_t LinesInView() const;
    std::size_t LastFirstLine() const;
    std::size_t LineEnd(std::size_t line) const;  // offset after the line's text, before its line end

    // The text: wide, or narrow and widened by the table as it is read.
    std::size_t Size() const { return narrow_ ? narrowText_.size() : text_.size(); }
    wchar_t At(std::size_t offset) const {
        return narrow_ ? widened_[static_cast<unsigned char>(narrowText_[offset])] : text_[offset];
    }
    std::wstring Part(std::size_t from, std::size_t to) const;
    void FindLines();

    HWND edit_ = nullptr;
    std::wstring text_;
    std::string narrowText_;
    bool narrow_ = false;
    wchar_t widened_[256] = {};
    std::vector<std::size_t> starts_{0};  // the offset of every line
    std::size_t first_ = 0;
    std::size_t shownFrom_ = 0, shownTo_ = 0;  // the offsets the control holds
    int wheel_ = 0;                            // wheel movement short of a line
};

}  // namespace MyApp
