// Image: a picture from a bitmap file or from a bitmap resource of the
// program, shown by a static control. The element owns the bitmap.
#pragma once

#include <cstdint>
#include <string>

#include "toolkit/core/Child.h"

namespace QVUtility {

class Image : public Child {
public:
    // resourceId: a bitmap resource of the program; -1 shows imageFile
    // instead, 0 nothing.
    Image(GUIElement* parent, int resourceId);
    ~Image() override;

    std::string tag;
    HBITMAP bitmap = nullptr;  // owned
    std::string imageFile;     // narrow path
    int resourceId = 0;
    std::uint8_t border = 0;
    bool fitToSize = false;  // the bitmap is drawn down (or up) to the element's size

    void Create() override;
    void SetImageFile(const std::string& path);
    void SetImageResource(int id);

private:
    void Show(HBITMAP picture);
    // A copy of the bitmap at the element's size (the bitmap itself, released, is replaced).
    HBITMAP FittedCopy(HBITMAP source);
};

}  // namespace QVUtility
