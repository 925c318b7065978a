#pragma once

#include <string>

namespace vs {

// Plays a wave file without waiting for its end; a new call replaces the sound playing.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Whether playback started.
    virtual bool play(const std::string& waveFile) = 0;
};

}  // namespace vs
