#pragma once

#include <string>

namespace vs {

// A wave-audio recording device, used in this order: open on a wave file (its format record
// tells what to record), start, stop, save the recording to a file, close. Every step reports
// whether it worked; a realisation never throws.
class WaveRecorder {
public:
    virtual ~WaveRecorder() = default;
    virtual bool open(const std::string& waveFile) = 0;
    virtual bool startRecording() = 0;
    virtual bool stop() = 0;
    // Writes what was recorded as a complete RIFF WAVE file.
    virtual bool save(const std::string& waveFile) = 0;
    virtual void close() = 0;
};

}  // namespace vs
