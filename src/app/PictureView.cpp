#include "app/PictureView.h"

#include "graphics/Bitmap.h"

#include <QPaintEvent>
#include <QPainter>

namespace vs {

void PictureView::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PictureView::paintEvent(QPaintEvent* event) {
    if (picture_.isNull())
        return;
    QPainter painter(this);
    const QRect part = event->rect().intersected(picture_.rect());
    painter.drawImage(part.topLeft(), picture_, part);
}

QImage ImageOver(const Bitmap& bitmap) {
    if (bitmap.empty() || bitmap.format() != PixelFormat::Bpp24)
        return {};
    return QImage(bitmap.bits(), bitmap.width(), bitmap.height(), static_cast<qsizetype>(bitmap.stride()),
                  QImage::Format_BGR888);
}

}  // namespace vs
