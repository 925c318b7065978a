#pragma once

#include "graphics/Bitmap.h"

namespace vs {

// Fits a 24-bit bitmap, in place, into a cellWidth x cellHeight cell on white: centred,
// nearest-neighbour, never enlarged. The arithmetic is single precision with truncation,
// so thumbnails match pixel for pixel whatever the platform. A picture so thin that its
// scaled width or height truncates to 0 leaves the cell white. False, with the bitmap
// untouched, when it is not 24 bits per pixel.
bool ChangeToMicroImage(Bitmap& bitmap, int cellWidth, int cellHeight);

// Writes a width x height 24-bit picture of source into target: shrunk by nearest
// neighbour to the largest rectangle of the source's proportions and centred, or copied
// unscaled and centred when it fits. Pixels outside the picture stay black (zero).
// False, with the target untouched, when the source is not 24 bits per pixel.
bool FitBitmapInto(const Bitmap& source, Bitmap& target, int width, int height);

// A copy of source shrunk to fit within maxWidth x maxHeight with its proportions kept, each
// target pixel the average of the source pixels it covers (for sharp desktop thumbnails;
// the grid's own thumbnails keep ChangeToMicroImage's nearest-neighbour look). A picture
// that already fits is copied unscaled. Any pixel format in, 24 bits out; empty in, empty out.
Bitmap ShrinkToFit(const Bitmap& source, int maxWidth, int maxHeight);

enum class ZoomMode { AutoSize, FullSize, HalfSize, QuarterSize, EighthSize };

// Where and how large the image view shows a picture: the displayed bitmap's size and the
// image frame (the bitmap plus a 2-pixel border on each side) in content-area coordinates.
// The frame may start at a negative position when the picture is larger than the area.
struct ZoomLayout {
    int imageWidth = 0;
    int imageHeight = 0;
    int frameLeft = 0;
    int frameTop = 0;
    int frameWidth() const { return imageWidth + 4; }
    int frameHeight() const { return imageHeight + 4; }
    friend bool operator==(const ZoomLayout&, const ZoomLayout&) = default;
};

// The display size and frame placement for a sourceWidth x sourceHeight picture in a
// content area of areaWidth x areaHeight. A zero-size picture, an area of 4 pixels or
// less, or a zoom that truncates to nothing gives an empty (0 x 0) picture.
ZoomLayout ComputeZoomLayout(int sourceWidth, int sourceHeight, int areaWidth, int areaHeight, ZoomMode mode);

// Renders the displayed picture of a layout: Full Size copies the source pixel for pixel,
// the other modes fit it into the layout's image size. False when the source is not 24-bit.
bool RenderZoomedImage(const Bitmap& source, const ZoomLayout& layout, ZoomMode mode, Bitmap& image);

}  // namespace vs
