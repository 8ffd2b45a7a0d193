#include "app/print/PrintCommands.h"

#include <commdlg.h>

#include <algorithm>

#include "app/print/FormAnteprima.h"
#include "app/print/FormStampa.h"
#include "toolkit/draw/GdiTally.h"
#include "toolkit/platform/MessageBoxes.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Timer.h"

namespace MyApp {

namespace {

// The page numbers the print dialog can show.
constexpr std::int64_t MaxDialogPage = 0xFFFF;

// The printer setup the print dialog works with: a DEVMODE and a DEVNAMES
// in global memory, owned.
class PrinterSetup {
public:
    PrinterSetup() = default;
    ~PrinterSetup() {
        if (devMode != nullptr) GlobalFree(devMode);
        if (devNames != nullptr) GlobalFree(devNames);
    }
    PrinterSetup(const PrinterSetup&) = delete;
    PrinterSetup& operator=(const PrinterSetup&) = delete;

    HGLOBAL devMode = nullptr;
    HGLOBAL devNames = nullptr;

    // The default printer's setup; false when there is no printer.
    bool LoadDefault(HWND owner) {
        PRINTDLGW request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = owner;
        request.Flags = PD_RETURNDEFAULT;
        if (!PrintDlgW(&request)) return false;
        devMode = request.hDevMode;
        devNames = request.hDevNames;
        return devNames != nullptr;
    }

    void SetOrientation(bool landscape) {
        auto* mode = devMode != nullptr ? static_cast<DEVMODEW*>(GlobalLock(devMode)) : nullptr;
        if (mode == nullptr) return;
        mode->dmFields |= DM_ORIENTATION;
        mode->dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        GlobalUnlock(devMode);
    }

    // The sheet of the printer as set up now.
    PageFormat Format() const {
        PageFormat format;
        auto* names = devNames != nullptr ? static_cast<DEVNAMES*>(GlobalLock(devNames)) : nullptr;
        if (names == nullptr) return format;
        auto* mode = devMode != nullptr ? static_cast<DEVMODEW*>(GlobalLock(devMode)) : nullptr;
        const auto* base = reinterpret_cast<const wchar_t*>(names);
        HDC info = QVUtility::CountGdiCreation(
            CreateICW(base + names->wDriverOffset, base + names->wDeviceOffset, base + names->wOutputOffset, mode));
        format = PageFormat::Of(info);
        QVUtility::ReleaseMemoryContext(info);
        if (mode != nullptr) GlobalUnlock(devMode);
        GlobalUnlock(devNames);
        return format;
    }
};

std::wstring PrintingDate() { return QVUtility::Widen(FormatDate(LocalNow())); }

void ShowDialog(DialogFrame* dialog) {
    if (dialog->window != nullptr) ShowWindow(dialog->window, SW_SHOWNA);
    dialog->FocusFirstField();
}

}  // namespace

bool PrinterInstalled() {
    DWORD needed = 0;
    DWORD count = 0;
    EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
    return needed > 0;
}

bool PrintPages(HDC printer, PrintDocument& document, std::int64_t first, std::int64_t last, int copies,
                std::string& error, bool& cancelled) {
    error.clear();
    cancelled = false;
    // The failure's text is read before anything else can change the error code.
    auto fail = [&](bool started) {
        const DWORD code = GetLastError();
        cancelled = code == ERROR_CANCELLED || code == ERROR_PRINT_CANCELLED;
        error = QVUtility::LastErrorText();
        if (started) AbortDoc(printer);
        return false;
    };
    const std::wstring title = document.Title();
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = title.c_str();
    SetLastError(0);
    if (StartDocW(printer, &info) <= 0) return fail(false);

    // The printer's origin is the corner of its printable area.
    const PageFormat format = PageFormat::Of(printer);
    PageSurface surface;
    surface.context = printer;
    surface.dpiX = format.dpiX;
    surface.dpiY = format.dpiY;
    surface.content = format.Content();
    OffsetRect(&surface.content, -format.printableLeft, -format.printableTop);
    for (int copy = 0; copy < std::max(1, copies); ++copy) {
        for (std::int64_t index = first; index <= last; ++index) {
            if (StartPage(printer) <= 0) return fail(true);
            document.DrawPage(surface, index);
            if (EndPage(printer) <= 0) return fail(true);
        }
    }
    if (EndDoc(printer) <= 0) return fail(true);
    return true;
}

// ---- The commands ----------------------------------------------------------------------

// The one-shot timer of the window that starts a pending print.
class PrintCommands::StartTimer : public QVUtility::Timer {
public:
    StartTimer(QVUtility::Form* owner, PrintCommands* commands) : Timer(owner, 1), commands_(commands) {
        onTimer = &Tick;
    }

private:
    PrintCommands* commands_;
    static void Tick(QVUtility::Timer* timer) { static_cast<StartTimer*>(timer)->commands_->RunPendingPrint(); }
};

PrintCommands::PrintCommands(QVUtility::Form* owner, const Project& project) : owner_(owner), project_(project) {}

PrintCommands::~PrintCommands() {
    startTimer_.reset();
    choiceDialog.Reset();
    previewDialog.Reset();
}

void PrintCommands::ReportNoPrinter() {
    QVUtility::ShowError(owner_, std::wstring(L"Nessuna stampante installata."), std::wstring(L"Errore"));
}

void PrintCommands::Print() {
    if (!PrinterInstalled()) {
        ReportNoPrinter();
        return;
    }
    FormStampa* dialog = choiceDialog.Open(owner_, L"Stampa", LoadPrintChoice());
    dialog->onConfirmed = [this](const PrintChoice& choice) { OnDialogClosed(choice, true); };
    ShowDialog(dialog);
}

void PrintCommands::Preview(std::optional<PrintContent> content) {
    if (!PrinterInstalled()) {
        ReportNoPrinter();
        return;
    }
    PrinterSetup setup;
    if (!setup.LoadDefault(owner_->window)) {
        ReportNoPrinter();
        return;
    }
    setup.SetOrientation(true);
    const PageFormat landscape = setup.Format();
    setup.SetOrientation(false);
    const PageFormat portrait = setup.Format();
    PrintChoice choice = LoadPrintChoice();
    if (content) choice.content = *content;
    FormAnteprima* dialog = previewDialog.Open(owner_, L"Anteprima di stampa", project_, choice, landscape, portrait,
                                               PrintingDate());
    dialog->onClosed = [this](const PrintChoice& choice, bool print) { OnDialogClosed(choice, print); };
    ShowDialog(dialog);
}

void PrintCommands::OnDialogClosed(const PrintChoice& choice, bool print) {
    SavePrintChoice(choice);
    if (!print) return;
    // The print dialog has a message loop of its own: it opens once the
    // window being destroyed now is gone.
    pending_ = choice;
    if (startTimer_ == nullptr) startTimer_ = std::make_unique<StartTimer>(owner_, this);
    startTimer_->Start();
}

void PrintCommands::RunPendingPrint() {
    if (startTimer_ != nullptr) startTimer_->Stop();
    PrintWithDialog(pending_);
}

void PrintCommands::PrintWithDialog(const PrintChoice& choice) {
    PrinterSetup setup;
    if (!PrinterInstalled() || !setup.LoadDefault(owner_->window)) {
        ReportNoPrinter();
        return;
    }
    std::unique_ptr<PrintDocument> document =
        MakePrintDocument(project_, choice.content, choice.scale, PrintingDate());
    setup.SetOrientation(document->Landscape());
    const PageFormat expected = setup.Format();
    const std::int64_t pages = document->Paginate(expected.ContentWidthUnits(), expected.ContentHeightUnits());

    PRINTDLGW request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner_->window;
    request.hDevMode = setup.devMode;
    request.hDevNames = setup.devNames;
    request.Flags = PD_RETURNDC | PD_USEDEVMODECOPIESANDCOLLATE | PD_NOSELECTION | PD_ALLPAGES;
    request.nMinPage = 1;
    request.nMaxPage = static_cast<WORD>(std::min(std::max<std::int64_t>(pages, 1), MaxDialogPage));
    request.nFromPage = 1;
    request.nToPage = request.nMaxPage;
    request.nCopies = 1;
    const BOOL chosen = PrintDlgW(&request);
    // The dialog may have replaced the setup's memory.
    setup.devMode = request.hDevMode;
    setup.devNames = request.hDevNames;
    if (!chosen || request.hDC == nullptr) {
        // Cancelled: nothing happens. A dialog that could not work says why.
        if (CommDlgExtendedError() != 0) ReportNoPrinter();
        return;
    }

    // The pages again for the sheet the user chose.
    const PageFormat format = PageFormat::Of(request.hDC);
    const std::int64_t count = document->Paginate(format.ContentWidthUnits(), format.ContentHeightUnits());
    std::int64_t first = 0;
    std::int64_t last = count - 1;
    if ((request.Flags & PD_PAGENUMS) != 0) {
        first = std::max<std::int64_t>(1, request.nFromPage) - 1;
        last = std::min<std::int64_t>(std::max(request.nFromPage, request.nToPage), count) - 1;
    }
    std::string error;
    bool cancelled = false;
    const bool printed =
        first > last || PrintPages(request.hDC, *document, first, last, request.nCopies, error, cancelled);
    DeleteDC(request.hDC);
    if (!printed && !cancelled) {
        QVUtility::ShowError(owner_, "Errore durante la stampa.\r\n" + error, "Errore");
    }
}

}  // namespace MyApp
