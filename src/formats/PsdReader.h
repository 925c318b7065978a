#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

// Adobe Photoshop (".psd", ".pdd"): the merged picture that follows the layers, raw or
// PackBits-compressed, in the colour modes bitmap, greyscale, indexed, RGB, CMYK,
// multichannel (colour from its first three channels, grey from the first when it has fewer),
// duotone (grey from its first channel, as other readers show it) and Lab, at 1 (bitmap mode
// only), 8 or 16 bits per channel or 32-bit floating point (0.0 to 1.0 onto 0 to 255,
// clamped). Extra (alpha) channels are ignored. A file saved without a real merged picture
// (Version Info says so) shows its visible layers composited instead, laid over the matte
// where they leave the canvas transparent. Yields 1-bit, 8-bit indexed or 24-bit pictures.
// Throws DecodeError on anything invalid or truncated.
Bitmap DecodePsd(std::span<const std::uint8_t> data, Rgb matte = kWhite);

// A CIE L*a*b* colour (L 0 to 100, white point D50 as Photoshop keeps it) as 8-bit sRGB.
Rgb LabToRgb(double l, double a, double b);

}  // namespace vs
