#include "dib/DibBlock.h"

#include <cstring>

namespace vdk {

LockedBlock::LockedBlock(VDK_HGLOBAL handle)
    : handle_(handle),
      data_(handle ? static_cast<std::uint8_t*>(vdk_GlobalLock(handle)) : nullptr),
      size_(data_ ? vdk_GlobalSize(handle) : 0) {}

LockedBlock::~LockedBlock() {
    if (data_)
        vdk_GlobalUnlock(handle_);
}

bool LockedBlock::ReadHeader(VDK_BITMAPINFOHEADER& header) const {
    if (!data_ || size_ < kHeaderSize)
        return false;
    std::memcpy(&header, data_, kHeaderSize);
    return true;
}

void LockedBlock::WriteHeader(const VDK_BITMAPINFOHEADER& header) const {
    if (data_ && size_ >= kHeaderSize)
        std::memcpy(data_, &header, kHeaderSize);
}

OwnedBlock::~OwnedBlock() {
    if (handle_)
        vdk_GlobalFree(handle_);
}

std::uint32_t ColorCount(const VDK_BITMAPINFOHEADER& header) {
    if (header.biClrUsed != 0)
        return header.biClrUsed;
    switch (header.biBitCount) {
        case 1:
            return 2;
        case 4:
            return 16;
        case 8:
            return 256;
        default:
            return 0;
    }
}

std::uint64_t RowStride(std::int64_t width, unsigned bitCount) {
    return (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
}

bool MeasureDib(const LockedBlock& block, DibLayout& layout) {
    if (!block.ReadHeader(layout.header))
        return false;
    const VDK_BITMAPINFOHEADER& h = layout.header;
    if (h.biSize != kHeaderSize || h.biWidth <= 0 || h.biHeight <= 0)
        return false;
    // 16 and 32 bits lie outside the toolkit's own conversions but are valid DIBs without a
    // colour table; any other depth has no layout at all.
    switch (h.biBitCount) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32:
            break;
        default:
            return false;
    }
    const auto width = static_cast<std::uint64_t>(h.biWidth);
    const auto height = static_cast<std::uint64_t>(h.biHeight);
    if (width * height > kMaxDibPixels)
        return false;
    const std::uint64_t stride = RowStride(h.biWidth, h.biBitCount);
    const std::uint32_t colors = ColorCount(h);
    const std::uint64_t tableEnd = kHeaderSize + std::uint64_t{colors} * 4;
    const std::uint64_t image = stride * height;  // at most 2^28 x 2^16 x 4 / 8: no overflow
    if (tableEnd > block.size() || image > block.size() - tableEnd)
        return false;
    layout.colors = colors;
    layout.stride = static_cast<std::size_t>(stride);
    layout.table = block.data() + kHeaderSize;
    layout.bits = block.data() + tableEnd;
    layout.imageBytes = static_cast<std::size_t>(image);
    return true;
}

VDK_HGLOBAL NewBlock(std::size_t bytes) { return vdk_GlobalAlloc(VDK_GHND, bytes); }

VDK_BITMAPINFOHEADER DerivedHeader(const VDK_BITMAPINFOHEADER& source, unsigned bitCount, std::uint32_t colorsUsed,
                                   std::uint32_t colorsImportant) {
    VDK_BITMAPINFOHEADER h{};
    h.biSize = kHeaderSize;
    h.biWidth = source.biWidth;
    h.biHeight = source.biHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<std::uint16_t>(bitCount);
    h.biCompression = VDK_BI_RGB;
    h.biSizeImage = static_cast<std::uint32_t>(RowStride(source.biWidth, bitCount) * static_cast<std::uint64_t>(source.biHeight));
    h.biXPelsPerMeter = source.biXPelsPerMeter;
    h.biYPelsPerMeter = source.biYPelsPerMeter;
    h.biClrUsed = colorsUsed;
    h.biClrImportant = colorsImportant;
    return h;
}

}  // namespace vdk
