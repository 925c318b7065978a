#pragma once

// A media graph with a clock the test turns by hand: nothing plays, nothing needs a sound
// card, and every request is recorded.

#include "platform/MediaGraph.h"

#include <string>
#include <vector>

namespace vs::fake {

class FakeMediaGraphFactory;

// What a new fake graph is like; the factory copies it into every graph it makes.
struct FakeMediaSetup {
    bool control = true;
    bool position = true;
    bool videoWindow = true;
    bool basicVideo = true;
    bool renders = true;                    // RenderFile's answer
    std::optional<double> duration = 10.0;  // none: the service cannot tell
    std::optional<VideoSize> videoSize = VideoSize{640, 480};
};

class FakeMediaGraph : public MediaGraph {
public:
    enum class State { Stopped, Paused, Running };

    FakeMediaGraph(FakeMediaGraphFactory* factory, FakeMediaSetup setup);
    ~FakeMediaGraph() override;

    FakeMediaSetup setup;
    State state = State::Stopped;
    double position = 0;
    double rate = 1.0;
    std::string file;
    bool windowShown = false;
    std::optional<VideoRect> windowRect;
    // "render FILE", "run", "pause", "stop", "seek S", "rate R", in order.
    std::vector<std::string> calls;

    // Moves the clock on: while running the position advances by seconds x rate and comes to
    // rest exactly at the duration, as a stream does at its end.
    void Advance(double seconds);
    // Calls the change handler, as the platform does when it learns the video size late.
    void NotifyChange();
    // How many times the position was set (seeks).
    int Seeks() const;

    bool HasControl() const override { return setup.control; }
    bool HasPosition() const override { return setup.position; }
    bool HasVideoWindow() const override { return setup.videoWindow; }
    bool HasBasicVideo() const override { return setup.basicVideo; }
    bool RenderFile(const std::string& path) override;
    void Run() override;
    void Pause() override;
    void Stop() override;
    std::optional<double> Duration() override { return setup.duration; }
    std::optional<double> CurrentPosition() override;
    void SetCurrentPosition(double seconds) override;
    void SetRate(double newRate) override;
    std::optional<double> Rate() override { return rate; }
    std::optional<VideoSize> NativeVideoSize() override { return setup.videoSize; }
    bool HasVideo() override { return setup.videoSize.has_value(); }
    void ShowVideoWindow(const VideoRect& rect) override;
    void SetVideoWindowPosition(const VideoRect& rect) override;
    void SetChangeHandler(std::function<void()> handler) override { handler_ = std::move(handler); }

private:
    FakeMediaGraphFactory* factory_;
    std::function<void()> handler_;
};

class FakeMediaGraphFactory : public MediaGraphFactory {
public:
    FakeMediaSetup setup;
    bool works = true;  // false: CreateGraph gives null
    int created = 0;
    int released = 0;

    // The graph made last, while it lives; null once it is released.
    FakeMediaGraph* graph() const { return live_; }

    std::unique_ptr<MediaGraph> CreateGraph() override;

private:
    friend class FakeMediaGraph;
    FakeMediaGraph* live_ = nullptr;
};

}  // namespace vs::fake
