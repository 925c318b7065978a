#include "platform/testing/FakeMediaGraph.h"

#include <algorithm>
#include <sstream>

namespace vs::fake {

namespace {

std::string Number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

FakeMediaGraph::FakeMediaGraph(FakeMediaGraphFactory* factory, FakeMediaSetup s)
    : setup(std::move(s)), factory_(factory) {}

FakeMediaGraph::~FakeMediaGraph() {
    if (factory_) {
        ++factory_->released;
        if (factory_->live_ == this)
            factory_->live_ = nullptr;
    }
}

void FakeMediaGraph::Advance(double seconds) {
    if (state != State::Running)
        return;
    position += seconds * rate;
    if (setup.duration && position >= *setup.duration)
        position = *setup.duration;
}

void FakeMediaGraph::NotifyChange() {
    if (handler_)
        handler_();
}

int FakeMediaGraph::Seeks() const {
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.starts_with("seek "); }));
}

bool FakeMediaGraph::RenderFile(const std::string& path) {
    calls.push_back("render " + path);
    file = path;
    return setup.renders;
}

void FakeMediaGraph::Run() {
    calls.emplace_back("run");
    state = State::Running;
}

void FakeMediaGraph::Pause() {
    calls.emplace_back("pause");
    state = State::Paused;
}

void FakeMediaGraph::Stop() {
    calls.emplace_back("stop");
    state = State::Stopped;
}

std::optional<double> FakeMediaGraph::CurrentPosition() {
    if (!setup.duration)
        return std::nullopt;
    return position;
}

void FakeMediaGraph::SetCurrentPosition(double seconds) {
    calls.push_back("seek " + Number(seconds));
    position = seconds;
}

void FakeMediaGraph::SetRate(double newRate) {
    calls.push_back("rate " + Number(newRate));
    rate = newRate;
}

void FakeMediaGraph::ShowVideoWindow(const VideoRect& rect) {
    windowShown = true;
    windowRect = rect;
}

void FakeMediaGraph::SetVideoWindowPosition(const VideoRect& rect) {
    windowRect = rect;
}

std::unique_ptr<MediaGraph> FakeMediaGraphFactory::CreateGraph() {
    if (!works)
        return nullptr;
    ++created;
    auto graph = std::make_unique<FakeMediaGraph>(this, setup);
    live_ = graph.get();
    return graph;
}

}  // namespace vs::fake
