// Exchange with other programs: the import of a Microsoft Project XML file
// as a new project, and the task table (CSV) and the project (Microsoft
// Project XML) that "Esporta" writes beside the picture.
#include <windows.h>

#include <string>
#include <vector>

#include "app/main/FormMain.h"
#include "exchange/CostTable.h"
#include "exchange/ImportNotice.h"
#include "exchange/ProjectXml.h"
#include "toolkit/platform/FileDialogs.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/MessageBoxes.h"

namespace MyApp {

namespace {

const std::vector<std::string> ImportFilters{"XML di Microsoft Project (*.xml)", "*.xml"};

}  // namespace

void FormMain::ImportProject() {
    const std::string path = QVUtility::AskOpenFileName(this, "Importa", "", ImportFilters);
    if (!path.empty()) ImportProjectFile(path);
}

bool FormMain::ImportProjectFile(const std::string& path) {
    DroppedItems dropped;
    ImportResult result = ImportResult::OpenFailed;
    // The project is replaced only when the whole file has been read.
    try {
        result = ImportProjectXmlFile(path, project, dropped);
    } catch (...) {
        QVUtility::IgnoreException("import");
    }
    switch (result) {
    case ImportResult::OpenFailed:
        QVUtility::ShowError(this, std::wstring(L"Errore durante la lettura."), std::wstring(L"Errore"));
        return false;
    case ImportResult::FormatError:
        QVUtility::ShowError(this, std::wstring(L"Formato non valido."), std::wstring(L"Errore"));
        return false;
    case ImportResult::Ok: break;
    }
    ShowUnsavedProject();
    if (dropped.Any()) QVUtility::ShowInfo(this, ImportNotice(dropped), std::wstring(L"Importa"));
    return true;
}

bool FormMain::ExportTable(const std::string& path) { return WriteCostTable(path, project, UserCsvFormat()); }

bool FormMain::ExportProjectXml(const std::string& path) { return WriteProjectXml(path, project); }

}  // namespace MyApp
