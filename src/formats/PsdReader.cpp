#include "formats/PsdReader.h"

#include "graphics/Alpha.h"
#include "graphics/ByteReader.h"
#include "graphics/Errors.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>

#define ZLIB_CONST
#include <zlib.h>

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

float BigEndianFloat(const std::uint8_t* p) {
    return std::bit_cast<float>((std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3]);
}

// Sample x of a row of 8- or 16-bit integers or 32-bit floats, as 0 to 65535.
inline unsigned Sample16(const std::uint8_t* row, int x, int depth) {
    if (depth == 32)
        return FloatSampleToScale(BigEndianFloat(row + 4 * x), 65535);
    return depth == 8 ? row[x] * 257u : (unsigned{row[2 * x]} << 8) | row[2 * x + 1];
}

inline std::uint8_t Sample(const std::uint8_t* row, int x, int depth) {
    if (depth == 32)
        return static_cast<std::uint8_t>(FloatSampleToScale(BigEndianFloat(row + 4 * x), 255));
    return static_cast<std::uint8_t>(Sample16(row, x, depth) / 257);
}

double LabF(double t) { return t > 6.0 / 29.0 ? t * t * t : 3.0 * (6.0 / 29.0) * (6.0 / 29.0) * (t - 4.0 / 29.0); }

std::uint8_t ToSrgb(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    const double v = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

using Planes = std::vector<std::vector<std::uint8_t>>;

// A zlib stream handed out a row at a time, so no more is inflated than is needed.
class Inflater {
public:
    explicit Inflater(std::span<const std::uint8_t> in) {
        stream_.next_in = in.data();
        stream_.avail_in = static_cast<uInt>(std::min<std::size_t>(in.size(), UINT32_MAX));
        started_ = inflateInit(&stream_) == Z_OK;
        ok_ = started_;
    }
    ~Inflater() {
        if (started_)
            inflateEnd(&stream_);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Fills row; false when the stream is damaged or ends first.
    bool Next(std::span<std::uint8_t> row) {
        stream_.next_out = row.data();
        stream_.avail_out = static_cast<uInt>(row.size());
        while (ok_ && stream_.avail_out > 0) {
            const int status = inflate(&stream_, Z_NO_FLUSH);
            if (status == Z_STREAM_END)
                break;
            if (status != Z_OK)
                ok_ = false;
        }
        return ok_ && stream_.avail_out == 0;
    }

private:
    z_stream stream_{};
    bool started_ = false;
    bool ok_ = false;
};

// Whether the image resources say the merged picture is real: Photoshop saving without
// "maximize compatibility" writes a placeholder there and says so in Version Info (0x0421).
bool HasRealMergedData(std::span<const std::uint8_t> resources) {
    ByteReader in(resources, "Photoshop");
    while (in.remaining() >= 12) {
        if (in.u32be() != 0x3842494Du)  // "8BIM"
            break;
        const int id = in.u16be();
        const std::size_t nameBytes = in.u8();
        if (in.remaining() < (nameBytes | 1) + 4)
            break;
        in.skip(nameBytes | 1);  // the name and its count byte take an even number of bytes
        const std::uint32_t size = in.u32be();
        if (size > in.remaining())
            break;
        const auto block = in.bytes(size);
        if (id == 0x0421 && size >= 5)
            return block[4] != 0;
        in.skip(std::min<std::size_t>(size & 1, in.remaining()));
    }
    return true;
}

// The visible layers of a file without a real merged picture, composited in order onto a
// transparent canvas in the document's own channels: normal blending, layer opacity, channel
// -1 as the layer's transparency, layers clipped to the canvas. Blend modes, clipping groups,
// masks and effects are not applied. Composite says whether the file held layers; Result
// gives depth-16 planes, Alpha the canvas's coverage (0 to 65535).
class LayerCompositor {
public:
    LayerCompositor(int width, int height, int depth, int used)
        : width_(width), height_(height), depth_(depth), used_(used) {
        const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        canvas_.assign(static_cast<std::size_t>(used), std::vector<std::uint16_t>(pixels, 0));
        alpha_.assign(pixels, 0);
    }

    const std::vector<std::uint16_t>& Alpha() const { return alpha_; }

    // section: the layer and mask information, without its length.
    bool Composite(std::span<const std::uint8_t> section) {
        ByteReader in(section, "Photoshop");
        if (in.remaining() < 4)
            return false;
        const auto layerInfo = in.bytes(in.u32be());
        if (!layerInfo.empty())
            return CompositeLayerInfo(layerInfo);
        // 16- and 32-bit documents keep their layers in a tagged block after the global mask.
        if (in.remaining() < 4)
            return false;
        in.skip(in.u32be());
        while (in.remaining() >= 12) {
            const std::uint32_t signature = in.u32be();
            const std::uint32_t key = in.u32be();
            if (signature != 0x3842494Du && signature != 0x38423634u)  // "8BIM", "8B64"
                break;
            const auto block = in.bytes(in.u32be());
            if (key == 0x4C723136u || key == 0x4C723332u || key == 0x4C617972u)  // "Lr16", "Lr32", "Layr"
                return CompositeLayerInfo(block);
            while (in.pos() % 4 != 0 && !in.atEnd())  // blocks are padded to 4 bytes
                in.skip(1);
        }
        return false;
    }

    Planes Result() const {
        Planes planes;
        for (const auto& channel : canvas_) {
            std::vector<std::uint8_t> plane(channel.size() * 2);
            for (std::size_t i = 0; i < channel.size(); ++i) {
                plane[2 * i] = static_cast<std::uint8_t>(channel[i] >> 8);
                plane[2 * i + 1] = static_cast<std::uint8_t>(channel[i]);
            }
            planes.push_back(std::move(plane));
        }
        return planes;
    }

private:
    struct Layer {
        std::int32_t top = 0, left = 0, bottom = 0, right = 0;
        std::vector<std::pair<int, std::uint32_t>> channels;  // id and length of its data
        int opacity = 255;
        bool hidden = false;
        int divider = 0;  // 1 and 2 open a group (listed after its layers), 3 closes it
    };

    bool CompositeLayerInfo(std::span<const std::uint8_t> info) {
        ByteReader in(info, "Photoshop");
        const std::size_t count = static_cast<std::size_t>(std::abs(in.i16be()));
        if (count == 0)
            return false;
        // Every record takes at least 34 bytes.
        if (count * 34 > in.remaining())
            in.fail("invalid layer count " + std::to_string(count));
        std::vector<Layer> layers(count);
        for (Layer& layer : layers) {
            layer.top = in.i32be();
            layer.left = in.i32be();
            layer.bottom = in.i32be();
            layer.right = in.i32be();
            const int channels = in.u16be();
            if (channels > 56)
                in.fail("invalid layer channel count " + std::to_string(channels));
            for (int c = 0; c < channels; ++c) {
                const int id = in.i16be();
                layer.channels.emplace_back(id, in.u32be());
            }
            if (in.u32be() != 0x3842494Du)
                in.fail("invalid layer record");
            in.skip(4);  // blend mode: every layer is blended as normal
            layer.opacity = in.u8();
            in.skip(1);  // clipping
            layer.hidden = (in.u8() & 0x02) != 0;
            in.skip(1);
            layer.divider = SectionDivider(in.bytes(in.u32be()));
        }
        // Layers are listed bottom first, a group's own record after its layers: walk from
        // the top to hide what lies in a hidden group.
        std::vector<bool> hiddenGroups;
        for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
            const bool inHidden = !hiddenGroups.empty() && hiddenGroups.back();
            if (it->divider == 3) {
                if (!hiddenGroups.empty())
                    hiddenGroups.pop_back();
                continue;
            }
            it->hidden = it->hidden || inHidden;
            if (it->divider == 1 || it->divider == 2)
                hiddenGroups.push_back(it->hidden);
        }
        for (const Layer& layer : layers)
            CompositeLayer(layer, in);
        return true;
    }

    // The section divider type from a layer's extra data, 0 when it has none.
    static int SectionDivider(std::span<const std::uint8_t> extra) {
        ByteReader in(extra, "Photoshop");
        in.skip(in.u32be());  // layer mask
        in.skip(in.u32be());  // blending ranges
        in.skip(in.u8() / 4 * 4 + 3);  // name, padded to 4 bytes with its count byte
        while (in.remaining() >= 12) {
            const std::uint32_t signature = in.u32be();
            const std::uint32_t key = in.u32be();
            const std::uint32_t size = in.u32be();
            if ((signature != 0x3842494Du && signature != 0x38423634u) || size > in.remaining())
                break;
            const auto block = in.bytes(size);
            if ((key == 0x6C736374u || key == 0x6C73646Bu) && size >= 4)  // "lsct", "lsdk"
                return static_cast<int>((std::uint32_t{block[0]} << 24) | (block[1] << 16) | (block[2] << 8) | block[3]);
        }
        return 0;
    }

    // Reads the layer's channel data from in (always, to reach the next layer) and blends it.
    void CompositeLayer(const Layer& layer, ByteReader& in) {
        const std::int64_t layerW = std::int64_t{layer.right} - layer.left;
        const std::int64_t layerH = std::int64_t{layer.bottom} - layer.top;
        if (layerW < 0 || layerH < 0 || layerW > 30000 || layerH > 30000)
            in.fail("invalid layer bounds");
        const int x0 = static_cast<int>(std::clamp<std::int64_t>(layer.left, 0, width_));
        const int x1 = static_cast<int>(std::clamp<std::int64_t>(layer.right, 0, width_));
        const int y0 = static_cast<int>(std::clamp<std::int64_t>(layer.top, 0, height_));
        const int y1 = static_cast<int>(std::clamp<std::int64_t>(layer.bottom, 0, height_));
        const bool shown = !layer.hidden && layer.opacity > 0 && layer.divider == 0 && x0 < x1 && y0 < y1;
        const std::size_t w = static_cast<std::size_t>(x1 - x0);
        const std::size_t h = static_cast<std::size_t>(y1 - y0);

        // The layer's channels cut to the canvas, 0 to 65535; colour missing is 0, alpha full.
        std::vector<std::vector<std::uint16_t>> samples(static_cast<std::size_t>(used_) + 1);
        for (const auto& [id, length] : layer.channels) {
            const auto data = in.bytes(length);
            if (!shown || id < -1 || id >= used_)
                continue;
            auto& out = samples[static_cast<std::size_t>(id + 1)];
            out.assign(w * h, 0);
            DecodeChannel(data, static_cast<std::size_t>(layerW), static_cast<std::size_t>(layerH), layer.left, layer.top,
                          x0, y0, w, h, out);
        }
        if (!shown)
            return;
        const std::uint64_t opacity = static_cast<std::uint64_t>(layer.opacity);
        for (std::size_t y = 0; y < h; ++y)
            for (std::size_t x = 0; x < w; ++x) {
                const std::size_t i = y * w + x;
                const std::uint64_t alpha = (samples[0].empty() ? 65535u : samples[0][i]) * opacity / 255;
                const std::size_t at = (static_cast<std::size_t>(y0) + y) * static_cast<std::size_t>(width_) +
                                       static_cast<std::size_t>(x0) + x;
                // Over, on colours not multiplied by their alpha: what shows of the canvas
                // below is its coverage times what the layer leaves.
                const std::uint64_t below = (alpha_[at] * (65535 - alpha) + 32767) / 65535;
                const std::uint64_t cover = alpha + below;
                if (cover == 0)
                    continue;
                for (int c = 0; c < used_; ++c) {
                    const auto& layerChannel = samples[static_cast<std::size_t>(c) + 1];
                    const std::uint64_t top = layerChannel.empty() ? 0 : layerChannel[i];
                    std::uint16_t& under = canvas_[static_cast<std::size_t>(c)][at];
                    under = static_cast<std::uint16_t>((under * below + top * alpha + cover / 2) / cover);
                }
                alpha_[at] = static_cast<std::uint16_t>(cover);
            }
    }

    // One channel of layerW x layerH samples at (left, top), raw or PackBits; the part inside
    // the canvas (x0, y0, w x h) goes to out.
    void DecodeChannel(std::span<const std::uint8_t> data, std::size_t layerW, std::size_t layerH, std::int32_t left,
                       std::int32_t top, int x0, int y0, std::size_t w, std::size_t h,
                       std::vector<std::uint16_t>& out) const {
        ByteReader in(data, "Photoshop");
        const int compression = in.u16be();
        const std::size_t rowBytes = layerW * static_cast<std::size_t>(depth_) / 8;
        std::vector<std::uint8_t> row(rowBytes);
        const std::size_t firstRow = static_cast<std::size_t>(std::int64_t{y0} - top);
        const std::size_t firstColumn = static_cast<std::size_t>(std::int64_t{x0} - left);
        std::span<const std::uint8_t> counts;
        std::optional<Inflater> zip;
        if (compression == 1)
            counts = in.bytes(layerH * 2);
        else if (compression == 2 || compression == 3)
            zip.emplace(in.bytes(in.remaining()));
        else if (compression != 0)
            in.fail("unsupported layer compression " + std::to_string(compression));
        // As for the merged picture: a row of n bytes packs into at least n / 128 bytes, and
        // deflate shrinks nothing more than 1032 times.
        if (rowBytes / (zip ? kMaxDeflateRatio : 128) * layerH > data.size())
            in.fail("unexpected end of file");
        for (std::size_t y = 0; y < firstRow + h; ++y) {
            if (compression == 0) {
                const auto raw = in.bytes(rowBytes);
                if (y >= firstRow)
                    std::copy(raw.begin(), raw.end(), row.begin());
            } else if (zip) {
                if (!zip->Next(row))
                    in.fail("damaged ZIP layer data");
                if (compression == 3 && y >= firstRow)
                    Unpredict(row);
            } else {
                const auto packed = in.bytes((std::size_t{counts[2 * y]} << 8) | counts[2 * y + 1]);
                if (y >= firstRow) {
                    std::fill(row.begin(), row.end(), 0);
                    UnpackBits(packed, row);
                }
            }
            if (y < firstRow)
                continue;
            std::uint16_t* dst = out.data() + (y - firstRow) * w;
            for (std::size_t x = 0; x < w; ++x)
                dst[x] = static_cast<std::uint16_t>(Sample16(row.data(), static_cast<int>(firstColumn + x), depth_));
        }
    }

    // Undoes ZIP-with-prediction on a row: each sample stored as the difference from the one
    // before it; 32-bit rows are first split into planes of their floats' first, second,
    // third and fourth bytes, differenced byte by byte.
    void Unpredict(std::vector<std::uint8_t>& row) const {
        if (depth_ == 16) {
            for (std::size_t i = 2; i + 1 < row.size(); i += 2) {
                const unsigned v = ((unsigned{row[i]} << 8) | row[i + 1]) + ((unsigned{row[i - 2]} << 8) | row[i - 1]);
                row[i] = static_cast<std::uint8_t>(v >> 8);
                row[i + 1] = static_cast<std::uint8_t>(v);
            }
            return;
        }
        for (std::size_t i = 1; i < row.size(); ++i)
            row[i] = static_cast<std::uint8_t>(row[i] + row[i - 1]);
        if (depth_ == 32) {
            const std::size_t n = row.size() / 4;
            std::vector<std::uint8_t> planes(row);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t b = 0; b < 4; ++b)
                    row[4 * i + b] = planes[b * n + i];
        }
    }

    int width_;
    int height_;
    int depth_;
    int used_;
    std::vector<std::vector<std::uint16_t>> canvas_;
    std::vector<std::uint16_t> alpha_;
};

// The picture from its planes (depth as stored, or 16 for composited layers).
Bitmap ToBitmap(const Planes& planes, int width, int height, int depth, int mode, std::span<const std::uint8_t> modeData) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 7) / 8;
    if (mode == kBitmap) {
        Bitmap bmp(width, height, PixelFormat::Bpp1);
        bmp.palette()[0] = {255, 255, 255};  // a set bit is black
        bmp.palette()[1] = {0, 0, 0};
        for (int y = 0; y < height; ++y)
            std::copy_n(planes[0].data() + static_cast<std::size_t>(y) * rowBytes, rowBytes, bmp.row(y));
        return bmp;
    }
    if (planes.size() == 1) {
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
            if (mode == kCmyk) {
                // Stored as full minus the ink, so the product of two stored values is the light
                // left; worked out at 16 bits so 16-bit files keep their precision.
                const std::uint64_t k = Sample16(planes[3].data() + offset, x, depth);
                const auto light = [&](int plane) {
                    const std::uint64_t v = Sample16(planes[static_cast<std::size_t>(plane)].data() + offset, x, depth);
                    return static_cast<std::uint8_t>(((v * k + 32767) / 65535 + 128) / 257);
                };
                c = {light(0), light(1), light(2)};
            } else if (mode == kLab) {
                c = LabToRgb(s0 * 100.0 / 255.0, static_cast<double>(s1) - 128.0, static_cast<double>(s2) - 128.0);
            } else {
                // RGB; multichannel's first three inks are stored as full minus the ink, which
                // is the light of red, green and blue a cyan, magenta and yellow ink leave.
                c = {static_cast<std::uint8_t>(s0), static_cast<std::uint8_t>(s1), static_cast<std::uint8_t>(s2)};
            }
            dst[3 * x] = c.b;
            dst[3 * x + 1] = c.g;
            dst[3 * x + 2] = c.r;
        }
    }
    return bmp;
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

Bitmap DecodePsd(std::span<const std::uint8_t> data, Rgb matte) {
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
    if (mode == kBitmap ? depth != 1 : (depth != 8 && depth != 16 && depth != 32))
        in.fail("unsupported depth " + std::to_string(depth) + " for colour mode " + std::to_string(mode));
    if (channels < 1 || channels > 56)
        in.fail("invalid channel count " + std::to_string(channels));
    const int used = mode == kMultichannel ? (channels >= 3 ? 3 : 1) : ChannelsOf(mode);
    if (channels < used)
        in.fail("invalid channel count " + std::to_string(channels));

    const auto modeData = in.bytes(in.u32be());
    if (mode == kIndexed && modeData.size() < 768)
        in.fail("indexed picture without its colour table");
    const bool merged = HasRealMergedData(in.bytes(in.u32be()));
    const auto layers = in.bytes(in.u32be());
    // Photoshop's placeholder packs into at least a 128th of the canvas, which bounds the work
    // a few bytes of layers can ask for.
    if (!merged && mode != kBitmap && mode != kIndexed &&
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) / 128 <= data.size()) {
        LayerCompositor compositor(width, height, depth, used);
        if (compositor.Composite(layers)) {
            Bitmap colours = ToBitmap(compositor.Result(), width, height, 16, mode, modeData);
            colours.convertTo24();
            std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
                    std::copy_n(colours.row(y) + 3 * x, 3, bgra.data() + 4 * i);
                    bgra[4 * i + 3] = static_cast<std::uint8_t>((compositor.Alpha()[i] + 128) / 257);
                }
            return BgraOver(bgra.data(), width, height, static_cast<std::size_t>(width) * 4, matte);
        }
    }
    const int compression = in.u16be();
    if (compression > 1)
        in.fail("unsupported compression " + std::to_string(compression));

    // Planes of the channels we show, each height rows of rowBytes.
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * static_cast<std::size_t>(depth) + 7) / 8;
    const std::size_t planeBytes = rowBytes * static_cast<std::size_t>(height);
    Planes planes(static_cast<std::size_t>(used));
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
    return ToBitmap(planes, width, height, depth, mode, modeData);
}

}  // namespace vs
