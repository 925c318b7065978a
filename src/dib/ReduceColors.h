// Colour reduction of a 24-bit DIB to an 8-bit DIB with 2^bitsPerPixel palette entries
// (flags: bit 0 error diffusion, bit 1 median-cut palette instead of popularity).
#pragma once

#include "vantor/dibkit.h"

namespace vdk {

VDK_HDIB ReduceColors(VDK_HDIB dib, int bitsPerPixel, int flags);

}  // namespace vdk
