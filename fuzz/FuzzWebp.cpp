#include "formats/ModernReaders.h"
#include "graphics/Errors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)vs::DecodeWebp(std::span<const std::uint8_t>(data, size));
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
