#include "imageformats/VantorImagePlugin.h"

#include "formats/KevImage.h"
#include "formats/XfAlbum.h"
#include "graphics/Errors.h"
#include "platform/qt/QtBitmap.h"
#include "viewer/FileKinds.h"

#include <QFile>
#include <QFileInfo>

#include <span>

namespace vs {

namespace {

const QByteArray kKev = QByteArrayLiteral("kev");
const QByteArray kXf = QByteArrayLiteral("xf");

// "sfc" and "mig" are other names of the same formats.
QByteArray CanonicalFormat(const QByteArray& format) {
    const QByteArray f = format.toLower();
    if (f == "kev" || f == "sfc")
        return kKev;
    if (f == "xf" || f == "mig")
        return kXf;
    return {};
}

QImage ToImage(const Bitmap& bitmap) {
    return ToQImage(bitmap.toBgr24());
}

}  // namespace

QByteArray VantorImageHandler::Kind() const {
    return CanonicalFormat(format());
}

QByteArray VantorImageHandler::SniffFormat(QIODevice* device) {
    if (!device || !device->isReadable())
        return {};
    const QByteArray head = device->peek(static_cast<qint64>(kSignatureBytes));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(head.constData());
    switch (PictureKindFromSignature(std::span(bytes, static_cast<std::size_t>(head.size())))) {
        case kKindKev:
            return kKev;
        case kKindAlbum:
            return kXf;
        default:
            return {};
    }
}

bool VantorImageHandler::PrepareAlbum() const {
    if (!albumPath_.isEmpty())
        return true;
    QIODevice* device = this->device();
    if (!device)
        return false;
    // A plain file is read page by page where it lies; anything else (a buffer, a resource,
    // a socket) is copied to a temporary file first, since albums are read by seeking.
    const auto* file = qobject_cast<QFile*>(device);
    if (file && !file->fileName().startsWith(QLatin1Char(':')) && QFileInfo(file->fileName()).isFile()) {
        albumPath_ = QFileInfo(file->fileName()).absoluteFilePath();
        return true;
    }
    albumCopy_ = std::make_unique<QTemporaryFile>();
    if (!albumCopy_->open() || albumCopy_->write(device->readAll()) < 0 || !albumCopy_->flush())
        return false;
    albumPath_ = albumCopy_->fileName();
    return true;
}

int VantorImageHandler::imageCount() const {
    if (Kind() != kXf)
        return 1;
    if (!pageCount_) {
        try {
            pageCount_ = PrepareAlbum() ? CountXfPages(albumPath_.toStdString()) : 0;
        } catch (const ImageError&) {
            pageCount_ = 0;
        }
    }
    return *pageCount_;
}

bool VantorImageHandler::canRead() const {
    if (Kind() == kXf && pageCount_)
        return current_ < *pageCount_;
    if (current_ > 0 && Kind() == kKev)
        return false;
    const QByteArray sniffed = SniffFormat(device());
    if (sniffed.isEmpty())
        return false;
    const_cast<VantorImageHandler*>(this)->setFormat(sniffed);
    return true;
}

bool VantorImageHandler::read(QImage* image) {
    if (!image)
        return false;
    if (Kind().isEmpty() && !canRead())
        return false;
    try {
        if (Kind() == kKev) {
            if (current_ > 0 || !device())
                return false;
            const QByteArray bytes = device()->readAll();
            TKevImage kev;
            if (!kev.Read(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                    static_cast<std::size_t>(bytes.size()))))
                return false;
            *image = ToImage(kev.bitmap());
        } else {
            if (current_ >= imageCount())
                return false;
            *image = ToImage(ReadXfPage(albumPath_.toStdString(), current_));
        }
    } catch (const ImageError&) {
        return false;
    }
    ++current_;
    return !image->isNull();
}

bool VantorImageHandler::jumpToImage(int imageNumber) {
    if (imageNumber < 0 || imageNumber >= imageCount())
        return false;
    if (Kind() == kKev && imageNumber != current_)
        return false;  // a single picture read from a stream cannot rewind
    current_ = imageNumber;
    return true;
}

bool VantorImageHandler::jumpToNextImage() {
    return jumpToImage(current_ + 1);
}

QImageIOPlugin::Capabilities VantorImagePlugin::capabilities(QIODevice* device, const QByteArray& format) const {
    if (!CanonicalFormat(format).isEmpty())
        return CanRead;
    if (format.isEmpty() && !VantorImageHandler::SniffFormat(device).isEmpty())
        return CanRead;
    return {};
}

QImageIOHandler* VantorImagePlugin::create(QIODevice* device, const QByteArray& format) const {
    QByteArray canonical = CanonicalFormat(format);
    if (canonical.isEmpty())
        canonical = VantorImageHandler::SniffFormat(device);
    auto* handler = new VantorImageHandler;
    handler->setDevice(device);
    handler->setFormat(canonical);
    return handler;
}

}  // namespace vs
