// Information, palettes, drawing and DIB/DDB conversion through the C interface.

#include "dib/DibTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vs::dibtest {
namespace {

VDK_PALETTEENTRY Entry(VDK_HPALETTE palette, std::uint32_t i) {
    VDK_PALETTEENTRY e{};
    EXPECT_EQ(vdk_GetPaletteEntries(palette, i, 1, &e), 1u);
    return e;
}

bool Same(const VDK_PALETTEENTRY& e, int r, int g, int b) {
    return e.peRed == r && e.peGreen == g && e.peBlue == b && e.peFlags == 0;
}

// A memory context drawing on a 32-bit bitmap of the given size, all white.
struct Canvas {
    VDK_HDC dc = vdk_CreateCompatibleDC(0);
    VDK_HBITMAP bitmap;
    VDK_HGDIOBJ old;
    Canvas(int w, int h) {
        std::vector<std::uint8_t> white(static_cast<std::size_t>(w * h * 4), 0xFF);
        bitmap = vdk_CreateBitmap(w, h, 1, 32, white.data());
        old = vdk_SelectObject(dc, bitmap);
    }
    ~Canvas() {
        vdk_SelectObject(dc, old);
        vdk_DeleteDC(dc);
        vdk_DeleteObject(bitmap);
    }
    VDK_COLORREF at(int x, int y) const { return vdk_GetPixel(dc, x, y); }
};

constexpr VDK_COLORREF kWhite = VDK_RGB(255, 255, 255);

// A 3 x 2 24-bit DIB: top row red, green, blue; bottom row black, grey, yellow.
Dib SixColours() {
    Dib dib(MakeDib(3, 2, 24));
    SetPixel(dib.get(), 0, 1, 0xFF0000);
    SetPixel(dib.get(), 1, 1, 0x00FF00);
    SetPixel(dib.get(), 2, 1, 0x0000FF);
    SetPixel(dib.get(), 0, 0, 0x000000);
    SetPixel(dib.get(), 1, 0, 0x808080);
    SetPixel(dib.get(), 2, 0, 0xFFFF00);
    return dib;
}

TEST(DibInfo, ReadsTheHeaderAndTheVersion) {
    MessageLog log;
    Dib dib(MakeDib(17, 9, 4, {{1, 2, 3}}));
    EXPECT_EQ(GetDIBWidth(dib.get()), 17);
    EXPECT_EQ(GetDIBHeight(dib.get()), 9);
    EXPECT_EQ(GetDIBBitPerPixel(dib.get()), 4);
    EXPECT_EQ(LockCount(dib.get()), 0u);
    EXPECT_EQ(DIBGetVersion(), 4096);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibInfo, ColourCountAndBitsFollowTheColourCountRule) {
    MessageLog log;
    struct Case {
        int bits;
        std::int64_t clrUsed;
        std::uint32_t colors;
    };
    for (const Case c : {Case{24, 0, 0}, Case{1, 0, 2}, Case{4, 0, 16}, Case{8, 0, 256}, Case{1, 5, 5}, Case{8, 5, 5},
                         Case{24, 5, 5}, Case{32, 0, 0}, Case{16, 0, 0}}) {
        SCOPED_TRACE(std::to_string(c.bits) + " bits, clrUsed " + std::to_string(c.clrUsed));
        Dib dib(MakeDib(2, 2, c.bits, {}, c.clrUsed));
        auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(dib.get()));
        EXPECT_EQ(GetColorsInPalette(p), c.colors);
        EXPECT_EQ(GetDIBBits(p), p + 40 + 4 * c.colors);
        vdk_GlobalUnlock(dib.get());
    }
    // Pointers that do not lead to 40 readable bytes of a block: 0 / null, and no message.
    Dib dib(MakeDib(2, 2, 24));
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(dib.get()));
    const std::size_t size = vdk_GlobalSize(dib.get());
    VDK_BITMAPINFOHEADER onStack{};
    onStack.biSize = 40;
    onStack.biBitCount = 8;
    EXPECT_EQ(GetColorsInPalette(nullptr), 0u);
    EXPECT_EQ(GetColorsInPalette(&onStack), 0u);
    EXPECT_EQ(GetColorsInPalette(p + size - 39), 0u);
    EXPECT_EQ(GetDIBBits(nullptr), nullptr);
    EXPECT_EQ(GetDIBBits(p + size - 39), nullptr);
    EXPECT_NE(GetDIBBits(p + size - 40), nullptr);
    vdk_GlobalUnlock(dib.get());
    const VDK_HDIB gone = MakeDib(2, 2, 8);
    void* stale = vdk_GlobalLock(gone);
    vdk_GlobalFree(gone);
    EXPECT_EQ(GetColorsInPalette(stale), 0u);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibPalette, TwentyFourBitsGetTheFixedColourCube) {
    MessageLog log;
    Dib dib(MakeDib(2, 2, 24));
    const Census before = Census::Now();
    const VDK_HPALETTE palette = CreateDIBPalette(dib.get());
    ASSERT_NE(palette, 0u);
    EXPECT_EQ(vdk_GetPaletteEntries(palette, 0, 0, nullptr), 256u);
    EXPECT_TRUE(Same(Entry(palette, 0), 0, 0, 0));
    EXPECT_TRUE(Same(Entry(palette, 7), 224, 0, 0));
    EXPECT_TRUE(Same(Entry(palette, 63), 224, 224, 0));
    EXPECT_TRUE(Same(Entry(palette, 64), 0, 0, 64));
    EXPECT_TRUE(Same(Entry(palette, 255), 224, 224, 192));
    // Only the palette is new: the temporary palette block is gone.
    Census expected = before;
    ++expected.palettes;
    EXPECT_EQ(Census::Now(), expected);
    EXPECT_EQ(vdk_DeleteObject(palette), 1);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibPalette, ColourTablesAreCopiedAndOtherDepthsHaveNone) {
    MessageLog log;
    Dib four(MakeDib(2, 2, 4, {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}}));
    const VDK_HPALETTE palette = CreateDIBPalette(four.get());
    ASSERT_NE(palette, 0u);
    EXPECT_EQ(vdk_GetPaletteEntries(palette, 0, 0, nullptr), 3u);
    EXPECT_TRUE(Same(Entry(palette, 0), 10, 20, 30));
    EXPECT_TRUE(Same(Entry(palette, 2), 70, 80, 90));
    std::uint16_t count = 0;
    EXPECT_EQ(vdk_GetObject(palette, 2, &count), 2);
    EXPECT_EQ(count, 3);
    vdk_DeleteObject(palette);
    Dib sixteen(MakeDib(2, 2, 16));
    EXPECT_EQ(CreateDIBPalette(sixteen.get()), 0u);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibDraw, DrawDIBPutsTheTopRowAtY) {
    MessageLog log;
    Dib dib = SixColours();
    Canvas canvas(6, 5);
    const VDK_HPALETTE before = vdk_GetCurrentObject(canvas.dc, VDK_OBJ_PAL);
    EXPECT_EQ(DrawDIB(canvas.dc, dib.get(), 0, 2, 1), 1);
    EXPECT_EQ(canvas.at(2, 1), VDK_RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(3, 1), VDK_RGB(0, 255, 0));
    EXPECT_EQ(canvas.at(4, 1), VDK_RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(2, 2), VDK_RGB(0, 0, 0));
    EXPECT_EQ(canvas.at(4, 2), VDK_RGB(255, 255, 0));
    EXPECT_EQ(canvas.at(1, 1), kWhite);
    EXPECT_EQ(canvas.at(5, 1), kWhite);
    EXPECT_EQ(canvas.at(2, 3), kWhite);
    EXPECT_EQ(vdk_GetCurrentObject(canvas.dc, VDK_OBJ_PAL), before);

    // A palette is selected for the drawing only.
    const VDK_HPALETTE palette = CreateDIBPalette(dib.get());
    EXPECT_EQ(DrawDIB(canvas.dc, dib.get(), palette, -1, -1), 1);  // clipped at the edges
    EXPECT_EQ(canvas.at(0, 0), VDK_RGB(128, 128, 128));
    EXPECT_EQ(canvas.at(1, 0), VDK_RGB(255, 255, 0));
    EXPECT_EQ(vdk_GetCurrentObject(canvas.dc, VDK_OBJ_PAL), before);
    EXPECT_EQ(vdk_DeleteObject(palette), 1);  // not left selected
    EXPECT_EQ(LockCount(dib.get()), 0u);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibDraw, StretchDIBDeletesOrRepeatsRowsAndColumns) {
    Dib dib = SixColours();
    Canvas canvas(6, 4);
    EXPECT_EQ(StretchDIB(canvas.dc, dib.get(), 0, 0, 0, 6, 4), 1);
    EXPECT_EQ(vdk_GetStretchBltMode(canvas.dc), VDK_COLORONCOLOR);
    const VDK_COLORREF top[6] = {VDK_RGB(255, 0, 0), VDK_RGB(255, 0, 0), VDK_RGB(0, 255, 0),
                                 VDK_RGB(0, 255, 0), VDK_RGB(0, 0, 255), VDK_RGB(0, 0, 255)};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(canvas.at(x, 0), top[x]) << x;
        EXPECT_EQ(canvas.at(x, 1), top[x]) << x;
    }
    EXPECT_EQ(canvas.at(5, 3), VDK_RGB(255, 255, 0));
    // Shrunk to 1 x 1: the top-left pixel survives.
    Canvas small(1, 1);
    EXPECT_EQ(StretchDIB(small.dc, dib.get(), 0, 0, 0, 1, 1), 1);
    EXPECT_EQ(small.at(0, 0), VDK_RGB(255, 0, 0));
}

TEST(DibDraw, DrawDDBAndStretchDDBCopyTheBitmap) {
    MessageLog log;
    const std::uint8_t bits[2 * 2 * 4] = {0, 0, 255, 0, 0, 255, 0, 0,  // red, green
                                          255, 0, 0, 0, 9, 9, 9, 0};   // blue, (9, 9, 9)
    const VDK_HBITMAP bitmap = vdk_CreateBitmap(2, 2, 1, 32, bits);
    Canvas canvas(5, 4);
    const Census before = Census::Now();
    EXPECT_EQ(DrawDDB(canvas.dc, bitmap, 0, 1, 1), 1);
    EXPECT_EQ(canvas.at(1, 1), VDK_RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(2, 1), VDK_RGB(0, 255, 0));
    EXPECT_EQ(canvas.at(1, 2), VDK_RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(2, 2), VDK_RGB(9, 9, 9));
    EXPECT_EQ(canvas.at(3, 2), kWhite);
    const VDK_HPALETTE palette = vdk_GetStockObject(VDK_DEFAULT_PALETTE);
    EXPECT_EQ(StretchDDB(canvas.dc, bitmap, palette, 0, 0, 4, 2), 1);
    EXPECT_EQ(vdk_GetStretchBltMode(canvas.dc), VDK_COLORONCOLOR);
    EXPECT_EQ(canvas.at(0, 0), VDK_RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(1, 0), VDK_RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(3, 1), VDK_RGB(9, 9, 9));
    EXPECT_EQ(Census::Now(), before);  // the memory context is gone
    EXPECT_EQ(vdk_DeleteObject(bitmap), 1);  // and the bitmap is not left selected
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibDraw, ABitmapSelectedElsewhereIsNotDrawn) {
    MessageLog log;
    const VDK_HBITMAP bitmap = vdk_CreateBitmap(2, 2, 1, 32, nullptr);
    const VDK_HDC holder = vdk_CreateCompatibleDC(0);
    const VDK_HGDIOBJ old = vdk_SelectObject(holder, bitmap);
    Canvas canvas(3, 3);
    const Census before = Census::Now();
    EXPECT_EQ(DrawDDB(canvas.dc, bitmap, 0, 0, 0), 0);
    EXPECT_EQ(canvas.at(0, 0), kWhite);
    EXPECT_EQ(Census::Now(), before);
    EXPECT_EQ(vdk_GetCurrentObject(holder, VDK_OBJ_BITMAP), bitmap);
    EXPECT_TRUE(log.texts.empty());
    vdk_SelectObject(holder, old);
    vdk_DeleteDC(holder);
    vdk_DeleteObject(bitmap);
}

TEST(DibDdb, IDIBtoDDBMakesAScreenBitmapOfTheDib) {
    Dib dib = SixColours();
    const VDK_HBITMAP bitmap = IDIBtoDDB(dib.get(), 0);
    ASSERT_NE(bitmap, 0u);
    VDK_BITMAP bm{};
    ASSERT_EQ(vdk_GetObject(bitmap, sizeof bm, &bm), static_cast<int32_t>(sizeof bm));
    EXPECT_EQ(bm.bmWidth, 3);
    EXPECT_EQ(bm.bmHeight, 2);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    std::uint8_t px[3 * 2 * 4];
    ASSERT_EQ(vdk_GetBitmapBits(bitmap, sizeof px, px), static_cast<int32_t>(sizeof px));
    EXPECT_EQ(px[2], 255);   // top-left red
    EXPECT_EQ(px[5], 255);   // then green
    EXPECT_EQ(px[12 + 4], 128);  // bottom middle grey
    EXPECT_EQ(LockCount(dib.get()), 0u);

    // Back again: the same pixels as a 24-bit DIB.
    Dib back(IDDBtoDIB(bitmap, 0, 0));
    ASSERT_TRUE(back);
    EXPECT_EQ(Header(back.get()).biBitCount, 32);
    Dib back24(IDDBtoDIB(bitmap, 0, 24));
    for (int row = 0; row < 2; ++row)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(Pixel(back24.get(), x, row), Pixel(dib.get(), x, row));
    vdk_DeleteObject(bitmap);
}

TEST(DibDdb, IDDBtoDIBBuildsAFreshHeader) {
    const std::uint8_t bits[3 * 1 * 3 + 1] = {0, 0, 255, 153, 102, 51, 7, 7, 7, 0};
    const VDK_HBITMAP bitmap = vdk_CreateBitmap(3, 1, 1, 24, bits);
    MessageLog log;
    const Census before = Census::Now();
    Dib own(IDDBtoDIB(bitmap, 0, 0));
    ASSERT_TRUE(own);
    VDK_BITMAPINFOHEADER h = Header(own.get());
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 3);
    EXPECT_EQ(h.biHeight, 1);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 24);
    EXPECT_EQ(h.biCompression, 0u);
    EXPECT_EQ(h.biSizeImage, 12u);
    EXPECT_EQ(h.biXPelsPerMeter, 2953);
    EXPECT_EQ(h.biYPelsPerMeter, 2953);
    EXPECT_EQ(h.biClrUsed, 0u);
    EXPECT_EQ(vdk_GlobalSize(own.get()), 40u + 12u);
    EXPECT_EQ(Pixel(own.get(), 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(own.get(), 1, 0), 0x336699u);

    Dib eight(IDDBtoDIB(bitmap, 0, 8));
    ASSERT_TRUE(eight);
    h = Header(eight.get());
    EXPECT_EQ(h.biBitCount, 8);
    EXPECT_EQ(h.biClrUsed, 256u);
    EXPECT_EQ(vdk_GlobalSize(eight.get()), 40u + 1024u + 4u);
    // The halftone table: a 6 x 6 x 6 cube, red fastest, then greys.
    EXPECT_EQ(TableEntry(eight.get(), 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(TableEntry(eight.get(), 1), (Rgb{51, 0, 0}));
    EXPECT_EQ(TableEntry(eight.get(), 215), (Rgb{255, 255, 255}));
    EXPECT_EQ(Pixel(eight.get(), 0, 0), 5u);               // red
    EXPECT_EQ(Pixel(eight.get(), 1, 0), 1u + 2 * 6 + 3 * 36);  // (51, 102, 153)
    EXPECT_EQ(TableEntry(eight.get(), static_cast<int>(Pixel(eight.get(), 2, 0)))[0], 6);  // nearest grey of 7
    Census expected = before;
    expected.blocks += 2;
    EXPECT_EQ(Census::Now(), expected);
    EXPECT_TRUE(log.texts.empty());
    vdk_DeleteObject(bitmap);
}

TEST(DibDdb, DibtoDdb2MakesMonochromeBitmapsOfTwoColourDibs) {
    MessageLog log;
    Dib one(MakeDib(10, 3, 1, {{0, 0, 0}, {255, 255, 255}}));
    FillRandom(one.get(), 11);
    const Census before = Census::Now();
    const VDK_HBITMAP mono = DibtoDdb2(one.get(), 0);
    ASSERT_NE(mono, 0u);
    Census expected = before;
    ++expected.bitmaps;
    EXPECT_EQ(Census::Now(), expected);  // its own palette and contexts are gone
    VDK_BITMAP bm{};
    vdk_GetObject(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 10);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    Dib back(IDDBtoDIB(mono, 0, 0));
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(Pixel(back.get(), x, row), Pixel(one.get(), x, row));
    vdk_DeleteObject(mono);

    Dib eight(MakeDib(4, 2, 8, {{10, 20, 30}}));
    const VDK_HBITMAP colour = DibtoDdb2(eight.get(), 0);
    vdk_GetObject(colour, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    std::uint8_t px[4];
    vdk_GetBitmapBits(colour, 4, px);
    EXPECT_EQ(px[0], 30);
    EXPECT_EQ(px[2], 10);
    vdk_DeleteObject(colour);
    EXPECT_TRUE(log.texts.empty());
}

TEST(DibDdb, DibtoDdb2ReadsCoreHeaders) {
    // 12-byte header, 2 x 1 pixels of 8 bits, 256 three-byte colour entries.
    std::vector<std::uint8_t> block = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 8, 0};
    for (int i = 0; i < 256; ++i)
        block.insert(block.end(), {static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i)});
    block.insert(block.end(), {3, 200, 0, 0});
    const VDK_HGLOBAL dib = vdk_GlobalAlloc(VDK_GHND, block.size());
    std::memcpy(vdk_GlobalLock(dib), block.data(), block.size());
    vdk_GlobalUnlock(dib);
    const VDK_HBITMAP bitmap = DibtoDdb2(dib, 0);
    ASSERT_NE(bitmap, 0u);
    std::uint8_t px[8];
    vdk_GetBitmapBits(bitmap, 8, px);
    EXPECT_EQ(px[0], 3);    // blue of entry 3
    EXPECT_EQ(px[2], 252);  // red of entry 3
    EXPECT_EQ(px[4], 200);
    vdk_DeleteObject(bitmap);
    vdk_GlobalFree(dib);
}

}  // namespace
}  // namespace vs::dibtest
