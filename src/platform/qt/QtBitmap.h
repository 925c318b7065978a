#pragma once

#include "graphics/Bitmap.h"

#include <QImage>

namespace vs {

// A 24-bit bitmap as a QImage (a deep copy); a null image for any other format. Header-only,
// so that code needing only Qt Gui (the image-format plugin) can use it.
inline QImage ToQImage(const Bitmap& bitmap) {
    if (bitmap.empty() || bitmap.format() != PixelFormat::Bpp24)
        return {};
    return QImage(bitmap.bits(), bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.stride()),
                  QImage::Format_BGR888)
        .copy();
}

}  // namespace vs
