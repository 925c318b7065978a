#include "formats/TiffReader.h"

#include "formats/OracleSupport.h"
#include "graphics/Errors.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

class TiffTest : public ::testing::Test {
protected:
    test::TempDir dir;

    void ExpectSameAsMagick(const std::string& path, int tolerance = 0) {
        const Bitmap bmp = DecodeTiff(test::ReadBytes(path));
        EXPECT_TRUE(test::NearRgb(test::MagickDecode(path), test::ToRgbImage(bmp), tolerance));
    }
    // Compression and photometric interpretation as tiffinfo names them, to be sure the
    // variant under test is the one on disk.
    std::string Describe(const std::string& path) {
        const auto r = test::Run("tiffinfo " + test::Quote(path));
        std::string out;
        for (const char* key : {"Compression Scheme: ", "Photometric Interpretation: ", "Bits/Sample: "}) {
            const auto at = r.out.find(key);
            if (at != std::string::npos)
                out += r.out.substr(at, r.out.find('\n', at) - at) + "; ";
        }
        return out;
    }
};

TEST_F(TiffTest, EveryCompressionAndPhotometricMatchesImageMagick) {
    const std::string src = test::MakeSourcePng(dir, 37, 23);
    // libtiff narrows 16-bit samples and colour-map entries and mixes CMYK in its own
    // rounding, ImageMagick in another: those variants may differ by one step.
    struct Variant {
        const char* options;
        const char* expect;  // part of tiffinfo's description
        int tolerance = 0;
    };
    for (const Variant& v : {
             Variant{"-type TrueColor -compress None", "Compression Scheme: None"},
             Variant{"-type TrueColor -compress LZW", "LZW"},
             Variant{"-type TrueColor -compress RLE", "PackBits"},
             Variant{"-type TrueColor -compress Zip", "AdobeDeflate"},
             Variant{"-type TrueColor -compress JPEG -quality 95", "JPEG"},
             Variant{"-monochrome -compress Group4", "CCITT Group 4"},
             Variant{"-monochrome -compress Fax", "CCITT Group 3"},
             Variant{"-colorspace Gray -compress LZW", "min-is-black"},
             Variant{"-colors 20 -type Palette -compress LZW", "palette color", 1},
             Variant{"-colorspace CMYK -compress None", "separated", 1},
             Variant{"-type TrueColor -depth 16 -compress Zip", "Bits/Sample: 16", 1},
             Variant{"-colorspace Gray -depth 16", "Bits/Sample: 16", 1},
             Variant{"-type TrueColor -define tiff:tile-geometry=16x16", "RGB color"},
         }) {
        SCOPED_TRACE(v.options);
        const std::string path = dir.file("v.tif");
        test::MakeWithMagick(test::Quote(src), v.options, path);
        ASSERT_NE(Describe(path).find(v.expect), std::string::npos) << Describe(path);
        ExpectSameAsMagick(path, v.tolerance);
    }
}

TEST_F(TiffTest, FloatingPointSamplesMatchImageMagick) {
    const std::string src = test::MakeSourcePng(dir, 37, 23);
    const std::string flt = "-define quantum:format=floating-point -depth ";
    const std::string rgb = "-type TrueColor " + flt;
    const std::string rgba = "-alpha set -channel A -fx 'i/w' +channel -type TrueColorAlpha " + flt;
    for (const std::string& options :
         {rgb + "32", rgb + "32 -compress Zip", rgb + "32 -interlace Plane", rgb + "32 -define tiff:tile-geometry=16x16",
          rgb + "16", rgb + "64 -compress LZW", "-colorspace Gray " + flt + "32",
          rgba + "32", rgba + "32 -interlace Plane"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("f.tif");
        const std::string flat = dir.file("flat.png");
        test::MakeWithMagick(test::Quote(src), options, path);
        ASSERT_NE(test::Run("tiffinfo " + test::Quote(path)).out.find("IEEE floating point"), std::string::npos);
        // ImageMagick's rgb: output drops alpha; flattening lays it over white first. It goes
        // through 16-bit values (and blends at 16 bits), so a step of one either way.
        test::MakeWithMagick(test::Quote(path), "-background white -flatten", flat);
        EXPECT_TRUE(test::NearRgb(test::MagickDecode(flat), test::ToRgbImage(DecodeTiff(test::ReadBytes(path))), 1));
        if (options.find("Alpha") != std::string::npos) {  // the first column is transparent
            EXPECT_EQ(DecodeTiff(test::ReadBytes(path), kMaxPixels, {0, 128, 255}).pixel(0, 5), (Rgb{0, 128, 255}));
        }
    }
}

TEST_F(TiffTest, AlphaLiesOverTheMatteAsImageMagickFlattensIt) {
    const std::string src = test::MakeSourcePng(dir, 37, 23);
    const std::string rgba = "-alpha set -channel A -fx 'i/w' +channel -type TrueColorAlpha ";
    for (const std::string& options : {rgba, rgba + "-depth 16 -compress Zip", rgba + "-define tiff:alpha=associated",
                                       "-colorspace Gray " + rgba + "-interlace Plane"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("a.tif");
        test::MakeWithMagick(test::Quote(src), options, path);
        // libtiff narrows 16-bit samples before multiplying by alpha, ImageMagick blends at 16 bits.
        const bool deep = options.find("-depth 16") != std::string::npos;
        for (const Rgb matte : {kWhite, Rgb{30, 160, 90}}) {
            const std::string flat = dir.file("flat.png");
            const std::string colour = "rgb(" + std::to_string(matte.r) + "," + std::to_string(matte.g) + "," +
                                       std::to_string(matte.b) + ")";
            test::MakeWithMagick(test::Quote(path), "-background '" + colour + "' -flatten", flat);
            EXPECT_TRUE(test::NearRgb(test::MagickDecode(flat),
                                      test::ToRgbImage(DecodeTiff(test::ReadBytes(path), kMaxPixels, matte)),
                                      deep ? 2 : 1));
        }
    }
}

TEST_F(TiffTest, YCbCrJpegFromTiffcpMatchesImageMagick) {
    const std::string rgb = dir.file("rgb.tif");
    const std::string ycc = dir.file("ycc.tif");
    test::MakeWithMagick(test::Quote(test::MakeSourcePng(dir, 48, 32)), "-type TrueColor -compress None", rgb);
    ASSERT_EQ(test::Run("tiffcp -c jpeg:90 -r 16 " + test::Quote(rgb) + " " + test::Quote(ycc)).exitCode, 0);
    ASSERT_NE(Describe(ycc).find("YCbCr"), std::string::npos) << Describe(ycc);
    ExpectSameAsMagick(ycc);
}

TEST_F(TiffTest, OnlyTheFirstPictureOfAMultiPageFileIsRead) {
    const std::string path = dir.file("pages.tif");
    test::MakeWithMagick("-size 8x6 xc:red -size 5x3 xc:blue", "-type TrueColor", path);
    const Bitmap bmp = DecodeTiff(test::ReadBytes(path));
    EXPECT_EQ(bmp.width(), 8);
    EXPECT_EQ(bmp.pixel(7, 5), (Rgb{255, 0, 0}));
}

TEST_F(TiffTest, TruncatedAndCorruptFilesThrowQuietly) {
    const std::string src = test::MakeSourcePng(dir, 40, 30);
    for (const char* options : {"-type TrueColor -compress None", "-type TrueColor -compress LZW",
                                "-type TrueColor -compress JPEG"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("c.tif");
        test::MakeWithMagick(test::Quote(src), options, path);
        const auto bytes = test::ReadBytes(path);
        // ImageMagick puts the directory after the pixels, so most cuts lose it; a cut that
        // only loses tag values the picture does not need may still give the whole picture.
        const Bitmap whole = DecodeTiff(bytes);
        int failures = 0;
        for (std::size_t n : test::TruncationPoints(bytes.size())) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            try {
                EXPECT_EQ(DecodeTiff(cut), whole) << n;
            } catch (const DecodeError&) {
                ++failures;
            }
        }
        EXPECT_GT(failures, 40);
        for (std::size_t i = 0; i < bytes.size(); i += 5) {
            auto damaged = bytes;
            damaged[i] = static_cast<std::uint8_t>(~damaged[i]);
            try {
                (void)DecodeTiff(damaged);
            } catch (const DecodeError&) {
            }
        }
    }
    EXPECT_THROW(DecodeTiff({}), DecodeError);
    const std::vector<std::uint8_t> header = {'I', 'I', 42, 0, 8, 0, 0, 0};  // no directory after it
    EXPECT_THROW(DecodeTiff(header), DecodeError);
}

}  // namespace
}  // namespace vs
