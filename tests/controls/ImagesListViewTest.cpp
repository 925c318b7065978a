#include "controls/TImagesListView.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "viewer/PictureLoader.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <sys/stat.h>

namespace vs {
namespace {

class GridTest : public ::testing::Test {
protected:
    void SetUp() override {
        grid.SetPrompts(&prompts);
        grid.SetBackgroundThumbnails(false);
        for (std::size_t i = 0; i < grid.TypeIcons.size(); ++i)
            grid.TypeIcons[i].fill(QColor(static_cast<int>(i) * 20, 0, 0));
    }
    void Touch(const std::string& name) { test::WriteBytes(dir.file(name), {'x'}); }
    void Picture(const std::string& name, int w, int h, Rgb colour = {0, 0, 255}) {
        Bitmap b(w, h, PixelFormat::Bpp24);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                b.row(y)[3 * x] = colour.b;
                b.row(y)[3 * x + 1] = colour.g;
                b.row(y)[3 * x + 2] = colour.r;
            }
        SaveBmpFile(b, dir.file(name));
    }
    QString Folder() const { return QString::fromStdString(dir.path() + "/"); }
    QStringList Captions() const {
        QStringList c;
        for (int i = 0; i < grid.count(); ++i)
            c << grid.item(i)->text();
        return c;
    }

    test::TempHome home;
    test::TempDir dir;
    fake::FakePrompts prompts;
    TImagesListView grid;
};

TEST_F(GridTest, ImageListExistsOnlyAfterTheFirstScan) {
    EXPECT_EQ(grid.GetbmplistCount(), -1);
    EXPECT_EQ(grid.LoadSmallImage(QString::fromStdString(dir.file("x.bmp"))), 0);
    grid.SetFPath(Folder());
    EXPECT_EQ(grid.GetbmplistCount(), 9);
    EXPECT_EQ(grid.count(), 0);
    EXPECT_TRUE(grid.selectedItems().isEmpty());
    // The nine type icons lead the image list in order.
    EXPECT_EQ(grid.imageList()->at(5).toImage().pixelColor(3, 3), QColor(100, 0, 0));
}

TEST_F(GridTest, ScanListsLowerCaseCaptionsSortedWithTheRealNameKept) {
    Touch("Photo.JPG");
    Touch("clip.avi");
    Touch("b.tga");
    Touch("a.tif");
    Touch(".hidden.bmp");
    Touch("readonly.bmp");
    ::chmod(dir.file("readonly.bmp").c_str(), 0444);
    Touch("notes.txt");
    Touch("archive.zip");
    std::filesystem::create_directory(dir.file("sub.jpg"));
    grid.SetF_tga(false);
    QSignalSpy changes(&grid, &TImagesListView::Change);
    grid.SetFPath(Folder());
    EXPECT_EQ(Captions(), (QStringList{"a.tif", "clip.avi", "notes.txt", "photo.jpg", "readonly.bmp"}));
    const GridItem photo = grid.item(3);
    EXPECT_EQ(TImagesListView::RealName(photo), "Photo.JPG");
    EXPECT_EQ(grid.FilePath(photo), Folder() + "Photo.JPG");
    EXPECT_EQ(TImagesListView::ImageIndex(photo), kImageNotMade);
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(1)), 0);  // AVI icon
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(2)), 7);  // text icon
    EXPECT_EQ(TImagesListView::ItemSizeText(grid.item(1)), "");
    // The first item is selected, which the owner hears about.
    ASSERT_EQ(grid.selectedItems().size(), 1);
    EXPECT_EQ(grid.selectedItems()[0], grid.item(0));
    EXPECT_GE(changes.count(), 1);

    // A flag set without a rescan changes nothing; the rescan applies it.
    grid.SetF_tga(true);
    EXPECT_EQ(grid.count(), 5);
    grid.RefreshImages();
    EXPECT_EQ(grid.count(), 6);
    EXPECT_EQ(grid.item(1)->text(), "b.tga");
}

TEST_F(GridTest, MissingFolderKeepsTheListing) {
    Touch("a.bmp");
    grid.SetFPath(Folder());
    ASSERT_EQ(grid.count(), 1);
    grid.SetFPath(Folder() + "gone/");
    EXPECT_EQ(grid.count(), 1);
    EXPECT_EQ(grid.GetbmplistCount(), 9);
}

TEST_F(GridTest, ThumbnailsOnDemandRecordSizeOrFailure) {
    Picture("wide.bmp", 160, 120, {255, 0, 0});
    Touch("broken.bmp");
    grid.SetFPath(Folder());
    ASSERT_EQ(Captions(), (QStringList{"broken.bmp", "wide.bmp"}));
    const GridItem wide = grid.item(1);
    grid.OnGetImageIndex(wide);
    EXPECT_EQ(TImagesListView::ImageIndex(wide), 9);
    EXPECT_EQ(TImagesListView::ItemSizeText(wide), "160X120");
    EXPECT_EQ(grid.GetbmplistCount(), 10);
    EXPECT_EQ(grid.imageList()->at(9).toImage().pixelColor(40, 30), QColor(255, 0, 0));
    grid.OnGetImageIndex(grid.item(0));
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(0)), kImageFailed);
    EXPECT_EQ(grid.SizeText, "");
    // A failed item is not tried again, a made one not made twice.
    grid.OnGetImageIndex(grid.item(0));
    grid.OnGetImageIndex(wide);
    EXPECT_EQ(grid.GetbmplistCount(), 10);

    // Replacing an image of the list.
    Picture("green.bmp", 40, 30, {0, 255, 0});
    EXPECT_TRUE(grid.ChangeImageIndexImage(9, QString::fromStdString(dir.file("green.bmp"))));
    EXPECT_EQ(grid.imageList()->at(9).toImage().pixelColor(40, 30), QColor(0, 255, 0));
    EXPECT_FALSE(grid.ChangeImageIndexImage(10, QString::fromStdString(dir.file("green.bmp"))));
    EXPECT_FALSE(grid.ChangeImageIndexImage(-1, QString::fromStdString(dir.file("green.bmp"))));
    EXPECT_FALSE(grid.ChangeImageIndexImage(9, QString::fromStdString(dir.file("broken.bmp"))));
    EXPECT_EQ(grid.imageList()->at(9).toImage().pixelColor(40, 30), QColor(0, 255, 0));
}

TEST_F(GridTest, WorkersMakeTheThumbnailsOfPaintedItems) {
    for (int i = 0; i < 12; ++i)
        Picture("p" + std::to_string(10 + i) + ".bmp", 64 + i, 48);
    Touch("zz-broken.bmp");
    grid.SetBackgroundThumbnails(true);
    grid.resize(600, 400);
    grid.show();
    grid.SetFPath(Folder());
    ASSERT_EQ(grid.count(), 13);
    grid.repaint();
    const auto allDone = [&] {
        for (int i = 0; i < grid.count(); ++i)
            if (TImagesListView::ImageIndex(grid.item(i)) == kImageNotMade)
                return false;
        return true;
    };
    ASSERT_TRUE(test::ProcessEventsUntil([&] {
        grid.viewport()->update();
        return allDone();
    }));
    EXPECT_EQ(grid.GetbmplistCount(), 9 + 12);
    EXPECT_EQ(TImagesListView::ItemSizeText(grid.item(0)), "64X48");
    EXPECT_EQ(TImagesListView::ItemSizeText(grid.item(11)), "75X48");
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(12)), kImageFailed);

    // A rescan discards the thumbnails and starts again.
    grid.RefreshImages();
    EXPECT_EQ(grid.GetbmplistCount(), 9);
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(0)), kImageNotMade);
    ASSERT_TRUE(test::ProcessEventsUntil([&] {
        grid.viewport()->update();
        return allDone();
    }));
    EXPECT_EQ(grid.GetbmplistCount(), 9 + 12);
}

// Every item's rectangle holds the 80 x 60 picture above its whole caption.
void ExpectFullItems(const TImagesListView& grid, const char* when) {
    const QFontMetrics metrics(grid.font());
    for (int i = 0; i < grid.count(); ++i) {
        const GridItem it = grid.item(i);
        const QRect r = grid.visualItemRect(it);
        ASSERT_GE(r.width(), std::max(kThumbCellWidth, metrics.horizontalAdvance(it->text())))
            << when << " " << it->text().toStdString() << " of " << grid.count();
        ASSERT_GE(r.height(), kThumbCellHeight + metrics.height())
            << when << " " << it->text().toStdString() << " of " << grid.count();
    }
}

TEST_F(GridTest, ItemsHoldPictureAndCaptionBeforeAndAfterTheirThumbnails) {
    grid.SetBackgroundThumbnails(true);
    grid.resize(600, 400);
    grid.show();
    int made = 0;
    for (const int files : {1, 2, 4, 300}) {
        test::TempDir folder;
        for (int i = 0; i < files; ++i) {
            Bitmap b(i == 0 ? 64 : 8, i == 0 ? 48 : 6, PixelFormat::Bpp24);
            SaveBmpFile(b, folder.file("p" + std::to_string(1000 + i) + ".bmp"));
        }
        grid.SetFPath(QString::fromStdString(folder.path() + "/"));
        ASSERT_EQ(grid.count(), files);
        ExpectFullItems(grid, "before");
        ASSERT_TRUE(test::ProcessEventsUntil([&] {
            grid.viewport()->update();
            return TImagesListView::ImageIndex(grid.item(0)) >= 0 && grid.PendingThumbnails() == 0;
        }));
        made += 1;
        ExpectFullItems(grid, "after");
    }
    EXPECT_EQ(made, 4);
}

TEST_F(GridTest, ItemOfAFileThatCannotBeOpenedIsRemoved) {
    Picture("a.bmp", 20, 20);
    Picture("b.bmp", 20, 20);
    Picture("c.bmp", 20, 20);
    // The readers that report an unopenable file (JPEG, TIFF, ...) do so with OpenError.
    grid.SetThumbnailLoader([](const std::string& path, int kind, Bitmap& thumb, std::string& size) {
        if (!std::filesystem::exists(path))
            throw OpenError("cannot open " + path);
        return LoadMicroImageFromFile(path, kind, thumb, size);
    });
    grid.SetFPath(Folder());
    ASSERT_EQ(grid.count(), 3);
    std::filesystem::remove(dir.file("a.bmp"));
    std::filesystem::remove(dir.file("c.bmp"));
    grid.OnGetImageIndex(grid.item(0));
    EXPECT_EQ(Captions(), (QStringList{"b.bmp", "c.bmp"}));

    // The same through the workers.
    grid.SetBackgroundThumbnails(true);
    grid.RequestThumbnail(grid.item(1));
    grid.RequestThumbnail(grid.item(0));
    ASSERT_TRUE(test::ProcessEventsUntil([&] {
        return grid.count() == 1 && TImagesListView::ImageIndex(grid.item(0)) != kImageNotMade;
    }));
    EXPECT_EQ(Captions(), (QStringList{"b.bmp"}));
    EXPECT_EQ(TImagesListView::ItemSizeText(grid.item(0)), "20X20");
}

// Running out of memory (or any error but a file that cannot be opened) fails the thumbnail
// and keeps the item, on the user-interface thread as on the workers.
TEST_F(GridTest, ThumbnailThatRunsOutOfMemoryKeepsItsItem) {
    Picture("a.bmp", 20, 20);
    Picture("b.bmp", 20, 20);
    grid.SetThumbnailLoader([](const std::string&, int, Bitmap&, std::string&) -> bool { throw std::bad_alloc(); });
    grid.SetFPath(Folder());
    grid.OnGetImageIndex(grid.item(0));
    EXPECT_EQ(Captions(), (QStringList{"a.bmp", "b.bmp"}));
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(0)), kImageFailed);

    grid.SetBackgroundThumbnails(true);
    grid.RequestThumbnail(grid.item(1));
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return TImagesListView::ImageIndex(grid.item(1)) != kImageNotMade; }));
    EXPECT_EQ(Captions(), (QStringList{"a.bmp", "b.bmp"}));
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(1)), kImageFailed);
}

// A folder filled while the grid scans it, then half emptied while the workers make the
// thumbnails: no crash, no item for a vanished file once refreshed, every remaining file
// gets its thumbnail, and nothing is left in the folder but the pictures.
TEST_F(GridTest, FolderChangingUnderTheScanAndTheWorkers) {
    Picture("seed.bmp", 40, 30);
    const std::string seedJpg = dir.file("seed.jpg");
    ASSERT_EQ(test::Run("convert " + test::Quote(dir.file("seed.bmp")) + " " + test::Quote(seedJpg)).exitCode, 0);
    const std::vector<std::uint8_t> bmp = test::ReadBytes(dir.file("seed.bmp"));
    const std::vector<std::uint8_t> jpg = test::ReadBytes(seedJpg);
    std::filesystem::remove(dir.file("seed.bmp"));
    std::filesystem::remove(seedJpg);
    const auto name = [](int i) { return "f" + std::to_string(1000 + i) + (i % 2 ? ".jpg" : ".bmp"); };

    grid.SetBackgroundThumbnails(true);
    std::atomic<bool> filled{false};
    std::thread filler([&] {
        for (int i = 0; i < 200; ++i)
            test::WriteBytes(dir.file(name(i)), i % 2 ? jpg : bmp);
        filled = true;
    });
    grid.SetFPath(Folder());
    while (!filled.load()) {
        grid.RefreshImages();
        for (int i = 0; i < grid.count(); ++i)
            grid.RequestThumbnail(grid.item(i));
        QCoreApplication::processEvents();
    }
    filler.join();
    grid.RefreshImages();
    ASSERT_EQ(grid.count(), 200);
    for (int i = 0; i < grid.count(); ++i)
        grid.RequestThumbnail(grid.item(i));
    std::thread remover([&] {
        for (int i = 0; i < 200; i += 2)
            std::filesystem::remove(dir.file(name(i + i / 2 % 2)));  // a mix of both kinds
    });
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return grid.PendingThumbnails() == 0; }));
    remover.join();
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return grid.PendingThumbnails() == 0; }));

    grid.RefreshImages();
    QStringList expected;
    for (int i = 0; i < 200; ++i)
        if (std::filesystem::exists(dir.file(name(i))))
            expected << QString::fromStdString(name(i));
    EXPECT_EQ(expected.size(), 100);
    EXPECT_EQ(Captions(), expected);
    for (int i = 0; i < grid.count(); ++i)
        grid.RequestThumbnail(grid.item(i));
    ASSERT_TRUE(test::ProcessEventsUntil([&] {
        for (int i = 0; i < grid.count(); ++i)
            if (TImagesListView::ImageIndex(grid.item(i)) == kImageNotMade)
                return false;
        return true;
    }));
    for (int i = 0; i < grid.count(); ++i)
        EXPECT_GE(TImagesListView::ImageIndex(grid.item(i)), 9) << grid.item(i)->text().toStdString();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 100) << "stray files";
}

// Sparse 8 GiB files named as pictures fail as thumbnails at once, on either path; their
// items stay, as for any undecodable picture.
TEST_F(GridTest, HugeFilesGiveFailedThumbnailsAndKeepTheirItems) {
    test::MakeSparseFile(dir.file("huge.bmp"), test::kEightGiB);
    test::MakeSparseFile(dir.file("huge.jpg"), test::kEightGiB);
    Picture("small.bmp", 20, 20);
    grid.SetFPath(Folder());
    ASSERT_EQ(Captions(), (QStringList{"huge.bmp", "huge.jpg", "small.bmp"}));
    grid.OnGetImageIndex(grid.item(0));
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(0)), kImageFailed);
    grid.SetBackgroundThumbnails(true);
    grid.RequestThumbnail(grid.item(1));
    grid.RequestThumbnail(grid.item(2));
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return grid.PendingThumbnails() == 0; }, 5000));
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return TImagesListView::ImageIndex(grid.item(2)) != kImageNotMade; }));
    EXPECT_EQ(Captions(), (QStringList{"huge.bmp", "huge.jpg", "small.bmp"}));
    EXPECT_EQ(TImagesListView::ImageIndex(grid.item(1)), kImageFailed);
    EXPECT_GE(TImagesListView::ImageIndex(grid.item(2)), 9);
}

// A handle follows its item while items before it come and go, keeping what was set on it
// (a caption as typed, a size text), and is false once its item is gone.
TEST_F(GridTest, ItemHandlesFollowTheirItems) {
    Touch("a.jpg");
    Picture("c.bmp", 4, 3);
    grid.SetFPath(Folder());
    const GridItem a = grid.item(0);
    const GridItem c = grid.item(1);
    grid.OnGetImageIndex(c);
    grid.OnEditing(c);
    QString typed = "Zed";
    grid.OnEdited(c, typed);
    EXPECT_EQ(grid.AddFileItem("0.JPG")->text(), "0.jpg");
    EXPECT_EQ(Captions(), (QStringList{"0.jpg", "a.jpg", "Zed.bmp"}));
    grid.RemoveItem(a.row());
    EXPECT_FALSE(a);
    EXPECT_EQ(grid.row(a), -1);
    EXPECT_EQ(grid.row(c), 1);
    EXPECT_EQ(c->text(), "Zed.bmp");
    EXPECT_EQ(grid.FilePath(c), Folder() + "Zed.bmp");
    EXPECT_EQ(TImagesListView::ItemSizeText(c), "4X3");
    EXPECT_EQ(TImagesListView::RealName(grid.item(0)), "0.JPG");
}

class RenameTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        Touch("a.jpg");
        Touch("b.jpg");
        grid.SetFPath(Folder());
        item = grid.item(0);
        ASSERT_EQ(item->text(), "a.jpg");
    }
    QString Rename(const QString& typed) {
        grid.OnEditing(item);
        QString text = typed;
        grid.OnEdited(item, text);
        return text;
    }
    GridItem item;
};

TEST_F(RenameTest, TypedNameGetsTheFilesExtension) {
    EXPECT_EQ(Rename("holiday"), "holiday.jpg");
    EXPECT_TRUE(std::filesystem::exists(dir.file("holiday.jpg")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.jpg")));
    EXPECT_EQ(item->text(), "holiday.jpg");
    EXPECT_EQ(TImagesListView::RealName(item), "holiday.jpg");
    EXPECT_EQ(Rename("Summer.png"), "Summer.jpg");
    EXPECT_TRUE(std::filesystem::exists(dir.file("Summer.jpg")));
    EXPECT_EQ(item->text(), "Summer.jpg");  // as typed, not lower-cased
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(RenameTest, ExistingNameIsRefusedAndTheCaptionStays) {
    EXPECT_EQ(Rename("b"), "a.jpg");
    ASSERT_EQ(prompts.texts(), (std::vector<std::string>{"Can not rename !"}));
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::Ok);
    EXPECT_TRUE(std::filesystem::exists(dir.file("a.jpg")));
    EXPECT_EQ(test::ReadBytes(dir.file("b.jpg")), std::vector<std::uint8_t>{'x'});
    EXPECT_EQ(item->text(), "a.jpg");
}

TEST_F(RenameTest, NameWithSlashNeverMovesTheFileOutOfItsFolder) {
    std::filesystem::create_directory(dir.file("Sub"));
    for (const QString& typed : {QString("../x"), QString("Sub/x")}) {
        EXPECT_EQ(Rename(typed), "a.jpg") << typed.toStdString();
        EXPECT_TRUE(std::filesystem::exists(dir.file("a.jpg")));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("../x.jpg")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Sub/x.jpg")));
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{"Can not rename !", "Can not rename !"}));
    EXPECT_EQ(item->text(), "a.jpg");
}

TEST_F(RenameTest, EmptyCaptionGivesTheBareExtension) {
    EXPECT_EQ(Rename(""), ".jpg");
    EXPECT_TRUE(std::filesystem::exists(dir.file(".jpg")));
}

TEST_F(RenameTest, InPlaceEditorRenamesThroughTheGrid) {
    grid.show();
    grid.editItem(item);
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(grid.PreEditCaption, "a.jpg");
    editor->setText("trip.gif");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(item->text(), "trip.jpg");
    EXPECT_TRUE(std::filesystem::exists(dir.file("trip.jpg")));
}

// The folder listed on a worker thread: the grid stays as it is until the listing arrives,
// then fills in one step with the effects of a synchronous scan.
class BackgroundListingTest : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        grid.SetBackgroundListing(true);
    }
    void Many(const test::TempDir& where, const char* stem, int count) {
        for (int i = 0; i < count; ++i)
            test::WriteBytes(where.file(stem + std::to_string(count - i) + ".jpg"), {'x'});
    }
    void UntilListed() {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !grid.ListingPending(); }, 20000));
        QCoreApplication::processEvents();  // a stale result still queued must change nothing
    }
};

TEST_F(BackgroundListingTest, FillsInOneStepWithTheEffectsOfAScanAndKeepsItemsOfAnUnreadableFolder) {
    Touch("B.jpg");
    Touch("a.bmp");
    Touch("clip.avi");
    Picture("c.bmp", 4, 3);
    grid.SetFPath(Folder());
    EXPECT_TRUE(grid.ListingPending());
    EXPECT_EQ(grid.count(), 0);  // nothing before the listing arrives
    EXPECT_EQ(grid.GetbmplistCount(), -1);
    QSignalSpy changes(&grid, &TImagesListView::Change);
    UntilListed();
    EXPECT_EQ(Captions(), (QStringList{"a.bmp", "b.jpg", "c.bmp", "clip.avi"}));
    EXPECT_EQ(grid.GetbmplistCount(), 9);
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_TRUE(grid.item(0)->isSelected());
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.first().at(0).value<GridItem>(), grid.item(0));
    EXPECT_EQ(grid.ItemsPath(), Folder());
    EXPECT_EQ(grid.FilePath(grid.item(1)), Folder() + "B.jpg");
    grid.OnGetImageIndex(grid.item(2));
    EXPECT_EQ(grid.GetbmplistCount(), 10);
    EXPECT_EQ(grid.SizeText, "4X3");

    // A folder that cannot be read leaves the items and the folder they came from.
    grid.SetFPath(Folder() + "gone/");
    UntilListed();
    EXPECT_EQ(grid.count(), 4);
    EXPECT_EQ(grid.ItemsPath(), Folder());
    EXPECT_EQ(grid.Path(), Folder() + "gone/");
}

TEST_F(BackgroundListingTest, ANewerScanSupersedesOneStillRunning) {
    test::TempDir big;
    Many(big, "big", 10000);
    Touch("small.jpg");
    const QString bigFolder = QString::fromStdString(big.path() + "/");
    for (int round = 0; round < 3; ++round) {
        grid.SetFPath(bigFolder);
        // Let the worker start on the big folder before it is superseded.
        std::this_thread::sleep_for(std::chrono::milliseconds(round * 20));
        grid.SetFPath(Folder());
        UntilListed();
        EXPECT_EQ(Captions(), QStringList{"small.jpg"}) << "round " << round;
    }
    // Superseded by a synchronous scan too.
    grid.SetFPath(bigFolder);
    grid.SetBackgroundListing(false);
    grid.SetFPath(Folder());
    grid.SetBackgroundListing(true);
    UntilListed();
    EXPECT_EQ(Captions(), QStringList{"small.jpg"});
}

TEST_F(BackgroundListingTest, ARenameWhileTheFolderIsListedAgainIsKeptInTheNewItems) {
    Many(dir, "photo", 10000);
    grid.SetBackgroundListing(false);
    grid.SetFPath(Folder());
    ASSERT_EQ(grid.count(), 10000);
    grid.SetBackgroundListing(true);
    grid.RefreshImages();
    ASSERT_TRUE(grid.ListingPending());
    // The user selects and renames an item of the items shown while the listing runs.
    const GridItem item = grid.item(5);
    grid.clearSelection();
    grid.setCurrentItem(item);
    const QString old = TImagesListView::RealName(item);
    grid.OnEditing(item);
    QString text = "renamed";
    grid.OnEdited(item, text);
    EXPECT_EQ(text, "renamed.jpg");
    EXPECT_TRUE(std::filesystem::exists(dir.file("renamed.jpg")));
    UntilListed();
    // The listing's result replaced the items, with the new name and without the old one.
    const QStringList captions = Captions();
    EXPECT_EQ(captions.size(), 10000);
    EXPECT_TRUE(captions.contains("renamed.jpg"));
    EXPECT_FALSE(captions.contains(old));
    EXPECT_EQ(grid.currentRow(), 0);
    EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace vs
