#include "controls/TBitmapHolder.h"

#include "controls/ControlGeometry.h"

#include <QPainter>

#include <algorithm>

namespace vs {

namespace {

// R's exclusive right and bottom: the extent of what is drawn.
int ExtentRight(const QRect& r) {
    return r.x() + r.width();
}
int ExtentBottom(const QRect& r) {
    return r.y() + r.height();
}

template <typename Draw>
void WithPainter(QPaintDevice* device, Draw draw) {
    if (!device)
        return;
    QPainter p(device);
    draw(p);
}

}  // namespace

TLinkChange::~TLinkChange() {
    while (holder_) holder_->UnRegisterChanges(this);
}

void TLinkChange::Change() {
    if (OnChange)
        OnChange(holder_);
}

void DrawTiled(QPainter& canvas, const QImage& picture, const QRect& target) {
    for (const QRect& tile :
         TileRects(target.x(), target.y(), ExtentRight(target), ExtentBottom(target), picture.size()))
        canvas.drawImage(tile.topLeft(), picture, QRect(QPoint(0, 0), tile.size()));
}

TBitmapHolder::TBitmapHolder(QObject* parent) : QObject(parent) {}

TBitmapHolder::~TBitmapHolder() {
    while (!links_.empty()) UnRegisterChanges(links_.back());
}

void TBitmapHolder::SetBitmap(const QImage& bitmap) {
    bitmap_ = bitmap.copy();
    Change();
}

void TBitmapHolder::Change() {
    // A link's handler may unregister links; notify the ones registered now that still are.
    const std::vector<TLinkChange*> links = links_;
    for (TLinkChange* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end())
            link->Change();
}

void TBitmapHolder::RegisterChanges(TLinkChange* link) {
    if (!link)
        return;
    if (link->holder_ && link->holder_ != this)
        link->holder_->UnRegisterChanges(link);
    link->holder_ = this;
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TBitmapHolder::UnRegisterChanges(TLinkChange* link) {
    const auto it = std::find(links_.begin(), links_.end(), link);
    if (it == links_.end())
        return;
    links_.erase(it);
    link->holder_ = nullptr;
}

void TBitmapHolder::DrawOn(const QRect& R, QPainter& Canvas, int X, int Y) const {
    Canvas.drawImage(R.topLeft(), bitmap_, QRect(X, Y, ExtentRight(R), ExtentBottom(R)));
}

void TBitmapHolder::DrawOnH(const QRect& R, QPaintDevice* DC, int X, int Y) const {
    WithPainter(DC, [&](QPainter& p) { DrawOn(R, p, X, Y); });
}

void TBitmapHolder::TiledOn(const QRect& R, QPainter& Canvas) const {
    DrawTiled(Canvas, bitmap_, R);
}

void TBitmapHolder::TiledOnH(const QRect& R, QPaintDevice* DC) const {
    WithPainter(DC, [&](QPainter& p) { TiledOn(R, p); });
}

void TBitmapHolder::StretchOn(const QRect& R, QPainter& Canvas) const {
    if (isEmpty())
        return;
    // The source stops one pixel short of the bitmap in each direction (a one-pixel bitmap
    // still gives its pixel).
    const QRect source(0, 0, std::max(1, bitmap_.width() - 1), std::max(1, bitmap_.height() - 1));
    Canvas.drawImage(QRect(R.x(), R.y(), ExtentRight(R), ExtentBottom(R)), bitmap_, source);
}

void TBitmapHolder::StretchOnH(const QRect& R, QPaintDevice* DC) const {
    WithPainter(DC, [&](QPainter& p) { StretchOn(R, p); });
}

}  // namespace vs
