#include "formats/PsdReader.h"

#include "graphics/ByteReader.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vs {

namespace {

enum Mode : int { kBitmap = 0, kGrey = 1, kIndexed = 2, kRgb = 3, kCmyk = 4, kMultichannel = 7, kDuotone = 8, kLab = 9 };

int ChannelsOf(int mode) {
    switch (mode) {
    case kRgb:
    case kLab: return 3;
    case kCmyk: return 4;
    default: return 1;
    }
}

// PackBits: a count byte n, then n + 1 literal bytes (n < 128) or one byte repeated 257 - n
// times (n > 128); 128 is a no-op. Fills at most out.size() bytes; the rest stay zero.
void UnpackBits(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) {
    std::size_t i = 0;
    std::size_t o = 0;
    while (i < in.size() && o < out.size()) {
        const std::uint8_t n = in[i++];
        if (n < 128) {
            const std::size_t count = std::min<std::size_t>({n + 1u, in.size() - i, out.size() - o});
            std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(i), count, out.begin() + static_cast<std::ptrdiff_t>(o));
            i += n + 1u;
            o += count;
        } else if (n > 128) {
            if (i == in.size())
                break;
            const std::size_t count = std::min<std::size_t>(257u - n, out.size() - o);
            std::fill_n(out.begin() + static_cast<std::ptrdiff_t>(o), count, in[i++]);
            o += count;
        }
    }
}

inline unsigned Sample16(const std::uint8_t* row, int x, int depth) {
    return depth == 8 ? row[x] * 257u : (unsigned{row[2 * x]} << 8) | row[2 * x + 1];
}

inline std::uint8_t Sample(const std::uint8_t* row, int x, int depth) {
    return static_cast<std::uint8_t>(Sample16(row, x, depth) / 257);
}

double LabF(double t) { return t > 6.0 / 29.0 ? t * t * t : 3.0 * (6.0 / 29.0) * (6.0 / 29.0) * (t - 4.0 / 29.0); }

std::uint8_t ToSrgb(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    const double v = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

}  // namespace

Rgb LabToRgb(double l, double a, double b) {
    const double fy = (l + 16.0) / 116.0;
    // Photoshop's L*a*b* is relative to D50; this matrix takes D50 XYZ to linear sRGB with
    // Bradford adaptation, so neutral greys stay neutral.
    const double x = 0.96422 * LabF(fy + a / 500.0);
    const double y = LabF(fy);
    const double z = 0.82521 * LabF(fy - b / 200.0);
    return {ToSrgb(3.1338561 * x - 1.6168667 * y - 0.4906146 * z),
            ToSrgb(-0.9787684 * x + 1.9161415 * y + 0.0334540 * z),
            ToSrgb(0.0719453 * x - 0.2289914 * y + 1.4052427 * z)};
}

Bitmap DecodePsd(std::span<const std::uint8_t> data) {
    ByteReader in(data, "Photoshop");
    if (in.u32be() != 0x38425053u)  // "8BPS"
        in.fail("not a Photoshop file");
    if (in.u16be() != 1)
        in.fail("unsupported version");
    in.skip(6);
    const int channels = in.u16be();
    const std::uint32_t height32 = in.u32be();
    const std::uint32_t width32 = in.u32be();
    const int depth = in.u16be();
    const int mode = in.u16be();
    // The format allows 1 to 30000 in each direction; anything else is a damaged header.
    if (width32 < 1 || width32 > 30000 || height32 < 1 || height32 > 30000)
        in.fail("invalid picture size " + std::to_string(width32) + "x" + std::to_string(height32));
    CheckPictureSize(width32, height32);
    const int width = static_cast<int>(width32);
    const int height = static_cast<int>(height32);

    const bool known = mode == kBitmap || mode == kGrey || mode == kIndexed || mode == kRgb || mode == kCmyk ||
                       mode == kMultichannel || mode == kDuotone || mode == kLab;
    if (!known)
        in.fail("unsupported colour mode " + std::to_string(mode));
    if (mode == kBitmap ? depth != 1 : (depth != 8 && depth != 16))
        in.fail("unsupported depth " + std::to_string(depth) + " for colour mode " + std::to_string(mode));
    const int used = ChannelsOf(mode);
    if (channels < used || channels > 56)
        in.fail("invalid channel count " + std::to_string(channels));

    const auto modeData = in.bytes(in.u32be());
    if (mode == kIndexed && modeData.size() < 768)
        in.fail("indexed picture without its colour table");
    in.skip(in.u32be());  // image resources
    in.skip(in.u32be());  // layers and masks: the merged picture follows them
    const int compression = in.u16be();
    if (compression > 1)
        in.fail("unsupported compression " + std::to_string(compression));

    // Planes of the channels we show, each height rows of rowBytes.
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 7) / 8;
    const std::size_t planeBytes = rowBytes * static_cast<std::size_t>(height);
    std::vector<std::vector<std::uint8_t>> planes(static_cast<std::size_t>(used));
    if (compression == 0) {
        for (auto& plane : planes) {
            const auto raw = in.bytes(planeBytes);
            plane.assign(raw.begin(), raw.end());
        }
    } else {
        const std::size_t rows = static_cast<std::size_t>(channels) * static_cast<std::size_t>(height);
        const auto countBytes = in.bytes(rows * 2);
        // A row of n bytes packs into at least n / 128 bytes: refuse a picture the data cannot hold.
        if (planeBytes / 128 * static_cast<std::size_t>(used) > in.remaining())
            in.fail("unexpected end of file");
        for (std::size_t c = 0; c < planes.size(); ++c) {
            planes[c].assign(planeBytes, 0);
            for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
                const std::size_t r = c * static_cast<std::size_t>(height) + y;
                const std::size_t n = (std::size_t{countBytes[2 * r]} << 8) | countBytes[2 * r + 1];
                UnpackBits(in.bytes(n), std::span(planes[c]).subspan(y * rowBytes, rowBytes));
            }
        }
    }

    if (mode == kBitmap) {
        Bitmap bmp(width, height, PixelFormat::Bpp1);
        bmp.palette()[0] = {255, 255, 255};  // a set bit is black
        bmp.palette()[1] = {0, 0, 0};
        for (int y = 0; y < height; ++y)
            std::copy_n(planes[0].data() + static_cast<std::size_t>(y) * rowBytes, rowBytes, bmp.row(y));
        return bmp;
    }
    if (used == 1) {
        Bitmap bmp(width, height, PixelFormat::Bpp8);
        for (std::size_t i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            bmp.palette()[i] = mode == kIndexed ? Rgb{modeData[i], modeData[256 + i], modeData[512 + i]} : Rgb{v, v, v};
        }
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* src = planes[0].data() + static_cast<std::size_t>(y) * rowBytes;
            std::uint8_t* dst = bmp.row(y);
            for (int x = 0; x < width; ++x)
                dst[x] = Sample(src, x, depth);
        }
        return bmp;
    }

    Bitmap bmp(width, height, PixelFormat::Bpp24);
    for (int y = 0; y < height; ++y) {
        const std::size_t offset = static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* dst = bmp.row(y);
        for (int x = 0; x < width; ++x) {
            const unsigned s0 = Sample(planes[0].data() + offset, x, depth);
            const unsigned s1 = Sample(planes[1].data() + offset, x, depth);
            const unsigned s2 = Sample(planes[2].data() + offset, x, depth);
            Rgb c;
            if (mode == kRgb) {
                c = {static_cast<std::uint8_t>(s0), static_cast<std::uint8_t>(s1), static_cast<std::uint8_t>(s2)};
            } else if (mode == kCmyk) {
                // Stored as full minus the ink, so the product of two stored values is the light
                // left; worked out at 16 bits so 16-bit files keep their precision.
                const std::uint64_t k = Sample16(planes[3].data() + offset, x, depth);
                const auto light = [&](int plane) {
                    const std::uint64_t v = Sample16(planes[static_cast<std::size_t>(plane)].data() + offset, x, depth);
                    return static_cast<std::uint8_t>(((v * k + 32767) / 65535 + 128) / 257);
                };
                c = {light(0), light(1), light(2)};
            } else {
                c = LabToRgb(s0 * 100.0 / 255.0, static_cast<double>(s1) - 128.0, static_cast<double>(s2) - 128.0);
            }
            dst[3 * x] = c.b;
            dst[3 * x + 1] = c.g;
            dst[3 * x + 2] = c.r;
        }
    }
    return bmp;
}

}  // namespace vs
