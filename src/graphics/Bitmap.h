#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vs {

// Bits per pixel of a bitmap. 15 is 5-5-5 (bit 15 unused), 16 is 5-6-5, 24 is blue, green,
// red bytes, 32 is blue, green, red and one unused byte. 1, 4 and 8 index the palette.
enum class PixelFormat : std::uint8_t {
    Bpp1 = 1,
    Bpp4 = 4,
    Bpp8 = 8,
    Bpp15 = 15,
    Bpp16 = 16,
    Bpp24 = 24,
    Bpp32 = 32,
};

// Storage bits of one pixel (15-bit pixels take 16).
int StorageBits(PixelFormat format);
bool IsIndexed(PixelFormat format);

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// What transparent pixels lie on where no other background is given (thumbnails, files).
inline constexpr Rgb kWhite{255, 255, 255};

// Largest picture any reader of ours will allocate: 2^28 pixels (16384 x 16384), about
// 768 MiB at 24 bits per pixel. A header that claims more is refused before allocating.
inline constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 28;

// Deflate turns one byte into at most 1032: the most a zlib stream of n bytes can unpack to,
// by which readers refuse a size claim the file cannot hold before allocating for it.
inline constexpr std::uint64_t kMaxDeflateRatio = 1032;

// A floating-point sample of 0.0 to 1.0 as 0 to scale (255 for bytes, 65535 for 16 bits),
// rounded; beyond that clamped, NaN as 0. Float TIFF and Photoshop samples map this way.
inline unsigned FloatSampleToScale(double v, unsigned scale) {
    if (!(v > 0.0))
        return 0;
    return v >= 1.0 ? scale : static_cast<unsigned>(std::lround(v * scale));
}

// Throws DecodeError when a side is negative, or a side or width x height exceeds kMaxPixels.
void CheckPictureSize(std::int64_t width, std::int64_t height);

// A picture in memory. Row 0 is the top row. Rows are padded to 4 bytes, as device-
// independent bitmaps are, so a row can be written to a BMP file as it stands.
// New and resized storage is zero (black, or palette index 0).
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, PixelFormat format);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    PixelFormat format() const { return format_; }
    int bitsPerPixel() const { return static_cast<int>(format_); }
    std::size_t stride() const { return stride_; }

    std::uint8_t* row(int y) { return data_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* row(int y) const { return data_.data() + static_cast<std::size_t>(y) * stride_; }
    std::uint8_t* bits() { return data_.data(); }
    const std::uint8_t* bits() const { return data_.data(); }
    std::size_t byteSize() const { return data_.size(); }

    // Colour table of 1-, 4- and 8-bit bitmaps (2, 16 or 256 entries); empty otherwise.
    std::vector<Rgb>& palette() { return palette_; }
    const std::vector<Rgb>& palette() const { return palette_; }

    // Gives the bitmap a new size and format. All pixels become zero; an indexed format
    // gets a palette of its full size (kept where the old one had entries, black beyond).
    void reset(int width, int height, PixelFormat format);
    // Changes the size only, like reset with the current format.
    void resize(int width, int height) { reset(width, height, format_); }

    // Colour of pixel (x, y), whatever the format. For tests and slow paths only.
    Rgb pixel(int x, int y) const;

    // A 24-bit (blue, green, red) copy. Palette indices expand through the palette, 15- and
    // 16-bit channels by bit replication (a 5-bit 31 becomes 255).
    Bitmap toBgr24() const;
    // Converts in place to 24 bits per pixel; does nothing when already 24-bit.
    void convertTo24();

    friend bool operator==(const Bitmap&, const Bitmap&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Bpp24;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> data_;
    std::vector<Rgb> palette_;
};

// Bytes of one padded row of a bitmap of this width and format.
std::size_t RowStride(int width, PixelFormat format);

// The fixed 256-colour halftone palette used for 8-bit pictures that carry no palette
// (8-bit KEV files and album pages): indices 0 to 215 are a 6x6x6 colour cube
// (index = 36 r + 6 g + b, each level times 51), 216 to 255 are 40 greys between black and
// white, exclusive.
const std::array<Rgb, 256>& HalftonePalette();

}  // namespace vs
