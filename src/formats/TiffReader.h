#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

// The first picture of a TIFF file (".tif", ".tiff", ".fax"), through libtiff's RGBA
// interface: every compression and photometric interpretation libtiff can turn into RGB.
// Floating-point grey and RGB (16, 32 or 64 bits) are read here, 0.0 to 1.0 mapped onto 0 to
// 255, clamped, their alpha laid over the matte. Yields a 24-bit picture turned as its Orientation
// tag says; other alpha is dropped. libtiff's errors and warnings are caught, never printed; an invalid or truncated file throws DecodeError with libtiff's message.
// Pictures of more than maxPixels are refused before anything is allocated for them.
Bitmap DecodeTiff(std::span<const std::uint8_t> data, std::uint64_t maxPixels = kMaxPixels, Rgb matte = kWhite);

}  // namespace vs
