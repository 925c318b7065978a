#include "viewer/Fitting.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vs {
namespace {

using test::CoordinatePicture;

int SourceX(const Bitmap& b, int x, int y) { return b.row(y)[3 * x] | ((b.row(y)[3 * x + 2] & 0x0F) << 8); }
int SourceY(const Bitmap& b, int x, int y) { return b.row(y)[3 * x + 1] | ((b.row(y)[3 * x + 2] >> 4) << 8); }
bool IsWhite(const Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.row(y) + 3 * x;
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}

// The bounding box of non-white pixels in a thumbnail.
struct Box {
    int left = -1, top = -1, right = -1, bottom = -1;
    int width() const { return left < 0 ? 0 : right - left + 1; }
    int height() const { return top < 0 ? 0 : bottom - top + 1; }
};
Box PictureBox(const Bitmap& b) {
    Box box;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (!IsWhite(b, x, y)) {
                if (box.left < 0 || x < box.left) box.left = x;
                if (box.top < 0 || y < box.top) box.top = y;
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Pictures whose every pixel is dark, so the picture area is told apart from the white band.
Bitmap DarkPicture(int w, int h) {
    Bitmap b = CoordinatePicture(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.row(y)[3 * x + 2] = 0;  // red channel clear keeps every pixel non-white
    return b;
}

TEST(ChangeToMicroImage, ThumbnailWorkedExamples) {
    struct Case {
        int w, h, left, top, width, height;
    } cases[] = {
        {640, 480, 0, 0, 80, 60},    // same aspect as the cell
        {100, 100, 10, 0, 60, 60},   // white bands of 10 left and right
        {1000, 200, 0, 22, 80, 16},  // flat picture
        {50, 40, 15, 10, 50, 40},    // fits: copied unscaled, centred
        {80, 60, 0, 0, 80, 60},      // exactly the cell
        {81, 60, 0, 0, 80, 59},      // truncate(60 * 80 / 81) = 59, y0 = 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        Bitmap b = DarkPicture(c.w, c.h);
        ASSERT_TRUE(ChangeToMicroImage(b, 80, 60));
        EXPECT_EQ(b.width(), 80);
        EXPECT_EQ(b.height(), 60);
        const Box box = PictureBox(b);
        EXPECT_EQ(box.left, c.left);
        EXPECT_EQ(box.top, c.top);
        EXPECT_EQ(box.width(), c.width);
        EXPECT_EQ(box.height(), c.height);
    }
}

TEST(ChangeToMicroImage, SamplesSourceRowsAndColumnsWithSinglePrecisionSteps) {
    Bitmap b = CoordinatePicture(1000, 200);
    ASSERT_TRUE(ChangeToMicroImage(b, 80, 60));
    // yStep = 200 / 16 = 12.5: source rows 0, 12, 25, 37, ...
    const int expectedRows[] = {0, 12, 25, 37, 50, 62, 75, 87, 100, 112, 125, 137, 150, 162, 175, 187};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(SourceY(b, 0, 22 + i), expectedRows[i]) << "canvas row " << 22 + i;
    // xStep = 1000 / 80 = 12.5
    for (int j = 0; j < 80; ++j)
        EXPECT_EQ(SourceX(b, j, 22), static_cast<int>(12.5f * static_cast<float>(j)));
    EXPECT_TRUE(IsWhite(b, 0, 21));
    EXPECT_TRUE(IsWhite(b, 0, 38));
}

TEST(ChangeToMicroImage, CopiesSmallPicturesPixelForPixel) {
    Bitmap b = CoordinatePicture(50, 40);
    ASSERT_TRUE(ChangeToMicroImage(b, 80, 60));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            ASSERT_EQ(SourceX(b, 15 + x, 10 + y), x);
            ASSERT_EQ(SourceY(b, 15 + x, 10 + y), y);
        }
}

TEST(ChangeToMicroImage, DegeneratePicturesGiveAWhiteCell) {
    for (auto [w, h] : {std::pair{0, 0}, {1, 200}, {500, 1}, {0, 100}, {100, 0}}) {
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        Bitmap b = DarkPicture(w, h);
        ASSERT_TRUE(ChangeToMicroImage(b, 80, 60));
        ASSERT_EQ(b.width(), 80);
        ASSERT_EQ(b.height(), 60);
        EXPECT_EQ(PictureBox(b).width(), 0);
    }
}

TEST(ChangeToMicroImage, RefusesOtherFormatsAndLeavesThemUntouched) {
    Bitmap b(10, 10, PixelFormat::Bpp8);
    b.row(3)[4] = 7;
    const Bitmap before = b;
    EXPECT_FALSE(ChangeToMicroImage(b, 80, 60));
    EXPECT_EQ(b, before);
}

TEST(ChangeToMicroImage, PageStripCellSize) {
    Bitmap b = DarkPicture(400, 300);
    ASSERT_TRUE(ChangeToMicroImage(b, 100, 75));
    const Box box = PictureBox(b);
    EXPECT_EQ(box.width(), 100);
    EXPECT_EQ(box.height(), 75);
}

TEST(FitBitmapInto, ShrinksToTheLargestRectangleOfTheSourceProportions) {
    // 1/8 of 100x60 is 12x7: 12/7 > 100/60, so the height limits: an 11x7 picture at left 0.
    const Bitmap src = CoordinatePicture(100, 60);
    Bitmap out;
    ASSERT_TRUE(FitBitmapInto(src, out, 12, 7));
    ASSERT_EQ(out.width(), 12);
    ASSERT_EQ(out.height(), 7);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 11; ++x) {
            EXPECT_EQ(SourceX(out, x, y), static_cast<int>(100.0f / 11.0f * static_cast<float>(x)));
            EXPECT_EQ(SourceY(out, x, y), static_cast<int>(60.0f / 7.0f * static_cast<float>(y)));
        }
        // The column outside the picture is not written: it stays black.
        const std::uint8_t* p = out.row(y) + 3 * 11;
        EXPECT_EQ(p[0] | p[1] | p[2], 0);
    }
}

TEST(FitBitmapInto, CentresWithoutEnlarging) {
    const Bitmap src = CoordinatePicture(10, 6);
    Bitmap out;
    ASSERT_TRUE(FitBitmapInto(src, out, 15, 11));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x) {
            ASSERT_EQ(SourceX(out, x + 2, y + 2), x);
            ASSERT_EQ(SourceY(out, x + 2, y + 2), y);
        }
}

TEST(FitBitmapInto, EmptyTargetsAndSourcesGiveEmptyPictures) {
    Bitmap out;
    EXPECT_TRUE(FitBitmapInto(CoordinatePicture(10, 10), out, 0, 0));
    EXPECT_TRUE(out.empty());
    EXPECT_TRUE(FitBitmapInto(CoordinatePicture(0, 0), out, 5, 5));
    EXPECT_EQ(out.width(), 5);
    EXPECT_TRUE(FitBitmapInto(CoordinatePicture(1000, 1), out, 10, 10));  // scaled height truncates to 0
}

TEST(FitBitmapInto, RefusesOtherFormatsAndLeavesTheTargetUntouched) {
    Bitmap out = CoordinatePicture(3, 3);
    const Bitmap before = out;
    EXPECT_FALSE(FitBitmapInto(Bitmap(5, 5, PixelFormat::Bpp16), out, 2, 2));
    EXPECT_EQ(out, before);
}

TEST(ComputeZoomLayout, AutoSizeWorkedExamples) {
    // Fits: shown at its own size, centred.
    EXPECT_EQ(ComputeZoomLayout(400, 300, 1004, 804, ZoomMode::AutoSize), (ZoomLayout{400, 300, 300, 250}));
    // Too large: box 800x600, r = 0.5, 600/800 > 0.5, so 800x400 at (0, 100).
    const ZoomLayout big = ComputeZoomLayout(2000, 1000, 804, 604, ZoomMode::AutoSize);
    EXPECT_EQ(big, (ZoomLayout{800, 400, 0, 100}));
    EXPECT_EQ(big.frameWidth(), 804);
    EXPECT_EQ(big.frameHeight(), 404);
}

TEST(ComputeZoomLayout, AutoSizePlacesTheFrameFromTheUnroundedSize) {
    // 1000x3000 in a 500x500 box (area 504): r = 3, 500/500 < 3, so H = 500 and
    // W = 500 / 3 = 166.666..; the bitmap is 166 wide but the frame's left is
    // trunc((500 - 166.666) * 0.5) = 166, where the rounded width would give 167.
    const ZoomLayout l = ComputeZoomLayout(1000, 3000, 504, 504, ZoomMode::AutoSize);
    EXPECT_EQ(l.imageWidth, 166);
    EXPECT_EQ(l.imageHeight, 500);
    EXPECT_EQ(l.frameLeft, 166);
    EXPECT_EQ(l.frameTop, 0);
}

TEST(ComputeZoomLayout, FixedZoomsTruncateAndMayGoNegative) {
    EXPECT_EQ(ComputeZoomLayout(100, 60, 104, 104, ZoomMode::EighthSize), (ZoomLayout{12, 7, 44, 46}));
    EXPECT_EQ(ComputeZoomLayout(1001, 601, 204, 204, ZoomMode::HalfSize), (ZoomLayout{500, 300, -150, -50}));
    EXPECT_EQ(ComputeZoomLayout(3000, 2000, 804, 604, ZoomMode::FullSize), (ZoomLayout{3000, 2000, -1100, -700}));
    EXPECT_EQ(ComputeZoomLayout(400, 400, 204, 204, ZoomMode::QuarterSize), (ZoomLayout{100, 100, 50, 50}));
    // An odd difference truncates toward zero on both sides of the area.
    EXPECT_EQ(ComputeZoomLayout(3, 3, 10, 10, ZoomMode::FullSize).frameLeft, 1);
    EXPECT_EQ(ComputeZoomLayout(7, 7, 10, 10, ZoomMode::FullSize).frameLeft, 0);
}

TEST(ComputeZoomLayout, DegenerateInputsGiveAnEmptyPicture) {
    for (ZoomMode mode : {ZoomMode::AutoSize, ZoomMode::FullSize, ZoomMode::HalfSize, ZoomMode::EighthSize}) {
        EXPECT_EQ(ComputeZoomLayout(0, 0, 800, 600, mode).imageWidth, 0);
        EXPECT_EQ(ComputeZoomLayout(0, 50, 800, 600, mode).imageHeight, 0);
    }
    EXPECT_EQ(ComputeZoomLayout(100, 100, 3, 3, ZoomMode::AutoSize).imageWidth, 0);
    EXPECT_EQ(ComputeZoomLayout(100, 100, 0, 0, ZoomMode::AutoSize).imageWidth, 0);
    EXPECT_EQ(ComputeZoomLayout(7, 7, 800, 600, ZoomMode::EighthSize).imageWidth, 0);
    // A picture 1 pixel high at 1/2 is nothing, even though the width survives.
    const ZoomLayout l = ComputeZoomLayout(100, 1, 800, 600, ZoomMode::HalfSize);
    EXPECT_EQ(l.imageWidth, 0);
    EXPECT_EQ(l.imageHeight, 0);
}

TEST(RenderZoomedImage, FullSizeCopiesAndOtherModesFit) {
    const Bitmap src = CoordinatePicture(40, 20);
    Bitmap shown;
    ASSERT_TRUE(RenderZoomedImage(src, ComputeZoomLayout(40, 20, 10, 10, ZoomMode::FullSize), ZoomMode::FullSize, shown));
    EXPECT_EQ(shown, src);
    const ZoomLayout quarter = ComputeZoomLayout(40, 20, 100, 100, ZoomMode::QuarterSize);
    ASSERT_TRUE(RenderZoomedImage(src, quarter, ZoomMode::QuarterSize, shown));
    EXPECT_EQ(shown.width(), 10);
    EXPECT_EQ(shown.height(), 5);
    EXPECT_EQ(SourceX(shown, 9, 4), 36);
    EXPECT_EQ(SourceY(shown, 9, 4), 16);
}

}  // namespace
}  // namespace vs
