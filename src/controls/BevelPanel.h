#pragma once

#include "controls/ControlGeometry.h"

#include <QColor>
#include <QString>
#include <QWidget>

class QPainter;

namespace vs {

// A plain panel as the classic panel control draws it: an outer bevel, a border of
// BorderWidth in the panel colour, an inner bevel, an optional one-pixel single border
// outside all of them, and a caption centred vertically. Children laid out in it stay
// inside the frame (the contents margins follow it).
class BevelPanel : public QWidget {
    Q_OBJECT

public:
    explicit BevelPanel(QWidget* parent = nullptr);

    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle v);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& v);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment v);
    QColor Color() const;
    void SetColor(const QColor& c);
    bool FullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool v) { fullRepaint_ = v; }
    bool Locked() const { return locked_; }
    void SetLocked(bool v) { locked_ = v; }

    // The area inside the single border, in widget coordinates.
    QRect PanelClientRect() const;
    // The area inside every frame: where the panel's contents go.
    QRect InnerRect() const;
    // Non-none bevels and their width, and the single border: what a fold panel needs.
    FoldFrame Frame() const;

    // Draws the four-sided 3-D frame of the classic controls, width rings deep, and shrinks
    // rect by it: top and left in topColour, bottom and right (and the two corners they share
    // with the others) in bottomColour.
    static void Frame3D(QPainter& p, QRect& rect, const QColor& topColour, const QColor& bottomColour, int width);
    QColor HighlightColour() const;
    QColor ShadowColour() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Background of the client rectangle; the plain panel fills it with Color.
    virtual void PaintBackground(QPainter& p, const QRect& client);
    // Single border, bevels and border width; returns the rectangle inside them.
    QRect PaintFrame(QPainter& p);
    void PaintCaption(QPainter& p, const QRect& inner);
    // Called when the frame changes; the plain panel keeps its contents margins on the frame.
    virtual void FrameChanged();

private:
    template <typename T>
    void SetFrameValue(T& field, T value);

    TBevelCut bevelInner_ = bvNone;
    TBevelCut bevelOuter_ = bvRaised;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
    TBorderStyle borderStyle_ = bsNone;
    QString caption_;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    bool fullRepaint_ = true;
    bool locked_ = false;
};

}  // namespace vs
