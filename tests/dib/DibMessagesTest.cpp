// Every failure the toolkit reports, with its exact text, and the rule for blocks that are
// shorter than their header says.

#include "dib/DibTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace vs::dibtest {
namespace {

struct Case {
    std::string expected;
    std::function<VDK_HANDLE()> call;
};

// Runs each call and checks that it fails with exactly its message, frees whatever it made
// and leaves its inputs unlocked.
void ExpectFailures(const std::vector<Case>& cases, const std::vector<VDK_HGLOBAL>& inputs = {}) {
    MessageLog log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        const Census before = Census::Now();
        EXPECT_EQ(c.call(), 0u);
        vdk_FailAllocationsAfter(-1);
        EXPECT_EQ(log.Take(), std::vector<std::string>{c.expected});
        EXPECT_EQ(Census::Now(), before);
        for (const VDK_HGLOBAL input : inputs)
            EXPECT_EQ(LockCount(input), 0u);
    }
}

Dib WithHeader(int bits, const std::function<void(VDK_BITMAPINFOHEADER&)>& change, std::vector<Rgb> table = {}) {
    Dib dib(MakeDib(3, 2, bits, std::move(table)));
    VDK_BITMAPINFOHEADER h = Header(dib.get());
    change(h);
    SetHeader(dib.get(), h);
    return dib;
}

const std::vector<Rgb> kTwo = {{0, 0, 0}, {255, 255, 255}};

TEST(DibMessages, NullHandlesAreReportedByEachFunction) {
    ExpectFailures({
        {"GetDIBWidth: No dib present!", [] { return static_cast<VDK_HANDLE>(GetDIBWidth(0)); }},
        {"GetDIBHeight: No dib present!", [] { return static_cast<VDK_HANDLE>(GetDIBHeight(0)); }},
        {"GetDIBBitPerPixel: No dib present!", [] { return static_cast<VDK_HANDLE>(GetDIBBitPerPixel(0)); }},
        {"CreateDIBPalette: No dib present!", [] { return CreateDIBPalette(0); }},
        {"DrawDIB: No dib present!", [] { return static_cast<VDK_HANDLE>(DrawDIB(0, 0, 0, 0, 0)); }},
        {"DrawDIB: No dib present!", [] { return static_cast<VDK_HANDLE>(StretchDIB(0, 0, 0, 0, 0, 1, 1)); }},
        {"DrawDDB: No ddb present!", [] { return static_cast<VDK_HANDLE>(DrawDDB(0, 0, 0, 0, 0)); }},
        {"StretchDDB: No ddb present!", [] { return static_cast<VDK_HANDLE>(StretchDDB(0, 0, 0, 0, 0, 1, 1)); }},
        {"DIBtoDDB2: No dib present!", [] { return DibtoDdb2(0, 0); }},
        {"DIBtoDDB: No dib present!", [] { return IDIBtoDDB(0, 0); }},
        {"DDBtoDIB: No ddb present!", [] { return IDDBtoDIB(0, 0, 0); }},
        {"DIB1To4: No dib present!", [] { return DIB1To4(0); }},
        {"DIB4To8: No dib present!", [] { return DIB4To8(0); }},
        {"DIB8To24: No dib present!", [] { return DIB8To24(0); }},
        {"DIB1To8: No dib present!", [] { return DIB1To8(0); }},
        {"DIB1To24: No dib present!", [] { return DIB1To24(0); }},
        {"DIB4To24: No dib present!", [] { return DIB4To24(0); }},
        {"DIB24To1: No dib present!", [] { return DIB24To1(0); }},
        {"DIB8To1: No dib present!", [] { return DIB8To1(0); }},
        {"DIB4To1: No dib present!", [] { return DIB4To1(0); }},
        {"DIB24To4: No dib present!", [] { return DIB24To4(0); }},
        {"DIB8To4: No dib present!", [] { return DIB8To4(0); }},
        {"DIB24to8: No dib present!", [] { return DIB24To8(0, 1); }},
        {"_DIB24To1: No dib present!", [] { return _DIB24To1(0); }},
        {"_DIB24To4: No dib present!", [] { return _DIB24To4(0); }},
        {"GrayDIB: No dib present!", [] { return GrayDIB(0); }},
        {"CopyDIB: No dib present!", [] { return CopyDIB(0); }},
    });
}

TEST(DibMessages, HandlesThatAreNoLongerLiveCountAsNoDib) {
    const VDK_HDIB gone = MakeDib(2, 2, 24);
    vdk_GlobalFree(gone);
    VDK_HBITMAP goneBitmap = vdk_CreateBitmap(2, 2, 1, 32, nullptr);
    vdk_DeleteObject(goneBitmap);
    ExpectFailures({
        {"GetDIBWidth: No dib present!", [&] { return static_cast<VDK_HANDLE>(GetDIBWidth(gone)); }},
        {"DIB24To1: No dib present!", [&] { return DIB24To1(gone); }},
        {"DIB1To24: No dib present!", [&] { return DIB1To24(gone); }},
        {"CopyDIB: No dib present!", [&] { return CopyDIB(gone); }},
        {"GrayDIB: No dib present!", [&] { return GrayDIB(gone); }},
        {"DDBtoDIB: No ddb present!", [&] { return IDDBtoDIB(goneBitmap, 0, 0); }},
        {"DrawDDB: No ddb present!", [&] { return static_cast<VDK_HANDLE>(DrawDDB(0, goneBitmap, 0, 0, 0)); }},
        {"DIBtoDDB: No dib present!", [] { return IDIBtoDDB(0x7777777, 0); }},
    });
}

TEST(DibMessages, HeaderSizeDepthAndCompressionChecks) {
    const auto size12 = [](VDK_BITMAPINFOHEADER& h) { h.biSize = 12; };
    const auto rle = [](VDK_BITMAPINFOHEADER& h) { h.biCompression = 1; };
    Dib one12 = WithHeader(1, size12, kTwo);
    Dib four12 = WithHeader(4, size12);
    Dib eight12 = WithHeader(8, size12);
    Dib full12 = WithHeader(24, size12);
    Dib four = WithHeader(4, [](auto&) {});
    Dib eight = WithHeader(8, [](auto&) {});
    Dib full = WithHeader(24, [](auto&) {});
    Dib fourRle = WithHeader(4, rle);
    Dib eightRle = WithHeader(8, rle);
    Dib fullRle = WithHeader(24, rle);
    ExpectFailures(
        {
            {"CreateDIBPalette: Invallid BITMAPINFOHEADER size!", [&] { return CreateDIBPalette(eight12.get()); }},
            {"DIB1To4: Invallid BITMAPINFOHEADER size!", [&] { return DIB1To4(one12.get()); }},
            {"DIB1To4: No 1 bit dib present!", [&] { return DIB1To4(four.get()); }},
            {"DIB4To8: No valid BITMAPINFOHEADER size!", [&] { return DIB4To8(four12.get()); }},
            {"DIB4To8: No 4 dib present!", [&] { return DIB4To8(eight.get()); }},
            {"DIB4to8: RLE-DIB not supported!", [&] { return DIB4To8(fourRle.get()); }},
            {"DIB8To24: Invallid BITMAPINFOHEADER size!", [&] { return DIB8To24(eight12.get()); }},
            {"DIB8To24: No 8 dib present!", [&] { return DIB8To24(full.get()); }},
            {"DIB8To24: No RLE-DIB supported!", [&] { return DIB8To24(eightRle.get()); }},
            {"_DIB24To1: Invallid BITMAPINFOHEADER size!", [&] { return _DIB24To1(full12.get()); }},
            {"_DIB24To1: No 24 dib present!", [&] { return _DIB24To1(eight.get()); }},
            {"_DIB24To4: Invallid BITMAPINFOHEADER size!", [&] { return _DIB24To4(full12.get()); }},
            {"_DIB24To4: No 24 dib present!", [&] { return _DIB24To4(four.get()); }},
            {"DIB24to8: No 24 dib present!", [&] { return DIB24To8(eight.get(), 0); }},
            {"GrayDIB: Invallid BITMAPINFOHEADER size!", [&] { return GrayDIB(full12.get()); }},
            {"GrayDIB: Invallid BITMAPINFOHEADER size!", [&] { return GrayDIB(eight12.get()); }},
            {"GrayDIB: Keine RLE-Bitmaps are not supported!", [&] { return GrayDIB(fullRle.get()); }},
            {"GrayDIB: RLE-Bitmaps are not supported!", [&] { return GrayDIB(eightRle.get()); }},
            // Chains report through the step that failed.
            {"DIB8To24: No 8 dib present!", [&] { return DIB8To1(four.get()); }},
            {"_DIB24To4: No 24 dib present!", [&] { return DIB24To4(eight.get()); }},
            {"DIB4To8: No 4 dib present!", [&] { return DIB4To24(eight.get()); }},
            {"DIB1To4: No 1 bit dib present!", [&] { return DIB1To24(full.get()); }},
        },
        {one12.get(), four12.get(), eight12.get(), full12.get(), four.get(), eight.get(), full.get(), fourRle.get(),
         eightRle.get(), fullRle.get()});
}

TEST(DibMessages, OutOfMemoryAtEachAllocation) {
    Dib one(MakeDib(9, 2, 1, kTwo));
    Dib four(MakeDib(9, 2, 4));
    Dib eight(MakeDib(9, 2, 8));
    Dib full(MakeDib(9, 2, 24));
    const VDK_HBITMAP bitmap = vdk_CreateBitmap(4, 4, 1, 32, nullptr);
    const VDK_HDC screen = vdk_GetDC(0);
    const auto failAfter = [](int n) { vdk_FailAllocationsAfter(n); };
    ExpectFailures(
        {
            {"DIB1To4: out of memory!", [&] { failAfter(0); return DIB1To4(one.get()); }},
            {"DIB4To8: out of memory!", [&] { failAfter(0); return DIB4To8(four.get()); }},
            {"DIB8To24: out of memory!", [&] { failAfter(0); return DIB8To24(eight.get()); }},
            {"_DIB24To1: out of memory!", [&] { failAfter(0); return _DIB24To1(full.get()); }},
            {"_DIB24to4: out of memory!", [&] { failAfter(0); return _DIB24To4(full.get()); }},
            {"_DIB24To4: out of memory!", [&] { failAfter(1); return _DIB24To4(full.get()); }},
            {"DIB24to8: out of memory!", [&] { failAfter(0); return GrayDIB(full.get()); }},
            {"CopyDIB: out of memory!", [&] { failAfter(0); return CopyDIB(full.get()); }},
            {"CopyDIB: out of memory!", [&] { failAfter(0); return GrayDIB(eight.get()); }},
            {"CreateDIBPalette: out of memory!", [&] { failAfter(0); return CreateDIBPalette(eight.get()); }},
            {"CreateDIBPalette: out of memory!", [&] { failAfter(0); return CreateDIBPalette(full.get()); }},
            {"DDBtoDIB: out of memory!", [&] { failAfter(0); return IDDBtoDIB(bitmap, 0, 8); }},
            {"DDBtoDIB: out of memory!", [&] { failAfter(1); return IDDBtoDIB(bitmap, 0, 8); }},
            {"DrawDDB: out of resources!", [&] { failAfter(0); return static_cast<VDK_HANDLE>(DrawDDB(screen, bitmap, 0, 0, 0)); }},
            {"StretchDDB: out of resources!",
             [&] { failAfter(0); return static_cast<VDK_HANDLE>(StretchDDB(screen, bitmap, 0, 0, 0, 2, 2)); }},
            // A chain stops at the step that ran out, and frees the steps before it.
            {"DIB4To8: out of memory!", [&] { failAfter(1); return DIB1To8(one.get()); }},
            {"DIB8To24: out of memory!", [&] { failAfter(2); return DIB1To24(one.get()); }},
            {"_DIB24To1: out of memory!", [&] { failAfter(1); return DIB24To1(full.get()); }},
            {"_DIB24To4: out of memory!", [&] { failAfter(2); return DIB8To4(eight.get()); }},
        },
        {one.get(), four.get(), eight.get(), full.get()});
    vdk_ReleaseDC(0, screen);
    vdk_DeleteObject(bitmap);
}

TEST(DibMessages, NoRowsTransferredFromABitmap) {
    const VDK_HBITMAP bitmap = vdk_CreateBitmap(4, 4, 1, 32, nullptr);
    // 16 bits per pixel is a depth the bitmap transfer does not produce.
    ExpectFailures({{"DDBtoDIB: Error in GetDIBits data tranfer!", [&] { return IDDBtoDIB(bitmap, 0, 16); }}});
    vdk_DeleteObject(bitmap);
}

TEST(DibMessages, ColourReductionChecksInOrder) {
    Dib full(MakeDib(2, 2, 24));
    Dib eight(MakeDib(2, 2, 8));
    Dib rle(MakeDib(2, 2, 24));
    VDK_BITMAPINFOHEADER h = Header(rle.get());
    h.biCompression = 1;
    SetHeader(rle.get(), h);
    Dib small(MakeDib(2, 2, 24));
    h = Header(small.get());
    h.biSize = 12;
    SetHeader(small.get(), h);
    const auto failAfter = [](int n) { vdk_FailAllocationsAfter(n); };
    ExpectFailures({
        {"ReduceColors: No dib present!", [] { return ReduceColors(0, 8, 0); }},
        {"ReduceColors: uBPP > 8!", [&] { return ReduceColors(full.get(), 9, 0); }},
        // The depth check comes after uBPP and the header size.
        {"ReduceColors: uBPP > 8!", [&] { return ReduceColors(eight.get(), 9, 0); }},
        {"ReduceColors: Invallid BITMAPINFOHEADER size!", [&] { return ReduceColors(small.get(), 8, 0); }},
        {"ReduceColors: RLE-Bitmaps are not supported!", [&] { return ReduceColors(rle.get(), 8, 0); }},
        {"ReduceColors: Bitmap is alreay reduced!", [&] { return ReduceColors(eight.get(), 8, 0); }},
        {"ReduceColors: Bitmap is alreay reduced!", [&] { return ReduceColors(eight.get(), 8, 3); }},
        {"ReduceColors: out of memory!", [&] { failAfter(0); return ReduceColors(full.get(), 8, 0); }},
        {"ReduceColors: out of memory!", [&] { failAfter(1); return ReduceColors(full.get(), 8, 2); }},
        // With diffusion the private copy comes first; the histogram and output after it.
        {"CopyDIB: out of memory!", [&] { failAfter(0); return ReduceColors(full.get(), 8, 1); }},
        {"ReduceColors: out of memory!", [&] { failAfter(1); return ReduceColors(full.get(), 8, 1); }},
        {"ReduceColors: out of memory!", [&] { failAfter(2); return ReduceColors(full.get(), 8, 3); }},
        {"DIB24to8: No 24 dib present!", [&] { return DIB24To8(eight.get(), 0); }},
    }, {full.get(), eight.get()});
}

// A block shorter than its header, colour table and rows claim is refused before any pixel
// is read: with the function's header message where it has one, silently otherwise.
TEST(DibBlockRule, ShortBlocksAreRefused) {
    std::vector<Dib> keep;
    const auto truncated = [&keep](int bits, std::vector<Rgb> table = {}) {
        Dib dib(MakeDib(5, 3, bits, std::move(table)));
        EXPECT_TRUE(vdk_GlobalReAlloc(dib.get(), vdk_GlobalSize(dib.get()) - 1, VDK_GHND));
        keep.push_back(std::move(dib));
        return keep.back().get();
    };
    const VDK_HDIB one = truncated(1, kTwo);
    const VDK_HDIB four = truncated(4);
    const VDK_HDIB eight = truncated(8);
    const VDK_HDIB full = truncated(24);
    const VDK_HDIB hugeTable = keep.emplace_back(WithHeader(8, [](auto& h) { h.biClrUsed = 0xFFFFFFFF; })).get();
    const VDK_HDIB upsideDown = keep.emplace_back(WithHeader(24, [](auto& h) { h.biHeight = -2; })).get();
    const VDK_HDIB wide = keep.emplace_back(WithHeader(24, [](auto& h) { h.biWidth = 0x7FFFFFFF; })).get();
    const VDK_HGLOBAL tiny = keep.emplace_back(vdk_GlobalAlloc(VDK_GHND, 10)).get();
    // A header size the block does not follow, and a depth without rows of any size.
    const VDK_HDIB oddSize = keep.emplace_back(WithHeader(8, [](auto& h) { h.biSize = 0x08000028; })).get();
    const VDK_HDIB noDepth = keep.emplace_back(WithHeader(24, [](auto& h) {
                                     h.biBitCount = 0;
                                     h.biHeight = 0x03000800;
                                 })).get();
    ExpectFailures({
        {"DIB1To4: Invallid BITMAPINFOHEADER size!", [&] { return DIB1To4(one); }},
        {"DIB1To4: Invallid BITMAPINFOHEADER size!", [&] { return DIB1To4(tiny); }},
        {"DIB4To8: No valid BITMAPINFOHEADER size!", [&] { return DIB4To8(four); }},
        {"DIB8To24: Invallid BITMAPINFOHEADER size!", [&] { return DIB8To24(eight); }},
        {"DIB8To24: Invallid BITMAPINFOHEADER size!", [&] { return DIB8To24(hugeTable); }},
        {"_DIB24To1: Invallid BITMAPINFOHEADER size!", [&] { return DIB24To1(full); }},
        {"_DIB24To1: Invallid BITMAPINFOHEADER size!", [&] { return DIB24To1(upsideDown); }},
        {"_DIB24To4: Invallid BITMAPINFOHEADER size!", [&] { return DIB24To4(full); }},
        {"_DIB24To4: Invallid BITMAPINFOHEADER size!", [&] { return DIB24To4(wide); }},
        {"GrayDIB: Invallid BITMAPINFOHEADER size!", [&] { return GrayDIB(full); }},
        {"GrayDIB: Invallid BITMAPINFOHEADER size!", [&] { return GrayDIB(eight); }},
        {"GrayDIB: Invallid BITMAPINFOHEADER size!", [&] { return GrayDIB(tiny); }},
        {"CreateDIBPalette: Invallid BITMAPINFOHEADER size!", [&] { return CreateDIBPalette(four); }},
        {"CreateDIBPalette: Invallid BITMAPINFOHEADER size!", [&] { return CreateDIBPalette(tiny); }},
        {"DIB24to8: No 24 dib present!", [&] { return DIB24To8(tiny, 1); }},
    });
    MessageLog log;
    const VDK_HDC screen = vdk_GetDC(0);
    const Census before = Census::Now();
    for (const VDK_HDIB bad : {one, eight, full, hugeTable, upsideDown, wide, tiny, oddSize, noDepth}) {
        EXPECT_EQ(DrawDIB(screen, bad, 0, 0, 0), 0);
        EXPECT_EQ(StretchDIB(screen, bad, 0, 0, 0, 4, 4), 0);
        EXPECT_EQ(IDIBtoDDB(bad, 0), 0u);
        EXPECT_EQ(DibtoDdb2(bad, 0), 0u);
    }
    EXPECT_EQ(GetDIBWidth(tiny), 0);
    EXPECT_EQ(GetDIBHeight(tiny), 0);
    EXPECT_EQ(GetDIBBitPerPixel(tiny), 0);
    EXPECT_EQ(Census::Now(), before);
    EXPECT_TRUE(log.texts.empty());
    vdk_ReleaseDC(0, screen);
}

}  // namespace
}  // namespace vs::dibtest
