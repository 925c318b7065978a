#include "graphics/BmpFile.h"
#include "graphics/Errors.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Run-length data can legally describe a huge picture in a few bytes; the size limit is
    // tested elsewhere, and here large pictures would only slow the search down.
    if (size >= 26) {
        const bool core = data[14] == 12;
        const auto le = [&](std::size_t at, int bytes) {
            std::int64_t v = 0;
            for (int i = bytes - 1; i >= 0; --i)
                v = (v << 8) | data[at + static_cast<std::size_t>(i)];
            return bytes == 2 ? static_cast<std::int16_t>(v) : static_cast<std::int32_t>(v);
        };
        const std::int64_t w = core ? le(18, 2) : le(18, 4);
        const std::int64_t h = core ? le(20, 2) : le(22, 4);
        if (std::llabs(w * h) > (1LL << 18))
            return 0;
    }
    try {
        const vs::Bitmap bmp = vs::DecodeBmp({data, size});
        // Exercise the conversion and the writer on whatever decoded.
        (void)bmp.toBgr24();
        (void)vs::EncodeBmp(bmp);
    } catch (const vs::ImageError&) {
    }
    return 0;
}
