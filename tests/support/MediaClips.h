#pragma once

#include <string>

namespace vs::test {

// Tiny media files made at test time. Each maker writes into folder and returns the file, or
// returns an empty string and puts the reason in why when GStreamer or an encoder is missing.
struct MediaClip {
    std::string path;
    std::string why;
    explicit operator bool() const { return !path.empty(); }
};

// 2 s of 160 x 120 Motion-JPEG video in an AVI file (50 frames at 25 per second).
MediaClip MakeAviClip(const std::string& folder);
// 2 s of 160 x 120 MPEG-2 video in an MPEG program stream.
MediaClip MakeMpegClip(const std::string& folder);
// 1 s of a 440 Hz tone as MP3.
MediaClip MakeMp3Clip(const std::string& folder);
// One half-second piano note as a standard MIDI file (written here; playing it needs
// GStreamer's fluidsynth element and a General MIDI sound font).
MediaClip MakeMidiClip(const std::string& folder);
// 1 s of 8-bit mono PCM at 22050 Hz, written by the program's own wave writer.
MediaClip MakeWaveClip(const std::string& folder);

}  // namespace vs::test
