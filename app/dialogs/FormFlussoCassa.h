// FormFlussoCassa: the project's spending over time ("Flusso di cassa
// mensile"). A table with a row per month (or quarter, or week: the choice
// is kept) and the project's total, and under it the chart of the same
// figures. "Copia" puts the table on the clipboard as text with tabs for a
// spreadsheet, "Esporta..." writes it as CSV or the chart as a PNG picture,
// and "Stampa..." shows the preview of both on paper. It only displays and
// changes nothing; the window can be resized and keeps its size.
#pragma once

#include <memory>
#include <string>

#include "app/dialogs/KeptSizeDialog.h"
#include "exchange/CashFlowTable.h"

namespace QVUtility {
class Button;
class ComboBox;
class Label;
class ListView;
}  // namespace QVUtility

namespace MyApp {

class CashFlowChart;
class PrintCommands;

class FormFlussoCassa : public KeptSizeDialog {
public:
    // Builds and shows the window over `owner` for `project`, which must
    // outlive it and stay as it is while it is open.
    FormFlussoCassa(QVUtility::Form* owner, const std::wstring& title, const Project& project);
    ~FormFlussoCassa() override;

    QVUtility::Label* periodLabel = nullptr;
    QVUtility::ComboBox* periodList = nullptr;  // "Mese", "Trimestre", "Settimana"
    QVUtility::ListView* table = nullptr;
    CashFlowChart* chart = nullptr;
    QVUtility::Button* copyButton = nullptr;    // "Copia"
    QVUtility::Button* exportButton = nullptr;  // "Esporta..."
    QVUtility::Button* printButton = nullptr;   // "Stampa..."

    // The figures shown.
    const CashFlowTable& Shown() const { return table_; }
    // Shows the project by `period`, as choosing it in the list does.
    void ShowPeriod(CostPeriod period);
    // The text of a cell of the table; the row after the periods is the total.
    std::wstring Cell(std::size_t row, int column) const;
    // The table as "Copia" puts it on the clipboard.
    std::wstring CopiedText() const;
    // Writes the table as CSV (a name ending in ".png": the chart as a
    // picture); false when the file could not be written.
    bool ExportTo(const std::string& path);

    void BuildControls() override;
    void OnButton(QVUtility::GUIElement* button) override;
    void Layout() override;

private:
    void AskAndExport();

    const Project& project_;
    CashFlowTable table_;
    std::unique_ptr<PrintCommands> printing_;
};

}  // namespace MyApp
