// Writer of 24-bit Windows bitmap files (.bmp) from a grid of pixels.
// Portable: it needs no Windows header, so it is built and tested on the
// host too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// Hands out a file's content piece by piece: each call sets the next bytes
// (a size of 0 at the end); false means the content cannot be made.
using ByteSource = std::function<bool(const std::uint8_t*& data, std::size_t& size)>;

// Writes the bytes of `source` to a temporary file in the folder of
// `fileName`, which then replaces the named file. When anything fails the
// answer is false, the temporary file is removed and a file that already
// had that name is left as it was. The name is narrow text in the system
// code page.
bool WriteFileReplacing(const std::string& fileName, const ByteSource& source);

#ifdef _WIN32
// Writes a file's content through the handle (a HANDLE) of the new file,
// seeking and writing at will; false means the content cannot be made.
using FileFiller = std::function<bool(void* file)>;
// As WriteFileReplacing, with the content written by `fill`.
bool WriteFileReplacingWith(const std::string& fileName, const FileFiller& fill);
#endif

// Writes the grid as a 24-bit bitmap file. The name is narrow text in the
// system code page. The picture is written to a temporary file in the same
// folder, which then replaces the named file: when anything fails the
// answer is false, the temporary file is removed and a file that already
// had that name is left as it was.
bool WriteBitmapFile(const std::string& fileName, const PixelGrid& grid);

}  // namespace QVUtility
