#pragma once

// Scriptable stand-ins for the platform services, for tests: nothing blocks, nothing needs a
// display or a sound card, and every request is recorded.

#include "platform/Mounts.h"
#include "platform/Prompts.h"
#include "platform/SoundPlayer.h"
#include "platform/Wallpaper.h"
#include "platform/WaveRecorder.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace vs::fake {

struct PromptRecord {
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
};

class FakePrompts : public Prompts {
public:
    // Answers given in turn; when none is left, the box's first button (Ok, Yes, Retry, Abort).
    std::deque<Answer> answers;
    // Folders picked in turn; when none is left, the picker is cancelled.
    std::deque<std::optional<std::string>> folders;

    std::vector<PromptRecord> messages;
    std::vector<std::string> folderCaptions;
    std::vector<std::string> folderStarts;  // the folder each picker opened at

    Answer message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;
    std::optional<std::string> pickFolder(const std::string& caption, const std::string& startFolder) override;

    // The texts shown so far, in order.
    std::vector<std::string> texts() const;
};

// Records the calls as "open FILE", "start", "stop", "save FILE", "close". open reads the
// format record of the wave file it is given, as a device would, and fails on a file that is
// not PCM wave; save writes `samples` as a wave file of that format.
class FakeWaveRecorder : public WaveRecorder {
public:
    std::vector<std::uint8_t> samples;
    // A step name ("open", "start", "stop", "save") that reports failure.
    std::string failStep;

    std::vector<std::string> calls;
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;

    bool open(const std::string& waveFile) override;
    bool startRecording() override;
    bool stop() override;
    bool save(const std::string& waveFile) override;
    void close() override;

private:
    bool opened_ = false;
};

// Records the files it is asked to play; playback "starts" when `works` is set and the file
// is a wave file.
class FakeSoundPlayer : public SoundPlayer {
public:
    bool works = true;
    std::vector<std::string> played;

    bool play(const std::string& waveFile) override;
};

// Records the files handed to the desktop; answers `works`. Keeps a copy of each file's
// bytes as they were at the call, so a test sees what the desktop would have shown.
class FakeWallpaper : public Wallpaper {
public:
    bool works = true;
    std::vector<std::string> files;
    std::vector<std::vector<std::uint8_t>> contents;

    bool setWallpaper(const std::string& file) override;
};

// A mount table the test writes; Mounts() returns it as it is at each call.
class FakeMountList : public MountList {
public:
    std::vector<MountInfo> mounts;
    std::vector<MountInfo> Mounts() override { return mounts; }
};

}  // namespace vs::fake
