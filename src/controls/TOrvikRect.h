#pragma once

#include "controls/ControlGeometry.h"

#include <QColor>
#include <QLabel>

#include <array>

namespace vs {

// A selection rectangle the user moves and resizes with the mouse over whatever lies beneath
// it: a transparent label drawing a one-pixel outline and eight 5 x 5 handles, with the
// matching sizing cursor over each handle; dragged from inside it moves, dragged by a handle
// it resizes, never below 10 x 10.
class TOrvikRect : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool Selected READ Selected WRITE SetF_Selected)
    Q_PROPERTY(bool ShowRect READ ShowRect WRITE SetF_ShowRect)
    Q_PROPERTY(QColor MpColor READ MpColor WRITE SetF_MpColor)
    Q_PROPERTY(QColor RectColor READ RectColor WRITE SetF_RectColor)
    Q_PROPERTY(int mCursor READ mCursor)

public:
    explicit TOrvikRect(QWidget* parent = nullptr);

    bool Selected() const { return selected_; }
    void SetF_Selected(bool v);
    bool ShowRect() const { return showRect_; }
    void SetF_ShowRect(bool v);
    QColor MpColor() const { return mpColor_; }
    void SetF_MpColor(const QColor& v);
    // Kept for the property's sake; painting does not use it.
    QColor RectColor() const { return rectColor_; }
    void SetF_RectColor(const QColor& v);
    int mCursor() const { return mCursor_; }

    const std::array<QRect, 8>& HandleRects() const { return handleRects_; }
    bool HandlesReady() const { return handlesReady_; }

    // Hit test at (X, Y): the handle index or -1, with the matching cursor set.
    int GetCursorStatus(int X, int Y);

    void Vantor_OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);
    void Vantor_OnMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int X, int Y);
    void Vantor_OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y);

    // The cursor shape for a handle index (-1: the default arrow).
    static Qt::CursorShape HandleCursor(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Lays the handles out in rect, then draws the caption there.
    virtual void DoDrawText(QPainter& p, const QRect& rect, int flags);
    virtual void Paint(QPainter& p);

private:
    bool selected_ = true;
    bool showRect_ = true;
    QColor mpColor_{255, 0, 0};
    QColor rectColor_{0, 0, 0};
    int mCursor_ = -1;
    std::array<QRect, 8> handleRects_{};
    bool handlesReady_ = false;
    int LastMouseX = 0;
    int LastMouseY = 0;
    bool MouseIdle = true;
};

}  // namespace vs
