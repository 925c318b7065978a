#include "app/ActionTable.h"
#include "app/TMainForm.h"
#include "controls/TDirTree.h"
#include "controls/TImagesListView.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <filesystem>
#include <memory>

namespace vs {
namespace {

namespace fs = std::filesystem;

// The window with one fixed drive, "Disk", in a temporary folder.
class DirTreeWindowTest : public ::testing::Test {
protected:
    std::string Disk() const { return home.file("disk/"); }
    void Dir(const std::string& relative) { fs::create_directories(Disk() + relative); }
    TMainForm& Start() {
        Dir("");
        mounts.mounts = {{home.file("disk"), "/dev/vdb1", "ext4", "Disk", false}};
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        env.mounts = &mounts;
        form = std::make_unique<TMainForm>(prompts, env);
        form->show();
        return *form;
    }
    TDirTree* Tree() const { return form->Ui().DirTree1; }
    QTreeWidgetItem* Drive() const { return Tree()->topLevelItem(0); }
    // The node of a folder of the disk, its levels opened as the user would.
    QTreeWidgetItem* Node(const std::string& relative) {
        QTreeWidgetItem* node = Drive();
        Tree()->expandItem(node);
        std::string path = Disk();
        for (std::size_t at = 0; node && at < relative.size();) {
            const std::size_t end = std::min(relative.find('/', at), relative.size());
            path += relative.substr(at, end - at) + "/";
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < node->childCount(); ++i)
                if (const TDirEntry* e = TDirTree::Entry(node->child(i)); e && e->Path == path)
                    next = node->child(i);
            node = next;
            if (node)
                Tree()->expandItem(node);
            at = end + 1;
        }
        return node;
    }
    void Press(QTreeWidgetItem* node, Qt::MouseButton button) {
        Tree()->scrollToItem(node);
        const QPoint at = node ? Tree()->visualItemRect(node).center() : QPoint(5, Tree()->viewport()->height() - 3);
        QTest::mousePress(Tree()->viewport(), button, {}, at);
        QTest::mouseRelease(Tree()->viewport(), button, {}, at);
    }
    bool MenuAllows(const char* action) {
        form->PopupMenu(kDirectoryMenu)->aboutToShow();
        return form->Action(action)->isEnabled();
    }
    QLineEdit* Editor() const {
        for (QLineEdit* e : Tree()->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    // Renames the node through the menu and the in-place editor.
    void RenameTo(QTreeWidgetItem* node, const QString& text) {
        Press(node, Qt::RightButton);
        form->Action("RenameWinFolder")->trigger();
        QLineEdit* editor = Editor();
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor hands its text over in a queued call
    }
    std::string GridPath() const { return form->Ui().ImagesListView1->Path().toStdString(); }

    test::TempHome home;
    fake::FakePrompts prompts;
    fake::FakeMountList mounts;
    std::unique_ptr<TMainForm> form;
};

TEST_F(DirTreeWindowTest, SelectingAFolderPointsTheGridAndTheCaption) {
    Dir("Trips/2024");
    test::WriteText(Disk() + "Trips/2024/notes.txt", "x");
    TMainForm& f = Start();
    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    EXPECT_EQ(Drive()->text(0), "Disk");
    EXPECT_EQ(Tree()->accessibleName(), "DirTree1");

    Press(Node("Trips/2024"), Qt::LeftButton);
    EXPECT_EQ(GridPath(), Disk() + "Trips/2024/");
    EXPECT_EQ(f.windowTitle().toStdString(), f.TitlePrefix + Disk() + "Trips/2024/");
    EXPECT_EQ(f.Ui().ImagesListView1->count(), 1);
    // A click brings the grid back after something else pointed it away.
    f.Ui().ImagesListView1->SetFPath(QString::fromStdString(home.path()));
    Press(Node("Trips/2024"), Qt::LeftButton);
    EXPECT_EQ(GridPath(), Disk() + "Trips/2024/");
    // Selection changes do not reach the grid while a bulk operation runs.
    f.ChangesEnabled() = false;
    Tree()->setCurrentItem(Node("Trips"));
    EXPECT_EQ(GridPath(), Disk() + "Trips/2024/");
    f.ChangesEnabled() = true;
    Tree()->setCurrentItem(Drive());
    EXPECT_EQ(GridPath(), Disk());
}

TEST_F(DirTreeWindowTest, MenuFollowsThePressAndMountRootsKeepTheirName) {
    Dir("A");
    TMainForm& f = Start();
    Press(nullptr, Qt::RightButton);
    EXPECT_EQ(f.ClickedDirNode, nullptr);
    EXPECT_FALSE(MenuAllows("DeleteWinFolder"));
    EXPECT_FALSE(MenuAllows("RenameWinFolder"));
    EXPECT_TRUE(MenuAllows("RefreshWinFolder"));

    Press(Drive(), Qt::RightButton);
    EXPECT_EQ(f.ClickedDirNode, Drive());
    EXPECT_TRUE(MenuAllows("DeleteWinFolder"));
    EXPECT_TRUE(MenuAllows("RenameWinFolder"));
    f.Action("RenameWinFolder")->trigger();
    EXPECT_EQ(Editor(), nullptr);
    f.Action("DeleteWinFolder")->trigger();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(fs::exists(Disk() + "A"));
}

TEST_F(DirTreeWindowTest, RenameInPlaceFollowsTheDiskAndLeavesTheGridOnTheParent) {
    Dir("Old/Inner");
    Dir("Taken");
    Start();
    Tree()->expandItem(Node("Old"));
    RenameTo(Node("Old"), "New");
    EXPECT_TRUE(fs::exists(Disk() + "New/Inner"));
    EXPECT_FALSE(fs::exists(Disk() + "Old"));
    QTreeWidgetItem* renamed = Tree()->GetNodeFromPath(Disk() + "New/");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->text(0), "New");
    EXPECT_EQ(TDirTree::Entry(renamed->child(0))->Path, Disk() + "New/Inner/");
    EXPECT_EQ(Tree()->currentItem(), Drive());
    EXPECT_EQ(GridPath(), Disk());

    // A name that is taken: nothing moves, the old caption comes back.
    RenameTo(renamed, "Taken");
    EXPECT_TRUE(fs::exists(Disk() + "New/Inner"));
    EXPECT_EQ(renamed->text(0), "New");
    EXPECT_EQ(TDirTree::Entry(renamed)->Path, Disk() + "New/");
}

TEST_F(DirTreeWindowTest, DeleteAsksThenRemovesOrReloadsWhatIsLeft) {
    Dir("Gone/Sub");
    Dir("Binned/Sub");
    Dir("Kept/Sub");
    test::WriteText(Disk() + "Kept/Sub/locked.jpg", "x");
    ::chmod((Disk() + "Kept/Sub/locked.jpg").c_str(), 0444);
    TMainForm& f = Start();

    prompts.answers = {Answer::No};
    Press(Node("Gone"), Qt::RightButton);
    f.Action("DeleteWinFolder")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Are your sure delete the folder (Gone) ?");
    EXPECT_EQ(prompts.messages[0].caption, "Waring");
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompts.messages[0].icon, Icon::Question);
    EXPECT_TRUE(fs::exists(Disk() + "Gone/Sub"));
    EXPECT_EQ(f.ClickedDirNode, nullptr);

    prompts.answers = {Answer::Yes};
    Press(Node("Gone"), Qt::RightButton);
    f.Action("DeleteWinFolder")->trigger();
    EXPECT_FALSE(fs::exists(Disk() + "Gone"));
    EXPECT_EQ(Tree()->GetNodeFromPath(Disk() + "Gone/"), nullptr);

    prompts.answers = {Answer::Yes};
    Press(Node("Kept/Sub"), Qt::LeftButton);
    Press(Node("Kept"), Qt::RightButton);
    f.Action("DeleteWinFolder")->trigger();
    EXPECT_TRUE(fs::exists(Disk() + "Kept/Sub/locked.jpg"));
    // The tree was read again and still shows what is left, selected as before.
    EXPECT_NE(Tree()->GetNodeFromPath(Disk() + "Kept/Sub/"), nullptr);
    EXPECT_EQ(Tree()->GetDirectory(), Disk() + "Kept/");

    // With the Trash option the folder goes where the user can restore it.
    f.MoveDeletedToTrash = true;
    prompts.answers = {Answer::Yes};
    Press(Node("Binned"), Qt::RightButton);
    f.Action("DeleteWinFolder")->trigger();
    EXPECT_FALSE(fs::exists(Disk() + "Binned"));
    EXPECT_TRUE(fs::is_directory(home.file(".local/share/Trash/files/Binned/Sub")));
    EXPECT_EQ(Tree()->GetNodeFromPath(Disk() + "Binned/"), nullptr);
}

TEST_F(DirTreeWindowTest, RefreshWithF5ReadsTheTreeAgain) {
    Dir("A");
    TMainForm& f = Start();
    Press(Node("A"), Qt::LeftButton);
    Dir("B");
    Tree()->setFocus();
    QTest::keyClick(Tree(), Qt::Key_F5);
    EXPECT_NE(Tree()->GetNodeFromPath(Disk() + "B/"), nullptr);
    EXPECT_EQ(Tree()->GetDirectory(), Disk() + "A/");
    EXPECT_EQ(GridPath(), Disk() + "A/");
    (void)f;
}

}  // namespace
}  // namespace vs
