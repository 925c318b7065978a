#include "controls/TFoldPanel.h"

#include "controls/FoldGlyphs.h"

#include <QApplication>
#include <QChildEvent>
#include <QCursor>
#include <QDropEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QTimer>

#include <algorithm>

namespace vs {

namespace {

// One hover timer for all fold panels: made on first use, gone with the last panel.
QTimer* gHoverTimer = nullptr;
TFoldPanel* gHoverOwner = nullptr;
int gPanelCount = 0;
constexpr int kHoverInterval = 300;

}  // namespace

// ---- TFoldPanelClient -------------------------------------------------------------------

TFoldPanelClient::TFoldPanelClient(TFoldPanel* foldPanel) : TPaneles(foldPanel), foldPanel_(foldPanel) {
    setObjectName("FoldPanelClient");
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    setMouseTracking(true);
    setAcceptDrops(true);
}

bool TFoldPanelClient::event(QEvent* event) {
    // The children's minimum sizes reach the fold panel's parent layout or splitter.
    if (event->type() == QEvent::LayoutRequest)
        foldPanel_->updateGeometry();
    return TPaneles::event(event);
}

QPoint TFoldPanelClient::ToFold(const QPointF& p) const {
    return mapTo(foldPanel_, p.toPoint());
}

void TFoldPanelClient::mousePressEvent(QMouseEvent* event) {
    const QPoint q = ToFold(event->position());
    pressedInside_ = event->button() == Qt::LeftButton;
    if (foldPanel_->OnMouseDown)
        foldPanel_->OnMouseDown(foldPanel_, event->button(), event->modifiers(), q.x(), q.y());
    event->accept();
}

void TFoldPanelClient::mouseMoveEvent(QMouseEvent* event) {
    const QPoint q = ToFold(event->position());
    if (foldPanel_->OnMouseMove)
        foldPanel_->OnMouseMove(foldPanel_, event->modifiers(), q.x(), q.y());
    event->accept();
}

void TFoldPanelClient::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint q = ToFold(event->position());
    if (foldPanel_->OnMouseUp)
        foldPanel_->OnMouseUp(foldPanel_, event->button(), event->modifiers(), q.x(), q.y());
    const bool click =
        pressedInside_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressedInside_ = false;
    if (click && foldPanel_->OnClick)
        foldPanel_->OnClick(foldPanel_);
    event->accept();
}

void TFoldPanelClient::mouseDoubleClickEvent(QMouseEvent* event) {
    if (foldPanel_->OnDblClick)
        foldPanel_->OnDblClick(foldPanel_);
    mousePressEvent(event);
}

void TFoldPanelClient::keyPressEvent(QKeyEvent* event) {
    if (!foldPanel_->OnKeyDown && !foldPanel_->OnKeyPress) {
        event->ignore();
        return;
    }
    if (foldPanel_->OnKeyDown)
        foldPanel_->OnKeyDown(foldPanel_, event->key(), event->modifiers());
    if (foldPanel_->OnKeyPress && !event->text().isEmpty())
        foldPanel_->OnKeyPress(foldPanel_, event->text());
    event->accept();
}

void TFoldPanelClient::keyReleaseEvent(QKeyEvent* event) {
    if (!foldPanel_->OnKeyUp) {
        event->ignore();
        return;
    }
    foldPanel_->OnKeyUp(foldPanel_, event->key(), event->modifiers());
    event->accept();
}

void TFoldPanelClient::focusInEvent(QFocusEvent* event) {
    TPaneles::focusInEvent(event);
    if (foldPanel_->OnEnter)
        foldPanel_->OnEnter(foldPanel_);
}

void TFoldPanelClient::focusOutEvent(QFocusEvent* event) {
    TPaneles::focusOutEvent(event);
    if (foldPanel_->OnExit)
        foldPanel_->OnExit(foldPanel_);
}

void TFoldPanelClient::dragEnterEvent(QDragEnterEvent* event) {
    dragMoveEvent(event);
}

void TFoldPanelClient::dragMoveEvent(QDragMoveEvent* event) {
    bool accept = false;
    const QPoint q = ToFold(event->position());
    if (foldPanel_->OnDragOver)
        foldPanel_->OnDragOver(foldPanel_, q.x(), q.y(), accept);
    if (accept)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFoldPanelClient::dropEvent(QDropEvent* event) {
    const QPoint q = ToFold(event->position());
    if (!foldPanel_->OnDragDrop) {
        event->ignore();
        return;
    }
    foldPanel_->OnDragDrop(foldPanel_, event, q.x(), q.y());
    event->acceptProposedAction();
}

// ---- TFoldPanel -------------------------------------------------------------------------

TFoldPanel::TFoldPanel(QWidget* parent) : BevelPanel(parent) {
    ++gPanelCount;
    setMouseTracking(true);
    client_ = new TFoldPanelClient(this);
    captionFont_ = DefaultCaptionFont();
    savedExtent_ = height();
    LoadDefaultGlyphs();
    client_->hide();
    // Made folded, then unfolded through the ordinary steps.
    SetFoldStatus(fsExpanded);
}

TFoldPanel::~TFoldPanel() {
    // The client and its children go first, while the event handlers they may still call
    // (a focused child's exit) exist.
    delete client_;
    client_ = nullptr;
    if (gHoverOwner == this) {
        gHoverTimer->stop();
        gHoverOwner = nullptr;
    }
    if (--gPanelCount == 0) {
        delete gHoverTimer;
        gHoverTimer = nullptr;
    }
}

QFont TFoldPanel::DefaultCaptionFont() {
    QFont f = QApplication::font();
    f.setPointSize(7);
    return f;
}

TFoldPanel* TFoldPanel::HoverTimerOwner() {
    return gHoverTimer && gHoverTimer->isActive() ? gHoverOwner : nullptr;
}

void TFoldPanel::LoadDefaultGlyphs() {
    const bool h = orientation_ == foHorizontal;
    if (!userExpand_)
        glyphExpand_ = DefaultFoldGlyph(h ? "EXPAND_H" : "EXPAND_V");
    if (!userCollaps_)
        glyphCollaps_ = DefaultFoldGlyph(h ? "COLLAPS_H" : "COLLAPS_V");
    RebuildActiveGlyphs();
}

void TFoldPanel::RebuildActiveGlyphs() {
    activeExpand_ = ActiveGlyph(glyphExpand_, activeColor_);
    activeCollaps_ = ActiveGlyph(glyphCollaps_, activeColor_);
}

const QImage& TFoldPanel::StateGlyph() const {
    return isCollapsed() ? glyphExpand_ : glyphCollaps_;
}

const QImage& TFoldPanel::CurrentGlyph() const {
    if (hover_)
        return isCollapsed() ? activeExpand_ : activeCollaps_;
    return StateGlyph();
}

int TFoldPanel::CollapsedWidth() const {
    return vs::CollapsedWidth(orientation_, glyphExpand_.size(), width());
}
int TFoldPanel::CollapsedHeight() const {
    return vs::CollapsedHeight(orientation_, glyphExpand_.size(), height());
}

int TFoldPanel::AxisExtent() const {
    return orientation_ == foHorizontal ? width() : height();
}

void TFoldPanel::SetFoldStatus(TFoldStatus status) {
    if (status == status_)
        return;
    if (status == fsCollapsed) {
        if (!folding_)
            return;
        if (BeforeCollaps)
            BeforeCollaps(this);
        if (!locked_)
            savedExtent_ = AxisExtent();  // the last unfolded extent, also before any resize event
        status_ = fsCollapsed;
        client_->hide();
        const int collapsed = orientation_ == foHorizontal ? CollapsedWidth() : CollapsedHeight();
        LockExtent(FoldedExtent(collapsed, Frame()));
        Repaint();
        if (AfterCollaps)
            AfterCollaps(this);
    } else {
        if (BeforeExpand)
            BeforeExpand(this);
        status_ = fsExpanded;
        UnlockExtent();
        ApplyExtent(savedExtent_);
        UpdateClientArea();
        client_->show();
        Repaint();
        if (AfterExpand)
            AfterExpand(this);
    }
}

void TFoldPanel::LockExtent(int extent) {
    const bool h = orientation_ == foHorizontal;
    if (!locked_) {
        lockedAxis_ = orientation_;
        savedMinimum_ = h ? minimumWidth() : minimumHeight();
        savedMaximum_ = h ? maximumWidth() : maximumHeight();
        locked_ = true;
    }
    if (h) {
        setMinimumWidth(extent);
        setMaximumWidth(extent);
    } else {
        setMinimumHeight(extent);
        setMaximumHeight(extent);
    }
    ApplyExtent(extent);
}

void TFoldPanel::UnlockExtent() {
    if (!locked_)
        return;
    locked_ = false;
    if (lockedAxis_ == foHorizontal) {
        setMinimumWidth(savedMinimum_);
        setMaximumWidth(savedMaximum_);
    } else {
        setMinimumHeight(savedMinimum_);
        setMaximumHeight(savedMaximum_);
    }
}

void TFoldPanel::ApplyExtent(int extent) {
    const bool h = orientation_ == foHorizontal;
    auto* splitter = qobject_cast<QSplitter*>(parentWidget());
    if (splitter && splitter->orientation() == (h ? Qt::Horizontal : Qt::Vertical)) {
        // A splitter keeps its own sizes: change them, giving the room to or taking it from the
        // neighbour after this panel (before it when it is the last).
        QList<int> sizes = splitter->sizes();
        const int i = splitter->indexOf(this);
        if (i >= 0 && sizes.size() > 1) {
            const int delta = extent - sizes[i];
            const int j = i + 1 < sizes.size() ? i + 1 : i - 1;
            sizes[i] = extent;
            sizes[j] = std::max(0, sizes[j] - delta);
            splitter->setSizes(sizes);
        }
    }
    if (h)
        resize(extent, height());
    else
        resize(width(), extent);
}

void TFoldPanel::UpdateClientArea() {
    if (!client_)
        return;
    const bool reserve = folding_ && !client_->noReservation_;
    const int thickness = reserve ? StripThickness(orientation_, StateGlyph().size(), Frame(), separated_) : 0;
    client_->reserved_ = thickness;
    const QRect area = PanelClientRect();
    const QRect inner = InnerRect().translated(-area.topLeft());
    client_->setGeometry(
        FoldClientRect(area.size(), inner, orientation_, position_, thickness, reserve).translated(area.topLeft()));
    glyphRect_ =
        folding_ ? GlyphRect(area.size(), CurrentGlyph().size(), position_, Frame().Inset()).translated(area.topLeft())
                 : QRect();
}

QSize TFoldPanel::minimumSizeHint() const {
    const QSize c = client_->minimumSizeHint().expandedTo(QSize(0, 0));
    const QMargins m = contentsMargins();
    const bool reserve = folding_ && !client_->noReservation_;
    const int strip = reserve ? StripThickness(orientation_, StateGlyph().size(), Frame(), separated_) : 0;
    int w = c.width() + m.left() + m.right();
    int h = c.height() + m.top() + m.bottom();
    if (orientation_ == foHorizontal)
        h = c.height() + std::max(strip, m.top()) + m.bottom();
    else
        w = c.width() + std::max(strip, m.left()) + m.right();
    if (isCollapsed()) {
        const int folded = FoldedExtent(orientation_ == foHorizontal ? CollapsedWidth() : CollapsedHeight(), Frame());
        (orientation_ == foHorizontal ? w : h) = folded;
    }
    return {w, h};
}

void TFoldPanel::Repaint() {
    hover_ = false;
    updateGeometry();
    UpdateClientArea();
    update();
}

void TFoldPanel::FrameChanged() {
    BevelPanel::FrameChanged();
    UpdateClientArea();
}

void TFoldPanel::resizeEvent(QResizeEvent* event) {
    BevelPanel::resizeEvent(event);
    if (isExpanded() && !locked_)
        savedExtent_ = AxisExtent();
    UpdateClientArea();
}

void TFoldPanel::childEvent(QChildEvent* event) {
    BevelPanel::childEvent(event);
    if (!event->added() || !client_ || event->child() == client_ || !event->child()->isWidgetType())
        return;
    auto* w = static_cast<QWidget*>(event->child());
    if (!w->isWindow())
        w->setParent(client_);
}

QList<QWidget*> TFoldPanel::Controls() const {
    return client_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

QWidget* TFoldPanel::GetControl(int i) const {
    const QList<QWidget*> c = Controls();
    return i >= 0 && i < c.size() ? c[i] : nullptr;
}

int TFoldPanel::GetControlCount() const {
    return static_cast<int>(Controls().size());
}

QObject* TFoldPanel::GetComponent(int i) const {
    const QObjectList& c = client_->children();
    return i >= 0 && i < c.size() ? c[i] : nullptr;
}

int TFoldPanel::GetComponentCount() const {
    return static_cast<int>(client_->children().size());
}

void TFoldPanel::SetFolding(bool folding) {
    if (folding_ == folding)
        return;
    folding_ = folding;
    client_->noReservation_ = !folding;
    if (!folding)
        Expand();
    Repaint();
}

void TFoldPanel::SetOrientation(TFoldOrientation o) {
    if (orientation_ == o)
        return;
    const bool wasFolded = isCollapsed();
    orientation_ = o;
    savedExtent_ = AxisExtent();
    if (wasFolded)
        Expand();
    LoadDefaultGlyphs();
    if (wasFolded)
        Collaps();
    Repaint();
}

void TFoldPanel::SetFoldPosition(TFoldPosition p) {
    if (position_ == p)
        return;
    position_ = p;
    Repaint();
}

void TFoldPanel::SetFoldActiveColor(const QColor& c) {
    activeColor_ = c;
    RebuildActiveGlyphs();
    update();
}

void TFoldPanel::SetGlyphExpand(const QImage& glyph) {
    userExpand_ = !glyph.isNull() && !glyph.size().isEmpty();
    if (userExpand_)
        glyphExpand_ = glyph.convertToFormat(QImage::Format_RGB32);
    LoadDefaultGlyphs();
    Repaint();
}

void TFoldPanel::SetGlyphCollaps(const QImage& glyph) {
    userCollaps_ = !glyph.isNull() && !glyph.size().isEmpty();
    if (userCollaps_)
        glyphCollaps_ = glyph.convertToFormat(QImage::Format_RGB32);
    LoadDefaultGlyphs();
    Repaint();
}

void TFoldPanel::SetSeperated(bool v) {
    if (separated_ == v)
        return;
    separated_ = v;
    Repaint();
}

void TFoldPanel::SetSeperatorLineStyle(TBevelStyle v) {
    if (separatorStyle_ == v)
        return;
    separatorStyle_ = v;
    Repaint();
}

void TFoldPanel::SetCaptionFont(const QFont& f) {
    captionFont_ = f;
    update();
}

void TFoldPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect area = PanelClientRect();
    PaintBackground(p, area);
    PaintFrame(p);
    if (!folding_)
        return;
    const FoldFrame frame = Frame();
    const QColor light = HighlightColour();
    const QColor dark = ShadowColour();
    if (isCollapsed() && frame.bevelCount == 0) {
        QRect r = area;
        Frame3D(p, r, light, dark, 1);
    }
    const QImage& glyph = CurrentGlyph();
    glyphRect_ = GlyphRect(area.size(), glyph.size(), position_, frame.Inset()).translated(area.topLeft());
    p.drawImage(glyphRect_.topLeft(), GlyphOnBrush(glyph, Color()));
    if (separated_) {
        const SeparatorLines s =
            SeparatorFor(area.size(), glyphRect_.translated(-area.topLeft()), orientation_, position_, frame.Inset());
        // A lowered groove: shadow towards the glyph's side for vertical strips, away from it
        // for horizontal ones; raised swaps the colours.
        QColor edge = orientation_ == foHorizontal ? light : dark;
        QColor beside = orientation_ == foHorizontal ? dark : light;
        if (separatorStyle_ == bsRaised)
            std::swap(edge, beside);
        p.fillRect(QRect(s.edgeFrom, s.edgeTo).translated(area.topLeft()), edge);
        p.fillRect(QRect(s.besideFrom, s.besideTo).translated(area.topLeft()), beside);
    }
    if (isCollapsed() && !Caption().isEmpty()) {
        const QFontMetrics fm(captionFont_);
        const QSize text(fm.horizontalAdvance(Caption()), fm.height());
        const CaptionPlacement c = CaptionFor(glyphRect_, text, orientation_, position_);
        p.save();
        p.setFont(captionFont_);
        p.setPen(palette().color(QPalette::WindowText));
        p.translate(c.origin);
        p.rotate(c.rotation);
        p.drawText(QRect(QPoint(0, 0), text), Qt::AlignLeft | Qt::AlignTop, Caption());
        p.restore();
    }
    if (pressed_) {
        QRect r = glyphRect_.adjusted(1, 1, -1, -1);
        Frame3D(p, r, dark, light, 1);
    }
}

void TFoldPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (folding_ && event->button() == Qt::LeftButton && glyphRect_.contains(pt)) {
        pressPos_ = pt;
        pressed_ = true;
        update(glyphRect_);
    }
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), pt.x(), pt.y());
}

void TFoldPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    if (OnDblClick)
        OnDblClick(this);
    mousePressEvent(event);
}

void TFoldPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (folding_) {
        const bool inside = glyphRect_.contains(pt);
        if (inside != hover_) {
            hover_ = inside;
            update(glyphRect_);
        }
        if (inside)
            ArmHoverTimer();
    }
    if (OnMouseMove)
        OnMouseMove(this, event->modifiers(), pt.x(), pt.y());
}

void TFoldPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    if (folding_ && left) {
        if (pressed_ && glyphRect_.contains(pressPos_) && glyphRect_.contains(pt))
            foldClickPending_ = true;
        pressed_ = false;
        update(glyphRect_);
    }
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), pt.x(), pt.y());
    if (left && rect().contains(pt)) {
        if (foldClickPending_) {
            foldClickPending_ = false;
            FoldClick();
        } else if (OnClick) {
            OnClick(this);
        }
    }
}

void TFoldPanel::leaveEvent(QEvent* event) {
    BevelPanel::leaveEvent(event);
    update(glyphRect_);
}

void TFoldPanel::FoldClick() {
    bool doFoldAction = true;
    if (OnFoldClick)
        OnFoldClick(this, status_, doFoldAction);
    if (doFoldAction)
        SetFoldStatus(isCollapsed() ? fsExpanded : fsCollapsed);
}

void TFoldPanel::ArmHoverTimer() {
    if (!gHoverTimer) {
        gHoverTimer = new QTimer;
        gHoverTimer->setInterval(kHoverInterval);
        QObject::connect(gHoverTimer, &QTimer::timeout, [] {
            if (gHoverOwner)
                gHoverOwner->HoverTimerTick();
        });
    }
    if (gHoverTimer->isActive() && gHoverOwner && gHoverOwner != this)
        gHoverOwner->HoverTimerTick();
    gHoverOwner = this;
    gHoverTimer->start();
}

void TFoldPanel::HoverTimerTick() {
    if (QApplication::widgetAt(QCursor::pos()) == this)
        return;
    if (gHoverOwner == this) {
        gHoverTimer->stop();
        gHoverOwner = nullptr;
    }
    Repaint();
}

}  // namespace vs
