// The file commands of the main window: open (through the dialog, by a path
// given to the program, from the recent files or dropped on the window),
// save, save as, the question about unsaved changes, the export (the chart
// as a bitmap or PNG picture, the task table, the project for other planners)
// and the two web pages of the "&?" menu.
#include <windows.h>

#include <algorithm>
#include <iterator>
#include <cctype>
#include <cstring>
#include <cstdint>
#include <string>
#include <vector>

#include "app/res/AppInfo.h"
#include "app/main/FormMain.h"
#include "app/safety/WorkSafety.h"
#include "app/settings/RecentFiles.h"
#include "file/ProjectFile.h"
#include "print/BarLabel.h"
#include "toolkit/core/Menu.h"
#include "toolkit/draw/BitmapFile.h"
#include "toolkit/draw/Drawing.h"
#include "toolkit/draw/FontDescription.h"
#include "toolkit/draw/ScopedGdi.h"
#include "toolkit/platform/FileDialogs.h"
#include "toolkit/platform/IgnoredError.h"
#include "toolkit/platform/Services.h"
#include "toolkit/platform/TextConversion.h"
#include "toolkit/widgets/StatusBar.h"
#include "toolkit/widgets/TimeLine.h"

namespace MyApp {

namespace {

const std::vector<std::string> ProjectFilters{"File Velmora (*.vmo)", "*.vmo"};
// What "Esporta" writes, in the order of its filters: the picture's formats,
// the bitmap first (the default), then the task table and the project for
// other planners.
enum class ExportType { Bitmap, Png, Table, ProjectXml };
const std::vector<std::string> ExportFilters{"File Bitmap (*.bmp)", "*.bmp", "Immagine PNG (*.png)", "*.png",
                                             "Tabella CSV (*.csv)", "*.csv", "XML di Microsoft Project (*.xml)",
                                             "*.xml"};
const char* const ExportExtensions[] = {".bmp", ".png", ".csv", ".xml"};
constexpr const char* ProjectDefaultName = "Velmora.vmo";
constexpr const char* BitmapDefaultName = "Disegno.bmp";
// The room between a bar and a name written beside it in the exported
// picture, in its 96-DPI pixels.
constexpr int LabelGap = 4;
const std::string DialogTitleOpen = "Apri";
const std::string DialogTitleSave = "Salva";

// Whether the path ends in `extension` (".vmo"), in any letter case.
bool EndsWith(const std::string& path, const char* extension) {
    const std::size_t length = std::strlen(extension);
    if (path.size() <= length) return false;
    std::string tail = path.substr(path.size() - length);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == extension;
}

// The path with ".vmo" at its end (any letter case counts).
std::string WithProjectExtension(const std::string& path) {
    return EndsWith(path, ".vmo") ? path : path + ".vmo";
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES;
}

// What to write: the name's extension says it; a name without one of the
// four takes the type of the filter the user chose.
ExportType TypeFor(const std::string& path, int chosenFilter, bool& named) {
    named = true;
    const int types = static_cast<int>(std::size(ExportExtensions));
    for (int type = 0; type < types; ++type)
        if (EndsWith(path, ExportExtensions[type])) return static_cast<ExportType>(type);
    named = false;
    return chosenFilter >= 0 && chosenFilter < types ? static_cast<ExportType>(chosenFilter) : ExportType::Bitmap;
}

void ShowErrorText(QVUtility::GUIElement* owner, const wchar_t* message) {
    QVUtility::ShowError(owner, std::wstring(message), std::wstring(L"Errore"));
}

// The dialog asked before replacing the name typed; when an extension has
// to be added to it, the file of the name with the extension gets the same
// question. Answers whether the name may be used.
bool MayReplace(QVUtility::GUIElement* owner, const std::string& typed, const std::string& target) {
    return target == typed || !FileExists(target) ||
           QVUtility::AskYesNoOwned(owner, QVUtility::Widen(target) + L" esiste già.\nSovrascriverlo?",
                                    std::wstring(L"Salva"));
}

// Asks for the project file's new name: the name typed, or empty when the
// user gave none or would not replace the file ".vmo" makes it name.
std::string AskNewProjectPath(QVUtility::GUIElement* owner) {
    const std::string answer =
        QVUtility::AskSaveFileName(owner, DialogTitleSave, "", ProjectDefaultName, ProjectFilters);
    if (answer.empty() || !MayReplace(owner, answer, WithProjectExtension(answer)) ||
        !MayWriteProjectFile(owner, WithProjectExtension(answer)))
        return std::string();
    return answer;
}

// Asks where the export goes: the name typed, with the extension of the
// type chosen when it has none of the four; empty when the user gave no
// name or would not replace the file that makes it name.
std::string AskExportPath(QVUtility::GUIElement* owner, ExportType& type) {
    int chosenFilter = 0;
    const std::string answer =
        QVUtility::AskSaveFileName(owner, DialogTitleSave, "", BitmapDefaultName, ExportFilters, &chosenFilter);
    if (answer.empty()) return answer;
    bool named = false;
    type = TypeFor(answer, chosenFilter, named);
    const std::string target = named ? answer : answer + ExportExtensions[static_cast<int>(type)];
    return MayReplace(owner, answer, target) ? target : std::string();
}

// Runs a step of a file command; a step that throws (no memory for a large
// project, say) answers `failure`, like any other failure of the step.
template <class Result, class Step>
Result Guarded(Result failure, Step step) {
    try {
        return step();
    } catch (...) {
        QVUtility::IgnoreException("file command");
        return failure;
    }
}

}  // namespace

void FormMain::SetFilePath(const std::string& path) {
    project.filePath = path.empty() ? path : WithProjectExtension(path);
    if (statusBar != nullptr) statusBar->SetTextNarrow(project.filePath);
    UpdateCommands();
}

bool FormMain::OpenProject() {
    const std::string path = QVUtility::AskOpenFileName(this, DialogTitleOpen, "", ProjectFilters);
    if (path.empty()) return false;
    return OpenProjectFile(path);
}

bool FormMain::OpenProjectFile(const std::string& path) {
    // The file's lock first: when another program has the project open the
    // user may open it read-only, or not at all.
    FileClaim claim;
    if (!document.ClaimFile(path, claim)) return false;
    // The loader replaces the project only when the whole file is valid, so
    // a failed load leaves the project and its chart exactly as they were.
    const LoadResult loaded = Guarded(LoadResult::OpenFailed, [&] { return LoadProjectFile(path, project); });
    if (loaded != LoadResult::Ok) document.DropClaim(claim);
    switch (loaded) {
    case LoadResult::OpenFailed: ShowErrorText(this, L"Errore durante la lettura."); return false;
    case LoadResult::FormatError: ShowErrorText(this, L"Formato non valido."); return false;
    case LoadResult::Ok: break;
    }
    document.AdoptFile(claim);
    SetFilePath(path);
    project.modified = false;
    history.Clear(project);
    ShowNewProject();
    EnableProjectCommands();
    ShowRecentFiles(RememberRecentFile(path));
    return true;
}

void FormMain::OpenRecentFile(std::size_t index) {
    if (index >= recentFiles.size()) return;
    const std::string path = recentFiles[index];  // the list changes on the way
    if (!OfferToSave()) return;
    if (!OpenProjectFile(path) && !FileExists(path)) ShowRecentFiles(ForgetRecentFile(path));
}

void FormMain::OnFilesDropped(const std::vector<std::wstring>& paths) {
    if (paths.size() != 1 || !EndsWith(QVUtility::Narrow(paths[0]), ".vmo")) return;
    const DWORD attributes = GetFileAttributesW(paths[0].c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return;
    // Not over an open dialog: the project must not change under it.
    if (modalDialog != nullptr || window == nullptr || !IsWindowEnabled(window)) return;
    if (OfferToSave()) OpenProjectFile(QVUtility::NarrowPath(paths[0]));
}

bool FormMain::WriteProjectFile() {
    // A project larger than a file may hold would be saved as a file that
    // cannot be opened again: it is not written at all.
    if (!FitsProjectFile(project)) {
        ShowErrorText(this, L"Il progetto è troppo grande per un file di progetto (al massimo 1.000.000 di "
                            L"attività) e non è stato salvato.");
        return false;
    }
    // The new content goes to a temporary file that replaces the old one in
    // one step: a failed save leaves the previous file as it was.
    if (!Guarded(false, [this] { return SaveProjectFile(project.filePath, project); })) {
        ShowErrorText(this, L"Errore durante il salvataggio.");
        return false;
    }
    history.MarkSaved(project);
    document.FollowSavedFile();
    UpdateCommands();
    ShowRecentFiles(RememberRecentFile(project.filePath));
    return true;
}

FormMain::SaveOutcome FormMain::SaveChanges(bool noQuestion) {
    if (!project.modified) return SaveOutcome::NothingToSave;
    if (!noQuestion) {
        switch (QVUtility::AskQuestion(this, L"Si desidera salvare le modifiche del file?", L"Salva")) {
        case QVUtility::Answer::Yes: break;
        // The recovery copy stays until the project is really replaced or
        // closed: the command may still be cancelled, or its file not read.
        case QVUtility::Answer::No: return SaveOutcome::Declined;
        case QVUtility::Answer::NotShown: return SaveOutcome::NotAsked;
        }
    }
    const std::string previousPath = project.filePath;
    // A project opened read-only, or whose file another program has changed
    // since (and the user would not overwrite it), goes to a new name.
    bool newName = project.filePath.empty() || document.OpenedReadOnly();
    if (!newName) {
        switch (document.AskAboutChangedFile()) {
        case ProjectDocument::ChangedFileAnswer::Overwrite: break;
        case ProjectDocument::ChangedFileAnswer::SaveElsewhere: newName = true; break;
        case ProjectDocument::ChangedFileAnswer::Cancel: return SaveOutcome::Cancelled;
        }
    }
    if (newName) {
        const std::string answer = AskNewProjectPath(this);
        if (answer.empty()) return SaveOutcome::Cancelled;
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
    case SaveOutcome::Saved: return true;
    case SaveOutcome::Cancelled:
    case SaveOutcome::Failed:
    case SaveOutcome::NotAsked: break;
    }
    return false;
}

bool FormMain::SaveProjectAs() {
    const std::string answer = AskNewProjectPath(this);
    if (answer.empty()) return true;
    const std::string previousPath = project.filePath;
    SetFilePath(answer);
    if (!WriteProjectFile()) {
        SetFilePath(previousPath);
        return false;
    }
    return true;
}

void FormMain::ExportChart() {
    ExportType type = ExportType::Bitmap;
    const std::string path = AskExportPath(this, type);
    if (path.empty()) return;
    bool written = false;
    const wchar_t* failure = L"Errore durante la scrittura del file bitmap.";
    switch (type) {
    case ExportType::Bitmap:
    case ExportType::Png: {
        const PictureFormat format = type == ExportType::Png ? PictureFormat::Png : PictureFormat::Bitmap;
        written = Guarded(false, [&] { return ExportImage(path, format); });
        break;
    }
    case ExportType::Table:
        written = Guarded(false, [&] { return ExportTable(path); });
        failure = L"Errore durante la scrittura del file CSV.";
        break;
    case ExportType::ProjectXml:
        written = Guarded(false, [&] { return ExportProjectXml(path); });
        failure = L"Errore durante la scrittura del file XML.";
        break;
    }
    if (written) {
        QVUtility::ShowMessage(this, std::wstring(L"Esportazione effettuata correttamente."), std::wstring(L"Esporta"));
    } else {
        ShowErrorText(this, failure);
    }
}

bool FormMain::ExportImage(const std::string& path, PictureFormat format) {
    if (chart == nullptr || !chart->Built()) return false;
    const QVUtility::TimeLine* ruler = chart->ruler;
    // The picture keeps the chart's measures at 96 DPI and its day columns
    // at their normal width, whatever the screen and the zoom, so that one
    // project gives one picture: the ruler and the rows are drawn again at
    // those measures, in fonts made for them.
    QVUtility::FontDescription baseCaption(*captionFont);
    QVUtility::FontDescription baseBar(*barFont);
    QVUtility::FontDescription baseRulerFont = ruler->RulerFont();
    baseCaption.SetDpi(QVUtility::DisplayScale::BaseDpi);
    baseBar.SetDpi(QVUtility::DisplayScale::BaseDpi);
    QVUtility::FontDescription* caption = &baseCaption;
    QVUtility::FontDescription* rowFont = &baseBar;
    ChartLayout chart{QVUtility::DisplayScale()};
    int width = 0;
    const QVUtility::RulerRows rulerRows = ruler->BaseRows(chart.rulerTop, baseRulerFont, width);
    if (static_cast<std::int64_t>(width) * QVUtility::TimeLine::NormalHeight > ruler->pictureLimit) return false;
    chart = ChartLayout(project, static_cast<int>(rulerRows.columnWidth), width, QVUtility::TimeLine::NormalHeight);
    const int height = static_cast<int>(std::min(chart.Height(), ChartLayout::TallestContent));

    // The picture is drawn and written in bands of rows, so a chart of any
    // length needs little memory; each band draws what reaches into it.
    const auto paint = [&](HDC context, int top, int bottom) {
        QVUtility::Drawing surface;
        surface.Attach(context, false);
        surface.FillRect(0, 0, width, height, 1, RGB(0, 0, 0), 0xC0C0C0);
        const TextWidth textWidth = [&](const std::wstring& text) {
            const QVUtility::ScopedSelect fontIn(context, rowFont->GetFont());
            SIZE extent{};
            GetTextExtentPoint32W(context, text.c_str(), static_cast<int>(text.size()), &extent);
            return static_cast<std::int64_t>(extent.cx);
        };
        if (top < chart.titleHeight) {
            surface.DrawText(0, 0, width, chart.titleHeight, project.description, RGB(0, 0, 0), caption, 2, true);
        }
        if (top < chart.FirstRowTop() && bottom > chart.rulerTop) {
            // As the ruler's window shows it: cut to its box.
            const int saved = SaveDC(context);
            IntersectClipRect(context, 0, chart.rulerTop, width, chart.rulerTop + QVUtility::TimeLine::NormalHeight);
            QVUtility::PaintRulerRows(context, rulerRows, 0, 0, width);
            RestoreDC(context, saved);
        }
        // A row's text may reach a little below its bar: one row more each way.
        const RowRange rows = chart.RowsBetween(top - chart.rowPitch, bottom + chart.rowPitch);
        for (std::size_t row = rows.first; row < rows.end; ++row) {
            const Task& task = project.tasks[row];
            const BarSpan bar = chart.Bar(task);
            const std::int64_t barTop = chart.RowTop(row);
            if (barTop >= height || bar.left >= width || bar.left + bar.width <= 0) continue;
            const int l = static_cast<int>(std::max<std::int64_t>(bar.left, -1));
            const int w = static_cast<int>(std::min<std::int64_t>(bar.left + bar.width, width + 1) - l);
            const int y = static_cast<int>(barTop);
            surface.FillRect(l, y, w, chart.barHeight, 1, RGB(0, 0, 0), task.colour);
            // Black on the five colours, as the picture always had; readable on any other.
            const COLORREF text = IsBarColour(task.colour) ? RGB(0, 0, 0) : BarTextColour(task.colour);
            const std::wstring name = QVUtility::Widen(task.description);
            // A name that fits its bar is centred in it; another is written
            // beside the bar, or cut at its end with "…", never at its start.
            BarLabel label{LabelPlace::Inside, name, l, l + w};
            if (textWidth(name) > w) label = PlaceBarLabel(name, l, l + w, 0, width, LabelGap, textWidth);
            if (label.place == LabelPlace::None) continue;
            const bool inside = label.place == LabelPlace::Inside;
            surface.DrawText(static_cast<int>(label.left), y + chart.pictureTextDrop,
                             static_cast<int>(label.right - label.left), chart.barHeight, label.text,
                             inside ? text : RGB(0, 0, 0), rowFont, inside ? 2 : 0, true);
        }
        surface.End();
    };
    if (format == PictureFormat::Png) return QVUtility::WritePngInBands(path, width, height, paint);
    return QVUtility::WriteBitmapInBands(path, width, height, paint);
}

void FormMain::ShowUnsavedProject() {
    document.LeaveFile();
    SetFilePath(std::string());
    project.modified = true;
    history.Clear(project);
    document.HandChangeToRecovery();
    ShowNewProject();
    EnableProjectCommands();
}

void FormMain::OpenHomePage() { QVUtility::ShellOpen(HomePageAddress); }

void FormMain::OpenGuidePage() { QVUtility::ShellOpen(GuidePageAddress); }

}  // namespace MyApp
