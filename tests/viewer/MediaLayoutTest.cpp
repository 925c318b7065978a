#include "viewer/MediaLayout.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

TEST(ComputeVideoLayout, AutoSizeFillsThePanelInOneDirection) {
    // 640 x 480 in 300 x 300: r = 0.75 < 1, so the width fills: 300 x 225 at top 37.
    EXPECT_EQ(ComputeVideoLayout(640, 480, 300, 300, ZoomMode::AutoSize), (VideoLayout{0, 37, 300, 225}));
    // Taller than the panel's proportions: the height fills, and small videos are scaled up.
    EXPECT_EQ(ComputeVideoLayout(100, 200, 400, 300, ZoomMode::AutoSize), (VideoLayout{125, 0, 150, 300}));
    // An audio stream reported as 1 x 1 gets a square host.
    EXPECT_EQ(ComputeVideoLayout(1, 1, 320, 200, ZoomMode::AutoSize), (VideoLayout{60, 0, 200, 200}));
}

TEST(ComputeVideoLayout, FixedSizesUseTheNativeSizeAndMayOverflow) {
    EXPECT_EQ(ComputeVideoLayout(640, 480, 300, 300, ZoomMode::FullSize), (VideoLayout{-170, -90, 640, 480}));
    EXPECT_EQ(ComputeVideoLayout(641, 481, 300, 300, ZoomMode::HalfSize), (VideoLayout{-10, 30, 320, 240}));
    EXPECT_EQ(ComputeVideoLayout(640, 480, 300, 300, ZoomMode::QuarterSize), (VideoLayout{70, 90, 160, 120}));
    EXPECT_EQ(ComputeVideoLayout(640, 480, 301, 301, ZoomMode::EighthSize), (VideoLayout{110, 120, 80, 60}));
}

TEST(ComputeVideoLayout, NoVideoSizeOrNoPanelGivesAnEmptyHost) {
    EXPECT_EQ(ComputeVideoLayout(0, 0, 300, 200, ZoomMode::AutoSize), (VideoLayout{150, 100, 0, 0}));
    EXPECT_EQ(ComputeVideoLayout(0, 480, 300, 200, ZoomMode::FullSize), (VideoLayout{150, 100, 0, 0}));
    EXPECT_EQ(ComputeVideoLayout(640, 480, 0, 0, ZoomMode::AutoSize), (VideoLayout{0, 0, 0, 0}));
}

TEST(MediaPanelText, SpeedItemsAndTimes) {
    EXPECT_EQ(SpeedItemForRate(0.5), 0);
    EXPECT_EQ(SpeedItemForRate(1.0), 1);
    EXPECT_EQ(SpeedItemForRate(2.0), 2);
    EXPECT_EQ(SpeedItemForRate(1.4), 1);  // trunc(2.8)
    EXPECT_EQ(SpeedItemForRate(1.6), -1);
    EXPECT_EQ(SpeedItemForRate(0.2), -1);
    EXPECT_EQ(FormatMediaTime(0), "0:00");
    EXPECT_EQ(FormatMediaTime(9.99), "0:09");
    EXPECT_EQ(FormatMediaTime(754.2), "12:34");
    EXPECT_EQ(FormatMediaTime(3723), "1:02:03");
    EXPECT_EQ(FormatMediaTime(-1), "0:00");
}

}  // namespace
}  // namespace vs
