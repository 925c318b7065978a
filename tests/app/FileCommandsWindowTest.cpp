#include "app/ActionTable.h"
#include "app/Dialogs.h"
#include "app/ShortcutRouter.h"
#include "app/TMainForm.h"
#include "controls/TDirTree.h"
#include "controls/TImagesListView.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace vs {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WriteText;

// The window over a library with the folders A and B; the grid starts on A.
class FileCommandsWindowTest : public ::testing::Test {
protected:
    std::string Library() const { return home.file("bin/Photo Folder/"); }
    std::string A() const { return Library() + "A/"; }
    std::string B() const { return Library() + "B/"; }
    TMainForm& Start(const std::vector<std::string>& filesOfA) {
        fs::create_directories(A());
        fs::create_directories(B());
        for (const std::string& name : filesOfA) WriteText(A() + name, name);
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        // The directory tree shows one drive: the library's folder.
        mounts.mounts = {{home.file("bin"), "/dev/vdb1", "ext4", "Disk", false}};
        env.mounts = &mounts;
        form = std::make_unique<TMainForm>(prompts, env);
        form->SetDialogs(nullptr, nullptr, &progress);
        form->show();
        Open("A");
        return *form;
    }
    TImagesListView* Grid() const { return form->Ui().ImagesListView1; }
    QTreeWidgetItem* Node(const QString& caption) const {
        QTreeWidgetItem* root = form->Ui().FolderTreeView->topLevelItem(0);
        if (caption.isEmpty())
            return root;
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->text(0) == caption)
                return root->child(i);
        return nullptr;
    }
    void Open(const QString& folder) { form->Ui().FolderTreeView->setCurrentItem(Node(folder)); }
    std::vector<std::string> Captions() const {
        std::vector<std::string> out;
        for (int i = 0; i < Grid()->count(); ++i) out.push_back(Grid()->item(i)->text().toStdString());
        return out;
    }
    std::vector<std::string> SelectedCaptions() const {
        std::vector<std::string> out;
        for (int i = 0; i < Grid()->count(); ++i)
            if (Grid()->item(i)->isSelected())
                out.push_back(Grid()->item(i)->text().toStdString());
        return out;
    }
    void Select(const std::vector<QString>& captions) {
        Grid()->clearSelection();
        for (const QString& c : captions) Grid()->findItems(c, Qt::MatchExactly).value(0)->setSelected(true);
    }
    bool Enabled(const char* action) const { return form->Action(action)->isEnabled(); }
    void Trigger(const char* action) { form->Action(action)->trigger(); }
    // A drag entering the library tree's viewport over empty space, as the mouse does, then
    // moving to the node; true when the tree accepted the move.
    bool DragOver(QTreeWidgetItem* node, const QMimeData& mime) {
        QDragEnterEvent enter(At(nullptr), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->Ui().FolderTreeView->viewport(), &enter);
        QDragMoveEvent move(At(node), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->Ui().FolderTreeView->viewport(), &move);
        return enter.isAccepted() && move.isAccepted();
    }
    void Drop(QTreeWidgetItem* node, const QMimeData& mime) {
        DragOver(node, mime);
        QDropEvent e(QPointF(At(node)), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->Ui().FolderTreeView->viewport(), &e);
    }
    QPoint At(QTreeWidgetItem* node) const {
        return node ? form->Ui().FolderTreeView->visualItemRect(node).center()
                    : QPoint(5, form->Ui().FolderTreeView->viewport()->height() - 3);
    }

    test::TempHome home;
    fake::FakePrompts prompts;
    fake::FakeMountList mounts;
    TComInfoForm progress;
    std::unique_ptr<TMainForm> form;
};

TEST_F(FileCommandsWindowTest, MenuStateAndTheClipboardStaysPrivate) {
    TMainForm& f = Start({"a.txt", "b.txt"});
    QGuiApplication::clipboard()->setText("before");
    Grid()->clearSelection();
    Trigger("CopyToClip");
    EXPECT_FALSE(f.FileClipboard.names);
    f.PopupMenu(kGridMenu)->aboutToShow();
    for (const char* name : {"CopyToClip", "CutToClip", "pDeleteFiles", "pRenameFile", "PasteFromClip"})
        EXPECT_FALSE(Enabled(name)) << name;
    EXPECT_TRUE(Enabled("SelectAll"));
    // Ctrl+C with the Copy command disabled reaches the grid, which must not copy its caption.
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    Select({"b.txt"});
    f.PopupMenu(kGridMenu)->aboutToShow();
    EXPECT_TRUE(Enabled("CopyToClip") && Enabled("CutToClip") && Enabled("pDeleteFiles") && Enabled("pRenameFile"));
    EXPECT_FALSE(Enabled("PasteFromClip")) << "a selection leaves Paste as it was";
    QTest::keyClick(Grid(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(f.FileClipboard.names);
    EXPECT_EQ(*f.FileClipboard.names, std::vector<std::string>{"b.txt"});
    EXPECT_EQ(f.FileClipboard.folder, A());
    EXPECT_FALSE(f.FileClipboard.isCut);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    Grid()->clearSelection();
    f.PopupMenu(kGridMenu)->aboutToShow();
    EXPECT_TRUE(Enabled("PasteFromClip"));
}

TEST_F(FileCommandsWindowTest, CutAndPasteMoveWithTheProgressWindow) {
    TMainForm& f = Start({"One.TXT", "two.txt", "three.txt"});
    Select({"one.txt", "two.txt"});
    Trigger("CutToClip");
    EXPECT_TRUE(f.FileClipboard.isCut);
    Open("B");
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(ReadText(B() + "One.TXT"), "One.TXT");
    EXPECT_FALSE(fs::exists(A() + "One.TXT"));
    EXPECT_FALSE(fs::exists(A() + "two.txt"));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(TImagesListView::RealName(Grid()->item(0)), "One.TXT");
    EXPECT_EQ(progress.ProgressBar1->maximum(), 2);
    EXPECT_EQ(progress.ProgressBar1->value(), 2);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Pasting the same names again finds no sources: nothing, silently.
    Open("");
    Trigger("PasteFromClip");
    EXPECT_FALSE(fs::exists(Library() + "two.txt"));
    EXPECT_TRUE(prompts.messages.empty());
    // Back in the folder they came from: refused with the message.
    Open("A");
    Trigger("PasteFromClip");
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{"Error\xEF\xBC\x81Source same as Traget !"});
}

TEST_F(FileCommandsWindowTest, DeleteStopsThePlayerFirstThenSelectsTheLastWithoutShowingIt) {
    TMainForm& f = Start({"a.avi", "b.txt", "c.txt", "d.txt"});
    Select({"a.avi"});
    ASSERT_EQ(f.ShownFilePath(), QString::fromStdString(A() + "a.avi").toLower().toStdString());
    std::vector<bool> existedAtStop;
    QObject::connect(f.Action("MediaStop"), &QAction::triggered,
                     [&] { existedAtStop.push_back(fs::exists(A() + "a.avi")); });
    Grid()->findItems("c.txt", Qt::MatchExactly).value(0)->setSelected(true);
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(existedAtStop, std::vector<bool>{true});
    EXPECT_FALSE(fs::exists(A() + "a.avi"));
    EXPECT_FALSE(fs::exists(A() + "c.txt"));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b.txt", "d.txt"}));
    EXPECT_EQ(SelectedCaptions(), std::vector<std::string>{"d.txt"});
    EXPECT_EQ(f.ShownFilePath(), QString::fromStdString(A() + "a.avi").toLower().toStdString());
    EXPECT_TRUE(f.ChangesEnabled());
    EXPECT_EQ(progress.ProgressBar1->maximum(), 4);
    EXPECT_EQ(progress.ProgressBar1->value(), 4);
}

TEST_F(FileCommandsWindowTest, RenameSelectAllAndRefresh) {
    TMainForm& f = Start({"a.txt", "b.txt", "c.txt"});
    Select({"b.txt", "c.txt"});
    f.PopupMenu(kGridMenu)->aboutToShow();
    Trigger("pRenameFile");
    QLineEdit* editor = Grid()->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr) << "the in-place editor opens from the menu";
    EXPECT_EQ(editor->text(), "b.txt");
    EXPECT_EQ(Grid()->PreEditCaption, "b.txt");
    QTest::keyClick(editor, Qt::Key_Escape);

    Trigger("SelectAll");
    EXPECT_EQ(SelectedCaptions().size(), 3u);

    WriteText(A() + "new.txt", "n");
    Grid()->setFocus();
    QTest::keyClick(Grid(), Qt::Key_F5);
    EXPECT_EQ(Captions().size(), 4u);
    WriteText(A() + "newer.txt", "n");
    Trigger("pRefreshFiles");
    EXPECT_EQ(Captions().size(), 5u);
}

TEST_F(FileCommandsWindowTest, DroppingThumbnailsOnAFolderMovesThem) {
    TMainForm& f = Start({"a.txt", "b.txt", "c.txt"});
    Select({"a.txt", "c.txt"});
    std::unique_ptr<QMimeData> mime(Grid()->SelectionDragData());
    EXPECT_EQ(mime->urls(), (QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(A() + "a.txt")),
                                         QUrl::fromLocalFile(QString::fromStdString(A() + "c.txt"))}));
    EXPECT_TRUE(TImagesListView::IsOwnDrag(mime.get()));

    EXPECT_TRUE(DragOver(Node("B"), *mime));
    EXPECT_FALSE(DragOver(nullptr, *mime)) << "empty space of the tree takes no drop";
    // On the node of the grid's own folder: nothing happens.
    Drop(Node("A"), *mime);
    EXPECT_EQ(Captions().size(), 3u);
    EXPECT_TRUE(fs::exists(A() + "a.txt"));

    WriteText(A() + "later.txt", "x");  // the grid is not rescanned by a drop
    Drop(Node("B"), *mime);
    EXPECT_EQ(ReadText(B() + "a.txt"), "a.txt");
    EXPECT_EQ(ReadText(B() + "c.txt"), "c.txt");
    EXPECT_FALSE(fs::exists(A() + "a.txt"));
    EXPECT_EQ(Captions(), std::vector<std::string>{"b.txt"});
    EXPECT_TRUE(f.ChangesEnabled());
    EXPECT_EQ(progress.ProgressBar1->maximum(), 3);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(FileCommandsWindowTest, DroppingOnTheDirectoryTreeMovesIntoTheHighlightedFolder) {
    TMainForm& f = Start({"a.txt", "b.txt"});
    TDirTree* tree = f.Ui().DirTree1;
    tree->SetDirectory(B());
    QTreeWidgetItem* nodeB = tree->GetNodeFromPath(B());
    QTreeWidgetItem* nodeA = tree->GetNodeFromPath(A());
    ASSERT_TRUE(nodeA && nodeB);
    Grid()->SetFPath(QString::fromStdString(A()));  // selecting in the directory tree moved it
    ASSERT_EQ(Grid()->Path().toStdString(), A());
    Select({"b.txt"});
    std::unique_ptr<QMimeData> mime(Grid()->SelectionDragData());
    const auto drop = [&](QTreeWidgetItem* node) {
        tree->scrollToItem(node);
        const QPoint at = tree->visualItemRect(node).center();
        QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &move);
        EXPECT_TRUE(move.isAccepted());
        EXPECT_EQ(tree->DropTarget(), node);
        QDropEvent e(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &e);
    };
    drop(nodeA);  // the grid's own folder: nothing
    EXPECT_EQ(Captions().size(), 2u);
    drop(nodeB);
    EXPECT_EQ(ReadText(B() + "b.txt"), "b.txt");
    EXPECT_FALSE(fs::exists(A() + "b.txt"));
    EXPECT_EQ(Captions(), std::vector<std::string>{"a.txt"});
    EXPECT_EQ(tree->DropTarget(), nullptr);
}

TEST_F(FileCommandsWindowTest, FilesFromAnotherProgramAreCopiedIntoTheFolder) {
    Start({"a.txt"});
    WriteText(home.file("outside/photo.txt"), "outside");
    WriteText(B() + "photo.txt", "old");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(home.file("outside/photo.txt")))});
    EXPECT_FALSE(TImagesListView::IsOwnDrag(&mime));
    EXPECT_TRUE(DragOver(Node("B"), mime));
    prompts.answers = {Answer::No};
    Drop(Node("B"), mime);
    EXPECT_EQ(prompts.texts(), std::vector<std::string>{B() + "photo.txt Already exist !\nReplace ?"});
    EXPECT_EQ(ReadText(B() + "photo.txt"), "old");
    Drop(Node("A"), mime);  // the grid's own folder shows the new file at once
    EXPECT_EQ(ReadText(A() + "photo.txt"), "outside");
    EXPECT_EQ(ReadText(home.file("outside/photo.txt")), "outside");
    EXPECT_EQ(Captions(), (std::vector<std::string>{"a.txt", "photo.txt"}));
    QMimeData text;
    text.setText("not files");
    EXPECT_FALSE(DragOver(Node("B"), text));
}

TEST_F(FileCommandsWindowTest, DragStartsAfterTheMouseHasMovedTenPixels) {
    Start({"a.txt", "b.txt"});
    Select({"b.txt"});
    const GridItem item = Grid()->findItems("b.txt", Qt::MatchExactly).value(0);
    const QPoint at = Grid()->visualItemRect(item).center();
    QList<QUrl> carried;
    bool started = false;
    // The drag runs its own loop; look at it from inside, then end it.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* drag = Grid()->findChild<QDrag*>()) {
            started = true;
            carried = drag->mimeData()->urls();
            QDrag::cancel();
        }
    });
    watcher.start(10);
    QTest::mousePress(Grid()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseMove(Grid()->viewport(), at + QPoint(5, 0));
    EXPECT_FALSE(started);
    QTest::mouseMove(Grid()->viewport(), at + QPoint(QGuiApplication::styleHints()->startDragDistance() + 2, 0));
    test::ProcessEventsUntil([&] { return started; }, 2000);
    QTest::mouseRelease(Grid()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(started);
    EXPECT_EQ(carried, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(A() + "b.txt"))});
}

TEST_F(FileCommandsWindowTest, TrashOptionKeepsDeletedFilesRestorable) {
    TMainForm& f = Start({"a.txt", "b.txt"});
    EXPECT_FALSE(f.MoveDeletedToTrash) << "off by default";
    TSettingForm settings;
    settings.MainForm = &f;
    f.SetDialogs(&settings, nullptr, &progress);
    QTimer::singleShot(0, &settings, [&] {
        ASSERT_EQ(settings.TrashCheckBox->parentWidget(), settings.PhotoFolderPage);
        EXPECT_EQ(settings.TrashCheckBox->text(), "Move deleted files to the Trash");
        EXPECT_FALSE(settings.TrashCheckBox->isChecked());
        settings.TrashCheckBox->setChecked(true);
        settings.OKBtn->click();
    });
    f.SettingExecute();
    EXPECT_TRUE(f.MoveDeletedToTrash);

    Select({"a.txt"});
    Trigger("pDeleteFiles");
    EXPECT_FALSE(fs::exists(A() + "a.txt"));
    EXPECT_EQ(ReadText(home.file(".local/share/Trash/files/a.txt")), "a.txt");
    EXPECT_NE(ReadText(home.file(".local/share/Trash/info/a.txt.trashinfo")).find("Path="), std::string::npos);

    f.close();
    EXPECT_NE(ReadText(home.file(".config/vantor-see/settings.reg")).find("\"Move To Trash\"=dword:00000001"),
              std::string::npos);
    form.reset();
    Start({});
    EXPECT_TRUE(form->MoveDeletedToTrash);
}

}  // namespace
}  // namespace vs
