#include "controls/ControlGeometry.h"

#include <gtest/gtest.h>

#include <numeric>

namespace vs {
namespace {

TEST(TileRects, CoverTheTargetOnceCuttingTheLastRowAndColumn) {
    const std::vector<QRect> tiles = TileRects(0, 0, 100, 50, QSize(30, 20));
    ASSERT_EQ(tiles.size(), 12u);  // 4 columns in 3 rows
    EXPECT_EQ(tiles[3], QRect(90, 0, 10, 20));
    EXPECT_EQ(tiles[11], QRect(90, 40, 10, 10));
    int area = 0;
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        area += tiles[i].width() * tiles[i].height();
        for (std::size_t j = i + 1; j < tiles.size(); ++j) EXPECT_FALSE(tiles[i].intersects(tiles[j]));
    }
    EXPECT_EQ(area, 100 * 50);
    // An exact fit has no cut tiles; an empty picture tiles nothing.
    EXPECT_EQ(TileRects(0, 0, 60, 40, QSize(30, 20)).size(), 4u);
    EXPECT_TRUE(TileRects(0, 0, 100, 50, QSize(0, 20)).empty());
}

TEST(FoldExtents, GlyphSizedNeverBelowTwelvePlusTheFrame) {
    EXPECT_EQ(CollapsedWidth(foHorizontal, QSize(12, 41), 177), 12);
    EXPECT_EQ(CollapsedWidth(foHorizontal, QSize(20, 41), 177), 20);
    EXPECT_EQ(CollapsedWidth(foHorizontal, QSize(5, 5), 177), 12);
    EXPECT_EQ(CollapsedWidth(foHorizontal, QSize(), 177), 12);
    EXPECT_EQ(CollapsedWidth(foVertical, QSize(41, 12), 177), 177);
    EXPECT_EQ(CollapsedHeight(foVertical, QSize(41, 12), 190), 12);
    EXPECT_EQ(CollapsedHeight(foHorizontal, QSize(12, 41), 190), 190);
    EXPECT_EQ(CollapsedHeight(foVertical, QSize(), 190), 12);

    EXPECT_EQ(FoldedExtent(12, FoldFrame{1, 1, false}), 14);
    EXPECT_EQ(FoldedExtent(12, FoldFrame{0, 1, true}), 14);
    EXPECT_EQ(FoldedExtent(12, FoldFrame{2, 3, true}), 12 + 2 + 12);
}

TEST(FoldStrip, ClientLeavesTheStripOnTheGlyphSide) {
    const FoldFrame frame{1, 1, false};
    const QSize panel(177, 300);
    const QRect inner(1, 1, 175, 298);
    // Collapse glyph of horizontal folding: 41 x 12, plus one bevel and the separator.
    const int h = StripThickness(foHorizontal, QSize(41, 12), frame, true);
    EXPECT_EQ(h, 15);
    EXPECT_EQ(StripThickness(foHorizontal, QSize(41, 12), frame, false), 13);
    EXPECT_EQ(FoldClientRect(panel, inner, foHorizontal, fpRightTop, h, true), QRect(1, 15, 175, 284));
    EXPECT_EQ(FoldClientRect(panel, inner, foHorizontal, fpLeftBottom, h, true), QRect(1, 1, 175, 284));
    const int v = StripThickness(foVertical, QSize(12, 41), frame, true);
    EXPECT_EQ(FoldClientRect(panel, inner, foVertical, fpLeftBottom, v, true), QRect(15, 1, 161, 298));
    EXPECT_EQ(FoldClientRect(panel, inner, foVertical, fpRightTop, v, true), QRect(1, 1, 161, 298));
    EXPECT_EQ(FoldClientRect(panel, inner, foVertical, fpRightTop, v, false), inner);
}

TEST(FoldStrip, GlyphSitsInItsCornerInsideTheBevels) {
    const QSize panel(100, 80);
    const QSize g(41, 12);
    EXPECT_EQ(GlyphRect(panel, g, fpLeftTop, 2), QRect(2, 2, 41, 12));
    EXPECT_EQ(GlyphRect(panel, g, fpRightTop, 2), QRect(57, 2, 41, 12));
    EXPECT_EQ(GlyphRect(panel, g, fpLeftBottom, 2), QRect(2, 66, 41, 12));
    EXPECT_EQ(GlyphRect(panel, g, fpRightBottom, 0), QRect(59, 68, 41, 12));
}

TEST(FoldStrip, SeparatorRunsAlongTheGlyphsInnerEdge) {
    const QSize panel(100, 80);
    SeparatorLines s = SeparatorFor(panel, QRect(1, 1, 41, 12), foHorizontal, fpLeftTop, 1);
    EXPECT_EQ(s.edgeFrom, QPoint(1, 13));
    EXPECT_EQ(s.edgeTo, QPoint(98, 13));
    EXPECT_EQ(s.besideFrom, QPoint(1, 12));
    s = SeparatorFor(panel, QRect(1, 67, 41, 12), foHorizontal, fpLeftBottom, 1);
    EXPECT_EQ(s.edgeFrom.y(), 67);
    EXPECT_EQ(s.besideFrom.y(), 66);
    s = SeparatorFor(panel, QRect(1, 1, 12, 41), foVertical, fpLeftTop, 1);
    EXPECT_EQ(s.edgeFrom, QPoint(13, 1));
    EXPECT_EQ(s.edgeTo, QPoint(13, 78));
    EXPECT_EQ(s.besideFrom.x(), 14);
    s = SeparatorFor(panel, QRect(87, 1, 12, 41), foVertical, fpRightTop, 1);
    EXPECT_EQ(s.edgeFrom.x(), 87);
    EXPECT_EQ(s.besideFrom.x(), 88);
}

TEST(FoldCaption, RunsAlongTheStripTenPixelsFromTheGlyph) {
    const QRect tall(1, 1, 12, 41);
    // Reads downwards below the glyph, centred across it.
    CaptionPlacement c = CaptionFor(tall, QSize(50, 8), foHorizontal, fpLeftTop);
    EXPECT_EQ(c.rotation, 90);
    EXPECT_EQ(c.origin, QPoint(1 + 10, 52));
    // A text taller than the glyph is wide starts at the glyph's left edge.
    EXPECT_EQ(CaptionFor(tall, QSize(50, 16), foHorizontal, fpLeftTop).origin.x(), 1 + 16);
    // Reads upwards above a bottom glyph.
    c = CaptionFor(QRect(1, 100, 12, 41), QSize(50, 8), foHorizontal, fpRightBottom);
    EXPECT_EQ(c.rotation, -90);
    EXPECT_EQ(c.origin, QPoint(1 + 2, 90));
    EXPECT_EQ(CaptionFor(QRect(1, 100, 12, 41), QSize(50, 16), foHorizontal, fpLeftBottom).origin.x(), 1);
    // Across the strip beside the glyph, vertically centred.
    const QRect wide(1, 1, 41, 12);
    c = CaptionFor(wide, QSize(50, 8), foVertical, fpLeftTop);
    EXPECT_EQ(c.rotation, 0);
    EXPECT_EQ(c.origin, QPoint(52, 3));
    c = CaptionFor(QRect(200, 1, 41, 12), QSize(50, 20), foVertical, fpRightTop);
    EXPECT_EQ(c.origin, QPoint(200 - 10 - 50, 1));
}

TEST(OrvikHandles, LayoutAndInclusiveHitTest) {
    const auto h = OrvikHandleRects(0, 0, 100, 60);
    EXPECT_EQ(h[0], QRect(0, 0, 5, 5));
    EXPECT_EQ(h[1], QRect(95, 0, 5, 5));
    EXPECT_EQ(h[2], QRect(0, 55, 5, 5));
    EXPECT_EQ(h[3], QRect(95, 55, 5, 5));
    EXPECT_EQ(h[4], QRect(48, 0, 5, 5));  // x 48 to 52
    EXPECT_EQ(h[5], QRect(48, 55, 5, 5));
    EXPECT_EQ(h[6], QRect(0, 28, 5, 5));  // y 28 to 32
    EXPECT_EQ(h[7], QRect(95, 28, 5, 5));
    EXPECT_EQ(OrvikHitTest(h, 5, 5), 0);  // right and bottom bounds included
    EXPECT_EQ(OrvikHitTest(h, 6, 5), -1);
    EXPECT_EQ(OrvikHitTest(h, 50, 30), -1);
    EXPECT_EQ(OrvikHitTest(h, 53, 60), 5);
    EXPECT_EQ(OrvikHitTest(h, 100, 33), 7);
    EXPECT_EQ(OrvikHitTest(h, 94, 33), -1);
    // The first match wins where a small rectangle's handles overlap.
    EXPECT_EQ(OrvikHitTest(OrvikHandleRects(0, 0, 10, 10), 5, 5), 0);
}

// Each handle's result is checked through the widget; here the reference point.
TEST(OrvikDrag, ReferenceFollowsTheMouseOnlyAlongEdgesThatKeepTheOrigin) {
    const QRect start(50, 40, 100, 60);
    const QPoint press(20, 20);
    const QPoint to(30, 26);
    const QPoint expected[9] = {press, press, {30, 20}, {20, 26}, to, press, {20, 26}, press, {30, 20}};
    for (int handle = -1; handle < 8; ++handle) {
        QPoint last = press;
        OrvikDragStep(start, handle, to, last);
        EXPECT_EQ(last, expected[handle + 1]) << "handle " << handle;
    }
}

TEST(OrvikDrag, NeverBelowTenByTenAndFixedEdgesStay) {
    QPoint last(2, 2);
    EXPECT_EQ(OrvikDragStep(QRect(0, 0, 30, 30), 0, QPoint(27, 27), last), QRect(20, 20, 10, 10));
    last = QPoint(98, 30);
    EXPECT_EQ(OrvikDragStep(QRect(50, 40, 100, 60), 7, QPoint(-60, 30), last), QRect(50, 40, 10, 60));
    last = QPoint(2, 58);
    EXPECT_EQ(OrvikDragStep(QRect(50, 40, 100, 60), 2, QPoint(200, -100), last), QRect(140, 40, 10, 10));
    last = QPoint(50, 2);
    EXPECT_EQ(OrvikDragStep(QRect(50, 40, 100, 60), 4, QPoint(50, 90), last), QRect(50, 90, 100, 10));
}

}  // namespace
}  // namespace vs
