// QuantizeDIB: a two-pass quantiser. Pass 1 counts colours into a 5-6-5-bit histogram and
// picks a palette by median cut; pass 2 maps pixels through an inverse colour map that the
// same histogram cells hold, filled lazily one 4 x 8 x 4 block at a time, optionally with
// Floyd-Steinberg error diffusion (serpentine, errors limited so flat areas stay calm).

#include "dib/DibBlock.h"
#include "dib/DibShared.h"
#include "dib/Platform.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace vdk {
namespace {

constexpr int kRedCells = 32;
constexpr int kGreenCells = 64;
constexpr int kBlueCells = 32;
constexpr std::size_t kCells = std::size_t{kRedCells} * kGreenCells * kBlueCells;

// Scaled distances weigh green most and blue least, as the eye does.
constexpr int kRedScale = 2;
constexpr int kGreenScale = 3;
constexpr int kBlueScale = 1;

constexpr std::size_t Cell(int r, int g, int b) {
    return (static_cast<std::size_t>(r) * kGreenCells + static_cast<std::size_t>(g)) * kBlueCells +
           static_cast<std::size_t>(b);
}

struct Box {
    int rMin, rMax, gMin, gMax, bMin, bMax;
    std::uint32_t volume;
    std::uint32_t colorCount;
};

struct Colour {
    int r = 0, g = 0, b = 0;
};

class Quantizer {
public:
    Quantizer(std::uint32_t* histogram, int tableSize) : hist_(histogram), tableSize_(tableSize) {}

    // Median cut over the counted histogram; returns the palette (table size entries, black
    // beyond the boxes made).
    std::vector<Colour> MedianCut() const {
        std::vector<Box> boxes;
        boxes.reserve(static_cast<std::size_t>(tableSize_));
        boxes.push_back({0, kRedCells - 1, 0, kGreenCells - 1, 0, kBlueCells - 1, 0, 0});
        Shrink(boxes[0]);
        while (static_cast<int>(boxes.size()) < tableSize_) {
            const bool byPopulation = boxes.size() * 2 <= static_cast<std::size_t>(tableSize_);
            Box* pick = nullptr;
            std::uint32_t best = 0;
            for (Box& box : boxes) {
                const std::uint32_t key = byPopulation ? box.colorCount : box.volume;
                if (box.volume > 0 && key > best) {
                    best = key;
                    pick = &box;
                }
            }
            if (!pick)
                break;
            Box added = *pick;
            const int dR = (pick->rMax - pick->rMin) * 16;
            const int dG = (pick->gMax - pick->gMin) * 12;
            const int dB = (pick->bMax - pick->bMin) * 8;
            int axis = 1;  // green unless red is strictly longer
            int longest = dG;
            if (dR > longest) {
                axis = 0;
                longest = dR;
            }
            if (dB > longest)
                axis = 2;
            if (axis == 0) {
                const int mid = (pick->rMin + pick->rMax) / 2;
                pick->rMax = mid;
                added.rMin = mid + 1;
            } else if (axis == 1) {
                const int mid = (pick->gMin + pick->gMax) / 2;
                pick->gMax = mid;
                added.gMin = mid + 1;
            } else {
                const int mid = (pick->bMin + pick->bMax) / 2;
                pick->bMax = mid;
                added.bMin = mid + 1;
            }
            Shrink(*pick);
            Shrink(added);
            boxes.push_back(added);
        }
        std::vector<Colour> palette(static_cast<std::size_t>(tableSize_));
        for (std::size_t i = 0; i < boxes.size(); ++i) palette[i] = Mean(boxes[i]);
        return palette;
    }

private:
    bool PlaneR(const Box& b, int r) const {
        for (int g = b.gMin; g <= b.gMax; ++g)
            for (int bl = b.bMin; bl <= b.bMax; ++bl)
                if (hist_[Cell(r, g, bl)])
                    return true;
        return false;
    }
    bool PlaneG(const Box& b, int g) const {
        for (int r = b.rMin; r <= b.rMax; ++r)
            for (int bl = b.bMin; bl <= b.bMax; ++bl)
                if (hist_[Cell(r, g, bl)])
                    return true;
        return false;
    }
    bool PlaneB(const Box& b, int bl) const {
        for (int r = b.rMin; r <= b.rMax; ++r)
            for (int g = b.gMin; g <= b.gMax; ++g)
                if (hist_[Cell(r, g, bl)])
                    return true;
        return false;
    }

    void Shrink(Box& b) const {
        if (b.rMin < b.rMax) {
            while (b.rMin < b.rMax && !PlaneR(b, b.rMin)) ++b.rMin;
            while (b.rMax > b.rMin && !PlaneR(b, b.rMax)) --b.rMax;
        }
        if (b.gMin < b.gMax) {
            while (b.gMin < b.gMax && !PlaneG(b, b.gMin)) ++b.gMin;
            while (b.gMax > b.gMin && !PlaneG(b, b.gMax)) --b.gMax;
        }
        if (b.bMin < b.bMax) {
            while (b.bMin < b.bMax && !PlaneB(b, b.bMin)) ++b.bMin;
            while (b.bMax > b.bMin && !PlaneB(b, b.bMax)) --b.bMax;
        }
        const auto dR = static_cast<std::uint32_t>((b.rMax - b.rMin) * 16);
        const auto dG = static_cast<std::uint32_t>((b.gMax - b.gMin) * 12);
        const auto dB = static_cast<std::uint32_t>((b.bMax - b.bMin) * 8);
        b.volume = dR * dR + dG * dG + dB * dB;
        std::uint32_t count = 0;
        for (int r = b.rMin; r <= b.rMax; ++r)
            for (int g = b.gMin; g <= b.gMax; ++g)
                for (int bl = b.bMin; bl <= b.bMax; ++bl) count += hist_[Cell(r, g, bl)] != 0 ? 1u : 0u;
        b.colorCount = count;
    }

    // Count-weighted mean of the cell centres, rounded.
    Colour Mean(const Box& b) const {
        std::uint64_t total = 0, sr = 0, sg = 0, sb = 0;
        for (int r = b.rMin; r <= b.rMax; ++r)
            for (int g = b.gMin; g <= b.gMax; ++g)
                for (int bl = b.bMin; bl <= b.bMax; ++bl) {
                    const std::uint64_t n = hist_[Cell(r, g, bl)];
                    total += n;
                    sr += (8u * static_cast<unsigned>(r) + 4u) * n;
                    sg += (4u * static_cast<unsigned>(g) + 2u) * n;
                    sb += (8u * static_cast<unsigned>(bl) + 4u) * n;
                }
        if (total == 0)
            return {};
        return {static_cast<int>((sr + total / 2) / total), static_cast<int>((sg + total / 2) / total),
                static_cast<int>((sb + total / 2) / total)};
    }

    const std::uint32_t* hist_;
    int tableSize_;
};

// The inverse colour map: histogram cells reused as a cache of palette index + 1.
class ColourMap {
public:
    ColourMap(std::uint32_t* cache, const std::vector<Colour>& colours) : cache_(cache), colours_(colours) {}

    int Lookup(int red, int green, int blue) {
        const std::size_t cell = Cell(red >> 3, green >> 2, blue >> 3);
        if (cache_[cell] == 0)
            Fill(red >> 5, green >> 5, blue >> 5);
        return static_cast<int>(cache_[cell]) - 1;
    }

private:
    // Maps every cell of one 4 x 8 x 4 block, searching only the colours that can be nearest
    // to some point of the block.
    void Fill(int blockR, int blockG, int blockB) {
        const int minR = blockR * 32 + 4, maxR = minR + 24, midR = (minR + maxR) / 2;
        const int minG = blockG * 32 + 2, maxG = minG + 28, midG = (minG + maxG) / 2;
        const int minB = blockB * 32 + 4, maxB = minB + 24, midB = (minB + maxB) / 2;
        const auto axis = [](int x, int lo, int hi, int mid, int scale, std::int64_t& least, std::int64_t& greatest) {
            std::int64_t near = 0, far = 0;
            if (x < lo) {
                near = (x - lo) * scale;
                far = (x - hi) * scale;
            } else if (x > hi) {
                near = (x - hi) * scale;
                far = (x - lo) * scale;
            } else {
                far = (x <= mid ? x - hi : x - lo) * scale;
            }
            least += near * near;
            greatest += far * far;
        };
        const std::size_t n = colours_.size();
        least_.assign(n, 0);
        std::int64_t threshold = std::numeric_limits<std::int64_t>::max();
        for (std::size_t i = 0; i < n; ++i) {
            std::int64_t lo = 0, hi = 0;
            axis(colours_[i].r, minR, maxR, midR, kRedScale, lo, hi);
            axis(colours_[i].g, minG, maxG, midG, kGreenScale, lo, hi);
            axis(colours_[i].b, minB, maxB, midB, kBlueScale, lo, hi);
            least_[i] = lo;
            threshold = std::min(threshold, hi);
        }
        candidates_.clear();
        for (std::size_t i = 0; i < n; ++i)
            if (least_[i] <= threshold)
                candidates_.push_back(static_cast<int>(i));

        std::array<std::int32_t, 128> best;
        std::array<std::uint8_t, 128> index{};
        best.fill(std::numeric_limits<std::int32_t>::max());
        for (const int c : candidates_) {
            const Colour& colour = colours_[static_cast<std::size_t>(c)];
            // Distances stepped per cell: 16 scaled units per red cell, 12 per green, 8 per blue.
            const int r0 = (minR - colour.r) * kRedScale;
            const int g0 = (minG - colour.g) * kGreenScale;
            const int b0 = (minB - colour.b) * kBlueScale;
            std::size_t k = 0;
            for (int ir = 0; ir < 4; ++ir) {
                const int dr = r0 + ir * 16;
                for (int ig = 0; ig < 8; ++ig) {
                    const int dg = g0 + ig * 12;
                    const int drg = dr * dr + dg * dg;
                    for (int ib = 0; ib < 4; ++ib, ++k) {
                        const int db = b0 + ib * 8;
                        const std::int32_t d = drg + db * db;
                        if (d < best[k]) {
                            best[k] = d;
                            index[k] = static_cast<std::uint8_t>(c);
                        }
                    }
                }
            }
        }
        std::size_t k = 0;
        for (int ir = 0; ir < 4; ++ir)
            for (int ig = 0; ig < 8; ++ig)
                for (int ib = 0; ib < 4; ++ib, ++k)
                    cache_[Cell(blockR * 4 + ir, blockG * 8 + ig, blockB * 4 + ib)] = std::uint32_t{index[k]} + 1;
    }

    std::uint32_t* cache_;
    const std::vector<Colour>& colours_;
    std::vector<std::int64_t> least_;
    std::vector<int> candidates_;
};

// The error-limit table for errors -255..255: small errors pass, medium ones are halved
// beyond 16, large ones stop at 32.
std::array<int, 511> ErrorLimits() {
    std::array<int, 511> table{};
    for (int e = -255; e <= 255; ++e) {
        const int a = e < 0 ? -e : e;
        const int limited = a < 16 ? a : (a < 48 ? 16 + (a - 16) / 2 : 32);
        table[static_cast<std::size_t>(e + 255)] = e < 0 ? -limited : limited;
    }
    return table;
}

void PutIndex(std::uint8_t* row, std::size_t x, int index, bool fourBit) {
    if (!fourBit)
        row[x] = static_cast<std::uint8_t>(index);
    else if (x % 2 == 0)
        row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & 0x0F) | (index << 4));
    else
        row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & 0xF0) | (index & 0x0F));
}

}  // namespace
}  // namespace vdk

extern "C" VDK_HDIB QuantizeDIB(VDK_HDIB dib, int32_t bits, int32_t dither, int32_t paletteCount,
                                const VDK_PALETTEENTRY* palette, intptr_t user, VDK_PROGRESSPROC progress) {
    using namespace vdk;
    if (bits != 8 && bits != 4 && bits != 0)
        return 0;
    const LockedBlock source(dib);
    DibLayout in;
    if (!MeasureDib(source, in) || in.header.biBitCount != 24 || in.header.biCompression != VDK_BI_RGB)
        return 0;
    const int tableSize = bits == 8 ? 256 : 16;
    const unsigned outBits = bits == 8 ? 8 : 4;
    const bool systemPalette = bits == 0;
    const bool supplied = !systemPalette && paletteCount > 0 && palette != nullptr;
    const int suppliedCount = supplied ? std::min<int>(paletteCount, tableSize) : 0;
    const bool diffuse = dither != 0 || systemPalette;

    VDK_BITMAPINFOHEADER h = DerivedHeader(in.header, outBits, static_cast<std::uint32_t>(tableSize),
                                           static_cast<std::uint32_t>(suppliedCount));
    h.biXPelsPerMeter = 0;
    h.biYPelsPerMeter = 0;
    NewDib out(h, BlockBytes(h));
    if (!out)
        return 0;
    if (!AllowWorkAllocation())
        return 0;
    std::unique_ptr<std::uint32_t[]> histogram(new (std::nothrow) std::uint32_t[kCells]());
    if (!histogram)
        return 0;

    const auto width = static_cast<std::size_t>(in.header.biWidth);
    const auto height = static_cast<std::size_t>(in.header.biHeight);
    const std::size_t step = std::max<std::size_t>(1, height * 3 / 25);
    const auto report = [&](std::size_t row, std::size_t pass) {
        if (!progress || row % step != 0)
            return true;
        const auto percent = static_cast<int32_t>((row + pass * height) * 100 / (3 * height));
        return progress(percent, user) != 0;
    };

    std::vector<Colour> colours;
    if (!systemPalette && !supplied) {
        for (std::size_t row = 0; row < height; ++row) {
            const std::uint8_t* px = in.bits + row * in.stride;
            for (std::size_t x = 0; x < width; ++x, px += 3) {
                std::uint32_t& cell = histogram[Cell(px[2] >> 3, px[1] >> 2, px[0] >> 3)];
                if (cell != std::numeric_limits<std::uint32_t>::max())
                    ++cell;
            }
            if (!report(row, 1))
                return out.Release();
        }
        colours = Quantizer(histogram.get(), tableSize).MedianCut();
    } else if (systemPalette) {
        VDK_PALETTEENTRY system[16]{};
        vdk_GetSystemPaletteEntries(0, 0, 16, system);
        for (const VDK_PALETTEENTRY& e : system) colours.push_back({e.peRed, e.peGreen, e.peBlue});
    } else {
        for (int i = 0; i < suppliedCount; ++i)
            colours.push_back({palette[i].peRed, palette[i].peGreen, palette[i].peBlue});
    }
    for (std::size_t i = 0; i < colours.size(); ++i) {
        std::uint8_t* e = out.layout.table + i * 4;
        e[0] = static_cast<std::uint8_t>(colours[i].b);
        e[1] = static_cast<std::uint8_t>(colours[i].g);
        e[2] = static_cast<std::uint8_t>(colours[i].r);
        e[3] = 0;
    }
    std::fill_n(histogram.get(), kCells, 0u);

    ColourMap map(histogram.get(), colours);
    const std::array<int, 511> limit = ErrorLimits();
    std::vector<std::int16_t> errors(diffuse ? (width + 2) * 3 : 0, 0);
    const bool fourBit = outBits == 4;
    for (std::size_t row = 0; row < height; ++row) {
        const std::uint8_t* src = in.bits + row * in.stride;
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        if (!diffuse) {
            for (std::size_t x = 0; x < width; ++x, src += 3)
                PutIndex(dst, x, map.Lookup(src[2], src[1], src[0]), fourBit);
        } else {
            // Serpentine: even stored rows left to right, odd ones right to left. The error
            // array holds one entry per column plus one spill entry at either end.
            const bool forward = row % 2 == 0;
            const std::ptrdiff_t dir = forward ? 1 : -1;
            std::ptrdiff_t at = forward ? 0 : static_cast<std::ptrdiff_t>(width) + 1;  // entry behind
            int cur[3] = {0, 0, 0}, below[3] = {0, 0, 0}, behind[3] = {0, 0, 0};
            for (std::size_t n = 0; n < width; ++n) {
                const std::size_t x = forward ? n : width - 1 - n;
                const std::uint8_t* px = src + x * 3;
                const int value[3] = {px[2], px[1], px[0]};  // red, green, blue
                int clamped[3];
                for (int c = 0; c < 3; ++c) {
                    const int carried = (cur[c] + errors[static_cast<std::size_t>((at + dir) * 3 + c)] + 8) >> 4;
                    cur[c] = limit[static_cast<std::size_t>(std::clamp(carried, -255, 255) + 255)];
                    clamped[c] = std::clamp(cur[c] + value[c], 0, 255);
                }
                const int index = map.Lookup(clamped[0], clamped[1], clamped[2]);
                PutIndex(dst, x, index, fourBit);
                const Colour& chosen = colours[static_cast<std::size_t>(index)];
                const int chosenValue[3] = {chosen.r, chosen.g, chosen.b};
                for (int c = 0; c < 3; ++c) {
                    const int e = clamped[c] - chosenValue[c];
                    // 3/16 below-behind, 5/16 below, 1/16 below-ahead, 7/16 ahead.
                    errors[static_cast<std::size_t>(at * 3 + c)] = static_cast<std::int16_t>(behind[c] + e * 3);
                    behind[c] = below[c] + e * 5;
                    below[c] = e;
                    cur[c] = e * 7;
                }
                at += dir;
            }
            for (int c = 0; c < 3; ++c)
                errors[static_cast<std::size_t>(at * 3 + c)] = static_cast<std::int16_t>(behind[c]);
        }
        const std::size_t used = fourBit ? (width + 1) / 2 : width;
        std::memset(dst + used, 0, out.layout.stride - used);
        if (!report(row, 2))
            return out.Release();
    }
    return out.Release();
}
