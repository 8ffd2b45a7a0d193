// Exporting a bitmap as a 24-bit Windows bitmap file.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/BmpWriter.h"

namespace QVUtility {

// Reads every pixel of the bitmap and writes them with WriteBitmapFile
// (narrow file name, system code page). The bitmap must not be selected
// into a device context. False when the pixels cannot be read or the file
// cannot be written; an existing file of that name is then left as it was.
bool SaveBitmapFile(const std::string& fileName, HBITMAP bitmap);

}  // namespace QVUtility
