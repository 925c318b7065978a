#include "graphics/Alpha.h"

namespace vs {

namespace {

inline std::uint8_t OverWhite(unsigned c, unsigned a) {
    return static_cast<std::uint8_t>((c * a + 255 * (255 - a) + 127) / 255);
}

Bitmap OverWhiteOrdered(const std::uint8_t* px, int width, int height, std::size_t stride, bool redFirst) {
    Bitmap out(width, height, PixelFormat::Bpp24);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = px + static_cast<std::size_t>(y) * stride;
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            const unsigned a = src[3];
            dst[0] = OverWhite(src[redFirst ? 2 : 0], a);
            dst[1] = OverWhite(src[1], a);
            dst[2] = OverWhite(src[redFirst ? 0 : 2], a);
        }
    }
    return out;
}

}  // namespace

Bitmap BgraOverWhite(const std::uint8_t* bgra, int width, int height, std::size_t stride) {
    return OverWhiteOrdered(bgra, width, height, stride, false);
}

Bitmap RgbaOverWhite(const std::uint8_t* rgba, int width, int height, std::size_t stride) {
    return OverWhiteOrdered(rgba, width, height, stride, true);
}

}  // namespace vs
