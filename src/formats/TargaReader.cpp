#include "formats/TargaReader.h"

#include "graphics/ByteReader.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <vector>

namespace vs {

namespace {

// A 16-bit Targa colour: bit 15 attribute, then 5 bits each of red, green, blue; widened by
// bit replication as the bitmap core widens 15-bit pixels.
std::uint8_t Widen5(unsigned v) {
    return static_cast<std::uint8_t>((v << 3) | (v >> 2));
}
Rgb From16(unsigned v) {
    return {Widen5((v >> 10) & 31), Widen5((v >> 5) & 31), Widen5(v & 31)};
}

Rgb ReadColour(ByteReader& in, int bits) {
    switch (bits) {
        case 15:
        case 16:
            return From16(in.u16le());
        case 24:
        case 32: {
            Rgb c;
            c.b = in.u8();
            c.g = in.u8();
            c.r = in.u8();
            if (bits == 32)
                in.skip(1);
            return c;
        }
        default:
            in.fail("unsupported colour map entry size " + std::to_string(bits));
    }
}

// Expands run-length packets into exactly out.size() bytes. Packets may run across rows.
void Unpack(ByteReader& in, std::vector<std::uint8_t>& out, std::size_t pixelBytes) {
    std::size_t pos = 0;
    while (pos < out.size()) {
        const std::uint8_t head = in.u8();
        const std::size_t count = (head & 0x7Fu) + 1u;
        const std::size_t bytes = count * pixelBytes;
        if (bytes > out.size() - pos)
            in.fail("run-length packet runs past the end of the picture");
        if (head & 0x80u) {
            const auto pixel = in.bytes(pixelBytes);
            for (std::size_t i = 0; i < count; ++i, pos += pixelBytes)
                std::copy(pixel.begin(), pixel.end(), out.begin() + static_cast<std::ptrdiff_t>(pos));
        } else {
            const auto run = in.bytes(bytes);
            std::copy(run.begin(), run.end(), out.begin() + static_cast<std::ptrdiff_t>(pos));
            pos += bytes;
        }
    }
}

}  // namespace

Bitmap DecodeTarga(std::span<const std::uint8_t> data, Rgb matte) {
    ByteReader in(data, "Targa");
    const std::uint8_t idLength = in.u8();
    const std::uint8_t mapType = in.u8();
    const std::uint8_t imageType = in.u8();
    const std::uint16_t mapFirst = in.u16le();
    const std::uint16_t mapLength = in.u16le();
    const std::uint8_t mapEntryBits = in.u8();
    in.skip(4);  // x and y origin of the screen position, not used for display
    const int width = in.u16le();
    const int height = in.u16le();
    const int depth = in.u8();
    const std::uint8_t descriptor = in.u8();

    const bool rle = imageType >= 9;
    const int baseType = rle ? imageType - 8 : imageType;
    if (baseType < 1 || baseType > 3 || mapType > 1)
        in.fail("unsupported image type " + std::to_string(imageType));
    if ((baseType == 1 && (depth != 8 || mapType != 1)) || (baseType == 3 && depth != 8 && depth != 16) ||
        (baseType == 2 && depth != 15 && depth != 16 && depth != 24 && depth != 32))
        in.fail("unsupported pixel depth " + std::to_string(depth) + " for image type " + std::to_string(imageType));
    CheckPictureSize(width, height);

    in.skip(idLength);
    std::vector<Rgb> map;
    if (mapType == 1) {
        if (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
            in.fail("unsupported colour map entry size " + std::to_string(mapEntryBits));
        if (baseType != 1) {
            in.skip(std::size_t{mapLength} * ((mapEntryBits + 7u) / 8u));  // a map a true-colour file carries
        } else {
            map.reserve(mapLength);
            for (unsigned i = 0; i < mapLength; ++i) map.push_back(ReadColour(in, mapEntryBits));
        }
    }

    const std::size_t pixelBytes = (static_cast<std::size_t>(depth) + 7) / 8;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
    const std::size_t total = rowBytes * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> pixels;
    std::span<const std::uint8_t> source;
    if (rle) {
        // A packet of a few bytes yields at most 128 pixels: refuse what the data cannot fill.
        if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) / 128 > in.remaining())
            in.fail("unexpected end of file");
        pixels.resize(total);
        Unpack(in, pixels, pixelBytes);
        source = pixels;
    } else {
        source = in.bytes(total);
    }

    const bool greyWithAlpha = baseType == 3 && depth == 16;
    PixelFormat format = PixelFormat::Bpp24;
    if (greyWithAlpha)
        format = PixelFormat::Bpp24;
    else if (baseType != 2)
        format = PixelFormat::Bpp8;
    else if (depth == 32)
        format = PixelFormat::Bpp32;
    else if (depth <= 16)
        format = PixelFormat::Bpp15;
    Bitmap bmp(width, height, format);
    if (baseType == 1) {
        // Index i of the file's pixels names map entry i - first; others are black.
        for (std::size_t i = 0; i < map.size() && mapFirst + i < 256; ++i) bmp.palette()[mapFirst + i] = map[i];
    } else if (format == PixelFormat::Bpp8) {
        for (unsigned i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            bmp.palette()[i] = {v, v, v};
        }
    }

    const bool topDown = (descriptor & 0x20u) != 0;
    const bool rightToLeft = (descriptor & 0x10u) != 0;
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* src = source.data() + static_cast<std::size_t>(r) * rowBytes;
        std::uint8_t* dst = bmp.row(topDown ? r : height - 1 - r);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = src + static_cast<std::size_t>(rightToLeft ? width - 1 - x : x) * pixelBytes;
            if (greyWithAlpha) {  // GIMP writes these
                const unsigned a = p[1];
                const auto over = [&](unsigned matteLevel) {
                    return static_cast<std::uint8_t>((p[0] * a + matteLevel * (255 - a) + 127) / 255);
                };
                dst[3 * x] = over(matte.b);
                dst[3 * x + 1] = over(matte.g);
                dst[3 * x + 2] = over(matte.r);
                continue;
            }
            switch (depth) {
                case 8:
                    dst[x] = p[0];
                    break;
                case 15:
                case 16:  // the same 5-5-5 word as a 15-bit bitmap's, less the attribute bit
                    dst[2 * x] = p[0];
                    dst[2 * x + 1] = static_cast<std::uint8_t>(p[1] & 0x7F);
                    break;
                default:
                    std::copy(p, p + pixelBytes, dst + static_cast<std::size_t>(x) * pixelBytes);
                    break;
            }
        }
    }
    return bmp;
}

}  // namespace vs
