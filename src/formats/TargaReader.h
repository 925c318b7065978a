#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

// Truevision Targa (".tga", ".win", ".vst", ".vda", ".icb"): image types 1, 2, 3 and their
// run-length forms 9, 10, 11; colour-mapped 8-bit, true-colour 15, 16, 24 and 32-bit and
// grey 8-bit pixels; colour maps of 15, 16, 24 or 32-bit entries starting at any index;
// any of the four origins. Yields 8-bit indexed (colour-mapped and grey), 24-bit (15, 16,
// 24-bit files) or 32-bit pictures; alpha and attribute bits are not interpreted, except in
// 16-bit grey with alpha, which is laid over the matte as a 24-bit picture.
// Throws DecodeError on anything invalid or truncated.
Bitmap DecodeTarga(std::span<const std::uint8_t> data, Rgb matte = kWhite);

}  // namespace vs
