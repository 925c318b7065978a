#pragma once

#include "controls/BevelPanel.h"
#include "controls/TBitmapHolder.h"

#include <QImage>
#include <QPointer>

namespace vs {

// A panel whose background is its own bitmap, tiled, or else the bitmap of a shared
// TBitmapHolder, tiled, or else the plain panel colour; bevels, border and caption as a plain
// panel. The holder is not owned: when it is destroyed the panel forgets it.
class TPaneles : public BevelPanel {
    Q_OBJECT

public:
    explicit TPaneles(QWidget* parent = nullptr);
    ~TPaneles() override;

    const QImage& Bitmap() const { return bitmap_; }
    // Copies the picture. While a holder is set, an own picture stops the holder's change
    // notices and an empty one takes them up again.
    void SetBitmap(const QImage& bitmap);
    TBitmapHolder* BitmapHolder() const { return holder_; }
    void SetBitmapHolder(TBitmapHolder* holder);

protected:
    void PaintBackground(QPainter& p, const QRect& client) override;

private:
    QImage bitmap_;
    QPointer<TBitmapHolder> holder_;
    TLinkChange link_;
    QMetaObject::Connection holderGone_;
};

}  // namespace vs
