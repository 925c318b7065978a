#include "graphics/Orientation.h"

#include <cstring>

namespace vs {

void ApplyOrientation(Bitmap& bitmap, int orientation) {
    if (orientation < 2 || orientation > 8 || bitmap.empty())
        return;
    if (StorageBits(bitmap.format()) < 8)
        bitmap.convertTo24();
    const auto bpp = static_cast<std::size_t>(StorageBits(bitmap.format()) / 8);
    const int w = bitmap.width(), h = bitmap.height();
    const bool transpose = orientation >= 5;
    Bitmap out(transpose ? h : w, transpose ? w : h, bitmap.format());
    out.palette() = bitmap.palette();
    // For each shown pixel (x, y), the stored pixel it comes from.
    for (int y = 0; y < out.height(); ++y) {
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < out.width(); ++x) {
            int sx = x, sy = y;
            switch (orientation) {
                case 2:
                    sx = w - 1 - x;
                    break;
                case 3:
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;
                case 4:
                    sy = h - 1 - y;
                    break;
                case 5:
                    sx = y;
                    sy = x;
                    break;
                case 6:
                    sx = y;
                    sy = h - 1 - x;
                    break;
                case 7:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;
                case 8:
                    sx = w - 1 - y;
                    sy = x;
                    break;
                default:
                    break;
            }
            std::memcpy(dst + static_cast<std::size_t>(x) * bpp, bitmap.row(sy) + static_cast<std::size_t>(sx) * bpp,
                        bpp);
        }
    }
    bitmap = std::move(out);
}

}  // namespace vs
