#include "platform/testing/FakePlatform.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"
#include "platform/Wave.h"

namespace vs::fake {

Answer FakePrompts::message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
    messages.push_back({text, caption, buttons, icon});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    case Buttons::AbortRetryIgnore:
        return Answer::Abort;
    case Buttons::Ok:
    case Buttons::OkCancel:
        break;
    }
    return Answer::Ok;
}

std::optional<std::string> FakePrompts::pickFolder(const std::string& caption, const std::string& startFolder) {
    folderCaptions.push_back(caption);
    folderStarts.push_back(startFolder);
    if (folders.empty())
        return std::nullopt;
    auto f = folders.front();
    folders.pop_front();
    return f;
}

std::vector<std::string> FakePrompts::texts() const {
    std::vector<std::string> t;
    for (const auto& m : messages)
        t.push_back(m.text);
    return t;
}

bool FakeWaveRecorder::open(const std::string& waveFile) {
    calls.push_back("open " + waveFile);
    if (failStep == "open")
        return false;
    try {
        const auto format = ReadWavePcmFormat(ReadFileBytes(waveFile));
        if (!format)
            return false;
        sampleRate = format->sampleRate;
        channels = format->channels;
        bitsPerSample = format->bitsPerSample;
        opened_ = true;
        return true;
    } catch (const ImageError&) {
    }
    return false;
}

bool FakeWaveRecorder::startRecording() {
    calls.emplace_back("start");
    return opened_ && failStep != "start";
}

bool FakeWaveRecorder::stop() {
    calls.emplace_back("stop");
    return opened_ && failStep != "stop";
}

bool FakeWaveRecorder::save(const std::string& waveFile) {
    calls.push_back("save " + waveFile);
    if (!opened_ || failStep == "save")
        return false;
    try {
        WriteFileAtomically(waveFile, EncodeWavePcm(samples, sampleRate, channels, bitsPerSample));
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

void FakeWaveRecorder::close() {
    calls.emplace_back("close");
    opened_ = false;
}

bool FakeSoundPlayer::play(const std::string& waveFile) {
    played.push_back(waveFile);
    if (!works)
        return false;
    try {
        return LooksLikeWave(ReadFileBytes(waveFile));
    } catch (const ImageError&) {
        return false;
    }
}

bool FakeWallpaper::setWallpaper(const std::string& file) {
    files.push_back(file);
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(file);
    } catch (const std::exception&) {
        // A missing file is recorded as empty.
    }
    contents.push_back(std::move(bytes));
    return works;
}

}  // namespace vs::fake
