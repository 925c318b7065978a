#pragma once

// Readers of the formats today's libraries are full of: PNG (libpng), GIF (giflib, first
// frame), WebP (libwebp) and HEIF/HEIC/AVIF (libheif, primary image). Each decodes from bytes
// in memory, refuses pictures above the size limit before allocating, throws DecodeError on
// bad data and yields a 24-bit picture with transparent parts laid over the matte colour.

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

// Every colour type and depth, palettes with tRNS, 16-bit (scaled to 8), interlaced.
Bitmap DecodePng(std::span<const std::uint8_t> data, Rgb matte = kWhite);
// The first frame on the logical screen; its transparent colour and the screen around the
// frame show the matte.
Bitmap DecodeGif(std::span<const std::uint8_t> data, Rgb matte = kWhite);
// Lossy, lossless, with or without alpha; the first frame of an animation.
Bitmap DecodeWebp(std::span<const std::uint8_t> data, Rgb matte = kWhite);
// The primary image with its rotation and mirroring applied, as far as the installed libheif
// has decoders for it (HEVC for HEIC, AV1 for AVIF).
Bitmap DecodeHeif(std::span<const std::uint8_t> data, Rgb matte = kWhite);
// The same for a thumbnail cell: the smallest thumbnail image the file stores for
// its primary image stands in when it has the picture's shape and covers the cell in both
// directions. fullWidth and fullHeight receive the primary image's shown size.
Bitmap DecodeHeifForCell(std::span<const std::uint8_t> data, int cellWidth, int cellHeight, int* fullWidth,
                         int* fullHeight, Rgb matte = kWhite);

}  // namespace vs
