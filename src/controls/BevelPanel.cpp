#include "controls/BevelPanel.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace vs {

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent) {
    FrameChanged();
}

template <typename T>
void BevelPanel::SetFrameValue(T& field, T value) {
    if (field == value)
        return;
    field = value;
    FrameChanged();
    update();
}

void BevelPanel::SetBevelInner(TBevelCut v) {
    SetFrameValue(bevelInner_, v);
}
void BevelPanel::SetBevelOuter(TBevelCut v) {
    SetFrameValue(bevelOuter_, v);
}
void BevelPanel::SetBevelWidth(int v) {
    SetFrameValue(bevelWidth_, std::max(1, v));
}
void BevelPanel::SetBorderWidth(int v) {
    SetFrameValue(borderWidth_, std::max(0, v));
}
void BevelPanel::SetBorderStyle(TBorderStyle v) {
    SetFrameValue(borderStyle_, v);
}

void BevelPanel::SetCaption(const QString& v) {
    if (caption_ == v)
        return;
    caption_ = v;
    update();
}

void BevelPanel::SetAlignment(Qt::Alignment v) {
    alignment_ = v;
    update();
}

QColor BevelPanel::Color() const {
    return palette().color(QPalette::Window);
}

void BevelPanel::SetColor(const QColor& c) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, c);
    setPalette(pal);
    update();
}

QColor BevelPanel::HighlightColour() const {
    return palette().color(QPalette::Light);
}
QColor BevelPanel::ShadowColour() const {
    return palette().color(QPalette::Dark);
}

QRect BevelPanel::PanelClientRect() const {
    const int b = borderStyle_ == bsSingle ? 1 : 0;
    return rect().adjusted(b, b, -b, -b);
}

FoldFrame BevelPanel::Frame() const {
    FoldFrame f;
    f.bevelCount = (bevelInner_ != bvNone ? 1 : 0) + (bevelOuter_ != bvNone ? 1 : 0);
    f.bevelWidth = bevelWidth_;
    f.singleBorder = borderStyle_ == bsSingle;
    return f;
}

QRect BevelPanel::InnerRect() const {
    const int d = borderWidth_ + Frame().Inset();
    return PanelClientRect().adjusted(d, d, -d, -d);
}

void BevelPanel::FrameChanged() {
    const int m = (borderStyle_ == bsSingle ? 1 : 0) + borderWidth_ + Frame().Inset();
    setContentsMargins(m, m, m, m);
}

void BevelPanel::Frame3D(QPainter& p, QRect& rect, const QColor& topColour, const QColor& bottomColour, int width) {
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        const int w = rect.width();
        const int h = rect.height();
        p.fillRect(rect.x(), rect.y(), w - 1, 1, topColour);
        p.fillRect(rect.x(), rect.y(), 1, h - 1, topColour);
        p.fillRect(rect.x() + w - 1, rect.y(), 1, h - 1, bottomColour);
        p.fillRect(rect.x(), rect.y() + h - 1, w, 1, bottomColour);
        rect.adjust(1, 1, -1, -1);
    }
}

void BevelPanel::PaintBackground(QPainter& p, const QRect& client) {
    p.fillRect(client, Color());
}

QRect BevelPanel::PaintFrame(QPainter& p) {
    if (borderStyle_ == bsSingle) {
        QRect outer = rect();
        const QColor frame = palette().color(QPalette::WindowText);
        Frame3D(p, outer, frame, frame, 1);
    }
    QRect r = PanelClientRect();
    const auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone)
            return;
        const bool lowered = cut == bvLowered;
        Frame3D(p, r, lowered ? ShadowColour() : HighlightColour(), lowered ? HighlightColour() : ShadowColour(),
                bevelWidth_);
    };
    bevel(bevelOuter_);
    Frame3D(p, r, Color(), Color(), borderWidth_);
    bevel(bevelInner_);
    return r;
}

void BevelPanel::PaintCaption(QPainter& p, const QRect& inner) {
    if (caption_.isEmpty())
        return;
    const int lineHeight = fontMetrics().height();
    const QRect band(inner.x(), inner.y() + (inner.height() - lineHeight) / 2, inner.width(), lineHeight);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(band, static_cast<int>(alignment_ & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextExpandTabs,
               caption_);
}

void BevelPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintBackground(p, PanelClientRect());
    PaintCaption(p, PaintFrame(p));
}

}  // namespace vs
