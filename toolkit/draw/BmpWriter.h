// Writer of 24-bit Windows bitmap files (.bmp) from a grid of pixels.
// Portable: it needs no Windows header, so it is built and tested on the
// host too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "file/ReplaceFile.h"

namespace QVUtility {

// Rows of pixels, top row first; every pixel is a colour in the 0x00BBGGRR
// form (COLORREF). All rows have the same length.
using PixelGrid = std::vector<std::vector<std::uint32_t>>;

// The complete bytes of a 24-bit bitmap file holding the grid: the 14-byte
// file header, the 40-byte information header and the rows from the bottom
// one up, each padded with zero bytes to a multiple of 4. Answers false (and
// leaves `bytes` empty) when the rows differ in length or the file would not
// fit the format's 32-bit sizes.
bool EncodeBitmapFile(const PixelGrid& grid, std::vector<std::uint8_t>& bytes);

// The bytes of one row of a 24-bit bitmap file `width` pixels wide: three
// per pixel, padded to a multiple of 4.
std::uint64_t BitmapRowBytes(std::uint64_t width);

// The 54 bytes of the headers of a 24-bit bitmap file of width x height
// pixels whose rows follow from the bottom one up. False (and `header`
// empty) when the picture does not fit the format: a side above 2^31 - 1
// pixels or a file above 4 GiB.
bool BitmapFileHeader(std::uint64_t width, std::uint64_t height, std::vector<std::uint8_t>& header);

// Picture files replace an older file of the same name the way project
// files do (see file/ReplaceFile.h).
using MyApp::ByteSource;
using MyApp::WriteFileReplacing;
#ifdef _WIN32
using MyApp::FileFiller;
using MyApp::WriteFileReplacingWith;
#endif

// Writes the grid as a 24-bit bitmap file. The name is narrow text in the
// system code page. The picture is written to a temporary file in the same
// folder, which then replaces the named file: when anything fails the
// answer is false, the temporary file is removed and a file that already
// had that name is left as it was.
bool WriteBitmapFile(const std::string& fileName, const PixelGrid& grid);

}  // namespace QVUtility
