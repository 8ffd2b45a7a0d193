// Exporting a picture as a 24-bit Windows bitmap file or as a PNG file.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

#include "toolkit/draw/BmpWriter.h"

namespace QVUtility {

// Reads every pixel of the bitmap and writes them with WriteBitmapFile
// (narrow file name, system code page). The bitmap must not be selected
// into a device context. False when the pixels cannot be read or the file
// cannot be written; an existing file of that name is then left as it was.
bool SaveBitmapFile(const std::string& fileName, HBITMAP bitmap);

// Draws one band of a picture: the rows from `top` to `bottom` - 1. The
// context's coordinates are the picture's own; only the band's pixels are
// kept, and everything in the band must be drawn.
using BandPainter = std::function<void(HDC context, int top, int bottom)>;

// Writes a 24-bit bitmap file of width x height pixels drawn band by band
// from the bottom up, so that at most about `bandBytes` of pixels exist at
// a time whatever the picture's size. False when the picture does not fit
// the format (a file above 4 GiB), a band cannot be made or the file cannot
// be written; the file is replaced as WriteBitmapFile does.
bool WriteBitmapInBands(const std::string& fileName, int width, int height, const BandPainter& paint,
                        std::size_t bandBytes = 16u << 20);

// Writes a PNG file of width x height pixels, 24 bits each, through the
// Windows Imaging Component, drawn band by band from the top and handed to
// the encoder as each band is done, so that memory stays as bounded as for
// the bitmap file. False when a band cannot be made or the picture cannot
// be encoded or written; the file is replaced as WriteBitmapFile does.
bool WritePngInBands(const std::string& fileName, int width, int height, const BandPainter& paint,
                     std::size_t bandBytes = 16u << 20);

}  // namespace QVUtility
