#include "formats/PsdReader.h"

#include "formats/OracleSupport.h"
#include "graphics/Errors.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>

#include <zlib.h>

namespace vs {
namespace {

void Be16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}
void Be32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Be16(out, v >> 16);
    Be16(out, v & 0xFFFF);
}

// PackBits, literal runs and repeats up to 128 bytes.
std::vector<std::uint8_t> PackBits(std::span<const std::uint8_t> row) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < row.size();) {
        std::size_t n = 1;
        while (i + n < row.size() && row[i + n] == row[i] && n < 128)
            ++n;
        if (n >= 2) {
            out.push_back(static_cast<std::uint8_t>(257 - n));
            out.push_back(row[i]);
            i += n;
            continue;
        }
        std::size_t lit = 1;
        while (i + lit < row.size() && lit < 128 && !(i + lit + 1 < row.size() && row[i + lit] == row[i + lit + 1]))
            ++lit;
        out.push_back(static_cast<std::uint8_t>(lit - 1));
        out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(i), row.begin() + static_cast<std::ptrdiff_t>(i + lit));
        i += lit;
    }
    return out;
}

struct PsdSpec {
    int mode = 3;
    int depth = 8;
    int channels = 3;
    int width = 1;
    int height = 1;
    bool rle = false;
    std::vector<std::uint8_t> modeData;
    std::vector<std::uint8_t> resources;
    std::vector<std::uint8_t> layers;
};

// A layer from sample(channel, x, y) of 0 to 255; channel -1 is its transparency.
struct TestLayer {
    int top = 0, left = 0, bottom = 0, right = 0;
    int opacity = 255;
    bool hidden = false;
    int compression = 0;  // raw, PackBits, ZIP, ZIP with prediction
    std::function<unsigned(int, int, int)> sample;
    int divider = 0;  // group records: 1 opens a group (listed after its layers), 3 ends it
};

// ZIP-with-prediction's row: 32-bit floats split into planes of their first to fourth bytes,
// then every sample (bytes for 8 and 32 bits) less the one before it.
std::vector<std::uint8_t> Predict(std::vector<std::uint8_t> row, int w, int depth) {
    const auto n = static_cast<std::size_t>(w);
    const auto whole = row;
    for (std::size_t i = 0; depth == 32 && i < 4 * n; ++i)
        row[i % 4 * n + i / 4] = whole[i];
    const std::size_t size = depth == 16 ? 2 : 1;
    const auto at = [&row, size](std::size_t i) { return size == 2 ? unsigned{row[i]} << 8 | row[i + 1] : unsigned{row[i]}; };
    for (std::size_t i = row.size() - size; i >= size; i -= size) {
        const unsigned d = at(i) - at(i - size);
        row[i] = static_cast<std::uint8_t>(size == 2 ? d >> 8 : d);
        row[i + size - 1] = static_cast<std::uint8_t>(d);
    }
    return row;
}

// One channel's data at the given depth, compressed as the layer says.
std::vector<std::uint8_t> ChannelData(const TestLayer& l, int c, int depth) {
    const int w = l.right - l.left;
    std::vector<std::uint8_t> out;
    Be16(out, static_cast<unsigned>(l.compression));
    std::vector<std::uint8_t> counts;
    std::vector<std::uint8_t> rows;
    for (int y = 0; y < l.bottom - l.top; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < w; ++x) {
            const unsigned v = l.sample(c, x, y) & 0xFF;
            if (depth == 8)
                row.push_back(static_cast<std::uint8_t>(v));
            else if (depth == 16)
                Be16(row, v * 257);
            else
                Be32(row, std::bit_cast<std::uint32_t>(static_cast<float>(v) / 255.0f));
        }
        if (l.compression == 3)
            row = Predict(row, w, depth);
        if (l.compression == 1) {
            const auto packed = PackBits(row);
            Be16(counts, static_cast<unsigned>(packed.size()));
            rows.insert(rows.end(), packed.begin(), packed.end());
        } else {
            rows.insert(rows.end(), row.begin(), row.end());
        }
    }
    if (l.compression >= 2) {
        uLongf size = compressBound(static_cast<uLong>(rows.size()));
        std::vector<std::uint8_t> zipped(size);
        compress(zipped.data(), &size, rows.data(), static_cast<uLong>(rows.size()));
        zipped.resize(size);
        rows = zipped;
    }
    out.insert(out.end(), counts.begin(), counts.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

// The layer and mask section for layers listed bottom first, each with colours channels and
// alpha; tagged puts them in an "Lr16" block after the global mask, as 16-bit documents have it.
std::vector<std::uint8_t> LayerSection(const std::vector<TestLayer>& layers, int colours, int depth, bool tagged = false) {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> pixels;
    Be16(info, static_cast<unsigned>(layers.size()));
    for (const TestLayer& l : layers) {
        for (int v : {l.top, l.left, l.bottom, l.right})
            Be32(info, static_cast<std::uint32_t>(v));
        Be16(info, static_cast<unsigned>(colours + 1));
        for (int c = -1; c < colours; ++c) {
            const auto data = ChannelData(l, c, depth);
            Be16(info, static_cast<unsigned>(c & 0xFFFF));
            Be32(info, static_cast<std::uint32_t>(data.size()));
            pixels.insert(pixels.end(), data.begin(), data.end());
        }
        info.insert(info.end(), {'8', 'B', 'I', 'M', 'n', 'o', 'r', 'm'});
        info.insert(info.end(), {static_cast<std::uint8_t>(l.opacity), 0, static_cast<std::uint8_t>(l.hidden ? 2 : 0), 0});
        Be32(info, l.divider ? 28 : 12);  // no mask, no blending ranges, the name "L"
        info.insert(info.end(), {0, 0, 0, 0, 0, 0, 0, 0, 1, 'L', 0, 0});
        if (l.divider) {
            info.insert(info.end(), {'8', 'B', 'I', 'M', 'l', 's', 'c', 't'});
            Be32(info, 4);
            Be32(info, static_cast<std::uint32_t>(l.divider));
        }
    }
    info.insert(info.end(), pixels.begin(), pixels.end());
    if (info.size() % 2)
        info.push_back(0);
    std::vector<std::uint8_t> section;
    Be32(section, tagged ? 0 : static_cast<std::uint32_t>(info.size()));
    if (!tagged)
        section.insert(section.end(), info.begin(), info.end());
    Be32(section, 0);  // global mask
    if (tagged) {
        section.insert(section.end(), {'8', 'B', 'I', 'M', 'L', 'r', '1', '6'});
        Be32(section, static_cast<std::uint32_t>(info.size()));
        section.insert(section.end(), info.begin(), info.end());
    }
    return section;
}

// Version Info (0x0421) saying whether the merged picture is real.
std::vector<std::uint8_t> VersionInfo(bool merged) {
    std::vector<std::uint8_t> out = {'8', 'B', 'I', 'M', 0x04, 0x21, 0, 0};
    Be32(out, 5);
    Be32(out, 1);
    out.insert(out.end(), {static_cast<std::uint8_t>(merged), 0});
    return out;
}

// A file whose channel planes are filled by sample(channel, x, y) (bit-packed in bitmap mode).
template <typename Sample>
std::vector<std::uint8_t> Build(const PsdSpec& s, Sample sample) {
    std::vector<std::uint8_t> out = {'8', 'B', 'P', 'S'};
    Be16(out, 1);
    out.insert(out.end(), 6, 0);
    Be16(out, static_cast<unsigned>(s.channels));
    Be32(out, static_cast<std::uint32_t>(s.height));
    Be32(out, static_cast<std::uint32_t>(s.width));
    Be16(out, static_cast<unsigned>(s.depth));
    Be16(out, static_cast<unsigned>(s.mode));
    Be32(out, static_cast<std::uint32_t>(s.modeData.size()));
    out.insert(out.end(), s.modeData.begin(), s.modeData.end());
    Be32(out, static_cast<std::uint32_t>(s.resources.size()));
    out.insert(out.end(), s.resources.begin(), s.resources.end());
    Be32(out, static_cast<std::uint32_t>(s.layers.size()));
    out.insert(out.end(), s.layers.begin(), s.layers.end());
    Be16(out, s.rle ? 1 : 0);
    const std::size_t rowBytes = (static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.depth) + 7) / 8;
    std::vector<std::vector<std::uint8_t>> rows;
    for (int c = 0; c < s.channels; ++c)
        for (int y = 0; y < s.height; ++y) {
            std::vector<std::uint8_t> row(rowBytes, 0);
            for (int x = 0; x < s.width; ++x) {
                const unsigned v = sample(c, x, y);
                if (s.depth == 1)
                    row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>((v & 1) << (7 - x % 8));
                else if (s.depth == 8)
                    row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v);
                else if (s.depth == 32)
                    for (int b = 0; b < 4; ++b)
                        row[4 * static_cast<std::size_t>(x) + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(v >> (24 - 8 * b));
                else {
                    row[2 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(v >> 8);
                    row[2 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(v);
                }
            }
            rows.push_back(s.rle ? PackBits(row) : row);
        }
    if (s.rle)
        for (const auto& r : rows)
            Be16(out, static_cast<unsigned>(r.size()));
    for (const auto& r : rows)
        out.insert(out.end(), r.begin(), r.end());
    return out;
}

class PsdTest : public ::testing::Test {
protected:
    test::TempDir dir;

    Bitmap DecodeAndCompare(const std::vector<std::uint8_t>& file, const std::string& name, int tolerance = 0) {
        const std::string path = dir.file(name + ".psd");
        test::WriteBytes(path, file);
        Bitmap bmp = DecodePsd(file);
        EXPECT_TRUE(test::NearRgb(test::MagickDecode(path), test::ToRgbImage(bmp), tolerance)) << name;
        return bmp;
    }
};

TEST_F(PsdTest, ModesDepthsAndCompressionsImageMagickWritesDecodeAsItDoes) {
    const std::string src = test::MakeSourcePng(dir, 37, 23);
    struct Variant {
        const char* options;
        int mode;
        int depth;
    };
    for (const Variant& v : {Variant{"-type TrueColor -compress None", 3, 8}, Variant{"-type TrueColor -compress RLE", 3, 8},
                             Variant{"-colorspace Gray -compress None", 1, 8}, Variant{"-colorspace Gray", 1, 8},
                             Variant{"-colorspace CMYK", 4, 8}, Variant{"-colorspace CMYK -compress None", 4, 8},
                             Variant{"-type TrueColor -depth 16 -compress None", 3, 16},
                             Variant{"-type TrueColor -depth 16", 3, 16},
                             Variant{"-colorspace Gray -depth 16", 1, 16}, Variant{"-colorspace CMYK -depth 16", 4, 16}}) {
        SCOPED_TRACE(v.options);
        const std::string path = dir.file("magick.psd");
        test::MakeWithMagick(test::Quote(src), v.options, path);
        const auto bytes = test::ReadBytes(path);
        ASSERT_EQ(bytes.at(25), v.mode);
        ASSERT_EQ(bytes.at(23), v.depth);
        // 16-bit CMYK: ImageMagick works in 16-bit light values and rounds its own way; a step
        // of 1 either side is the most two correct conversions can differ by.
        const int tolerance = v.mode == 4 && v.depth == 16 ? 1 : 0;
        EXPECT_TRUE(test::NearRgb(test::MagickDecode(path), test::ToRgbImage(DecodePsd(bytes)), tolerance));
    }
}

TEST_F(PsdTest, HandMadeModesRawAndPackBits) {
    for (bool rle : {false, true}) {
        const std::string suffix = rle ? "-rle" : "-raw";
        PsdSpec s;
        s.width = 21;
        s.height = 5;
        s.rle = rle;
        const auto ramp = [](int c, int x, int y) { return static_cast<unsigned>((x * 12 + y * 40 + c * 70) % 256); };

        s.mode = 0;  // bitmap: a set bit is black
        s.depth = 1;
        s.channels = 1;
        const Bitmap bits = DecodeAndCompare(Build(s, [](int, int x, int y) { return unsigned((x + y) % 3 == 0); }),
                                             "bitmap" + suffix);
        EXPECT_EQ(bits.pixel(0, 0), (Rgb{0, 0, 0}));
        EXPECT_EQ(bits.pixel(1, 0), (Rgb{255, 255, 255}));

        // Indexed: a table of 256 reds, then greens, then blues. ImageMagick cannot read
        // indexed files (not even its own), so the table lookup is checked directly.
        s.mode = 2;
        s.depth = 8;
        for (int i = 0; i < 768; ++i)
            s.modeData.push_back(static_cast<std::uint8_t>((i * 7) % 256));
        const Bitmap indexed = DecodePsd(Build(s, ramp));
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const auto i = static_cast<std::size_t>(ramp(0, x, y));
                ASSERT_EQ(indexed.pixel(x, y), (Rgb{s.modeData[i], s.modeData[256 + i], s.modeData[512 + i]}));
            }

        s.mode = 3;  // RGB with an extra alpha channel that is not shown
        s.channels = 4;
        s.modeData.clear();
        DecodeAndCompare(Build(s, ramp), "rgba" + suffix);

        s.mode = 1;
        s.depth = 16;
        s.channels = 1;
        DecodeAndCompare(Build(s, [](int, int x, int y) { return static_cast<unsigned>(x * 3001 + y * 97); }),
                         "grey16" + suffix);
    }
}

TEST_F(PsdTest, DuotoneShowsItsFirstChannelAsGrey) {
    // ImageMagick cannot be asked to write duotone, and reads it as grey too.
    PsdSpec s;
    s.mode = 8;
    s.channels = 1;
    s.width = 9;
    s.height = 2;
    s.modeData.assign(40, 0x11);  // duotone description block, opaque to readers
    const Bitmap bmp = DecodeAndCompare(Build(s, [](int, int x, int y) { return static_cast<unsigned>(x * 25 + y); }),
                                        "duotone");
    EXPECT_EQ(bmp.pixel(4, 1), (Rgb{101, 101, 101}));
}

TEST_F(PsdTest, FloatSamplesMapZeroToOneOntoBytesClamped) {
    const std::vector<float> values = {-0.5f, 0.0f, 0.25f, 0.5f, 1.0f, 1.5f, NAN, INFINITY};
    for (bool rle : {false, true}) {
        PsdSpec s;
        s.depth = 32;
        s.width = 8;
        s.height = 2;
        s.rle = rle;
        // Channel c shows values[x + c], so the three channels differ.
        const Bitmap bmp = DecodeAndCompare(Build(s, [&values](int c, int x, int) {
            return std::bit_cast<std::uint32_t>(values[static_cast<std::size_t>((x + c) % 8)]);
        }), "f32", 1);  // ImageMagick truncates where we round
        EXPECT_EQ(bmp.pixel(0, 1), (Rgb{0, 0, 64}));     // -0.5, 0, 0.25
        EXPECT_EQ(bmp.pixel(5, 1), (Rgb{255, 0, 255}));  // 1.5, NaN, infinity
    }
}

TEST_F(PsdTest, MultichannelShowsItsFirstThreeChannelsAsColour) {
    const auto ramp = [](int c, int x, int y) { return static_cast<unsigned>((x * 12 + y * 40 + c * 70) % 256); };
    for (int channels : {2, 4}) {
        PsdSpec s;
        s.mode = 7;
        s.channels = channels;
        s.width = 13;
        s.height = 3;
        // ImageMagick refuses multichannel files: the inks are checked directly.
        const Bitmap bmp = DecodePsd(Build(s, ramp));
        for (int x = 0; x < s.width; ++x) {
            const auto v = [&](int c) { return static_cast<std::uint8_t>(ramp(channels < 3 ? 0 : c, x, 2)); };
            ASSERT_EQ(bmp.pixel(x, 2), (Rgb{v(0), v(1), v(2)})) << channels << " channels, x " << x;
        }
    }
}

TEST_F(PsdTest, WithoutMergedPictureTheVisibleLayersAreComposited) {
    // Bottom: opaque, partly off the canvas. Then a hidden layer, and on top one at half
    // opacity with a transparency ramp. The merged picture is a black placeholder.
    struct Variant {
        int mode;
        int depth;
        int bottomCompression;
        int topCompression;
    };
    for (const Variant& v : {Variant{1, 8, 1, 0}, Variant{3, 8, 0, 3}, Variant{3, 16, 2, 3}, Variant{3, 32, 1, 2}}) {
        SCOPED_TRACE(std::to_string(v.mode) + " " + std::to_string(v.depth));
        std::vector<TestLayer> layers = {
            {-2, -3, 8, 9, 255, false, v.bottomCompression,
             [](int c, int x, int y) { return c < 0 ? 255u : static_cast<unsigned>(x * 20 + y * 9 + c * 60); }},
            {0, 0, 10, 12, 255, true, 0, [](int, int, int) { return 0u; }},
            {3, 4, 12, 15, 128, false, v.topCompression,
             [](int c, int x, int y) { return static_cast<unsigned>(c < 0 ? x * 25 : 200 - y * 10 - c * 50); }},
        };
        PsdSpec s;
        s.mode = v.mode;
        s.depth = v.depth;
        s.channels = v.mode == 3 ? 3 : 1;
        s.width = 12;
        s.height = 10;
        s.resources = VersionInfo(false);
        s.layers = LayerSection(layers, s.channels, v.depth, v.depth == 16);
        const auto file = Build(s, [](int, int, int) { return 0u; });
        // ImageMagick flattens the layers of such a file too, over transparency: lay it on white.
        const std::string path = dir.file("layers.psd");
        const std::string flat = dir.file("flat.png");
        test::WriteBytes(path, file);
        test::MakeWithMagick(test::Quote(path + "[0]"), "-background white -flatten", flat);
        const Bitmap bmp = DecodePsd(file);
        // The composite's coverage goes to 8 bits before the blend, as for other transparent files.
        EXPECT_TRUE(test::NearRgb(test::MagickDecode(flat), test::ToRgbImage(bmp), 1));
        EXPECT_EQ(DecodePsd(file, {0, 128, 255}).pixel(11, 0), (Rgb{0, 128, 255}));  // no layer there: the matte
        // A hidden group hides the layers in it.
        auto grouped = layers;
        const auto black = [](int, int, int) { return 0u; };
        grouped.push_back({0, 0, 0, 0, 255, false, 0, black, 3});
        grouped.push_back({0, 0, 10, 12, 255, false, v.topCompression, [](int c, int, int) { return c < 0 ? 255u : 0u; }});
        grouped.push_back({0, 0, 0, 0, 255, true, 0, black, 1});
        PsdSpec withGroup = s;
        withGroup.layers = LayerSection(grouped, s.channels, v.depth);
        EXPECT_EQ(DecodePsd(Build(withGroup, black)), bmp);
        if (v.depth == 32) {  // ImageMagick cannot read 32-bit ZIP with prediction: same as plain ZIP
            layers[2].compression = 3;
            PsdSpec predicted = s;
            predicted.layers = LayerSection(layers, s.channels, v.depth);
            EXPECT_EQ(DecodePsd(Build(predicted, [](int, int, int) { return 0u; })), bmp);
        }
        // With the flag saying the merged picture is real, it is shown.
        s.resources = VersionInfo(true);
        EXPECT_EQ(DecodePsd(Build(s, [](int, int, int) { return 0u; })).pixel(11, 0), (Rgb{0, 0, 0}));
        // Cut anywhere inside the layers: refused.
        for (std::size_t n = 26 + 12 + s.resources.size() + 4; n < 26 + 12 + s.resources.size() + s.layers.size(); n += 7)
            EXPECT_THROW(DecodePsd(std::span(file).first(n)), DecodeError) << n;
    }
}

TEST_F(PsdTest, LabMatchesImageMagickWithinRoundingInsideTheGamut) {
    // Photoshop keeps L*a*b* relative to D50; we adapt it to sRGB's D65 (Bradford), so neutral
    // stays neutral. ImageMagick skips the adaptation, which tints greys by a step or two,
    // and clips out-of-gamut colours differently: compare moderate colours within 5.
    for (int depth : {8, 16}) {
        PsdSpec s;
        s.mode = 9;
        s.depth = depth;
        s.width = 16;
        s.height = 16;
        s.rle = depth == 8;
        const unsigned scale = depth == 16 ? 257 : 1;
        const Bitmap bmp = DecodeAndCompare(Build(s,
                                                  [scale](int c, int x, int y) {
                                                      const int v = c == 0 ? 120 + x * 8 : c == 1 ? 113 + x * 2 : 136 - y;
                                                      return static_cast<unsigned>(v) * scale;
                                                  }),
                                            "lab" + std::to_string(depth), 5);
        EXPECT_EQ(bmp.format(), PixelFormat::Bpp24);
    }
    EXPECT_EQ(LabToRgb(100, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(LabToRgb(50, 0, 0), (Rgb{119, 119, 119}));
    EXPECT_EQ(LabToRgb(0, 0, 0), (Rgb{0, 0, 0}));
}

TEST_F(PsdTest, TruncatedAndInvalidFilesThrow) {
    const std::string src = test::MakeSourcePng(dir, 19, 7);
    for (const char* options : {"-compress None", "-compress RLE"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("t.psd");
        test::MakeWithMagick(test::Quote(src), options, path);
        const auto bytes = test::ReadBytes(path);
        for (std::size_t n : test::TruncationPoints(bytes.size())) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_THROW(DecodePsd(cut), DecodeError) << n;
        }
    }
    const auto grey = [](int, int, int) { return 1u; };
    PsdSpec s;
    s.mode = 5;  // no such mode
    EXPECT_THROW(DecodePsd(Build(s, grey)), DecodeError);
    s.mode = 3;
    s.channels = 2;  // RGB needs three
    EXPECT_THROW(DecodePsd(Build(s, grey)), DecodeError);
    s.channels = 3;
    s.depth = 24;
    EXPECT_THROW(DecodePsd(Build(s, grey)), DecodeError);
    s.depth = 8;
    s.mode = 2;  // indexed without its colour table
    s.channels = 1;
    EXPECT_THROW(DecodePsd(Build(s, grey)), DecodeError);
    auto header = Build(PsdSpec{1, 8, 1, 1, 1, true, {}, {}, {}}, grey);
    header[14] = 0x00, header[15] = 0x00, header[16] = 0x75, header[17] = 0x30;  // height 30000
    header[18] = 0x00, header[19] = 0x00, header[20] = 0x75, header[21] = 0x30;  // width 30000
    EXPECT_THROW(DecodePsd(header), DecodeError);  // 900 megapixels: above our limit
    header[16] = 0x75, header[17] = 0x31;  // height 30001: above the format's
    header[20] = 0x00, header[21] = 0x01;
    EXPECT_THROW(DecodePsd(header), DecodeError);
    // No columns but 135 million rows: outside the format's 1 to 30000, refused at once.
    auto flat = Build(PsdSpec{1, 8, 1, 1, 1, false, {}, {}, {}}, grey);
    flat[14] = 0x08, flat[15] = 0x0E, flat[16] = 0x00, flat[17] = 0x0F;
    flat[18] = 0x00, flat[19] = 0x00, flat[20] = 0x00, flat[21] = 0x00;
    flat.pop_back();  // the one raw sample a 1x1 picture had
    EXPECT_THROW(DecodePsd(flat), DecodeError);
}

}  // namespace
}  // namespace vs
