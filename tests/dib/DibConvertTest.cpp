// Bit-depth conversions, grey and copy through the library's C interface.

#include "dib/DibFile.h"
#include "dib/DibTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <thread>

namespace vs::dibtest {
namespace {

using Conversion = VDK_HDIB (*)(VDK_HDIB);

std::vector<Rgb> RandomTable(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Rgb> t(n);
    for (auto& e : t)
        e = {static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random())};
    return t;
}

const std::vector<Rgb> kFixed16 = {
    {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0}, {128, 128, 128}, {192, 192, 192}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};

// ImageMagick's view of a DIB, through a BMP file.
test::RgbImage Decode(VDK_HDIB dib, const test::TempDir& dir, const std::string& name) {
    const std::string path = dir.file(name + ".bmp");
    SaveDibAsBmpFile(dib, path);
    return test::MagickDecode(path);
}

std::uint32_t Grey(std::uint8_t v) { return std::uint32_t{v} * 0x010101u; }

TEST(DibExpand, OneToFourOfOnePixelGivesOneRowOfFourBytes) {
    MessageLog log;
    for (const std::uint32_t value : {0u, 1u}) {
        Dib src(MakeDib(1, 1, 1, {{0, 0, 0}, {255, 255, 255}}));
        SetPixel(src.get(), 0, 0, value);
        Dib out(DIB1To4(src.get()));
        ASSERT_TRUE(out);
        const VDK_BITMAPINFOHEADER h = Header(out.get());
        EXPECT_EQ(h.biBitCount, 4);
        EXPECT_EQ(h.biClrUsed, 16u);
        EXPECT_EQ(h.biClrImportant, 2u);
        EXPECT_EQ(h.biSizeImage, 4u);
        EXPECT_EQ(h.biXPelsPerMeter, 1234);
        EXPECT_EQ(h.biYPelsPerMeter, 4321);
        const auto bytes = Bytes(out.get());
        ASSERT_EQ(bytes.size(), 40u + 64u + 4u);
        EXPECT_EQ(bytes[104], value ? 0x10 : 0x00);
        EXPECT_EQ(TableEntry(out.get(), 1), (Rgb{255, 255, 255}));
        EXPECT_EQ(TableEntry(out.get(), 2), (Rgb{0, 0, 0}));  // the rest of the table is zero
    }
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibExpand, FourToEightWritesTheOddPixelsPaddingByte) {
    Dib src(MakeDib(1, 2, 4, RandomTable(16, 1)));
    // Pixel 5 with 0xA in the padding nibble: the odd width carries it into the padding.
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(src.get()));
    p[40 + 64] = 0x5A;
    vdk_GlobalUnlock(src.get());
    Dib out(DIB4To8(src.get()));
    ASSERT_TRUE(out);
    const auto bytes = Bytes(out.get());
    const std::size_t bits = 40 + 1024;
    ASSERT_EQ(bytes.size(), bits + 8);
    EXPECT_EQ(bytes[bits], 5);
    EXPECT_EQ(bytes[bits + 1], 0x0A);
    EXPECT_EQ(Header(out.get()).biClrImportant, 16u);
    EXPECT_EQ(TableEntry(out.get(), 15), RandomTable(16, 1)[15]);
}

// Every expansion keeps the picture ImageMagick sees, at odd and even widths.
TEST(DibExpand, AgreesWithImageMagickAtEveryWidth) {
    test::TempDir dir;
    MessageLog log;
    struct Case {
        const char* name;
        int bits;
        Conversion convert;
        int outBits;
    };
    const Case cases[] = {
        {"DIB1To4", 1, DIB1To4, 4},   {"DIB1To8", 1, DIB1To8, 8},   {"DIB1To24", 1, DIB1To24, 24},
        {"DIB4To8", 4, DIB4To8, 8},   {"DIB4To24", 4, DIB4To24, 24}, {"DIB8To24", 8, DIB8To24, 24},
    };
    for (const int width : {1, 3, 6, 9, 33}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " width " + std::to_string(width));
            Dib src(MakeDib(width, 3, c.bits, RandomTable(std::size_t{1} << c.bits, static_cast<unsigned>(width))));
            FillRandom(src.get(), static_cast<unsigned>(width * 7 + c.bits));
            const auto before = Bytes(src.get());
            Dib out(c.convert(src.get()));
            ASSERT_TRUE(out);
            EXPECT_EQ(Header(out.get()).biBitCount, c.outBits);
            EXPECT_EQ(Header(out.get()).biSizeImage, Stride(Header(out.get())) * 3);
            EXPECT_EQ(Decode(out.get(), dir, "out").rgb, Decode(src.get(), dir, "in").rgb);
            EXPECT_EQ(Bytes(src.get()), before);  // the argument is left as it was
            EXPECT_EQ(LockCount(src.get()), 0u);
        }
    }
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibExpand, EightToTwentyFourUsesOnlyTheTableThereIs) {
    // Five colours: indexes 5 and above have no entry and read as black.
    Dib src(MakeDib(3, 1, 8, RandomTable(5, 3)));
    SetPixel(src.get(), 0, 0, 4);
    SetPixel(src.get(), 1, 0, 5);
    SetPixel(src.get(), 2, 0, 255);
    Dib out(DIB8To24(src.get()));
    ASSERT_TRUE(out);
    const Rgb e = RandomTable(5, 3)[4];
    EXPECT_EQ(Pixel(out.get(), 0, 0), std::uint32_t{e[0]} << 16 | std::uint32_t{e[1]} << 8 | e[2]);
    EXPECT_EQ(Pixel(out.get(), 1, 0), 0u);
    EXPECT_EQ(Pixel(out.get(), 2, 0), 0u);
    EXPECT_EQ(Header(out.get()).biClrUsed, 0u);
}

TEST(DibExpand, OversizedTablesAreCutToTheOutputTable) {
    MessageLog log;
    // A 1-bit DIB that claims 20 colours: the 4-bit output keeps 16 of them.
    Dib src(MakeDib(8, 1, 1, RandomTable(20, 4)));
    Dib out(DIB1To4(src.get()));
    ASSERT_TRUE(out);
    EXPECT_EQ(Header(out.get()).biClrImportant, 16u);
    EXPECT_EQ(TableEntry(out.get(), 15), RandomTable(20, 4)[15]);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibReduce, MidGreyToOneBitSpreadsTheError) {
    Dib src(MakeDib(3, 2, 24));
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x)
            SetPixel(src.get(), x, row, Grey(128));
    const auto before = Bytes(src.get());
    Dib out(DIB24To1(src.get()));
    ASSERT_TRUE(out);
    EXPECT_EQ(Bytes(src.get()), before);  // DIB24To1 works on a copy
    const VDK_BITMAPINFOHEADER h = Header(out.get());
    EXPECT_EQ(h.biBitCount, 1);
    EXPECT_EQ(h.biClrUsed, 2u);
    EXPECT_EQ(h.biClrImportant, 2u);
    EXPECT_EQ(h.biSizeImage, 8u);
    EXPECT_EQ(h.biXPelsPerMeter, 1234);
    EXPECT_EQ(vdk_GlobalSize(out.get()), 8u + 48u);
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(TableEntry(out.get(), 1), (Rgb{255, 255, 255}));
    // L = 32768 makes the first pixel white; the worked diffusion gives 101 / 010.
    const auto bytes = Bytes(out.get());
    EXPECT_EQ(bytes[48], 0xA0);
    EXPECT_EQ(bytes[52], 0x40);

    // The internal step writes the diffusion into the DIB it is given.
    Dib direct(_DIB24To1(src.get()));
    ASSERT_TRUE(direct);
    EXPECT_EQ(Bytes(direct.get()), Bytes(out.get()));
    EXPECT_EQ(Pixel(src.get(), 1, 0), Grey(81));
    EXPECT_EQ(Pixel(src.get(), 2, 1), Grey(76));
}

TEST(DibReduce, FourBitUsesTheFixedColoursAndDiffuses) {
    Dib src(MakeDib(2, 1, 24));
    SetPixel(src.get(), 0, 0, 0xFF0000);
    SetPixel(src.get(), 1, 0, Grey(100));
    Dib out(DIB24To4(src.get()));
    ASSERT_TRUE(out);
    const VDK_BITMAPINFOHEADER h = Header(out.get());
    EXPECT_EQ(h.biBitCount, 4);
    EXPECT_EQ(h.biClrUsed, 16u);
    EXPECT_EQ(h.biClrImportant, 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(TableEntry(out.get(), i), kFixed16[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(Pixel(out.get(), 0, 0), 12u);  // pure red
    EXPECT_EQ(Pixel(out.get(), 1, 0), 7u);   // (100, 100, 100)

    // (60, 60, 60) is black; its error lifts (50, 50, 50) to 72, which is nearer grey 128.
    SetPixel(src.get(), 0, 0, Grey(60));
    SetPixel(src.get(), 1, 0, Grey(50));
    Dib dithered(DIB24To4(src.get()));
    EXPECT_EQ(Pixel(dithered.get(), 0, 0), 0u);
    EXPECT_EQ(Pixel(dithered.get(), 1, 0), 7u);
    Dib direct(_DIB24To4(src.get()));
    EXPECT_EQ(Bytes(direct.get()), Bytes(dithered.get()));
    EXPECT_EQ(Pixel(src.get(), 1, 0), Grey(72));
}

TEST(DibRoundTrip, ExactColoursSurviveExpansionAndReduction) {
    MessageLog log;
    for (const int width : {1, 5, 13, 32}) {
        SCOPED_TRACE(width);
        Dib mono(MakeDib(width, 4, 1, {{0, 0, 0}, {255, 255, 255}}));
        FillRandom(mono.get(), static_cast<unsigned>(width));
        Dib wide(DIB1To24(mono.get()));
        Dib back(DIB24To1(wide.get()));
        ASSERT_TRUE(back);
        for (int row = 0; row < 4; ++row)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(Pixel(back.get(), x, row), Pixel(mono.get(), x, row)) << x << "," << row;

        Dib four(MakeDib(width, 4, 4, kFixed16));
        FillRandom(four.get(), static_cast<unsigned>(width + 100));
        Dib four24(DIB4To24(four.get()));
        Dib four4(DIB24To4(four24.get()));
        ASSERT_TRUE(four4);
        for (int row = 0; row < 4; ++row)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(Pixel(four4.get(), x, row), Pixel(four.get(), x, row)) << x << "," << row;

        // The chained reductions equal expansion followed by the 24-bit reduction.
        Dib eight(MakeDib(width, 4, 8, RandomTable(256, 9)));
        FillRandom(eight.get(), 77);
        Dib eight24(DIB8To24(eight.get()));
        EXPECT_EQ(Bytes(Dib(DIB8To1(eight.get())).get()), Bytes(Dib(DIB24To1(eight24.get())).get()));
        EXPECT_EQ(Bytes(Dib(DIB8To4(eight.get())).get()), Bytes(Dib(DIB24To4(eight24.get())).get()));
        EXPECT_EQ(Bytes(Dib(DIB4To1(four.get())).get()), Bytes(Dib(DIB24To1(four24.get())).get()));
    }
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibGrey, PaletteDibsKeepTheirIndexesAndGetAGreyTable) {
    Dib src(MakeDib(5, 2, 8, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}}, -1, 3));
    FillRandom(src.get(), 5);
    const auto before = Bytes(src.get());
    Dib out(GrayDIB(src.get()));
    ASSERT_TRUE(out);
    const auto after = Bytes(out.get());
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(TableEntry(out.get(), 0), (Rgb{76, 76, 76}));
    EXPECT_EQ(TableEntry(out.get(), 1), (Rgb{150, 150, 150}));
    EXPECT_EQ(TableEntry(out.get(), 2), (Rgb{27, 27, 27}));
    EXPECT_EQ(TableEntry(out.get(), 3), (Rgb{255, 255, 255}));
    // Header and pixels unchanged: only the four table entries differ.
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + 40, after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + 56, before.end(), after.begin() + 56));
    EXPECT_EQ(Bytes(src.get()), before);
}

TEST(DibGrey, TwentyFourBitsBecomeEightBitsWithAGreyRamp) {
    Dib src(MakeDib(5, 2, 24));
    const std::uint32_t colors[5] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x808080};
    const std::uint32_t greys[5] = {76, 150, 27, 255, 128};
    for (int x = 0; x < 5; ++x)
        SetPixel(src.get(), x, 1, colors[x]);
    for (const bool viaDib24To8 : {false, true}) {
        Dib out(viaDib24To8 ? DIB24To8(src.get(), 1) : GrayDIB(src.get()));
        ASSERT_TRUE(out);
        const VDK_BITMAPINFOHEADER h = Header(out.get());
        EXPECT_EQ(h.biBitCount, 8);
        EXPECT_EQ(h.biClrUsed, 256u);
        EXPECT_EQ(h.biClrImportant, 0u);
        EXPECT_EQ(h.biSizeImage, 16u);
        EXPECT_EQ(h.biXPelsPerMeter, 2953);
        EXPECT_EQ(h.biYPelsPerMeter, 2953);
        EXPECT_EQ(vdk_GlobalSize(out.get()), 40u + 1024u + 16u);
        for (int i : {0, 1, 127, 255})
            EXPECT_EQ(TableEntry(out.get(), i), (Rgb{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                                     static_cast<std::uint8_t>(i)}));
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(Pixel(out.get(), x, 1), greys[x]) << x;
            EXPECT_EQ(Pixel(out.get(), x, 0), 0u);
        }
    }
}

TEST(DibCopy, CopiesTheWholeBlockWithTrailingBytes) {
    Dib src(MakeDib(3, 3, 4, RandomTable(16, 8), -1, 7));
    FillRandom(src.get(), 3);
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(src.get()));
    for (std::size_t i = vdk_GlobalSize(src.get()) - 7; i < vdk_GlobalSize(src.get()); ++i)
        p[i] = static_cast<std::uint8_t>(0xE0 + i);
    vdk_GlobalUnlock(src.get());
    Dib copy(CopyDIB(src.get()));
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), src.get());
    EXPECT_EQ(Bytes(copy.get()), Bytes(src.get()));
    // Even a block that is no DIB at all is copied byte for byte.
    const VDK_HGLOBAL odd = vdk_GlobalAlloc(VDK_GHND, 3);
    Dib oddCopy(CopyDIB(odd));
    EXPECT_EQ(vdk_GlobalSize(oddCopy.get()), 3u);
    vdk_GlobalFree(odd);
}

TEST(DibChains, ConversionsRunSideBySideOnSeveralThreads) {
    Dib src(MakeDib(33, 17, 24));
    FillRandom(src.get(), 21);
    const auto expected = Bytes(Dib(DIB24To4(src.get())).get());
    std::vector<std::vector<std::uint8_t>> results(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 20; ++i)
                results[t] = Bytes(Dib(DIB24To4(src.get())).get());
        });
    for (auto& th : threads)
        th.join();
    for (const auto& r : results)
        EXPECT_EQ(r, expected);
    EXPECT_EQ(LockCount(src.get()), 0u);
}

TEST(DibChains, FreeEveryIntermediateAndUnlockTheirInput) {
    MessageLog log;
    Dib one(MakeDib(7, 3, 1, {{0, 0, 0}, {255, 255, 255}}));
    Dib four(MakeDib(7, 3, 4, kFixed16));
    Dib eight(MakeDib(7, 3, 8, RandomTable(256, 2)));
    Dib full(MakeDib(7, 3, 24));
    const std::pair<Conversion, VDK_HDIB> calls[] = {
        {DIB1To4, one.get()},    {DIB4To8, four.get()},    {DIB8To24, eight.get()}, {DIB1To8, one.get()},
        {DIB1To24, one.get()},   {DIB4To24, four.get()},   {DIB24To1, full.get()},  {DIB8To1, eight.get()},
        {DIB4To1, four.get()},   {DIB24To4, full.get()},   {DIB8To4, eight.get()},  {GrayDIB, eight.get()},
        {GrayDIB, full.get()},   {CopyDIB, full.get()},    {_DIB24To1, full.get()}, {_DIB24To4, full.get()},
    };
    for (const auto& [convert, input] : calls) {
        const Census before = Census::Now();
        Dib out(convert(input));
        ASSERT_TRUE(out);
        Census expected = before;
        ++expected.blocks;
        EXPECT_EQ(Census::Now(), expected);
        EXPECT_EQ(LockCount(input), 0u);
        EXPECT_EQ(LockCount(out.get()), 0u);
        // A chain that fails at some step (wrong depth) frees what it made so far too.
        if (convert == CopyDIB || convert == GrayDIB)
            continue;
        const VDK_HDIB wrong = input == one.get() ? full.get() : one.get();
        const Census beforeFailure = Census::Now();
        EXPECT_EQ(convert(wrong), 0u);
        EXPECT_EQ(Census::Now(), beforeFailure);
        EXPECT_EQ(log.Take().size(), 1u);
        EXPECT_EQ(LockCount(wrong), 0u);
    }
}

}  // namespace
}  // namespace vs::dibtest
