// Bit-depth conversions, grey and copy. Three expansions (1 to 4, 4 to 8, 8 to 24 bits) and two
// error-diffusing reductions from 24 bits do the work; the other conversions chain them.

#include "dib/DibBlock.h"
#include "dib/DibShared.h"
#include "dib/Platform.h"
#include "dib/ReduceColors.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <new>
#include <vector>

namespace vdk {

VDK_HDIB Fail(const char* text) {
    ShowMessage(text);
    return 0;
}

bool IsLive(VDK_HGLOBAL handle) { return handle != 0 && (vdk_GlobalFlags(handle) & VDK_GMEM_INVALID_HANDLE) == 0; }

NewDib::NewDib(const VDK_BITMAPINFOHEADER& header, std::size_t bytes) : handle(NewBlock(bytes)) {
    if (!handle)
        return;
    block = std::make_unique<LockedBlock>(handle.get());
    block->WriteHeader(header);
    MeasureDib(*block, layout);
}

VDK_HDIB NewDib::Release() {
    block.reset();
    return handle.release();
}

std::size_t BlockBytes(const VDK_BITMAPINFOHEADER& h) {
    return kHeaderSize + std::size_t{h.biClrUsed} * 4 + h.biSizeImage;
}

std::uint8_t AddClamped(std::uint8_t value, int delta) {
    return static_cast<std::uint8_t>(std::clamp(int{value} + delta, 0, 255));
}

// Spreads the error between a 24-bit pixel and the colour chosen for it: 3/8 to the right,
// 3/8 to the same column of the next stored row, 1/4 to that row's right neighbour.
void DiffuseError(const DibLayout& dib, std::size_t row, std::size_t x, const std::uint8_t chosen[3]) {
    const auto width = static_cast<std::size_t>(dib.header.biWidth);
    const auto height = static_cast<std::size_t>(dib.header.biHeight);
    std::uint8_t* here = dib.bits + row * dib.stride + x * 3;
    std::uint8_t* above = here + dib.stride;
    for (std::size_t c = 0; c < 3; ++c) {
        const int e = int{here[c]} - chosen[c];
        const bool right = x + 1 < width;
        const bool next = row + 1 < height;
        if (right)
            here[3 + c] = AddClamped(here[3 + c], e * 3 / 8);
        if (next)
            above[c] = AddClamped(above[c], e * 3 / 8);
        if (right && next)
            above[3 + c] = AddClamped(above[3 + c], e / 4);
    }
}

namespace {

// Runs conversions one after another, freeing each intermediate DIB; stops at the first
// step that fails (the step has said why).
VDK_HDIB Chain(VDK_HDIB dib, const char* noDib, std::initializer_list<VDK_HDIB (*)(VDK_HDIB)> steps) {
    if (!IsLive(dib))
        return Fail(noDib);
    VDK_HDIB current = dib;
    for (auto step : steps) {
        const VDK_HDIB next = step(current);
        if (current != dib)
            vdk_GlobalFree(current);
        if (!next)
            return 0;
        current = next;
    }
    return current;
}

// The 16 fixed colours of the 4-bit reduction, red, green, blue.
constexpr std::uint8_t kFixed16[16][3] = {
    {0, 0, 0},     {0, 0, 128},     {0, 128, 0},     {0, 128, 128}, {128, 0, 0},   {128, 0, 128},
    {128, 128, 0}, {128, 128, 128}, {192, 192, 192}, {0, 0, 255},   {0, 255, 0},   {0, 255, 255},
    {255, 0, 0},   {255, 0, 255},   {255, 255, 0},   {255, 255, 255},
};

unsigned Luminance(unsigned red, unsigned green, unsigned blue) { return red * 77 + green * 151 + blue * 28; }

// Checks shared by the three expansions and the two reductions, in the order their messages
// are listed: header size, depth, compression (when a message exists for it), layout.
struct Messages {
    const char* noDib;
    const char* badHeader;
    const char* wrongDepth;
    const char* compressed;  // null: not checked
};

bool OpenSource(const LockedBlock& block, unsigned bitCount, const Messages& m, DibLayout& in) {
    if (!block) {
        ShowMessage(m.noDib);
        return false;
    }
    if (!block.ReadHeader(in.header) || in.header.biSize != kHeaderSize) {
        ShowMessage(m.badHeader);
        return false;
    }
    if (in.header.biBitCount != bitCount) {
        ShowMessage(m.wrongDepth);
        return false;
    }
    if (m.compressed && in.header.biCompression != VDK_BI_RGB) {
        ShowMessage(m.compressed);
        return false;
    }
    if (!MeasureDib(block, in)) {
        ShowMessage(m.badHeader);
        return false;
    }
    return true;
}

// The first min(count, room) entries of the source's colour table.
void CopyTable(const DibLayout& in, const DibLayout& out, std::uint32_t room) {
    std::memcpy(out.table, in.table, std::size_t{std::min(in.colors, room)} * 4);
}

}  // namespace
}  // namespace vdk

using vdk::DibLayout;
using vdk::LockedBlock;

extern "C" {

VDK_HDIB DIB1To4(VDK_HDIB dib) {
    const LockedBlock block(dib);
    DibLayout in;
    if (!vdk::OpenSource(block, 1,
                         {"DIB1To4: No dib present!", "DIB1To4: Invallid BITMAPINFOHEADER size!",
                          "DIB1To4: No 1 bit dib present!", nullptr},
                         in))
        return 0;
    // A table longer than 16 entries cannot be carried over: keep what fits.
    const std::uint32_t kept = std::min<std::uint32_t>(in.colors, 16);
    const VDK_BITMAPINFOHEADER h = vdk::DerivedHeader(in.header, 4, 16, kept);
    vdk::NewDib out(h, vdk::BlockBytes(h));
    if (!out)
        return vdk::Fail("DIB1To4: out of memory!");
    vdk::CopyTable(in, out.layout, 16);
    // Each source byte becomes four output bytes; 4 x the data bytes is the 4-bit stride.
    const std::size_t dataBytes = (static_cast<std::size_t>(in.header.biWidth) + 7) / 8;
    for (std::size_t row = 0; row < static_cast<std::size_t>(in.header.biHeight); ++row) {
        const std::uint8_t* src = in.bits + row * in.stride;
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        for (std::size_t i = 0; i < dataBytes; ++i)
            for (unsigned k = 0; k < 4; ++k)
                dst[i * 4 + k] = static_cast<std::uint8_t>(((src[i] >> (7 - 2 * k)) & 1) << 4 | ((src[i] >> (6 - 2 * k)) & 1));
    }
    return out.Release();
}

VDK_HDIB DIB4To8(VDK_HDIB dib) {
    const LockedBlock block(dib);
    DibLayout in;
    if (!vdk::OpenSource(block, 4,
                         {"DIB4To8: No dib present!", "DIB4To8: No valid BITMAPINFOHEADER size!",
                          "DIB4To8: No 4 dib present!", "DIB4to8: RLE-DIB not supported!"},
                         in))
        return 0;
    const std::uint32_t kept = std::min<std::uint32_t>(in.colors, 256);
    const VDK_BITMAPINFOHEADER h = vdk::DerivedHeader(in.header, 8, 256, kept);
    vdk::NewDib out(h, vdk::BlockBytes(h));
    if (!out)
        return vdk::Fail("DIB4To8: out of memory!");
    vdk::CopyTable(in, out.layout, 256);
    // Two output bytes per source byte: an odd width writes one byte into the padding.
    const std::size_t dataBytes = (static_cast<std::size_t>(in.header.biWidth) + 1) / 2;
    for (std::size_t row = 0; row < static_cast<std::size_t>(in.header.biHeight); ++row) {
        const std::uint8_t* src = in.bits + row * in.stride;
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        for (std::size_t i = 0; i < dataBytes; ++i) {
            dst[i * 2] = src[i] >> 4;
            dst[i * 2 + 1] = src[i] & 15;
        }
    }
    return out.Release();
}

VDK_HDIB DIB8To24(VDK_HDIB dib) {
    const LockedBlock block(dib);
    DibLayout in;
    if (!vdk::OpenSource(block, 8,
                         {"DIB8To24: No dib present!", "DIB8To24: Invallid BITMAPINFOHEADER size!",
                          "DIB8To24: No 8 dib present!", "DIB8To24: No RLE-DIB supported!"},
                         in))
        return 0;
    const VDK_BITMAPINFOHEADER h = vdk::DerivedHeader(in.header, 24, 0, 0);
    vdk::NewDib out(h, vdk::BlockBytes(h));
    if (!out)
        return vdk::Fail("DIB8To24: out of memory!");
    // An index past the end of a short table reads as black, never past the table.
    std::uint8_t table[256][3] = {};
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(in.colors, 256); ++i)
        std::memcpy(table[i], in.table + i * 4, 3);
    const auto width = static_cast<std::size_t>(in.header.biWidth);
    for (std::size_t row = 0; row < static_cast<std::size_t>(in.header.biHeight); ++row) {
        const std::uint8_t* src = in.bits + row * in.stride;
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        for (std::size_t x = 0; x < width; ++x)
            std::memcpy(dst + x * 3, table[src[x]], 3);
    }
    return out.Release();
}

VDK_HDIB _DIB24To1(VDK_HDIB dib) {
    const LockedBlock block(dib);
    DibLayout in;
    if (!vdk::OpenSource(block, 24,
                         {"_DIB24To1: No dib present!", "_DIB24To1: Invallid BITMAPINFOHEADER size!",
                          "_DIB24To1: No 24 dib present!", nullptr},
                         in))
        return 0;
    const VDK_BITMAPINFOHEADER h = vdk::DerivedHeader(in.header, 1, 2, 2);
    vdk::NewDib out(h, std::size_t{h.biSizeImage} + 48);
    if (!out)
        return vdk::Fail("_DIB24To1: out of memory!");
    static constexpr std::uint8_t kBlackWhite[8] = {0, 0, 0, 0, 255, 255, 255, 0};
    std::memcpy(out.layout.table, kBlackWhite, sizeof kBlackWhite);
    const auto width = static_cast<std::size_t>(in.header.biWidth);
    for (std::size_t row = 0; row < static_cast<std::size_t>(in.header.biHeight); ++row) {
        const std::uint8_t* src = in.bits + row * in.stride;
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* px = src + x * 3;
            const auto luminance = static_cast<std::uint16_t>(vdk::Luminance(px[2], px[1], px[0]));
            const bool white = luminance >= 32768;
            if (white)
                dst[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            const std::uint8_t v = white ? 255 : 0;
            const std::uint8_t chosen[3] = {v, v, v};
            vdk::DiffuseError(in, row, x, chosen);
        }
    }
    return out.Release();
}

VDK_HDIB _DIB24To4(VDK_HDIB dib) {
    const LockedBlock block(dib);
    DibLayout in;
    if (!vdk::OpenSource(block, 24,
                         {"_DIB24To4: No dib present!", "_DIB24To4: Invallid BITMAPINFOHEADER size!",
                          "_DIB24To4: No 24 dib present!", nullptr},
                         in))
        return 0;
    const VDK_BITMAPINFOHEADER h = vdk::DerivedHeader(in.header, 4, 16, 16);
    vdk::NewDib out(h, vdk::BlockBytes(h));
    if (!out)
        return vdk::Fail("_DIB24to4: out of memory!");
    for (unsigned i = 0; i < 16; ++i) {
        const std::uint8_t quad[4] = {vdk::kFixed16[i][2], vdk::kFixed16[i][1], vdk::kFixed16[i][0], 0};
        std::memcpy(out.layout.table + i * 4, quad, 4);
    }
    // Nearest fixed colour of each 5-5-5 cell, lowest index on ties.
    std::vector<std::uint8_t> index;
    try {
        if (vdk::AllowWorkAllocation())
            index.resize(32768);
    } catch (const std::bad_alloc&) {
    }
    if (index.empty())
        return vdk::Fail("_DIB24To4: out of memory!");
    for (unsigned c = 0; c < 32768; ++c) {
        const int r = static_cast<int>((c >> 10) & 31) * 8;
        const int g = static_cast<int>((c >> 5) & 31) * 8;
        const int b = static_cast<int>(c & 31) * 8;
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < 16; ++i) {
            const int dr = r - vdk::kFixed16[i][0];
            const int dg = g - vdk::kFixed16[i][1];
            const int db = b - vdk::kFixed16[i][2];
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        index[c] = static_cast<std::uint8_t>(best);
    }
    const auto width = static_cast<std::size_t>(in.header.biWidth);
    for (std::size_t row = 0; row < static_cast<std::size_t>(in.header.biHeight); ++row) {
        const std::uint8_t* src = in.bits + row * in.stride;
        std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* px = src + x * 3;
            const std::uint8_t i = index[(px[2] >> 3) * 1024u + (px[1] >> 3) * 32u + (px[0] >> 3)];
            dst[x / 2] |= static_cast<std::uint8_t>(x % 2 ? i : i << 4);
            const std::uint8_t chosen[3] = {vdk::kFixed16[i][2], vdk::kFixed16[i][1], vdk::kFixed16[i][0]};
            vdk::DiffuseError(in, row, x, chosen);
        }
    }
    return out.Release();
}

VDK_HDIB GrayDIB(VDK_HDIB dib) {
    static constexpr const char* kBadHeader = "GrayDIB: Invallid BITMAPINFOHEADER size!";
    VDK_BITMAPINFOHEADER probe{};
    {
        const LockedBlock block(dib);
        if (!block)
            return vdk::Fail("GrayDIB: No dib present!");
        block.ReadHeader(probe);
    }
    if (probe.biBitCount == 24) {
        const LockedBlock block(dib);
        DibLayout in;
        if (!block.ReadHeader(in.header) || in.header.biSize != vdk::kHeaderSize)
            return vdk::Fail(kBadHeader);
        if (in.header.biCompression != VDK_BI_RGB)
            return vdk::Fail("GrayDIB: Keine RLE-Bitmaps are not supported!");
        if (!vdk::MeasureDib(block, in))
            return vdk::Fail(kBadHeader);
        VDK_BITMAPINFOHEADER h{};
        h.biSize = vdk::kHeaderSize;
        h.biWidth = in.header.biWidth;
        h.biHeight = in.header.biHeight;
        h.biPlanes = 1;
        h.biBitCount = 8;
        h.biCompression = VDK_BI_RGB;
        h.biSizeImage = static_cast<std::uint32_t>(((static_cast<std::uint64_t>(h.biWidth) + 3) & ~std::uint64_t{3}) *
                                                   static_cast<std::uint64_t>(h.biHeight));
        h.biXPelsPerMeter = vdk::kToolkitPelsPerMeter;
        h.biYPelsPerMeter = vdk::kToolkitPelsPerMeter;
        h.biClrUsed = 256;
        h.biClrImportant = 0;
        vdk::NewDib out(h, vdk::BlockBytes(h));
        if (!out)
            return vdk::Fail("DIB24to8: out of memory!");
        for (unsigned i = 0; i < 256; ++i) {
            const std::uint8_t quad[4] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                          static_cast<std::uint8_t>(i), 0};
            std::memcpy(out.layout.table + i * 4, quad, 4);
        }
        const auto width = static_cast<std::size_t>(in.header.biWidth);
        for (std::size_t row = 0; row < static_cast<std::size_t>(in.header.biHeight); ++row) {
            const std::uint8_t* src = in.bits + row * in.stride;
            std::uint8_t* dst = out.layout.bits + row * out.layout.stride;
            for (std::size_t x = 0; x < width; ++x)
                dst[x] = static_cast<std::uint8_t>(vdk::Luminance(src[x * 3 + 2], src[x * 3 + 1], src[x * 3]) >> 8);
        }
        return out.Release();
    }

    vdk::OwnedBlock copy(CopyDIB(dib));
    if (!copy)
        return 0;
    {
        const LockedBlock block(copy.get());
        DibLayout in;
        if (!block.ReadHeader(in.header) || in.header.biSize != vdk::kHeaderSize)
            return vdk::Fail(kBadHeader);
        if (in.header.biCompression != VDK_BI_RGB)
            return vdk::Fail("GrayDIB: RLE-Bitmaps are not supported!");
        if (!vdk::MeasureDib(block, in))
            return vdk::Fail(kBadHeader);
        for (std::uint32_t i = 0; i < in.colors; ++i) {
            std::uint8_t* e = in.table + std::size_t{i} * 4;
            const auto grey = static_cast<std::uint8_t>(vdk::Luminance(e[2], e[1], e[0]) >> 8);
            e[0] = e[1] = e[2] = grey;
        }
    }
    return copy.release();
}

VDK_HDIB CopyDIB(VDK_HDIB dib) {
    const LockedBlock block(dib);
    if (!block)
        return vdk::Fail("CopyDIB: No dib present!");
    vdk::OwnedBlock copy(vdk::NewBlock(block.size()));
    if (!copy)
        return vdk::Fail("CopyDIB: out of memory!");
    const LockedBlock target(copy.get());
    std::memcpy(target.data(), block.data(), block.size());
    return copy.release();
}

VDK_HDIB DIB1To8(VDK_HDIB dib) { return vdk::Chain(dib, "DIB1To8: No dib present!", {DIB1To4, DIB4To8}); }

VDK_HDIB DIB1To24(VDK_HDIB dib) {
    return vdk::Chain(dib, "DIB1To24: No dib present!", {DIB1To4, DIB4To8, DIB8To24});
}

VDK_HDIB DIB4To24(VDK_HDIB dib) { return vdk::Chain(dib, "DIB4To24: No dib present!", {DIB4To8, DIB8To24}); }

// The reductions write into their input, so the 24-bit entries hand them a copy.
VDK_HDIB DIB24To1(VDK_HDIB dib) { return vdk::Chain(dib, "DIB24To1: No dib present!", {CopyDIB, _DIB24To1}); }

VDK_HDIB DIB8To1(VDK_HDIB dib) { return vdk::Chain(dib, "DIB8To1: No dib present!", {DIB8To24, _DIB24To1}); }

VDK_HDIB DIB4To1(VDK_HDIB dib) { return vdk::Chain(dib, "DIB4To1: No dib present!", {DIB4To24, _DIB24To1}); }

VDK_HDIB DIB24To4(VDK_HDIB dib) { return vdk::Chain(dib, "DIB24To4: No dib present!", {CopyDIB, _DIB24To4}); }

VDK_HDIB DIB8To4(VDK_HDIB dib) { return vdk::Chain(dib, "DIB8To4: No dib present!", {DIB8To24, _DIB24To4}); }

VDK_HDIB DIB24To8(VDK_HDIB dib, int32_t grey) {
    VDK_BITMAPINFOHEADER h{};
    {
        const LockedBlock block(dib);
        if (!block)
            return vdk::Fail("DIB24to8: No dib present!");
        if (!block.ReadHeader(h) || h.biBitCount != 24)
            return vdk::Fail("DIB24to8: No 24 dib present!");
    }
    if (grey != 0)
        return GrayDIB(dib);
    // 256 colours, median-cut palette, error diffusion.
    return vdk::ReduceColors(dib, 8, 3);
}

}  // extern "C"
