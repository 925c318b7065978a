#include "formats/TiffReader.h"
#include "graphics/Errors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)vs::DecodeTiff({data, size}, std::uint64_t{1} << 22);
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
