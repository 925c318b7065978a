#include "graphics/Orientation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace vs {

namespace {

constexpr int kQuarterTurnTile = 32;

// Where the stored pixel of shown pixel (x, y) lies: start + x * xStep + y * yStep bytes
// into the stored rows.
struct SourceWalk {
    std::ptrdiff_t start = 0;
    std::ptrdiff_t xStep = 0;
    std::ptrdiff_t yStep = 0;
};

SourceWalk WalkFor(int orientation, int w, int h, std::ptrdiff_t bpp, std::ptrdiff_t stride) {
    // Stored column and row of the shown pixel as c0 + cx * x + cy * y.
    int col0 = 0, colX = 1, colY = 0, row0 = 0, rowX = 0, rowY = 1;
    switch (orientation) {
        case 2: col0 = w - 1, colX = -1; break;
        case 3: col0 = w - 1, colX = -1, row0 = h - 1, rowY = -1; break;
        case 4: row0 = h - 1, rowY = -1; break;
        case 5: colX = 0, colY = 1, rowX = 1, rowY = 0; break;
        case 6: colX = 0, colY = 1, row0 = h - 1, rowX = -1, rowY = 0; break;
        case 7: col0 = w - 1, colX = 0, colY = -1, row0 = h - 1, rowX = -1, rowY = 0; break;
        case 8: col0 = w - 1, colX = 0, colY = -1, rowX = 1, rowY = 0; break;
        default: break;
    }
    return {row0 * stride + col0 * bpp, rowX * stride + colX * bpp, rowY * stride + colY * bpp};
}

// A fixed pixel size lets the copy become a plain load and store. A quarter turn reads the
// stored picture by columns, so it goes in small squares whose stored rows stay in the cache.
template <std::size_t Bpp>
void CopyWalking(const Bitmap& from, Bitmap& to, const SourceWalk& walk, int tile) {
    const std::uint8_t* base = from.row(0);
    for (int y0 = 0; y0 < to.height(); y0 += tile)
        for (int x0 = 0; x0 < to.width(); x0 += tile) {
            const int y1 = std::min(y0 + tile, to.height()), x1 = std::min(x0 + tile, to.width());
            for (int y = y0; y < y1; ++y) {
                std::uint8_t* dst = to.row(y) + static_cast<std::size_t>(x0) * Bpp;
                // An offset, not a pointer, walks on: one step past the last pixel may lie outside.
                std::ptrdiff_t at = walk.start + y * walk.yStep + x0 * walk.xStep;
                for (int x = x0; x < x1; ++x, dst += Bpp, at += walk.xStep) std::memcpy(dst, base + at, Bpp);
            }
        }
}

}  // namespace

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
    const SourceWalk walk = WalkFor(orientation, w, h, static_cast<std::ptrdiff_t>(bpp),
                                    static_cast<std::ptrdiff_t>(bitmap.stride()));
    const int tile = transpose ? kQuarterTurnTile : std::max(out.width(), out.height());
    switch (bpp) {
        case 1: CopyWalking<1>(bitmap, out, walk, tile); break;
        case 2: CopyWalking<2>(bitmap, out, walk, tile); break;
        case 3: CopyWalking<3>(bitmap, out, walk, tile); break;
        default: CopyWalking<4>(bitmap, out, walk, tile); break;
    }
    bitmap = std::move(out);
}

}  // namespace vs
