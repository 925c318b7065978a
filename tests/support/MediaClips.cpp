#include "support/MediaClips.h"

#include "platform/Wave.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace vs::test {

namespace {

// The GStreamer elements a pipeline needs that this machine lacks, space-separated.
std::string MissingElements(const std::vector<std::string>& elements) {
    if (Run("command -v gst-launch-1.0").exitCode != 0)
        return "gst-launch-1.0";
    std::string missing;
    for (const auto& e : elements)
        if (Run("gst-inspect-1.0 --exists " + e).exitCode != 0)
            missing += (missing.empty() ? "" : " ") + e;
    return missing;
}

MediaClip Launch(const std::string& pipeline, const std::vector<std::string>& elements, const std::string& file) {
    if (const std::string missing = MissingElements(elements); !missing.empty())
        return {"", "GStreamer element(s) missing: " + missing};
    const CommandResult r = Run("gst-launch-1.0 -q " + pipeline + " ! filesink location=" + Quote(file));
    if (r.exitCode != 0)
        return {"", "gst-launch-1.0 failed: " + r.err};
    return {file, ""};
}

}  // namespace

MediaClip MakeAviClip(const std::string& folder) {
    return Launch(
        "videotestsrc num-buffers=50 ! video/x-raw,width=160,height=120,framerate=25/1 ! "
        "jpegenc quality=30 ! avimux",
        {"videotestsrc", "jpegenc", "avimux"}, folder + "/clip.avi");
}

MediaClip MakeMpegClip(const std::string& folder) {
    return Launch(
        "videotestsrc num-buffers=50 ! video/x-raw,format=I420,width=160,height=120,framerate=25/1 ! "
        "mpeg2enc ! mpegpsmux",
        {"videotestsrc", "mpeg2enc", "mpegpsmux"}, folder + "/clip.mpg");
}

MediaClip MakeMp3Clip(const std::string& folder) {
    return Launch(
        "audiotestsrc num-buffers=22 samplesperbuffer=1024 ! audio/x-raw,rate=22050,channels=1 ! "
        "lamemp3enc",
        {"audiotestsrc", "lamemp3enc"}, folder + "/clip.mp3");
}

MediaClip MakeMidiClip(const std::string& folder) {
    if (const std::string missing = MissingElements({"midiparse", "fluiddec"}); !missing.empty())
        return {"", "GStreamer element(s) missing: " + missing};
    // Format 0, 480 ticks per quarter note at the default 120 beats per minute: program 0,
    // note on, 480 ticks (0x83 0x60), note off, end of track.
    const std::vector<std::uint8_t> track = {0x00, 0xC0, 0x00, 0x00, 0x90, 0x3C, 0x64, 0x83,
                                             0x60, 0x80, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    std::vector<std::uint8_t> bytes = {
        'M', 'T',  'h',  'd', 0,   0,   0,   6, 0, 0, 0,
        1,   0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<std::uint8_t>(track.size())};
    for (std::uint8_t b : track) bytes.push_back(b);
    const std::string file = folder + "/clip.mid";
    WriteBytes(file, bytes);
    return {file, ""};
}

MediaClip MakeWaveClip(const std::string& folder) {
    std::vector<std::uint8_t> samples(22050);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(128 + 100 * std::sin(2 * M_PI * 440 * static_cast<double>(i) / 22050));
    const std::string file = folder + "/clip.wav";
    WriteBytes(file, EncodeWavePcm(samples, 22050, 1, 8));
    return {file, ""};
}

}  // namespace vs::test
