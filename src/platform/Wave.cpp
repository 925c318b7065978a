#include "platform/Wave.h"

#include "graphics/ByteReader.h"
#include "graphics/ByteWriter.h"

#include <algorithm>
#include <cstring>

namespace vs {

namespace {

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(tag[i]));
}

}  // namespace

namespace {

// The 16 bytes of a PCM format record.
void PutPcmFormat(std::vector<std::uint8_t>& out, int sampleRate, int channels, int bitsPerSample) {
    const auto blockAlign = static_cast<unsigned>(channels * ((bitsPerSample + 7) / 8));
    PutLe16(out, 1);  // PCM
    PutLe16(out, static_cast<unsigned>(channels));
    PutLe32(out, static_cast<std::uint32_t>(sampleRate));
    PutLe32(out, static_cast<std::uint32_t>(sampleRate) * blockAlign);
    PutLe16(out, blockAlign);
    PutLe16(out, static_cast<unsigned>(bitsPerSample));
}

}  // namespace

std::vector<std::uint8_t> EncodeEmptyWave(int sampleRate, int channels, int bitsPerSample,
                                          std::uint32_t fmtChunkSize) {
    fmtChunkSize = std::max<std::uint32_t>(fmtChunkSize, 18);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    PutLe32(out, 4 + (8 + fmtChunkSize) + (8 + 4) + 8);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe32(out, fmtChunkSize);
    const std::size_t record = out.size();
    PutPcmFormat(out, sampleRate, channels, bitsPerSample);
    PutLe16(out, 1);  // extra size
    out.resize(record + fmtChunkSize, 0);
    PutTag(out, "fact");
    PutLe32(out, 4);
    PutLe32(out, 0);
    PutTag(out, "data");
    PutLe32(out, 0);
    return out;
}

std::vector<std::uint8_t> EncodeWavePcm(std::span<const std::uint8_t> samples, int sampleRate, int channels,
                                        int bitsPerSample) {
    const auto dataSize = static_cast<std::uint32_t>(samples.size());
    const std::uint32_t pad = dataSize & 1;
    std::vector<std::uint8_t> out;
    out.reserve(44 + samples.size() + pad);
    PutTag(out, "RIFF");
    PutLe32(out, 36 + dataSize + pad);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe32(out, 16);
    PutPcmFormat(out, sampleRate, channels, bitsPerSample);
    PutTag(out, "data");
    PutLe32(out, dataSize);
    out.resize(out.size() + samples.size() + pad, 0);
    if (!samples.empty())
        std::memcpy(out.data() + 44, samples.data(), samples.size());
    return out;
}

bool LooksLikeWave(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kRiff[] = {'R', 'I', 'F', 'F'};
    static constexpr std::uint8_t kWave[] = {'W', 'A', 'V', 'E'};
    return bytes.size() >= 12 && std::equal(kRiff, kRiff + 4, bytes.begin()) &&
           std::equal(kWave, kWave + 4, bytes.begin() + 8);
}

std::optional<WavePcmFormat> ReadWavePcmFormat(std::span<const std::uint8_t> bytes) {
    if (!LooksLikeWave(bytes))
        return std::nullopt;
    try {
        ByteReader r(bytes, "wave");
        r.seek(12);
        while (!r.atEnd()) {
            const auto tag = r.bytes(4);
            const std::uint32_t size = r.u32le();
            if (std::memcmp(tag.data(), "fmt ", 4) != 0) {
                r.skip(std::size_t{size} + (size & 1));
                continue;
            }
            if (size < 16 || r.u16le() != 1)
                return std::nullopt;
            WavePcmFormat f;
            f.channels = r.u16le();
            f.sampleRate = static_cast<int>(std::min<std::uint32_t>(r.u32le(), 1u << 30));
            r.skip(6);
            f.bitsPerSample = r.u16le();
            if ((f.channels != 1 && f.channels != 2) || (f.bitsPerSample != 8 && f.bitsPerSample != 16) ||
                f.sampleRate < 1000 || f.sampleRate > 192000)
                return std::nullopt;
            return f;
        }
    } catch (const DecodeError&) {
    }
    return std::nullopt;
}

}  // namespace vs
