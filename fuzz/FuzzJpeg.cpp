#include "formats/JpegReader.h"
#include "graphics/Errors.h"

#include <cstdint>

// Both decode paths: full size, and the thumbnail path that reduces in the DCT.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        const vs::JpegInfo info = vs::ReadJpegInfo(bytes);
        // Keep each input cheap: a tiny file may claim a huge progressive picture.
        if (std::uint64_t(info.width) * std::uint64_t(info.height) > (std::uint64_t{1} << 22))
            return 0;
        (void)vs::DecodeJpeg(bytes).toBgr24();
        (void)vs::DecodeJpegForCell(bytes, 8, 6, nullptr);
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
