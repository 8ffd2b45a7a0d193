#include "app/dialogs/FormCosto.h"

#include <algorithm>

#include "app/res/resource.h"
#include "app/settings/Settings.h"
#include "model/FormatAmount.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/TextBox.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

// The size the report first opens at, and the smallest it can be given.
constexpr int ClientWidth = 400;
constexpr int ClientHeight = 330;
constexpr int ButtonWidth = 100;
constexpr int ButtonGap = 10;

// What is kept of the window between runs.
constexpr const wchar_t* WidthSetting = L"CostReportWidth";
constexpr const wchar_t* HeightSetting = L"CostReportHeight";
constexpr const wchar_t* MaximizedSetting = L"CostReportMaximized";

void SizeChanged(GUIElement* element) {
    if (auto* report = dynamic_cast<FormCosto*>(element)) report->Layout();
}

// A kept size (96 DPI) that fits the owner's screen, and no smaller than the first.
SIZE KeptSize(const QVUtility::Form* owner) {
    const QVUtility::DisplayScale scale = owner != nullptr ? owner->scale : QVUtility::DisplayScale::OfSystem();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const HMONITOR screen = MonitorFromWindow(owner != nullptr ? owner->window : nullptr, MONITOR_DEFAULTTOPRIMARY);
    const bool known = GetMonitorInfoW(screen, &monitor) != FALSE;
    const int widest = known ? scale.ToBase(monitor.rcWork.right - monitor.rcWork.left) - 60 : 1200;
    const int tallest = known ? scale.ToBase(monitor.rcWork.bottom - monitor.rcWork.top) - 100 : 800;
    const auto kept = [](const wchar_t* name, int fallback, int largest) {
        const int value = static_cast<int>(std::min<std::uint32_t>(ReadSetting(name, static_cast<std::uint32_t>(fallback)), 100000));
        return std::max(fallback, std::min(value, largest));
    };
    return SIZE{kept(WidthSetting, ClientWidth, widest), kept(HeightSetting, ClientHeight, tallest)};
}

}  // namespace

FormCosto::FormCosto(QVUtility::Form* ownerForm, const std::wstring& title)
    : DialogFrame(ownerForm, title, KeptSize(ownerForm).cx, KeptSize(ownerForm).cy, L"Tahoma") {
    sizingFrame = true;
    maximizeBox = true;
    minimumClientSize = SIZE{ClientWidth, ClientHeight};
    onResize = &SizeChanged;
    OpenWindow();
    if (window != nullptr && ReadSetting(MaximizedSetting, 0) != 0) ShowWindow(window, SW_MAXIMIZE);
    Layout();
}

FormCosto::~FormCosto() { CloseSilently(); }

void FormCosto::BuildControls() {
    const int w = builtWidth;
    const int h = builtHeight;

    totalLabel = Own(new QVUtility::Label(this, ""));
    Place(totalLabel, 10, 10, w - 20, 25);
    totalLabel->font = font;
    totalLabel->Create();
    detailLabel = MakeLabel(L"Dettaglio:", 10, 60, 80, 25);
    reportBox = Own(new QVUtility::TextBox(this, ""));
    reportBox->accessibleName = L"Dettaglio";
    Place(reportBox, 10, 85, w - 20, h - 135);
    reportBox->multiLine = 1;
    reportBox->readOnly = 1;
    reportBox->horizontalBar = 1;
    reportBox->verticalBar = 1;
    reportBox->wordWrap = 0;
    reportBox->Create();
    reportView_.Attach(reportBox->window);
    const int left = (w - 2 * ButtonWidth - ButtonGap) / 2;
    okButton = MakeButton(L"OK", left, h - 35, ButtonWidth, 25);
    // Made last, with an identifier of its own: the others keep theirs.
    copyButton = Own(new QVUtility::Button(this, ""));
    copyButton->fixedId = IDC_COST_COPY;
    copyButton->text = L"Copia";
    Place(copyButton, left + ButtonWidth + ButtonGap, h - 35, ButtonWidth, 25);
    copyButton->onCommand = okButton->onCommand;
    copyButton->Create();
    firstField = reportBox;
}

void FormCosto::Layout() {
    if (window == nullptr || reportBox == nullptr || copyButton == nullptr || IsIconic(window)) return;
    const SIZE client = BaseClientSize();
    if (client.cx <= 0 || client.cy <= 0) return;
    if (!IsZoomed(window)) normalSize_ = client;
    const int w = std::max<int>(client.cx, ClientWidth);
    const int h = std::max<int>(client.cy, ClientHeight);
    const int left = (w - 2 * ButtonWidth - ButtonGap) / 2;
    const auto put = [this](GUIElement* element, int x, int y, int width, int height) {
        element->x = scale(x);
        element->y = scale(y);
        element->width = scale(width);
        element->height = scale(height);
        if (element->window != nullptr)
            SetWindowPos(element->window, nullptr, element->x, element->y, element->width, element->height,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    };
    put(totalLabel, 10, 10, w - 20, 25);
    put(reportBox, 10, 85, w - 20, h - 135);
    put(okButton, left, h - 35, ButtonWidth, 25);
    put(copyButton, left + ButtonWidth + ButtonGap, h - 35, ButtonWidth, 25);
    InvalidateRect(window, nullptr, TRUE);
}

void FormCosto::OnDpiChanged(QVUtility::DisplayScale newScale, const RECT& suggested) {
    const SIZE kept = normalSize_;
    const bool maximized = window != nullptr && IsZoomed(window);
    DialogFrame::OnDpiChanged(newScale, suggested);
    if (!maximized && kept.cx > 0) SetClientSize(scale(kept.cx), scale(kept.cy));
    Layout();
}

void FormCosto::SetReport(const std::string& reportText, Money total) {
    totalLine_ = L"Costo del progetto: " + QVUtility::Widen(FormatAmount(total));
    if (totalLabel != nullptr) totalLabel->SetText(totalLine_);
    FitTotalLine();
    reportView_.SetText(QVUtility::Widen(reportText));
}

void FormCosto::FitTotalLine() {
    if (window == nullptr || totalLabel == nullptr || totalLabel->window == nullptr) return;
    HDC dc = GetDC(totalLabel->window);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(totalLabel->window, WM_GETFONT, 0, 0)));
    SIZE text{};
    GetTextExtentPoint32W(dc, totalLine_.c_str(), static_cast<int>(totalLine_.size()), &text);
    SelectObject(dc, old);
    ReleaseDC(totalLabel->window, dc);
    // The label has 10 units of margin on either side, and a few pixels to spare.
    const int needed = scale.ToBase(text.cx + 4) + 20;
    minimumClientSize.cx = std::max<int>(ClientWidth, needed);
    const SIZE client = BaseClientSize();
    if (client.cx < needed && !IsZoomed(window)) SetClientSize(scale(needed), scale(client.cy));
}

std::wstring FormCosto::ReportText() const {
    // The report of a project with tasks starts on a line of its own.
    return totalLine_ + L"\r\n" + reportView_.Text();
}

void FormCosto::OnButton(GUIElement* button) {
    if (button != nullptr && button == copyButton) {
        CopyToClipboard(ReportText());
        return;
    }
    DialogFrame::OnButton(button);
}

bool FormCosto::CopyToClipboard(const std::wstring& text) {
    if (window == nullptr || !OpenClipboard(window)) return false;
    bool copied = false;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (EmptyClipboard()) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (void* data = memory != nullptr ? GlobalLock(memory) : nullptr) {
            std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(data));
            GlobalUnlock(memory);
            copied = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        // The clipboard owns the memory once it has taken it.
        if (!copied && memory != nullptr) GlobalFree(memory);
    }
    CloseClipboard();
    return copied;
}

void FormCosto::ReleaseOwner() {
    // Kept for the next time: the size when not maximised, and whether it was.
    if (window != nullptr && normalSize_.cx > 0) {
        WriteSetting(WidthSetting, static_cast<std::uint32_t>(normalSize_.cx));
        WriteSetting(HeightSetting, static_cast<std::uint32_t>(normalSize_.cy));
        WriteSetting(MaximizedSetting, IsZoomed(window) ? 1 : 0);
    }
    DialogFrame::ReleaseOwner();
}

}  // namespace MyApp
