#include "graphics/Bitmap.h"

#include "graphics/Errors.h"

#include <type_traits>
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

// The colour of pixel x of a row in format F: the one place that knows every pixel layout.
template <PixelFormat F>
inline Rgb PixelAt(const std::uint8_t* row, int x, const std::vector<Rgb>& palette) {
    if constexpr (F == PixelFormat::Bpp1 || F == PixelFormat::Bpp4 || F == PixelFormat::Bpp8) {
        unsigned i;
        if constexpr (F == PixelFormat::Bpp1)
            i = (row[x >> 3] >> (7 - (x & 7))) & 1u;
        else if constexpr (F == PixelFormat::Bpp4)
            i = (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
        else
            i = row[x];
        return i < palette.size() ? palette[i] : Rgb{};  // a short palette reads as black
    } else if constexpr (F == PixelFormat::Bpp15 || F == PixelFormat::Bpp16) {
        const unsigned v = row[2 * x] | (unsigned{row[2 * x + 1]} << 8);
        if constexpr (F == PixelFormat::Bpp15)
            return {Expand5((v >> 10) & 31u), Expand5((v >> 5) & 31u), Expand5(v & 31u)};
        else
            return {Expand5((v >> 11) & 31u), Expand6((v >> 5) & 63u), Expand5(v & 31u)};
    } else {
        constexpr int bytes = F == PixelFormat::Bpp24 ? 3 : 4;
        return {row[bytes * x + 2], row[bytes * x + 1], row[bytes * x]};
    }
}

template <PixelFormat F>
void RowToBgr24(const std::uint8_t* in, int width, const std::vector<Rgb>& palette, std::uint8_t* out) {
    for (int x = 0; x < width; ++x) {
        const Rgb c = PixelAt<F>(in, x, palette);
        out[3 * x] = c.b;
        out[3 * x + 1] = c.g;
        out[3 * x + 2] = c.r;
    }
}

// Calls f with the format as a compile-time constant, so per-pixel code has no switch.
template <typename Fn>
decltype(auto) WithFormat(PixelFormat format, Fn&& f) {
    switch (format) {
    case PixelFormat::Bpp1: return f(std::integral_constant<PixelFormat, PixelFormat::Bpp1>{});
    case PixelFormat::Bpp4: return f(std::integral_constant<PixelFormat, PixelFormat::Bpp4>{});
    case PixelFormat::Bpp8: return f(std::integral_constant<PixelFormat, PixelFormat::Bpp8>{});
    case PixelFormat::Bpp15: return f(std::integral_constant<PixelFormat, PixelFormat::Bpp15>{});
    case PixelFormat::Bpp16: return f(std::integral_constant<PixelFormat, PixelFormat::Bpp16>{});
    case PixelFormat::Bpp24: return f(std::integral_constant<PixelFormat, PixelFormat::Bpp24>{});
    case PixelFormat::Bpp32: break;
    }
    return f(std::integral_constant<PixelFormat, PixelFormat::Bpp32>{});
}

}  // namespace

Rgb Bitmap::pixel(int x, int y) const {
    return WithFormat(format_, [&](auto f) { return PixelAt<decltype(f)::value>(row(y), x, palette_); });
}

Bitmap Bitmap::toBgr24() const {
    if (format_ == PixelFormat::Bpp24)
        return *this;
    Bitmap out(width_, height_, PixelFormat::Bpp24);
    WithFormat(format_, [&](auto f) {
        for (int y = 0; y < height_ && width_ > 0; ++y)
            RowToBgr24<decltype(f)::value>(row(y), width_, palette_, out.row(y));
    });
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
