#include "formats/JpegReader.h"

#include "formats/OracleSupport.h"
#include "graphics/Errors.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

namespace vs {
namespace {

// Writes a CMYK JPEG with libjpeg, with or without the Adobe marker. Without it the samples
// are plain ink amounts; with it they are stored inverted, as Photoshop does.
void WriteCmykJpeg(const std::string& path, int width, int height, bool adobe) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c) {
                const int ink = (x * (c + 3) * 9 + y * (5 - c) * 7) % 256;
                row[static_cast<std::size_t>(x * 4 + c)] = static_cast<JSAMPLE>(adobe ? 255 - ink : ink);
            }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    test::WriteBytes(path, std::vector<std::uint8_t>(buffer, buffer + size));
    std::free(buffer);
}

class JpegTest : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(JpegTest, EveryVariantAndScaleMatchesDjpeg) {
    const std::string src = test::MakeSourcePng(dir, 97, 61);
    // CMYK files from ImageMagick carry the Adobe marker (inverted ink), which is also what
    // djpeg assumes when it writes CMYK as RGB: light = stored C x stored K / 255.
    for (const char* options : {"-quality 90", "-sampling-factor 1x1", "-sampling-factor 2x1", "-interlace JPEG",
                                "-colorspace Gray", "-colorspace Gray -interlace JPEG", "-colorspace CMYK",
                                "-colorspace CMYK -interlace JPEG", "-define jpeg:restart-interval=2 -quality 40"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("v.jpg");
        test::MakeWithMagick(test::Quote(src), options, path);
        const auto bytes = test::ReadBytes(path);
        for (int scale : {1, 2, 4, 8}) {
            SCOPED_TRACE(scale);
            JpegInfo info;
            const Bitmap bmp = DecodeJpeg(bytes, JpegDecodeOptions{scale}, &info);
            EXPECT_EQ(info.width, 97);
            EXPECT_EQ(info.height, 61);
            EXPECT_TRUE(test::SameRgb(test::DjpegDecode(path, scale), test::ToRgbImage(bmp)));
        }
    }
}

TEST_F(JpegTest, CmykInkShowsTheSameWithAndWithoutTheAdobeMarker) {
    // The same ink amounts, stored inverted behind an Adobe marker (matched against ImageMagick)
    // and plain without one (ImageMagick inverts those too; we follow the marker, as libjpeg's
    // documentation has it). Both must show the same picture, give or take the rounding of
    // two lossy encodings of mirrored samples.
    const std::string adobe = dir.file("adobe.jpg");
    const std::string plain = dir.file("plain.jpg");
    WriteCmykJpeg(adobe, 40, 24, true);
    WriteCmykJpeg(plain, 40, 24, false);
    const Bitmap fromAdobe = DecodeJpeg(test::ReadBytes(adobe));
    const Bitmap fromPlain = DecodeJpeg(test::ReadBytes(plain));
    EXPECT_EQ(fromAdobe.format(), PixelFormat::Bpp24);
    EXPECT_TRUE(test::NearRgb(test::MagickDecode(adobe), test::ToRgbImage(fromAdobe), 1));
    EXPECT_TRUE(test::NearRgb(test::ToRgbImage(fromAdobe), test::ToRgbImage(fromPlain), 3));
    EXPECT_FALSE(test::NearRgb(test::MagickDecode(plain), test::ToRgbImage(fromPlain), 3));
}

TEST_F(JpegTest, GreyscaleComesOutAsEightBitsWithAGreyPalette) {
    const std::string path = dir.file("g.jpg");
    test::MakeWithMagick(test::Quote(test::MakeSourcePng(dir, 16, 16)), "-colorspace Gray", path);
    const Bitmap bmp = DecodeJpeg(test::ReadBytes(path));
    ASSERT_EQ(bmp.format(), PixelFormat::Bpp8);
    EXPECT_EQ(bmp.palette()[200], (Rgb{200, 200, 200}));
}

TEST(JpegScale, LargestReductionThatStillCoversTheCell) {
    EXPECT_EQ(JpegScaleDenomFor(6000, 4000, 80, 60), 8);
    EXPECT_EQ(JpegScaleDenomFor(640, 480, 80, 60), 8);   // 80 x 60 exactly
    EXPECT_EQ(JpegScaleDenomFor(633, 473, 80, 60), 8);   // rounded up: 80 x 60
    EXPECT_EQ(JpegScaleDenomFor(632, 480, 80, 60), 4);   // 79 wide at 1/8
    EXPECT_EQ(JpegScaleDenomFor(700, 300, 80, 60), 4);   // the height limits
    EXPECT_EQ(JpegScaleDenomFor(1000, 200, 80, 60), 2);
    EXPECT_EQ(JpegScaleDenomFor(80, 60, 80, 60), 1);
    EXPECT_EQ(JpegScaleDenomFor(100, 75, 100, 75), 1);   // the page strip's cell
    EXPECT_EQ(JpegScaleDenomFor(400, 300, 100, 75), 4);
    EXPECT_EQ(JpegScaleDenomFor(0, 0, 80, 60), 1);
}

TEST_F(JpegTest, ThumbnailsUseTheReducedDecodeButReportTheFullSize) {
    struct Case {
        int width;
        int height;
        int scale;
    };
    for (const Case& c : {Case{1280, 960, 8}, Case{700, 300, 4}, Case{1000, 200, 2}, Case{80, 60, 1}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const std::string path = dir.file("t.jpg");
        test::MakeWithMagick(test::Quote(test::MakeSourcePng(dir, c.width, c.height)), "-quality 85", path);
        Bitmap thumb;
        std::string size;
        ASSERT_TRUE(LoadMicroImageFromFile(path, 1, thumb, size));
        EXPECT_EQ(size, std::to_string(c.width) + "X" + std::to_string(c.height));
        Bitmap expected = test::FromRgbImage(test::DjpegDecode(path, c.scale));
        ASSERT_TRUE(ChangeToMicroImage(expected, 80, 60));
        EXPECT_EQ(thumb, expected);
        // The viewer still decodes at full size.
        Bitmap full;
        ASSERT_TRUE(LoadImageByKind(path, 1, nullptr, full));
        EXPECT_EQ(full.width(), c.width);
    }
}

TEST_F(JpegTest, TruncatedAndCorruptFilesThrowAndNeverCrash) {
    const std::string src = test::MakeSourcePng(dir, 64, 40);
    for (const char* options : {"-quality 80", "-interlace JPEG"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("c.jpg");
        test::MakeWithMagick(test::Quote(src), options, path);
        const auto bytes = test::ReadBytes(path);
        // Every cut before the end-of-image marker fails, at every scale.
        for (std::size_t n : test::TruncationPoints(bytes.size() - 2)) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_THROW(DecodeJpeg(cut), DecodeError) << n;
            EXPECT_THROW(DecodeJpegForCell(cut, 8, 8, nullptr), DecodeError) << n;
        }
        // Damaged bytes anywhere: an error or a picture of the right size, nothing else.
        for (std::size_t i = 2; i < bytes.size(); i += 7) {
            auto damaged = bytes;
            damaged[i] = static_cast<std::uint8_t>(damaged[i] ^ 0x5A);
            try {
                const Bitmap b = DecodeJpeg(damaged);
                EXPECT_LE(b.width(), 65535);
            } catch (const DecodeError&) {
            }
        }
    }
    EXPECT_THROW(DecodeJpeg({}), DecodeError);
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'};
    EXPECT_THROW(DecodeJpeg(text), DecodeError);
    EXPECT_THROW(ReadJpegInfo(text), DecodeError);
    EXPECT_THROW(DecodeJpeg(test::ReadBytes(dir.file("c.jpg")), JpegDecodeOptions{3}), DecodeError);
}

}  // namespace
}  // namespace vs
