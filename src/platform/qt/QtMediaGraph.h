#pragma once

#include "platform/MediaGraph.h"

#include <QPointer>

class QWidget;

namespace vs {

// Media graphs over QMediaPlayer, QAudioOutput and QVideoWidget (GStreamer underneath). The
// video widget of each graph is a child of the host given here.
class QtMediaGraphFactory : public MediaGraphFactory {
public:
    explicit QtMediaGraphFactory(QWidget* videoHost) : host_(videoHost) {}
    std::unique_ptr<MediaGraph> CreateGraph() override;

    // How long RenderFile waits for the player to learn the file (its duration, its streams).
    static constexpr int kLoadTimeoutMs = 5000;

private:
    QPointer<QWidget> host_;
};

}  // namespace vs
