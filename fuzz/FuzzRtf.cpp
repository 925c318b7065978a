#include "formats/RtfReader.h"
#include "formats/TextCodec.h"
#include "graphics/Errors.h"

#include <cstdint>

// The rich-text reader and the plain-text decoding behind the text view.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    (void)vs::DecodePlainText(bytes);
    try {
        (void)vs::rtf::ReadRtf(bytes).PlainText();
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
