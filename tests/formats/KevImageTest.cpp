#include "formats/KevImage.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

using test::Put16;
using test::Put32;
using test::Put8;

// A KEV file: magic and letter, header field, depth, size, 256-byte block, the extras the
// letter carries (filled with recognisable values), then the given pixel bytes.
std::vector<std::uint8_t> KevFile(char letter, int depth, int width, int height, const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> f = {'K', 'E', 'V', '-', static_cast<std::uint8_t>(letter)};
    Put32(f, 0xDEADBEEF);
    Put16(f, static_cast<unsigned>(depth));
    Put32(f, static_cast<std::uint32_t>(width));
    Put32(f, static_cast<std::uint32_t>(height));
    for (int i = 0; i < 256; ++i)
        Put8(f, static_cast<unsigned>(i));
    switch (letter) {
    case 'C': Put32(f, 0x11111111); break;
    case 'D':
    case 'E': Put32(f, 0x22222222); break;
    case 'F': Put32(f, 0x11111111); Put32(f, 0x22222222); break;
    default: break;
    }
    f.insert(f.end(), pixels.begin(), pixels.end());
    return f;
}

TEST(KevImage, EveryVersionLetterPutsThePixelsWhereItsExtrasEnd) {
    struct Case {
        char letter;
        int version, headerLength, extra1, extra2;
    } cases[] = {
        {'A', 0, 275, 0, 0},
        {'B', 1, 275, 0, 0},
        {'C', 2, 279, 0x11111111, 0},
        {'D', 3, 279, 0, 0x22222222},
        {'E', 4, 279, 0, 0x22222222},
        {'F', 5, 283, 0x11111111, 0x22222222},
        {'Z', 0, 275, 0, 0},  // unknown letters carry no extras
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.letter));
        const auto file = KevFile(c.letter, 24, 2, 1, {1, 2, 3, 4, 5, 6});
        EXPECT_EQ(file.size(), static_cast<std::size_t>(c.headerLength) + 6);
        TKevImage kev;
        ASSERT_TRUE(kev.Read(file));
        EXPECT_EQ(kev.version, c.version);
        EXPECT_EQ(kev.headerLength, c.headerLength);
        EXPECT_EQ(kev.extraField1, c.extra1);
        EXPECT_EQ(kev.extraField2, c.extra2);
        EXPECT_EQ(static_cast<std::uint32_t>(kev.headerField), 0xDEADBEEFu);
        EXPECT_EQ(kev.headerBlock[255], 255);
        ASSERT_EQ(kev.bitmap().format(), PixelFormat::Bpp24);
        // The first pixel's blue byte is the first byte after the header.
        EXPECT_EQ(kev.bitmap().pixel(0, 0), (Rgb{3, 2, 1}));
        EXPECT_EQ(kev.bitmap().pixel(1, 0), (Rgb{6, 5, 4}));
    }
}

TEST(KevImage, EightBitRowsAreUnpaddedHalftoneIndices) {
    // 3x2, 281 bytes: rows of 3 bytes with no padding, the first row on top.
    const auto file = KevFile('A', 8, 3, 2, {0, 5, 215, 216, 255, 36});
    ASSERT_EQ(file.size(), 281u);
    TKevImage kev;
    ASSERT_TRUE(kev.Read(file));
    const Bitmap& b = kev.bitmap();
    ASSERT_EQ(b.format(), PixelFormat::Bpp8);
    EXPECT_EQ(b.width(), 3);
    EXPECT_EQ(b.height(), 2);
    const auto& halftone = HalftonePalette();
    EXPECT_EQ(b.pixel(0, 0), halftone[0]);
    EXPECT_EQ(b.pixel(1, 0), (Rgb{0, 0, 255}));  // index 5: blue level 5
    EXPECT_EQ(b.pixel(2, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(b.pixel(0, 1), halftone[216]);
    EXPECT_EQ(b.pixel(1, 1), halftone[255]);
    EXPECT_EQ(b.pixel(2, 1), (Rgb{51, 0, 0}));  // index 36: red level 1
}

TEST(KevImage, FifteenAndSixteenBitWordsExpandByBitReplication) {
    // 15-bit: bits 14-10 red. 0x7C00 pure red, 0x03E0 green, 0x001F blue, 0x8000 unused bit.
    TKevImage kev15;
    ASSERT_TRUE(kev15.Read(KevFile('B', 15, 4, 1, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x82})));
    ASSERT_EQ(kev15.bitmap().format(), PixelFormat::Bpp15);
    EXPECT_EQ(kev15.bitmap().pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(kev15.bitmap().pixel(1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(kev15.bitmap().pixel(2, 0), (Rgb{0, 0, 255}));
    // 0x8210: unused bit set, red 0, green 16 (-> 132), blue 16 (-> 132)
    EXPECT_EQ(kev15.bitmap().pixel(3, 0), (Rgb{0, 132, 132}));

    // 16-bit: 5-6-5. 0xF800 red, 0x07E0 green, 0x0821 = red 1, green 1, blue 1.
    TKevImage kev16;
    ASSERT_TRUE(kev16.Read(KevFile('E', 16, 3, 1, {0x00, 0xF8, 0xE0, 0x07, 0x21, 0x08})));
    ASSERT_EQ(kev16.bitmap().format(), PixelFormat::Bpp16);
    EXPECT_EQ(kev16.bitmap().pixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(kev16.bitmap().pixel(1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(kev16.bitmap().pixel(2, 0), (Rgb{8, 4, 8}));
}

TEST(KevImage, TruncatedPixelDataLeavesTheMissingRowsBlack) {
    // 2x3 24-bit, but only the first row and half of the second are present.
    TKevImage kev;
    ASSERT_TRUE(kev.Read(KevFile('C', 24, 2, 3, {10, 20, 30, 40, 50, 60, 70, 80, 90})));
    const Bitmap& b = kev.bitmap();
    EXPECT_EQ(b.pixel(1, 0), (Rgb{60, 50, 40}));
    EXPECT_EQ(b.pixel(0, 1), (Rgb{90, 80, 70}));
    EXPECT_EQ(b.pixel(1, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(b.pixel(0, 2), (Rgb{0, 0, 0}));
}

TEST(KevImage, RefusesWhatItCannotRead) {
    struct Case {
        const char* why;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"wrong magic", [] { auto f = KevFile('A', 24, 1, 1, {1, 2, 3}); f[3] = '_'; return f; }()},
        {"empty file", {}},
        {"magic only", {'K', 'E', 'V', '-', 'A'}},
        {"header cut inside the block", [] { auto f = KevFile('A', 24, 1, 1, {}); f.resize(200); return f; }()},
        {"extras cut", [] { auto f = KevFile('F', 24, 1, 1, {}); f.resize(280); return f; }()},
        {"bit depth 32", KevFile('A', 32, 1, 1, {1, 2, 3, 4})},
        {"bit depth 1", KevFile('A', 1, 8, 1, {0xFF})},
        {"negative width", KevFile('A', 24, -1, 1, {})},
        {"negative height", KevFile('A', 24, 1, -5, {})},
        {"more pixels than the limit", KevFile('A', 8, 65536, 65536, {})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TKevImage kev;
        EXPECT_FALSE(kev.Read(c.bytes));
        EXPECT_TRUE(kev.bitmap().empty());
    }
}

TEST(KevImage, ReadsFromDiskAndFailsOnAMissingFile) {
    test::TempDir dir;
    const std::string path = dir.file("picture.sfc");
    test::WriteBytes(path, KevFile('D', 24, 1, 1, {9, 8, 7}));
    TKevImage kev;
    ASSERT_TRUE(kev.Read(path));
    EXPECT_EQ(kev.bitmap().pixel(0, 0), (Rgb{7, 8, 9}));
    EXPECT_FALSE(kev.Read(dir.file("missing.kev")));
    EXPECT_TRUE(kev.bitmap().empty());
}

TEST(KevImage, ZeroSizedPicturesAreValid) {
    TKevImage kev;
    ASSERT_TRUE(kev.Read(KevFile('A', 24, 0, 0, {})));
    EXPECT_TRUE(kev.bitmap().empty());
}

}  // namespace
}  // namespace vs
