// Reading albums, companion files, the page cache and recording.

#include "formats/XfAlbum.h"

#include "graphics/BmpFile.h"
#include "platform/Wave.h"
#include "platform/testing/FakePlatform.h"
#include "support/AlbumFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <thread>

namespace vs {
namespace {

namespace fs = std::filesystem;
using test::AlbumBytes;
using test::AlbumPage;
using test::PatternPage;

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

using XfAlbumTest = test::AlbumTest;

// The page's stored bytes as a 24-bit picture, by the layout of each pixel code.
Rgb ExpectedPixel(const AlbumPage& p, int x, int y) {
    const auto at = [&](std::size_t i) { return p.pixels[i]; };
    const std::size_t i = std::size_t(y) * std::size_t(p.width) + std::size_t(x);
    const auto five = [](unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); };
    switch (p.code) {
    case 3:
        return HalftonePalette()[at(i)];
    case 4: {
        const unsigned w = at(2 * i) | (at(2 * i + 1) << 8);
        return {five((w >> 10) & 31), five((w >> 5) & 31), five(w & 31)};
    }
    case 5: {
        const unsigned w = at(2 * i) | (at(2 * i + 1) << 8);
        const unsigned g = (w >> 5) & 63;
        return {five(w >> 11), static_cast<std::uint8_t>((g << 2) | (g >> 4)), five(w & 31)};
    }
    case 6:
        return {at(3 * i + 2), at(3 * i + 1), at(3 * i)};
    default:
        return {at(4 * i + 2), at(4 * i + 1), at(4 * i)};
    }
}

void ExpectPage(const Bitmap& b, const AlbumPage& p) {
    ASSERT_EQ(b.width(), p.width);
    ASSERT_EQ(b.height(), p.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            ASSERT_EQ(b.pixel(x, y), ExpectedPixel(p, x, y)) << "code " << int(p.code) << " at " << x << "," << y;
}

TEST_F(XfAlbumTest, EmptyAlbumIsThirteenBytesAndHasNoPageZero) {
    const auto bytes = AlbumBytes({});
    ASSERT_EQ(bytes.size(), 13u);
    const std::string path = write("empty.xf", bytes);
    TXfAlbum preview;
    EXPECT_TRUE(preview.OpenForPreview(path));
    EXPECT_FALSE(preview.HasSound);
    Bitmap page(3, 3, PixelFormat::Bpp24);
    EXPECT_FALSE(preview.ReadPage(0, &page));
    EXPECT_EQ(page.width(), 3);  // untouched on failure

    TXfAlbum viewing;
    EXPECT_TRUE(viewing.OpenForViewing(path));
    EXPECT_EQ(viewing.PageCount, 0);
    EXPECT_EQ(viewing.CurrentPage, -1);
}

TEST_F(XfAlbumTest, OnePageAlbumIsThirtyFourBytesAndReadsBack) {
    const AlbumPage p = PatternPage(2, 2, 6);
    const auto bytes = AlbumBytes({p});
    ASSERT_EQ(bytes.size(), 34u);
    const std::string path = write("one.mig", bytes);
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForPreview(path));
    Bitmap page;
    ASSERT_TRUE(album.ReadPage(0, &page));
    EXPECT_EQ(page.format(), PixelFormat::Bpp24);
    ExpectPage(page, p);
    EXPECT_FALSE(album.ReadPage(1, &page));
    EXPECT_FALSE(album.ReadPage(-1, &page));
    EXPECT_FALSE(album.ReadPage(0, nullptr));
    EXPECT_EQ(album.PageCount, 0);  // a preview does not count pages
}

TEST_F(XfAlbumTest, EveryPixelCodeGivesItsOwnFormatAndColours) {
    const std::vector<AlbumPage> pages = {PatternPage(5, 3, 3, 1), PatternPage(4, 2, 4, 2), PatternPage(3, 3, 5, 3),
                                          PatternPage(7, 2, 6, 4), PatternPage(2, 5, 7, 5)};
    const std::string path = write("codes.xf", AlbumBytes(pages));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    EXPECT_EQ(album.PageCount, 5);
    const PixelFormat formats[] = {PixelFormat::Bpp8, PixelFormat::Bpp15, PixelFormat::Bpp16, PixelFormat::Bpp24,
                                   PixelFormat::Bpp32};
    for (int n = 0; n < 5; ++n) {
        Bitmap page;
        ASSERT_TRUE(album.ReadPage(n, &page)) << n;
        EXPECT_EQ(page.format(), formats[n]);
        ExpectPage(page, pages[std::size_t(n)]);
    }
    // Code 3 carries the halftone palette: index 215 is white, 0 black, 216 the first grey.
    AlbumPage idx{3, 1, 3, {0, 215, 216}};
    const std::string path3 = write("idx.xf", AlbumBytes({idx}));
    TXfAlbum a3;
    a3.OpenForPreview(path3);
    Bitmap b;
    ASSERT_TRUE(a3.ReadPage(0, &b));
    EXPECT_EQ(b.pixel(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(b.pixel(1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(b.pixel(2, 0), HalftonePalette()[216]);
}

TEST_F(XfAlbumTest, InvalidPixelCodeStopsReadingFromThatPage) {
    AlbumPage bad = PatternPage(2, 2, 6);
    bad.code = 8;
    const std::string path = write("bad.xf", AlbumBytes({PatternPage(2, 2, 6), bad, PatternPage(2, 2, 6)}));
    TXfAlbum album;
    EXPECT_FALSE(album.OpenForPreview(path));
    Bitmap page;
    EXPECT_TRUE(album.ReadPage(0, &page));
    EXPECT_FALSE(album.ReadPage(1, &page));
    EXPECT_FALSE(album.ReadPage(2, &page));
    TXfAlbum viewing;
    EXPECT_FALSE(viewing.OpenForViewing(path));
    EXPECT_EQ(viewing.PageCount, 1);  // only the page before the bad one is there
    EXPECT_TRUE(fs::is_directory(viewing.TempFolder));
}

TEST_F(XfAlbumTest, MagicIsCheckedOnlyWhenReadingAPage) {
    auto bytes = AlbumBytes({PatternPage(2, 2, 6)}, std::vector<std::uint8_t>{'R', 'I', 'F', 'F'});
    bytes[0] = 'Q';
    const std::string path = write("nomagic.mig", bytes);
    TXfAlbum album;
    EXPECT_TRUE(album.OpenForViewing(path));
    EXPECT_EQ(album.Magic, (std::array<char, 3>{'Q', 'F', 'A'}));
    EXPECT_EQ(album.PageCount, 1);
    EXPECT_TRUE(album.HasSound);
    Bitmap page;
    EXPECT_FALSE(album.ReadPage(0, &page));
}

TEST_F(XfAlbumTest, SizesAndLengthsThatClaimMoreThanTheFileAreRefused) {
    // A page claiming a million pixels in a file of a few bytes.
    AlbumPage big = PatternPage(2, 2, 6);
    big.width = 1000;
    big.height = 1000;
    const std::string p1 = write("big.xf", AlbumBytes({big}));
    Bitmap page;
    TXfAlbum a1;
    EXPECT_FALSE(a1.OpenForPreview(p1));
    EXPECT_FALSE(a1.ReadPage(0, &page));
    // Negative sizes.
    AlbumPage neg = PatternPage(0, 0, 6);
    neg.width = -4;
    neg.height = -4;
    const std::string p2 = write("neg.xf", AlbumBytes({neg}));
    TXfAlbum a2;
    EXPECT_FALSE(a2.OpenForPreview(p2));
    EXPECT_FALSE(a2.ReadPage(0, &page));
    // No pixels at all, but two billion rows of them.
    AlbumPage tall = PatternPage(0, 0, 6);
    tall.height = 0x7FFFFFFF;
    const std::string p6 = write("tall.xf", AlbumBytes({tall}));
    TXfAlbum a6;
    EXPECT_FALSE(a6.OpenForPreview(p6));
    EXPECT_FALSE(a6.ReadPage(0, &page));
    // An empty 0 x 0 page is a page like any other.
    const std::string p7 = write("zero.xf", AlbumBytes({PatternPage(0, 0, 6)}));
    TXfAlbum a7;
    EXPECT_TRUE(a7.OpenForPreview(p7));
    EXPECT_TRUE(a7.ReadPage(0, &page));
    EXPECT_TRUE(page.empty());
    // A sound longer than what follows: refused, and no sound file is made.
    auto bytes = AlbumBytes({PatternPage(2, 2, 6)}, test::WaveOf(100));
    bytes.resize(bytes.size() - 1);
    const std::string p3 = write("sound.xf", bytes);
    TXfAlbum a3;
    EXPECT_FALSE(a3.OpenForPreview(p3));
    EXPECT_FALSE(fs::exists(a3.SoundFile));
    // A page count far beyond the pages present.
    const std::string p4 = write("count.xf", AlbumBytes({PatternPage(2, 2, 6)}, std::nullopt, 0, 0x7FFFFFFF));
    TXfAlbum a4;
    EXPECT_FALSE(a4.OpenForViewing(p4));
    EXPECT_EQ(a4.PageCount, 1);
    EXPECT_TRUE(a4.ReadPage(0, &page));
    EXPECT_FALSE(a4.ReadPage(1, &page));
    // Truncated inside the header.
    const std::string p5 = write("short.xf", {'X', 'F', 'A', 1, 0});
    TXfAlbum a5;
    EXPECT_FALSE(a5.OpenForPreview(p5));
    EXPECT_FALSE(a5.ReadPage(0, &page));
}

TEST_F(XfAlbumTest, PreviewExtractsTheSoundAndMakesTheRecordFile) {
    const auto wave = test::WaveOf(25000);  // more than two copy chunks
    const std::string path = write("Trip.MIG", AlbumBytes({PatternPage(3, 2, 6)}, wave));
    {
        TXfAlbum album;
        ASSERT_TRUE(album.OpenForPreview(path));
        EXPECT_EQ(album.FileName, Lower(dir.path()) + "/trip.mig");
        EXPECT_EQ(album.AlbumPath(), path);
        EXPECT_TRUE(album.HasSound);
        EXPECT_EQ(album.SoundFile, companion() + "trip.mig.Audio");
        EXPECT_EQ(album.RecordFile, companion() + "trip.mig.Audiot");
        EXPECT_TRUE(album.TempFolder.empty());
        EXPECT_EQ(test::ReadBytes(album.SoundFile), wave);

        // The record file: RIFF, WAVE, a 50-byte "fmt " chunk with the 8-bit mono 22050 Hz PCM
        // record and an extra-size field of 1, "fact" holding 0, an empty "data".
        std::vector<std::uint8_t> rec = {'R', 'I', 'F', 'F'};
        test::Put32(rec, 82);
        rec.insert(rec.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        test::Put32(rec, 50);
        test::Put16(rec, 1);
        test::Put16(rec, 1);
        test::Put32(rec, 22050);
        test::Put32(rec, 22050);
        test::Put16(rec, 1);
        test::Put16(rec, 8);
        test::Put16(rec, 1);
        rec.resize(rec.size() + 32, 0);
        rec.insert(rec.end(), {'f', 'a', 'c', 't'});
        test::Put32(rec, 4);
        test::Put32(rec, 0);
        rec.insert(rec.end(), {'d', 'a', 't', 'a'});
        test::Put32(rec, 0);
        EXPECT_EQ(test::ReadBytes(album.RecordFile), rec);
        struct stat st {};
        ASSERT_EQ(::stat(companion().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
    }
    // The object took its companion files with it.
    EXPECT_TRUE(cache.companionEntries().empty());
}

TEST_F(XfAlbumTest, MissingAlbumOpensAsAnEmptyOne) {
    TXfAlbum album;
    EXPECT_TRUE(album.OpenForPreview(dir.file("none.xf")));
    EXPECT_TRUE(fs::exists(album.RecordFile));
    TXfAlbum viewing;
    EXPECT_TRUE(viewing.OpenForViewing(dir.file("none.xf")));
    EXPECT_EQ(viewing.PageCount, 0);
    EXPECT_TRUE(fs::is_directory(viewing.TempFolder));
    Bitmap page;
    EXPECT_FALSE(viewing.ReadPage(0, &page));
}

TEST_F(XfAlbumTest, CompanionNamesCountUpWhileTaken) {
    const std::string path = write("album.mig", AlbumBytes({PatternPage(2, 2, 6)}, test::WaveOf(10)));
    fs::create_directories(companion() + "TQ Images XF TEMP/album.mig_temp");
    test::WriteBytes(companion() + "album.mig.Audio", {1});
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    EXPECT_EQ(album.SoundFile, companion() + "album.mig.Audio0");
    EXPECT_EQ(album.RecordFile, companion() + "album.mig.Audio0t");
    EXPECT_EQ(album.TempFolder, companion() + "TQ Images XF TEMP/album.mig_temp0/");
    EXPECT_EQ(test::ReadBytes(companion() + "album.mig.Audio"), std::vector<std::uint8_t>{1});  // not ours
    // A record file left behind marks its sound name as taken too.
    test::WriteBytes(companion() + "album.mig.Audio1t", {1});
    TXfAlbum second;
    ASSERT_TRUE(second.OpenForPreview(path));
    EXPECT_EQ(second.SoundFile, companion() + "album.mig.Audio2");
    EXPECT_EQ(second.RecordFile, companion() + "album.mig.Audio2t");
}

TEST_F(XfAlbumTest, TwoObjectsOnOneAlbumKeepTheirOwnFiles) {
    for (const bool withSound : {false, true}) {
        SCOPED_TRACE(withSound);
        const std::string path = write("two.xf", AlbumBytes({PatternPage(4, 3, 6), PatternPage(2, 2, 5)},
                                                            withSound ? std::optional(test::WaveOf(50)) : std::nullopt));
        auto strip = std::make_unique<TXfAlbum>();
        ASSERT_TRUE(strip->OpenForViewing(path));
        Bitmap page;
        ASSERT_TRUE(strip->GetPage(1, &page));
        {
            TXfAlbum thumb;  // the grid's thumbnail while the strip shows the album
            ASSERT_TRUE(thumb.OpenForPreview(path));
            EXPECT_NE(thumb.SoundFile, strip->SoundFile);
            EXPECT_NE(thumb.RecordFile, strip->RecordFile);
            TXfAlbum other;
            ASSERT_TRUE(other.OpenForViewing(path));
            EXPECT_NE(other.TempFolder, strip->TempFolder);
            EXPECT_NE(other.SoundFile, thumb.SoundFile);
        }
        EXPECT_TRUE(fs::exists(strip->RecordFile));
        EXPECT_EQ(fs::exists(strip->SoundFile), withSound);
        EXPECT_TRUE(fs::exists(strip->TempFolder + "1.frame"));
        strip.reset();
        EXPECT_TRUE(cache.companionEntries().empty());
    }
}

TEST_F(XfAlbumTest, OneClosingWhileTheOtherRebuildsKeepsTheNewSound) {
    const std::string path =
        write("shared.xf", AlbumBytes({PatternPage(3, 2, 6), PatternPage(2, 2, 4)}, test::WaveOf(60)));
    // A record name left behind without its sound: the sound name goes with it.
    fs::create_directories(companion());
    test::WriteBytes(companion() + "shared.xf.Audiot", {1});
    auto first = std::make_unique<TXfAlbum>();
    ASSERT_TRUE(first->OpenForViewing(path));
    TXfAlbum second;
    ASSERT_TRUE(second.OpenForViewing(path));
    EXPECT_EQ(first->SoundFile, companion() + "shared.xf.Audio0");
    EXPECT_EQ(first->RecordFile, first->SoundFile + "t");
    EXPECT_EQ(second.SoundFile, companion() + "shared.xf.Audio1");
    EXPECT_EQ(second.RecordFile, second.SoundFile + "t");

    fake::FakeWaveRecorder recorder;
    recorder.samples = {1, 2, 3, 4, 5, 6, 7};
    ASSERT_TRUE(second.StartRecording(recorder));
    ASSERT_TRUE(second.StopRecording(recorder));
    first.reset();
    ASSERT_TRUE(second.RebuildAlbum());
    const auto wave = EncodeWavePcm(recorder.samples, 22050, 1, 8);
    EXPECT_EQ(test::ReadBytes(second.SoundFile), wave);
    TXfAlbum reader;
    ASSERT_TRUE(reader.OpenForPreview(path));
    EXPECT_TRUE(reader.HasSound);
    EXPECT_EQ(test::ReadBytes(reader.SoundFile), wave);
}

TEST_F(XfAlbumTest, ObjectsOpenedAtOnceNeverShareASoundName) {
    const auto wave = test::WaveOf(300);
    const std::string path = write("race.mig", AlbumBytes({PatternPage(2, 2, 6)}, wave));
    constexpr int kThreads = 6;
    for (int round = 0; round < 25; ++round) {
        std::vector<std::unique_ptr<TXfAlbum>> albums(kThreads);
        std::atomic<int> ready{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] {
                albums[t] = std::make_unique<TXfAlbum>();
                ++ready;
                while (ready.load() < kThreads)
                    std::this_thread::yield();
                albums[t]->OpenForPreview(path);
            });
        for (auto& th : threads)
            th.join();
        std::set<std::string> sounds;
        for (const auto& a : albums) {
            ASSERT_TRUE(a->HasSound);
            EXPECT_EQ(a->RecordFile, a->SoundFile + "t");
            EXPECT_EQ(test::ReadBytes(a->SoundFile), wave);
            sounds.insert(a->SoundFile);
        }
        ASSERT_EQ(sounds.size(), std::size_t(kThreads)) << "round " << round;
        // Closing half of them leaves the others' sounds in place.
        for (int t = 0; t < kThreads; t += 2)
            albums[t].reset();
        for (int t = 1; t < kThreads; t += 2)
            EXPECT_EQ(test::ReadBytes(albums[t]->SoundFile), wave);
    }
    EXPECT_TRUE(cache.companionEntries().empty());
}

TEST_F(XfAlbumTest, ViewingTakesTheMigOrXfEndingAndTheRealName) {
    const std::string upper = write("photo.XF", AlbumBytes({PatternPage(2, 2, 6), PatternPage(2, 2, 6)}));
    TXfAlbum a;
    ASSERT_TRUE(a.OpenForViewing(upper));
    EXPECT_EQ(a.FileName, Lower(dir.path()) + "/photo.xf");
    EXPECT_EQ(a.AlbumPath(), upper);
    EXPECT_EQ(a.PageCount, 2);
    EXPECT_EQ(a.TempFolder, companion() + "TQ Images XF TEMP/photo.xf_temp/");

    write("photo.mig", AlbumBytes({PatternPage(2, 2, 6), PatternPage(2, 2, 6), PatternPage(1, 1, 3)}));
    TXfAlbum b;
    ASSERT_TRUE(b.OpenForViewing(dir.file("photo.bin")));
    EXPECT_EQ(b.FileName, Lower(dir.path()) + "/photo.mig");
    EXPECT_EQ(b.PageCount, 3);
    EXPECT_EQ(b.SoundFile, companion() + "photo.mig.Audio");

    // A lower-case path finds the file under its real letter case.
    const std::string real = write("Slides.MIG", AlbumBytes({PatternPage(1, 1, 6)}));
    TXfAlbum c;
    ASSERT_TRUE(c.OpenForViewing(dir.file("slides.mig")));
    EXPECT_EQ(c.AlbumPath(), real);
    EXPECT_EQ(c.PageCount, 1);
    Bitmap page;
    EXPECT_TRUE(c.ReadPage(0, &page));
}

TEST_F(XfAlbumTest, GetPageCachesPagesAndSaysWhatWentWrong) {
    const std::vector<AlbumPage> pages = {PatternPage(6, 4, 3), PatternPage(5, 5, 7)};
    const std::string path = write("cache.xf", AlbumBytes(pages));
    fake::FakePrompts prompts;
    TXfAlbum album(&prompts);
    ASSERT_TRUE(album.OpenForViewing(path));
    Bitmap page;
    ASSERT_TRUE(album.GetPage(1, &page));
    EXPECT_EQ(album.CurrentPage, 1);
    ExpectPage(page, pages[1]);
    const std::string frame = album.TempFolder + "1.frame";
    EXPECT_EQ(LoadBmpFile(frame).toBgr24(), page.toBgr24());

    // The next fetch is served by the cache file.
    Bitmap marked(2, 2, PixelFormat::Bpp24);
    marked.row(0)[0] = 77;
    SaveBmpFile(marked, frame);
    ASSERT_TRUE(album.GetPage(1, &page));
    EXPECT_EQ(page.pixel(0, 0).b, 77);

    // A damaged cache file is read again from the album.
    test::WriteBytes(frame, {'B', 'M', 0});
    ASSERT_TRUE(album.GetPage(1, &page));
    ExpectPage(page, pages[1]);
    EXPECT_EQ(LoadBmpFile(frame).width(), 5);

    // FetchPage leaves CurrentPage alone.
    ASSERT_TRUE(album.FetchPage(0, &page));
    ExpectPage(page, pages[0]);
    EXPECT_EQ(album.CurrentPage, 1);

    EXPECT_FALSE(album.GetPage(0, nullptr));
    EXPECT_FALSE(album.GetPage(2, &page));
    EXPECT_FALSE(album.GetPage(-1, &page));
    const std::string folder = album.TempFolder;
    album.CleanTempFolder();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(album.GetPage(0, &page));
    EXPECT_EQ(album.CurrentPage, 1);
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{"2", "3", "3", folder}));
    for (const auto& m : prompts.messages) {
        EXPECT_EQ(m.caption, "");
        EXPECT_EQ(m.buttons, Buttons::Ok);
    }
    // A preview has no cache folder: the message is its (empty) path.
    fake::FakePrompts p2;
    TXfAlbum preview(&p2);
    preview.OpenForPreview(path);
    EXPECT_FALSE(preview.GetPage(0, &page));
    EXPECT_EQ(p2.texts(), std::vector<std::string>{""});
}

TEST_F(XfAlbumTest, CleanTempFolderRemovesOnlyFrameFiles) {
    const std::string path = write("clean.xf", AlbumBytes({PatternPage(2, 2, 6), PatternPage(2, 2, 6)}));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    Bitmap page;
    ASSERT_TRUE(album.GetPage(0, &page));
    ASSERT_TRUE(album.GetPage(1, &page));
    const std::string folder = album.TempFolder;
    test::WriteBytes(folder + "notes.txt", {1});
    fs::create_directory(folder + "sub.frame");
    album.CleanTempFolder();
    EXPECT_EQ(test::FolderEntries(folder), (std::vector<std::string>{"notes.txt", "sub.frame"}));
    fs::remove(folder + "notes.txt");
    fs::remove(folder + "sub.frame");
    // A read-only cache file is not deleted, so its folder stays.
    ASSERT_TRUE(album.GetPage(0, &page));
    ::chmod((folder + "0.frame").c_str(), 0444);
    album.CleanTempFolder();
    EXPECT_EQ(test::FolderEntries(folder), std::vector<std::string>{"0.frame"});
    ::chmod((folder + "0.frame").c_str(), 0644);
    album.CleanTempFolder();
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(XfAlbumTest, ReopeningReleasesTheFilesOfTheFirstOpen) {
    const std::string a = write("a.xf", AlbumBytes({PatternPage(2, 2, 6)}, test::WaveOf(10)));
    const std::string b = write("b.xf", AlbumBytes({PatternPage(2, 2, 6)}));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(a));
    Bitmap page;
    ASSERT_TRUE(album.GetPage(0, &page));
    ASSERT_TRUE(album.OpenForViewing(b));
    EXPECT_FALSE(album.HasSound);
    EXPECT_EQ(album.CurrentPage, -1);
    EXPECT_TRUE(album.OpenForPreview(dir.file("missing.xf")));
    EXPECT_EQ(album.PageCount, 0);
    EXPECT_TRUE(album.TempFolder.empty());
    ASSERT_TRUE(album.OpenForViewing(b));
    EXPECT_EQ(cache.companionEntries(), (std::vector<std::string>{"TQ Images XF TEMP/b.xf_temp", "b.xf.Audiot"}));
}

TEST_F(XfAlbumTest, RecordingGoesThroughTheRecorderIntoTheSoundFile) {
    const std::string path = write("rec.xf", AlbumBytes({PatternPage(2, 2, 6)}));
    fake::FakeSoundPlayer player;
    TXfAlbum album(nullptr, &player);
    fake::FakeWaveRecorder recorder;
    recorder.samples = {10, 20, 30, 40, 50};
    EXPECT_FALSE(album.StartRecording(recorder));  // not opened: no record file
    ASSERT_TRUE(album.OpenForViewing(path));
    EXPECT_FALSE(album.PlaySoundFile());
    EXPECT_TRUE(player.played.empty());

    ASSERT_TRUE(album.StartRecording(recorder));
    EXPECT_TRUE(album.Recording);
    EXPECT_EQ(recorder.sampleRate, 22050);  // read from the record file
    EXPECT_EQ(recorder.channels, 1);
    EXPECT_EQ(recorder.bitsPerSample, 8);
    ASSERT_TRUE(album.StopRecording(recorder));
    EXPECT_FALSE(album.Recording);
    EXPECT_TRUE(album.HasSound);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"open " + album.RecordFile, "start", "stop",
                                                        "save " + album.SoundFile, "close"}));
    EXPECT_EQ(test::ReadBytes(album.SoundFile), EncodeWavePcm(recorder.samples, 22050, 1, 8));
    EXPECT_TRUE(album.PlaySoundFile());
    EXPECT_EQ(player.played, std::vector<std::string>{album.SoundFile});
    player.works = false;
    EXPECT_FALSE(album.PlaySoundFile());
}

TEST_F(XfAlbumTest, RecorderFailuresLeaveTheAlbumSoundAsItWas) {
    const std::string path = write("rec.xf", AlbumBytes({PatternPage(2, 2, 6)}));
    TXfAlbum album;
    ASSERT_TRUE(album.OpenForViewing(path));
    fake::FakeWaveRecorder noDevice;
    noDevice.failStep = "open";
    EXPECT_FALSE(album.StartRecording(noDevice));
    EXPECT_FALSE(album.Recording);
    fake::FakeWaveRecorder cannotSave;
    cannotSave.failStep = "save";
    ASSERT_TRUE(album.StartRecording(cannotSave));
    EXPECT_FALSE(album.StopRecording(cannotSave));
    EXPECT_FALSE(album.Recording);
    EXPECT_FALSE(album.HasSound);
    EXPECT_EQ(cannotSave.calls.back(), "close");
}

}  // namespace
}  // namespace vs
