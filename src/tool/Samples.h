#pragma once

#include "graphics/Bitmap.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vs {

// The demo library a new user starts with: pictures of every kind the program reads, drawn
// here, an album with pages and a sound, text, rich text, a web page and a short sound.
enum class Scene { Landscape, Rings, Tiles, Stripes, Night };

// A 24-bit picture of a scene; the same arguments always give the same pixels.
Bitmap SamplePicture(Scene scene, int width, int height);

// Encoders for the sample files; all take 24-bit bitmaps.
std::vector<std::uint8_t> EncodeTarga(const Bitmap& bitmap);
std::vector<std::uint8_t> EncodePcx(const Bitmap& bitmap);
std::vector<std::uint8_t> EncodePhotoshop(const Bitmap& bitmap);
std::vector<std::uint8_t> EncodeKev(const Bitmap& bitmap);
std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality);
// Pages as 24-bit records; sound is a whole wave file, or empty for none.
std::vector<std::uint8_t> EncodeAlbum(const std::vector<Bitmap>& pages, const std::vector<std::uint8_t>& sound);
// 8-bit mono PCM at 22050 Hz: a short chime of the given length.
std::vector<std::uint8_t> ChimeWave(int milliseconds);
// Writes a TIFF (LZW, RGB). Throws ImageError when it cannot.
void SaveTiff(const Bitmap& bitmap, const std::string& path);

// Writes the demo library into folder (made with its parents); the paths written, relative
// to folder. Throws ImageError when a file cannot be written.
std::vector<std::string> WriteSampleLibrary(const std::string& folder);

}  // namespace vs
