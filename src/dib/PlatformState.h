// The platform layer's object tables. Internal to the library; every access holds Mutex().
#pragma once

#include "vantor/dibkit.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace vdk {

// Largest block and largest bitmap we hand out; anything bigger is refused before allocating.
inline constexpr std::size_t kMaxBlockBytes = std::size_t{1} << 30;
inline constexpr std::uint64_t kMaxBitmapPixels = std::uint64_t{1} << 28;

struct Block {
    std::unique_ptr<std::uint8_t[]> data;
    std::size_t size = 0;
    std::uint32_t locks = 0;
};

struct Palette {
    std::vector<VDK_PALETTEENTRY> entries;
    bool stock = false;
};

// Pixels are COLORREF values, top row first. A monochrome bitmap holds only black and white.
struct Bitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t bitsPerPixel = 32;
    std::vector<VDK_COLORREF> pixels;
    VDK_HDC selectedIn = 0;
    bool stock = false;
};

struct Dc {
    bool screen = false;
    VDK_HBITMAP bitmap = 0;  // memory contexts only
    VDK_HPALETTE palette = 0;
    std::int32_t stretchMode = VDK_BLACKONWHITE;
};

struct State {
    std::mutex mutex;
    VDK_HANDLE nextHandle = 0x10000;
    std::unordered_map<VDK_HANDLE, Block> blocks;
    std::map<std::uintptr_t, std::size_t> blockRanges;  // start address -> size
    std::unordered_map<VDK_HANDLE, Palette> palettes;
    std::unordered_map<VDK_HANDLE, Bitmap> bitmaps;
    std::unordered_map<VDK_HANDLE, Dc> dcs;
    Bitmap screen;
    VDK_HPALETTE stockPalette = 0;
    VDK_HBITMAP stockBitmap = 0;
    std::int32_t allocationsLeft = -1;  // -1: unlimited
    VDK_MESSAGE_HANDLER handler = nullptr;
    void* handlerUser = nullptr;

    VDK_HANDLE NewHandle() { return nextHandle++; }
    // False when fault injection says this allocation must fail.
    bool TakeAllocation();
};

// The one state, created on first use with its stock objects. Lock its mutex.
State& TheState();

// The 16 system colours (the VGA colours).
extern const VDK_PALETTEENTRY kSystemColors[16];

}  // namespace vdk
