// vantorsee-tool end to end: the binary run as a user would.

#include "graphics/BmpFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace vs {
namespace {

std::string Tool() {
    const char* path = std::getenv("VS_TOOL");
    return path ? path : "vantorsee-tool";
}

test::CommandResult RunTool(const std::string& args) { return test::Run(test::Quote(Tool()) + " " + args); }

// A KEV file of version letter "A", 24 bits, with pixel (x, y) = (x, y, 200).
std::vector<std::uint8_t> Kev(int w, int h) {
    std::vector<std::uint8_t> f = {'K', 'E', 'V', '-', 'A'};
    test::Put32(f, 0);
    test::Put16(f, 24);
    test::Put32(f, static_cast<std::uint32_t>(w));
    test::Put32(f, static_cast<std::uint32_t>(h));
    f.resize(275, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            f.insert(f.end(), {200, static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(x)});
    return f;
}

class ToolTest : public ::testing::Test {
protected:
    test::TempDir dir;
    std::string in(const std::string& name) const { return test::Quote(dir.file(name)); }
};

TEST_F(ToolTest, DecodeWritesA24BitBmpOfAKevFile) {
    test::WriteBytes(dir.file("pic.kev"), Kev(30, 20));
    const auto r = RunTool("decode " + in("pic.kev") + " " + in("out.bmp"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Bitmap out = LoadBmpFile(dir.file("out.bmp"));
    EXPECT_EQ(out.format(), PixelFormat::Bpp24);
    EXPECT_EQ(out.width(), 30);
    EXPECT_EQ(out.pixel(29, 19), (Rgb{29, 19, 200}));
    // ImageMagick agrees with the file we wrote.
    EXPECT_EQ(test::MagickDecode(dir.file("out.bmp")).rgb, test::ToRgbImage(out).rgb);
}

TEST_F(ToolTest, PortraitCameraPhotoStandsUpAndThumbnailsFromItsPreview) {
    if (test::Run("exiftool -ver").exitCode != 0)
        GTEST_SKIP() << "exiftool is not installed";
    // A red 640x480 picture stored sideways (orientation 6) with a blue 160x120 camera preview.
    ASSERT_EQ(test::Run("convert -size 160x120 xc:blue " + in("preview.jpg") + " && convert -size 640x480 xc:red " +
                        in("photo.jpg") + " && exiftool -q -n -overwrite_original -Orientation=6 " +
                        "'-ThumbnailImage<=" + dir.file("preview.jpg") + "' " + in("photo.jpg"))
                  .exitCode,
              0);
    const auto decode = RunTool("decode " + in("photo.jpg") + " " + in("shown.bmp"));
    ASSERT_EQ(decode.exitCode, 0) << decode.err;
    const Bitmap shown = LoadBmpFile(dir.file("shown.bmp"));
    EXPECT_EQ(shown.width(), 480);
    EXPECT_EQ(shown.height(), 640);
    std::filesystem::create_directory(dir.file("out"));
    for (const bool preview : {true, false}) {
        const auto r = RunTool("thumb " + in("photo.jpg") + " -o " + in("out") + (preview ? "" : " --no-preview"));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "photo.jpg\t480X640\n");
        const Rgb centre = LoadBmpFile(dir.file("out/photo.jpg.bmp")).pixel(40, 30);
        EXPECT_EQ(centre.b > 200 && centre.r < 60, preview) << "preview " << preview;
    }
}

TEST_F(ToolTest, DecodeFailureSaysCouldNotOpen) {
    test::WriteBytes(dir.file("bad.kev"), {'X'});
    const auto r = RunTool("decode " + in("bad.kev") + " " + in("out.bmp"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Could not open " + dir.file("bad.kev") + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.bmp")));
    const auto unknown = RunTool("decode " + in("notes.txt") + " " + in("out.bmp"));
    EXPECT_EQ(unknown.exitCode, 1);
}

TEST_F(ToolTest, ThumbWritesOneCellPerInputAndPrintsSizes) {
    test::WriteBytes(dir.file("a.kev"), Kev(160, 120));
    SaveBmpFile(Bitmap(10, 500, PixelFormat::Bpp24), dir.file("b.bmp"));
    test::WriteBytes(dir.file("c.sfc"), {'n', 'o'});
    std::filesystem::create_directory(dir.file("out"));
    const auto r = RunTool("thumb " + in("a.kev") + " " + in("b.bmp") + " " + in("c.sfc") + " -o " + in("out"));
    EXPECT_EQ(r.exitCode, 1);  // one input failed
    EXPECT_EQ(r.out, "a.kev\t160X120\nb.bmp\t10X500\nc.sfc\t\n");
    const Bitmap a = LoadBmpFile(dir.file("out/a.kev.bmp"));
    EXPECT_EQ(a.width(), 80);
    EXPECT_EQ(a.height(), 60);
    EXPECT_EQ(a.pixel(79, 59), (Rgb{158, 118, 200}));  // step 2: source (158, 118)
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/b.bmp.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/c.sfc.bmp")));

    const auto cell = RunTool("thumb " + in("a.kev") + " -o " + in("out") + " --cell 100x75");
    EXPECT_EQ(cell.exitCode, 0) << cell.err;
    EXPECT_EQ(LoadBmpFile(dir.file("out/a.kev.bmp")).width(), 100);
}

TEST_F(ToolTest, FitPrintsTheFrameAndWritesTheShownPicture) {
    test::WriteBytes(dir.file("wide.kev"), Kev(200, 100));
    const auto r = RunTool("fit " + in("wide.kev") + " " + in("shown.bmp") + " --mode auto --box 84x84");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0 20 84 44\n");
    const Bitmap shown = LoadBmpFile(dir.file("shown.bmp"));
    EXPECT_EQ(shown.width(), 80);
    EXPECT_EQ(shown.height(), 40);

    const auto full = RunTool("fit " + in("wide.kev") + " " + in("full.bmp") + " --mode full --box 84x84");
    EXPECT_EQ(full.out, "-60 -10 204 104\n");
    const auto eighth = RunTool("fit " + in("wide.kev") + " " + in("e.bmp") + " --mode eighth --box 100x100");
    EXPECT_EQ(eighth.out, "35 42 29 16\n");
}

TEST_F(ToolTest, DecodeHandlesEveryReaderKindAndTheRegisteredExtensions) {
    const std::string src = dir.file("src.png");
    ASSERT_EQ(test::Run("convert -size 45x31 gradient:red-blue -depth 8 " + test::Quote(src)).exitCode, 0);
    const test::RgbImage source = test::MagickDecode(src);
    // name to write, ImageMagick's coder for it; all but JPEG keep the source's pixels exactly.
    // ImageMagick writes Targa rows top-down yet marks them bottom-up unless told the
    // orientation, hence -orient.
    const std::pair<const char*, const char*> files[] = {
        {"a.tif", "tiff"}, {"a.tga", "tga"}, {"a.pcx", "pcx"}, {"a.psd", "psd"}, {"a.jpg", "jpg"},
        {"b.tiff", "tiff"}, {"b.JPEG", "jpg"}, {"a.fax", "tiff"}, {"a.win", "tga"}, {"a.vst", "tga"},
        {"a.pcc", "pcx"}, {"a.scr", "pcx"}, {"a.pdd", "psd"}, {"a.dib", "bmp3"}, {"a.rle", "bmp3"}};
    for (const auto& [name, coder] : files) {
        SCOPED_TRACE(name);
        ASSERT_EQ(test::Run("convert " + test::Quote(src) + " -type TrueColor -depth 8 -orient TopLeft " + coder + ":" +
                            test::Quote(dir.file(name))).exitCode, 0);
        const auto r = RunTool("decode " + in(name) + " " + in("out.bmp"));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const Bitmap out = LoadBmpFile(dir.file("out.bmp"));
        if (std::string(coder) == "jpg")
            EXPECT_EQ(out.width(), 45);  // the JPEG pixels are checked against djpeg elsewhere
        else
            EXPECT_EQ(source.rgb, test::ToRgbImage(out).rgb);
    }
}

TEST_F(ToolTest, DecodeOfCorruptFilesSaysOnlyCouldNotOpen) {
    // libjpeg and libtiff must not print their own complaints.
    const std::vector<std::uint8_t> jpegStart = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x01};
    const std::vector<std::uint8_t> tiffStart = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0, 1, 3, 0, 1, 0, 0, 0, 9, 9};
    test::WriteBytes(dir.file("bad.jpg"), jpegStart);
    test::WriteBytes(dir.file("bad.tif"), tiffStart);
    test::WriteBytes(dir.file("bad.fax"), tiffStart);
    for (const char* name : {"bad.jpg", "bad.tif", "bad.fax"}) {
        const auto r = RunTool("decode " + in(name) + " " + in("out.bmp"));
        EXPECT_EQ(r.exitCode, 1) << name;
        EXPECT_EQ(r.err, "Could not open " + dir.file(name) + "\n");
        EXPECT_EQ(r.out, "");
    }
    // PNG has a reader now; a registered format without one still says so.
    test::WriteBytes(dir.file("a.png"), {0x89, 'P', 'N', 'G'});
    const auto png = RunTool("decode " + in("a.png") + " " + in("out.bmp"));
    EXPECT_EQ(png.exitCode, 1);
    EXPECT_EQ(png.err, "Could not open " + dir.file("a.png") + "\n");
    test::WriteBytes(dir.file("a.wmf"), {1, 0, 9, 0});
    const auto wmf = RunTool("decode " + in("a.wmf") + " " + in("out.bmp"));
    EXPECT_EQ(wmf.exitCode, 1);
    EXPECT_NE(wmf.err.find("no decoder"), std::string::npos) << wmf.err;
}

TEST_F(ToolTest, ThumbOnSeveralThreadsGivesTheSameFilesInTheSameOrder) {
    const std::string src = dir.file("src.png");
    ASSERT_EQ(test::Run("convert -size 300x200 gradient:red-blue " + test::Quote(src)).exitCode, 0);
    std::string inputs;
    std::string expected;
    for (int i = 0; i < 12; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 3 == 0 ? ".jpg" : i % 3 == 1 ? ".tga" : ".psd");
        ASSERT_EQ(test::Run("convert " + test::Quote(src) + " -type TrueColor " + test::Quote(dir.file(name))).exitCode, 0);
        inputs += " " + in(name);
        expected += name + "\t300X200\n";
    }
    test::WriteBytes(dir.file("broken.psd"), {'8', 'B', 'P', 'S'});
    inputs += " " + in("broken.psd");
    expected += "broken.psd\t\n";
    std::filesystem::create_directory(dir.file("one"));
    std::filesystem::create_directory(dir.file("four"));
    const auto one = RunTool("thumb" + inputs + " -o " + in("one"));
    const auto four = RunTool("thumb" + inputs + " -o " + in("four") + " -j 4");
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(four.exitCode, 1);
    EXPECT_EQ(one.out, expected);
    EXPECT_EQ(four.out, expected);
    for (int i = 0; i < 12; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 3 == 0 ? ".jpg" : i % 3 == 1 ? ".tga" : ".psd") + ".bmp";
        EXPECT_EQ(test::ReadBytes(dir.file("one/" + name)), test::ReadBytes(dir.file("four/" + name))) << name;
    }
    EXPECT_EQ(RunTool("thumb a.jpg -o x -j 0").exitCode, 2);
}

// An 8 GiB file is refused from its size; a picture too big for the memory left (here a
// 768 MiB BMP under a 512 MiB address-space limit) fails like a bad file. Either way the
// workers report the file and go on, and decode says "Could not open".
TEST_F(ToolTest, ThumbWorkersReportHugeFilesAndGoOn) {
    test::WriteBytes(dir.file("a.kev"), Kev(160, 120));
    test::MakeSparseFile(dir.file("huge.jpg"), test::kEightGiB);
    test::MakeSparseFile(dir.file("huge.bmp"), test::kEightGiB);
    std::string inputs = in("a.kev") + " " + in("huge.jpg") + " " + in("huge.bmp");
    std::string expected = "a.kev\t160X120\nhuge.jpg\t\nhuge.bmp\t\n";
    std::string limit;
    if (!test::kAddressSanitizer) {
        test::MakeHugeBmp(dir.file("big.bmp"));
        inputs += " " + in("big.bmp");
        expected += "big.bmp\t\n";
        limit = "ulimit -v 524288; ";
    }
    std::filesystem::create_directory(dir.file("out"));
    const auto r = test::Run(limit + test::Quote(Tool()) + " thumb -j 3 " + inputs + " -o " + in("out"));
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/a.kev.bmp")));
    const auto decode = test::Run(limit + test::Quote(Tool()) + " decode " + in("huge.jpg") + " " + in("out.bmp"));
    EXPECT_EQ(decode.exitCode, 1);
    EXPECT_EQ(decode.err, "Could not open " + dir.file("huge.jpg") + "\n");
}

TEST_F(ToolTest, FormatsListsTheRegistryAndItsFilter) {
    const auto list = RunTool("formats");
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out.substr(0, 16), "bmp\nico\nwmf\nemf\n");
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 36);
    EXPECT_TRUE(list.out.ends_with("psp\npng\n"));
    const auto filter = RunTool("formats --filter");
    ASSERT_EQ(filter.exitCode, 0);
    EXPECT_TRUE(filter.out.starts_with("All images|*.bmp; *.ico; *.wmf;")) << filter.out;
    EXPECT_NE(filter.out.find("|Windows bitmaps|*.bmp|Windows icons|*.ico|"), std::string::npos);
    EXPECT_TRUE(filter.out.ends_with("|Portable network graphic images|*.png\n"));
    EXPECT_EQ(RunTool("formats --bogus").exitCode, 2);
}

TEST_F(ToolTest, UsageErrorsExitTwoAndHelpExitsZero) {
    EXPECT_EQ(RunTool("").exitCode, 2);
    EXPECT_EQ(RunTool("frobnicate").exitCode, 2);
    EXPECT_EQ(RunTool("decode onlyone").exitCode, 2);
    EXPECT_EQ(RunTool("thumb a.bmp").exitCode, 2);  // no -o
    EXPECT_EQ(RunTool("thumb a.bmp -o x --cell 0x5").exitCode, 2);
    EXPECT_EQ(RunTool("fit a b --mode sideways --box 1x1").exitCode, 2);
    EXPECT_EQ(RunTool("fit a b --mode auto --box 12").exitCode, 2);
    for (const char* cmd : {"--help", "decode --help", "thumb --help", "fit --help", "formats --help"}) {
        const auto r = RunTool(cmd);
        EXPECT_EQ(r.exitCode, 0) << cmd;
        EXPECT_NE(r.out.find("Usage: vantorsee-tool"), std::string::npos) << cmd;
    }
}

}  // namespace
}  // namespace vs
