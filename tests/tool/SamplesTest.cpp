// The demo library: every file decodes as the kind its name says, checked with someone
// else's decoder where one exists.

#include "formats/KevImage.h"
#include "graphics/BmpFile.h"
#include "support/TestSupport.h"
#include "tool/Samples.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace vs {
namespace {

std::string Tool() {
    const char* path = std::getenv("VS_TOOL");
    return path ? path : "vantorsee-tool";
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | b.at(at + 3) << 24);
}

class SamplesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new test::TempDir;
        result = new test::CommandResult(
            test::Run(test::Quote(Tool()) + " samples " + test::Quote(dir->file("lib/Photo Folder"))));
    }
    static void TearDownTestSuite() {
        delete result;
        delete dir;
    }
    static std::string File(const std::string& name) { return dir->file("lib/Photo Folder/" + name); }

    static test::TempDir* dir;
    static test::CommandResult* result;
};
test::TempDir* SamplesTest::dir = nullptr;
test::CommandResult* SamplesTest::result = nullptr;

TEST_F(SamplesTest, WritesEveryKindAndListsWhatItWrote) {
    ASSERT_EQ(result->exitCode, 0) << result->err;
    std::istringstream lines(result->out);
    std::vector<std::string> names;
    for (std::string line; std::getline(lines, line);)
        names.push_back(line);
    for (const char* ending : {".jpg", ".JPG", ".bmp", ".tif", ".tga", ".pcx", ".psd", ".kev", ".sfc", ".xf", ".mig",
                               ".wav", ".txt", ".rtf", ".html"})
        EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& n) { return n.ends_with(ending); }))
            << ending;
    for (const auto& n : names)
        EXPECT_TRUE(std::filesystem::is_regular_file(File(n))) << n;
    EXPECT_TRUE(std::filesystem::is_directory(File("Travel")));
}

TEST_F(SamplesTest, LosslessPicturesMatchImageMagicksDecode) {
    ASSERT_EQ(result->exitCode, 0);
    const struct {
        const char* name;
        Scene scene;
        int w, h;
    } cases[] = {
        {"stripes.tif", Scene::Stripes, 300, 200},
        {"badge.tga", Scene::Rings, 200, 200},
        {"checks.pcx", Scene::Tiles, 240, 180},
        {"layers.psd", Scene::Landscape, 256, 192},
        {"abstract.bmp", Scene::Rings, 320, 240},
    };
    for (const auto& c : cases) {
        const test::RgbImage theirs = test::MagickDecode(File(c.name));
        const test::RgbImage ours = test::ToRgbImage(SamplePicture(c.scene, c.w, c.h));
        EXPECT_EQ(theirs.width, c.w) << c.name;
        EXPECT_EQ(theirs.height, c.h) << c.name;
        EXPECT_TRUE(theirs.rgb == ours.rgb) << c.name;
    }
}

TEST_F(SamplesTest, JpegsAreCloseToTheirScenes) {
    ASSERT_EQ(result->exitCode, 0);
    const test::RgbImage theirs = test::MagickDecode(File("sunset.jpg"));
    const test::RgbImage ours = test::ToRgbImage(SamplePicture(Scene::Landscape, 640, 480));
    ASSERT_EQ(theirs.rgb.size(), ours.rgb.size());
    double total = 0;
    for (std::size_t i = 0; i < ours.rgb.size(); ++i)
        total += std::abs(static_cast<int>(theirs.rgb[i]) - static_cast<int>(ours.rgb[i]));
    EXPECT_LT(total / static_cast<double>(ours.rgb.size()), 3.0);
    EXPECT_EQ(test::MagickDecode(File("Night Sky.JPG")).width, 800);
}

TEST_F(SamplesTest, OwnFormatsReadBack) {
    ASSERT_EQ(result->exitCode, 0);
    TKevImage kev;
    ASSERT_TRUE(kev.Read(File("hills.kev")));
    EXPECT_EQ(kev.bitmap(), SamplePicture(Scene::Landscape, 200, 150));
    ASSERT_TRUE(kev.Read(File("moon.sfc")));
    EXPECT_EQ(kev.bitmap().width(), 160);

    const auto album = test::ReadBytes(File("holiday.xf"));
    const auto wave = test::ReadBytes(File("chime.wav"));
    ASSERT_GT(album.size(), 12u);
    EXPECT_EQ(std::string(album.begin(), album.begin() + 3), "XFA");
    EXPECT_EQ(Le32(album, 3), 3u);
    EXPECT_EQ(album[11], 1);
    std::size_t at = 12;
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(Le32(album, at), 320u);
        EXPECT_EQ(Le32(album, at + 4), 240u);
        EXPECT_EQ(album.at(at + 8), 6);
        at += 9 + 320 * 240 * 3;
    }
    EXPECT_EQ(album.at(at), 1);
    EXPECT_EQ(Le32(album, at + 1), wave.size());
    EXPECT_TRUE(std::equal(wave.begin(), wave.end(), album.begin() + static_cast<std::ptrdiff_t>(at + 5)));
    EXPECT_EQ(album.size(), at + 5 + wave.size());
    const auto slides = test::ReadBytes(File("slides.mig"));
    EXPECT_EQ(slides.back(), 0);  // no sound
    EXPECT_EQ(slides.size(), 12 + 2 * (9 + 240 * 180 * 3) + 1u);

    // 8-bit mono PCM at 22050 Hz.
    EXPECT_EQ(std::string(wave.begin(), wave.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(wave, 4), wave.size() - 8);
    EXPECT_EQ(wave[22], 1);
    EXPECT_EQ(Le32(wave, 24), 22050u);
    EXPECT_EQ(wave[34], 8);
    EXPECT_EQ(Le32(wave, 40), wave.size() - 44);
}

TEST(Samples, FolderThatCannotBeMadeFails) {
    test::TempDir dir;
    test::WriteBytes(dir.file("file"), {'x'});
    const auto r = test::Run(test::Quote(Tool()) + " samples " + test::Quote(dir.file("file/lib")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("cannot create"), std::string::npos);
    EXPECT_EQ(test::Run(test::Quote(Tool()) + " samples").exitCode, 2);
}

}  // namespace
}  // namespace vs
