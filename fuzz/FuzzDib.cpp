// Arbitrary bytes as a DIB block through the toolkit's information, drawing, DDB and
// conversion functions. Any read past the block shows up under the sanitizers; a handle left
// behind aborts.
#include "vantor/dibkit.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace {

void Quiet(const char*, void*) {}

void Drop(VDK_HDIB dib) {
    if (dib)
        vdk_GlobalFree(dib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vdk_SetMessageHandler(Quiet, nullptr);
    const VDK_HDIB dib = vdk_GlobalAlloc(VDK_GHND, size);
    if (!dib)
        return 0;
    if (size > 0) {
        std::memcpy(vdk_GlobalLock(dib), data, size);
        vdk_GlobalUnlock(dib);
    }

    (void)GetDIBWidth(dib);
    (void)GetDIBHeight(dib);
    (void)GetDIBBitPerPixel(dib);
    void* header = vdk_GlobalLock(dib);
    (void)GetColorsInPalette(header);
    (void)GetDIBBits(header);
    vdk_GlobalUnlock(dib);

    if (const VDK_HPALETTE palette = CreateDIBPalette(dib))
        vdk_DeleteObject(palette);

    const VDK_HDC canvas = vdk_CreateCompatibleDC(0);
    const VDK_HBITMAP surface = vdk_CreateBitmap(16, 16, 1, 32, nullptr);
    const VDK_HGDIOBJ old = vdk_SelectObject(canvas, surface);
    DrawDIB(canvas, dib, 0, -3, 2);
    StretchDIB(canvas, dib, 0, 1, 1, 7, 5);
    for (const VDK_HBITMAP bitmap : {IDIBtoDDB(dib, 0), DibtoDdb2(dib, 0)}) {
        if (!bitmap)
            continue;
        DrawDDB(canvas, bitmap, 0, 0, 0);
        Drop(IDDBtoDIB(bitmap, 0, 0));
        Drop(IDDBtoDIB(bitmap, 0, 4));
        vdk_DeleteObject(bitmap);
    }
    vdk_SelectObject(canvas, old);
    vdk_DeleteObject(surface);
    vdk_DeleteDC(canvas);

    for (auto convert : {DIB1To4, DIB4To8, DIB8To24, DIB1To8, DIB1To24, DIB4To24, DIB24To1, DIB8To1, DIB4To1, DIB24To4,
                         DIB8To4, GrayDIB, CopyDIB})
        Drop(convert(dib));
    Drop(DIB24To8(dib, 1));
    Drop(DIB24To8(dib, 0));
    for (const int32_t bits : {8, 4, 0})
        Drop(QuantizeDIB(dib, bits, bits == 4, 0, nullptr, 0, nullptr));
    const VDK_PALETTEENTRY supplied[3] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {9, 200, 40, 0}};
    Drop(QuantizeDIB(dib, 8, 1, 3, supplied, 0, nullptr));
    Drop(ReduceColors(dib, 3, 0));
    Drop(ReduceColors(dib, 2, 3));
    const VDK_RECT inclusive{1, 0, 6, 4};
    for (const std::uint32_t flags : {0u, 0x01u, 0x02u, 0x10u, 0x20u}) {
        Drop(DKImageCopy(dib, 0, 0, nullptr, flags));
        Drop(DKImageCopy(dib, 3, 2, nullptr, flags));
        Drop(DKImageCopy(dib, 9, 1, &inclusive, flags));
    }
    const VDK_RECT exclusive{-2, 1, 5, 40};
    Drop(Better(dib, 4, &exclusive, 0, nullptr));
    Drop(Enhance(dib, 40, -30, 7, 10, 14, &exclusive, 0, nullptr));
    // These write into their input: last.
    (void)dkHueAndSaturation(dib, 0, 1, 1, 0, 0, 0, 30, -20, -10, &exclusive, 0, nullptr);
    Drop(_DIB24To1(dib));
    Drop(_DIB24To4(dib));

    vdk_GlobalFree(dib);
    for (const std::uint32_t kind : {VDK_COUNT_BLOCKS, VDK_COUNT_BITMAPS, VDK_COUNT_PALETTES, VDK_COUNT_DCS})
        if (vdk_CountObjects(kind) != 0)
            std::abort();
    return 0;
}
