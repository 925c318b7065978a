#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>

namespace vs {

// ZSoft Paintbrush (".pcx", ".pcc", ".scr"), versions 0 to 5, run-length encoded or plain:
// 1-bit, 2-bit and 4-bit pictures in one or several bit planes coloured by the 16-entry
// header palette (a 1-bit single-plane picture is black and white), 8-bit pictures with the
// 256-colour palette at the end of the file (grey when the file has none), and 24-bit (or
// 32-bit) pictures stored as three (four) byte planes per row. Rows are bytes-per-line long
// per plane; the padding is dropped. Throws DecodeError on anything invalid or truncated.
Bitmap DecodePcx(std::span<const std::uint8_t> data);

}  // namespace vs
