#include "library/FileCommands.h"
#include "platform/testing/FakePlatform.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <csignal>
#include <filesystem>

namespace vs {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WriteText;

// A grid over a list of names, recording what the commands do to it.
class FakeGrid : public FileGrid {
public:
    std::string folder;
    std::vector<std::string> names;
    std::vector<bool> selected;
    std::vector<std::string> log;

    std::string Folder() const override { return folder; }
    int Count() const override { return static_cast<int>(names.size()); }
    std::string Caption(int i) const override {
        std::string c = names[static_cast<std::size_t>(i)];
        std::transform(c.begin(), c.end(), c.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
        return c;
    }
    std::string RealName(int i) const override { return names[static_cast<std::size_t>(i)]; }
    bool Selected(int i) const override { return selected[static_cast<std::size_t>(i)]; }
    void Remove(int i) override {
        log.push_back("remove " + names[static_cast<std::size_t>(i)]);
        names.erase(names.begin() + i);
        selected.erase(selected.begin() + i);
    }
    void Add(const std::string& name) override {
        log.push_back("add " + name);
        const auto at = std::lower_bound(names.begin(), names.end(), name);
        selected.insert(selected.begin() + (at - names.begin()), false);
        names.insert(at, name);
    }
    void Refresh() override { log.push_back("refresh"); }
    void SelectLast() override {
        std::fill(selected.begin(), selected.end(), false);
        if (!selected.empty())
            selected.back() = true;
        log.push_back("select last");
    }
    void Select(const std::vector<std::string>& which) {
        for (std::size_t i = 0; i < names.size(); ++i)
            selected[i] = std::find(which.begin(), which.end(), names[i]) != which.end();
    }
};

class FakeProgress : public BulkProgress {
public:
    int maximum = -1;
    int position = 0;
    bool shown = false;
    int shows = 0;
    void Begin(int items) override {
        maximum = items;
        position = 0;
        shown = true;
        ++shows;
    }
    void Step() override { ++position; }
    void End() override { shown = false; }
};

// Two library folders, A/ and B/, each a grid of its files.
class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(A());
        fs::create_directories(B());
    }
    std::string A() const { return dir.file("A/"); }
    std::string B() const { return dir.file("B/"); }
    // A grid over the files of folder, in name order, the given ones selected.
    FakeGrid Grid(const std::string& folder, const std::vector<std::string>& select = {}) {
        FakeGrid g;
        g.folder = folder;
        for (const auto& e : fs::directory_iterator(folder)) g.names.push_back(e.path().filename().string());
        std::sort(g.names.begin(), g.names.end());
        g.selected.assign(g.names.size(), false);
        g.Select(select);
        return g;
    }
    FileCommandContext Context() {
        return {prompts, progress, changesEnabled, [this](const std::string& p) { released.push_back(p); },
                [this](const std::string& p) {
                    EXPECT_FALSE(changesEnabled) << "selection changes must not reach the viewer";
                    deleted.push_back(p);
                    return ::unlink(p.c_str()) == 0;
                }};
    }
    static bool Exists(const std::string& p) { return fs::exists(fs::symlink_status(p)); }

    test::TempDir dir;
    fake::FakePrompts prompts;
    FakeProgress progress;
    bool changesEnabled = true;
    std::vector<std::string> released;
    std::vector<std::string> deleted;
};

TEST_F(FileCommandsTest, CopyAndCutTakeTheSelectionAndNothingElse) {
    WriteText(A() + "One.jpg", "1");
    WriteText(A() + "two.bmp", "2");
    WriteText(A() + "zz.txt", "3");
    FakeGrid grid = Grid(A(), {"zz.txt", "One.jpg"});
    FileClipboardState clip;
    TakeToClipboard(clip, grid, true);
    ASSERT_TRUE(clip.names);
    EXPECT_EQ(*clip.names, (std::vector<std::string>{"One.jpg", "zz.txt"}));  // grid order, real names
    EXPECT_EQ(clip.folder, A());
    EXPECT_TRUE(clip.isCut);
    EXPECT_TRUE(Exists(A() + "One.jpg"));  // nothing happens to the files yet

    grid.Select({});
    TakeToClipboard(clip, grid, false);
    EXPECT_FALSE(clip.names) << "a Copy without selection empties the clipboard";
    EXPECT_FALSE(clip.isCut);
    FakeGrid target = Grid(B());
    auto ctx = Context();
    EXPECT_TRUE(PasteFromClipboard(clip, target, ctx));
    EXPECT_TRUE(target.log.empty());
    EXPECT_EQ(progress.shows, 0);
}

TEST_F(FileCommandsTest, CutThenPasteMovesAndASecondPasteCopiesNothing) {
    WriteText(A() + "Photo.JPG", "picture");
    WriteText(A() + "keep.bmp", "k");
    FakeGrid source = Grid(A(), {"Photo.JPG"});
    FileClipboardState clip;
    TakeToClipboard(clip, source, true);
    FakeGrid target = Grid(B());
    auto ctx = Context();
    EXPECT_TRUE(PasteFromClipboard(clip, target, ctx));
    EXPECT_EQ(ReadText(B() + "Photo.JPG"), "picture");
    EXPECT_FALSE(Exists(A() + "Photo.JPG"));
    EXPECT_TRUE(Exists(A() + "keep.bmp"));
    EXPECT_EQ(target.log, (std::vector<std::string>{"add Photo.JPG", "refresh"}));
    EXPECT_EQ(progress.maximum, 1);
    EXPECT_EQ(progress.position, 1);
    EXPECT_FALSE(progress.shown);

    fs::create_directories(dir.file("C"));
    FakeGrid third = Grid(dir.file("C/"));
    EXPECT_TRUE(PasteFromClipboard(clip, third, ctx));
    EXPECT_TRUE(fs::is_empty(dir.file("C")));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(third.log, (std::vector<std::string>{"refresh"}));
    EXPECT_TRUE(clip.names) << "the clipboard survives a paste";
}

TEST_F(FileCommandsTest, PasteIntoTheSourceFolderRefusesWithTheMessage) {
    WriteText(A() + "a.bmp", "a");
    FakeGrid grid = Grid(A(), {"a.bmp"});
    FileClipboardState clip;
    TakeToClipboard(clip, grid, false);
    auto ctx = Context();
    EXPECT_FALSE(PasteFromClipboard(clip, grid, ctx));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Error\xEF\xBC\x81Source same as Traget !");
    EXPECT_EQ(progress.shows, 0);
    EXPECT_TRUE(grid.log.empty());
}

TEST_F(FileCommandsTest, ReplaceQuestionNoKeepsBothYesReplacesCancelStops) {
    for (const char* n : {"1.bmp", "2.bmp", "3.bmp"}) {
        WriteText(A() + n, std::string("new") + n);
        WriteText(B() + n, std::string("old") + n);
    }
    FakeGrid source = Grid(A(), {"1.bmp", "2.bmp", "3.bmp"});
    FileClipboardState clip;
    TakeToClipboard(clip, source, true);
    FakeGrid target = Grid(B());
    prompts.answers = {Answer::No, Answer::Yes, Answer::Cancel};
    auto ctx = Context();
    EXPECT_FALSE(PasteFromClipboard(clip, target, ctx));

    ASSERT_EQ(prompts.messages.size(), 3u);
    EXPECT_EQ(prompts.messages[0].text, B() + "1.bmpalready exist!\nreplace ?");
    EXPECT_EQ(prompts.messages[0].caption, "Waring");
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(prompts.messages[0].icon, Icon::Question);
    EXPECT_EQ(ReadText(B() + "1.bmp"), "old1.bmp");  // No: target and cut source untouched
    EXPECT_EQ(ReadText(A() + "1.bmp"), "new1.bmp");
    EXPECT_EQ(ReadText(B() + "2.bmp"), "new2.bmp");  // Yes: replaced, the cut source gone
    EXPECT_FALSE(Exists(A() + "2.bmp"));
    EXPECT_EQ(ReadText(B() + "3.bmp"), "old3.bmp");  // Cancel: the rest untouched
    EXPECT_EQ(ReadText(A() + "3.bmp"), "new3.bmp");
    EXPECT_EQ(target.log, (std::vector<std::string>{"remove 2.bmp", "add 2.bmp"})) << "no refresh after Cancel";
    EXPECT_FALSE(progress.shown);
}

TEST_F(FileCommandsTest, PasteOntoTheSameFileThroughALinkLeavesBoth) {
    WriteText(A() + "same.bmp", "data");
    fs::create_directory_symlink(A(), dir.file("LinkToA"));
    FakeGrid source = Grid(A(), {"same.bmp"});
    FileClipboardState clip;
    TakeToClipboard(clip, source, true);
    FakeGrid viaLink = Grid(dir.file("LinkToA/"));
    auto ctx = Context();
    EXPECT_TRUE(PasteFromClipboard(clip, viaLink, ctx));  // asked, answered Yes, the copy fails
    EXPECT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(ReadText(A() + "same.bmp"), "data");
    EXPECT_EQ(viaLink.log, (std::vector<std::string>{"refresh"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(A()), {}), 1) << "no temporary file left";
}

TEST_F(FileCommandsTest, DeleteReleasesEachFileFirstKeepsWhatStaysAndSelectsTheLast) {
    for (const char* n : {"a.avi", "b.bmp", "c.bmp", "d.bmp"}) WriteText(A() + n, n);
    ::chmod((A() + "c.bmp").c_str(), 0444);
    FakeGrid grid = Grid(A(), {"a.avi", "c.bmp", "d.bmp"});
    auto ctx = Context();
    ctx.deleteFile = [&](const std::string& p) {
        EXPECT_FALSE(changesEnabled);
        EXPECT_FALSE(released.empty() || released.back() != p) << "the player lets go first";
        deleted.push_back(p);
        return (fs::status(p).permissions() & fs::perms::owner_write) != fs::perms::none && ::unlink(p.c_str()) == 0;
    };
    DeleteSelectedFiles(grid, ctx);
    EXPECT_TRUE(changesEnabled);
    EXPECT_EQ(released, (std::vector<std::string>{A() + "a.avi", A() + "c.bmp", A() + "d.bmp"}));
    EXPECT_EQ(deleted, released);
    EXPECT_FALSE(Exists(A() + "a.avi"));
    EXPECT_FALSE(Exists(A() + "d.bmp"));
    EXPECT_EQ(grid.names, (std::vector<std::string>{"b.bmp", "c.bmp"})) << "a file still there keeps its item";
    EXPECT_EQ(grid.selected, (std::vector<bool>{false, true}));
    EXPECT_EQ(progress.maximum, 4);
    EXPECT_EQ(progress.position, 4);
    EXPECT_FALSE(progress.shown);
}

TEST_F(FileCommandsTest, MoveTakesSelectedFilesAndLeavesFailuresInPlace) {
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"}) WriteText(A() + n, n);
    ::chmod((A() + "c.bmp").c_str(), 0444);  // copied, but the plain delete refuses it
    FakeGrid grid = Grid(A(), {"a.bmp", "c.bmp", "d.bmp"});
    auto ctx = Context();
    MoveSelectedFiles(grid, B(), ctx);
    EXPECT_TRUE(changesEnabled);
    EXPECT_EQ(ReadText(B() + "a.bmp"), "a.bmp");
    EXPECT_EQ(ReadText(B() + "d.bmp"), "d.bmp");
    EXPECT_FALSE(Exists(A() + "a.bmp"));
    EXPECT_EQ(ReadText(B() + "c.bmp"), "c.bmp");
    EXPECT_EQ(ReadText(A() + "c.bmp"), "c.bmp");
    EXPECT_EQ(grid.names, (std::vector<std::string>{"b.bmp", "c.bmp"}));
    EXPECT_EQ(grid.log, (std::vector<std::string>{"remove a.bmp", "remove d.bmp"})) << "nothing refreshed";
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(released.size(), 3u);
    EXPECT_EQ(progress.maximum, 4);
    EXPECT_EQ(progress.position, 4);

    // A target folder that is not there: every copy fails, with the message.
    grid.Select({"b.bmp"});
    MoveSelectedFiles(grid, dir.file("Missing/"), ctx);
    ASSERT_EQ(prompts.texts(), (std::vector<std::string>{"Could not move b.bmp"}));
    EXPECT_TRUE(Exists(A() + "b.bmp"));

    // Into the grid's own folder: nothing at all.
    const int shows = progress.shows;
    MoveSelectedFiles(grid, A(), ctx);
    EXPECT_EQ(progress.shows, shows);
}

TEST_F(FileCommandsTest, MoveOntoTheSameFolderThroughALinkAsksAndLeavesEverything) {
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"}) WriteText(A() + n, n);
    fs::create_directory_symlink(A(), dir.file("LinkToA"));
    FakeGrid grid = Grid(A(), {"a.bmp", "b.bmp", "c.bmp"});
    prompts.answers = {Answer::Yes, Answer::Cancel};
    auto ctx = Context();
    MoveSelectedFiles(grid, dir.file("LinkToA/"), ctx);
    ASSERT_EQ(prompts.messages.size(), 2u) << "asked per file until Cancel";
    EXPECT_EQ(prompts.messages[0].text, dir.file("LinkToA/") + "a.bmp Already exist !\nReplace ?");
    EXPECT_EQ(prompts.messages[0].caption, "Replace");
    EXPECT_EQ(prompts.messages[0].buttons, Buttons::YesNoCancel);
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp"}) EXPECT_EQ(ReadText(A() + n), n);
    EXPECT_EQ(grid.names.size(), 3u);
    EXPECT_TRUE(released.empty());
    EXPECT_TRUE(changesEnabled);
    EXPECT_FALSE(progress.shown);
}

TEST_F(FileCommandsTest, FullDiskDuringPasteLeavesNoPartialTargetAndTheSource) {
    const std::string big(256 * 1024, 'x');
    WriteText(A() + "big.bmp", big);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        FakeGrid source = Grid(A(), {"big.bmp"});
        FileClipboardState clip;
        TakeToClipboard(clip, source, true);
        FakeGrid target = Grid(B());
        auto ctx = Context();
        PasteFromClipboard(clip, target, ctx);
        ::_exit(target.log == std::vector<std::string>{"refresh"} ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failed copy reached the grid";
    EXPECT_TRUE(fs::is_empty(B())) << "a partial or temporary file was left";
    EXPECT_EQ(ReadText(A() + "big.bmp"), big);
}

TEST_F(FileCommandsTest, FilesFromElsewhereAreCopiedWithTheReplaceQuestion) {
    WriteText(dir.file("out/new.bmp"), "n");
    WriteText(dir.file("out/old.bmp"), "replacement");
    WriteText(B() + "old.bmp", "o");
    fs::create_directories(dir.file("out/folder"));
    const std::vector<std::string> copied = CopyFilesInto(
        {dir.file("out/new.bmp"), dir.file("out/old.bmp"), dir.file("out/folder")}, B(), prompts, progress);
    EXPECT_EQ(copied, (std::vector<std::string>{"new.bmp", "old.bmp"}));
    EXPECT_EQ(ReadText(B() + "new.bmp"), "n");
    EXPECT_EQ(ReadText(B() + "old.bmp"), "replacement");
    EXPECT_TRUE(Exists(dir.file("out/new.bmp"))) << "a drop from elsewhere copies";
    EXPECT_EQ(prompts.texts(),
              (std::vector<std::string>{B() + "old.bmp Already exist !\nReplace ?", "Could not copy folder"}));
    EXPECT_EQ(progress.position, 3);
}

}  // namespace
}  // namespace vs
