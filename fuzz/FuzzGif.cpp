#include "formats/Animation.h"
#include "formats/ModernReaders.h"
#include "graphics/Errors.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    try {
        (void)vs::DecodeGif(bytes);
    } catch (const vs::DecodeError&) {
    }
    // The frames too, twice round as the viewer loops them, within a small budget.
    try {
        const auto decoder = vs::OpenGifAnimation(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        (void)vs::DecodeFrames(*decoder, std::size_t{64} << 20, 64);
        decoder->Rewind();
        (void)vs::DecodeFrames(*decoder, std::size_t{64} << 20, 64);
    } catch (const vs::DecodeError&) {
    }
    return 0;
}
