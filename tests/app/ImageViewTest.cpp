#include "app/PictureView.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "graphics/BmpFile.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"
#include "viewer/PictureLoader.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

// A picture whose every pixel tells where it came from.
Bitmap Pattern(int w, int h) { return test::CoordinatePicture(w, h); }

class ImageViewTest : public ::testing::Test {
protected:
    std::string Library() const { return home.file("bin/Photo Folder/"); }

    // Starts the window with the given pictures in the library; the first is shown.
    TMainForm& Start(const std::vector<std::pair<std::string, Bitmap>>& pictures) {
        std::filesystem::create_directories(Library());
        for (const auto& [name, bitmap] : pictures)
            SaveBmpFile(bitmap, Library() + name);
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        env.wallpaper = &wallpaper;
        form = std::make_unique<TMainForm>(prompts, env);
        form->show();
        return *form;
    }
    void Show(const QString& caption) {
        TImagesListView* grid = form->Ui().ImagesListView1;
        const auto found = grid->findItems(caption, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << caption.toStdString();
        grid->setCurrentItem(found[0], QItemSelectionModel::ClearAndSelect);
    }
    void SetArea(int w, int h) { form->Ui().SeeBox->resize(w, h); }
    QRect Frame() const { return form->Ui().SeePanel->geometry(); }
    QImage Shown() const { return form->Ui().Image1->Picture().convertToFormat(QImage::Format_RGB888); }

    test::TempHome home;
    fake::FakePrompts prompts;
    fake::FakeWallpaper wallpaper;
    std::unique_ptr<TMainForm> form;
};

TEST_F(ImageViewTest, AutoSizeKeepsSmallPicturesAndShrinksLargeOnes) {
    TMainForm& f = Start({{"a.bmp", Pattern(400, 300)}, {"b.bmp", Pattern(2000, 1000)}});
    EXPECT_EQ(f.CurrentZoom(), ZoomMode::AutoSize);
    EXPECT_TRUE(f.Action("AutoSize")->isChecked());
    SetArea(1004, 804);
    EXPECT_EQ(Frame(), QRect(300, 250, 404, 304));
    EXPECT_EQ(f.Ui().Image1->geometry(), QRect(2, 2, 400, 300));
    EXPECT_EQ(Shown().size(), QSize(400, 300));
    EXPECT_EQ(Shown().pixelColor(123, 45), QColor(0, 45, 123));

    Show("b.bmp");
    SetArea(804, 604);
    EXPECT_EQ(Frame(), QRect(0, 100, 804, 404));
    EXPECT_EQ(f.Ui().Image1->size(), QSize(800, 400));
    // Nearest neighbour, 2000/800 source columns per displayed column.
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixelColor(100, 10).blue(), (250 & 0xFF));
    EXPECT_EQ(shown.pixelColor(100, 10).green(), 25);
}

TEST_F(ImageViewTest, PaintedPictureEqualsTheRenderedOneAtEveryMode) {
    const Bitmap source = Pattern(640, 360);
    TMainForm& f = Start({{"a.bmp", source}});
    SetArea(700, 500);
    const struct {
        const char* action;
        ZoomMode mode;
    } modes[] = {{"FullSize", ZoomMode::FullSize},
                 {"Size2_1", ZoomMode::HalfSize},
                 {"Size4_1", ZoomMode::QuarterSize},
                 {"Size8_1", ZoomMode::EighthSize},
                 {"AutoSize", ZoomMode::AutoSize}};
    for (const auto& m : modes) {
        f.Action(m.action)->trigger();
        const ZoomLayout layout = ComputeZoomLayout(source.width(), source.height(), 700, 500, m.mode);
        Bitmap expected;
        ASSERT_TRUE(RenderZoomedImage(source, layout, m.mode, expected)) << m.action;
        // What the widget paints on the screen, not what it holds.
        const QImage painted = f.Ui().Image1->grab().toImage().convertToFormat(QImage::Format_RGB888);
        ASSERT_EQ(painted.size(), QSize(expected.width(), expected.height())) << m.action;
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const Rgb e = expected.pixel(x, y);
                if (painted.pixelColor(x, y) != QColor(e.r, e.g, e.b))
                    ++differing;
            }
        EXPECT_EQ(differing, 0) << m.action;
    }
}

TEST_F(ImageViewTest, TransparentPartsOfAPictureShowTheFrameColour) {
    std::filesystem::create_directories(Library());
    ASSERT_EQ(test::Run("convert -size 20x20 xc:'rgb(200,10,10)' -size 20x20 xc:none +append " +
                        test::Quote(Library() + "half.png"))
                  .exitCode,
              0);
    TMainForm& f = Start({{"a.bmp", Pattern(8, 8)}});
    Show("half.png");
    f.Action("FullSize")->trigger();
    const QImage shown = Shown();
    ASSERT_EQ(shown.size(), QSize(40, 20));
    const QColor frame = f.Ui().SeePanel->palette().color(QPalette::Window);
    EXPECT_NE(frame, QColor(Qt::white));
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(200, 10, 10));
    EXPECT_EQ(shown.pixelColor(30, 5), frame);
}

TEST_F(ImageViewTest, ZoomActionsAndTinyResults) {
    TMainForm& f = Start({{"a.bmp", Pattern(100, 60)}});
    SetArea(500, 400);
    f.Action("Size8_1")->trigger();
    EXPECT_EQ(f.CurrentZoom(), ZoomMode::EighthSize);
    for (const char* other : {"AutoSize", "FullSize", "Size2_1", "Size4_1"})
        EXPECT_FALSE(f.Action(other)->isChecked()) << other;
    // 12 x 7 bitmap holding an 11 x 7 picture at the left; the rest is the black frame colour.
    ASSERT_EQ(Shown().size(), QSize(12, 7));
    EXPECT_EQ(f.Ui().Image1->size(), QSize(12, 7));
    EXPECT_EQ(Frame(), QRect((496 - 12) / 2, (396 - 7) / 2, 16, 11));
    EXPECT_EQ(Shown().pixelColor(11, 3), QColor(0, 0, 0));
    EXPECT_EQ(Shown().pixelColor(1, 1).red(), 0);
    f.Action("Size2_1")->trigger();
    EXPECT_EQ(f.Ui().Image1->size(), QSize(50, 30));
    f.Action("Size4_1")->trigger();
    EXPECT_EQ(f.Ui().Image1->size(), QSize(25, 15));
    // A content area too small for anything gives an empty picture, not an error.
    f.Action("AutoSize")->trigger();
    SetArea(3, 3);
    EXPECT_EQ(f.Ui().Image1->size(), QSize(0, 0));
    EXPECT_TRUE(f.Ui().Image1->Picture().isNull());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ImageViewTest, EighthOfATinyPictureIsEmpty) {
    TMainForm& f = Start({{"a.bmp", Pattern(5, 5)}});
    SetArea(300, 300);
    f.Action("Size8_1")->trigger();
    EXPECT_EQ(f.Ui().Image1->size(), QSize(0, 0));
    EXPECT_EQ(Frame().size(), QSize(4, 4));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ImageViewTest, FullSizeDragFollowsTheMouseAndRechoosingChangesNothing) {
    TMainForm& f = Start({{"a.bmp", Pattern(900, 700)}});
    SetArea(404, 304);
    f.Action("FullSize")->trigger();
    EXPECT_EQ(f.Ui().Image1->size(), QSize(900, 700));
    EXPECT_EQ(Frame(), QRect((400 - 900) / 2, (300 - 700) / 2, 904, 704));
    EXPECT_EQ(Shown().pixelColor(899, 699), QColor((899 >> 8) | ((699 >> 8) << 4), 699 & 0xFF, 899 & 0xFF));
    EXPECT_EQ(f.Ui().Image1->cursor().shape(), Qt::OpenHandCursor);
    // A resize moves the frame and keeps the rendered picture.
    const qint64 rendered = f.Ui().Image1->Picture().cacheKey();
    SetArea(604, 504);
    EXPECT_EQ(Frame().topLeft(), QPoint((600 - 900) / 2, (500 - 700) / 2));
    EXPECT_EQ(f.Ui().Image1->Picture().cacheKey(), rendered);
    SetArea(404, 304);

    const QPoint start = Frame().topLeft();
    QTest::mousePress(f.Ui().Image1, Qt::LeftButton, {}, QPoint(300, 300));
    EXPECT_TRUE(f.PanActive);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ClosedHandCursor);
    // Move events arrive in the image's coordinates, which travel with the frame.
    QMouseEvent move(QEvent::MouseMove, QPointF(337, 281), QPointF(), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(f.Ui().Image1, &move);
    EXPECT_EQ(Frame().topLeft(), start + QPoint(37, -19));
    QMouseEvent far(QEvent::MouseMove, QPointF(2300, 300), QPointF(), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(f.Ui().Image1, &far);
    EXPECT_EQ(Frame().left(), start.x() + 37 + 2000);  // no limit
    QTest::mouseRelease(f.Ui().Image1, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(f.PanActive);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const QRect dragged = Frame();

    // Choosing the checked mode keeps the dragged frame; another mode re-centres.
    f.Action("FullSize")->trigger();
    EXPECT_TRUE(f.Action("FullSize")->isChecked());
    EXPECT_EQ(Frame(), dragged);
    f.Action("AutoSize")->trigger();
    f.Action("FullSize")->trigger();
    EXPECT_EQ(Frame().topLeft(), start);
    // A right press does not start a drag.
    QTest::mousePress(f.Ui().Image1, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(f.PanActive);
}

TEST_F(ImageViewTest, AnimatedGifPlaysAtTheZoomModeUntilAnotherFileIsShown) {
    std::filesystem::create_directories(Library());
    ASSERT_EQ(test::Run("convert -delay 20 -size 40x20 xc:red xc:lime xc:blue " + test::Quote(Library() + "anim.gif"))
                  .exitCode,
              0);
    TMainForm& f = Start({{"a.bmp", Pattern(8, 8)}});
    Show("anim.gif");
    f.Action("Size2_1")->trigger();
    auto* timer = f.findChild<QTimer*>("AnimationTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 200);
    f.Ui().SeePanel->move(Frame().topLeft() + QPoint(7, 5));
    const QRect dragged = Frame();
    for (const QColor colour : {QColor(0, 255, 0), QColor(0, 0, 255), QColor(255, 0, 0)}) {
        QMetaObject::invokeMethod(timer, "timeout");
        ASSERT_EQ(Shown().size(), QSize(20, 10));
        EXPECT_EQ(Shown().pixelColor(15, 7), colour);
        EXPECT_EQ(Frame(), dragged);
    }
    // Another zoom mode shows the next frames at its size.
    f.Action("FullSize")->trigger();
    QMetaObject::invokeMethod(timer, "timeout");
    ASSERT_EQ(Shown().size(), QSize(40, 20));
    EXPECT_EQ(Shown().pixelColor(30, 15), QColor(0, 255, 0));
    Show("a.bmp");
    EXPECT_FALSE(timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(Shown().size(), QSize(8, 8));
}

TEST_F(ImageViewTest, WallpaperOnlyForTheFirstFourKindsAtFullResolution) {
    const char* tool = std::getenv("VS_TOOL");
    ASSERT_NE(tool, nullptr);
    std::filesystem::create_directories(Library());
    ASSERT_EQ(test::Run(test::Quote(tool) + " samples " + test::Quote(Library())).exitCode, 0);
    TMainForm& f = Start({{"zz big.bmp", Pattern(1200, 900)}});
    SetArea(300, 200);
    const std::string file = home.file(".local/share/vantor-see/VANTORSEEWALLPAPER.BMP");

    Show("badge.tga");
    ASSERT_EQ(f.ContentKind(), kKindTarga);
    f.Action("SetWallpaper")->trigger();
    EXPECT_TRUE(wallpaper.files.empty());
    EXPECT_FALSE(std::filesystem::exists(file));

    Show("zz big.bmp");
    ASSERT_EQ(f.ContentKind(), kKindBmp);
    ASSERT_LT(f.Ui().Image1->width(), 1200);
    f.Action("SetWallpaper")->trigger();
    ASSERT_EQ(wallpaper.files, std::vector<std::string>{file});
    Bitmap written = LoadBmpFile(file);
    EXPECT_EQ(written.bitsPerPixel(), 24);
    EXPECT_EQ(written, Pattern(1200, 900));

    Show("hills.kev");
    ASSERT_EQ(f.ContentKind(), kKindKev);
    wallpaper.works = false;  // no desktop answering: nothing is reported
    f.Action("SetWallpaper")->trigger();
    ASSERT_EQ(wallpaper.files.size(), 2u);
    written = LoadBmpFile(file);
    Bitmap kev;
    ASSERT_TRUE(LoadImageByKind(Library() + "hills.kev", kKindKev, nullptr, kev));
    EXPECT_EQ(written, kev);
    EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace vs
