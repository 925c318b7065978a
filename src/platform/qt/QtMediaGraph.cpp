#include "platform/qt/QtMediaGraph.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoSink>
#include <QVideoWidget>
#include <QWidget>

namespace vs {

namespace {

class QtMediaGraph : public MediaGraph {
public:
    explicit QtMediaGraph(QWidget* host) : host_(host) {
        player_.setAudioOutput(&audio_);
        if (host_) {
            video_ = new QVideoWidget(host_);
            video_->setObjectName("VideoWindow");
            video_->hide();
            player_.setVideoOutput(video_.data());
            // Queued: the sink emits while it holds its own lock, and a handler asks it for
            // the size.
            QObject::connect(
                video_->videoSink(), &QVideoSink::videoSizeChanged, &player_, [this] { Changed(); },
                Qt::QueuedConnection);
        }
        QObject::connect(
            &player_, &QMediaPlayer::durationChanged, &player_, [this] { Changed(); }, Qt::QueuedConnection);
        QObject::connect(
            &player_, &QMediaPlayer::metaDataChanged, &player_, [this] { Changed(); }, Qt::QueuedConnection);
        QObject::connect(
            &player_, &QMediaPlayer::mediaStatusChanged, &player_, [this] { Changed(); }, Qt::QueuedConnection);
        QObject::connect(
            &player_, &QMediaPlayer::hasVideoChanged, &player_, [this] { Changed(); }, Qt::QueuedConnection);
    }

    ~QtMediaGraph() override {
        handler_ = nullptr;
        player_.stop();
        player_.setVideoOutput(static_cast<QObject*>(nullptr));
        delete video_.data();
    }

    bool HasControl() const override { return true; }
    bool HasPosition() const override { return true; }
    bool HasVideoWindow() const override { return !video_.isNull(); }
    bool HasBasicVideo() const override { return true; }

    bool RenderFile(const std::string& path) override {
        player_.setSource(QUrl::fromLocalFile(QString::fromStdString(path)));
        // Rendering a file is synchronous for the media view: wait, without taking user input,
        // until the player knows the file or gives up on it.
        if (Loading()) {
            QEventLoop loop;
            QObject::connect(&player_, &QMediaPlayer::mediaStatusChanged, &loop, [&] {
                if (!Loading())
                    loop.quit();
            });
            QObject::connect(&player_, &QMediaPlayer::errorOccurred, &loop, &QEventLoop::quit);
            QTimer::singleShot(QtMediaGraphFactory::kLoadTimeoutMs, &loop, &QEventLoop::quit);
            if (Loading())
                loop.exec(QEventLoop::ExcludeUserInputEvents);
        }
        return player_.error() == QMediaPlayer::NoError && player_.mediaStatus() != QMediaPlayer::InvalidMedia;
    }

    void Run() override { player_.play(); }
    void Pause() override { player_.pause(); }
    void Stop() override { player_.stop(); }

    std::optional<double> Duration() override {
        qint64 ms = player_.duration();
        // A stream that never told its length has shown it by playing to its end.
        if (ms <= 0 && player_.mediaStatus() == QMediaPlayer::EndOfMedia)
            ms = player_.position();
        if (ms <= 0)
            return std::nullopt;
        return static_cast<double>(ms) / 1000.0;
    }

    std::optional<double> CurrentPosition() override {
        if (player_.error() != QMediaPlayer::NoError)
            return std::nullopt;
        // At its end the stream rests exactly at its duration, whatever position the player
        // last reported, so the media view can tell that it ended.
        if (player_.mediaStatus() == QMediaPlayer::EndOfMedia)
            return Duration();
        return static_cast<double>(player_.position()) / 1000.0;
    }

    void SetCurrentPosition(double seconds) override { player_.setPosition(static_cast<qint64>(seconds * 1000.0)); }
    void SetRate(double rate) override { player_.setPlaybackRate(rate); }
    std::optional<double> Rate() override { return player_.playbackRate(); }

    std::optional<VideoSize> NativeVideoSize() override {
        QSize size;
        if (video_)
            size = video_->videoSink()->videoSize();
        if (size.isEmpty())
            size = player_.metaData().value(QMediaMetaData::Resolution).toSize();
        if (size.isEmpty())
            return std::nullopt;
        return VideoSize{size.width(), size.height()};
    }

    bool HasVideo() override { return player_.hasVideo(); }

    void ShowVideoWindow(const VideoRect& rect) override {
        if (!video_)
            return;
        SetVideoWindowPosition(rect);
        video_->show();
    }

    void SetVideoWindowPosition(const VideoRect& rect) override {
        if (video_)
            video_->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }

    void SetChangeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    bool Loading() const {
        const auto status = player_.mediaStatus();
        return status == QMediaPlayer::LoadingMedia || status == QMediaPlayer::NoMedia;
    }
    void Changed() {
        if (handler_)
            handler_();
    }

    QPointer<QWidget> host_;
    QMediaPlayer player_;
    QAudioOutput audio_;
    QPointer<QVideoWidget> video_;
    std::function<void()> handler_;
};

}  // namespace

std::unique_ptr<MediaGraph> QtMediaGraphFactory::CreateGraph() {
    return std::make_unique<QtMediaGraph>(host_);
}

}  // namespace vs
