#include "formats/KevImage.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A truncated KEV file is valid and still gets its full, zeroed picture, so a tiny input
    // can ask for gigabytes. That limit is tested elsewhere; here it would only slow the
    // search down, so leave out pictures above a quarter megapixel.
    if (size >= 19) {
        const auto le32 = [&](std::size_t at) {
            return static_cast<std::int32_t>(data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) |
                                             (std::uint32_t{data[at + 3]} << 24));
        };
        if (std::llabs(static_cast<long long>(le32(11)) * le32(15)) > (1LL << 18))
            return 0;
    }
    vs::TKevImage kev;
    if (kev.Read({data, size}))
        (void)kev.bitmap().toBgr24();
    return 0;
}
