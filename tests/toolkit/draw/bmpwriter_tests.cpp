// The 24-bit bitmap writer: file layout byte by byte, and replacing files
// safely. Runs on the host and under Wine.
#include "toolkit/draw/BmpWriter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

#include "tests/toolkit/TempFolderTest.h"

namespace fs = std::filesystem;
using QVUtility::PixelGrid;
using QVUtility::WriteBitmapFile;
using Bytes = std::vector<std::uint8_t>;

namespace {

class BmpWriterTest : public TempFolderTest {
protected:
    BmpWriterTest() : TempFolderTest("velmora-bmp-") {}

    static void WriteText(const std::string& path, const std::string& text) {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }

    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        return names;
    }

    static std::uint32_t U32(const Bytes& b, std::size_t at) {
        return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
    }
    static std::uint16_t U16(const Bytes& b, std::size_t at) {
        return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
    }
};

PixelGrid Filled(std::size_t width, std::size_t height, std::uint32_t colour) {
    return PixelGrid(height, std::vector<std::uint32_t>(width, colour));
}

TEST_F(BmpWriterTest, OneWhitePixelMakesTheFiftyEightByteFile) {
    const std::string path = PathOf("one.bmp");
    ASSERT_TRUE(WriteBitmapFile(path, Filled(1, 1, 0xFFFFFF)));
    const Bytes b = ReadAll(path);
    const Bytes expected = {
        'B',  'M',  58,   0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,         // file header
        40,   0,    0,    0, 1, 0, 0, 0, 1, 0, 0,  0, 1, 0, 24, 0,  // size, width, height, planes, bits
        0,    0,    0,    0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0,  // compression .. important
        0xFF, 0xFF, 0xFF, 0};  // the pixel and one byte of padding
    EXPECT_EQ(b, expected);
    EXPECT_EQ(Entries(), std::vector<std::string>{"one.bmp"}) << "no temporary file is left behind";
}

TEST_F(BmpWriterTest, RowsArePaddedToFourBytes) {
    struct Case {
        std::size_t width, rowBytes;
    } cases[] = {{4, 12}, {5, 16}, {2, 8}, {3, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE("width " + std::to_string(c.width));
        const std::string path = PathOf("w" + std::to_string(c.width) + ".bmp");
        PixelGrid grid = Filled(c.width, 3, 0x00332211);
        ASSERT_TRUE(WriteBitmapFile(path, grid));
        const Bytes b = ReadAll(path);
        ASSERT_EQ(b.size(), 54 + 3 * c.rowBytes);
        EXPECT_EQ(U32(b, 2), b.size());
        EXPECT_EQ(U32(b, 10), 54u);
        EXPECT_EQ(U32(b, 18), c.width);
        EXPECT_EQ(U32(b, 22), 3u);
        EXPECT_EQ(U16(b, 26), 1);
        EXPECT_EQ(U16(b, 28), 24);
        for (std::size_t row = 0; row < 3; ++row) {
            const std::size_t start = 54 + row * c.rowBytes;
            for (std::size_t px = 0; px < c.width; ++px) {
                // 0x00BBGGRR is stored blue, green, red.
                EXPECT_EQ(b[start + px * 3], 0x33);
                EXPECT_EQ(b[start + px * 3 + 1], 0x22);
                EXPECT_EQ(b[start + px * 3 + 2], 0x11);
            }
            for (std::size_t pad = c.width * 3; pad < c.rowBytes; ++pad) EXPECT_EQ(b[start + pad], 0) << "padding";
        }
    }
}

TEST_F(BmpWriterTest, BottomRowComesFirstAndPixelsKeepTheirPlace) {
    // Top row red, bottom row blue; the middle row counts its pixels.
    PixelGrid grid = {{0x0000FF, 0x0000FF, 0x0000FF}, {0x000001, 0x000002, 0x000003}, {0xFF0000, 0xFF0000, 0xFF0000}};
    const std::string path = PathOf("rows.bmp");
    ASSERT_TRUE(WriteBitmapFile(path, grid));
    const Bytes b = ReadAll(path);
    ASSERT_EQ(b.size(), 54u + 3 * 12);
    EXPECT_EQ(Bytes(b.begin() + 54, b.begin() + 57), (Bytes{0xFF, 0x00, 0x00})) << "bottom blue row first";
    EXPECT_EQ(Bytes(b.begin() + 66, b.begin() + 75), (Bytes{0, 0, 1, 0, 0, 2, 0, 0, 3}));
    EXPECT_EQ(Bytes(b.begin() + 78, b.begin() + 81), (Bytes{0x00, 0x00, 0xFF})) << "top red row last";
}

TEST_F(BmpWriterTest, EmptyGridWritesOnlyTheHeaders) {
    const std::string path = PathOf("empty.bmp");
    ASSERT_TRUE(WriteBitmapFile(path, PixelGrid()));
    const Bytes b = ReadAll(path);
    ASSERT_EQ(b.size(), 54u);
    EXPECT_EQ(U32(b, 2), 54u);
    EXPECT_EQ(U32(b, 18), 0u);
    EXPECT_EQ(U32(b, 22), 0u);
}

TEST_F(BmpWriterTest, ReplacesAnExistingFile) {
    const std::string path = PathOf("old.bmp");
    WriteText(path, std::string(500, 'x'));
    ASSERT_TRUE(WriteBitmapFile(path, Filled(1, 1, 0)));
    EXPECT_EQ(ReadAll(path).size(), 58u) << "the old, longer content is gone entirely";
    EXPECT_EQ(Entries(), std::vector<std::string>{"old.bmp"});
}

TEST_F(BmpWriterTest, RefusesRowsOfDifferentLengthsWithoutTouchingTheFile) {
    const std::string path = PathOf("ragged.bmp");
    WriteText(path, "keep me");
    PixelGrid ragged = {{1, 2, 3}, {4, 5}};
    EXPECT_FALSE(WriteBitmapFile(path, ragged));
    PixelGrid longerLater = {{1}, {2, 3}};
    EXPECT_FALSE(WriteBitmapFile(path, longerLater));
    EXPECT_EQ(ReadAll(path), (Bytes{'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_EQ(Entries(), std::vector<std::string>{"ragged.bmp"});
    EXPECT_FALSE(WriteBitmapFile(PathOf("new.bmp"), ragged));
    EXPECT_FALSE(fs::exists(PathOf("new.bmp")));
}

TEST_F(BmpWriterTest, UnwritablePlacesAnswerFalseAndCreateNothing) {
    EXPECT_FALSE(WriteBitmapFile(PathOf("missing-folder") + "/x.bmp", Filled(2, 2, 0)));
    EXPECT_FALSE(WriteBitmapFile("", Filled(2, 2, 0)));
    // A folder of that name is not replaced by the picture.
    fs::create_directory(folder / "taken.bmp");
    WriteText(PathOf("taken.bmp") + "/inside.txt", "still here");
    EXPECT_FALSE(WriteBitmapFile(PathOf("taken.bmp"), Filled(2, 2, 0)));
    EXPECT_TRUE(fs::is_directory(folder / "taken.bmp"));
    EXPECT_EQ(ReadAll(PathOf("taken.bmp") + "/inside.txt").size(), 10u);
    EXPECT_EQ(Entries(), std::vector<std::string>{"taken.bmp"}) << "no temporary file is left behind";
}

// The largest picture the format holds has a file of 4 GiB less a few
// bytes; one row more does not fit, nor does a side above 2^31 - 1.
TEST_F(BmpWriterTest, HeadersFitUpToTheFormatsFourGigabytes) {
    Bytes header;
    const std::uint64_t rows = (0xFFFFFFFFull - 54) / 4;  // one pixel (4 bytes) a row
    ASSERT_TRUE(QVUtility::BitmapFileHeader(1, rows, header));
    EXPECT_EQ(header.size(), 54u);
    EXPECT_EQ(U32(header, 2), 54 + rows * 4);
    EXPECT_EQ(U32(header, 22), rows);
    EXPECT_FALSE(QVUtility::BitmapFileHeader(1, rows + 1, header));
    EXPECT_TRUE(header.empty());
    EXPECT_FALSE(QVUtility::BitmapFileHeader(0x80000000ull, 0, header));
}

// A file written piece by piece is the pieces in order; a piece that cannot
// be made leaves no file.
TEST_F(BmpWriterTest, FileWrittenPieceByPieceOrNotAtAll) {
    const std::vector<std::string> pieces{"BM", "", "abc"};
    std::size_t next = 0;
    ASSERT_TRUE(QVUtility::WriteFileReplacing(PathOf("a.bmp"), [&](const std::uint8_t*& data, std::size_t& size) {
        // An empty piece ends the file: "abc" is never asked for.
        const std::string& piece = pieces[next++];
        data = reinterpret_cast<const std::uint8_t*>(piece.data());
        size = piece.size();
        return true;
    }));
    const Bytes written = ReadAll(PathOf("a.bmp"));
    EXPECT_EQ(std::string(written.begin(), written.end()), "BM");
    const auto failing = [](const std::uint8_t*&, std::size_t&) { return false; };
    EXPECT_FALSE(QVUtility::WriteFileReplacing(PathOf("b.bmp"), failing));
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.bmp"});
    // A piece whose making throws (memory running out): the error goes on
    // to the caller, and neither the file nor a temporary one is left.
    const auto throwing = [](const std::uint8_t*&, std::size_t&) -> bool { throw std::bad_alloc(); };
    EXPECT_THROW(QVUtility::WriteFileReplacing(PathOf("a.bmp"), throwing), std::bad_alloc);
    EXPECT_EQ(Entries(), std::vector<std::string>{"a.bmp"});
    const Bytes kept = ReadAll(PathOf("a.bmp"));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "BM");
}

#ifndef _WIN32
// A write that fails half-way (here: the process may not write files larger
// than 100 bytes) keeps the file that had the name.
TEST_F(BmpWriterTest, FailedWriteKeepsTheExistingFile) {
    const std::string path = PathOf("chart.bmp");
    WriteText(path, "previous picture");
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool written = WriteBitmapFile(path, Filled(20, 20, 0x123456));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    const Bytes kept = ReadAll(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous picture");
    EXPECT_EQ(Entries(), std::vector<std::string>{"chart.bmp"}) << "the partial temporary file is removed";
}
#endif

}  // namespace
