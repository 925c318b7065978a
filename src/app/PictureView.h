#pragma once

#include <QImage>
#include <QWidget>

namespace vs {

class Bitmap;

// The displayed image `Image1`: paints a picture whose pixels are owned elsewhere (the source
// picture itself at Full Size, the window's rendered picture at the other modes), so showing
// a picture adds no full-size copy. Only the exposed part is painted.
class PictureView : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    // The owner keeps the pixels alive and unchanged until the next SetPicture.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// A 24-bit bitmap seen as a QImage over the same memory (no copy); null for other formats.
QImage ImageOver(const Bitmap& bitmap);

}  // namespace vs
