#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vs {

// A canonical RIFF WAVE file of PCM samples: a 16-byte "fmt " record and one "data" chunk
// (padded to an even length, as RIFF wants).
std::vector<std::uint8_t> EncodeWavePcm(std::span<const std::uint8_t> samples, int sampleRate, int channels,
                                        int bitsPerSample);

// A wave file with no samples that tells a recording device what to record: a PCM format
// record (with an extra-size field of 1) in a "fmt " chunk of fmtChunkSize bytes (at least
// 18; the bytes beyond the record are zero), a "fact" chunk holding 0, and an empty "data"
// chunk.
std::vector<std::uint8_t> EncodeEmptyWave(int sampleRate, int channels, int bitsPerSample,
                                          std::uint32_t fmtChunkSize);

// True when bytes start like a RIFF WAVE file.
bool LooksLikeWave(std::span<const std::uint8_t> bytes);

// The format record of a PCM wave file: what a recording device reads from the file it is
// opened on.
struct WavePcmFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
};

// The "fmt " chunk of a wave file when it holds a PCM record of a sensible shape (1 or 2
// channels, 8 or 16 bits, a rate from 1000 to 192000); nullopt for anything else. Reads only
// inside bytes, whatever the chunk lengths claim.
std::optional<WavePcmFormat> ReadWavePcmFormat(std::span<const std::uint8_t> bytes);

}  // namespace vs
