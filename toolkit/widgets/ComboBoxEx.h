// ComboBoxEx: a combo box whose items carry pictures from an image list (the
// task dialog's colour picker). The owner fills the image list before the
// element is created; the element does not own it. It is a tab stop, and the
// keys typed in it work as in any other control: Tab and Maiusc+Tab move on,
// Enter and Escape reach the form, except while the list is open, when Enter
// picks the item and Escape closes the list, back to the item it opened on.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "toolkit/widgets/ComboBox.h"

namespace QVUtility {

class ComboBoxEx : public ComboBox {
public:
    ComboBoxEx(GUIElement* parent, HIMAGELIST* imageListSource);
    ~ComboBoxEx() override;

    HIMAGELIST* imageListSource = nullptr;  // read at creation
    std::vector<int> images;
    std::vector<int> selectedImages;
    std::vector<int> indents;  // in image widths

    HWND innerCombo = nullptr;  // the platform's combo box inside, which takes the focus and the keys
    bool listHadKey = false;    // Enter or Escape went to the open list; its character goes no further
    int selectionAtDrop = -1;   // the item selected when the list last opened

    void Create() override;
    // Gives the focus to the inner combo box, where the keys work.
    void Focus() override;
    // The list opens: the selection is kept for Escape to go back to.
    bool OnDropDownHook() override;
    // Escape closed the open list: the item selected when it opened is
    // selected again (and onCommand hears of it), whatever the arrows chose.
    void RestoreSelectionAtDrop();
    // Adds an item that shows image 0.
    void AddItem(const std::wstring& itemText, const std::wstring& itemValue) override;
    void AddItem(const std::wstring& itemText, const std::wstring& itemValue, int image, int selectedImage, int indent);
    // Narrow text and value, with image = selected image = index, no indent.
    void AddColourItem(const std::string& itemText, const std::string& itemValue, int index);
    bool RemoveItem(int index) override;

private:
    bool InsertNative(size_t slot);
    void ReadWindowSize();
};

}  // namespace QVUtility
