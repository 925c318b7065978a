#include "controls/TBitmapHolder.h"
#include "controls/TPaneles.h"

#include <QCoreApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace vs {
namespace {

// A picture whose every pixel tells where it came from.
QImage Coordinates(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x * 7 % 256, y * 11 % 256, (x + y) % 2 ? 200 : 40));
    return img;
}

QImage Solid(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// A panel without bevels, so that the background alone covers it.
std::unique_ptr<TPaneles> FlatPanel(int w, int h) {
    auto panel = std::make_unique<TPaneles>();
    panel->SetBevelOuter(bvNone);
    panel->resize(w, h);
    return panel;
}

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Every pixel of shot equals the picture repeated from the top-left corner.
void ExpectTiled(const QImage& shot, const QImage& picture) {
    int wrong = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != picture.pixel(x % picture.width(), y % picture.height()))
                ++wrong;
    EXPECT_EQ(wrong, 0);
}

TEST(BitmapHolder, NotifiesLinksInOrderAndForgetsThemExactlyOnce) {
    TBitmapHolder holder;
    std::vector<int> calls;
    TLinkChange a, b;
    a.OnChange = [&](TBitmapHolder* sender) {
        EXPECT_EQ(sender, a.Holder());
        calls.push_back(1);
    };
    b.OnChange = [&](TBitmapHolder*) { calls.push_back(2); };
    holder.RegisterChanges(&b);
    holder.RegisterChanges(&a);
    holder.RegisterChanges(&a);  // not twice
    EXPECT_EQ(a.Holder(), &holder);
    holder.SetBitmap(Solid(4, 4, Qt::red));
    EXPECT_EQ(calls, (std::vector<int>{2, 1}));

    holder.UnRegisterChanges(&b);
    EXPECT_EQ(b.Holder(), nullptr);
    holder.UnRegisterChanges(&b);  // absent: nothing
    holder.Change();
    EXPECT_EQ(calls, (std::vector<int>{2, 1, 1}));

    // A link moving to another holder leaves the first one.
    TBitmapHolder other;
    other.RegisterChanges(&a);
    EXPECT_TRUE(holder.Links().empty());
    {
        TLinkChange gone;
        other.RegisterChanges(&gone);
        EXPECT_EQ(other.Links().size(), 2u);
    }
    EXPECT_EQ(other.Links().size(), 1u);
    other.Change();  // the destroyed link is not called
    EXPECT_EQ(calls.back(), 1);
}

TEST(BitmapHolder, IsEmptyUntilGivenAPictureWhichItCopies) {
    TBitmapHolder holder;
    EXPECT_TRUE(holder.isEmpty());
    QImage picture = Solid(3, 2, Qt::blue);
    holder.SetBitmap(picture);
    picture.fill(Qt::red);
    EXPECT_FALSE(holder.isEmpty());
    EXPECT_EQ(holder.GetBitmap().pixel(0, 0), QColor(QColor(Qt::blue)).rgb());
    holder.SetBitmap(QImage());
    EXPECT_TRUE(holder.isEmpty());
}

TEST(BitmapHolder, DrawsABlockTilesAndStretches) {
    TBitmapHolder holder;
    const QImage picture = Coordinates(30, 20);
    holder.SetBitmap(picture);

    QImage target = Solid(100, 50, Qt::black);
    holder.TiledOnH(QRect(0, 0, 100, 50), &target);
    ExpectTiled(target, picture);

    target.fill(Qt::black);
    holder.DrawOnH(QRect(0, 0, 10, 8), &target, 5, 4);
    EXPECT_EQ(target.copy(0, 0, 10, 8), picture.copy(5, 4, 10, 8));
    EXPECT_EQ(target.pixel(10, 0), QColor(QColor(Qt::black)).rgb());
    EXPECT_EQ(target.pixel(0, 8), QColor(QColor(Qt::black)).rgb());

    // Stretching uses all but the last column and row: a 4 x 4 picture shows 3 x 3 bands.
    QImage four(4, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) four.setPixel(x, y, qRgb(x * 60, y * 60, 0));
    holder.SetBitmap(four);
    target = Solid(60, 30, Qt::white);
    holder.StretchOnH(QRect(0, 0, 60, 30), &target);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(target.pixel(x, y), four.pixel(x / 20, y / 10)) << x << "," << y;
}

TEST(Paneles, TilesItsOwnBitmapBeforeTheHoldersAndClipsToTheClient) {
    TBitmapHolder holder;
    const QImage shared = Coordinates(30, 20);
    holder.SetBitmap(shared);
    auto panel = FlatPanel(100, 50);
    panel->SetBitmapHolder(&holder);
    ExpectTiled(Grab(*panel), shared);

    const QImage own = Coordinates(7, 9).mirrored(true, false);
    panel->SetBitmap(own);
    EXPECT_TRUE(holder.Links().empty());  // the own picture stops the holder's notices
    ExpectTiled(Grab(*panel), own);

    panel->SetBitmap(QImage());
    EXPECT_EQ(holder.Links().size(), 1u);
    ExpectTiled(Grab(*panel), shared);
    panel->SetBitmap(QImage());  // registered once only
    EXPECT_EQ(holder.Links().size(), 1u);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST(Paneles, HolderChangesRepaintAndAHolderDestroyedFirstIsForgotten) {
    auto holder = std::make_unique<TBitmapHolder>();
    holder->SetBitmap(Solid(8, 8, Qt::red));
    auto panel = FlatPanel(40, 30);
    panel->SetColor(QColor(10, 120, 10));
    panel->SetBitmapHolder(holder.get());
    panel->show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    panel->installEventFilter(&counter);
    holder->SetBitmap(Solid(8, 8, Qt::blue));
    QCoreApplication::processEvents();
    EXPECT_GT(counter.paints, 0);
    EXPECT_EQ(Grab(*panel).pixel(20, 20), qRgb(0, 0, 255));

    holder.reset();
    EXPECT_EQ(panel->BitmapHolder(), nullptr);
    EXPECT_EQ(Grab(*panel).pixel(20, 20), qRgb(10, 120, 10));
}

TEST(Paneles, PanelDestroyedFirstLeavesTheHolder) {
    TBitmapHolder holder;
    holder.SetBitmap(Solid(2, 2, Qt::red));
    {
        TPaneles panel;
        panel.SetBitmapHolder(&holder);
        EXPECT_EQ(holder.Links().size(), 1u);
    }
    EXPECT_TRUE(holder.Links().empty());
    holder.Change();
}

TEST(Paneles, DrawsBevelsAndBorderAroundTheBackground) {
    TPaneles panel;
    panel.resize(30, 20);
    panel.SetColor(QColor(200, 200, 200));
    panel.SetBevelOuter(bvRaised);
    panel.SetBorderWidth(1);
    panel.SetBevelInner(bvLowered);
    const QColor light = panel.HighlightColour();
    const QColor dark = panel.ShadowColour();
    ASSERT_NE(light, dark);
    const QImage shot = Grab(panel);
    // Outer raised ring: highlight top and left, shadow bottom, right and the two far corners.
    EXPECT_EQ(shot.pixel(0, 0), QColor(light).rgb());
    EXPECT_EQ(shot.pixel(10, 0), QColor(light).rgb());
    EXPECT_EQ(shot.pixel(0, 10), QColor(light).rgb());
    EXPECT_EQ(shot.pixel(29, 0), QColor(dark).rgb());
    EXPECT_EQ(shot.pixel(0, 19), QColor(dark).rgb());
    EXPECT_EQ(shot.pixel(29, 19), QColor(dark).rgb());
    // Border ring in the panel colour, then the inner lowered ring.
    EXPECT_EQ(shot.pixel(1, 10), QColor(QColor(200, 200, 200)).rgb());
    EXPECT_EQ(shot.pixel(2, 10), QColor(dark).rgb());
    EXPECT_EQ(shot.pixel(27, 10), QColor(light).rgb());
    EXPECT_EQ(shot.pixel(15, 10), QColor(QColor(200, 200, 200)).rgb());
    EXPECT_EQ(panel.contentsRect(), QRect(3, 3, 24, 14));
}

TEST(Paneles, CaptionSitsInAVerticallyCentredBandAlignedAsAsked) {
    auto panel = FlatPanel(120, 40);
    panel->SetColor(Qt::white);
    panel->SetCaption("WW");
    // Columns and rows with ink.
    const auto ink = [&] {
        const QImage shot = Grab(*panel);
        QRect box;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (shot.pixel(x, y) != qRgb(255, 255, 255))
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    panel->SetAlignment(Qt::AlignLeft);
    const QRect left = ink();
    ASSERT_FALSE(left.isEmpty());
    EXPECT_LT(left.left(), 5);
    const int line = panel->fontMetrics().height();
    EXPECT_GE(left.top(), (40 - line) / 2);
    EXPECT_LE(left.bottom(), (40 + line) / 2);
    panel->SetAlignment(Qt::AlignRight);
    EXPECT_GT(ink().right(), 114);
    panel->SetAlignment(Qt::AlignHCenter);
    const QRect centre = ink();
    EXPECT_NEAR(centre.center().x(), 60, 3);
}

}  // namespace
}  // namespace vs
