#include "formats/PcxReader.h"

#include "graphics/ByteReader.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <vector>

namespace vs {

namespace {

constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kTailPaletteSize = 769;  // 0x0C then 256 red, green, blue triples

void FillGrey(Bitmap& bmp) {
    const std::size_t n = bmp.palette().size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (n - 1));
        bmp.palette()[i] = {v, v, v};
    }
}

// The sixteen colours of the IBM colour adapter: red, green and blue at two thirds, plus a
// third for intensity; dark yellow is brown, as the monitors showed it.
Rgb RgbiColour(unsigned index) {
    const auto level = [&](unsigned bit) {
        return static_cast<std::uint8_t>(((index & bit) ? 0xAA : 0) + ((index & 8u) ? 0x55 : 0));
    };
    if (index == 6)
        return {0xAA, 0x55, 0x00};
    return {level(4u), level(2u), level(1u)};
}

// Files of Paintbrush versions before 3.0 describe a four-colour picture by the CGA
// registers: the background colour in the high nibble of the first palette byte, and in
// the fourth byte colour burst off (bit 7), palette 1 (bit 6) and intensity (bit 5).
// Burst off gives the adapter's third palette, cyan, red and white.
void FillCga(Bitmap& bmp, std::span<const std::uint8_t> headerPalette) {
    const unsigned select = headerPalette[3];
    const unsigned bright = (select & 0x20u) ? 8u : 0u;
    static constexpr unsigned kSets[3][3] = {{2, 4, 6}, {3, 5, 7}, {3, 4, 7}};
    const auto& set = kSets[(select & 0x80u) ? 2 : (select & 0x40u) ? 1 : 0];
    bmp.palette()[0] = RgbiColour(headerPalette[0] >> 4);
    for (std::size_t i = 0; i < 3; ++i)
        bmp.palette()[i + 1] = RgbiColour(set[i] | bright);
}

}  // namespace

Bitmap DecodePcx(std::span<const std::uint8_t> data) {
    ByteReader in(data, "PCX");
    if (in.u8() != 0x0A)
        in.fail("not a PCX file");
    const std::uint8_t version = in.u8();
    const std::uint8_t encoding = in.u8();
    const int bits = in.u8();
    const int xMin = in.u16le();
    const int yMin = in.u16le();
    const int xMax = in.u16le();
    const int yMax = in.u16le();
    in.skip(4);  // resolution
    const auto headerPalette = in.bytes(48);
    in.skip(1);
    const int planes = in.u8();
    const std::size_t bytesPerLine = in.u16le();
    in.seek(kHeaderSize);

    if (version > 5 || encoding > 1)
        in.fail("unsupported version " + std::to_string(version) + " or encoding " + std::to_string(encoding));
    if (xMax < xMin || yMax < yMin)
        in.fail("invalid picture window");
    const int width = xMax - xMin + 1;
    const int height = yMax - yMin + 1;
    CheckPictureSize(width, height);

    enum class Layout { Planar, Packed, Bytes } layout;
    PixelFormat format;
    if (bits == 1 && planes >= 1 && planes <= 4) {
        layout = Layout::Planar;
        format = planes == 1 ? PixelFormat::Bpp1 : PixelFormat::Bpp4;
    } else if ((bits == 2 || bits == 4) && planes == 1) {
        layout = Layout::Packed;
        format = PixelFormat::Bpp4;
    } else if (bits == 8 && planes == 1) {
        layout = Layout::Packed;
        format = PixelFormat::Bpp8;
    } else if (bits == 8 && (planes == 3 || planes == 4)) {
        layout = Layout::Bytes;
        format = PixelFormat::Bpp24;
    } else {
        in.fail("unsupported layout of " + std::to_string(planes) + " planes of " + std::to_string(bits) + " bits");
    }
    if (bytesPerLine * 8 < static_cast<std::size_t>(width) * static_cast<std::size_t>(bits))
        in.fail("bytes per line too small for the width");

    // The whole scan, every plane of every row. Runs may cross row ends, as some writers do.
    const std::size_t scanLine = bytesPerLine * static_cast<std::size_t>(planes);
    const std::size_t total = scanLine * static_cast<std::size_t>(height);
    if (encoding == 0 && total > in.remaining())
        in.fail("unexpected end of file");
    // Every run byte yields at most 63 bytes: refuse a scan the data cannot fill before allocating.
    if (total / 63 > in.remaining())
        in.fail("unexpected end of file");
    std::vector<std::uint8_t> scan(total);
    if (encoding == 0) {
        const auto raw = in.bytes(total);
        std::copy(raw.begin(), raw.end(), scan.begin());
    } else {
        std::size_t pos = 0;
        while (pos < total) {
            std::uint8_t b = in.u8();
            std::size_t count = 1;
            if ((b & 0xC0u) == 0xC0u) {
                count = b & 0x3Fu;
                b = in.u8();
            }
            count = std::min(count, total - pos);
            std::fill_n(scan.begin() + static_cast<std::ptrdiff_t>(pos), count, b);
            pos += count;
        }
    }

    Bitmap bmp(width, height, format);
    auto& palette = bmp.palette();
    if (format == PixelFormat::Bpp8) {
        const std::size_t tail = data.size() - kTailPaletteSize;
        if (data.size() >= kHeaderSize + kTailPaletteSize && tail >= in.pos() && data[tail] == 0x0C) {
            for (std::size_t i = 0; i < 256; ++i)
                palette[i] = {data[tail + 1 + 3 * i], data[tail + 2 + 3 * i], data[tail + 3 + 3 * i]};
        } else {
            FillGrey(bmp);
        }
    } else if (format == PixelFormat::Bpp1) {
        palette[0] = {0, 0, 0};
        palette[1] = {255, 255, 255};
    } else if (bits == 2 && version <= 3) {
        FillCga(bmp, headerPalette);
    } else if (format == PixelFormat::Bpp4) {
        for (std::size_t i = 0; i < 16; ++i)
            palette[i] = {headerPalette[3 * i], headerPalette[3 * i + 1], headerPalette[3 * i + 2]};
    }

    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = scan.data() + static_cast<std::size_t>(y) * scanLine;
        std::uint8_t* dst = bmp.row(y);
        switch (layout) {
        case Layout::Planar:
            if (planes == 1) {
                std::copy_n(src, (width + 7) / 8, dst);
                break;
            }
            for (int x = 0; x < width; ++x) {
                unsigned index = 0;
                for (int p = 0; p < planes; ++p)
                    index |= ((src[static_cast<std::size_t>(p) * bytesPerLine + static_cast<std::size_t>(x >> 3)] >>
                               (7 - (x & 7))) & 1u) << p;
                dst[x >> 1] = static_cast<std::uint8_t>(dst[x >> 1] | ((x & 1) ? index : index << 4));
            }
            break;
        case Layout::Packed:
            if (bits == 8) {
                std::copy_n(src, width, dst);
            } else if (bits == 4) {
                std::copy_n(src, (width + 1) / 2, dst);
            } else {
                for (int x = 0; x < width; ++x) {
                    const unsigned index = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3u;
                    dst[x >> 1] = static_cast<std::uint8_t>(dst[x >> 1] | ((x & 1) ? index : index << 4));
                }
            }
            break;
        case Layout::Bytes:
            for (int x = 0; x < width; ++x) {
                dst[3 * x + 2] = src[x];
                dst[3 * x + 1] = src[bytesPerLine + static_cast<std::size_t>(x)];
                dst[3 * x] = src[2 * bytesPerLine + static_cast<std::size_t>(x)];
            }
            break;
        }
    }
    return bmp;
}

}  // namespace vs
