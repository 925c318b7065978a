// The desktop thumbnailer: the installed entry's command, the PNG it writes with the
// freedesktop text chunks, and the shrinking and sniffing behind it.

#include "desktop/DesktopSupport.h"
#include "graphics/Errors.h"
#include "graphics/PngFile.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
#include "viewer/PictureLoader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

namespace vs::test {
namespace {

namespace fs = std::filesystem;

// The sample library in a folder whose name needs escaping in a URI.
class ThumbnailerTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = dir.path() + "/my pictures";
        ASSERT_EQ(test::Run(Quote(std::getenv("VS_TOOL")) + " samples " + Quote(folder)).exitCode, 0);
    }
    // Runs the installed thumbnailer entry's command line for input at size.
    CommandResult Thumbnail(const std::string& input, int size, const std::string& output) const {
        std::string exec;
        std::istringstream entry(ReadText(Installed("share/thumbnailers/vantorsee.thumbnailer")));
        for (std::string line; std::getline(entry, line);)
            if (line.starts_with("Exec="))
                exec = line.substr(5);
        for (const auto& [key, value] : {std::pair<std::string, std::string>{"%s", std::to_string(size)},
                                         {"%i", Quote(input)},
                                         {"%o", Quote(output)}})
            exec.replace(exec.find(key), 2, value);
        return test::Run(InstalledEnv() + exec);
    }
    std::string Chunk(const std::string& png, const std::string& key) const {
        std::istringstream in(test::Run("identify -verbose " + Quote(png)).out);
        for (std::string line; std::getline(in, line);)
            if (const auto at = line.find(key + ": "); at != std::string::npos)
                return line.substr(at + key.size() + 2);
        return {};
    }
    TempDir dir;
    std::string folder;
};

TEST_F(ThumbnailerTest, WritesTheShrunkPictureAsPngWithTheDesktopTextChunks) {
    const std::string input = folder + "/hills.kev";
    const std::string png = dir.file("out.png");
    const CommandResult r = Thumbnail(input, 128, png);
    ASSERT_EQ(r.exitCode, 0) << r.err;

    struct stat st {};
    ASSERT_EQ(::stat(input.c_str(), &st), 0);
    EXPECT_EQ(Chunk(png, "Thumb::URI"), "file://" + dir.path() + "/my%20pictures/hills.kev");
    EXPECT_EQ(Chunk(png, "Thumb::MTime"), std::to_string(st.st_mtime));
    EXPECT_EQ(Chunk(png, "Thumb::Image::Width"), "200");
    EXPECT_EQ(Chunk(png, "Thumb::Image::Height"), "150");

    // Someone else's PNG decoder sees exactly our shrunk picture.
    const RgbImage ours = ToRgbImage(ShrinkToFit(DecodePicture(input, kKindKev), 128, 128));
    const RgbImage theirs = MagickDecode(png);
    EXPECT_EQ(theirs.width, 128);
    EXPECT_EQ(theirs.height, 96);
    EXPECT_EQ(theirs.rgb, ours.rgb);
}

TEST_F(ThumbnailerTest, KnowsKevAndAlbumFilesWithoutTheirEndingAndNeverEnlarges) {
    fs::copy_file(folder + "/holiday.xf", dir.file("album"));
    fs::copy_file(folder + "/moon.sfc", dir.file("moon"));
    ASSERT_EQ(Thumbnail(dir.file("album"), 64, dir.file("album.png")).exitCode, 0);
    EXPECT_EQ(test::Run("identify -format '%wx%h' " + Quote(dir.file("album.png"))).out, "64x48");
    EXPECT_EQ(ToRgbImage(ShrinkToFit(DecodePicture(folder + "/holiday.xf", kKindAlbum), 64, 64)).rgb,
              MagickDecode(dir.file("album.png")).rgb);
    ASSERT_EQ(Thumbnail(dir.file("moon"), 1024, dir.file("moon.png")).exitCode, 0);
    EXPECT_EQ(test::Run("identify -format '%wx%h' " + Quote(dir.file("moon.png"))).out, "160x120");
}

TEST_F(ThumbnailerTest, FailsWithoutOutputForFilesItCannotRead) {
    WriteText(dir.file("notes.kev"), "KEV- but nothing after it");
    EXPECT_EQ(Thumbnail(dir.file("notes.kev"), 128, dir.file("a.png")).exitCode, 1);
    EXPECT_EQ(Thumbnail(folder + "/readme.txt", 128, dir.file("b.png")).exitCode, 1);
    EXPECT_EQ(Thumbnail(dir.file("missing.kev"), 128, dir.file("c.png")).exitCode, 1);
    EXPECT_FALSE(fs::exists(dir.file("a.png")) || fs::exists(dir.file("b.png")) || fs::exists(dir.file("c.png")));
    EXPECT_EQ(test::Run(Quote(std::getenv("VS_TOOL")) + " thumbnail -s 0 a b").exitCode, 2);
}

TEST(ShrinkToFit, AveragesTheSourcePixelsEachTargetPixelCovers) {
    Bitmap source(4, 2, PixelFormat::Bpp24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* p = source.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(10 * x + 100 * y);
            p[1] = static_cast<std::uint8_t>(x == 0 ? 255 : 0);
            p[2] = 7;
        }
    const Bitmap half = ShrinkToFit(source, 2, 2);
    ASSERT_EQ(half.width(), 2);
    ASSERT_EQ(half.height(), 1);
    // Left pixel: blue (0 + 10 + 100 + 110) / 4 = 55, green (255 + 0 + 255 + 0) / 4 rounded = 128.
    EXPECT_EQ(half.pixel(0, 0), (Rgb{7, 128, 55}));
    EXPECT_EQ(half.pixel(1, 0), (Rgb{7, 0, 75}));

    // Proportions kept, a thin side never vanishes, a small picture stays as it is.
    EXPECT_EQ(ShrinkToFit(Bitmap(1000, 3, PixelFormat::Bpp8), 128, 128).height(), 1);
    EXPECT_EQ(ShrinkToFit(Bitmap(300, 200, PixelFormat::Bpp16), 128, 128).width(), 128);
    EXPECT_EQ(ShrinkToFit(Bitmap(300, 200, PixelFormat::Bpp16), 128, 128).height(), 85);
    EXPECT_EQ(ShrinkToFit(source, 8, 8), source);
}

TEST(PictureKindFromSignature, NamesTheKindOfFilesByTheirFirstBytes) {
    const auto kind = [](std::string_view head) {
        return PictureKindFromSignature(std::span(reinterpret_cast<const std::uint8_t*>(head.data()), head.size()));
    };
    using namespace std::string_view_literals;
    EXPECT_EQ(kind("KEV-F"sv), kKindKev);
    EXPECT_EQ(kind("XFA\x02"sv), kKindAlbum);
    EXPECT_EQ(kind("BM6\0"sv), kKindBmp);
    EXPECT_EQ(kind("\xFF\xD8\xFF\xE0"sv), kKindJpeg);
    EXPECT_EQ(kind("II*\0"sv), kKindTiff);
    EXPECT_EQ(kind("MM\0*"sv), kKindTiff);
    EXPECT_EQ(kind("8BPS"sv), kKindPhotoshop);
    EXPECT_EQ(kind("II*"sv), kKindNone);  // too short to tell
    EXPECT_EQ(kind("KEV"sv), kKindNone);
    EXPECT_EQ(kind("XF"sv), kKindNone);
    EXPECT_EQ(kind(""sv), kKindNone);
}

TEST(PngFile, RefusesEmptyPicturesAndKeywordsDesktopsCannotRead) {
    const Bitmap pixel(1, 1, PixelFormat::Bpp24);
    EXPECT_THROW(EncodePng(Bitmap()), ImageError);
    EXPECT_THROW(EncodePng(pixel, {{"", "x"}}), ImageError);
    EXPECT_THROW(EncodePng(pixel, {{std::string(80, 'k'), "x"}}), ImageError);
    EXPECT_THROW(EncodePng(pixel, {{"Thumb::URI\n", "x"}}), ImageError);
    EXPECT_FALSE(EncodePng(pixel, {{std::string(79, 'k'), "x"}}).empty());
}

}  // namespace
}  // namespace vs::test
