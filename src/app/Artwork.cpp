#include "app/Artwork.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace vs {

namespace {

struct PictureStyle {
    const char* label;
    QColor top;
    QColor bottom;
    enum { Film, Note, Globe, Pages, Lines } glyph;
};

constexpr int kW = 80;
constexpr int kH = 60;

void DrawGlyph(QPainter& p, const PictureStyle& s) {
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    switch (s.glyph) {
    case PictureStyle::Film:
        p.setBrush(QColor(0, 0, 0, 90));
        p.drawRect(20, 8, 40, 26);
        for (int x = 23; x < 58; x += 7) {
            p.fillRect(x, 10, 3, 3, Qt::white);
            p.fillRect(x, 29, 3, 3, Qt::white);
        }
        break;
    case PictureStyle::Note: {
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(27, 24, 9, 7));
        p.drawEllipse(QRectF(45, 21, 9, 7));
        p.drawLine(35, 27, 35, 8);
        p.drawLine(53, 24, 53, 6);
        p.drawLine(35, 8, 53, 6);
        break;
    }
    case PictureStyle::Globe:
        p.drawEllipse(QRectF(26, 5, 28, 28));
        p.drawEllipse(QRectF(34, 5, 12, 28));
        p.drawLine(26, 19, 54, 19);
        break;
    case PictureStyle::Pages:
        p.setBrush(QColor(255, 255, 255, 200));
        p.drawRect(24, 10, 22, 24);
        p.drawRect(32, 6, 22, 24);
        break;
    case PictureStyle::Lines:
        p.setBrush(Qt::white);
        p.drawRect(27, 5, 26, 30);
        p.setPen(QPen(s.bottom, 1));
        for (int y = 10; y < 32; y += 4)
            p.drawLine(31, y, 49, y);
        break;
    }
}

}  // namespace

QImage TypePicture(int index) {
    static const PictureStyle kStyles[10] = {
        {"AVI", QColor(70, 110, 200), QColor(20, 40, 110), PictureStyle::Film},
        {"MPEG", QColor(60, 150, 170), QColor(15, 70, 90), PictureStyle::Film},
        {"MOV", QColor(120, 120, 130), QColor(40, 40, 50), PictureStyle::Film},
        {"MP3", QColor(230, 140, 40), QColor(150, 60, 0), PictureStyle::Note},
        {"WAV", QColor(200, 90, 60), QColor(110, 30, 20), PictureStyle::Note},
        {"MIDI", QColor(150, 80, 190), QColor(70, 20, 110), PictureStyle::Note},
        {"HTML", QColor(60, 170, 90), QColor(10, 90, 40), PictureStyle::Globe},
        {"XF", QColor(200, 170, 60), QColor(120, 90, 10), PictureStyle::Pages},
        {"TXT", QColor(150, 150, 150), QColor(80, 80, 80), PictureStyle::Lines},
        {"RTF", QColor(90, 120, 170), QColor(40, 60, 100), PictureStyle::Lines},
    };
    const PictureStyle& s = kStyles[std::clamp(index, 0, 9)];
    QImage image(kW, kH, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, kH);
    g.setColorAt(0, s.top);
    g.setColorAt(1, s.bottom);
    p.fillRect(image.rect(), g);
    DrawGlyph(p, s);
    QFont f = p.font();
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 38, kW, 20), Qt::AlignCenter, QString::fromLatin1(s.label));
    p.end();
    return image;
}

QImage ProgramIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    // A framed photograph: sky, sun and a hill.
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(250, 250, 245));
    p.drawRoundedRect(QRectF(4, 8, 56, 48), 4, 4);
    p.fillRect(QRectF(9, 13, 46, 38), QColor(120, 180, 240));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 210, 60));
    p.drawEllipse(QRectF(38, 17, 10, 10));
    QPainterPath hill;
    hill.moveTo(9, 51);
    hill.cubicTo(22, 30, 34, 34, 55, 44);
    hill.lineTo(55, 51);
    hill.closeSubpath();
    p.setBrush(QColor(60, 150, 70));
    p.drawPath(hill);
    p.end();
    return image;
}

QIcon LibraryTreeIcon(TreePicture picture) {
    if (picture == TreePicture::Library)
        return QIcon(QPixmap::fromImage(ProgramIconImage(16)));
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(240, 200, 90));
    p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1);  // the tab
    if (picture == TreePicture::ClosedFolder) {
        p.drawRect(QRectF(1.5, 5.5, 13, 9));
    } else {
        p.drawRect(QRectF(1.5, 5.5, 12, 9));
        p.setBrush(QColor(250, 225, 140));
        QPolygonF flap;
        flap << QPointF(3.5, 8.5) << QPointF(15.5, 8.5) << QPointF(13.5, 14.5) << QPointF(1.5, 14.5);
        p.drawPolygon(flap);
    }
    p.end();
    return QIcon(QPixmap::fromImage(image));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128})
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(size)));
    return icon;
}

QPixmap DragCursorPicture(bool multi) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const QPointF arrow[] = {{0, 0}, {0, 16}, {4, 12}, {7, 19}, {9, 18}, {6, 11}, {11, 11}};
    p.drawPolygon(arrow, 7);
    const int pages = multi ? 3 : 1;
    for (int i = pages - 1; i >= 0; --i)
        p.drawRect(QRectF(12 + 3 * i, 14 + 3 * i, 11, 13));
    return pm;
}

QCursor CursorSlot(int slot) {
    switch (slot) {
    case 1:  // dropper
    case 4:  // pen
    case 5:  // polygon selection
        return QCursor(Qt::CrossCursor);
    case 2:  // flood fill
        return QCursor(Qt::PointingHandCursor);
    case 3:  // selection
        return QCursor(Qt::ArrowCursor);
    case 6:  // measure a length
        return QCursor(Qt::SizeHorCursor);
    case 7:  // measure an area
        return QCursor(Qt::SizeAllCursor);
    case 8:
        return QCursor(Qt::OpenHandCursor);
    case 9:
        return QCursor(Qt::ClosedHandCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

QFont ProgramFont() { return QApplication::font(); }

}  // namespace vs
