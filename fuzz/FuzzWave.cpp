// The wave format record a recording device reads from the file it is opened on.

#include "platform/Wave.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (const auto format = vs::ReadWavePcmFormat({data, size}))
        (void)(format->sampleRate + format->channels + format->bitsPerSample);
    return 0;
}
