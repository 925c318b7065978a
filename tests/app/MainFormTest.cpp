#include "app/ActionTable.h"
#include "app/Dialogs.h"
#include "app/ShortcutRouter.h"
#include "app/PictureView.h"
#include "app/TMainForm.h"
#include "controls/TDirTree.h"
#include "controls/TFoldPanel.h"
#include "controls/TImagesListView.h"
#include "controls/TXFListBox.h"
#include "graphics/BmpFile.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TextFit.h"
#include "viewer/FileKinds.h"
#include "viewer/Fitting.h"

#include <QAction>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTimer>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vs {
namespace {

using test::ReadText;
using test::WriteText;

std::string SettingsText(const std::string& body) {
    return "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n" + body;
}

class MainFormTest : public ::testing::Test {
protected:
    MainFormEnvironment Env() const {
        return {home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
    }
    TMainForm& Start() {
        std::filesystem::create_directories(home.file("bin"));
        form = std::make_unique<TMainForm>(prompts, Env());
        form->show();
        return *form;
    }
    std::string SettingsFile() const { return home.file(".config/vantor-see/settings.reg"); }
    std::string DefaultPhotoFolder() const { return home.file("bin") + "/Photo Folder/"; }

    test::TempHome home;
    fake::FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, FirstStartWritesDefaultsAndMakesThePhotoFolder) {
    TMainForm& f = Start();
    EXPECT_EQ(f.PhotoFolder, DefaultPhotoFolder());
    EXPECT_TRUE(std::filesystem::is_directory(DefaultPhotoFolder()));
    EXPECT_EQ(f.windowTitle(), "Vantor See 1.1   /Photo Folder/");
    EXPECT_EQ(f.TitlePrefix, "Vantor See 1.1   ");
    EXPECT_EQ(f.Ui().ImagesListView1->Path().toStdString(), DefaultPhotoFolder());
    const std::string text = ReadText(SettingsFile());
    EXPECT_NE(text.find("\"Photo Folder\"=\"" + DefaultPhotoFolder() + "\""), std::string::npos);
    for (const char* name : {"_bmp", "_jpg", "_kev", "_xf", "_sfc", "_mig", "_avi", "_mpg", "_mov", "_mp3", "_wav",
                             "_mid", "_rmi"})
        EXPECT_NE(text.find("\"" + std::string(name) + "\"=dword:00000001"), std::string::npos) << name;
    EXPECT_EQ(text.find("_tif"), std::string::npos);
    EXPECT_TRUE(prompts.messages.empty());
    // Initial state of the window.
    EXPECT_TRUE(f.ChangesEnabled());
    EXPECT_EQ(f.ShownFilePath(), "");
    EXPECT_EQ(f.TextPointSize, 12);
    EXPECT_TRUE(f.MediaSyncEnabled);
    EXPECT_EQ(f.Ui().Image1->cursor().shape(), Qt::OpenHandCursor);
    EXPECT_EQ(f.Cursors[9].shape(), Qt::ClosedHandCursor);
    EXPECT_EQ(f.Ui().ImagesListView1->GetbmplistCount(), 9);
    EXPECT_TRUE(f.Banner()->isValid());
    EXPECT_EQ(f.Banner()->state(), QMovie::Running);
}

TEST_F(MainFormTest, InstalledProgramKeepsItsLibraryInThePicturesFolder) {
    // A program folder where no "Photo Folder" can be made (here: below a plain file, which
    // stops root as well as anyone else).
    test::WriteBytes(home.file("program"), {'x'});
    MainFormEnvironment env = Env();
    env.programFolder = home.file("program");
    form = std::make_unique<TMainForm>(prompts, env);
    form->show();
    EXPECT_EQ(form->PhotoFolder, home.file("Pictures") + "/Photo Folder/");
    EXPECT_TRUE(std::filesystem::is_directory(form->PhotoFolder));
    EXPECT_EQ(form->windowTitle(), "Vantor See 1.1   /Photo Folder/");
}

TEST_F(MainFormTest, StoredFlagsAndFolderAreUsedAndMissingFoldersMade) {
    const std::string photos = home.file("lib/deep/er") + "/";
    WriteText(SettingsFile(), SettingsText("\"Photo Folder\"=\"" + photos + "\"\n\"_avi\"=dword:00000000\n"));
    TMainForm& f = Start();
    EXPECT_EQ(f.PhotoFolder, photos);
    EXPECT_TRUE(std::filesystem::is_directory(photos));
    for (int i = 0; i < kFileTypeCount; ++i)
        EXPECT_EQ(f.Ui().ImagesListView1->Flag(i), i != kTypeAvi) << i;
    // The caption names the library root whatever its path.
    EXPECT_EQ(f.windowTitle(), "Vantor See 1.1   /Photo Folder/");
    EXPECT_NE(ReadText(SettingsFile()).find("\"_rmi\"=dword:00000001"), std::string::npos);
}

TEST_F(MainFormTest, AviFilesAreNotListedWhenTheStoredFlagIsOff) {
    const std::string photos = home.file("photos") + "/";
    std::filesystem::create_directories(photos);
    test::WriteBytes(photos + "clip.avi", {'x'});
    test::WriteBytes(photos + "song.mp3", {'x'});
    WriteText(SettingsFile(), SettingsText("\"Photo Folder\"=\"" + photos + "\"\n\"_avi\"=dword:00000000\n"));
    TMainForm& f = Start();
    ASSERT_EQ(f.Ui().ImagesListView1->count(), 1);
    EXPECT_EQ(f.Ui().ImagesListView1->item(0)->text(), "song.mp3");
}

TEST_F(MainFormTest, WrongTypeIsReportedAndTheRestOfStartUpSkipped) {
    WriteText(SettingsFile(), SettingsText("\"_avi\"=\"0\"\n"));
    TMainForm& f = Start();
    ASSERT_EQ(prompts.texts(), (std::vector<std::string>{"Invalid data type for '_avi'"}));
    EXPECT_EQ(prompts.messages[0].caption, "Vantor See 1.1");
    EXPECT_EQ(f.windowTitle(), "");
    EXPECT_EQ(f.Ui().ImagesListView1->GetbmplistCount(), -1);
}

TEST_F(MainFormTest, CloseWritesTheStoredFlagsOnly) {
    TMainForm& f = Start();
    f.Ui().ImagesListView1->SetF_avi(false);
    f.Ui().ImagesListView1->SetF_tif(false);
    f.PhotoFolder = home.file("moved") + "/";
    f.Action("Exit")->trigger();
    EXPECT_FALSE(f.isVisible());
    const std::string text = ReadText(SettingsFile());
    EXPECT_NE(text.find("\"_avi\"=dword:00000000"), std::string::npos);
    EXPECT_NE(text.find("\"Photo Folder\"=\"" + home.file("moved") + "/\""), std::string::npos);
    form.reset();

    TMainForm& again = Start();
    EXPECT_FALSE(again.Ui().ImagesListView1->Flag(kTypeAvi));
    EXPECT_TRUE(again.Ui().ImagesListView1->Flag(kTypeTif));
    EXPECT_EQ(again.PhotoFolder, home.file("moved") + "/");
}

TEST_F(MainFormTest, FoldPanelsGiveTheirRoomAwayAndStayAsLeftAcrossRestarts) {
    TMainForm& f = Start();
    const MainFormUi& ui = f.Ui();
    ASSERT_TRUE(ui.FoldPanel1->isExpanded());
    ASSERT_TRUE(ui.FoldPanel2->isExpanded());
    EXPECT_EQ(ui.FolderTreeView->window(), &f);
    EXPECT_TRUE(ui.FoldPanel1->isAncestorOf(ui.DirTree1));
    EXPECT_TRUE(ui.FoldPanel2->isAncestorOf(ui.ImagesListView1));
    const int rightWidth = ui.RightSplitter->width();
    const int seeBoxHeight = ui.SeeBox->height();

    ui.FoldPanel1->Collaps();
    ui.FoldPanel2->Collaps();
    QCoreApplication::processEvents();
    EXPECT_EQ(ui.FoldPanel1->width(), 14);
    EXPECT_EQ(ui.RightSplitter->width(), rightWidth + 177 - 14);  // the grid and content area widen
    EXPECT_EQ(ui.FoldPanel2->height(), 14);
    EXPECT_EQ(ui.SeeBox->height(), seeBoxHeight + 190 - 14);  // the content area grows
    f.Action("Exit")->trigger();
    const std::string text = ReadText(SettingsFile());
    EXPECT_NE(text.find("\"FoldPanel1 Folded\"=dword:00000001"), std::string::npos);
    EXPECT_NE(text.find("\"FoldPanel2 Folded\"=dword:00000001"), std::string::npos);
    form.reset();

    TMainForm& again = Start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(again.Ui().FoldPanel1->isCollapsed());
    EXPECT_EQ(again.Ui().FoldPanel1->width(), 14);
    EXPECT_TRUE(again.Ui().FoldPanel2->isCollapsed());
    again.Ui().FoldPanel1->Expand();
    QCoreApplication::processEvents();
    EXPECT_EQ(again.Ui().FoldPanel1->width(), 177);
    again.Action("Exit")->trigger();
    EXPECT_NE(ReadText(SettingsFile()).find("\"FoldPanel1 Folded\"=dword:00000000"), std::string::npos);
}

TEST_F(MainFormTest, LayoutNamesEveryControlForAssistiveTools) {
    TMainForm& f = Start();
    EXPECT_EQ(f.size(), QSize(572, 514));
    for (const char* name : {"FoldPanel1", "FoldPanel2", "FolderTreeView", "DirTree1", "ImagesListView1", "SeeBox", "SeePanel", "Image1", "RichEdit1",
                             "HtmlPanel", "AviPanel", "TrackBar1", "XFListBox1", "StatusBar1"}) {
        auto* w = f.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(w, nullptr) << name;
        EXPECT_EQ(w->accessibleName(), QString::fromLatin1(name));
    }
    EXPECT_EQ(f.findChild<QWidget*>("TopPanel")->height(), 46);
    EXPECT_EQ(f.findChild<QWidget*>("TopPanel")->palette().color(QPalette::Window), QColor(233, 233, 233));
    EXPECT_EQ(f.findChild<QWidget*>("FoldPanel1")->width(), 177);
    EXPECT_EQ(f.findChild<QWidget*>("FoldPanel2")->height(), 190);
    EXPECT_EQ(f.Ui().StatusPanel0->width(), 200);
    EXPECT_EQ(f.Ui().StatusPanel1->width(), 354);
    // 48 by 39, wider where the caption needs it.
    EXPECT_GE(f.findChild<QWidget*>("AboutButton")->width(), 48);
    EXPECT_EQ(f.findChild<QWidget*>("AboutButton")->height(), 39);
    // The buttons made for actions are the ones the window keeps, wired to their actions.
    EXPECT_EQ(f.Ui().AboutButton, f.findChild<QWidget*>("AboutButton"));
    EXPECT_EQ(f.Ui().ExitButton->defaultAction(), f.Action("Exit"));
    EXPECT_EQ(f.Ui().SettingButton->defaultAction(), f.Action("Setting"));
    EXPECT_EQ(f.Ui().PlayButton->defaultAction(), f.Action("MediaPlay"));
    EXPECT_EQ(f.Ui().StopButton->defaultAction(), f.Action("MediaStop"));
    EXPECT_EQ(f.Ui().TrackBar1->tickPosition(), QSlider::NoTicks);
    for (QWidget* hidden : {static_cast<QWidget*>(f.Ui().SeePanel), static_cast<QWidget*>(f.Ui().RichEdit1),
                            static_cast<QWidget*>(f.Ui().HtmlPanel), static_cast<QWidget*>(f.Ui().AviPanel),
                            static_cast<QWidget*>(f.Ui().XFListBox1), static_cast<QWidget*>(f.Ui().XfToolBar)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_FALSE(f.Ui().XfautoPlayTimer->isActive());
    EXPECT_EQ(f.Ui().XfautoPlayTimer->interval(), 100);
    EXPECT_EQ(f.Ui().Timer3->interval(), 200);
}

TEST_F(MainFormTest, ActionsAndPopUpMenusFollowTheTables) {
    TMainForm& f = Start();
    const QList<QAction*> actions = f.ActionList();
    ASSERT_EQ(actions.size(), 41);
    EXPECT_EQ(actions[3]->objectName(), "pRenameFile");
    EXPECT_EQ(actions[3]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(actions[2]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
    EXPECT_EQ(actions[27]->text(), "E&xit");
    EXPECT_EQ(actions[27]->property("category").toString(), "File");
    EXPECT_EQ(f.Action("TxtCopy")->toolTip(), "Copy to Clipboard");
    EXPECT_EQ(f.Action("NextPage")->toolTip(), "Next Page");
    EXPECT_TRUE(f.Action("AutoSize")->isChecked());
    EXPECT_FALSE(f.Action("FullSize")->isChecked());

    const auto captions = [](const QMenu* menu) {
        QStringList c;
        for (const QAction* a : menu->actions())
            c << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return c;
    };
    EXPECT_EQ(captions(f.PopupMenu(kGridMenu)),
              (QStringList{"Cut", "Copy", "Paste", "-", "Select all", "Refresh", "-", "Rename", "Delete"}));
    EXPECT_EQ(captions(f.PopupMenu(kLibraryMenu)), (QStringList{"Create new folder", "Delete", "Rename", "-", "Refresh"}));
    EXPECT_EQ(captions(f.PopupMenu(kDirectoryMenu)), (QStringList{"Delete", "Rename", "-", "Refresh"}));
    EXPECT_EQ(captions(f.PopupMenu(kContentMenu)),
              (QStringList{"Auto Size", "Full Size", "1/2 Size", "1/4 Size", "1/8 Size", "-", "Speed"}));
    EXPECT_EQ(captions(f.PopupMenu(kContentMenu)->actions().last()->menu()), (QStringList{"0.5 X", "1 X", "2 X"}));
    EXPECT_EQ(captions(f.PopupMenu(kImageMenu)),
              (QStringList{"Auto Size", "Full Size", "1/2 Size", "1/4 Size", "1/8 Size", "-", "Set Wallpaper"}));
    EXPECT_EQ(captions(f.PopupMenu(kTextMenu)), (QStringList{"Copy", "Font Size", "-", "Select All"}));
    EXPECT_EQ(captions(f.PopupMenu(kTextMenu)->actions()[1]->menu()),
              (QStringList{"Best Big", "Big", "Normal", "Small", "Best Small"}));
    EXPECT_EQ(f.Router().MenuFor(f.Ui().AviPanel), f.PopupMenu(kContentMenu));
    EXPECT_EQ(f.Router().MenuFor(f.Ui().Image1), f.PopupMenu(kImageMenu));
}

TEST_F(MainFormTest, ShortcutsGoToTheFocusedPanesMenuThenTheActionList) {
    TMainForm& f = Start();
    ShortcutRouter& r = f.Router();
    const QKeySequence f5(Qt::Key_F5);
    const QKeySequence ctrlR(Qt::CTRL | Qt::Key_R);
    EXPECT_EQ(r.Resolve(f.Ui().ImagesListView1, f5), f.Action("pRefreshFiles"));
    EXPECT_EQ(r.Resolve(f.Ui().FolderTreeView, f5), f.Action("pRefreshFolder"));
    EXPECT_EQ(r.Resolve(f.Ui().DirTree1, f5), f.Action("RefreshWinFolder"));
    EXPECT_EQ(r.Resolve(f.Ui().RichEdit1, f5), f.Action("pRefreshFiles"));
    EXPECT_EQ(r.Resolve(f.Ui().FolderTreeView, ctrlR), f.Action("pRenameFile"));
    EXPECT_EQ(r.Resolve(f.Ui().SeeBox, QKeySequence(Qt::CTRL | Qt::Key_P)), f.Action("PlayAudio"));
    EXPECT_EQ(r.Resolve(f.Ui().SeeBox, QKeySequence(Qt::Key_F6)), nullptr);
    // A disabled action passes the key on down the table.
    f.Action("pRenameFile")->setEnabled(false);
    EXPECT_EQ(r.Resolve(f.Ui().ImagesListView1, ctrlR), f.Action("RecordAudio"));
    f.Action("pRenameFile")->setEnabled(true);

    // Real key presses reach the same actions.
    QSignalSpy files(f.Action("pRefreshFiles"), &QAction::triggered);
    QSignalSpy folders(f.Action("pRefreshFolder"), &QAction::triggered);
    QSignalSpy rename(f.Action("pRenameFile"), &QAction::triggered);
    QSignalSpy record(f.Action("RecordAudio"), &QAction::triggered);
    QTest::keyClick(f.Ui().FolderTreeView, Qt::Key_F5);
    QTest::keyClick(f.Ui().ImagesListView1, Qt::Key_F5);
    QTest::keyClick(f.Ui().ImagesListView1, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(folders.count(), 1);
    EXPECT_EQ(files.count(), 1);
    EXPECT_EQ(rename.count(), 1);
    EXPECT_EQ(record.count(), 0);
}

class DispatchWindowTest : public MainFormTest {
protected:
    void SetUp() override {
        photos = home.file("bin") + "/Photo Folder/";
        std::filesystem::create_directories(photos);
        Bitmap wide(400, 100, PixelFormat::Bpp24);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 400; ++x)
                wide.row(y)[3 * x + 1] = 200;
        SaveBmpFile(wide, photos + "A.BMP");
        SaveBmpFile(Bitmap(10, 10, PixelFormat::Bpp24), photos + "b.bmp");
        SaveBmpFile(Bitmap(10, 10, PixelFormat::Bpp24), photos + "c.bmp");
        test::WriteBytes(photos + "notes.TXT", {'h', 'i'});
        test::WriteBytes(photos + "page.html", {'<', 'p', '>'});
        test::WriteBytes(photos + "clip.avi", {'x'});
        test::WriteBytes(photos + "broken.bmp", {'x'});
        Start();
        grid = form->Ui().ImagesListView1;
    }
    GridItem Item(const QString& caption) {
        const auto found = grid->findItems(caption, Qt::MatchExactly);
        return found.isEmpty() ? GridItem() : found.first();
    }
    void SelectOnly(const QString& caption) {
        const GridItem it = Item(caption);
        ASSERT_TRUE(it) << caption.toStdString();
        grid->setCurrentItem(it, QItemSelectionModel::ClearAndSelect);
    }

    // The path the viewer compares and reports: the whole path in lower case.
    std::string Shown(const std::string& name) const { return QString::fromStdString(photos + name).toLower().toStdString(); }

    std::string photos;
    TImagesListView* grid = nullptr;
};

TEST_F(DispatchWindowTest, FirstItemIsShownAtAutoSizeCentred) {
    ASSERT_EQ(grid->item(0)->text(), "a.bmp");
    EXPECT_EQ(form->ShownFilePath(), Shown("a.bmp"));
    EXPECT_EQ(form->ContentKind(), kKindBmp);
    EXPECT_TRUE(form->Ui().SeePanel->isVisible());
    const ZoomLayout expected =
        ComputeZoomLayout(400, 100, form->Ui().SeeBox->width(), form->Ui().SeeBox->height(), ZoomMode::AutoSize);
    EXPECT_EQ(form->Ui().SeePanel->geometry(),
              QRect(expected.frameLeft, expected.frameTop, expected.frameWidth(), expected.frameHeight()));
    EXPECT_EQ(form->Ui().Image1->geometry(), QRect(2, 2, expected.imageWidth, expected.imageHeight));
    EXPECT_EQ(form->Ui().Image1->Picture().pixelColor(expected.imageWidth / 2, expected.imageHeight / 2),
              QColor(0, 200, 0));
    // A new size of the content area places the picture again.
    form->resize(900, 700);
    QCoreApplication::processEvents();
    const ZoomLayout bigger =
        ComputeZoomLayout(400, 100, form->Ui().SeeBox->width(), form->Ui().SeeBox->height(), ZoomMode::AutoSize);
    EXPECT_EQ(form->Ui().SeePanel->geometry(),
              QRect(bigger.frameLeft, bigger.frameTop, bigger.frameWidth(), bigger.frameHeight()));
}

TEST_F(DispatchWindowTest, StatusBarShowsTheItemsSizeText) {
    grid->OnGetImageIndex(Item("c.bmp"));
    SelectOnly("c.bmp");
    EXPECT_EQ(form->Ui().StatusPanel0->text(), "10X10");
    // Panel 1 tells the file's details: its name and place in the grid first.
    const QString details = form->Ui().StatusPanel1->text();
    EXPECT_TRUE(details.startsWith("c.bmp  |  4 / 7  |  ")) << details.toStdString();
}

TEST_F(DispatchWindowTest, OnlyTheFirstSelectedItemIsShown) {
    SelectOnly("b.bmp");
    ASSERT_EQ(form->ShownFilePath(), Shown("b.bmp"));
    // Adding a later item to the selection leaves the viewer as it is.
    Item("notes.txt")->setSelected(true);
    EXPECT_EQ(form->ShownFilePath(), Shown("b.bmp"));
    EXPECT_EQ(form->ContentKind(), kKindBmp);
    // With the changes switched off nothing reaches the viewer.
    form->ChangesEnabled() = false;
    SelectOnly("c.bmp");
    EXPECT_EQ(form->ShownFilePath(), Shown("b.bmp"));
    form->ChangesEnabled() = true;
}

TEST_F(DispatchWindowTest, TextWebAndMediaGetTheirPanels) {
    SelectOnly("notes.txt");
    EXPECT_EQ(form->ContentKind(), kKindText);
    EXPECT_TRUE(form->Ui().RichEdit1->isVisible());
    EXPECT_FALSE(form->Ui().SeePanel->isVisible());
    SelectOnly("page.html");
    EXPECT_EQ(form->ContentKind(), kKindHtml);
    EXPECT_TRUE(form->Ui().HtmlPanel->isVisible());
    EXPECT_FALSE(form->Ui().RichEdit1->isVisible());
    SelectOnly("clip.avi");
    EXPECT_EQ(form->ContentKind(), kKindAvi);
    EXPECT_TRUE(form->Ui().AviPanel->isVisible());
    EXPECT_TRUE(form->Ui().AviCtrlPanel->isVisible());
    EXPECT_FALSE(form->Ui().HtmlPanel->isVisible());
    // Leaving the media view stops playback first.
    QSignalSpy stop(form->Action("MediaStop"), &QAction::triggered);
    SelectOnly("b.bmp");
    EXPECT_EQ(stop.count(), 1);
    EXPECT_FALSE(form->Ui().AviPanel->isVisible());
    EXPECT_TRUE(form->Ui().SeePanel->isVisible());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DispatchWindowTest, FailuresAreReportedWithTheLowerCasePath) {
    SelectOnly("broken.bmp");
    EXPECT_EQ(prompts.texts(), (std::vector<std::string>{"Could not open " + Shown("broken.bmp")}));
    EXPECT_TRUE(form->Ui().SeePanel->isVisible());  // the previous picture stays
    std::filesystem::remove(photos + "b.bmp");
    SelectOnly("b.bmp");
    SelectOnly("b.bmp");
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, "Could not find " + Shown("b.bmp") + "!");
}

TEST_F(DispatchWindowTest, GridNeverShrinksBelowEightyPixels) {
    form->Ui().RightSplitter->setSizes({10, 600});
    QCoreApplication::processEvents();
    EXPECT_GE(grid->height(), 80);
    grid->resize(grid->width(), 30);
    EXPECT_EQ(grid->height(), 80);
}

using Cut = std::vector<std::string>;

TEST_F(MainFormTest, TopBarAndStatusBarFitTheirTexts) {
    TMainForm& f = Start();
    f.Ui().StatusPanel0->setText("12000X9000");
    f.Ui().StatusPanel1->setText("Vantor See 1.1");
    for (const QSize size : {QSize(572, 514), QSize(200, 200)}) {
        f.resize(size);  // no smaller than the window's minimum
        QCoreApplication::processEvents();
        EXPECT_EQ(test::CutTexts(f.Ui().TopPanel), Cut{}) << f.width();
        EXPECT_EQ(test::CutTexts(f.Ui().StatusBar1), Cut{}) << f.width();
        // The whole banner stays in the window.
        const QRect banner(f.Ui().Animate1->mapTo(&f, QPoint()), f.Ui().Animate1->size());
        EXPECT_TRUE(f.rect().contains(banner)) << f.width();
        EXPECT_GE(f.Ui().Animate1->width(), f.Banner()->currentImage().width());
    }
}

TEST(Dialogs, AboutBoxFitsItsTexts) {
    TAboutBox about;
    about.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(test::CutTexts(&about), Cut{});
    EXPECT_GE(about.width(), 352);
    EXPECT_GE(about.height(), 185);
}

TEST(Dialogs, AboutBoxAndProgressWindow) {
    TAboutBox about;
    EXPECT_EQ(about.windowTitle(), "About");
    EXPECT_EQ(about.size(), QSize(352, 185).expandedTo(about.sizeHint()));
    auto* product = about.findChild<QLabel*>("ProductName");
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->text(), "Vantor See ");
    EXPECT_EQ(product->font().pixelSize(), 21);
    EXPECT_TRUE(product->font().bold());
    EXPECT_EQ(about.findChild<QLabel*>("Version")->text(), "1.1");
    QTimer::singleShot(0, &about, [&] { QTest::mouseClick(about.findChild<QPushButton*>("OKButton"), Qt::LeftButton); });
    EXPECT_EQ(about.exec(), QDialog::Accepted);

    TComInfoForm progress;
    EXPECT_EQ(progress.size(), QSize(682, 35));
    EXPECT_EQ(progress.windowTitle(), QString::fromUtf8("\xE5\x90\x88\xE5\xB9\xB6"));
    EXPECT_TRUE(progress.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(progress.ProgressBar1->maximum(), 100);
    EXPECT_EQ(progress.findChildren<QProgressBar*>().size(), 1);
}

}  // namespace
}  // namespace vs

namespace vs {
namespace {

// What "make run" shows a new user: the demo library with thumbnails and the first picture.
TEST_F(MainFormTest, DemoLibraryOpensWithThumbnailsAndThePictureShown) {
    const char* tool = std::getenv("VS_TOOL");
    ASSERT_NE(tool, nullptr);
    const auto made = test::Run(test::Quote(tool) + " samples " + test::Quote(home.file("bin/Photo Folder")));
    ASSERT_EQ(made.exitCode, 0) << made.err;
    TMainForm& f = Start();
    TImagesListView* grid = f.Ui().ImagesListView1;
    ASSERT_GT(grid->count(), 10);
    EXPECT_EQ(grid->item(0)->text(), "abstract.bmp");
    EXPECT_EQ(f.ShownFilePath(), QString::fromStdString(home.file("bin/photo folder/abstract.bmp")).toLower().toStdString());
    EXPECT_TRUE(f.Ui().SeePanel->isVisible());
    EXPECT_GT(f.Ui().Image1->Picture().width(), 0);

    const auto visibleDone = [&] {
        grid->viewport()->update();
        for (int i = 0; i < grid->count(); ++i) {
            const GridItem it = grid->item(i);
            if (grid->visualItemRect(it).intersects(grid->viewport()->rect()) &&
                TImagesListView::ImageIndex(it) == kImageNotMade)
                return false;
        }
        return true;
    };
    ASSERT_TRUE(test::ProcessEventsUntil(visibleDone));
    EXPECT_GE(TImagesListView::ImageIndex(grid->item(0)), 9);
    EXPECT_EQ(TImagesListView::ItemSizeText(grid->item(0)), "320X240");
    // The first picture was shown before its thumbnail existed; the size followed it.
    EXPECT_EQ(f.Ui().StatusPanel0->text(), "320X240");
    if (const char* shot = std::getenv("VS_SCREENSHOT"))
        f.grab().save(QString::fromLocal8Bit(shot));
}

}  // namespace
}  // namespace vs
