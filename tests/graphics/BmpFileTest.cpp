#include "graphics/BmpFile.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vs {
namespace {

using test::Put16;
using test::Put32;
using test::Put8;

// Builds a BMP file by hand: the parts a test cares about are given, the rest is filled in.
struct BmpSpec {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    unsigned bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t colorsUsed = 0;
    std::vector<Rgb> palette;
    std::vector<std::uint32_t> masks;  // written after a 40-byte header, inside larger ones
    std::vector<std::uint8_t> pixels;
    std::int64_t pixelOffset = -1;  // -1: right after the palette
};

std::vector<std::uint8_t> MakeBmp(const BmpSpec& s) {
    std::vector<std::uint8_t> info;
    Put32(info, s.headerSize);
    if (s.headerSize == 12) {
        Put16(info, static_cast<unsigned>(s.width));
        Put16(info, static_cast<unsigned>(s.height));
        Put16(info, 1);
        Put16(info, s.bitCount);
    } else {
        Put32(info, static_cast<std::uint32_t>(s.width));
        Put32(info, static_cast<std::uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bitCount);
        Put32(info, s.compression);
        Put32(info, static_cast<std::uint32_t>(s.pixels.size()));
        Put32(info, 0);
        Put32(info, 0);
        Put32(info, s.colorsUsed);
        Put32(info, 0);
        for (std::uint32_t m : s.masks)
            Put32(info, m);
        while (info.size() < s.headerSize)
            Put8(info, 0);
    }
    for (const Rgb& c : s.palette) {
        info.insert(info.end(), {c.b, c.g, c.r});
        if (s.headerSize != 12)
            Put8(info, 0);
    }
    const std::uint32_t offset = s.pixelOffset >= 0 ? static_cast<std::uint32_t>(s.pixelOffset)
                                                    : static_cast<std::uint32_t>(14 + info.size());
    std::vector<std::uint8_t> f = {'B', 'M'};
    Put32(f, static_cast<std::uint32_t>(14 + info.size() + s.pixels.size()));
    Put32(f, 0);
    Put32(f, offset);
    f.insert(f.end(), info.begin(), info.end());
    if (s.pixelOffset < 0 || offset <= f.size() + 4096)  // a test of a wild offset wants no padding
        f.resize(std::max<std::size_t>(f.size(), offset), 0);
    f.insert(f.end(), s.pixels.begin(), s.pixels.end());
    return f;
}

TEST(BmpDecode, CoreHeaderWithThreeByteColourTable) {
    BmpSpec s;
    s.headerSize = 12;
    s.width = 3;
    s.height = 2;
    s.bitCount = 8;
    s.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    // Bottom-up: the first stored row is the bottom one.
    s.pixels = {2, 2, 2, 0, /* bottom */ 0, 1, 2, 0 /* top */};
    const Bitmap b = DecodeBmp(MakeBmp(s));
    ASSERT_EQ(b.format(), PixelFormat::Bpp8);
    EXPECT_EQ(b.pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(b.pixel(1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(b.pixel(2, 1), (Rgb{0, 0, 255}));
}

TEST(BmpDecode, ShortColourTablesLeaveTheRestBlack) {
    BmpSpec s;
    s.width = 2;
    s.bitCount = 8;
    s.colorsUsed = 2;
    s.palette = {{1, 2, 3}, {4, 5, 6}};
    s.pixels = {1, 7, 0, 0};
    const Bitmap b = DecodeBmp(MakeBmp(s));
    EXPECT_EQ(b.palette().size(), 256u);
    EXPECT_EQ(b.pixel(0, 0), (Rgb{4, 5, 6}));
    EXPECT_EQ(b.pixel(1, 0), (Rgb{0, 0, 0}));
}

TEST(BmpDecode, ColourTableEndsWhereThePixelDataStarts) {
    // colorsUsed = 0 promises 16 entries, but the pixel offset leaves room for 2 only.
    BmpSpec s;
    s.width = 2;
    s.bitCount = 4;
    s.palette = {{10, 10, 10}, {20, 20, 20}};
    s.pixels = {0x10, 0, 0, 0};
    const Bitmap b = DecodeBmp(MakeBmp(s));
    EXPECT_EQ(b.pixel(0, 0), (Rgb{20, 20, 20}));
    EXPECT_EQ(b.pixel(1, 0), (Rgb{10, 10, 10}));
}

TEST(BmpDecode, TopDownRowsAndSixteenBitDefaultIs555) {
    BmpSpec s;
    s.width = 1;
    s.height = -2;
    s.bitCount = 16;
    s.pixels = {0x00, 0x7C, 0, 0, /* top: red */ 0x1F, 0x00, 0, 0 /* bottom: blue */};
    const Bitmap b = DecodeBmp(MakeBmp(s));
    ASSERT_EQ(b.format(), PixelFormat::Bpp15);
    EXPECT_EQ(b.pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(b.pixel(0, 1), (Rgb{0, 0, 255}));
}

TEST(BmpDecode, BitFieldMasksInEveryHeaderSize) {
    for (std::uint32_t headerSize : {40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(headerSize);
        BmpSpec s;
        s.headerSize = headerSize;
        s.width = 2;
        s.bitCount = 16;
        s.compression = 3;
        s.masks = {0xF800, 0x07E0, 0x001F};
        s.pixels = {0xE0, 0x07, 0x00, 0xF8};
        const Bitmap b = DecodeBmp(MakeBmp(s));
        ASSERT_EQ(b.format(), PixelFormat::Bpp16);
        EXPECT_EQ(b.pixel(0, 0), (Rgb{0, 255, 0}));
        EXPECT_EQ(b.pixel(1, 0), (Rgb{255, 0, 0}));
    }
}

TEST(BmpDecode, UnusualMasksAreUnpackedTo24Bits) {
    // 32-bit with red in the low byte and a 4-bit green channel.
    BmpSpec s;
    s.width = 1;
    s.bitCount = 32;
    s.compression = 3;
    s.masks = {0x000000FF, 0x00000F00, 0x00FF0000};
    s.pixels = {0x80, 0x0F, 0x40, 0x00};
    const Bitmap b = DecodeBmp(MakeBmp(s));
    ASSERT_EQ(b.format(), PixelFormat::Bpp24);
    EXPECT_EQ(b.pixel(0, 0), (Rgb{0x80, 0xFF, 0x40}));
}

TEST(BmpDecode, Rle8WithAbsoluteRunsDeltasAndEndOfLine) {
    BmpSpec s;
    s.width = 6;
    s.height = 3;
    s.bitCount = 8;
    s.compression = 1;
    s.palette.resize(8);
    for (std::uint8_t i = 0; i < 8; ++i)
        s.palette[i] = {i, i, i};
    s.pixels = {
        3, 1,              // bottom row: 1 1 1
        0, 3, 5, 6, 7, 0,  // absolute run of 3, padded to a word
        0, 0,              // end of line
        0, 2, 2, 1,        // delta: two right, one up (to the top row)
        2, 4,              // top row from x = 2: 4 4
        0, 1,              // end of bitmap
    };
    const Bitmap b = DecodeBmp(MakeBmp(s));
    const int bottom[] = {1, 1, 1, 5, 6, 7};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(b.pixel(x, 2).r, bottom[x]) << x;
    const int top[] = {0, 0, 4, 4, 0, 0};
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(b.pixel(x, 0).r, top[x]) << x;
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(b.pixel(x, 1).r, 0) << x;
}

TEST(BmpDecode, Rle4AlternatesNibbles) {
    BmpSpec s;
    s.width = 7;
    s.height = 1;
    s.bitCount = 4;
    s.compression = 2;
    s.palette.resize(16);
    for (std::uint8_t i = 0; i < 16; ++i)
        s.palette[i] = {i, i, i};
    s.pixels = {
        3, 0x12,          // 1 2 1
        0, 3, 0xAB, 0xC0, // absolute: A B C (two bytes, already a word)
        1, 0xF0,          // F
        0, 1,
    };
    const Bitmap b = DecodeBmp(MakeBmp(s));
    const int expected[] = {1, 2, 1, 10, 11, 12, 15};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(b.pixel(x, 0).r, expected[x]) << x;
}

TEST(BmpDecode, Os2Rle24RunsOfBlueGreenRedPixels) {
    BmpSpec s;
    s.headerSize = 64;
    s.width = 5;
    s.height = 2;
    s.compression = 4;  // with an OS/2 2.x header: 24-bit runs, not JPEG
    s.pixels = {
        2, 10, 20, 30,                     // bottom row: two of (r 30, g 20, b 10)
        0, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, // absolute run of 3, nine bytes padded to a word
        0, 0,                              // end of line
        0, 2, 1, 0,                        // delta: one right
        1, 40, 50, 60,                     // top row, x = 1
        0, 1,
    };
    const Bitmap b = DecodeBmp(MakeBmp(s));
    ASSERT_EQ(b.format(), PixelFormat::Bpp24);
    const Rgb bottom[] = {{30, 20, 10}, {30, 20, 10}, {3, 2, 1}, {6, 5, 4}, {9, 8, 7}};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(b.pixel(x, 1), bottom[x]) << x;
    EXPECT_EQ(b.pixel(1, 0), (Rgb{60, 50, 40}));
    EXPECT_EQ(b.pixel(0, 0), (Rgb{0, 0, 0}));
    for (const std::size_t cut : {std::size_t{3}, std::size_t{10}, s.pixels.size() - 2}) {
        BmpSpec shortened = s;
        shortened.pixels.resize(cut);
        EXPECT_THROW(DecodeBmp(MakeBmp(shortened)), DecodeError) << cut;
    }
    s.bitCount = 8;
    s.palette.resize(2);
    EXPECT_THROW(DecodeBmp(MakeBmp(s)), DecodeError);  // 24-bit runs on 8 bits
}

TEST(BmpDecode, RunsPastTheRightEdgeAreClipped) {
    BmpSpec s;
    s.width = 2;
    s.height = 1;
    s.bitCount = 8;
    s.compression = 1;
    s.palette = {{0, 0, 0}, {9, 9, 9}};
    s.pixels = {255, 1, 0, 1};
    const Bitmap b = DecodeBmp(MakeBmp(s));
    EXPECT_EQ(b.pixel(1, 0).r, 9);
}

TEST(BmpDecode, InvalidFilesRaiseClearErrors) {
    BmpSpec good;
    good.width = 4;
    good.height = 4;
    good.pixels.assign(48, 0x55);
    const auto valid = MakeBmp(good);
    ASSERT_NO_THROW(DecodeBmp(valid));

    const auto with = [&](auto change) {
        BmpSpec s = good;
        change(s);
        return MakeBmp(s);
    };
    struct Case {
        const char* why;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"no signature", [&] { auto f = valid; f[0] = 'X'; return f; }()},
        {"cut inside the header", {valid.begin(), valid.begin() + 30}},
        {"pixel data truncated", {valid.begin(), valid.end() - 1}},
        {"unknown header size", with([](BmpSpec& s) { s.headerSize = 44; })},
        {"bit depth 3", with([](BmpSpec& s) { s.bitCount = 3; })},
        {"bit depth 0", with([](BmpSpec& s) { s.bitCount = 0; })},
        {"negative width", with([](BmpSpec& s) { s.width = -4; })},
        {"no columns, many rows", with([](BmpSpec& s) { s.width = 0; s.height = -(1 << 27); })},
        {"oversized", with([](BmpSpec& s) { s.width = 1 << 20; s.height = 1 << 20; })},
        {"JPEG inside", with([](BmpSpec& s) { s.compression = 4; })},
        {"RLE8 on 24 bits", with([](BmpSpec& s) { s.compression = 1; })},
        {"bit fields on 24 bits", with([](BmpSpec& s) { s.compression = 3; s.masks = {0xFF0000, 0xFF00, 0xFF}; })},
        {"gappy mask", with([](BmpSpec& s) { s.bitCount = 32; s.compression = 3; s.masks = {0xF0F000, 0xFF00, 0xFF}; s.pixels.assign(64, 0); })},
        {"pixel offset in the header", with([](BmpSpec& s) { s.pixelOffset = 20; })},
        {"pixel offset past the end", with([](BmpSpec& s) { s.pixelOffset = 100000; })},
        {"palette past the end", with([](BmpSpec& s) { s.bitCount = 8; s.colorsUsed = 256; s.pixelOffset = 0x7FFFFFFF; s.pixels.clear(); })},
        {"RLE without end", with([](BmpSpec& s) { s.bitCount = 8; s.compression = 1; s.palette.resize(2); s.pixels = {4, 1, 0, 0}; })},
        {"RLE top-down", with([](BmpSpec& s) { s.bitCount = 8; s.compression = 1; s.height = -4; s.palette.resize(2); s.pixels = {0, 1}; })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_THROW(DecodeBmp(c.bytes), DecodeError);
    }
}

TEST(BmpFile, SaveAndLoadKeepEveryPixel) {
    test::TempDir dir;
    Bitmap pal(5, 3, PixelFormat::Bpp4);
    for (int i = 0; i < 16; ++i)
        pal.palette()[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 16), 7, static_cast<std::uint8_t>(255 - i)};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            pal.row(y)[x] = static_cast<std::uint8_t>(y * 0x31 + x * 0x17);
    Bitmap rgb(7, 5, PixelFormat::Bpp24);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 21; ++x)
            rgb.row(y)[x] = static_cast<std::uint8_t>(x * 11 + y * 29);

    for (const Bitmap* b : {&pal, &rgb}) {
        const std::string path = dir.file("round.bmp");
        SaveBmpFile(*b, path);
        const Bitmap back = LoadBmpFile(path);
        ASSERT_EQ(back.format(), b->format());
        // Padding bytes are not part of the picture; compare pixel by pixel.
        EXPECT_EQ(test::ToRgbImage(back).rgb, test::ToRgbImage(*b).rgb);
    }

    // Formats without a file form of their own are saved as 24 bits.
    Bitmap b16(2, 2, PixelFormat::Bpp16);
    b16.row(1)[0] = 0x1F;
    SaveBmpFile(b16, dir.file("16.bmp"));
    const Bitmap back = LoadBmpFile(dir.file("16.bmp"));
    EXPECT_EQ(back.format(), PixelFormat::Bpp24);
    EXPECT_EQ(back.pixel(0, 1), (Rgb{0, 0, 255}));
}

TEST(BmpFile, OpenFailuresAreToldApartFromBadData) {
    test::TempDir dir;
    EXPECT_THROW(LoadBmpFile(dir.file("missing.bmp")), OpenError);
    EXPECT_THROW(LoadBmpFile(dir.path()), OpenError);  // a folder
    test::WriteBytes(dir.file("junk.bmp"), {'B', 'M', 1, 2, 3});
    EXPECT_THROW(LoadBmpFile(dir.file("junk.bmp")), DecodeError);
}

TEST(BmpFile, AFailedSaveLeavesTheOldFileAndNoLitter) {
    test::TempDir dir;
    const std::string path = dir.file("keep.bmp");
    test::WriteBytes(path, {1, 2, 3});
    EXPECT_THROW(SaveBmpFile(Bitmap(1, 1, PixelFormat::Bpp24), dir.file("no/such/folder/x.bmp")), ImageError);
    // Replacing a folder with a file fails at the rename; the temporary file must go.
    std::filesystem::create_directory(dir.file("sub"));
    EXPECT_THROW(WriteFileAtomically(dir.file("sub"), std::vector<std::uint8_t>{1}), ImageError);
    EXPECT_EQ(test::ReadBytes(path), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
}  // namespace vs
