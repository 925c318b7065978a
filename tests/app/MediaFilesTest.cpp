// The media view over the real player, with clips made at test time: no display, no sound card.

#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "platform/testing/FakePlatform.h"
#include "support/MediaClips.h"
#include "support/QtTestSupport.h"

#include <QAction>
#include <QLabel>
#include <QSlider>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

namespace vs {
namespace {

TEST(MediaFiles, EachClipReportsItsDurationToTheTrackBar) {
    test::TempHome home;
    const std::string library = home.file("bin/Photo Folder/");
    std::filesystem::create_directories(library);
    struct Case {
        test::MediaClip clip;
        int maximum;  // -1: approximate, only known to be positive
        bool audio;
    };
    const Case cases[] = {{test::MakeAviClip(library), 2, false},
                          {test::MakeMpegClip(library), -1, false},
                          {test::MakeMp3Clip(library), 1, true},
                          {test::MakeWaveClip(library), 1, true}};
    fake::FakePrompts prompts;
    fake::FakeWallpaper wallpaper;
    MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
    env.wallpaper = &wallpaper;
    TMainForm form(prompts, env);
    form.show();
    form.Ui().SeeBox->resize(320, 262);
    int made = 0;
    for (const Case& c : cases) {
        if (!c.clip) {
            std::cout << "clip not made: " << c.clip.why << "\n";
            continue;
        }
        ++made;
        const QString name = QString::fromStdString(std::filesystem::path(c.clip.path).filename().string());
        SCOPED_TRACE(name.toStdString());
        const auto found = form.Ui().ImagesListView1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        form.Ui().ImagesListView1->setCurrentItem(found[0], QItemSelectionModel::ClearAndSelect);
        QSlider& bar = *form.Ui().TrackBar1;
        // A bare MP3 stream tells its length only once it plays; the track bar follows.
        ASSERT_TRUE(test::ProcessEventsUntil([&] { return bar.isEnabled() && bar.maximum() > 0; }, 10000));
        if (c.maximum >= 0) {
            EXPECT_EQ(bar.maximum(), c.maximum);
        }
        EXPECT_TRUE(form.Ui().Timer3->isActive());
        EXPECT_GT(form.MediaDuration, 0.0);
        EXPECT_EQ(form.Ui().AudioIcon->isVisibleTo(form.Ui().AviPanel), c.audio);
        if (!c.audio) {
            // The video's own size arrives with its first frames: 160 x 120 fills 320 wide.
            EXPECT_TRUE(test::ProcessEventsUntil(
                [&] { return form.Ui().PlayPanel->geometry() == QRect(0, 11, 320, 240); }, 10000));
            EXPECT_EQ(form.VideoWidth(), 160);
        }
        form.Action("MediaStop")->trigger();
    }
    if (made == 0)
        GTEST_SKIP() << "no clip could be made here";
}

}  // namespace
}  // namespace vs
