#include "viewer/PictureLoader.h"

#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"
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

TEST_F(LoaderTest, ReaderKindsTellUnopenableFromUndecodableFiles) {
    // For JPEG, TIFF, Targa, PCX and Photoshop files the grid must know a file it cannot open
    // (it drops the item) from one it cannot decode (no thumbnail); the viewer just fails.
    const std::pair<const char*, int> kinds[] = {
        {"x.jpg", kKindJpeg}, {"x.tif", kKindTiff}, {"x.tga", kKindTarga}, {"x.pcx", kKindPcx}, {"x.psd", kKindPhotoshop}};
    for (const auto& [name, kind] : kinds) {
        SCOPED_TRACE(name);
        test::WriteBytes(dir.file(name), {0, 0, 2, 0, 0});
        Bitmap thumb;
        std::string size = "unchanged";
        EXPECT_FALSE(LoadMicroImageFromFile(dir.file(name), kind, thumb, size));
        EXPECT_EQ(size, "unchanged");
        EXPECT_THROW(LoadMicroImageFromFile(dir.file(std::string("missing-") + name), kind, thumb, size), OpenError);
        Bitmap target(3, 3, PixelFormat::Bpp24);
        const Bitmap before = target;
        EXPECT_FALSE(LoadImageByKind(dir.file(name), kind, nullptr, target));
        EXPECT_FALSE(LoadImageByKind(dir.file(std::string("missing-") + name), kind, nullptr, target));
        EXPECT_EQ(target, before);
    }
}

TEST_F(LoaderTest, EveryReaderKindLoadsAs24BitsAndMakesAThumbnail) {
    const std::string src = dir.file("src.png");
    ASSERT_EQ(test::Run("convert -size 160x90 gradient:red-blue " + test::Quote(src)).exitCode, 0);
    const std::pair<const char*, int> kinds[] = {{"p.jpg", kKindJpeg}, {"p.tif", kKindTiff}, {"p.tga", kKindTarga},
                                                 {"p.pcx", kKindPcx},  {"p.psd", kKindPhotoshop}};
    for (const auto& [name, kind] : kinds) {
        SCOPED_TRACE(name);
        ASSERT_EQ(test::Run("convert " + test::Quote(src) + " -type TrueColor " + test::Quote(dir.file(name))).exitCode, 0);
        Bitmap picture;
        ASSERT_TRUE(LoadImageByKind(dir.file(name), kind, nullptr, picture));
        EXPECT_EQ(picture.format(), PixelFormat::Bpp24);
        EXPECT_EQ(picture.width(), 160);
        Bitmap thumb;
        std::string size;
        ASSERT_TRUE(LoadMicroImageFromFile(dir.file(name), kind, thumb, size));
        EXPECT_EQ(size, "160X90");
        EXPECT_EQ(thumb.width(), 80);
        EXPECT_EQ(thumb.height(), 60);
        EXPECT_EQ(thumb.pixel(40, 5), (Rgb{255, 255, 255}));  // 80 x 45 at y0 = 7: white band above
        if (kind != kKindJpeg) {  // lossless: the thumbnail samples the full picture
            Bitmap expected = picture;
            ASSERT_TRUE(ChangeToMicroImage(expected, 80, 60));
            EXPECT_EQ(thumb, expected);
        }
    }
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

namespace vs {
namespace {

// Every way a picture is read: the viewer's load, the grid's thumbnail and the plain decode.
// 0 when all three fail cleanly (no exception but DecodeError escapes the decode).
int LoadsFailCleanly(const std::string& path) {
    const int kind = ImageKindFromFileName(path);
    Bitmap picture;
    std::string sizeText;
    if (LoadImageByKind(path, kind, nullptr, picture) || LoadMicroImageFromFile(path, kind, picture, sizeText))
        return 1;
    try {
        DecodePicture(path, kind);
        return 2;
    } catch (const DecodeError&) {
        return 0;
    }
}

// Files far larger than any picture are refused from their size, before anything is read;
// a picture whose pixels do not fit in memory fails like a bad file. Run with little address
// space, so reading such a file whole cannot go unnoticed.
TEST(HugeFiles, FailAsPicturesNeverAsExceptions) {
    test::TempDir d;
    for (const char* name : {"huge.jpg", "huge.bmp", "huge.tif", "huge.tga", "huge.pcx", "huge.psd", "huge.kev"}) {
        test::MakeSparseFile(d.file(name), test::kEightGiB);
        EXPECT_EQ(test::RunWithMemoryLimit(std::uint64_t{1} << 30, LoadsFailCleanly, d.file(name)), 0) << name;
        try {
            ReadFileBytes(d.file(name));
            ADD_FAILURE() << name;
        } catch (const DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find("more than any picture"), std::string::npos) << e.what();
        }
    }
    if (test::kAddressSanitizer)
        return;  // the out-of-memory case needs an address-space limit
    test::MakeHugeBmp(d.file("big.bmp"));
    EXPECT_EQ(test::RunWithMemoryLimit(std::uint64_t{512} << 20, LoadsFailCleanly, d.file("big.bmp")), 0);
}

}  // namespace
}  // namespace vs
