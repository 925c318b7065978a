#include "graphics/BmpFile.h"
#include "graphics/Errors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const vs::Bitmap bmp = vs::DecodeBmp({data, size});
        // Exercise the conversions and the writer on whatever decoded.
        const vs::Bitmap bgr = bmp.toBgr24();
        (void)vs::EncodeBmp(bmp);
        (void)bgr;
    } catch (const vs::ImageError&) {
    }
    return 0;
}
