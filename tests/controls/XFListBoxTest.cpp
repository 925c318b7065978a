// The album page strip: sizes, items, lazy thumbnails from the page cache, failures.

#include "controls/TXFListBox.h"
#include "formats/XfAlbum.h"
#include "platform/testing/FakePlatform.h"
#include "support/AlbumFiles.h"
#include "support/QtTestSupport.h"

#include <QImage>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <filesystem>

namespace vs {
namespace {

namespace fs = std::filesystem;

// Page i of a test album is 200 x 150 in its own colour, stored alternately with codes 6
// and 7; its thumbnail fills the whole 100 x 75 cell.
QColor PageColour(int i) {
    return QColor(i * 20 % 256, 255 - i * 20 % 256, i * 50 % 256);
}

class StripTest : public ::testing::Test {
protected:
    void SetUp() override { strip.SetPrompts(&prompts); }

    std::string Album(const std::string& name, int pages) {
        std::vector<test::AlbumPage> p;
        for (int i = 0; i < pages; ++i) {
            const QColor c = PageColour(i);
            p.push_back(test::SolidPage(200, 150, static_cast<std::uint8_t>(c.red()),
                                        static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue()),
                                        i % 2 ? 7 : 6));
        }
        test::WriteBytes(dir.file(name), test::AlbumBytes(p, test::WaveOf(20)));
        return dir.file(name);
    }
    // Paints the strip as the screen would and returns the picture.
    QImage Paint() { return strip.grab().toImage(); }
    // The colour in the middle of the item's thumbnail on screen.
    QColor ShownColour(const QImage& shot, int row) {
        const QRect r = strip.visualItemRect(strip.item(row));
        return shot.pixelColor(strip.viewport()->mapTo(&strip, r.topLeft()) + QPoint(5 + 50, 5 + 37));
    }

    test::TempHome home;
    test::TempDir dir;
    fake::FakePrompts prompts;
    TXFListBox strip;
};

TEST_F(StripTest, SizesFollowTheCellAndItemsAreNamedByPage) {
    EXPECT_EQ(strip.objectName(), "XFListBox1");
    EXPECT_EQ(strip.width(), 136);
    EXPECT_EQ(strip.ItemHeight(), 85);
    EXPECT_EQ(strip.GetbmplistCount(), -1);
    EXPECT_EQ(strip.LoadSmallImage(0), 0);

    strip.SetFXFName(QString::fromStdString(Album("three.xf", 3)));
    ASSERT_EQ(strip.count(), 3);
    EXPECT_EQ(strip.item(2)->text(), "2");
    EXPECT_EQ(strip.visualItemRect(strip.item(1)).height(), 85);
    EXPECT_EQ(strip.GetbmplistCount(), 0);  // nothing is made until drawn
    ASSERT_NE(strip.Album(), nullptr);
    EXPECT_EQ(strip.Album()->PageCount, 3);

    strip.SetFunitWidth(120);
    EXPECT_EQ(strip.width(), 156);
    strip.SetFunitHeight(50);
    EXPECT_EQ(strip.visualItemRect(strip.item(0)).height(), 60);
    EXPECT_EQ(strip.GetbmplistCount(), 0);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StripTest, MissingAlbumSaysSoAndKeepsThePreviousOne) {
    strip.SetFXFName(QString::fromStdString(Album("two.mig", 2)));
    TXfAlbum* before = strip.Album();
    strip.SetFXFName(QString::fromStdString(dir.file("gone.mig")));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Can not find Mig Image!");
    EXPECT_EQ(prompts.messages[0].caption, "Waring");
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::Ok);
    EXPECT_EQ(strip.Album(), before);
    EXPECT_EQ(strip.count(), 2);
}

TEST_F(StripTest, ThumbnailsAreMadeAsDrawnEachFromItsOwnPage) {
    strip.resize(strip.width(), 3 * 85 + 2 * strip.frameWidth());
    strip.SetFXFName(QString::fromStdString(Album("long.xf", 12)));
    TXfAlbum& album = *strip.Album();
    QImage shot = Paint();
    const int firstScreen = strip.GetbmplistCount();
    EXPECT_GE(firstScreen, 3);
    EXPECT_LT(firstScreen, 12);
    EXPECT_EQ(album.CurrentPage, -1);
    EXPECT_TRUE(fs::exists(album.TempFolder + "0.frame"));
    EXPECT_FALSE(fs::exists(album.TempFolder + "11.frame"));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(ShownColour(shot, row), PageColour(row)) << row;

    // Straight to the end: the last pages are made next, and each shows its own page.
    strip.scrollToBottom();
    shot = Paint();
    ASSERT_NE(strip.PageThumbnail(11), nullptr);
    EXPECT_EQ(strip.PageThumbnail(5), nullptr);
    for (int row = 9; row < 12; ++row) {
        EXPECT_EQ(ShownColour(shot, row), PageColour(row)) << row;
        EXPECT_EQ(strip.PageThumbnail(row)->toImage().pixelColor(99, 74), PageColour(row)) << row;
    }
    EXPECT_EQ(strip.PageThumbnail(11)->size(), QSize(100, 75));
    EXPECT_EQ(album.CurrentPage, -1);
    // Painting again makes nothing new.
    const int made = strip.GetbmplistCount();
    Paint();
    EXPECT_EQ(strip.GetbmplistCount(), made);

    // The selected item is drawn on the highlight.
    strip.setCurrentRow(11);
    shot = Paint();
    const QRect r = strip.visualItemRect(strip.item(11));
    EXPECT_EQ(shot.pixelColor(strip.viewport()->mapTo(&strip, r.topLeft()) + QPoint(2, 2)),
              strip.palette().color(QPalette::Highlight));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StripTest, APageThatCannotBeFetchedStaysBlankQuietly) {
    strip.SetFXFName(QString::fromStdString(Album("a.xf", 2)));
    fs::remove_all(strip.Album()->TempFolder);
    Paint();
    Paint();
    EXPECT_EQ(strip.GetbmplistCount(), 0);
    EXPECT_EQ(strip.PageThumbnail(0), nullptr);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StripTest, TheStripOwnsItsAlbumsCompanionFiles) {
    const std::string companion = home.file(".cache/vantor-see/");
    {
        TXFListBox own;
        own.SetFXFName(QString::fromStdString(Album("first.xf", 2)));
        const std::string firstSound = own.Album()->SoundFile;
        ASSERT_TRUE(fs::exists(firstSound));
        own.SetFXFName(QString::fromStdString(Album("second.xf", 1)));
        EXPECT_FALSE(fs::exists(firstSound));
        EXPECT_TRUE(fs::exists(own.Album()->SoundFile));
    }
    EXPECT_TRUE(test::FolderEntries(companion + "TQ Images XF TEMP").empty());
    for (const auto& name : test::FolderEntries(companion))
        EXPECT_EQ(name, "TQ Images XF TEMP");
}

}  // namespace
}  // namespace vs
