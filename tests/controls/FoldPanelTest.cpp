#include "controls/FoldGlyphs.h"
#include "controls/TFoldPanel.h"
#include "support/QtTestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vs {
namespace {

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// The left panel of a window: folds horizontally inside a splitter, 177 wide.
struct SplitWindow {
    SplitWindow() {
        splitter.resize(600, 300);
        splitter.setHandleWidth(3);
        splitter.setChildrenCollapsible(false);
        fold = new TFoldPanel(&splitter);
        fold->SetOrientation(foHorizontal);
        other = new QWidget(&splitter);
        splitter.setSizes({177, 420});
        splitter.show();
        Settle();
    }
    QSplitter splitter{Qt::Horizontal};
    TFoldPanel* fold;
    QWidget* other;
};

void ClickAt(QWidget* w, QPoint p) {
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

TEST(FoldGlyphs, DefaultsHaveTheirSizesAndAnOliveTransparentCorner) {
    const std::pair<const char*, QSize> glyphs[] = {{"EXPAND_H", QSize(12, 41)},
                                                    {"COLLAPS_H", QSize(41, 12)},
                                                    {"EXPAND_V", QSize(41, 12)},
                                                    {"COLLAPS_V", QSize(12, 41)}};
    for (const auto& [name, size] : glyphs) {
        const QImage g = DefaultFoldGlyph(name);
        EXPECT_EQ(g.size(), size) << name;
        EXPECT_EQ(GlyphTransparentColour(g), QColor(128, 128, 0)) << name;
        int drawn = 0;  // some art on it
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x) drawn += g.pixel(x, y) != qRgb(128, 128, 0);
        EXPECT_GT(drawn, 20) << name;
    }
    EXPECT_TRUE(DefaultFoldGlyph("OTHER").isNull());
    EXPECT_NE(DefaultFoldGlyph("EXPAND_H"), DefaultFoldGlyph("COLLAPS_V").mirrored(false, true));
}

TEST(FoldGlyphs, ActiveGlyphIsTheBitwiseAndWithTheTint) {
    const QImage g = DefaultFoldGlyph("COLLAPS_H");
    const QImage a = ActiveGlyph(g, QColor(0, 255, 255));
    ASSERT_EQ(a.size(), g.size());
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x) ASSERT_EQ(a.pixel(x, y) & 0xffffff, g.pixel(x, y) & 0x00ffff);
    EXPECT_EQ(GlyphTransparentColour(a), QColor(0, 128, 0));
    const QImage onBrush = GlyphOnBrush(g, QColor(1, 2, 3));
    EXPECT_EQ(onBrush.pixel(0, 11), QColor(QColor(1, 2, 3)).rgb());
}

TEST(FoldPanel, StartsUnfoldedWithItsDefaults) {
    TFoldPanel p;
    EXPECT_EQ(p.FoldStatus(), fsExpanded);
    EXPECT_TRUE(p.isExpanded());
    EXPECT_TRUE(p.Folding());
    EXPECT_EQ(p.Orientation(), foVertical);
    EXPECT_EQ(p.FoldPosition(), fpLeftTop);
    EXPECT_EQ(p.FoldActiveColor(), QColor(0, 255, 255));
    EXPECT_TRUE(p.Seperated());
    EXPECT_EQ(p.SeperatorLineStyle(), bsLowered);
    EXPECT_EQ(p.CaptionFont().pointSize(), 7);
    EXPECT_EQ(p.BevelOuter(), bvRaised);
    EXPECT_EQ(p.ClientBevelOuter(), bvNone);
    EXPECT_EQ(p.ClientBevelInner(), bvNone);
    EXPECT_EQ(p.GlyphExpand().size(), QSize(41, 12));
    EXPECT_EQ(p.GlyphCollaps().size(), QSize(12, 41));
    EXPECT_EQ(p.CurrentGlyph().size(), QSize(12, 41));
    EXPECT_FALSE(p.GetClientWindow()->isHidden());
    // Changing orientation swaps in the other built-in glyphs; a user glyph stays.
    const QImage mine = QImage(20, 30, QImage::Format_RGB32);
    p.SetGlyphExpand(mine);
    p.SetOrientation(foHorizontal);
    EXPECT_EQ(p.GlyphExpand().size(), QSize(20, 30));
    EXPECT_EQ(p.GlyphCollaps().size(), QSize(41, 12));
    p.SetGlyphExpand(QImage());
    EXPECT_EQ(p.GlyphExpand().size(), QSize(12, 41));
}

TEST(FoldPanel, FoldedHorizontalPanelIsFourteenWideAndKeepsItAgainstTheSplitter) {
    SplitWindow w;
    ASSERT_EQ(w.fold->width(), 177);
    w.fold->Collaps();
    Settle();
    EXPECT_EQ(w.fold->width(), 14);
    EXPECT_EQ(w.fold->CollapsedWidth(), 12);
    EXPECT_TRUE(w.fold->GetClientWindow()->isHidden());
    EXPECT_GT(w.other->width(), 420);  // the neighbour got the room

    // Neither the splitter's sizes nor a drag of its handle widen it.
    w.splitter.setSizes({250, 347});
    Settle();
    EXPECT_EQ(w.fold->width(), 14);
    QSplitterHandle* handle = w.splitter.handle(1);
    const QPoint mid(handle->width() / 2, handle->height() / 2);
    QTest::mousePress(handle, Qt::LeftButton, {}, mid);
    QTest::mouseMove(handle, mid + QPoint(120, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, mid + QPoint(120, 0));
    Settle();
    EXPECT_EQ(w.fold->width(), 14);

    w.fold->Expand();
    Settle();
    EXPECT_EQ(w.fold->width(), 177);
    EXPECT_FALSE(w.fold->GetClientWindow()->isHidden());
    EXPECT_EQ(w.fold->maximumWidth(), QWIDGETSIZE_MAX);
}

TEST(FoldPanel, UnfoldedItKeepsItsChildrensMinimumInASplitter) {
    QSplitter s(Qt::Vertical);
    s.resize(300, 400);
    s.setChildrenCollapsible(false);
    auto* fold = new TFoldPanel(&s);
    new QWidget(&s);
    auto* box = new QVBoxLayout(fold->GetClientWindow());
    box->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QWidget;
    grid->setMinimumHeight(80);
    box->addWidget(grid);
    s.show();
    Settle();
    s.setSizes({20, 380});
    Settle();
    EXPECT_EQ(fold->height(), 82);  // the grid and the bevels
    EXPECT_EQ(grid->height(), 80);
    fold->Collaps();
    Settle();
    EXPECT_EQ(fold->height(), 14);
    fold->Expand();
    Settle();
    EXPECT_EQ(fold->height(), 82);
}

TEST(FoldPanel, FoldedExtentCountsBordersAndBothBevels) {
    TFoldPanel p;
    p.resize(200, 150);
    p.SetBorderStyle(bsSingle);
    p.SetBevelInner(bvLowered);
    p.SetBevelWidth(2);
    p.Collaps();
    EXPECT_EQ(p.height(), 12 + 2 + 8);
    EXPECT_EQ(p.width(), 200);
    p.Expand();
    EXPECT_EQ(p.height(), 150);
}

TEST(FoldPanel, EventsComeBeforeAndAfterTheChange) {
    SplitWindow w;
    std::vector<std::string> log;
    w.fold->BeforeCollaps = [&](TFoldPanel* s) { log.push_back("before collaps " + std::to_string(s->width())); };
    w.fold->AfterCollaps = [&](TFoldPanel* s) {
        log.push_back("after collaps " + std::to_string(s->width()) + (s->isCollapsed() ? " folded" : ""));
    };
    w.fold->BeforeExpand = [&](TFoldPanel* s) { log.push_back(s->isCollapsed() ? "before expand folded" : "?"); };
    w.fold->AfterExpand = [&](TFoldPanel* s) { log.push_back("after expand " + std::to_string(s->width())); };
    w.fold->Collaps();
    w.fold->Collaps();  // no change, no events
    w.fold->Expand();
    EXPECT_EQ(log, (std::vector<std::string>{"before collaps 177", "after collaps 14 folded", "before expand folded",
                                             "after expand 177"}));
}

TEST(FoldPanel, GlyphClickFoldsButPressMoveOffReleaseDoesNot) {
    SplitWindow w;
    int clicks = 0;
    w.fold->OnClick = [&](TFoldPanel*) { ++clicks; };
    const QRect g = w.fold->GlyphRectangle();
    ASSERT_EQ(g, QRect(1, 1, 41, 12));
    const QImage before = Grab(*w.fold);
    QTest::mousePress(w.fold, Qt::LeftButton, {}, g.center());
    // A sunken frame one pixel inside the glyph while pressed.
    const QImage pressed = Grab(*w.fold);
    EXPECT_EQ(pressed.pixel(20, 2), w.fold->ShadowColour().rgb());
    EXPECT_EQ(pressed.pixel(2, 8), w.fold->ShadowColour().rgb());
    EXPECT_EQ(pressed.pixel(20, 11), w.fold->HighlightColour().rgb());
    EXPECT_EQ(pressed.pixel(40, 8), w.fold->HighlightColour().rgb());
    QTest::mouseMove(w.fold, g.center() + QPoint(0, 30));
    QTest::mouseRelease(w.fold, Qt::LeftButton, {}, g.center() + QPoint(0, 30));
    EXPECT_TRUE(w.fold->isExpanded());
    EXPECT_EQ(clicks, 1);  // an ordinary click on the panel
    EXPECT_EQ(Grab(*w.fold), before);

    // Pressed outside, released on the glyph: no fold either.
    QTest::mousePress(w.fold, Qt::LeftButton, {}, QPoint(60, 40));
    QTest::mouseRelease(w.fold, Qt::LeftButton, {}, g.center());
    EXPECT_TRUE(w.fold->isExpanded());

    ClickAt(w.fold, g.center());
    EXPECT_TRUE(w.fold->isCollapsed());
    EXPECT_EQ(clicks, 2);
    Settle();
    const QRect folded = w.fold->GlyphRectangle();
    EXPECT_EQ(folded, QRect(1, 1, 12, 41));
    ClickAt(w.fold, folded.center());
    EXPECT_TRUE(w.fold->isExpanded());
}

TEST(FoldPanel, FoldClickHandlerCanKeepTheState) {
    SplitWindow w;
    std::vector<TFoldStatus> asked;
    bool allow = false;
    w.fold->OnFoldClick = [&](TFoldPanel* sender, TFoldStatus status, bool& doFoldAction) {
        EXPECT_EQ(sender, w.fold);
        asked.push_back(status);
        doFoldAction = allow;
    };
    ClickAt(w.fold, w.fold->GlyphRectangle().center());
    EXPECT_TRUE(w.fold->isExpanded());
    allow = true;
    ClickAt(w.fold, w.fold->GlyphRectangle().center());
    EXPECT_TRUE(w.fold->isCollapsed());
    EXPECT_EQ(asked, (std::vector<TFoldStatus>{fsExpanded, fsExpanded}));
}

TEST(FoldPanel, NotFoldingUnfoldsAndGivesTheClientTheWholePanel) {
    SplitWindow w;
    const QRect withStrip = w.fold->GetClientWindow()->geometry();
    EXPECT_EQ(withStrip.top(), 1 + 12 + 1 + 1);  // below bevel, glyph and separator
    w.fold->Collaps();
    w.fold->SetFolding(false);
    Settle();
    EXPECT_TRUE(w.fold->isExpanded());
    EXPECT_EQ(w.fold->width(), 177);
    EXPECT_EQ(w.fold->GetClientWindow()->geometry(), w.fold->InnerRect());
    EXPECT_EQ(w.fold->GetClientWindow()->Reserved(), 0);
    EXPECT_TRUE(w.fold->GetClientWindow()->NoReservation());
    w.fold->Collaps();  // refused
    EXPECT_TRUE(w.fold->isExpanded());
    ClickAt(w.fold, QPoint(5, 5));
    EXPECT_TRUE(w.fold->isExpanded());
    w.fold->SetFolding(true);
    EXPECT_EQ(w.fold->GetClientWindow()->geometry(), withStrip);
}

TEST(FoldPanel, ChildrenLiveOnTheClientAndItsEventsReachThePanel) {
    SplitWindow w;
    auto* label = new QLabel("x", w.fold);
    auto* tree = new QTreeWidget(w.fold);
    EXPECT_EQ(label->parentWidget(), w.fold->GetClientWindow());
    EXPECT_EQ(tree->parentWidget(), w.fold->GetClientWindow());
    EXPECT_EQ(w.fold->GetControlCount(), 2);
    EXPECT_EQ(w.fold->GetControl(1), tree);
    tree->setGeometry(0, 0, 50, 50);
    label->setGeometry(60, 60, 10, 10);
    label->show();

    std::vector<QPoint> downs;
    int clicks = 0;
    w.fold->OnMouseDown = [&](TFoldPanel* s, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        EXPECT_EQ(s, w.fold);
        downs.emplace_back(x, y);
    };
    w.fold->OnClick = [&](TFoldPanel*) { ++clicks; };
    TFoldPanelClient* client = w.fold->GetClientWindow();
    ClickAt(client, QPoint(100, 100));
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0], client->geometry().topLeft() + QPoint(100, 100));
    EXPECT_EQ(clicks, 1);

    std::vector<int> keys;
    QString typed;
    w.fold->OnKeyDown = [&](TFoldPanel*, int key, Qt::KeyboardModifiers) { keys.push_back(key); };
    w.fold->OnKeyPress = [&](TFoldPanel*, const QString& text) { typed += text; };
    QTest::keyClick(client, Qt::Key_Q);
    EXPECT_EQ(keys, std::vector<int>{Qt::Key_Q});
    EXPECT_EQ(typed, "q");
    EXPECT_EQ(w.fold->GetComponentCount(), 2);
    EXPECT_EQ(w.fold->GetComponent(0), label);
}

TEST(FoldPanel, HoverTintsTheGlyphAndMovingToAnotherPanelRestoresIt) {
    QWidget window;
    window.resize(400, 300);
    auto* a = new TFoldPanel(&window);
    auto* b = new TFoldPanel(&window);
    a->setGeometry(0, 0, 150, 300);
    b->setGeometry(200, 0, 150, 300);
    window.show();
    Settle();
    const QImage normal = Grab(*a).copy(a->GlyphRectangle());

    QTest::mouseMove(a, a->GlyphRectangle().center());
    Settle();
    ASSERT_TRUE(a->HoverTinted());
    EXPECT_EQ(TFoldPanel::HoverTimerOwner(), a);
    EXPECT_EQ(a->CurrentGlyph(), ActiveGlyph(a->GlyphCollaps(), a->FoldActiveColor()));
    EXPECT_NE(Grab(*a).copy(a->GlyphRectangle()), normal);

    QTest::mouseMove(b, b->GlyphRectangle().center());
    Settle();
    EXPECT_FALSE(a->HoverTinted());
    EXPECT_TRUE(b->HoverTinted());
    EXPECT_EQ(TFoldPanel::HoverTimerOwner(), b);
    EXPECT_EQ(Grab(*a).copy(a->GlyphRectangle()), normal);

    // The timer keeps the tint while the mouse stays on the panel, and ends it once the
    // mouse is elsewhere.
    b->HoverTimerTick();
    EXPECT_TRUE(b->HoverTinted());
    QTest::mouseMove(&window, QPoint(180, 150));
    EXPECT_TRUE(test::ProcessEventsUntil([&] { return !b->HoverTinted(); }, 5000));
    EXPECT_EQ(TFoldPanel::HoverTimerOwner(), nullptr);
    EXPECT_EQ(Grab(*b).copy(b->GlyphRectangle()), normal);
}

TEST(FoldPanel, PaintsGlyphSeparatorFrameAndCaption) {
    TFoldPanel p;
    p.SetOrientation(foHorizontal);
    p.SetColor(QColor(210, 210, 210));
    p.resize(177, 300);
    const QColor light = p.HighlightColour();
    const QColor dark = p.ShadowColour();
    QImage shot = Grab(p);
    // The collapse glyph at (1, 1): transparent pixels in the panel colour, art as drawn.
    const QImage glyph = p.GlyphCollaps();
    for (int y = 0; y < glyph.height() - 1; ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            const QRgb want = glyph.pixel(x, y) == qRgb(128, 128, 0) ? qRgb(210, 210, 210) : glyph.pixel(x, y);
            ASSERT_EQ(shot.pixel(1 + x, 1 + y), QColor(want).rgb()) << x << "," << y;
        }
    // A lowered groove under it: shadow on the glyph's last row, highlight below.
    EXPECT_EQ(shot.pixel(100, 12), QColor(dark).rgb());
    EXPECT_EQ(shot.pixel(100, 13), QColor(light).rgb());
    p.SetSeperatorLineStyle(bsRaised);
    shot = Grab(p);
    EXPECT_EQ(shot.pixel(100, 12), QColor(light).rgb());
    EXPECT_EQ(shot.pixel(100, 13), QColor(dark).rgb());

    // Folded without bevels: a raised one-pixel frame and the caption reading down the strip.
    p.SetBevelOuter(bvNone);
    p.SetCaption("Library");
    p.Collaps();
    ASSERT_EQ(p.width(), 12);
    shot = Grab(p);
    EXPECT_EQ(shot.pixel(0, 100), QColor(light).rgb());
    EXPECT_EQ(shot.pixel(11, 100), QColor(dark).rgb());
    EXPECT_EQ(shot.pixel(5, 299), QColor(dark).rgb());
    const QFontMetrics fm(p.CaptionFont());
    const int textTop = 41 + 10;
    int ink = 0;
    for (int y = textTop; y < textTop + fm.horizontalAdvance("Library"); ++y)
        for (int x = 1; x < 11; ++x) ink += shot.pixel(x, y) != qRgb(210, 210, 210);
    EXPECT_GT(ink, 15);
    for (int y = 43; y < textTop; ++y)
        for (int x = 1; x < 11; ++x) ASSERT_EQ(shot.pixel(x, y), QColor(QColor(210, 210, 210)).rgb()) << x << "," << y;
}

TEST(FoldPanel, VerticalFoldingKeepsTheStripOnTheLeftAndTheCaptionBesideTheGlyph) {
    TFoldPanel p;
    p.resize(300, 190);
    p.SetColor(QColor(210, 210, 210));
    p.show();
    Settle();
    EXPECT_EQ(p.GetClientWindow()->geometry(), QRect(15, 1, 284, 188));
    p.SetFoldPosition(fpRightBottom);
    EXPECT_EQ(p.GetClientWindow()->geometry(), QRect(1, 1, 284, 188));
    p.SetFoldPosition(fpLeftTop);
    p.SetCaption("Files");
    p.Collaps();
    EXPECT_EQ(p.height(), 14);
    EXPECT_EQ(p.width(), 300);
    const QImage shot = Grab(p);
    int ink = 0;
    for (int y = 1; y < 13; ++y)
        for (int x = 1 + 41 + 10; x < 120; ++x) ink += shot.pixel(x, y) != qRgb(210, 210, 210);
    EXPECT_GT(ink, 10);
    p.Expand();
    EXPECT_EQ(p.height(), 190);
}

TEST(FoldPanel, ChangingOrientationOfAFoldedPanelFoldsTheOtherWay) {
    TFoldPanel p;
    p.resize(200, 150);
    p.Collaps();
    ASSERT_EQ(p.height(), 14);
    p.SetOrientation(foHorizontal);
    EXPECT_TRUE(p.isCollapsed());
    EXPECT_EQ(p.width(), 14);
    EXPECT_EQ(p.GlyphExpand().size(), QSize(12, 41));
    EXPECT_EQ(p.maximumHeight(), QWIDGETSIZE_MAX);
    p.Expand();
    EXPECT_EQ(p.width(), 200);
}

}  // namespace
}  // namespace vs
