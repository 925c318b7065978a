#include "viewer/PictureLoader.h"

#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "viewer/FileKinds.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

TEST(FileKinds, ThumbnailAndViewerTablesMatchEndingsCaseInsensitively) {
    EXPECT_EQ(ImageKindFromFileName("/a/b/Photo.BMP"), kKindBmp);
    EXPECT_EQ(ImageKindFromFileName("x.jpg"), kKindJpeg);
    EXPECT_EQ(ImageKindFromFileName("x.jpeg"), kKindNone);  // the grid never lists .jpeg
    EXPECT_EQ(ContentKindFromPath("x.JPEG"), kKindJpeg);
    EXPECT_EQ(ImageKindFromFileName("x.sfc"), kKindKev);
    EXPECT_EQ(ImageKindFromFileName("album.MIG"), kKindAlbum);
    EXPECT_EQ(ImageKindFromFileName("scan.tiff"), kKindTiff);
    EXPECT_EQ(ImageKindFromFileName("a.psd"), kKindPhotoshop);
    EXPECT_EQ(ImageKindFromFileName("a.mp3"), kKindNone);
    EXPECT_EQ(ImageKindFromFileName("bmp"), kKindNone);
    EXPECT_EQ(ContentKindFromPath("clip.rmi"), kKindRmi);
    EXPECT_EQ(ContentKindFromPath("page.HTML"), kKindHtml);
    EXPECT_EQ(ContentKindFromPath("page.htm"), kKindHtm);
    EXPECT_EQ(ContentKindFromPath("notes.rtf"), kKindRichText);
    EXPECT_EQ(ContentKindFromPath("noext"), kKindNone);
}

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        Bitmap grey(100, 100, PixelFormat::Bpp8);
        for (int i = 0; i < 256; ++i)
            grey.palette()[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                                           static_cast<std::uint8_t>(i)};
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                grey.row(y)[x] = static_cast<std::uint8_t>(x + y);
        SaveBmpFile(grey, dir.file("grey.bmp"));
    }
    test::TempDir dir;
};

TEST_F(LoaderTest, ThumbnailOfAPalettePictureShowsThePaletteColours) {
    Bitmap thumb;
    std::string size = "stale";
    ASSERT_TRUE(LoadMicroImageFromFile(dir.file("grey.bmp"), kKindBmp, thumb, size));
    EXPECT_EQ(size, "100X100");
    ASSERT_EQ(thumb.format(), PixelFormat::Bpp24);
    ASSERT_EQ(thumb.width(), 80);
    ASSERT_EQ(thumb.height(), 60);
    // 60x60 at x0 = 10; canvas (10 + j, i) samples source (trunc(100/60 j), trunc(100/60 i)).
    EXPECT_EQ(thumb.pixel(9, 30), (Rgb{255, 255, 255}));
    const int sx = static_cast<int>(100.0f / 60.0f * 45.0f);
    const int sy = static_cast<int>(100.0f / 60.0f * 30.0f);
    const auto v = static_cast<std::uint8_t>(sx + sy);
    EXPECT_EQ(thumb.pixel(10 + 45, 30), (Rgb{v, v, v}));
}

TEST_F(LoaderTest, UndecodableAndMissingFilesFailQuietlyForBmpAndKev) {
    test::WriteBytes(dir.file("bad.kev"), {'N', 'O', 'P', 'E', 'A'});
    test::WriteBytes(dir.file("bad.bmp"), {'B', 'M'});
    for (const auto& [name, kind] : {std::pair{"bad.kev", kKindKev}, {"bad.bmp", kKindBmp},
                                     {"missing.bmp", kKindBmp}, {"missing.kev", kKindKev}}) {
        SCOPED_TRACE(name);
        Bitmap thumb;
        std::string size = "unchanged";
        EXPECT_FALSE(LoadMicroImageFromFile(dir.file(name), kind, thumb, size));
        EXPECT_EQ(size, "unchanged");
    }
}

TEST_F(LoaderTest, KindsWithoutAReaderYetFailAsUndecodable) {
    test::WriteBytes(dir.file("x.tga"), {0, 0, 2});
    Bitmap thumb;
    std::string size;
    EXPECT_FALSE(LoadMicroImageFromFile(dir.file("x.tga"), kKindTarga, thumb, size));
}

TEST_F(LoaderTest, ViewerLoadGives24BitsAndLeavesTheTargetOnFailure) {
    Bitmap source;
    ASSERT_TRUE(LoadImageByKind(dir.file("grey.bmp"), kKindBmp, nullptr, source));
    EXPECT_EQ(source.format(), PixelFormat::Bpp24);
    EXPECT_EQ(source.width(), 100);
    EXPECT_EQ(source.pixel(3, 4), (Rgb{7, 7, 7}));
    const Bitmap before = source;
    EXPECT_FALSE(LoadImageByKind(dir.file("missing.bmp"), kKindBmp, nullptr, source));
    EXPECT_EQ(source, before);
}

}  // namespace
}  // namespace vs
