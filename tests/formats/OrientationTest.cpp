#include "formats/Exif.h"
#include "formats/JpegReader.h"
#include "formats/OracleSupport.h"
#include "formats/TiffReader.h"
#include "graphics/Errors.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

using test::Quote;

// ImageMagick's names of the eight orientations, 1 to 8.
const char* const kMagickOrient[] = {"",        "TopLeft",  "TopRight",    "BottomRight", "BottomLeft",
                                     "LeftTop", "RightTop", "RightBottom", "LeftBottom"};

// An Exif APP1 segment: IFD0 with the orientation (and a camera model), and an IFD1 naming
// the preview when one is given. Little- or big-endian, as cameras write both.
std::vector<std::uint8_t> ExifSegment(int orientation, bool bigEndian, const std::vector<std::uint8_t>& preview = {}) {
    std::vector<std::uint8_t> t;
    const auto u16 = [&](unsigned v) {
        const std::uint8_t b[2] = {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
        t.push_back(bigEndian ? b[0] : b[1]);
        t.push_back(bigEndian ? b[1] : b[0]);
    };
    const auto u32 = [&](std::uint32_t v) {
        if (bigEndian) {
            u16(v >> 16);
            u16(v & 0xFFFF);
        } else {
            u16(v & 0xFFFF);
            u16(v >> 16);
        }
    };
    t.push_back(bigEndian ? 'M' : 'I');
    t.push_back(bigEndian ? 'M' : 'I');
    u16(42);
    u32(8);
    // IFD0 at 8: two entries, then the next-IFD offset; the model text follows at 38.
    u16(2);
    u16(0x0110), u16(2), u32(6), u32(38);  // Model "Cam 1"
    u16(0x0112), u16(3), u32(1), u16(static_cast<unsigned>(orientation)), u16(0);
    u32(preview.empty() ? 0 : 44);
    for (const char c : std::string("Cam 1\0", 6)) t.push_back(static_cast<std::uint8_t>(c));
    if (!preview.empty()) {  // IFD1 at 44, the preview right after it at 74
        u16(2);
        u16(0x0201), u16(4), u32(1), u32(74);
        u16(0x0202), u16(4), u32(1), u32(static_cast<std::uint32_t>(preview.size()));
        u32(0);
        t.insert(t.end(), preview.begin(), preview.end());
    }
    const std::string head("\xFF\xE1\0\0Exif\0\0", 10);
    std::vector<std::uint8_t> seg(head.begin(), head.end());
    seg.resize(head.size() + t.size());
    std::copy(t.begin(), t.end(), seg.begin() + static_cast<std::ptrdiff_t>(head.size()));
    const std::size_t len = seg.size() - 2;
    seg[2] = static_cast<std::uint8_t>(len >> 8);
    seg[3] = static_cast<std::uint8_t>(len);
    return seg;
}

// The JPEG file with the segment placed right after its start marker.
std::vector<std::uint8_t> WithSegment(std::vector<std::uint8_t> jpeg, const std::vector<std::uint8_t>& segment) {
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

class OrientationTest : public ::testing::Test {
protected:
    // A 48x32 busy picture, so that any turn or mirror shows.
    std::string Jpeg(const std::string& options = "-quality 92") {
        const std::string path = dir_.file("plain" + std::to_string(count_++) + ".jpg");
        test::MakeWithMagick(test::MakeSourcePng(dir_, 48, 32), options, path);
        return path;
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        test::WriteBytes(dir_.file(name), bytes);
        return dir_.file(name);
    }
    // djpeg's exact pixels, turned by ImageMagick as the orientation says.
    test::RgbImage Expected(const std::string& jpeg, int orientation, int scaleDenom = 1) {
        const std::string out = dir_.file("expected.ppm");
        const auto r = test::Run("djpeg -pnm -scale 1/" + std::to_string(scaleDenom) + " " + Quote(jpeg) +
                                 " | convert - -orient " + kMagickOrient[orientation] + " -auto-orient " + Quote(out));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return test::MagickDecode(out);
    }
    test::TempDir dir_;
    int count_ = 0;
};

TEST_F(OrientationTest, JpegTurnsByEachOrientationInBothByteOrders) {
    const std::string plain = Jpeg();
    for (int o = 1; o <= 8; ++o)
        for (const bool big : {false, true}) {
            const std::string file = Write("o.jpg", WithSegment(test::ReadBytes(plain), ExifSegment(o, big)));
            const auto bytes = test::ReadBytes(file);
            JpegInfo info;
            const Bitmap shown = DecodeJpeg(bytes, {}, &info);
            EXPECT_EQ(info.orientation, o);
            EXPECT_TRUE(test::SameRgb(Expected(file, o), test::ToRgbImage(shown))) << "orientation " << o;
            // The viewer's path, and the size the grid and status bar report.
            Bitmap viewed;
            ASSERT_TRUE(LoadImageByKind(file, kKindJpeg, nullptr, viewed));
            EXPECT_EQ(viewed, shown.toBgr24());
            Bitmap thumb;
            std::string size;
            ASSERT_TRUE(LoadMicroImageFromFile(file, kKindJpeg, thumb, size));
            EXPECT_EQ(size, o >= 5 ? "32X48" : "48X32");
        }
}

TEST_F(OrientationTest, ExiftoolTagsAndProgressiveFilesAreHonoured) {
    if (test::Run("exiftool -ver").exitCode != 0)
        GTEST_SKIP() << "exiftool is not installed";
    for (const std::string options : {"-quality 90", "-quality 90 -interlace JPEG"})
        for (const int o : {3, 6, 7}) {
            const std::string file = Jpeg(options);
            const auto r =
                test::Run("exiftool -q -n -overwrite_original -Orientation=" + std::to_string(o) + " " + Quote(file));
            ASSERT_EQ(r.exitCode, 0) << r.err;
            EXPECT_TRUE(test::SameRgb(Expected(file, o), test::ToRgbImage(DecodeJpeg(test::ReadBytes(file)))))
                << options << " orientation " << o;
        }
}

TEST_F(OrientationTest, ReducedThumbnailDecodeIsTurnedToo) {
    // 320x200 decodes at 1/2 for the 80x60 cell upright; stored sideways it still must cover
    // the cell once turned (200/2 = 100 >= 80 wide, 320/2 = 160 >= 60 high).
    const std::string plain = dir_.file("big.jpg");
    test::MakeWithMagick(test::MakeSourcePng(dir_, 320, 200), "-quality 90", plain);
    for (const int o : {2, 6, 8}) {
        const std::string file = Write("t.jpg", WithSegment(test::ReadBytes(plain), ExifSegment(o, false)));
        Bitmap expected = test::FromRgbImage(Expected(file, o, 2));
        ASSERT_TRUE(ChangeToMicroImage(expected, kThumbCellWidth, kThumbCellHeight));
        Bitmap thumb;
        std::string size;
        ASSERT_TRUE(LoadMicroImageFromFile(file, kKindJpeg, thumb, size, kThumbCellWidth, kThumbCellHeight));
        EXPECT_EQ(thumb, expected) << "orientation " << o;
    }
}

TEST_F(OrientationTest, DamagedExifBlocksMeanUpright) {
    const auto plain = test::ReadBytes(Jpeg());
    const auto good = ExifSegment(6, false);
    std::vector<std::vector<std::uint8_t>> bad;
    auto cut = good;  // the block ends inside IFD0, its length still claiming more than is there
    cut.resize(24);
    cut[2] = 0;
    cut[3] = 22;
    bad.push_back(cut);
    auto far = good;  // IFD0 offset far past the block
    far[14] = far[15] = far[16] = 0x7F;
    bad.push_back(far);
    auto many = good;  // an entry count running past the block
    many[18] = many[19] = 0xFF;
    bad.push_back(many);
    bad.push_back(ExifSegment(9, false));  // no such orientation
    for (std::size_t i = 0; i < bad.size(); ++i) {
        JpegInfo info;
        const Bitmap b = DecodeJpeg(WithSegment(plain, bad[i]), {}, &info);
        EXPECT_EQ(info.orientation, 1) << "variant " << i;
        EXPECT_EQ(b.width(), 48) << "variant " << i;
    }
}

TEST_F(OrientationTest, TiffTurnsByEachOrientation) {
    // libtiff itself only flips; the exchanged orientations 5 to 8 must come out exchanged.
    const std::string source = test::MakeSourcePng(dir_, 48, 32);
    for (int o = 1; o <= 8; ++o) {
        const std::string file = dir_.file("o.tif");
        test::MakeWithMagick(source, std::string("-orient ") + kMagickOrient[o], file);
        const std::string expected = dir_.file("expected.ppm");
        ASSERT_EQ(test::Run("convert " + Quote(file) + " -auto-orient " + Quote(expected)).exitCode, 0);
        EXPECT_TRUE(test::SameRgb(test::MagickDecode(expected), test::ToRgbImage(DecodeTiff(test::ReadBytes(file)))))
            << "orientation " << o;
    }
}

class PreviewTest : public OrientationTest {
protected:
    // A flat-coloured JPEG, so a thumbnail tells which picture it came from.
    std::vector<std::uint8_t> Flat(int w, int h, const std::string& colour) {
        const std::string path = dir_.file("flat" + std::to_string(count_++) + ".jpg");
        test::MakeWithMagick("-size " + std::to_string(w) + "x" + std::to_string(h) + " xc:" + colour, "-quality 95",
                             path);
        return test::ReadBytes(path);
    }
    // The thumbnail of a red main picture carrying the given preview; its centre colour.
    Rgb ThumbColour(const std::vector<std::uint8_t>& file, bool usePreview = true, int* w = nullptr) {
        JpegInfo info;
        Bitmap thumb = DecodeJpegForCell(file, kThumbCellWidth, kThumbCellHeight, &info, usePreview);
        EXPECT_EQ(info.width, 640);
        if (w)
            *w = thumb.width();
        return thumb.toBgr24().pixel(thumb.width() / 2, thumb.height() / 2);
    }
    static bool Bluish(Rgb c) { return c.b > 200 && c.r < 60; }
};

TEST_F(PreviewTest, MatchingPreviewIsUsedAndTurned) {
    const auto main43 = Flat(640, 480, "red");
    EXPECT_TRUE(Bluish(ThumbColour(WithSegment(main43, ExifSegment(1, false, Flat(160, 120, "blue"))))));
    EXPECT_FALSE(Bluish(ThumbColour(WithSegment(main43, ExifSegment(1, false, Flat(160, 120, "blue"))), false)));
    // Turned: the stored 160x120 preview comes out 120x160.
    int width = 0;
    EXPECT_TRUE(Bluish(ThumbColour(WithSegment(main43, ExifSegment(6, true, Flat(160, 120, "blue"))), true, &width)));
    EXPECT_EQ(width, 120);
}

TEST_F(PreviewTest, UnfitPreviewsFallBackToThePicture) {
    const auto main43 = Flat(640, 480, "red");
    const auto main169 = Flat(640, 360, "red");
    auto broken = Flat(160, 120, "blue");
    broken.resize(broken.size() / 2);
    EXPECT_FALSE(Bluish(ThumbColour(WithSegment(main169, ExifSegment(1, false, Flat(160, 120, "blue"))))))
        << "a 4:3 preview padded for a 16:9 picture";
    EXPECT_FALSE(Bluish(ThumbColour(WithSegment(main43, ExifSegment(1, false, Flat(64, 48, "blue"))))))
        << "a preview smaller than the cell";
    EXPECT_FALSE(Bluish(ThumbColour(WithSegment(main43, ExifSegment(1, false, broken))))) << "a broken preview";
}

}  // namespace
}  // namespace vs
