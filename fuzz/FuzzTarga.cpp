#include "formats/TargaReader.h"
#include "graphics/Errors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)vs::DecodeTarga({data, size}).toBgr24();
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
