// ComboBoxEx: a combo box whose items carry pictures from an image list (the
// task dialog's colour picker). The owner fills the image list before the
// element is created; the element does not own it.
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

    HIMAGELIST* imageListSource = nullptr;  // read at creation
    std::vector<int> images;
    std::vector<int> selectedImages;
    std::vector<int> indents;  // in image widths

    void Create() override;
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
