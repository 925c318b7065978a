// Our BMP decoder against ImageMagick's, on files ImageMagick writes.

#include "graphics/BmpFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

// A 37x23 colourful picture (odd width, so every row has padding) as a binary PPM.
std::vector<std::uint8_t> SourcePpm() {
    const int w = 37, h = 23;
    const std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    std::vector<std::uint8_t> f(head.begin(), head.end());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.insert(f.end(), {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 11),
                               static_cast<std::uint8_t>((x * y * 5) ^ 0x5A)});
    return f;
}

class BmpOracle : public ::testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(BmpOracle, DecodesLikeImageMagick) {
    const auto [options, expectedHeader] = GetParam();
    test::TempDir dir;
    const std::string src = dir.file("src.ppm");
    const std::string bmp = dir.file("variant.bmp");
    test::WriteBytes(src, SourcePpm());
    const auto made = test::Run("convert " + test::Quote(src) + " " + options + ":" + test::Quote(bmp));
    ASSERT_EQ(made.exitCode, 0) << made.err;

    // Make sure ImageMagick wrote the variant this case is about.
    const auto bytes = test::ReadBytes(bmp);
    ASSERT_GT(bytes.size(), 34u);
    EXPECT_EQ(std::to_string(bytes[14]) + "/" + std::to_string(bytes[14 + (bytes[14] == 12 ? 10 : 14)]) + "/" +
                  std::to_string(bytes[14] == 12 ? 0 : bytes[30]),
              expectedHeader)
        << "header size / bits per pixel / compression";

    const test::RgbImage theirs = test::MagickDecode(bmp);
    const test::RgbImage ours = test::ToRgbImage(LoadBmpFile(bmp));
    ASSERT_EQ(ours.width, theirs.width);
    ASSERT_EQ(ours.height, theirs.height);
    EXPECT_EQ(ours.rgb, theirs.rgb);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, BmpOracle,
    ::testing::Values(std::pair{"-type TrueColor BMP3", "40/24/0"},
                      std::pair{"-type TrueColor BMP2", "12/24/0"},
                      std::pair{"-colors 200 -type Palette -compress None BMP3", "40/8/0"},
                      std::pair{"-colors 200 -type Palette -compress RLE BMP3", "40/8/1"},
                      std::pair{"-colors 16 -type Palette -compress None BMP3", "40/4/0"},
                      std::pair{"-colors 200 -type Palette BMP2", "12/8/0"},
                      std::pair{"-monochrome BMP3", "40/1/0"},
                      std::pair{"-define bmp:subtype=RGB565 BMP", "124/16/3"},
                      std::pair{"-define bmp:subtype=RGB555 BMP", "124/16/3"},
                      std::pair{"-alpha on BMP", "124/32/3"},
                      std::pair{"-type TrueColor BMP", "124/24/0"}));

// ImageMagick does not write top-down files: turn its bottom-up file over by hand.
TEST(BmpOracleTopDown, MatchesImageMagickOnTheBottomUpOriginal) {
    test::TempDir dir;
    const std::string src = dir.file("src.ppm");
    const std::string bmp = dir.file("up.bmp");
    test::WriteBytes(src, SourcePpm());
    ASSERT_EQ(test::Run("convert " + test::Quote(src) + " -type TrueColor BMP3:" + test::Quote(bmp)).exitCode, 0);
    auto bytes = test::ReadBytes(bmp);
    const std::size_t offset = bytes[10] | (bytes[11] << 8);
    const std::size_t stride = (37 * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> flipped(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    for (int r = 22; r >= 0; --r) {
        const auto row = bytes.begin() + static_cast<std::ptrdiff_t>(offset + static_cast<std::size_t>(r) * stride);
        flipped.insert(flipped.end(), row, row + static_cast<std::ptrdiff_t>(stride));
    }
    const std::int32_t negative = -23;
    for (int i = 0; i < 4; ++i)
        flipped[22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(negative) >> (8 * i));

    EXPECT_EQ(test::ToRgbImage(DecodeBmp(flipped)).rgb, test::MagickDecode(bmp).rgb);
}

// ImageMagick reads what we write.
TEST(BmpOracleWrite, ImageMagickReadsOurFiles) {
    test::TempDir dir;
    Bitmap pal(13, 7, PixelFormat::Bpp8);
    for (int i = 0; i < 256; ++i)
        pal.palette()[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                                                      static_cast<std::uint8_t>(i * 3)};
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            pal.row(y)[x] = static_cast<std::uint8_t>(x * 19 + y * 5);
    for (const Bitmap& b : {pal, pal.toBgr24()}) {
        SaveBmpFile(b, dir.file("ours.bmp"));
        EXPECT_EQ(test::MagickDecode(dir.file("ours.bmp")).rgb, test::ToRgbImage(b).rgb);
    }
}

}  // namespace
}  // namespace vs
