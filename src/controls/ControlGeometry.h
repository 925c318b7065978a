#pragma once

// The arithmetic of the panel controls (tiles, fold panel strip and glyph, selection
// rectangle handles and dragging), kept apart from the widgets so it tests without a window.

#include <QPoint>
#include <QRect>
#include <QSize>

#include <array>
#include <vector>

namespace vs {

// ---- Panels -----------------------------------------------------------------------------

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNone, bsSingle };
enum TBevelStyle { bsLowered, bsRaised };

// The tiles that cover a target whose right and bottom members act as its extent: tile
// (i, j) sits at (left + j * w, top + i * h) and is cut where it would cross right or bottom.
// Only tiles with some area are returned, row by row.
std::vector<QRect> TileRects(int left, int top, int right, int bottom, QSize tile);

// ---- Fold panel -------------------------------------------------------------------------

enum TFoldStatus { fsExpanded, fsCollapsed };
enum TFoldPosition { fpLeftTop, fpRightTop, fpLeftBottom, fpRightBottom };
enum TFoldOrientation { foHorizontal, foVertical };

inline constexpr int kMinimumCollapsedExtent = 12;

inline bool IsTopPosition(TFoldPosition p) {
    return p == fpLeftTop || p == fpRightTop;
}
inline bool IsLeftPosition(TFoldPosition p) {
    return p == fpLeftTop || p == fpLeftBottom;
}

// The frame a fold panel draws around itself: how much of each edge it takes.
struct FoldFrame {
    int bevelCount = 0;  // non-none bevels among inner and outer
    int bevelWidth = 1;
    bool singleBorder = false;
    int Inset() const { return bevelCount * bevelWidth; }
};

// Folded extents: the expand glyph's width (horizontal folding) or height (vertical), else the
// current extent; never below 12. An empty glyph counts as none.
int CollapsedWidth(TFoldOrientation o, QSize expandGlyph, int currentWidth);
int CollapsedHeight(TFoldOrientation o, QSize expandGlyph, int currentHeight);
// The width or height a folded panel takes: the collapsed extent plus its frame on both sides.
int FoldedExtent(int collapsed, const FoldFrame& frame);

// Thickness of the strip the client leaves free for the glyph, measured from the panel edge.
int StripThickness(TFoldOrientation o, QSize glyph, const FoldFrame& frame, bool separated);
// The client panel's rectangle: inner (the panel inside its frame) less the strip on the
// glyph's side; the whole of inner when the panel cannot fold.
QRect FoldClientRect(QSize panel, QRect inner, TFoldOrientation o, TFoldPosition p, int thickness, bool folding);

// Where the glyph goes: its corner, moved inward by the frame's inset on both axes.
QRect GlyphRect(QSize panel, QSize glyph, TFoldPosition p, int inset);

// The two one-pixel lines of the separator, as first and last point (both drawn). The edge
// line takes the highlight colour (horizontal folding) or the shadow colour (vertical folding)
// for a lowered separator; the line beside it the other colour.
struct SeparatorLines {
    QPoint edgeFrom, edgeTo;
    QPoint besideFrom, besideTo;
};
SeparatorLines SeparatorFor(QSize panel, QRect glyph, TFoldOrientation o, TFoldPosition p, int inset);

// The caption while folded: its top-left corner in the text's own frame, placed on the panel,
// and the rotation (degrees, clockwise on screen: 90 reads downwards, -90 upwards, 0 across).
struct CaptionPlacement {
    QPoint origin;
    int rotation = 0;
};
CaptionPlacement CaptionFor(QRect glyph, QSize text, TFoldOrientation o, TFoldPosition p);

// ---- Selection rectangle ----------------------------------------------------------------

inline constexpr int kHandleSize = 5;
inline constexpr int kOrvikMinimum = 10;

// Eight 5 x 5 handles of the rectangle (left, top, right, bottom), right and bottom exclusive:
// 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right, 4 top-middle, 5 bottom-middle,
// 6 left-middle, 7 right-middle.
std::array<QRect, 8> OrvikHandleRects(int left, int top, int right, int bottom);
// All four bounds inclusive: the right and bottom edge one past the painted handle count.
bool isInRect(int x, int y, const QRect& rect);
// The first handle containing (x, y), or -1.
int OrvikHitTest(const std::array<QRect, 8>& handles, int x, int y);
// One drag step with handle (-1 moves) from the last reference point to (x, y), in control
// coordinates: the new geometry, never below 10 x 10; last is moved along the edges that do
// not move the control's origin.
QRect OrvikDragStep(const QRect& geometry, int handle, QPoint mouse, QPoint& last);

}  // namespace vs
