#include "formats/KevImage.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vs::TKevImage kev;
    if (kev.Read({data, size}))
        (void)kev.bitmap().toBgr24();
    return 0;
}
