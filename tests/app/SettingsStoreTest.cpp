#include "app/RegistryFile.h"
#include "app/Settings.h"
#include "controls/ThumbnailPool.h"
#include "support/AlbumFiles.h"
#include "support/TestSupport.h"
#include "viewer/FileKinds.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <filesystem>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vs {
namespace {

using test::ReadText;
using test::WriteText;

const std::string kKey(kSettingsKeyPath);

TEST(RegistryFile, ParsesTypedValuesEscapesAndKeepsForeignEntries) {
    const std::string text =
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
        "\"Blob\"=hex:01,02,\\\r\n  03,04\r\n"
        "@=\"default\"\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\r\n"
        "\"Photo Folder\"=\"C:\\\\Pics\\\\ \\\"best\\\"\\\\\"\r\n"
        "\"_bmp\"=dword:0000000a\r\n"
        "\"_jpg\"=dword:xyz\r\n"
        "; a comment\r\n";
    const RegistryFile file = RegistryFile::Parse(text);
    const auto* key = file.FindKey("hkey_local_machine\\software\\VANTOR SEE 1.1\\setting");
    ASSERT_NE(key, nullptr);
    const auto* folder = RegistryFile::FindValue(*key, "photo folder");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->type, RegistryFile::Type::String);
    EXPECT_EQ(folder->text, "C:\\Pics\\ \"best\"\\");
    const auto* bmp = RegistryFile::FindValue(*key, "_bmp");
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(bmp->type, RegistryFile::Type::Dword);
    EXPECT_EQ(bmp->dword, 10u);
    EXPECT_EQ(RegistryFile::FindValue(*key, "_jpg")->type, RegistryFile::Type::Other);

    // Writing it back and reading again keeps every key and value, including the hex blob.
    const RegistryFile again = RegistryFile::Parse(file.Serialize());
    ASSERT_EQ(again.keys().size(), 2u);
    const auto* other = again.FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(RegistryFile::FindValue(*other, "Blob")->text, RegistryFile::FindValue(*file.FindKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Other"), "Blob")->text);
    EXPECT_EQ(RegistryFile::FindValue(*other, "")->text, "default");
    EXPECT_EQ(RegistryFile::FindValue(*again.FindKey(kKey), "Photo Folder")->text, folder->text);
}

TEST(SettingsKey, FirstStartWritesDefaultsInTableOrder) {
    test::TempDir dir;
    const std::string file = dir.file("cfg/vantor-see/settings.reg");
    SettingsKey key(file, kKey);
    std::string photo = "/opt/vs/Photo Folder/";
    TypeFlags flags = AllTypesOn();
    flags[kTypeAvi] = false;  // overwritten: a missing value means true
    flags[kTypeTif] = false;  // not stored: left alone
    LoadSettings(key, photo, flags);
    EXPECT_EQ(photo, "/opt/vs/Photo Folder/");
    EXPECT_TRUE(flags[kTypeAvi]);
    EXPECT_FALSE(flags[kTypeTif]);
    EXPECT_EQ(ReadText(file),
              "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n"
              "\"Photo Folder\"=\"/opt/vs/Photo Folder/\"\n"
              "\"_bmp\"=dword:00000001\n\"_jpg\"=dword:00000001\n\"_kev\"=dword:00000001\n"
              "\"_xf\"=dword:00000001\n\"_sfc\"=dword:00000001\n\"_mig\"=dword:00000001\n"
              "\"_avi\"=dword:00000001\n\"_mpg\"=dword:00000001\n\"_mov\"=dword:00000001\n"
              "\"_mp3\"=dword:00000001\n\"_wav\"=dword:00000001\n\"_mid\"=dword:00000001\n"
              "\"_rmi\"=dword:00000001\n"
              "\"_png\"=dword:00000001\n\"_gif\"=dword:00000001\n\"_webp\"=dword:00000001\n"
              "\"_heic\"=dword:00000001\n\"_avif\"=dword:00000001\n");
}

TEST(SettingsKey, StoredValuesAreReadAndSavedBack) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    WriteText(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n"
                    "\"Photo Folder\"=\"/data/My \\\"Pics\\\"/\"\n\"_avi\"=dword:00000000\n\"_mid\"=dword:00000002\n");
    {
        SettingsKey key(file, kKey);
        std::string photo = "/default/";
        TypeFlags flags = AllTypesOn();
        LoadSettings(key, photo, flags);
        EXPECT_EQ(photo, "/data/My \"Pics\"/");
        for (int i = 0; i < kFileTypeCount; ++i)
            EXPECT_EQ(flags[static_cast<std::size_t>(i)], i != kTypeAvi) << i;
        flags[kTypeMov] = false;
        flags[kTypeTxt] = false;  // not stored
        SaveSettings(key, "/elsewhere/", flags);
    }
    SettingsKey key(file, kKey);
    std::string photo;
    TypeFlags flags = AllTypesOn();
    LoadSettings(key, photo, flags);
    EXPECT_EQ(photo, "/elsewhere/");
    EXPECT_FALSE(flags[kTypeAvi]);
    EXPECT_FALSE(flags[kTypeMov]);
    EXPECT_TRUE(flags[kTypeTxt]);
    EXPECT_NE(ReadText(file).find("\"_mid\"=dword:00000001"), std::string::npos);
}

TEST(SettingsKey, FoldPanelStateIsOursAndNeverStopsTheStart) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    WriteText(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n"
                    "\"FoldPanel1 Folded\"=\"yes\"\n");
    {
        SettingsKey key(file, kKey);
        const FoldPanelState state = LoadFoldPanelState(key);  // wrong type: unfolded
        EXPECT_FALSE(state.foldPanel1);
        EXPECT_FALSE(state.foldPanel2);  // missing: unfolded, and not written
        EXPECT_EQ(ReadText(file).find("FoldPanel2"), std::string::npos);
        SaveFoldPanelState(key, {false, true});
    }
    SettingsKey key(file, kKey);
    const FoldPanelState state = LoadFoldPanelState(key);
    EXPECT_FALSE(state.foldPanel1);
    EXPECT_TRUE(state.foldPanel2);
    EXPECT_NE(ReadText(file).find("\"FoldPanel2 Folded\"=dword:00000001"), std::string::npos);
}

TEST(SettingsKey, WindowMemoryRoundTripsAndBadValuesAreIgnored) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    WriteText(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n"
                    "\"Window Geometry\"=\"10,20,x,40\"\n\"Window Maximized\"=\"no\"\n"
                    "\"Splitter1 Sizes\"=dword:00000005\n\"Splitter3 Sizes\"=\"1,2,3\"\n");
    {
        SettingsKey key(file, kKey);
        const WindowMemory bad = LoadWindowMemory(key);
        EXPECT_TRUE(bad.geometry.empty() && bad.splitter1.empty() && bad.splitter3.empty());
        EXPECT_FALSE(bad.maximised);
        EXPECT_TRUE(bad.zoom.empty() && bad.lastFolder.empty());
        SaveWindowMemory(key, {{-1280, 35, 800, 600}, true, {177, 392}, {190, 250}, "Size4_1", "/home/u/P\"x\"/"});
    }
    const WindowMemory back = LoadWindowMemory(SettingsKey(file, kKey));
    EXPECT_EQ(back.geometry, (std::vector<int>{-1280, 35, 800, 600}));
    EXPECT_TRUE(back.maximised);
    EXPECT_EQ(back.splitter1, (std::vector<int>{177, 392}));
    EXPECT_EQ(back.splitter3, (std::vector<int>{190, 250}));
    EXPECT_EQ(back.zoom, "Size4_1");
    EXPECT_EQ(back.lastFolder, "/home/u/P\"x\"/");
    // Lists of the wrong length, empty parts, signs alone and numbers too long are refused.
    for (const char* text : {"", "1", "1,2,3", "1,,2", "-,2", "1,123456", "+1,2", "1, 2"})
        EXPECT_TRUE(ParseNumberList(text, 2).empty()) << text;
}

TEST(SettingsKey, SlideShowSecondsDefaultToThreeAndStayInRange) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    const std::string head = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n";
    for (const auto& [value, seconds] : std::vector<std::pair<std::string, int>>{
             {"", 3}, {"\"Slide Show Seconds\"=\"7\"\n", 3}, {"\"Slide Show Seconds\"=dword:00000000\n", 1},
             {"\"Slide Show Seconds\"=dword:ffffffff\n", 1}, {"\"Slide Show Seconds\"=dword:00100000\n", 3600}}) {
        WriteText(file, head + value);
        EXPECT_EQ(LoadSlideShowSeconds(SettingsKey(file, kKey)), seconds) << value;
    }
    {
        SettingsKey key(file, kKey);
        SaveSlideShowSeconds(key, 7);
    }
    EXPECT_EQ(LoadSlideShowSeconds(SettingsKey(file, kKey)), 7);
}

TEST(SettingsKey, WrongTypeStopsLoadingWithTheValueName) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    WriteText(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n"
                    "\"Photo Folder\"=\"/p/\"\n\"_bmp\"=dword:00000000\n\"_xf\"=\"yes\"\n\"_avi\"=dword:00000000\n");
    SettingsKey key(file, kKey);
    std::string photo = "/default/";
    TypeFlags flags = AllTypesOn();
    try {
        LoadSettings(key, photo, flags);
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Invalid data type for '_xf'");
    }
    // Values before the bad one are applied, the ones after it are not.
    EXPECT_EQ(photo, "/p/");
    EXPECT_FALSE(flags[kTypeBmp]);
    EXPECT_TRUE(flags[kTypeAvi]);

    WriteText(file, "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vantor See 1.1\\Setting]\n\"Photo Folder\"=dword:00000001\n");
    SettingsKey key2(file, kKey);
    EXPECT_THROW(
        {
            try {
                LoadSettings(key2, photo, flags);
            } catch (const SettingsError& e) {
                EXPECT_STREQ(e.what(), "Invalid data type for 'Photo Folder'");
                throw;
            }
        },
        SettingsError);
}

TEST(SettingsKey, FailedWriteNamesTheValueAndLeavesTheOldFile) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    WriteText(file, "REGEDIT4\n");
    // A full disk, simulated by a file-size limit in a child process: unlike a read-only
    // folder, it stops root too, as CI runs.
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            SettingsKey key(file, kKey);
            key.WriteBool("_avi", false);
        } catch (const SettingsError& e) {
            ::_exit(std::string(e.what()) == "Failed to set data for '_avi'" ? 0 : 2);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the write reported no error; 2: a different message";
    EXPECT_EQ(ReadText(file), "REGEDIT4\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "a temporary file was left";
}

TEST(SettingsKey, FailedWriteWhenTheFolderCannotBeMade) {
    test::TempDir dir;
    WriteText(dir.file("plainfile"), "x");
    // The settings folder would have to live under a regular file: fails even for root.
    SettingsKey key(dir.file("plainfile/vantor-see/settings.reg"), kKey);
    try {
        key.WriteString("Photo Folder", "/x/");
        FAIL() << "no error";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Photo Folder'");
    }
}

TEST(SettingsKey, LineBreaksCannotBreakTheFile) {
    test::TempDir dir;
    const std::string file = dir.file("settings.reg");
    SettingsKey key(file, kKey);
    key.WriteString("Photo Folder", "/good/");
    EXPECT_THROW(key.WriteString("Photo Folder", "/new\nline/"), SettingsError);
    SettingsKey again(file, kKey);
    EXPECT_EQ(again.ReadString("Photo Folder"), "/good/");

    // A backslash at a line's end continues the line; a string or name broken that way is
    // not taken as one, and writing the file back keeps it as it was.
    const RegistryFile parsed = RegistryFile::Parse("[K]\n\"a\"=\"x\\\n  y\"\n\"b\\\nc\"=dword:00000001\n");
    const auto* k = parsed.FindKey("K");
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->values.size(), 1u);
    EXPECT_EQ(k->values[0].type, RegistryFile::Type::Other);
    EXPECT_EQ(RegistryFile::Parse(parsed.Serialize()).Serialize(), parsed.Serialize());
}

TEST(SettingsKey, UnreadableFileIsNeverWrittenOver) {
    test::TempDir dir;
    // A folder where the file should be: it cannot be read, whoever we are.
    const std::string file = dir.file("settings.reg");
    std::filesystem::create_directories(file + "/keep");
    SettingsKey key(file, kKey);
    EXPECT_FALSE(key.ValueExists("Photo Folder"));
    EXPECT_THROW(key.WriteString("Photo Folder", "/x/"), SettingsError);
    EXPECT_TRUE(std::filesystem::is_directory(file + "/keep"));
}

TEST(SettingsKey, DefaultLocationFollowsXdgConfigHome) {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg-x", 1);
    EXPECT_EQ(DefaultSettingsFileName(), "/tmp/cfg-x/vantor-see/settings.reg");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/ann", 1);
    EXPECT_EQ(DefaultSettingsFileName(), "/home/ann/.config/vantor-see/settings.reg");
    ::setenv("HOME", savedHome.c_str(), 1);
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

// Settings saved again and again while thumbnail workers read albums (which write their
// companion files): the file is never group- or world-writable, whatever the workers do.
TEST(SettingsKey, FileModeStaysPrivateWhileThumbnailWorkersReadAlbums) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ASSERT_EQ(mask & 0022, 0022u) << "the test needs a mask that takes group and other write bits away";
    test::CacheHome cache;
    test::TempDir dir;
    std::vector<std::string> albums;
    for (int i = 0; i < 6; ++i) {
        albums.push_back(dir.file("album" + std::to_string(i) + ".xf"));
        test::WriteBytes(albums.back(), test::AlbumBytes({test::PatternPage(120, 90, 6, static_cast<unsigned>(i)),
                                                         test::PatternPage(60, 40, 7, 1)}));
    }
    std::atomic<int> made{0};
    ThumbnailPool pool(4, [&](ThumbnailResult&& r) { made += r.outcome == ThumbnailResult::Outcome::Made ? 1 : 0; });
    for (std::uint64_t job = 0; job < 240; ++job)
        pool.Submit({1, job, albums[job % albums.size()], kKindAlbum});

    const std::string file = dir.file("config/settings.reg");
    std::filesystem::create_directories(dir.file("config"));
    int tooOpen = 0;
    for (int session = 0; session < 60; ++session) {
        std::filesystem::remove(file);  // each session makes the file anew
        SettingsKey key(file, kKey);
        key.WriteBool("_xf", session % 2 == 0);
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        tooOpen += (st.st_mode & 0022) != 0 ? 1 : 0;
    }
    while (pool.Pending() > 0)
        std::this_thread::yield();
    EXPECT_EQ(tooOpen, 0);
    EXPECT_GT(made.load(), 0);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

}  // namespace
}  // namespace vs
