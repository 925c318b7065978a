// DIB information, palette, drawing and DIB/DDB conversion.

#include "dib/DibBlock.h"
#include "dib/Platform.h"

#include <cstring>

namespace vdk {
namespace {

// Selects a palette into a context as a background palette and realises it; puts the old
// one back when it goes. A null palette selects nothing.
class PaletteSelection {
public:
    PaletteSelection(VDK_HDC dc, VDK_HPALETTE palette) : dc_(dc) {
        if (palette) {
            old_ = vdk_SelectPalette(dc, palette, 1);
            vdk_RealizePalette(dc);
        }
    }
    ~PaletteSelection() {
        if (old_)
            vdk_SelectPalette(dc_, old_, 1);
    }
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;

private:
    VDK_HDC dc_;
    VDK_HPALETTE old_ = 0;
};

// The screen's context for the length of a scope.
class ScreenDc {
public:
    ScreenDc() : dc_(vdk_GetDC(0)) {}
    ~ScreenDc() {
        if (dc_)
            vdk_ReleaseDC(0, dc_);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    VDK_HDC get() const { return dc_; }

private:
    VDK_HDC dc_;
};

// A palette handle deleted when the scope ends.
class OwnedPalette {
public:
    explicit OwnedPalette(VDK_HPALETTE palette) : palette_(palette) {}
    ~OwnedPalette() {
        if (palette_)
            vdk_DeleteObject(palette_);
    }
    OwnedPalette(const OwnedPalette&) = delete;
    OwnedPalette& operator=(const OwnedPalette&) = delete;
    VDK_HPALETTE get() const { return palette_; }

private:
    VDK_HPALETTE palette_;
};

template <typename T>
T Fail(const char* text) {
    ShowMessage(text);
    return 0;
}

// A logical palette of `count` colour-table entries of `entryBytes` bytes (blue, green, red),
// built in a temporary block as the toolkit always has. 0 when the block cannot be had.
VDK_HPALETTE PaletteFromTable(const std::uint8_t* table, std::uint32_t count, std::size_t entryBytes,
                              bool& outOfMemory) {
    outOfMemory = false;
    OwnedBlock block(NewBlock(4 + std::size_t{count} * 4));
    if (!block) {
        outOfMemory = true;
        return 0;
    }
    LockedBlock locked(block.get());
    auto* palette = reinterpret_cast<VDK_LOGPALETTE*>(locked.data());
    palette->palVersion = 0x300;
    palette->palNumEntries = static_cast<std::uint16_t>(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* e = table + i * entryBytes;
        palette->palPalEntry[i] = {e[2], e[1], e[0], 0};
    }
    return vdk_CreatePalette(palette);
}

// Where the bits of a DIB with a 12-byte core header or a 40-byte header start, and whether
// its rows fit in the block.
struct AnyHeaderLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t colors = 0;
    std::size_t entryBytes = 4;
    std::uint8_t* table = nullptr;
    std::uint8_t* bits = nullptr;
};

bool MeasureAnyHeader(const LockedBlock& block, AnyHeaderLayout& out) {
    if (block.size() < 12)
        return false;
    const std::uint8_t* p = block.data();
    std::uint32_t size;
    std::memcpy(&size, p, 4);
    unsigned bitCount = 0;
    std::uint64_t headerBytes = 0;
    if (size == 12) {
        std::uint16_t v[4];
        std::memcpy(v, p + 4, 8);
        out.width = v[0];
        out.height = v[1];
        bitCount = v[3];
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
            return false;
        out.colors = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
        out.entryBytes = 3;
        headerBytes = 12;
    } else if (size == kHeaderSize) {
        DibLayout layout;
        if (!MeasureDib(block, layout))
            return false;
        out.width = layout.header.biWidth;
        out.height = layout.header.biHeight;
        out.colors = layout.colors;
        out.table = layout.table;
        out.bits = layout.bits;
        return true;
    } else {
        return false;
    }
    if (out.width <= 0 || out.height <= 0 || static_cast<std::uint64_t>(out.width * out.height) > kMaxDibPixels)
        return false;
    const std::uint64_t tableEnd = headerBytes + std::uint64_t{out.colors} * out.entryBytes;
    const std::uint64_t image = RowStride(out.width, bitCount) * static_cast<std::uint64_t>(out.height);
    if (tableEnd > block.size() || image > block.size() - tableEnd)
        return false;
    out.table = block.data() + headerBytes;
    out.bits = block.data() + tableEnd;
    return true;
}

}  // namespace
}  // namespace vdk

using vdk::DibLayout;
using vdk::Fail;
using vdk::LockedBlock;

extern "C" {

int32_t GetDIBWidth(VDK_HDIB dib) {
    const LockedBlock block(dib);
    VDK_BITMAPINFOHEADER h;
    if (!block)
        return Fail<int32_t>("GetDIBWidth: No dib present!");
    return block.ReadHeader(h) ? h.biWidth : 0;
}

int32_t GetDIBHeight(VDK_HDIB dib) {
    const LockedBlock block(dib);
    VDK_BITMAPINFOHEADER h;
    if (!block)
        return Fail<int32_t>("GetDIBHeight: No dib present!");
    return block.ReadHeader(h) ? h.biHeight : 0;
}

int32_t GetDIBBitPerPixel(VDK_HDIB dib) {
    const LockedBlock block(dib);
    VDK_BITMAPINFOHEADER h;
    if (!block)
        return Fail<int32_t>("GetDIBBitPerPixel: No dib present!");
    return block.ReadHeader(h) ? h.biBitCount : 0;
}

uint32_t GetColorsInPalette(const void* header) {
    if (vdk_IsBadReadPtr(header, vdk::kHeaderSize))
        return 0;
    VDK_BITMAPINFOHEADER h;
    std::memcpy(&h, header, sizeof h);
    return vdk::ColorCount(h);
}

void* GetDIBBits(void* header) {
    if (vdk_IsBadReadPtr(header, vdk::kHeaderSize))
        return nullptr;
    return static_cast<std::uint8_t*>(header) + vdk::kHeaderSize + std::size_t{GetColorsInPalette(header)} * 4;
}

VDK_HPALETTE CreateDIBPalette(VDK_HDIB dib) {
    const LockedBlock block(dib);
    if (!block)
        return Fail<VDK_HPALETTE>("CreateDIBPalette: No dib present!");
    DibLayout in;
    if (!block.ReadHeader(in.header) || in.header.biSize != vdk::kHeaderSize || !vdk::MeasureDib(block, in) ||
        in.colors > 0xFFFF)
        return Fail<VDK_HPALETTE>("CreateDIBPalette: Invallid BITMAPINFOHEADER size!");
    bool outOfMemory = false;
    VDK_HPALETTE palette = 0;
    if (in.colors > 0) {
        palette = vdk::PaletteFromTable(in.table, in.colors, 4, outOfMemory);
    } else if (in.header.biBitCount == 24) {
        // The fixed 8 x 8 x 4 colour cube, red varying fastest.
        std::uint8_t table[256 * 4];
        for (unsigned i = 0; i < 256; ++i) {
            table[i * 4 + 0] = static_cast<std::uint8_t>((i / 64) * 64);
            table[i * 4 + 1] = static_cast<std::uint8_t>(((i / 8) % 8) * 32);
            table[i * 4 + 2] = static_cast<std::uint8_t>((i % 8) * 32);
            table[i * 4 + 3] = 0;
        }
        palette = vdk::PaletteFromTable(table, 256, 4, outOfMemory);
    }
    if (outOfMemory)
        return Fail<VDK_HPALETTE>("CreateDIBPalette: out of memory!");
    return palette;
}

int32_t DrawDIB(VDK_HDC dc, VDK_HDIB dib, VDK_HPALETTE palette, int32_t x, int32_t y) {
    const LockedBlock block(dib);
    if (!block)
        return Fail<int32_t>("DrawDIB: No dib present!");
    DibLayout in;
    if (!vdk::MeasureDib(block, in))
        return 0;
    const vdk::PaletteSelection selection(dc, palette);
    const auto height = static_cast<uint32_t>(in.header.biHeight);
    vdk_SetDIBitsToDevice(dc, x, y, static_cast<uint32_t>(in.header.biWidth), height, 0, 0, 0, height, in.bits,
                          block.data(), VDK_DIB_RGB_COLORS);
    return 1;
}

int32_t StretchDIB(VDK_HDC dc, VDK_HDIB dib, VDK_HPALETTE palette, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
    const LockedBlock block(dib);
    if (!block)
        return Fail<int32_t>("DrawDIB: No dib present!");
    DibLayout in;
    if (!vdk::MeasureDib(block, in))
        return 0;
    const vdk::PaletteSelection selection(dc, palette);
    vdk_SetStretchBltMode(dc, VDK_COLORONCOLOR);
    vdk_StretchDIBits(dc, x, y, width, height, 0, 0, in.header.biWidth, in.header.biHeight, in.bits, block.data(),
                      VDK_DIB_RGB_COLORS, VDK_SRCCOPY);
    return 1;
}

}  // extern "C"

namespace vdk {
namespace {

int32_t CopyDdb(VDK_HDC dc, VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t x, int32_t y, const int32_t* size,
                const char* noDdb, const char* noResources) {
    VDK_BITMAP bm;
    if (!bitmap || !vdk_GetObject(bitmap, sizeof bm, &bm))
        return Fail<int32_t>(noDdb);
    const VDK_HDC memory = vdk_CreateCompatibleDC(dc);
    if (!memory)
        return Fail<int32_t>(noResources);
    int32_t result = 0;
    {
        const PaletteSelection destSelection(dc, palette);
        const PaletteSelection memorySelection(memory, palette);
        const VDK_HGDIOBJ oldBitmap = vdk_SelectObject(memory, bitmap);
        if (oldBitmap) {  // fails when the bitmap is selected in another context
            if (size) {
                vdk_SetStretchBltMode(dc, VDK_COLORONCOLOR);
                vdk_StretchBlt(dc, x, y, size[0], size[1], memory, 0, 0, bm.bmWidth, bm.bmHeight, VDK_SRCCOPY);
            } else {
                vdk_BitBlt(dc, x, y, bm.bmWidth, bm.bmHeight, memory, 0, 0, VDK_SRCCOPY);
            }
            vdk_SelectObject(memory, oldBitmap);
            result = 1;
        }
    }
    vdk_DeleteDC(memory);
    return result;
}

}  // namespace
}  // namespace vdk

extern "C" {

int32_t DrawDDB(VDK_HDC dc, VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t x, int32_t y) {
    return vdk::CopyDdb(dc, bitmap, palette, x, y, nullptr, "DrawDDB: No ddb present!", "DrawDDB: out of resources!");
}

int32_t StretchDDB(VDK_HDC dc, VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t x, int32_t y, int32_t width,
                   int32_t height) {
    const int32_t size[2] = {width, height};
    return vdk::CopyDdb(dc, bitmap, palette, x, y, size, "StretchDDB: No ddb present!",
                        "StretchDDB: out of resources!");
}

VDK_HBITMAP IDIBtoDDB(VDK_HDIB dib, VDK_HPALETTE palette) {
    const LockedBlock block(dib);
    if (!block)
        return Fail<VDK_HBITMAP>("DIBtoDDB: No dib present!");
    DibLayout in;
    if (!vdk::MeasureDib(block, in))
        return 0;
    const vdk::ScreenDc screen;
    const vdk::PaletteSelection selection(screen.get(), palette);
    return vdk_CreateDIBitmap(screen.get(), block.data(), VDK_CBM_INIT, in.bits, block.data(), VDK_DIB_RGB_COLORS);
}

VDK_HBITMAP DibtoDdb2(VDK_HDIB dib, VDK_HPALETTE) {
    const LockedBlock block(dib);
    if (!block)
        return Fail<VDK_HBITMAP>("DIBtoDDB2: No dib present!");
    vdk::AnyHeaderLayout in;
    if (!vdk::MeasureAnyHeader(block, in))
        return 0;
    bool outOfMemory = false;
    const vdk::OwnedPalette palette(in.colors > 0 && in.colors <= 0xFFFF
                                        ? vdk::PaletteFromTable(in.table, in.colors, in.entryBytes, outOfMemory)
                                        : 0);
    // No window is ever active here: the active window's context is the screen's.
    const vdk::ScreenDc screen;
    if (in.colors == 2) {
        // Every two-colour DIB becomes a monochrome bitmap, each colour taking the nearer of
        // black and white.
        const VDK_HDC memory = vdk_CreateCompatibleDC(screen.get());
        if (!memory)
            return 0;
        const auto w = static_cast<int32_t>(in.width);
        const auto h = static_cast<int32_t>(in.height);
        VDK_HBITMAP bitmap = vdk_CreateBitmap(w, h, 1, 1, nullptr);
        if (bitmap) {
            const VDK_HGDIOBJ old = vdk_SelectObject(memory, bitmap);
            vdk_StretchDIBits(memory, 0, 0, w, h, 0, 0, w, h, in.bits, block.data(), VDK_DIB_RGB_COLORS, VDK_SRCCOPY);
            vdk_SelectObject(memory, old);
        }
        vdk_DeleteDC(memory);
        return bitmap;
    }
    const vdk::PaletteSelection selection(screen.get(), palette.get());
    return vdk_CreateDIBitmap(screen.get(), block.data(), VDK_CBM_INIT, in.bits, block.data(), VDK_DIB_RGB_COLORS);
}

VDK_HDIB IDDBtoDIB(VDK_HBITMAP bitmap, VDK_HPALETTE palette, int32_t bits) {
    VDK_BITMAP bm;
    if (!bitmap || !vdk_GetObject(bitmap, sizeof bm, &bm))
        return Fail<VDK_HDIB>("DDBtoDIB: No ddb present!");
    if (!palette)
        palette = vdk_GetStockObject(VDK_DEFAULT_PALETTE);
    VDK_BITMAPINFOHEADER h{};
    h.biSize = vdk::kHeaderSize;
    h.biWidth = bm.bmWidth;
    h.biHeight = bm.bmHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<uint16_t>(bits == 0 ? bm.bmBitsPixel : bits);
    h.biCompression = VDK_BI_RGB;
    h.biSizeImage = 1;
    h.biXPelsPerMeter = vdk::kToolkitPelsPerMeter;
    h.biYPelsPerMeter = vdk::kToolkitPelsPerMeter;
    h.biClrUsed = vdk::ColorCount(h);
    h.biClrImportant = 0;

    vdk::OwnedBlock dib(vdk::NewBlock(vdk::kHeaderSize + std::size_t{h.biClrUsed} * 4));
    if (!dib)
        return Fail<VDK_HDIB>("DDBtoDIB: out of memory!");
    const vdk::ScreenDc screen;
    const vdk::PaletteSelection selection(screen.get(), palette);
    {
        const LockedBlock block(dib.get());
        std::memcpy(block.data(), &h, sizeof h);
        auto* info = reinterpret_cast<VDK_BITMAPINFO*>(block.data());
        vdk_GetDIBits(screen.get(), bitmap, 0, static_cast<uint32_t>(bm.bmHeight), nullptr, info, VDK_DIB_RGB_COLORS);
        std::memcpy(&h, block.data(), sizeof h);
    }
    if (h.biSizeImage == 0)
        h.biSizeImage = static_cast<uint32_t>(vdk::RowStride(h.biWidth, h.biBitCount) * static_cast<uint64_t>(h.biHeight));
    const uint32_t colors = vdk::ColorCount(h);
    const uint64_t total = vdk::kHeaderSize + uint64_t{colors} * 4 + h.biSizeImage;
    if (total > SIZE_MAX || !vdk_GlobalReAlloc(dib.get(), static_cast<size_t>(total), VDK_GHND))
        return Fail<VDK_HDIB>("DDBtoDIB: out of memory!");
    int32_t lines = 0;
    {
        const LockedBlock block(dib.get());
        std::memcpy(block.data(), &h, sizeof h);
        auto* info = reinterpret_cast<VDK_BITMAPINFO*>(block.data());
        lines = vdk_GetDIBits(screen.get(), bitmap, 0, static_cast<uint32_t>(h.biHeight),
                              block.data() + vdk::kHeaderSize + std::size_t{colors} * 4, info, VDK_DIB_RGB_COLORS);
    }
    if (lines == 0)
        return Fail<VDK_HDIB>("DDBtoDIB: Error in GetDIBits data tranfer!");
    return dib.release();
}

uint16_t DIBGetVersion(void) { return 0x1000; }

}  // extern "C"
