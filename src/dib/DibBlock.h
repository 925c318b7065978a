// How the toolkit functions hold DIB blocks: locked for the length of a call, checked against
// the block's real size before any pixel is touched.
#pragma once

#include "vantor/dibkit.h"

#include <cstddef>
#include <cstdint>

namespace vdk {

inline constexpr std::int32_t kToolkitPelsPerMeter = 2953;  // 75 dots per inch
inline constexpr std::uint64_t kMaxDibPixels = std::uint64_t{1} << 28;
inline constexpr std::size_t kHeaderSize = 40;

// Locks a block on construction and unlocks it on destruction. A handle that is not live
// gives an empty lock (data() null).
class LockedBlock {
public:
    explicit LockedBlock(VDK_HGLOBAL handle);
    ~LockedBlock();
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;

    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }
    // The header fields, when the block holds at least 40 bytes.
    bool ReadHeader(VDK_BITMAPINFOHEADER& header) const;
    void WriteHeader(const VDK_BITMAPINFOHEADER& header) const;

private:
    VDK_HGLOBAL handle_;
    std::uint8_t* data_;
    std::size_t size_;
};

// A block's own handle, freed on destruction unless released to the caller.
class OwnedBlock {
public:
    explicit OwnedBlock(VDK_HGLOBAL handle = 0) : handle_(handle) {}
    ~OwnedBlock();
    OwnedBlock(const OwnedBlock&) = delete;
    OwnedBlock& operator=(const OwnedBlock&) = delete;

    VDK_HGLOBAL get() const { return handle_; }
    VDK_HGLOBAL release() {
        const VDK_HGLOBAL h = handle_;
        handle_ = 0;
        return h;
    }
    explicit operator bool() const { return handle_ != 0; }

private:
    VDK_HGLOBAL handle_;
};

// The colour-table entry count: biClrUsed when non-zero, else 2, 16 or 256 for 1, 4 or 8
// bits, else none.
std::uint32_t ColorCount(const VDK_BITMAPINFOHEADER& header);

// Bytes per stored row: rows are padded to 4 bytes.
std::uint64_t RowStride(std::int64_t width, unsigned bitCount);

// Where the parts of a DIB lie in its locked block.
struct DibLayout {
    VDK_BITMAPINFOHEADER header{};
    std::uint32_t colors = 0;
    std::size_t stride = 0;
    std::uint8_t* table = nullptr;  // colour table (blue, green, red, 0 per entry)
    std::uint8_t* bits = nullptr;   // bottom row first
    std::size_t imageBytes = 0;     // stride x height
};

// True when the block holds a header with biSize 40, 1, 4, 8, 16, 24 or 32 bits per pixel and
// a positive width and height of at most kMaxDibPixels pixels, followed by its whole colour
// table and all its rows. This is the one rule every toolkit function applies before reading
// pixels.
bool MeasureDib(const LockedBlock& block, DibLayout& layout);

// A new zeroed block of `bytes` bytes, or 0.
VDK_HGLOBAL NewBlock(std::size_t bytes);

// A header for a DIB derived from `source`: size 40, the source's width and height and
// resolutions, planes 1, `bitCount`, uncompressed, image size = height x stride.
VDK_BITMAPINFOHEADER DerivedHeader(const VDK_BITMAPINFOHEADER& source, unsigned bitCount, std::uint32_t colorsUsed,
                                   std::uint32_t colorsImportant);

}  // namespace vdk
