// Image copy and resampling, sharpening, the tone curve and hue/saturation, with expected
// values worked out by hand from the sampling rules and formulas.

#include "dib/DibTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace vs::dibtest {
namespace {

const std::vector<Rgb> kTwo = {{0, 0, 0}, {255, 255, 255}};

Dib Row8(const std::vector<std::uint8_t>& values) {
    Dib dib(MakeDib(static_cast<int>(values.size()), 1, 8));
    for (std::size_t x = 0; x < values.size(); ++x) SetPixel(dib.get(), static_cast<int>(x), 0, values[x]);
    return dib;
}

std::vector<std::uint32_t> RowOf(VDK_HDIB dib, int row) {
    std::vector<std::uint32_t> out;
    for (int x = 0; x < Header(dib).biWidth; ++x) out.push_back(Pixel(dib, x, row));
    return out;
}

TEST(ImageCopy, WholeCopyAndCrops) {
    Dib source(MakeDib(7, 3, 24));
    FillRandom(source.get(), 1);
    Dib copy(DKImageCopy(source.get(), 0, 0, nullptr, 0));
    ASSERT_TRUE(copy);
    EXPECT_EQ(Header(copy.get()).biSizeImage, 0u);
    const std::vector<std::uint8_t> a = Bytes(source.get()), b = Bytes(copy.get());
    EXPECT_TRUE(std::equal(a.begin() + 40, a.end(), b.begin() + 40));

    // Rectangle (2, 0, 9, 0) on a 1-bit picture: one byte shifted left by 2 bits.
    Dib mono(MakeDib(16, 2, 1, kTwo));
    const std::uint8_t bits[2] = {0xB3, 0x5C};  // top image row is stored row 1
    for (int x = 0; x < 16; ++x) SetPixel(mono.get(), x, 1, (bits[x / 8] >> (7 - x % 8)) & 1u);
    const VDK_RECT rect{2, 0, 9, 0};
    Dib crop(DKImageCopy(mono.get(), 8, 1, &rect, 0));
    ASSERT_TRUE(crop);
    EXPECT_EQ(Bytes(crop.get())[BitsOffset(Header(crop.get()))], 0xCD);

    // A 4-bit rectangle with an odd left edge moves by one nibble; resampling places nibbles.
    Dib nibbles(MakeDib(6, 1, 4));
    for (int x = 0; x < 6; ++x)
        SetPixel(nibbles.get(), x, 0, static_cast<std::uint32_t>(x + 1));
    const VDK_RECT odd{1, 0, 4, 0};
    Dib shifted(DKImageCopy(nibbles.get(), 0, 0, &odd, 0));
    const std::size_t at = BitsOffset(Header(shifted.get()));
    EXPECT_EQ(Bytes(shifted.get())[at], 0x23);
    EXPECT_EQ(Bytes(shifted.get())[at + 1], 0x45);
    const VDK_RECT pair{0, 0, 1, 0};
    Dib doubled(DKImageCopy(nibbles.get(), 4, 1, &pair, 0));
    EXPECT_EQ(Bytes(doubled.get())[at], 0x11);
    EXPECT_EQ(Bytes(doubled.get())[at + 1], 0x22);

    // A rectangle reaching outside the picture is refused.
    const VDK_RECT outside{0, 0, 16, 0};
    EXPECT_EQ(DKImageCopy(mono.get(), 0, 0, &outside, 0), 0u);
}

TEST(ImageCopy, ColumnsByAccumulator) {
    Dib three(Row8({10, 20, 30}));
    Dib wide(DKImageCopy(three.get(), 8, 1, nullptr, 0));
    ASSERT_TRUE(wide);
    // Repeats 2, 3, 2 by the accumulator; the last column makes up the missing one.
    EXPECT_EQ(RowOf(wide.get(), 0), (std::vector<std::uint32_t>{10, 10, 20, 20, 20, 30, 30, 30}));
    Dib five(Row8({10, 20, 30, 40, 50}));
    Dib narrow(DKImageCopy(five.get(), 2, 1, nullptr, 0));
    EXPECT_EQ(RowOf(narrow.get(), 0), (std::vector<std::uint32_t>{10, 30}));
    // Grey flags on an 8-bit source are ignored.
    Dib tall(MakeDib(4, 4, 8));
    Dib kept(DKImageCopy(tall.get(), 2, 2, nullptr, 0x10));
    EXPECT_EQ(Header(kept.get()).biBitCount, 8);
}

TEST(ImageCopy, RowsFromTheBottom) {
    // Rows 5 to 2: blocks of 2 and 3 (the accumulator reaches 2 on the second row); each
    // output row is its block's bottom row. Rows 2 to 5: 2, 3 repeats... H / c = 2, extra
    // once the accumulator reaches 2.
    Dib source(MakeDib(1, 5, 8));
    for (int row = 0; row < 5; ++row) SetPixel(source.get(), 0, row, static_cast<std::uint32_t>(row + 1));
    Dib reduced(DKImageCopy(source.get(), 1, 2, nullptr, 0));
    EXPECT_EQ(Pixel(reduced.get(), 0, 0), 1u);
    EXPECT_EQ(Pixel(reduced.get(), 0, 1), 3u);
    Dib two(MakeDib(1, 2, 8));
    SetPixel(two.get(), 0, 0, 7);
    SetPixel(two.get(), 0, 1, 9);
    Dib grown(DKImageCopy(two.get(), 1, 5, nullptr, 0));
    // H mod c = 1: the first row waits, the second reaches c: 2 then 3 copies.
    EXPECT_EQ(RowOf(grown.get(), 0)[0], 7u);
    EXPECT_EQ(Pixel(grown.get(), 0, 1), 7u);
    EXPECT_EQ(Pixel(grown.get(), 0, 2), 9u);
    EXPECT_EQ(Pixel(grown.get(), 0, 4), 9u);
}

TEST(ImageCopy, ScaleToGreyCountsBits) {
    Dib page(MakeDib(100, 100, 1, kTwo));
    // Output pixel j of the bottom row covers columns 2j, 2j + 1 of stored rows 0 and 1.
    SetPixel(page.get(), 2, 0, 1);
    SetPixel(page.get(), 4, 0, 1);
    SetPixel(page.get(), 5, 0, 1);
    SetPixel(page.get(), 6, 0, 1);
    SetPixel(page.get(), 7, 0, 1);
    SetPixel(page.get(), 6, 1, 1);
    for (int x = 8; x < 10; ++x)
        for (int row = 0; row < 2; ++row) SetPixel(page.get(), x, row, 1);
    Dib grey(DKImageCopy(page.get(), 50, 50, nullptr, 0x30));
    ASSERT_TRUE(grey);
    const VDK_BITMAPINFOHEADER h = Header(grey.get());
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(TableEntry(grey.get(), 200), (Rgb{200, 200, 200}));
    // k x 255 / 4 for k = 0..4.
    EXPECT_EQ(RowOf(grey.get(), 0).at(0), 0u);
    EXPECT_EQ(RowOf(grey.get(), 0).at(1), 63u);
    EXPECT_EQ(RowOf(grey.get(), 0).at(2), 127u);
    EXPECT_EQ(RowOf(grey.get(), 0).at(3), 191u);
    EXPECT_EQ(RowOf(grey.get(), 0).at(4), 255u);
    Dib sixteen(DKImageCopy(page.get(), 50, 50, nullptr, 0x10));
    EXPECT_EQ(Header(sixteen.get()).biBitCount, 4);
    EXPECT_EQ(TableEntry(sixteen.get(), 1), (Rgb{17, 17, 17}));
    // k x 15 / 4: 0, 3, 7, 11, 15.
    EXPECT_EQ(RowOf(sixteen.get(), 0).at(1), 3u);
    EXPECT_EQ(RowOf(sixteen.get(), 0).at(3), 11u);
    EXPECT_EQ(RowOf(sixteen.get(), 0).at(4), 15u);
    // Not taller than the new height: no grey.
    Dib same(DKImageCopy(page.get(), 50, 100, nullptr, 0x20));
    EXPECT_EQ(Header(same.get()).biBitCount, 1);
}

// Scale-to-grey not honoured (here the rectangle is not taller than the new height) clears
// both grey flags: the 1-bit copy is then the plain sampling, not an AND or OR reduction.
TEST(ImageCopy, UnhonouredGreyFlagsLeavePlainSampling) {
    Dib page(MakeDib(37, 29, 1, kTwo));
    for (int row = 0; row < 29; ++row)
        for (int x = 0; x < 37; ++x) SetPixel(page.get(), x, row, (x * 7 + row * 3) % 5 == 0 ? 1u : 0u);
    Dib plain(DKImageCopy(page.get(), 10, 29, nullptr, 0));
    ASSERT_TRUE(plain);
    for (const std::uint32_t flags : {0x10u, 0x20u, 0x30u}) {
        Dib copy(DKImageCopy(page.get(), 10, 29, nullptr, flags));
        ASSERT_TRUE(copy);
        EXPECT_EQ(Header(copy.get()).biBitCount, 1);
        EXPECT_EQ(Bytes(copy.get()), Bytes(plain.get())) << "flags " << flags;
    }
    Dib ored(DKImageCopy(page.get(), 10, 29, nullptr, 0x22));
    EXPECT_NE(Bytes(ored.get()), Bytes(plain.get())) << "the OR flag itself still reduces";
}

TEST(ImageCopy, AndAndOrKeepLines) {
    Dib white(MakeDib(8, 4, 1, kTwo));
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 8; ++x) SetPixel(white.get(), x, row, row == 1 || x == 3 ? 0u : 1u);
    Dib anded(DKImageCopy(white.get(), 4, 2, nullptr, 0x01));
    EXPECT_EQ(RowOf(anded.get(), 0), (std::vector<std::uint32_t>{0, 0, 0, 0}));
    EXPECT_EQ(RowOf(anded.get(), 1), (std::vector<std::uint32_t>{1, 0, 1, 1}));
    Dib sampled(DKImageCopy(white.get(), 4, 2, nullptr, 0));
    EXPECT_EQ(RowOf(sampled.get(), 0), (std::vector<std::uint32_t>{1, 1, 1, 1}));

    Dib black(MakeDib(8, 4, 1, kTwo));
    for (int row = 0; row < 4; ++row)
        for (int x = 0; x < 8; ++x) SetPixel(black.get(), x, row, row == 1 || x == 3 ? 1u : 0u);
    Dib ored(DKImageCopy(black.get(), 4, 2, nullptr, 0x02));
    EXPECT_EQ(RowOf(ored.get(), 0), (std::vector<std::uint32_t>{1, 1, 1, 1}));
    EXPECT_EQ(RowOf(ored.get(), 1), (std::vector<std::uint32_t>{0, 1, 0, 0}));
}

TEST(Sharpen, StrengthsAndEdges) {
    Dib source(MakeDib(3, 3, 24));
    SetPixel(source.get(), 1, 1, 0x5A5A5A);  // 90 in the middle, 0 around
    const VDK_RECT all{0, 0, 3, 3};
    Dib same(Better(source.get(), 0, &all, 0, nullptr));
    EXPECT_EQ(Bytes(same.get()), Bytes(source.get()));
    Dib sharp(Better(source.get(), 5, &all, 0, nullptr));
    ASSERT_TRUE(sharp);
    // (90 - 0.5 x 90 / 9) / 0.5 + 0.5 = 170.5; the neighbours go below 0.
    EXPECT_EQ(Pixel(sharp.get(), 1, 1), 0xAAAAAAu);
    EXPECT_EQ(Pixel(sharp.get(), 0, 0), 0u);
    // Only the rectangle changes: (1, 1, 2, 2) is the middle pixel alone.
    SetPixel(source.get(), 0, 0, 0x101010);
    const VDK_RECT middle{1, 1, 2, 2};
    Dib part(Better(source.get(), 5, &middle, 0, nullptr));
    EXPECT_EQ(Pixel(part.get(), 0, 0), 0x101010u);
    // (90 - 0.5 x 106 / 9) / 0.5 + 0.5 = 168.72
    EXPECT_EQ(Pixel(part.get(), 1, 1), 0xA8A8A8u);

    Dib one(MakeDib(1, 1, 24));
    SetPixel(one.get(), 0, 0, 0x123456);
    const VDK_RECT single{0, 0, 1, 1};
    Dib kept(Better(one.get(), 5, &single, 0, nullptr));
    EXPECT_EQ(Pixel(kept.get(), 0, 0), 0x123456u);
    EXPECT_EQ(Better(one.get(), 10, &single, 0, nullptr), 0u);
    EXPECT_EQ(Better(one.get(), 5, nullptr, 0, nullptr), 0u);
}

TEST(ToneCurve, HandComputedEntries) {
    Dib source(MakeDib(4, 1, 24));
    const std::uint32_t values[4] = {64, 100, 128, 191};
    for (int x = 0; x < 4; ++x) SetPixel(source.get(), x, 0, values[x] * 0x010101u);
    const VDK_RECT all{0, 0, 4, 1};
    Dib same(Enhance(source.get(), 0, 0, 10, 10, 10, &all, 0, nullptr));
    EXPECT_EQ(Bytes(same.get()), Bytes(source.get()));
    // Brightness 256 lifts everything to 255.
    Dib white(Enhance(source.get(), 256, 0, 10, 10, 10, &all, 0, nullptr));
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(white.get(), x, 0), 0xFFFFFFu);
    // Brightness 128: v + (255 - v) x 256 / 512; -128: v x 256 / 512.
    Dib lighter(Enhance(source.get(), 128, 0, 10, 10, 10, &all, 0, nullptr));
    EXPECT_EQ(Pixel(lighter.get(), 1, 0), 177u * 0x010101u);
    Dib darker(Enhance(source.get(), -128, 0, 10, 10, 10, &all, 0, nullptr));
    EXPECT_EQ(Pixel(darker.get(), 1, 0), 50u * 0x010101u);
    // Gamma 20 on red only: sqrt(64 / 255) x 255 = 127.75 -> 128; sqrt(128 / 255) x 255 =
    // 180.67 -> 181.
    Dib gamma(Enhance(source.get(), 0, 0, 10, 10, 20, &all, 0, nullptr));
    EXPECT_EQ(Pixel(gamma.get(), 0, 0), 0x804040u);
    EXPECT_EQ(Pixel(gamma.get(), 2, 0), 0xB58080u);
    // Contrast 64 (curve exponent 127 / 64): (64 / 127)^1.984 x 127 = 32.6 -> 32, mirrored
    // for 191 -> 223.
    Dib steep(Enhance(source.get(), 0, 64, 10, 10, 10, &all, 0, nullptr));
    EXPECT_EQ(Pixel(steep.get(), 0, 0), 32u * 0x010101u);
    EXPECT_EQ(Pixel(steep.get(), 3, 0), 223u * 0x010101u);
    // Exclusive rectangle: (0, 0, 1, 1) is the first pixel only.
    const VDK_RECT first{0, 0, 1, 1};
    Dib one(Enhance(source.get(), 256, 0, 10, 10, 10, &first, 0, nullptr));
    EXPECT_EQ(Pixel(one.get(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(Pixel(one.get(), 1, 0), 100u * 0x010101u);
    EXPECT_EQ(Enhance(source.get(), 0, 0, 0, 10, 10, &all, 0, nullptr), 0u);
}

TEST(HueAndSaturation, MasterAndRanges) {
    Dib dib(MakeDib(5, 1, 24));
    SetPixel(dib.get(), 0, 0, 0xFF0000);  // red
    SetPixel(dib.get(), 1, 0, 0x808080);  // grey
    SetPixel(dib.get(), 2, 0, 0x0000FF);  // hue 240
    const VDK_RECT all{0, 0, 5, 1};
    EXPECT_EQ(dkHueAndSaturation(dib.get(), 1, 1, 1, 1, 1, 1, 120, 0, 0, &all, 0, nullptr), 1);
    EXPECT_EQ(Pixel(dib.get(), 0, 0), 0x00FF00u);
    EXPECT_EQ(Pixel(dib.get(), 1, 0), 0x808080u);
    // Hue 240 + 120 = 360, which counts as 0: red.
    EXPECT_EQ(Pixel(dib.get(), 2, 0), 0xFF0000u);

    // Blue range only, shift -60: hue 240 at full weight -> 180 (cyan); hue 270 at weight 0.5
    // -> 240 (blue); hue 310 lies outside the window (180..300).
    Dib ranges(MakeDib(3, 1, 24));
    SetPixel(ranges.get(), 0, 0, 0x0000FF);
    SetPixel(ranges.get(), 1, 0, 0x8001FF);  // H = 60 x (127 / 254 + 4) = 270
    SetPixel(ranges.get(), 2, 0, 0xF000C8);  // H = 60 x (-200 / 240) + 360 = 310
    EXPECT_EQ(dkHueAndSaturation(ranges.get(), 0, 0, 1, 0, 0, 0, -60, 0, 0, &all, 0, nullptr), 1);
    EXPECT_EQ(Pixel(ranges.get(), 0, 0), 0x00FFFFu);
    const std::uint32_t half = Pixel(ranges.get(), 1, 0);
    EXPECT_LE(half >> 16, 1u);          // red
    EXPECT_LE((half >> 8) & 0xFF, 1u);  // green
    EXPECT_EQ(half & 0xFF, 255u);       // blue
    const std::uint32_t outside = Pixel(ranges.get(), 2, 0);
    EXPECT_NEAR(static_cast<int>(outside >> 16), 240, 1);
    EXPECT_EQ((outside >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(outside & 0xFF), 200, 1);

    // Lightness 100 in master mode lifts every channel to 1, grey included.
    Dib light(MakeDib(1, 1, 24));
    SetPixel(light.get(), 0, 0, 0x808080);
    const VDK_RECT one{0, 0, 1, 1};
    EXPECT_EQ(dkHueAndSaturation(light.get(), 1, 1, 1, 1, 1, 1, 0, 0, 100, &one, 0, nullptr), 1);
    EXPECT_EQ(Pixel(light.get(), 0, 0), 0xFFFFFFu);
    EXPECT_EQ(dkHueAndSaturation(light.get(), 1, 1, 1, 1, 1, 1, 0, 0, 0, nullptr, 0, nullptr), 0);
    EXPECT_EQ(dkHueAndSaturation(0, 1, 1, 1, 1, 1, 1, 0, 0, 0, &one, 0, nullptr), 0);
}

TEST(BitmapWrappers, ReplaceTheHandleOrFail) {
    const Census before = Census::Now();
    VDK_HBITMAP bitmap = vdk_CreateBitmap(4, 4, 1, 24, nullptr);
    const VDK_HBITMAP original = bitmap;
    VDK_HPALETTE palette = 0;
    const VDK_RECT rect{0, 0, 1, 1};
    std::vector<int> percents;
    const auto proc = [](int32_t percent, intptr_t user) -> int32_t {
        reinterpret_cast<std::vector<int>*>(user)->push_back(percent);
        return 1;
    };
    EXPECT_EQ(_EnhanceBMP(&bitmap, &palette, 256, 0, 10, 10, 10, &rect, 0, 0, nullptr), 1);
    ASSERT_NE(bitmap, original);
    const VDK_HDC dc = vdk_CreateCompatibleDC(0);
    vdk_SelectObject(dc, bitmap);
    EXPECT_EQ(vdk_GetPixel(dc, 0, 0), VDK_RGB(255, 255, 255));
    EXPECT_EQ(vdk_GetPixel(dc, 1, 0), VDK_RGB(0, 0, 0));
    vdk_DeleteDC(dc);
    const VDK_HBITMAP enhanced = bitmap;
    EXPECT_EQ(_dkHueAndSaturationBMP(&bitmap, &palette, 1, 1, 1, 1, 1, 1, 0, 0, 50, 0, &rect,
                                     reinterpret_cast<intptr_t>(&percents), proc),
              1);
    EXPECT_EQ(percents.back(), 100);
    const VDK_HBITMAP hued = bitmap;
    EXPECT_EQ(DKImageCopyBMP(&bitmap, &palette, 2, 2, nullptr, 0), 1);
    VDK_BITMAP bm{};
    vdk_GetObject(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 2);
    const VDK_HBITMAP copied = bitmap;
    EXPECT_EQ(VBetterBMP(&bitmap, &palette, 3.7, 0), 1);
    EXPECT_EQ(VEnhanceBMP(&bitmap, &palette, 0, 0, 10, 10, 10, 0), 1);
    // Failures leave the handle alone.
    const VDK_HBITMAP last = bitmap;
    EXPECT_EQ(_SharpBMP(&bitmap, &palette, 10, &rect, 0, 0, nullptr), -1);
    EXPECT_EQ(bitmap, last);
    VDK_HBITMAP none = 0;
    EXPECT_EQ(_SharpBMP(&none, &palette, 1, &rect, 0, 0, nullptr), -1);
    for (const VDK_HBITMAP b : {original, enhanced, hued, copied}) vdk_DeleteObject(b);
    vdk_DeleteObject(bitmap);
    EXPECT_EQ(Census::Now().blocks, before.blocks);
}

}  // namespace
}  // namespace vs::dibtest
