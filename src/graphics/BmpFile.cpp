#include "graphics/BmpFile.h"

#include "graphics/ByteReader.h"
#include "graphics/ByteWriter.h"
#include "graphics/Errors.h"
#include "graphics/FileIo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

namespace vs {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiJpeg = 4;
constexpr std::uint32_t kBiPng = 5;
constexpr std::uint32_t kBiAlphaBitfields = 6;
// OS/2 2.x numbers 3 and 4 differently: Huffman 1D (not read) and 24-bit runs, kept apart
// from the Windows meanings under a number of our own.
constexpr std::uint32_t kOs2Rle24 = 0x100 | 4;

struct BmpHeader {
    std::uint32_t pixelOffset = 0;
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0};
    bool haveMasks = false;
    std::size_t paletteStart = 0;
    std::size_t paletteEntrySize = 4;
};

BmpHeader ReadHeader(ByteReader& in) {
    BmpHeader h;
    if (in.u8() != 'B' || in.u8() != 'M')
        in.fail("not a BMP file (no BM signature)");
    in.skip(8);  // file size and reserved words: often wrong in real files, never trusted
    h.pixelOffset = in.u32le();
    const std::size_t infoStart = in.pos();
    h.headerSize = in.u32le();
    switch (h.headerSize) {
        case 12:
            h.width = in.i16le();
            h.height = in.i16le();
            in.skip(2);  // planes
            h.bitCount = in.u16le();
            h.paletteEntrySize = 3;
            break;
        case 16:  // OS/2 2.x short form: the first fields of the 40-byte header, rest zero
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124: {
            h.width = in.i32le();
            h.height = in.i32le();
            in.skip(2);  // planes
            h.bitCount = in.u16le();
            if (h.headerSize == 16)
                break;
            h.compression = in.u32le();
            in.skip(12);  // image size, resolution
            h.colorsUsed = in.u32le();
            in.skip(4);  // important colours
            if (h.headerSize == 64 && h.compression == 4)
                h.compression = kOs2Rle24;
            else if (h.headerSize == 64 && h.compression > kBiRle4)
                in.fail("unsupported OS/2 compression");
            if (h.compression == kBiBitfields || h.compression == kBiAlphaBitfields) {
                // Masks sit in the header from 52 bytes on, after a 40-byte header otherwise.
                if (h.headerSize == 40)
                    in.seek(infoStart + 40);
                for (auto& m : h.masks) m = in.u32le();
                h.haveMasks = true;
                if (h.headerSize == 40 && h.compression == kBiAlphaBitfields)
                    in.skip(4);
            }
            break;
        }
        default:
            in.fail("unsupported header size " + std::to_string(h.headerSize));
    }
    h.paletteStart = std::max(in.pos(), infoStart + h.headerSize);
    return h;
}

std::vector<Rgb> ReadPalette(ByteReader& in, const BmpHeader& h) {
    const std::size_t full = std::size_t{1} << h.bitCount;
    std::size_t count = (h.colorsUsed == 0 || h.colorsUsed > full) ? full : h.colorsUsed;
    // A colour table may be shorter than the bit depth allows: the pixel data offset, when
    // it points into the table, says where it really ends.
    if (h.pixelOffset > h.paletteStart)
        count = std::min(count, (h.pixelOffset - h.paletteStart) / h.paletteEntrySize);
    if (h.paletteStart + count * h.paletteEntrySize > in.size())
        in.fail("colour table runs past the end of the file");
    in.seek(h.paletteStart);
    std::vector<Rgb> pal(full);
    for (std::size_t i = 0; i < count; ++i) {
        const auto e = in.bytes(h.paletteEntrySize);
        pal[i] = {e[2], e[1], e[0]};
    }
    return pal;
}

// One channel of a bit-field pixel, scaled to 8 bits.
struct Channel {
    int shift = 0;
    int bits = 0;
    std::uint32_t mask = 0;

    explicit Channel(std::uint32_t m) : shift(m ? std::countr_zero(m) : 0), bits(std::popcount(m)), mask(m) {}

    std::uint8_t operator()(std::uint32_t v) const {
        if (bits == 0)
            return 0;
        std::uint32_t c = (v & mask) >> shift;
        if (bits >= 8)
            return static_cast<std::uint8_t>(c >> (bits - 8));
        // Replicate the bits downwards, so the largest value becomes 255.
        std::uint32_t out = 0;
        for (int have = 0; have < 8; have += bits) out = (out << bits) | c;
        return static_cast<std::uint8_t>(out >> (((8 + bits - 1) / bits) * bits - 8));
    }
};

bool IsContiguous(std::uint32_t m) {
    return m == 0 || std::has_single_bit((m >> std::countr_zero(m)) + 1);
}

// Runs of palette indexes (RLE8, RLE4) or of blue-green-red pixels (OS/2 RLE24), a value
// being 1 or 3 bytes.
void DecodeRle(ByteReader& in, const BmpHeader& h, Bitmap& bmp) {
    const bool four = h.compression == kBiRle4;
    const bool rgb = h.compression == kOs2Rle24;
    const int w = bmp.width();
    const int rows = bmp.height();
    int x = 0;
    int line = 0;  // counted from the bottom
    const auto value = [&](std::uint8_t first) -> unsigned {
        if (!rgb)
            return first;
        const unsigned green = in.u8();
        const unsigned red = in.u8();
        return first | green << 8 | red << 16;
    };
    const auto put = [&](unsigned index) {
        if (x < w && line < rows) {
            std::uint8_t* row = bmp.row(rows - 1 - line);
            if (rgb) {
                std::uint8_t* px = row + 3 * static_cast<std::size_t>(x);
                px[0] = static_cast<std::uint8_t>(index);
                px[1] = static_cast<std::uint8_t>(index >> 8);
                px[2] = static_cast<std::uint8_t>(index >> 16);
            } else if (four) {
                std::uint8_t& b = row[x >> 1];
                b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | (index & 0x0F))
                            : static_cast<std::uint8_t>((b & 0x0F) | (index << 4));
            } else {
                row[x] = static_cast<std::uint8_t>(index);
            }
        }
        ++x;
    };
    while (line < rows) {
        const std::uint8_t count = in.u8();
        const std::uint8_t code = in.u8();
        if (count > 0) {
            const unsigned v = value(code);
            for (int i = 0; i < count; ++i) put(four ? ((i & 1) ? v & 0x0F : v >> 4) : v);
            continue;
        }
        switch (code) {
            case 0:  // end of line
                x = 0;
                ++line;
                break;
            case 1:  // end of bitmap
                return;
            case 2:  // delta
                x += in.u8();
                line += in.u8();
                break;
            default: {  // absolute run, padded to a 16-bit boundary
                const int n = code;
                const std::size_t bytes = four  ? (static_cast<std::size_t>(n) + 1) / 2
                                          : rgb ? 3 * static_cast<std::size_t>(n)
                                                : static_cast<std::size_t>(n);
                const auto run = in.bytes(bytes);
                for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i)
                    put(four  ? ((i & 1) ? run[i / 2] & 0x0F : run[i / 2] >> 4)
                        : rgb ? run[3 * i] | unsigned{run[3 * i + 1]} << 8 | unsigned{run[3 * i + 2]} << 16
                              : run[i]);
                if (bytes & 1)
                    in.skip(1);
                break;
            }
        }
    }
}

}  // namespace

Bitmap DecodeBmp(std::span<const std::uint8_t> data) {
    ByteReader in(data, "BMP");
    const BmpHeader h = ReadHeader(in);

    // A side of zero is no picture, and a width of zero would let millions of rows through.
    if (h.width <= 0 || h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min())
        in.fail("invalid picture size");
    const bool topDown = h.height < 0;
    const int width = h.width;
    const int height = topDown ? -h.height : h.height;
    CheckPictureSize(width, height);

    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4 || h.compression == kOs2Rle24;
    if (rle && topDown)
        in.fail("run-length data must be stored bottom-up");
    if ((h.compression == kBiRle8 && h.bitCount != 8) || (h.compression == kBiRle4 && h.bitCount != 4) ||
        (h.compression == kOs2Rle24 && h.bitCount != 24))
        in.fail("run-length type does not match the bit depth");
    if (h.haveMasks && h.bitCount != 16 && h.bitCount != 32)
        in.fail("bit-field masks need 16 or 32 bits per pixel");
    if (!rle && h.compression != kBiRgb && !h.haveMasks)
        in.fail("unsupported compression " + std::to_string(h.compression));

    PixelFormat format;
    switch (h.bitCount) {
        case 1:
            format = PixelFormat::Bpp1;
            break;
        case 2:
            format = PixelFormat::Bpp4;
            break;  // Windows CE: each pixel widened to a nibble
        case 4:
            format = PixelFormat::Bpp4;
            break;
        case 8:
            format = PixelFormat::Bpp8;
            break;
        case 16:
            format = PixelFormat::Bpp15;
            break;
        case 24:
            format = PixelFormat::Bpp24;
            break;
        case 32:
            format = PixelFormat::Bpp32;
            break;
        default:
            in.fail("unsupported bit depth " + std::to_string(h.bitCount));
    }

    std::vector<Rgb> palette;
    if (IsIndexed(format))
        palette = ReadPalette(in, h);

    if (h.pixelOffset < 14 + h.headerSize)
        in.fail("pixel data offset points into the header");
    in.seek(std::min<std::size_t>(h.pixelOffset, data.size()));

    // Masks that match one of our own formats are stored as they are; others are unpacked.
    bool generic = false;
    if (h.haveMasks) {
        const auto& m = h.masks;
        if (!IsContiguous(m[0]) || !IsContiguous(m[1]) || !IsContiguous(m[2]))
            in.fail("bit-field masks are not contiguous");
        if (h.bitCount == 16 && m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F)
            format = PixelFormat::Bpp15;
        else if (h.bitCount == 16 && m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F)
            format = PixelFormat::Bpp16;
        else if (h.bitCount == 32 && m[0] == 0x00FF0000 && m[1] == 0x0000FF00 && m[2] == 0x000000FF)
            format = PixelFormat::Bpp32;
        else
            generic = true;
    }

    // Check the data is all there before allocating for it.
    const bool twoBit = h.bitCount == 2;
    const std::size_t fileStride =
        twoBit ? (static_cast<std::size_t>(width) * 2 + 31) / 32 * 4 : RowStride(width, format);
    if (!rle && fileStride > 0 && in.remaining() / fileStride < static_cast<std::size_t>(height))
        in.fail("pixel data is truncated");

    Bitmap bmp(width, height, generic ? PixelFormat::Bpp24 : format);
    if (IsIndexed(format)) {
        palette.resize(bmp.palette().size());  // a 2-bit table fills the first 4 of 16 entries
        bmp.palette() = std::move(palette);
    }
    if (bmp.empty())
        return bmp;

    if (rle) {
        DecodeRle(in, h, bmp);
        return bmp;
    }
    for (int r = 0; r < height; ++r) {
        const auto src = in.bytes(fileStride);
        std::uint8_t* dst = bmp.row(topDown ? r : height - 1 - r);
        if (twoBit) {
            for (int x = 0; x < width; ++x) {
                const auto i = static_cast<std::size_t>(x);
                const unsigned v = (src[i / 4] >> (6 - 2 * (i % 4))) & 3u;
                dst[i / 2] = static_cast<std::uint8_t>(dst[i / 2] | (i % 2 ? v : v << 4));
            }
            continue;
        }
        if (!generic) {
            std::memcpy(dst, src.data(), fileStride);
            continue;
        }
        const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
        for (int x = 0; x < width; ++x) {
            const std::size_t i = static_cast<std::size_t>(x);
            const std::uint32_t v =
                h.bitCount == 16 ? std::uint32_t{src[2 * i]} | (std::uint32_t{src[2 * i + 1]} << 8)
                                 : std::uint32_t{src[4 * i]} | (std::uint32_t{src[4 * i + 1]} << 8) |
                                       (std::uint32_t{src[4 * i + 2]} << 16) | (std::uint32_t{src[4 * i + 3]} << 24);
            dst[3 * i] = blue(v);
            dst[3 * i + 1] = green(v);
            dst[3 * i + 2] = red(v);
        }
    }
    return bmp;
}

Bitmap LoadBmpFile(const std::string& path) {
    return DecodeBmp(ReadFileBytes(path));
}

BmpEmbedded FindBmpEmbeddedStream(std::span<const std::uint8_t> data) {
    try {
        ByteReader in(data, "BMP");
        const BmpHeader h = ReadHeader(in);
        if (h.headerSize < 40 || h.headerSize == 64 || (h.compression != kBiJpeg && h.compression != kBiPng) ||
            h.pixelOffset >= data.size())
            return {};
        return {h.compression == kBiJpeg ? BmpEmbedded::Jpeg : BmpEmbedded::Png, data.subspan(h.pixelOffset)};
    } catch (const DecodeError&) {
        return {};
    }
}

std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap) {
    const bool indexed = IsIndexed(bitmap.format());
    const Bitmap converted = indexed ? Bitmap() : bitmap.toBgr24();
    const Bitmap& b = indexed ? bitmap : converted;

    const std::uint32_t colors = indexed ? (1u << b.bitsPerPixel()) : 0;
    const std::uint32_t offset = 14 + 40 + 4 * colors;
    const std::size_t imageBytes = b.stride() * static_cast<std::size_t>(b.height());
    if (offset + imageBytes > std::numeric_limits<std::uint32_t>::max())
        throw ImageError("picture too large for a BMP file");

    std::vector<std::uint8_t> out;
    out.reserve(offset + imageBytes);
    out.push_back('B');
    out.push_back('M');
    PutLe32(out, static_cast<std::uint32_t>(offset + imageBytes));
    PutLe32(out, 0);
    PutLe32(out, offset);
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(b.width()));
    PutLe32(out, static_cast<std::uint32_t>(b.height()));
    PutLe16(out, 1);
    PutLe16(out, static_cast<std::uint32_t>(b.bitsPerPixel()));
    PutLe32(out, kBiRgb);
    PutLe32(out, static_cast<std::uint32_t>(imageBytes));
    PutLe32(out, 2835);  // 72 dpi
    PutLe32(out, 2835);
    PutLe32(out, colors);
    PutLe32(out, 0);
    for (std::uint32_t i = 0; i < colors; ++i) {
        const Rgb c = i < b.palette().size() ? b.palette()[i] : Rgb{};
        out.insert(out.end(), {c.b, c.g, c.r, 0});
    }
    for (int r = b.height() - 1; r >= 0; --r) out.insert(out.end(), b.row(r), b.row(r) + b.stride());
    return out;
}

void SaveBmpFile(const Bitmap& bitmap, const std::string& path) {
    WriteFileAtomically(path, EncodeBmp(bitmap));
}

}  // namespace vs
