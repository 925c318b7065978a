#include "graphics/Bitmap.h"

#include "graphics/Errors.h"

#include <algorithm>
#include <string>

namespace vs {

int StorageBits(PixelFormat format) {
    return format == PixelFormat::Bpp15 ? 16 : static_cast<int>(format);
}

bool IsIndexed(PixelFormat format) {
    return format == PixelFormat::Bpp1 || format == PixelFormat::Bpp4 || format == PixelFormat::Bpp8;
}

void CheckPictureSize(std::int64_t width, std::int64_t height) {
    if (width < 0 || height < 0)
        throw DecodeError("invalid picture size " + std::to_string(width) + "x" + std::to_string(height));
    // Each side is bounded on its own too: a 0 x 2^31 picture holds no pixels but would
    // still make every loop over its rows run for ages.
    // Compare by division so a huge width cannot overflow the product.
    const auto w = static_cast<std::uint64_t>(width);
    const auto h = static_cast<std::uint64_t>(height);
    if (w > kMaxPixels || h > kMaxPixels || (w != 0 && h > kMaxPixels / w))
        throw DecodeError("picture of " + std::to_string(width) + "x" + std::to_string(height) +
                          " pixels exceeds the limit of 2^28 pixels");
}

std::size_t RowStride(int width, PixelFormat format) {
    const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(StorageBits(format));
    return (bits + 31) / 32 * 4;
}

Bitmap::Bitmap(int width, int height, PixelFormat format) { reset(width, height, format); }

void Bitmap::reset(int width, int height, PixelFormat format) {
    CheckPictureSize(width, height);
    width_ = width;
    height_ = height;
    format_ = format;
    stride_ = RowStride(width, format);
    data_.assign(stride_ * static_cast<std::size_t>(height), 0);
    if (IsIndexed(format))
        palette_.resize(std::size_t{1} << static_cast<int>(format));
    else
        palette_.clear();
}

namespace {

inline std::uint8_t Expand5(unsigned v) { return static_cast<std::uint8_t>((v << 3) | (v >> 2)); }
inline std::uint8_t Expand6(unsigned v) { return static_cast<std::uint8_t>((v << 2) | (v >> 4)); }

inline unsigned IndexAt(const std::uint8_t* row, int x, PixelFormat format) {
    switch (format) {
    case PixelFormat::Bpp1:
        return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case PixelFormat::Bpp4:
        return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    default:
        return row[x];
    }
}

// Converts one row of any format to blue, green, red bytes.
void RowToBgr24(const Bitmap& src, int y, std::uint8_t* out) {
    const std::uint8_t* in = src.row(y);
    const int w = src.width();
    switch (src.format()) {
    case PixelFormat::Bpp1:
    case PixelFormat::Bpp4:
    case PixelFormat::Bpp8: {
        const auto& pal = src.palette();
        for (int x = 0; x < w; ++x) {
            const unsigned i = IndexAt(in, x, src.format());
            const Rgb c = i < pal.size() ? pal[i] : Rgb{};
            out[3 * x] = c.b;
            out[3 * x + 1] = c.g;
            out[3 * x + 2] = c.r;
        }
        break;
    }
    case PixelFormat::Bpp15:
        for (int x = 0; x < w; ++x) {
            const unsigned v = in[2 * x] | (unsigned{in[2 * x + 1]} << 8);
            out[3 * x] = Expand5(v & 31u);
            out[3 * x + 1] = Expand5((v >> 5) & 31u);
            out[3 * x + 2] = Expand5((v >> 10) & 31u);
        }
        break;
    case PixelFormat::Bpp16:
        for (int x = 0; x < w; ++x) {
            const unsigned v = in[2 * x] | (unsigned{in[2 * x + 1]} << 8);
            out[3 * x] = Expand5(v & 31u);
            out[3 * x + 1] = Expand6((v >> 5) & 63u);
            out[3 * x + 2] = Expand5((v >> 11) & 31u);
        }
        break;
    case PixelFormat::Bpp24:
        std::copy_n(in, 3 * static_cast<std::size_t>(w), out);
        break;
    case PixelFormat::Bpp32:
        for (int x = 0; x < w; ++x) {
            out[3 * x] = in[4 * x];
            out[3 * x + 1] = in[4 * x + 1];
            out[3 * x + 2] = in[4 * x + 2];
        }
        break;
    }
}

}  // namespace

Rgb Bitmap::pixel(int x, int y) const {
    const std::uint8_t* in = row(y);
    switch (format_) {
    case PixelFormat::Bpp1:
    case PixelFormat::Bpp4:
    case PixelFormat::Bpp8: {
        const unsigned i = IndexAt(in, x, format_);
        return i < palette_.size() ? palette_[i] : Rgb{};
    }
    case PixelFormat::Bpp15: {
        const unsigned v = in[2 * x] | (unsigned{in[2 * x + 1]} << 8);
        return {Expand5((v >> 10) & 31u), Expand5((v >> 5) & 31u), Expand5(v & 31u)};
    }
    case PixelFormat::Bpp16: {
        const unsigned v = in[2 * x] | (unsigned{in[2 * x + 1]} << 8);
        return {Expand5((v >> 11) & 31u), Expand6((v >> 5) & 63u), Expand5(v & 31u)};
    }
    case PixelFormat::Bpp24:
        return {in[3 * x + 2], in[3 * x + 1], in[3 * x]};
    case PixelFormat::Bpp32:
        break;
    }
    return {in[4 * x + 2], in[4 * x + 1], in[4 * x]};
}

Bitmap Bitmap::toBgr24() const {
    if (format_ == PixelFormat::Bpp24)
        return *this;
    Bitmap out(width_, height_, PixelFormat::Bpp24);
    for (int y = 0; y < height_ && width_ > 0; ++y)
        RowToBgr24(*this, y, out.row(y));
    return out;
}

void Bitmap::convertTo24() {
    if (format_ != PixelFormat::Bpp24)
        *this = toBgr24();
}

const std::array<Rgb, 256>& HalftonePalette() {
    static const std::array<Rgb, 256> table = [] {
        std::array<Rgb, 256> t{};
        for (int i = 0; i < 216; ++i)
            t[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i / 36 * 51),
                                              static_cast<std::uint8_t>(i / 6 % 6 * 51),
                                              static_cast<std::uint8_t>(i % 6 * 51)};
        for (int k = 0; k < 40; ++k) {
            const auto v = static_cast<std::uint8_t>((k + 1) * 255 / 41);
            t[static_cast<std::size_t>(216 + k)] = {v, v, v};
        }
        return t;
    }();
    return table;
}

}  // namespace vs
