// The vdk_ platform layer: memory blocks, palettes, bitmaps, contexts, exported names.

#include "dib/DibTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace vs::dibtest {
namespace {

TEST(PlatformMemory, BlocksCountLocksAndDieCleanly) {
    const VDK_HGLOBAL block = vdk_GlobalAlloc(VDK_GMEM_MOVEABLE | VDK_GMEM_ZEROINIT, 100);
    ASSERT_NE(block, 0u);
    EXPECT_EQ(vdk_GlobalSize(block), 100u);
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(block));
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(std::all_of(p, p + 100, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(vdk_GlobalLock(block), p);
    EXPECT_EQ(vdk_GlobalFlags(block), 2u);
    EXPECT_EQ(vdk_GlobalUnlock(block), 1);
    EXPECT_EQ(vdk_GlobalUnlock(block), 0);
    EXPECT_EQ(vdk_GlobalUnlock(block), 0);  // never below zero
    EXPECT_EQ(vdk_GlobalFlags(block), 0u);
    EXPECT_EQ(vdk_GlobalFree(block), 0u);
    // A handle that is not live is refused everywhere.
    for (const VDK_HGLOBAL dead : {block, VDK_HGLOBAL{0}, VDK_HGLOBAL{12345678}}) {
        EXPECT_EQ(vdk_GlobalLock(dead), nullptr);
        EXPECT_EQ(vdk_GlobalSize(dead), 0u);
        EXPECT_EQ(vdk_GlobalFlags(dead), VDK_GMEM_INVALID_HANDLE);
        EXPECT_EQ(vdk_GlobalReAlloc(dead, 10, VDK_GHND), 0u);
        EXPECT_EQ(vdk_GlobalFree(dead), dead);
    }
    EXPECT_EQ(vdk_GlobalAlloc(VDK_GHND, std::size_t{1} << 31), 0u);  // refused, not attempted
}

TEST(PlatformMemory, ReAllocKeepsBytesZeroesTheTailAndLeavesLockedBlocksAlone) {
    const VDK_HGLOBAL block = vdk_GlobalAlloc(VDK_GHND, 4);
    std::memcpy(vdk_GlobalLock(block), "abcd", 4);
    EXPECT_EQ(vdk_GlobalReAlloc(block, 8, VDK_GHND), 0u);  // locked
    EXPECT_EQ(vdk_GlobalSize(block), 4u);
    vdk_GlobalUnlock(block);
    ASSERT_EQ(vdk_GlobalReAlloc(block, 8, VDK_GHND), block);
    const auto* p = static_cast<const std::uint8_t*>(vdk_GlobalLock(block));
    EXPECT_EQ(std::vector<std::uint8_t>(p, p + 8), (std::vector<std::uint8_t>{'a', 'b', 'c', 'd', 0, 0, 0, 0}));
    vdk_GlobalUnlock(block);
    ASSERT_EQ(vdk_GlobalReAlloc(block, 2, VDK_GHND), block);
    EXPECT_EQ(vdk_GlobalSize(block), 2u);
    vdk_FailAllocationsAfter(0);
    EXPECT_EQ(vdk_GlobalReAlloc(block, 50, VDK_GHND), 0u);
    vdk_FailAllocationsAfter(-1);
    EXPECT_EQ(vdk_GlobalSize(block), 2u);
    vdk_GlobalFree(block);
}

TEST(PlatformMemory, ReadablePointersComeFromTheBlockTable) {
    const VDK_HGLOBAL block = vdk_GlobalAlloc(VDK_GHND, 64);
    auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(block));
    EXPECT_EQ(vdk_IsBadReadPtr(p, 64), 0);
    EXPECT_EQ(vdk_IsBadReadPtr(p + 24, 40), 0);
    EXPECT_NE(vdk_IsBadReadPtr(p + 25, 40), 0);
    EXPECT_NE(vdk_IsBadReadPtr(p, 65), 0);
    EXPECT_NE(vdk_IsBadReadPtr(p - 1, 2), 0);
    EXPECT_NE(vdk_IsBadReadPtr(nullptr, 1), 0);
    int local = 0;
    EXPECT_NE(vdk_IsBadReadPtr(&local, sizeof local), 0);
    vdk_GlobalUnlock(block);
    vdk_GlobalFree(block);
    EXPECT_NE(vdk_IsBadReadPtr(p, 1), 0);
}

TEST(PlatformMemory, BlocksCanBeUsedFromSeveralThreads) {
    const Census before = Census::Now();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 500; ++i) {
                const VDK_HGLOBAL b = vdk_GlobalAlloc(VDK_GHND, static_cast<std::size_t>(16 + i + t));
                auto* p = static_cast<std::uint8_t*>(vdk_GlobalLock(b));
                p[0] = static_cast<std::uint8_t>(t);
                vdk_GlobalUnlock(b);
                vdk_GlobalFree(b);
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(Census::Now(), before);
}

TEST(PlatformPalette, PalettesAndTheSixteenSystemColours) {
    VDK_PALETTEENTRY system[16];
    EXPECT_EQ(vdk_GetSystemPaletteEntries(0, 0, 0, nullptr), 16u);
    ASSERT_EQ(vdk_GetSystemPaletteEntries(0, 0, 20, system), 16u);
    const int expected[16][3] = {{0, 0, 0},       {128, 0, 0},     {0, 128, 0},   {128, 128, 0},
                                 {0, 0, 128},     {128, 0, 128},   {0, 128, 128}, {192, 192, 192},
                                 {128, 128, 128}, {255, 0, 0},     {0, 255, 0},   {255, 255, 0},
                                 {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};
    const VDK_HPALETTE stock = vdk_GetStockObject(VDK_DEFAULT_PALETTE);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(system[i].peRed, expected[i][0]) << i;
        EXPECT_EQ(system[i].peGreen, expected[i][1]) << i;
        EXPECT_EQ(system[i].peBlue, expected[i][2]) << i;
        VDK_PALETTEENTRY e{};
        vdk_GetPaletteEntries(stock, static_cast<std::uint32_t>(i), 1, &e);
        EXPECT_EQ(e.peRed, expected[i][0]);
    }
    EXPECT_EQ(vdk_DeleteObject(stock), 1);  // stock objects stay
    EXPECT_EQ(vdk_GetPaletteEntries(stock, 0, 0, nullptr), 16u);

    std::vector<std::uint8_t> raw(4 + 3 * 4);
    auto* lp = reinterpret_cast<VDK_LOGPALETTE*>(raw.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    lp->palPalEntry[0] = {1, 2, 3, 0};
    const VDK_HPALETTE palette = vdk_CreatePalette(lp);
    ASSERT_NE(palette, 0u);
    VDK_PALETTEENTRY out[5];
    EXPECT_EQ(vdk_GetPaletteEntries(palette, 1, 5, out), 2u);
    EXPECT_EQ(vdk_GetPaletteEntries(palette, 0, 1, out), 1u);
    EXPECT_EQ(out[0].peBlue, 3);
    // A selected palette cannot be deleted; after deselecting it can.
    const VDK_HDC dc = vdk_GetDC(0);
    const VDK_HPALETTE old = vdk_SelectPalette(dc, palette, 1);
    EXPECT_EQ(old, stock);
    EXPECT_EQ(vdk_RealizePalette(dc), 3u);
    EXPECT_EQ(vdk_DeleteObject(palette), 0);
    vdk_SelectPalette(dc, old, 1);
    EXPECT_EQ(vdk_DeleteObject(palette), 1);
    EXPECT_EQ(vdk_GetPaletteEntries(palette, 0, 1, out), 0u);
    vdk_ReleaseDC(0, dc);
}

TEST(PlatformBitmap, BitsRoundTripAndSelectionIsExclusive) {
    // 10 x 2 monochrome: rows padded to 2 bytes.
    const std::uint8_t bits[4] = {0b10110000, 0b01000011, 0b00000001, 0b11000000};  // padding bits set
    const VDK_HBITMAP mono = vdk_CreateBitmap(10, 2, 1, 1, bits);
    ASSERT_NE(mono, 0u);
    std::uint8_t back[4] = {};
    EXPECT_EQ(vdk_GetBitmapBits(mono, 4, back), 4);
    EXPECT_EQ(std::vector<std::uint8_t>(back, back + 4), (std::vector<std::uint8_t>{0b10110000, 0b01000000, 0b00000001, 0b11000000}));
    VDK_BITMAP bm{};
    EXPECT_EQ(vdk_GetObject(mono, sizeof bm, &bm), static_cast<int32_t>(sizeof bm));
    EXPECT_EQ(bm.bmWidthBytes, 2);
    EXPECT_EQ(bm.bmPlanes, 1);

    const VDK_HDC a = vdk_CreateCompatibleDC(0);
    const VDK_HDC b = vdk_CreateCompatibleDC(a);
    const VDK_HGDIOBJ stockBitmap = vdk_SelectObject(a, mono);
    EXPECT_NE(stockBitmap, 0u);
    EXPECT_EQ(vdk_GetPixel(a, 0, 0), VDK_RGB(255, 255, 255));
    EXPECT_EQ(vdk_GetPixel(a, 1, 0), VDK_RGB(0, 0, 0));
    EXPECT_EQ(vdk_GetPixel(a, 10, 0), VDK_CLR_INVALID);
    EXPECT_EQ(vdk_SetPixel(a, 1, 0, VDK_RGB(200, 200, 200)), VDK_RGB(255, 255, 255));  // nearer white
    EXPECT_EQ(vdk_SelectObject(b, mono), 0u);  // one context at a time
    EXPECT_EQ(vdk_DeleteObject(mono), 0);      // nor deleted while selected
    // A memory context makes bitmaps like its selected one.
    const VDK_HBITMAP compatible = vdk_CreateCompatibleBitmap(a, 3, 3);
    vdk_GetObject(compatible, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    vdk_DeleteObject(compatible);
    EXPECT_EQ(vdk_DeleteDC(a), 1);
    EXPECT_EQ(vdk_SelectObject(b, mono), stockBitmap);  // free again once a is gone
    vdk_SelectObject(b, stockBitmap);
    vdk_DeleteDC(b);
    EXPECT_EQ(vdk_DeleteObject(mono), 1);
    EXPECT_EQ(vdk_GetObject(mono, sizeof bm, &bm), 0);
    EXPECT_EQ(vdk_CreateBitmap(0, 5, 1, 32, nullptr), 0u);
    EXPECT_EQ(vdk_CreateBitmap(5, 5, 1, 8, nullptr), 0u);
    EXPECT_EQ(vdk_CreateBitmap(1 << 15, 1 << 14, 1, 32, nullptr), 0u);  // over 2^28 pixels
}

TEST(PlatformContext, TheScreenIsATrueColourSurface) {
    const VDK_HDC screen = vdk_GetDC(0);
    EXPECT_EQ(vdk_GetDeviceCaps(screen, VDK_HORZRES), 1024);
    EXPECT_EQ(vdk_GetDeviceCaps(screen, VDK_VERTRES), 768);
    EXPECT_EQ(vdk_GetDeviceCaps(screen, VDK_BITSPIXEL), 32);
    EXPECT_EQ(vdk_GetDeviceCaps(screen, VDK_PLANES), 1);
    EXPECT_EQ(vdk_GetDC(1), 0u);  // no windows here
    const VDK_HBITMAP compatible = vdk_CreateCompatibleBitmap(screen, 2, 2);
    VDK_BITMAP bm{};
    vdk_GetObject(compatible, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(vdk_SetStretchBltMode(screen, 9), 0);
    EXPECT_EQ(vdk_SetStretchBltMode(screen, VDK_HALFTONE), VDK_BLACKONWHITE);
    // A block copy between contexts, clipped to the destination.
    const VDK_HDC memory = vdk_CreateCompatibleDC(screen);
    const VDK_HGDIOBJ old = vdk_SelectObject(memory, compatible);
    vdk_SetPixel(memory, 1, 1, VDK_RGB(1, 2, 3));
    EXPECT_NE(vdk_BitBlt(screen, 1022, 766, 2, 2, memory, 0, 0, VDK_SRCCOPY), 0);
    EXPECT_EQ(vdk_GetPixel(screen, 1023, 767), VDK_RGB(1, 2, 3));
    EXPECT_EQ(vdk_BitBlt(screen, 0, 0, 2, 2, memory, 0, 0, 0x00EE0086), 0);  // only source copy
    vdk_SelectObject(memory, old);
    vdk_DeleteDC(memory);
    vdk_DeleteObject(compatible);
    EXPECT_EQ(vdk_ReleaseDC(0, screen), 1);
    EXPECT_EQ(vdk_ReleaseDC(0, screen), 0);
    EXPECT_EQ(vdk_GetPixel(screen, 0, 0), VDK_CLR_INVALID);
}

// DIB transfers with a source rectangle, a band of rows and top-down DIBs, as outside callers
// use them.
TEST(PlatformContext, DibTransfersHonourRectanglesBandsAndRowOrder) {
    // 4 x 4 pixels of 24 bits; pixel (x, stored row r) = (x, r, 9).
    std::vector<std::uint8_t> block(40 + 4 * 12, 0);
    VDK_BITMAPINFOHEADER h{40, 4, 4, 1, 24, 0, 0, 0, 0, 0, 0};
    std::memcpy(block.data(), &h, 40);
    for (int r = 0; r < 4; ++r)
        for (int x = 0; x < 4; ++x) {
            std::uint8_t* px = block.data() + 40 + r * 12 + x * 3;
            px[0] = 9;
            px[1] = static_cast<std::uint8_t>(r);
            px[2] = static_cast<std::uint8_t>(x);
        }
    const VDK_HDC dc = vdk_CreateCompatibleDC(0);
    const VDK_HBITMAP target = vdk_CreateBitmap(4, 4, 1, 32, nullptr);
    const VDK_HGDIOBJ old = vdk_SelectObject(dc, target);
    const std::uint8_t* bits = block.data() + 40;
    // (xSrc, ySrc) is the lower-left corner: the 2 x 2 rectangle's top row is stored row 2.
    EXPECT_EQ(vdk_SetDIBitsToDevice(dc, 0, 0, 2, 2, 1, 1, 0, 4, bits, block.data(), VDK_DIB_RGB_COLORS), 2);
    EXPECT_EQ(vdk_GetPixel(dc, 0, 0), VDK_RGB(1, 2, 9));
    EXPECT_EQ(vdk_GetPixel(dc, 1, 1), VDK_RGB(2, 1, 9));
    EXPECT_EQ(vdk_GetPixel(dc, 2, 0), VDK_RGB(0, 0, 0));
    // A band holding stored rows 2 and 3 only.
    EXPECT_EQ(vdk_SetDIBitsToDevice(dc, 2, 2, 2, 2, 0, 1, 2, 2, bits + 24, block.data(), VDK_DIB_RGB_COLORS), 1);
    EXPECT_EQ(vdk_GetPixel(dc, 2, 2), VDK_RGB(0, 2, 9));
    EXPECT_EQ(vdk_GetPixel(dc, 2, 3), VDK_RGB(0, 0, 0));
    // The same pixels read back top-down: first row written is the top one.
    VDK_BITMAPINFOHEADER info{40, 4, -4, 1, 24, 0, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> rows(48, 0xEE);
    EXPECT_EQ(vdk_GetDIBits(dc, target, 0, 4, rows.data(), reinterpret_cast<VDK_BITMAPINFO*>(&info), VDK_DIB_RGB_COLORS),
              4);
    EXPECT_EQ(info.biHeight, -4);
    EXPECT_EQ(info.biSizeImage, 48u);
    EXPECT_EQ(std::vector<std::uint8_t>(rows.begin(), rows.begin() + 6), (std::vector<std::uint8_t>{9, 2, 1, 9, 2, 2}));
    EXPECT_EQ(rows[12 * 3 + 6], 0);  // bottom row, x 2: never drawn
    vdk_SelectObject(dc, old);
    vdk_DeleteDC(dc);
    vdk_DeleteObject(target);
}

TEST(PlatformLibrary, ExportsExactlyTheToolkitAndThePrefixedLayer) {
    const test::CommandResult nm = test::Run("nm -D --defined-only " + test::Quote(VDK_LIBRARY_PATH));
    ASSERT_EQ(nm.exitCode, 0) << nm.err;
    std::set<std::string> exported;
    std::istringstream lines(nm.out);
    for (std::string line; std::getline(lines, line);) {
        const std::string name = line.substr(line.find_last_of(' ') + 1);
        exported.insert(name);
    }
    const std::set<std::string> toolkit = {
        "GetDIBWidth", "GetDIBHeight", "GetDIBBitPerPixel", "GetColorsInPalette", "GetDIBBits", "CreateDIBPalette",
        "DrawDIB",     "StretchDIB",   "DrawDDB",           "StretchDDB",         "DibtoDdb2",  "IDIBtoDDB",
        "IDDBtoDIB",   "DIBGetVersion", "DIB1To4",          "DIB4To8",            "DIB8To24",   "DIB1To8",
        "DIB1To24",    "DIB4To24",     "DIB24To1",          "DIB8To1",            "DIB4To1",    "DIB24To4",
        "DIB8To4",     "DIB24To8",     "GrayDIB",           "CopyDIB",            "_DIB24To1",  "_DIB24To4",
        "QuantizeDIB", "ReduceColors", "DKImageCopy", "DKImageCopyBMP", "Better", "_SharpBMP", "VBetterBMP",
        "Enhance", "_EnhanceBMP", "VEnhanceBMP", "dkHueAndSaturation", "_dkHueAndSaturationBMP",
    };
    std::set<std::string> layer;
    for (const std::string& name : exported)
        if (name.rfind("vdk_", 0) == 0)
            layer.insert(name);
    std::set<std::string> expected = toolkit;
    expected.insert(layer.begin(), layer.end());
    EXPECT_EQ(exported, expected);
    for (const char* name : {"vdk_GlobalAlloc", "vdk_GlobalLock", "vdk_GlobalUnlock", "vdk_GlobalFree",
                             "vdk_GlobalSize", "vdk_GlobalReAlloc", "vdk_CreatePalette", "vdk_CreateBitmap",
                             "vdk_CreateCompatibleDC", "vdk_SelectObject", "vdk_DeleteObject", "vdk_GetObject",
                             "vdk_SetMessageHandler", "vdk_IsBadReadPtr", "vdk_StretchDIBits", "vdk_GetDIBits"})
        EXPECT_TRUE(layer.count(name)) << name;
    // Every vdk_ name is declared in the public header.
    std::ifstream header(VDK_HEADER_PATH);
    const std::string text((std::istreambuf_iterator<char>(header)), std::istreambuf_iterator<char>());
    for (const std::string& name : layer)
        EXPECT_TRUE(text.find(" " + name + "(") != std::string::npos || text.find("*" + name + "(") != std::string::npos)
            << name;
}

}  // namespace
}  // namespace vs::dibtest
