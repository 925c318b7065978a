#include "formats/Exif.h"

#include <cstdint>

// Exif blocks are often damaged: whatever the bytes, parsing must stay inside them.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const vs::JpegExif exif = vs::FindJpegExif(bytes);
    const auto preview = vs::ExifPreview(exif);
    if (!preview.empty() && (preview.data() < data || preview.data() + preview.size() > data + size))
        __builtin_trap();
    (void)vs::ExposureText(exif.data);
    (void)vs::ExposureText(vs::ParseExifTiff(bytes));
    return 0;
}
