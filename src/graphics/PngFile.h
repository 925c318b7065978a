#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vs {

// PNG files through libpng. Text chunks are uncompressed tEXt chunks: keywords of 1 to 79
// Latin-1 characters (for example the "Thumb::URI" and "Thumb::MTime" keys that desktop
// thumbnail caches read).
using PngTexts = std::vector<std::pair<std::string, std::string>>;

// An 8-bit RGB PNG of any bitmap (converted to 24 bits first), with the given text chunks.
// Throws ImageError when the bitmap is empty or a keyword is unusable.
std::vector<std::uint8_t> EncodePng(const Bitmap& bitmap, const PngTexts& texts = {});

// Writes EncodePng's bytes to a temporary file beside path, then renames it over path.
// Throws ImageError when writing fails.
void SavePngFile(const Bitmap& bitmap, const std::string& path, const PngTexts& texts = {});

}  // namespace vs
