// FormAnteprima: the print preview. It shows one page at a time, drawn on
// a white sheet by the same code that draws it for the printer, with the
// page's margins; the user turns the pages, zooms, picks what to print and
// its scale, and closes it with "Stampa..." (go on to the print dialog) or
// "Chiudi". The preview shows a copy of the project taken when it opened.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/dialogs/DialogFrame.h"
#include "app/print/PrintChoice.h"
#include "app/print/PrintDocument.h"

namespace QVUtility {
class Button;
class ComboBox;
class Label;
class PanelChildren;
}  // namespace QVUtility

namespace MyApp {

class PagePicture;

class FormAnteprima : public DialogFrame {
public:
    // Builds and shows the preview over `owner`. The sheets are those of
    // the printer the pages are for, across (the chart) and upright (the
    // cost report).
    FormAnteprima(QVUtility::Form* owner, const std::wstring& title, const Project& project, const PrintChoice& initial,
                  const PageFormat& landscape, const PageFormat& portrait, const std::wstring& printingDate);
    ~FormAnteprima() override;

    // Hears, once the window has gone, of the choice the lists show and
    // whether the user asked to print ("Stampa...") rather than just close.
    std::function<void(const PrintChoice&, bool print)> onClosed;

    PrintChoice choice;
    std::int64_t page = 0;  // the page shown, 0-based
    std::int64_t PageCount() const;

    QVUtility::Button* previousButton = nullptr;
    QVUtility::Button* nextButton = nullptr;
    QVUtility::Label* pageLabel = nullptr;
    QVUtility::ComboBox* zoomList = nullptr;
    QVUtility::ComboBox* contentList = nullptr;
    QVUtility::ComboBox* scaleList = nullptr;
    QVUtility::Button* printButton = nullptr;
    QVUtility::Button* closeButton = nullptr;
    QVUtility::PanelChildren* pageView = nullptr;  // scrolls the sheet
    PagePicture* picture = nullptr;                // the sheet

    void BuildControls() override;
    void OnButton(QVUtility::GUIElement* button) override;
    // A list changed: the zoom, what is printed or the scale.
    void OnListChanged(QVUtility::GUIElement* list);
    // The window's size changed: the sheet view follows.
    void OnSizeChanged();
    // Shows the page (clamped to the document's pages).
    void ShowPage(std::int64_t index);
    void ReportOutcome() override;

private:
    Project project_;
    PageFormat landscape_;
    PageFormat portrait_;
    std::wstring date_;
    std::unique_ptr<PrintDocument> document_;
    int zoom_ = 0;                   // index into the zoom list; 0 = the whole sheet in the window
    int viewTop_ = 0;                // the page view's top at 96 DPI, below the row or rows of commands

    // What the picture shows: the sheet is drawn again only when one of
    // these changes.
    struct Drawn {
        std::uint64_t document = 0;
        std::int64_t page = -1;
        int pixelsPerInch = 0;
        const PageFormat* format = nullptr;
        bool operator==(const Drawn& other) const {
            return document == other.document && page == other.page && pixelsPerInch == other.pixelsPerInch &&
                   format == other.format;
        }
    };
    std::uint64_t documents_ = 0;  // documents made so far
    Drawn drawn_;

    const PageFormat& Format() const;
    void MakeDocument();
    // Places the sheet in its view and draws it anew when it has changed.
    // With `drawNow` false (a resize under way) a sheet of another size
    // shows the last picture stretched, and is drawn when the resize has
    // come to rest.
    void Render(bool drawNow = true);
    static void CALLBACK RestTimer(HWND window, UINT, UINT_PTR timer, DWORD);
};

}  // namespace MyApp
