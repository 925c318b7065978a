#pragma once

#include "graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace vs {

// Blue-green-red-alpha pixels (alpha not premultiplied) laid over white, as pictures with
// transparency are shown: a 24-bit bitmap. The blend is done on the stored values, as other
// viewers do it. stride is the distance between rows in bytes.
Bitmap BgraOverWhite(const std::uint8_t* bgra, int width, int height, std::size_t stride);
// The same for red-green-blue-alpha pixels.
Bitmap RgbaOverWhite(const std::uint8_t* rgba, int width, int height, std::size_t stride);

}  // namespace vs
