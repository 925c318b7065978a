#include "controls/TOrvikRect.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace vs {
namespace {

const QColor kGround(0, 160, 0);

// A rectangle over a green field, shown.
struct Field {
    Field() {
        ground.resize(400, 300);
        ground.setAutoFillBackground(true);
        QPalette pal = ground.palette();
        pal.setColor(QPalette::Window, kGround);
        ground.setPalette(pal);
        rect = new TOrvikRect(&ground);
        rect->setGeometry(50, 40, 100, 60);
        ground.show();
        QCoreApplication::processEvents();
    }
    QImage Shot() { return ground.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Presses at a point of the control, moves the mouse by delta (as seen on the field, in two
    // steps) and releases.
    void Drag(QPoint press, QPoint delta) {
        const QPoint start = rect->pos() + press;
        QTest::mousePress(rect, Qt::LeftButton, {}, press);
        for (const QPoint step : {start + delta / 2, start + delta}) QTest::mouseMove(rect, step - rect->pos());
        QTest::mouseRelease(rect, Qt::LeftButton, {}, start + delta - rect->pos());
    }
    QWidget ground;
    TOrvikRect* rect;
};

TEST(OrvikRect, DrawsOutlineAndHandlesOverWhatLiesBeneath) {
    Field f;
    QImage shot = f.Shot();
    const QColor red(255, 0, 0);
    const QPoint o(50, 40);
    EXPECT_EQ(shot.pixel(o + QPoint(20, 0)), QColor(red).rgb());  // outline
    EXPECT_EQ(shot.pixel(o + QPoint(99, 20)), QColor(red).rgb());
    EXPECT_EQ(shot.pixel(o + QPoint(20, 59)), QColor(red).rgb());
    EXPECT_EQ(shot.pixel(o + QPoint(20, 1)), QColor(kGround).rgb());  // transparent inside
    EXPECT_EQ(shot.pixel(o + QPoint(4, 4)), QColor(red).rgb());       // handle 0, 5 x 5
    EXPECT_EQ(shot.pixel(o + QPoint(5, 5)), QColor(kGround).rgb());
    EXPECT_EQ(shot.pixel(o + QPoint(50, 3)), QColor(red).rgb());        // handle 4
    EXPECT_EQ(shot.pixel(o + QPoint(2, 30)), QColor(red).rgb());        // handle 6
    EXPECT_EQ(shot.pixel(o + QPoint(100, 20)), QColor(kGround).rgb());  // nothing outside
    EXPECT_FALSE(f.rect->HandlesReady());                               // reset after every paint

    f.rect->SetF_Selected(false);
    shot = f.Shot();
    EXPECT_EQ(shot.pixel(o + QPoint(4, 4)), QColor(kGround).rgb());  // no handles, the outline stays
    EXPECT_EQ(shot.pixel(o + QPoint(0, 4)), QColor(red).rgb());
    f.rect->SetF_ShowRect(false);
    shot = f.Shot();
    EXPECT_EQ(shot.pixel(o + QPoint(20, 0)), QColor(kGround).rgb());

    f.rect->SetF_ShowRect(true);
    f.rect->SetF_Selected(true);
    f.rect->SetF_MpColor(QColor(0, 0, 255));
    const QImage blue = f.Shot();
    EXPECT_EQ(blue.pixel(o + QPoint(20, 0)), QColor(QColor(0, 0, 255)).rgb());
    f.rect->SetF_RectColor(QColor(255, 255, 0));
    EXPECT_EQ(f.rect->RectColor(), QColor(255, 255, 0));
    EXPECT_EQ(f.Shot(), blue);  // stored only
}

TEST(OrvikRect, HitTestSetsTheSizingCursors) {
    Field f;
    const Qt::CursorShape cursors[8] = {Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeBDiagCursor,
                                        Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeVerCursor,
                                        Qt::SizeHorCursor,   Qt::SizeHorCursor};
    for (int i = 0; i < 8; ++i) {
        const QPoint c = f.rect->HandleRects()[static_cast<std::size_t>(i)].center();
        EXPECT_EQ(f.rect->GetCursorStatus(c.x(), c.y()), i);
        EXPECT_EQ(f.rect->mCursor(), i);
        EXPECT_EQ(f.rect->cursor().shape(), cursors[i]) << i;
    }
    EXPECT_EQ(f.rect->GetCursorStatus(5, 5), 0);
    EXPECT_EQ(f.rect->GetCursorStatus(50, 30), -1);
    EXPECT_EQ(f.rect->mCursor(), -1);
    EXPECT_EQ(f.rect->cursor().shape(), Qt::ArrowCursor);
    // Hovering without a button gives the same feedback.
    QTest::mouseMove(f.rect, QPoint(97, 30));
    QCoreApplication::processEvents();
    EXPECT_EQ(f.rect->cursor().shape(), Qt::SizeHorCursor);
}

TEST(OrvikRect, ResizesFromEachHandleAndMovesFromInside) {
    const QRect expected[8] = {QRect(60, 46, 90, 54),  QRect(50, 46, 110, 54), QRect(60, 40, 90, 66),
                               QRect(50, 40, 110, 66), QRect(50, 46, 100, 54), QRect(50, 40, 100, 66),
                               QRect(60, 40, 90, 60),  QRect(50, 40, 110, 60)};
    for (int i = 0; i < 8; ++i) {
        Field f;
        f.Drag(f.rect->HandleRects()[static_cast<std::size_t>(i)].topLeft() + QPoint(2, 2), QPoint(10, 6));
        EXPECT_EQ(f.rect->geometry(), expected[i]) << "handle " << i;
    }
    Field f;
    f.Drag(QPoint(30, 30), QPoint(-20, 14));
    EXPECT_EQ(f.rect->geometry(), QRect(30, 54, 100, 60));
}

TEST(OrvikRect, NeverSmallerThanTenByTen) {
    Field f;
    f.rect->setGeometry(50, 40, 30, 30);
    QCoreApplication::processEvents();
    f.Drag(QPoint(2, 2), QPoint(25, 25));
    EXPECT_EQ(f.rect->geometry(), QRect(70, 60, 10, 10));  // right and bottom edges stayed

    f.rect->setGeometry(50, 40, 100, 60);
    QCoreApplication::processEvents();
    f.Drag(QPoint(97, 30), QPoint(-150, 0));
    EXPECT_EQ(f.rect->geometry(), QRect(50, 40, 10, 60));
}

TEST(OrvikRect, PressWhileUnselectedMovesAndSelects) {
    Field f;
    f.rect->SetF_Selected(false);
    f.rect->SetF_ShowRect(false);
    f.Drag(QPoint(2, 2), QPoint(10, 6));  // on handle 0's place
    EXPECT_EQ(f.rect->geometry(), QRect(60, 46, 100, 60));
    EXPECT_TRUE(f.rect->Selected());
    EXPECT_TRUE(f.rect->ShowRect());
    // Other buttons do nothing.
    QTest::mousePress(f.rect, Qt::RightButton, {}, QPoint(2, 2));
    QTest::mouseMove(f.rect, QPoint(30, 30));
    QTest::mouseRelease(f.rect, Qt::RightButton, {}, QPoint(30, 30));
    EXPECT_EQ(f.rect->geometry(), QRect(60, 46, 100, 60));
}

}  // namespace
}  // namespace vs
