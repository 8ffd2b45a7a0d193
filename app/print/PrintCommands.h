// The print commands of the main window: "&Stampa..." asks what to print,
// then shows the standard print dialog (printer, pages, copies) and prints;
// "Anteprima di stampa" shows the pages as they will print. Both need a
// printer: without one the user is told and nothing else happens.
//
// What was chosen (the chart or the cost report, and the chart's scale) is
// kept in the user's settings for the next time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs/DialogSlot.h"
#include "app/print/PrintChoice.h"
#include "app/print/PrintDocument.h"

namespace QVUtility {
class Form;
class Timer;
}  // namespace QVUtility

namespace MyApp {

class FormAnteprima;
class FormStampa;

// Whether the system has a printer at all.
bool PrinterInstalled();

// Prints the pages `first` to `last` (0-based, both included) of a paginated
// document on the printer context, `copies` times over. False when the
// printer refused, with the platform's text of the failure in `error`
// (cancelled stays true when the user called the job off).
bool PrintPages(HDC printer, PrintDocument& document, std::int64_t first, std::int64_t last, int copies,
                std::string& error, bool& cancelled);

class PrintCommands {
public:
    // The commands of the window `owner`, for the project it holds.
    PrintCommands(QVUtility::Form* owner, const Project& project);
    ~PrintCommands();
    PrintCommands(const PrintCommands&) = delete;
    PrintCommands& operator=(const PrintCommands&) = delete;

    // "&Stampa...": what to print, then the print dialog.
    void Print();
    // "Anteprima di stampa", showing what was chosen last time or `content`.
    void Preview(std::optional<PrintContent> content = std::nullopt);
    // The standard print dialog for `choice`, then the printing.
    void PrintWithDialog(const PrintChoice& choice);

    // The dialog of Print or the preview went away with `choice`: it is
    // kept for the next time and, when `print`, printed.
    void OnDialogClosed(const PrintChoice& choice, bool print);
    // Runs a print asked for by a dialog that has gone meanwhile.
    void RunPendingPrint();

    DialogSlot<FormStampa> choiceDialog;      // kept until the next one
    DialogSlot<FormAnteprima> previewDialog;  // kept until the next one

private:
    class StartTimer;
    QVUtility::Form* owner_;
    const Project& project_;
    std::unique_ptr<StartTimer> startTimer_;  // starts the print dialog once the asking dialog is gone
    PrintChoice pending_;

    void ReportNoPrinter();
};

}  // namespace MyApp
