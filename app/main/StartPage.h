// StartPage: what the chart's area shows while no project is open: one line
// saying what the program does, and links to make a new project, to open
// one, to open the example shipped with the program and to open the last
// four projects. The links are reached with Tab and followed with Invio,
// the space bar or a click; assistive technology reads them as links. The
// page stands in the place of the task table and the chart, which are
// hidden meanwhile, and goes for good once a project is open.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/draw/FontDescription.h"
#include "toolkit/widgets/PanelChildren.h"

namespace QVUtility {
class CellControl;
}

namespace MyApp {

class StartPage : public QVUtility::PanelChildren {
public:
    // The links' order: new, open, the example, then the recent projects.
    enum Link { NewProject = 0, OpenProject = 1, OpenExample = 2, FirstRecent = 3 };

    // `panes` are the windows the page stands in place of.
    StartPage(QVUtility::GUIElement* parentElement, std::vector<QVUtility::GUIElement*> panes);

    // Hears which link was followed (a Link, or FirstRecent + n for the
    // recent project n).
    std::function<void(std::size_t link)> onLink;

    void Create() override;
    // The recent projects' links, in their order (at most four).
    void ShowRecentFiles(const std::vector<std::string>& paths);
    // The page's place in its parent, in pixels.
    void Cover(int left, int top, int coverWidth, int coverHeight);
    // A project is open: the page goes and the panes come back.
    void Leave();
    // No project has been open yet: the page stands in the panes' place.
    bool Shown() const { return window != nullptr && !left_; }
    // The keyboard to the first link.
    void FocusFirstLink();
    // The links, in Tab's order.
    const std::vector<QVUtility::CellControl*>& Links() const { return links_; }
    void Follow(const QVUtility::GUIElement* link);

private:
    QVUtility::CellControl* MakeCell(const std::wstring& caption, QVUtility::FontDescription* cellFont);
    QVUtility::CellControl* MakeLink(const std::wstring& caption, const std::wstring& description);
    void Arrange();
    // Shown: a text, a link to a recent project, the recent projects' heading when there are some.
    bool Used(const QVUtility::GUIElement* element) const;

    std::vector<QVUtility::GUIElement*> panes_;
    QVUtility::FontDescription headingFont_;
    QVUtility::FontDescription textFont_;
    QVUtility::FontDescription boldFont_;
    QVUtility::FontDescription linkFont_;
    QVUtility::CellControl* heading_ = nullptr;
    QVUtility::CellControl* purpose_ = nullptr;
    QVUtility::CellControl* recentHeading_ = nullptr;
    std::vector<QVUtility::CellControl*> links_;
    std::vector<std::unique_ptr<QVUtility::GUIElement>> owned_;
    bool anyRecent_ = false;
    bool left_ = false;
};

}  // namespace MyApp
