#pragma once

#include "vantor/dibkit.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vs::dibtest {

// Collects every toolkit message while it lives, instead of printing them.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<std::string> texts;
    // The texts so far, then forgets them.
    std::vector<std::string> Take();
};

// A DIB handle freed when the test is done with it.
class Dib {
public:
    explicit Dib(VDK_HDIB handle = 0) : handle_(handle) {}
    ~Dib();
    Dib(Dib&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    VDK_HDIB get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }

private:
    VDK_HDIB handle_;
};

using Rgb = std::array<std::uint8_t, 3>;  // red, green, blue

// A block with a 40-byte header (resolutions 1234 x 4321), `table` as its colour table,
// biClrUsed = clrUsed (-1: the table's size), zeroed rows and `extra` bytes after them.
VDK_HDIB MakeDib(int width, int height, int bits, const std::vector<Rgb>& table = {}, std::int64_t clrUsed = -1,
                 std::size_t extra = 0);

// Reading and writing DIB blocks the way an outside caller would, independent of the
// toolkit's own helpers. Rows are stored rows (0 = bottom).
VDK_BITMAPINFOHEADER Header(VDK_HDIB dib);
void SetHeader(VDK_HDIB dib, const VDK_BITMAPINFOHEADER& header);
std::vector<std::uint8_t> Bytes(VDK_HDIB dib);
std::size_t BitsOffset(const VDK_BITMAPINFOHEADER& header);
std::size_t Stride(const VDK_BITMAPINFOHEADER& header);
// Index for 1-, 4- and 8-bit DIBs, 0xRRGGBB for 24-bit ones.
std::uint32_t Pixel(VDK_HDIB dib, int x, int row);
void SetPixel(VDK_HDIB dib, int x, int row, std::uint32_t value);
Rgb TableEntry(VDK_HDIB dib, int index);
// Every pixel filled from a seeded generator (indexes below 2^bits, or any 24-bit colour).
void FillRandom(VDK_HDIB dib, unsigned seed);
std::uint32_t LockCount(VDK_HGLOBAL block);

// Live objects of the layer, to check that a call frees what it made.
struct Census {
    std::uint32_t blocks, bitmaps, palettes, dcs;
    static Census Now();
    bool operator==(const Census&) const = default;
};

}  // namespace vs::dibtest
