#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

// Adobe Photoshop (".psd", ".pdd"): the merged picture that follows the layers, raw or
// PackBits-compressed, in the colour modes bitmap, greyscale, indexed, RGB, CMYK,
// multichannel and duotone (both shown as grey from the first channel) and Lab, at 1 (bitmap
// mode only), 8 or 16 bits per channel. Extra (alpha) channels are ignored. Yields 1-bit,
// 8-bit indexed or 24-bit pictures. Throws DecodeError on anything invalid or truncated.
Bitmap DecodePsd(std::span<const std::uint8_t> data);

// A CIE L*a*b* colour (L 0 to 100, white point D50 as Photoshop keeps it) as 8-bit sRGB.
Rgb LabToRgb(double l, double a, double b);

}  // namespace vs
