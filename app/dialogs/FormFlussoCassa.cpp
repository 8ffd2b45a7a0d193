#include "app/dialogs/FormFlussoCassa.h"

#include <algorithm>
#include <cctype>

#include "app/chart/CashFlowCells.h"
#include "app/chart/CashFlowChart.h"
#include "app/print/PrintCommands.h"
#include "app/res/resource.h"
#include "app/settings/CashFlowPeriod.h"
#include "exchange/Utf8Text.h"
#include "toolkit/draw/BitmapFile.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/Button.h"
#include "toolkit/widgets/ComboBox.h"
#include "toolkit/widgets/Label.h"
#include "toolkit/widgets/ListView.h"

namespace MyApp {

using QVUtility::GUIElement;

namespace {

// The size the window first opens at, and the smallest it can be given.
constexpr int ClientWidth = 600;
constexpr int ClientHeight = 420;
constexpr int ButtonWidth = 100;
constexpr int ButtonGap = 10;
constexpr int TableTop = 45;

constexpr KeptSizeNames SizeNames{L"CashFlowWidth", L"CashFlowHeight", L"CashFlowMaximized"};

// The exported picture, at 96 DPI: as wide as its periods need within limits.
constexpr int PictureHeight = 480;
constexpr int PictureMinWidth = 800;
constexpr int PictureMaxWidth = 8000;
constexpr int PicturePitch = 28;

const std::vector<std::string> ExportFilters{"Tabella CSV (*.csv)", "*.csv", "Immagine PNG (*.png)", "*.png"};

bool EndsWithPng(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".png";
}

bool HasExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos && dot + 1 < path.size();
}

void PeriodChosen(GUIElement* list) {
    auto* window = QVUtility::OwningElement<FormFlussoCassa>(list);
    auto* periods = dynamic_cast<QVUtility::ComboBox*>(list);
    if (window == nullptr || periods == nullptr) return;
    const int index = periods->GetSelectedIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < CashFlowPeriods().size())
        window->ShowPeriod(CashFlowPeriods()[static_cast<std::size_t>(index)]);
}

std::wstring TableCell(QVUtility::ListView* list, std::size_t row, int column) {
    auto* window = QVUtility::OwningElement<FormFlussoCassa>(list);
    return window != nullptr ? window->Cell(row, column) : std::wstring();
}

}  // namespace

FormFlussoCassa::FormFlussoCassa(QVUtility::Form* ownerForm, const std::wstring& title, const Project& project)
    : KeptSizeDialog(ownerForm, title, SIZE{ClientWidth, ClientHeight}, SizeNames), project_(project) {
    OpenAtKeptSize();
    ShowPeriod(LoadCashFlowPeriod());
}

FormFlussoCassa::~FormFlussoCassa() {
    printing_.reset();
    CloseSilently();
}

void FormFlussoCassa::BuildControls() {
    const auto& periods = CashFlowPeriods();
    const CostPeriod kept = LoadCashFlowPeriod();
    const int selected = static_cast<int>(std::find(periods.begin(), periods.end(), kept) - periods.begin());
    // Made in the order Tab takes them: the list of periods, the table, the
    // chart, then the buttons from left to right.
    periodLabel = MakeLabel(L"Periodo:", 10, 13, 70, 25, nullptr, IDC_CASH_FLOW_PERIOD_LABEL);
    periodList = MakeComboBox(CashFlowPeriodNames(), selected, 80, 10, 160, IDC_CASH_FLOW_PERIOD);
    periodList->accessibleName = L"Periodo";
    periodList->onCommand = &PeriodChosen;

    table = Own(new QVUtility::ListView(this));
    table->fixedId = IDC_CASH_FLOW_TABLE;
    table->accessibleName = L"Tabella del flusso di cassa";
    const int widths[CashFlowColumns] = {130, 95, 105, 105, 110};
    for (int column = 0; column < CashFlowColumns; ++column)
        table->columns.push_back({CashFlowColumnTitle(column), scale(widths[column]), column > 0});
    table->onItemText = &TableCell;
    Place(table, 10, TableTop, builtWidth - 20, 150);
    table->Create();

    chart = Own(new CashFlowChart(this));
    chart->fixedId = IDC_CASH_FLOW_CHART;
    Place(chart, 10, 205, builtWidth - 20, builtHeight - 250);
    chart->Create();

    const int left = builtWidth - 10 - 4 * ButtonWidth - 3 * ButtonGap;
    const int top = builtHeight - 35;
    copyButton = MakeButton(L"Copia", left, top, ButtonWidth, 25, IDC_CASH_FLOW_COPY);
    exportButton = MakeButton(L"Esporta...", left + ButtonWidth + ButtonGap, top, ButtonWidth, 25, IDC_CASH_FLOW_EXPORT);
    printButton = MakeButton(L"Stampa...", left + 2 * (ButtonWidth + ButtonGap), top, ButtonWidth, 25, IDC_CASH_FLOW_PRINT);
    okButton = MakeButton(L"Chiudi", left + 3 * (ButtonWidth + ButtonGap), top, ButtonWidth, 25, IDC_CASH_FLOW_CLOSE);
    firstField = periodList;
}

void FormFlussoCassa::Layout() {
    SIZE size{};
    if (table == nullptr || chart == nullptr || okButton == nullptr || !LayoutSize(size)) return;
    const int w = size.cx;
    const int h = size.cy;
    // The table takes two fifths of the room between the list and the
    // buttons, the chart the rest.
    const int room = h - TableTop - 45;
    const int tableHeight = room * 2 / 5;
    Put(table, 10, TableTop, w - 20, tableHeight);
    Put(chart, 10, TableTop + tableHeight + 10, w - 20, room - tableHeight - 10);
    const int left = w - 10 - 4 * ButtonWidth - 3 * ButtonGap;
    QVUtility::Button* const buttons[] = {copyButton, exportButton, printButton, okButton};
    for (int i = 0; i < 4; ++i) Put(buttons[i], left + i * (ButtonWidth + ButtonGap), h - 35, ButtonWidth, 25);
    InvalidateRect(window, nullptr, TRUE);
}

void FormFlussoCassa::ShowPeriod(CostPeriod period) {
    table_ = MakeCashFlowTable(project_, period);
    SaveCashFlowPeriod(period);
    if (table != nullptr) {
        table->SetRowCount(table_.rows.size() + 1);
        table->RefreshRows();
    }
    if (chart != nullptr) chart->Show(table_);
}

std::wstring FormFlussoCassa::Cell(std::size_t row, int column) const { return CashFlowCell(table_, row, column); }

std::wstring FormFlussoCassa::CopiedText() const {
    CsvFormat format = UserCsvFormat();
    format.separator = '\t';
    return QVUtility::Widen(Utf8ToSystem(CashFlowText(table_, format)));
}

bool FormFlussoCassa::ExportTo(const std::string& path) {
    try {
        if (!EndsWithPng(path)) return WriteCashFlowTable(path, table_, UserCsvFormat());
        const int width = std::clamp(static_cast<int>(std::min<std::size_t>(table_.rows.size(), PictureMaxWidth)) *
                                         PicturePitch + 200,
                                     PictureMinWidth, PictureMaxWidth);
        // Every band draws the whole chart; only the band's rows are kept.
        return QVUtility::WritePngInBands(path, width, PictureHeight, [&](HDC context, int, int) {
            DrawCashFlowChart(context, RECT{0, 0, width, PictureHeight}, table_, CashFlowColours::Own(), 1.0);
        });
    } catch (...) {
        QVUtility::IgnoreException("cash flow export");
        return false;
    }
}

void FormFlussoCassa::AskAndExport() {
    int chosenFilter = 0;
    const std::string answer =
        QVUtility::AskSaveFileName(this, "Esporta", "", "Flusso di cassa.csv", ExportFilters, &chosenFilter);
    if (answer.empty()) return;
    // A name without an extension takes the chosen type's; the file that
    // makes it name is asked about as the dialog asked about the name typed.
    std::string path = answer;
    if (!HasExtension(answer)) path += chosenFilter == 1 ? ".png" : ".csv";
    if (path != answer && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !QVUtility::AskYesNoOwned(this, QVUtility::Widen(path) + L" esiste già.\nSovrascriverlo?",
                                  std::wstring(L"Salva")))
        return;
    if (ExportTo(path)) {
        QVUtility::ShowMessage(this, std::wstring(L"Esportazione effettuata correttamente."), std::wstring(L"Esporta"));
    } else {
        QVUtility::ShowError(this,
                             std::wstring(EndsWithPng(path) ? L"Errore durante la scrittura del file PNG."
                                                            : L"Errore durante la scrittura del file CSV."),
                             std::wstring(L"Errore"));
    }
}

void FormFlussoCassa::OnButton(GUIElement* button) {
    if (button == nullptr) return;
    if (button == copyButton) {
        QVUtility::CopyTextToClipboard(window, CopiedText());
    } else if (button == exportButton) {
        AskAndExport();
    } else if (button == printButton) {
        if (printing_ == nullptr) printing_ = std::make_unique<PrintCommands>(this, project_);
        printing_->Preview(PrintContent::CashFlow);
    } else {
        DialogFrame::OnButton(button);
    }
}

}  // namespace MyApp
