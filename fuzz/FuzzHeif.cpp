#include "formats/ModernReaders.h"
#include "graphics/Errors.h"

#include <cstdint>

// Some damaged AV1 streams make the system's dav1d decoder (inside libheif) lose 40 bytes;
// that is the library's leak, not ours, and must not stop the search.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdav1d.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        (void)vs::DecodeHeif(std::span<const std::uint8_t>(data, size));
    } catch (const vs::DecodeError&) {
    }
    // The thumbnail path: stored thumbnail images are looked at before the primary one.
    try {
        int w = 0, h = 0;
        (void)vs::DecodeHeifForCell(std::span<const std::uint8_t>(data, size), 16, 12, &w, &h);
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
