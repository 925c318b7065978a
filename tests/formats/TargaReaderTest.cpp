#include "formats/TargaReader.h"

#include "formats/OracleSupport.h"
#include "graphics/Errors.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

using test::Put16;
using test::Put8;

class TargaTest : public ::testing::Test {
protected:
    test::TempDir dir;

    // Writes a hand-made file and returns its decode, checked against ImageMagick's. 5-bit
    // channels are compared at 5 bits: ImageMagick widens them by a shift (31 becomes 248), we
    // by bit replication as the bitmap core does (31 becomes 255).
    Bitmap DecodeAndCompare(const std::vector<std::uint8_t>& file, const std::string& name, int bits = 8) {
        const std::string path = dir.file(name + ".tga");
        test::WriteBytes(path, file);
        Bitmap bmp = DecodeTarga(file);
        EXPECT_TRUE(test::SameRgb(test::TopBits(test::MagickDecodeOriented(path), bits),
                                  test::TopBits(test::ToRgbImage(bmp), bits)))
            << name;
        return bmp;
    }
};

std::vector<std::uint8_t> Header(int type, int depth, int width, int height, int descriptor, int idLength = 0,
                                 int mapFirst = 0, int mapLength = 0, int mapBits = 0) {
    std::vector<std::uint8_t> out;
    Put8(out, static_cast<unsigned>(idLength));
    Put8(out, mapLength > 0 ? 1 : 0);
    Put8(out, static_cast<unsigned>(type));
    Put16(out, static_cast<unsigned>(mapFirst));
    Put16(out, static_cast<unsigned>(mapLength));
    Put8(out, static_cast<unsigned>(mapBits));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(width));
    Put16(out, static_cast<unsigned>(height));
    Put8(out, static_cast<unsigned>(depth));
    Put8(out, static_cast<unsigned>(descriptor));
    for (int i = 0; i < idLength; ++i)
        Put8(out, static_cast<unsigned>('A' + i));
    return out;
}

TEST_F(TargaTest, EveryTypeImageMagickWritesDecodesAsItDoes) {
    const std::string src = test::MakeSourcePng(dir, 37, 23);
    struct Variant {
        const char* options;
        int type;
    };
    for (const Variant& v : {Variant{"-type TrueColor -compress None", 2}, Variant{"-type TrueColor -compress RLE", 10},
                             Variant{"-colorspace Gray -compress None", 3}, Variant{"-colorspace Gray -compress RLE", 11},
                             Variant{"-colors 200 -type Palette -compress None", 1},
                             Variant{"-colors 200 -type Palette -compress RLE", 9},
                             Variant{"-alpha set -channel A -fx 'i/w' +channel -type TrueColorAlpha -compress RLE", 10}}) {
        SCOPED_TRACE(v.options);
        const std::string path = dir.file("magick.tga");
        test::MakeWithMagick(test::Quote(src), v.options, path);
        const auto bytes = test::ReadBytes(path);
        ASSERT_EQ(bytes.at(2), v.type);
        const Bitmap bmp = DecodeTarga(bytes);
        EXPECT_TRUE(test::SameRgb(test::MagickDecodeOriented(path), test::ToRgbImage(bmp)));
    }
}

TEST_F(TargaTest, AllFourOriginsGiveTheSamePicture) {
    // A 3x2 picture of distinct colours; the file stores its rows and columns in the order
    // the descriptor's origin bits say.
    const std::uint8_t bgr[2][3][3] = {{{1, 2, 3}, {40, 50, 60}, {70, 80, 90}}, {{100, 110, 120}, {130, 140, 150}, {160, 170, 180}}};
    Bitmap first;
    for (int descriptor : {0x00, 0x10, 0x20, 0x30}) {
        SCOPED_TRACE(descriptor);
        auto file = Header(2, 24, 3, 2, descriptor);
        const bool topDown = descriptor & 0x20;
        const bool rightToLeft = descriptor & 0x10;
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c) {
                const auto& px = bgr[topDown ? r : 1 - r][rightToLeft ? 2 - c : c];
                file.insert(file.end(), px, px + 3);
            }
        const Bitmap bmp = DecodeAndCompare(file, "origin" + std::to_string(descriptor));
        EXPECT_EQ(bmp.pixel(0, 0), (Rgb{3, 2, 1}));
        EXPECT_EQ(bmp.pixel(2, 1), (Rgb{180, 170, 160}));
        if (descriptor == 0)
            first = bmp;
        EXPECT_EQ(bmp, first);
    }
}

TEST_F(TargaTest, FifteenAndSixteenBitPixelsPlainAndRunLength) {
    for (int depth : {15, 16}) {
        for (int type : {2, 10}) {
            SCOPED_TRACE(std::to_string(depth) + " bits, type " + std::to_string(type));
            auto file = Header(type, depth, 32, 3, 0x20);
            for (int y = 0; y < 3; ++y) {
                if (type == 10 && y == 1) {  // one run for the whole middle row
                    Put8(file, 0x80 | 31);
                    Put16(file, 0x7C1F);
                    continue;
                }
                if (type == 10)
                    Put8(file, 31);
                for (int x = 0; x < 32; ++x)
                    Put16(file, static_cast<unsigned>((x << (5 * y)) | (y == 2 ? 0x8000 : 0)));
            }
            const Bitmap bmp = DecodeAndCompare(file, "hi" + std::to_string(depth) + "-" + std::to_string(type), 5);
            EXPECT_EQ(bmp.pixel(31, 0), (Rgb{0, 0, 255}));
            if (type == 10) {
                EXPECT_EQ(bmp.pixel(5, 1), (Rgb{255, 0, 255}));
            }
        }
    }
}

TEST_F(TargaTest, ColourMapsOfEveryEntrySizeWithAFirstIndexAndAnIdField) {
    for (int mapBits : {15, 16, 24, 32}) {
        for (int type : {1, 9}) {
            SCOPED_TRACE(std::to_string(mapBits) + "-bit map, type " + std::to_string(type));
            const int first = 5;
            const int length = 20;
            auto file = Header(type, 8, 5, 4, 0, 7, first, length, mapBits);
            for (int i = 0; i < length; ++i) {
                if (mapBits <= 16) {
                    Put16(file, static_cast<unsigned>((i * 1553) & 0x7FFF));
                } else {
                    Put8(file, static_cast<unsigned>(i * 11));
                    Put8(file, static_cast<unsigned>(255 - i * 7));
                    Put8(file, static_cast<unsigned>(i * 3 + 100));
                    if (mapBits == 32)
                        Put8(file, 0xFF);
                }
            }
            if (type == 9) {  // a run across the first two rows, then literals
                Put8(file, 0x80 | 6);
                Put8(file, first + 3);
                Put8(file, 12);
                for (int i = 0; i < 13; ++i)
                    Put8(file, static_cast<unsigned>(first + i));
            } else {
                for (int i = 0; i < 20; ++i)
                    Put8(file, static_cast<unsigned>(first + (i * 7) % length));
            }
            const Bitmap bmp = DecodeAndCompare(file, "map" + std::to_string(mapBits) + "-" + std::to_string(type),
                                                mapBits <= 16 ? 5 : 8);
            EXPECT_EQ(bmp.format(), PixelFormat::Bpp8);
        }
    }
}

TEST_F(TargaTest, TruncatedAndInvalidFilesThrow) {
    const std::string src = test::MakeSourcePng(dir, 19, 7);
    for (const char* options : {"-type TrueColor -compress None", "-type TrueColor -compress RLE",
                                "-colors 30 -type Palette -compress RLE"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("t.tga");
        test::MakeWithMagick(test::Quote(src), options, path);
        const auto bytes = test::ReadBytes(path);
        // ImageMagick may append a footer; the pixel data ends before it.
        const std::size_t end = bytes.size() >= 26 && std::string(bytes.end() - 18, bytes.end() - 2) == "TRUEVISION-XFILE"
                                    ? bytes.size() - 26
                                    : bytes.size();
        for (std::size_t n : test::TruncationPoints(end)) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_THROW(DecodeTarga(cut), DecodeError) << n;
        }
    }
    EXPECT_THROW(DecodeTarga(Header(32, 8, 1, 1, 0)), DecodeError);   // unknown type
    EXPECT_THROW(DecodeTarga(Header(2, 12, 1, 1, 0)), DecodeError);   // unknown depth
    EXPECT_THROW(DecodeTarga(Header(1, 8, 1, 1, 0)), DecodeError);    // mapped without a map
    auto overrun = Header(10, 24, 2, 1, 0);                            // run of 3 pixels in a 2-pixel picture
    overrun.insert(overrun.end(), {0x82, 1, 2, 3});
    EXPECT_THROW(DecodeTarga(overrun), DecodeError);
}

}  // namespace
}  // namespace vs
