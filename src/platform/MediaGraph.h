#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vs {

// A rectangle in the video host's client coordinates: left, top, right, bottom.
struct VideoRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const VideoRect&, const VideoRect&) = default;
};

struct VideoSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const VideoSize&, const VideoSize&) = default;
};

// A media file rendered for playback: a transport, a position and rate, and a video window
// drawn inside the host the graph was made for. A graph offers its parts as the platform
// can; the media view skips every operation whose part is missing. Everything runs on the
// user-interface thread; nothing throws.
class MediaGraph {
public:
    virtual ~MediaGraph() = default;

    // The parts offered.
    virtual bool HasControl() const = 0;      // run, pause, stop
    virtual bool HasPosition() const = 0;     // duration, position, rate
    virtual bool HasVideoWindow() const = 0;  // the window the video is drawn in
    virtual bool HasBasicVideo() const = 0;   // the native video size

    // Prepares the file so that the graph can run; false when it cannot be played.
    virtual bool RenderFile(const std::string& path) = 0;

    virtual void Run() = 0;
    virtual void Pause() = 0;
    virtual void Stop() = 0;

    // Seconds; none when the service cannot tell (yet).
    virtual std::optional<double> Duration() = 0;
    virtual std::optional<double> CurrentPosition() = 0;
    // Playback continues from there.
    virtual void SetCurrentPosition(double seconds) = 0;
    virtual void SetRate(double rate) = 0;
    virtual std::optional<double> Rate() = 0;

    // The stream's own picture size; none when nothing is reported (audio, or not known yet).
    virtual std::optional<VideoSize> NativeVideoSize() = 0;
    // Whether the file has a picture to show at all.
    virtual bool HasVideo() = 0;

    // Makes the video window a child of the host, places it, shows it and lets it show itself
    // whenever the stream draws.
    virtual void ShowVideoWindow(const VideoRect& rect) = 0;
    virtual void SetVideoWindowPosition(const VideoRect& rect) = 0;

    // Called when something learnt only while playing changes: the duration, the video size,
    // whether there is video. Qt's player learns the size of some streams with the first frame.
    virtual void SetChangeHandler(std::function<void()> handler) = 0;
};

// Makes media graphs.
class MediaGraphFactory {
public:
    virtual ~MediaGraphFactory() = default;
    // A new graph, or null when the service cannot make one.
    virtual std::unique_ptr<MediaGraph> CreateGraph() = 0;
};

}  // namespace vs
