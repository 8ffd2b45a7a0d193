#include "app/dialogs/ReportView.h"

#include <commctrl.h>

#include "model/WideText.h"

#include <algorithm>
#include <utility>

namespace MyApp {

namespace {

constexpr UINT_PTR SubclassId = 0x52564957;
// Lines held below the view, so that the control can move its caret or a
// selection one line down on its own; the view then follows it.
constexpr std::size_t LinesBelowView = 2;

bool KeyDown(int key) { return GetKeyState(key) < 0; }

// Messages after which the control may have scrolled on its own.
bool MayScroll(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_TIMER:
    case WM_CHAR:
    case WM_HSCROLL:
    case EM_SETSEL:
    case EM_SCROLLCARET:
    case EM_LINESCROLL:
    case EM_SCROLL:
        return true;
    default:
        return false;
    }
}

}  // namespace

ReportView::~ReportView() {
    if (edit_ != nullptr) RemoveWindowSubclass(edit_, &Procedure, SubclassId);
}

void ReportView::Attach(HWND edit) {
    if (edit == nullptr || !SetWindowSubclass(edit, &Procedure, SubclassId, reinterpret_cast<DWORD_PTR>(this))) return;
    edit_ = edit;
    // The control holds a few pages at most; no typing limit may cut them.
    Pass(EM_LIMITTEXT, 0, 0);
    Fill();
}

void ReportView::SetText(std::wstring text) {
    text_ = std::move(text);
    narrowText_.clear();
    narrowText_.shrink_to_fit();
    narrow_ = false;
    FindLines();
}

void ReportView::SetNarrowText(std::string text) {
    CPINFO codePage{};
    char bytes[256];
    for (int i = 0; i < 256; ++i) bytes[i] = static_cast<char>(i);
    // In a single-byte code page each byte is widened alone, by a table.
    if (!GetCPInfo(CP_ACP, &codePage) || codePage.MaxCharSize != 1 ||
        MultiByteToWideChar(CP_ACP, 0, bytes, 256, widened_, 256) != 256) {
        SetText(Widen(text));
        return;
    }
    narrowText_ = std::move(text);
    text_.clear();
    text_.shrink_to_fit();
    narrow_ = true;
    FindLines();
}

void ReportView::FindLines() {
    starts_.assign(1, 0);
    if (narrow_) {
        for (std::size_t i = narrowText_.find('\n'); i != std::string::npos; i = narrowText_.find('\n', i + 1))
            starts_.push_back(i + 1);
    } else {
        for (std::size_t i = text_.find(L'\n'); i != std::wstring::npos; i = text_.find(L'\n', i + 1))
            starts_.push_back(i + 1);
    }
    ShowFromTop();
}

std::wstring ReportView::Part(std::size_t from, std::size_t to) const {
    if (!narrow_) return text_.substr(from, to - from);
    std::wstring part(to - from, L'\0');
    for (std::size_t i = from; i < to; ++i) part[i - from] = At(i);
    return part;
}

void ReportView::ShowFromTop() {
    first_ = 0;
    shownFrom_ = shownTo_ = 0;
    if (edit_ != nullptr) {
        Pass(EM_SETSEL, 0, 0);
        Fill();
    }
}

void ReportView::ScrollTo(std::size_t line) {
    first_ = std::min(line, LastFirstLine());
    Fill();
}

std::size_t ReportView::LineEnd(std::size_t line) const {
    if (line + 1 >= starts_.size()) return Size();
    const std::size_t next = starts_[line + 1] - 1;  // the '\n'
    return next > starts_[line] && At(next - 1) == L'\r' ? next - 1 : next;
}

std::size_t ReportView::LinesInView() const {
    if (edit_ == nullptr) return 1;
    RECT format{};
    SendMessageW(edit_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    HDC dc = GetDC(edit_);
    const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(edit_, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font != nullptr ? font : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(edit_, dc);
    const long lines = (format.bottom - format.top) / std::max<long>(1, metrics.tmHeight);
    return static_cast<std::size_t>(std::max<long>(1, lines));
}

std::size_t ReportView::LastFirstLine() const {
    const std::size_t inView = LinesInView();
    return starts_.size() > inView ? starts_.size() - inView : 0;
}

void ReportView::Fill() {
    if (edit_ == nullptr) return;
    DWORD selectionStart = 0, selectionEnd = 0;
    Pass(EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
    const std::size_t start = shownFrom_ + selectionStart, end = shownFrom_ + selectionEnd;
    const int across = GetScrollPos(edit_, SB_HORZ);

    first_ = std::min(first_, starts_.size() - 1);
    const std::size_t last = std::min(starts_.size(), first_ + LinesInView() + LinesBelowView) - 1;
    shownFrom_ = starts_[first_];
    shownTo_ = LineEnd(last);
    Pass(WM_SETREDRAW, FALSE, 0);
    const std::wstring lines = Part(shownFrom_, shownTo_);
    Pass(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lines.c_str()));
    // The caret and the selection stay on their text while the caret is in
    // view, and come to the top of the view otherwise (the control would
    // scroll to a caret below it).
    const auto local = [this](std::size_t offset) {
        return static_cast<WPARAM>(std::clamp(offset, shownFrom_, shownTo_) - shownFrom_);
    };
    const auto caretLine = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), end) - starts_.begin()) - 1;
    if (caretLine < first_ || caretLine >= first_ + LinesInView()) Pass(EM_SETSEL, 0, 0);
    else Pass(EM_SETSEL, local(start), static_cast<LPARAM>(local(end)));
    if (across > 0) Pass(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, across), 0);
    Pass(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit_, nullptr, TRUE);
    ShowScrollBar();
}

void ReportView::FollowControl() {
    const auto moved = static_cast<std::size_t>(Pass(EM_GETFIRSTVISIBLELINE, 0, 0));
    if (moved == 0) return;
    first_ += moved;
    Fill();
}

void ReportView::ShowScrollBar() const {
    SCROLLINFO bar{};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    bar.nMax = static_cast<int>(std::min<std::size_t>(starts_.size() - 1, 0x7FFFFFFF));
    bar.nPage = static_cast<UINT>(LinesInView());
    bar.nPos = static_cast<int>(first_);
    SetScrollInfo(edit_, SB_VERT, &bar, TRUE);
}

bool ReportView::MoveByKey(WPARAM key) {
    const bool shift = KeyDown(VK_SHIFT), control = KeyDown(VK_CONTROL);
    const std::size_t caretLine = first_ + static_cast<std::size_t>(Pass(EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
    const std::size_t inView = LinesInView();
    switch (key) {
    case VK_UP:
        // The control moves the caret once the line above is in view.
        if (caretLine == first_ && first_ > 0 && !control) ScrollTo(first_ - 1);
        return false;
    case VK_DOWN:
        if (caretLine + 1 >= first_ + inView && !control) ScrollTo(first_ + 1);
        return false;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: {
        if ((key == VK_HOME || key == VK_END) && !control) return false;
        DWORD selectionStart = 0, selectionEnd = 0;
        Pass(EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart), reinterpret_cast<LPARAM>(&selectionEnd));
        const std::size_t caret = shownFrom_ + static_cast<std::size_t>(Pass(EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
        const std::size_t column = shownFrom_ + selectionEnd >= caret ? shownFrom_ + selectionEnd - caret : 0;
        const std::size_t anchor = shownFrom_ + (selectionEnd == selectionStart ? selectionEnd : selectionStart);
        std::size_t line = caretLine, offset;
        if (key == VK_HOME) {
            first_ = 0;
            offset = 0;
        } else if (key == VK_END) {
            first_ = LastFirstLine();
            offset = Size();
        } else {
            const bool down = key == VK_NEXT;
            first_ = down ? std::min(first_ + inView, LastFirstLine()) : first_ - std::min(first_, inView);
            line = down ? std::min(line + inView, starts_.size() - 1) : line - std::min(line, inView);
            offset = std::min(starts_[line] + column, LineEnd(line));
        }
        Fill();
        const auto local = [this](std::size_t at) { return std::clamp(at, shownFrom_, shownTo_) - shownFrom_; };
        Pass(EM_SETSEL, shift ? local(anchor) : local(offset), static_cast<LPARAM>(local(offset)));
        Pass(EM_SCROLLCARET, 0, 0);
        FollowControl();
        return true;
    }
    default:
        return false;
    }
}

LRESULT ReportView::Pass(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(edit_, message, wParam, lParam);
}

LRESULT CALLBACK ReportView::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self) {
    auto* view = reinterpret_cast<ReportView*>(self);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &Procedure, SubclassId);
        view->edit_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    return view->Handle(message, wParam, lParam);
}

LRESULT ReportView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) return 0;
        const std::size_t copied = std::min<std::size_t>(wParam - 1, Size());
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        for (std::size_t i = 0; i < copied; ++i) buffer[i] = At(i);
        buffer[copied] = L'\0';
        return static_cast<LRESULT>(copied);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(Size());
    case WM_SETTEXT:
        SetText(lParam != 0 ? reinterpret_cast<const wchar_t*>(lParam) : L"");
        return TRUE;
    case EM_GETLINECOUNT: return static_cast<LRESULT>(starts_.size());
    case WM_VSCROLL: {
        const std::size_t inView = LinesInView();
        switch (LOWORD(wParam)) {
        case SB_LINEUP: ScrollTo(first_ > 0 ? first_ - 1 : 0); break;
        case SB_LINEDOWN: ScrollTo(first_ + 1); break;
        case SB_PAGEUP: ScrollTo(first_ - std::min(first_, inView)); break;
        case SB_PAGEDOWN: ScrollTo(first_ + inView); break;
        case SB_TOP: ScrollTo(0); break;
        case SB_BOTTOM: ScrollTo(LastFirstLine()); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO bar{};
            bar.cbSize = sizeof bar;
            bar.fMask = SIF_TRACKPOS;
            GetScrollInfo(edit_, SB_VERT, &bar);
            ScrollTo(static_cast<std::size_t>(std::max(0, bar.nTrackPos)));
            break;
        }
        default: break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL: {
        UINT perNotch = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
        wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const long notches = wheel_ / WHEEL_DELTA;
        wheel_ %= WHEEL_DELTA;
        const long lines = notches * (perNotch == WHEEL_PAGESCROLL ? static_cast<long>(LinesInView()) : static_cast<long>(perNotch));
        ScrollTo(lines > 0 ? first_ - std::min<std::size_t>(first_, static_cast<std::size_t>(lines))
                           : first_ + static_cast<std::size_t>(-lines));
        return 0;
    }
    case WM_KEYDOWN:
        if (MoveByKey(wParam)) return 0;
        break;
    case WM_SIZE:
    case WM_SETFONT: {
        const LRESULT result = Pass(message, wParam, lParam);
        first_ = std::min(first_, LastFirstLine());
        Fill();
        return result;
    }
    default: break;
    }
    const LRESULT result = Pass(message, wParam, lParam);
    if (message == WM_KEYDOWN || MayScroll(message)) {
        FollowControl();
        ShowScrollBar();
    }
    return result;
}

}  // namespace MyApp
