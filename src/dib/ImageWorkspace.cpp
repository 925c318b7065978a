#include "dib/ImageWorkspace.h"

#include <cstring>

namespace vs {

TImageWorkspace::TImageWorkspace()
    : state_(1), counters_{0, 0}, names_(std::make_unique<std::array<NameBuffer, kNameBuffers>>()) {}

// The attached object goes first, then the name buffers, then the lists' elements.
TImageWorkspace::~TImageWorkspace() {
    attached_.reset();
    names_.reset();
    for (List& list : lists_) list.clear();
}

bool TImageWorkspace::CopyBitmap24(const Bitmap& source, Bitmap& destination) const {
    if (source.format() != PixelFormat::Bpp24)
        return false;
    destination.reset(source.width(), source.height(), PixelFormat::Bpp24);
    const std::size_t bytes = static_cast<std::size_t>(source.width()) * 3;
    for (int y = 0; y < source.height(); ++y) std::memcpy(destination.row(y), source.row(y), bytes);
    return true;
}

}  // namespace vs
