// The album in the main window: the page strip, page commands, auto-play, recording and
// playing the album's sound, with the fake recorder and player.

#include "app/PictureView.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "controls/TXFListBox.h"
#include "formats/XfAlbum.h"
#include "graphics/BmpFile.h"
#include "platform/Wave.h"
#include "platform/testing/FakePlatform.h"
#include "support/AlbumFiles.h"
#include "support/QtTestSupport.h"
#include "viewer/FileKinds.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

namespace fs = std::filesystem;

QColor PageColour(int i) {
    return QColor(40 + i * 60, 200 - i * 50, 30 + i * 20);
}

class AlbumWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        photos = home.file("bin") + "/Photo Folder/";
        fs::create_directories(photos);
        SaveBmpFile(Bitmap(10, 10, PixelFormat::Bpp24), photos + "a.bmp");
        Album("one.xf", 1, false);
        Album("three.xf", 3, true);
        Album("two.mig", 2, false);
        recorder.samples = {11, 22, 33, 44, 55, 66, 77};
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        env.recorder = &recorder;
        env.soundPlayer = &player;
        form = std::make_unique<TMainForm>(prompts, env);
        form->resize(900, 700);
        form->show();
    }
    // Pages of 60 x 40 in their own colours; odd pages stored with pixel code 7.
    void Album(const std::string& name, int pages, bool sound) {
        std::vector<test::AlbumPage> p;
        for (int i = 0; i < pages; ++i) {
            const QColor c = PageColour(i);
            p.push_back(test::SolidPage(60, 40, static_cast<std::uint8_t>(c.red()),
                                        static_cast<std::uint8_t>(c.green()), static_cast<std::uint8_t>(c.blue()),
                                        i % 2 ? 7 : 6));
        }
        test::WriteBytes(photos + name, test::AlbumBytes(p, sound ? std::optional(test::WaveOf(40)) : std::nullopt));
    }
    void Show(const QString& caption) {
        TImagesListView* grid = form->Ui().ImagesListView1;
        const auto found = grid->findItems(caption, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << caption.toStdString();
        grid->setCurrentItem(found.first(), QItemSelectionModel::ClearAndSelect);
    }
    TXfAlbum& Album() {
        TXfAlbum* album = form->CurrentAlbum();
        EXPECT_NE(album, nullptr);
        return *album;
    }
    QAction* Act(const char* name) { return form->Action(QString::fromLatin1(name)); }
    // The colour in the middle of the displayed picture.
    QColor Shown() {
        const QImage image = form->Ui().Image1->Picture();
        return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
    }
    bool Playing() const { return form->Ui().XfautoPlayTimer->isActive(); }
    // The page each auto-play tick shows, and whether Prev Page was enabled with it.
    void Ticks(int n, std::vector<int>& pages, std::vector<bool>& prevEnabled) {
        for (int i = 0; i < n; ++i) {
            form->XfautoPlayTimerTimer();
            pages.push_back(Album().CurrentPage);
            prevEnabled.push_back(Act("PrevPage")->isEnabled());
            EXPECT_EQ(Shown(), PageColour(Album().CurrentPage));
        }
    }

    test::TempHome home;
    std::string photos;
    fake::FakePrompts prompts;
    fake::FakeWaveRecorder recorder;
    fake::FakeSoundPlayer player;
    std::unique_ptr<TMainForm> form;
};

TEST_F(AlbumWindowTest, AnAlbumShowsItsStripAndToolBarAndOtherFilesHideThem) {
    Show("three.xf");
    const MainFormUi& ui = form->Ui();
    EXPECT_TRUE(ui.XFListBox1->isVisible());
    EXPECT_TRUE(ui.XfToolBar->isVisible());
    EXPECT_EQ(ui.XFListBox1->width(), 136);
    EXPECT_EQ(ui.XFListBox1->visualItemRect(ui.XFListBox1->item(0)).height(), 85);
    EXPECT_EQ(ui.XFListBox1->count(), 3);
    ASSERT_NE(ui.PlayToolButton, nullptr);
    EXPECT_EQ(ui.PlayToolButton->objectName(), "PlayToolButton");
    EXPECT_EQ(ui.PlayToolButton->defaultAction(), Act("PlayAudio"));
    EXPECT_TRUE(ui.PlayToolButton->isEnabled());
    EXPECT_FALSE(Act("PrevPage")->isEnabled());
    EXPECT_TRUE(Act("NextPage")->isEnabled());
    EXPECT_TRUE(Act("XfAutoPlay")->isEnabled());
    EXPECT_EQ(Album().CurrentPage, 0);
    EXPECT_EQ(Shown(), PageColour(0));
    // The strip draws its pages' thumbnails.
    ui.XFListBox1->grab();
    ASSERT_NE(ui.XFListBox1->PageThumbnail(2), nullptr);

    Show("one.xf");
    EXPECT_FALSE(ui.PlayToolButton->isEnabled());
    EXPECT_FALSE(Act("NextPage")->isEnabled());
    EXPECT_FALSE(Act("XfAutoPlay")->isEnabled());
    // Started anyway, auto-play ends at its first tick.
    form->XfAutoPlayExecute();
    EXPECT_TRUE(Playing());
    EXPECT_TRUE(Act("XfAutoPlay")->isChecked());
    form->XfautoPlayTimerTimer();
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(Act("XfAutoPlay")->isChecked());
    EXPECT_EQ(Album().CurrentPage, 0);

    Show("a.bmp");
    EXPECT_FALSE(ui.XFListBox1->isVisible());
    EXPECT_FALSE(ui.XfToolBar->isVisible());
    EXPECT_EQ(form->CurrentAlbum(), nullptr);
    EXPECT_NE(ui.XFListBox1->Album(), nullptr);  // hidden, not freed
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AlbumWindowTest, AutoPlayLoopsThroughThePagesWithoutMovingTheFrame) {
    Show("three.xf");
    form->XfAutoPlayExecute();
    ASSERT_TRUE(Playing());
    EXPECT_TRUE(form->AutoPlayReady);
    form->Ui().SeePanel->move(3, 4);
    std::vector<int> pages;
    std::vector<bool> prev;
    Ticks(5, pages, prev);
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 0, 1, 2}));
    EXPECT_EQ(prev, (std::vector<bool>{true, true, false, true, true}));
    EXPECT_FALSE(Act("NextPage")->isEnabled());  // on the last page
    EXPECT_EQ(form->Ui().SeePanel->pos(), QPoint(3, 4));
    EXPECT_TRUE(Playing());

    // The real timer drives the same ticks.
    const int before = Album().CurrentPage;
    EXPECT_TRUE(test::ProcessEventsUntil([&] { return Album().CurrentPage != before; }, 5000));
    // A tick that finds the previous one still at work ends auto-play.
    form->AutoPlayReady = false;
    form->XfautoPlayTimerTimer();
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(Act("XfAutoPlay")->isChecked());

    Show("two.mig");
    form->XfAutoPlayExecute();
    pages.clear();
    prev.clear();
    Ticks(4, pages, prev);
    EXPECT_EQ(pages, (std::vector<int>{1, 0, 1, 0}));
    // Another file stops it: no album page may land on the picture shown next.
    Show("a.bmp");
    EXPECT_FALSE(Playing());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(AlbumWindowTest, PageCommandsMoveOnePageAndSwitchAutoPlayOff) {
    Show("three.xf");
    form->XfAutoPlayExecute();
    form->NextPageExecute();
    EXPECT_FALSE(Playing());
    EXPECT_FALSE(Act("XfAutoPlay")->isChecked());
    EXPECT_EQ(Album().CurrentPage, 1);
    EXPECT_EQ(Shown(), PageColour(1));
    EXPECT_TRUE(Act("PrevPage")->isEnabled());
    EXPECT_TRUE(Act("NextPage")->isEnabled());
    Act("NextPage")->trigger();
    EXPECT_EQ(Album().CurrentPage, 2);
    EXPECT_FALSE(Act("NextPage")->isEnabled());
    form->NextPageExecute();  // nothing beyond the last page
    EXPECT_EQ(Album().CurrentPage, 2);
    form->PrevPageExecute();
    form->PrevPageExecute();
    EXPECT_EQ(Album().CurrentPage, 0);
    EXPECT_FALSE(Act("PrevPage")->isEnabled());
    EXPECT_TRUE(Act("NextPage")->isEnabled());
    EXPECT_EQ(Shown(), PageColour(0));
    EXPECT_TRUE(prompts.messages.empty());

    // A page that cannot be fetched says why and keeps the page shown.
    fs::remove_all(Album().TempFolder);
    form->NextPageExecute();
    ASSERT_EQ(prompts.texts(), std::vector<std::string>{Album().TempFolder});
    EXPECT_EQ(Album().CurrentPage, 0);
    EXPECT_EQ(Shown(), PageColour(0));
}

TEST_F(AlbumWindowTest, ClickingAThumbnailShowsItsPageUnlessItIsShownAlready) {
    Show("three.xf");
    TXFListBox* strip = form->Ui().XFListBox1;
    form->XfAutoPlayExecute();
    form->Ui().SeePanel->move(7, 7);
    const auto click = [&](int row) {
        QTest::mouseClick(strip->viewport(), Qt::LeftButton, {}, strip->visualItemRect(strip->item(row)).center());
    };
    click(0);
    EXPECT_EQ(Album().CurrentPage, 0);
    EXPECT_EQ(form->Ui().SeePanel->pos(), QPoint(7, 7));  // nothing fetched, nothing laid out
    click(2);
    EXPECT_EQ(Album().CurrentPage, 2);
    EXPECT_EQ(Shown(), PageColour(2));
    EXPECT_NE(form->Ui().SeePanel->pos(), QPoint(7, 7));
    EXPECT_TRUE(Act("PrevPage")->isEnabled());
    EXPECT_FALSE(Act("NextPage")->isEnabled());
    EXPECT_TRUE(Playing());  // a click leaves auto-play on
    // Back to the selected item after Prev Page: the click still counts.
    form->PrevPageExecute();
    click(2);
    EXPECT_EQ(Album().CurrentPage, 2);
}

TEST_F(AlbumWindowTest, CancelOnTheRecordQuestionChangesNothing) {
    Show("two.mig");
    const auto before = test::ReadBytes(photos + "two.mig");
    prompts.answers = {Answer::Cancel};
    Act("RecordAudio")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Record Sound ?");
    EXPECT_EQ(prompts.messages[0].caption, "Record Sound");
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(prompts.messages[0].icon, Icon::Question);
    EXPECT_FALSE(Act("RecordAudio")->isChecked());
    EXPECT_TRUE(recorder.calls.empty());
    EXPECT_FALSE(Album().Recording);
    EXPECT_EQ(test::ReadBytes(photos + "two.mig"), before);

    // Without an input device nothing records and nothing is checked.
    recorder.failStep = "open";
    Act("RecordAudio")->trigger();
    EXPECT_FALSE(Act("RecordAudio")->isChecked());
    EXPECT_FALSE(Album().Recording);
    EXPECT_EQ(test::ReadBytes(photos + "two.mig"), before);
}

TEST_F(AlbumWindowTest, RecordThenCtrlPRewritesTheAlbumAndPlaysIt) {
    Show("two.mig");
    ASSERT_FALSE(form->Ui().PlayToolButton->isEnabled());
    Act("RecordAudio")->trigger();
    EXPECT_TRUE(Act("RecordAudio")->isChecked());
    EXPECT_TRUE(Album().Recording);
    EXPECT_EQ(recorder.calls, (std::vector<std::string>{"open " + Album().RecordFile, "start"}));
    QTest::keyClick(form->Ui().SeeBox, Qt::Key_P, Qt::ControlModifier);
    EXPECT_FALSE(Album().Recording);
    EXPECT_FALSE(Act("RecordAudio")->isChecked());
    EXPECT_EQ(prompts.messages.size(), 1u);  // stopping never asks
    const auto wave = EncodeWavePcm(recorder.samples, 22050, 1, 8);
    EXPECT_EQ(player.played, std::vector<std::string>{Album().SoundFile});
    EXPECT_TRUE(form->Ui().PlayToolButton->isEnabled());
    // The album's bytes now carry the new sound, every page rewritten with code 6.
    XfAlbumReader reader(photos + "two.mig");
    ASSERT_EQ(reader.pageCount, 2);
    reader.skipPixels(reader.nextPage());
    const XfPageHeader second = reader.nextPage();
    EXPECT_EQ(second.code, 6);
    reader.skipPixels(second);
    ASSERT_EQ(reader.readSoundHeader(), std::optional<std::uint32_t>(wave.size()));
    std::vector<std::uint8_t> sound(wave.size());
    reader.file().read(sound);
    EXPECT_EQ(sound, wave);
}

TEST_F(AlbumWindowTest, AFailedRebuildFallsBackToReplacingTheSound) {
    Show("two.mig");
    Act("RecordAudio")->trigger();
    // Without the page cache the album cannot be rebuilt; its pages are copied as they are.
    fs::remove_all(Album().TempFolder);
    Act("RecordAudio")->trigger();
    EXPECT_FALSE(Act("RecordAudio")->isChecked());
    EXPECT_TRUE(form->Ui().PlayToolButton->isEnabled());
    XfAlbumReader reader(photos + "two.mig");
    reader.skipPixels(reader.nextPage());
    const XfPageHeader second = reader.nextPage();
    EXPECT_EQ(second.code, 7);
    reader.skipPixels(second);
    EXPECT_EQ(reader.readSoundHeader(),
              std::optional<std::uint32_t>(EncodeWavePcm(recorder.samples, 22050, 1, 8).size()));
}

TEST_F(AlbumWindowTest, LeavingAnAlbumWhileRecordingSavesIntoThatAlbum) {
    Show("two.mig");
    Act("RecordAudio")->trigger();
    Show("three.xf");
    EXPECT_FALSE(Act("RecordAudio")->isChecked());
    EXPECT_FALSE(Album().Recording);
    XfAlbumReader two(photos + "two.mig");
    for (int i = 0; i < 2; ++i)
        two.skipPixels(two.nextPage());
    EXPECT_EQ(two.readSoundHeader(), std::optional<std::uint32_t>(EncodeWavePcm(recorder.samples, 22050, 1, 8).size()));
    // three.xf keeps its own sound.
    TXfAlbum three;
    ASSERT_TRUE(three.OpenForPreview(photos + "three.xf"));
    EXPECT_EQ(test::ReadBytes(three.SoundFile), test::WaveOf(40));
    // Ctrl+P plays the shown album's sound.
    form->PlayAudioExecute();
    EXPECT_EQ(player.played, std::vector<std::string>{Album().SoundFile});
}

}  // namespace
}  // namespace vs
