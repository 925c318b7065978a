#include "controls/FolderScan.h"
#include "controls/RenameRule.h"
#include "controls/ThumbnailPool.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "viewer/PictureLoader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <sys/stat.h>

namespace vs {
namespace {

void Touch(const std::string& path) { test::WriteBytes(path, {'x'}); }

std::vector<std::string> Names(const std::vector<ScannedFile>& files) {
    std::vector<std::string> n;
    for (const auto& f : files)
        n.push_back(f.name);
    return n;
}

TEST(ScanFolder, VisitsTypesInScanOrderAndMatchesEndingsInAnyCase) {
    test::TempDir dir;
    for (const char* name : {"b.PSD", "a.bmp", "clip.AVI", "Photo.JPG", "notes.txt", "page.html", "page2.htm",
                             "scan.tif", "scan2.TIFF", "x.jpeg", "archive.zip", "noext", "a.bmp.bak"})
        Touch(dir.file(name));
    const auto files = ScanFolder(dir.path(), AllTypesOn());
    ASSERT_TRUE(files);
    // avi, htm (then html), txt, jpg, bmp, tif (then tiff), psd; .jpeg is not a grid type.
    EXPECT_EQ(Names(*files), (std::vector<std::string>{"clip.AVI", "page2.htm", "page.html", "notes.txt", "Photo.JPG",
                                                        "a.bmp", "scan.tif", "scan2.TIFF", "b.PSD"}));
    EXPECT_EQ(files->front().type, kTypeAvi);
    EXPECT_EQ(files->back().type, kTypePsd);
}

TEST(ScanFolder, ListsOnlyEnabledTypesAndNormalFiles) {
    test::TempDir dir;
    Touch(dir.file("a.tif"));
    Touch(dir.file("b.tga"));
    Touch(dir.file(".hidden.jpg"));
    Touch(dir.file("readonly.jpg"));
    ::chmod(dir.file("readonly.jpg").c_str(), 0444);
    std::filesystem::create_directory(dir.file("folder.jpg"));
    std::filesystem::create_symlink(dir.file("a.tif"), dir.file("link.jpg"));
    std::filesystem::create_symlink(dir.file("folder.jpg"), dir.file("dirlink.jpg"));
    std::filesystem::create_symlink(dir.file("missing"), dir.file("broken.jpg"));
    TypeFlags flags = AllTypesOn();
    flags[kTypeTga] = false;
    const auto files = ScanFolder(dir.path(), flags);
    ASSERT_TRUE(files);
    auto names = Names(*files);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"a.tif", "link.jpg", "readonly.jpg"}));

    TypeFlags none{};
    EXPECT_TRUE(ScanFolder(dir.path(), none)->empty());
    EXPECT_FALSE(ScanFolder(dir.file("nowhere"), AllTypesOn()));
}

TEST(RenameRule, TheFileKeepsItsExtension) {
    EXPECT_EQ(ForcedRenameText("/p/a.jpg", "holiday"), "holiday.jpg");
    EXPECT_EQ(ForcedRenameText("/p/a.jpg", "holiday.png"), "holiday.jpg");
    EXPECT_EQ(ForcedRenameText("/p/a.jpg", ""), ".jpg");
    EXPECT_EQ(ForcedRenameText("/p/a.jpg", "my.trip.2020.bmp"), "my.trip.2020.jpg");
    EXPECT_EQ(ForcedRenameText("/p/a.tiff", "b"), "b.tiff");
    EXPECT_EQ(ForcedRenameText("/p/a.tif", "b.tiff"), "b.tif");
    EXPECT_EQ(ForcedRenameText("/p/page.html", "index.htm"), "index.html");
    EXPECT_EQ(ForcedRenameText("/p/a.jpg", "sub.d/name"), "sub.d/name.jpg");
    // Case-sensitive: an upper-case old ending is not known, and other endings pass through.
    EXPECT_EQ(ForcedRenameText("/p/A.JPG", "b.png"), "b.png");
    EXPECT_EQ(ForcedRenameText("/p/a.zip", "b"), "b");
}

TEST(ThumbnailPool, MakesThumbnailsAndTellsUnopenableFromUndecodable) {
    test::TempDir dir;
    Bitmap red(160, 120, PixelFormat::Bpp24);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            red.row(y)[3 * x + 2] = 255;
        }
    SaveBmpFile(red, dir.file("red.bmp"));
    Touch(dir.file("bad.bmp"));

    std::mutex m;
    std::condition_variable cv;
    std::vector<ThumbnailResult> results;
    {
        // The real loader, except that a vanished file is reported as unopenable, as the
        // JPEG, TIFF, Targa, PCX and Photoshop readers report it.
        ThumbnailPool pool(
            2,
            [&](ThumbnailResult&& r) {
                std::lock_guard lock(m);
                results.push_back(std::move(r));
                cv.notify_all();
            },
            [](const std::string& path, int kind, Bitmap& thumb, std::string& size) {
                if (!std::filesystem::exists(path))
                    throw OpenError("cannot open " + path);
                return LoadMicroImageFromFile(path, kind, thumb, size);
            });
        pool.Submit({1, 10, dir.file("red.bmp"), 0});
        pool.Submit({1, 11, dir.file("bad.bmp"), 0});
        pool.Submit({1, 12, dir.file("gone.jpg"), 1});
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return results.size() == 3; }));
    }
    std::sort(results.begin(), results.end(), [](const auto& a, const auto& b) { return a.itemId < b.itemId; });
    EXPECT_EQ(results[0].outcome, ThumbnailResult::Outcome::Made);
    EXPECT_EQ(results[0].sizeText, "160X120");
    ASSERT_EQ(results[0].thumbnail.width(), 80);
    EXPECT_EQ(results[0].thumbnail.pixel(40, 30), (Rgb{255, 0, 0}));
    EXPECT_EQ(results[1].outcome, ThumbnailResult::Outcome::Failed);
    EXPECT_EQ(results[1].sizeText, "");
    // A file that cannot be opened is reported as such: the grid drops its item.
    EXPECT_EQ(results[2].outcome, ThumbnailResult::Outcome::Unopenable);
}

TEST(ThumbnailPool, NewestJobFirstAndCancelledScansAreDropped) {
    test::TempDir dir;
    Bitmap small(8, 8, PixelFormat::Bpp24);
    SaveBmpFile(small, dir.file("s.bmp"));
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::uint64_t> order;
    std::promise<void> started;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    {
        // One worker, held inside its first job while the others are queued behind it.
        ThumbnailPool pool(1, [&](ThumbnailResult&& r) {
            if (r.itemId == 1) {
                started.set_value();
                released.wait();
            }
            std::lock_guard lock(m);
            order.push_back(r.itemId);
            cv.notify_all();
        });
        pool.Submit({1, 1, dir.file("s.bmp"), 0});
        started.get_future().wait();
        pool.Submit({1, 2, dir.file("s.bmp"), 0});
        pool.Submit({1, 3, dir.file("s.bmp"), 0});
        pool.Submit({2, 4, dir.file("s.bmp"), 0});
        pool.Submit({2, 5, dir.file("s.bmp"), 0});
        pool.CancelBefore(2);
        EXPECT_EQ(pool.Pending(), 3u);
        release.set_value();
        std::unique_lock lock(m);
        ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20), [&] { return order.size() == 3; }));
    }
    EXPECT_EQ(order, (std::vector<std::uint64_t>{1, 5, 4}));
}

}  // namespace
}  // namespace vs
