#include "platform/FileSystem.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace vs {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WriteText;

unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

std::size_t EntryCount(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(FileSystemNames, SlashesAndPlainNames) {
    EXPECT_EQ(WithTrailingSlash("/a/b"), "/a/b/");
    EXPECT_EQ(WithTrailingSlash("/a/b/"), "/a/b/");
    EXPECT_EQ(WithTrailingSlash(""), "/");
    EXPECT_EQ(WithoutTrailingSlash("/a/b//"), "/a/b");
    EXPECT_EQ(WithoutTrailingSlash("/"), "/");
    EXPECT_TRUE(IsPlainEntryName("..jpg"));
    EXPECT_TRUE(IsPlainEntryName(".hidden"));
    using namespace std::string_view_literals;
    for (std::string_view bad : {""sv, "."sv, ".."sv, "../x.jpg"sv, "a/b"sv, "a\0b"sv})
        EXPECT_FALSE(IsPlainEntryName(bad)) << bad;
}

TEST(FileSystemNames, CaseHelpersFoldAsciiOnly) {
    EXPECT_EQ(AsciiLower("PHOTO.JPG"), "photo.jpg");
    // Bytes of UTF-8 or Latin-1 letters stay as they are, whatever the locale.
    EXPECT_EQ(AsciiLower("\xC3\x89T\xC9"), "\xC3\x89t\xC9");
    EXPECT_TRUE(EqualsIgnoringCase("Photo.JPG", "photo.jpg"));
    EXPECT_FALSE(EqualsIgnoringCase("photo.jpg", "photo.jpeg"));
    EXPECT_FALSE(EqualsIgnoringCase("\xC9", "\xE9"));
    EXPECT_TRUE(EndsWithIgnoringCase("A.TIFF", ".tiff"));
    EXPECT_FALSE(EndsWithIgnoringCase("A.TIFF", ".tif"));
    EXPECT_FALSE(EndsWithIgnoringCase("f", ".tif"));
    EXPECT_TRUE(LessIgnoringCase("apple", "Banana"));
    EXPECT_FALSE(LessIgnoringCase("BANANA", "banana"));
    EXPECT_FALSE(LessIgnoringCase("banana", "BANANA"));
    EXPECT_TRUE(LessIgnoringCase("z", "\xC9"));  // bytes above 127 sort last
}

TEST(FileSystemRename, ReplacingRenameSparesTheSameFileAndReadOnlyTargets) {
    test::TempDir d;
    WriteText(d.file("a.jpg"), "a");
    WriteText(d.file("b.jpg"), "b");
    WriteText(d.file("locked.jpg"), "l");
    ::chmod(d.file("locked.jpg").c_str(), 0444);
    fs::create_directory_symlink(d.path(), d.file("Link"));
    EXPECT_FALSE(RenameReplacing(d.file("a.jpg"), d.file("Link/a.jpg")));  // would "succeed" doing nothing
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(RenameReplacing(d.file("a.jpg"), d.file("locked.jpg")));
    EXPECT_EQ(errno, EACCES);
    EXPECT_TRUE(IsReadOnlyEntry(d.file("locked.jpg")));
    EXPECT_FALSE(IsReadOnlyEntry(d.file("a.jpg")));
    EXPECT_FALSE(IsReadOnlyEntry(d.file("missing")));
    EXPECT_EQ(ReadText(d.file("locked.jpg")), "l");
    EXPECT_TRUE(RenameReplacing(d.file("a.jpg"), d.file("b.jpg")));
    EXPECT_EQ(ReadText(d.file("b.jpg")), "a");
    EXPECT_FALSE(fs::exists(d.file("a.jpg")));
}

TEST(FileSystemRename, NeverReplacesAndNeverLeavesTheFolder) {
    test::TempDir d;
    WriteText(d.file("a.jpg"), "a");
    WriteText(d.file("b.jpg"), "b");
    fs::create_directory(d.file("Empty"));
    EXPECT_FALSE(RenameNoReplace(d.file("a.jpg"), d.file("b.jpg")));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_FALSE(RenameEntry(d.path(), "a.jpg", "Empty"));  // rename(2) would take an empty folder's place
    EXPECT_FALSE(RenameEntry(d.path(), "a.jpg", "../a.jpg"));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(RenameEntry(d.path(), "a.jpg", ".."));
    EXPECT_FALSE(RenameEntry(d.path(), "a.jpg", "."));
    EXPECT_EQ(ReadText(d.file("b.jpg")), "b");
    EXPECT_TRUE(fs::is_directory(d.file("Empty")));

    EXPECT_TRUE(RenameEntry(d.path() + "/", "a.jpg", "a.jpg"));
    EXPECT_FALSE(RenameEntry(d.path(), "missing.jpg", "missing.jpg"));
    EXPECT_TRUE(RenameEntry(d.path(), "a.jpg", "c.jpg"));
    EXPECT_EQ(ReadText(d.file("c.jpg")), "a");
    EXPECT_FALSE(fs::exists(d.file("a.jpg")));
}

TEST(FileSystemDelete, PlainDeleteRefusesFoldersAndReadOnlyFiles) {
    test::TempDir d;
    WriteText(d.file("plain.jpg"), "x");
    WriteText(d.file("locked.jpg"), "x");
    ::chmod(d.file("locked.jpg").c_str(), 0444);
    WriteText(d.file("Target/keep.jpg"), "x");
    fs::create_symlink(d.file("Target/keep.jpg"), d.file("link.jpg"));
    ::chmod(d.file("Target/keep.jpg").c_str(), 0444);

    EXPECT_TRUE(DeletePlainFile(d.file("plain.jpg")));
    EXPECT_FALSE(fs::exists(d.file("plain.jpg")));
    EXPECT_FALSE(DeletePlainFile(d.file("locked.jpg")));  // refused even for root
    EXPECT_EQ(errno, EACCES);
    EXPECT_TRUE(fs::exists(d.file("locked.jpg")));
    EXPECT_FALSE(DeletePlainFile(d.file("Target")));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_TRUE(DeletePlainFile(d.file("link.jpg")));  // the link goes, its read-only target stays
    EXPECT_FALSE(fs::exists(fs::symlink_status(d.file("link.jpg"))));
    EXPECT_TRUE(fs::exists(d.file("Target/keep.jpg")));
    EXPECT_FALSE(DeletePlainFile(d.file("missing.jpg")));
}

TEST(FileSystemCopy, CopiesAndReplacesOnlyWhenAsked) {
    test::TempDir d;
    WriteText(d.file("src.jpg"), "new bytes");
    ::chmod(d.file("src.jpg").c_str(), 0640);
    WriteText(d.file("old.jpg"), "old");

    EXPECT_TRUE(CopyPlainFile(d.file("src.jpg"), d.file("copy.jpg"), false));
    EXPECT_EQ(ReadText(d.file("copy.jpg")), "new bytes");
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(Mode(d.file("copy.jpg")), 0640u & ~mask);

    EXPECT_FALSE(CopyPlainFile(d.file("src.jpg"), d.file("old.jpg"), false));
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadText(d.file("old.jpg")), "old");
    EXPECT_TRUE(CopyPlainFile(d.file("src.jpg"), d.file("old.jpg"), true));
    EXPECT_EQ(ReadText(d.file("old.jpg")), "new bytes");

    WriteText(d.file("locked.jpg"), "locked");
    ::chmod(d.file("locked.jpg").c_str(), 0444);
    EXPECT_FALSE(CopyPlainFile(d.file("src.jpg"), d.file("locked.jpg"), true));
    EXPECT_EQ(ReadText(d.file("locked.jpg")), "locked");
    EXPECT_FALSE(CopyPlainFile(d.file("Missing.jpg"), d.file("x.jpg"), true));
    EXPECT_FALSE(CopyPlainFile(d.path(), d.file("x.jpg"), true));
    EXPECT_EQ(EntryCount(d.path()), 4u) << "a temporary file was left";
}

TEST(FileSystemCopy, SameFileUnderAnotherNameStaysUntouched) {
    test::TempDir d;
    WriteText(d.file("Sub/pic.jpg"), "precious");
    fs::create_hard_link(d.file("Sub/pic.jpg"), d.file("hard.jpg"));
    fs::create_symlink(d.file("Sub"), d.file("Alias"));
    for (const std::string& other : {d.file("hard.jpg"), d.file("Alias/pic.jpg"), d.file("Sub/./pic.jpg")}) {
        EXPECT_FALSE(CopyPlainFile(d.file("Sub/pic.jpg"), other, true)) << other;
        EXPECT_EQ(errno, EEXIST);
        EXPECT_TRUE(IsSameFile(d.file("Sub/pic.jpg"), other));
        EXPECT_EQ(ReadText(d.file("Sub/pic.jpg")), "precious");
    }
    EXPECT_FALSE(IsSameFile(d.file("Sub/pic.jpg"), d.file("missing")));
    EXPECT_EQ(EntryCount(d.file("Sub")), 1u);
}

TEST(FileSystemCopy, FullDiskLeavesTheTargetWholeAndNoStrayFile) {
    test::TempDir d;
    WriteText(d.file("big.jpg"), std::string(100000, 'b'));
    WriteText(d.file("target.jpg"), "the old target");
    // A full disk, simulated by a file-size limit in a child process (it stops root too).
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(CopyPlainFile(d.file("big.jpg"), d.file("target.jpg"), true) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the copy reported success";
    EXPECT_EQ(ReadText(d.file("target.jpg")), "the old target");
    EXPECT_EQ(EntryCount(d.path()), 2u) << "a temporary file was left";
}

TEST(FileSystemRemove, RemovesTreeButKeepsReadOnlyFilesAndLinkTargets) {
    test::TempDir d;
    WriteText(d.file("T/a.jpg"), "x");
    WriteText(d.file("T/Sub/b.jpg"), "x");
    WriteText(d.file("T/Keep/locked.jpg"), "x");
    WriteText(d.file("T/Keep/other.jpg"), "x");
    ::chmod(d.file("T/Keep/locked.jpg").c_str(), 0444);
    WriteText(d.file("Outside/precious.jpg"), "x");
    fs::create_directory_symlink(d.file("Outside"), d.file("T/Sub/Link"));
    fs::create_directory_symlink(d.file("Outside"), d.file("LinkTop"));

    EXPECT_FALSE(RemoveTree(d.file("LinkTop/")));  // a link given as the folder is not entered
    EXPECT_TRUE(fs::exists(d.file("Outside/precious.jpg")));
    EXPECT_FALSE(RemoveTree(d.file("T/")));
    EXPECT_TRUE(fs::exists(d.file("T/Keep/locked.jpg")));
    EXPECT_FALSE(fs::exists(d.file("T/Keep/other.jpg")));
    EXPECT_FALSE(fs::exists(d.file("T/Sub")));
    EXPECT_TRUE(fs::exists(d.file("Outside/precious.jpg")));
    ::chmod(d.file("T/Keep/locked.jpg").c_str(), 0644);
    EXPECT_TRUE(RemoveTree(d.file("T")));
    EXPECT_FALSE(fs::exists(d.file("T")));
    EXPECT_FALSE(RemoveTree("/"));
}

// A file system mounted inside the folder (a USB stick, a share) keeps its files.
TEST(FileSystemRemove, NeverEntersAFileSystemMountedInside) {
    test::TempDir d;
    WriteText(d.file("T/a.jpg"), "x");
    fs::create_directories(d.file("T/Stick"));
    if (test::Run("mount -t tmpfs vantorsee-test " + test::Quote(d.file("T/Stick"))).exitCode != 0)
        GTEST_SKIP() << "no permission to mount a file system here";
    WriteText(d.file("T/Stick/photo.jpg"), "x");
    EXPECT_FALSE(RemoveTree(d.file("T")));
    EXPECT_TRUE(fs::exists(d.file("T/Stick/photo.jpg")));
    EXPECT_FALSE(fs::exists(d.file("T/a.jpg")));
    test::Run("umount " + test::Quote(d.file("T/Stick")));
}

// A folder swapped for a link to another folder while the remove walks: whichever the walk
// meets, the link's target keeps its files.
TEST(FileSystemRemove, FolderSwappedForLinkDuringTheWalkNeverRedirectsIt) {
    test::TempDir d;
    WriteText(d.file("Outside/precious.jpg"), "x");
    fs::create_directory(d.file("Stash"));
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 8; ++i) WriteText(d.file("T/Sub/f" + std::to_string(i) + ".jpg"), "x");
        for (int i = 0; i < 8; ++i) WriteText(d.file("T/g" + std::to_string(i) + ".jpg"), "x");
        fs::remove(d.file("Stash/Sub"));
        fs::create_directory_symlink(d.file("Outside"), d.file("Stash/Sub"));
        std::atomic<bool> stop{false};
        std::thread swapper([&] {
            const std::string a = d.file("T/Sub");
            const std::string b = d.file("Stash/Sub");
            while (!stop.load()) ::renameat2(AT_FDCWD, a.c_str(), AT_FDCWD, b.c_str(), RENAME_EXCHANGE);
        });
        RemoveTree(d.file("T/"));
        stop = true;
        swapper.join();
        ASSERT_TRUE(fs::exists(d.file("Outside/precious.jpg"))) << "round " << round;
        // Put everything back for the next round, whatever the walk left.
        std::error_code ec;
        if (fs::is_symlink(d.file("T/Sub")))
            fs::remove(d.file("T/Sub"));
        fs::remove_all(d.file("Stash/Sub"), ec);  // a real folder there is the swapped-out one
        fs::remove_all(d.file("T"), ec);
    }
    EXPECT_EQ(EntryCount(d.file("Outside")), 1u);
}

}  // namespace
}  // namespace vs
