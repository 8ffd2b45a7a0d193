// ToolBar: a row of image buttons (ToolbarWindow32) built from ToolBarItem
// elements. Items are not windows: each button carries its item's control
// identifier as command, and the window procedure hands the command to the
// item's onCommand.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "toolkit/core/Child.h"
#include "toolkit/core/CommandElement.h"

namespace QVUtility {

class ToolBar;

class ToolBarItem : public Child, public CommandElement {
public:
    static constexpr int LabelLength = 2024;

    explicit ToolBarItem(ToolBar* toolbar);

    std::vector<wchar_t> label;      // text under the image, fixed at creation
    int imageIndex = 0;              // index in the toolbar's images; 0 = not resolved yet
    int bitmapResource = 0;          // bitmap strip of the program, or 0
    int imageCount = 0;              // images in that strip; 0 = add it by colour mapping
    int imageOffset = 0;             // index of the item's image inside its strip
    COLORREF transparentColour = 0;  // colour mapping: becomes the button face
    std::uint8_t buttonStyle = 0;    // 0 push button, 1 separator (TBSTYLE_SEP)

    // Takes the command identifier and copies the text into label; makes no
    // window.
    void Create() override;
};

class ToolBar : public Child {
public:
    static constexpr size_t MaxButtons = 100;

    explicit ToolBar(GUIElement* owner);
    ~ToolBar() override;

    TBADDBITMAP standardImages{HINST_COMMCTRL, IDB_STD_SMALL_COLOR};  // new = 6, open = 7, save = 8
    std::vector<ToolBarItem*> items;                                  // display order; not owned
    std::uint8_t flat = 0;
    std::uint8_t autoSize = 1;
    std::uint8_t alignTop = 1;
    std::uint8_t alignBottom = 0;
    std::uint8_t alignLeft = 0;
    std::uint8_t alignRight = 0;
    std::uint8_t border = 0;
    std::uint8_t showLabels = 0;
    std::vector<HBITMAP> mappedBitmaps;  // owned

    // The pictures for every screen density: bitmap resources of the
    // program holding, at one size, the standard images at their places
    // (a strip of StandardImageCount) and the strip of the items that have
    // a bitmapResource. The toolbar takes the set of the size that suits its
    // screen (again after a change of screen); a toolbar without sets, or
    // whose sets cannot be loaded, takes the common controls' images and the
    // items' own strip.
    struct ImageSet {
        int size = 16;
        int standardStrip = 0;
        int programStrip = 0;
    };
    static constexpr int StandardImageCount = 15;
    std::vector<ImageSet> imageSets;

    void Create() override;
    void AddItem(ToolBarItem* item);
    // Recreates every button from items (after the owner changed them).
    void RebuildButtons();
    // Takes the pictures of the size that suits the form's scale now (after
    // a change of screen) and sizes the buttons to them.
    void ApplyScale();

    DWORD ToolBarStyle() const;

    // The buttons are the toolbar's parts for assistive technology, named
    // by their tooltips; pressing one is their action.
    long AccessiblePartCount() const override;
    void DescribePart(long part, AccessibleFacts& facts) const override;
    bool PartLocation(long part, RECT& screen) const override;
    bool DoPartAction(long part) override;

private:
    int AddMappedBitmap(ToolBarItem& item);
    HIMAGELIST imageList = nullptr;  // the set in use, when one is; owned
    int imageListSize = 0;
};

}  // namespace QVUtility
