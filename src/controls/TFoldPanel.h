#pragma once

#include "controls/ControlGeometry.h"
#include "controls/TPaneles.h"

#include <QFont>
#include <QImage>
#include <QList>

#include <functional>

class QTimer;

namespace vs {

class TFoldPanel;

// The inner panel of a fold panel: holds its children, fills it less the glyph strip, and
// hands its input events to the fold panel's event handlers in fold-panel coordinates.
class TFoldPanelClient : public TPaneles {
    Q_OBJECT

public:
    explicit TFoldPanelClient(TFoldPanel* foldPanel);

    TFoldPanel* FoldPanel() const { return foldPanel_; }
    int Reserved() const { return reserved_; }
    bool NoReservation() const { return noReservation_; }

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class TFoldPanel;
    QPoint ToFold(const QPointF& p) const;

    TFoldPanel* foldPanel_;
    int reserved_ = 0;
    bool noReservation_ = false;
    bool pressedInside_ = false;
};

// A panel the user folds to a thin strip and unfolds again by clicking the glyph in one of
// its corners. Horizontal folding shrinks the width, vertical folding the height. Children
// live on the client panel (GetClientWindow), which is hidden while folded; a widget given the
// fold panel as parent moves there at once. While folded the folded extent is locked through
// the minimum and maximum size, so a splitter or layout cannot widen it.
class TFoldPanel : public BevelPanel {
    Q_OBJECT

public:
    explicit TFoldPanel(QWidget* parent = nullptr);
    ~TFoldPanel() override;

    TFoldStatus FoldStatus() const { return status_; }
    void SetFoldStatus(TFoldStatus status);
    void Collaps() { SetFoldStatus(fsCollapsed); }
    void Expand() { SetFoldStatus(fsExpanded); }
    bool isCollapsed() const { return status_ == fsCollapsed; }
    bool isExpanded() const { return status_ == fsExpanded; }

    bool Folding() const { return folding_; }
    void SetFolding(bool folding);
    TFoldOrientation Orientation() const { return orientation_; }
    void SetOrientation(TFoldOrientation o);
    TFoldPosition FoldPosition() const { return position_; }
    void SetFoldPosition(TFoldPosition p);
    QColor FoldActiveColor() const { return activeColor_; }
    void SetFoldActiveColor(const QColor& c);
    // An empty picture brings back the built-in glyph of the orientation.
    const QImage& GlyphExpand() const { return glyphExpand_; }
    void SetGlyphExpand(const QImage& glyph);
    const QImage& GlyphCollaps() const { return glyphCollaps_; }
    void SetGlyphCollaps(const QImage& glyph);
    bool Seperated() const { return separated_; }
    void SetSeperated(bool v);
    TBevelStyle SeperatorLineStyle() const { return separatorStyle_; }
    void SetSeperatorLineStyle(TBevelStyle v);
    // Drawn along the strip while folded.
    const QFont& CaptionFont() const { return captionFont_; }
    void SetCaptionFont(const QFont& f);
    static QFont DefaultCaptionFont();

    // The client panel's bevels and background.
    TBevelCut ClientBevelInner() const { return client_->BevelInner(); }
    void SetClientBevelInner(TBevelCut v) { client_->SetBevelInner(v); }
    TBevelCut ClientBevelOuter() const { return client_->BevelOuter(); }
    void SetClientBevelOuter(TBevelCut v) { client_->SetBevelOuter(v); }
    int ClientBevelWidth() const { return client_->BevelWidth(); }
    void SetClientBevelWidth(int v) { client_->SetBevelWidth(v); }
    const QImage& Bitmap() const { return client_->Bitmap(); }
    void SetBitmap(const QImage& b) { client_->SetBitmap(b); }
    TBitmapHolder* BitmapHolder() const { return client_->BitmapHolder(); }
    void SetBitmapHolder(TBitmapHolder* h) { client_->SetBitmapHolder(h); }

    int CollapsedWidth() const;
    int CollapsedHeight() const;

    // The glyph drawn now, and where it was last drawn (panel coordinates).
    const QImage& CurrentGlyph() const;
    QRect GlyphRectangle() const { return glyphRect_; }
    // The unfolded width (horizontal) or height (vertical) restored by unfolding.
    int SavedExtent() const { return savedExtent_; }

    TFoldPanelClient* GetClientWindow() const { return client_; }
    // The client panel's child widgets, reported as the fold panel's own.
    QList<QWidget*> Controls() const;
    QWidget* GetControl(int i) const;
    int GetControlCount() const;
    // Every object the client panel holds (widgets, layouts, timers ...).
    QObject* GetComponent(int i) const;
    int GetComponentCount() const;

    // What a click on the glyph does: asks OnFoldClick, then toggles unless it said no.
    virtual void FoldClick();

    // Events. OnFoldClick may clear doFoldAction to keep the state.
    std::function<void(TFoldPanel* sender, TFoldStatus status, bool& doFoldAction)> OnFoldClick;
    std::function<void(TFoldPanel*sender)> BeforeExpand, AfterExpand, BeforeCollaps, AfterCollaps;
    // Input events of the panel and of its client panel (coordinates in the fold panel).
    std::function<void(TFoldPanel*sender)> OnClick, OnDblClick, OnEnter, OnExit;
    std::function<void(TFoldPanel*sender, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseDown, OnMouseUp;
    std::function<void(TFoldPanel* sender, Qt::KeyboardModifiers, int x, int y)> OnMouseMove;
    std::function<void(TFoldPanel*sender, int key, Qt::KeyboardModifiers)> OnKeyDown, OnKeyUp;
    std::function<void(TFoldPanel* sender, const QString& text)> OnKeyPress;
    std::function<void(TFoldPanel* sender, int x, int y, bool& accept)> OnDragOver;
    std::function<void(TFoldPanel* sender, QDropEvent* event, int x, int y)> OnDragDrop;

    // The panel the shared hover timer serves now (none when it is stopped).
    static TFoldPanel* HoverTimerOwner();
    bool HoverTinted() const { return hover_; }
    // One tick of the hover timer: keeps the tint while the mouse is over this panel itself.
    void HoverTimerTick();

    // The client's minimum plus the frame and the strip, so that a splitter cannot squeeze the
    // children of an unfolded panel below their own minimum.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void FrameChanged() override;

private:
    friend class TFoldPanelClient;
    void LoadDefaultGlyphs();
    void RebuildActiveGlyphs();
    const QImage& StateGlyph() const;
    // The panel's own full repaint: the normal glyph comes back.
    void Repaint();
    void UpdateClientArea();
    int AxisExtent() const;
    void LockExtent(int extent);
    void UnlockExtent();
    // Gives the panel this width (horizontal) or height (vertical), through the sizes of a
    // splitter holding it.
    void ApplyExtent(int extent);
    void ArmHoverTimer();

    TFoldPanelClient* client_ = nullptr;
    TFoldStatus status_ = fsCollapsed;
    bool folding_ = true;
    bool separated_ = true;
    TBevelStyle separatorStyle_ = bsLowered;
    TFoldOrientation orientation_ = foVertical;
    TFoldPosition position_ = fpLeftTop;
    QColor activeColor_{0, 255, 255};
    QImage glyphExpand_, glyphCollaps_, activeExpand_, activeCollaps_;
    bool userExpand_ = false;
    bool userCollaps_ = false;
    QFont captionFont_;
    QRect glyphRect_;
    int savedExtent_ = 0;
    // The size lock while folded: the axis locked and the limits it replaced.
    bool locked_ = false;
    TFoldOrientation lockedAxis_ = foVertical;
    int savedMinimum_ = 0;
    int savedMaximum_ = QWIDGETSIZE_MAX;
    QPoint pressPos_;
    bool pressed_ = false;
    bool foldClickPending_ = false;
    bool hover_ = false;
    bool moving_ = false;  // children being moved onto the client panel
};

}  // namespace vs
