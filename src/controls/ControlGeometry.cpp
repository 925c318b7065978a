#include "controls/ControlGeometry.h"

#include <algorithm>

namespace vs {

std::vector<QRect> TileRects(int left, int top, int right, int bottom, QSize tile) {
    std::vector<QRect> tiles;
    const int w = tile.width();
    const int h = tile.height();
    if (w <= 0 || h <= 0 || right <= 0 || bottom <= 0)
        return tiles;
    const int rows = bottom / h + 2;
    const int columns = right / w + 2;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const int x = left + j * w;
            const int y = top + i * h;
            const int tw = x + w > right ? right - x : w;
            const int th = y + h > bottom ? bottom - y : h;
            if (tw > 0 && th > 0)
                tiles.emplace_back(x, y, tw, th);
        }
    return tiles;
}

int CollapsedWidth(TFoldOrientation o, QSize expandGlyph, int currentWidth) {
    const int w = o == foHorizontal ? (expandGlyph.isEmpty() ? 0 : expandGlyph.width()) : currentWidth;
    return std::max(w, kMinimumCollapsedExtent);
}

int CollapsedHeight(TFoldOrientation o, QSize expandGlyph, int currentHeight) {
    const int h = o == foVertical ? (expandGlyph.isEmpty() ? 0 : expandGlyph.height()) : currentHeight;
    return std::max(h, kMinimumCollapsedExtent);
}

int FoldedExtent(int collapsed, const FoldFrame& frame) {
    return collapsed + (frame.singleBorder ? 2 : 0) + 2 * frame.Inset();
}

int StripThickness(TFoldOrientation o, QSize glyph, const FoldFrame& frame, bool separated) {
    const int g = glyph.isEmpty() ? 0 : (o == foHorizontal ? glyph.height() : glyph.width());
    return g + frame.Inset() + (separated ? 2 : 0);
}

QRect FoldClientRect(QSize panel, QRect inner, TFoldOrientation o, TFoldPosition p, int thickness, bool folding) {
    if (!folding)
        return inner;
    int left = inner.left();
    int top = inner.top();
    int right = inner.left() + inner.width();  // exclusive
    int bottom = inner.top() + inner.height();
    if (o == foHorizontal) {
        if (IsTopPosition(p))
            top = std::max(top, thickness);
        else
            bottom = std::min(bottom, panel.height() - thickness);
    } else {
        if (IsLeftPosition(p))
            left = std::max(left, thickness);
        else
            right = std::min(right, panel.width() - thickness);
    }
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

QRect GlyphRect(QSize panel, QSize glyph, TFoldPosition p, int inset) {
    const int x = IsLeftPosition(p) ? inset : panel.width() - glyph.width() - inset;
    const int y = IsTopPosition(p) ? inset : panel.height() - glyph.height() - inset;
    return QRect(QPoint(x, y), glyph);
}

SeparatorLines SeparatorFor(QSize panel, QRect glyph, TFoldOrientation o, TFoldPosition p, int inset) {
    SeparatorLines s;
    if (o == foHorizontal) {
        const int edge = IsTopPosition(p) ? glyph.y() + glyph.height() : glyph.y();
        const int first = inset;
        const int last = panel.width() - inset - 1;
        s.edgeFrom = {first, edge};
        s.edgeTo = {last, edge};
        s.besideFrom = {first, edge - 1};
        s.besideTo = {last, edge - 1};
    } else {
        const int edge = IsLeftPosition(p) ? glyph.x() + glyph.width() : glyph.x();
        const int first = inset;
        const int last = panel.height() - inset - 1;
        s.edgeFrom = {edge, first};
        s.edgeTo = {edge, last};
        s.besideFrom = {edge + 1, first};
        s.besideTo = {edge + 1, last};
    }
    return s;
}

CaptionPlacement CaptionFor(QRect glyph, QSize text, TFoldOrientation o, TFoldPosition p) {
    const int th = text.height();
    CaptionPlacement c;
    if (o == foHorizontal) {
        if (IsTopPosition(p)) {
            // Reads downwards: the text's top faces right, so its band ends at x.
            c.rotation = 90;
            c.origin = {glyph.x() + (th < glyph.width() ? (glyph.width() + th) / 2 : th),
                        glyph.y() + glyph.height() + 10};
        } else {
            c.rotation = -90;
            c.origin = {glyph.x() + (th < glyph.width() ? (glyph.width() - th) / 2 : 0), glyph.y() - 10};
        }
    } else {
        const int top = glyph.y() + (th < glyph.height() ? (glyph.height() - th) / 2 : 0);
        const int x = IsLeftPosition(p) ? glyph.x() + glyph.width() + 10 : glyph.x() - 10 - text.width();
        c.origin = {x, top};
    }
    return c;
}

std::array<QRect, 8> OrvikHandleRects(int left, int top, int right, int bottom) {
    constexpr int s = kHandleSize;
    const int mx = (right - left) / 2 - 2;
    const int my = (bottom - top) / 2 - 2;
    return {QRect(left, top, s, s),        QRect(right - s, top, s, s),
            QRect(left, bottom - s, s, s), QRect(right - s, bottom - s, s, s),
            QRect(mx, top, s, s),          QRect(mx, bottom - s, s, s),
            QRect(left, my, s, s),         QRect(right - s, my, s, s)};
}

bool isInRect(int x, int y, const QRect& rect) {
    return rect.left() <= x && x <= rect.left() + rect.width() && rect.top() <= y && y <= rect.top() + rect.height();
}

int OrvikHitTest(const std::array<QRect, 8>& handles, int x, int y) {
    for (int i = 0; i < 8; ++i)
        if (isInRect(x, y, handles[static_cast<std::size_t>(i)]))
            return i;
    return -1;
}

namespace {

// Moves the left edge by dx keeping the right edge; stops at the minimum width.
void MoveLeftEdge(int& left, int& width, int oldRight, int dx) {
    left += dx;
    width = oldRight - left;
    if (width < kOrvikMinimum) {
        left = oldRight - kOrvikMinimum;
        width = kOrvikMinimum;
    }
}

}  // namespace

QRect OrvikDragStep(const QRect& geometry, int handle, QPoint mouse, QPoint& last) {
    int left = geometry.x();
    int top = geometry.y();
    int width = geometry.width();
    int height = geometry.height();
    const int oldRight = left + width;
    const int oldBottom = top + height;
    const int dx = mouse.x() - last.x();
    const int dy = mouse.y() - last.y();
    const auto grow = [&](int& extent, int delta) { extent = std::max(extent + delta, kOrvikMinimum); };
    switch (handle) {
        case -1:
            left += dx;
            top += dy;
            break;
        case 0:
            MoveLeftEdge(left, width, oldRight, dx);
            MoveLeftEdge(top, height, oldBottom, dy);
            break;
        case 1:
            grow(width, dx);
            MoveLeftEdge(top, height, oldBottom, dy);
            last.setX(mouse.x());
            break;
        case 2:
            MoveLeftEdge(left, width, oldRight, dx);
            grow(height, dy);
            last.setY(mouse.y());
            break;
        case 3:
            grow(width, dx);
            grow(height, dy);
            last = mouse;
            break;
        case 4:
            MoveLeftEdge(top, height, oldBottom, dy);
            break;
        case 5:
            grow(height, dy);
            last.setY(mouse.y());
            break;
        case 6:
            MoveLeftEdge(left, width, oldRight, dx);
            break;
        case 7:
            grow(width, dx);
            last.setX(mouse.x());
            break;
        default:
            break;
    }
    return QRect(left, top, width, height);
}

}  // namespace vs
