// Palettes, device-dependent bitmaps and device contexts of the platform layer: just enough
// drawing for the toolkit, on a true-colour screen surface and memory bitmaps.

#include "dib/PlatformState.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <unordered_map>

namespace vdk {
namespace {

using Lock = std::lock_guard<std::mutex>;

std::uint8_t Red(VDK_COLORREF c) { return static_cast<std::uint8_t>(c); }
std::uint8_t Green(VDK_COLORREF c) { return static_cast<std::uint8_t>(c >> 8); }
std::uint8_t Blue(VDK_COLORREF c) { return static_cast<std::uint8_t>(c >> 16); }
VDK_COLORREF MakeColor(unsigned r, unsigned g, unsigned b) { return VDK_RGB(r, g, b); }

constexpr VDK_COLORREF kBlack = 0;
constexpr VDK_COLORREF kWhite = 0xFFFFFF;

VDK_COLORREF NearestBlackOrWhite(VDK_COLORREF c) {
    return Red(c) + Green(c) + Blue(c) >= 383 ? kWhite : kBlack;
}

std::uint32_t Read32(const void* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
std::uint16_t Read16(const void* p) {
    std::uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

Dc* FindDc(State& s, VDK_HDC h) {
    const auto it = s.dcs.find(h);
    return it == s.dcs.end() ? nullptr : &it->second;
}
Bitmap* FindBitmap(State& s, VDK_HBITMAP h) {
    const auto it = s.bitmaps.find(h);
    return it == s.bitmaps.end() ? nullptr : &it->second;
}
Palette* FindPalette(State& s, VDK_HPALETTE h) {
    const auto it = s.palettes.find(h);
    return it == s.palettes.end() ? nullptr : &it->second;
}

// The pixels a context draws on; null for a memory context whose bitmap is gone.
Bitmap* Surface(State& s, Dc& dc) {
    if (dc.screen) {
        // The screen's pixels are made when first drawn on or read.
        if (s.screen.pixels.empty()) {
            try {
                s.screen.pixels.assign(static_cast<std::size_t>(s.screen.width) * static_cast<std::size_t>(s.screen.height),
                                       kBlack);
            } catch (const std::bad_alloc&) {
                return nullptr;
            }
        }
        return &s.screen;
    }
    return FindBitmap(s, dc.bitmap);
}

bool Inside(const Bitmap& b, std::int64_t x, std::int64_t y) { return x >= 0 && y >= 0 && x < b.width && y < b.height; }

void Put(Bitmap& b, std::int64_t x, std::int64_t y, VDK_COLORREF c) {
    if (!Inside(b, x, y))
        return;
    b.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(b.width) + static_cast<std::size_t>(x)] =
        b.bitsPerPixel == 1 ? NearestBlackOrWhite(c) : (c & 0xFFFFFF);
}

VDK_COLORREF Get(const Bitmap& b, std::int64_t x, std::int64_t y) {
    return b.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(b.width) + static_cast<std::size_t>(x)];
}

// The 256-colour halftone table: a 6 x 6 x 6 cube (red fastest), then 40 greys.
const std::vector<VDK_COLORREF>& HalftoneTable() {
    static const std::vector<VDK_COLORREF> table = [] {
        std::vector<VDK_COLORREF> t;
        for (unsigned b = 0; b < 6; ++b)
            for (unsigned g = 0; g < 6; ++g)
                for (unsigned r = 0; r < 6; ++r)
                    t.push_back(MakeColor(r * 51, g * 51, b * 51));
        for (unsigned k = 1; k <= 40; ++k) {
            const unsigned v = k * 255 / 41;
            t.push_back(MakeColor(v, v, v));
        }
        return t;
    }();
    return table;
}

std::vector<VDK_COLORREF> DeviceColorTable(unsigned bitCount) {
    switch (bitCount) {
        case 1:
            return {kBlack, kWhite};
        case 4: {
            std::vector<VDK_COLORREF> t;
            for (const auto& e : kSystemColors)
                t.push_back(MakeColor(e.peRed, e.peGreen, e.peBlue));
            return t;
        }
        case 8:
            return HalftoneTable();
        default:
            return {};
    }
}

// A DIB given as header pointer + bits pointer, as the Win32-style calls take it. The caller
// vouches for the memory, as with the real calls; the toolkit checks its blocks beforehand.
struct DibReader {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    unsigned bitCount = 0;
    std::size_t stride = 0;
    const std::uint8_t* bits = nullptr;
    std::vector<VDK_COLORREF> colors;

    bool Init(const void* info, const void* pixelBits, std::uint32_t usage) {
        if (!info || !pixelBits || usage != VDK_DIB_RGB_COLORS)
            return false;
        const auto* p = static_cast<const std::uint8_t*>(info);
        const std::uint32_t size = Read32(p);
        std::uint32_t tableCount = 0;
        std::size_t entryBytes = 4;
        if (size == 12) {
            width = Read16(p + 4);
            height = Read16(p + 6);
            bitCount = Read16(p + 10);
            tableCount = bitCount <= 8 ? 1u << bitCount : 0;
            entryBytes = 3;
        } else if (size >= 40) {
            width = static_cast<std::int32_t>(Read32(p + 4));
            const auto h = static_cast<std::int32_t>(Read32(p + 8));
            if (h == INT32_MIN)
                return false;
            topDown = h < 0;
            height = h < 0 ? -static_cast<std::int64_t>(h) : h;
            bitCount = Read16(p + 14);
            if (Read32(p + 16) != VDK_BI_RGB)
                return false;
            tableCount = Read32(p + 32);
            if (tableCount == 0 && bitCount <= 8)
                tableCount = 1u << bitCount;
        } else {
            return false;
        }
        if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
            return false;
        if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels)
            return false;
        stride = static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
        bits = static_cast<const std::uint8_t*>(pixelBits);
        if (bitCount <= 8) {
            // Indexes past the table read as black rather than past the table.
            const std::uint32_t used = std::min<std::uint32_t>(tableCount, 1u << bitCount);
            colors.assign(std::size_t{1} << bitCount, kBlack);
            const std::uint8_t* entry = p + size;
            for (std::uint32_t i = 0; i < used; ++i, entry += entryBytes)
                colors[i] = MakeColor(entry[2], entry[1], entry[0]);
        }
        return true;
    }

    // Stored row index of image row y (top row 0).
    std::int64_t StoredRow(std::int64_t y) const { return topDown ? y : height - 1 - y; }

    VDK_COLORREF At(std::int64_t x, std::int64_t storedRow, const std::uint8_t* rowBase) const {
        const std::uint8_t* row = rowBase + static_cast<std::size_t>(storedRow) * stride;
        const auto ux = static_cast<std::size_t>(x);
        switch (bitCount) {
            case 1:
                return colors[(row[ux / 8] >> (7 - ux % 8)) & 1];
            case 4:
                return colors[(row[ux / 2] >> (ux % 2 ? 0 : 4)) & 15];
            case 8:
                return colors[row[ux]];
            case 16: {
                const unsigned v = Read16(row + ux * 2);
                const unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                return MakeColor(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
            }
            case 24:
                return MakeColor(row[ux * 3 + 2], row[ux * 3 + 1], row[ux * 3]);
            default:
                return MakeColor(row[ux * 4 + 2], row[ux * 4 + 1], row[ux * 4]);
        }
    }
};

bool NewBitmap(State& s, std::int64_t width, std::int64_t height, unsigned bitsPerPixel, Bitmap& out) {
    if (width <= 0 || height <= 0 || static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxBitmapPixels)
        return false;
    if (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32)
        return false;
    if (!s.TakeAllocation())
        return false;
    out.width = static_cast<std::int32_t>(width);
    out.height = static_cast<std::int32_t>(height);
    out.bitsPerPixel = bitsPerPixel;
    out.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kBlack);
    return true;
}

VDK_HBITMAP AddBitmap(State& s, Bitmap&& b) {
    const VDK_HBITMAP h = s.NewHandle();
    s.bitmaps.emplace(h, std::move(b));
    return h;
}

// Depth of the bitmaps a context makes: the selected bitmap's for a memory context.
unsigned ContextDepth(State& s, Dc& dc) {
    if (dc.screen)
        return 32;
    const Bitmap* b = FindBitmap(s, dc.bitmap);
    return b ? b->bitsPerPixel : 1;
}

std::size_t DeviceRowBytes(const Bitmap& b) {
    const std::size_t bitsPerRow = static_cast<std::size_t>(b.width) * (b.bitsPerPixel == 1 ? 1 : b.bitsPerPixel);
    return (bitsPerRow + 15) / 16 * 2;
}

// Nearest table colour by squared distance, lowest index on ties; remembers its answers.
class NearestIndex {
public:
    explicit NearestIndex(const std::vector<VDK_COLORREF>& table) : table_(table) {}
    std::uint8_t operator()(VDK_COLORREF c) {
        const auto it = cache_.find(c);
        if (it != cache_.end())
            return it->second;
        std::uint8_t best = 0;
        long bestDistance = LONG_MAX;
        for (std::size_t i = 0; i < table_.size(); ++i) {
            const long dr = long{Red(c)} - Red(table_[i]);
            const long dg = long{Green(c)} - Green(table_[i]);
            const long db = long{Blue(c)} - Blue(table_[i]);
            const long d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<std::uint8_t>(i);
            }
        }
        cache_.emplace(c, best);
        return best;
    }

private:
    const std::vector<VDK_COLORREF>& table_;
    std::unordered_map<VDK_COLORREF, std::uint8_t> cache_;
};

// Copies a source rectangle between surfaces, picking source pixels (stretching when sizes
// differ). Goes through a buffer so that source and destination may be the same surface.
void Blit(Bitmap& dest, std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h, const Bitmap& src,
          std::int64_t xs, std::int64_t ys, std::int64_t ws, std::int64_t hs) {
    struct Item {
        std::int64_t dx, dy;
        VDK_COLORREF c;
    };
    std::vector<Item> items;
    for (std::int64_t dy = 0; dy < h; ++dy) {
        if (!Inside(dest, 0, y + dy))
            continue;
        const std::int64_t sy = ys + dy * hs / h;
        for (std::int64_t dx = 0; dx < w; ++dx) {
            if (!Inside(dest, x + dx, y + dy))
                continue;
            const std::int64_t sx = xs + dx * ws / w;
            if (Inside(src, sx, sy))
                items.push_back({x + dx, y + dy, Get(src, sx, sy)});
        }
    }
    for (const Item& it : items)
        Put(dest, it.dx, it.dy, it.c);
}

}  // namespace
}  // namespace vdk

using vdk::State;
using vdk::TheState;
using Lock = std::lock_guard<std::mutex>;

extern "C" {

// ---- Palettes ----

VDK_HPALETTE vdk_CreatePalette(const VDK_LOGPALETTE* palette) {
    if (!palette || palette->palNumEntries == 0)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    if (!s.TakeAllocation())
        return 0;
    try {
        vdk::Palette p;
        p.entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
        const VDK_HPALETTE h = s.NewHandle();
        s.palettes.emplace(h, std::move(p));
        return h;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

uint32_t vdk_GetPaletteEntries(VDK_HPALETTE palette, uint32_t start, uint32_t count, VDK_PALETTEENTRY* entries) {
    State& s = TheState();
    Lock lock(s.mutex);
    const vdk::Palette* p = vdk::FindPalette(s, palette);
    if (!p)
        return 0;
    const auto size = static_cast<uint32_t>(p->entries.size());
    if (!entries)
        return size;
    if (start >= size)
        return 0;
    const uint32_t n = std::min(count, size - start);
    std::copy_n(p->entries.begin() + start, n, entries);
    return n;
}

uint32_t vdk_GetSystemPaletteEntries(VDK_HDC, uint32_t start, uint32_t count, VDK_PALETTEENTRY* entries) {
    if (!entries)
        return 16;
    if (start >= 16)
        return 0;
    const uint32_t n = std::min<uint32_t>(count, 16 - start);
    std::copy_n(vdk::kSystemColors + start, n, entries);
    return n;
}

VDK_HGDIOBJ vdk_GetStockObject(int32_t which) {
    State& s = TheState();
    return which == VDK_DEFAULT_PALETTE ? s.stockPalette : 0;
}

VDK_HPALETTE vdk_SelectPalette(VDK_HDC dc, VDK_HPALETTE palette, int32_t) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d || !vdk::FindPalette(s, palette))
        return 0;
    const VDK_HPALETTE old = d->palette;
    d->palette = palette;
    return old;
}

uint32_t vdk_RealizePalette(VDK_HDC dc) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    const vdk::Palette* p = d ? vdk::FindPalette(s, d->palette) : nullptr;
    return p ? static_cast<uint32_t>(p->entries.size()) : 0;
}

// ---- Bitmaps ----

VDK_HBITMAP vdk_CreateBitmap(int32_t width, int32_t height, uint32_t planes, uint32_t bitsPerPixel, const void* bits) {
    if (planes != 1)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    try {
        vdk::Bitmap b;
        if (!vdk::NewBitmap(s, width, height, bitsPerPixel, b))
            return 0;
        if (bits) {
            const auto* src = static_cast<const std::uint8_t*>(bits);
            const std::size_t rowBytes = vdk::DeviceRowBytes(b);
            for (std::int32_t y = 0; y < height; ++y) {
                const std::uint8_t* row = src + static_cast<std::size_t>(y) * rowBytes;
                for (std::int32_t x = 0; x < width; ++x) {
                    const auto ux = static_cast<std::size_t>(x);
                    VDK_COLORREF c;
                    if (bitsPerPixel == 1)
                        c = (row[ux / 8] >> (7 - ux % 8)) & 1 ? vdk::kWhite : vdk::kBlack;
                    else if (bitsPerPixel == 24)
                        c = vdk::MakeColor(row[ux * 3 + 2], row[ux * 3 + 1], row[ux * 3]);
                    else
                        c = vdk::MakeColor(row[ux * 4 + 2], row[ux * 4 + 1], row[ux * 4]);
                    vdk::Put(b, x, y, c);
                }
            }
        }
        return vdk::AddBitmap(s, std::move(b));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

VDK_HBITMAP vdk_CreateCompatibleBitmap(VDK_HDC dc, int32_t width, int32_t height) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d)
        return 0;
    try {
        vdk::Bitmap b;
        if (!vdk::NewBitmap(s, width, height, vdk::ContextDepth(s, *d), b))
            return 0;
        return vdk::AddBitmap(s, std::move(b));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

VDK_HBITMAP vdk_CreateDIBitmap(VDK_HDC dc, const void* header, uint32_t init, const void* bits, const void* info,
                               uint32_t usage) {
    if (!header)
        return 0;
    const auto* p = static_cast<const std::uint8_t*>(header);
    const std::uint32_t size = vdk::Read32(p);
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (size == 12) {
        width = vdk::Read16(p + 4);
        height = vdk::Read16(p + 6);
    } else if (size >= 40) {
        width = static_cast<std::int32_t>(vdk::Read32(p + 4));
        height = static_cast<std::int32_t>(vdk::Read32(p + 8));
        height = height < 0 ? -height : height;
    } else {
        return 0;
    }
    State& s = TheState();
    Lock lock(s.mutex);
    unsigned depth = 1;
    if (dc) {
        vdk::Dc* d = vdk::FindDc(s, dc);
        if (!d)
            return 0;
        depth = vdk::ContextDepth(s, *d);
    }
    try {
        // Check the DIB before making a bitmap it cannot fill.
        vdk::DibReader dib;
        if ((init & VDK_CBM_INIT) && !dib.Init(info, bits, usage))
            return 0;
        vdk::Bitmap b;
        if (!vdk::NewBitmap(s, width, height, depth, b))
            return 0;
        if (init & VDK_CBM_INIT) {
            const std::int64_t w = std::min(dib.width, width);
            const std::int64_t h = std::min(dib.height, height);
            for (std::int64_t y = 0; y < h; ++y)
                for (std::int64_t x = 0; x < w; ++x)
                    vdk::Put(b, x, y, dib.At(x, dib.StoredRow(y), dib.bits));
        }
        return vdk::AddBitmap(s, std::move(b));
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_GetDIBits(VDK_HDC dc, VDK_HBITMAP bitmap, uint32_t start, uint32_t lines, void* bits, VDK_BITMAPINFO* info,
                      uint32_t usage) {
    if (!info || usage != VDK_DIB_RGB_COLORS || info->bmiHeader.biSize < 40)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    const vdk::Bitmap* b = vdk::FindBitmap(s, bitmap);
    if (!vdk::FindDc(s, dc) || !b)
        return 0;
    VDK_BITMAPINFOHEADER& hdr = info->bmiHeader;
    const unsigned bitCount = hdr.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return 0;
    const bool topDown = hdr.biHeight < 0;
    const std::size_t stride = (static_cast<std::size_t>(b->width) * bitCount + 31) / 32 * 4;
    const std::uint64_t image = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(b->height);
    if (image > UINT32_MAX)
        return 0;
    hdr.biWidth = b->width;
    hdr.biHeight = topDown ? -b->height : b->height;
    hdr.biPlanes = 1;
    hdr.biCompression = VDK_BI_RGB;
    hdr.biSizeImage = static_cast<std::uint32_t>(image);
    if (!bits)
        return 1;
    try {
        std::vector<VDK_COLORREF> table = vdk::DeviceColorTable(bitCount);
        if (bitCount <= 8) {
            if (hdr.biClrUsed > 0 && hdr.biClrUsed < table.size())
                table.resize(hdr.biClrUsed);
            auto* entry = reinterpret_cast<std::uint8_t*>(info->bmiColors);
            for (const VDK_COLORREF c : table) {
                const std::uint8_t quad[4] = {vdk::Blue(c), vdk::Green(c), vdk::Red(c), 0};
                std::memcpy(entry, quad, 4);
                entry += 4;
            }
        }
        vdk::NearestIndex nearest(table);
        auto* out = static_cast<std::uint8_t*>(bits);
        int32_t written = 0;
        for (std::uint64_t r = start; r < std::uint64_t{start} + lines && r < static_cast<std::uint64_t>(b->height); ++r) {
            std::uint8_t* row = out + (r - start) * stride;
            std::memset(row, 0, stride);
            const std::int64_t y = topDown ? static_cast<std::int64_t>(r) : b->height - 1 - static_cast<std::int64_t>(r);
            for (std::int32_t x = 0; x < b->width; ++x) {
                const VDK_COLORREF c = vdk::Get(*b, x, y);
                const auto ux = static_cast<std::size_t>(x);
                switch (bitCount) {
                    case 1:
                        row[ux / 8] |= static_cast<std::uint8_t>((nearest(c) & 1) << (7 - ux % 8));
                        break;
                    case 4:
                        row[ux / 2] |= static_cast<std::uint8_t>(nearest(c) << (ux % 2 ? 0 : 4));
                        break;
                    case 8:
                        row[ux] = nearest(c);
                        break;
                    default: {
                        std::uint8_t* px = row + ux * (bitCount / 8);
                        px[0] = vdk::Blue(c);
                        px[1] = vdk::Green(c);
                        px[2] = vdk::Red(c);
                    }
                }
            }
            ++written;
        }
        return written;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_GetBitmapBits(VDK_HBITMAP bitmap, int32_t bytes, void* out) {
    State& s = TheState();
    Lock lock(s.mutex);
    const vdk::Bitmap* b = vdk::FindBitmap(s, bitmap);
    if (!b || !out || bytes <= 0)
        return 0;
    try {
        const std::size_t rowBytes = vdk::DeviceRowBytes(*b);
        std::vector<std::uint8_t> all(rowBytes * static_cast<std::size_t>(b->height), 0);
        for (std::int32_t y = 0; y < b->height; ++y) {
            std::uint8_t* row = all.data() + static_cast<std::size_t>(y) * rowBytes;
            for (std::int32_t x = 0; x < b->width; ++x) {
                const VDK_COLORREF c = vdk::Get(*b, x, y);
                const auto ux = static_cast<std::size_t>(x);
                if (b->bitsPerPixel == 1) {
                    if (c == vdk::kWhite)
                        row[ux / 8] |= static_cast<std::uint8_t>(0x80 >> (ux % 8));
                } else {
                    std::uint8_t* px = row + ux * (b->bitsPerPixel / 8);
                    px[0] = vdk::Blue(c);
                    px[1] = vdk::Green(c);
                    px[2] = vdk::Red(c);
                }
            }
        }
        const std::size_t n = std::min(all.size(), static_cast<std::size_t>(bytes));
        std::memcpy(out, all.data(), n);
        return static_cast<int32_t>(n);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

// ---- Device contexts ----

VDK_HDC vdk_GetDC(VDK_HWND window) {
    if (window != 0)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    try {
        vdk::Dc d;
        d.screen = true;
        d.palette = s.stockPalette;
        const VDK_HDC h = s.NewHandle();
        s.dcs.emplace(h, d);
        return h;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_ReleaseDC(VDK_HWND, VDK_HDC dc) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d || !d->screen)
        return 0;
    s.dcs.erase(dc);
    return 1;
}

VDK_HDC vdk_CreateCompatibleDC(VDK_HDC dc) {
    State& s = TheState();
    Lock lock(s.mutex);
    if (dc != 0 && !vdk::FindDc(s, dc))
        return 0;
    if (!s.TakeAllocation())
        return 0;
    try {
        vdk::Dc d;
        d.bitmap = s.stockBitmap;
        d.palette = s.stockPalette;
        const VDK_HDC h = s.NewHandle();
        s.dcs.emplace(h, d);
        return h;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_DeleteDC(VDK_HDC dc) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d)
        return 0;
    if (vdk::Bitmap* b = vdk::FindBitmap(s, d->bitmap); b && !b->stock)
        b->selectedIn = 0;
    s.dcs.erase(dc);
    return 1;
}

VDK_HGDIOBJ vdk_SelectObject(VDK_HDC dc, VDK_HGDIOBJ object) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d)
        return 0;
    if (vdk::FindPalette(s, object)) {
        const VDK_HPALETTE old = d->palette;
        d->palette = object;
        return old;
    }
    vdk::Bitmap* b = vdk::FindBitmap(s, object);
    if (!b || d->screen)
        return 0;
    if (!b->stock && b->selectedIn != 0 && b->selectedIn != dc)
        return 0;  // one context at a time
    const VDK_HBITMAP old = d->bitmap;
    if (vdk::Bitmap* previous = vdk::FindBitmap(s, old); previous && !previous->stock)
        previous->selectedIn = 0;
    if (!b->stock)
        b->selectedIn = dc;
    d->bitmap = object;
    return old;
}

VDK_HGDIOBJ vdk_GetCurrentObject(VDK_HDC dc, uint32_t type) {
    State& s = TheState();
    Lock lock(s.mutex);
    const vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d)
        return 0;
    if (type == VDK_OBJ_PAL)
        return d->palette;
    if (type == VDK_OBJ_BITMAP)
        return d->bitmap;
    return 0;
}

int32_t vdk_SetStretchBltMode(VDK_HDC dc, int32_t mode) {
    if (mode < VDK_BLACKONWHITE || mode > VDK_HALFTONE)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    if (!d)
        return 0;
    const int32_t old = d->stretchMode;
    d->stretchMode = mode;
    return old;
}

int32_t vdk_GetStretchBltMode(VDK_HDC dc) {
    State& s = TheState();
    Lock lock(s.mutex);
    const vdk::Dc* d = vdk::FindDc(s, dc);
    return d ? d->stretchMode : 0;
}

int32_t vdk_GetDeviceCaps(VDK_HDC dc, int32_t index) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    const vdk::Bitmap* b = d ? vdk::Surface(s, *d) : nullptr;
    if (!b)
        return 0;
    switch (index) {
        case VDK_HORZRES:
            return b->width;
        case VDK_VERTRES:
            return b->height;
        case VDK_BITSPIXEL:
            return static_cast<int32_t>(b->bitsPerPixel);
        case VDK_PLANES:
            return 1;
        default:
            return 0;
    }
}

int32_t vdk_SetDIBitsToDevice(VDK_HDC dc, int32_t xDest, int32_t yDest, uint32_t width, uint32_t height, int32_t xSrc,
                              int32_t ySrc, uint32_t start, uint32_t lines, const void* bits, const void* info,
                              uint32_t usage) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    vdk::Bitmap* surface = d ? vdk::Surface(s, *d) : nullptr;
    if (!surface)
        return 0;
    try {
        vdk::DibReader dib;
        if (!dib.Init(info, bits, usage))
            return 0;
        int32_t drawn = 0;
        // Walk the stored rows that are both in the band given and in the source rectangle.
        const std::int64_t bandEnd = std::min<std::int64_t>(std::int64_t{start} + lines, dib.height);
        for (std::int64_t stored = start; stored < bandEnd; ++stored) {
            // A stored row's y counts from the DIB's bottom (bottom-up) or top (top-down).
            const std::int64_t yFromOrigin = stored;
            if (yFromOrigin < ySrc || yFromOrigin >= std::int64_t{ySrc} + height)
                continue;
            const std::int64_t destY = dib.topDown ? yDest + (yFromOrigin - ySrc)
                                                   : yDest + (std::int64_t{ySrc} + height - 1 - yFromOrigin);
            for (std::int64_t sx = std::max<std::int64_t>(xSrc, 0);
                 sx < std::min<std::int64_t>(std::int64_t{xSrc} + width, dib.width); ++sx)
                vdk::Put(*surface, xDest + (sx - xSrc), destY, dib.At(sx, stored - start, dib.bits));
            ++drawn;
        }
        return drawn;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_StretchDIBits(VDK_HDC dc, int32_t xDest, int32_t yDest, int32_t destWidth, int32_t destHeight, int32_t xSrc,
                          int32_t ySrc, int32_t srcWidth, int32_t srcHeight, const void* bits, const void* info,
                          uint32_t usage, uint32_t rop) {
    if (rop != VDK_SRCCOPY || destWidth <= 0 || destHeight <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    vdk::Bitmap* surface = d ? vdk::Surface(s, *d) : nullptr;
    if (!surface)
        return 0;
    try {
        vdk::DibReader dib;
        if (!dib.Init(info, bits, usage))
            return 0;
        // Top row of the source rectangle in top-down image rows.
        const std::int64_t top = dib.topDown ? ySrc : dib.height - (std::int64_t{ySrc} + srcHeight);
        for (std::int64_t dy = 0; dy < destHeight; ++dy) {
            const std::int64_t y = top + dy * srcHeight / destHeight;
            if (y < 0 || y >= dib.height)
                continue;
            for (std::int64_t dx = 0; dx < destWidth; ++dx) {
                const std::int64_t x = xSrc + dx * srcWidth / destWidth;
                if (x >= 0 && x < dib.width)
                    vdk::Put(*surface, xDest + dx, yDest + dy, dib.At(x, dib.StoredRow(y), dib.bits));
            }
        }
        return srcHeight;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_StretchBlt(VDK_HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, VDK_HDC src, int32_t xSrc,
                       int32_t ySrc, int32_t srcWidth, int32_t srcHeight, uint32_t rop) {
    if (rop != VDK_SRCCOPY || width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* dd = vdk::FindDc(s, dest);
    vdk::Dc* sd = vdk::FindDc(s, src);
    vdk::Bitmap* to = dd ? vdk::Surface(s, *dd) : nullptr;
    const vdk::Bitmap* from = sd ? vdk::Surface(s, *sd) : nullptr;
    if (!to || !from)
        return 0;
    try {
        vdk::Blit(*to, x, y, width, height, *from, xSrc, ySrc, srcWidth, srcHeight);
        return 1;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t vdk_BitBlt(VDK_HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, VDK_HDC src, int32_t xSrc,
                   int32_t ySrc, uint32_t rop) {
    return vdk_StretchBlt(dest, x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

VDK_COLORREF vdk_GetPixel(VDK_HDC dc, int32_t x, int32_t y) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    const vdk::Bitmap* b = d ? vdk::Surface(s, *d) : nullptr;
    if (!b || !vdk::Inside(*b, x, y))
        return VDK_CLR_INVALID;
    return vdk::Get(*b, x, y);
}

VDK_COLORREF vdk_SetPixel(VDK_HDC dc, int32_t x, int32_t y, VDK_COLORREF color) {
    State& s = TheState();
    Lock lock(s.mutex);
    vdk::Dc* d = vdk::FindDc(s, dc);
    vdk::Bitmap* b = d ? vdk::Surface(s, *d) : nullptr;
    if (!b || !vdk::Inside(*b, x, y) || b->stock)
        return VDK_CLR_INVALID;
    vdk::Put(*b, x, y, color);
    return vdk::Get(*b, x, y);
}

// ---- Objects ----

int32_t vdk_DeleteObject(VDK_HGDIOBJ object) {
    State& s = TheState();
    Lock lock(s.mutex);
    if (const vdk::Bitmap* b = vdk::FindBitmap(s, object)) {
        if (b->stock)
            return 1;
        if (b->selectedIn != 0)
            return 0;
        s.bitmaps.erase(object);
        return 1;
    }
    if (const vdk::Palette* p = vdk::FindPalette(s, object)) {
        if (p->stock)
            return 1;
        for (const auto& [handle, dc] : s.dcs)
            if (dc.palette == object)
                return 0;
        s.palettes.erase(object);
        return 1;
    }
    return 0;
}

int32_t vdk_GetObject(VDK_HGDIOBJ object, int32_t bytes, void* out) {
    State& s = TheState();
    Lock lock(s.mutex);
    if (!out)
        return 0;
    if (const vdk::Bitmap* b = vdk::FindBitmap(s, object)) {
        if (bytes < static_cast<int32_t>(sizeof(VDK_BITMAP)))
            return 0;
        VDK_BITMAP bm{};
        bm.bmWidth = b->width;
        bm.bmHeight = b->height;
        bm.bmWidthBytes = static_cast<int32_t>(vdk::DeviceRowBytes(*b));
        bm.bmPlanes = 1;
        bm.bmBitsPixel = static_cast<uint16_t>(b->bitsPerPixel);
        std::memcpy(out, &bm, sizeof bm);
        return sizeof bm;
    }
    if (const vdk::Palette* p = vdk::FindPalette(s, object)) {
        if (bytes < 2)
            return 0;
        const auto count = static_cast<uint16_t>(p->entries.size());
        std::memcpy(out, &count, 2);
        return 2;
    }
    return 0;
}

}  // extern "C"
