#include "graphics/Bitmap.h"

#include "graphics/Errors.h"
#include "graphics/Orientation.h"

#include <gtest/gtest.h>

#include <set>

namespace vs {
namespace {

TEST(Bitmap, RowsArePaddedToFourBytesAndStartZeroed) {
    struct Case {
        int width;
        PixelFormat format;
        std::size_t stride;
    } cases[] = {
        {1, PixelFormat::Bpp1, 4},   {33, PixelFormat::Bpp1, 8},  {7, PixelFormat::Bpp4, 4},
        {9, PixelFormat::Bpp4, 8},   {5, PixelFormat::Bpp8, 8},   {3, PixelFormat::Bpp15, 8},
        {2, PixelFormat::Bpp16, 4},  {5, PixelFormat::Bpp24, 16}, {3, PixelFormat::Bpp32, 12},
    };
    for (const auto& c : cases) {
        Bitmap b(c.width, 3, c.format);
        EXPECT_EQ(b.stride(), c.stride) << c.width << " at " << static_cast<int>(c.format);
        EXPECT_EQ(b.byteSize(), 3 * c.stride);
        for (std::size_t i = 0; i < b.byteSize(); ++i)
            ASSERT_EQ(b.bits()[i], 0);
    }
}

// The camera readers check the 24-bit turns against ImageMagick; every other pixel size must
// turn the same way.
TEST(Bitmap, OrientationTurnsEveryPixelSizeAlike) {
    for (const PixelFormat format : {PixelFormat::Bpp4, PixelFormat::Bpp8, PixelFormat::Bpp16, PixelFormat::Bpp32}) {
        Bitmap stored(5, 3, format);
        for (std::size_t i = 0; i < stored.byteSize(); ++i) stored.bits()[i] = static_cast<std::uint8_t>(i * 37 + 11);
        for (int o = 2; o <= 8; ++o) {
            Bitmap turned = stored, expected = stored.toBgr24();
            ApplyOrientation(turned, o);
            ApplyOrientation(expected, o);
            EXPECT_EQ(turned.width(), o >= 5 ? 3 : 5);
            EXPECT_TRUE(turned.toBgr24() == expected) << static_cast<int>(format) << " orientation " << o;
        }
    }
}

TEST(Bitmap, IndexedFormatsGetAFullPalette) {
    EXPECT_EQ(Bitmap(1, 1, PixelFormat::Bpp1).palette().size(), 2u);
    EXPECT_EQ(Bitmap(1, 1, PixelFormat::Bpp4).palette().size(), 16u);
    EXPECT_EQ(Bitmap(1, 1, PixelFormat::Bpp8).palette().size(), 256u);
    EXPECT_TRUE(Bitmap(1, 1, PixelFormat::Bpp24).palette().empty());
}

TEST(Bitmap, RefusesNegativeAndOversizedPicturesBeforeAllocating) {
    EXPECT_THROW(Bitmap(-1, 5, PixelFormat::Bpp24), DecodeError);
    EXPECT_THROW(Bitmap(5, -1, PixelFormat::Bpp24), DecodeError);
    EXPECT_THROW(Bitmap(16385, 16384, PixelFormat::Bpp8), DecodeError);
    EXPECT_THROW(CheckPictureSize(std::int64_t{1} << 40, std::int64_t{1} << 40), DecodeError);
    EXPECT_NO_THROW(CheckPictureSize(16384, 16384));
    EXPECT_NO_THROW(CheckPictureSize(0, std::int64_t{1} << 28));
    EXPECT_THROW(CheckPictureSize(0, (std::int64_t{1} << 28) + 1), DecodeError);  // no pixels, endless rows
    EXPECT_THROW(CheckPictureSize((std::int64_t{1} << 31) - 1, 0), DecodeError);
}

TEST(Bitmap, ConvertsEveryFormatTo24Bits) {
    // 1-bit: bits are most significant first.
    Bitmap mono(10, 1, PixelFormat::Bpp1);
    mono.palette() = {{10, 20, 30}, {200, 210, 220}};
    mono.row(0)[0] = 0b10100000;
    mono.row(0)[1] = 0b01000000;
    // 4-bit: high nibble first.
    Bitmap nib(3, 1, PixelFormat::Bpp4);
    nib.palette()[1] = {1, 1, 1};
    nib.palette()[15] = {15, 15, 15};
    nib.row(0)[0] = 0xF1;
    nib.row(0)[1] = 0x10;
    // 32-bit: the fourth byte is ignored.
    Bitmap wide(1, 1, PixelFormat::Bpp32);
    wide.row(0)[0] = 1;
    wide.row(0)[1] = 2;
    wide.row(0)[2] = 3;
    wide.row(0)[3] = 99;

    const Bitmap m = mono.toBgr24();
    ASSERT_EQ(m.format(), PixelFormat::Bpp24);
    const bool expected[10] = {true, false, true, false, false, false, false, false, false, true};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(m.pixel(x, 0), (expected[x] ? Rgb{200, 210, 220} : Rgb{10, 20, 30})) << x;
    const Bitmap n = nib.toBgr24();
    EXPECT_EQ(n.pixel(0, 0), (Rgb{15, 15, 15}));
    EXPECT_EQ(n.pixel(1, 0), (Rgb{1, 1, 1}));
    EXPECT_EQ(n.pixel(2, 0), (Rgb{1, 1, 1}));
    // 24-bit rows hold blue, green, red.
    const Bitmap w = wide.toBgr24();
    EXPECT_EQ(w.row(0)[0], 1);
    EXPECT_EQ(w.row(0)[2], 3);
    EXPECT_EQ(w.pixel(0, 0), (Rgb{3, 2, 1}));
}

TEST(Bitmap, FiveAndSixBitChannelsExpandByBitReplication) {
    Bitmap b15(32, 1, PixelFormat::Bpp15);
    Bitmap b16(64, 1, PixelFormat::Bpp16);
    for (unsigned v = 0; v < 32; ++v) {
        b15.row(0)[2 * v] = static_cast<std::uint8_t>(v);  // blue channel = v
        b16.row(0)[2 * v] = static_cast<std::uint8_t>(v);
    }
    for (unsigned v = 0; v < 64; ++v) {
        const unsigned word = v << 5;  // green channel = v
        b16.row(0)[2 * v] = static_cast<std::uint8_t>(word | (b16.row(0)[2 * v] & 31u));
        b16.row(0)[2 * v + 1] = static_cast<std::uint8_t>(word >> 8);
    }
    const Bitmap c15 = b15.toBgr24();
    const Bitmap c16 = b16.toBgr24();
    for (unsigned v = 0; v < 32; ++v)
        EXPECT_EQ(c15.row(0)[3 * v], static_cast<std::uint8_t>((v << 3) | (v >> 2)));
    for (unsigned v = 0; v < 64; ++v)
        EXPECT_EQ(c16.row(0)[3 * v + 1], static_cast<std::uint8_t>((v << 2) | (v >> 4)));
    EXPECT_EQ(c15.row(0)[3 * 31], 255);
    EXPECT_EQ(c16.row(0)[3 * 63 + 1], 255);
}

TEST(Bitmap, OutOfRangeIndicesOfAShortPaletteAreBlack) {
    Bitmap b(2, 1, PixelFormat::Bpp8);
    b.palette().assign(4, Rgb{9, 9, 9});
    b.row(0)[0] = 3;
    b.row(0)[1] = 200;
    EXPECT_EQ(b.pixel(0, 0), (Rgb{9, 9, 9}));
    EXPECT_EQ(b.pixel(1, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(b.toBgr24().pixel(1, 0), (Rgb{0, 0, 0}));
}

TEST(Bitmap, HalftonePaletteHasTheCubeAndDistinctGreys) {
    const auto& p = HalftonePalette();
    EXPECT_EQ(p[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(p[215], (Rgb{255, 255, 255}));
    EXPECT_EQ(p[36 * 2 + 6 * 3 + 4], (Rgb{102, 153, 204}));
    std::set<int> greys;
    for (int i = 216; i < 256; ++i) {
        EXPECT_EQ(p[static_cast<std::size_t>(i)].r, p[static_cast<std::size_t>(i)].g);
        EXPECT_EQ(p[static_cast<std::size_t>(i)].g, p[static_cast<std::size_t>(i)].b);
        greys.insert(p[static_cast<std::size_t>(i)].r);
    }
    EXPECT_EQ(greys.size(), 40u);
    EXPECT_GT(*greys.begin(), 0);
    EXPECT_LT(*greys.rbegin(), 255);
}

}  // namespace
}  // namespace vs
