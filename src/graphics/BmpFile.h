#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vs {

// Windows BMP files: 12-byte core, 40-byte info, 52/56-byte, V4 and V5 headers; 1, 2, 4, 8,
// 16, 24 and 32 bits; uncompressed, RLE4, RLE8 and bit-field masks; bottom-up and top-down.
// 1-, 4- and 8-bit files keep their palette (2-bit ones become 4-bit); 16-bit files become 15- or 16-bit bitmaps, and
// 32-bit files 32-bit ones, when their masks are the usual ones; other masks give 24 bits.
// Throws DecodeError on invalid or truncated data.
Bitmap DecodeBmp(std::span<const std::uint8_t> data);

// Throws OpenError when the file cannot be read, DecodeError when it is not a valid BMP.
Bitmap LoadBmpFile(const std::string& path);

// A BMP whose pixel data is a whole JPEG or PNG stream (compression 4 or 5 of the info
// headers, as printers and some cameras write): which, and the stream. DecodeBmp refuses
// such files; a caller with those readers decodes the stream instead.
struct BmpEmbedded {
    enum Kind { None, Jpeg, Png } kind = None;
    std::span<const std::uint8_t> stream;
};
BmpEmbedded FindBmpEmbeddedStream(std::span<const std::uint8_t> data);

// A bottom-up BMP with a 40-byte header: 1-, 4- and 8-bit bitmaps with their palette,
// every other format as 24 bits per pixel.
std::vector<std::uint8_t> EncodeBmp(const Bitmap& bitmap);

// Writes EncodeBmp's bytes to a temporary file beside path, then renames it over path, so a
// failure never leaves half a file. Throws ImageError when writing fails.
void SaveBmpFile(const Bitmap& bitmap, const std::string& path);

}  // namespace vs
