#include "platform/qt/QtAudio.h"

#include "graphics/Errors.h"
#include "graphics/FileIo.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSource>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

#include <span>

namespace vs {

QtWaveRecorder::QtWaveRecorder() = default;

QtWaveRecorder::~QtWaveRecorder() {
    close();
}

bool QtWaveRecorder::open(const std::string& waveFile) {
    close();
    try {
        const auto format = ReadWavePcmFormat(ReadFileBytes(waveFile));
        if (!format)
            return false;
        format_ = *format;
    } catch (const ImageError&) {
        return false;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        return false;
    QAudioFormat wanted;
    wanted.setSampleRate(format_.sampleRate);
    wanted.setChannelCount(format_.channels);
    wanted.setSampleFormat(format_.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    if (!device.isFormatSupported(wanted))
        return false;
    source_ = std::make_unique<QAudioSource>(device, wanted);
    return true;
}

bool QtWaveRecorder::startRecording() {
    if (!source_)
        return false;
    buffer_.close();
    buffer_.setData(QByteArray());
    if (!buffer_.open(QIODevice::WriteOnly))
        return false;
    source_->start(&buffer_);
    if (source_->error() != QAudio::NoError) {
        source_->stop();
        return false;
    }
    return true;
}

bool QtWaveRecorder::stop() {
    if (!source_)
        return false;
    source_->stop();
    return true;
}

bool QtWaveRecorder::save(const std::string& waveFile) {
    if (!source_)
        return false;
    const QByteArray& data = buffer_.data();
    // Whole sample frames only.
    const int frame = format_.channels * (format_.bitsPerSample / 8);
    const auto usable = static_cast<std::size_t>(data.size() - data.size() % frame);
    try {
        const std::span<const std::uint8_t> samples(reinterpret_cast<const std::uint8_t*>(data.constData()), usable);
        WriteFileAtomically(waveFile,
                            EncodeWavePcm(samples, format_.sampleRate, format_.channels, format_.bitsPerSample));
        return true;
    } catch (const ImageError&) {
        return false;
    }
}

void QtWaveRecorder::close() {
    if (source_)
        source_->stop();
    source_.reset();
    buffer_.close();
    buffer_.setData(QByteArray());
}

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() {
    if (player_)
        player_->stop();
}

bool QtSoundPlayer::play(const std::string& waveFile) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return false;
    if (!player_) {
        output_ = std::make_unique<QAudioOutput>();
        player_ = std::make_unique<QMediaPlayer>();
        player_->setAudioOutput(output_.get());
    }
    output_->setDevice(device);
    player_->stop();
    // A rewritten sound keeps its name: clearing the source first makes the player open the
    // new file instead of replaying the one it has loaded.
    player_->setSource(QUrl());
    player_->setSource(QUrl::fromLocalFile(QString::fromStdString(waveFile)));
    player_->play();
    return player_->error() == QMediaPlayer::NoError;
}

}  // namespace vs
