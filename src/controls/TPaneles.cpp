#include "controls/TPaneles.h"

#include <QPainter>

namespace vs {

TPaneles::TPaneles(QWidget* parent) : BevelPanel(parent) {
    link_.OnChange = [this](TBitmapHolder*) { update(); };
}

TPaneles::~TPaneles() {
    if (holder_)
        holder_->UnRegisterChanges(&link_);
}

void TPaneles::SetBitmap(const QImage& bitmap) {
    bitmap_ = bitmap.copy();
    if (holder_) {
        if (!bitmap_.isNull())
            holder_->UnRegisterChanges(&link_);
        else
            holder_->RegisterChanges(&link_);
    }
    update();
}

void TPaneles::SetBitmapHolder(TBitmapHolder* holder) {
    if (holder_) {
        holder_->UnRegisterChanges(&link_);
        disconnect(holderGone_);
    }
    holder_ = holder;
    if (holder) {
        holder->RegisterChanges(&link_);
        // The holder has unregistered the link by the time it is gone; only repaint.
        holderGone_ = connect(holder, &QObject::destroyed, this, [this] { update(); });
    }
    update();
}

void TPaneles::PaintBackground(QPainter& p, const QRect& client) {
    if (!bitmap_.isNull()) {
        p.save();
        p.setClipRect(client);
        DrawTiled(p, bitmap_, client);
        p.restore();
    } else if (holder_ && !holder_->isEmpty()) {
        holder_->TiledOn(client, p);
    } else {
        BevelPanel::PaintBackground(p, client);
    }
}

}  // namespace vs
