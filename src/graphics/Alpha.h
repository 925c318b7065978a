#pragma once

#include "graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace vs {

// Blue-green-red-alpha pixels (alpha not premultiplied) laid over a matte colour, as pictures
// with transparency are shown: white in thumbnails, the view's background in the viewer. The
// result is a 24-bit bitmap; the blend is done on the stored values, as other viewers do it.
// stride is the distance between rows in bytes.
Bitmap BgraOver(const std::uint8_t* bgra, int width, int height, std::size_t stride, Rgb matte);
// The same for red-green-blue-alpha pixels.
Bitmap RgbaOver(const std::uint8_t* rgba, int width, int height, std::size_t stride, Rgb matte);

}  // namespace vs
