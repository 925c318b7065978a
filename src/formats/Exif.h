#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace vs {

// What a photo's Exif block tells about it. Fields the block does not hold, or holds
// damaged, keep their defaults: a broken block never fails the picture it belongs to.
struct ExifData {
    // 1 = as stored; 2 mirrored left-right; 3 turned 180 degrees; 4 mirrored top-bottom;
    // 5 transposed; 6 turned 90 degrees clockwise; 7 transversed; 8 turned 90 degrees
    // counter-clockwise (the TIFF Orientation values).
    int orientation = 1;
    // The embedded JPEG preview (IFD1), as offset and length inside the TIFF data the block
    // was parsed from; length 0 when there is none or it lies outside the data.
    std::size_t previewOffset = 0;
    std::size_t previewLength = 0;
    std::string cameraMake;
    std::string cameraModel;
    std::string dateTaken;  // "YYYY:MM:DD HH:MM:SS" as the camera wrote it
    // Exposure time as a fraction of seconds (0/0 when absent), f-number times 10, ISO.
    std::uint32_t exposureNumerator = 0;
    std::uint32_t exposureDenominator = 0;
    int fNumberTenths = 0;
    int iso = 0;
};

// Parses TIFF-structured Exif data (starting at the "II*\0" or "MM\0*" header, after the
// "Exif\0\0" prefix of a JPEG APP1 segment). Every offset is checked against the data.
ExifData ParseExifTiff(std::span<const std::uint8_t> tiff);

// Finds the Exif APP1 segment among a JPEG file's markers before the first scan, and parses
// it. The preview offset is then relative to the start of the returned tiff span.
struct JpegExif {
    ExifData data;
    std::span<const std::uint8_t> tiff;  // empty when the file has no Exif block
};
JpegExif FindJpegExif(std::span<const std::uint8_t> jpeg);

// The preview's bytes, or empty when the block names none.
std::span<const std::uint8_t> ExifPreview(const JpegExif& exif);

// Whether the orientation exchanges width and height (values 5 to 8).
inline bool OrientationTransposes(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// "1/250 s, f/2.8, ISO 100": the exposure fields present, or empty.
std::string ExposureText(const ExifData& exif);

}  // namespace vs
