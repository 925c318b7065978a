#include "platform/Folders.h"
#include "platform/Wallpaper.h"
#include "platform/Wave.h"

#include "support/AlbumFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace vs {
namespace {

// Sets an environment variable for one scope.
class Env {
public:
    Env(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~Env() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

unsigned Mode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

TEST(CompanionFolder, LivesUnderTheCacheHomeWithMode0700) {
    test::TempDir dir;
    {
        Env cache("XDG_CACHE_HOME", (dir.path() + "/deep/cache").c_str());
        EXPECT_EQ(CompanionFolder(), dir.path() + "/deep/cache/vantor-see/");
        EXPECT_EQ(Mode(dir.path() + "/deep/cache/vantor-see"), 0700u);
    }
    {
        // A relative value is not valid and is ignored: the home's .cache is used.
        Env cache("XDG_CACHE_HOME", "relative/cache");
        Env home("HOME", dir.path().c_str());
        EXPECT_EQ(CompanionFolder(), dir.path() + "/.cache/vantor-see/");
        EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/.cache/vantor-see"));
        EXPECT_FALSE(std::filesystem::exists("relative"));
    }
    {
        Env cache("XDG_CACHE_HOME", nullptr);
        Env home("HOME", nullptr);
        const std::string folder = CompanionFolder();
        EXPECT_TRUE(folder.ends_with("/vantor-see-" + std::to_string(::getuid()) + "/"));
        EXPECT_EQ(Mode(folder), 0700u);
    }
}

TEST(Wave, PcmFileLayoutIsTheCanonicalOne) {
    const std::vector<std::uint8_t> samples = {1, 2, 3};
    const auto w = EncodeWavePcm(samples, 8000, 2, 16);
    std::vector<std::uint8_t> e = {'R', 'I', 'F', 'F'};
    test::Put32(e, 36 + 3 + 1);
    e.insert(e.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    test::Put32(e, 16);
    test::Put16(e, 1);
    test::Put16(e, 2);
    test::Put32(e, 8000);
    test::Put32(e, 32000);
    test::Put16(e, 4);
    test::Put16(e, 16);
    e.insert(e.end(), {'d', 'a', 't', 'a'});
    test::Put32(e, 3);
    e.insert(e.end(), {1, 2, 3, 0});  // padded to an even length
    EXPECT_EQ(w, e);
    EXPECT_TRUE(LooksLikeWave(w));
    EXPECT_FALSE(LooksLikeWave(std::vector<std::uint8_t>(w.begin(), w.begin() + 11)));
    // The recording target never has a format chunk shorter than the 18-byte record.
    const auto empty = EncodeEmptyWave(22050, 1, 8, 0);
    EXPECT_EQ(empty.size(), 12u + 8u + 18u + 12u + 8u);
    EXPECT_EQ(empty[16], 18);
}

TEST(Wave, FormatRecordIsReadOnlyWhenPcmAndInsideTheBytes) {
    const auto recordTarget = ReadWavePcmFormat(EncodeEmptyWave(22050, 1, 8, 50));
    ASSERT_TRUE(recordTarget);
    EXPECT_EQ(recordTarget->sampleRate, 22050);
    EXPECT_EQ(recordTarget->channels, 1);
    EXPECT_EQ(recordTarget->bitsPerSample, 8);
    const std::vector<std::uint8_t> samples = {1, 2, 3, 4};
    auto stereo = EncodeWavePcm(samples, 44100, 2, 16);
    ASSERT_TRUE(ReadWavePcmFormat(stereo));
    EXPECT_EQ(ReadWavePcmFormat(stereo)->channels, 2);

    // A chunk before "fmt " is skipped by its length, padded to even.
    std::vector<std::uint8_t> withList(stereo.begin(), stereo.begin() + 12);
    withList.insert(withList.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 9, 9, 9, 0});
    withList.insert(withList.end(), stereo.begin() + 12, stereo.end());
    ASSERT_TRUE(ReadWavePcmFormat(withList));
    EXPECT_EQ(ReadWavePcmFormat(withList)->sampleRate, 44100);

    auto notPcm = stereo;
    notPcm[20] = 2;  // ADPCM
    auto lying = stereo;
    lying[16] = 0xff;  // a "fmt " chunk longer than the file is fine as long as the record fits
    lying[17] = 0xff;
    auto truncated = std::vector<std::uint8_t>(stereo.begin(), stereo.begin() + 30);
    auto oddBits = stereo;
    oddBits[34] = 12;
    std::vector<std::uint8_t> hugeSkip(stereo.begin(), stereo.begin() + 12);
    hugeSkip.insert(hugeSkip.end(), {'J', 'U', 'N', 'K', 0xff, 0xff, 0xff, 0xff});
    EXPECT_FALSE(ReadWavePcmFormat(notPcm));
    EXPECT_TRUE(ReadWavePcmFormat(lying));
    EXPECT_FALSE(ReadWavePcmFormat(truncated));
    EXPECT_FALSE(ReadWavePcmFormat(oddBits));
    EXPECT_FALSE(ReadWavePcmFormat(hugeSkip));
    EXPECT_FALSE(ReadWavePcmFormat(std::vector<std::uint8_t>{}));
}

TEST(Wallpaper, FileLivesUnderTheDataHome) {
    test::TempDir d;
    Env data("XDG_DATA_HOME", d.path().c_str());
    EXPECT_EQ(WallpaperFileName(), d.path() + "/vantor-see/VANTORSEEWALLPAPER.BMP");
    EXPECT_TRUE(std::filesystem::is_directory(d.path() + "/vantor-see"));
    Env relative("XDG_DATA_HOME", "relative/place");
    Env home("HOME", d.path().c_str());
    EXPECT_EQ(WallpaperFileName(), d.path() + "/.local/share/vantor-see/VANTORSEEWALLPAPER.BMP");
}

TEST(Wallpaper, DesktopCommands) {
    const auto all = [](const std::string&) { return true; };
    const auto none = [](const std::string&) { return false; };
    const std::string file = "/home/ann/.local/share/vantor-see/VANTORSEEWALLPAPER.BMP";
    const auto gnome = WallpaperCommands("ubuntu:GNOME", file, all);
    ASSERT_EQ(gnome.size(), 2u);
    const std::string uri = "file:///home/ann/.local/share/vantor-see/VANTORSEEWALLPAPER.BMP";
    EXPECT_EQ(gnome[0], (std::vector<std::string>{"gsettings", "set", "org.gnome.desktop.background", "picture-uri", uri}));
    EXPECT_EQ(gnome[1][3], "picture-uri-dark");
    const auto kde = WallpaperCommands("KDE", file, all);
    ASSERT_EQ(kde.size(), 1u);
    EXPECT_EQ(kde[0], (std::vector<std::string>{"plasma-apply-wallpaperimage", file}));
    EXPECT_TRUE(WallpaperCommands("GNOME", file, none).empty());
    EXPECT_TRUE(WallpaperCommands("", file, all).empty());
    EXPECT_TRUE(WallpaperCommands("XFCE", file, all).empty());  // handled with its property list
    EXPECT_EQ(FileUri("/a b/%#?.bmp"), "file:///a%20b/%25%23%3F.bmp");
}

}  // namespace
}  // namespace vs
