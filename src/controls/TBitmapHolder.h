#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <functional>
#include <vector>

class QPaintDevice;
class QPainter;

namespace vs {

class TBitmapHolder;

// A listener a client registers with a holder to hear of changes to its picture.
// Destroying a link unregisters it.
class TLinkChange {
public:
    TLinkChange() = default;
    ~TLinkChange();
    TLinkChange(const TLinkChange&) = delete;
    TLinkChange& operator=(const TLinkChange&) = delete;

    TBitmapHolder* Holder() const { return holder_; }
    // Calls OnChange with the holder as sender when it is set.
    void Change();
    std::function<void(TBitmapHolder* sender)> OnChange;

private:
    friend class TBitmapHolder;
    TBitmapHolder* holder_ = nullptr;
};

// Draws picture tiled from target's top-left corner and cut at target's right and bottom
// edges (the exclusive right and bottom of target act as the extent). No clipping of its own.
void DrawTiled(QPainter& canvas, const QImage& picture, const QRect& target);

// A picture several panels can share: owns one bitmap and tells its registered links, in
// registration order, whenever it changes. In the drawing operations the rectangle's exclusive
// right and bottom act as the extent of the block drawn (client rectangles start at 0, 0).
class TBitmapHolder : public QObject {
    Q_OBJECT

public:
    explicit TBitmapHolder(QObject* parent = nullptr);
    // Unregisters every link, last to first.
    ~TBitmapHolder() override;

    // Copies the picture in and notifies the links.
    void SetBitmap(const QImage& bitmap);
    const QImage& GetBitmap() const { return bitmap_; }
    bool isEmpty() const { return bitmap_.isNull() || bitmap_.width() == 0 || bitmap_.height() == 0; }

    void Change();
    // A link registered with another holder leaves that one first; a link already registered
    // here is not added twice.
    void RegisterChanges(TLinkChange* link);
    // Removes the link and clears its holder; nothing when it is not registered.
    void UnRegisterChanges(TLinkChange* link);
    const std::vector<TLinkChange*>& Links() const { return links_; }

    // Copies a block of R's extent from bitmap position (X, Y) to R's top-left corner.
    void DrawOnH(const QRect& R, QPaintDevice* DC, int X, int Y) const;
    void DrawOn(const QRect& R, QPainter& Canvas, int X, int Y) const;
    // Tiles the bitmap over R.
    void TiledOnH(const QRect& R, QPaintDevice* DC) const;
    void TiledOn(const QRect& R, QPainter& Canvas) const;
    // Stretches the bitmap, less its last column and row, onto R.
    void StretchOnH(const QRect& R, QPaintDevice* DC) const;
    void StretchOn(const QRect& R, QPainter& Canvas) const;

private:
    QImage bitmap_;
    std::vector<TLinkChange*> links_;
};

}  // namespace vs
