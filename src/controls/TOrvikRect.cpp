#include "controls/TOrvikRect.h"

#include <QMouseEvent>
#include <QPainter>

namespace vs {

TOrvikRect::TOrvikRect(QWidget* parent) : QLabel(parent) {
    setObjectName("OrvikRect");
    setAutoFillBackground(false);  // transparent: what lies beneath shows through
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setMouseTracking(true);
    const QRect r = rect();
    handleRects_ = OrvikHandleRects(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

namespace {

// Stores a property and repaints; nothing when the value is unchanged.
template <typename T>
void SetAndRepaint(QWidget* w, T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    w->update();
}

}  // namespace

void TOrvikRect::SetF_Selected(bool v) {
    SetAndRepaint(this, selected_, v);
}
void TOrvikRect::SetF_ShowRect(bool v) {
    SetAndRepaint(this, showRect_, v);
}
void TOrvikRect::SetF_MpColor(const QColor& v) {
    SetAndRepaint(this, mpColor_, v);
}
void TOrvikRect::SetF_RectColor(const QColor& v) {
    SetAndRepaint(this, rectColor_, v);
}

Qt::CursorShape TOrvikRect::HandleCursor(int index) {
    switch (index) {
        case 0:
        case 3:
            return Qt::SizeFDiagCursor;
        case 1:
        case 2:
            return Qt::SizeBDiagCursor;
        case 4:
        case 5:
            return Qt::SizeVerCursor;
        case 6:
        case 7:
            return Qt::SizeHorCursor;
        default:
            return Qt::ArrowCursor;
    }
}

int TOrvikRect::GetCursorStatus(int X, int Y) {
    mCursor_ = selected_ ? OrvikHitTest(handleRects_, X, Y) : -1;
    setCursor(HandleCursor(mCursor_));
    return mCursor_;
}

void TOrvikRect::DoDrawText(QPainter& p, const QRect& rect, int flags) {
    handleRects_ = OrvikHandleRects(rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height());
    handlesReady_ = true;
    if (!text().isEmpty()) {
        p.setFont(font());
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(rect, flags, text());
    }
}

void TOrvikRect::Paint(QPainter& p) {
    DoDrawText(p, contentsRect(), static_cast<int>(alignment()) | (wordWrap() ? Qt::TextWordWrap : 0));
    if (handlesReady_) {
        if (showRect_) {
            const QRect& h3 = handleRects_[3];
            p.setPen(QPen(mpColor_, 0));
            p.setBrush(Qt::NoBrush);
            // A one-pixel pen covers width + 1 pixels: this outlines exactly the control.
            p.drawRect(QRect(0, 0, h3.left() + h3.width() - 1, h3.top() + h3.height() - 1));
        }
        if (selected_)
            for (const QRect& h : handleRects_) p.fillRect(h, mpColor_);
    }
    handlesReady_ = false;
}

void TOrvikRect::paintEvent(QPaintEvent*) {
    QPainter p(this);
    Paint(p);
}

void TOrvikRect::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    // Keep the hit test on the current size until the next paint lays the handles out again.
    const QRect r = contentsRect();
    handleRects_ = OrvikHandleRects(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

void TOrvikRect::Vantor_OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y) {
    if (!MouseIdle)
        return;
    MouseIdle = false;
    if (button == Qt::LeftButton) {
        GetCursorStatus(X, Y);
        LastMouseX = X;
        LastMouseY = Y;
        SetF_ShowRect(true);
        SetF_Selected(true);
    }
    MouseIdle = true;
}

void TOrvikRect::Vantor_OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, int X, int Y) {
    if (!MouseIdle)
        return;
    MouseIdle = false;
    if (!(buttons & Qt::LeftButton)) {
        GetCursorStatus(X, Y);
    } else {
        QPoint last(LastMouseX, LastMouseY);
        setGeometry(OrvikDragStep(geometry(), mCursor_, QPoint(X, Y), last));
        LastMouseX = last.x();
        LastMouseY = last.y();
    }
    MouseIdle = true;
}

void TOrvikRect::Vantor_OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int, int) {
    if (button == Qt::LeftButton)
        update();
}

void TOrvikRect::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Vantor_OnMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TOrvikRect::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Vantor_OnMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TOrvikRect::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    Vantor_OnMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

}  // namespace vs
