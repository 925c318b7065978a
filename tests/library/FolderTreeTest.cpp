#include "library/FolderTree.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <sys/stat.h>

namespace vs {
namespace {

namespace fs = std::filesystem;
using test::WriteText;

std::string Slash(const test::TempDir& d) { return d.path() + "/"; }

void MakeDir(const std::string& path, mode_t mode = 0755) {
    fs::create_directories(path);
    ::chmod(path.c_str(), mode);
}

// Captions, depth first, with their levels: "1:A 2:B ...".
void Flatten(const std::vector<FolderNode>& nodes, int level, std::string& out) {
    for (const FolderNode& n : nodes) {
        out += std::to_string(level) + ":" + n.caption + " ";
        Flatten(n.children, level + 1, out);
    }
}

std::string Flat(const std::vector<FolderNode>& nodes) {
    std::string out;
    Flatten(nodes, 1, out);
    return out;
}

TEST(FolderListing, OnlyPlainFoldersCount) {
    test::TempDir d;
    MakeDir(d.file("Plain"));
    MakeDir(d.file(".Hidden"));
    MakeDir(d.file("ReadOnly"), 0555);
    WriteText(d.file("file.jpg"), "x");
    fs::create_directory_symlink(d.file("Plain"), d.file("Link"));
    EXPECT_EQ(ListPlainFolders(d.path()), std::vector<std::string>{"Plain"});
    EXPECT_TRUE(IsPlainFolder(d.path(), "Plain"));
    for (const char* name : {".Hidden", "ReadOnly", "file.jpg", "Link", ".", "..", "Missing"})
        EXPECT_FALSE(IsPlainFolder(d.path(), name)) << name;
    EXPECT_TRUE(ListPlainFolders(d.file("Missing")).empty());
    ::chmod(d.file("ReadOnly").c_str(), 0755);
}

TEST(FolderListing, HierarchyIsDepthFirstInListingOrder) {
    test::TempDir d;
    MakeDir(d.file("A/B/C"));
    MakeDir(d.file("A/D"));
    MakeDir(d.file("E"));
    MakeDir(d.file("A/.h/Inside"));
    const std::vector<FolderNode> tree = LoadFolderHierarchy(d.path());
    // Siblings keep the listing's order: compare with a plain listing of each level.
    std::string expected;
    for (const std::string& top : ListPlainFolders(d.path())) {
        expected += "1:" + top + " ";
        for (const std::string& second : ListPlainFolders(d.file(top))) {
            expected += "2:" + second + " ";
            for (const std::string& third : ListPlainFolders(d.file(top + "/" + second)))
                expected += "3:" + third + " ";
        }
    }
    EXPECT_EQ(Flat(tree), expected);
    EXPECT_NE(expected.find("3:C"), std::string::npos);
    EXPECT_EQ(expected.find("Inside"), std::string::npos);
}

TEST(FolderListing, LinkCycleIsNotFollowed) {
    test::TempDir d;
    MakeDir(d.file("A/B"));
    fs::create_directory_symlink(d.path(), d.file("A/B/Up"));
    fs::create_directory_symlink("..", d.file("A/Parent"));
    EXPECT_EQ(Flat(LoadFolderHierarchy(d.path())), "1:A 2:B ");
}

TEST(FolderListing, DeepHierarchyLoadsAndGoes) {
    test::TempDir d;
    std::string deep = d.file("T");
    for (int i = 0; i < 400; ++i)
        deep += "/d";
    MakeDir(deep);
    const std::vector<FolderNode> tree = LoadFolderHierarchy(d.path());
    int depth = 0;
    for (const std::vector<FolderNode>* level = &tree; !level->empty(); level = &level->front().children)
        ++depth;
    EXPECT_EQ(depth, 401);
    EXPECT_TRUE(RemoveFolderTree(d.file("T")));
    EXPECT_FALSE(fs::exists(d.file("T")));
}

TEST(FolderPaths, NodePathFromCaptions) {
    EXPECT_EQ(NodeFolderPath("/lib/Photo Folder/", {}), "/lib/Photo Folder/");
    EXPECT_EQ(NodeFolderPath("/lib/Photo Folder/", {"A", "B"}), "/lib/Photo Folder/A/B/");
}

TEST(NewFolderNames, TheWalkAndItsQuirk) {
    using Nodes = std::vector<std::pair<int, std::string>>;
    EXPECT_EQ(NewFolderName(Nodes{{0, "Photo Folder"}}, 1), "New Folder");
    EXPECT_EQ(NewFolderName(Nodes{{0, "Photo Folder"}, {1, "New Folder"}}, 1), "New Folder1");
    EXPECT_EQ(NewFolderName(Nodes{{0, "Photo Folder"}, {1, "New Folder"}, {1, "New Folder1"}}, 1), "New Folder2");
    // Met before "New Folder": the walk does not go back, so the name collides.
    EXPECT_EQ(NewFolderName(Nodes{{0, "Photo Folder"}, {1, "New Folder1"}, {1, "New Folder"}}, 1), "New Folder1");
    // Other levels do not count; the same level under another parent does.
    EXPECT_EQ(NewFolderName(Nodes{{0, "Photo Folder"}, {1, "A"}, {2, "New Folder"}}, 1), "New Folder");
    EXPECT_EQ(NewFolderName(Nodes{{0, "Photo Folder"}, {1, "A"}, {2, "New Folder"}, {1, "B"}}, 2), "New Folder1");
    // Exact comparison.
    EXPECT_EQ(NewFolderName(Nodes{{1, "new folder"}}, 1), "New Folder");
}

// Another program makes an empty folder under the new name and removes it again, over and
// over. A rename that checks first and renames after can replace that folder when the other
// program wins the race in between: its removal then finds our folder in its place.
TEST(FolderCommands, RenameNeverReplacesAFolderMadeMeanwhile) {
    test::TempDir d;
    WriteText(d.file("Mine/photo.jpg"), "x");
    const std::string theirs = d.file("Theirs");
    std::atomic<bool> stop{false};
    std::atomic<int> replaced{0};
    std::thread other([&] {
        while (!stop.load())
            if (::mkdir(theirs.c_str(), 0755) == 0 && ::rmdir(theirs.c_str()) != 0)
                ++replaced;  // our folder took the place of the one just made
    });
    for (int i = 0; i < 15000 && replaced.load() == 0; ++i) {
        if (RenameFolder(d.path(), "Mine", "Theirs")) {
            ASSERT_TRUE(RenameFolder(d.path(), "Theirs", "Mine"));
        }
    }
    stop = true;
    other.join();
    EXPECT_EQ(replaced.load(), 0);
}

TEST(FolderCommands, CreateAndRename) {
    test::TempDir d;
    EXPECT_TRUE(CreateFolder(d.path(), "New Folder"));
    EXPECT_TRUE(fs::is_directory(d.file("New Folder")));
    EXPECT_FALSE(CreateFolder(d.path(), "New Folder"));
    EXPECT_FALSE(CreateFolder(d.path(), "a/b"));
    MakeDir(d.file("Sibling"));  // empty: rename(2) alone would replace it
    EXPECT_FALSE(RenameFolder(d.path(), "New Folder", "Sibling"));
    EXPECT_TRUE(fs::is_directory(d.file("New Folder")));
    EXPECT_FALSE(RenameFolder(d.path(), "New Folder", ".."));
    EXPECT_FALSE(RenameFolder(d.path(), "Missing", "Other"));
    EXPECT_TRUE(RenameFolder(Slash(d), "New Folder", "Trips"));
    EXPECT_TRUE(fs::is_directory(d.file("Trips")));
    EXPECT_FALSE(fs::exists(d.file("New Folder")));
}

TEST(FolderRemoval, RemovesEverythingPlain) {
    test::TempDir d;
    MakeDir(d.file("Lib/T/A/B"));
    WriteText(d.file("Lib/T/x.jpg"), "x");
    WriteText(d.file("Lib/T/A/B/y.bmp"), "y");
    EXPECT_TRUE(RemoveFolderTree(d.file("Lib/T/")));
    EXPECT_FALSE(fs::exists(d.file("Lib/T")));
    EXPECT_TRUE(fs::exists(d.file("Lib")));
    EXPECT_FALSE(RemoveFolderTree(d.file("Lib/Missing/")));
}

TEST(FolderRemoval, ReadOnlyFileStaysWithItsFolders) {
    test::TempDir d;
    MakeDir(d.file("T/Keep"));
    WriteText(d.file("T/Keep/locked.jpg"), "x");
    ::chmod(d.file("T/Keep/locked.jpg").c_str(), 0444);
    WriteText(d.file("T/Keep/other.jpg"), "x");
    WriteText(d.file("T/free.jpg"), "x");
    EXPECT_FALSE(RemoveFolderTree(d.file("T/")));
    EXPECT_TRUE(fs::exists(d.file("T/Keep/locked.jpg")));
    EXPECT_FALSE(fs::exists(d.file("T/Keep/other.jpg")));
    EXPECT_TRUE(fs::is_directory(d.file("T/Keep")));
}

TEST(FolderRemoval, HiddenAndReadOnlyFoldersStay) {
    test::TempDir d;
    MakeDir(d.file("T/.hidden"));
    EXPECT_FALSE(RemoveFolderTree(d.file("T/")));
    EXPECT_TRUE(fs::is_directory(d.file("T/.hidden")));
}

TEST(FolderRemoval, SymbolicLinksAreRemovedNotFollowed) {
    test::TempDir d;
    MakeDir(d.file("Outside/Deep"));
    WriteText(d.file("Outside/precious.jpg"), "x");
    WriteText(d.file("Outside/Deep/also.jpg"), "x");
    MakeDir(d.file("Lib/T"));
    fs::create_directory_symlink(d.file("Outside"), d.file("Lib/T/ToOutside"));
    fs::create_symlink(d.file("Outside/precious.jpg"), d.file("Lib/T/pic.jpg"));
    EXPECT_TRUE(RemoveFolderTree(d.file("Lib/T/")));
    EXPECT_FALSE(fs::exists(d.file("Lib/T")));
    EXPECT_TRUE(fs::exists(d.file("Outside/precious.jpg")));
    EXPECT_TRUE(fs::exists(d.file("Outside/Deep/also.jpg")));
}

}  // namespace
}  // namespace vs
