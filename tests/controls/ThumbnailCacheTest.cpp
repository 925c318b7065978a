#include "controls/ThumbnailCache.h"
#include "graphics/BmpFile.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>
#include <filesystem>

namespace vs {
namespace {

class ThumbnailCacheTest : public ::testing::Test {
protected:
    // A 200x100 picture, left half red, right half blue, with a fixed modification time.
    std::string Picture(const std::string& name, long mtime = 1'700'000'000) {
        Bitmap b(200, 100, PixelFormat::Bpp24);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) b.row(y)[3 * x + (x < 100 ? 2 : 0)] = 255;
        const std::string path = dir.file(name);
        SaveBmpFile(b, path);
        SetTime(path, mtime);
        return path;
    }
    static void SetTime(const std::string& path, long mtime) {
        const utimbuf t{mtime, mtime};
        ASSERT_EQ(::utime(path.c_str(), &t), 0);
    }
    bool Load(const std::string& path, std::string& size) {
        thumb = Bitmap();
        return LoadMicroImageThroughCache(cache, path, kKindBmp, thumb, size);
    }
    static int Mode(const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return static_cast<int>(st.st_mode & 0777);
    }
    // ImageMagick's reading of one of an entry's text chunks.
    static std::string Chunk(const std::string& png, const std::string& key) {
        const auto r = test::Run("identify -format '%[" + key + "]' " + test::Quote(png));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return r.out;
    }
    test::TempDir dir;
    test::TempDir cacheDir;
    ThumbnailCache cache{cacheDir.path()};
    Bitmap thumb;
};

TEST_F(ThumbnailCacheTest, EntryFollowsTheSharedStandardAndServesTheNextVisit) {
    const std::string path = Picture("two colours.bmp");
    std::string size;
    ASSERT_TRUE(Load(path, size));
    const Bitmap first = thumb;
    EXPECT_EQ(size, "200X100");

    const std::string entry = cache.NormalFile(path);
    const std::string uri = "file://" + dir.path() + "/two%20colours.bmp";
    EXPECT_EQ(Chunk(entry, "Thumb::URI"), uri);
    EXPECT_EQ(Chunk(entry, "Thumb::MTime"), "1700000000");
    EXPECT_EQ(test::Run("identify -format '%wx%h' " + test::Quote(entry)).out, "128x64");
    const auto md5 = test::Run("printf '%s' " + test::Quote(uri) + " | md5sum");
    EXPECT_EQ(std::filesystem::path(entry).filename().string(), md5.out.substr(0, 32) + ".png");
    EXPECT_EQ(Mode(entry), 0600);
    EXPECT_EQ(Mode(cacheDir.path() + "/normal"), 0700);

    // The file no longer decodes, but has the same time: the entry alone makes the thumbnail.
    test::WriteBytes(path, {'n', 'o', 'p', 'e'});
    SetTime(path, 1'700'000'000);
    size.clear();
    ASSERT_TRUE(Load(path, size));
    EXPECT_EQ(size, "200X100");
    EXPECT_EQ(thumb.width(), first.width());
    EXPECT_EQ(thumb.pixel(20, 30), first.pixel(20, 30));
    EXPECT_EQ(thumb.pixel(60, 30), first.pixel(60, 30));
}

TEST_F(ThumbnailCacheTest, StaleEntryIsReplacedAndFailuresAreRecorded) {
    const std::string path = Picture("a.bmp");
    std::string size;
    ASSERT_TRUE(Load(path, size));
    // Changed since: a new picture of another size, a new time.
    Bitmap b(50, 40, PixelFormat::Bpp24);
    SaveBmpFile(b, path);
    SetTime(path, 1'700'000'100);
    ASSERT_TRUE(Load(path, size));
    EXPECT_EQ(size, "50X40");
    EXPECT_EQ(Chunk(cache.NormalFile(path), "Thumb::MTime"), "1700000100");

    test::WriteBytes(path, {'b', 'a', 'd'});
    SetTime(path, 1'700'000'200);
    EXPECT_FALSE(Load(path, size));
    EXPECT_EQ(Chunk(cache.FailFile(path), "Thumb::MTime"), "1700000200");
    ThumbnailCache::Entry entry;
    EXPECT_EQ(cache.Find(path, entry), ThumbnailCache::Lookup::Failed);
}

TEST_F(ThumbnailCacheTest, FilesInsideTheCacheGetNoEntry) {
    const std::string inside = cacheDir.file("large/p.bmp");
    std::filesystem::create_directories(cacheDir.file("large"));
    std::filesystem::copy_file(Picture("p.bmp"), inside);
    std::string size;
    ASSERT_TRUE(Load(inside, size));
    EXPECT_FALSE(std::filesystem::exists(cache.NormalFile(inside)));
}

}  // namespace
}  // namespace vs
