#include "formats/PcxReader.h"

#include "formats/OracleSupport.h"
#include "graphics/Errors.h"

#include <gtest/gtest.h>

namespace vs {
namespace {

using test::Put16;
using test::Put8;

struct PcxSpec {
    int version = 5;
    int encoding = 1;
    int bits = 8;
    int width = 1;
    int height = 1;
    int planes = 1;
    int bytesPerLine = 2;
};

// Header palette of 16 distinct colours.
std::uint8_t HeaderColour(int i, int c) { return static_cast<std::uint8_t>((i * 53 + c * 97 + 11) & 0xFF); }

std::vector<std::uint8_t> Header(const PcxSpec& s) {
    std::vector<std::uint8_t> out;
    Put8(out, 0x0A);
    Put8(out, static_cast<unsigned>(s.version));
    Put8(out, static_cast<unsigned>(s.encoding));
    Put8(out, static_cast<unsigned>(s.bits));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<unsigned>(s.width - 1));
    Put16(out, static_cast<unsigned>(s.height - 1));
    Put16(out, 72);
    Put16(out, 72);
    for (int i = 0; i < 16; ++i)
        for (int c = 0; c < 3; ++c)
            Put8(out, HeaderColour(i, c));
    Put8(out, 0);
    Put8(out, static_cast<unsigned>(s.planes));
    Put16(out, static_cast<unsigned>(s.bytesPerLine));
    Put16(out, 1);
    out.resize(128, 0);
    return out;
}

// Run-length encodes bytes the way PCX writers do, runs stopping at row ends unless
// crossRows is set.
void Encode(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& raw, std::size_t rowBytes, bool crossRows) {
    for (std::size_t i = 0; i < raw.size();) {
        std::size_t n = 1;
        const std::size_t limit = crossRows ? raw.size() : (i / rowBytes + 1) * rowBytes;
        while (i + n < limit && raw[i + n] == raw[i] && n < 63)
            ++n;
        if (n > 1 || raw[i] >= 0xC0)
            Put8(out, 0xC0u | static_cast<unsigned>(n));
        Put8(out, raw[i]);
        i += n;
    }
}

class PcxTest : public ::testing::Test {
protected:
    test::TempDir dir;

    Bitmap DecodeAndCompare(const std::vector<std::uint8_t>& file, const std::string& name) {
        const std::string path = dir.file(name + ".pcx");
        test::WriteBytes(path, file);
        Bitmap bmp = DecodePcx(file);
        EXPECT_TRUE(test::SameRgb(test::MagickDecode(path), test::ToRgbImage(bmp))) << name;
        return bmp;
    }

    // A file of the given layout whose scan bytes follow a fixed pattern.
    std::vector<std::uint8_t> Build(const PcxSpec& s, bool crossRows = false) {
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(s.bytesPerLine * s.planes * s.height));
        for (std::size_t i = 0; i < raw.size(); ++i)
            raw[i] = static_cast<std::uint8_t>((i % 7 < 3) ? 0xC7 : (i * 37 + i / 13) & 0xFF);
        auto file = Header(s);
        if (s.encoding == 1)
            Encode(file, raw, static_cast<std::size_t>(s.bytesPerLine), crossRows);
        else
            file.insert(file.end(), raw.begin(), raw.end());
        return file;
    }
};

TEST_F(PcxTest, EveryLayoutImageMagickWritesDecodesAsItDoes) {
    const std::string src = test::MakeSourcePng(dir, 37, 23);
    struct Variant {
        const char* options;
        int bits;
        int planes;
    };
    for (const Variant& v : {Variant{"-type TrueColor", 8, 3}, Variant{"-colors 200 -type Palette", 8, 1},
                             Variant{"-colors 4 -type Palette", 8, 1}}) {
        SCOPED_TRACE(v.options);
        const std::string path = dir.file("magick.pcx");
        test::MakeWithMagick(test::Quote(src), v.options, path);
        const auto bytes = test::ReadBytes(path);
        ASSERT_EQ(bytes.at(3), v.bits);
        ASSERT_EQ(bytes.at(65), v.planes);
        EXPECT_TRUE(test::SameRgb(test::MagickDecode(path), test::ToRgbImage(DecodePcx(bytes))));
    }
}

TEST_F(PcxTest, PlanarAndPackedLayoutsWithHeaderPalette) {
    struct Layout {
        int bits;
        int planes;
    };
    for (const Layout& l : {Layout{1, 2}, Layout{1, 3}, Layout{1, 4}, Layout{2, 1}, Layout{4, 1}}) {
        for (int width : {8, 13}) {
            const std::string name = std::to_string(l.bits) + "x" + std::to_string(l.planes) + "-" + std::to_string(width);
            SCOPED_TRACE(name);
            PcxSpec s;
            s.bits = l.bits;
            s.planes = l.planes;
            s.width = width;
            s.height = 5;
            s.bytesPerLine = ((width * l.bits + 7) / 8 + 1) & ~1;  // even, as the format asks
            const Bitmap bmp = DecodeAndCompare(Build(s), name);
            EXPECT_EQ(bmp.width(), width);
        }
    }
}

TEST_F(PcxTest, OneBitSinglePlaneIsBlackAndWhiteWhateverTheHeaderPalette) {
    // ImageMagick shows a set bit as black here; Paintbrush's own reading, which we follow,
    // is 0 black and 1 white, ignoring the header palette.
    PcxSpec s;
    s.bits = 1;
    s.encoding = 0;
    s.width = 8;
    s.height = 2;
    auto file = Header(s);
    file.insert(file.end(), {0xF0, 0x00, 0x0F, 0x00});
    const Bitmap bmp = DecodePcx(file);
    for (int x = 0; x < 8; ++x) {
        const std::uint8_t top = x < 4 ? 255 : 0;
        EXPECT_EQ(bmp.pixel(x, 0), (Rgb{top, top, top})) << x;
        EXPECT_EQ(bmp.pixel(x, 1), (Rgb{static_cast<std::uint8_t>(255 - top), static_cast<std::uint8_t>(255 - top),
                                        static_cast<std::uint8_t>(255 - top)}))
            << x;
    }
}

TEST_F(PcxTest, CgaPicturesOfOldVersionsUseTheAdapterPaletteTheHeaderSelects) {
    // ImageMagick reads the header bytes as colours here; the values below are the adapter's.
    struct Case {
        std::uint8_t background, select;
        std::uint32_t colours[4];
    };
    const Case cases[] = {
        {0x00, 0x00, {0x000000, 0x00AA00, 0xAA0000, 0xAA5500}},
        {0x10, 0x20, {0x0000AA, 0x55FF55, 0xFF5555, 0xFFFF55}},
        {0xE0, 0x40, {0xFFFF55, 0x00AAAA, 0xAA00AA, 0xAAAAAA}},
        {0x80, 0x60, {0x555555, 0x55FFFF, 0xFF55FF, 0xFFFFFF}},
        {0x60, 0xE0, {0xAA5500, 0x55FFFF, 0xFF5555, 0xFFFFFF}},
    };
    for (const Case& c : cases) {
        PcxSpec s;
        s.version = 3;
        s.encoding = 0;
        s.bits = 2;
        s.width = 4;
        auto file = Header(s);
        file[16] = c.background;
        file[19] = c.select;
        file.insert(file.end(), {0x1B, 0x00});  // indexes 0, 1, 2, 3
        const Bitmap bmp = DecodePcx(file);
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bmp.pixel(x, 0), (Rgb{static_cast<std::uint8_t>(c.colours[x] >> 16),
                                            static_cast<std::uint8_t>(c.colours[x] >> 8),
                                            static_cast<std::uint8_t>(c.colours[x])}))
                << int(c.select) << " " << x;
    }
}

TEST_F(PcxTest, VersionsEncodingsPaddingAndRunsAcrossRows) {
    for (int version : {0, 2, 3, 4, 5}) {
        PcxSpec s;
        s.version = version;
        s.bits = 4;
        s.width = 9;
        s.height = 3;
        s.bytesPerLine = 6;
        DecodeAndCompare(Build(s), "v" + std::to_string(version));
    }
    PcxSpec rgb;
    rgb.planes = 3;
    rgb.width = 11;
    rgb.height = 4;
    rgb.bytesPerLine = 14;  // padding beyond the even minimum
    const Bitmap crossed = DecodeAndCompare(Build(rgb, true), "crossed");
    EXPECT_EQ(crossed, DecodePcx(Build(rgb, false)));
    rgb.encoding = 0;
    EXPECT_EQ(DecodeAndCompare(Build(rgb), "plain"), crossed);
}

TEST_F(PcxTest, EightBitPaletteComesFromTheEndOfTheFile) {
    PcxSpec s;
    s.width = 6;
    s.height = 2;
    s.bytesPerLine = 6;
    auto file = Build(s);
    Put8(file, 0x0C);
    for (int i = 0; i < 256; ++i) {
        Put8(file, static_cast<unsigned>(255 - i));
        Put8(file, static_cast<unsigned>(i));
        Put8(file, static_cast<unsigned>(i * 3));
    }
    const Bitmap bmp = DecodeAndCompare(file, "tail");
    const std::uint8_t index = DecodePcx(Build(s)).row(0)[1];
    EXPECT_EQ(bmp.pixel(1, 0), (Rgb{static_cast<std::uint8_t>(255 - index), index, static_cast<std::uint8_t>(index * 3)}));
}

TEST_F(PcxTest, TruncatedAndInvalidFilesThrow) {
    const std::string src = test::MakeSourcePng(dir, 19, 7);
    for (const char* options : {"-type TrueColor", "-colors 4 -type Palette"}) {
        SCOPED_TRACE(options);
        const std::string path = dir.file("t.pcx");
        test::MakeWithMagick(test::Quote(src), options, path);
        const auto bytes = test::ReadBytes(path);
        // Every cut inside the scan (before the 769-byte palette of the 8-bit file) fails.
        const std::size_t scanEnd = bytes.size() - (bytes.at(65) == 1 ? 769 : 0);
        for (std::size_t n : test::TruncationPoints(scanEnd)) {
            const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_THROW(DecodePcx(cut), DecodeError) << n;
        }
        EXPECT_THROW(DecodePcx({bytes.data(), 100}), DecodeError);
        EXPECT_THROW(DecodePcx({bytes.data(), 129}), DecodeError);
    }
    PcxSpec bad;
    bad.bits = 8;
    bad.planes = 2;  // no such layout
    EXPECT_THROW(DecodePcx(Build(bad)), DecodeError);
    PcxSpec narrow;
    narrow.width = 20;
    narrow.bytesPerLine = 10;  // fewer bytes than the width needs
    EXPECT_THROW(DecodePcx(Build(narrow)), DecodeError);
    auto notPcx = Build(PcxSpec{});
    notPcx[0] = 0x0B;
    EXPECT_THROW(DecodePcx(notPcx), DecodeError);
    PcxSpec huge;
    huge.width = 40000;
    huge.height = 40000;
    huge.bytesPerLine = 40000;
    auto hugeFile = Header(huge);
    hugeFile.insert(hugeFile.end(), 64, 0xFF);  // claims 1.6 GB of scan, holds 32 runs
    EXPECT_THROW(DecodePcx(hugeFile), DecodeError);
}

}  // namespace
}  // namespace vs
