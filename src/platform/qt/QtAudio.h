#pragma once

#include "platform/SoundPlayer.h"
#include "platform/Wave.h"
#include "platform/WaveRecorder.h"

#include <QBuffer>

#include <memory>

class QAudioOutput;
class QAudioSource;
class QMediaPlayer;

namespace vs {

// Records from the default audio input with QAudioSource in the format of the wave file it is
// opened on (8-bit mono 22050 Hz for albums), into memory until saved as a wave file. Without
// an input device open fails at once.
class QtWaveRecorder : public WaveRecorder {
public:
    QtWaveRecorder();
    ~QtWaveRecorder() override;

    bool open(const std::string& waveFile) override;
    bool startRecording() override;
    bool stop() override;
    bool save(const std::string& waveFile) override;
    void close() override;

private:
    std::unique_ptr<QAudioSource> source_;
    QBuffer buffer_;
    WavePcmFormat format_;
};

// Plays a wave file on the default audio output through QMediaPlayer, without waiting. Without
// an output device nothing plays and play reports false (QSoundEffect would claim to play
// forever there).
class QtSoundPlayer : public SoundPlayer {
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;

    bool play(const std::string& waveFile) override;

private:
    std::unique_ptr<QAudioOutput> output_;
    std::unique_ptr<QMediaPlayer> player_;
};

}  // namespace vs
