#include "controls/TDirTree.h"
#include "platform/testing/FakePlatform.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <future>

namespace vs {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using enum TDirAttr;

// Three drives in a temporary folder: a CD, a fixed disk and a network share, in that order.
class DirTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        cd = Folder("1cd");
        fixed = Folder("2fixed");
        net = Folder("3net");
        auto list = std::make_unique<fake::FakeMountList>();
        list->mounts = {{cd.substr(0, cd.size() - 1), "/dev/sr0", "iso9660", "DVD", true},
                        {fixed, "/dev/vda1", "ext4", "Fixed disk", false},
                        {net.substr(0, net.size() - 1), "host:/share", "nfs4", "", false}};
        mounts = list.get();
        tree.SetMountList(std::move(list));
    }

    std::string Folder(const std::string& relative) {
        fs::create_directories(d.file(relative));
        return d.file(relative) + "/";
    }
    QTreeWidgetItem* Drive(const std::string& root) {
        for (int i = 0; i < tree.topLevelItemCount(); ++i)
            if (TDirTree::Entry(tree.topLevelItem(i))->Path == root)
                return tree.topLevelItem(i);
        return nullptr;
    }
    QTreeWidgetItem* Expanded(const std::string& path) {
        tree.SetDirectory(path);
        QTreeWidgetItem* node = tree.GetNodeFromPath(path);
        if (node)
            tree.expandItem(node);
        return node;
    }
    // The captions of a node's children, each followed by '+' when it has an expand button.
    static std::string Kids(const QTreeWidgetItem* node) {
        std::string out;
        for (int i = 0; node && i < node->childCount(); ++i) {
            const QTreeWidgetItem* kid = node->child(i);
            out += kid->text(0).toStdString() + (kid->childCount() > 0 ? "+" : "") + " ";
        }
        return out;
    }

    test::TempDir d;
    std::string cd, fixed, net;
    fake::FakeMountList* mounts = nullptr;
    TDirTree tree;
};

TEST_F(DirTreeTest, DrivesWithLabelsAndButtons) {
    Folder("2fixed/Pictures");
    Folder("3net/Share");
    tree.ReadNew();
    ASSERT_EQ(tree.topLevelItemCount(), 3);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), "DVD");
    EXPECT_EQ(tree.topLevelItem(1)->text(0), "Fixed disk");
    EXPECT_EQ(tree.topLevelItem(2)->text(0).toStdString(), net.substr(0, net.size() - 1));  // no label
    EXPECT_EQ(tree.topLevelItem(0)->data(0, TDirTree::kImageIndexRole).toInt(), TDirTree::kCdIcon);
    EXPECT_EQ(tree.topLevelItem(2)->data(0, TDirTree::kImageIndexRole).toInt(), TDirTree::kRemoteIcon);
    EXPECT_GT(Drive(cd)->childCount(), 0);  // a CD always gets one, even when empty
    EXPECT_GT(Drive(fixed)->childCount(), 0);
    EXPECT_GT(Drive(net)->childCount(), 0);
    EXPECT_TRUE(tree.IsDriveRoot(fixed));
    EXPECT_FALSE(tree.IsDriveRoot(fixed + "Pictures/"));

    // Opening the empty CD removes its button; a fixed drive without folders never has one.
    tree.expandItem(Drive(cd));
    EXPECT_EQ(Drive(cd)->childCount(), 0);
    fs::remove(fixed + "Pictures");
    tree.ReadNew();
    EXPECT_EQ(Drive(fixed)->childCount(), 0);

    tree.SetAllowNetwork(false);
    EXPECT_EQ(tree.topLevelItemCount(), 2);
    EXPECT_EQ(Drive(net), nullptr);

    // A pseudo file system is no drive, yet its mount point counts as a root.
    mounts->mounts.push_back({fixed + "proc", "proc", "proc", "", false});
    tree.ReLoad();
    EXPECT_EQ(tree.topLevelItemCount(), 2);
    EXPECT_TRUE(tree.IsDriveRoot(fixed + "proc"));
}

TEST_F(DirTreeTest, LevelsAreReadOnceSortedWithButtonsWhereFoldersAre) {
    for (const char* f : {"2fixed/b", "2fixed/A/inner", "2fixed/c", "2fixed/a2"}) Folder(f);
    test::WriteText(fixed + "not a folder", "x");
    std::atomic<int> reads{0};
    tree.SetFolderReader([&](const std::string& p) {
        ++reads;
        return ReadSubFolderEntries(p);
    });
    tree.ReadNew();
    tree.expandItem(Drive(fixed));
    EXPECT_EQ(Kids(Drive(fixed)), "A+ a2 b c ");
    EXPECT_TRUE(tree.IsExpanded(Drive(fixed)));
    EXPECT_FALSE(tree.IsExpanded(Drive(fixed)->child(0)));
    EXPECT_EQ(TDirTree::Entry(Drive(fixed)->child(0))->Path, fixed + "A/");

    const int after = reads;
    Folder("2fixed/d");
    tree.collapseItem(Drive(fixed));
    tree.expandItem(Drive(fixed));
    EXPECT_EQ(reads.load(), after);
    EXPECT_EQ(Kids(Drive(fixed)), "A+ a2 b c ");
    tree.ClearNode(Drive(fixed));  // forgets the level: read again at the next opening
    EXPECT_FALSE(tree.IsExpanded(Drive(fixed)));
    tree.collapseItem(Drive(fixed));
    tree.expandItem(Drive(fixed));
    EXPECT_EQ(Kids(Drive(fixed)), "A+ a2 b c d ");
}

TEST_F(DirTreeTest, RecycleFoldersAndAttributeFilter) {
    Folder("2fixed/Trash/files/old");
    Folder("2fixed/.hidden/sub");
    Folder("2fixed/plain");
    Folder("2fixed/locked");
    ::chmod((fixed + "locked").c_str(), 0555);
    tree.ReadNew();
    tree.SetGoBelowRecycleBin(false);
    QTreeWidgetItem* trash = Expanded(fixed + "Trash/");
    ASSERT_NE(trash, nullptr);
    EXPECT_EQ(Kids(trash->parent()), ".hidden+ locked plain Trash ");  // Trash shown, without a button
    EXPECT_EQ(Kids(trash), "");
    tree.SetGoBelowRecycleBin(true);
    EXPECT_EQ(Kids(Expanded(fixed + "Trash/")), "files+ ");

    tree.SetDirType({dtNormal});
    EXPECT_EQ(Kids(Expanded(fixed)), "locked plain Trash+ ");
    tree.SetDirType({dtNormal, dtHidden});
    EXPECT_EQ(Kids(Expanded(fixed)), ".hidden+ locked plain Trash+ ");
    tree.SetDirType({dtNormal, dtReadOnly});
    EXPECT_EQ(Kids(Expanded(fixed)), "locked plain Trash+ ");
    tree.SetDirType({dtHidden});
    EXPECT_EQ(Kids(Expanded(fixed)), ".hidden ");
    ::chmod((fixed + "locked").c_str(), 0755);
}

TEST_F(DirTreeTest, SelectingByPath) {
    Folder("2fixed/a/b/c");
    QSignalSpy changes(&tree, &TDirTree::Change);
    tree.ReadNew();
    EXPECT_EQ(tree.GetDirectory(), "?");
    EXPECT_EQ(changes.count(), 0);
    try {
        tree.SetDirectory("");
        ADD_FAILURE() << "an empty path must be refused";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "Invalid Directory Name");
    }
    EXPECT_EQ(tree.GetNodeFromPath(fixed + "a/b"), nullptr);  // its levels were never opened
    tree.SetDirectory(fixed + "a/b");
    EXPECT_EQ(tree.GetDirectory(), fixed + "a/b/");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(tree.GetNodeFromPath(fixed + "a/b"), tree.currentItem());
    EXPECT_EQ(tree.GetNodeFromPath(d.file("2Fixed/a/b")), nullptr);  // letter case counts
    EXPECT_EQ(tree.GetDrive(), fixed);

    tree.SetDirectory("?");
    EXPECT_EQ(tree.GetDirectory(), fixed + "a/b/");
    tree.SetDirectory(fixed + "a/b/c/missing/");  // a level that cannot be found: no change
    const std::string old = fs::current_path();
    ASSERT_EQ(::chdir((net + ".").c_str()), 0);  // a path that is not there: the current drive's root
    tree.SetDirectory(fixed + "gone");
    fs::current_path(old);
    EXPECT_EQ(tree.GetDirectory(), net);

    // A reload keeps the selection and reports it only once the drives are read.
    tree.SetDirectory(fixed + "a/b");
    changes.clear();
    tree.ReLoad();
    EXPECT_EQ(tree.GetDirectory(), fixed + "a/b/");
    ASSERT_EQ(changes.count(), 1);
}

TEST_F(DirTreeTest, RenamePartRewritesEveryLoadedDescendant) {
    Folder("2fixed/a/b/c");
    Folder("2fixed/a/b2");
    tree.ReadNew();
    Expanded(fixed + "a/b/c");
    ASSERT_EQ(tree.GetDirectory(), fixed + "a/b/c/");
    std::vector<std::string> reported;
    QObject::connect(&tree, &TDirTree::Change, [&] { reported.push_back(tree.GetDirectory()); });
    fs::rename(fixed + "a", fixed + "z");
    tree.RenamePart(fixed + "a", "z");

    QTreeWidgetItem* z = tree.GetNodeFromPath(fixed + "z/");
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(z->text(0), "z");
    EXPECT_EQ(Kids(z), "b+ b2 ");
    EXPECT_EQ(TDirTree::Entry(z->child(0)->child(0))->Path, fixed + "z/b/c/");
    EXPECT_EQ(TDirTree::Entry(z->child(1))->Path, fixed + "z/b2/");
    EXPECT_EQ(tree.GetNodeFromPath(fixed + "a/"), nullptr);
    EXPECT_EQ(reported, std::vector<std::string>{fixed + "z/b/c/"});
}

TEST_F(DirTreeTest, SetDriveReturnsToTheLastFolderOrTheRoot) {
    Folder("2fixed/a/b");
    Folder("3net/x");
    tree.ReadNew();
    tree.SetDirectory(fixed + "a/b");
    tree.SetDrive(net);
    EXPECT_EQ(tree.GetDirectory(), net);
    tree.SetDrive(fixed);
    EXPECT_EQ(tree.GetDirectory(), fixed + "a/b/");
    tree.SetDrive(net);
    fs::remove(fixed + "a/b");
    tree.SetDrive(fixed);
    EXPECT_EQ(tree.GetDirectory(), fixed);
}

TEST_F(DirTreeTest, FullExpandEndsDespiteALinkLoop) {
    Folder("2fixed/a/b");
    Folder("2fixed/other/deep");
    fs::create_directory_symlink("..", fixed + "a/loop");
    fs::create_directory_symlink("../other", fixed + "a/side");
    fs::create_directory_symlink(fixed, fixed + "a/b/up");
    tree.ReadNew();
    tree.FullExpand();
    QTreeWidgetItem* a = tree.GetNodeFromPath(fixed + "a/");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Kids(a), "b+ loop+ side+ ");
    EXPECT_TRUE(tree.IsExpanded(a->child(0)));
    EXPECT_EQ(Kids(a->child(0)), "up+ ");
    EXPECT_FALSE(tree.IsExpanded(a->child(1)));  // links are shown, not entered
    EXPECT_FALSE(tree.IsExpanded(a->child(2)));
    EXPECT_TRUE(tree.IsExpanded(tree.GetNodeFromPath(fixed + "other/deep/")));
    EXPECT_TRUE(tree.IsExpanded(Drive(cd)));
}

TEST_F(DirTreeTest, SlowDriveLeavesTheNodeEmptyWithItsButton) {
    Folder("3net/x");
    Folder("2fixed/a");
    auto gate = std::make_shared<std::promise<void>>();
    std::shared_future<void> open = gate->get_future().share();
    tree.SetFolderReader([net = net, open](const std::string& p) {
        if (p.compare(0, net.size(), net) == 0)
            open.wait();
        return ReadSubFolderEntries(p);
    });
    tree.SetListTimeout(50ms);
    const auto start = std::chrono::steady_clock::now();
    tree.ReadNew();
    QTreeWidgetItem* share = Drive(net);
    EXPECT_EQ(Kids(share), "** ");  // no answer: a button to try again
    tree.expandItem(share);
    EXPECT_FALSE(share->isExpanded());
    EXPECT_FALSE(tree.IsExpanded(share));
    EXPECT_EQ(share->childCount(), 1);
    EXPECT_EQ(tree.AbandonedListings(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    tree.SetListTimeout(60s);  // the answers from here on must come, however busy the machine
    tree.expandItem(Drive(fixed));  // other drives go on as usual
    EXPECT_EQ(Kids(Drive(fixed)), "a ");

    gate->set_value();
    tree.expandItem(share);
    EXPECT_TRUE(tree.IsExpanded(share));
    EXPECT_EQ(Kids(share), "x ");
    EXPECT_EQ(tree.AbandonedListings(), 0);
}

TEST_F(DirTreeTest, EventsAndSmallEdits) {
    Folder("2fixed/keep");
    tree.OnFindDir = [](TDirTree&, const std::string&, TDirRec& rec, int& result, bool first) {
        static const std::vector<std::pair<std::string, std::uint32_t>> kEntries = {
            {"keep", faDirectory}, {"file", 0}, {"hide", faDirectory}, {"Beta", faDirectory}};
        if (first)
            rec.FindHandle = 0;
        if (rec.FindHandle >= static_cast<std::intptr_t>(kEntries.size())) {
            result = 1;
            return;
        }
        rec.Name = kEntries[static_cast<std::size_t>(rec.FindHandle)].first;
        rec.Attr = kEntries[static_cast<std::size_t>(rec.FindHandle)].second;
        ++rec.FindHandle;
        result = 0;
    };
    tree.OnAddDir = [](TDirTree&, const std::string& path, bool& add) {
        add = path.find("/hide/") == std::string::npos;
    };
    std::vector<QTreeWidgetItem*> deleted;
    tree.OnDeleteItem = [&](TDirTree&, QTreeWidgetItem* node) { deleted.push_back(node); };
    tree.ReadNew();
    tree.expandItem(Drive(fixed));
    EXPECT_EQ(Kids(Drive(fixed)), "Beta+ keep+ ");  // the replacement listing answers for every level

    tree.OnFindDir = nullptr;
    tree.AddPath(fixed, "alpha");
    tree.AddPath(fixed, "Gamma");
    tree.AddPath(fixed, "alpha");
    EXPECT_EQ(Kids(Drive(fixed)), "alpha Beta+ Gamma keep+ ");
    QTreeWidgetItem* gamma = tree.GetNodeFromPath(fixed + "Gamma");
    tree.SetDropTarget(gamma);
    EXPECT_EQ(tree.GetDropDir(), fixed + "Gamma/");
    tree.DeletePart(fixed + "Gamma/");
    EXPECT_EQ(Kids(Drive(fixed)), "alpha Beta+ keep+ ");
    EXPECT_EQ(std::count(deleted.begin(), deleted.end(), gamma), 1);
    EXPECT_EQ(tree.GetDropDir(), "");
    tree.DeletePart(fixed + "nothing/");
    tree.AddPath(fixed + "nothing/", "x");
    EXPECT_EQ(Kids(Drive(fixed)), "alpha Beta+ keep+ ");
}

}  // namespace
}  // namespace vs
