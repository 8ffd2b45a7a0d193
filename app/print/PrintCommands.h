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
#include <string>
#include <vector>

#include "app/print/PrintChoice.h"
#include "app/print/PrintDocument.h"

namespace QVUtility {
class GUIElement;
class Timer;
}  // namespace QVUtility

namespace MyApp {

class FormAnteprima;
class FormMain;
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
    explicit PrintCommands(FormMain* owner);
    ~PrintCommands();
    PrintCommands(const PrintCommands&) = delete;
    PrintCommands& operator=(const PrintCommands&) = delete;

    // "&Stampa...": what to print, then the print dialog.
    void Print();
    // "Anteprima di stampa".
    void Preview();
    // The standard print dialog for `choice`, then the printing.
    void PrintWithDialog(const PrintChoice& choice);

    // The dialog of Print or the preview went away.
    void OnDialogClosed(QVUtility::GUIElement* dialog);
    // Runs a print asked for by a dialog that has gone meanwhile.
    void RunPendingPrint();

    FormStampa* choiceDialog = nullptr;      // owned, kept until the next one
    FormAnteprima* previewDialog = nullptr;  // owned, kept until the next one

private:
    FormMain* owner_;
    QVUtility::Timer* startTimer_ = nullptr;  // starts the print dialog once the asking dialog is gone
    PrintChoice pending_;

    void ReportNoPrinter();
};

}  // namespace MyApp
