#pragma once

#include <QImageIOHandler>
#include <QImageIOPlugin>

#include <QTemporaryFile>

#include <memory>
#include <optional>

namespace vs {

// Reads KEV pictures and XF albums for every Qt program. An album is a sequence of images,
// one a page: imageCount() is its page count and jumpToImage(n) reaches page n. Each read()
// gives the current image and moves on to the next. Nothing is written.
class VantorImageHandler : public QImageIOHandler {
public:
    bool canRead() const override;
    bool read(QImage* image) override;
    int imageCount() const override;
    bool jumpToImage(int imageNumber) override;
    bool jumpToNextImage() override;
    int currentImageNumber() const override { return current_; }

    // "kev" or "xf" by the device's first bytes (without consuming them), else empty.
    static QByteArray SniffFormat(QIODevice* device);

private:
    // "kev" or "xf", whichever name of the format the reader set.
    QByteArray Kind() const;
    // The album's path: the device's own file, or a temporary copy of a device that is none.
    bool PrepareAlbum() const;

    int current_ = 0;
    mutable std::optional<int> pageCount_;
    mutable QString albumPath_;
    mutable std::unique_ptr<QTemporaryFile> albumCopy_;
};

class VantorImagePlugin : public QImageIOPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "vantorsee.json")

public:
    Capabilities capabilities(QIODevice* device, const QByteArray& format) const override;
    QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override;
};

}  // namespace vs
