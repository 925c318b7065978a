#include "app/ActionTable.h"
#include "app/TMainForm.h"
#include "controls/TImagesListView.h"
#include "library/FolderTree.h"
#include "platform/testing/FakePlatform.h"
#include "support/QtTestSupport.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sys/stat.h>

namespace vs {
namespace {

namespace fs = std::filesystem;

class LibraryTreeTest : public ::testing::Test {
protected:
    std::string Library() const { return home.file("bin/Photo Folder/"); }
    void Dir(const std::string& relative, mode_t mode = 0755) {
        fs::create_directories(Library() + relative);
        ::chmod((Library() + relative).c_str(), mode);
    }
    TMainForm& Start() {
        fs::create_directories(Library());
        MainFormEnvironment env{home.file(".config/vantor-see/settings.reg"), home.file("bin"), home.file("Pictures")};
        form = std::make_unique<TMainForm>(prompts, env);
        form->show();
        return *form;
    }
    QTreeWidget* Tree() const { return form->Ui().FolderTreeView; }
    QTreeWidgetItem* Root() const { return Tree()->topLevelItem(0); }
    // The node at a path of captions below the root, or null.
    QTreeWidgetItem* Node(const QStringList& captions) const {
        QTreeWidgetItem* n = Root();
        for (const QString& c : captions) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; n && i < n->childCount(); ++i)
                if (n->child(i)->text(0) == c)
                    next = n->child(i);
            n = next;
        }
        return n;
    }
    // "caption(level) ..." of every node in display order.
    std::string Shape() const {
        std::string out;
        for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
            int level = 0;
            for (auto* p = (*it)->parent(); p; p = p->parent())
                ++level;
            out += (*it)->text(0).toStdString() + "(" + std::to_string(level) + ") ";
        }
        return out;
    }
    // A press of the given button on a node, as the user makes it, or on empty space.
    void Press(QTreeWidgetItem* node, Qt::MouseButton button = Qt::RightButton) {
        Tree()->scrollToItem(node ? node : Root());
        const QPoint at = node ? Tree()->visualItemRect(node).center() : QPoint(5, Tree()->viewport()->height() - 3);
        QTest::mousePress(Tree()->viewport(), button, {}, at);
        QTest::mouseRelease(Tree()->viewport(), button, {}, at);
    }
    // The in-place editor when one is open.
    QLineEdit* Editor() const {
        for (QLineEdit* e : Tree()->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    void Menu() { form->PopupMenu(kLibraryMenu)->aboutToShow(); }
    bool Enabled(const char* action) const { return form->Action(action)->isEnabled(); }

    test::TempHome home;
    fake::FakePrompts prompts;
    std::unique_ptr<TMainForm> form;
};

TEST_F(LibraryTreeTest, ShowsPlainFoldersDepthFirst) {
    Dir("Plain/Inner/Deepest");
    Dir("Plain/Second");
    Dir("Plain/beta");
    Dir("Plain/Alpha");
    Dir(".Hidden");
    Dir("ReadOnly", 0555);
    Dir("Other");
    fs::create_directory_symlink(Library(), Library() + "Plain/Loop");  // a cycle, not followed
    TMainForm& f = Start();
    EXPECT_EQ(Root()->text(0), "Photo Folder");
    EXPECT_TRUE(Root()->isExpanded());
    EXPECT_EQ(Tree()->currentItem(), Root());
    EXPECT_EQ(Root()->childCount(), 2);
    EXPECT_NE(Node({"Plain", "Inner", "Deepest"}), nullptr);
    EXPECT_NE(Node({"Plain", "Second"}), nullptr);
    EXPECT_EQ(Node({"ReadOnly"}), nullptr);
    EXPECT_EQ(Node({".Hidden"}), nullptr);
    EXPECT_EQ(Node({"Plain", "Loop"}), nullptr);
    // Children in name order, ignoring letter case, whatever order the disk lists them in.
    std::vector<std::string> shown;
    for (int i = 0; i < Node({"Plain"})->childCount(); ++i)
        shown.push_back(Node({"Plain"})->child(i)->text(0).toStdString());
    EXPECT_EQ(shown, (std::vector<std::string>{"Alpha", "beta", "Inner", "Second"}));
    EXPECT_EQ(f.NodeFolderPath(Node({"Plain", "Inner"})), Library() + "Plain/Inner/");
    EXPECT_EQ(f.NodeFolderPath(Root()), Library());
    ::chmod((Library() + "ReadOnly").c_str(), 0755);
}

TEST_F(LibraryTreeTest, SelectingPointsTheGridAndReselectingDoesNotRescan) {
    Dir("Trips");
    TMainForm& f = Start();
    Tree()->setCurrentItem(Node({"Trips"}));
    EXPECT_EQ(f.Ui().ImagesListView1->Path().toStdString(), Library() + "Trips/");
    EXPECT_EQ(f.windowTitle(), "Vantor See 1.1   /Trips/");
    test::WriteText(Library() + "Trips/new.txt", "x");
    const int before = f.Ui().ImagesListView1->count();
    Press(Node({"Trips"}), Qt::LeftButton);  // a click on the shown folder
    f.FolderTreeViewChange(Node({"Trips"}));
    EXPECT_EQ(f.Ui().ImagesListView1->count(), before);
    // The click brings the grid back after something else pointed it away.
    f.Ui().ImagesListView1->SetFPath(QString::fromStdString(Library()));
    Press(Node({"Trips"}), Qt::LeftButton);
    EXPECT_EQ(f.Ui().ImagesListView1->Path().toStdString(), Library() + "Trips/");
    EXPECT_EQ(f.Ui().ImagesListView1->count(), before + 1);
}

TEST_F(LibraryTreeTest, MenuFollowsTheLastPressAndLeavesTheSelection) {
    Dir("A");
    TMainForm& f = Start();
    Press(nullptr);
    EXPECT_EQ(f.ClickedFolderNode, nullptr);
    Menu();
    EXPECT_FALSE(Enabled("pNewFolder"));
    EXPECT_FALSE(Enabled("pDeleteFolder"));
    EXPECT_FALSE(Enabled("pRenameFolder"));
    EXPECT_TRUE(Enabled("pRefreshFolder"));
    Press(Root());
    Menu();
    EXPECT_TRUE(Enabled("pNewFolder"));
    EXPECT_FALSE(Enabled("pDeleteFolder"));
    EXPECT_FALSE(Enabled("pRenameFolder"));
    Press(Node({"A"}));
    EXPECT_EQ(f.ClickedFolderNode, Node({"A"}));
    EXPECT_EQ(Tree()->currentItem(), Root());  // a right press does not select
    Menu();
    EXPECT_TRUE(Enabled("pNewFolder"));
    EXPECT_TRUE(Enabled("pDeleteFolder"));
    EXPECT_TRUE(Enabled("pRenameFolder"));
}

TEST_F(LibraryTreeTest, NewFolderNamesAndPlace) {
    Dir("New Folder");
    Dir("A/B");
    TMainForm& f = Start();
    Press(Node({"A"}));  // under the clicked node, though the root is selected
    f.Action("pNewFolder")->trigger();
    EXPECT_TRUE(fs::is_directory(Library() + "A/New Folder"));
    ASSERT_NE(Node({"A", "New Folder"}), nullptr);
    EXPECT_TRUE(Node({"A"})->isExpanded());
    ASSERT_NE(Editor(), nullptr);
    EXPECT_EQ(Editor()->text(), "New Folder");
    QTest::keyClick(Editor(), Qt::Key_Escape);
    EXPECT_EQ(Editor(), nullptr);

    Press(Root());
    f.Action("pNewFolder")->trigger();
    EXPECT_TRUE(fs::is_directory(Library() + "New Folder1"));
    EXPECT_NE(Node({"New Folder1"}), nullptr);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(LibraryTreeTest, NewFolderCollidesWhenTheWalkMetTheNameEarlier) {
    Dir("New Folder");
    Dir("New Folder1");
    TMainForm& f = Start();
    const std::string before = Shape();
    Press(Root());
    f.Action("pNewFolder")->trigger();
    if (before.find("New Folder(1)") < before.find("New Folder1(1)")) {
        EXPECT_TRUE(fs::is_directory(Library() + "New Folder2"));
        EXPECT_TRUE(prompts.messages.empty());
    } else {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text, "Create Folder Failed !");
        EXPECT_EQ(prompts.messages[0].buttons, Buttons::Ok);
        EXPECT_EQ(prompts.messages[0].icon, Icon::None);
        EXPECT_EQ(Shape(), before);
    }
}

TEST_F(LibraryTreeTest, RenameInPlace) {
    Dir("A");
    Dir("B");
    TMainForm& f = Start();
    Node({"A"})->setText(0, "B");  // what the in-place editor does with the typed text
    EXPECT_NE(Node({"A"}), nullptr);
    EXPECT_TRUE(fs::is_directory(Library() + "A"));
    Node({"A"})->setText(0, "Trips");
    EXPECT_NE(Node({"Trips"}), nullptr);
    EXPECT_TRUE(fs::is_directory(Library() + "Trips"));
    EXPECT_FALSE(fs::exists(Library() + "A"));
    EXPECT_EQ(f.NodeFolderPath(Node({"Trips"})), Library() + "Trips/");
    // The root is not editable, neither by the command nor by the tree's own gesture.
    EXPECT_FALSE(f.FolderTreeViewEditing(Root()));
    EXPECT_FALSE(Root()->flags() & Qt::ItemIsEditable);
    Press(Root());
    f.Action("pRenameFolder")->trigger();
    EXPECT_EQ(Editor(), nullptr);
    Root()->setText(0, "Renamed");
    EXPECT_EQ(Root()->text(0), "Photo Folder");
    Press(Node({"B"}));
    f.Action("pRenameFolder")->trigger();
    ASSERT_NE(Editor(), nullptr);
    Editor()->setText("C");
    QTest::keyClick(Editor(), Qt::Key_Return);
    ASSERT_TRUE(test::ProcessEventsUntil([&] { return Editor() == nullptr; }));  // commits queued
    EXPECT_TRUE(fs::is_directory(Library() + "C"));
    EXPECT_NE(Node({"C"}), nullptr);
}

TEST_F(LibraryTreeTest, RenamingTheShownFolderShowsItUnderItsNewName) {
    Dir("Trips/Day1");
    test::WriteText(Library() + "Trips/Day1/notes.txt", "x");
    TMainForm& f = Start();
    Tree()->setCurrentItem(Node({"Trips", "Day1"}));
    Node({"Trips", "Day1"})->setText(0, "First");
    EXPECT_EQ(f.windowTitle(), "Vantor See 1.1   /First/");
    EXPECT_EQ(f.Ui().ImagesListView1->Path().toStdString(), Library() + "Trips/First/");
    // Renaming a folder it lies in moves the grid along; the caption names the shown folder.
    Node({"Trips"})->setText(0, "Journeys");
    EXPECT_EQ(f.Ui().ImagesListView1->Path().toStdString(), Library() + "Journeys/First/");
    EXPECT_EQ(f.Ui().ImagesListView1->count(), 1);
    EXPECT_EQ(f.windowTitle(), "Vantor See 1.1   /First/");
    // Another folder's rename leaves the shown one alone.
    Dir("Other");
    f.FillFolderTree();
    Tree()->setCurrentItem(Node({"Journeys"}));
    Node({"Other"})->setText(0, "Else");
    EXPECT_EQ(f.windowTitle(), "Vantor See 1.1   /Journeys/");
}

TEST_F(LibraryTreeTest, DeleteAsksAndRemoves) {
    Dir("Gone/Sub");
    Dir("Kept");
    TMainForm& f = Start();
    Press(Root());
    f.Action("pDeleteFolder")->trigger();
    EXPECT_TRUE(prompts.messages.empty());

    Press(Node({"Kept"}));
    prompts.answers = {Answer::No};
    f.Action("pDeleteFolder")->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Are your sure delete the folder (Kept) ?");
    EXPECT_EQ(prompts.messages[0].caption, "Waring");
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::YesNo);
    EXPECT_EQ(prompts.messages[0].icon, Icon::Question);
    EXPECT_TRUE(fs::is_directory(Library() + "Kept"));
    EXPECT_EQ(f.ClickedFolderNode, nullptr);

    Press(Node({"Gone"}));
    prompts.answers = {Answer::Yes};
    f.Action("pDeleteFolder")->trigger();
    EXPECT_FALSE(fs::exists(Library() + "Gone"));
    EXPECT_EQ(Node({"Gone"}), nullptr);
    EXPECT_NE(Node({"Kept"}), nullptr);
}

TEST_F(LibraryTreeTest, FailedDeleteRebuildsTheTreeAndKeepsTheReadOnlyFile) {
    Dir("Album/Inner");
    test::WriteText(Library() + "Album/locked.jpg", "x");
    ::chmod((Library() + "Album/locked.jpg").c_str(), 0444);
    test::WriteText(Library() + "Album/free.jpg", "x");
    TMainForm& f = Start();
    Dir("Appeared");  // on disk only: shows after the rebuild
    Press(Node({"Album"}));
    prompts.answers = {Answer::Yes};
    f.Action("pDeleteFolder")->trigger();
    EXPECT_TRUE(fs::exists(Library() + "Album/locked.jpg"));
    EXPECT_FALSE(fs::exists(Library() + "Album/free.jpg"));
    EXPECT_NE(Node({"Album"}), nullptr);
    EXPECT_NE(Node({"Appeared"}), nullptr);
    EXPECT_EQ(f.ClickedFolderNode, nullptr);
}

TEST_F(LibraryTreeTest, DeleteNeverFollowsALinkOutOfTheLibrary) {
    const std::string outside = home.file("Elsewhere/");
    fs::create_directories(outside + "Deep");
    test::WriteText(outside + "precious.jpg", "x");
    Dir("Trip");
    fs::create_directory_symlink(outside, Library() + "Trip/Shortcut");
    fs::create_symlink(outside + "precious.jpg", Library() + "Trip/pic.jpg");
    TMainForm& f = Start();
    Press(Node({"Trip"}));
    prompts.answers = {Answer::Yes};
    f.Action("pDeleteFolder")->trigger();
    EXPECT_FALSE(fs::exists(Library() + "Trip"));
    EXPECT_TRUE(fs::exists(outside + "precious.jpg"));
    EXPECT_TRUE(fs::is_directory(outside + "Deep"));
}

TEST_F(LibraryTreeTest, RefreshRereadsTheDisk) {
    TMainForm& f = Start();
    Dir("Later");
    EXPECT_EQ(Node({"Later"}), nullptr);
    f.Action("pRefreshFolder")->trigger();
    EXPECT_NE(Node({"Later"}), nullptr);
}

}  // namespace
}  // namespace vs
