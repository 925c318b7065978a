// Albums (kind 3) in the thumbnail loader and the viewer's loader.

#include "formats/XfAlbum.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include "support/AlbumFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

namespace vs {
namespace {

class AlbumLoaderTest : public ::testing::Test {
protected:
    test::CacheHome cache;
    test::TempDir dir;
};

TEST_F(AlbumLoaderTest, ThumbnailIsTheFirstPageAndLeavesNoCompanionFiles) {
    // A code-3 first page: the thumbnail shows halftone colours, unscaled in the cell.
    test::AlbumPage first{4, 2, 3, {0, 5, 215, 216, 30, 31, 32, 33}};
    test::WriteBytes(dir.file("a.mig"), test::AlbumBytes({first, test::PatternPage(500, 10, 6)}, test::WaveOf(40)));
    Bitmap thumb;
    std::string size;
    ASSERT_TRUE(LoadMicroImageFromFile(dir.file("a.mig"), ImageKindFromFileName("a.mig"), thumb, size));
    EXPECT_EQ(size, "4X2");
    ASSERT_EQ(thumb.format(), PixelFormat::Bpp24);
    ASSERT_EQ(thumb.width(), 80);
    // Centred at (38, 29).
    EXPECT_EQ(thumb.pixel(37, 29), (Rgb{255, 255, 255}));
    EXPECT_EQ(thumb.pixel(38, 29), HalftonePalette()[0]);
    EXPECT_EQ(thumb.pixel(39, 29), HalftonePalette()[5]);
    EXPECT_EQ(thumb.pixel(41, 30), HalftonePalette()[33]);
    EXPECT_TRUE(cache.companionEntries().empty());

    // No pages, not an album, a missing file: no thumbnail, size text untouched.
    test::WriteBytes(dir.file("empty.xf"), test::AlbumBytes({}));
    test::WriteBytes(dir.file("text.xf"), {'h', 'e', 'l', 'l', 'o'});
    size = "kept";
    for (const char* name : {"empty.xf", "text.xf", "none.xf"})
        EXPECT_FALSE(LoadMicroImageFromFile(dir.file(name), kKindAlbum, thumb, size)) << name;
    EXPECT_EQ(size, "kept");
    EXPECT_TRUE(cache.companionEntries().empty());
}

TEST_F(AlbumLoaderTest, ThumbnailsFromManyThreadsTouchNoCompanionFiles) {
    const test::AlbumPage first = test::PatternPage(90, 70, 6);
    test::WriteBytes(dir.file("s.xf"), test::AlbumBytes({first, test::PatternPage(3, 3, 5)}, test::WaveOf(5000)));
    // The strip has the album open meanwhile; its sound must stay as it is.
    TXfAlbum strip;
    ASSERT_TRUE(strip.OpenForViewing(dir.file("s.xf")));
    const auto before = cache.companionEntries();
    const auto sound = test::ReadBytes(strip.SoundFile);
    std::vector<std::thread> threads;
    std::atomic<int> made{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20; ++i) {
                Bitmap thumb;
                std::string size;
                if (LoadMicroImageFromFile(dir.file("s.xf"), kKindAlbum, thumb, size) && size == "90X70" &&
                    thumb.width() == 80)
                    ++made;
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(made.load(), 80);
    EXPECT_EQ(cache.companionEntries(), before);
    EXPECT_EQ(test::ReadBytes(strip.SoundFile), sound);
}

TEST_F(AlbumLoaderTest, AThumbnailNeverMakesTheCompanionFolder) {
    test::WriteBytes(dir.file("a.xf"), test::AlbumBytes({test::PatternPage(2, 2, 6)}, test::WaveOf(40)));
    Bitmap thumb;
    std::string size;
    ASSERT_TRUE(LoadMicroImageFromFile(dir.file("a.xf"), kKindAlbum, thumb, size));
    Bitmap shown;
    ASSERT_TRUE(LoadImageByKind(dir.file("a.xf"), kKindAlbum, nullptr, shown));
    EXPECT_FALSE(std::filesystem::exists(cache.companion()));
}

TEST_F(AlbumLoaderTest, ViewerReadsPageZeroOfTheStripAlbumOrOfTheFile) {
    const test::AlbumPage p = test::PatternPage(3, 2, 5);
    test::WriteBytes(dir.file("v.xf"), test::AlbumBytes({p}));
    const test::AlbumPage other = test::PatternPage(6, 1, 7);
    test::WriteBytes(dir.file("w.xf"), test::AlbumBytes({other}));

    Bitmap direct;
    ASSERT_TRUE(LoadImageByKind(dir.file("v.xf"), kKindAlbum, nullptr, direct));
    EXPECT_EQ(direct.format(), PixelFormat::Bpp24);
    EXPECT_EQ(direct.width(), 3);
    const unsigned w = p.pixels[0] | (p.pixels[1] << 8);
    EXPECT_EQ(direct.pixel(0, 0).r, static_cast<std::uint8_t>(((w >> 11) << 3) | ((w >> 11) >> 2)));

    // With the strip's album the page comes from that album.
    TXfAlbum strip;
    ASSERT_TRUE(strip.OpenForViewing(dir.file("w.xf")));
    Bitmap viaStrip;
    ASSERT_TRUE(LoadImageByKind(dir.file("w.xf"), kKindAlbum, &strip, viaStrip));
    EXPECT_EQ(viaStrip.width(), 6);
    EXPECT_EQ(viaStrip.pixel(5, 0), (Rgb{other.pixels[22], other.pixels[21], other.pixels[20]}));

    // Failure leaves the target as it was.
    test::WriteBytes(dir.file("e.xf"), test::AlbumBytes({}));
    TXfAlbum empty;
    ASSERT_TRUE(empty.OpenForViewing(dir.file("e.xf")));
    EXPECT_FALSE(LoadImageByKind(dir.file("e.xf"), kKindAlbum, &empty, viaStrip));
    EXPECT_FALSE(LoadImageByKind(dir.file("e.xf"), kKindAlbum, nullptr, viaStrip));
    EXPECT_EQ(viaStrip.width(), 6);
}

}  // namespace
}  // namespace vs
