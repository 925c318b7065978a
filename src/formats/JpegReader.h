#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

struct JpegDecodeOptions {
    // libjpeg's output scale 1/scaleDenom: 1, 2, 4 or 8 (the reduction happens in the DCT).
    int scaleDenom = 1;
    // Turn or mirror the picture as its Exif orientation tag says.
    bool applyOrientation = true;
};

struct JpegInfo {
    int width = 0;  // as stored in the frame header
    int height = 0;
    int orientation = 1;  // from the Exif block; 1 when there is none or it is damaged
    // The size the picture is shown at, once its orientation is applied.
    int shownWidth() const { return orientation >= 5 ? height : width; }
    int shownHeight() const { return orientation >= 5 ? width : height; }
};

// Decodes a baseline or progressive JPEG with libjpeg (islow IDCT, fancy upsampling: the
// library's defaults). Colour pictures come out 24-bit, greyscale 8-bit with a grey
// palette, CMYK and YCCK as 24-bit light = (1 - ink) x (1 - black); files with an Adobe
// marker store inverted ink, as Photoshop writes them. A corrupt or truncated file throws
// DecodeError and prints nothing. info, when given, receives the full (unscaled) size and the
// orientation, which the result already has applied unless the options say otherwise.
Bitmap DecodeJpeg(std::span<const std::uint8_t> data, const JpegDecodeOptions& options = {}, JpegInfo* info = nullptr);

// The largest reduction 1/d (d = 8, 4, 2, 1) whose output (width and height divided by d,
// rounded up) still covers a cellWidth x cellHeight cell in both directions.
int JpegScaleDenomFor(int width, int height, int cellWidth, int cellHeight);

// Reads only the header: the picture's full size and orientation. Throws DecodeError when it
// is not a JPEG.
JpegInfo ReadJpegInfo(std::span<const std::uint8_t> data);

// A thumbnail-ready decode, orientation applied: the camera's embedded Exif preview when
// usePreview allows it, the preview covers the cell and has the picture's aspect ratio
// (within 1%; padded previews are not used), else the picture reduced in the DCT as far as
// the cell allows. info receives the main picture's size and orientation either way.
Bitmap DecodeJpegForCell(std::span<const std::uint8_t> data, int cellWidth, int cellHeight, JpegInfo* info,
                         bool usePreview = true);

}  // namespace vs
