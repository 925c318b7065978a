#include "platform/qt/QtMediaGraph.h"

#include "support/MediaClips.h"
#include "support/QtTestSupport.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>

namespace vs {
namespace {

using test::MediaClip;

class QtMediaGraphTest : public ::testing::Test {
protected:
    std::unique_ptr<MediaGraph> Open(const std::string& file) {
        auto graph = factory_.CreateGraph();
        EXPECT_TRUE(graph);
        if (graph)
            rendered_ = graph->RenderFile(file);
        return graph;
    }
    // The clip, or a skip of the test with the reason when it cannot be made here.
    static bool Made(const MediaClip& clip) {
        if (!clip)
            std::cout << "clip not made: " << clip.why << "\n";
        return bool(clip);
    }

    test::TempDir dir_;
    QWidget host_;
    QtMediaGraphFactory factory_{&host_};
    bool rendered_ = false;
};

TEST_F(QtMediaGraphTest, RendersEachKindOfClipAndReadsItsDuration) {
    struct Case {
        MediaClip clip;
        double seconds;
        double tolerance;
        bool video;
    };
    // A program stream carries no length: GStreamer estimates it from the bit rate.
    const Case cases[] = {{test::MakeAviClip(dir_.path()), 2.0, 0.1, true},
                          {test::MakeMpegClip(dir_.path()), 2.0, 1.0, true},
                          {test::MakeMp3Clip(dir_.path()), 1.1, 0.1, false},
                          {test::MakeWaveClip(dir_.path()), 1.0, 0.01, false},
                          {test::MakeMidiClip(dir_.path()), 0.5, 0.1, false}};
    int made = 0;
    for (const Case& c : cases) {
        if (!Made(c.clip))
            continue;
        ++made;
        SCOPED_TRACE(c.clip.path);
        auto graph = Open(c.clip.path);
        ASSERT_TRUE(graph);
        EXPECT_TRUE(rendered_);
        // A bare MP3 stream tells its length only once it plays.
        graph->Run();
        ASSERT_TRUE(test::ProcessEventsUntil([&] { return graph->Duration().has_value(); }, 10000));
        EXPECT_NEAR(*graph->Duration(), c.seconds, c.tolerance);
        if (!c.video) {
            EXPECT_FALSE(graph->HasVideo());
            EXPECT_FALSE(graph->NativeVideoSize().has_value());
        }
    }
    if (made == 0)
        GTEST_SKIP() << "no clip could be made here";
}

TEST_F(QtMediaGraphTest, VideoSizeArrivesAndTheWindowFillsTheGivenRectangle) {
    const MediaClip clip = test::MakeAviClip(dir_.path());
    if (!Made(clip))
        GTEST_SKIP() << clip.why;
    auto graph = Open(clip.path);
    ASSERT_TRUE(rendered_);
    bool changed = false;
    graph->SetChangeHandler([&] { changed = true; });
    graph->ShowVideoWindow({10, 20, 110, 95});
    graph->Run();
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return graph->NativeVideoSize().has_value(); }, 10000));
    EXPECT_EQ(*graph->NativeVideoSize(), (VideoSize{160, 120}));
    EXPECT_TRUE(graph->HasVideo());
    EXPECT_TRUE(changed);
    auto* window = host_.findChild<QWidget*>("VideoWindow");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->geometry(), QRect(10, 20, 100, 75));
    EXPECT_TRUE(window->isVisibleTo(&host_));
    graph.reset();
    EXPECT_EQ(host_.findChild<QWidget*>("VideoWindow"), nullptr);
}

TEST_F(QtMediaGraphTest, PlaysSeeksChangesRateAndRestsAtItsDurationAtTheEnd) {
    const MediaClip clip = test::MakeWaveClip(dir_.path());
    auto graph = Open(clip.path);
    ASSERT_TRUE(rendered_);
    const double duration = graph->Duration().value_or(0);
    graph->SetRate(2.0);
    EXPECT_EQ(graph->Rate(), 2.0);
    graph->Run();
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return graph->CurrentPosition().value_or(0) > 0.1; }, 10000));
    // Halting keeps the position.
    graph->Pause();
    test::ProcessEventsUntil([] { return false; }, 200);
    const double paused = graph->CurrentPosition().value_or(-1);
    test::ProcessEventsUntil([] { return false; }, 300);
    EXPECT_NEAR(graph->CurrentPosition().value_or(-1), paused, 0.02);
    graph->SetCurrentPosition(0.5);
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return std::abs(graph->CurrentPosition().value_or(0) - 0.5) < 0.05; }));
    // Played out, the stream reports exactly its duration, and from 0 it plays again.
    graph->Run();
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return graph->CurrentPosition() == duration; }, 10000));
    graph->SetCurrentPosition(0);
    graph->Run();
    ASSERT_TRUE(
        test::ProcessEventsUntil([&] { return graph->CurrentPosition().value_or(duration) < duration; }, 10000));
}

TEST_F(QtMediaGraphTest, AFileThatIsNotMediaIsNotRendered) {
    test::WriteText(dir_.file("fake.avi"), "not a video at all");
    auto graph = Open(dir_.file("fake.avi"));
    EXPECT_FALSE(rendered_);
    EXPECT_FALSE(graph->Duration().has_value());
}

}  // namespace
}  // namespace vs
