// vantorsee-tool with albums: decode, thumb and the album commands, run as a user would.

#include "formats/XfAlbum.h"
#include "graphics/BmpFile.h"
#include "platform/Wave.h"
#include "platform/testing/FakePlatform.h"
#include "support/AlbumFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vs {
namespace {

namespace fs = std::filesystem;

test::CommandResult RunTool(const std::string& args) {
    const char* tool = std::getenv("VS_TOOL");
    return test::Run(test::Quote(tool ? tool : "vantorsee-tool") + " " + args);
}

class AlbumToolTest : public ::testing::Test {
protected:
    test::CacheHome cache;  // the tool inherits it
    test::TempDir dir;
    std::string q(const std::string& name) const { return test::Quote(dir.file(name)); }

    // Two BMP pictures: a 24-bit gradient and an 8-bit palette picture.
    void writePictures() {
        ASSERT_EQ(test::Run("convert -size 40x30 gradient:red-blue " + q("a.bmp")).exitCode, 0);
        Bitmap indexed(9, 7, PixelFormat::Bpp8);
        for (int i = 0; i < 256; ++i)
            indexed.palette()[std::size_t(i)] = {static_cast<std::uint8_t>(i), 10, static_cast<std::uint8_t>(255 - i)};
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                indexed.row(y)[x] = static_cast<std::uint8_t>(x * 20 + y);
        SaveBmpFile(indexed, dir.file("b.bmp"));
    }
};

TEST_F(AlbumToolTest, DecodeAndThumbShowTheFirstPage) {
    const test::AlbumPage first = test::PatternPage(120, 90, 6);
    test::WriteBytes(dir.file("show.MIG"), test::AlbumBytes({first, test::PatternPage(2, 2, 3)}, test::WaveOf(99)));
    const auto r = RunTool("decode " + q("show.MIG") + " " + q("page.bmp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bitmap page = LoadBmpFile(dir.file("page.bmp"));
    ASSERT_EQ(page.width(), 120);
    EXPECT_EQ(page.pixel(1, 0), (Rgb{first.pixels[5], first.pixels[4], first.pixels[3]}));
    fs::create_directory(dir.file("out"));
    const auto t = RunTool("thumb " + q("show.MIG") + " -o " + q("out"));
    ASSERT_EQ(t.exitCode, 0) << t.err;
    EXPECT_EQ(t.out, "show.MIG\t120X90\n");
    EXPECT_EQ(LoadBmpFile(dir.file("out/show.MIG.bmp")).width(), 80);
    // The temporary album objects took their companion files with them.
    EXPECT_TRUE(cache.companionEntries().empty());

    test::WriteBytes(dir.file("empty.xf"), test::AlbumBytes({}));
    const auto e = RunTool("decode " + q("empty.xf") + " " + q("e.bmp"));
    EXPECT_EQ(e.exitCode, 1);
    EXPECT_EQ(e.err, "Could not open " + dir.file("empty.xf") + "\n");
}

TEST_F(AlbumToolTest, CreateInfoExtractRoundTrip) {
    writePictures();
    const auto wave = test::WaveOf(3000);
    test::WriteBytes(dir.file("s.wav"), wave);
    const auto c = RunTool("album create " + q("new.xf") + " " + q("a.bmp") + " " + q("b.bmp") + " --sound " + q("s.wav"));
    ASSERT_EQ(c.exitCode, 0) << c.err;
    const auto i = RunTool("album info " + q("new.xf"));
    ASSERT_EQ(i.exitCode, 0) << i.err;
    EXPECT_EQ(i.out, "pages 2\n0 40 30 6\n1 9 7 6\nsound " + std::to_string(wave.size()) + "\n");
    // Byte 11 tells there is a sound.
    EXPECT_EQ(test::ReadBytes(dir.file("new.xf"))[11], 1);

    const auto x = RunTool("album extract " + q("new.xf") + " " + q("pages/sub"));
    ASSERT_EQ(x.exitCode, 0) << x.err;
    EXPECT_EQ(test::FolderEntries(dir.file("pages/sub")),
              (std::vector<std::string>{"page-0.bmp", "page-1.bmp", "sound.wav"}));
    EXPECT_EQ(test::ReadBytes(dir.file("pages/sub/sound.wav")), wave);
    // Someone else's decoder sees the same pictures in the input and in the extracted pages.
    EXPECT_EQ(test::MagickDecode(dir.file("pages/sub/page-0.bmp")).rgb, test::MagickDecode(dir.file("a.bmp")).rgb);
    EXPECT_EQ(test::MagickDecode(dir.file("pages/sub/page-1.bmp")).rgb, test::MagickDecode(dir.file("b.bmp")).rgb);
    EXPECT_EQ(LoadBmpFile(dir.file("pages/sub/page-1.bmp")).format(), PixelFormat::Bpp24);

    // Record a new sound into it, rebuild, and read it back with the tool.
    {
        TXfAlbum album;
        ASSERT_TRUE(album.OpenForViewing(dir.file("new.xf")));
        fake::FakeWaveRecorder recorder;
        recorder.samples.assign(777, 9);
        ASSERT_TRUE(album.StartRecording(recorder));
        ASSERT_TRUE(album.StopRecording(recorder));
        ASSERT_TRUE(album.RebuildAlbum());
    }
    const auto again = RunTool("album info " + q("new.xf"));
    const auto newWave = EncodeWavePcm(std::vector<std::uint8_t>(777, 9), 22050, 1, 8);
    EXPECT_EQ(again.out, "pages 2\n0 40 30 6\n1 9 7 6\nsound " + std::to_string(newWave.size()) + "\n");
    ASSERT_EQ(RunTool("album extract " + q("new.xf") + " " + q("again")).exitCode, 0);
    EXPECT_EQ(test::ReadBytes(dir.file("again/sound.wav")), newWave);
    EXPECT_EQ(test::ReadBytes(dir.file("again/page-0.bmp")), test::ReadBytes(dir.file("pages/sub/page-0.bmp")));
}

TEST_F(AlbumToolTest, AlbumWithoutSoundAndFailures) {
    writePictures();
    ASSERT_EQ(RunTool("album create " + q("plain.mig") + " " + q("b.bmp")).exitCode, 0);
    EXPECT_EQ(RunTool("album info " + q("plain.mig")).out, "pages 1\n0 9 7 6\nsound none\n");
    ASSERT_EQ(RunTool("album extract " + q("plain.mig") + " " + q("x")).exitCode, 0);
    EXPECT_EQ(test::FolderEntries(dir.file("x")), std::vector<std::string>{"page-0.bmp"});

    // A picture that cannot be read, a sound that is not a wave file: no album appears.
    test::WriteBytes(dir.file("junk.bmp"), {'B', 'M', 1});
    const auto bad = RunTool("album create " + q("bad.xf") + " " + q("a.bmp") + " " + q("junk.bmp"));
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, "vantorsee-tool: Could not open " + dir.file("junk.bmp") + "\n");
    const auto noWave = RunTool("album create " + q("bad.xf") + " " + q("a.bmp") + " --sound " + q("a.bmp"));
    EXPECT_EQ(noWave.exitCode, 1);
    EXPECT_NE(noWave.err.find("not a wave file"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("bad.xf")));
    // An existing album is not harmed by a failed create over it.
    const auto before = test::ReadBytes(dir.file("plain.mig"));
    EXPECT_EQ(RunTool("album create " + q("plain.mig") + " " + q("junk.bmp")).exitCode, 1);
    EXPECT_EQ(test::ReadBytes(dir.file("plain.mig")), before);
    for (const auto& name : test::FolderEntries(dir.path()))
        EXPECT_NE(name[0], '.') << name;  // no temporary file left behind

    // Not an album, a lying album, usage errors.
    const auto notAlbum = RunTool("album info " + q("a.bmp"));
    EXPECT_EQ(notAlbum.exitCode, 1);
    EXPECT_NE(notAlbum.err.find("not an XF album"), std::string::npos);
    auto lie = test::AlbumBytes({test::PatternPage(3, 3, 6)}, test::WaveOf(10));
    lie.resize(lie.size() - 5);
    test::WriteBytes(dir.file("lie.xf"), lie);
    EXPECT_EQ(RunTool("album info " + q("lie.xf")).exitCode, 1);
    EXPECT_EQ(RunTool("album extract " + q("lie.xf") + " " + q("y")).exitCode, 1);
    EXPECT_EQ(RunTool("album").exitCode, 2);
    EXPECT_EQ(RunTool("album create " + q("only.xf")).exitCode, 2);
    EXPECT_EQ(RunTool("album frobnicate").exitCode, 2);
    EXPECT_EQ(RunTool("album --help").exitCode, 0);
}

}  // namespace
}  // namespace vs
