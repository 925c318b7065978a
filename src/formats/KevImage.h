#pragma once

#include "graphics/Bitmap.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace vs {

// Reader of KEV pictures (".kev", ".sfc"): a 275-byte header, up to 8 bytes of version
// extras, then unpadded top-down rows of 8-bit halftone indices, 15- or 16-bit words or
// blue, green, red bytes. Read-only: the program never writes this format.
class TKevImage {
public:
    // Decodes the file into bitmap(). False, with the bitmap left empty, when the file cannot
    // be read, lacks the "KEV-" magic, has a truncated header, a bit depth other than 8, 15,
    // 16 or 24, a negative size, or more pixels than kMaxPixels. Rows that a truncated file
    // does not supply stay zero.
    bool Read(const std::string& fileName);
    // The same from bytes already in memory.
    bool Read(std::span<const std::uint8_t> data);

    const Bitmap& bitmap() const { return bitmap_; }
    Bitmap& bitmap() { return bitmap_; }

    // Header fields, in file order. Only the bitmap is used by callers.
    std::array<char, 5> magic{};
    std::int32_t headerField = 0;
    std::int16_t bitDepth = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::array<std::uint8_t, 256> headerBlock{};
    std::int32_t version = 0;  // 0 to 5 for "A" to "F"; 0 for any other letter
    std::int32_t extraField1 = 0;
    std::int32_t headerLength = 275;
    std::int32_t extraField2 = 0;

private:
    Bitmap bitmap_;
};

}  // namespace vs
