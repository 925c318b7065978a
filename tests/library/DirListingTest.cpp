#include "library/DirListing.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <atomic>
#include <filesystem>
#include <future>

namespace vs {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using enum TDirAttr;

std::string Names(const std::vector<TDirRec>& entries) {
    std::vector<std::string> names;
    for (const TDirRec& r : entries) names.push_back(r.Name);
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& n : names) out += n + " ";
    return out;
}

TEST(DirListing, FolderTypeIsOneByteWithABitPerAttribute) {
    EXPECT_EQ(TDirType({dtReadOnly}).Bits, 0x01);
    EXPECT_EQ(TDirType({dtNormal, dtAll}).Bits, 0x30);
    EXPECT_TRUE(TDirType::FromByte(0x12).Contains(dtHidden));
    EXPECT_TRUE(TDirType::FromByte(0x12).Contains(dtNormal));
    EXPECT_FALSE(TDirType::FromByte(0x12).Contains(dtSystem));
}

TEST(DirListing, AttributeFilter) {
    const std::uint32_t plain = faDirectory, hidden = faDirectory | faHidden, readOnly = faDirectory | faReadOnly;
    EXPECT_TRUE(Okay({dtNormal, dtAll}, hidden));
    EXPECT_TRUE(Okay({dtAll}, faDirectory | faSysFile | faArchive));
    EXPECT_TRUE(Okay({dtNormal}, plain));
    EXPECT_FALSE(Okay({dtNormal}, hidden));
    EXPECT_FALSE(Okay({dtNormal}, faDirectory | faSysFile));
    EXPECT_FALSE(Okay({dtNormal}, faDirectory | faArchive));
    EXPECT_TRUE(Okay({dtNormal, dtHidden}, hidden));
    EXPECT_TRUE(Okay({dtHidden}, hidden));  // a flagged folder passes without dtNormal
    EXPECT_FALSE(Okay({dtHidden}, plain));
    // The read-only bit never decides.
    for (const TDirType t : {TDirType{dtNormal}, TDirType{dtHidden}, TDirType{dtNormal, dtHidden}}) {
        EXPECT_EQ(Okay(t, readOnly), Okay(t, plain));
        EXPECT_EQ(Okay(t, readOnly | faHidden), Okay(t, hidden));
        EXPECT_EQ(Okay(TDirType::FromByte(t.Bits | 1), hidden), Okay(t, hidden));
    }
}

TEST(DirListing, RecycleFoldersHideWhatLiesInside) {
    EXPECT_TRUE(IsRecycleFolderName("Trash"));
    EXPECT_TRUE(IsRecycleFolderName(".TRASH"));
    EXPECT_TRUE(IsRecycleFolderName(".Trash-1000"));
    EXPECT_FALSE(IsRecycleFolderName(".Trash-"));
    EXPECT_FALSE(IsRecycleFolderName(".Trash-x1"));
    EXPECT_FALSE(IsRecycleFolderName("Trashcan"));
    EXPECT_FALSE(IsInsideRecycleFolder("/home/ann/.local/share/Trash/"));
    EXPECT_FALSE(IsInsideRecycleFolder("/media/stick/.Trash-1000"));
    EXPECT_TRUE(IsInsideRecycleFolder("/home/ann/.local/share/Trash/files/"));
    EXPECT_TRUE(IsInsideRecycleFolder("/media/stick/.trash-1000/files/old/"));
    EXPECT_FALSE(IsInsideRecycleFolder("/home/ann/Trashy/files/"));
}

TEST(DirListing, ListsFoldersAndLinksToFoldersWithTheirAttributes) {
    test::TempDir d;
    fs::create_directories(d.file("Plain/Inner"));
    fs::create_directories(d.file(".hidden"));
    fs::create_directories(d.file("locked"));
    ::chmod(d.file("locked").c_str(), 0555);
    test::WriteText(d.file("file.txt"), "x");
    fs::create_directory_symlink("Plain", d.file("link"));
    fs::create_symlink("missing", d.file("dangling"));
    fs::create_symlink("file.txt", d.file("filelink"));

    const std::vector<TDirRec> entries = ReadSubFolderEntries(d.path());
    EXPECT_EQ(Names(entries), ".hidden Plain link locked ");
    for (const TDirRec& r : entries) {
        EXPECT_TRUE(r.Attr & faDirectory) << r.Name;
        EXPECT_EQ((r.Attr & faHidden) != 0, r.Name == ".hidden") << r.Name;
        EXPECT_EQ((r.Attr & faReadOnly) != 0, r.Name == "locked") << r.Name;
        EXPECT_TRUE(S_ISDIR(r.FindData.st_mode));
    }
    EXPECT_TRUE(ReadSubFolderEntries(d.file("nothing")).empty());
    ::chmod(d.file("locked").c_str(), 0755);
}

TEST(DirListing, PathArithmetic) {
    EXPECT_EQ(ParentFolderPath("/a/b/"), "/a/");
    EXPECT_EQ(ParentFolderPath("/a"), "/");
    EXPECT_EQ(ParentFolderPath("/"), "");
    EXPECT_EQ(FolderNameOf("/a/Bc/"), "Bc");
    EXPECT_EQ(FolderNameOf("/"), "/");
    EXPECT_EQ(WithTrailingSlash("/a"), "/a/");
    EXPECT_EQ(WithTrailingSlash("/a/"), "/a/");
    EXPECT_EQ(ReplacePathRoot("/a/old/x/y/", "/a/old/", "/a/new/"), "/a/new/x/y/");
    EXPECT_EQ(ReplacePathRoot("/a/other/", "/a/old/", "/a/new/"), "/a/other/");

    std::vector<std::string> names = {"beta", "Alpha", "alpha", "B", "a", "Alphabet", "_x", "Zed"};
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return FolderNameLess(a, b); });
    EXPECT_EQ(names, (std::vector<std::string>{"_x", "a", "Alpha", "alpha", "Alphabet", "B", "beta", "Zed"}));
}

TEST(DirListing, ExistenceAndStoredSpelling) {
    test::TempDir d;
    fs::create_directories(d.file("Some/Folder"));
    fs::create_symlink("gone", d.file("dangling"));
    EXPECT_TRUE(FileOrDirExists(d.file("Some/Folder/")));
    EXPECT_TRUE(FileOrDirExists(d.file("dangling")));
    EXPECT_FALSE(FileOrDirExists(d.file("some")));
    EXPECT_FALSE(FileOrDirExists(""));
    EXPECT_EQ(GetSysPathName(d.file("Some/Folder/")), d.file("Some/Folder"));
    EXPECT_EQ(GetShellPathName(d.file("Some/Folder")), d.file("Some/Folder"));
    EXPECT_EQ(GetSysPathName(d.file("missing/")), d.file("missing/"));  // unchanged when absent
    EXPECT_EQ(GetSysPathName("/"), "/");
}

// A reader that blocks until released, counting its calls.
struct Gate {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    std::atomic<int> calls{0};
};

FolderReader BlockingReader(const std::shared_ptr<Gate>& gate) {
    return [gate](const std::string& folder) {
        ++gate->calls;
        gate->opened.wait();
        TDirRec r;
        r.Name = "from " + folder;
        r.Attr = faDirectory;
        return std::vector<TDirRec>{r};
    };
}

// Waits that must give up use a short timeout; waits that must succeed a long one, so a busy
// machine that is slow to start the listing thread cannot fail them.
constexpr auto kGiveUp = 300ms;
constexpr auto kPatient = 60s;

TEST(DirListing, SlowListingIsAbandonedAndItsAnswerKeptForTheRetry) {
    auto gate = std::make_shared<Gate>();
    BackgroundLister lister(kGiveUp);
    EXPECT_FALSE(lister.List("/net/a/", "/net/", BlockingReader(gate)));
    EXPECT_EQ(lister.Outstanding(), 1);
    // Another folder of the same drive does not wait again.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(lister.List("/net/b/", "/net/", BlockingReader(gate)));
    EXPECT_LT(std::chrono::steady_clock::now() - start, kGiveUp / 2);
    EXPECT_EQ(gate->calls.load(), 1);

    gate->open.set_value();
    lister.SetTimeout(kPatient);
    const auto answer = lister.List("/net/a/", "/net/", BlockingReader(gate));
    ASSERT_TRUE(answer);
    EXPECT_EQ(Names(*answer), "from /net/a/ ");
    EXPECT_EQ(gate->calls.load(), 1);  // the abandoned listing's own answer
    EXPECT_EQ(lister.Outstanding(), 0);
    // A fast answer comes straight back.
    const auto again = lister.List("/net/b/", "/net/", BlockingReader(gate));
    ASSERT_TRUE(again);
    EXPECT_EQ(Names(*again), "from /net/b/ ");
}

TEST(DirListing, StuckDriveDoesNotHoldUpAnotherDrive) {
    auto stuck = std::make_shared<Gate>();
    auto free = std::make_shared<Gate>();
    free->open.set_value();
    BackgroundLister lister(kGiveUp);
    EXPECT_FALSE(lister.List("/net/a/", "/net/", BlockingReader(stuck)));
    lister.SetTimeout(kPatient);
    EXPECT_TRUE(lister.List("/media/x/", "/media/x/", BlockingReader(free)));
    stuck->open.set_value();
}

}  // namespace
}  // namespace vs
