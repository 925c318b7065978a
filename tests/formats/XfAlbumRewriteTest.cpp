// Writing albums back: RebuildAlbum, ReplaceAlbumSound, and that a failure midway never
// changes the album.

#include "formats/XfAlbum.h"

#include "graphics/BmpFile.h"
#include "platform/Wave.h"
#include "platform/testing/FakePlatform.h"
#include "support/AlbumFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vs {
namespace {

namespace fs = std::filesystem;
using test::AlbumBytes;
using test::AlbumPage;
using test::PatternPage;

using XfRewriteTest = test::AlbumTest;

// Page n of the album as a 24-bit picture, read by a fresh object.
Bitmap Page24(const std::string& path, int n) {
    TXfAlbum album;
    album.OpenForPreview(path);
    Bitmap page;
    EXPECT_TRUE(album.ReadPage(n, &page)) << path << " page " << n;
    return page.toBgr24();
}

// A code-6 page record of a 24-bit bitmap, as the album stores it.
std::vector<std::uint8_t> Code6Record(const Bitmap& b) {
    std::vector<std::uint8_t> r;
    test::Put32(r, static_cast<std::uint32_t>(b.width()));
    test::Put32(r, static_cast<std::uint32_t>(b.height()));
    test::Put8(r, 6);
    for (int y = 0; y < b.height(); ++y)
        r.insert(r.end(), b.row(y), b.row(y) + b.width() * 3);
    return r;
}

TEST_F(XfRewriteTest, RebuildAfterARecordingWritesCode6PagesAndTheNewSound) {
    const std::vector<AlbumPage> pages = {PatternPage(5, 3, 4), PatternPage(4, 4, 3), PatternPage(3, 2, 7)};
    const std::string path = write("trip.mig", AlbumBytes(pages));
    std::vector<Bitmap> before;
    for (int n = 0; n < 3; ++n)
        before.push_back(Page24(path, n));

    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    fake::FakeWaveRecorder recorder;
    recorder.samples.assign(30000, 128);  // several copy chunks
    ASSERT_TRUE(album.StartRecording(recorder));
    ASSERT_TRUE(album.StopRecording(recorder));
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(album.RebuildAlbum());

    const auto wave = test::ReadBytes(album.SoundFile);
    std::vector<std::uint8_t> expected = {'X', 'F', 'A'};
    test::Put32(expected, 3);
    test::Put32(expected, 0);
    test::Put8(expected, 1);
    for (const auto& b : before) {
        const auto rec = Code6Record(b);
        expected.insert(expected.end(), rec.begin(), rec.end());
    }
    test::Put8(expected, 1);
    test::Put32(expected, static_cast<std::uint32_t>(wave.size()));
    expected.insert(expected.end(), wave.begin(), wave.end());
    EXPECT_EQ(test::ReadBytes(path), expected);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the album keeps its permissions
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"trip.mig"});

    // Read back by a new object: the sound comes out as recorded.
    TXfAlbum again;
    ASSERT_TRUE(again.OpenForViewing(path));
    EXPECT_EQ(again.PageCount, 3);
    EXPECT_TRUE(again.HasSound);
    EXPECT_EQ(test::ReadBytes(again.SoundFile), EncodeWavePcm(recorder.samples, 22050, 1, 8));
}

TEST_F(XfRewriteTest, RebuildKeepsTheRealNameOfTheAlbum) {
    const std::string path = write("Slides.MIG", AlbumBytes({PatternPage(2, 2, 5)}));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(dir.file("slides.mig")));
    ASSERT_TRUE(album.RebuildAlbum());
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"Slides.MIG"});
    EXPECT_EQ(test::ReadBytes(path)[12 + 8], 6);
}

TEST_F(XfRewriteTest, RebuildWithoutASoundFileClearsHasSound) {
    const std::string path = write("s.xf", AlbumBytes({PatternPage(2, 1, 6)}, test::WaveOf(20)));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    ASSERT_TRUE(album.HasSound);
    fs::remove(album.SoundFile);
    ASSERT_TRUE(album.RebuildAlbum());
    EXPECT_FALSE(album.HasSound);
    const auto bytes = test::ReadBytes(path);
    // The header's sound byte was written before the sound file was looked up.
    ASSERT_EQ(bytes.size(), 12u + 9u + 6u + 1u);
    EXPECT_EQ(bytes[11], 1);
    EXPECT_EQ(bytes.back(), 0);
}

TEST_F(XfRewriteTest, RebuildNeedsTheAlbumAndTheCacheFolder) {
    TXfAlbum preview;
    const std::string path = write("p.xf", AlbumBytes({PatternPage(2, 1, 6)}));
    ASSERT_TRUE(preview.OpenForPreview(path));
    EXPECT_FALSE(preview.RebuildAlbum());  // no cache folder
    TXfAlbum missing;
    ASSERT_TRUE(missing.OpenForViewing(dir.file("gone.xf")));
    EXPECT_FALSE(missing.RebuildAlbum());
    EXPECT_FALSE(fs::exists(dir.file("gone.xf")));
}

TEST_F(XfRewriteTest, ReplaceSoundCopiesPagesVerbatim) {
    const std::vector<AlbumPage> pages = {PatternPage(3, 3, 3), PatternPage(2, 3, 4), PatternPage(4, 1, 7)};
    const auto original = AlbumBytes(pages, test::WaveOf(40, 9), 7);
    const std::string path = write("keep.xf", original);
    fs::create_directories(cache.companion());
    test::WriteBytes(cache.companion() + "keep.xf.temp", {42});
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    fake::FakeWaveRecorder recorder;
    recorder.samples.assign(12345, 3);
    ASSERT_TRUE(album.StartRecording(recorder));
    ASSERT_TRUE(album.StopRecording(recorder));
    ASSERT_TRUE(album.ReplaceAlbumSound());

    const auto wave = test::ReadBytes(album.SoundFile);
    auto expected = AlbumBytes(pages, wave, 7);  // header byte 11 copied unchanged
    EXPECT_EQ(test::ReadBytes(path), expected);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"keep.xf"});
    // The copy went through its own name and is gone; a file already there is not touched.
    EXPECT_EQ(test::ReadBytes(cache.companion() + "keep.xf.temp"), std::vector<std::uint8_t>{42});
    EXPECT_EQ(test::FolderEntries(cache.companion()).size(), 4u);  // .Audio, .Audiot, .temp, cache folder

    // Without a sound file the album stays as it is.
    fs::remove(album.SoundFile);
    ASSERT_TRUE(album.ReplaceAlbumSound());
    EXPECT_FALSE(album.HasSound);
    EXPECT_EQ(test::ReadBytes(path), expected);
}

TEST_F(XfRewriteTest, FailuresMidwayLeaveTheAlbumUntouched) {
    const std::vector<AlbumPage> pages = {PatternPage(8, 8, 6), PatternPage(8, 8, 5), PatternPage(8, 8, 3)};
    const auto original = AlbumBytes(pages, test::WaveOf(64));
    const std::string path = write("safe.xf", original);
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    Bitmap page;
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(album.GetPage(n, &page));

    // A damaged cache file of the second page: the rebuild stops after the first page.
    test::WriteBytes(album.TempFolder + "1.frame", {'B', 'M'});
    EXPECT_FALSE(album.RebuildAlbum());
    EXPECT_EQ(test::ReadBytes(path), original);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"safe.xf"});

    // A cache entry that is no file at all (its page cannot be loaded back).
    fs::remove(album.TempFolder + "2.frame");
    fs::create_directory(album.TempFolder + "2.frame");
    EXPECT_FALSE(album.RebuildAlbum());
    EXPECT_EQ(test::ReadBytes(path), original);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"safe.xf"});
    fs::remove(album.TempFolder + "2.frame");

    // A sound file that is a folder cannot be copied.
    ASSERT_TRUE(album.GetPage(1, &page));  // mends the cache
    const std::string sound = album.SoundFile;
    fs::remove(sound);
    fs::create_directory(sound);
    album.HasSound = true;
    EXPECT_TRUE(album.RebuildAlbum());  // a folder is no sound file: written without sound
    EXPECT_FALSE(album.HasSound);
    fs::remove(sound);
}

TEST_F(XfRewriteTest, ReplaceSoundRefusesAnAlbumThatLies) {
    AlbumPage big = PatternPage(2, 2, 6);
    big.height = 500;  // claims far more rows than the file holds
    const auto original = AlbumBytes({PatternPage(2, 2, 6), big});
    const std::string path = write("lie.xf", original);
    TXfAlbum album;
    album.OpenForViewing(path);
    test::WriteBytes(album.SoundFile, test::WaveOf(10));
    album.HasSound = true;
    EXPECT_FALSE(album.ReplaceAlbumSound());
    EXPECT_EQ(test::ReadBytes(path), original);
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"lie.xf"});
    EXPECT_EQ(test::FolderEntries(cache.companion()).size(), 3u);  // .Audio, .Audiot, cache folder
}

// Runs f in a child process whose files may not grow beyond limit bytes (a full disk, as
// far as the writer can tell; it works as root too). The child's exit status is f's result.
bool UnderFileSizeLimit(rlim_t limit, const std::function<bool()>& f) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit r{limit, limit};
        ::setrlimit(RLIMIT_FSIZE, &r);
        ::_exit(f() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST_F(XfRewriteTest, AFullDiskNeverCostsTheAlbum) {
    const std::vector<AlbumPage> pages = {PatternPage(40, 30, 6), PatternPage(40, 30, 6)};
    const auto original = AlbumBytes(pages, test::WaveOf(5000));
    const std::string path = write("full.xf", original);
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    Bitmap page;
    for (int n = 0; n < 2; ++n)
        ASSERT_TRUE(album.GetPage(n, &page));  // the cache is complete before the disk fills

    for (const rlim_t limit : {rlim_t{100}, rlim_t{4000}, rlim_t{original.size() - 10}}) {
        SCOPED_TRACE(limit);
        EXPECT_FALSE(UnderFileSizeLimit(limit, [&] { return album.RebuildAlbum(); }));
        EXPECT_EQ(test::ReadBytes(path), original);
        EXPECT_FALSE(UnderFileSizeLimit(limit, [&] { return album.ReplaceAlbumSound(); }));
        EXPECT_EQ(test::ReadBytes(path), original);
        EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"full.xf"});
    }
    // With room enough both work.
    EXPECT_TRUE(UnderFileSizeLimit(10'000'000, [&] { return album.RebuildAlbum(); }));
}

}  // namespace
}  // namespace vs
