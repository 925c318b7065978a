#include "formats/ModernReaders.h"

#include "formats/OracleSupport.h"
#include "formats/TargaReader.h"
#include "graphics/BmpFile.h"
#include "graphics/Errors.h"
#include "graphics/Orientation.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vs {
namespace {

using test::Quote;

class ModernReadersTest : public ::testing::Test {
protected:
    // Someone else's decode of the file's first frame, laid over the background as ours is.
    test::RgbImage OverWhite(const std::string& file, const std::string& decoder = "convert",
                             const std::string& background = "white") {
        const std::string out = dir.file("expected.ppm");
        const std::string flatten = " -background '" + background + "' -flatten -depth 8 " + Quote(out);
        const std::string cmd =
            decoder == "convert"
                ? "convert " + Quote(file + "[0]") + flatten
                : decoder + " " + Quote(file) + " " + Quote(dir.file("expected.png")) + " >/dev/null && convert " +
                      Quote(dir.file("expected.png")) + flatten;
        const auto r = test::Run(cmd);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return test::MagickDecode(out);
    }
    // Each variant written by ImageMagick from the busy test picture, made partly transparent
    // where the variant asks for alpha, compared with ImageMagick's own reading; those with
    // alpha also over a coloured background, as the viewer lays them.
    void CheckVariants(const std::string& ext, Bitmap (*decode)(std::span<const std::uint8_t>, Rgb),
                       const std::vector<std::string>& variants, int tolerance) {
        const std::string source = test::MakeSourcePng(dir, 37, 23);
        const std::string alpha = dir.file("alpha.png");
        test::MakeWithMagick(source, "-alpha set -channel A -fx '(i%4)/3' +channel", alpha);
        for (const std::string& v : variants) {
            const std::string file = dir.file("v." + ext);
            const bool wantsAlpha =
                v.find("alpha") != std::string::npos || v.find("-transparent") != std::string::npos ||
                v.find("color-type=6") != std::string::npos || v.find("color-type=4") != std::string::npos;
            test::MakeWithMagick(wantsAlpha ? alpha : source, v, file);
            const auto bytes = test::ReadBytes(file);
            EXPECT_TRUE(test::NearRgb(OverWhite(file), test::ToRgbImage(decode(bytes, kWhite)), tolerance)) << v;
            if (wantsAlpha) {
                EXPECT_TRUE(test::NearRgb(OverWhite(file, "convert", "rgb(30,160,90)"),
                                          test::ToRgbImage(decode(bytes, Rgb{30, 160, 90})), tolerance))
                    << v;
            }
            for (const std::size_t cut : {bytes.size() / 2, std::size_t{20}, std::size_t{3}})
                EXPECT_THROW(decode(std::span(bytes).first(cut), kWhite), DecodeError) << v << " cut at " << cut;
        }
    }
    test::TempDir dir;
};

TEST_F(ModernReadersTest, PngEveryColourTypeAndDepth) {
    CheckVariants(
        "png", DecodePng,
        {"-define png:color-type=0 -define png:bit-depth=1", "-define png:color-type=0 -define png:bit-depth=4",
         "-define png:color-type=0 -define png:bit-depth=16", "-define png:color-type=2 -define png:bit-depth=8",
         "-define png:color-type=2 -define png:bit-depth=16 -interlace PNG",
         "-define png:color-type=4 -define png:bit-depth=8", "-define png:color-type=6 -define png:bit-depth=16",
         "-colors 13 -define png:color-type=3 -define png:bit-depth=4",
         "-colors 200 -alpha set -channel A -fx 'i%3?1:0' +channel -define png:color-type=3",
         "-colors 3 -define png:color-type=3 -define png:bit-depth=2 -interlace PNG"},
        1);
}

TEST_F(ModernReadersTest, GifFirstFrameOnItsScreen) {
    CheckVariants("gif", DecodeGif, {"", "-interlace GIF", "-colors 5", "-transparent '#000000' -colors 64"}, 0);
    // A frame smaller than its screen, at an offset, then a second frame that must not show.
    const std::string file = dir.file("frames.gif");
    ASSERT_EQ(test::Run("convert -size 30x20 xc:red -repage 40x30+6+4 -size 40x30 xc:blue " + Quote(file)).exitCode, 0);
    const Bitmap b = DecodeGif(test::ReadBytes(file));
    EXPECT_EQ(b.width(), 40);
    EXPECT_EQ(b.pixel(10, 10), (Rgb{255, 0, 0}));
    EXPECT_EQ(b.pixel(1, 1), (Rgb{255, 255, 255}));
}

TEST_F(ModernReadersTest, WebpLossyLosslessAndAlpha) {
    CheckVariants("webp", DecodeWebp,
                  {"-quality 80", "-define webp:lossless=true", "-alpha set -define webp:lossless=true",
                   "-alpha set -quality 70"},
                  1);
}

TEST_F(ModernReadersTest, HeicAndAvifAsLibheifDecodesThem) {
    const std::string source = test::MakeSourcePng(dir, 64, 48);
    for (const std::string& option : {std::string(""), std::string("-A")}) {
        const std::string file = dir.file(option.empty() ? "p.heic" : "p.avif");
        const auto enc = test::Run("heif-enc " + option + " -q 60 -o " + Quote(file) + " " + Quote(source));
        if (enc.exitCode != 0)
            GTEST_SKIP() << "heif-enc cannot write " << file << ": " << enc.err;
        const auto bytes = test::ReadBytes(file);
        EXPECT_TRUE(test::SameRgb(OverWhite(file, "heif-convert"), test::ToRgbImage(DecodeHeif(bytes)))) << file;
        EXPECT_THROW(DecodeHeif(std::span(bytes).first(bytes.size() / 2)), DecodeError);
    }
}

// Big-endian fields and boxes of a HEIF file, for patching what heif-enc writes.
std::uint32_t Be(const std::vector<std::uint8_t>& b, std::size_t at, int n) {
    std::uint32_t v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | b.at(at + static_cast<std::size_t>(i));
    return v;
}
void PutBe(std::vector<std::uint8_t>& b, std::size_t at, int n, std::uint32_t v) {
    for (int i = n - 1; i >= 0; --i, v >>= 8) b.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v);
}
struct Box {
    std::size_t at, size;
};
Box FindBox(const std::vector<std::uint8_t>& b, std::size_t from, std::size_t to, const char* type) {
    for (std::size_t at = from; at + 8 <= to && Be(b, at, 4) >= 8; at += Be(b, at, 4))
        if (std::memcmp(&b[at + 4], type, 4) == 0)
            return {at, Be(b, at, 4)};
    throw std::runtime_error(std::string("no box ") + type);
}

// Gives the primary image of a heif-enc file one more property (an irot or imir box with
// the one byte value), associated as essential; the box sizes and the file offsets of the
// item locations behind the grown meta box are fixed.
std::vector<std::uint8_t> WithTransform(std::vector<std::uint8_t> f, const char* type, std::uint8_t value) {
    const Box meta = FindBox(f, 0, f.size(), "meta");
    const std::size_t body = meta.at + 12, end = meta.at + meta.size;
    const std::uint32_t primary = Be(f, FindBox(f, body, end, "pitm").at + 12, 2);
    const Box iloc = FindBox(f, body, end, "iloc");  // version 1, before iprp in heif-enc's files
    const int offsetSize = f[iloc.at + 12] >> 4, lengthSize = f[iloc.at + 12] & 15, baseSize = f[iloc.at + 13] >> 4;
    std::size_t at = iloc.at + 16;
    for (std::uint32_t items = Be(f, iloc.at + 14, 2); items > 0; --items) {
        const bool inFile = (Be(f, at + 2, 2) & 15) == 0;
        at += 6;
        const auto shift = [&](std::size_t field, int n) {
            if (inFile && n > 0 && Be(f, field, n) >= end)
                PutBe(f, field, n, Be(f, field, n) + 10);
        };
        shift(at, baseSize);
        at += static_cast<std::size_t>(baseSize);
        const std::uint32_t extents = Be(f, at, 2);
        at += 2;
        for (std::uint32_t e = 0; e < extents; ++e, at += static_cast<std::size_t>(offsetSize + lengthSize))
            if (baseSize == 0)
                shift(at, offsetSize);
    }
    const Box iprp = FindBox(f, body, end, "iprp");
    const Box ipco = FindBox(f, iprp.at + 8, iprp.at + iprp.size, "ipco");
    const Box ipma = FindBox(f, iprp.at + 8, iprp.at + iprp.size, "ipma");  // version 0, 7-bit indexes
    std::uint8_t index = 1;
    for (at = ipco.at + 8; at < ipco.at + ipco.size; at += Be(f, at, 4)) ++index;
    at = ipma.at + 16;
    while (Be(f, at, 2) != primary) at += 3u + f.at(at + 2);
    const std::uint8_t associations = f.at(at + 2);
    f[at + 2] = static_cast<std::uint8_t>(associations + 1);
    f.insert(f.begin() + static_cast<std::ptrdiff_t>(at + 3u + associations), static_cast<std::uint8_t>(0x80 | index));
    PutBe(f, ipma.at, 4, static_cast<std::uint32_t>(ipma.size + 1));
    const std::uint8_t property[] = {0, 0, 0, 9, std::uint8_t(type[0]), std::uint8_t(type[1]), std::uint8_t(type[2]),
                                     std::uint8_t(type[3]), value};
    f.insert(f.begin() + static_cast<std::ptrdiff_t>(ipco.at + ipco.size), std::begin(property), std::end(property));
    PutBe(f, ipco.at, 4, static_cast<std::uint32_t>(ipco.size + 9));
    PutBe(f, iprp.at, 4, static_cast<std::uint32_t>(iprp.size + 10));
    PutBe(f, meta.at, 4, static_cast<std::uint32_t>(meta.size + 10));
    return f;
}

TEST_F(ModernReadersTest, HeifRotationAndMirroringAppliedAsHeifConvertDoes) {
    const std::string plain = dir.file("plain.heic");
    const auto enc = test::Run("heif-enc -q 60 -o " + Quote(plain) + " " + Quote(test::MakeSourcePng(dir, 64, 48)));
    if (enc.exitCode != 0)
        GTEST_SKIP() << "heif-enc cannot write HEIC: " << enc.err;
    const auto bytes = test::ReadBytes(plain);
    const Bitmap upright = DecodeHeif(bytes);
    // irot turns anticlockwise in quarters; imir, as amended (its "mode", once "axis"), swaps
    // top and bottom (0) or left and right (1). Each is the Exif orientation named beside it.
    const struct {
        const char* type;
        std::uint8_t value;
        int exif;
    } cases[] = {{"irot", 1, 8}, {"irot", 2, 3}, {"irot", 3, 6}, {"imir", 0, 4}, {"imir", 1, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.value));
        const std::string file = dir.file("turned.heic");
        test::WriteBytes(file, WithTransform(bytes, c.type, c.value));
        const Bitmap ours = DecodeHeif(test::ReadBytes(file));
        Bitmap expected = upright;
        ApplyOrientation(expected, c.exif);
        EXPECT_EQ(ours, expected);
        EXPECT_TRUE(test::SameRgb(OverWhite(file, "heif-convert"), test::ToRgbImage(ours)));
        Bitmap thumb;
        std::string size;
        ASSERT_TRUE(LoadMicroImageFromFile(file, kKindHeif, thumb, size));
        EXPECT_EQ(size, SizeText(expected));
    }
}

TEST_F(ModernReadersTest, HeifThumbnailsUseTheStoredThumbnailImageWhenItCoversTheCell) {
    const std::string file = dir.file("t.heic");
    const auto enc = test::Run("heif-enc -t 100 -q 60 -o " + Quote(file) + " " + Quote(test::MakeSourcePng(dir, 320, 240)));
    if (enc.exitCode != 0)
        GTEST_SKIP() << "heif-enc cannot write HEIC: " << enc.err;
    const struct {
        CellHint hint;
        int decodedWidth;
    } cases[] = {{{80, 60, true}, 100}, {{120, 90, true}, 320}, {{80, 60, false}, 320}};
    for (const auto& c : cases) {
        PictureSize full;
        const Bitmap decoded = DecodePicture(file, kKindHeif, &c.hint, &full);
        EXPECT_EQ(decoded.width(), c.decodedWidth) << c.hint.width;
        EXPECT_EQ(full.width, 320);
        EXPECT_EQ(full.height, 240);
    }
}

TEST_F(ModernReadersTest, GridThumbnailsAndTheViewerTakeTheNewKinds) {
    const std::string png = dir.file("a.PNG");
    test::MakeWithMagick(test::MakeSourcePng(dir, 160, 120), "", png);
    EXPECT_EQ(ImageKindFromFileName(png), kKindPng);
    Bitmap thumb;
    std::string size;
    ASSERT_TRUE(LoadMicroImageFromFile(png, kKindPng, thumb, size));
    EXPECT_EQ(size, "160X120");
    EXPECT_TRUE(Zooms(kKindAvif) && SetsWallpaper(kKindGif));
    EXPECT_EQ(ContentKindFromPath("x.heif"), kKindHeif);
}

// A BMP with a 40-byte header, the given depth and compression, a colour table and data.
std::vector<std::uint8_t> BmpFile(int w, int h, int bits, std::uint32_t compression, const std::vector<Rgb>& table,
                                  const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> f = {'B', 'M'};
    const auto offset = static_cast<std::uint32_t>(54 + 4 * table.size());
    test::Put32(f, offset + static_cast<std::uint32_t>(data.size()));
    test::Put32(f, 0);
    test::Put32(f, offset);
    test::Put32(f, 40);
    test::Put32(f, static_cast<std::uint32_t>(w));
    test::Put32(f, static_cast<std::uint32_t>(h));
    test::Put16(f, 1);
    test::Put16(f, static_cast<std::uint16_t>(bits));
    test::Put32(f, compression);
    test::Put32(f, static_cast<std::uint32_t>(data.size()));
    test::Put32(f, 2835);
    test::Put32(f, 2835);
    test::Put32(f, static_cast<std::uint32_t>(table.size()));
    test::Put32(f, 0);
    for (const Rgb& c : table) f.insert(f.end(), {c.b, c.g, c.r, 0});
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

TEST_F(ModernReadersTest, TwoBitBmpAndBmpsCarryingJpegOrPng) {
    // 5x2, bottom-up, 2 bits a pixel: row "0 1 2 3 0" over row "3 3 2 1 0".
    const std::vector<Rgb> table = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    const Bitmap two = DecodeBmp(BmpFile(5, 2, 2, 0, table, {0xF9, 0x00, 0, 0, 0x1B, 0x00, 0, 0}));
    const int top[] = {0, 1, 2, 3, 0}, bottom[] = {3, 3, 2, 1, 0};
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(two.pixel(x, 0), table[static_cast<std::size_t>(top[x])]) << x;
        EXPECT_EQ(two.pixel(x, 1), table[static_cast<std::size_t>(bottom[x])]) << x;
    }
    const std::string source = test::MakeSourcePng(dir, 33, 17);
    for (const std::string ext : {"jpg", "png"}) {
        const std::string inner = dir.file("inner." + ext);
        test::MakeWithMagick(source, "", inner);
        const std::string outer = dir.file("outer-" + ext + ".bmp");
        test::WriteBytes(outer, BmpFile(33, 17, 0, ext == "jpg" ? 4 : 5, {}, test::ReadBytes(inner)));
        Bitmap shown;
        ASSERT_TRUE(LoadImageByKind(outer, kKindBmp, nullptr, shown)) << ext;
        EXPECT_TRUE(
            test::SameRgb(ext == "jpg" ? test::DjpegDecode(inner) : test::MagickDecode(inner), test::ToRgbImage(shown)))
            << ext;
    }
}

TEST_F(ModernReadersTest, TargaGreyWithAlphaLiesOverTheMatte) {
    // Type 3, 16 bits: grey then alpha; 8 alpha bits, top row first.
    std::vector<std::uint8_t> f = {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 1, 0, 16, 0x28};
    f.insert(f.end(), {100, 255, 0, 0, 200, 128});
    const Bitmap b = DecodeTarga(f);
    EXPECT_EQ(b.pixel(0, 0), (Rgb{100, 100, 100}));
    EXPECT_EQ(b.pixel(1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(b.pixel(2, 0), (Rgb{227, 227, 227}));  // (200 x 128 + 255 x 127) / 255
    const Bitmap c = DecodeTarga(f, Rgb{30, 160, 90});
    EXPECT_EQ(c.pixel(1, 0), (Rgb{30, 160, 90}));
    EXPECT_EQ(c.pixel(2, 0), (Rgb{115, 180, 145}));  // (200 x 128 + matte x 127) / 255
}

}  // namespace
}  // namespace vs
