// The file commands of the main window: open (through the dialog or by a
// path given to the program), save, save as, the question about unsaved
// changes, the export of the chart as a bitmap and the two web pages of the
// "&?" menu.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <vector>

#include "app/AppInfo.h"
#include "app/FormMain.h"
#include "file/ProjectFile.h"
#include "toolkit/BitmapFile.h"
#include "toolkit/CellControl.h"
#include "toolkit/Drawing.h"
#include "toolkit/FontDescription.h"
#include "toolkit/GdiTally.h"
#include "toolkit/Menu.h"
#include "toolkit/Services.h"
#include "toolkit/StatusBar.h"
#include "toolkit/TextConversion.h"
#include "toolkit/TimeLine.h"

namespace MyApp {

namespace {

const std::vector<std::string> ProjectFilters{"File Velmora (*.vmo)", "*.vmo"};
const std::vector<std::string> BitmapFilters{"File Bitmap (*.bmp)", "*.bmp"};
constexpr const char* ProjectDefaultName = "Velmora.vmo";
constexpr const char* BitmapDefaultName = "Disegno.bmp";
const std::string DialogTitleOpen = "Apri";
const std::string DialogTitleSave = "Salva";

// The largest picture the export makes, in pixels: the bitmap and the
// copies the writer takes of it stay within a few gigabytes.
constexpr std::int64_t MaxExportPixels = 400LL * 1000 * 1000;

constexpr int ExportRulerTop = 31;  // the ruler's unscrolled place in the chart

// The path with ".vmo" at its end (any letter case counts).
std::string WithProjectExtension(const std::string& path) {
    if (path.size() <= 4) return path + ".vmo";
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".vmo" ? path : path + ".vmo";
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

void ShowErrorText(QVUtility::GUIElement* owner, const wchar_t* message) {
    QVUtility::ShowError(owner, std::wstring(message), std::wstring(L"Errore"));
}

// Runs a step of a file command; a step that throws (no memory for a large
// project, say) answers `failure`, like any other failure of the step.
template <class Result, class Step>
Result Guarded(Result failure, Step step) {
    try {
        return step();
    } catch (...) {
        return failure;
    }
}

}  // namespace

void FormMain::SetFilePath(const std::string& path) {
    project.filePath = path.empty() ? path : WithProjectExtension(path);
    if (saveAsItem != nullptr) saveAsItem->SetEnabled(!project.filePath.empty());
    if (statusBar != nullptr) statusBar->SetTextNarrow(project.filePath);
}

bool FormMain::OpenProject() {
    const std::string path = QVUtility::AskOpenFileName(this, DialogTitleOpen, "", ProjectFilters);
    if (path.empty()) return false;
    return OpenProjectFile(path);
}

bool FormMain::OpenProjectFile(const std::string& path) {
    // The loader replaces the project only when the whole file is valid, so
    // a failed load leaves the project and its chart exactly as they were.
    switch (Guarded(LoadResult::OpenFailed, [&] { return LoadProjectFile(path, project); })) {
    case LoadResult::OpenFailed:
        ShowErrorText(this, L"Errore durante la lettura.");
        return false;
    case LoadResult::FormatError:
        ShowErrorText(this, L"Formato non valido.");
        return false;
    case LoadResult::Ok:
        break;
    }
    SetFilePath(path);
    project.modified = false;
    DisableSaveCommands();
    RefreshChart();
    EnableProjectCommands();
    return true;
}

bool FormMain::WriteProjectFile() {
    // The new content goes to a temporary file that replaces the old one in
    // one step: a failed save leaves the previous file as it was.
    if (!Guarded(false, [this] { return SaveProjectFile(project.filePath, project); })) {
        ShowErrorText(this, L"Errore durante il salvataggio.");
        return false;
    }
    project.modified = false;
    DisableSaveCommands();
    return true;
}

FormMain::SaveOutcome FormMain::SaveChanges(bool noQuestion) {
    if (!project.modified) return SaveOutcome::NothingToSave;
    if (!noQuestion) {
        switch (QVUtility::AskQuestion(this, L"Si desidera salvare le modifiche del file?", L"Salva")) {
        case QVUtility::Answer::Yes: break;
        case QVUtility::Answer::No: return SaveOutcome::Declined;
        case QVUtility::Answer::NotShown: return SaveOutcome::NotAsked;
        }
    }
    const std::string previousPath = project.filePath;
    if (project.filePath.empty()) {
        const std::string answer =
            QVUtility::AskSaveFileName(this, DialogTitleSave, "", ProjectDefaultName, ProjectFilters);
        if (answer.empty()) return SaveOutcome::Cancelled;
        // The dialog asked before replacing the name typed; when ".vmo" has
        // to be added, the file of that name gets the same question.
        const std::string target = WithProjectExtension(answer);
        if (target != answer && FileExists(target) &&
            !QVUtility::AskYesNoOwned(this, QVUtility::Widen(target) + L" esiste già.\nSovrascriverlo?",
                                      std::wstring(L"Salva"))) {
            return SaveOutcome::Cancelled;
        }
        SetFilePath(answer);
    }
    if (!WriteProjectFile()) {
        SetFilePath(previousPath);
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

bool FormMain::SaveProject(bool noQuestion) { return SaveChanges(noQuestion) != SaveOutcome::Failed; }

bool FormMain::OfferToSave() {
    switch (SaveChanges(false)) {
    case SaveOutcome::NothingToSave:
    case SaveOutcome::Declined:
    case SaveOutcome::Saved:
        return true;
    case SaveOutcome::Cancelled:
    case SaveOutcome::Failed:
    case SaveOutcome::NotAsked:
        break;
    }
    return false;
}

bool FormMain::SaveProjectAs() {
    const std::string answer =
        QVUtility::AskSaveFileName(this, DialogTitleSave, "", ProjectDefaultName, ProjectFilters);
    if (answer.empty()) return true;
    const std::string target = WithProjectExtension(answer);
    if (target != answer && FileExists(target) &&
        !QVUtility::AskYesNoOwned(this, QVUtility::Widen(target) + L" esiste già.\nSovrascriverlo?",
                                  std::wstring(L"Salva"))) {
        return true;
    }
    const std::string previousPath = project.filePath;
    SetFilePath(answer);
    if (!WriteProjectFile()) {
        SetFilePath(previousPath);
        return false;
    }
    return true;
}

void FormMain::ExportChart() {
    const std::string path = QVUtility::AskSaveFileName(this, DialogTitleSave, "", BitmapDefaultName, BitmapFilters);
    if (path.empty()) return;
    if (Guarded(false, [&] { return ExportImage(path); })) {
        QVUtility::ShowMessage(this, std::wstring(L"Esportazione effettuata correttamente."), std::wstring(L"Esporta"));
    } else {
        ShowErrorText(this, L"Errore durante la scrittura del file bitmap.");
    }
}

bool FormMain::ExportImage(const std::string& path) {
    if (ruler == nullptr || chartWidth <= 0 || contentHeight <= 0) return false;
    if (static_cast<std::int64_t>(chartWidth) * contentHeight > MaxExportPixels) return false;
    // The ruler keeps the picture of its last paint; bring it up to date.
    if (ruler->window != nullptr) UpdateWindow(ruler->window);
    if (ruler->chartImage == nullptr) return false;  // the ruler too large for one picture

    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return false;
    HDC memory = QVUtility::CountGdiCreation(CreateCompatibleDC(screen));
    HBITMAP picture = QVUtility::CountGdiCreation(CreateCompatibleBitmap(screen, chartWidth, contentHeight));
    if (memory == nullptr || picture == nullptr) {
        QVUtility::ReleaseMemoryContext(memory);
        QVUtility::ReleaseGdiObject(picture);
        ReleaseDC(nullptr, screen);
        return false;
    }
    HGDIOBJ previousBitmap = SelectObject(memory, picture);

    QVUtility::FontDescription barFont(std::wstring(L"Tahoma"), 14);
    {
        QVUtility::Drawing surface;
        surface.Attach(memory, false);
        surface.FillRect(0, 0, chartWidth, contentHeight, 1, RGB(0, 0, 0), 0xC0C0C0);
        surface.DrawText(0, 0, chartWidth, 30, project.description, RGB(0, 0, 0), captionFont, 2, true);

        BITMAP rulerPicture{};
        GetObjectW(ruler->chartImage, sizeof rulerPicture, &rulerPicture);
        surface.DrawBitmap(ruler->chartImage, 0, ExportRulerTop, 0, 0);

        const int dayWidth = ruler->dayWidth;
        std::int64_t rowTop = ExportRulerTop + rulerPicture.bmHeight + 30;
        for (const Task& task : project.tasks) {
            const std::int64_t left = DaysUntil(project.start, task.start) * dayWidth;
            const std::int64_t barWidth = (DaysUntil(task.start, task.end) + 1) * dayWidth;
            if (rowTop - 5 < contentHeight && left < chartWidth && left + barWidth > 0) {
                const int l = static_cast<int>(std::max<std::int64_t>(left, -1));
                const int w = static_cast<int>(std::min<std::int64_t>(left + barWidth, chartWidth + 1) - l);
                surface.FillRect(l, static_cast<int>(rowTop) - 5, w, 25, 1, RGB(0, 0, 0), task.colour);
                surface.DrawText(l, static_cast<int>(rowTop), w, 25, task.description, RGB(0, 0, 0), &barFont, 2, true);
            }
            rowTop += 30;
        }
        surface.End();
    }
    SelectObject(memory, previousBitmap);
    QVUtility::ReleaseMemoryContext(memory);
    ReleaseDC(nullptr, screen);

    bool written = false;
    try {
        written = QVUtility::SaveBitmapFile(path, picture);
    } catch (...) {
        written = false;  // not enough memory for the copies of the picture
    }
    QVUtility::ReleaseGdiObject(picture);
    barFont.Release();
    return written;
}

void FormMain::OpenHomePage() { QVUtility::ShellOpen(HomePageAddress); }

void FormMain::OpenGuidePage() { QVUtility::ShellOpen(GuidePageAddress); }

}  // namespace MyApp
