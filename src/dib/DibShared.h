// Helpers the toolkit's units share: messages, new DIB blocks and the three-neighbour error
// diffusion of the 24-bit reductions.
#pragma once

#include "dib/DibBlock.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vdk {

// Shows `text` and gives the null handle.
VDK_HDIB Fail(const char* text);

bool IsLive(VDK_HGLOBAL handle);

// A new DIB block with `header`, a colour table of header.biClrUsed entries and the rows,
// locked for writing. Empty when the block cannot be had.
struct NewDib {
    OwnedBlock handle;
    std::unique_ptr<LockedBlock> block;
    DibLayout layout;

    NewDib(const VDK_BITMAPINFOHEADER& header, std::size_t bytes);
    explicit operator bool() const { return static_cast<bool>(handle); }
    VDK_HDIB Release();
};

// Header, colour table (biClrUsed entries) and image bytes (biSizeImage).
std::size_t BlockBytes(const VDK_BITMAPINFOHEADER& h);

std::uint8_t AddClamped(std::uint8_t value, int delta);

// Spreads the error between a 24-bit pixel and the colour chosen for it (blue, green, red):
// 3/8 to the right, 3/8 to the same column of the next stored row, 1/4 to that row's right
// neighbour; divisions truncate toward zero, sums are clamped.
void DiffuseError(const DibLayout& dib, std::size_t row, std::size_t x, const std::uint8_t chosen[3]);

}  // namespace vdk
