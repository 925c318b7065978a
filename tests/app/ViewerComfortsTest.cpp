#include "app/PictureView.h"
#include "app/RegistryFile.h"
#include "app/TMainForm.h"
#include "controls/TFoldPanel.h"
#include "controls/TImagesListView.h"
#include "graphics/BmpFile.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

class ViewerComfortsTest : public ::testing::Test {
protected:
    std::string Library() const { return home.file("bin/Photo Folder/"); }
    std::string SettingsFile() const { return home.file(".config/vantor-see/settings.reg"); }

    // Starts the window as the program does: the stored place first, then the show.
    TMainForm& Start(const std::vector<std::string>& pictures = {}) {
        std::filesystem::create_directories(Library());
        for (const std::string& name : pictures) SaveBmpFile(test::CoordinatePicture(40, 30), Library() + name);
        MainFormEnvironment env{SettingsFile(), home.file("bin"), home.file("Pictures")};
        env.wallpaper = &wallpaper;
        form = std::make_unique<TMainForm>(prompts, env);
        form->RestoreWindowPlace();
        form->show();
        return *form;
    }
    void Restart() {
        form->close();
        form.reset();
        Start();
    }
    TImagesListView& Grid() const { return *form->Ui().ImagesListView1; }
    std::string ShownName() const {
        const std::string& shown = form->ShownFilePath();
        return shown.substr(shown.rfind('/') + 1);
    }
    void Key(Qt::Key key) { QTest::keyClick(form->Ui().SeeBox, key); }
    void Wheel(QWidget* target, int dx, int dy, Qt::KeyboardModifiers mods) {
        const QPointF at(5, 5);
        QWheelEvent e(at, target->mapToGlobal(at), QPoint(), QPoint(dx, dy), Qt::NoButton, mods, Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(target, &e);
    }
    // Runs a timer's expiry now, as its interval would.
    void Fire(const char* timerName) {
        auto* timer = form->findChild<QTimer*>(timerName);
        ASSERT_NE(timer, nullptr) << timerName;
        QMetaObject::invokeMethod(timer, "timeout");
    }
    QString CheckedZoom() const {
        for (const char* name : {"AutoSize", "FullSize", "Size2_1", "Size4_1", "Size8_1"})
            if (form->Action(name)->isChecked())
                return name;
        return {};
    }

    test::TempHome home;
    fake::FakePrompts prompts;
    fake::FakeWallpaper wallpaper;
    std::unique_ptr<TMainForm> form;
};

TEST_F(ViewerComfortsTest, KeysOnThePictureBrowseTheGridAndPanelOneFollows) {
    TMainForm& f = Start({"a.bmp", "Beach.BMP", "c.bmp"});
    ASSERT_EQ(Grid().count(), 3);
    Grid().setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    f.Ui().SeeBox->setFocus();
    const std::vector<std::pair<Qt::Key, int>> steps = {
        {Qt::Key_Right, 1}, {Qt::Key_Space, 2}, {Qt::Key_PageDown, 2}, {Qt::Key_Left, 1},
        {Qt::Key_Home, 0},  {Qt::Key_Up, 0},    {Qt::Key_End, 2},      {Qt::Key_Backspace, 1}};
    for (const auto& [key, row] : steps) {
        Key(key);
        EXPECT_EQ(Grid().currentRow(), row) << key;
        EXPECT_EQ(Grid().selectedItems().size(), 1);
        EXPECT_EQ(QString::fromStdString(f.ShownFilePath()), (Grid().Path() + Grid().item(row)->text()).toLower())
            << key;
    }
    // The shown file's own name, its place, size and date.
    const QString details = f.Ui().StatusPanel1->text();
    EXPECT_TRUE(details.startsWith("Beach.BMP  |  2 / 3  |  3.6 KB  |  ")) << details.toStdString();
    EXPECT_EQ(f.ItemDetailsText(Grid().item(0)).left(17), "a.bmp  |  1 / 3  ");
    // A grid item's tool tip tells the same.
    const QPoint onItem = Grid().visualItemRect(Grid().item(0)).center();
    QHelpEvent help(QEvent::ToolTip, onItem, Grid().viewport()->mapToGlobal(onItem));
    QApplication::sendEvent(Grid().viewport(), &help);
    EXPECT_EQ(QToolTip::text(), f.ItemDetailsText(Grid().item(0)));
    // Modified keys are not browsing keys.
    QTest::keyClick(f.Ui().SeeBox, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(Grid().currentRow(), 1);
}

TEST_F(ViewerComfortsTest, FullScreenHidesTheRestAndReturnsToTheSameGeometry) {
    TMainForm& f = Start({"a.bmp"});
    Grid().setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    f.setGeometry(60, 70, 640, 480);
    const QRect before = f.geometry();
    const QList<int> splitter = f.Ui().Splitter1->sizes();
    QTest::keyClick(f.Ui().ImagesListView1, Qt::Key_F11);
    EXPECT_TRUE(f.ContentFullScreen());
    EXPECT_TRUE(f.windowState() & Qt::WindowFullScreen);
    EXPECT_FALSE(f.Ui().TopPanel->isVisible());
    EXPECT_FALSE(f.Ui().FoldPanel1->isVisible());
    EXPECT_FALSE(f.Ui().StatusBar1->isVisible());
    EXPECT_EQ(f.Ui().SeeBox->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(f.focusWidget(), f.Ui().SeeBox);
    // The cursor and the slide show button go after a while without movement and come back
    // with the mouse.
    EXPECT_TRUE(f.Ui().SlideShowButton->isVisible());
    Fire("CursorTimer");
    EXPECT_EQ(f.Ui().Image1->cursor().shape(), Qt::BlankCursor);
    EXPECT_FALSE(f.Ui().SlideShowButton->isVisible());
    QTest::mouseMove(f.Ui().Image1, QPoint(4, 4));
    EXPECT_NE(f.Ui().Image1->cursor().shape(), Qt::BlankCursor);
    EXPECT_TRUE(f.Ui().SlideShowButton->isVisible());
    Key(Qt::Key_Escape);
    QCoreApplication::processEvents();  // the splitter shows its handle again on a posted event
    EXPECT_FALSE(f.ContentFullScreen());
    EXPECT_EQ(f.geometry(), before);
    EXPECT_EQ(f.Ui().Splitter1->sizes(), splitter);
    EXPECT_TRUE(f.Ui().TopPanel->isVisible() && f.Ui().StatusBar1->isVisible());
    // A double click on the picture goes and comes back too.
    QTest::mouseDClick(f.Ui().Image1, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(f.ContentFullScreen());
    QTest::mouseDClick(f.Ui().Image1, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(f.ContentFullScreen());
    EXPECT_EQ(f.geometry(), before);
}

TEST_F(ViewerComfortsTest, CtrlWheelStepsThroughTheZoomModesAndPlainWheelScrolls) {
    TMainForm& f = Start({"a.bmp"});
    Grid().setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
    QWidget* image = f.Ui().Image1;
    for (const char* expected : {"Size8_1", "Size4_1", "Size2_1", "FullSize", "FullSize"}) {
        Wheel(image, 0, 120, Qt::ControlModifier);
        EXPECT_EQ(CheckedZoom(), expected);
    }
    EXPECT_EQ(f.CurrentZoom(), ZoomMode::FullSize);
    Wheel(image, 0, -60, Qt::ControlModifier);  // half a notch: not yet a step
    EXPECT_EQ(CheckedZoom(), "FullSize");
    Wheel(image, 0, -60, Qt::ControlModifier);
    EXPECT_EQ(CheckedZoom(), "Size2_1");
    EXPECT_EQ(f.CurrentZoom(), ZoomMode::HalfSize);

    const QPoint at = f.Ui().SeePanel->pos();
    Wheel(image, 0, -120, Qt::NoModifier);
    EXPECT_EQ(f.Ui().SeePanel->pos(), at + QPoint(0, -60));
    Wheel(image, 0, 240, Qt::ShiftModifier);
    EXPECT_EQ(f.Ui().SeePanel->pos(), at + QPoint(120, -60));
    // A fitted picture does not scroll.
    f.Action("AutoSize")->trigger();
    const QPoint fitted = f.Ui().SeePanel->pos();
    Wheel(image, 0, -120, Qt::NoModifier);
    EXPECT_EQ(f.Ui().SeePanel->pos(), fitted);
}

TEST_F(ViewerComfortsTest, WindowPlaceSplittersZoomAndFolderAreRemembered) {
    std::filesystem::create_directories(Library() + "Trips");
    TMainForm& first = Start();
    EXPECT_EQ(first.size(), QSize(572, 514));  // the first start keeps its size
    first.setGeometry(50, 60, 700, 520);
    first.Ui().Splitter1->setSizes({200, 497});
    first.Action("Size4_1")->trigger();
    QTreeWidgetItem* root = first.Ui().FolderTreeView->topLevelItem(0);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->childCount(), 1);
    first.Ui().FolderTreeView->setCurrentItem(root->child(0));
    const QList<int> splitter = first.Ui().Splitter1->sizes();
    Restart();
    EXPECT_EQ(form->geometry(), QRect(50, 60, 700, 520));
    EXPECT_EQ(form->Ui().Splitter1->sizes(), splitter);
    EXPECT_EQ(CheckedZoom(), "Size4_1");
    EXPECT_EQ(form->CurrentZoom(), ZoomMode::QuarterSize);
    EXPECT_EQ(Grid().Path().toStdString(), Library() + "Trips/");

    // A place on no screen is centred on the first one (within the frame's rounding).
    form->close();
    form.reset();
    {
        SettingsKey key(SettingsFile(), std::string(kSettingsKeyPath));
        key.WriteString("Window Geometry", "-9000,-9000,600,400");
    }
    Start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form->size(), QSize(600, 400));
    EXPECT_LE(std::abs(form->geometry().center().x() - screen.center().x()), 4);
    EXPECT_LE(std::abs(form->geometry().center().y() - screen.center().y()), 4);

    // A maximised window comes back maximised.
    form->showMaximized();
    Restart();
    EXPECT_TRUE(form->isMaximized());
}

TEST_F(ViewerComfortsTest, SlideShowStepsThroughThePicturesUntilAKeyOrClick) {
    std::filesystem::create_directories(Library());
    test::WriteText(Library() + "b.txt", "not a picture");
    test::WriteText(SettingsFile(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n"
                                    "\"Slide Show Seconds\"=dword:00000005\n");
    TMainForm& f = Start({"a.bmp", "c.bmp"});
    ASSERT_EQ(Grid().count(), 3);
    Grid().setCurrentItem(Grid().findItems("b.txt", Qt::MatchExactly).value(0));
    ASSERT_EQ(ShownName(), "b.txt");
    // Ctrl+F11 goes full screen and starts at the next picture; text files are passed over
    // and the end wraps round.
    QTest::keyClick(Grid().viewport(), Qt::Key_F11, Qt::ControlModifier);
    EXPECT_TRUE(f.SlideShowRunning() && f.ContentFullScreen());
    EXPECT_EQ(f.findChild<QTimer*>("SlideShowTimer")->interval(), 5000);
    EXPECT_EQ(ShownName(), "c.bmp");
    for (const char* expected : {"a.bmp", "c.bmp"}) {
        Fire("SlideShowTimer");
        EXPECT_EQ(ShownName(), expected);
    }
    // A key stops the show and does nothing else; full screen stays.
    Key(Qt::Key_Right);
    EXPECT_FALSE(f.SlideShowRunning());
    EXPECT_EQ(ShownName(), "c.bmp");
    EXPECT_TRUE(f.ContentFullScreen());
    // The button starts it again, a click stops it.
    QTest::mouseClick(f.Ui().SlideShowButton, Qt::LeftButton);
    EXPECT_TRUE(f.SlideShowRunning());
    QTest::mouseClick(f.Ui().Image1, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_FALSE(f.SlideShowRunning());
    EXPECT_TRUE(f.ContentFullScreen());
    // Escape stops it and leaves full screen, as always.
    QTest::keyClick(f.Ui().SeeBox, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_TRUE(f.SlideShowRunning());
    Key(Qt::Key_Escape);
    EXPECT_FALSE(f.SlideShowRunning() || f.ContentFullScreen());
}

}  // namespace
}  // namespace vs
