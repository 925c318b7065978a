#include "graphics/Alpha.h"

namespace vs {

namespace {

inline std::uint8_t Over(unsigned c, unsigned a, unsigned matte) {
    return static_cast<std::uint8_t>((c * a + matte * (255 - a) + 127) / 255);
}

Bitmap OverOrdered(const std::uint8_t* px, int width, int height, std::size_t stride, bool redFirst, Rgb matte) {
    Bitmap out(width, height, PixelFormat::Bpp24);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = px + static_cast<std::size_t>(y) * stride;
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            const unsigned a = src[3];
            dst[0] = Over(src[redFirst ? 2 : 0], a, matte.b);
            dst[1] = Over(src[1], a, matte.g);
            dst[2] = Over(src[redFirst ? 0 : 2], a, matte.r);
        }
    }
    return out;
}

}  // namespace

Bitmap BgraOver(const std::uint8_t* bgra, int width, int height, std::size_t stride, Rgb matte) {
    return OverOrdered(bgra, width, height, stride, false, matte);
}

Bitmap RgbaOver(const std::uint8_t* rgba, int width, int height, std::size_t stride, Rgb matte) {
    return OverOrdered(rgba, width, height, stride, true, matte);
}

}  // namespace vs
