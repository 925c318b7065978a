#pragma once

#include "graphics/Bitmap.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vs::test {

// Makes a picture file with ImageMagick: convert SOURCE-ARGS OPTIONS OUTPUT.
void MakeWithMagick(const std::string& source, const std::string& options, const std::string& output);

// A fixed, busy 8-bit sRGB test picture of the given size, written as PNG.
std::string MakeSourcePng(const TempDir& dir, int width, int height);

// ImageMagick's decode turned upright: it keeps a Targa file's rows in file order and only
// notes the origin, which -auto-orient applies.
RgbImage MagickDecodeOriented(const std::string& path);

// Pixel-for-pixel comparison; reports the first differing pixel and how many differ.
::testing::AssertionResult SameRgb(const RgbImage& expected, const RgbImage& actual);
// The same, where every channel may differ by at most tolerance.
::testing::AssertionResult NearRgb(const RgbImage& expected, const RgbImage& actual, int tolerance);

// Every channel cut to its top bits: compares pictures whose source had fewer bits per
// channel when two decoders widen them differently (bit replication or a plain shift).
RgbImage TopBits(RgbImage image, int bits);

// djpeg's decode of a JPEG (islow IDCT and fancy upsampling, its defaults) at 1/scale.
RgbImage DjpegDecode(const std::string& path, int scaleDenom = 1);

// Every prefix length worth trying on a file: inside each header field and in the data.
std::vector<std::size_t> TruncationPoints(std::size_t size);

}  // namespace vs::test
